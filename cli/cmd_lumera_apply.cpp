// kavroctl lumera apply: writes a stored Lumera profile into the Q350RGB the
// way the program's Apply button does, for login scripts and the demo.
//
// The profiles are loaded as the main window loads them when it opens (a
// store of fewer than three profiles gets three default ones appended),
// the keyboard is found through libPallomar.so beside the program, and the
// apply runs on the apply worker, whose progress messages draw a bar in the
// terminal. On success the profiles and the current id are stored, as the
// main window does after an apply; on failure nothing is stored.

#include <QCoreApplication>
#include <QEventLoop>
#include <cstdio>
#include <functional>

#include "cli/cmd_lumera_common.h"
#include "cli/command.h"
#include "cli/terminal_progress.h"
#include "lumera/device/apply.h"
#include "lumera/model/log.h"
#include "lumera/model/macro.h"
#include "lumera/model/profile.h"
#include "lumera/model/profile_rules.h"
#include "platform/format.h"
#include "platform/hid/module.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "shared/text_table.h"

namespace {

using namespace ::lumera;

constexpr const char* kUsage =
    "[--appdata DIR] [--program-dir DIR] [--profile ID] [--flags 0x8007] [--reset] [--verbose]";

// The main window and the progress window, as far as the worker sees them.
// What the worker posts is handed to the main thread's event loop, in order,
// where `deliver` draws the bar; the worker's answer comes the same way,
// after its last post.
class TerminalWindows final : public platform::WindowMessenger {
 public:
  static constexpr platform::WindowHandle kMain = 1;
  static constexpr platform::WindowHandle kProgress = 2;
  static constexpr unsigned kApplyOver = platform::WM_USER + 1;  // wParam: the answer

  using Delivery = std::function<void(platform::WindowHandle, unsigned, platform::WPARAM)>;
  explicit TerminalWindows(Delivery deliver) : deliver_(std::move(deliver)) {}

  platform::WindowHandle findWindow(std::u16string_view title) override {
    return platform::equalsNoCase(title, kProgressWindowTitle) ? kProgress : 0;
  }
  bool isWindow(platform::WindowHandle w) override { return w == kMain || w == kProgress; }
  bool postMessage(platform::WindowHandle w, unsigned message, platform::WPARAM wParam, platform::LPARAM) override {
    if (!isWindow(w)) return false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [this, w, message, wParam] { deliver_(w, message, wParam); },
        Qt::QueuedConnection);
    return true;
  }

 private:
  Delivery deliver_;
};

bool parseFlags(const cli::Args& args, unsigned& flags) {
  flags = kApplyEverything;
  if (!args.has("flags")) return true;
  long long value = 0;
  if (!cli::parseNumber(args.option("flags"), value) || value < 0 ||
      (static_cast<unsigned long long>(value) & ~0x8007ull) != 0)
    return false;
  flags = static_cast<unsigned>(value);
  // Progress comes only with the full request, as the program makes it.
  return !(flags & kApplyProgress) || flags == kApplyEverything;
}

std::string libraryBeside(const std::string& folder) {
  const std::string path = platform::findFileNoCase(folder, "libPallomar.so");
  return platform::fileExists(path) ? path : std::string("Pallomar");
}

