#include "app/main_window_logic.h"

#include <gtest/gtest.h>

#include "app/about_info.h"
#include "app/file_lib.h"
#include "app/library_loader.h"
#include "app/program_state.h"
#include "app/progress.h"
#include "app/settings.h"
#include "app/settings_dialog.h"
#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

struct Calls {
  int windows = 0;
  int tasks = 0;
};

MainCommandActions CountingActions(Calls& calls, std::string result) {
  MainCommandActions actions;
  auto window = [&calls, result] {
    ++calls.windows;
    return result;
  };
  auto task = [&calls] { ++calls.tasks; };
  actions.import_window = actions.adjust_window = actions.generate_window = window;
  actions.run_import = actions.run_adjust = actions.run_generate = task;
  actions.description_editor = [&calls] { ++calls.windows; };
  return actions;
}

TEST(MainWindowLogicTest, TaskCommandsDoNothingBeforeInitialization) {
  testing::RecordingUiPort ui;
  Program().initialized = false;
  Calls calls;
  MainWindowLogic logic(CountingActions(calls, "OK"));
  for (MainCommand c : {MainCommand::kImport, MainCommand::kAdjustDates, MainCommand::kGenerateHtml,
                        MainCommand::kAddDescriptions})
    logic.Execute(c);
  EXPECT_EQ(calls.windows, 0);
  EXPECT_EQ(calls.tasks, 0);
}

TEST(MainWindowLogicTest, TaskRunsOnlyWhenItsWindowAnswersOk) {
  testing::RecordingUiPort ui;
  Program().initialized = true;
  Calls confirmed, cancelled;
  MainWindowLogic ok_logic(CountingActions(confirmed, "OK"));
  MainWindowLogic cancel_logic(CountingActions(cancelled, ""));
  for (MainCommand c : {MainCommand::kImport, MainCommand::kAdjustDates, MainCommand::kGenerateHtml}) {
    ok_logic.Execute(c);
    cancel_logic.Execute(c);
  }
  EXPECT_EQ(confirmed.windows, 3);
  EXPECT_EQ(confirmed.tasks, 3);
  EXPECT_EQ(cancelled.windows, 3);
  EXPECT_EQ(cancelled.tasks, 0);
  Program().initialized = false;
}

TEST(MainWindowLogicTest, UnavailableItemsOnlyShowTheirMessage) {
  testing::RecordingUiPort ui;
  Program().initialized = false;
  Calls calls;
  MainWindowLogic logic(CountingActions(calls, "OK"));
  logic.Execute(MainCommand::kGenerateThumbnailIndex);
  logic.Execute(MainCommand::kUpdateMasterIndex);
  EXPECT_EQ(ui.messages, (std::vector<std::string>{"Sorry! Not yet implemented!", "Sorry! Not yet implemented!"}));
  EXPECT_EQ(calls.windows, 0);
}

// The task lets events through; commands arriving then are refused and End
// waits for the task, which it aborts only on Yes.
TEST(MainWindowLogicTest, DuringATaskCommandsAreRefusedAndEndWaitsForTheAbort) {
  testing::RecordingUiPort ui;
  Program().initialized = true;
  Calls calls;
  MainCommandActions actions = CountingActions(calls, "OK");
  int ended = 0;
  std::vector<bool> running;
  actions.end = [&] { ++ended; };
  actions.task_running = [&](bool on) { running.push_back(on); };
  MainWindowLogic* self = nullptr;
  actions.run_generate = [&] {
    ++calls.tasks;
    for (MainCommand c : {MainCommand::kImport, MainCommand::kGenerateHtml, MainCommand::kAddDescriptions,
                          MainCommand::kUpdateMasterIndex})
      self->Execute(c);
    ui.answers = {MessageAnswer::kNo, MessageAnswer::kYes};
    self->Execute(MainCommand::kEnd);
    EXPECT_FALSE(AbortRequested());
    EXPECT_FALSE(self->RequestEnd());  // Yes: aborts, the end comes later
    EXPECT_TRUE(AbortRequested());
    EXPECT_FALSE(self->RequestEnd());  // asked once only
    EXPECT_EQ(ended, 0);
  };
  MainWindowLogic logic(actions);
  self = &logic;
  logic.Execute(MainCommand::kGenerateHtml);
  EXPECT_EQ(calls.windows, 1);
  EXPECT_EQ(calls.tasks, 1);
  EXPECT_EQ(ui.messages.size(), 2u);  // the two questions, no "not implemented"
  EXPECT_EQ(ended, 1);
  EXPECT_EQ(running, (std::vector<bool>{true, false}));
  EXPECT_TRUE(logic.RequestEnd());  // no task: end at once
  ClearAbort();
  Program().initialized = false;
}

TEST(SettingsDialogTest, CopyrightLinesRoundTripThroughBr) {
  testing::RecordingUiPort ui;
  testing::TempDir home;
  Program().home_dir = home.path();
  testing::WriteFile(home / "etc/snapcrate.ini", "[Copyright]\r\n(c) 2007<br>All rights\r\n");
  ReadLines(SettingsPath(), Program().settings);
  EXPECT_EQ(SettingsDialogText(), "(c) 2007\r\nAll rights");
  ConfirmSettingsDialog("Line one\nLine two\r\nthree");
  EXPECT_EQ(ReadSetting("Copyright", "?"), "Line one<br>Line two<br>three");
  EXPECT_EQ(Program().copyright, "Line one<br>Line two<br>three");
  EXPECT_EQ(testing::ReadFile(home / "etc/snapcrate.ini"), "[Copyright]\r\nLine one<br>Line two<br>three\r\n");
  EXPECT_EQ(SettingsDialogText(), "Line one\r\nLine two\r\nthree");
}

TEST(AboutInfoTest, ListsThreeLibrariesAlignedEvenWhenMissing) {
  testing::RecordingUiPort ui;
  testing::TempDir empty;
  SetLibraryDir(empty.path());
  const std::string text = LibraryVersionsText();
  SetLibraryDir("");
  EXPECT_EQ(text,
            "libtagcore.so  (not available)\r\nlibpixcore.so  (not available)\r\nlibjpegtran.so (not available)");
  EXPECT_EQ(ui.log_lines.size(), 3u);  // one line per missing library, no crash
  EXPECT_NE(AboutLabelText().find("V1.80 (2007-05-06)"), std::string::npos);
}

}  // namespace
}  // namespace snapcrate
