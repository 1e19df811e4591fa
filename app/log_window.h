#pragma once
// The log window: a child of the main window that always shows the whole log.

#include <QWidget>

class QPlainTextEdit;

namespace snapcrate {

class LogRing;

class LogWindow : public QWidget {
  Q_OBJECT
 public:
  explicit LogWindow(QWidget* parent = nullptr);
  void ShowRing(const LogRing& ring);
  QString Text() const;

 private:
  QPlainTextEdit* text_;
};

}  // namespace snapcrate
