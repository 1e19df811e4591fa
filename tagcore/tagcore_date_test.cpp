// Shifting the EXIF dates of a file: which entries, which bytes, the
// local-time arithmetic and its limits, the result codes and the trace.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tagcore/tagcore.h"
#include "tagcore/tagcore_test_support.h"
#include "tests/support/exif_writer/file_bytes.h"
#include "tests/support/exif_writer/jpeg_builder.h"
#include "tests/support/exif_writer/tiff_builder.h"

namespace snapcrate::tagcore_test {
namespace {

using exif_writer::ByteOrder;
using exif_writer::JpegBuilder;
using exif_writer::TiffBuilder;
namespace tag = exif_writer::tag;
namespace type = exif_writer::type;

constexpr char kCentralEurope[] = "CET-1CEST,M3.5.0,M10.5.0/3";

// Position of text in bytes; every date of a test file is unique.
size_t Find(const Bytes& bytes, const std::string& text) {
  const auto it = std::search(bytes.begin(), bytes.end(), text.begin(), text.end());
  return it == bytes.end() ? std::string::npos : static_cast<size_t>(it - bytes.begin());
}

Bytes Replaced(Bytes bytes, const std::string& old_text, const std::string& new_text) {
  const size_t at = Find(bytes, old_text);
  EXPECT_NE(at, std::string::npos) << old_text;
  if (at != std::string::npos) std::copy(new_text.begin(), new_text.end(), bytes.begin() + at);
  return bytes;
}

int32_t Adjust(const std::string& path, int32_t seconds, std::string* trace = nullptr) {
  int32_t code = -1;
  const std::string out =
      CaptureStdout([&] { code = TagCore_AdjustDateTime(path.c_str(), seconds); });
  if (trace) *trace = out;
  return code;
}

// IFD0 DateTime, EXIF DateTimeOriginal and DateTimeDigitized, a DateTime in the
// Canon maker note and in the thumbnail directory, behind an APP0 segment.
Bytes EveryDateFile(ByteOrder order) {
  TiffBuilder tiff(order);
  const auto ifd0 = tiff.AddDirectory();
  const auto sub = tiff.AddDirectory();
  const auto note = tiff.AddDirectory();
  const auto ifd1 = tiff.AddDirectory();
  tiff.Ascii(ifd0, tag::kMake, "Canon").Ascii(ifd0, tag::kDateTime, "2004:05:12 18:00:00");
  tiff.SubDirectory(ifd0, sub).Chain(ifd0, ifd1);
  tiff.Ascii(sub, tag::kDateTimeOriginal, "2004:05:12 13:45:01");
  tiff.Ascii(sub, tag::kDateTimeDigitized, "2004:05:12 13:45:02");
  tiff.MakerNote(sub, note);
  tiff.Short(note, tag::kCanonCameraSettings1, {4, 1});
  tiff.Ascii(note, tag::kDateTime, "2004:05:12 13:45:03");
  tiff.Short(ifd1, tag::kCompression, {6}).Ascii(ifd1, tag::kDateTime, "2004:05:12 18:00:04");
  return JpegBuilder().App0Jfif().Exif(tiff.Build()).Comment("2004:05:12 18:00:00").Build();
}

TEST(TagCoreDate, ShiftsEveryDateInEveryDirectoryAndNothingElse) {
  ScopedTimeZone zone("UTC0");
  for (ByteOrder order : {ByteOrder::kLittle, ByteOrder::kBig}) {
    const Bytes original = EveryDateFile(order);
    TempDir dir;
    const std::string path = dir.Write("every.jpg", original);
    std::string trace;
    EXPECT_EQ(Adjust(path, 3661, &trace), 0);

    Bytes expected = original;
    // Walk order: IFD0, EXIF, maker note, thumbnail.
    const std::vector<std::pair<std::string, std::string>> dates = {
        {"2004:05:12 18:00:00", "2004:05:12 19:01:01"},
        {"2004:05:12 13:45:01", "2004:05:12 14:46:02"},
        {"2004:05:12 13:45:02", "2004:05:12 14:46:03"},
        {"2004:05:12 13:45:03", "2004:05:12 14:46:04"},
        {"2004:05:12 18:00:04", "2004:05:12 19:01:05"},
    };
    size_t trace_at = 0;
    for (const auto& [old_date, new_date] : dates) {
      const size_t at = Find(original, old_date);
      expected = Replaced(expected, old_date, new_date);
      char line[128];
      std::snprintf(line, sizeof line, "File %s, offset %8zX\n", path.c_str(), at);
      trace_at = trace.find(line, trace_at);
      EXPECT_NE(trace_at, std::string::npos) << "in walk order: " << line;
    }
    // The comment behind the EXIF segment holds the first date too, untouched.
    EXPECT_EQ(exif_writer::ReadFileBytes(path), expected);
  }
}

struct ShiftCase {
  const char* zone;
  const char* date;
  int32_t seconds;
  int32_t code;
  const char* shifted;  // when code is 0
};

TEST(TagCoreDate, ShiftsOnTheAbsoluteScaleWithinYears1970To9999) {
  const std::vector<ShiftCase> cases = {
      {"UTC0", "2004:05:12 13:45:01", 86400, 0, "2004:05:13 13:45:01"},
      {"UTC0", "2004:05:12 13:45:01", -365 * 86400, 0, "2003:05:13 13:45:01"},
      {"UTC0", "2004:05:12 13:45:01", 0, 0, "2004:05:12 13:45:01"},
      // Fields out of range are normalised.
      {"UTC0", "2005:02:30 12:00:00", 0, 0, "2005:03:02 12:00:00"},
      {"UTC0", "2004:13:01 00:00:00", 0, 0, "2005:01:01 00:00:00"},
      {"UTC0", "0000:00:00 00:00:00", 0, 0, "1999:11:30 00:00:00"},
      {"UTC0", "1900:06:01 00:00:00", 0, 0, "2000:06:01 00:00:00"},
      {"UTC0", "abcd:ef:gh ij:kl:mn", 0, 0, "1999:11:30 00:00:00"},
      // Fields are read by leading digits; separators are not checked.
      {"UTC0", "2004: 5: 6  7: 8: 9", 0, 0, "2004:05:06 07:08:09"},
      {"UTC0", "2004-05-06T07.08.09", 60, 0, "2004:05:06 07:09:09"},
      // Daylight saving: a day across the change moves the clock by 23 or 25 hours.
      {kCentralEurope, "2004:03:27 12:00:00", 86400, 0, "2004:03:28 13:00:00"},
      {kCentralEurope, "2004:10:30 12:00:00", 86400, 0, "2004:10:31 11:00:00"},
      {kCentralEurope, "2004:07:01 12:00:00", -3600, 0, "2004:07:01 11:00:00"},
      // The lower limit is 1970-01-01 00:00:00 UTC, in the local zone.
      {"UTC0", "1970:01:01 00:00:00", 0, 0, "1970:01:01 00:00:00"},
      {"UTC0", "1970:01:01 00:00:00", -1, 8, nullptr},
      {"UTC0", "1970:01:01 00:00:10", -11, 8, nullptr},
      {kCentralEurope, "1970:01:01 01:00:00", 0, 0, "1970:01:01 01:00:00"},
      {kCentralEurope, "1970:01:01 00:30:00", 0, 8, nullptr},
      {"UTC0", "1901:01:01 00:00:00", 0, 8, nullptr},
      {"UTC0", "2004:01:01 00:00:00", INT32_MIN, 8, nullptr},
      // A date before 1970 may be shifted into the range.
      {"UTC0", "1969:12:31 23:00:00", 7200, 0, "1970:01:01 01:00:00"},
      // Beyond 2038: the upper limit is the four-digit year.
      {"UTC0", "2038:01:19 03:14:07", 1, 0, "2038:01:19 03:14:08"},
      {"UTC0", "2100:02:28 12:00:00", 86400, 0, "2100:03:01 12:00:00"},
      {"UTC0", "2004:01:01 00:00:00", INT32_MAX, 0, "2072:01:19 03:14:07"},
      {"UTC0", "9999:12:31 23:59:59", 0, 0, "9999:12:31 23:59:59"},
      {"UTC0", "9999:12:31 23:59:59", 1, 8, nullptr},
      {kCentralEurope, "9999:12:31 23:00:00", 3599, 0, "9999:12:31 23:59:59"},
  };
  for (const ShiftCase& c : cases) {
    SCOPED_TRACE(std::string(c.zone) + " " + c.date + " " + std::to_string(c.seconds));
    ScopedTimeZone zone(c.zone);
    TiffBuilder tiff;
    tiff.Ascii(tiff.AddDirectory(), tag::kDateTime, c.date);
    const Bytes original = JpegBuilder().Exif(tiff.Build()).Build();
    TempDir dir;
    const std::string path = dir.Write("date.jpg", original);
    std::string trace;
    EXPECT_EQ(Adjust(path, c.seconds, &trace), c.code);
    const Bytes expected = c.code == 0 ? Replaced(original, c.date, c.shifted) : original;
    EXPECT_EQ(exif_writer::ReadFileBytes(path), expected);
    if (c.code == 8) {
      EXPECT_NE(trace.find("\nerror - wrong date\n"), std::string::npos) << trace;
    }
  }
}

TEST(TagCoreDate, LeavesDateEntriesUnfitForRewritingAlone) {
  // Each counts as a date (no code 7) but has no room for 19 characters.
  struct Case {
    const char* name;
    uint16_t type_number;
    uint32_t count;
    std::string bytes;
  };
  const std::vector<Case> cases = {
      {"undefined bytes", type::kUndefined, 20, std::string("2004:05:12 13:45:01\0", 20)},
      {"shorts", type::kShort, 10, std::string("2004:05:12 13:45:01\0", 20)},
      {"short text", type::kAscii, 11, std::string("2004:05:12\0", 11)},
      {"18 characters", type::kAscii, 18, "2004:05:12 13:45:0"},
      {"inline text", type::kAscii, 4, "2004"},
  };
  ScopedTimeZone zone("UTC0");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (bool with_good_date : {false, true}) {
      TiffBuilder tiff(ByteOrder::kBig);
      const auto ifd0 = tiff.AddDirectory();
      tiff.Entry(ifd0, tag::kDateTime, c.type_number, c.count,
                 Bytes(c.bytes.begin(), c.bytes.end()));
      const auto sub = tiff.AddDirectory();
      tiff.SubDirectory(ifd0, sub);
      if (with_good_date) tiff.Ascii(sub, tag::kDateTimeOriginal, "2010:10:10 10:10:10");
      const Bytes original = JpegBuilder().Exif(tiff.Build()).Build();
      TempDir dir;
      const std::string path = dir.Write("odd.jpg", original);
      std::string trace;
      EXPECT_EQ(Adjust(path, 1, &trace), 0);
      const Bytes expected = with_good_date
                                 ? Replaced(original, "2010:10:10 10:10:10", "2010:10:10 10:10:11")
                                 : original;
      EXPECT_EQ(exif_writer::ReadFileBytes(path), expected);
      EXPECT_NE(trace.find("DateTime skipped: type " + std::to_string(c.type_number) + ", count " +
                           std::to_string(c.count) + " is no date text\n"),
                std::string::npos)
          << trace;
    }
  }
}

TEST(TagCoreDate, FileWithoutDateEntriesGivesCode7AndStaysUnchanged) {
  TiffBuilder tiff;
  const auto ifd0 = tiff.AddDirectory();
  const auto sub = tiff.AddDirectory();
  tiff.Ascii(ifd0, tag::kMake, "Canon").SubDirectory(ifd0, sub);
  tiff.Ascii(sub, 0x9290, "2004:05:12 13:45:01");  // SubSecTime, not a date tag
  const Bytes original = JpegBuilder().Exif(tiff.Build()).Build();
  TempDir dir;
  const std::string path = dir.Write("nodate.jpg", original);
  std::string trace;
  EXPECT_EQ(Adjust(path, 60, &trace), 7);
  EXPECT_EQ(trace, "");
  EXPECT_EQ(exif_writer::ReadFileBytes(path), original);
}

TEST(TagCoreDate, WrongDateStopsTheWalkAndLeavesTheFileUntouched) {
  ScopedTimeZone zone("UTC0");
  TiffBuilder tiff;
  const auto ifd0 = tiff.AddDirectory();
  const auto sub = tiff.AddDirectory();
  tiff.Ascii(ifd0, tag::kDateTime, "2010:01:01 00:00:00").SubDirectory(ifd0, sub);
  tiff.Ascii(sub, tag::kDateTimeOriginal, "1970:01:01 00:00:00");
  tiff.Ascii(sub, tag::kDateTimeDigitized, "2011:01:01 00:00:00");
  const Bytes original = JpegBuilder().Exif(tiff.Build()).Build();
  TempDir dir;
  const std::string path = dir.Write("wrong.jpg", original);
  EXPECT_EQ(Adjust(path, -1), 8);
  EXPECT_EQ(exif_writer::ReadFileBytes(path), original);
}

TEST(TagCoreDate, BrokenEntryAfterADateGivesCode6AndLeavesTheFileUntouched) {
  ScopedTimeZone zone("UTC0");
  TiffBuilder tiff;
  const auto ifd0 = tiff.AddDirectory();
  tiff.Ascii(ifd0, tag::kDateTime, "2010:01:01 00:00:00");
  tiff.EntryWithField(ifd0, tag::kModel, type::kAscii, 40, 60000);
  const Bytes original = JpegBuilder().Exif(tiff.Build()).Build();
  TempDir dir;
  const std::string path = dir.Write("broken.jpg", original);
  EXPECT_EQ(Adjust(path, 1), 6);
  EXPECT_EQ(exif_writer::ReadFileBytes(path), original);
}

// The names in `directory` other than `keep`.
std::vector<std::string> OtherNames(const std::string& directory, const std::string& keep) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory))
    if (entry.path().filename() != keep) names.push_back(entry.path().filename());
  return names;
}

