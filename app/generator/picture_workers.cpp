#include "app/generator/picture_workers.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "app/log.h"
#include "app/paths.h"
#include "app/pictures/image_library.h"
#include "app/progress.h"

namespace snapcrate {
namespace {

// How long the calling thread sleeps between looks at the progress display
// while it waits for a picture; the display itself lets an Abort through at
// most every 500 ms.
constexpr std::chrono::milliseconds kWaitSlice{100};

// Every libpixcore function a picture's work may call.
constexpr const char* kPictureFunctions[] = {
    "PixCore_LoadImage",    "PixCore_LoadImageForBox", "PixCore_LoadImageScaled",
    "PixCore_GetImageSize", "PixCore_RotateCopy",      "PixCore_SaveTileAsJpeg",
    "PixCore_DeleteBitmap", "PixCore_OrientCopy",      "PixCore_ScaledCopy",
};

/// A side effect a worker met, kept for the calling thread.
struct Effect {
  enum Kind { kLog, kWorkStarts } kind;
  std::string text;  // the log line, or the picture's path
};

/// One picture's outcome, filled by a worker and read by the calling thread
/// once `done` is set (both under the pool's mutex).
struct PictureOutcome {
  std::vector<Effect> effects;
  int32_t result = 0;
  int32_t files_made = 0;
  std::exception_ptr failure;
  bool done = false;
};

/// Records instead of showing; an abort is the pool's cancel flag or the
/// program's abort flag (Ctrl-C sets it from a signal handler), both atomic.
class RecordingEffects : public ResizeEffects {
 public:
  RecordingEffects(std::vector<Effect>& effects, const std::atomic<bool>& cancel)
      : effects_(effects), cancel_(cancel) {}
  void Log(std::string message) override { effects_.push_back({Effect::kLog, std::move(message)}); }
  bool WorkStarts(const std::string& source) override {
    effects_.push_back({Effect::kWorkStarts, source});
    return Aborted();
  }
  bool Aborted() override { return cancel_ || AbortRequested(); }
  bool Copy(const std::string& source, const std::string& target) override {
    std::string failure;
    if (CopyFile(source, target, failure) == 0) return true;
    Log(std::move(failure));
    return false;
  }

 private:
  std::vector<Effect>& effects_;
  const std::atomic<bool>& cancel_;
};

bool RunOnCallingThread(size_t count, const PictureTask& task, const PictureDone& done,
                        int32_t& files_made, int32_t& operation_counter) {
  ShownResizeEffects effects(operation_counter);
  for (size_t i = 0; i < count; ++i) {
    const int32_t result = task(i, files_made, effects);
    if (result == kResizeAborted) return true;
    done(i, result);
  }
  return false;
}

}  // namespace

class PictureWorkers::Pool {
 public:
  Pool(size_t count, const PictureTask& task) : task_(task), outcomes_(count) {}

  /// Starts up to `workers` workers, which take the pictures in list order;
  /// how many the system gave.
  int Start(int workers) {
    try {
      for (int i = 0; i < workers; ++i) threads_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
      // Fewer threads only mean less speed.
    }
    return static_cast<int>(threads_.size());
  }

  /// Stops handing out pictures, lets those in work stop at their next check
  /// and waits for every worker.
  void Stop() {
    cancel_ = true;
    for (std::thread& thread : threads_)
      if (thread.joinable()) thread.join();
    threads_.clear();
  }

  ~Pool() { Stop(); }

  /// Waits for picture i, keeping the progress display alive; false when the
  /// user aborted meanwhile.
  bool WaitFor(size_t i, int32_t operation_counter) {
    std::unique_lock lock(mutex_);
    while (!outcomes_[i].done) {
      finished_.wait_for(lock, kWaitSlice);
      if (outcomes_[i].done) break;
      lock.unlock();
      const bool aborted = ProgressUpdateThrottled(operation_counter, "@") || AbortRequested();
      lock.lock();
      if (aborted) return false;
    }
    return true;
  }

  PictureOutcome& Outcome(size_t i) { return outcomes_[i]; }

 private:
  void Work() {
    for (;;) {
      if (cancel_ || AbortRequested()) return;
      const size_t i = next_.fetch_add(1);
      if (i >= outcomes_.size()) return;
      PictureOutcome& outcome = outcomes_[i];
      // Only this worker touches the outcome until it is marked done.
      std::vector<Effect> effects;
      RecordingEffects recorder(effects, cancel_);
      int32_t result = 0, made = 0;
      std::exception_ptr failure;
      try {
        result = task_(i, made, recorder);
      } catch (...) {
        failure = std::current_exception();
      }
      {
        std::lock_guard lock(mutex_);
        outcome.effects = std::move(effects);
        outcome.result = result;
        outcome.files_made = made;
        outcome.failure = failure;
        outcome.done = true;
      }
      finished_.notify_all();
    }
  }

  const PictureTask& task_;
  std::vector<PictureOutcome> outcomes_;
  std::vector<std::thread> threads_;
  std::atomic<size_t> next_{0};
  std::atomic<bool> cancel_{false};
  std::mutex mutex_;
  std::condition_variable finished_;
};

int PictureWorkerCount() {
  // A function missing from the library would be logged by every worker's
  // call; bound here first, a missing one keeps the work on this thread.
  for (const char* function : kPictureFunctions)
    if (!PixCoreLibrary().Find(function)) return 1;
  // A worker keeps about one core busy: it decodes, then encodes, and between
  // libvips' threads handing rows on, its core waits a little. One worker more
  // than there are cores fills those gaps (about 5 % of a generation on two
  // cores) for one decoded picture more in memory.
  return static_cast<int>(std::thread::hardware_concurrency()) + 1;
}

PictureWorkers::PictureWorkers(size_t count, int workers, PictureTask task)
    : count_(count), task_(std::move(task)) {
  if (workers <= 1 || count <= 1) return;
  // Workers inherit this thread's lowered priority.
  pool_ = std::make_unique<Pool>(count, task_);
  if (pool_->Start(static_cast<int>(std::min<size_t>(count, static_cast<size_t>(workers)))) == 0)
    pool_.reset();
}

PictureWorkers::~PictureWorkers() = default;

bool PictureWorkers::Finish(const PictureDone& done, int32_t& files_made, int32_t& operation_counter) {
  if (!pool_) return RunOnCallingThread(count_, task_, done, files_made, operation_counter);
  Pool& pool = *pool_;
  for (size_t i = 0; i < count_; ++i) {
    if (!pool.WaitFor(i, operation_counter)) return true;
    PictureOutcome& outcome = pool.Outcome(i);
    if (outcome.failure) {
      pool.Stop();
      std::rethrow_exception(outcome.failure);
    }
    for (const Effect& effect : outcome.effects) {
      switch (effect.kind) {
        case Effect::kLog:
          LogMessage(effect.text);
          break;
        case Effect::kWorkStarts:
          if (ProgressUpdate(++operation_counter, effect.text)) return true;
          break;
      }
    }
    if (outcome.result == kResizeAborted) return true;
    files_made += outcome.files_made;
    done(i, outcome.result);
  }
  return false;
}

bool RunPictureWorkers(size_t count, int workers, const PictureTask& task, const PictureDone& done,
                       int32_t& files_made, int32_t& operation_counter) {
  return PictureWorkers(count, workers, task).Finish(done, files_made, operation_counter);
}

}  // namespace snapcrate
