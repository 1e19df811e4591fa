#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <cstdlib>
#include <filesystem>

#include "app/import/adjust_window.h"
#include "app/import/import_options_window.h"
#include "app/import/import_window.h"
#include "app/library_loader.h"
#include "app/program_state.h"
#include "app/settings.h"
#include "tests/support/access_keys.h"
#include "tests/support/exif_writer/camera_exif.h"
#include "tests/support/qt_modal.h"
#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

using testing::OnNextModal;

class ImportWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Program() = ProgramState{};
    Program().home_dir = home_.path();
    std::filesystem::create_directories(home_ / "etc");
    std::filesystem::create_directories(home_ / "card");
    ReadSettings();
    WriteSettings({{"ImportMediaFilesSourcePath", home_ / "card"}, {"AdjustExifDateTimePath", home_ / "card"}});
  }
  void TearDown() override { Program() = ProgramState{}; }

  template <typename Widget>
  static Widget* Find(QWidget* window, const char* name) {
    auto* widget = window->findChild<Widget*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  testing::RecordingUiPort ui_;
  testing::TempDir home_;
};

TEST_F(ImportWindowsTest, HourFieldClampsWhatIsTyped) {
  AdjustWindow window;
  window.show();
  auto* hour = Find<QLineEdit>(&window, "TextEAHour");
  auto* bar = Find<QScrollBar>(&window, "VScrollEAHour");
  hour->setFocus();
  hour->selectAll();
  QTest::keyClicks(hour, "75");
  EXPECT_EQ(hour->text(), "23");
  EXPECT_EQ(bar->value(), 0);
  hour->selectAll();
  QTest::keyClicks(hour, "-");
  EXPECT_EQ(hour->text(), "0");
  EXPECT_EQ(bar->value(), 23);
  bar->setValue(19);
  EXPECT_EQ(hour->text(), "4");
  EXPECT_EQ(Find<QLabel>(&window, "LabelEAOffset")->text(), "= 14400 seconds");
}

TEST_F(ImportWindowsTest, SignButtonsSetTheSignLabel) {
  AdjustWindow window;
  window.show();
  EXPECT_EQ(window.windowTitle(), "Adjust Exif Date & Time");
  EXPECT_TRUE(Find<QRadioButton>(&window, "OptionEAPlus")->isChecked());
  EXPECT_EQ(Find<QLabel>(&window, "LabelEASign")->text(), "+");
  Find<QRadioButton>(&window, "OptionEAMinus")->click();
  EXPECT_EQ(Find<QLabel>(&window, "LabelEASign")->text(), "-");
  EXPECT_EQ(Find<QLabel>(&window, "LabelEAOffset")->text(), "= -3600 seconds");
}

TEST_F(ImportWindowsTest, CancellingTheBetaWarningKeepsTheWindowOpen) {
  AdjustWindow window;
  window.show();
  Find<QLineEdit>(&window, "TextEAMin")->setText("30");
  ui_.answers.push_back(MessageAnswer::kCancel);
  Find<QPushButton>(&window, "Command1")->click();
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(Find<QLineEdit>(&window, "TextEAMin")->text(), "30");
  EXPECT_EQ(Program().adjust_result, "");

  Find<QPushButton>(&window, "Command1")->click();  // confirmed this time
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(Program().adjust_result, "OK");
  EXPECT_EQ(Program().date_offset.minutes, 30);
  EXPECT_EQ(CurrentAdjustPath(), home_ / "card/");
}

TEST_F(ImportWindowsTest, YearBarAtItsTopIsRefusedInTheWindow) {
  AdjustWindow window;
  window.show();
  Find<QScrollBar>(&window, "VScrollEAYear")->setValue(0);
  EXPECT_EQ(Find<QLineEdit>(&window, "TextEAYear")->text(), "99");
  EXPECT_EQ(Find<QLabel>(&window, "LabelEAOffset")->text(), "Offset too large: at most 68 years");
  Find<QPushButton>(&window, "Command1")->click();
  // The warning stands out from the background, on a dark theme too.
  for (const QColor& background : {QColor(Qt::white), QColor(40, 40, 40)}) {
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, background);
    window.setPalette(palette);
    Find<QScrollBar>(&window, "VScrollEAYear")->setValue(1);
    Find<QScrollBar>(&window, "VScrollEAYear")->setValue(0);
    const QColor text = Find<QLabel>(&window, "LabelEAOffset")->palette().color(QPalette::WindowText);
    EXPECT_GT(std::abs(text.lightness() - background.lightness()), 100) << background.name().toStdString();
  }
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(ui_.messages, std::vector<std::string>{std::string(kOffsetTooLargeText)});
  EXPECT_EQ(Program().adjust_result, "");
}

