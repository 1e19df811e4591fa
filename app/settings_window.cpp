#include "app/settings_window.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "app/settings_dialog.h"
#include "app/text.h"

namespace snapcrate {

SettingsWindow::SettingsWindow(QWidget* parent) : QDialog(parent) {
  setObjectName("SC_Settings");
  setWindowTitle("Settings - Snapcrate");
  auto* frame = new QGroupBox("Copyright Info for HTML Pages", this);
  text_ = new QPlainTextEdit(frame);
  text_->setObjectName("Text1");
  text_->setPlainText(ToQString(ReplaceAll(SettingsDialogText(), "\r\n", "\n")));
  text_->setMinimumSize(420, 120);
  auto* frame_layout = new QVBoxLayout(frame);
  frame_layout->addWidget(text_);
  auto* buttons = new QDialogButtonBox(this);
  auto* ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
  ok->setObjectName("Command1");
  ok->setDefault(true);
  auto* cancel = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
  cancel->setObjectName("Command2");
  connect(ok, &QPushButton::clicked, this, &SettingsWindow::Accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(frame);
  layout->addWidget(buttons);
}

void SettingsWindow::Accept() {
  ConfirmSettingsDialog(ToBytes(text_->toPlainText()));
  accept();
}

}  // namespace snapcrate
