// The KavroQ350 program itself, copied into a launcher folder with stand-in
// programs beside it, against kbsim.
#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <QtTest>

#include "tests/launcher/launcher_fixture.h"

using launchertest::LauncherFolder;
using launchertest::Simulator;

namespace {

// Puts the built launcher at the root of `folder` (its own folder decides
// where it looks for the programs).
bool installLauncher(const LauncherFolder& folder) {
  const QString target = folder.root() + QStringLiteral("/KavroQ350");
  // A hard link where the file systems allow it, else a copy.
  if (::link(KAVRO_LAUNCHER_PATH, target.toLocal8Bit().constData()) == 0) return true;
  return QFile::copy(QStringLiteral(KAVRO_LAUNCHER_PATH), target);
}

void startLauncher(QProcess& p, const LauncherFolder& folder) {
  p.setProcessChannelMode(QProcess::SeparateChannels);
  p.start(folder.root() + QStringLiteral("/KavroQ350"), QStringList{});
}

}  // namespace

class ProgramTest : public QObject {
  Q_OBJECT
 private slots:
  void startsTheProgramOfThePresentKeyboardAndEnds() {
    Simulator sim;
    QVERIFY2(sim.start({"q350"}), sim.error().c_str());
    LauncherFolder folder;
    folder.addStandIn(true);
    folder.addStandIn(false);
    QVERIFY(installLauncher(folder));
    QProcess launcher;
    startLauncher(launcher, folder);
    QVERIFY(launcher.waitForFinished(60000));
    const QString err = QString::fromLocal8Bit(launcher.readAllStandardError());
    QCOMPARE(launcher.exitStatus(), QProcess::NormalExit);
    QVERIFY2(launcher.exitCode() == 0, qPrintable(err));
    QVERIFY2(err.contains(QStringLiteral("open software true ") + folder.subFolder(false)), qPrintable(err));
    QVERIFY(err.contains(QStringLiteral("KAppLauncher::~KAppLauncher")));
    QVERIFY(folder.waitForRecord(false));
    QCOMPARE(folder.records(false).size(), 1);
  }

  void waitsForAKeyboardAndStartsItsProgram() {
    Simulator sim;
    QVERIFY2(sim.start({}), sim.error().c_str());
    LauncherFolder folder;
    folder.addStandIn(true);
    folder.addStandIn(false);
    QVERIFY(installLauncher(folder));
    QProcess launcher;
    startLauncher(launcher, folder);
    QVERIFY(launcher.waitForStarted(10000));
    // Nothing tells from outside when the launcher has registered for
    // arrivals: plug the keyboard in again until it notices.
    int index = -1;
    QVERIFY(sim.control().plug("q350rgb", &index));
    for (int round = 0; round < 30 && !launcher.waitForFinished(2000); ++round) {
      QVERIFY(sim.control().unplug(index));
      QVERIFY(sim.control().replug(index));
    }
    QCOMPARE(launcher.state(), QProcess::NotRunning);
    const QString err = QString::fromLocal8Bit(launcher.readAllStandardError());
    QVERIFY2(launcher.exitCode() == 0, qPrintable(err));
    QVERIFY2(err.contains(QStringLiteral("open software true ") + folder.subFolder(true)), qPrintable(err));
    QVERIFY(folder.waitForRecord(true));
    QCOMPARE(folder.records(true).size(), 1);
    QVERIFY(folder.records(false).isEmpty());
  }
};

QObject* makeProgramTest() { return new ProgramTest; }

#include "program_test.moc"
