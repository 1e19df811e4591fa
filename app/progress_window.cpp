#include "app/progress_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/progress.h"

namespace snapcrate {

ProgressWindow::ProgressWindow(QWidget* parent) : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
  setObjectName("Progress");
  setWindowTitle("In Progress ...");
  setModal(false);
  bar_ = new QProgressBar(this);
  bar_->setObjectName("ProgressBar1");
  bar_->setTextVisible(false);
  label_ = new QLabel(this);
  label_->setObjectName("Label1");
  label_->setMinimumWidth(360);
  label_->setTextFormat(Qt::PlainText);
  abort_ = new QPushButton("Abort", this);
  abort_->setObjectName("Command1");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label_);
  layout->addWidget(bar_);
  layout->addWidget(abort_, 0, Qt::AlignRight);
  connect(abort_, &QPushButton::clicked, this, [] { RequestAbort(); });
}

void ProgressWindow::SetRange(int minimum, int maximum) {
  bar_->setRange(minimum, maximum);
  bar_->setValue(minimum);
}

void ProgressWindow::SetValue(int value) { bar_->setValue(value); }

void ProgressWindow::SetLabel(const QString& text) {
  label_->setText(fontMetrics().elidedText(text, Qt::ElideMiddle, label_->width()));
}

void ProgressWindow::changeEvent(QEvent* event) {
  // Back in front when it loses activation, unless the user is aborting.
  if (event->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible() && !AbortRequested())
    raise();
  QDialog::changeEvent(event);
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
  // Closing the window means Abort; the task closes it when it has unwound.
  RequestAbort();
  event->ignore();
}

}  // namespace snapcrate
