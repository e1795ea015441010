// The peer of Lumera's start-up benchmark: a bare Qt window of the main
// window's size, with the same first-paint probe.
#include <QApplication>
#include <QWidget>

#include "platform/ui/first_paint_probe.h"

int main(int argc, char** argv) {
  QCoreApplication::setAttribute(Qt::AA_DisableHighDpiScaling);
  QApplication app(argc, argv);
  QWidget w;
  w.resize(984, 640);
  FirstPaintProbe::watch(&w);
  w.show();
  return app.exec();
}
