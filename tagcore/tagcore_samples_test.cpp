// Real camera pictures: every file is read without fault, every dumped entry
// agrees with the reference list made by an independent reader, and the date
// shift rewrites exactly the reference date positions.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tagcore/tagcore.h"
#include "tagcore/tagcore_test_support.h"
#include "tests/support/exif_writer/camera_exif.h"

namespace snapcrate::tagcore_test {
namespace {

namespace fs = std::filesystem;

const fs::path kSamples = fs::path(SNAPCRATE_SOURCE_DIR) / "../shared/testdata/exif-samples";

std::vector<std::string> Split(const std::string& line, char separator) {
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(line);
  while (std::getline(in, field, separator)) fields.push_back(field);
  if (!line.empty() && line.back() == separator) fields.emplace_back();
  return fields;
}

// Rows of a tab-separated file with a header line, as column name -> value.
std::vector<std::map<std::string, std::string>> ReadTable(const fs::path& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  const std::vector<std::string> header = Split(line, '\t');
  std::vector<std::map<std::string, std::string>> rows;
  while (std::getline(in, line)) {
    const std::vector<std::string> fields = Split(line, '\t');
    std::map<std::string, std::string> row;
    for (size_t i = 0; i < header.size(); ++i) row[header[i]] = i < fields.size() ? fields[i] : "";
    rows.push_back(row);
  }
  return rows;
}

// The reference escapes: "\\" and "\xNN".
std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
      out += '\\';
      ++i;
    } else if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
      out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
      i += 3;
    } else {
      out += text[i];
    }
  }
  return out;
}

class SamplesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kSamples / "reference.tsv"))
      GTEST_SKIP() << "no camera samples at " << kSamples.string();
  }
};

struct DumpLine {
  std::string prefix_and_name;
  unsigned tag;
  int count;
  std::string value;
};

DumpLine ParseDumpLine(const std::string& line) {
  DumpLine parsed{};
  unsigned tag = 0;
  int count = 0;
  if (std::sscanf(line.c_str(), "Tag 0x%4X[%d]", &tag, &count) != 2) return parsed;
  const size_t name_at = line.find("] ") + 2;
  const size_t equals = line.find(" = ", name_at);
  parsed.prefix_and_name = line.substr(name_at, equals - name_at);
  parsed.tag = tag;
  parsed.count = count;
  parsed.value = line.substr(equals + 3);
  return parsed;
}

std::string PrefixOfDirectory(const std::string& dir) {
  if (dir == "MakerNote") return "Canon.";
  if (dir == "CS1") return "Canon.CS1.";
  if (dir == "CS2") return "Canon.CS2.";
  return "Exif.";
}

// The dump's value in the reference's form: text as bytes without control
// characters; numbers blank-separated, rationals n/d, the first 16 and a count.
std::string ReferenceForm(const DumpLine& line, int type_number, bool array_element) {
  if (array_element) return line.value;
  if (type_number == 2) return line.value.substr(1, line.value.size() - 2);
  std::vector<std::string> parts = Split(line.value, ' ');
  while (!parts.empty() && parts.back().empty()) parts.pop_back();
  std::string out;
  for (size_t i = 0; i < parts.size() && i < 16; ++i) {
    std::string part = parts[i];
    if (type_number == 5 || type_number == 10) part = part.substr(0, part.find('='));
    out += (i ? " " : "") + part;
  }
  if (parts.size() > 16) out += " ...(+" + std::to_string(parts.size() - 16) + ")";
  return out;
}

std::string WithoutControlCharacters(const std::string& text) {
  std::string out;
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x20) out += c;
  return out;
}

TEST_F(SamplesTest, EveryPictureIsReadAndMatchesTheReferenceEntries) {
  std::map<std::string, std::vector<std::map<std::string, std::string>>> entries;
  for (auto& row : ReadTable(kSamples / "entries.tsv")) entries[row["file"]].push_back(row);

  int pictures = 0;
  for (auto& picture : ReadTable(kSamples / "reference.tsv")) {
    const std::string file = picture["file"];
    SCOPED_TRACE(file);
    ++pictures;
    const DumpResult dump = DumpToMemory((kSamples / file).string(), 1 << 22);
    if (picture["exif_segment_present"] != "1") {
      EXPECT_EQ(dump.code, 2);
      continue;
    }
    ASSERT_EQ(dump.code, 0);

    std::vector<DumpLine> lines;
    for (const std::string& line : Split(dump.text, '\n')) lines.push_back(ParseDumpLine(line));
    if (!lines.empty() && lines.back().prefix_and_name.empty()) lines.pop_back();
    const auto& expected = entries[file];
    ASSERT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < lines.size(); ++i) {
      const auto& want = expected[i];
      SCOPED_TRACE(want.at("dir") + " " + want.at("tag"));
      const int type_number = std::stoi(want.at("type"));
      const bool array_element = want.at("dir") == "CS1" || want.at("dir") == "CS2";
      EXPECT_EQ(lines[i].tag, std::stoul(want.at("tag"), nullptr, 16));
      EXPECT_EQ(lines[i].count, array_element ? 1 : std::stoi(want.at("count")));
      EXPECT_EQ(lines[i].prefix_and_name.rfind(PrefixOfDirectory(want.at("dir")), 0), 0u)
          << lines[i].prefix_and_name;
      const std::string reference = type_number == 2 && !array_element
                                        ? WithoutControlCharacters(Unescape(want.at("value")))
                                        : want.at("value");
      std::string dumped = ReferenceForm(lines[i], type_number, array_element);
      // The reference cuts texts at 200 characters.
      if (type_number == 2 && reference.size() == 200) dumped = dumped.substr(0, 200);
      EXPECT_EQ(dumped, reference);
    }
  }
  EXPECT_GE(pictures, 20);
}

