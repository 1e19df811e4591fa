#include "app/schemes/config_editor.h"

#include <algorithm>

#include "app/numeric.h"
#include "app/paths.h"
#include "app/schemes/scheme_record.h"
#include "app/schemes/size_codes.h"
#include "app/text.h"
#include "app/ui_port.h"

namespace snapcrate {
namespace {

size_t Slot(SizeCombo combo) { return static_cast<size_t>(combo); }
size_t Slot(CountBar bar) { return static_cast<size_t>(bar); }

const Scheme* SchemeNumbered(int number) {
  const std::vector<Scheme>& schemes = Schemes();
  if (number < 1 || static_cast<size_t>(number) > schemes.size()) return nullptr;
  return &schemes[static_cast<size_t>(number - 1)];
}

std::string PreviewOf(int number) {
  const Scheme* scheme = SchemeNumbered(number);
  if (!scheme || scheme->preview_image.empty()) return "";
  return JoinPath(scheme->dir, scheme->preview_image);
}

// The file holds the name and the description on one line each.
std::string StorableText(const std::string& text) {
  return Trim(ReplaceAll(ReplaceAll(ReplaceAll(text, "\r\n", " "), "\n", " "), "\r", " "));
}

bool IsCode(int16_t size) { return size < 1; }

// Text that would end up as a section header or as the end of the file.
bool BreaksTheFile(const std::string& text) {
  return text == "###" || (text.size() >= 3 && text.front() == '[' && text.back() == ']');
}

// What the reader derives from the entries, so the buffer equals what a
// rereading of the written file gives.
void DeriveFlags(AlbumConfig& config) {
  config.distinct_schemes = 0;
  bool links = false;
  for (size_t i = 0; i < config.scaled.size(); ++i) {
    ScaledAlbumScheme& entry = config.scaled[i];
    entry.uses_original = entry.width == kSizeOrigLink || entry.width == kSizeOrigCopy;
    links = links || (entry.width == kSizeOrigLink && entry.height == kSizeOrigLink);
    const bool seen =
        std::any_of(config.scaled.begin(), config.scaled.begin() + static_cast<long>(i),
                    [&](const ScaledAlbumScheme& other) { return other.scheme == entry.scheme; });
    if (!seen) ++config.distinct_schemes;
  }
  for (ScaledAlbumScheme& entry : config.scaled) entry.orig_links_available = links;
}

}  // namespace

CountBarRange BarRange(CountBar bar) {
  switch (bar) {
    case CountBar::kLinksPerRow:
      return {79, 98, 1, 20};
    case CountBar::kThumbnailsPerRow:
      return {0, 98, 1, 99};
    case CountBar::kRowsPerPage:
      return {0, 99, 0, 99};
    case CountBar::kQuality:
      return {1, 100, 1, 100};
  }
  return {0, 99, 0, 99};
}

int ValueFromPosition(CountBar bar, int position) {
  const CountBarRange range = BarRange(bar);
  const int top = bar == CountBar::kQuality ? 101 : 99;
  return std::clamp(top - position, range.min_value, range.max_value);
}

int PositionFromValue(CountBar bar, int value) {
  const CountBarRange range = BarRange(bar);
  const int top = bar == CountBar::kQuality ? 101 : 99;
  return top - std::clamp(value, range.min_value, range.max_value);
}

const std::vector<std::string>& SizeComboItems(SizeCombo combo) {
  static const std::vector<std::string> widths = {"640",  "800",      "1024",
                                                  "1280", "ORIGLINK", "ORIGSIZE"};
  static const std::vector<std::string> heights = {"480",  "600",      "768",
                                                   "1024", "ORIGLINK", "ORIGSIZE"};
  static const std::vector<std::string> thumbnails = {"80", "100", "140", "200"};
  switch (combo) {
    case SizeCombo::kImageWidth:
      return widths;
    case SizeCombo::kImageHeight:
      return heights;
    default:
      return thumbnails;
  }
}

ScaledAlbumScheme NewScaledAlbumScheme(int16_t scheme) {
  ScaledAlbumScheme entry;
  entry.scheme = scheme;
  entry.width = 800;
  entry.height = 600;
  entry.thumbnail_width = 140;
  entry.thumbnail_height = 140;
  entry.links_per_row = 3;
  entry.thumbnails_per_row = 5;
  entry.rows_per_page = 0;
  entry.exact_size = true;
  entry.quality = 90;
  return entry;
}

ConfigEditor::ConfigEditor(AlbumConfig& buffer, ChooseScheme choose_scheme)
    : buffer_(buffer), choose_scheme_(std::move(choose_scheme)) {
  name_text_ = buffer_.name;
  description_text_ = buffer_.description;
  current_ = buffer_.scaled.empty() ? -1 : 0;
  ReadScaledAlbumScheme();
}

std::string ConfigEditor::MainSchemeName() const {
  const Scheme* scheme = SchemeNumbered(buffer_.main_scheme);
  return scheme ? scheme->name : "";
}

std::string ConfigEditor::MainSchemePreview() const { return PreviewOf(buffer_.main_scheme); }

std::string ConfigEditor::CurrentSchemePreview() const {
  return current_ < 0 ? "" : PreviewOf(buffer_.scaled[static_cast<size_t>(current_)].scheme);
}

std::vector<std::string> ConfigEditor::ListLines() const {
  std::vector<std::string> lines;
  for (size_t i = 0; i < buffer_.scaled.size(); ++i) lines.push_back(ListLine(static_cast<int>(i)));
  return lines;
}

std::string ConfigEditor::ListLine(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= buffer_.scaled.size()) return "";
  const ScaledAlbumScheme& entry = buffer_.scaled[static_cast<size_t>(index)];
  const Scheme* scheme = SchemeNumbered(entry.scheme);
  return (scheme ? scheme->name : "?") + ": " + FormatSizeCode(entry.width, false) + " x " +
         FormatSizeCode(entry.height, false) + "  (thumbnails " +
         std::to_string(entry.thumbnail_width) + " x " + std::to_string(entry.thumbnail_height) +
         ")";
}

