#include "app/generator/picture_workers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "app/file_lib.h"
#include "app/library_loader.h"
#include "app/log.h"
#include "app/paths.h"
#include "app/progress.h"
#include "pixcore/pixcore_test_support.h"
#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

/// Records like the test port, and counts every call that came from a thread
/// other than the one that made it: workers must leave the user's side alone.
class ThreadCheckingUiPort : public testing::RecordingUiPort {
 public:
  void ProcessEvents() override {
    Check();
    RecordingUiPort::ProcessEvents();
  }
  void LogChanged(std::string_view message, const LogRing& ring) override {
    Check();
    RecordingUiPort::LogChanged(message, ring);
  }
  void ProgressSetValue(int value, const std::string* label) override {
    Check();
    RecordingUiPort::ProgressSetValue(value, label);
  }
  std::atomic<int> foreign_calls{0};

 private:
  void Check() {
    if (std::this_thread::get_id() != owner_) ++foreign_calls;
  }
  const std::thread::id owner_ = std::this_thread::get_id();
};

class PictureWorkersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ProgressShow(0, 0);  // clears the abort flag, starts the throttle's clock
    ui_.log_lines.clear();
    ui_.progress_labels.clear();
  }
  void TearDown() override { ClearAbort(); }

  bool Run(size_t count, int workers, const PictureTask& task) {
    return RunPictureWorkers(
        count, workers, task,
        [&](size_t i, int32_t result) {
          done_.push_back(i);
          if (result != 1)
            LogMessage("picture " + std::to_string(i) + ": Error " + std::to_string(result));
        },
        files_made_, operations_);
  }

  ThreadCheckingUiPort ui_;
  std::vector<size_t> done_;
  int32_t files_made_ = 0;
  int32_t operations_ = 0;
};

// Picture 0 finishes last of all (it waits for the others), yet everything it
// says comes first.
TEST_F(PictureWorkersTest, PicturesFinishingOutOfOrderAreReportedInListOrder) {
  constexpr size_t kCount = 4;
  std::mutex mutex;
  std::condition_variable others_done;
  size_t finished = 0;
  std::atomic<int> on_caller{0};
  const std::thread::id caller = std::this_thread::get_id();
  const auto task = [&](size_t i, int32_t& made, ResizeEffects& effects) -> int32_t {
    if (std::this_thread::get_id() == caller) ++on_caller;
    if (i == 0) {
      std::unique_lock lock(mutex);
      others_done.wait(lock, [&] { return finished == kCount - 1; });
    }
    if (effects.WorkStarts("pic" + std::to_string(i))) return kResizeAborted;
    effects.Log("made pic" + std::to_string(i));
    made += 2;
    {
      std::lock_guard lock(mutex);
      ++finished;
    }
    others_done.notify_all();
    return i == 2 ? 107 : 1;
  };
  EXPECT_FALSE(Run(kCount, static_cast<int>(kCount), task));
  EXPECT_EQ(on_caller, 0);
  EXPECT_EQ(done_, (std::vector<size_t>{0, 1, 2, 3}));
  EXPECT_EQ(ui_.log_lines, (std::vector<std::string>{"made pic0", "made pic1", "made pic2",
                                                     "picture 2: Error 107", "made pic3"}));
  EXPECT_EQ(ui_.progress_labels, (std::vector<std::string>{"pic0", "pic1", "pic2", "pic3"}));
  EXPECT_EQ(files_made_, 8);
  EXPECT_EQ(operations_, 4);
  EXPECT_EQ(ui_.foreign_calls, 0);
}

TEST_F(PictureWorkersTest, OneWorkerOrOnePictureWorksOnTheCallingThread) {
  const std::thread::id caller = std::this_thread::get_id();
  for (auto [count, workers] :
       {std::pair{size_t{3}, 1}, std::pair{size_t{1}, 4}, std::pair{size_t{0}, 4}}) {
    SCOPED_TRACE(std::to_string(count) + " pictures, " + std::to_string(workers) + " workers");
    done_.clear();
    int calls = 0;
    EXPECT_FALSE(Run(count, workers, [&](size_t, int32_t&, ResizeEffects& effects) -> int32_t {
      ++calls;
      EXPECT_EQ(std::this_thread::get_id(), caller);
      return effects.Aborted() ? kResizeAborted : 1;
    }));
    EXPECT_EQ(calls, static_cast<int>(count));
    EXPECT_EQ(done_.size(), count);
  }
}

