#include "launcher/app_launcher.h"

#include <QCoreApplication>
#include <QDebug>
#include <QProcess>
#include <QTimer>

#include "launcher/main_window.h"
#include "platform/paths.h"

namespace {

// The keyboards the launcher knows, tried in this order.
struct Target {
  bool rgb;
  std::uint16_t vendorId;
  std::uint16_t productId;
  const char* pathTag;  // what an arriving interface's path contains
  const char* folder;   // beside the launcher
  const char* program;
};
const Target kTargets[] = {
    {true, 0x24AE, 0x4018, "VID_24AE&PID_4018", "Q350RGB", "Lumera"},
    {false, 0x24AE, 0x4011, "VID_24AE&PID_4011", "Q350", "Q350Config"},
};

const Target& targetOf(bool rgb) { return rgb ? kTargets[0] : kTargets[1]; }

// The launcher's folder, without a trailing '/'.
QString launcherFolder() {
  QString folder = QString::fromStdString(platform::programFolder());
  while (folder.size() > 1 && folder.endsWith(QLatin1Char('/'))) folder.chop(1);
  return folder;
}

}  // namespace

KAppLauncher::KAppLauncher(QObject* parent) : KAppLauncher(&KHID::KBLETools::enumHidDevices, parent) {}

KAppLauncher::KAppLauncher(const Enumerator& enumerate, QObject* parent) : QObject(parent) {
  qDebug() << "KAppLauncher::KAppLauncher";
  connect(&watcher_, &KHID::KHIDWatcher::sigHIDDeviceChange, this, &KAppLauncher::onHidDeviceChange,
          Qt::DirectConnection);

  // The first matching interface in the system's order decides. A keyboard
  // counts as found even when its program cannot be started.
  bool found = false;
  enumerate([this, &found](KHID::KHidDetail detail, bool& keepGoing) {
    for (const Target& t : kTargets) {
      if (detail.vendorId == t.vendorId && detail.productId == t.productId) {
        openSoftware(t.rgb);
        found = true;
        keepGoing = false;
        return;
      }
    }
  });
  if (!found) {
    window_ = std::make_unique<MainWindow>();
    window_->show();
  }
}

KAppLauncher::~KAppLauncher() { qDebug() << "KAppLauncher::~KAppLauncher"; }

void KAppLauncher::onHidDeviceChange(bool status, QString devicePath) {
  qDebug().noquote() << devicePath;
  if (!status) return;
  // Case-sensitive, the Q350RGB first.
  for (const Target& t : kTargets) {
    if (devicePath.contains(QLatin1String(t.pathTag), Qt::CaseSensitive)) {
      openSoftware(t.rgb);
      return;
    }
  }
}

bool KAppLauncher::openSoftware(bool rgb) {
  if (launched_) return true;
  const Target& t = targetOf(rgb);
  const QString folder = launcherFolder() + QLatin1Char('/') + QLatin1String(t.folder);
  const QString program = QLatin1String(t.program);
  // The program runs in its own sub-folder, with no arguments. It is named
  // by its full path: a bare name would be looked up on PATH, not in the
  // working directory. The launcher's own working directory is left alone.
  const bool started = QProcess::startDetached(folder + QLatin1Char('/') + program, {}, folder);
  qDebug().noquote() << "open software" << started << folder << program;
  if (started) launched_ = true;

  // Armed whether or not the start worked. The timer belongs to the
  // launcher (which lives until the end), so it dies with it.
  auto* quitTimer = new QTimer(this);
  quitTimer->setSingleShot(true);
  connect(quitTimer, &QTimer::timeout, &QCoreApplication::quit);
  quitTimer->start(kQuitDelayMs);
  return true;
}
