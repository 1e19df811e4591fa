#pragma once
// "Import Media Files Options": the three import switches.

#include <QDialog>

class QCheckBox;

namespace snapcrate {

struct ImportOptions;

class ImportOptionsWindow : public QDialog {
  Q_OBJECT
 public:
  /// Shows `options`; OK writes the boxes back into them, Cancel leaves them.
  explicit ImportOptionsWindow(ImportOptions& options, QWidget* parent = nullptr);

 private:
  void Accept();

  ImportOptions& options_;
  QCheckBox* log_file_;
  QCheckBox* add_orig_filename_;
  QCheckBox* exif_jpeg_only_;
};

}  // namespace snapcrate
