#pragma once
// Starting outside programs: the unpacker on the first start, the document
// starter for help, and the user's image viewer.

#include <string>
#include <string_view>
#include <vector>

namespace snapcrate {

enum class WindowStyle { kHidden = 0, kNormal = 1 };

/// Splits a command line into arguments: blanks separate, double quotes group,
/// backslashes escape a following double quote.
std::vector<std::string> SplitCommandLine(std::string_view command_line);

/// Starts the command line without a shell; the process id, or -1 and a log line.
int RunProgram(const std::string& command_line, WindowStyle style);
/// Waits for a process started by RunProgram, processing events; its exit code.
int WaitForProcess(int process_id);

/// Unpacks home "__inst.zip" on the first start; true when it did.
bool FirstStartUnpack();
/// Opens the user manual with the document starter.
void ShowHelp();
/// Opens `image_path` with the configured viewer.
void OpenInViewer(const std::string& image_path);

}  // namespace snapcrate