void ConfigEditor::SizeTextChanged(SizeCombo combo, const std::string& text) {
  sizes_[Slot(combo)] = text;
  if (combo != SizeCombo::kImageWidth && combo != SizeCombo::kImageHeight) return;
  // Width and height always carry the same code.
  const int16_t size = ParseSizeCode(text, true);
  if (!IsCode(size)) return;
  const SizeCombo other =
      combo == SizeCombo::kImageWidth ? SizeCombo::kImageHeight : SizeCombo::kImageWidth;
  sizes_[Slot(other)] = FormatSizeCode(size, false);
}

void ConfigEditor::BarMoved(CountBar bar, int position) {
  const int value = ValueFromPosition(bar, position);
  counts_[Slot(bar)] = value;
  if (current_ < 0) return;
  ScaledAlbumScheme& entry = buffer_.scaled[static_cast<size_t>(current_)];
  const auto stored = static_cast<int16_t>(value);
  switch (bar) {
    case CountBar::kLinksPerRow:
      entry.links_per_row = stored;
      break;
    case CountBar::kThumbnailsPerRow:
      entry.thumbnails_per_row = stored;
      break;
    case CountBar::kRowsPerPage:
      entry.rows_per_page = stored;
      break;
    case CountBar::kQuality:
      entry.quality = stored;
      break;
  }
}

void ConfigEditor::CountTyped(CountBar bar, const std::string& text) {
  BarMoved(bar, PositionFromValue(bar, LeadingInt16(text)));
}

void ConfigEditor::ReadScaledAlbumScheme() {
  if (current_ < 0) {
    sizes_ = {};
    const ScaledAlbumScheme defaults = NewScaledAlbumScheme(0);
    counts_ = {defaults.links_per_row, defaults.thumbnails_per_row, defaults.rows_per_page,
               defaults.quality};
    return;
  }
  const ScaledAlbumScheme& entry = buffer_.scaled[static_cast<size_t>(current_)];
  sizes_ = {FormatSizeCode(entry.width, false), FormatSizeCode(entry.height, false),
            FormatSizeCode(entry.thumbnail_width, false),
            FormatSizeCode(entry.thumbnail_height, false)};
  // Shown as the bars can show them.
  auto shown = [](CountBar bar, int16_t value) {
    return ValueFromPosition(bar, PositionFromValue(bar, value));
  };
  counts_ = {shown(CountBar::kLinksPerRow, entry.links_per_row),
             shown(CountBar::kThumbnailsPerRow, entry.thumbnails_per_row),
             shown(CountBar::kRowsPerPage, entry.rows_per_page),
             shown(CountBar::kQuality, entry.quality)};
}

void ConfigEditor::UpdateScaledAlbumScheme() {
  if (current_ < 0) return;
  ScaledAlbumScheme& entry = buffer_.scaled[static_cast<size_t>(current_)];
  entry.width = ParseSizeCode(sizes_[Slot(SizeCombo::kImageWidth)], true);
  entry.height = ParseSizeCode(sizes_[Slot(SizeCombo::kImageHeight)], true);
  entry.thumbnail_width = ParseSizeCode(sizes_[Slot(SizeCombo::kThumbnailWidth)], true);
  entry.thumbnail_height = ParseSizeCode(sizes_[Slot(SizeCombo::kThumbnailHeight)], true);
  entry.uses_original = entry.width == kSizeOrigLink || entry.width == kSizeOrigCopy;
  entry.links_per_row = static_cast<int16_t>(counts_[Slot(CountBar::kLinksPerRow)]);
  entry.thumbnails_per_row = static_cast<int16_t>(counts_[Slot(CountBar::kThumbnailsPerRow)]);
  entry.rows_per_page = static_cast<int16_t>(counts_[Slot(CountBar::kRowsPerPage)]);
  entry.quality = static_cast<int16_t>(counts_[Slot(CountBar::kQuality)]);
}

