// The program folder the Q350Config window tests run in: the shipped skins,
// pictures and language files of the stage, the three libraries the program
// loads by name, a cleared "Macro.cfg", and a kbsim with a Q350. Plus the
// helpers to run the main window modally with a script and to answer the
// modal dialogs it opens.
#pragma once

#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/message_window.h"
#include "sim/sim_process.h"
#include "tests/support/test_env.h"

namespace q350app {
class CQ350ConfigDlg;
}

namespace apptest {

class ProgramFolder {
 public:
  ProgramFolder();
  const std::string& path() const { return dir_.path(); }
  std::string file(const std::string& name) const { return dir_.file(name); }
  // Takes a library away (renamed) or puts it back.
  void hideLibrary(const std::string& name, bool hidden);
  // Makes the folder the program folder (settings and texts included).
  void use() const;

 private:
  testsupport::TempDir dir_;
};

// Starts a kbsim (with a Q350 when `keyboard`) and points the HID layer at it.
class Simulator {
 public:
  explicit Simulator(bool keyboard = true);
  ~Simulator();
  bool ok() const { return ok_; }
  sim::SimProcess& sim() { return sim_; }
  // Transcript lines from `from` on, without their times.
  std::vector<std::string> lines(std::size_t from = 0);
  std::size_t size() { return sim_.transcriptSize(); }

 private:
  sim::SimProcess sim_;
  std::unique_ptr<testsupport::ScopedEnv> socket_, noReal_;
  bool ok_ = false;
};

// Runs the main window modally; `script` runs once the window is shown
// (not at all when it never shows). The window is closed after the script
// if it still runs, and after `watchdogMs` in any case. Returns doModal's
// result and whether the script ran.
struct RunResult {
  int result = 0;
  bool scriptRan = false;
};
RunResult runMainWindow(q350app::CQ350ConfigDlg& dlg, const std::function<void(q350app::CQ350ConfigDlg&)>& script,
                        int watchdogMs = 60000);

// Calls `action` on the window titled `title` once it is shown (polled on the
// event loop for up to `ms`).
// With `modalOnly`, only a window running modally (a question, not a status box
// of the same title).
// Returns the watching timer; deleting it calls the watch off (a watch for
// a window that must not appear would otherwise outlive its test).
QTimer* whenOpen(const std::u16string& title, std::function<void(platform::MessageWindow*)> action, int ms = 20000,
                 bool modalOnly = false);
// The shown window titled `title`, or nullptr.
platform::MessageWindow* shownWindow(const std::u16string& title, bool modalOnly = false);

// The settings store as the program sets it up: messages through the
// information dialog, texts from the language table, no pauses between
// writes (the simulator needs none).
void useProgramSettings();
// Every platform message box is recorded in boxes() and answered with OK.
void recordMessageBoxes();

// The message boxes shown through the platform message box.
struct Box {
  std::u16string text, caption;
};
std::vector<Box>& boxes();

// Clicks a widget at its centre (hand-built events).
void clickCentre(QWidget* w);
// Where screenshots go (beside the test program).
QString screenshotPath(const QString& name);

}  // namespace apptest
