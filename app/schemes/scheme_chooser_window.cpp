#include "app/schemes/scheme_chooser_window.h"

#include <algorithm>

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "app/schemes/scheme_record.h"

namespace snapcrate {

SchemeChooserWindow::SchemeChooserWindow(int preselected, QWidget* parent) : QDialog(parent) {
  setObjectName("SC_SelectAlbumScheme");
  setWindowTitle("Select Album Scheme");
  list_ = new QListWidget(this);
  list_->setObjectName("List1");
  for (const Scheme& scheme : Schemes()) {
    auto* item = new QListWidgetItem(ToQString(scheme.name), list_);
    item->setToolTip(ToQString(scheme.description));
  }
  if (preselected >= 0 && preselected < list_->count())
    list_->setCurrentRow(preselected);
  else if (list_->count() > 0)
    list_->setCurrentRow(0);
  // Enter reaches the list first; it reports the row as activated.
  connect(list_, &QListWidget::activated, this, &SchemeChooserWindow::ChooseCurrent);
  connect(list_, &QListWidget::doubleClicked, this, &SchemeChooserWindow::ChooseCurrent);
  auto* hint = new QLabel("Double-click a scheme or press Enter; Escape cancels.", this);
  hint->setWordWrap(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addWidget(hint);
  const int rows = std::max(3, std::min(list_->count(), 10));
  const int row_height = std::max(list_->sizeHintForRow(0), list_->fontMetrics().height() + 2);
  list_->setFixedHeight(row_height * rows + 2 * list_->frameWidth() + 4);
  resize(280, sizeHint().height());
}

void SchemeChooserWindow::ChooseCurrent() {
  choice_ = list_->currentRow();
  accept();
}

void SchemeChooserWindow::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      ChooseCurrent();
      return;
    case Qt::Key_Escape:
      choice_ = -1;
      reject();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

int SchemeChooserWindow::Choose(int preselected, QWidget* anchor) {
  SchemeChooserWindow chooser(preselected, anchor ? anchor->window() : nullptr);
  if (anchor) chooser.move(anchor->mapToGlobal(QPoint(0, 0)));
  chooser.exec();
  return chooser.choice();
}

}  // namespace snapcrate
