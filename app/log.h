#pragma once
// The log: a ring of the last 100 messages, shown in the log window.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace snapcrate {

class LogRing {
 public:
  static constexpr int kSlots = 101;  // one slot stays free: at most 100 messages

  void Add(std::string_view message);
  void Clear();
  /// The messages, oldest first.
  std::vector<std::string> Messages() const;
  /// Every message followed by CR LF, oldest first: the log window's text.
  std::string DisplayText() const;

 private:
  std::array<std::string, kSlots> slots_;
  int write_ = 0;
  int read_ = 0;
};

/// The program's log.
LogRing& Log();
/// Appends to the log, shows it and processes pending events.
void LogMessage(std::string_view message);
void ClearLog();

}  // namespace snapcrate