TEST(TagCoreDate, KilledAtAnyPointTheFileIsEitherUntouchedOrCompletelyShifted) {
  ScopedTimeZone zone("UTC0");
  const Bytes original = EveryDateFile(ByteOrder::kLittle);
  Bytes shifted = original;
  // Latest first, so that no new date is taken for an old one.
  for (const auto& [old_date, new_date] : std::vector<std::pair<std::string, std::string>>{
           {"2004:05:12 18:00:04", "2004:05:12 18:00:05"}, {"2004:05:12 13:45:03", "2004:05:12 13:45:04"},
           {"2004:05:12 13:45:02", "2004:05:12 13:45:03"}, {"2004:05:12 13:45:01", "2004:05:12 13:45:02"},
           {"2004:05:12 18:00:00", "2004:05:12 18:00:01"}})
    shifted = Replaced(shifted, old_date, new_date);
  // The file-size limit kills the child when a write reaches it: before the
  // first date, between two dates, and never.
  const rlim_t second_date = Find(original, "2004:05:12 13:45:01");
  for (const rlim_t limit : {rlim_t{16}, second_date + 1, RLIM_INFINITY}) {
    TempDir dir;
    const std::string path = dir.Write("every.jpg", original);
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
      const struct rlimit small = {limit, limit};
      if (std::freopen("/dev/null", "w", stdout) == nullptr || setrlimit(RLIMIT_FSIZE, &small) != 0) _exit(100);
      _exit(TagCore_AdjustDateTime(path.c_str(), 1));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    if (limit == RLIM_INFINITY) {
      ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
      EXPECT_EQ(exif_writer::ReadFileBytes(path), shifted);
      EXPECT_EQ(OtherNames(dir.Path(""), "every.jpg"), std::vector<std::string>{});
    } else {
      ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << limit << " " << status;
      EXPECT_EQ(exif_writer::ReadFileBytes(path), original) << limit;
      // What the kill left is hidden and marked as temporary.
      for (const std::string& name : OtherNames(dir.Path(""), "every.jpg"))
        EXPECT_TRUE(name.rfind(".snapcrate-", 0) == 0 && name.size() == 22) << name;
    }
  }
}

