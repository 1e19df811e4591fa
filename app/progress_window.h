#pragma once
// "In Progress ...": a bar, the item in work and Abort. Not modal; it stays in
// front of the main window while a task runs.

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace snapcrate {

class ProgressWindow : public QDialog {
  Q_OBJECT
 public:
  explicit ProgressWindow(QWidget* parent = nullptr);

  void SetRange(int minimum, int maximum);
  void SetValue(int value);
  void SetLabel(const QString& text);

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QProgressBar* bar_;
  QLabel* label_;
  QPushButton* abort_;
};

}  // namespace snapcrate
