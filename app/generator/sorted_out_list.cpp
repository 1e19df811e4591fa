#include "app/generator/sorted_out_list.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/log.h"
#include "app/paths.h"

namespace snapcrate {

std::string SortedOutList::Path() { return GetTempDir() + "snapcrate_sorted_out.txt"; }

bool SortedOutList::Open() {
  Close();
  const std::string path = Path();
  // The temporary directory is shared: never follow a link planted under this name.
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
  std::FILE* stream = fd < 0 ? nullptr : fdopen(fd, "wb");
  if (!stream) {
    const int error = errno;
    if (fd >= 0) close(fd);
    LogMessage("Can't open \"" + path + "\"\r\n" + std::strerror(error) + " - Error No. " +
               std::to_string(error));
    return false;
  }
  file_ = std::make_unique<TextFile>(stream);
  return true;
}

void SortedOutList::Add(const std::string& directory, const std::string& file_name, int quality,
                        int originality) {
  if (!file_) return;
  file_->WriteLine("SORTED_OUT " + directory + " " + file_name + " " + std::to_string(quality) + " " +
                   std::to_string(originality));
}

void SortedOutList::Close() {
  if (file_) file_->Close();
  file_.reset();
}

}  // namespace snapcrate
