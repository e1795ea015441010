// Runs the Lumera window test classes in one offscreen application.
#include <QApplication>
#include <QtTest>

#include "tests/lumera/app/ui_fixture.h"
#include "tests/support/test_env.h"

QObject* makeControlsTest();
QObject* makeDialogsTest();
QObject* makeColorPanelTest();
QObject* makeLedDlgTest();

int main(int argc, char** argv) {
  testsupport::SandboxHome home;
  QApplication app(argc, argv);
  uitest::setUpProgramFolder();
  int status = 0;
  for (QObject* t : {makeControlsTest(), makeDialogsTest(), makeColorPanelTest(), makeLedDlgTest()}) {
    status |= QTest::qExec(t, argc, argv);
    delete t;
  }
  return status;
}
