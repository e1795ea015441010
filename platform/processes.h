// The running processes, as the automatic profile switch needs them: for each
// process the names a user would recognise it by. Read from /proc; the
// source is an interface so that tests can list processes of their own.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace platform {

struct ProcessInfo {
  int pid = 0;
  std::string exeName;   // base name of the /proc/PID/exe link target
  std::string argName;   // base name of the first cmdline argument, split at '/' and '\'
  std::string comm;      // the kernel's short name (/proc/PID/comm)
};

class ProcessSource {
 public:
  virtual ~ProcessSource() = default;
  // Every process that could be read at all; a process of another user
  // whose names cannot be read is skipped, one that gives some names keeps
  // those (the others stay empty).
  virtual std::vector<ProcessInfo> list() = 0;
};

// The base name of a path whose parts may be separated by '/' or '\'
// ("C:\\Games\\game.exe" and "/opt/game.exe" both give "game.exe").
std::string baseNameAnySeparator(const std::string& path);

// Reads /proc, or `procRoot` (for tests: a folder laid out like /proc).
std::unique_ptr<ProcessSource> makeProcSource(const std::string& procRoot = "/proc");

}  // namespace platform
