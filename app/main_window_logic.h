#pragma once
// The main window's commands without the window: the gate on the initialised
// flag, the unavailable items, and the task pattern.

#include <functional>
#include <string>

namespace snapcrate {

enum class MainCommand {
  kImport,
  kAdjustDates,
  kGenerateHtml,
  kAddDescriptions,
  kSettings,
  kAbout,
  kHelp,
  kGenerateThumbnailIndex,
  kUpdateMasterIndex,
  kEnd,
};

/// What each command does; a window that is not there yet stays empty.
struct MainCommandActions {
  /// Each task window returns its result text; the task runs when it is "OK".
  std::function<std::string()> import_window;
  std::function<void()> run_import;
  std::function<std::string()> adjust_window;
  std::function<void()> run_adjust;
  std::function<std::string()> generate_window;
  std::function<void()> run_generate;
  std::function<void()> description_editor;
  std::function<void()> settings_dialog;
  std::function<void()> about_window;
  std::function<void()> help;
  std::function<void()> end;
};

inline constexpr std::string_view kNotImplementedMessage = "Sorry! Not yet implemented!";

class MainWindowLogic {
 public:
  explicit MainWindowLogic(MainCommandActions actions) : actions_(std::move(actions)) {}

  /// Runs a command; task commands do nothing until start-up has completed.
  void Execute(MainCommand command);

  /// True for the commands that wait for the initialised flag.
  static bool NeedsInitialization(MainCommand command);

 private:
  void RunTask(const std::function<std::string()>& window, const std::function<void()>& task);

  MainCommandActions actions_;
};

}  // namespace snapcrate
