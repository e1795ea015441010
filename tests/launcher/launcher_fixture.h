// What the launcher tests share: a launcher folder with stand-in programs
// that record how they were started, a kbsim child process, the Qt debug
// lines and the standard output of the code under test, and a way to see
// whether the application was asked to quit.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "sim/sim_process.h"
#include "tests/support/test_env.h"

namespace launchertest {

// <tmp>/KavroQ350 with the sub-folders Q350 and Q350RGB, and in them the
// stand-ins of both programs unless `withPrograms` is false; becomes the
// program folder of this process while the object lives.
class LauncherFolder {
 public:
  explicit LauncherFolder(bool withPrograms = true);
  ~LauncherFolder();

  QString root() const;                     // no trailing '/'
  QString subFolder(bool rgb) const;        // root + "/Q350RGB" or "/Q350"
  QString programPath(bool rgb) const;      // .../Lumera or .../Q350Config
  // Puts a stand-in program in place: a script that appends
  // "<argv0>|<argument count>|<working directory>" to its record.
  void addStandIn(bool rgb);
  // The record lines of the stand-in (empty while it has not run).
  QStringList records(bool rgb) const;
  // Waits (up to 20 s) until the stand-in has written a line.
  bool waitForRecord(bool rgb) const;

 private:
  testsupport::TempDir dir_;
};

// A kbsim child process the HID layer sees (and no real device).
class Simulator {
 public:
  bool start(const std::vector<std::string>& keyboards);
  sim::Control& control() { return process_.control(); }
  const std::string& error() const { return process_.error(); }

 private:
  sim::SimProcess process_;
  std::optional<testsupport::ScopedEnv> socket_;
};

// Collects the Qt debug stream while it lives.
class DebugLines {
 public:
  DebugLines();
  ~DebugLines();
  QStringList lines() const;
  int count(const QString& line) const { return lines().count(line); }
};

// Collects what is written to the standard output (file descriptor 1).
class StdoutCapture {
 public:
  StdoutCapture();
  ~StdoutCapture();
  std::string text();  // everything so far

 private:
  testsupport::TempDir dir_;
  int saved_ = -1;
  int file_ = -1;
};

// Runs the application's event loop with `inside` called from within it,
// until QCoreApplication::quit() (true) or until `watchdogMs` passed (false).
bool quitsWhileRunning(const std::function<void()>& inside = {}, int watchdogMs = 20000);

}  // namespace launchertest
