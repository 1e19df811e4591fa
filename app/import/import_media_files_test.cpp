#include "app/import/import_media_files.h"

#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/time.h>
#include <unistd.h>
#include <utime.h>

#include <algorithm>
#include <csignal>
#include <cstddef>
#include <filesystem>
#include <vector>

#include "app/file_lib.h"
#include "app/library_loader.h"
#include "app/paths.h"
#include "app/program_state.h"
#include "app/import/stop_list.h"
#include "tests/support/exif_writer/camera_exif.h"
#include "tests/support/exif_writer/heif_builder.h"
#include "tests/support/exif_writer/movie_builder.h"
#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

using testing::ReadFile;
using testing::WriteFile;

class ImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetLibraryDir(SNAPCRATE_TEST_HOME);
    ClearStopList();
    options_.log_file = false;
    options_.add_orig_filename = false;
  }
  void TearDown() override { SetLibraryDir(""); }

  // A camera picture taken at `date`; `model` makes its bytes differ from others.
  void Picture(const std::string& relative, const std::string& date, const std::string& model = "A70") {
    exif_writer::CameraExif exif;
    exif.make = "Canon";
    exif.model = model;
    exif.date_time_original = date;
    std::filesystem::create_directories(std::filesystem::path(src_ / relative).parent_path());
    exif_writer::WriteFileBytes(src_ / relative, exif_writer::MakeCameraJpeg(exif));
  }
  ImportCounters Run() { return ImportMediaFiles(src_.path(), dest_.path(), options_); }
  bool Exists(const std::string& relative) { return FileExists(dest_ / relative); }

  testing::RecordingUiPort ui_;
  testing::TempDir src_;
  testing::TempDir dest_;
  ImportOptions options_;
};

TEST_F(ImportTest, TwoPicturesOfOneSecondAndAnUnchangedSecondImport) {
  Picture("DCIM/IMG_0001.JPG", "2007:05:06 14:30:00", "first");
  Picture("DCIM/IMG_0002.JPG", "2007:05:06 14:30:00", "second");
  ImportCounters first = Run();
  EXPECT_EQ(first.copied, 2);
  EXPECT_TRUE(Exists("2007/05/06/20070506_143000.jpg"));
  EXPECT_TRUE(Exists("2007/05/06/20070506_143000a.jpg"));
  EXPECT_EQ(ui_.messages.back(), "All 2 found files copied!");
  EXPECT_NE(std::find(ui_.log_lines.begin(), ui_.log_lines.end(), "Creating " + dest_ / "2007/05"),
            ui_.log_lines.end());

  ImportCounters second = Run();
  EXPECT_EQ(second.copied, 0);
  EXPECT_EQ(second.already_copied, 2);
  EXPECT_EQ(ui_.messages.back(), "2 files totally found:\r\n  2 files were already copied\r\n  0 files were actually copied");
  EXPECT_FALSE(Exists("2007/05/06/20070506_143000b.jpg"));
}

TEST_F(ImportTest, OriginalNameComesBeforeTheSuffix) {
  options_.add_orig_filename = true;
  Picture("a/IMG_0001.JPG", "2007:05:06 14:30:00", "first");
  Picture("b/IMG_0001.JPG", "2007:05:06 14:30:00", "second");
  Run();
  EXPECT_TRUE(Exists("2007/05/06/20070506_143000_IMG_0001.jpg"));
  EXPECT_TRUE(Exists("2007/05/06/20070506_143000_IMG_0001a.jpg"));
}

TEST_F(ImportTest, CopiesAreReadOnlyAndKeepTheirBytes) {
  Picture("IMG_0001.JPG", "2004:05:12 13:45:01");
  Run();
  FindRecord record;
  ASSERT_TRUE(FindFile(dest_ / "2004/05/12/20040512_134501.jpg", record));
  EXPECT_TRUE(record.read_only);
  EXPECT_EQ(ReadFile(dest_ / "2004/05/12/20040512_134501.jpg"), ReadFile(src_ / "IMG_0001.JPG"));
}

// Makes the process die at its first permission change by name (chmod, as a
// kill at that moment would); changes through an open descriptor go through.
bool DieAtChmodByName() {
  std::vector<sock_filter> filter = {BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr))};
  for (const long call : {long(SYS_fchmodat),
#ifdef SYS_chmod
                          long(SYS_chmod),
#endif
#ifdef SYS_fchmodat2
                          long(SYS_fchmodat2),
#endif
       }) {
    filter.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<__u32>(call), 0, 1));
    filter.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS));
  }
  filter.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
  const sock_fprog program = {static_cast<unsigned short>(filter.size()), filter.data()};
  return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

