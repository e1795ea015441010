// The program updater Q350Config starts at every start, without arguments.
// It reads the update manifest and, only when it names a newer Q350Config,
// says so in a window; on Linux the system's package manager installs the
// new version, so nothing is downloaded here. Without a newer version, or
// without a manifest, it ends quietly: it runs at every start and must not
// be in the way.
#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>

#include "outside/updaters/notice_window.h"
#include "q350config/app/update_fetch.h"
#include "q350config/settings/update_manifest.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QTemporaryDir scratch;
  const std::string target = scratch.filePath(QStringLiteral("update.xml")).toStdString();
  if (!scratch.isValid() || !q350app::FetchFile(q350app::ManifestAddress(), target)) {
    std::fprintf(stderr, "KavroUpdate: the update manifest could not be fetched from %s\n",
                 q350app::ManifestAddress().toLocal8Bit().constData());
    return 0;
  }
  const int newest = q350::ReadUpdateManifest(target).software;
  const QString installed = q350app::VersionText(q350app::kProgramVersionNumber);
  if (newest <= q350app::kProgramVersionNumber) {
    std::printf("Q350Config %s is the latest version.\n", installed.toLatin1().constData());
    return 0;
  }
  const QString text =
      kavroupdate::chineseUser()
          ? QStringLiteral("Q350Config %1 已发布(当前 %2)。请用系统的软件包管理器更新。").arg(q350app::VersionText(newest), installed)
          : QStringLiteral("Q350Config %1 is available (this is %2). Install it with your system's package manager.")
                .arg(q350app::VersionText(newest), installed);
  std::printf("%s\n", text.toLocal8Bit().constData());
  std::fflush(stdout);
  kavroupdate::NoticeWindow window(QStringLiteral("Q350Config update"), text);
  if (!window.serve("kavro-q350-program-updater.lock")) return 0;  // the other instance tells it already
  window.show();
  return app.exec();
}
