#pragma once
// "Edit Album Configuration": a thin view over ConfigEditor.

#include <QDialog>
#include <array>

#include "app/schemes/config_editor.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollBar;

namespace snapcrate {

class ConfigEditorWindow : public QDialog {
  Q_OBJECT
 public:
  /// The window on the edit buffer `buffer`; the result starts as "Cancel".
  explicit ConfigEditorWindow(AlbumConfig& buffer, QWidget* parent = nullptr);

  /// Opens the editor modally on `buffer`; true when OK closed it.
  static bool Edit(AlbumConfig& buffer, QWidget* parent);

  ConfigEditor& editor() { return editor_; }
  /// The controls as the logic left them.
  void ShowState();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildHead();
  QWidget* BuildList();
  QWidget* BuildEntry();
  int ChooseScheme(int preselected);
  /// Runs an action of the logic, then shows its state.
  void Run(const std::function<void()>& action);
  void ShowSizes();
  void ShowCounts();
  void Accept();

  ConfigEditor editor_;
  bool updating_ = false;  // the window itself is changing controls
  QWidget* chooser_anchor_ = nullptr;

  QLineEdit* name_ = nullptr;
  QLineEdit* description_ = nullptr;
  QLineEdit* main_scheme_ = nullptr;
  QLabel* main_preview_ = nullptr;
  QListWidget* list_ = nullptr;
  QPushButton* delete_ = nullptr;
  QPushButton* up_ = nullptr;
  QPushButton* down_ = nullptr;
  QWidget* entry_ = nullptr;
  QLabel* entry_preview_ = nullptr;
  std::array<QComboBox*, kSizeComboCount> sizes_{};
  std::array<QLineEdit*, kCountBarCount> count_texts_{};
  std::array<QScrollBar*, kCountBarCount> bars_{};
};

}  // namespace snapcrate