void ConfigEditor::ListClicked(int index) {
  if (index < 0 || static_cast<size_t>(index) >= buffer_.scaled.size()) return;
  UpdateScaledAlbumScheme();
  current_ = index;
  ReadScaledAlbumScheme();
}

void ConfigEditor::New() {
  UpdateScaledAlbumScheme();
  if (buffer_.scaled.size() >= static_cast<size_t>(kMaxScaledSchemes)) {
    ShowMessage("An album configuration holds at most " + std::to_string(kMaxScaledSchemes) +
                " scaled album schemes.");
    return;
  }
  const int preselected =
      (current_ >= 0 ? buffer_.scaled[static_cast<size_t>(current_)].scheme : buffer_.main_scheme) -
      1;
  const int choice = choose_scheme_ ? choose_scheme_(preselected) : -1;
  if (choice < 0 || static_cast<size_t>(choice) >= Schemes().size()) return;
  buffer_.scaled.push_back(NewScaledAlbumScheme(static_cast<int16_t>(choice + 1)));
  current_ = static_cast<int>(buffer_.scaled.size()) - 1;
  ReadScaledAlbumScheme();
}

void ConfigEditor::Delete() {
  if (current_ < 0) return;
  buffer_.scaled.erase(buffer_.scaled.begin() + current_);
  current_ = std::min(current_, static_cast<int>(buffer_.scaled.size()) - 1);
  ReadScaledAlbumScheme();
}

void ConfigEditor::MoveUp() { Move(-1); }

void ConfigEditor::MoveDown() { Move(+1); }

void ConfigEditor::Move(int offset) {
  if (current_ < 0) return;
  UpdateScaledAlbumScheme();
  const int target = current_ + offset;
  if (target < 0 || static_cast<size_t>(target) >= buffer_.scaled.size()) return;
  std::swap(buffer_.scaled[static_cast<size_t>(current_)],
            buffer_.scaled[static_cast<size_t>(target)]);
  current_ = target;
  ReadScaledAlbumScheme();
}

void ConfigEditor::ChangeMainScheme() {
  const int choice = choose_scheme_ ? choose_scheme_(buffer_.main_scheme - 1) : -1;
  if (choice < 0 || static_cast<size_t>(choice) >= Schemes().size()) return;
  buffer_.main_scheme = static_cast<int16_t>(choice + 1);
}

void ConfigEditor::PreviewClicked() {
  UpdateScaledAlbumScheme();
  ReadScaledAlbumScheme();
}

std::string ConfigEditor::CheckReadable(int& entry) const {
  entry = -1;
  const std::string name = StorableText(name_text_);
  const std::string description = StorableText(description_text_);
  if (name.empty()) return "Please enter a name for the album configuration.";
  for (const std::string* text : {&name, &description})
    if (BreaksTheFile(*text))
      return "'" + *text +
             "' can't be stored as the name or description of an album configuration.";
  for (size_t i = 0; i < buffer_.scaled.size(); ++i) {
    const ScaledAlbumScheme& e = buffer_.scaled[i];
    const std::string which = "Scaled album scheme " + std::to_string(i + 1) + ": ";
    entry = static_cast<int>(i);
    const bool same_code = IsCode(e.width) && e.height == e.width;
    const bool in_range = e.width >= 10 && e.width <= 5000 && e.height >= 10 && e.height <= 5000;
    if (!same_code && !in_range)
      return which +
             "the picture width and height must be 10 to 5000 pixels, or both ORIGLINK or both "
             "ORIGSIZE.";
    if (e.thumbnail_width < 10 || e.thumbnail_width > 1000 || e.thumbnail_height < 10 ||
        e.thumbnail_height > 1000)
      return which + "the thumbnail width and height must be 10 to 1000 pixels.";
  }
  entry = -1;
  return "";
}

bool ConfigEditor::Confirm() {
  UpdateScaledAlbumScheme();
  int entry = -1;
  const std::string problem = CheckReadable(entry);
  if (!problem.empty()) {
    ShowMessage(problem);
    if (entry >= 0) {
      current_ = entry;
      ReadScaledAlbumScheme();
    }
    return false;
  }
  buffer_.name = StorableText(name_text_);
  buffer_.description = StorableText(description_text_);
  DeriveFlags(buffer_);
  result_ = "OK";
  return true;
}

}  // namespace snapcrate
