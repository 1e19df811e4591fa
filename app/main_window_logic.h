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
  /// Told when a task starts (true) and when it has stopped (false), so the
  /// window can grey out its commands meanwhile.
  std::function<void(bool)> task_running;
};

inline constexpr std::string_view kNotImplementedMessage = "Sorry! Not yet implemented!";
inline constexpr std::string_view kAbortToEndQuestion =
    "A task is still running.\r\nAbort it and end Snapcrate when it has stopped?";

class MainWindowLogic {
 public:
  explicit MainWindowLogic(MainCommandActions actions) : actions_(std::move(actions)) {}

  /// Runs a command; task commands do nothing until start-up has completed.
  /// While a task runs (its progress lets events through) every command is
  /// refused, except End, which goes through RequestEnd.
  void Execute(MainCommand command);

  /// End or closing the main window. True when the program may end now; while
  /// a task runs, asks whether to abort it and, on Yes, aborts it and ends the
  /// program once the task has stopped.
  bool RequestEnd();

  bool TaskRunning() const { return task_running_; }
  bool EndPending() const { return end_pending_; }

  /// True for the commands that wait for the initialised flag.
  static bool NeedsInitialization(MainCommand command);

 private:
  void RunTask(const std::function<std::string()>& window, const std::function<void()>& task);

  MainCommandActions actions_;
  bool task_running_ = false;
  bool end_pending_ = false;
};

}  // namespace snapcrate
