#pragma once
// Paths and file operations. Directory paths handed between routines end in "/".

#include <cstdint>
#include <string>
#include <string_view>

namespace snapcrate {

/// directory + name, with one "/" between them when the directory does not end in one.
std::string JoinPath(std::string_view directory, std::string_view name);
/// The path without one trailing "/".
std::string StripTrailingBackslash(std::string_view path);
/// Everything before the last "/" (without it) and everything after it.
void SplitPath(std::string_view path, std::string& directory, std::string& name);
/// The path without its extension; `extension` gets the extension with its dot.
std::string SplitExt(std::string_view path, std::string& extension);
/// `path` with a "/" appended when it has none at its end.
std::string WithTrailingSlash(std::string_view path);

/// What a file search tells about an entry. Times are nanoseconds since 1970 UTC.
struct FindRecord {
  bool is_directory = false;
  bool read_only = false;
  int64_t creation_time = 0;
  int64_t last_access_time = 0;
  int64_t last_write_time = 0;
  uint64_t size = 0;
  std::string name;
};

/// Finds the path, or the first entry matching a pattern with "*" and "?" in its last part.
bool FindFile(const std::string& path_or_pattern, FindRecord& record);
bool IsDirectory(const std::string& path);
/// True when both exist and a was written later than b.
bool IsNewer(const std::string& a, const std::string& b);

/// 0 or the system error number; nothing is logged.
int MakeDir(const std::string& path);
/// 0 or the system error number; nothing is logged.
int DeleteFile(const std::string& path);
/// The copy's permission bits: the source's, or those less every write bit.
enum class CopyPermissions { kSame, kReadOnly };
/// Copies a regular file's bytes, permission bits and last-write time; 0, or -1
/// and a log line (a pipe or device is refused without waiting).
/// The copy is written under a temporary name beside the destination and
/// renamed into place when complete, so the destination is either untouched or
/// complete, even when the program is killed; a read-only copy is read-only
/// already when it gets its name.
int CopyFile(const std::string& source, const std::string& destination,
             CopyPermissions permissions = CopyPermissions::kSame);
/// The same, the log line going to `failure` instead (for worker threads).
int CopyFile(const std::string& source, const std::string& destination, std::string& failure,
             CopyPermissions permissions = CopyPermissions::kSame);
/// Creates an empty temporary file beside `destination` for writing it whole,
/// locked until closed, under a hidden name that fits wherever the final name
/// fits (its path goes to `temp`); the descriptor, or -1 with errno set.
int CreateTempFileBeside(const std::string& destination, std::string& temp);
/// Whether `name` is the temporary name of a file being written (a hidden name):
/// a copy's or rewritten text file's, or a scaled picture's of the image library.
bool IsTempFileName(std::string_view name);
/// Removes from `directory` the temporary files that no one is writing any more
/// (left by a crash or a kill), with a log line each; the number removed.
int RemoveLeftoverTempFiles(const std::string& directory);
/// Has the system start writing the file's data to the disk now instead of
/// within the next half minute, without waiting for it; false when it could
/// not be asked.
bool StartWriteBack(const std::string& path);
/// Renames without replacing an existing file; 0, or -1 and a log line.
int RenameFile(const std::string& old_path, const std::string& new_path);

/// Clears or sets the write permission bits; false on failure.
bool SetReadOnly(const std::string& path, bool read_only);

/// The system's temporary directory, ending in "/".
std::string GetTempDir();
/// A new, empty, uniquely named file in the temporary directory.
std::string GetTempFileName();
/// The running executable's directory, without trailing "/".
std::string GetProgramDir();
/// The running executable's file name.
std::string GetProgramFileName();
/// The user's home directory, ending in "/".
std::string GetUserHomeDir();
/// The user's pictures directory, ending in "/": the desktop's XDG_PICTURES_DIR
/// (user-dirs.dirs), else ~/Pictures, each only when it exists; else the home.
std::string GetUserPicturesDir();

}  // namespace snapcrate