// An abort stops the pictures not yet begun; those already reported keep
// their files and lines.
TEST_F(PictureWorkersTest, AbortLeavesTheRemainingPicturesUnbegun) {
  constexpr size_t kAbortAt = 3;
  std::atomic<size_t> begun{0};
  const auto task = [&](size_t i, int32_t& made, ResizeEffects& effects) -> int32_t {
    ++begun;
    if (effects.Aborted()) return kResizeAborted;
    if (i == kAbortAt) RequestAbort();  // as Ctrl-C does, from anywhere
    if (effects.Aborted()) return kResizeAborted;
    ++made;
    return 1;
  };
  EXPECT_TRUE(Run(50, 2, task));
  // Picture 3 aborted; at most the one picture beside it was under way or
  // being taken.
  EXPECT_LE(begun, kAbortAt + 2);
  // What was reported before the abort was noticed is a prefix of the list.
  ASSERT_LE(done_.size(), kAbortAt);
  for (size_t i = 0; i < done_.size(); ++i) EXPECT_EQ(done_[i], i);
  EXPECT_EQ(files_made_, static_cast<int32_t>(done_.size()));
  EXPECT_EQ(ui_.foreign_calls, 0);
}

// A worker busy with a long picture learns of an Abort pressed in the
// progress display while the calling thread waits for it.
TEST_F(PictureWorkersTest, AbortInTheProgressDisplayReachesABusyWorker) {
  ui_.abort_at_event = ui_.events_processed + 1;
  std::atomic<bool> saw_abort{false};
  const auto task = [&](size_t i, int32_t&, ResizeEffects& effects) -> int32_t {
    if (i > 0) return 1;
    while (!effects.Aborted()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    saw_abort = true;
    return kResizeAborted;
  };
  EXPECT_TRUE(Run(2, 2, task));
  EXPECT_TRUE(saw_abort);
  EXPECT_TRUE(done_.empty());
  EXPECT_EQ(ui_.foreign_calls, 0);
}

TEST_F(PictureWorkersTest, CopyFailuresAreLoggedInTheirTurn) {
  TempDir dir;
  WriteFile(dir / "a.jpg", "first");
  WriteFile(dir / "b.jpg", "second");
  const auto task = [&](size_t i, int32_t& made, ResizeEffects& effects) -> int32_t {
    const std::string name = i == 0 ? "a.jpg" : "b.jpg";
    // The second target's directory does not exist.
    if (effects.Copy(dir / name, dir / (i == 0 ? "copy_a.jpg" : "none/copy_b.jpg"))) ++made;
    effects.Log("after copy " + std::to_string(i));
    return 1;
  };
  EXPECT_FALSE(Run(2, 2, task));
  EXPECT_EQ(ReadFile(dir / "copy_a.jpg"), "first");
  EXPECT_EQ(files_made_, 1);
  EXPECT_EQ(ui_.log_lines,
            (std::vector<std::string>{
                "after copy 0", "Can't copy " + dir / "b.jpg" + " to " + dir / "none/copy_b.jpg",
                "after copy 1"}));
  EXPECT_EQ(ui_.foreign_calls, 0);
}

// The workers start at once, so the caller can write pages meanwhile; what
// they say still waits for Finish, on the calling thread.
TEST_F(PictureWorkersTest, PicturesBeginBeforeFinishAndAreReportedByIt) {
  std::mutex mutex;
  std::condition_variable changed;
  int begun = 0;
  const auto task = [&](size_t i, int32_t& made, ResizeEffects& effects) -> int32_t {
    {
      std::lock_guard lock(mutex);
      ++begun;
    }
    changed.notify_all();
    effects.Log("made pic" + std::to_string(i));
    ++made;
    return 1;
  };
  PictureWorkers workers(3, 2, task);
  {
    std::unique_lock lock(mutex);
    ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(30), [&] { return begun == 3; }));
  }
  EXPECT_TRUE(ui_.log_lines.empty());
  EXPECT_FALSE(workers.Finish([&](size_t i, int32_t) { done_.push_back(i); }, files_made_, operations_));
  EXPECT_EQ(done_, (std::vector<size_t>{0, 1, 2}));
  EXPECT_EQ(ui_.log_lines, (std::vector<std::string>{"made pic0", "made pic1", "made pic2"}));
  EXPECT_EQ(files_made_, 3);
  EXPECT_EQ(ui_.foreign_calls, 0);
}

