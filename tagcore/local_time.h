// Local-time arithmetic for EXIF dates: parsing the fixed "YYYY:MM:DD HH:MM:SS"
// form and shifting it on the absolute time scale with the machine's zone rules.
#ifndef SNAPCRATE_TAGCORE_LOCAL_TIME_H_
#define SNAPCRATE_TAGCORE_LOCAL_TIME_H_

#include <cstdint>
#include <ctime>

namespace snapcrate::tagcore {

/// Largest year a shifted date may reach: the date field has four digits.
constexpr int kLastYear = 9999;

/// The broken-down time of a 19-character EXIF date, fields read by the
/// leading-digits rule (separators unchecked); a year of 1900 or less is taken
/// as 2000; daylight saving left to the conversion (-1).
std::tm ParseExifDate(const uint8_t* text);

/// Shifts a local broken-down time by seconds and gives the new local time.
/// False when the time cannot be converted or the result lies before
/// 1970-01-01 00:00:00 UTC or beyond the year kLastYear.
bool ShiftLocalTime(const std::tm& local, int64_t seconds, std::tm* shifted);

/// The 25-character asctime text ("Sun Sep 16 01:03:52 1973\n"), safe for any
/// field values.
void FormatAscTime(const std::tm& time, char (&text)[64]);

}  // namespace snapcrate::tagcore

#endif  // SNAPCRATE_TAGCORE_LOCAL_TIME_H_
