#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <cstdlib>

#include "app/about_window.h"
#include "app/description_editor/description_window.h"
#include "app/exec_and_wait.h"
#include "app/generator/generate_album.h"
#include "app/generator/generate_window.h"
#include "app/import/adjust_exif_dates.h"
#include "app/import/adjust_window.h"
#include "app/import/import_media_files.h"
#include "app/import/import_window.h"
#include "app/init.h"
#include "app/log.h"
#include "app/log_window.h"
#include "app/program_state.h"
#include "app/qt_text.h"
#include "app/qt_ui_port.h"
#include "app/settings_window.h"
#include "app/ui_port.h"

namespace snapcrate {

MainWindow::MainWindow(QtUiPort& ui, QWidget* parent)
    : QMainWindow(parent), ui_(ui), end_([] { std::exit(0); }) {
  setObjectName("SC_SnapcrateMDIMain");
  setWindowTitle("Snapcrate");
  setWindowIcon(QIcon::fromTheme("camera-photo", style()->standardIcon(QStyle::SP_DirIcon)));
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  setCentralWidget(central);
  BuildMenus();
  BuildToolStrip();
  mdi_ = new QMdiArea(central);
  layout->addWidget(mdi_);
  log_window_ = new LogWindow;
  QMdiSubWindow* sub = mdi_->addSubWindow(log_window_);
  sub->setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint);
  sub->showMaximized();
  open_result_ = new QPushButton(this);
  open_result_->setObjectName("CommandOpenResult");
  open_result_->hide();
  connect(open_result_, &QPushButton::clicked, this,
          [this] { QDesktopServices::openUrl(QUrl::fromLocalFile(result_path_)); });
  statusBar()->addPermanentWidget(open_result_);
  ui_.SetMainWindow(this, log_window_);
  logic_ = std::make_unique<MainWindowLogic>(Actions());
  resize(900, 620);
}

MainWindow::~MainWindow() { ui_.SetMainWindow(nullptr, nullptr); }

void MainWindow::BuildMenus() {
  auto add = [this](QMenu* menu, const char* name, const QString& caption, MainCommand command,
                    const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, [this, command] { Execute(command); });
    return action;
  };
  QMenu* file = menuBar()->addMenu("&File");
  file->setObjectName("mnuFile");
  add(file, "mnuFImport", "&Import Media Files", MainCommand::kImport, QKeySequence("Ctrl+I"));
  add(file, "mnuAEXIF", "&Adjust Exif Date and Time", MainCommand::kAdjustDates, QKeySequence("Ctrl+J"));
  // The tool strip's commands, so that the keyboard reaches them too.
  add(file, "mnuFGenHTML", "&Generate HTML Album", MainCommand::kGenerateHtml, QKeySequence("Ctrl+G"));
  add(file, "mnuFAddDesc", "Add Image &Descriptions", MainCommand::kAddDescriptions, QKeySequence("Ctrl+D"));
  file->addSeparator();
  add(file, "mnuFEnd", "&End", MainCommand::kEnd, QKeySequence("Ctrl+Q"));
  QMenu* extra = menuBar()->addMenu("&Extra");
  extra->setObjectName("mnuExtra");
  add(extra, "mnuEGenThumbnailIndex", "Generate Thumbnail &Index", MainCommand::kGenerateThumbnailIndex);
  add(extra, "mnuEGenMasterIndex", "Update &Master Index", MainCommand::kUpdateMasterIndex);
  extra->addSeparator();
  add(extra, "mnuEOptions", "&Options ...", MainCommand::kSettings, QKeySequence("Ctrl+,"));
  QMenu* info = menuBar()->addMenu("&?");
  info->setObjectName("mnuInfo");
  add(info, "mnuIHelp", "&Help", MainCommand::kHelp, QKeySequence(Qt::Key_F1));
  add(info, "mnuIAbout", "&About", MainCommand::kAbout, QKeySequence("Shift+F1"));
}

