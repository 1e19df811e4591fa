#pragma once
// "In Progress ...": a bar, the item in work and Abort. Not modal; it stays in
// front of its main window (not of other programs) while a task runs.

#include <QDialog>
#include <cstdint>

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
  /// From now until ClearCount the bar shows `done` of `total` and the count
  /// line shows `text`.
  void SetCount(int64_t done, int64_t total, const QString& text);
  void ClearCount();
  /// Escape asks to abort, as the button does; the task closes the window.
  void reject() override;

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QProgressBar* bar_;
  QLabel* label_;
  QLabel* count_;
  bool counted_ = false;
  QPushButton* abort_;
};

}  // namespace snapcrate
