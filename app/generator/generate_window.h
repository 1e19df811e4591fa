#pragma once
// "Snapcrate - Generate HTML Pages": a thin view over GenerateDialog.

#include <QDialog>
#include <array>
#include <functional>
#include <optional>

#include "app/generator/generate_dialog.h"
#include "app/ui_port.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QPlainTextEdit;

namespace snapcrate {

class DirChooserWidget;

class GenerateWindow : public QDialog {
  Q_OBJECT
 public:
  /// Opening rereads the schemes and configurations; a fatal error there
  /// leaves the constructor as FatalEndError.
  explicit GenerateWindow(QWidget* parent = nullptr,
                          GenerationRequest& request = CurrentGenerationRequest());

  GenerateDialog& dialog() { return dialog_; }
  /// The window as the logic left it.
  void ShowState();
  /// exec(); a fatal error met while the window was open is passed on here as
  /// FatalEndError, after the window closed.
  int RunModal();
  void reject() override;

 private:
  QWidget* BuildConfigFrame();
  QWidget* BuildRatingsFrame();
  void Run(const std::function<void()>& action);
  void ShowRatings();
  void Accept();
  void Cancel();

  GenerateDialog dialog_;
  bool updating_ = false;  // the window itself is changing controls
  std::optional<FatalEndError> fatal_;

  QComboBox* configs_ = nullptr;
  QPlainTextEdit* config_text_ = nullptr;
  DirChooserWidget* source_ = nullptr;
  DirChooserWidget* destination_ = nullptr;
  QButtonGroup* quality_ = nullptr;
  QButtonGroup* originality_ = nullptr;
  QCheckBox* auto_orient_ = nullptr;
};

}  // namespace snapcrate