// A kill right after a copy got its name leaves it read-only, with the
// source's other permission bits and last-write time.
TEST_F(ImportTest, CopyIsReadOnlyTheMomentItHasItsName) {
  Picture("IMG_0001.JPG", "2004:05:12 13:45:01");
  const std::string source = src_ / "IMG_0001.JPG";
  ASSERT_EQ(chmod(source.c_str(), 0664), 0);
  const struct timeval times[2] = {{1000000000, 0}, {1100000000, 0}};
  ASSERT_EQ(utimes(source.c_str(), times), 0);
  EXPECT_EXIT(std::exit(DieAtChmodByName() && Run().copied == 1 ? 0 : 1), ::testing::ExitedWithCode(0), "");
  struct stat copy;
  ASSERT_EQ(stat((dest_ / "2004/05/12/20040512_134501.jpg").c_str(), &copy), 0);
  EXPECT_EQ(copy.st_mode & 07777, 0444u);
  EXPECT_EQ(copy.st_mtime, 1100000000);
}

TEST_F(ImportTest, VideoIsDatedByItsFileTimeInUtc) {
  WriteFile(src_ / "MVI_0001.AVI", "movie bytes");
  struct utimbuf times = {1178461800, 1178461800};  // 2007-05-06 14:30:00 UTC
  utime((src_ / "MVI_0001.AVI").c_str(), &times);
  Picture("IMG_0001.jpeg", "2007:05:06 10:00:00");  // not ".jpg": also dated by file time
  EXPECT_EQ(Run().copied, 2);
  EXPECT_TRUE(Exists("2007/05/06/20070506_143000.avi"));
  EXPECT_EQ(ui_.messages.back(), "All 2 found files copied!");
}

TEST_F(ImportTest, MixedCardIsNamedByExifDatesAndMovieHeaders) {
  // Movie headers are UTC; names are local time, here two hours ahead all year.
  const char* tz = getenv("TZ");
  const std::string old_tz = tz ? tz : "";
  setenv("TZ", "XST-2", 1);
  tzset();
  Picture("DCIM/IMG_0001.JPG", "2023:05:02 21:10:00");
  exif_writer::CameraExif exif;
  exif.make = "Apple";
  exif.date_time_original = "2023:05:02 21:15:00";
  exif_writer::WriteFileBytes(src_ / "DCIM/IMG_0002.HEIC",
                              exif_writer::MakeHeif(exif_writer::MakeCameraExif(exif)));
  constexpr int64_t k2023 = 1'683'055'140;  // 2023-05-02 19:19:00 UTC
  exif_writer::WriteFileBytes(
      src_ / "DCIM/IMG_0003.MP4",
      exif_writer::MakeMovie({.creation_time = exif_writer::MovieTime(k2023)}));
  exif_writer::WriteFileBytes(src_ / "DCIM/IMG_0004.mov",
                              exif_writer::MakeMovie({.creation_time = 0, .mvhd_version = 1}));
  struct utimbuf times = {1178461800, 1178461800};  // 2007-05-06 14:30:00 UTC
  utime((src_ / "DCIM/IMG_0004.mov").c_str(), &times);

  const ImportCounters all = Run();
  EXPECT_EQ(all.copied, 4);
  EXPECT_TRUE(Exists("2023/05/02/20230502_211000.jpg"));
  EXPECT_TRUE(Exists("2023/05/02/20230502_211500.heic"));
  EXPECT_TRUE(Exists("2023/05/02/20230502_211900.mp4"));
  EXPECT_TRUE(Exists("2007/05/06/20070506_143000.mov"));

  // Pictures with an EXIF date only: JPEG and HEIF, no movies.
  options_.exif_jpeg_only = true;
  testing::TempDir other;
  const ImportCounters pictures = ImportMediaFiles(src_.path(), other.path(), options_);
  EXPECT_EQ(pictures.copied, 2);
  EXPECT_TRUE(FileExists(other / "2023/05/02/20230502_211500.heic"));
  EXPECT_FALSE(FileExists(other / "2023/05/02/20230502_211900.mp4"));

  if (tz) setenv("TZ", old_tz.c_str(), 1);
  else unsetenv("TZ");
  tzset();
}

TEST_F(ImportTest, JpegOnlyModeSkipsOtherFilesSilently) {
  options_.exif_jpeg_only = true;
  WriteFile(src_ / "MVI_0001.AVI", "movie");
  Picture("IMG_0001.jpeg", "2007:05:06 10:00:00");
  ImportCounters counters = Run();
  EXPECT_EQ(counters.copied + counters.without_exif, 0);
  EXPECT_EQ(ui_.messages.back(), "No JPEG files found!");
  exif_writer::WriteFileBytes(src_ / "plain.jpg", exif_writer::MakeGrayJpeg());
  Picture("nodate.jpg", "0000:00:00 00:00:00");
  Picture("good.jpg", "2007:05:06 10:00:00");
  counters = Run();
  EXPECT_EQ(counters.without_exif, 1);
  EXPECT_EQ(counters.without_exif_date, 1);
  EXPECT_EQ(ui_.messages.back(),
            "3 JPEG files totally found:\r\n  1 JPEG files without EXIF info found\r\n"
            "  1 JPEG files without valid EXIF date info found\r\n  1 JPEG file was now copied");
}

