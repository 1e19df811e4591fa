// Fuzzes the whole library through its C interface: the input is a JPEG or
// HEIF file that is dumped to a file, to memory with a tiny and a roomy buffer,
// and has its dates shifted.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tagcore/tagcore.h"

namespace {

struct Scratch {
  std::string image;
  std::string dump;
  Scratch() {
    const std::string dir = std::filesystem::temp_directory_path().string();
    image = dir + "/tagcore_fuzz_" + std::to_string(getpid()) + ".jpg";
    dump = dir + "/tagcore_fuzz_" + std::to_string(getpid()) + ".txt";
  }
  ~Scratch() {
    std::remove(image.c_str());
    std::remove(dump.c_str());
  }
};

bool WriteImage(const std::string& path, const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

// The date shift traces on standard output; keep the fuzzer's output readable.
class QuietStdout {
 public:
  QuietStdout() {
    std::fflush(stdout);
    saved_ = dup(STDOUT_FILENO);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    close(null);
  }
  ~QuietStdout() {
    std::fflush(stdout);
    dup2(saved_, STDOUT_FILENO);
    close(saved_);
  }

 private:
  int saved_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Scratch scratch;
  if (!WriteImage(scratch.image, data, size)) return 0;
  QuietStdout quiet;

  TagCore_DumpInfoToFile(scratch.image.c_str(), scratch.dump.c_str());

  char small[24];
  TagCore_DumpInfoToAdr(scratch.image.c_str(), small, sizeof small);
  static std::vector<char> big(1 << 20);
  const int32_t code =
      TagCore_DumpInfoToAdr(scratch.image.c_str(), big.data(), static_cast<int32_t>(big.size()));
  if (code == 0 && big.back() != '\0') std::abort();
  TagCore_DumpInfoToAdr(scratch.image.c_str(), nullptr, 0);

  // Odd and negative shifts reach both ends of the date range.
  // 0 .. 255 spread over the whole 32-bit range.
  const int64_t spread = size > 0 ? int64_t{data[size / 2]} * 0x01010101 - 0x80000000LL : 0;
  const auto seconds = static_cast<int32_t>(spread);
  TagCore_AdjustDateTime(scratch.image.c_str(), seconds);
  return 0;
}