void MainWindow::BuildToolStrip() {
  auto* strip = new QWidget(centralWidget());
  strip->setObjectName("Picture1");
  auto* layout = new QHBoxLayout(strip);
  auto add = [&](const char* button_name, const char* picture_name, const QString& caption,
                 const QString& tip, QStyle::StandardPixmap icon, MainCommand command) {
    auto* picture = new QToolButton(strip);
    picture->setObjectName(picture_name);
    picture->setIcon(style()->standardIcon(icon));
    picture->setIconSize(QSize(32, 32));
    picture->setToolTip(tip);
    picture->setAutoRaise(true);
    auto* button = new QPushButton(caption, strip);
    button->setObjectName(button_name);
    button->setToolTip(tip);
    button->setMinimumHeight(40);
    connect(picture, &QToolButton::clicked, this, [this, command] { Execute(command); });
    connect(button, &QPushButton::clicked, this, [this, command] { Execute(command); });
    layout->addWidget(picture);
    layout->addWidget(button);
  };
  add("CommandGenHTML", "PictureGenHTML", "Generate HTML Album",
      "Generate a HTML image album for a given root directory", QStyle::SP_DriveNetIcon,
      MainCommand::kGenerateHtml);
  add("CommandAddDesc", "PictureAddDesc", "Add Image Descriptions",
      "Add manually image descriptions to be used for the HTML presentation", QStyle::SP_FileDialogDetailedView,
      MainCommand::kAddDescriptions);
  add("CommandHelp", "PictureHelp", "Help", "Help", QStyle::SP_DialogHelpButton, MainCommand::kHelp);
  layout->addStretch();
  static_cast<QVBoxLayout*>(centralWidget()->layout())->addWidget(strip);
}

MainCommandActions MainWindow::Actions() {
  MainCommandActions actions;
  actions.settings_dialog = [this] {
    SettingsWindow dialog(this);
    dialog.exec();
  };
  actions.about_window = [this] {
    AboutWindow dialog(this);
    dialog.exec();
  };
  // Each use gets a fresh window that reads its settings anew.
  actions.import_window = [this] {
    ImportWindow window(this);
    window.exec();
    return Program().import_result;
  };
  actions.run_import = [this] {
    const ImportRequest request = CurrentImportRequest();
    const ImportCounters counters = ImportMediaFiles(request.source, request.destination, request.options);
    if (!request.options.dry_run && counters.copied > 0) OfferResult("Open &folder", ToQString(request.destination));
  };
  actions.adjust_window = [this] {
    AdjustWindow window(this);
    window.exec();
    return Program().adjust_result;
  };
  actions.run_adjust = [] { AdjustExifDates(CurrentAdjustPath(), Program().date_offset); };
  actions.generate_window = [this] {
    std::string result;
    StartGenHTMLDialog(0, result);
    return result;
  };
  actions.run_generate = [this] {
    const GenerationRequest& request = CurrentGenerationRequest();
    if (GenerateAlbum(request).completed)
      OfferResult("Open &album", ToQString(request.destination_path + "index" + Program().gen_html_ext));
  };
  actions.description_editor = [this] {
    DescriptionWindow window(this);
    window.exec();
  };
  actions.help = [this] { do_help(); };
  actions.end = [this] { end_(); };
  actions.task_running = [this](bool running) {
    if (running) {
      open_result_->hide();
      statusBar()->clearMessage();
    }
    SetCommandsEnabled(!running);
  };
  return actions;
}

void MainWindow::do_help() { ShowHelp(); }

void MainWindow::SetCommandsEnabled(bool enabled) {
  // A task lets events through to show its progress; only End stays usable,
  // and it asks before aborting.
  for (QAction* action : findChildren<QAction*>()) {
    if (action->objectName() == "mnuFEnd" || action->objectName().isEmpty()) continue;
    action->setEnabled(enabled);
  }
  if (auto* strip = findChild<QWidget*>("Picture1")) strip->setEnabled(enabled);
}

void MainWindow::OfferResult(const QString& caption, const QString& path) {
  result_path_ = path;
  open_result_->setText(caption);
  open_result_->setToolTip(path);
  open_result_->show();
  statusBar()->showMessage(path);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (logic_->RequestEnd()) event->accept();
  else event->ignore();
}

void MainWindow::StartGenHTMLDialog(int16_t mode, std::string& result) {
  (void)mode;  // the window knows one mode only
  GenerateWindow window(this);
  window.RunModal();
  result = Program().gen_html_result;
}

void MainWindow::Execute(MainCommand command) {
  try {
    logic_->Execute(command);
  } catch (const FatalEndError&) {
    // The message was shown; a fatal condition ends the program at once.
    std::exit(1);
  }
}

void MainWindow::Start(const InitOptions& options) {
  try {
    Init(options);
  } catch (const FatalEndError&) {
    std::exit(1);
  }
  log_window_->ShowRing(Log());
}

}  // namespace snapcrate
