#include "app/main_window_logic.h"

#include "app/program_state.h"
#include "app/progress.h"
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
  // Cleared however the task leaves (a fatal end passes through as an exception).
  struct Running {
    MainWindowLogic& logic;
    explicit Running(MainWindowLogic& l) : logic(l) {
      logic.task_running_ = true;
      if (logic.actions_.task_running) logic.actions_.task_running(true);
      Ui().SetBusy(true);
    }
    ~Running() {
      Ui().SetBusy(false);
      logic.task_running_ = false;
      if (logic.actions_.task_running) logic.actions_.task_running(false);
    }
  };
  {
    Running running(*this);
    task();
  }
  if (end_pending_) {
    end_pending_ = false;
    if (actions_.end) actions_.end();
  }
}

bool MainWindowLogic::RequestEnd() {
  if (!task_running_) return true;
  if (end_pending_) return false;  // already asked and answered Yes
  if (Ui().MessageBox(kAbortToEndQuestion, MessageButtons::kYesNo) != MessageAnswer::kYes) return false;
  end_pending_ = true;
  RequestAbort();
  return false;
}

void MainWindowLogic::Execute(MainCommand command) {
  if (task_running_) {
    if (command == MainCommand::kEnd && RequestEnd() && actions_.end) actions_.end();
    return;
  }
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
