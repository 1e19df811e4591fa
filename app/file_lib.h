#pragma once
// Plain-text configuration files: opening, the line store reader, and the
// sectioned format ("[Name]" header lines followed by value lines).

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/line_store.h"

namespace snapcrate {

enum class OpenMode { kRead = 0, kWrite = 1, kAppend = 2 };

/// An open text file; closed when destroyed.
class TextFile {
 public:
  explicit TextFile(std::FILE* file) : file_(file) {}
  ~TextFile();
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  /// Reads the next line (CR LF, LF or CR end a line); false at end of file.
  bool ReadLine(std::string& line);
  /// Writes `text` followed by CR LF.
  bool WriteLine(std::string_view text);
  bool Write(std::string_view text);
  /// Flushes and closes; false when anything written did not reach the file.
  bool Close();

 private:
  std::FILE* file_;
  bool failed_ = false;
};

/// Opens a text file; null (and a log line) on failure.
std::unique_ptr<TextFile> OpenTextFile(const std::string& path, OpenMode mode);
inline std::unique_ptr<TextFile> OpenForInput(const std::string& path) {
  return OpenTextFile(path, OpenMode::kRead);
}
inline std::unique_ptr<TextFile> OpenForOutput(const std::string& path) {
  return OpenTextFile(path, OpenMode::kWrite);
}
inline std::unique_ptr<TextFile> OpenForAppend(const std::string& path) {
  return OpenTextFile(path, OpenMode::kAppend);
}

/// True when `path` is a file that can be opened for reading.
bool FileExists(const std::string& path);
/// Warns about a suspicious path (two separators in a row).
void CheckFileName(const std::string& path);

/// Reads the file into `store`; the number of lines, or -1 when it cannot be opened.
int ReadLines(const std::string& path, LineStore& store);
void ClearLines(LineStore& store);
/// Writes the store's lines, each ending in CR LF, through a temporary file that
/// replaces `path` only when everything was written; false (and a log line) otherwise.
bool WriteLines(const std::string& path, const LineStore& store);

/// Index of the header "[name]", or -1; a missing section with `must_exist` ends the program.
int FindSectionLine(const LineStore& store, std::string_view name, bool must_exist);

struct IniReadKey {
  std::string name;
  std::string default_value;
  std::string* target;
};
/// Fills each target with its section's value (lines joined with CR LF; the last
/// occurrence wins) or its default when the section is missing.
void IniFileArrayReadMultipleKeys(const LineStore& store, const std::vector<IniReadKey>& keys);

/// Puts each value into the first value line of every occurrence of its section
/// (appending the section when missing) and rewrites the file.
void IniFileArrayWriteMultipleKeys(const std::string& path, LineStore& store,
                                   const std::vector<std::pair<std::string, std::string>>& keys);

}  // namespace snapcrate
