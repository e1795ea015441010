#include <gtest/gtest.h>

#include <filesystem>
#include <cstdio>
#include <thread>

#include "lumera/model/log.h"
#include "platform/folders.h"
#include "platform/paths.h"
#include "tests/lumera/model/model_test_util.h"
#include "tests/support/test_env.h"

using namespace lumera;
using lumera::test::DebugCapture;
using lumera::test::FixedClock;
using testsupport::TempDir;

namespace {

const FixedClock& clockAt(int minute, int second, int ms) {
  static FixedClock clock({2024, 5, 6, 7, 0, 0, 0});
  clock.set({2024, 5, 6, 7, minute, second, ms});
  return clock;
}

std::vector<std::string> recordsOf(const std::string& fileText) {
  // Every record starts with a line break; the text before the first is
  // whatever the file held before.
  std::vector<std::string> out;
  std::size_t pos = fileText.find('\n');
  while (pos != std::string::npos) {
    const std::size_t next = fileText.find('\n', pos + 1);
    out.push_back(fileText.substr(pos + 1, next == std::string::npos ? std::string::npos : next - pos - 1));
    pos = next;
  }
  return out;
}

}  // namespace

TEST(DiagnosticLog, LevelChoosesTheSink) {
  struct Case {
    int level;
    bool file;
    bool debugger;
  };
  for (const Case c : {Case{0, false, false}, Case{1, false, true}, Case{2, true, false}, Case{3, false, true},
                       Case{-1, false, true}}) {
    SCOPED_TRACE(c.level);
    TempDir dir;
    DebugCapture debug;
    DiagnosticLog log(clockAt(1, 2, 3));
    log.setup(c.level, dir.file("Log.txt"));
    log.log("value %d of %s", 42, "x");
    EXPECT_EQ(platform::fileExists(dir.file("Log.txt")), c.file);
    EXPECT_EQ(debug.contains("value 42 of x"), c.debugger);
    if (c.file) {
      EXPECT_EQ(testsupport::readAll(dir.file("Log.txt")), "\n01:02.003   value 42 of x");
    }
  }
}

TEST(DiagnosticLog, FileRecordsAppendWithMinutesSecondsAndMilliseconds) {
  TempDir dir;
  const std::string path = dir.write("Log.txt", "old");
  DiagnosticLog log(clockAt(59, 7, 45));
  log.setup(2, path);
  log.log(u"first %s", u"wide");
  clockAt(0, 0, 999);
  log.log("second %08X", 0xABCu);
  EXPECT_EQ(testsupport::readAll(path), "old\n59:07.045   first wide\n00:00.999   second 00000ABC");
}

TEST(DiagnosticLog, LargeFileIsEmptiedAtStartButTheLimitItselfIsKept) {
  for (const std::size_t size : {std::size_t{512000}, std::size_t{512001}}) {
    SCOPED_TRACE(size);
    TempDir dir;
    const std::string path = dir.write("Log.txt", std::string(size, 'x'));
    DiagnosticLog log(clockAt(0, 0, 0));
    log.setup(2, path);
    log.log("after");
    const std::string text = testsupport::readAll(path);
    const std::string record = "\n00:00.000   after";
    EXPECT_EQ(text, size == 512000 ? std::string(size, 'x') + record : record);
  }
}

TEST(DiagnosticLog, LongMessageIsCutForTheDebuggerOnly) {
  const std::string longText(600, 'a');
  DebugCapture debug;
  DiagnosticLog toDebugger(clockAt(0, 0, 0));
  toDebugger.setup(1, "");
  toDebugger.log("%s", longText);
  ASSERT_EQ(debug.lines().size(), 1u);
  EXPECT_EQ(debug.lines()[0], std::string(511, 'a'));

  TempDir dir;
  DiagnosticLog toFile(clockAt(0, 0, 0));
  toFile.setup(2, dir.file("Log.txt"));
  toFile.log("%s", longText);
  EXPECT_EQ(testsupport::readAll(dir.file("Log.txt")), "\n00:00.000   " + longText);
}

TEST(DiagnosticLog, UnopenableFileCostsOnlyTheMessage) {
  TempDir dir;
  DebugCapture debug;
  DiagnosticLog log(clockAt(0, 0, 0));
  // A folder where the file should be: opening for append fails at start,
  // so the log says so and stays on the debugger output.
  const std::string path = dir.file("Log.txt");
  ASSERT_TRUE(platform::makeFolders(path));
  log.setup(2, path);
  EXPECT_FALSE(log.writesFile());
  log.log("still here");
  EXPECT_EQ(debug.lines(), (std::vector<std::string>{"Open Log failed", "still here"}));

  // The file vanishing later loses the record, not the program.
  const std::string sub = dir.file("gone/Log.txt");
  ASSERT_TRUE(platform::makeFolders(dir.file("gone")));
  DiagnosticLog later(clockAt(0, 0, 0));
  later.setup(2, sub);
  ASSERT_TRUE(later.writesFile());
  std::filesystem::remove_all(dir.file("gone"));
  later.log("lost");
  EXPECT_EQ(debug.lines().back(), "Open Log failed");
}

TEST(DiagnosticLog, ProcessLogWritesLogTxtOnTheDesktop) {
  LogSetup(2);
  EXPECT_EQ(theLog().filePath(), platform::joinPath(platform::desktopFolder(), "Log.txt"));
  Log("Launch %04d", 2024);
  EXPECT_NE(testsupport::readAll(theLog().filePath()).find("   Launch 2024"), std::string::npos);
  LogSetup(0);
}

