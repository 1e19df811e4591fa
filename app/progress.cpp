#include "app/progress.h"

#include <algorithm>
#include <atomic>
#include <chrono>

#include "app/ui_port.h"

namespace snapcrate {
namespace {

ProgressBarState bar;
std::atomic<bool> abort_flag{false};
int64_t last_update_tick = 0;
constexpr int64_t kThrottleMilliseconds = 500;

}  // namespace

int64_t TickMilliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void RequestAbort() { abort_flag = true; }
bool AbortRequested() { return abort_flag; }
void ClearAbort() { abort_flag = false; }

const ProgressBarState& ProgressBar() { return bar; }

void ProgressSetRange(int minimum, int maximum) {
  minimum = std::max(minimum, 1);
  if (maximum <= minimum) maximum = minimum + 1;
  bar.minimum = minimum;
  bar.maximum = maximum;
  bar.value = minimum;
  Ui().ProgressSetRange(minimum, maximum);
}

void ProgressShow(int minimum, int maximum) {
  last_update_tick = TickMilliseconds();
  bar.visible = true;
  bar.label.clear();
  Ui().ProgressShow();
  ProgressSetRange(minimum, maximum);
  ClearAbort();
  Ui().ProcessEvents();
}

bool ProgressUpdate(int32_t position, const std::string& text) {
  const int64_t range = int64_t{bar.maximum} - bar.minimum + 1;
  // The remainder takes the sign of the dividend, as the clamp below expects.
  int64_t p = bar.minimum + (int64_t{position} - 1) % range;
  p = std::clamp<int64_t>(p, bar.minimum, bar.maximum);
  bar.value = static_cast<int>(p);
  const bool keep_label = text == "@";
  if (!keep_label) bar.label = text;
  Ui().ProgressSetValue(bar.value, keep_label ? nullptr : &bar.label);
  Ui().ProcessEvents();
  last_update_tick = TickMilliseconds();
  return abort_flag;
}

bool ProgressUpdateThrottled(int32_t position, const std::string& text) {
  if (TickMilliseconds() - last_update_tick < kThrottleMilliseconds) return false;
  return ProgressUpdate(position, text);
}

void ProgressHide() {
  bar.visible = false;
  Ui().ProgressHide();
}

}  // namespace snapcrate
