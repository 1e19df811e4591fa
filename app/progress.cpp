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
int64_t count_start_tick = 0;
int64_t count_shown_tick = 0;
bool count_pending = false;  // counted, not shown yet
constexpr int64_t kThrottleMilliseconds = 500;

void ShowCount(bool force);

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
  bar.count_done = bar.count_total = 0;
  count_pending = false;
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
  if (count_pending) ShowCount(true);
  Ui().ProgressSetValue(bar.value, keep_label ? nullptr : &bar.label);
  Ui().ProcessEvents();
  last_update_tick = TickMilliseconds();
  return abort_flag;
}

bool ProgressUpdateThrottled(int32_t position, const std::string& text) {
  if (TickMilliseconds() - last_update_tick < kThrottleMilliseconds) return false;
  return ProgressUpdate(position, text);
}

namespace {

void ShowCount(bool force) {
  const int64_t now = TickMilliseconds();
  // Many small files would otherwise redraw the window for each of them.
  if (!force && now - count_shown_tick < 100 && bar.count_done < bar.count_total) {
    count_pending = true;
    return;
  }
  count_pending = false;
  count_shown_tick = now;
  Ui().ProgressCountChanged(bar.count_done, bar.count_total,
                            ProgressCountText(bar.count_done, bar.count_total, now - count_start_tick));
}

std::string Duration(int64_t seconds) {
  const int64_t rounded = std::max<int64_t>(5, (seconds + 4) / 5 * 5);
  if (rounded < 60) return std::to_string(rounded) + " s";
  const int64_t minutes = (seconds + 30) / 60;
  if (minutes < 60) return std::to_string(minutes) + " min";
  return std::to_string(minutes / 60) + " h " + std::to_string(minutes % 60) + " min";
}

}  // namespace

std::string ProgressCountText(int64_t done, int64_t total, int64_t elapsed_ms) {
  std::string text = std::to_string(done) + " of " + std::to_string(total);
  if (done >= 1 && done < total && elapsed_ms >= 2000)
    text += ", about " + Duration(elapsed_ms * (total - done) / done / 1000) + " left";
  return text;
}

void ProgressCountTotal(int64_t total) {
  bar.count_total = std::max<int64_t>(total, 0);
  bar.count_done = 0;
  count_start_tick = TickMilliseconds();
  ShowCount(true);
}

void ProgressCountAdvance(int64_t items) {
  if (bar.count_total <= 0) return;
  bar.count_done = std::min(bar.count_done + items, bar.count_total);
  ShowCount(false);
}

void ProgressHide() {
  bar.visible = false;
  Ui().ProgressHide();
}

}  // namespace snapcrate
