#pragma once
// The pictures of a chapter scaled on worker threads, one decoded picture per
// worker, while everything the user sees stays with the calling thread: log
// lines appear in picture order, progress and event processing happen only
// there, and an Abort is seen within about half a second.

#include <cstddef>
#include <cstdint>
#include <functional>

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

/// How many workers to start: one per core, at least one; one when the image
/// library cannot be bound completely, so that its complaints reach the log
/// from the calling thread as they always did.
int PictureWorkerCount();

/// Runs `task` for the pictures 0 to count - 1 on up to `workers` threads
/// (with one worker or one picture, on the calling thread alone), replaying
/// each picture's log lines and its progress update (raising
/// `operation_counter` as ResizeImage does) on the calling thread in picture
/// order. Adds the files made to `files_made`. On an abort the pictures not
/// yet begun are not begun, those in work stop at their next check, and what
/// they wrote stays. True when aborted (a task's kResizeAborted, the progress
/// display, or the abort flag).
bool RunPictureWorkers(size_t count, int workers, const PictureTask& task, const PictureDone& done,
                       int32_t& files_made, int32_t& operation_counter);

}  // namespace snapcrate
