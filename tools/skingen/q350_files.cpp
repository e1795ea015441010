// Q350Config's start files: a cleared macro library ("Macro.cfg", 500 empty
// records) and the five factory profiles, so that a fresh install starts
// without a "cannot open" message. The content comes from the settings code
// itself, so it is exactly what the program would create.
#include <QTemporaryDir>

#include "platform/paths.h"
#include "q350config/settings/macro_library.h"
#include "q350config/settings/settings_store.h"
#include "tools/skingen/skins.h"

namespace skingen {

bool writeQ350StartFiles(Output& out) {
  bool ok = out.bytes(QStringLiteral("Q350/Macro.cfg"), QByteArray(static_cast<int>(q350::MacroLibrary::kFileSize), '\0'));
  QTemporaryDir scratch;
  if (!scratch.isValid()) return false;
  const std::string folder = scratch.path().toStdString() + "/";
  platform::makeFolders(folder + "Profile");
  q350::SettingsStore store(folder);
  for (int n = 0; n < 5; ++n) {
    const std::string path = folder + "Profile/Profile" + std::to_string(n + 1) + ".cfg";
    std::string bytes;
    ok &= store.CreateDefaultProfile(path) && platform::readFile(path, bytes);
    ok &= out.bytes(QStringLiteral("Q350/Profile/Profile%1.cfg").arg(n + 1),
                    QByteArray(bytes.data(), static_cast<int>(bytes.size())));
  }
  return ok;
}

}  // namespace skingen
