#include "app/dir_chooser.h"

#include <strings.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/paths.h"
#include "app/ui_port.h"

namespace snapcrate {
namespace {

bool IsRemovableMountPoint(const std::string& mount_point) {
  for (const char* prefix : {"/media/", "/run/media/", "/mnt/"})
    if (mount_point.rfind(prefix, 0) == 0) return true;
  return false;
}

// Mount points in /proc/mounts escape blanks and a few other bytes as octal.
std::string UnescapeMountPoint(const std::string& text) {
  std::string result;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size()) {
      const std::string octal = text.substr(i + 1, 3);
      if (octal.find_first_not_of("01234567") == std::string::npos) {
        result.push_back(static_cast<char>(std::stoi(octal, nullptr, 8)));
        i += 3;
        continue;
      }
    }
    result.push_back(text[i]);
  }
  return result;
}

}  // namespace

std::vector<std::string> ListVolumes() {
  std::vector<std::string> volumes = {"/", GetUserHomeDir()};
  std::ifstream mounts("/proc/mounts");
  std::string line;
  while (std::getline(mounts, line)) {
    std::istringstream fields(line);
    std::string device, mount_point;
    fields >> device >> mount_point;
    mount_point = UnescapeMountPoint(mount_point);
    if (IsRemovableMountPoint(mount_point)) volumes.push_back(WithTrailingSlash(mount_point));
  }
  std::sort(volumes.begin() + 2, volumes.end());
  volumes.erase(std::unique(volumes.begin(), volumes.end()), volumes.end());
  if (volumes.size() > 1 && volumes[1] == "/") volumes.erase(volumes.begin() + 1);
  return volumes;
}

std::string FindCameraFolder(const std::vector<std::string>& volumes) {
  const std::string home = GetUserHomeDir();
  for (const std::string& volume : volumes) {
    if (volume == "/" || volume == home) continue;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(volume, error)) {
      const std::string name = entry.path().filename().string();
      if (name.size() == 4 && strncasecmp(name.c_str(), "DCIM", 4) == 0 && entry.is_directory(error))
        return volume + name + "/";
    }
  }
  return {};
}

void DefaultImportPaths(const std::vector<std::string>& volumes, const std::string& pictures,
                        std::string& source, std::string& destination) {
  destination = WithTrailingSlash(pictures);
  source = FindCameraFolder(volumes);
  if (source.empty()) source = GetUserHomeDir();
  if (source == destination) source = "/";
}

std::string VolumeOf(const std::string& path, const std::vector<std::string>& volumes) {
  const std::string with_slash = WithTrailingSlash(path);
  std::string best;
  for (const std::string& volume : volumes)
    if (with_slash.rfind(volume, 0) == 0 && volume.size() > best.size()) best = volume;
  return best;
}

DirChooser::DirChooser() : DirChooser(ListVolumes()) {}

DirChooser::DirChooser(std::vector<std::string> volumes)
    : volumes_(std::move(volumes)), directory_("/"), volume_(volumes_.empty() ? "/" : volumes_.front()) {}

bool DirChooser::SetDirectory(const std::string& path) {
  std::string directory = StripTrailingBackslash(path);
  if (directory.empty()) directory = "/";
  if (directory.front() != '/' || !IsDirectory(directory)) return false;
  directory_ = directory;
  const std::string volume = VolumeOf(directory_, volumes_);
  auto it = std::find_if(last_directory_.begin(), last_directory_.end(),
                         [&](const auto& entry) { return entry.first == volume; });
  if (it != last_directory_.end()) it->second = directory_;
  else last_directory_.emplace_back(volume, directory_);
  return true;
}

std::string DirChooser::CurrentDirectoryOf(const std::string& volume) const {
  for (const auto& [known_volume, directory] : last_directory_)
    if (known_volume == volume) return directory;
  return volume;
}

void SetDirAndDriveControl(const std::string& path, DirChooser& chooser) {
  std::string p = StripTrailingBackslash(path);
  bool error = false;
  while (!chooser.SetDirectory(p)) {
    error = true;
    if (p.empty()) break;
    std::string parent, name;
    SplitPath(p, parent, name);
    if (parent.empty() && p.front() == '/') parent = "/";
    if (parent == p) break;
    p = parent;
  }
  const std::string volume = VolumeOf(chooser.directory(), chooser.volumes());
  if (volume.empty()) error = true;
  else chooser.SetVolume(volume);
  if (error) ShowMessage("Error while setting " + path);
}

void DriveChanged(size_t index, DirChooser& chooser) {
  if (index >= chooser.volumes().size()) return;
  const std::string& volume = chooser.volumes()[index];
  SetDirAndDriveControl(chooser.CurrentDirectoryOf(volume), chooser);
}

}  // namespace snapcrate
