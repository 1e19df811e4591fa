#pragma once
// The pictures of a chapter scaled on worker threads, one decoded picture per
// worker, while everything the user sees stays with the calling thread: log
// lines appear in picture order, progress and event processing happen only
// there, and an Abort is seen within about half a second.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "app/generator/image_scaling.h"

namespace snapcrate {

/// One picture's work (ResizeImage, in the generator): adds the files it
/// wrote to `files_made` and sends every side effect to `effects`. On a worker
/// thread it must touch nothing else that is shared.
using PictureTask =
    std::function<int32_t(size_t picture, int32_t& files_made, ResizeEffects& effects)>;

/// Told the result of a picture, on the calling thread, in picture order,
/// after that picture's own log lines; not told of an aborted picture.
using PictureDone = std::function<void(size_t picture, int32_t result)>;

/// How many workers to start: one more than there are cores; one when the
/// image library cannot be bound completely, so that its complaints reach the
/// log from the calling thread as they always did.
int PictureWorkerCount();

/// The pictures 0 to count - 1 of a chapter, handed to up to `workers`
/// threads as soon as this is made, so that the calling thread may write pages
/// meanwhile; Finish then replays each picture's log lines and its progress
/// update (raising `operation_counter` as ResizeImage does) on the calling
/// thread in picture order. With one worker or one picture nothing starts
/// early: Finish does the pictures on the calling thread. Destroyed before
/// Finish has returned, it stops: pictures not yet begun are not begun, those
/// in work stop at their next check, and what they wrote stays.
class PictureWorkers {
 public:
  PictureWorkers(size_t count, int workers, PictureTask task);
  ~PictureWorkers();
  PictureWorkers(const PictureWorkers&) = delete;
  PictureWorkers& operator=(const PictureWorkers&) = delete;

  /// Waits for every picture, telling `done` of each; adds the files made to
  /// `files_made`. True when aborted (a task's kResizeAborted, the progress
  /// display, or the abort flag). A failure thrown by a task is thrown here.
  bool Finish(const PictureDone& done, int32_t& files_made, int32_t& operation_counter);

 private:
  class Pool;
  size_t count_;
  PictureTask task_;
  std::unique_ptr<Pool> pool_;  // none: the pictures are done by Finish itself
};

/// PictureWorkers made and finished at once.
bool RunPictureWorkers(size_t count, int workers, const PictureTask& task, const PictureDone& done,
                       int32_t& files_made, int32_t& operation_counter);

}  // namespace snapcrate
