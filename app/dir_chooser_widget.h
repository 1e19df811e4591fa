#pragma once
// The drive list and directory list of the dialogs: a combo box of mounted
// volumes, places and a new-folder button, a path field that takes typed or
// pasted paths (with completion), over a tree of the directories. It shows a
// DirChooser that the window's logic owns.

#include <QWidget>

class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QToolButton;
class QTreeView;
class QModelIndex;

namespace snapcrate {

class DirChooser;

class DirChooserWidget : public QWidget {
  Q_OBJECT
 public:
  /// `drive_name` and `dir_name` become the two controls' object names.
  DirChooserWidget(DirChooser& chooser, const QString& drive_name, const QString& dir_name,
                   QWidget* parent = nullptr);

  /// Shows the chooser's volume and directory again (after the logic moved it).
  void Sync();
  /// Points the chooser at `path` as a choice in the tree does.
  void ChooseDirectory(const QString& path);
  /// Picks the volume at `index` as the drive list does.
  void ChooseDrive(int index);

  QComboBox* drive_list() const { return drives_; }
  QTreeView* dir_list() const { return tree_; }
  QLineEdit* path_field() const { return path_; }

  /// Goes to the path typed into the path field; false (and a beep) when it
  /// names no directory.
  bool GoToTypedPath();
  /// Makes `name` in the shown directory and goes there; false when it failed.
  bool MakeFolder(const QString& name);
  void SetHiddenShown(bool shown);

 signals:
  /// The user chose a directory or a volume; the chooser already shows it.
  void directoryChanged();

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CurrentChanged(const QModelIndex& index);
  void ShowCurrent();
  void DirectoryLoaded(const QString& path);
  void FillPlaces();
  void AskNewFolder();

  DirChooser& chooser_;
  QComboBox* drives_;
  QTreeView* tree_;
  QFileSystemModel* model_;
  QFileSystemModel* completion_model_;
  QLineEdit* path_;
  QToolButton* places_;
  bool syncing_ = false;
  // The directory model reads and sorts directories in the background, which
  // moves the rows; until the user takes over, the tree follows the shown
  // directory.
  bool scroll_pending_ = false;
};

}  // namespace snapcrate
