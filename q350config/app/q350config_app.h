// CQ350ConfigApp, the application object of Q350Config: one instance per
// user (a second start wakes the first and ends), the program and skin
// folders, the language, the factory key table, the keyboard-hook library,
// then the main window, run modally; the program ends with it.
#pragma once

#include <string>

namespace q350app {

inline constexpr char kMutexName[] = "Q350Config";

class CQ350ConfigApp {
 public:
  // Runs the program inside an existing QApplication; the exit status.
  int Run();
};

// The lock file that stands for the named mutex (in the runtime folder).
std::string instanceLockPath();

}  // namespace q350app