TEST(DiagnosticLog, DumpLineFormats) {
  std::vector<std::uint8_t> bytes(20);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(0xF0 + i);
  struct Case {
    std::size_t length, perLine;
    const char* prefix;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {8, 32, "Cfg(Load-Global): ", {"Cfg(Load-Global):  f0 f1 f2 f3 f4 f5 f6 f7 "}},
      {5, 2, "P", {"P f0 f1 ", "P f2 f3 ", "P f4 "}},
      {4, 2, "", {"f0 f1 ", "f2 f3 "}},  // an exact multiple logs no empty line after
      {3, 0, "", {"f0 f1 f2 "}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.prefix);
    DebugCapture debug;
    DiagnosticLog log;
    log.setup(1, "");
    log.dumpLine(bytes.data(), c.length, c.perLine, c.prefix);
    EXPECT_EQ(debug.lines(), c.lines);
  }
}

TEST(DiagnosticLog, DumpLineBreaksBeforeItsLineBufferIsFull) {
  const std::vector<std::uint8_t> bytes(1000, 0xAB);
  for (const std::size_t perLine : {std::size_t{0}, std::size_t{1000}}) {
    TempDir dir;
    DiagnosticLog log(clockAt(0, 0, 0));
    log.setup(2, dir.file("Log.txt"));  // the file takes records whole
    log.dumpLine(bytes.data(), bytes.size(), perLine, "pre");
    const auto records = recordsOf(testsupport::readAll(dir.file("Log.txt")));
    ASSERT_EQ(records.size(), 2u);
    std::size_t total = 0;
    for (const std::string& r : records) {
      const std::string line = r.substr(std::string("00:00.000   ").size());
      EXPECT_LT(line.size(), 2048u);
      EXPECT_EQ(line.rfind("pre ab ", 0), 0u);
      total += (line.size() - 4) / 3;
    }
    EXPECT_EQ(total, bytes.size());
  }
}

TEST(DiagnosticLog, DumpGroupedFormats) {
  const std::uint8_t bytes[] = {0, 1, 2, 3, 4, 5, 6, 0xFF};
  struct Case {
    std::size_t perLine, group;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {4, 2, {"rgb 00 01  02 03  ", "rgb 04 05  06 ff  "}},
      {3, 3, {"rgb 00 01 02  ", "rgb 03 04 05  ", "rgb 06 ff "}},
      {0, 0, {"rgb 00 01 02 03 04 05 06 ff "}},  // group 0: never two spaces
  };
  for (const Case& c : cases) {
    DebugCapture debug;
    DiagnosticLog log;
    log.setup(3, "");
    log.dumpGrouped("rgb", bytes, sizeof bytes, c.perLine, c.group);
    EXPECT_EQ(debug.lines(), c.lines);
  }
}

TEST(DiagnosticLog, DumpGroupedCutsAtItsLineBufferAndSilentLevelDumpsNothing) {
  const std::vector<std::uint8_t> bytes(400, 0x11);
  DebugCapture debug;
  DiagnosticLog log;
  log.setup(1, "");
  log.dumpGrouped("", bytes.data(), bytes.size(), 0, 4);
  ASSERT_EQ(debug.lines().size(), 1u);
  EXPECT_EQ(debug.lines()[0].size(), 511u);

  DiagnosticLog silent;
  silent.setup(0, "");
  silent.dumpLine(bytes.data(), bytes.size(), 8, "x");
  silent.dumpGrouped("x", bytes.data(), bytes.size(), 8, 4);
  log.dumpLine(nullptr, 5, 8, "x");
  EXPECT_EQ(debug.lines().size(), 1u);
}

TEST(DiagnosticLog, RecordsFromSeveralThreadsNeverMix) {
  TempDir dir;
  DiagnosticLog log(clockAt(1, 1, 1));
  log.setup(2, dir.file("Log.txt"));
  constexpr int kThreads = 4, kRecords = 200;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&log, t] {
      const std::uint8_t bytes[6] = {1, 2, 3, 4, 5, 6};
      for (int i = 0; i < kRecords; ++i) {
        log.log("thread %d record %d %s", t, i, std::string(100, static_cast<char>('a' + t)));
        if (i % 50 == 0) log.dumpLine(bytes, sizeof bytes, 3, "dump");
      }
    });
  for (auto& th : threads) th.join();
  const std::vector<std::string> records = recordsOf(testsupport::readAll(dir.file("Log.txt")));
  ASSERT_EQ(records.size(), static_cast<std::size_t>(kThreads * (kRecords + 8)));
  // Each record is whole: the time, then either one log line of one thread
  // (its letter repeated 100 times) or one dump line.
  const std::string stamp = "01:01.001   ";
  for (const std::string& r : records) {
    ASSERT_EQ(r.rfind(stamp, 0), 0u) << r;
    const std::string body = r.substr(stamp.size());
    if (body.rfind("dump ", 0) == 0) {
      EXPECT_TRUE(body == "dump 01 02 03 " || body == "dump 04 05 06 ") << body;
      continue;
    }
    int t = -1, i = -1;
    char tail[128] = {};
    ASSERT_EQ(std::sscanf(body.c_str(), "thread %d record %d %127s", &t, &i, tail), 3) << body;
    EXPECT_EQ(std::string(tail), std::string(100, static_cast<char>('a' + t))) << body;
  }
}