TEST(TagCoreDate, FullDiskGivesCode9AndKeepsFileModeOwnerAndTimes) {
  ScopedTimeZone zone("UTC0");
  const Bytes original = EveryDateFile(ByteOrder::kLittle);
  TempDir dir;
  const std::string path = dir.Write("every.jpg", original);
  chmod(path.c_str(), 0640);
  const struct timespec times[2] = {{1'000'000'000, 5}, {1'100'000'000, 7}};
  utimensat(AT_FDCWD, path.c_str(), times, 0);
  struct stat before;
  ASSERT_EQ(stat(path.c_str(), &before), 0);

  // A write past the size limit fails as on a full disk.
  struct rlimit old_limit;
  getrlimit(RLIMIT_FSIZE, &old_limit);
  const struct rlimit small = {64, old_limit.rlim_max};
  signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  const int32_t code = Adjust(path, 1);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, SIG_DFL);
  EXPECT_EQ(code, 9);
  EXPECT_EQ(exif_writer::ReadFileBytes(path), original);
  EXPECT_EQ(OtherNames(dir.Path(""), "every.jpg"), std::vector<std::string>{});

  ASSERT_EQ(Adjust(path, 1), 0);
  struct stat after;
  ASSERT_EQ(stat(path.c_str(), &after), 0);
  EXPECT_NE(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mode, before.st_mode);
  EXPECT_EQ(after.st_uid, before.st_uid);
  EXPECT_EQ(after.st_gid, before.st_gid);
  EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  EXPECT_EQ(OtherNames(dir.Path(""), "every.jpg"), std::vector<std::string>{});
}

