#include "app/generator/generate_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "app/dir_chooser_widget.h"
#include "app/init.h"
#include "app/library_loader.h"
#include "app/log.h"
#include "app/main_window.h"
#include "app/program_state.h"
#include "app/progress.h"
#include "app/progress_window.h"
#include "app/qt_ui_port.h"
#include "app/settings.h"
#include "tests/support/access_keys.h"
#include "tests/support/exif_writer/camera_exif.h"
#include "tests/support/qt_modal.h"
#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

using testing::OnNextModal;
namespace fs = std::filesystem;
using testing::ReadFile;

template <typename Widget>
Widget* Find(QWidget* window, const char* name) {
  auto* widget = window->findChild<Widget*>(name);
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}

DirChooserWidget* Chooser(QWidget* window, const char* dir_name) {
  return qobject_cast<DirChooserWidget*>(Find<QTreeView>(window, dir_name)->parentWidget());
}

bool Logged(const std::string& line) {
  const std::vector<std::string> messages = Log().Messages();
  return std::find(messages.begin(), messages.end(), line) != messages.end();
}

// A home with the installation's etc/, a picture folder and an album folder.
class GenerateHome {
 protected:
  GenerateHome() {
    fs::copy(fs::path(SNAPCRATE_SOURCE_DIR) / "etc", home_.path() + "etc",
             fs::copy_options::recursive);
    fs::remove(home_ / "etc/snapcrate.ini");
    fs::create_directories(home_ / "pictures");
    fs::create_directories(home_ / "album");
  }
  void Picture(const std::string& relative) {
    exif_writer::CameraExif exif;
    exif.make = "Canon";
    exif.date_time_original = "2007:05:06 14:30:00";
    fs::create_directories(fs::path(home_ / "pictures/" + relative).parent_path());
    exif_writer::WriteFileBytes(
        home_ / "pictures/" + relative,
        exif_writer::MakeCameraJpeg(exif, exif_writer::MakeGrayJpeg(320, 240)));
  }

  testing::TempDir home_;
};

class GenerateWindowTest : public ::testing::Test, protected GenerateHome {
 protected:
  void SetUp() override {
    Init({.home_override = home_.path()});
    WriteSettings(
        {{"GenHTMLSourcePath", home_ / "pictures"}, {"GenHTMLDestPath", home_ / "album"}});
  }

  testing::RecordingUiPort ui_;
  GenerationRequest request_;
};

TEST_F(GenerateWindowTest, OpeningRereadsAndShowsTheSelectedConfiguration) {
  ClearLog();
  GenerateWindow window(nullptr, request_);
  window.show();
  EXPECT_EQ(window.windowTitle(), "Snapcrate - Generate HTML Pages");
  EXPECT_EQ(window.objectName(), "SC_GenHTML");
  EXPECT_EQ(testing::MissingAccessKeys(&window), "");
  ASSERT_FALSE(Log().Messages().empty());
  EXPECT_EQ(Log().Messages().front(), "Rereading Scheme & Configuration Settings ...");
  auto* combo = Find<QComboBox>(&window, "Combo1");
  EXPECT_EQ(combo->count(), 5);
  EXPECT_EQ(combo->currentText(), "Standard");
  EXPECT_TRUE(
      Find<QPlainTextEdit>(&window, "Text1")->toPlainText().endsWith("\nSTD:1024 x 768 Pixel"));
  for (const char* name : {"Command1", "Command2", "Command3", "CommandNew", "CommandEdit",
                           "CommandDelete", "CommandRatingsReset"})
    Find<QPushButton>(&window, name);
  for (const char* name : {"Drive1", "Drive2"}) Find<QComboBox>(&window, name);
  EXPECT_EQ(Find<QTreeView>(&window, "Dir1")->toolTip(),
            "Specifies the source image directory (including subdirectories)");
  // The stored ratings of a new settings file.
  EXPECT_TRUE(Find<QRadioButton>(&window, "OptionQ6")->isChecked());
  EXPECT_TRUE(Find<QRadioButton>(&window, "OptionO6")->isChecked());
  EXPECT_FALSE(Find<QRadioButton>(&window, "OptionQ1")->isChecked());
}

