// Lumera, the configuration program of the Kavro Q350RGB keyboard.
#include <QApplication>

#include "lumera/app/lumera_app.h"
#include "platform/clock.h"
#include "platform/ui/first_paint_probe.h"

int main(int argc, char** argv) {
  platform::setProgramName("Lumera");
  // The skins are drawn for 1:1 pixels.
  QCoreApplication::setAttribute(Qt::AA_DisableHighDpiScaling);
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  lumera::CLumeraApp lumeraApp;
  // The start-up benchmark's probe (only with KAVRO_FIRST_PAINT_FILE set).
  lumeraApp.setWindowCreated([](lumera::CLumeraDlg& dlg) { FirstPaintProbe::watch(&dlg); });
  lumeraApp.InitInstance();
  return lumeraApp.ExitInstance();
}
