// KAppLauncher: the decision at start and on arrival, the program start in
// its sub-folder, one start only, the quit after a start, and a failed start.
#include <QFileInfo>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include "launcher/app_launcher.h"
#include "launcher/main_window.h"
#include "tests/launcher/launcher_fixture.h"

using launchertest::DebugLines;
using launchertest::LauncherFolder;
using launchertest::quitsWhileRunning;
using launchertest::Simulator;

Q_DECLARE_METATYPE(std::vector<quint32>)

namespace {

enum Started { kNone, kQ350, kRgb };

// Interfaces given as vendor << 16 | product, in the system's order.
KAppLauncher::Enumerator listing(const std::vector<quint32>& ids, int* visited) {
  return [ids, visited](const KHID::KBLETools::Visitor& visit) {
    for (quint32 id : ids) {
      KHID::KHidDetail d;
      d.vendorId = quint16(id >> 16);
      d.productId = quint16(id & 0xFFFF);
      bool keepGoing = true;
      ++*visited;
      visit(d, keepGoing);
      if (!keepGoing) break;
    }
  };
}

int quitTimers(KAppLauncher& launcher) {
  int n = 0;
  for (QTimer* t : launcher.findChildren<QTimer*>()) n += t->isSingleShot() && t->interval() == 500;
  return n;
}

QString openLine(const LauncherFolder& folder, bool rgb, bool ok) {
  return QStringLiteral("open software %1 %2 %3")
      .arg(ok ? QStringLiteral("true") : QStringLiteral("false"), folder.subFolder(rgb),
           rgb ? QStringLiteral("Lumera") : QStringLiteral("Q350Config"));
}

// The stand-in ran once, by its full path, with no arguments, in its own
// sub-folder; the other one never ran.
void checkStartedOnce(const LauncherFolder& folder, bool rgb) {
  QVERIFY(folder.waitForRecord(rgb));
  const QString cwd = QFileInfo(folder.subFolder(rgb)).canonicalFilePath();
  QCOMPARE(folder.records(rgb), QStringList{folder.programPath(rgb) + QStringLiteral("|0|") + cwd});
  QVERIFY(folder.records(!rgb).isEmpty());
}

}  // namespace

class LauncherTest : public QObject {
  Q_OBJECT
 private slots:
  void decisionAtStart_data() {
    QTest::addColumn<std::vector<quint32>>("ids");
    QTest::addColumn<int>("started");
    QTest::addColumn<int>("visited");
    QTest::newRow("Q350") << std::vector<quint32>{0x24AE4011} << int(kQ350) << 1;
    QTest::newRow("Q350RGB") << std::vector<quint32>{0x24AE4018} << int(kRgb) << 1;
    QTest::newRow("0x4012 only") << std::vector<quint32>{0x24AE4012} << int(kNone) << 1;
    QTest::newRow("nothing") << std::vector<quint32>{} << int(kNone) << 0;
    QTest::newRow("other vendor") << std::vector<quint32>{0x12344011, 0x12344018} << int(kNone) << 2;
    QTest::newRow("mouse, 0x4012, Q350") << std::vector<quint32>{0x046DC077, 0x24AE4012, 0x24AE4011, 0x24AE4018}
                                         << int(kQ350) << 3;
    QTest::newRow("both, Q350RGB listed first") << std::vector<quint32>{0x24AE4018, 0x24AE4011} << int(kRgb) << 1;
  }
  void decisionAtStart() {
    QFETCH(std::vector<quint32>, ids);
    QFETCH(int, started);
    QFETCH(int, visited);
    LauncherFolder folder;
    DebugLines debug;
    int calls = 0;
    KAppLauncher launcher(listing(ids, &calls));
    QCOMPARE(calls, visited);
    QCOMPARE(debug.lines().value(0), QStringLiteral("KAppLauncher::KAppLauncher"));
    if (started == kNone) {
      QVERIFY(launcher.window() && launcher.window()->isVisible());
      QVERIFY(!launcher.launched());
      QCOMPARE(quitTimers(launcher), 0);
      QCOMPARE(debug.lines().filter(QStringLiteral("open software")).size(), 0);
      return;
    }
    const bool rgb = started == kRgb;
    QVERIFY(!launcher.window());
    QVERIFY(launcher.launched());
    QCOMPARE(quitTimers(launcher), 1);
    QCOMPARE(debug.count(openLine(folder, rgb, true)), 1);
    QVERIFY(quitsWhileRunning());
    checkStartedOnce(folder, rgb);
  }

  void q350PresentAtStart() {
    // The system's own listing, with the simulator as the keyboard.
    Simulator sim;
    QVERIFY2(sim.start({"q350"}), sim.error().c_str());
    LauncherFolder folder;
    KAppLauncher launcher;
    QVERIFY(launcher.watcher().registerNotification());
    QVERIFY(!launcher.window());
    QVERIFY(quitsWhileRunning());
    checkStartedOnce(folder, false);
  }

