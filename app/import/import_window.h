#pragma once
// "Snapcrate - Import Media Files": source and destination, the options, OK.

#include <QDialog>

#include "app/import/import_dialog.h"

class QLabel;

namespace snapcrate {

class DirChooserWidget;

class ImportWindow : public QDialog {
  Q_OBJECT
 public:
  explicit ImportWindow(QWidget* parent = nullptr, ImportRequest& request = CurrentImportRequest());

  ImportDialog& dialog() { return dialog_; }
  /// A dry run of the chosen import: its summary box, and in the window the
  /// count and the first new names.
  void ShowPlan();
  /// Cancel, Escape and the close box; during a dry run they abort it.
  void reject() override;

 private:
  void ShowPaths();
  void Accept();

  ImportDialog dialog_;
  DirChooserWidget* source_ = nullptr;
  DirChooserWidget* destination_ = nullptr;
  QLabel* source_path_ = nullptr;
  QLabel* destination_path_ = nullptr;
  QLabel* plan_ = nullptr;
  bool planning_ = false;
};

}  // namespace snapcrate
