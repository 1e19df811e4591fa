#include "app/qt_ui_port.h"

#include <QApplication>
#include <QMessageBox>

#include "app/log.h"
#include "app/log_window.h"
#include "app/progress_window.h"
#include "app/qt_text.h"
#include "app/settings_window.h"
#include "app/text.h"

namespace snapcrate {

QtUiPort::QtUiPort() { SetUiPort(this); }

QtUiPort::~QtUiPort() {
  if (busy_) QGuiApplication::restoreOverrideCursor();
  if (progress_ && !progress_->parent()) delete progress_.data();
  SetUiPort(nullptr);
}

void QtUiPort::SetMainWindow(QWidget* window, LogWindow* log_window) {
  main_window_ = window;
  log_window_ = log_window;
  if (log_window_) log_window_->ShowRing(Log());
}

MessageAnswer QtUiPort::MessageBox(std::string_view text, MessageButtons buttons) {
  const QString message = ToQString(ReplaceAll(text, "\r\n", "\n"));
  switch (buttons) {
    case MessageButtons::kOk:
      QMessageBox::information(main_window_, "Snapcrate", message);
      return MessageAnswer::kOk;
    case MessageButtons::kOkCancel:
      return QMessageBox::question(main_window_, "Snapcrate", message, QMessageBox::Ok | QMessageBox::Cancel,
                                   QMessageBox::Ok) == QMessageBox::Ok
                 ? MessageAnswer::kOk
                 : MessageAnswer::kCancel;
    case MessageButtons::kYesNo:
      return QMessageBox::question(main_window_, "Snapcrate", message, QMessageBox::Yes | QMessageBox::No,
                                   QMessageBox::No) == QMessageBox::Yes
                 ? MessageAnswer::kYes
                 : MessageAnswer::kNo;
  }
  return MessageAnswer::kOk;
}

void QtUiPort::ShowFatal(std::string_view text) {
  QMessageBox::critical(main_window_, "Snapcrate", ToQString(ReplaceAll(text, "\r\n", "\n")));
}

void QtUiPort::ProcessEvents() { QCoreApplication::processEvents(); }

void QtUiPort::SetBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  else QGuiApplication::restoreOverrideCursor();
}

void QtUiPort::LogChanged(std::string_view, const LogRing& ring) {
  if (log_window_) log_window_->ShowRing(ring);
}

void QtUiPort::LogCleared() {
  if (log_window_) log_window_->ShowRing(Log());
}

void QtUiPort::ProgressShow() {
  if (!progress_) progress_ = new ProgressWindow(main_window_);
  // A modal window blocks every window but its own: a run started from one
  // (the import's dry run) needs its Abort button above that window.
  QWidget* owner = QApplication::activeModalWidget();
  if (!owner || owner == progress_) owner = main_window_;
  if (progress_->parentWidget() != owner) progress_->setParent(owner, progress_->windowFlags());
  progress_->SetLabel({});
  progress_->ClearCount();
  progress_->show();
  progress_->raise();
}

void QtUiPort::ProgressSetRange(int minimum, int maximum) {
  if (progress_) progress_->SetRange(minimum, maximum);
}

void QtUiPort::ProgressSetValue(int value, const std::string* label) {
  if (!progress_) return;
  progress_->SetValue(value);
  if (label) progress_->SetLabel(ToQString(*label));
}

void QtUiPort::ProgressCountChanged(int64_t done, int64_t total, const std::string& text) {
  if (progress_) progress_->SetCount(done, total, ToQString(text));
}

void QtUiPort::ProgressHide() {
  if (!progress_) return;
  progress_->hide();
  if (progress_->parentWidget() != main_window_) progress_->setParent(main_window_, progress_->windowFlags());
}

bool QtUiPort::RunSettingsDialog() {
  SettingsWindow dialog(main_window_);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace snapcrate
