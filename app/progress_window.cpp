#include "app/progress_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/progress.h"

namespace snapcrate {

ProgressWindow::ProgressWindow(QWidget* parent) : QDialog(parent, Qt::Tool) {
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
  count_ = new QLabel(this);
  count_->setObjectName("LabelCount");
  count_->hide();
  abort_ = new QPushButton("Abort", this);
  abort_->setObjectName("Command1");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label_);
  layout->addWidget(bar_);
  layout->addWidget(count_);
  layout->addWidget(abort_, 0, Qt::AlignRight);
  connect(abort_, &QPushButton::clicked, this, [] { RequestAbort(); });
}

void ProgressWindow::SetRange(int minimum, int maximum) {
  if (counted_) return;  // the count says more than a range that starts over per folder
  bar_->setRange(minimum, maximum);
  bar_->setValue(minimum);
}

void ProgressWindow::SetValue(int value) {
  if (!counted_) bar_->setValue(value);
}

void ProgressWindow::SetCount(int64_t done, int64_t total, const QString& text) {
  if (total <= 0) {
    ClearCount();
    return;
  }
  counted_ = true;
  // A bar holds int; huge totals are scaled down.
  const int64_t scale = total / 1000000 + 1;
  bar_->setRange(0, static_cast<int>(total / scale));
  bar_->setValue(static_cast<int>(done / scale));
  bar_->setTextVisible(true);
  count_->setText(text);
  count_->show();
}

void ProgressWindow::ClearCount() {
  counted_ = false;
  bar_->setTextVisible(false);
  count_->clear();
  count_->hide();
}

void ProgressWindow::SetLabel(const QString& text) {
  label_->setText(fontMetrics().elidedText(text, Qt::ElideMiddle, label_->width()));
}

void ProgressWindow::changeEvent(QEvent* event) {
  // Back in front when it loses activation, unless the user is aborting.
  if (event->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible() && !AbortRequested())
    raise();
  QDialog::changeEvent(event);
}

void ProgressWindow::reject() { RequestAbort(); }

void ProgressWindow::closeEvent(QCloseEvent* event) {
  // Closing the window means Abort; the task closes it when it has unwound.
  RequestAbort();
  event->ignore();
}

}  // namespace snapcrate
