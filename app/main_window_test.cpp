#include "app/main_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTimer>

#include "app/library_loader.h"
#include "app/log.h"
#include "app/log_window.h"
#include "app/program_state.h"
#include "app/progress.h"
#include "app/progress_window.h"
#include "app/qt_ui_port.h"
#include "app/settings.h"
#include "tests/support/access_keys.h"
#include "tests/support/exif_writer/camera_exif.h"
#include "tests/support/qt_modal.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

using testing::OnNextModal;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Start-up needs the installation's schemes and configurations.
    std::filesystem::copy(std::filesystem::path(SNAPCRATE_SOURCE_DIR) / "etc", home_.path() + "etc",
                          std::filesystem::copy_options::recursive);
    std::filesystem::remove(home_ / "etc/snapcrate.ini");
    window_ = std::make_unique<MainWindow>(ui_);
    window_->show();
  }
  void Start() { window_->Start({.home_override = home_.path()}); }
  void Trigger(const char* action_name) {
    auto* action = window_->findChild<QAction*>(action_name);
    ASSERT_NE(action, nullptr) << action_name;
    action->trigger();
  }

  testing::TempDir home_;
  QtUiPort ui_;
  std::unique_ptr<MainWindow> window_;
};

TEST_F(MainWindowTest, StartShowsTheLogAndTheControlsCarryTheirNames) {
  Start();
  EXPECT_TRUE(Program().initialized);
  EXPECT_TRUE(window_->log_window()->Text().endsWith("Initialization completed.\n"));
  EXPECT_TRUE(window_->windowTitle().startsWith("Snapcrate"));  // the maximised log adds " - [Log]"
  for (const char* name : {"CommandGenHTML", "CommandAddDesc", "CommandHelp"})
    EXPECT_NE(window_->findChild<QPushButton*>(name), nullptr) << name;
  for (const char* name : {"mnuFImport", "mnuAEXIF", "mnuFEnd", "mnuEGenThumbnailIndex", "mnuEGenMasterIndex",
                           "mnuEOptions", "mnuIHelp", "mnuIAbout"})
    EXPECT_NE(window_->findChild<QAction*>(name), nullptr) << name;
}

TEST_F(MainWindowTest, UnavailableItemShowsItsMessage) {
  Start();
  QString shown;
  OnNextModal([&](QWidget* modal) {
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      shown = box->windowTitle() + "|" + box->text();
      box->accept();
    }
  });
  Trigger("mnuEGenMasterIndex");
  EXPECT_EQ(shown, "Snapcrate|Sorry! Not yet implemented!");
}

TEST_F(MainWindowTest, SettingsDialogStoresTwoLinesWithBr) {
  Start();
  OnNextModal([](QWidget* modal) {
    EXPECT_EQ(modal->windowTitle(), "Settings - Snapcrate");
    modal->findChild<QPlainTextEdit*>("Text1")->setPlainText("(c) Me\nAll rights reserved");
    modal->findChild<QPushButton*>("Command1")->click();
  });
  Trigger("mnuEOptions");
  EXPECT_EQ(ReadSetting("Copyright", "?"), "(c) Me<br>All rights reserved");
  OnNextModal([](QWidget* modal) {
    EXPECT_EQ(modal->findChild<QPlainTextEdit*>("Text1")->toPlainText(), "(c) Me\nAll rights reserved");
    modal->findChild<QPlainTextEdit*>("Text1")->setPlainText("changed");
    modal->findChild<QPushButton*>("Command2")->click();  // Cancel keeps the setting
  });
  Trigger("mnuEOptions");
  EXPECT_EQ(ReadSetting("Copyright", "?"), "(c) Me<br>All rights reserved");
}

