// The four exported operations. Each call builds its own state, so calls on
// different files may even overlap; nothing stays allocated between calls.
#include <cstdio>
#include <cstring>

#include "tagcore/date_adjuster.h"
#include "tagcore/dump_sink.h"
#include "tagcore/exif_segment.h"
#include "tagcore/tagcore.h"
#include "tagcore/tiff_walker.h"

using snapcrate::tagcore::DateAdjuster;
using snapcrate::tagcore::DumpSink;
using snapcrate::tagcore::ExifSegment;
using snapcrate::tagcore::ReadExifSegment;
using snapcrate::tagcore::WalkTiff;

namespace {
constexpr char kVersion[] = "1.03 Release";
static_assert(sizeof kVersion == TAGCORE_VERSION_BUFFER_SIZE);
}  // namespace

extern "C" {

TAGCORE_API char* TagCore_GetVersion(char* buffer) {
  if (buffer == nullptr) return nullptr;
  std::memcpy(buffer, kVersion, sizeof kVersion);
  return buffer;
}

TAGCORE_API int32_t TagCore_DumpInfoToFile(const char* imagePath, const char* outputPath) {
  ExifSegment segment;
  if (int code = ReadExifSegment(imagePath, &segment)) return code;
  std::FILE* output = stdout;
  if (outputPath != nullptr) {
    output = std::fopen(outputPath, "wb");
    if (output == nullptr) return TAGCORE_CANNOT_WRITE;
  }
  DumpSink sink = DumpSink::ToStream(output);
  int code = WalkTiff(segment.tiff.get(), segment.length, segment.layout, sink, nullptr);
  if (outputPath == nullptr) {
    std::fflush(stdout);
    return code;
  }
  // A dump cut short by a full disk must not pass for a complete one.
  const bool write_failed = std::ferror(output) != 0;
  if (std::fclose(output) != 0 || write_failed) {
    if (code == TAGCORE_OK) code = TAGCORE_CANNOT_WRITE;
  }
  return code;
}

TAGCORE_API int32_t TagCore_DumpInfoToAdr(const char* imagePath, char* buffer, int32_t capacity) {
  ExifSegment segment;
  if (int code = ReadExifSegment(imagePath, &segment)) return code;
  DumpSink sink = buffer != nullptr ? DumpSink::ToMemory(buffer, capacity) : DumpSink::Nowhere();
  return WalkTiff(segment.tiff.get(), segment.length, segment.layout, sink, nullptr);
}

TAGCORE_API int32_t TagCore_AdjustDateTime(const char* imagePath, int32_t seconds) {
  ExifSegment segment;
  if (int code = ReadExifSegment(imagePath, &segment)) return code;
  // Take up a TZ changed since the last call.
  tzset();
  DateAdjuster adjuster(imagePath, seconds);
  DumpSink sink = DumpSink::Nowhere();
  int code = WalkTiff(segment.tiff.get(), segment.length, segment.layout, sink, &adjuster);
  if (code == TAGCORE_OK && !adjuster.found_date()) code = TAGCORE_NO_DATE;
  // Nothing is written unless the whole walk succeeded.
  if (code == TAGCORE_OK) code = adjuster.WriteDates();
  std::fflush(stdout);
  return code;
}

}  // extern "C"
