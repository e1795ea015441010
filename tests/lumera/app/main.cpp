// Runs the Lumera window test classes in one offscreen application.
#include <QApplication>
#include <QtTest>

#include "tests/lumera/app/ui_fixture.h"
#include "tests/support/test_env.h"

QObject* makeControlsTest();
QObject* makeDialogsTest();
QObject* makeTreeTest();
QObject* makePickerTest();
QObject* makeMacroDlgTest();
QObject* makeMacroApplyTest();

int main(int argc, char** argv) {
  testsupport::SandboxHome home;
  QApplication app(argc, argv);
  uitest::setUpProgramFolder();
  int status = 0;
  for (QObject* t : {makeControlsTest(), makeDialogsTest(), makeTreeTest(), makePickerTest(), makeMacroDlgTest(), makeMacroApplyTest()}) {
    status |= QTest::qExec(t, argc, argv);
    delete t;
  }
  return status;
}