TEST_F(ImportTest, TwentyEighthPictureOfOneSecondHitsTheSuffixLimit) {
  for (int i = 0; i < 28; ++i) Picture("p" + std::to_string(i) + ".jpg", "2007:05:06 14:30:00", "m" + std::to_string(i));
  EXPECT_EQ(Run().copied, 27);
  EXPECT_TRUE(Exists("2007/05/06/20070506_143000z.jpg"));
  EXPECT_NE(std::find(ui_.log_lines.begin(), ui_.log_lines.end(), "Can't write successor to 20070506_143000z.jpg"),
            ui_.log_lines.end());
}

TEST_F(ImportTest, OverlapIsRefusedInOneDirectionOnly) {
  ImportMediaFiles(dest_ / "card/", dest_.path(), options_);
  EXPECT_EQ(ui_.messages.back(),
            "Can't import from " + dest_ / "card/" + " to " + dest_.path() + "! (overlapping paths!)");
  Picture("IMG_0001.jpg", "2007:05:06 14:30:00");
  std::filesystem::create_directories(src_ / "archive");
  EXPECT_EQ(ImportMediaFiles(src_.path(), src_ / "archive/", options_).copied, 1);
  // A folder into itself is refused the same way.
  EXPECT_EQ(ImportMediaFiles(src_.path(), src_.path(), options_).copied, 0);
  EXPECT_EQ(ui_.messages.back(),
            "Can't import from " + src_.path() + " to " + src_.path() + "! (overlapping paths!)");
}

TEST_F(ImportTest, DirectoryThatCannotBeCreatedIsNotClaimedAsCopied) {
  Picture("IMG_0001.jpg", "2007:05:06 14:30:00");
  WriteFile(dest_ / "2007", "a file where the year directory belongs");
  const ImportCounters counters = Run();
  EXPECT_EQ(counters.copied, 0);
  EXPECT_EQ(counters.failed, 1);
  EXPECT_EQ(ui_.messages.back(), "1 files totally found:\r\n  0 files were actually copied\r\n  1 file failed");
}

TEST_F(ImportTest, ReadOnlyDestinationIsReportedAsFailed) {
  Picture("a.jpg", "2007:05:06 14:30:00", "one");
  Picture("b.jpg", "2007:05:07 14:30:00", "two");
  // Root writes into read-only directories: a read-only mount stops it.
  const bool mounted = geteuid() == 0 && mount("none", dest_.path().c_str(), "tmpfs", MS_RDONLY, "size=64k") == 0;
  if (geteuid() == 0 && !mounted) GTEST_SKIP() << "cannot mount a read-only file system here";
  if (!mounted) chmod(dest_.path().c_str(), 0555);
  const ImportCounters counters = Run();
  if (mounted) umount2(dest_.path().c_str(), MNT_DETACH);
  chmod(dest_.path().c_str(), 0755);
  EXPECT_EQ(counters.failed, 2);
  EXPECT_EQ(ui_.messages.back(), "2 files totally found:\r\n  0 files were actually copied\r\n  2 files failed");
}

TEST_F(ImportTest, KilledImportLeavesNoPartialPictureAndTheNextImportFinishes) {
  Picture("IMG_0001.jpg", "2007:05:06 14:30:00");
  // The file-size limit kills the import in the middle of the copy.
  const auto limited_import = [this] {
    const struct rlimit limit = {64, 64};
    setrlimit(RLIMIT_FSIZE, &limit);
    Run();
    std::exit(0);
  };
  EXPECT_EXIT(limited_import(), ::testing::KilledBySignal(SIGXFSZ), "");
  EXPECT_FALSE(Exists("2007/05/06/20070506_143000.jpg"));
  EXPECT_EQ(Run().copied, 1);
  EXPECT_EQ(ReadFile(dest_ / "2007/05/06/20070506_143000.jpg"), ReadFile(src_ / "IMG_0001.jpg"));
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dest_ / "2007/05/06"))
    names.push_back(entry.path().filename());
  EXPECT_EQ(names, std::vector<std::string>{"20070506_143000.jpg"});
}

