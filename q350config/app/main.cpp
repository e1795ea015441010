// Q350Config: the configuration program of the Q350 keyboard.
#include <QApplication>

#include "platform/clock.h"
#include "q350config/app/q350config_app.h"

int main(int argc, char** argv) {
  platform::setProgramName("Q350Config");
  QApplication app(argc, argv);
  // The program ends with its main window, not with the last window closed
  // (the tray keeps it alive while the window is hidden).
  QApplication::setQuitOnLastWindowClosed(false);
  q350app::CQ350ConfigApp program;
  return program.Run();
}