TEST_F(MainWindowTest, AboutListsTheLibraryVersions) {
  Start();
  QString versions, label;
  OnNextModal([&](QWidget* modal) {
    versions = modal->findChild<QPlainTextEdit*>("Text1")->toPlainText();
    label = modal->findChild<QLabel*>("Label1")->text();
    modal->findChild<QPushButton*>("Command1")->click();
  });
  Trigger("mnuIAbout");
  EXPECT_TRUE(label.contains("V1.80 (2007-05-06)"));
  const QStringList lines = versions.split('\n');
  ASSERT_EQ(lines.size(), 3);
  EXPECT_TRUE(lines[0].startsWith("libtagcore.so  "));
  EXPECT_TRUE(lines[1].startsWith("libpixcore.so  "));
  EXPECT_TRUE(lines[2].startsWith("libjpegtran.so "));
}

TEST_F(MainWindowTest, ProgressWindowAbortReachesTheNextUpdate) {
  Start();
  ProgressShow(1, 10);
  ProgressWindow* progress = ui_.progress_window();
  ASSERT_NE(progress, nullptr);
  EXPECT_TRUE(progress->isVisible());
  EXPECT_EQ(progress->windowTitle(), "In Progress ...");
  // Above its own main window only, not above other programs.
  EXPECT_EQ(progress->parentWidget(), window_.get());
  EXPECT_FALSE(progress->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(ProgressUpdate(3, "picture.jpg"));
  // A known total fills the bar and reads "n of m"; the per-folder range no longer moves it.
  ProgressCountTotal(4);
  ProgressCountAdvance();
  ProgressCountAdvance();
  ProgressSetRange(1, 10);
  EXPECT_FALSE(ProgressUpdate(5, "@"));  // shows what was counted since the last look
  auto* bar = progress->findChild<QProgressBar*>("ProgressBar1");
  EXPECT_EQ(bar->maximum(), 4);
  EXPECT_EQ(bar->value(), 2);
  EXPECT_EQ(progress->findChild<QLabel*>("LabelCount")->text(), "2 of 4");
  // Escape, the button and the close box abort; the window stays until the task has stopped.
  for (const int way : {0, 1, 2}) {
    ClearAbort();
    if (way == 0) QTest::keyClick(progress, Qt::Key_Escape);
    else if (way == 1) progress->findChild<QPushButton*>("Command1")->click();
    else progress->close();
    EXPECT_TRUE(progress->isVisible()) << way;
    EXPECT_TRUE(ProgressUpdate(4, "@")) << way;
  }
  ProgressHide();
  EXPECT_FALSE(progress->isVisible());
  ClearAbort();
}

TEST_F(MainWindowTest, EveryCommandIsInAMenuWithItsOwnShortcut) {
  QSet<QString> seen;
  for (const char* name : {"mnuFImport", "mnuAEXIF", "mnuFGenHTML", "mnuFAddDesc", "mnuFEnd", "mnuEOptions",
                           "mnuIHelp", "mnuIAbout"}) {
    auto* action = window_->findChild<QAction*>(name);
    ASSERT_NE(action, nullptr) << name;
    EXPECT_FALSE(action->shortcut().isEmpty()) << name;
    EXPECT_FALSE(seen.contains(action->shortcut().toString())) << name;
    seen.insert(action->shortcut().toString());
  }
  // Access keys: one per item in each menu.
  for (QMenu* menu : window_->menuBar()->findChildren<QMenu*>()) {
    QSet<QChar> keys;
    for (QAction* action : menu->actions()) {
      if (action->isSeparator()) continue;
      const QChar key = testing::AccessKey(action->text());
      EXPECT_FALSE(key.isNull() || keys.contains(key)) << action->text().toStdString();
      keys.insert(key);
    }
  }
  EXPECT_EQ(window_->findChild<QAction*>("mnuIHelp")->shortcut(), QKeySequence(Qt::Key_F1));
  EXPECT_EQ(window_->findChild<QAction*>("mnuFEnd")->shortcut(), QKeySequence("Ctrl+Q"));
  EXPECT_EQ(window_->findChild<QPushButton*>("CommandAddDesc")->toolTip(),
            "Add manually image descriptions to be used for the HTML presentation");
}

// The import from the main window: a camera card and an archive.
class ImportCommandTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    SetLibraryDir(SNAPCRATE_TEST_HOME);
    Start();
    exif_writer::CameraExif exif;
    exif.make = "Canon";
    exif.date_time_original = "2007:05:06 14:30:00";
    std::filesystem::create_directories(home_ / "card");
    std::filesystem::create_directories(home_ / "archive");
    exif_writer::WriteFileBytes(home_ / "card/IMG_0001.JPG", exif_writer::MakeCameraJpeg(exif));
    WriteSettings({{"ImportMediaFilesSourcePath", home_ / "card"}, {"ImportMediaFilesDestPath", home_ / "archive"}});
  }
  void TearDown() override {
    ClearAbort();
    SetLibraryDir("");
  }
  // Acknowledges the summary box that ends every import, dry or not.
  void AnswerMessageBoxes() {
    answer_.setInterval(20);
    QObject::connect(&answer_, &QTimer::timeout, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        summaries_.push_back(box->text());
        box->accept();
      }
    });
    answer_.start();
  }

  QTimer answer_;
  QStringList summaries_;
  static int Logged(std::string_view start) {
    const std::vector<std::string> messages = Log().Messages();
    return std::count_if(messages.begin(), messages.end(),
                         [start](const std::string& line) { return line.starts_with(start); });
  }
};

