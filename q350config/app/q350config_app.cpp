#include "q350config/app/q350config_app.h"

#include <QLockFile>
#include <QStandardPaths>

#include "platform/paths.h"
#include "platform/ui/window_look.h"
#include "platform/ui/window_server.h"
#include "q350config/app/app_files.h"
#include "q350config/app/hook_library.h"
#include "q350config/app/info_dlg.h"
#include "q350config/app/language.h"
#include "q350config/app/main_dlg.h"
#include "q350config/settings/settings_store.h"
#include "q350config/settings/user_files.h"

namespace q350app {

std::string instanceLockPath() {
  QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (dir.isEmpty()) dir = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
  return platform::joinPath(dir.toStdString(), std::string(kMutexName) + ".lock");
}

int CQ350ConfigApp::Run() {
  // One instance: the lock stands for the named mutex. A second start wakes
  // the running window as a double click on its tray icon would, and ends.
  QLockFile lock(QString::fromStdString(instanceLockPath()));
  lock.setStaleLockTime(0);
  if (!lock.tryLock(0)) {
    platform::postToOtherProcess(kMainWindowTitle, kMsgTray, 0, kTrayDoubleClick);
    return 0;
  }

  const std::string folder = platform::programFolder();
  const std::string entry = skinEntryName(folder);
  setSkinFolder(platform::joinPath(platform::joinPath(folder, "skins"), entry));
  LoadLanguageTexts(platform::joinPath(folder, chooseLanguageFile(entry)));

  q350::SettingsStore& s = q350::settings();
  s.setProgramFolder(q350::ResolveDataFolder(folder));
  s.setMessageSink(&infoMessageSink());
  s.setTextLookup(&languageLookup());
  s.defaultKeyMap = q350::DefaultKeyMap();

  if (!hookLibrary().load())
    platform::messageBox(nullptr, u"Load Tessivan.dll failed", u"Warning", platform::MessageBoxIcon::Warning);

  CQ350ConfigDlg dlg;
  platform::WindowServer server;
  server.listen(&dlg, kMainWindowTitle, {kMsgTray});
  dlg.doModal();
  server.close();
  return 0;
}

}  // namespace q350app
