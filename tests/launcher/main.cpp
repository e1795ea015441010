// Runs the launcher test classes in one offscreen application, with a
// private home and no real HID device in sight.
#include <QApplication>
#include <QtTest>

#include "tests/support/test_env.h"

QObject* makeKhidTest();
QObject* makeLauncherTest();
QObject* makeWindowTest();
QObject* makeProgramTest();

int main(int argc, char** argv) {
  testsupport::SandboxHome home;
  testsupport::ScopedEnv noRealDevices("KAVRO_HID_REAL", "0");
  QApplication app(argc, argv);
  int status = 0;
  for (QObject* t : {makeKhidTest(), makeLauncherTest(), makeWindowTest(), makeProgramTest()}) {
    status |= QTest::qExec(t, argc, argv);
    delete t;
  }
  return status;
}