TEST_F(GenerateWindowTest, OkFillsTheRequestFromTheControlsAndStoresTheFiveSettings) {
  fs::create_directories(home_ / "pictures/2007");
  GenerateWindow window(nullptr, request_);
  window.show();
  auto* combo = Find<QComboBox>(&window, "Combo1");
  combo->setCurrentIndex(combo->findText("Two sizes"));
  EXPECT_TRUE(
      Find<QPlainTextEdit>(&window, "Text1")->toPlainText().startsWith("A start page to choose"));
  Find<QPushButton>(&window, "CommandRatingsReset")->click();
  EXPECT_FALSE(Find<QRadioButton>(&window, "OptionQ6")->isChecked());
  Find<QRadioButton>(&window, "OptionQ3")->click();
  Find<QRadioButton>(&window, "OptionQ2")->click();
  EXPECT_FALSE(Find<QRadioButton>(&window, "OptionQ3")->isChecked());
  auto* auto_orient = Find<QCheckBox>(&window, "CheckAutoOrient");
  EXPECT_TRUE(auto_orient->isChecked());  // on unless switched off
  auto_orient->click();
  Chooser(&window, "Dir1")->ChooseDirectory(QString::fromStdString(home_ / "pictures/2007"));
  Find<QPushButton>(&window, "Command3")->click();
  Find<QPushButton>(&window, "Command1")->click();
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.result(), QDialog::Accepted);
  EXPECT_EQ(Program().gen_html_result, "OK");
  EXPECT_EQ(request_.source_path, home_ / "pictures/2007/");
  EXPECT_EQ(request_.destination_path, home_ / "pictures/2007/");
  EXPECT_EQ(request_.min_quality, 2);
  EXPECT_EQ(request_.min_originality, kNoMinimalRating);
  EXPECT_EQ(request_.config.name, "Two sizes");
  EXPECT_EQ(request_.config.scaled.size(), 2u);
  EXPECT_EQ(ReadSetting("GenHTMLSourcePath", "?"), home_ / "pictures/2007");
  EXPECT_EQ(ReadSetting("GenHTMLDestPath", "?"), home_ / "pictures/2007");
  EXPECT_EQ(ReadSetting("GenHTMLMinQual", "?"), "2");
  EXPECT_EQ(ReadSetting("GenHTMLMinOrig", "?"), "");
  EXPECT_EQ(ReadSetting("GenHTMLConfigIndex", "?"), std::to_string(combo->findText("Two sizes")));
  EXPECT_FALSE(request_.auto_orient);
  EXPECT_EQ(ReadSetting("GenHTMLAutoOrient", "?"), "0");
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(GenerateWindowTest, CancelStoresTheDestinationOnly) {
  fs::create_directories(home_ / "pictures/2007");
  for (const bool escape : {false, true}) {
    WriteSettings({{"GenHTMLDestPath", home_ / "album"}});
    GenerateWindow window(nullptr, request_);
    window.show();
    Chooser(&window, "Dir1")->ChooseDirectory(QString::fromStdString(home_ / "pictures/2007"));
    Chooser(&window, "Dir2")->ChooseDirectory(QString::fromStdString(home_ / "pictures"));
    if (escape) QTest::keyClick(&window, Qt::Key_Escape);  // does what Cancel says
    else Find<QPushButton>(&window, "Command2")->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(Program().gen_html_result, "");
    EXPECT_EQ(ReadSetting("GenHTMLDestPath", "?"), home_ / "pictures") << escape;
    EXPECT_EQ(ReadSetting("GenHTMLSourcePath", "?"), home_ / "pictures");
  }
}

TEST_F(GenerateWindowTest, FolderChooserTakesTypedPathsAndMakesFolders) {
  fs::create_directories(home_ / "pictures/2007");
  GenerateWindow window(nullptr, request_);
  window.show();
  auto* path = Find<QLineEdit>(&window, "Dir1Path");
  EXPECT_EQ(path->text().toStdString(), home_ / "pictures");  // the folder used last
  path->setText(QString::fromStdString(home_ / "pictures/2007/"));
  QTest::keyClick(path, Qt::Key_Return);
  EXPECT_TRUE(window.isVisible());  // Enter went to the folder, not to OK
  EXPECT_EQ(path->text().toStdString(), home_ / "pictures/2007");
  path->setText("/no/such/folder");
  QTest::keyClick(path, Qt::Key_Return);
  EXPECT_FALSE(Chooser(&window, "Dir1")->GoToTypedPath());
  OnNextModal([](QWidget* modal) {
    auto* input = qobject_cast<QInputDialog*>(modal);
    ASSERT_NE(input, nullptr);
    input->setTextValue("new one");
    input->accept();
  });
  Find<QToolButton>(&window, "Dir1NewFolder")->click();
  EXPECT_TRUE(fs::is_directory(home_ / "pictures/2007/new one"));
  EXPECT_EQ(path->text().toStdString(), home_ / "pictures/2007/new one");
  Find<QPushButton>(&window, "Command1")->click();
  EXPECT_EQ(request_.source_path, home_ / "pictures/2007/new one/");
}