TEST_F(SamplesTest, SummaryValuesMatchTheReference) {
  const std::vector<std::pair<std::string, std::string>> columns = {
      {"Make", "Exif.Make = "},
      {"Model", "Exif.Model = "},
      {"DateTimeOriginal", "Exif.DateTimeOriginal = "},
      {"ExposureTime", "Exif.ExposureTime = "},
      {"FNumber", "Exif.FNumber = "},
      {"ISO", "Exif.ISOSpeedRatings = "},
      {"CanonCS1_ISO_raw", "Canon.CS1.ISOSpeed = "},
  };
  for (auto& picture : ReadTable(kSamples / "reference.tsv")) {
    if (picture["exif_segment_present"] != "1") continue;
    const std::string file = picture["file"];
    SCOPED_TRACE(file);
    const std::string text = DumpToMemory((kSamples / file).string(), 1 << 22).text;
    for (const auto& [column, pattern] : columns) {
      const std::string want = Unescape(picture[column]);
      const size_t at = text.find(pattern);
      if (want.empty()) continue;
      ASSERT_NE(at, std::string::npos) << column;
      std::string value =
          text.substr(at + pattern.size(), text.find('\n', at) - at - pattern.size());
      if (value.front() == '\'') {
        value = value.substr(1, value.size() - 2);
      } else {
        // Rationals n/d=q and numbers with a trailing blank.
        if (value.find('=') != std::string::npos) value = value.substr(0, value.find('='));
        while (!value.empty() && value.back() == ' ') value.pop_back();
      }
      EXPECT_EQ(value, want) << column;
    }
  }
}

// "YYYY:MM:DD HH:MM:SS" plus seconds, in UTC, by the C library's own UTC path.
std::string ShiftedUtc(const std::string& date, int seconds) {
  std::tm time{};
  std::sscanf(date.c_str(), "%d:%d:%d %d:%d:%d", &time.tm_year, &time.tm_mon, &time.tm_mday,
              &time.tm_hour, &time.tm_min, &time.tm_sec);
  time.tm_year -= 1900;
  time.tm_mon -= 1;
  const std::time_t when = timegm(&time) + seconds;
  std::tm shifted{};
  gmtime_r(&when, &shifted);
  char text[32];
  std::strftime(text, sizeof text, "%Y:%m:%d %H:%M:%S", &shifted);
  return text;
}

TEST_F(SamplesTest, DateShiftRewritesExactlyTheReferenceDatePositions) {
  ScopedTimeZone zone("UTC0");
  int shifted_files = 0;
  for (auto& picture : ReadTable(kSamples / "reference.tsv")) {
    if (picture["exif_segment_present"] != "1") continue;
    const std::string file = picture["file"];
    SCOPED_TRACE(file);
    const Bytes original = exif_writer::ReadFileBytes((kSamples / file).string());
    std::vector<size_t> positions;
    for (const char* column :
         {"DateTime_offset", "DateTimeOriginal_offset", "DateTimeDigitized_offset"})
      if (!picture[column].empty()) positions.push_back(std::stoul(picture[column]));
    for (const std::string& other : Split(picture["other_date_entries"], ' '))
      if (other.find('@') != std::string::npos)
        positions.push_back(std::stoul(other.substr(other.find('@') + 1)));

    TempDir dir;
    const std::string copy = dir.Write(file, original);
    int32_t code = -1;
    CaptureStdout([&] { code = TagCore_AdjustDateTime(copy.c_str(), 3600); });
    Bytes expected = original;
    for (size_t at : positions) {
      const std::string old_date(original.begin() + static_cast<long>(at),
                                 original.begin() + static_cast<long>(at) + 19);
      const std::string new_date = ShiftedUtc(old_date, 3600);
      std::copy(new_date.begin(), new_date.end(), expected.begin() + static_cast<long>(at));
    }
    EXPECT_EQ(code, positions.empty() ? 7 : 0);
    EXPECT_TRUE(exif_writer::ReadFileBytes(copy) == expected);
    if (!positions.empty()) ++shifted_files;
  }
  EXPECT_GE(shifted_files, 10);
}

}  // namespace
}  // namespace snapcrate::tagcore_test
