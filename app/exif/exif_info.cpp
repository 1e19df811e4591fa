#include "app/exif/exif_info.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "app/exif/tagcore_library.h"
#include "app/file_lib.h"
#include "app/numeric.h"
#include "app/paths.h"
#include "app/text.h"

namespace snapcrate {
namespace {

// Rounds to two decimals, halves up, on the decimal value the text shows
// (2.345 is 2.35 even though its binary value lies just below).
std::string TwoDecimals(double value) {
  const double scaled = value * 100.0;
  const double hundredths = std::floor(scaled + 0.5 + 1e-9 * std::max(1.0, std::fabs(scaled)));
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", hundredths / 100.0);
  std::string result = text;
  if (result.find('.') != std::string::npos) {
    while (result.back() == '0') result.pop_back();
    if (result.back() == '.') result.pop_back();
  }
  return result;
}

std::string RationalExposure(const std::string& text) {
  const size_t slash = text.find('/');
  const size_t equals = text.find('=');
  if (slash == std::string::npos || equals == std::string::npos || equals < slash) return text;
  const double numerator = LeadingNumber(text.substr(0, slash));
  const double denominator = LeadingNumber(text.substr(slash + 1, equals - slash - 1));
  // A zero denominator has no exposure time to show.
  if (denominator == 0) return "?";
  return FormatExposureTime(numerator / denominator) + " s";
}

std::string CanonIso(const std::string& canon_iso) {
  if (canon_iso == "15") return "Auto";
  const double k = std::nearbyint(LeadingNumber(canon_iso) - 16);
  if (k < 0 || k > 9) return {};
  return std::to_string(50 << static_cast<int>(k));
}

}  // namespace

std::string FormatExposureTime(double t) {
  if (t == 0 || std::isnan(t)) return "?";
  if (std::isinf(t)) return "?";
  if (t <= 0.1) {
    const double inverse = std::nearbyint(1.0 / t);
    char text[64];
    std::snprintf(text, sizeof text, "1/%.0f", inverse);
    return text;
  }
  if (t < 1) return "1/" + TwoDecimals(1.0 / t);
  return TwoDecimals(t);
}

size_t FindDumpValue(const std::string& line, const std::string& name, std::string& value) {
  const size_t p = line.find(name + " = ");
  if (p == std::string::npos) return 0;
  value = Trim(StripQuotes(line.substr(p + name.size() + 3)));
  return p + 1;
}

void SplitExifDate(ExifInfo& info) {
  const std::string& date = info.DateTimeOriginal;
  const size_t c1 = date.find(':');
  if (c1 == std::string::npos) return;
  info.Year = Trim(date.substr(0, c1));
  if (LeadingNumber(info.Year) <= 0) return;
  const size_t c2 = date.find(':', c1 + 1);
  if (c2 == std::string::npos) return;
  info.Month = Trim(date.substr(c1 + 1, c2 - c1 - 1));
  if (LeadingNumber(info.Month) <= 0) return;
  const size_t blank = date.find(' ', c2 + 1);
  if (blank == std::string::npos) return;
  info.Day = Trim(date.substr(c2 + 1, blank - c2 - 1));
  if (LeadingNumber(info.Day) <= 0) return;
  const size_t c3 = date.find(':', blank + 1);
  if (c3 == std::string::npos) return;
  info.Hour = date.substr(blank + 1, c3 - blank - 1);
  const size_t c4 = date.find(':', c3 + 1);
  if (c4 == std::string::npos) return;
  info.Minute = date.substr(c3 + 1, c4 - c3 - 1);
  info.Second = date.substr(c4 + 1);
  info.DateValid = true;
}

bool ParseExifDump(const std::string& text, ExifInfo& info) {
  std::string shutter, canon_iso;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = text.substr(start, end - start);
    if (FindDumpValue(line, "DateTimeOriginal", info.DateTimeOriginal)) SplitExifDate(info);
    FindDumpValue(line, "Make", info.Make);
    FindDumpValue(line, "Model", info.Model);
    FindDumpValue(line, "ExifImageWidth", info.Width);
    FindDumpValue(line, "ExifImageLength", info.Height);
    FindDumpValue(line, "ExposureTime", info.Exposure);
    FindDumpValue(line, "ShutterSpeedValue", shutter);
    FindDumpValue(line, "ISOSpeedRatings", info.ISO);
    FindDumpValue(line, "Canon.CS1.ISOSpeed", canon_iso);
    FindDumpValue(line, "FNumber", info.FNumber);
    FindDumpValue(line, "Flash", info.Flash);
    FindDumpValue(line, "FocalLength", info.FocalLength);
  }
  const double flash = std::nearbyint(std::fabs(LeadingNumber(info.Flash)));
  info.Flash = std::fmod(flash, 2.0) == 1.0 ? "Yes" : "No";
  if (!info.Exposure.empty()) {
    info.Exposure = RationalExposure(info.Exposure);
  } else if (const size_t equals = shutter.find('='); equals != std::string::npos) {
    info.Exposure = FormatExposureTime(std::pow(2.0, -LeadingNumber(shutter.substr(equals + 1)))) + " s";
  }
  if (info.ISO.empty() && !canon_iso.empty()) info.ISO = CanonIso(canon_iso);
  return true;
}