TEST_F(ImportTest, FailedCopyIsNotClaimedAsCopied) {
  // A file size limit makes the copy fail halfway, as a full card or disk would.
  Picture("big.jpg", "2007:05:06 14:30:00");
  struct rlimit old_limit;
  getrlimit(RLIMIT_FSIZE, &old_limit);
  struct rlimit small_limit = old_limit;
  small_limit.rlim_cur = 64;
  signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small_limit);
  const ImportCounters counters = Run();
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, SIG_DFL);
  EXPECT_EQ(counters.copied, 0);
  EXPECT_EQ(counters.failed, 1);
  EXPECT_FALSE(Exists("2007/05/06/20070506_143000.jpg"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dest_ / "2007/05/06"), {}), 0);
  EXPECT_EQ(ui_.messages.back(), "1 files totally found:\r\n  0 files were actually copied\r\n  1 file failed");
}

TEST_F(ImportTest, UnreadableFolderMakesTheImportIncomplete) {
  Picture("a.jpg", "2007:05:06 14:30:00");
  Picture("locked/b.jpg", "2007:05:07 14:30:00");
  ASSERT_EQ(chmod((src_ / "locked").c_str(), 0), 0);
  // In a child, which may give up root's rights for good.
  EXPECT_EXIT(
      {
        if (!testing::DropReadAnyDirectory()) std::exit(2);
        const ImportCounters counters = Run();
        const auto warnings = std::count_if(ui_.log_lines.begin(), ui_.log_lines.end(),
                                            [](const std::string& line) { return line.starts_with("Warning: Directory"); });
        std::exit(counters.copied == 1 && counters.unreadable_dirs == 1 && warnings == 1 &&
                          ui_.messages.back() == "All 1 found files copied!\r\n  1 folder could not be read"
                      ? 0
                      : 1);
      },
      ::testing::ExitedWithCode(0), "");
  chmod((src_ / "locked").c_str(), 0700);
}

TEST_F(ImportTest, LogFileRecordsEveryFileAndTheSummary) {
  options_.log_file = true;
  Picture("IMG_0001.jpg", "2007:05:06 14:30:00");
  Run();
  Run();
  const std::string log = ReadFile(dest_ / "snapcrate.log");
  EXPECT_NE(log.find(src_ / "IMG_0001.jpg -> " + dest_ / "2007/05/06/20070506_143000.jpg\r\nAll 1 found files copied!\r\n\r\n"),
            std::string::npos);
  EXPECT_NE(log.find(src_ / "IMG_0001.jpg: already copied (identical to \"20070506_143000.jpg\")\r\n"),
            std::string::npos);
}

TEST_F(ImportTest, StopListSkipsDirectoriesAndDryRunCopiesNothing) {
  Picture("keep/IMG_0001.jpg", "2007:05:06 14:30:00", "one");
  Picture("keep/IMG_0002.jpg", "2007:05:06 14:30:00", "two");
  Picture(".thumbnails/x.jpg", "2007:05:06 14:30:00", "three");
  Picture("trash/IMG_0003.jpg", "2001:01:01 00:00:00");
  testing::TempDir home;
  Program().home_dir = home.path();
  WriteFile(home / "etc/stoplist.txt", "trash\r\n");
  ReadStopList();
  options_.dry_run = true;
  EXPECT_EQ(Run().copied, 2);
  EXPECT_FALSE(IsDirectory(dest_ / "2007"));
  EXPECT_FALSE(IsDirectory(dest_ / "2001"));
  EXPECT_NE(std::find(ui_.log_lines.begin(), ui_.log_lines.end(),
                      src_ / "keep/IMG_0002.jpg -> " + dest_ / "2007/05/06/20070506_143000a.jpg"),
            ui_.log_lines.end());
  ClearStopList();
}

TEST(ImportSummaryTest, WordsAndSingularForms) {
  const struct {
    ImportCounters counters;
    bool aborted;
    bool jpeg_only;
    const char* text;
  } cases[] = {
      {{}, false, false, "No files found!"},
      {{}, false, true, "No JPEG files found!"},
      {{.copied = 3}, false, false, "All 3 found files copied!"},
      {{.copied = 1, .already_copied = 1}, false, false,
       "2 files totally found:\r\n  1 file was already copied\r\n  1 file was now copied"},
      {{.copied = 1}, true, true, "Function aborted!!\r\nSo far:\r\nAll 1 found JPEG files copied!"},
      {{.copied = 2, .failed = 1}, false, true,
       "3 JPEG files totally found:\r\n  2 JPEG files were actually copied\r\n  1 JPEG file failed"},
      {{.unreadable_dirs = 2}, false, false, "No files found!\r\n  2 folders could not be read"},
  };
  for (const auto& c : cases) EXPECT_EQ(ImportSummary(c.counters, c.aborted, c.jpeg_only), c.text);
}

}  // namespace
}  // namespace snapcrate
