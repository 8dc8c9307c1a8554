// The program itself started twice: the second copy brings the first forward and ends with
// exit code 1, ignoring its own switches; the first goes on running.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "SingleInstance.h"
#include "TempHome.h"

extern char** environ;

namespace ferrowin::test {
namespace {

using Clock = std::chrono::steady_clock;

pid_t Start(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
  return pid;
}

// The exit code, or -1 when the process is still running at the deadline.
int WaitExit(pid_t pid, std::chrono::seconds limit) {
  const auto deadline = Clock::now() + limit;
  int status = 0;
  while (Clock::now() < deadline) {
    if (::waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return -1;
}

TEST(Program, ASecondCopyEndsWithOneAndTheFirstStays) {
  TTempHome home;
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::setenv("XDG_RUNTIME_DIR", home.Path.c_str(), 1);
  WriteFile(home.File("ferrowin.ini"), "[Connection]\r\nShowManager=0\r\n");
  const std::string program = FERROWIN_PROGRAM;
  pid_t first = Start({program});
  ASSERT_GT(first, 0);
  const std::string socket = SingleInstanceName(QStringLiteral("ferrowin")).toStdString();
  const auto deadline = Clock::now() + std::chrono::seconds(20);
  while (!std::filesystem::exists(socket) && Clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_TRUE(std::filesystem::exists(socket)) << "the first copy did not start listening";

  pid_t second = Start({program, "/c", "127.0.0.1:1", "/u", "nobody"});
  EXPECT_EQ(WaitExit(second, std::chrono::seconds(20)), 1);
  EXPECT_EQ(WaitExit(first, std::chrono::seconds(1)), -1) << "the first copy must go on";
  ::kill(first, SIGTERM);
  if (WaitExit(first, std::chrono::seconds(10)) == -1) {
    ::kill(first, SIGKILL);
    ::waitpid(first, nullptr, 0);
  }
}

}  // namespace
}  // namespace ferrowin::test
