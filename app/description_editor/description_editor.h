#pragma once
// The description editor without its window: walks the picture directories,
// shows one picture at a time with its EXIF summary, and saves the picture's and
// the directory's description whenever the user moves on.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/dir_chooser.h"
#include "app/generator/image_scaling.h"
#include "app/line_store.h"
#include "app/pictures/picture_probe.h"

namespace snapcrate {

/// The most pictures one directory shows.
inline constexpr int kMaxEditorPictures = 860;

inline constexpr std::string_view kViewerNotConfiguredMessage = "External Image Viewer not configured!";
inline constexpr std::string_view kNoHtmlPathMessage =
    "No HTML Path set! (Call Generate HTML Pages Dialog and go to destination directory!)";

/// The picture's fields as the form holds them. Texts keep real line breaks;
/// each choice is the stored value of the button that is checked, or empty.
struct PictureForm {
  std::string title;
  std::string description;
  std::string keys;
  std::string quality;      // "1" ... "6" or empty
  std::string originality;  // "1" ... "6" or empty
  std::string rotation;     // "+90", "-90", "180" or empty
  bool take_date_from_filename = false;
  std::string add_link;
};

/// The directory's fields ("Directory Info").
struct DirForm {
  std::string title;
  std::string description;
};

/// The full-picture boxes of the current album configuration (the setting
/// GenHTMLConfigIndex), in its order; empty when none is chosen.
std::vector<SizeBox> CurrentConfigBoxes();

/// The boxes of the album generated into `album_dir` as its box directories
/// show them: "_WxH_" largest first, then original size, then copies.
std::vector<SizeBox> FindAlbumBoxes(const std::string& album_dir);

/// CurrentConfigBoxes, or without a current configuration FindAlbumBoxes.
std::vector<SizeBox> AlbumBoxes(const std::string& album_dir);

/// What the editor reaches outside itself; tests replace parts.
struct DescriptionEditorServices {
  PictureProbe probe;
  /// The EXIF lines shown for a picture; empty when it has none.
  std::function<std::string(const std::string& path)> exif_text;
  /// Lossless JPEG rotation; 1 on success.
  std::function<int32_t(const std::string& source, const std::string& destination, int32_t angle)> rotate;
  /// Full-picture boxes of the album generated into a directory, in the order
  /// their copies are looked for.
  std::function<std::vector<SizeBox>(const std::string& album_dir)> album_boxes = AlbumBoxes;
  /// Starts a command line (the viewer, the document starter).
  std::function<void(const std::string& command_line)> run_program;

  /// The real libraries and programs.
  static DescriptionEditorServices Default();
};

class DescriptionEditor {
 public:
  explicit DescriptionEditor(DescriptionEditorServices services = DescriptionEditorServices::Default());

  /// Opening: the directory and position of the last use, from the settings.
  void Open();

  // --- Navigation. Each move saves the picture and the directory first.

  /// `Dir1` or `Drive1` changed: the chooser already shows the new directory.
  void DirectoryChanged();
  /// Shows `directory` (falling back to its nearest existing parent).
  void GoToDirectory(const std::string& directory);
  /// `CommandUpDir`.
  void UpDir();
  /// `SkipImageDir`: the next (+1) or previous (-1) sibling directory, in byte
  /// order; nothing at either end.
  void SkipImageDir(int step);
  /// `CommandScrollUp`; false (a beep) at the last picture.
  bool NextPicture();
  /// `CommandScrollDown`; false (a beep) at the first picture.
  bool PreviousPicture();
  /// A choice in `Combo1` (position from 1).
  void SelectPicture(int position);
  /// `Label1` click: reads the directory anew and shows the same position.
  void Refresh();

  // --- Saving.

  /// `WriteImageDscInfo` for the picture shown, with the lossless rotation.
  void WriteImageDscInfo();
  /// `WriteDirDscInfo` for the directory shown.
  void WriteDirDscInfo();
  /// An OK button: saves everything and remembers directory and position.
  /// False when it already ran (the window closes once).
  bool Confirm();

  // --- Buttons.