TEST_F(GenerateWindowTest, FolderChooserStartsInThePicturesOffersPlacesAndHidesDotFolders) {
  // A fresh installation in a home with a pictures folder.
  struct Env {
    std::string name, old;
    bool had;
    Env(const char* n, const std::string& value) : name(n), had(std::getenv(n)) {
      if (had) old = std::getenv(n);
      setenv(n, value.c_str(), 1);
    }
    ~Env() { had ? setenv(name.c_str(), old.c_str(), 1) : unsetenv(name.c_str()); }
  } home_env("HOME", home_.path()), config_env("XDG_CONFIG_HOME", home_ / "no-config");
  fs::create_directories(home_ / "Pictures/2007");
  fs::create_directories(home_ / "Pictures/.thumbnails");
  fs::remove(home_ / "etc/snapcrate.ini");
  Init({.home_override = home_.path()});
  GenerateWindow window(nullptr, request_);
  window.show();
  EXPECT_EQ(Find<QLineEdit>(&window, "Dir1Path")->text().toStdString(), home_ / "Pictures");

  QMenu* places = Find<QToolButton>(&window, "Dir2Places")->menu();
  emit places->aboutToShow();
  QMap<QString, QAction*> actions;
  for (QAction* action : places->actions()) actions[action->text()] = action;
  ASSERT_TRUE(actions.contains("&Home") && actions.contains("&Pictures")) << actions.keys().join(",").toStdString();
  actions["&Home"]->trigger();
  EXPECT_EQ(Find<QLineEdit>(&window, "Dir2Path")->text().toStdString() + "/", home_.path());

  // The tree lists the pictures folder in the background.
  auto* tree = Find<QTreeView>(&window, "Dir1");
  auto children = [&](const QString& wanted) {
    QStringList names;
    for (int waited = 0; waited < 5000 && !names.contains(wanted); waited += 20) {
      QTest::qWait(20);
      const auto* model = qobject_cast<const QFileSystemModel*>(tree->model());
      const QModelIndex folder = model->index(QString::fromStdString(home_ / "Pictures"));
      names.clear();
      for (int row = 0; row < model->rowCount(folder); ++row) names << model->index(row, 0, folder).data().toString();
    }
    return names;
  };
  EXPECT_EQ(children("2007"), QStringList{"2007"});
  emit Find<QToolButton>(&window, "Dir1Places")->menu()->aboutToShow();
  for (QAction* action : Find<QToolButton>(&window, "Dir1Places")->menu()->actions())
    if (action->text() == "Show hidden folders") action->trigger();
  EXPECT_TRUE(children(".thumbnails").contains(".thumbnails"));
}

TEST_F(GenerateWindowTest, EditOnOkLeavesABackupAndTheRewrittenFile) {
  const std::string path = home_ / "etc/config_standard.ini";
  const std::string before = ReadFile(path);
  GenerateWindow window(nullptr, request_);
  window.show();
  OnNextModal([](QWidget* editor) {
    EXPECT_EQ(editor->windowTitle(), "Edit Album Configuration");
    auto* description = Find<QLineEdit>(editor, "TextDesc");
    description->selectAll();
    QTest::keyClicks(description, "Edited here");
    Find<QPushButton>(editor, "CommandOK")->click();
  });
  Find<QPushButton>(&window, "CommandEdit")->click();
  EXPECT_EQ(ReadFile(path + ".bak"), before);
  EXPECT_NE(ReadFile(path).find("[Description]\r\nEdited here\r\n"), std::string::npos);
  EXPECT_TRUE(Find<QPlainTextEdit>(&window, "Text1")->toPlainText().startsWith("Edited here\n"));
  EXPECT_EQ(Find<QComboBox>(&window, "Combo1")->currentText(), "Standard");
}

TEST_F(GenerateWindowTest, EditorCancelKeepsTheOldConfiguration) {
  const std::string path = home_ / "etc/config_standard.ini";
  const std::string before = ReadFile(path);
  GenerateWindow window(nullptr, request_);
  window.show();
  OnNextModal([](QWidget* editor) {
    Find<QLineEdit>(editor, "TextName")->setText("Renamed");
    Find<QPushButton>(editor, "CommandDelete")->click();
    Find<QPushButton>(editor, "CommandCancel")->click();
  });
  Find<QPushButton>(&window, "CommandEdit")->click();
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_FALSE(fs::exists(path + ".bak"));
  EXPECT_EQ(Find<QComboBox>(&window, "Combo1")->currentText(), "Standard");
  Find<QPushButton>(&window, "Command1")->click();
  EXPECT_EQ(request_.config.scaled.size(), 1u);
}

