#include "cli/console_ui_port.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "app/progress.h"

namespace snapcrate::cli {
namespace {

constexpr int kBarWidth = 30;
constexpr int64_t kRedrawMilliseconds = 100;

void OnInterrupt(int) { RequestAbort(); }

void WriteLine(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

}  // namespace

void InstallInterruptHandler() {
  struct sigaction action = {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  // No restart: a call blocked in the system (an open that waits for a
  // device or a pipe) returns, and the run sees the abort at its next check.
  // A second Ctrl-C ends the program at once.
  action.sa_flags = SA_RESETHAND;
  sigaction(SIGINT, &action, nullptr);
}

ConsoleUiPort::ConsoleUiPort() : terminal_(isatty(STDERR_FILENO) == 1) { SetUiPort(this); }

ConsoleUiPort::~ConsoleUiPort() {
  ClearBar();
  SetUiPort(nullptr);
}

MessageAnswer ConsoleUiPort::MessageBox(std::string_view text, MessageButtons buttons) {
  ClearBar();
  WriteLine(text);
  // Batch runs cannot ask: they take the button that goes on.
  return buttons == MessageButtons::kYesNo ? MessageAnswer::kYes : MessageAnswer::kOk;
}

void ConsoleUiPort::ShowFatal(std::string_view text) {
  ClearBar();
  WriteLine(text);
}

void ConsoleUiPort::ProcessEvents() {
  if (bar_shown_ && TickMilliseconds() - last_draw_ >= kRedrawMilliseconds) DrawBar();
}

void ConsoleUiPort::LogChanged(std::string_view message, const LogRing&) {
  ClearBar();
  WriteLine(message);
}

void ConsoleUiPort::ProgressShow() {
  bar_shown_ = terminal_;
  label_.clear();
}

void ConsoleUiPort::ProgressSetRange(int minimum, int maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
  value_ = minimum;
}

void ConsoleUiPort::ProgressSetValue(int value, const std::string* label) {
  value_ = value;
  if (label) label_ = *label;
}

void ConsoleUiPort::ProgressHide() {
  ClearBar();
  bar_shown_ = false;
}

bool ConsoleUiPort::RunSettingsDialog() {
  WriteLine("Edit the copyright text for generated pages in the desktop program's settings.");
  return false;
}

void ConsoleUiPort::DrawBar() {
  last_draw_ = TickMilliseconds();
  const int span = std::max(1, maximum_ - minimum_);
  const int done = std::clamp((value_ - minimum_) * kBarWidth / span, 0, kBarWidth);
  std::string line = "\r[" + std::string(done, '#') + std::string(kBarWidth - done, ' ') + "] ";
  line += label_.substr(0, 45);
  line += "\033[K";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

void ConsoleUiPort::ClearBar() {
  if (!bar_shown_) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  last_draw_ = 0;
}

}  // namespace snapcrate::cli
