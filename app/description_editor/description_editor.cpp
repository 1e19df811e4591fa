#include "app/description_editor/description_editor.h"

#include <algorithm>

#include "app/descriptions/description_store.h"
#include "app/descriptions/dir_description.h"
#include "app/descriptions/image_description.h"
#include "app/exec_and_wait.h"
#include "app/exif/exif_info.h"
#include "app/file_lib.h"
#include "app/log.h"
#include "app/numeric.h"
#include "app/paths.h"
#include "app/pictures/dir_listing.h"
#include "app/pictures/image_library.h"
#include "app/program_state.h"
#include "app/schemes/album_config.h"
#include "app/settings.h"
#include "app/text.h"
#include "app/ui_port.h"
#include "pixcore/pixcore.h"

namespace snapcrate {
namespace {

constexpr char kQuote = '"';

/// A stored rating "1" ... "6"; anything else selects no rating.
std::string RatingChoice(const std::string& value) {
  if (value.size() == 1 && value[0] >= '1' && value[0] <= '6') return value;
  return {};
}

/// A stored rotation as the button it selects; "90" counts like "+90".
std::string RotationChoice(const std::string& value) {
  if (value == "90" || value == "+90") return "+90";
  if (value == "-90" || value == "180") return value;
  return {};
}

/// The rotation in degrees 0 to 359, as the generator names its copies.
int RotationDegrees(const std::string& rotation) {
  const int degrees = LeadingInt16(rotation) % 360;
  return degrees < 0 ? degrees + 360 : degrees;
}

/// `path` without its last component, ending in "/"; empty for the root.
std::string ParentDir(const std::string& path) {
  const std::string stripped = StripTrailingBackslash(path);
  if (stripped.empty()) return {};
  std::string parent, name;
  SplitPath(stripped, parent, name);
  return WithTrailingSlash(parent);
}

std::string LastComponent(const std::string& path) {
  std::string parent, name;
  SplitPath(StripTrailingBackslash(path), parent, name);
  return name;
}

bool ParseBoxDirName(const std::string& name, SizeBox& box) {
  if (name == GetSizeDirName({kOrigSize, kOrigSize})) {
    box = {kOrigSize, kOrigSize};
    return true;
  }
  if (name == GetSizeDirName({kOrigCopy, kOrigCopy})) {
    box = {kOrigCopy, kOrigCopy};
    return true;
  }
  if (name.size() < 5 || name.front() != '_' || name.back() != '_') return false;
  const std::string inner = name.substr(1, name.size() - 2);
  const size_t x = inner.find('x');
  if (x == std::string::npos) return false;
  const std::string width = inner.substr(0, x);
  const std::string height = inner.substr(x + 1);
  auto is_number = [](const std::string& text) {
    return !text.empty() && text.size() <= 5 && text[0] != '0' &&
           text.find_first_not_of("0123456789") == std::string::npos;
  };
  if (!is_number(width) || !is_number(height)) return false;
  const int w = std::stoi(width), h = std::stoi(height);
  if (w > 32767 || h > 32767) return false;
  box = {static_cast<int16_t>(w), static_cast<int16_t>(h)};
  return true;
}

}  // namespace

std::vector<SizeBox> CurrentConfigBoxes() {
  const std::vector<AlbumConfig>& configs = Configs();
  const int index = LeadingInt16(ReadSetting("GenHTMLConfigIndex", "-1"));
  if (index < 0 || index >= static_cast<int>(configs.size())) return {};
  std::vector<SizeBox> boxes;
  for (const ScaledAlbumScheme& entry : configs[static_cast<size_t>(index)].scaled)
    boxes.push_back({entry.width, entry.height});
  return boxes;
}

std::vector<SizeBox> FindAlbumBoxes(const std::string& album_dir) {
  std::vector<DirEntry> entries;
  ListDirEntries(WithTrailingSlash(album_dir), kDirectoryEntries, entries, kMaxDirEntries);
  std::vector<SizeBox> boxes;
  for (const DirEntry& entry : entries) {
    SizeBox box;
    if (ParseBoxDirName(entry.name, box)) boxes.push_back(box);
  }
  // Thumbnail boxes look like picture boxes; the larger box is the picture's.
  auto rank = [](const SizeBox& box) -> int64_t {
    if (box.width > 0) return -int64_t{box.width} * box.height;
    return box.width == kOrigSize ? 1 : 2;
  };
  std::stable_sort(boxes.begin(), boxes.end(),
                   [&](const SizeBox& a, const SizeBox& b) { return rank(a) < rank(b); });
  return boxes;
}

std::vector<SizeBox> AlbumBoxes(const std::string& album_dir) {
  std::vector<SizeBox> boxes = CurrentConfigBoxes();
  return boxes.empty() ? FindAlbumBoxes(album_dir) : boxes;
}

DescriptionEditorServices DescriptionEditorServices::Default() {
  DescriptionEditorServices services;
  services.exif_text = GetReadableExifText;
  services.rotate = JtRotate;
  services.run_program = [](const std::string& command_line) { RunProgram(command_line, WindowStyle::kNormal); };
  return services;
}

DescriptionEditor::DescriptionEditor(DescriptionEditorServices services)
    : services_(std::move(services)),
      dir_store_(kDescriptionStoreCapacity),
      picture_store_(kDescriptionStoreCapacity) {}

void DescriptionEditor::Open() {
  std::string directory, position;
  IniFileArrayReadMultipleKeys(Program().settings, {
                                                       {"AddDescPath", DefaultDirectory(), &directory},
                                                       {"AddDescImageIndex", "", &position},
                                                   });
  // An empty path, or one written by the Windows version ("c:\"), starts at home.
  if (directory.empty() || directory.front() != '/') directory = DefaultDirectory();
  current_dir_ = WithTrailingSlash(directory);
  pending_position_ = position;
  lossless_ = LeadingNumber(Program().rotate_lossless_at_original_location) != 0;
  ClearLines(dir_store_);
  dir_loaded_ = false;
  SetDirAndDriveControl(current_dir_, chooser_);
  DirectoryChanged();
}

void DescriptionEditor::DirectoryChanged() {
  if (busy_) return;
  busy_ = true;
  WriteImageDscInfo();
  UpdateCurImagePath();
  busy_ = false;
}

void DescriptionEditor::GoToDirectory(const std::string& directory) {
  SetDirAndDriveControl(directory, chooser_);
  DirectoryChanged();
}

void DescriptionEditor::UpDir() {
  const std::string parent = ParentDir(current_dir_);
  if (!parent.empty()) GoToDirectory(parent);
}

void DescriptionEditor::SkipImageDir(int step) {
  const std::string parent = ParentDir(current_dir_);
  if (parent.empty()) return;
  std::vector<DirEntry> entries;
  ListDirEntries(parent, kDirectoryEntries, entries, kMaxDirEntries);
  std::vector<std::string> names;
  for (const DirEntry& entry : entries) names.push_back(entry.name);
  if (names.empty()) return;
  SortStrings(names, 0, names.size() - 1);
  const auto it = std::find(names.begin(), names.end(), LastComponent(current_dir_));
  if (it == names.end()) return;
  const long target = (it - names.begin()) + step;
  if (target < 0 || target >= static_cast<long>(names.size())) return;
  GoToDirectory(parent + names[static_cast<size_t>(target)] + "/");
}

bool DescriptionEditor::NextPicture() {
  if (current_ >= static_cast<int>(pictures_.size())) return false;
  SaveAndMove(current_ + 1);
  return true;
}

bool DescriptionEditor::PreviousPicture() {
  if (current_ < 2) return false;
  SaveAndMove(current_ - 1);
  return true;
}

void DescriptionEditor::SelectPicture(int position) {
  if (position != current_) SaveAndMove(position);
}

void DescriptionEditor::Refresh() {
  if (busy_) return;
  busy_ = true;
  // Typed text is saved first: reading the list anew shows the file's values.
  WriteImageDscInfo();
  WriteDirDscInfo();
  pending_position_ = std::to_string(current_);
  ReadNewDir();
  busy_ = false;
}

void DescriptionEditor::SaveAndMove(int position) {
  if (busy_) return;
  busy_ = true;
  WriteImageDscInfo();
  WriteDirDscInfo();
  UpdateImage(position);
  busy_ = false;
}

void DescriptionEditor::UpdateCurImagePath() {
  WriteDirDscInfo();
  current_dir_ = WithTrailingSlash(chooser_.directory());
  UpdateDirDscInfo();
  album_dir_ = FindSnapcratePath(current_dir_);
  ReadNewDir();
}

void DescriptionEditor::UpdateDirDscInfo() {
  const DirDescription description = ReadDirDescription(current_dir_, dir_store_);
  dir_form_.title = description.title;
  dir_form_.description = description.description;
  index_image_ = description.image;
  dir_loaded_ = true;
}

void DescriptionEditor::ReadNewDir() {
  std::vector<DirEntry> entries;
  ListDirEntries(current_dir_, kFileEntries, entries, kMaxEditorPictures);
  pictures_.clear();
  for (const DirEntry& entry : entries)
    if (services_.probe.image_type(entry.name) != -1) pictures_.push_back(entry.name);
  if (!pictures_.empty()) SortStrings(pictures_, 0, pictures_.size() - 1);
  ++list_generation_;
  if (!pending_position_.empty()) {
    const int position = LeadingInt32(pending_position_);
    pending_position_.clear();
    UpdateImage(position);
  } else {
    UpdateImage(1);
  }
}

void DescriptionEditor::UpdateImage(int position) {
  current_ = position;
  display_path_.clear();
  display_upright_ = false;
  if (!HasPicture()) {
    exif_text_.clear();
    picture_form_.title.clear();
    picture_form_.description.clear();
    picture_form_.keys.clear();
    const std::string empty;
    PutDscExtInfoToForm(empty, empty, empty, &empty, empty);
    stored_rotation_zero_ = false;
    return;
  }
  Ui().SetBusy(true);
  exif_text_ = services_.exif_text ? services_.exif_text(PicturePath()) : std::string();
  ShowDscInfo();
  display_path_ = ChooseDisplayFile();
  display_upright_ = FollowsExifOrientation();
  Ui().SetBusy(false);
}

void DescriptionEditor::ShowDscInfo() {
  const ImageDescription stored = ReadImageDescription(PicturePath(), picture_store_);
  picture_form_.title = BrToLineBreaks(stored.title);
  picture_form_.description = BrToLineBreaks(stored.description);
  picture_form_.keys = BrToLineBreaks(stored.keys);
  PutDscExtInfoToForm(stored.quality, stored.originality, stored.rotation, &stored.take_date_from_filename,
                      stored.add_link);
  stored_rotation_zero_ = stored.rotation == "0";
}

void DescriptionEditor::PutDscExtInfoToForm(const std::string& quality, const std::string& originality,
                                            const std::string& rotation, const std::string* take_date,
                                            const std::string& link) {
  picture_form_.quality = RatingChoice(quality);
  picture_form_.originality = RatingChoice(originality);
  picture_form_.rotation = RotationChoice(rotation);
  // No take-date value means "leave the box as it is".
  if (take_date) picture_form_.take_date_from_filename = *take_date == "1";
  picture_form_.add_link = link;
}

void DescriptionEditor::ResetExtendedValues() {
  const std::string empty;
  PutDscExtInfoToForm(empty, empty, empty, nullptr, empty);
}

std::string DescriptionEditor::GetCurRot() const { return RotationChoice(picture_form_.rotation); }

std::string DescriptionEditor::RotationEntry() const {
  const std::string chosen = GetCurRot();
  return !chosen.empty() ? chosen : stored_rotation_zero_ ? "0" : "";
}

bool DescriptionEditor::FollowsExifOrientation() const {
  int32_t width = 0, height = 0, orientation = 1;
  if (services_.probe.image_info(PIXCORE_DETECT_FORMAT, PicturePath(), width, height, orientation) != 1) return false;
  return FollowedOrientation(AutoOrientSetting(), RotationEntry(), orientation) != 1;
}

std::string DescriptionEditor::ChooseDisplayFile() const {
  const std::string original = PicturePath();
  if (album_dir_.empty() || !services_.album_boxes) return original;
  // The album's copies are named as the generator names them, which takes the
  // picture's size, extension and rotation.
  PictureRecord record;
  record.file_name = pictures_[static_cast<size_t>(current_ - 1)];
  SplitExt(record.file_name, record.extension);
  record.rotation = static_cast<int16_t>(RotationDegrees(GetCurRot()));
  int32_t orientation = 1;
  if (services_.probe.image_info(PIXCORE_DETECT_FORMAT, original, record.width, record.height, orientation) != 1 ||
      record.width < 1 || record.height < 1)
    return original;
  record.orientation = FollowedOrientation(AutoOrientSetting(), RotationEntry(), orientation);
  for (const SizeBox& box : services_.album_boxes(album_dir_)) {
    if (IsLinkBox(box)) continue;
    const std::string candidate = album_dir_ + "/" + GetSizeDirName(box) + "/" + GetOutputFileName(record, box);
    if (!FileExists(candidate)) continue;
    // A copy older than the original shows an outdated picture.
    return IsNewer(original, candidate) ? original : candidate;
  }
  return original;
}

void DescriptionEditor::StoreLosslessSetting() {
  const std::string value = lossless_ ? "1" : "0";
  std::string& setting = Program().rotate_lossless_at_original_location;
  if (LeadingNumber(value) == LeadingNumber(setting)) return;
  setting = value;
  WriteSettings({{"RotateLoslessAtOriginalLocation", value}});
}

bool DescriptionEditor::RotateLossless(const std::string& picture_path, const std::string& rotation) {
  std::string extension;
  const std::string kept_original = SplitExt(picture_path, extension) + ".jpeg";
  // The unrotated picture stays beside the rotated one under ".jpeg"; when that
  // name is taken, the picture is turned in place.
  const bool renamed = RenameFile(picture_path, kept_original) == 0;
  const std::string source = renamed ? kept_original : picture_path;
  Ui().SetBusy(true);
  const int32_t code = services_.rotate ? services_.rotate(source, picture_path, LeadingInt32(rotation)) : -1;
  Ui().SetBusy(false);
  if (code != 1) {
    // The rotation wrote nothing: the picture goes back to its name and keeps
    // its Rotation value, so the album generator still turns it.
    if (renamed) RenameFile(kept_original, picture_path);
    LogMessage("Can't rotate " + picture_path + " losslessly by " + rotation + " degrees (error " +
               std::to_string(code) + ")");
    return false;
  }
  LogMessage(picture_path + " losless rotated by " + rotation + " degrees");
  return true;
}

void DescriptionEditor::WriteImageDscInfo() {
  if (!HasPicture()) return;
  const std::string path = PicturePath();
  ImageDescription values{
      .title = picture_form_.title,
      .description = picture_form_.description,
      .keys = picture_form_.keys,
      .quality = RatingChoice(picture_form_.quality),
      .originality = RatingChoice(picture_form_.originality),
      .rotation = GetCurRot(),
      .take_date_from_filename = picture_form_.take_date_from_filename ? "1" : "",
      .add_link = picture_form_.add_link,
  };
  // "0" marks a picture already turned on disk; it stays while no new
  // rotation is chosen, so the generator never turns it a second time.
  if (values.rotation.empty() && stored_rotation_zero_) values.rotation = "0";
  StoreLosslessSetting();
  std::string extension;
  SplitExt(path, extension);
  if (LeadingNumber(Program().rotate_lossless_at_original_location) != 0 && LeadingNumber(values.rotation) != 0 &&
      AsciiLower(extension) == ".jpg") {
    if (RotateLossless(path, values.rotation)) {
      values.rotation = "0";
      picture_form_.rotation.clear();
      stored_rotation_zero_ = true;
    }
  }
  WriteImageDescription(path, picture_store_, values);
}

void DescriptionEditor::WriteDirDscInfo() {
  // Only a directory whose description was read: the empty form of a window
  // just opened must not overwrite the last directory's texts.
  if (current_dir_.empty() || !dir_loaded_) return;
  WriteDirDescription(current_dir_, dir_store_, dir_form_.title, dir_form_.description);
}

bool DescriptionEditor::Confirm() {
  if (confirmed_ || busy_) return false;
  confirmed_ = true;
  busy_ = true;
  WriteImageDscInfo();
  WriteDirDscInfo();
  WriteSettings({{"AddDescPath", current_dir_}, {"AddDescImageIndex", std::to_string(current_)}});
  busy_ = false;
  return true;
}

void DescriptionEditor::SetIndexPicture(const std::string& chosen_path) {
  if (chosen_path.empty() || current_dir_.empty()) return;
  index_image_ = RelativeImagePath(current_dir_, chosen_path);
  SetDirIndexImage(current_dir_, dir_store_, index_image_);
}

void DescriptionEditor::ClearIndexPicture() {
  if (current_dir_.empty()) return;
  index_image_.clear();
  SetDirIndexImage(current_dir_, dir_store_, "");
}

std::string DescriptionEditor::ViewerCommand() const {
  const std::string viewer = ReadSetting("ExtViewer", "");
  if (viewer.empty() || viewer == "$$$") {
    ShowMessage(kViewerNotConfiguredMessage);
    return {};
  }
  return viewer;
}

void DescriptionEditor::ViewIndexPicture() {
  const std::string viewer = ViewerCommand();
  if (viewer.empty() || index_image_.empty()) return;
  services_.run_program(ReplaceAll(viewer, "$1", current_dir_ + index_image_));
}

void DescriptionEditor::PictureClicked() {
  if (!HasPicture()) return;
  const std::string viewer = ViewerCommand();
  if (!viewer.empty()) services_.run_program(ReplaceAll(viewer, "$1", PicturePath()));
}

void DescriptionEditor::ChooseLinkFile(const std::string& chosen_path) {
  if (chosen_path.empty()) return;
  picture_form_.add_link = RelativeImagePath(current_dir_, chosen_path);
}

std::string DescriptionEditor::HomeStarter() const {
  return std::string(1, kQuote) + Program().home_dir + "etc/winstart" + kQuote;
}

void DescriptionEditor::LaunchLink() {
  const std::string& link = picture_form_.add_link;
  if (link.empty()) return;
  // Links typed in the Windows version use "\".
  std::string local = link;
  std::replace(local.begin(), local.end(), '\\', '/');
  const std::string target = FileExists(current_dir_ + local) ? current_dir_ + local : link;
  services_.run_program(HomeStarter() + " " + kQuote + target + kQuote);
}

void DescriptionEditor::ShowThumbnails() {
  if (album_dir_.empty()) {
    ShowMessage(kNoHtmlPathMessage);
    return;
  }
  const std::string page = album_dir_ + "/index" + Program().gen_html_ext;
  if (FileExists(page)) services_.run_program(HomeStarter() + " " + kQuote + page + kQuote);
  else ShowMessage(kQuote + page + kQuote + " not found!");
}

std::string DescriptionEditor::FindSnapcratePath(const std::string& directory) {
  if (directory.empty()) return {};
  // The trailing "." lets the last candidate be the album root itself.
  const std::string path = directory.back() == '/' ? directory + "." : directory;
  const std::string root =
      JoinPath(ReadSetting("GenHTMLDestPath", DefaultDirectory()), Program().gen_html_root_dir);
  for (size_t slash = path.find('/'); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    std::string candidate = root + "/" + path.substr(slash + 1);
    if (!IsDirectory(candidate)) continue;
    if (candidate.ends_with("/.")) candidate.resize(candidate.size() - 2);
    return candidate;
  }
  return {};
}

std::string DescriptionEditor::PicturePath() const {
  if (!HasPicture()) return {};
  return current_dir_ + pictures_[static_cast<size_t>(current_ - 1)];
}

std::string DescriptionEditor::PictureEntry(int position) const {
  if (position < 1 || position > static_cast<int>(pictures_.size())) return {};
  return pictures_[static_cast<size_t>(position - 1)] + ": " + std::to_string(position);
}

std::string DescriptionEditor::PositionText() const {
  if (!HasPicture()) return {};
  return std::to_string(current_) + "/" + std::to_string(pictures_.size());
}

std::string DescriptionEditor::PictureCaption() const {
  const std::string title = Trim(picture_form_.title);
  std::string caption = title;
  if (!title.empty() && !picture_form_.description.empty()) caption += " - ";
  return caption + picture_form_.description;
}

std::string DescriptionEditor::IndexPictureText() const { return index_image_.empty() ? "<None>" : index_image_; }

bool DescriptionEditor::ThumbnailsVisible() const {
  return !album_dir_.empty() && FileExists(album_dir_ + "/index" + Program().gen_html_ext);
}

}  // namespace snapcrate