TEST_F(GenerateWindowTest, NewConfigurationAppearsInTheList) {
  GenerateWindow window(nullptr, request_);
  window.show();
  OnNextModal([](QWidget* editor) {
    EXPECT_EQ(Find<QLineEdit>(editor, "TextName")->text(), "UserConfig #1");
    Find<QPushButton>(editor, "CommandOK")->click();
  });
  Find<QPushButton>(&window, "CommandNew")->click();
  EXPECT_TRUE(fs::exists(home_ / "etc/config_userdef1.ini"));
  auto* combo = Find<QComboBox>(&window, "Combo1");
  EXPECT_EQ(combo->count(), 6);
  EXPECT_EQ(combo->currentText(), "UserConfig #1");
  EXPECT_EQ(Find<QPlainTextEdit>(&window, "Text1")->toPlainText(),
            "< description of UserConfig #1 >\nSTD:1024 x 768 Pixel");

  ui_.answers = {MessageAnswer::kYes};
  Find<QPushButton>(&window, "CommandDelete")->click();
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"Deleting Scheme 'UserConfig #1'?"});
  EXPECT_EQ(combo->count(), 5);
  EXPECT_FALSE(fs::exists(home_ / "etc/config_userdef1.ini"));
  EXPECT_TRUE(fs::exists(home_ / "etc/config_userdef1.ini.bak"));
}

// The Generate HTML command of the main window, up to the generation run.
class GenerateCommandTest : public ::testing::Test, protected GenerateHome {
 protected:
  GenerateCommandTest() {
    SetLibraryDir(SNAPCRATE_TEST_HOME);
    window_ = std::make_unique<MainWindow>(ui_);
    window_->show();
  }
  ~GenerateCommandTest() override {
    window_.reset();
    SetLibraryDir("");
    ClearAbort();
  }
  void Start() {
    window_->Start({.home_override = home_.path()});
    WriteSettings(
        {{"GenHTMLSourcePath", home_ / "pictures"}, {"GenHTMLDestPath", home_ / "album"}});
  }
  void ClickGenerate() { Find<QPushButton>(window_.get(), "CommandGenHTML")->click(); }

  QtUiPort ui_;
  std::unique_ptr<MainWindow> window_;
};

TEST_F(GenerateCommandTest, CommandBeforeInitialisationDoesNothing) {
  Program().initialized = false;
  Program().gen_html_result.clear();
  ClearLog();
  bool opened = false;
  QTimer watcher;  // closes a window that should not have opened
  watcher.setInterval(20);
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      opened = true;
      modal->close();
    }
  });
  watcher.start();
  ClickGenerate();
  QTest::qWait(100);
  EXPECT_FALSE(opened);
  EXPECT_TRUE(Log().Messages().empty());
  EXPECT_EQ(Program().gen_html_result, "");
}

TEST_F(GenerateCommandTest, CancelRunsNothing) {
  Start();
  Picture("day/a.jpg");
  OnNextModal([](QWidget* modal) {
    EXPECT_EQ(modal->windowTitle(), "Snapcrate - Generate HTML Pages");
    Find<QPushButton>(modal, "Command2")->click();
  });
  ClickGenerate();
  EXPECT_EQ(Program().gen_html_result, "");
  EXPECT_TRUE(Logged("Rereading Scheme & Configuration Settings ..."));
  EXPECT_FALSE(Logged("Successfull!"));
  EXPECT_FALSE(fs::exists(home_ / "album/_snapcrate_"));
}

TEST_F(GenerateCommandTest, ConfirmedWindowRunsTheGeneration) {
  Start();
  Picture("day/a.jpg");
  OnNextModal([](QWidget* modal) { Find<QPushButton>(modal, "Command1")->click(); });
  ClickGenerate();
  EXPECT_EQ(Program().gen_html_result, "OK");
  EXPECT_TRUE(
      Logged("Generating HTML pages for path " + home_ / "pictures/" + " to " + home_ / "album/"));
  EXPECT_EQ(Log().Messages().back(), "Successfull!");
  EXPECT_TRUE(fs::is_directory(home_ / "album/_snapcrate_"));
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);  // the busy pointer is gone again
  ASSERT_NE(ui_.progress_window(), nullptr);
  EXPECT_FALSE(ui_.progress_window()->isVisible());
  // The pictures were counted beforehand, and the album can be opened from the main window.
  EXPECT_EQ(Find<QLabel>(ui_.progress_window(), "LabelCount")->text(), "1 of 1");
  auto* open = Find<QPushButton>(window_.get(), "CommandOpenResult");
  EXPECT_TRUE(open->isVisible());
  EXPECT_EQ(open->text(), "Open &album");
  EXPECT_EQ(open->toolTip().toStdString(), home_ / "album/index.htm");
}

