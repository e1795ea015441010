// Lumera, the configuration program of the Kavro Q350RGB keyboard.
#include <QApplication>

#include "lumera/app/lumera_app.h"
#include "platform/clock.h"

int main(int argc, char** argv) {
  platform::setProgramName("Lumera");
  // The skins are drawn for 1:1 pixels.
  QCoreApplication::setAttribute(Qt::AA_DisableHighDpiScaling);
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  lumera::CLumeraApp lumeraApp;
  lumeraApp.InitInstance();
  return lumeraApp.ExitInstance();
}
