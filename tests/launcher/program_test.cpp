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

// The built launcher at the root of a launcher folder (its own folder
// decides where it looks for the programs), kbsim with `keyboards`, and the
// launcher started there.
struct Run {
  explicit Run(const std::vector<std::string>& keyboards) {
    simStarted = sim.start(keyboards);
    if (!simStarted) return;
    const QByteArray target = (folder.root() + QStringLiteral("/KavroQ350")).toLocal8Bit();
    // A hard link where the file systems allow it, else a copy.
    if (::link(KAVRO_LAUNCHER_PATH, target.constData()) != 0 &&
        !QFile::copy(QStringLiteral(KAVRO_LAUNCHER_PATH), QString::fromLocal8Bit(target)))
      return;
    launcher.start(QString::fromLocal8Bit(target), QStringList{});
  }
  bool started() { return simStarted && launcher.waitForStarted(10000); }
  // Standard error once the launcher ended by itself with status 0 (a
  // failure message otherwise).
  QString endedWell() {
    const QString err = QString::fromLocal8Bit(launcher.readAllStandardError());
    if (launcher.state() != QProcess::NotRunning) return QStringLiteral("still running");
    if (launcher.exitStatus() != QProcess::NormalExit || launcher.exitCode() != 0)
      return QStringLiteral("ended badly: ") + err;
    return err;
  }

  Simulator sim;
  bool simStarted = false;
  LauncherFolder folder;
  QProcess launcher;
};

}  // namespace

class ProgramTest : public QObject {
  Q_OBJECT
 private slots:
  void startsTheProgramOfThePresentKeyboardAndEnds() {
    Run run({"q350"});
    QVERIFY2(run.started(), run.sim.error().c_str());
    QVERIFY(run.launcher.waitForFinished(60000));
    const QString err = run.endedWell();
    QVERIFY2(err.contains(QStringLiteral("open software true ") + run.folder.subFolder(false)), qPrintable(err));
    QVERIFY(err.contains(QStringLiteral("KAppLauncher::~KAppLauncher")));
    QVERIFY(run.folder.waitForRecord(false));
    QCOMPARE(run.folder.records(false).size(), 1);
  }

  void waitsForAKeyboardAndStartsItsProgram() {
    Run run({});
    QVERIFY2(run.started(), run.sim.error().c_str());
    // Nothing tells from outside when the launcher has registered for
    // arrivals: plug the keyboard in again until it notices.
    int index = -1;
    QVERIFY(run.sim.control().plug("q350rgb", &index));
    for (int round = 0; round < 30 && !run.launcher.waitForFinished(2000); ++round) {
      QVERIFY(run.sim.control().unplug(index));
      QVERIFY(run.sim.control().replug(index));
    }
    const QString err = run.endedWell();
    QVERIFY2(err.contains(QStringLiteral("open software true ") + run.folder.subFolder(true)), qPrintable(err));
    QVERIFY(run.folder.waitForRecord(true));
    QCOMPARE(run.folder.records(true).size(), 1);
    QVERIFY(run.folder.records(false).isEmpty());
  }
};

QObject* makeProgramTest() { return new ProgramTest; }

#include "program_test.moc"
