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
