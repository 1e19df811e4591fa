#include "app/ui_port.h"

namespace snapcrate {
namespace {
SilentUiPort silent_port;
UiPort* current_port = &silent_port;
}  // namespace

MessageAnswer SilentUiPort::MessageBox(std::string_view, MessageButtons buttons) {
  return buttons == MessageButtons::kYesNo ? MessageAnswer::kYes : MessageAnswer::kOk;
}

UiPort& Ui() { return *current_port; }

void SetUiPort(UiPort* port) { current_port = port ? port : &silent_port; }

void FatalEnd(std::string_view message) {
  current_port->ShowFatal(message);
  throw FatalEndError{std::string(message)};
}

void ShowMessage(std::string_view text) { current_port->MessageBox(text, MessageButtons::kOk); }

}  // namespace snapcrate