int32_t DumpExifToText(const std::string& image_path, std::string& text, int32_t capacity) {
  std::vector<char> buffer(static_cast<size_t>(std::max(capacity, 1)), '\0');
  const int32_t code = TagCoreDumpInfoToAdr(image_path, buffer.data(), capacity);
  buffer.back() = '\0';
  text = buffer.data();
  if (code == 0 && text.empty()) return 1;
  return code;
}

bool GetExifInfo(const std::string& image_path, ExifInfo& info) {
  info.Valid = false;
  info.DateValid = false;
  info.Year.clear();
  info.Month.clear();
  info.Day.clear();
  info.Hour.clear();
  info.Minute.clear();
  info.Second.clear();
  std::string text;
  if (DumpExifToText(image_path, text, kExifDumpCapacity) != 0) return false;
  ParseExifDump(text, info);
  info.Valid = true;
  return true;
}

std::string GetExifInfoString(const std::string& image_path) {
  static const char* const kKeptNames[] = {"Make ",    "DateTimeOriginal ", "ExposureTime ",     "FNumber ",
                                           "ISOSpeedRatings ", "MaxApertureValue ", "Flash ", "FocalLength "};
  const std::string temp = GetTempFileName();
  if (temp.empty()) return {};
  TagCoreDumpInfoToFile(image_path, temp.c_str());
  std::string result;
  if (auto file = OpenForInput(temp)) {
    std::string line;
    while (file->ReadLine(line)) {
      const size_t p = line.find("] ");
      if (p == std::string::npos || p + 1 <= 1) continue;
      bool keep = false;
      for (const char* name : kKeptNames) keep = keep || line.find(name) != std::string::npos;
      if (!keep) continue;
      if (!result.empty()) result += "\r\n";
      result += line.substr(p + 2);
    }
  }
  DeleteFile(temp);
  return result;
}

namespace {

// "28/10=2.8" or "2.8" as "2.8"; empty when no positive number is there.
std::string RationalValue(const std::string& text) {
  const size_t equals = text.rfind('=');
  const double value = LeadingNumber(Trim(equals == std::string::npos ? text : text.substr(equals + 1)));
  if (!(value > 0) || !std::isfinite(value)) return {};
  return value >= 10 ? std::to_string(static_cast<int64_t>(std::nearbyint(value))) : TwoDecimals(value);
}

}  // namespace

std::string ReadableExifText(const ExifInfo& info) {
  std::vector<std::string> lines;
  std::string settings;
  auto add = [&settings](const std::string& part) {
    if (part.empty()) return;
    if (!settings.empty()) settings += " \u00b7 ";
    settings += part;
  };
  if (info.Exposure != "?") add(info.Exposure);
  if (const std::string f = RationalValue(info.FNumber); !f.empty()) add("f/" + f);
  if (!Trim(info.ISO).empty()) add("ISO " + Trim(info.ISO));
  if (const std::string mm = RationalValue(info.FocalLength); !mm.empty()) add(mm + " mm");
  if (!settings.empty()) lines.push_back(settings);
  if (info.Flash == "Yes") lines.push_back("Flash fired");
  if (info.DateValid)
    lines.push_back(info.Year + "-" + info.Month + "-" + info.Day + " " + info.Hour + ":" + info.Minute + ":" +
                    info.Second);
  // Most makers repeat their name in the model.
  const std::string make = Trim(info.Make), model = Trim(info.Model);
  std::string camera = model.compare(0, make.size(), make) == 0 ? model : Trim(make + " " + model);
  if (!camera.empty()) lines.push_back(camera);
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "\r\n") + line;
  return text;
}

std::string GetReadableExifText(const std::string& image_path) {
  ExifInfo info;
  if (!GetExifInfo(image_path, info)) return {};
  return ReadableExifText(info);
}

}  // namespace snapcrate
