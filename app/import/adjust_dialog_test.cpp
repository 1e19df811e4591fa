#include "app/import/adjust_dialog.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/file_lib.h"
#include "app/import/adjust_exif_dates.h"
#include "app/program_state.h"
#include "app/settings.h"
#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

class AdjustDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Program() = ProgramState{};
    Program().home_dir = home_.path();
    std::filesystem::create_directories(home_ / "etc");
    std::filesystem::create_directories(home_ / "pictures");
    ReadSettings();
    WriteSettings({{"AdjustExifDateTimePath", home_ / "pictures"}});
  }
  void TearDown() override { Program() = ProgramState{}; }

  testing::RecordingUiPort ui_;
  testing::TempDir home_;
};

TEST_F(AdjustDialogTest, TypedValuesAreClampedToTheFieldsLimits) {
  AdjustDialog dialog;
  struct Case {
    OffsetField field;
    const char* typed;
    const char* shown;
    int bar;
  };
  const Case cases[] = {
      {OffsetField::kHour, "75", "23", 0},  {OffsetField::kHour, "-", "0", 23}, {OffsetField::kHour, "-5", "0", 23},
      {OffsetField::kHour, "7x", "7", 16},  {OffsetField::kHour, "", "0", 23},  {OffsetField::kMin, "2.5", "2", 57},
      {OffsetField::kYear, "100", "99", 0}, {OffsetField::kWeek, "54", "53", 0}, {OffsetField::kDay, "31", "30", 0},
      {OffsetField::kSec, "99999999", "59", 0},
  };
  for (const Case& c : cases) {
    dialog.TextChanged(c.field, c.typed);
    EXPECT_EQ(dialog.FieldText(c.field), c.shown) << c.typed;
    EXPECT_EQ(dialog.SpinValue(c.field), c.bar) << c.typed;
  }
}

TEST_F(AdjustDialogTest, SpinBarTopIsTheLargestValue) {
  AdjustDialog dialog;
  dialog.SpinChanged(OffsetField::kYear, 0);
  EXPECT_EQ(dialog.FieldText(OffsetField::kYear), "99");
  dialog.SpinChanged(OffsetField::kDay, 30);
  EXPECT_EQ(dialog.FieldText(OffsetField::kDay), "0");
  dialog.SpinChanged(OffsetField::kSec, 1000);
  EXPECT_EQ(dialog.FieldText(OffsetField::kSec), "0");
}

TEST_F(AdjustDialogTest, StartsFromTheLastConfirmedOffset) {
  Program().adjust_result = "OK";
  AdjustDialog fresh;
  EXPECT_EQ(Program().adjust_result, "");
  EXPECT_EQ(fresh.FieldText(OffsetField::kHour), "1");
  EXPECT_EQ(fresh.SignText(), "+");
  EXPECT_EQ(fresh.OffsetSummary(), "= 3600 seconds");
  EXPECT_EQ(fresh.raw_path(), home_ / "pictures");

  fresh.TextChanged(OffsetField::kDay, "1");
  fresh.TextChanged(OffsetField::kHour, "2");
  fresh.SetSign(-1);
  EXPECT_EQ(fresh.Confirm(), AdjustDialog::ConfirmResult::kConfirmed);
  EXPECT_EQ(ui_.messages, std::vector<std::string>{std::string(kAdjustWarningText)});
  EXPECT_EQ(Program().adjust_result, "OK");
  EXPECT_EQ(CurrentAdjustPath(), home_ / "pictures/");
  EXPECT_EQ(OffsetSeconds(Program().date_offset), -93600);

  AdjustDialog again;
  EXPECT_EQ(again.FieldText(OffsetField::kDay), "1");
  EXPECT_EQ(again.SignText(), "-");
}

TEST_F(AdjustDialogTest, OffsetBeyondThirtyTwoBitsIsRefusedBeforeTheWarning) {
  AdjustDialog dialog;
  dialog.SpinChanged(OffsetField::kYear, 0);
  EXPECT_EQ(dialog.OffsetSummary(), "Offset too large: at most 68 years");
  EXPECT_EQ(dialog.Confirm(), AdjustDialog::ConfirmResult::kOffsetTooLarge);
  EXPECT_EQ(ui_.messages, std::vector<std::string>{std::string(kOffsetTooLargeText)});
  EXPECT_EQ(Program().adjust_result, "");
  EXPECT_EQ(Program().date_offset.years, 0);
  dialog.TextChanged(OffsetField::kYear, "68");
  EXPECT_EQ(dialog.OffsetSummary(), "= 2144451600 seconds");
}

TEST_F(AdjustDialogTest, CancelledWarningChangesNothing) {
  const std::string settings = testing::ReadFile(SettingsPath());
  AdjustDialog dialog;
  dialog.TextChanged(OffsetField::kMin, "30");
  ui_.answers.push_back(MessageAnswer::kCancel);
  EXPECT_EQ(dialog.Confirm(), AdjustDialog::ConfirmResult::kCancelled);
  EXPECT_EQ(Program().adjust_result, "");
  EXPECT_EQ(Program().date_offset.minutes, 0);
  EXPECT_EQ(dialog.FieldText(OffsetField::kMin), "30");
  EXPECT_EQ(testing::ReadFile(SettingsPath()), settings);
}

}  // namespace
}  // namespace snapcrate
