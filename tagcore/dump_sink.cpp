#include "tagcore/dump_sink.h"

#include <cstdarg>
#include <cstring>

namespace snapcrate::tagcore {

namespace {
// Every piece is formatted here first; no piece of the dump comes near it.
constexpr int kScratchSize = 1024;
}  // namespace

DumpSink DumpSink::ToStream(std::FILE* stream) {
  DumpSink sink;
  sink.stream_ = stream;
  return sink;
}

DumpSink DumpSink::ToMemory(char* buffer, int32_t capacity) {
  DumpSink sink;
  sink.cursor_ = buffer;
  sink.remaining_ = capacity;
  return sink;
}

void DumpSink::Piece(const char* format, ...) {
  if (!active()) return;
  va_list args;
  va_start(args, format);
  if (stream_ != nullptr) {
    std::vfprintf(stream_, format, args);
    va_end(args);
    return;
  }
  char scratch[kScratchSize];
  int length = std::vsnprintf(scratch, sizeof scratch, format, args);
  va_end(args);
  if (length >= kScratchSize) length = kScratchSize - 1;
  // A piece goes in whole or not at all, so a later shorter piece may still fit.
  if (length <= 0 || length >= remaining_) return;
  std::memcpy(cursor_, scratch, static_cast<size_t>(length) + 1);
  cursor_ += length;
  remaining_ -= length;
}

}  // namespace snapcrate::tagcore
