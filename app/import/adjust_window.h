#pragma once
// "Adjust Exif Date & Time": the directory, the offset and its sign.

#include <QDialog>
#include <array>

#include "app/import/adjust_dialog.h"

class QLabel;
class QLineEdit;
class QRadioButton;
class QScrollBar;

namespace snapcrate {

class DirChooserWidget;

class AdjustWindow : public QDialog {
  Q_OBJECT
 public:
  explicit AdjustWindow(QWidget* parent = nullptr);

  AdjustDialog& dialog() { return dialog_; }

 private:
  void ShowField(OffsetField field);
  void ShowSummary();
  void Accept();

  AdjustDialog dialog_;
  // Set while a field or its bar is updated from the other, so that the change
  // this causes is not handled a second time.
  bool updating_ = false;
  std::array<QLineEdit*, kOffsetFieldCount> texts_{};
  std::array<QScrollBar*, kOffsetFieldCount> bars_{};
  QLabel* sign_ = nullptr;
  QLabel* summary_ = nullptr;
};

}  // namespace snapcrate
