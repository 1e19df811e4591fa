#include "cli/console_ui_port.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "app/progress.h"
#include "tests/support/temp_dir.h"

namespace snapcrate::cli {
namespace {

// The scheduler state of a thread of this process ('R' running, 'S' asleep in a call).
char ThreadState(pid_t thread) {
  std::ifstream stat("/proc/self/task/" + std::to_string(thread) + "/stat");
  std::string line;
  std::getline(stat, line);
  const size_t after_name = line.rfind(')');
  return after_name == std::string::npos || after_name + 2 >= line.size() ? '?' : line[after_name + 2];
}

TEST(InterruptTest, CtrlCEndsAnOpenThatWaitsAndASecondEndsTheProgram) {
  testing::TempDir dir;
  const std::string pipe = dir / "pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  // Nobody opens the pipe's other end; a timer ends the child should Ctrl-C not.
  EXPECT_EXIT(
      {
        alarm(20);
        InstallInterruptHandler();
        const pthread_t main_thread = pthread_self();
        const pid_t main_id = static_cast<pid_t>(syscall(SYS_gettid));
        std::atomic<bool> opening{false};
        std::thread ctrl_c([&] {
          while (!opening || ThreadState(main_id) != 'S') std::this_thread::sleep_for(std::chrono::milliseconds(10));
          pthread_kill(main_thread, SIGINT);
        });
        opening = true;
        const int fd = open(pipe.c_str(), O_RDONLY);
        const bool interrupted = fd < 0 && errno == EINTR && AbortRequested();
        ctrl_c.join();
        if (!interrupted) std::exit(1);
        raise(SIGINT);
        std::exit(2);
      },
      ::testing::KilledBySignal(SIGINT), "");
}

}  // namespace
}  // namespace snapcrate::cli
