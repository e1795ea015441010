// The keyboard-hook library ("Tessivan": libTessivan.so from the program
// folder) as the program loads it: the four entries by name; calls to an
// entry that was not found are skipped.
#pragma once

#include <string>

#include "outside/tessivan/tessivan_api.h"

class QObject;

namespace q350app {

class HookLibrary {
 public:
  // Loads the library and looks the entries up; true when all four were
  // found. Calls installhook once when it was found.
  bool load(const std::string& library = "Tessivan");
  bool complete() const { return install_ && remove_ && status_ && receiver_; }
  bool hasStatus() const { return status_ != nullptr; }

  void SetHookStatus(bool on) const {
    if (status_) status_(on ? 1 : 0, 0);
  }
  void SetReciveWindow(QObject* window) const {
    if (receiver_) receiver_(window);
  }
  void removeHook() const {
    if (remove_) remove_();
  }

 private:
  TessivanInstallHookFn install_ = nullptr;
  TessivanRemoveHookFn remove_ = nullptr;
  TessivanSetHookStatusFn status_ = nullptr;
  TessivanSetReciveWindowFn receiver_ = nullptr;
};

// The program's hook library (user-interface thread).
HookLibrary& hookLibrary();

}  // namespace q350app
