#pragma once
// "Snapcrate - Generate HTML Pages" without the window: the album
// configuration, source and destination, the minimal ratings, the
// configuration commands, and the generation request OK fills.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/dir_chooser.h"
#include "app/generator/generation_request.h"

namespace snapcrate {

inline constexpr std::string_view kGenerateTitle = "Snapcrate - Generate HTML Pages";
inline constexpr std::string_view kRereadingMessage =
    "Rereading Scheme & Configuration Settings ...";
inline constexpr std::string_view kTooManyConfigsMessage = "Too much Configuration Files";
inline constexpr std::string_view kDebugInfoMessage = "Info: Debug Info Generated in HTML Pages!";
inline constexpr std::string_view kDeleteStandardConfigQuestion =
    "Warning: This is one of the Standard Album Configurations of Snapcrate.\r\n"
    "Do you want to delete it anyway?";
inline constexpr std::string_view kNoConfigSelectedMessage =
    "Please select an album configuration.";

/// The request the last confirmed Generate HTML window filled.
GenerationRequest& CurrentGenerationRequest();

/// The file of the configuration with short name `key`: home + "etc/config_" + key + ".ini".
std::string ConfigPath(const std::string& key);

class GenerateDialog {
 public:
  /// Opens the configuration editor on `buffer`; true when it answered "OK".
  using OpenEditor = std::function<bool(AlbumConfig& buffer)>;

  /// Opening: empties the result, logs and rereads the schemes and
  /// configurations, reads the six settings and selects the configuration.
  explicit GenerateDialog(OpenEditor open_editor,
                          GenerationRequest& request = CurrentGenerationRequest());

  /// `Combo1`: the configurations by name, in configuration order.
  std::vector<std::string> ConfigNames() const;
  /// 0-based position in `Combo1`; -1 when there is no configuration.
  int selected() const { return selected_; }
  void Select(int index);
  /// `Text1`: description, a line break, the sizes per scheme.
  std::string ConfigText() const;

  DirChooser& source() { return source_; }
  DirChooser& destination() { return destination_; }
  /// The chosen directories, ending in "/".
  std::string SourcePath() const;
  std::string DestinationPath() const;

  /// Minimal quality and originality: 1 to 6, or 0 for none.
  int min_quality() const { return min_quality_; }
  int min_originality() const { return min_originality_; }
  void SetMinQuality(int rating);
  void SetMinOriginality(int rating);
  /// "Turn pictures upright (EXIF orientation)": on unless switched off.
  bool auto_orient() const { return auto_orient_; }
  void SetAutoOrient(bool on) { auto_orient_ = on; }
  /// `CommandRatingsReset`.
  void ResetRatings();
  /// `Command3`: the destination becomes the source directory.
  void DestinationEqualsSource();

  /// `CommandNew`, `CommandEdit`, `CommandDelete`.
  void NewConfig();
  void EditConfig();
  void DeleteConfig();

  /// `Command1`: writes the six settings, fills the request, result "OK".
  /// False (after a message) when no configuration is selected.
  bool Confirm();
  /// `Command2`: stores the destination only.
  void Cancel();

 private:
  void Reread();
  void SelectKey(const std::string& key);

  OpenEditor open_editor_;
  GenerationRequest& request_;
  DirChooser source_;
  DirChooser destination_;
  int selected_ = -1;
  int min_quality_ = 0;
  int min_originality_ = 0;
  bool auto_orient_ = true;
};

}  // namespace snapcrate
