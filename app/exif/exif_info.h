#pragma once
// A picture's EXIF summary, picked by entry name out of the library's text dump.

#include <cstdint>
#include <string>

namespace snapcrate {

struct ExifInfo {
  bool Valid = false;
  bool DateValid = false;
  std::string Year, Month, Day, Hour, Minute, Second;
  std::string DateTimeOriginal;
  std::string Make;
  std::string Model;
  std::string Width;
  std::string Height;
  std::string Exposure;
  std::string ISO;
  std::string FNumber;
  std::string Flash;
  std::string FocalLength;
};

/// Size of the dump buffer the summary reads.
inline constexpr int32_t kExifDumpCapacity = 6000;

/// The dump of `image_path` into `text` (at most capacity - 1 bytes); the
/// library's code, or 1 when it succeeded but gave no text.
int32_t DumpExifToText(const std::string& image_path, std::string& text, int32_t capacity);
/// Fills `info` from the picture's dump; false when it has no readable EXIF data.
bool GetExifInfo(const std::string& image_path, ExifInfo& info);
/// Fills `info` from dump text; every line ending in a line feed is examined.
bool ParseExifDump(const std::string& text, ExifInfo& info);
/// When `line` holds name + " = ", sets `value` to the rest (quotes and blanks
/// stripped) and returns its 1-based position; else 0 and `value` unchanged.
size_t FindDumpValue(const std::string& line, const std::string& name, std::string& value);
/// Splits DateTimeOriginal "YYYY:MM:DD HH:MM:SS" into the six parts.
void SplitExifDate(ExifInfo& info);
/// An exposure time in seconds as the summary shows it ("1/60", "1/3.33", "2").
std::string FormatExposureTime(double seconds);
/// The summary as photographers read it: "1/250 s · f/2.8 · ISO 100 · 35 mm",
/// "Flash fired", the date as "2007-05-06 13:45:00" and the camera, CR LF
/// between the lines that have something to say.
std::string ReadableExifText(const ExifInfo& info);
/// ReadableExifText of the picture; empty when it has no readable EXIF data.
std::string GetReadableExifText(const std::string& image_path);
/// Selected dump lines (make, date, exposure, aperture, ISO, flash, focal length), CR LF between.
std::string GetExifInfoString(const std::string& image_path);

}  // namespace snapcrate