TEST(TagCoreDate, ReadOnlyFileGivesCode5AndStaysUnchanged) {
  TiffBuilder tiff;
  tiff.Ascii(tiff.AddDirectory(), tag::kDateTime, "2010:01:01 00:00:00");
  const Bytes original = JpegBuilder().Exif(tiff.Build()).Build();
  TempDir dir;
  const std::string path = dir.Write("locked.jpg", original);
  chmod(path.c_str(), 0444);
  if (geteuid() != 0) {
    std::string trace;
    EXPECT_EQ(Adjust(path, 1, &trace), 5);
    EXPECT_NE(trace.find("strerror says open failed: Permission denied\n"), std::string::npos);
  } else {
    // Root writes read-only files: try as an ordinary user in a child.
    chmod(dir.Path("").c_str(), 0755);
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
      if (setgid(65534) != 0 || setuid(65534) != 0) _exit(100);
      if (std::freopen("/dev/null", "w", stdout) == nullptr) _exit(101);
      _exit(TagCore_AdjustDateTime(path.c_str(), 1));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 100) GTEST_SKIP() << "cannot drop root privileges here";
    EXPECT_EQ(WEXITSTATUS(status), 5);
  }
  EXPECT_EQ(exif_writer::ReadFileBytes(path), original);
}

