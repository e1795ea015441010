// kavroctl q350 apply: writes a Q350Config profile into the keyboard the
// way the program's apply button does. The profile table and files are
// loaded as at the program's start, the control byte is written, and the
// full write runs on its own thread while a progress bar stands in for the
// progress dialog. On success the profile table and the profile file are
// stored, as the main window does when the write reports success.

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>

#include "cli/cmd_q350_common.h"
#include "cli/command.h"
#include "cli/terminal_progress.h"
#include "platform/format.h"
#include "platform/hid/module.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "q350config/device/full_write.h"
#include "q350config/settings/settings_store.h"
#include "q350config/settings/user_files.h"

namespace {

using namespace ::q350;

constexpr platform::WindowHandle kMainWindow = 1;
constexpr platform::WindowHandle kProgressWindow = 2;

// The settings' messages, on standard error.
class StderrSink final : public MessageSink {
 public:
  void show(const UserMessage& message) override {
    std::fprintf(stderr, "kavroctl: %s\n", platform::toUtf8(message.text).c_str());
  }
};

// The two windows the write thread reports to. Posts are queued and taken
// by the main thread, which draws the progress bar.
class ApplyWindows final : public platform::WindowMessenger {
 public:
  struct Message {
    platform::WindowHandle window;
    unsigned message;
    platform::WPARAM wParam;
  };

  platform::WindowHandle findWindow(std::u16string_view) override { return 0; }
  bool isWindow(platform::WindowHandle window) override {
    return window == kMainWindow || window == kProgressWindow;
  }
  bool postMessage(platform::WindowHandle window, unsigned message, platform::WPARAM w, platform::LPARAM) override {
    if (!isWindow(window)) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back({window, message, w});
    ready_.notify_one();
    return true;
  }
  Message next() {
    std::unique_lock<std::mutex> lock(mutex_);
    ready_.wait(lock, [this] { return !queue_.empty(); });
    const Message m = queue_.front();
    queue_.pop_front();
    return m;
  }

 private:
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<Message> queue_;
};

// libQuillfen.so beside the program whose profile is applied, else the
// normal lookup.
int initDriver(CUSBDriver& driver, const std::string& programFolder) {
  const std::string beside = platform::findFileNoCase(programFolder, "libQuillfen.so");
  if (platform::fileExists(beside) && driver.Init(beside)) return 1;
  return driver.Init();
}

int runApply(const cli::Args& args) {
  if (!args.positional.empty()) return cli::fail("usage: kavroctl q350 apply [--program-dir DIR] [--profile N]", 2);
  const std::string folder = args.has("program-dir") ? args.option("program-dir") : cli::q350::installedProgramFolder();
  if (folder.empty() || !platform::isDirectory(folder))
    return cli::fail("no Q350Config folder found; name it with --program-dir", 2);
  int profile = -1;
  if (args.has("profile")) {
    long long n = 0;
    if (!cli::parseNumber(args.option("profile"), n) || n < 1 || n > static_cast<long long>(kProfileCount))
      return cli::fail("--profile takes a number from 1 to 5", 2);
    profile = static_cast<int>(n - 1);
  }

  // The program's start: the profile table with the active profile, the
  // macro library.
  StderrSink sink;
  cli::q350::LanguageTexts texts;
  texts.load(folder);
  // The profiles and the macro library where the program keeps them: in
  // its folder, or in the per-user copy when that folder is read-only.
  SettingsStore store(ResolveDataFolder(folder));
  store.setMessageSink(&sink);
  store.setTextLookup(&texts);
  store.LoadProfileTable();
  store.LoadMacroLibrary();  // a missing library is reported; the keys fall back
  if (profile >= 0 && store.SelectProfile(profile) != kLoadOk)
    return cli::fail(platform::format("profile %d could not be loaded", profile + 1));

  CUSBDriver driver;
  if (!initDriver(driver, folder)) return cli::fail("cannot load libQuillfen.so: " + platform::moduleError());
  if (!CUSBDriver::IsDevicePresent(kQ350DeviceId)) return cli::fail("no Q350 keyboard is attached");
  if (!driver.OpenDevice())
    return cli::fail("cannot open the Q350's configuration interface: " + platform::lastErrorText() +
                     "\nSetting Error");

  std::printf("applying %s to the Q350\n", platform::toUtf8(store.currentEntry().pathText()).c_str());
  driver.WriteControlByte();  // its answer is not needed
  ApplyWindows windows;
  std::mutex windowMutex;
  FullWrite job(driver, store, windowMutex, windows, kMainWindow);
  // No lighting page here: the zones follow the profile's one-colour switch.
  job.setZoneSelection(store.profileSettings.allZones == 1 ? kAllZonesSelection : 0);
  WriteThread thread;
  thread.Start(job, kProgressWindow);

  cli::TerminalProgress bar("progress");
  bool succeeded = false;
  for (;;) {
    const ApplyWindows::Message m = windows.next();
    if (m.window == kProgressWindow && m.message == kMsgWriteProgress) bar.position(static_cast<unsigned>(m.wParam));
    if (m.window == kMainWindow && m.message == kMsgWriteSucceeded) succeeded = true;
    if (m.window == kProgressWindow && m.message == platform::WM_CLOSE) break;
  }
  thread.Join();
  bar.close();
  if (!succeeded) return cli::fail("Setting Error");
  if (!store.StoreProfileTable())
    return cli::fail("the keyboard took the profile, but the profile table or file could not be stored");
  std::printf("done: the keyboard holds profile %d\n", store.currentProfile() + 1);
  return 0;
}

}  // namespace

KAVRO_COMMAND({"q350", "apply"}, "[--program-dir DIR] [--profile N]",
              "write a Q350Config profile into the Q350 keyboard (as the program's apply does)",
              {"program-dir", "profile"}, {}, &runApply)
