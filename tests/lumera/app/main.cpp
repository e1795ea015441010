// Runs the Lumera window test classes in one offscreen application.
#include <QApplication>
#include <QtTest>

#include "tests/lumera/app/ui_fixture.h"
#include "tests/support/test_env.h"

QObject* makeControlsTest();
QObject* makeDialogsTest();
QObject* makeKbViewTest();
QObject* makeTreeTest();
QObject* makePickerTest();
QObject* makeMacroDlgTest();
QObject* makeMacroApplyTest();
QObject* makeColorPanelTest();
QObject* makeLedDlgTest();

int main(int argc, char** argv) {
  testsupport::SandboxHome home;
  QApplication app(argc, argv);
  uitest::setUpProgramFolder();
  int status = 0;
  for (QObject* t : {makeControlsTest(), makeDialogsTest(), makeKbViewTest(), makeTreeTest(), makePickerTest(),
                     makeMacroDlgTest(), makeMacroApplyTest(), makeColorPanelTest(), makeLedDlgTest()}) {
    status |= QTest::qExec(t, argc, argv);
    delete t;
  }
  return status;
}
