#include "tests/support/temp_dir.h"

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace snapcrate::testing {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "snapcrate_test_XXXXXX").string();
  if (!mkdtemp(pattern.data())) std::abort();
  path_ = pattern + "/";
}

TempDir::~TempDir() {
  std::error_code error;
  // Tests make files read-only; give write access back so everything can go.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, error);
       !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error))
    chmod(it->path().c_str(), it->is_directory() ? 0755 : 0644);
  std::filesystem::remove_all(path_, error);
}

void WriteFile(const std::string& path, std::string_view contents) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream contents;
  contents << in.rdbuf();
  return contents.str();
}

bool DropReadAnyDirectory() {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2] = {};
  if (syscall(SYS_capget, &header, data) != 0) return false;
  data[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
  return syscall(SYS_capset, &header, data) == 0;
}

}  // namespace snapcrate::testing
