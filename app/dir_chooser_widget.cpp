#include "app/dir_chooser_widget.h"

#include <QComboBox>
#include <QFileSystemModel>
#include <QEvent>
#include <QHeaderView>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/dir_chooser.h"
#include "app/paths.h"
#include "app/qt_text.h"

namespace snapcrate {

DirChooserWidget::DirChooserWidget(DirChooser& chooser, const QString& drive_name, const QString& dir_name,
                                   QWidget* parent)
    : QWidget(parent), chooser_(chooser) {
  drives_ = new QComboBox(this);
  drives_->setObjectName(drive_name);
  for (const std::string& volume : chooser_.volumes()) drives_->addItem(ToQString(volume));
  drives_->setToolTip("Mounted volumes: the root, your home directory and removable media");

  model_ = new QFileSystemModel(this);
  model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
  model_->setReadOnly(true);
  model_->setRootPath("/");
  tree_ = new QTreeView(this);
  tree_->setObjectName(dir_name);
  tree_->setModel(model_);
  tree_->setRootIndex(model_->index("/"));
  // The name column only: sizes and dates of directories say nothing here.
  for (int column = 1; column < model_->columnCount(); ++column) tree_->hideColumn(column);
  tree_->header()->hide();
  tree_->setMinimumSize(220, 160);
  tree_->setUniformRowHeights(true);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(drives_);
  layout->addWidget(tree_, 1);

  connect(drives_, &QComboBox::activated, this, &DirChooserWidget::ChooseDrive);
  connect(model_, &QFileSystemModel::directoryLoaded, this, &DirChooserWidget::DirectoryLoaded);
  connect(model_, &QAbstractItemModel::layoutChanged, this, [this] {
    if (scroll_pending_) ShowCurrent();
  });
  tree_->installEventFilter(this);
  tree_->viewport()->installEventFilter(this);
  connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) { CurrentChanged(current); });
  Sync();
}

void DirChooserWidget::Sync() {
  syncing_ = true;
  const auto& volumes = chooser_.volumes();
  for (size_t i = 0; i < volumes.size(); ++i)
    if (volumes[i] == chooser_.volume()) drives_->setCurrentIndex(static_cast<int>(i));
  syncing_ = false;
  scroll_pending_ = true;
  ShowCurrent();
}

void DirChooserWidget::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // A hidden tree has no height to scroll in; once laid out it can.
  QTimer::singleShot(0, this, [this] { ShowCurrent(); });
}

void DirChooserWidget::ShowCurrent() {
  const QModelIndex index = model_->index(ToQString(chooser_.directory()));
  if (!index.isValid()) return;
  syncing_ = true;
  tree_->setCurrentIndex(index);
  tree_->expand(index);
  tree_->scrollTo(index, QAbstractItemView::PositionAtCenter);
  syncing_ = false;
}

void DirChooserWidget::DirectoryLoaded(const QString& path) {
  if (!scroll_pending_) return;
  const QString directory = ToQString(chooser_.directory());
  const QString prefix = path.endsWith('/') ? path : path + "/";
  if (directory != path && !directory.startsWith(prefix)) return;
  ShowCurrent();
}

bool DirChooserWidget::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
    case QEvent::KeyPress:
      scroll_pending_ = false;
      break;
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

void DirChooserWidget::ChooseDirectory(const QString& path) {
  SetDirAndDriveControl(ToBytes(path), chooser_);
  Sync();
  emit directoryChanged();
}

void DirChooserWidget::ChooseDrive(int index) {
  if (index < 0) return;
  DriveChanged(static_cast<size_t>(index), chooser_);
  Sync();
  emit directoryChanged();
}

void DirChooserWidget::CurrentChanged(const QModelIndex& index) {
  if (syncing_ || !index.isValid()) return;
  const QString path = model_->filePath(index);
  if (ToBytes(path) == chooser_.directory()) return;
  ChooseDirectory(path);
}

}  // namespace snapcrate
