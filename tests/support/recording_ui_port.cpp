#include "tests/support/recording_ui_port.h"

#include "app/progress.h"

namespace snapcrate::testing {

MessageAnswer RecordingUiPort::MessageBox(std::string_view text, MessageButtons buttons) {
  messages.emplace_back(text);
  if (!answers.empty()) {
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  return buttons == MessageButtons::kYesNo ? MessageAnswer::kYes : MessageAnswer::kOk;
}

void RecordingUiPort::ProcessEvents() {
  ++events_processed;
  if (abort_at_event > 0 && events_processed == abort_at_event) RequestAbort();
}

void RecordingUiPort::LogChanged(std::string_view message, const LogRing&) {
  log_lines.emplace_back(message);
}

void RecordingUiPort::ProgressSetRange(int minimum, int maximum) {
  progress_minimum = minimum;
  progress_maximum = maximum;
}

void RecordingUiPort::ProgressSetValue(int value, const std::string* label) {
  progress_value = value;
  if (label) progress_labels.push_back(*label);
}

}  // namespace snapcrate::testing
