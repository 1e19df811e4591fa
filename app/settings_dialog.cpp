#include "app/settings_dialog.h"

#include "app/program_state.h"
#include "app/settings.h"
#include "app/text.h"

namespace snapcrate {

std::string SettingsDialogText() { return ReplaceAll(ReadSetting("Copyright", ""), "<br>", "\r\n"); }

void ConfirmSettingsDialog(const std::string& text) {
  // Text fields hand over LF line breaks; stored values know only "<br>".
  const std::string one_line = ReplaceAll(ReplaceAll(ReplaceAll(text, "\r\n", "\n"), "\r", "\n"), "\n", "<br>");
  WriteSettings({{"Copyright", one_line}});
  Program().copyright = one_line;
}

}  // namespace snapcrate