TEST(TagCoreDate, TracesEachDateOnStandardOutput) {
  ScopedTimeZone zone("UTC0");
  TiffBuilder tiff;
  tiff.Ascii(tiff.AddDirectory(), tag::kDateTime, "2004:05:12 13:45:01");
  JpegBuilder jpeg;
  jpeg.App0Jfif().Exif(tiff.Build());
  TempDir dir;
  const std::string path = dir.Write("trace.jpg", jpeg.Build());
  std::string trace;
  ASSERT_EQ(Adjust(path, 60, &trace), 0);

  // The first three lines tell the current time.
  ASSERT_EQ(trace.rfind("current time:\nasctime() = ", 0), 0u) << trace;
  size_t rest = trace.find("\nraw: ");
  ASSERT_NE(rest, std::string::npos);
  rest = trace.find('\n', rest + 1) + 1;
  char position[32];
  std::snprintf(position, sizeof position, "%8X", jpeg.TiffPosition() + tiff.ValueOffset(0, 0));
  EXPECT_EQ(trace.substr(rest), "File " + path + ", offset " + position + "\n" +
                                    "DateTime found: adjust by 60 seconds ...\n"
                                    "2004:05:12 13:45:01\n"
                                    "orig time:\n"
                                    "asctime() = ??? May 12 13:45:01 2004\n"
                                    "raw: 2004:05:12 13:45:01 (DST flag -1)\n"
                                    "new time:\n"
                                    "asctime() = Wed May 12 13:46:01 2004\n"
                                    "raw: 2004:05:12 13:46:01 (DST flag 0)\n");
}

TEST(TagCoreDate, DumpAfterAdjustWalksWithoutTheDateHook) {
  ScopedTimeZone zone("UTC0");
  TempDir dir;
  const std::string path = dir.Write("every.jpg", EveryDateFile(ByteOrder::kLittle));
  ASSERT_EQ(Adjust(path, 1), 0);
  const Bytes after_adjust = exif_writer::ReadFileBytes(path);
  const std::string out = CaptureStdout([&] { EXPECT_EQ(DumpToMemory(path).code, 0); });
  EXPECT_EQ(out, "");
  EXPECT_EQ(exif_writer::ReadFileBytes(path), after_adjust);
}

}  // namespace
}  // namespace snapcrate::tagcore_test
