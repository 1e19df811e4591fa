#pragma once
// The list of pictures a run left out (rating too low, or size unreadable):
// "snapcrate_sorted_out.txt" in the user's own directory below the temporary
// directory, rewritten by every run.

#include <cstdint>
#include <memory>
#include <string>

#include "app/file_lib.h"

namespace snapcrate {

class SortedOutList {
 public:
  /// The file's path.
  static std::string Path();

  /// Creates or empties the file; false (and a log line) when it cannot be
  /// opened, which leaves the list closed and nothing recorded.
  bool Open();
  bool IsOpen() const { return file_ != nullptr; }
  /// One line "SORTED_OUT <directory> <file name> <quality> <originality>".
  void Add(const std::string& directory, const std::string& file_name, int quality, int originality);
  void Close();

 private:
  std::unique_ptr<TextFile> file_;
};

}  // namespace snapcrate