// Left without Finish (the pages before the pictures were aborted, or threw):
// the picture in work stops at its next check, the others are never begun,
// and nothing is reported.
TEST_F(PictureWorkersTest, LeftUnfinishedTheWorkersStopAndReportNothing) {
  std::atomic<int> begun{0};
  std::atomic<bool> saw_stop{false};
  {
    PictureWorkers workers(20, 2, [&](size_t, int32_t&, ResizeEffects& effects) -> int32_t {
      ++begun;
      effects.Log("never shown");
      while (!effects.Aborted()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
      saw_stop = true;
      return kResizeAborted;
    });
    while (begun == 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  EXPECT_TRUE(saw_stop);
  EXPECT_LE(begun, 2);
  EXPECT_TRUE(ui_.log_lines.empty());
  EXPECT_EQ(ui_.foreign_calls, 0);
}

TEST_F(PictureWorkersTest, FailureThrownInAWorkerReachesTheCaller) {
  const auto task = [&](size_t i, int32_t&, ResizeEffects&) -> int32_t {
    if (i == 1) throw std::runtime_error("out of pixels");
    return 1;
  };
  EXPECT_THROW(Run(3, 2, task), std::runtime_error);
  EXPECT_EQ(done_, std::vector<size_t>{0});
}

// ------------------------------------------------- through the image library

const bool kLibraryDirSet = (SetLibraryDir(SNAPCRATE_TEST_HOME), true);

/// Every plain file below `dir` with its bytes, by relative path.
std::map<std::string, std::string> Files(const std::string& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(dir))
    if (entry.is_regular_file())
      files[fs::relative(entry.path(), dir).string()] = ReadFile(entry.path().string());
  return files;
}

TEST_F(PictureWorkersTest, ChapterComesOutAsFromOneThreadByteForByte) {
  ASSERT_TRUE(kLibraryDirSet);
  if (!FileExists(std::string(SNAPCRATE_TEST_HOME) + "libpixcore.so"))
    GTEST_SKIP() << "libpixcore.so is not built in " << SNAPCRATE_TEST_HOME;
  TempDir dir;
  const std::string source = dir / "src/";
  struct Picture {
    const char* name;
    int width, height;
    int16_t rotation;
  };
  // Sizes that are scaled, copied or scaled up; turned ones; one broken file
  // whose complaint must come in its turn.
  const Picture wanted_pictures[] = {
      {"a.jpg", 1200, 900, 0}, {"b.jpg", 900, 1200, 90}, {"c.png", 640, 480, 0},
      {"d.jpg", 150, 100, 0},  {"e.jpg", 800, 600, 180}, {"f.JPG", 1000, 700, 270},
      {"g.jpg", 0, 0, 0},      {"h.jpg", 1600, 1200, 0}, {"_sub/i.jpg", 700, 700, 0},
  };
  std::vector<PictureRecord> pictures;
  for (const Picture& wanted : wanted_pictures) {
    PictureRecord picture;
    picture.valid = true;
    picture.file_name = wanted.name;
    SplitExt(picture.file_name, picture.extension);
    picture.rotation = wanted.rotation;
    fs::create_directories(fs::path(source + wanted.name).parent_path());
    if (wanted.width == 0) {
      WriteFile(source + wanted.name, "not a picture");
      picture.width = 640;
      picture.height = 480;
    } else {
      ASSERT_TRUE(testing::WritePhotoLike(source + wanted.name, wanted.width, wanted.height));
      picture.width = wanted.width;
      picture.height = wanted.height;
    }
    pictures.push_back(picture);
  }
  const std::vector<ScaledOutput> outputs = {
      {.full = {640, 480}, .thumbnail = {160, 160}, .quality = 80},
      {.full = {800, 800},
       .thumbnail = {100, 100},
       .exact_size = true,
       .border_width = 3,
       .border_height = 5,
       .red = 200,
       .green = 10,
       .blue = 10,
       .quality = 90},
      // The first album's thumbnails serve again; only the copies are new.
      {.full = {kOrigCopy, kOrigCopy}, .thumbnail = {160, 160}, .quality = 80},
  };
  const std::vector<Subchapter> subchapters = {{"_sub", "Sub", 9}};

  struct Outcome {
    bool aborted;
    int32_t files_made, operations;
    std::vector<std::string> log;
    std::map<std::string, std::string> files;
  };
  const auto produce = [&](int workers) {
    const std::string output = dir / ("out" + std::to_string(workers) + "/");
    fs::create_directories(output);
    for (const ScaledOutput& o : outputs) CreateSizeDirs(output, o, subchapters);
    ui_.log_lines.clear();
    files_made_ = 0;
    operations_ = 0;
    done_.clear();
    const bool aborted =
        Run(pictures.size(), workers, [&](size_t i, int32_t& made, ResizeEffects& effects) {
          return ResizeImage(source, output, pictures[i], outputs, made, effects);
        });
    return Outcome{aborted, files_made_, operations_, ui_.log_lines, Files(output)};
  };
  const Outcome alone = produce(1);
  const Outcome together = produce(4);
  EXPECT_FALSE(alone.aborted);
  EXPECT_FALSE(together.aborted);
  // Eight good pictures, five files each, and thumbnails at 2x in both boxes
  // but for d.jpg, which serves as the 160 x 160 thumbnail itself.
  EXPECT_EQ(alone.files_made, 8 * 5 + 7 * 2 + 1);
  EXPECT_EQ(together.files_made, alone.files_made);
  EXPECT_EQ(together.operations, alone.operations);
  ASSERT_EQ(alone.log.size(), 2u);
  EXPECT_EQ(alone.log[0].rfind("PixCore_LoadImage: Error ", 0), 0u) << alone.log[0];
  EXPECT_EQ(alone.log[1].rfind("picture 6: Error ", 0), 0u) << alone.log[1];
  EXPECT_EQ(together.log, alone.log);
  EXPECT_EQ(together.files.size(), alone.files.size());
  EXPECT_TRUE(together.files == alone.files);
  EXPECT_EQ(ui_.foreign_calls, 0);
}

}  // namespace
}  // namespace snapcrate
