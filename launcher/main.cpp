// KavroQ350: starts the configuration program of the keyboard that is
// plugged in, or waits for one with its small window.
#include <QApplication>

#include "launcher/app_launcher.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  KAppLauncher launcher;
  // Also when a program was just started: an arrival during the last half
  // second is handled by the same rules.
  launcher.watcher().registerNotification();
  return app.exec();
}