int run(const cli::Args& args) {
  unsigned flags = 0;
  if (!args.positional.empty() || !parseFlags(args, flags))
    return cli::fail(std::string("usage: kavroctl lumera apply ") + kUsage +
                         "\n  --flags: any of 0x0001 (keys and macros), 0x0002 (profile block), 0x0004 (per-key "
                         "colours); 0x8007 is everything with a progress bar",
                     2);
  long long wantedId = 0;
  if (args.has("profile") && !cli::parseNumber(args.option("profile"), wantedId))
    return cli::fail("--profile takes a profile id (see 'kavroctl lumera profiles')", 2);

  cli::lumera::StderrMessages messages;
  const std::string folder = cli::lumera::programFolderOption(args.option("program-dir"));
  if (folder.empty()) return 2;
  LumeraConfig config;
  config.load(folder, false);
  if (args.flag("verbose")) LogSetup(1);  // the log on standard error
  const std::string appData = cli::lumera::appDataOption(args.option("appdata"), folder);
  if (appData.empty()) return 2;
  const Options& opt = config.options();
  const cli::lumera::ProgramTexts texts(folder);

  // The profiles, as the main window loads them when it opens.
  ProfileList profiles;
  LoadProfiles(appData, profiles);
  if (TopUpProfiles(profiles, config, texts) > 0)
    std::printf("%s holds fewer than three profiles: three default profiles added\n", appData.c_str());
  const std::int32_t currentId = args.has("profile") ? static_cast<std::int32_t>(wantedId) : LoadCurrentId(appData);
  auto current = std::find_if(profiles.begin(), profiles.end(),
                              [&](const ProfileRecord& p) { return p.id == currentId; });
  if (current == profiles.end()) {
    if (args.has("profile")) return cli::fail("no profile with id " + args.option("profile") + " in " + appData);
    current = profiles.begin();
  }
  MacroList macros;
  ReadMacroLibrary(platform::joinPath(appData, "Mac"), opt.MacroDir != 0, opt.MacroHasMsKey, macros);

  cli::TerminalProgress bar(platform::toUtf8(texts.text("tc_msg12")));
  QEventLoop loop;
  bool ok = false;
  TerminalWindows windows([&](platform::WindowHandle w, unsigned message, platform::WPARAM wParam) {
    if (w == TerminalWindows::kProgress && message == kMsgApplyProgress) {
      bar.position(static_cast<unsigned>(wParam));
    } else if (w == TerminalWindows::kProgress && message == platform::WM_CLOSE) {
      bar.close();
    } else if (message == TerminalWindows::kApplyOver) {
      ok = wParam != 0;
      loop.quit();
    }
  });
  CUSBDriver driver(config);
  if (!driver.LoadDriver(TerminalWindows::kMain, windows, libraryBeside(folder)))
    return cli::fail("cannot use libPallomar.so: " + platform::moduleError());
  if (!driver.FindDev()) {
    if (opt.GoWithNoDev == 0) return cli::fail(platform::toUtf8(texts.text("tc_msg15")));
    std::printf("no keyboard found; applying anyway (GoWithNoDev)\n");
  } else if (driver.DeviceCount() > 1) {
    return cli::fail(platform::toUtf8(texts.text("tc_msg11")));
  }

  ApplyJob job(driver, windows, &texts);
  if (args.flag("reset")) {
    ResetProfile(*current, config);
    job.SetResetRequest(true);
  }
  ApplyWorker worker(job);
  worker.SetApplyObserver([&windows](bool succeeded) {
    windows.postMessage(TerminalWindows::kMain, TerminalWindows::kApplyOver, succeeded ? 1 : 0, 0);
  });
  worker.StartApplyWorker();
  std::printf("%s\n", platform::format("applying profile \"%s\" (id 0x%08X) with flags 0x%04X%s", profileName(*current),
                                       current->id, flags, args.flag("reset") ? " after a reset" : "")
                          .c_str());
  const bool requested = flags == kApplyEverything ? worker.RequestApply(*current, macros)
                                                   : worker.RequestApply(flags, *current, macros);
  if (!requested) return cli::fail("the apply worker took no request");

  loop.exec();
  bar.close();
  worker.StopApplyWorker();
  if (!ok) return 1;  // the worker has said "   Update settings failed!      "

  // The program creates its application-data folder at start; a script
  // may come first.
  if (!platform::makeFolders(appData) || !SaveProfiles(appData, profiles) || !SaveCurrentId(appData, &*current))
    return cli::fail("the keyboard holds the profile, but " + appData + " could not be written: " +
                     platform::lastErrorText());
  std::printf("done: the keyboard holds profile \"%s\"; profiles stored in %s\n",
              platform::toUtf8(profileName(*current)).c_str(), appData.c_str());
  return 0;
}

}  // namespace

KAVRO_COMMAND({"lumera", "apply"}, kUsage,
              "write a stored Lumera profile into the Q350RGB keyboard (as the program's Apply does)",
              {"appdata", "program-dir", "profile", "flags"}, {"reset", "verbose"}, &run)
