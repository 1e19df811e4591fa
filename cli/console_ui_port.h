#pragma once
// The batch front end's UI port: log lines and messages go to standard output as
// they happen, progress is a bar on a terminal, Ctrl-C asks for an abort.

#include <string>

#include "app/ui_port.h"

namespace snapcrate::cli {

class ConsoleUiPort : public UiPort {
 public:
  ConsoleUiPort();
  ~ConsoleUiPort() override;

  MessageAnswer MessageBox(std::string_view text, MessageButtons buttons) override;
  void ShowFatal(std::string_view text) override;
  void ProcessEvents() override;
  void SetBusy(bool) override {}
  void LogChanged(std::string_view message, const LogRing& ring) override;
  void ProgressShow() override;
  void ProgressSetRange(int minimum, int maximum) override;
  void ProgressSetValue(int value, const std::string* label) override;
  void ProgressHide() override;
  bool RunSettingsDialog() override;

 private:
  void ClearBar();
  void DrawBar();

  bool terminal_;
  bool bar_shown_ = false;
  int minimum_ = 1;
  int maximum_ = 2;
  int value_ = 1;
  std::string label_;
  int64_t last_draw_ = 0;
};

/// Turns Ctrl-C into an abort request (a second Ctrl-C ends the program).
void InstallInterruptHandler();

}  // namespace snapcrate::cli
