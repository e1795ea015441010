// CLumeraApp, Lumera's application object: prepares the process (texts,
// configuration and log, menu library, skin marker, application-data
// folder), makes sure one instance runs, and runs the main window.
#pragma once

#include <QLockFile>
#include <functional>
#include <memory>
#include <string>

#include "lumera/app/lumera_dlg.h"

namespace platform {
class WindowServer;
}

namespace lumera {

class UiMessageBoxes;

// The fallback single-instance name and the shipped application-data name.
inline constexpr char16_t kDefaultMutexName[] = u"LUMERA_HOLLMAR_MUTEX";
inline constexpr char16_t kDefaultAppDir[] = u"KavroQ350RGB";

// Whether an "appdir" value names one folder inside the application-data
// folder: not empty, no path separator, not "." or "..".
bool ValidAppDir(std::u16string_view appdir);
// The lock file of a single-instance name: in the runtime folder, named by
// a hash of the text (names come from the text table and may hold any
// character).
std::string instanceLockPath(std::u16string_view mutexName);

class CLumeraApp {
 public:
  // What ended the start.
  enum class Start { MainWindowRan, SkinMarkerWrong, OtherInstance };

  CLumeraApp();
  ~CLumeraApp();

  // The start sequence; with `runWindow` false it stops before the main
  // window (for tests). Never returns before the main window has closed.
  Start InitInstance(bool runWindow = true);
  // Logs "Driver exit" and releases the single-instance lock. Returns the
  // process's exit status for the way the start ended.
  int ExitInstance();

  // The main window's services (set before InitInstance).
  CLumeraDlg::Services& windowServices() { return services_; }
  // Called with the main window once it exists, before it runs.
  void setWindowCreated(std::function<void(CLumeraDlg&)> f) { windowCreated_ = std::move(f); }

  const std::string& appDataFolder() const { return appData_; }
  const std::u16string& title() const { return title_; }
  const std::u16string& mutexName() const { return mutex_; }
  Start started() const { return started_; }

 private:
  bool takeInstance();

  std::unique_ptr<UiMessageBoxes> boxes_;
  CLumeraDlg::Services services_;
  std::function<void(CLumeraDlg&)> windowCreated_;
  std::unique_ptr<QLockFile> lock_;
  std::string appData_;
  std::u16string title_, mutex_;
  Start started_ = Start::MainWindowRan;
};

}  // namespace lumera
