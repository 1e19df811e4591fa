#pragma once
// The one channel through which the core talks to the user. The Qt program,
// the batch front end and the tests each install their own implementation.

#include <cstdint>
#include <string>
#include <string_view>

namespace snapcrate {

class LogRing;

enum class MessageButtons { kOk, kOkCancel, kYesNo };
enum class MessageAnswer { kOk, kCancel, kYes, kNo };

class UiPort {
 public:
  virtual ~UiPort() = default;

  /// Modal message box titled "Snapcrate"; returns the button pressed.
  virtual MessageAnswer MessageBox(std::string_view text, MessageButtons buttons) = 0;
  /// Shows a fatal message; the caller ends the program right after.
  virtual void ShowFatal(std::string_view text) = 0;
  /// Handles pending user input (the place where an Abort click is seen).
  virtual void ProcessEvents() = 0;
  virtual void SetBusy(bool busy) = 0;
  /// A message was added to the log; `ring` holds the whole log.
  virtual void LogChanged(std::string_view message, const LogRing& ring) = 0;
  /// The log was emptied.
  virtual void LogCleared() {}
  virtual void ProgressShow() = 0;
  virtual void ProgressSetRange(int minimum, int maximum) = 0;
  /// `label` is null when the previous label stays.
  virtual void ProgressSetValue(int value, const std::string* label) = 0;
  /// Counted progress changed (see ProgressCountTotal); `text` is "n of m ...".
  virtual void ProgressCountChanged(int64_t done, int64_t total, const std::string& text) {
    (void)done, (void)total, (void)text;
  }
  virtual void ProgressHide() = 0;
  /// The settings dialog shown at the first start; returns true on OK.
  virtual bool RunSettingsDialog() = 0;
};

/// A port that shows nothing and answers every question with its first button.
class SilentUiPort : public UiPort {
 public:
  MessageAnswer MessageBox(std::string_view, MessageButtons buttons) override;
  void ShowFatal(std::string_view) override {}
  void ProcessEvents() override {}
  void SetBusy(bool) override {}
  void LogChanged(std::string_view, const LogRing&) override {}
  void ProgressShow() override {}
  void ProgressSetRange(int, int) override {}
  void ProgressSetValue(int, const std::string*) override {}
  void ProgressHide() override {}
  bool RunSettingsDialog() override { return false; }
};

/// The installed port (a silent one until a front end installs its own).
UiPort& Ui();
/// Installs `port` (not owned); null restores the silent port.
void SetUiPort(UiPort* port);

/// Thrown by FatalEnd after the message was shown; front ends catch it in main
/// and end the program, tests catch it to check the message.
struct FatalEndError {
  std::string message;
};

/// Shows `message` through the port and ends the program.
[[noreturn]] void FatalEnd(std::string_view message);

/// Message box with OK.
void ShowMessage(std::string_view text);

}  // namespace snapcrate
