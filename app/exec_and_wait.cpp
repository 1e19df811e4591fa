#include "app/exec_and_wait.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <map>
#include <thread>

#include "app/file_lib.h"
#include "app/log.h"
#include "app/paths.h"
#include "app/program_state.h"
#include "app/settings.h"
#include "app/text.h"
#include "app/ui_port.h"

namespace snapcrate {
namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(100);

// Children nobody waits for (viewers, help) are reaped here so they leave no
// zombies; their codes stay available to a later WaitForProcess.
std::map<int, int>& FinishedChildren() {
  static std::map<int, int> finished;
  return finished;
}
std::vector<int>& RunningChildren() {
  static std::vector<int> running;
  return running;
}

int ExitCodeOf(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

void ReapFinishedChildren() {
  auto& running = RunningChildren();
  for (auto it = running.begin(); it != running.end();) {
    int status = 0;
    if (waitpid(*it, &status, WNOHANG) == *it) {
      FinishedChildren()[*it] = ExitCodeOf(status);
      it = running.erase(it);
    } else {
      ++it;
    }
  }
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> args;
  size_t i = 0;
  while (true) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) break;
    std::string arg;
    bool in_quotes = false;
    while (i < line.size() && (in_quotes || (line[i] != ' ' && line[i] != '\t'))) {
      if (line[i] == '\\') {
        size_t backslashes = 0;
        while (i < line.size() && line[i] == '\\') ++backslashes, ++i;
        if (i < line.size() && line[i] == '"') {
          arg.append(backslashes / 2, '\\');
          if (backslashes % 2 == 1) {
            arg.push_back('"');
            ++i;
          }
        } else {
          arg.append(backslashes, '\\');
        }
      } else if (line[i] == '"') {
        in_quotes = !in_quotes;
        ++i;
      } else {
        arg.push_back(line[i++]);
      }
    }
    args.push_back(std::move(arg));
  }
  return args;
}

int RunProgram(const std::string& command_line, WindowStyle style) {
  ReapFinishedChildren();
  const std::vector<std::string> args = SplitCommandLine(command_line);
  if (args.empty()) {
    LogMessage("Command failed: " + command_line);
    return -1;
  }
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  // The child reports a failed exec through this pipe; a successful exec closes it.
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) {
    LogMessage("Command failed: " + command_line);
    return -1;
  }
  const pid_t pid = fork();
  if (pid == 0) {
    close(report[0]);
    if (style == WindowStyle::kHidden) {
      const int null_fd = open("/dev/null", O_RDWR);
      if (null_fd >= 0) {
        dup2(null_fd, STDIN_FILENO);
        dup2(null_fd, STDOUT_FILENO);
        dup2(null_fd, STDERR_FILENO);
      }
    }
    execvp(argv[0], argv.data());
    const int error = errno;
    (void)!write(report[1], &error, sizeof error);
    _exit(127);
  }
  close(report[1]);
  if (pid < 0) {
    close(report[0]);
    LogMessage("Command failed: " + command_line);
    return -1;
  }
  int error = 0;
  ssize_t n;
  do n = read(report[0], &error, sizeof error);
  while (n < 0 && errno == EINTR);
  close(report[0]);
  if (n > 0) {
    waitpid(pid, nullptr, 0);
    LogMessage("Command failed: " + command_line);
    return -1;
  }
  RunningChildren().push_back(pid);
  return pid;
}

int WaitForProcess(int process_id) {
  auto& finished = FinishedChildren();
  int code = -1;
  if (auto it = finished.find(process_id); it != finished.end()) {
    code = it->second;
    finished.erase(it);
  } else {
    int status = 0;
    for (;;) {
      const pid_t result = waitpid(process_id, &status, WNOHANG);
      if (result == process_id) {
        code = ExitCodeOf(status);
        break;
      }
      if (result < 0 && errno != EINTR) break;
      Ui().ProcessEvents();
      std::this_thread::sleep_for(kPollInterval);
    }
    std::erase(RunningChildren(), process_id);
  }
  std::this_thread::sleep_for(kPollInterval);
  return code;
}

bool FirstStartUnpack() {
  const std::string home = Program().home_dir;
  const std::string archive = home + "__inst.zip";
  FindRecord record;
  if (!FileExists(archive) || !FindFile(archive, record) || record.size == 0 ||
      FileExists(home + "pack.bat"))
    return false;
  const int pid = RunProgram(Quoted(home + "unzip") + " -o " + Quoted(archive) + " -d " +
                                 Quoted(StripTrailingBackslash(home)),
                             WindowStyle::kHidden);
  if (pid > 0) WaitForProcess(pid);
  // An empty archive marks the unpack as done, so later starts skip it.
  DeleteFile(archive);
  if (auto file = OpenForOutput(archive)) file->Close();
  return true;
}

void ShowHelp() {
  const std::string home = Program().home_dir;
  RunProgram(Quoted(home + "etc/winstart") + " " + Quoted(home + "etc/snapcrate.html"),
             WindowStyle::kNormal);
}

void OpenInViewer(const std::string& image_path) {
  const std::string viewer = ReadSetting("ExtViewer", "$$$");
  if (viewer == "$$$") {
    ShowMessage("External Image Viewer not configured!");
    return;
  }
  RunProgram(ReplaceAll(viewer, "$1", image_path), WindowStyle::kNormal);
}

}  // namespace snapcrate
