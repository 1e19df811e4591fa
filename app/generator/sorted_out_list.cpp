#include "app/generator/sorted_out_list.h"

#include "app/log.h"
#include "app/side_files.h"

namespace snapcrate {

std::string SortedOutList::Path() { return PrivateTempDir() + "snapcrate_sorted_out.txt"; }

bool SortedOutList::Open() {
  Close();
  const std::string path = Path();
  std::string error;
  std::FILE* stream = CreateSideFile(path, error);
  if (!stream) {
    LogMessage("Can't open \"" + path + "\"\r\n" + error);
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
