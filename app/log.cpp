#include "app/log.h"

#include "app/ui_port.h"

namespace snapcrate {

void LogRing::Add(std::string_view message) {
  slots_[write_] = message;
  write_ = (write_ + 1) % kSlots;
  if (write_ == read_) read_ = (read_ + 1) % kSlots;
}

void LogRing::Clear() {
  write_ = 0;
  read_ = 0;
  for (auto& slot : slots_) slot.clear();
}

std::vector<std::string> LogRing::Messages() const {
  std::vector<std::string> messages;
  for (int i = read_; i != write_; i = (i + 1) % kSlots) messages.push_back(slots_[i]);
  return messages;
}

std::string LogRing::DisplayText() const {
  std::string text;
  for (int i = read_; i != write_; i = (i + 1) % kSlots) {
    text += slots_[i];
    text += "\r\n";
  }
  return text;
}

LogRing& Log() {
  static LogRing ring;
  return ring;
}

void LogMessage(std::string_view message) {
  Log().Add(message);
  Ui().LogChanged(message, Log());
  Ui().ProcessEvents();
}

void ClearLog() {
  Log().Clear();
  Ui().LogCleared();
}

}  // namespace snapcrate
