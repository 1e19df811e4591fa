// A picture file opened for reading, closed when it goes out of scope.
#ifndef SNAPCRATE_TAGCORE_INPUT_FILE_H_
#define SNAPCRATE_TAGCORE_INPUT_FILE_H_

#include <sys/types.h>

#include <cstdint>
#include <cstdio>

namespace snapcrate::tagcore {

class InputFile {
 public:
  explicit InputFile(const char* path) : stream_(path ? std::fopen(path, "rb") : nullptr) {}
  ~InputFile() {
    if (stream_) std::fclose(stream_);
  }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  bool is_open() const { return stream_ != nullptr; }
  int Byte() { return std::fgetc(stream_); }
  bool Read(void* target, size_t size) { return std::fread(target, 1, size, stream_) == size; }
  size_t ReadSome(void* target, size_t size) { return std::fread(target, 1, size, stream_); }
  bool Skip(long count) { return std::fseek(stream_, count, SEEK_CUR) == 0; }
  bool Seek(uint64_t position) {
    return fseeko(stream_, static_cast<off_t>(position), SEEK_SET) == 0;
  }
  uint64_t Position() { return static_cast<uint64_t>(ftello(stream_)); }
  /// The file's size in bytes; the read position moves to the end.
  uint64_t Size() {
    if (fseeko(stream_, 0, SEEK_END) != 0) return 0;
    const off_t end = ftello(stream_);
    return end < 0 ? 0 : static_cast<uint64_t>(end);
  }

 private:
  std::FILE* stream_;
};

}  // namespace snapcrate::tagcore

#endif  // SNAPCRATE_TAGCORE_INPUT_FILE_H_
