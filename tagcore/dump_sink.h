// Where the dump text goes: a file, the caller's memory, standard output or
// nowhere. Text arrives in pieces, one per formatted item.
#ifndef SNAPCRATE_TAGCORE_DUMP_SINK_H_
#define SNAPCRATE_TAGCORE_DUMP_SINK_H_

#include <cstdint>
#include <cstdio>

namespace snapcrate::tagcore {

class DumpSink {
 public:
  /// A sink that drops every piece.
  static DumpSink Nowhere() { return DumpSink(); }
  /// A sink that writes to an open stream (a file or stdout), not owned.
  static DumpSink ToStream(std::FILE* stream);
  /// A sink that appends to the caller's buffer of capacity bytes.
  static DumpSink ToMemory(char* buffer, int32_t capacity);

  /// Formats one piece and hands it to the sink.
  void Piece(const char* format, ...) __attribute__((format(printf, 2, 3)));

  bool active() const { return stream_ != nullptr || cursor_ != nullptr; }

 private:
  DumpSink() = default;

  std::FILE* stream_ = nullptr;
  char* cursor_ = nullptr;
  // Bytes still free at cursor_, the terminating NUL included.
  int64_t remaining_ = 0;
};

}  // namespace snapcrate::tagcore

#endif  // SNAPCRATE_TAGCORE_DUMP_SINK_H_