  void unknownProductIdThroughTheSimulator() {
    // A keyboard of the maker that neither program serves (product 0x4012):
    // present at start, then unplugged and plugged in again. The window
    // stays and nothing is started.
    Simulator sim;
    QVERIFY2(sim.start({}), sim.error().c_str());
    int index = -1;
    QVERIFY(sim.control().plug("q350", &index));
    QVERIFY(sim.control().unplug(index));
    QVERIFY(sim.control().setProductId(index, 0x4012));
    QVERIFY(sim.control().replug(index));
    LauncherFolder folder;
    DebugLines debug;
    KAppLauncher launcher;
    QVERIFY(launcher.window() && launcher.window()->isVisible());
    QSignalSpy changes(&launcher.watcher(), &KHID::KHIDWatcher::sigHIDDeviceChange);
    QVERIFY(launcher.watcher().registerNotification());
    QVERIFY(sim.control().unplug(index));
    QVERIFY(sim.control().replug(index));
    QTRY_COMPARE_WITH_TIMEOUT(changes.count(), 4, 10000);  // two interfaces out, two in
    QVERIFY(changes.at(3).at(1).toString().contains(QStringLiteral("PID_4012")));
    QVERIFY(!launcher.launched());
    QCOMPARE(quitTimers(launcher), 0);
    QCOMPARE(debug.lines().filter(QStringLiteral("open software")).size(), 0);
    QVERIFY(launcher.window()->isVisible());
  }

  void programThatCannotStart() {
    // Found, but nothing to start: no window either, and the launcher still
    // ends. The next matching arrival tries again and arms another timer.
    LauncherFolder folder(false);
    DebugLines debug;
    {
      int calls = 0;
      KAppLauncher launcher(listing({0x24AE4011}, &calls));
      QVERIFY(!launcher.window());
      QVERIFY(!launcher.launched());
      QCOMPARE(debug.count(openLine(folder, false, false)), 1);
      emit launcher.watcher().sigHIDDeviceChange(true, QStringLiteral("\\\\?\\HID#VID_24AE&PID_4011&MI_01#x#{g}"));
      QCOMPARE(debug.count(openLine(folder, false, false)), 2);
      QCOMPARE(quitTimers(launcher), 2);
      QVERIFY(quitsWhileRunning());
    }
    QCOMPARE(debug.lines().last(), QStringLiteral("KAppLauncher::~KAppLauncher"));
  }

  void arrivalAndRemoval_data() {
    QTest::addColumn<bool>("status");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("started");
    const QString guid = QStringLiteral("#{4d1e55b2-f16f-11cf-88cb-001111000030}");
    QTest::newRow("Q350RGB arrives") << true << "\\\\?\\HID#VID_24AE&PID_4018&MI_01#7&1b&0&0001" + guid << int(kRgb);
    QTest::newRow("Q350 arrives") << true << "\\\\?\\HID#VID_24AE&PID_4011&MI_01#7&2c&0&0001" + guid << int(kQ350);
    QTest::newRow("0x4012 arrives") << true << "\\\\?\\HID#VID_24AE&PID_4012&MI_01#7&3d&0&0001" + guid << int(kNone);
    QTest::newRow("lower case path") << true << "\\\\?\\hid#vid_24ae&pid_4018&mi_01#7&1b&0&0001" + guid << int(kNone);
    QTest::newRow("Q350RGB removed") << false << "\\\\?\\HID#VID_24AE&PID_4018&MI_01#7&1b&0&0001" + guid << int(kNone);
  }
  void arrivalAndRemoval() {
    QFETCH(bool, status);
    QFETCH(QString, path);
    QFETCH(int, started);
    LauncherFolder folder;
    int calls = 0;
    KAppLauncher launcher(listing({}, &calls));
    QVERIFY(launcher.window() && launcher.window()->isVisible());
    DebugLines debug;
    emit launcher.watcher().sigHIDDeviceChange(status, path);
    QCOMPARE(debug.lines().value(0), path);
    if (started == kNone) {
      QCOMPARE(debug.lines().size(), 1);
      QVERIFY(!launcher.launched());
      QCOMPARE(quitTimers(launcher), 0);
      QVERIFY(launcher.window()->isVisible());
      return;
    }
    QVERIFY(launcher.launched());
    QCOMPARE(debug.lines().value(1), openLine(folder, started == kRgb, true));
    QVERIFY(quitsWhileRunning());
    checkStartedOnce(folder, started == kRgb);
  }

  void keyboardPluggedInLater() {
    // Nothing at start: the window waits. The Q350RGB brings three HID
    // interfaces; the first starts Lumera, the others find it started.
    Simulator sim;
    QVERIFY2(sim.start({}), sim.error().c_str());
    LauncherFolder folder;
    KAppLauncher launcher;
    QVERIFY(launcher.window() && launcher.window()->isVisible());
    QSignalSpy arrivals(&launcher.watcher(), &KHID::KHIDWatcher::sigHIDDeviceChange);
    QVERIFY(launcher.watcher().registerNotification());
    QVERIFY(quitsWhileRunning([&sim] { QVERIFY(sim.control().plug("q350rgb")); }));
    QTRY_COMPARE_WITH_TIMEOUT(arrivals.count(), 3, 10000);
    QCOMPARE(quitTimers(launcher), 1);
    checkStartedOnce(folder, true);
  }

  void failedStartRetriedOnEachArrival() {
    Simulator sim;
    QVERIFY2(sim.start({}), sim.error().c_str());
    LauncherFolder folder(false);
    DebugLines debug;
    KAppLauncher launcher;
    QSignalSpy arrivals(&launcher.watcher(), &KHID::KHIDWatcher::sigHIDDeviceChange);
    QVERIFY(launcher.watcher().registerNotification());
    QVERIFY(quitsWhileRunning([&sim] { QVERIFY(sim.control().plug("q350rgb")); }));
    QTRY_COMPARE_WITH_TIMEOUT(arrivals.count(), 3, 10000);
    QVERIFY(!launcher.launched());
    QCOMPARE(debug.count(openLine(folder, true, false)), 3);
    QCOMPARE(quitTimers(launcher), 3);
  }
};

QObject* makeLauncherTest() { return new LauncherTest; }

#include "launcher_test.moc"
