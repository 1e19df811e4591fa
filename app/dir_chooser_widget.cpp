#include "app/dir_chooser_widget.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QEvent>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
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

  places_ = new QToolButton(this);
  places_->setObjectName(dir_name + "Places");
  places_->setIcon(style()->standardIcon(QStyle::SP_DirHomeIcon));
  places_->setToolTip("Places: home, pictures and removable media");
  places_->setPopupMode(QToolButton::InstantPopup);
  places_->setMenu(new QMenu(places_));
  connect(places_->menu(), &QMenu::aboutToShow, this, &DirChooserWidget::FillPlaces);
  auto* new_folder = new QToolButton(this);
  new_folder->setObjectName(dir_name + "NewFolder");
  new_folder->setIcon(style()->standardIcon(QStyle::SP_FileDialogNewFolder));
  new_folder->setToolTip("Make a new folder in the shown one");
  connect(new_folder, &QToolButton::clicked, this, &DirChooserWidget::AskNewFolder);

  path_ = new QLineEdit(this);
  path_->setObjectName(dir_name + "Path");
  path_->setToolTip("Type or paste a folder and press Enter");
  path_->setClearButtonEnabled(true);
  completion_model_ = new QFileSystemModel(this);
  completion_model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
  completion_model_->setRootPath("/");
  auto* completer = new QCompleter(completion_model_, path_);
  completer->setCompletionMode(QCompleter::PopupCompletion);
  path_->setCompleter(completer);
  path_->installEventFilter(this);

  auto* row = new QHBoxLayout;
  row->addWidget(drives_, 1);
  row->addWidget(places_);
  row->addWidget(new_folder);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(row);
  layout->addWidget(path_);
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
  path_->setText(ToQString(chooser_.directory()));
  syncing_ = false;
  scroll_pending_ = true;
  ShowCurrent();
}

bool DirChooserWidget::GoToTypedPath() {
  QString typed = path_->text().trimmed();
  if (typed.startsWith("~")) typed = QDir::homePath() + typed.mid(1);
  if (typed.isEmpty() || !QDir::isAbsolutePath(typed) || !IsDirectory(ToBytes(typed))) {
    QApplication::beep();
    return false;
  }
  ChooseDirectory(QDir::cleanPath(typed));
  return true;
}

bool DirChooserWidget::MakeFolder(const QString& name) {
  const QString trimmed = name.trimmed();
  const QString parent = ToQString(chooser_.directory());
  if (trimmed.isEmpty() || trimmed.contains('/') || trimmed == "." || trimmed == ".." ||
      !QDir(parent).mkdir(trimmed)) {
    QMessageBox::warning(this, "Snapcrate", "Can't make the folder \"" + trimmed + "\" in " + parent);
    return false;
  }
  ChooseDirectory(QDir(parent).filePath(trimmed));
  return true;
}

void DirChooserWidget::SetHiddenShown(bool shown) {
  // Dot-folders hold settings and caches, rarely pictures: hidden unless asked.
  QDir::Filters filter = QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives;
  if (shown) filter |= QDir::Hidden;
  model_->setFilter(filter);
  completion_model_->setFilter(filter & ~QDir::Drives);
}

void DirChooserWidget::FillPlaces() {
  QMenu* menu = places_->menu();
  menu->clear();
  auto add = [this, menu](const QString& caption, const std::string& path) {
    QAction* action = menu->addAction(caption);
    action->setToolTip(ToQString(path));
    connect(action, &QAction::triggered, this, [this, path] { ChooseDirectory(ToQString(path)); });
  };
  const std::string home = GetUserHomeDir();
  add("&Home", home);
  if (const std::string pictures = GetUserPicturesDir(); pictures != home) add("&Pictures", pictures);
  for (const std::string& volume : chooser_.volumes())
    if (volume != "/" && volume != home) add(ToQString(volume), volume);
  menu->addSeparator();
  QAction* hidden = menu->addAction("Show hidden folders");
  hidden->setCheckable(true);
  hidden->setChecked(model_->filter().testFlag(QDir::Hidden));
  connect(hidden, &QAction::toggled, this, &DirChooserWidget::SetHiddenShown);
}

void DirChooserWidget::AskNewFolder() {
  bool ok = false;
  const QString name = QInputDialog::getText(this, "New Folder", "&Name of the new folder in " +
                                             ToQString(chooser_.directory()) + ":", QLineEdit::Normal, {}, &ok);
  if (ok) MakeFolder(name);
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
  if (watched == path_) {
    // Enter in the path field goes there; it must not press the dialog's default button.
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        GoToTypedPath();
        return true;
      }
    }
    return QWidget::eventFilter(watched, event);
  }
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
