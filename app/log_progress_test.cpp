#include <gtest/gtest.h>

#include <thread>

#include "app/log.h"
#include "app/progress.h"
#include "tests/support/recording_ui_port.h"

namespace snapcrate {
namespace {

TEST(LogTest, KeepsTheLastHundredMessages) {
  testing::RecordingUiPort ui;
  ClearLog();
  for (int i = 1; i <= 150; ++i) LogMessage("message " + std::to_string(i));
  const auto messages = Log().Messages();
  ASSERT_EQ(messages.size(), 100u);
  EXPECT_EQ(messages.front(), "message 51");
  EXPECT_EQ(messages.back(), "message 150");
  EXPECT_EQ(ui.events_processed, 150);  // every message is shown at once
}

TEST(LogTest, MultiLineMessageTakesOneSlot) {
  testing::RecordingUiPort ui;
  ClearLog();
  LogMessage("a\r\nb");
  LogMessage("c");
  EXPECT_EQ(Log().Messages().size(), 2u);
  EXPECT_EQ(Log().DisplayText(), "a\r\nb\r\nc\r\n");
  ClearLog();
  EXPECT_EQ(Log().DisplayText(), "");
}

TEST(ProgressTest, RangeRules) {
  testing::RecordingUiPort ui;
  const struct {
    int min, max, want_min, want_max;
  } cases[] = {{1, 1, 1, 2}, {0, 5, 1, 5}, {0, 0, 1, 2}, {3, 2, 3, 4}, {-4, 10, 1, 10}};
  for (const auto& c : cases) {
    ProgressSetRange(c.min, c.max);
    EXPECT_EQ(ProgressBar().minimum, c.want_min);
    EXPECT_EQ(ProgressBar().maximum, c.want_max);
    EXPECT_EQ(ProgressBar().value, c.want_min);
  }
}

TEST(ProgressTest, PositionsWrapAroundAndAtKeepsTheLabel) {
  testing::RecordingUiPort ui;
  ProgressShow(1, 10);
  EXPECT_TRUE(ui.progress_visible);
  const std::pair<int, int> cases[] = {{1, 1}, {10, 10}, {11, 1}, {23, 3}, {0, 1}, {-5, 1}};
  for (const auto& [position, shown] : cases) {
    ProgressUpdate(position, "x");
    EXPECT_EQ(ProgressBar().value, shown) << position;
  }
  ProgressUpdate(2, "file.jpg");
  ProgressUpdate(3, "@");
  EXPECT_EQ(ProgressBar().label, "file.jpg");
  EXPECT_EQ(ui.progress_labels.back(), "file.jpg");
  ProgressHide();
  EXPECT_FALSE(ui.progress_visible);
}

TEST(ProgressTest, AbortIsSeenThroughTheUpdateAndClearedByShow) {
  testing::RecordingUiPort ui;
  ProgressShow(1, 5);
  EXPECT_FALSE(ProgressUpdate(1, "a"));
  RequestAbort();
  EXPECT_TRUE(ProgressUpdate(2, "b"));
  ProgressShow(1, 5);
  EXPECT_FALSE(ProgressUpdate(1, "a"));
}

TEST(ProgressTest, CountTextGivesTheTimeLeftOnceThePaceIsKnown) {
  const struct {
    int64_t done, total, elapsed_ms;
    const char* text;
  } cases[] = {
      {0, 240, 5000, "0 of 240"},                          // nothing done yet: no pace
      {12, 240, 1500, "12 of 240"},                        // too early to judge
      {12, 240, 3000, "12 of 240, about 1 min left"},      // 228 x 0.25 s = 57 s
      {100, 120, 2000, "100 of 120, about 5 s left"},      // 0.4 s, rounded up to 5 s steps
      {1, 100, 60000, "1 of 100, about 1 h 39 min left"},
      {240, 240, 9000, "240 of 240"},
  };
  for (const auto& c : cases) EXPECT_EQ(ProgressCountText(c.done, c.total, c.elapsed_ms), c.text) << c.done;
}

TEST(ProgressTest, CountStopsAtTheTotalAndShowClearsIt) {
  testing::RecordingUiPort ui;
  ProgressShow(0, 0);
  ProgressCountAdvance(3);  // no total yet: nothing counted
  EXPECT_EQ(ProgressBar().count_done, 0);
  ProgressCountTotal(4);
  ProgressCountAdvance(3);
  ProgressCountAdvance(3);
  EXPECT_EQ(ProgressBar().count_done, 4);
  ProgressShow(0, 0);
  EXPECT_EQ(ProgressBar().count_total, 0);
  ProgressHide();
}

TEST(ProgressTest, ThrottledUpdateWaitsHalfASecond) {
  testing::RecordingUiPort ui;
  ProgressShow(1, 5);
  RequestAbort();
  // Right after an update nothing is shown and no abort is reported yet.
  EXPECT_FALSE(ProgressUpdateThrottled(2, "b"));
  EXPECT_EQ(ProgressBar().value, 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(520));
  EXPECT_TRUE(ProgressUpdateThrottled(3, "c"));
  EXPECT_EQ(ProgressBar().value, 3);
  ClearAbort();
}

}  // namespace
}  // namespace snapcrate