  /// `CommandTab2ResetValues`: clears ratings, rotation and link; the take-date
  /// box keeps its state.
  void ResetExtendedValues();
  /// `CommandTab3PictureSet` with the file the user chose.
  void SetIndexPicture(const std::string& chosen_path);
  void ClearIndexPicture();
  /// `CommandTab3PictureView`.
  void ViewIndexPicture();
  /// Click on the picture: opens it in the viewer.
  void PictureClicked();
  /// `CommandTab2ChooseFile` with the file the user chose.
  void ChooseLinkFile(const std::string& chosen_path);
  /// `CommandTab2Launch`.
  void LaunchLink();
  /// `ImageShowThumbnails`.
  void ShowThumbnails();

  /// `FindSnapcratePath`: the generated album's directory for a source
  /// directory, or empty.
  static std::string FindSnapcratePath(const std::string& directory);

  // --- State the window shows. The window writes typed text into the forms.

  PictureForm& picture_form() { return picture_form_; }
  DirForm& dir_form() { return dir_form_; }
  /// "Rotate Lossless at Original Location".
  bool& lossless() { return lossless_; }

  DirChooser& chooser() { return chooser_; }
  const std::string& current_dir() const { return current_dir_; }
  const std::vector<std::string>& pictures() const { return pictures_; }
  int current() const { return current_; }
  bool HasPicture() const { return current_ >= 1 && current_ <= static_cast<int>(pictures_.size()); }
  /// The path of the picture shown, or empty.
  std::string PicturePath() const;
  /// `Combo1` entry for a position: name + ": " + position.
  std::string PictureEntry(int position) const;
  /// `Label1`: position + "/" + count, empty without a picture.
  std::string PositionText() const;
  const std::string& exif_text() const { return exif_text_; }
  /// The EXIF field is shown for pictures with EXIF data, the take-date box for
  /// pictures without.
  bool ExifVisible() const { return HasPicture() && !exif_text_.empty(); }
  bool TakeDateVisible() const { return HasPicture() && exif_text_.empty(); }
  /// The file to show: the album's copy when it is current, else the original.
  const std::string& display_path() const { return display_path_; }
  /// True when the album turns the picture by its EXIF orientation, so the
  /// display turns the file shown likewise (the album's own copies carry no
  /// orientation and stay as they are).
  bool display_upright() const { return display_upright_; }
  /// Title, " - " and description of the picture.
  std::string PictureCaption() const;
  /// `LabelTab3PictureName`: the index picture, "<None>" when there is none.
  std::string IndexPictureText() const;
  const std::string& album_dir() const { return album_dir_; }
  bool ThumbnailsVisible() const;
  /// Raised whenever the picture list was read anew.
  int list_generation() const { return list_generation_; }

 private:
  void UpdateCurImagePath();
  void UpdateDirDscInfo();
  void ReadNewDir();
  void UpdateImage(int position);
  void ShowDscInfo();
  void PutDscExtInfoToForm(const std::string& quality, const std::string& originality,
                           const std::string& rotation, const std::string* take_date, const std::string& link);
  std::string GetCurRot() const;
  std::string ChooseDisplayFile() const;
  /// The Rotation entry the generator would read: the chosen button, or "0"
  /// kept from a lossless rotation, or empty.
  std::string RotationEntry() const;
  bool FollowsExifOrientation() const;
  void SaveAndMove(int position);
  bool RotateLossless(const std::string& picture_path, const std::string& rotation);
  void StoreLosslessSetting();
  std::string ViewerCommand() const;
  std::string HomeStarter() const;

  DescriptionEditorServices services_;
  DirChooser chooser_;
  std::string current_dir_;
  bool dir_loaded_ = false;  // the directory form holds current_dir_'s description
  std::vector<std::string> pictures_;
  int current_ = 0;
  std::string pending_position_;
  bool busy_ = false;
  bool confirmed_ = false;
  LineStore dir_store_;
  LineStore picture_store_;
  std::string album_dir_;
  PictureForm picture_form_;
  DirForm dir_form_;
  std::string index_image_;
  // A picture rotated losslessly keeps Rotation "0" while no rotation is chosen.
  bool stored_rotation_zero_ = false;
  bool lossless_ = true;
  std::string exif_text_;
  std::string display_path_;
  bool display_upright_ = false;
  int list_generation_ = 0;
};

}  // namespace snapcrate
