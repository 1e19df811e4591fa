#pragma once
// The About window: program version and the versions of the three libraries.

#include <QDialog>

namespace snapcrate {

class AboutWindow : public QDialog {
  Q_OBJECT
 public:
  explicit AboutWindow(QWidget* parent = nullptr);
};

}  // namespace snapcrate
