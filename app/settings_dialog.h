#pragma once
// The settings dialog without the window: the copyright text for generated pages.

#include <string>

namespace snapcrate {

/// The text shown when the dialog opens: the Copyright setting, "<br>" as CR LF.
std::string SettingsDialogText();
/// OK: stores `text` (CR LF or LF line breaks) as the Copyright setting with "<br>".
void ConfirmSettingsDialog(const std::string& text);

}  // namespace snapcrate
