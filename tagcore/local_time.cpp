#include "tagcore/local_time.h"

#include <cstdio>

namespace snapcrate::tagcore {

namespace {

// The C library's atoi on a short field: blanks, a sign, then digits up to the
// first other character; no digits give 0.
int ParseField(const uint8_t* text, int width) {
  int i = 0;
  while (i < width && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < width && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int value = 0;
  for (; i < width && text[i] >= '0' && text[i] <= '9'; ++i) value = value * 10 + (text[i] - '0');
  return negative ? -value : value;
}

}  // namespace

std::tm ParseExifDate(const uint8_t* text) {
  std::tm time{};
  const int year = ParseField(text, 4);
  time.tm_year = year - 1900 <= 0 ? 100 : year - 1900;
  time.tm_mon = ParseField(text + 5, 2) - 1;
  time.tm_mday = ParseField(text + 8, 2);
  time.tm_hour = ParseField(text + 11, 2);
  time.tm_min = ParseField(text + 14, 2);
  time.tm_sec = ParseField(text + 17, 2);
  time.tm_isdst = -1;
  time.tm_wday = -1;  // not known before the conversion
  time.tm_yday = -1;
  return time;
}

bool ShiftLocalTime(const std::tm& local, int64_t seconds, std::tm* shifted) {
  std::tm converted = local;
  // mktime leaves tm_wday alone on failure; -1 is otherwise a valid result.
  converted.tm_wday = -1;
  const std::time_t absolute = std::mktime(&converted);
  if (converted.tm_wday == -1) return false;
  const int64_t sum = int64_t{absolute} + seconds;
  if (sum < 0) return false;
  const auto when = static_cast<std::time_t>(sum);
  if (static_cast<int64_t>(when) != sum) return false;
  if (localtime_r(&when, shifted) == nullptr) return false;
  return shifted->tm_year <= kLastYear - 1900;
}

void FormatAscTime(const std::tm& time, char (&text)[64]) {
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const char* day = time.tm_wday >= 0 && time.tm_wday < 7 ? kDays[time.tm_wday] : "???";
  const char* month = time.tm_mon >= 0 && time.tm_mon < 12 ? kMonths[time.tm_mon] : "???";
  std::snprintf(text, sizeof text, "%.3s %.3s%3d %.2d:%.2d:%.2d %ld\n", day, month, time.tm_mday,
                time.tm_hour, time.tm_min, time.tm_sec, 1900L + time.tm_year);
}

}  // namespace snapcrate::tagcore
