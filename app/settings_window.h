#pragma once
// "Settings - Snapcrate": the copyright text for generated pages.

#include <QDialog>

class QPlainTextEdit;

namespace snapcrate {

class SettingsWindow : public QDialog {
  Q_OBJECT
 public:
  explicit SettingsWindow(QWidget* parent = nullptr);

 private:
  void Accept();
  QPlainTextEdit* text_;
};

}  // namespace snapcrate