TEST_F(ImportWindowsTest, ChangedOptionsOfACancelledImportStayOutOfTheSettingsFile) {
  const std::string settings = testing::ReadFile(SettingsPath());
  ImportRequest request;
  ImportWindow window(nullptr, request);
  window.show();
  EXPECT_EQ(window.windowTitle(), "Snapcrate - Import Media Files");
  EXPECT_EQ(Find<QLabel>(&window, "Label2")->text().toStdString(), home_ / "card/");
  EXPECT_TRUE(request.options.log_file);
  OnNextModal([](QWidget* modal) {
    EXPECT_EQ(modal->windowTitle(), "Import Media Files Options");
    EXPECT_EQ(modal->findChild<QCheckBox*>("Check1")->text(), "Create &Logfile");
    // HEIF pictures carry EXIF dates too; the switch keeps its stored key.
    EXPECT_EQ(modal->findChild<QCheckBox*>("Check3")->text(), "&Import only pictures with an EXIF date (JPEG, HEIF)");
    modal->findChild<QCheckBox*>("Check1")->setChecked(false);
    modal->findChild<QCheckBox*>("Check3")->setChecked(true);
    modal->findChild<QPushButton*>("OKButton")->click();
  });
  Find<QPushButton>(&window, "CommandExt")->click();
  EXPECT_FALSE(request.options.log_file);
  EXPECT_TRUE(request.options.exif_jpeg_only);
  Find<QPushButton>(&window, "Command2")->click();
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(Program().import_result, "");
  EXPECT_EQ(testing::ReadFile(SettingsPath()), settings);
}

TEST_F(ImportWindowsTest, OptionsCancelKeepsTheFlagsAndHelpShowsItsText) {
  ImportRequest request;
  ImportWindow window(nullptr, request);
  window.show();
  OnNextModal([](QWidget* modal) {
    modal->findChild<QCheckBox*>("Check2")->setChecked(false);
    modal->findChild<QPushButton*>("CancelButton")->click();
  });
  Find<QPushButton>(&window, "CommandExt")->click();
  EXPECT_TRUE(request.options.add_orig_filename);
  Find<QPushButton>(&window, "CommandHelp")->click();
  EXPECT_EQ(ui_.messages, std::vector<std::string>{std::string(kImportHelpText)});
  Find<QPushButton>(&window, "Command1")->click();
  EXPECT_EQ(Program().import_result, "OK");
  EXPECT_EQ(request.source, home_ / "card/");
}

TEST_F(ImportWindowsTest, ChoosersCarryTheirNames) {
  ImportWindow window;
  EXPECT_EQ(testing::MissingAccessKeys(&window), "");
  for (const char* name : {"Drive1", "Drive2"}) EXPECT_NE(window.findChild<QComboBox*>(name), nullptr) << name;
  for (const char* name : {"Dir1", "Dir2"}) EXPECT_NE(window.findChild<QTreeView*>(name), nullptr) << name;
  AdjustWindow adjust;
  EXPECT_EQ(testing::MissingAccessKeys(&adjust), "");
  ImportOptionsWindow options(window.dialog().options());
  EXPECT_EQ(testing::MissingAccessKeys(&options), "");
  for (const char* name : {"TextEAYear", "TextEAWeek", "TextEADay", "TextEAHour", "TextEAMin", "TextEASec"})
    EXPECT_NE(adjust.findChild<QLineEdit*>(name), nullptr) << name;
  for (const char* name : {"Command1", "Command2", "Command3"})
    EXPECT_NE(adjust.findChild<QPushButton*>(name), nullptr) << name;
}

TEST_F(ImportWindowsTest, DryRunShowsThePlanAndAFolderIntoItselfIsRefused) {
  SetLibraryDir(SNAPCRATE_TEST_HOME);
  exif_writer::CameraExif exif;
  exif.make = "Canon";
  exif.date_time_original = "2007:05:06 14:30:00";
  exif_writer::WriteFileBytes(home_ / "card/IMG_0001.JPG", exif_writer::MakeCameraJpeg(exif));
  std::filesystem::create_directories(home_ / "archive");
  WriteSettings({{"ImportMediaFilesDestPath", home_ / "archive"}});
  {
    ImportWindow window;
    window.ShowPlan();
    EXPECT_EQ(Find<QLabel>(&window, "LabelPlan")->text().toStdString(),
              "Dry run: 1 new file\n  " + home_ / "archive/2007/05/06/20070506_143000_IMG_0001.jpg");
    EXPECT_FALSE(std::filesystem::exists(home_ / "archive/2007"));
  }
  WriteSettings({{"ImportMediaFilesDestPath", home_ / "card"}});
  ImportWindow window;
  window.ShowPlan();
  EXPECT_EQ(ui_.messages.back(),
            "Can't import from " + home_ / "card/" + " to " + home_ / "card/" + "! (overlapping paths!)");
  SetLibraryDir("");
}

}  // namespace
}  // namespace snapcrate
