#pragma once
// The drive list and directory list of the dialogs as a plain model: the mounted
// volumes (the "drives") and one current directory.

#include <string>
#include <vector>

namespace snapcrate {

/// Mounted volumes a user picks pictures from: "/", the user's home, and the
/// mount points under /media, /run/media and /mnt. Each ends in "/".
std::vector<std::string> ListVolumes();

/// The first removable volume of `volumes` (not "/" nor the home) holding a
/// camera's "DCIM" folder, in any letter case: that folder, ending in "/";
/// else empty.
std::string FindCameraFolder(const std::vector<std::string>& volumes);

/// What a fresh installation proposes for the import: a camera folder when one
/// is mounted, else the home, into `pictures`; never one folder for both.
void DefaultImportPaths(const std::vector<std::string>& volumes, const std::string& pictures,
                        std::string& source, std::string& destination);

/// The longest volume of `volumes` that is a prefix of `path`.
std::string VolumeOf(const std::string& path, const std::vector<std::string>& volumes);

class DirChooser {
 public:
  DirChooser();
  explicit DirChooser(std::vector<std::string> volumes);

  const std::vector<std::string>& volumes() const { return volumes_; }
  /// The directory shown, without trailing "/" (root is "/").
  const std::string& directory() const { return directory_; }
  /// The volume selected in the drive list.
  const std::string& volume() const { return volume_; }

  /// Shows `path`; false when it is not an existing directory (nothing changes).
  bool SetDirectory(const std::string& path);
  void SetVolume(const std::string& volume) { volume_ = volume; }
  /// The directory last shown on each volume (the volume itself at first).
  std::string CurrentDirectoryOf(const std::string& volume) const;

 private:
  std::vector<std::string> volumes_;
  std::string directory_;
  std::string volume_;
  std::vector<std::pair<std::string, std::string>> last_directory_;
};

/// Points the chooser at `path`, falling back to its nearest existing parent
/// with one message "Error while setting " + path.
void SetDirAndDriveControl(const std::string& path, DirChooser& chooser);
/// After the user picked the volume at `index`: its last directory.
void DriveChanged(size_t index, DirChooser& chooser);

}  // namespace snapcrate