TEST_F(GenerateCommandTest, AbortInTheProgressWindowEndsTheRunWithAborted) {
  Start();
  for (const char* day : {"01", "02", "03", "04", "05", "06"})
    for (const char* name : {"a", "b", "c"})
      Picture(std::string("2007/") + day + "/" + name + ".jpg");
  bool saw_progress = false;
  bool busy_while_running = false;
  // Checks at every pass of the event loop, which the run gives through its
  // progress updates; the first pass with the progress window up clicks Abort.
  QTimer watcher;
  watcher.setInterval(0);
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    ProgressWindow* progress = ui_.progress_window();
    if (!progress || !progress->isVisible()) return;
    watcher.stop();
    saw_progress = true;
    busy_while_running = QGuiApplication::overrideCursor() != nullptr &&
                         QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
    Find<QPushButton>(progress, "Command1")->click();
  });
  OnNextModal([&](QWidget* modal) {
    watcher.start();
    Find<QPushButton>(modal, "Command1")->click();
  });
  ClickGenerate();
  EXPECT_TRUE(saw_progress);
  EXPECT_TRUE(busy_while_running);
  EXPECT_EQ(Log().Messages().back(), "Aborted!");
  EXPECT_FALSE(Logged("Successfull!"));
  EXPECT_FALSE(ui_.progress_window()->isVisible());
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(GenerateCommandTest, WhileARunGoesOnNoOtherCommandStartsAndEndWaitsForTheAbort) {
  Start();
  Picture("day/a.jpg");
  Picture("day/b.jpg");
  int ended = 0;
  window_->SetEndAction([&] { ++ended; });
  auto answer = [](QMessageBox::StandardButton button) {
    OnNextModal([button](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      ASSERT_NE(box, nullptr);
      EXPECT_TRUE(box->text().startsWith("A task is still running."));
      box->button(button)->click();
    });
  };
  int windows_opened = 0;
  QTimer guard;  // closes a window that should not have opened
  guard.setInterval(20);
  QObject::connect(&guard, &QTimer::timeout, [&] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      ++windows_opened;
      modal->close();
    }
  });
  QTimer watcher;
  watcher.setInterval(0);
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    if (!ui_.progress_window() || !ui_.progress_window()->isVisible()) return;
    watcher.stop();
    EXPECT_TRUE(window_->TaskRunning());
    for (QAction* action : window_->findChildren<QAction*>()) {
      if (action->objectName().startsWith("mnu") && action->objectName() != "mnuFEnd") {
        EXPECT_FALSE(action->isEnabled()) << action->objectName().toStdString();
      }
    }
    EXPECT_FALSE(Find<QWidget>(window_.get(), "Picture1")->isEnabled());
    guard.start();
    for (MainCommand command : {MainCommand::kImport, MainCommand::kAdjustDates, MainCommand::kGenerateHtml,
                                MainCommand::kAddDescriptions, MainCommand::kSettings, MainCommand::kAbout,
                                MainCommand::kHelp, MainCommand::kGenerateThumbnailIndex,
                                MainCommand::kUpdateMasterIndex})
      window_->Execute(command);
    QTest::qWait(60);
    guard.stop();
    answer(QMessageBox::No);
    EXPECT_FALSE(window_->close());
    EXPECT_TRUE(window_->isVisible());
    EXPECT_FALSE(AbortRequested());
    answer(QMessageBox::Yes);
    window_->findChild<QAction*>("mnuFEnd")->trigger();
    EXPECT_TRUE(AbortRequested());
    EXPECT_EQ(ended, 0);
  });
  OnNextModal([&](QWidget* modal) {
    watcher.start();
    Find<QPushButton>(modal, "Command1")->click();
  });
  ClearLog();
  ClickGenerate();
  EXPECT_EQ(windows_opened, 0);
  EXPECT_EQ(ended, 1);
  const std::vector<std::string> messages = Log().Messages();
  EXPECT_EQ(std::count(messages.begin(), messages.end(), "Rereading Scheme & Configuration Settings ..."), 1);
  EXPECT_EQ(messages.back(), "Aborted!");
  EXPECT_FALSE(window_->TaskRunning());
  EXPECT_TRUE(window_->findChild<QAction*>("mnuFImport")->isEnabled());
  EXPECT_TRUE(Find<QWidget>(window_.get(), "Picture1")->isEnabled());
}

}  // namespace
}  // namespace snapcrate
