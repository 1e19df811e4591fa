#include "app/import/import_window.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <string>
#include <vector>

#include "app/dir_chooser_widget.h"
#include "app/import/import_options_window.h"
#include "app/log.h"
#include "app/progress.h"
#include "app/qt_text.h"
#include "app/ui_port.h"

namespace snapcrate {
namespace {

QGroupBox* Frame(const QString& caption, QWidget* content, QWidget* parent) {
  auto* frame = new QGroupBox(caption, parent);
  auto* layout = new QVBoxLayout(frame);
  layout->addWidget(content);
  return frame;
}

QLabel* PathLabel(const char* name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label->setWordWrap(true);
  return label;
}

// Passes everything on to the program's port and keeps the first new names a
// dry run logs ("source -> target").
class PlanRecorder : public UiPort {
 public:
  explicit PlanRecorder(UiPort& inner) : inner_(inner) { SetUiPort(this); }
  ~PlanRecorder() override { SetUiPort(&inner_); }

  MessageAnswer MessageBox(std::string_view text, MessageButtons buttons) override {
    return inner_.MessageBox(text, buttons);
  }
  void ShowFatal(std::string_view text) override { inner_.ShowFatal(text); }
  void ProcessEvents() override { inner_.ProcessEvents(); }
  void SetBusy(bool busy) override { inner_.SetBusy(busy); }
  void LogChanged(std::string_view message, const LogRing& ring) override {
    const size_t arrow = message.find(" -> ");
    if (arrow != std::string_view::npos && names.size() < 3) names.emplace_back(message.substr(arrow + 4));
    inner_.LogChanged(message, ring);
  }
  void LogCleared() override { inner_.LogCleared(); }
  void ProgressShow() override { inner_.ProgressShow(); }
  void ProgressSetRange(int minimum, int maximum) override { inner_.ProgressSetRange(minimum, maximum); }
  void ProgressSetValue(int value, const std::string* label) override { inner_.ProgressSetValue(value, label); }
  void ProgressCountChanged(int64_t done, int64_t total, const std::string& text) override {
    inner_.ProgressCountChanged(done, total, text);
  }
  void ProgressHide() override { inner_.ProgressHide(); }
  bool RunSettingsDialog() override { return inner_.RunSettingsDialog(); }

  std::vector<std::string> names;

 private:
  UiPort& inner_;
};

}  // namespace

ImportWindow::ImportWindow(QWidget* parent, ImportRequest& request)
    : QDialog(parent), dialog_(request) {
  setObjectName("SC_ImportMediaFiles");
  setWindowTitle("Snapcrate - Import Media Files");
  setSizeGripEnabled(true);

  source_ = new DirChooserWidget(dialog_.source(), "Drive1", "Dir1", this);
  destination_ = new DirChooserWidget(dialog_.destination(), "Drive2", "Dir2", this);
  source_->dir_list()->setToolTip("The camera card or directory to copy pictures from");
  destination_->dir_list()->setToolTip("The archive: pictures go to YYYY/MM/DD below it");
  source_path_ = PathLabel("Label2", this);
  destination_path_ = PathLabel("Label3", this);
  connect(source_, &DirChooserWidget::directoryChanged, this, [this] {
    dialog_.UpdateSourcePath();
    ShowPaths();
  });
  connect(destination_, &DirChooserWidget::directoryChanged, this, [this] {
    dialog_.UpdateDestPath();
    ShowPaths();
  });

  auto* advanced = new QPushButton("&Advanced", this);
  advanced->setObjectName("CommandExt");
  advanced->setToolTip("Log file, file names and which files to import");
  auto* plan = new QPushButton("Dry &Run", this);
  plan->setObjectName("CommandPlan");
  plan->setToolTip("Show what OK would copy, without copying anything");
  plan_ = new QLabel(this);
  plan_->setObjectName("LabelPlan");
  plan_->setWordWrap(true);
  plan_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  plan_->setTextFormat(Qt::PlainText);
  plan_->hide();
  auto* help = new QPushButton("&Help", this);
  help->setObjectName("CommandHelp");
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("Command1");
  ok->setDefault(true);
  auto* cancel = new QPushButton("Cancel", this);
  cancel->setObjectName("Command2");
  connect(advanced, &QPushButton::clicked, this, [this] {
    ImportOptionsWindow options(dialog_.options(), this);
    options.exec();
  });
  connect(help, &QPushButton::clicked, this, [] { ShowMessage(kImportHelpText); });
  connect(plan, &QPushButton::clicked, this, &ImportWindow::ShowPlan);
  connect(ok, &QPushButton::clicked, this, &ImportWindow::Accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* grid = new QGridLayout;
  grid->addWidget(Frame("Source", source_, this), 0, 0);
  grid->addWidget(Frame("Destination", destination_, this), 0, 1);
  grid->addWidget(Frame("Source path", source_path_, this), 1, 0);
  grid->addWidget(Frame("Destination path", destination_path_, this), 1, 1);
  grid->setRowStretch(0, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(advanced);
  buttons->addWidget(plan);
  buttons->addWidget(help);
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid, 1);
  layout->addWidget(plan_);
  layout->addLayout(buttons);
  resize(720, 520);
  ShowPaths();
}

void ImportWindow::ShowPaths() {
  source_path_->setText(ToQString(dialog_.ShownSource()));
  destination_path_->setText(ToQString(dialog_.ShownDestination()));
}

void ImportWindow::ShowPlan() {
  if (planning_) return;
  ImportOptions options = dialog_.options();
  options.dry_run = true;
  ImportCounters counters;
  std::vector<std::string> names;
  // The run lets events through to show its progress: no second run, no OK
  // and no other folder meanwhile.
  const QList<QWidget*> controls = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  for (QWidget* control : controls)
    if (!control->isWindow()) control->setEnabled(false);
  planning_ = true;
  {
    PlanRecorder recorder(Ui());
    counters = ImportMediaFiles(dialog_.ShownSource(), dialog_.ShownDestination(), options);
    names = std::move(recorder.names);
  }
  planning_ = false;
  for (QWidget* control : controls)
    if (!control->isWindow()) control->setEnabled(true);
  QString text = "Dry run: " + QString::number(counters.copied) + (counters.copied == 1 ? " new file" : " new files");
  if (counters.already_copied > 0) text += ", " + QString::number(counters.already_copied) + " already there";
  for (const std::string& name : names) text += "\n  " + ToQString(name);
  if (counters.copied > static_cast<int32_t>(names.size())) text += "\n  \u2026";
  plan_->setText(text);
  plan_->show();
}

void ImportWindow::Accept() {
  if (planning_) return;
  dialog_.Confirm();
  accept();
}

void ImportWindow::reject() {
  if (planning_) RequestAbort();
  else QDialog::reject();
}

}  // namespace snapcrate
