#pragma once
// The progress window and the abort protocol: long tasks update once per item
// and stop when the update answers true.

#include <cstdint>
#include <string>

namespace snapcrate {

/// Shows the progress window with the range and clears the abort flag.
void ProgressShow(int minimum, int maximum);
/// Sets the range (minimum at least 1, maximum above it) and the bar to its minimum.
void ProgressSetRange(int minimum, int maximum);
/// Moves the bar (positions past the maximum wrap around) and sets the label,
/// unless it is "@". Returns true when the user asked to abort.
bool ProgressUpdate(int32_t position, const std::string& text);
/// ProgressUpdate, but only when 500 ms passed since the last update; else false.
bool ProgressUpdateThrottled(int32_t position, const std::string& text);
void ProgressHide();

/// Counted progress, for tasks that know their total beforehand (the pictures
/// of a generation, the files of an import): the window shows "n of m" and the
/// time left beside the bar above. ProgressShow clears the count.
void ProgressCountTotal(int64_t total);
/// `items` more are done.
void ProgressCountAdvance(int64_t items = 1);
/// "12 of 240", with ", about 3 min left" once the pace can be judged
/// (two seconds and one item in).
std::string ProgressCountText(int64_t done, int64_t total, int64_t elapsed_ms);

/// The bar's state, for the windows and the tests.
struct ProgressBarState {
  int minimum = 1;
  int maximum = 2;
  int value = 1;
  std::string label;
  bool visible = false;
  int64_t count_done = 0;
  int64_t count_total = 0;  // 0: no count known
};
const ProgressBarState& ProgressBar();

/// Sets the abort flag (the progress window's Abort button, Ctrl-C).
void RequestAbort();
bool AbortRequested();
void ClearAbort();

/// A monotonic millisecond tick.
int64_t TickMilliseconds();

}  // namespace snapcrate
