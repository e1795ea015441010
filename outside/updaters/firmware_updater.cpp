// The firmware updater Q350Config starts with "-KAVRO" from its "update"
// folder. No firmware for the Q350 is published for Linux, so it says so in
// the window Q350Config's watch looks for, and ends with status 3 once the
// user closes it; the watch then reports that nothing was updated. It never
// shows the update window, which would mean it took the keyboard over.
#include <QApplication>
#include <cstdio>

#include "outside/updaters/notice_window.h"
#include "q350config/app/update_fetch.h"

namespace {
constexpr int kNoFirmware = 3;
}

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString text = kavroupdate::chineseUser()
                           ? QStringLiteral("没有适用于此键盘的固件更新。键盘保留当前固件。")
                           : QStringLiteral("There is no firmware update for this keyboard. It keeps its current firmware.");
  kavroupdate::NoticeWindow window(QString::fromUtf16(q350app::kUpdaterWindowTitle), text);
  if (!window.serve("kavro-q350-firmware-updater.lock")) {
    std::fprintf(stderr, "The firmware updater is already running.\n");
    return 1;
  }
  std::printf("%s\n", text.toLocal8Bit().constData());
  std::fflush(stdout);
  window.show();
  app.exec();
  return kNoFirmware;
}
