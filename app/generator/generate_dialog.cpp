#include "app/generator/generate_dialog.h"

#include "app/file_lib.h"
#include "app/log.h"
#include "app/numeric.h"
#include "app/paths.h"
#include "app/program_state.h"
#include "app/schemes/config_editor.h"
#include "app/schemes/scheme_reader.h"
#include "app/schemes/size_codes.h"
#include "app/settings.h"
#include "app/ui_port.h"

namespace snapcrate {
namespace {

constexpr int kMaxUserConfigNumber = 99;

int RatingFromSetting(const std::string& text) {
  const int16_t rating = LeadingInt16(text);
  return rating >= 1 && rating <= 6 ? rating : 0;
}

std::string RatingText(int rating) {
  return rating >= 1 && rating <= 6 ? std::to_string(rating) : "";
}

int16_t RequestRating(int rating) {
  return rating >= 1 && rating <= 6 ? static_cast<int16_t>(rating) : kNoMinimalRating;
}

}  // namespace

GenerationRequest& CurrentGenerationRequest() {
  static GenerationRequest request;
  return request;
}

std::string ConfigPath(const std::string& key) {
  return Program().home_dir + "etc/config_" + key + ".ini";
}

GenerateDialog::GenerateDialog(OpenEditor open_editor, GenerationRequest& request)
    : open_editor_(std::move(open_editor)), request_(request) {
  Program().gen_html_result.clear();
  Reread();
  std::string source, destination, min_quality, min_originality, config_index, auto_orient;
  IniFileArrayReadMultipleKeys(Program().settings,
                               {
                                   {"GenHTMLSourcePath", DefaultDirectory(), &source},
                                   {"GenHTMLDestPath", DefaultDirectory(), &destination},
                                   {"GenHTMLMinQual", "", &min_quality},
                                   {"GenHTMLMinOrig", "", &min_originality},
                                   {"GenHTMLConfigIndex", "-1", &config_index},
                                   {std::string(kAutoOrientKey), "1", &auto_orient},
                               });
  const int index = LeadingInt16(config_index);
  const auto& configs = Configs();
  if (index >= 0 && static_cast<size_t>(index) < configs.size()) {
    selected_ = index;
  } else {
    selected_ = configs.empty() ? -1 : 0;
    for (size_t i = 0; i < configs.size(); ++i)
      if (configs[i].name == "Standard") {
        selected_ = static_cast<int>(i);
        break;
      }
  }
  SetDirAndDriveControl(source, source_);
  SetDirAndDriveControl(destination, destination_);
  min_quality_ = RatingFromSetting(min_quality);
  min_originality_ = RatingFromSetting(min_originality);
  auto_orient_ = LeadingInt16(auto_orient) != 0;
}

void GenerateDialog::Reread() {
  LogMessage(kRereadingMessage);
  LoadSchemesAndConfigs();
}

std::vector<std::string> GenerateDialog::ConfigNames() const {
  std::vector<std::string> names;
  for (const AlbumConfig& config : Configs()) names.push_back(config.name);
  return names;
}

void GenerateDialog::Select(int index) {
  if (index >= 0 && static_cast<size_t>(index) < Configs().size()) selected_ = index;
}

void GenerateDialog::SelectKey(const std::string& key) {
  const auto& configs = Configs();
  for (size_t i = 0; i < configs.size(); ++i)
    if (configs[i].key == key) {
      selected_ = static_cast<int>(i);
      return;
    }
  if (selected_ >= static_cast<int>(configs.size()))
    selected_ = static_cast<int>(configs.size()) - 1;
}

std::string GenerateDialog::ConfigText() const {
  if (selected_ < 0) return "";
  const AlbumConfig& config = Configs()[static_cast<size_t>(selected_)];
  return config.description + "\r\n" + ListSchemeSizes(config);
}

std::string GenerateDialog::SourcePath() const { return WithTrailingSlash(source_.directory()); }

std::string GenerateDialog::DestinationPath() const {
  return WithTrailingSlash(destination_.directory());
}

void GenerateDialog::SetMinQuality(int rating) {
  min_quality_ = RatingFromSetting(std::to_string(rating));
}

void GenerateDialog::SetMinOriginality(int rating) {
  min_originality_ = RatingFromSetting(std::to_string(rating));
}

void GenerateDialog::ResetRatings() {
  min_quality_ = 0;
  min_originality_ = 0;
}

void GenerateDialog::DestinationEqualsSource() {
  SetDirAndDriveControl(source_.directory(), destination_);
}

void GenerateDialog::NewConfig() {
  if (Configs().size() >= static_cast<size_t>(kMaxConfigs)) {
    ShowMessage(kTooManyConfigsMessage);
    return;
  }
  int number = 1;
  while (number <= kMaxUserConfigNumber &&
         FileExists(ConfigPath("userdef" + std::to_string(number))))
    ++number;
  if (number > kMaxUserConfigNumber) {
    ShowMessage(kTooManyConfigsMessage);
    return;
  }
  // A new configuration starts as a copy of the selected one, so it can be
  // generated with as it is.
  AlbumConfig config;
  if (selected_ >= 0) {
    config = Configs()[static_cast<size_t>(selected_)];
  } else {
    config.main_scheme = 1;
    config.scaled.push_back(NewScaledAlbumScheme(1));
  }
  const std::string n = std::to_string(number);
  config.key = "userdef" + n;
  config.name = "UserConfig #" + n;
  config.description = "< description of " + config.name + " >";
  if (!open_editor_ || !open_editor_(config)) return;
  WriteConfig(config, ConfigPath(config.key));
  Reread();
  SelectKey(config.key);
}

void GenerateDialog::EditConfig() {
  if (selected_ < 0 || !open_editor_) return;
  AlbumConfig buffer = Configs()[static_cast<size_t>(selected_)];
  if (!open_editor_(buffer)) return;
  const std::string path = ConfigPath(buffer.key);
  CopyFile(path, path + ".bak");
  WriteConfig(buffer, path);
  Reread();
  SelectKey(buffer.key);
}

void GenerateDialog::DeleteConfig() {
  if (selected_ < 0) return;
  auto& configs = Configs();
  const AlbumConfig& config = configs[static_cast<size_t>(selected_)];
  const std::string question = config.key.find("userdef") != std::string::npos
                                   ? "Deleting Scheme '" + config.name + "'?"
                                   : std::string(kDeleteStandardConfigQuestion);
  if (Ui().MessageBox(question, MessageButtons::kYesNo) != MessageAnswer::kYes) return;
  const std::string path = ConfigPath(config.key);
  CopyFile(path, path + ".bak");
  DeleteFile(path);
  configs.erase(configs.begin() + selected_);
  if (selected_ >= static_cast<int>(configs.size()))
    selected_ = static_cast<int>(configs.size()) - 1;
}

bool GenerateDialog::Confirm() {
  if (selected_ < 0) {
    ShowMessage(kNoConfigSelectedMessage);
    return false;
  }
  WriteSettings({
      {"GenHTMLSourcePath", source_.directory()},
      {"GenHTMLDestPath", destination_.directory()},
      {"GenHTMLMinQual", RatingText(min_quality_)},
      {"GenHTMLMinOrig", RatingText(min_originality_)},
      {"GenHTMLConfigIndex", std::to_string(selected_)},
      {std::string(kAutoOrientKey), auto_orient_ ? "1" : "0"},
  });
  Program().gen_html_dest_path = destination_.directory();
  request_ = GenerationRequest{};
  request_.source_path = SourcePath();
  request_.destination_path = DestinationPath();
  request_.min_quality = RequestRating(min_quality_);
  request_.min_originality = RequestRating(min_originality_);
  request_.config = Configs()[static_cast<size_t>(selected_)];
  request_.auto_orient = auto_orient_;
  if (Program().debug_level != 0) ShowMessage(kDebugInfoMessage);
  Program().gen_html_result = "OK";
  return true;
}

void GenerateDialog::Cancel() {
  WriteSettings({{"GenHTMLDestPath", destination_.directory()}});
  Program().gen_html_dest_path = destination_.directory();
}

}  // namespace snapcrate
