#pragma once
// "Edit Album Configuration" without the window: the controls of one album
// configuration, shown from and stored into an edit buffer. The editor never
// writes files; its caller copies the buffer back on "OK".

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/schemes/album_config.h"

namespace snapcrate {

inline constexpr std::string_view kConfigEditorTitle = "Edit Album Configuration";

/// The four editable size lists, in the order width, height of the scaled
/// pictures, then width, height of the thumbnails.
enum class SizeCombo { kImageWidth, kImageHeight, kThumbnailWidth, kThumbnailHeight };
inline constexpr int kSizeComboCount = 4;

/// The four upside-down scroll bars and their text fields.
enum class CountBar { kLinksPerRow, kThumbnailsPerRow, kRowsPerPage, kQuality };
inline constexpr int kCountBarCount = 4;

/// What a bar runs over: its positions and the values they stand for. The
/// value is 99 - position (quality: 101 - position), so the top is the largest.
/// The positions are limited so that every value is one the configuration
/// reader accepts: 1 to 20 links and 1 to 99 thumbnails per row, 0 to 99 rows.
struct CountBarRange {
  int min_position;
  int max_position;
  int min_value;
  int max_value;
};
CountBarRange BarRange(CountBar bar);
/// The value a bar position stands for, clamped to the bar's values.
int ValueFromPosition(CountBar bar, int position);
/// The position that shows `value` (clamped to the bar's values first).
int PositionFromValue(CountBar bar, int value);

/// The entries each size list offers.
const std::vector<std::string>& SizeComboItems(SizeCombo combo);

/// The defaults of a scaled album scheme added with New, for `scheme` (1 to n).
ScaledAlbumScheme NewScaledAlbumScheme(int16_t scheme);

class ConfigEditor {
 public:
  /// The scheme chooser: shows the scheme list with `preselected` (0-based,
  /// or -1) and answers the chosen 0-based index, or -1 for no choice.
  using ChooseScheme = std::function<int(int preselected)>;

  /// Window load: the controls show `buffer`, the first entry is current and
  /// the result is "Cancel".
  ConfigEditor(AlbumConfig& buffer, ChooseScheme choose_scheme);

  const AlbumConfig& buffer() const { return buffer_; }
  /// "Cancel" until OK was accepted, then "OK".
  const std::string& result() const { return result_; }
  /// 0-based index of the entry the controls show; -1 when the list is empty.
  int current() const { return current_; }

  /// `TextName`, `TextDesc`: kept in the controls until OK.
  const std::string& name_text() const { return name_text_; }
  const std::string& description_text() const { return description_text_; }
  void SetNameText(std::string text) { name_text_ = std::move(text); }
  void SetDescriptionText(std::string text) { description_text_ = std::move(text); }

  /// `TextMainSchemeName` and the file `ImageMainSchemePreview` shows ("" for none).
  std::string MainSchemeName() const;
  std::string MainSchemePreview() const;
  /// The file `ImageCurAlbumSchemePreview` shows for the current entry ("" for none).
  std::string CurrentSchemePreview() const;

  /// `ListScaledAlbumSchemes`: one line per entry.
  std::vector<std::string> ListLines() const;
  std::string ListLine(int index) const;

  /// The text of a size list and the value of a bar, as the controls show them.
  const std::string& SizeText(SizeCombo combo) const { return sizes_[static_cast<size_t>(combo)]; }
  int CountValue(CountBar bar) const { return counts_[static_cast<size_t>(bar)]; }
  int CountPosition(CountBar bar) const { return PositionFromValue(bar, CountValue(bar)); }

  /// A size list was changed or typed into. A scaled picture size that reads
  /// as a code is copied into the other list of the pair.
  void SizeTextChanged(SizeCombo combo, const std::string& text);
  /// A bar moved: its value goes to the text field and the current entry.
  void BarMoved(CountBar bar, int position);
  /// The user typed into a bar's text field: its number, clamped, as if the bar moved.
  void CountTyped(CountBar bar, const std::string& text);

  /// `ReadScaledAlbumScheme`: the controls show the current entry.
  void ReadScaledAlbumScheme();
  /// `UpdateScaledAlbumScheme`: the controls go into the current entry.
  void UpdateScaledAlbumScheme();

  /// A click on a list line: stores the entry being left, shows `index`.
  void ListClicked(int index);
  /// `CommandNew`: stores the current entry and adds one for the chosen scheme.
  void New();
  /// `CommandDelete`: removes the current entry.
  void Delete();
  /// `CommandListUp`, `CommandListDown`: exchange with the neighbour.
  void MoveUp();
  void MoveDown();
  /// `CommandChange`: the chosen scheme draws the main index page.
  void ChangeMainScheme();
  /// A click on the entry's preview picture: store and show it again.
  void PreviewClicked();
  /// `CommandOK`: stores the controls and sets the result "OK". False after a
  /// message, with the result unchanged and the offending entry shown, when the
  /// configuration reader would refuse what was typed.
  bool Confirm();

 private:
  void Move(int offset);
  /// Why the reader would refuse the buffer, and the entry it would drop (or -1); "" when it reads
  /// it back.
  std::string CheckReadable(int& entry) const;

  AlbumConfig& buffer_;
  ChooseScheme choose_scheme_;
  std::string result_ = "Cancel";
  int current_ = -1;
  std::string name_text_;
  std::string description_text_;
  std::array<std::string, kSizeComboCount> sizes_;
  std::array<int, kCountBarCount> counts_{};
};

}  // namespace snapcrate
