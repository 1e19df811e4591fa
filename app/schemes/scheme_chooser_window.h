#pragma once
// The small scheme chooser: the loaded schemes in a list; a double click or
// Enter chooses, Escape chooses nothing.

#include <QDialog>

class QListWidget;

namespace snapcrate {

class SchemeChooserWindow : public QDialog {
  Q_OBJECT
 public:
  /// `preselected`: 0-based scheme index shown selected, or -1.
  explicit SchemeChooserWindow(int preselected, QWidget* parent = nullptr);

  /// The chosen 0-based scheme index, or -1.
  int choice() const { return choice_; }

  /// Opens the chooser at the screen position of `anchor` (the button that
  /// opened it) and answers the choice.
  static int Choose(int preselected, QWidget* anchor);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ChooseCurrent();

  QListWidget* list_;
  int choice_ = -1;
};

}  // namespace snapcrate
