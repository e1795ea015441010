// The process list from /proc: a laid-out folder for the edge cases, and a
// real child process started under a Windows-style name.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>

#include "platform/paths.h"
#include "platform/processes.h"
#include "tests/support/test_env.h"

namespace {

const platform::ProcessInfo* findPid(const std::vector<platform::ProcessInfo>& list, int pid) {
  auto it = std::find_if(list.begin(), list.end(), [pid](const platform::ProcessInfo& p) { return p.pid == pid; });
  return it == list.end() ? nullptr : &*it;
}

}  // namespace

TEST(Processes, BaseNamesSplitAtBothSeparators) {
  EXPECT_EQ(platform::baseNameAnySeparator("C:\\Games\\Game.exe"), "Game.exe");
  EXPECT_EQ(platform::baseNameAnySeparator("/opt/x/game"), "game");
  EXPECT_EQ(platform::baseNameAnySeparator("Z:\\opt/mixed\\b.exe"), "b.exe");
  EXPECT_EQ(platform::baseNameAnySeparator("plain"), "plain");
  EXPECT_EQ(platform::baseNameAnySeparator("trailing/"), "");
}

TEST(Processes, ReadsALaidOutProcFolder) {
  testsupport::TempDir proc;
  namespace fs = std::filesystem;
  // 100: a Wine program: exe is the loader, the first argument the Windows path.
  proc.write("100/cmdline", std::string("C:\\Games\\Game.exe\0-windowed\0", 28));
  proc.write("100/comm", "Game.exe\n");
  fs::create_symlink("/usr/bin/wine64-preloader", proc.file("100/exe"));
  // 101: a program replaced while it runs.
  proc.write("101/cmdline", std::string("/opt/a/app\0", 11));
  proc.write("101/comm", "app\n");
  fs::create_symlink("/opt/a/app (deleted)", proc.file("101/exe"));
  // 102: another user's process: nothing readable.
  fs::create_directories(proc.file("102"));
  // 103: a kernel thread: only comm.
  proc.write("103/comm", "kworker/0:1\n");
  // Not processes.
  proc.write("self/comm", "x\n");
  proc.write("version", "Linux\n");

  const auto list = platform::makeProcSource(proc.path())->list();
  ASSERT_EQ(list.size(), 3u);
  const auto* wine = findPid(list, 100);
  ASSERT_TRUE(wine);
  EXPECT_EQ(wine->exeName, "wine64-preloader");
  EXPECT_EQ(wine->argName, "Game.exe");
  EXPECT_EQ(wine->comm, "Game.exe");
  const auto* replaced = findPid(list, 101);
  ASSERT_TRUE(replaced);
  EXPECT_EQ(replaced->exeName, "app");
  EXPECT_EQ(findPid(list, 102), nullptr);
  const auto* kernel = findPid(list, 103);
  ASSERT_TRUE(kernel);
  EXPECT_EQ(kernel->comm, "kworker/0:1");
  EXPECT_TRUE(kernel->argName.empty());
}

TEST(Processes, SeesARealChildByItsArgumentName) {
  testsupport::TempDir dir;
  const std::string link = dir.file("Race Game.exe");
  std::filesystem::create_symlink("/bin/sleep", link);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::execl(link.c_str(), link.c_str(), "30", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  // The child's names are there once exec has happened.
  const platform::ProcessInfo* seen = nullptr;
  std::vector<platform::ProcessInfo> list;
  auto source = platform::makeProcSource();
  for (int i = 0; i < 2000 && !(seen && seen->argName == "Race Game.exe"); ++i) {
    list = source->list();
    seen = findPid(list, child);
    if (!(seen && seen->argName == "Race Game.exe")) ::usleep(5000);
  }
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  ASSERT_TRUE(seen);
  EXPECT_EQ(seen->argName, "Race Game.exe");
  EXPECT_EQ(seen->exeName, "sleep");
  const auto self = findPid(list, static_cast<int>(::getpid()));
  ASSERT_TRUE(self);
  EXPECT_FALSE(self->exeName.empty());
}
