// Runs the window-layer test classes in one offscreen application, inside a
// private HOME (the local sockets live in its runtime folder).
#include <QApplication>
#include <QtTest>

#include "tests/support/test_env.h"

QObject* makeWindowLayerTest();
QObject* makeVirtualKeysTest();

int main(int argc, char** argv) {
  testsupport::SandboxHome home;
  QApplication app(argc, argv);
  int status = 0;
  for (QObject* t : {makeWindowLayerTest(), makeVirtualKeysTest()}) {
    status |= QTest::qExec(t, argc, argv);
    delete t;
  }
  return status;
}
