#include "app/main_window_logic.h"

#include "app/program_state.h"
#include "app/ui_port.h"

namespace snapcrate {

bool MainWindowLogic::NeedsInitialization(MainCommand command) {
  switch (command) {
    case MainCommand::kImport:
    case MainCommand::kAdjustDates:
    case MainCommand::kGenerateHtml:
    case MainCommand::kAddDescriptions:
      return true;
    default:
      return false;
  }
}

void MainWindowLogic::RunTask(const std::function<std::string()>& window, const std::function<void()>& task) {
  if (!window) return;
  if (window() != "OK" || !task) return;
  Ui().SetBusy(true);
  task();
  Ui().SetBusy(false);
}

void MainWindowLogic::Execute(MainCommand command) {
  if (NeedsInitialization(command) && !Program().initialized) return;
  auto call = [](const std::function<void()>& action) {
    if (action) action();
  };
  switch (command) {
    case MainCommand::kImport:
      RunTask(actions_.import_window, actions_.run_import);
      break;
    case MainCommand::kAdjustDates:
      RunTask(actions_.adjust_window, actions_.run_adjust);
      break;
    case MainCommand::kGenerateHtml:
      RunTask(actions_.generate_window, actions_.run_generate);
      break;
    case MainCommand::kAddDescriptions:
      call(actions_.description_editor);
      break;
    case MainCommand::kSettings:
      call(actions_.settings_dialog);
      break;
    case MainCommand::kAbout:
      call(actions_.about_window);
      break;
    case MainCommand::kHelp:
      call(actions_.help);
      break;
    case MainCommand::kGenerateThumbnailIndex:
    case MainCommand::kUpdateMasterIndex:
      ShowMessage(kNotImplementedMessage);
      break;
    case MainCommand::kEnd:
      call(actions_.end);
      break;
  }
}

}  // namespace snapcrate
