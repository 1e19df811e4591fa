#pragma once
// A UI port for tests: records every message, log line and progress change, and
// answers questions from a queue.

#include <deque>
#include <string>
#include <vector>

#include "app/ui_port.h"

namespace snapcrate::testing {

class RecordingUiPort : public UiPort {
 public:
  RecordingUiPort() { SetUiPort(this); }
  ~RecordingUiPort() override { SetUiPort(nullptr); }

  MessageAnswer MessageBox(std::string_view text, MessageButtons buttons) override;
  void ShowFatal(std::string_view text) override { fatal_messages.emplace_back(text); }
  void ProcessEvents() override;
  void SetBusy(bool busy) override { busy_ = busy; }
  void LogChanged(std::string_view message, const LogRing& ring) override;
  void ProgressShow() override { progress_visible = true; }
  void ProgressSetRange(int minimum, int maximum) override;
  void ProgressSetValue(int value, const std::string* label) override;
  void ProgressHide() override { progress_visible = false; }
  bool RunSettingsDialog() override {
    ++settings_dialogs;
    return false;
  }

  std::vector<std::string> messages;        // message box texts
  std::vector<std::string> fatal_messages;
  std::vector<std::string> log_lines;       // every logged message, in order
  std::deque<MessageAnswer> answers;        // answers to questions; default: first button
  std::vector<std::string> progress_labels;
  int progress_value = 0;
  int progress_minimum = 0;
  int progress_maximum = 0;
  bool progress_visible = false;
  int settings_dialogs = 0;
  int events_processed = 0;
  /// Requests an abort at this ProcessEvents call (counted from 1); 0 = never.
  int abort_at_event = 0;

 private:
  bool busy_ = false;
};

}  // namespace snapcrate::testing
