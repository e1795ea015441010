#include "lumera/app/lumera_app.h"

#include <QApplication>
#include <cerrno>
#include <cstdio>

#include "lumera/app/app_services.h"
#include "lumera/app/key_macro_dialogs.h"
#include "lumera/model/config.h"
#include "lumera/model/keycodes.h"
#include "lumera/model/macro.h"
#include "lumera/model/log.h"
#include "platform/folders.h"
#include "platform/format.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "platform/ui/window_look.h"
#include "platform/ui/window_server.h"
#include "shared/orvane_binding.h"
#include "shared/text_table.h"

namespace lumera {

bool ValidAppDir(std::u16string_view d) {
  if (d.empty() || d == u"." || d == u"..") return false;
  return d.find(u'/') == std::u16string_view::npos && d.find(u'\\') == std::u16string_view::npos;
}

std::string instanceLockPath(std::u16string_view name) {
  std::uint64_t h = 1469598103934665603ull;  // FNV-1a over the UTF-16 units
  for (char16_t c : name) {
    h = (h ^ (c & 0xFF)) * 1099511628211ull;
    h = (h ^ (c >> 8)) * 1099511628211ull;
  }
  return platform::joinPath(platform::runtimeFolder(),
                            platform::format("kavro-instance-%016llx.lock", static_cast<unsigned long long>(h)));
}

CLumeraApp::CLumeraApp() = default;

CLumeraApp::~CLumeraApp() = default;

CLumeraApp::Start CLumeraApp::InitInstance(bool runWindow) {
  platform::installFontSubstitutes();
  boxes_ = std::make_unique<UiMessageBoxes>();
  if (!uiHooks().functionName)
    uiHooks().functionName = [](const KeyFunction& f) { return KeyFunctionName(f, theMacroList(), programTexts()); };
  // The key function picker and the macro library, which the main window
  // and the gesture page open through the hooks.
  installKeyAndMacroDialogs();

  const std::string folder = platform::programFolder();
  shared::LoadTexts(platform::findFileNoCase(folder, "text.xml"));
  DataInitialise(folder);
  Options& o = theConfig().options();
  if (!o.Title.empty()) shared::lumeraTexts().SetText("tc_title", o.Title);
  title_ = shared::Text("tc_title");

  const platform::LocalTime t = platform::localTimeNow();
  Log("--------------------------------------------------");
  Log("Launch %04d-%d-%d:%dH, App Ver=%s", t.year, t.month, t.day, t.hour, shared::Text("tc_version"));

  shared::orvane().load(folder, shared::OrvaneBinding::Form::Lumera);

  std::string why;
  if (!shared::CheckSkinMarker(folder, title_, [&why](const std::u16string& line) {
        Log("%s", line);
        why = platform::toUtf8(line);
      })) {
    // Nothing opens; a user who started the program from a terminal learns why.
    std::fprintf(stderr, "Lumera: the skin package in %sskins does not belong to \"%s\"%s%s\n", folder.c_str(),
                 platform::toUtf8(title_).c_str(), why.empty() ? "" : ": ", why.c_str());
    return started_ = Start::SkinMarkerWrong;
  }

  // The application-data folder is one folder under the user's data folder;
  // a value that would lead elsewhere is refused.
  if (!ValidAppDir(o.appdir)) {
    if (!o.appdir.empty())
      showMessage(u"Error", platform::formatU16(u"appdir=%s is not a folder name; %s is used", o.appdir, kDefaultAppDir),
                  MessageIcon::Error);
    o.appdir = kDefaultAppDir;
  }
  appData_ = AppDataFolder(theConfig());
  Log("Mk AppData=%s", appData_ + "/");
  if (!platform::isDirectory(appData_) && !platform::makeFolders(appData_)) Log("CreateDirectory err=%d", errno);

  mutex_ = shared::Text("tc_mutex");
  if (mutex_.empty()) mutex_ = kDefaultMutexName;
  if (!takeInstance()) {
    // Another instance runs: it opens its window, this one ends.
    if (!platform::postToOtherProcess(title_, kMsgTrayCallback, 0, TrayIcon::kLeftButtonDown))
      Log("The running instance could not be reached");
    return started_ = Start::OtherInstance;
  }
  if (!runWindow) return started_ = Start::MainWindowRan;

  CLumeraDlg dlg(std::move(services_));
  platform::WindowServer server;
  if (!server.listen(&dlg, title_, {kMsgTrayCallback})) Log("Window server for a second start failed");
  if (windowCreated_) windowCreated_(dlg);
  dlg.doModal();
  return started_ = Start::MainWindowRan;
}

bool CLumeraApp::takeInstance() {
  lock_ = std::make_unique<QLockFile>(QString::fromStdString(instanceLockPath(mutex_)));
  // A lock left by a holder that crashed is taken over (its process is gone).
  lock_->setStaleLockTime(0);
  if (lock_->tryLock(0)) return true;
  const bool heldByAnother = lock_->error() == QLockFile::LockFailedError;
  lock_.reset();
  if (heldByAnother) return false;
  // The lock cannot be made at all (an unwritable runtime folder): better
  // a program that runs without the guard than one that never opens.
  Log("Single-instance lock %s cannot be created", instanceLockPath(mutex_));
  return true;
}

int CLumeraApp::ExitInstance() {
  Log("Driver exit");
  if (lock_) lock_->unlock();
  lock_.reset();
  boxes_.reset();
  switch (started_) {
    case Start::SkinMarkerWrong: return 3;
    default: return 0;
  }
}

}  // namespace lumera
