#include "app/import/import_window.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/dir_chooser_widget.h"
#include "app/import/import_options_window.h"
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

  auto* advanced = new QPushButton("Advanced", this);
  advanced->setObjectName("CommandExt");
  advanced->setToolTip("Log file, file names and which files to import");
  auto* help = new QPushButton("Help", this);
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
  buttons->addWidget(help);
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid, 1);
  layout->addLayout(buttons);
  resize(720, 520);
  ShowPaths();
}

void ImportWindow::ShowPaths() {
  source_path_->setText(ToQString(dialog_.ShownSource()));
  destination_path_->setText(ToQString(dialog_.ShownDestination()));
}

void ImportWindow::Accept() {
  dialog_.Confirm();
  accept();
}

}  // namespace snapcrate