TEST_F(ImportCommandTest, DuringADryRunOnlyAbortAnswers) {
  bool checked = false;
  // At the dry run's first pass of the event loop: the modal import window
  // refuses a second run, OK and closing, while the progress window takes a click.
  QTimer watcher;
  watcher.setInterval(0);
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    ProgressWindow* progress = ui_.progress_window();
    auto* modal = QApplication::activeModalWidget();
    if (!progress || !progress->isVisible() || !modal) return;
    watcher.stop();
    checked = true;
    QTest::mouseClick(modal->findChild<QPushButton*>("CommandPlan"), Qt::LeftButton);
    QTest::mouseClick(modal->findChild<QPushButton*>("Command1"), Qt::LeftButton);
    EXPECT_FALSE(AbortRequested());
    QTest::keyClick(modal, Qt::Key_Escape);  // aborts the run, the window stays
    EXPECT_TRUE(modal->isVisible());
    EXPECT_TRUE(AbortRequested());
    ClearAbort();
    QTest::mouseClick(progress->findChild<QPushButton*>("Command1"), Qt::LeftButton);
    EXPECT_TRUE(AbortRequested());
  });
  OnNextModal([&](QWidget* modal) {
    watcher.start();
    modal->findChild<QPushButton*>("CommandPlan")->click();
    EXPECT_TRUE(modal->isVisible());
    EXPECT_TRUE(modal->findChild<QPushButton*>("Command1")->isEnabled());
    modal->findChild<QPushButton*>("Command2")->click();
  });
  AnswerMessageBoxes();
  ClearLog();
  Trigger("mnuFImport");
  EXPECT_TRUE(checked);
  EXPECT_EQ(summaries_.size(), 1);
  EXPECT_EQ(Logged("Copying & renaming"), 1);
  EXPECT_EQ(Program().import_result, "");
  EXPECT_FALSE(std::filesystem::exists(home_ / "archive/2007"));
  EXPECT_EQ(ui_.progress_window()->parentWidget(), window_.get());
}

TEST_F(ImportCommandTest, ConfirmedImportOffersItsFolder) {
  OnNextModal([](QWidget* modal) { modal->findChild<QPushButton*>("Command1")->click(); });
  AnswerMessageBoxes();
  Trigger("mnuFImport");
  EXPECT_TRUE(std::filesystem::exists(home_ / "archive/2007/05/06/20070506_143000_IMG_0001.jpg"));
  EXPECT_EQ(ui_.progress_window()->findChild<QLabel*>("LabelCount")->text(), "1 of 1");
  auto* open = window_->findChild<QPushButton*>("CommandOpenResult");
  EXPECT_TRUE(open->isVisible());
  EXPECT_EQ(open->text(), "Open &folder");
  EXPECT_EQ(open->toolTip().toStdString(), home_ / "archive/");
}

}  // namespace
}  // namespace snapcrate
