// KHID against kbsim: what the walk hands the visitor, how it stops, the
// lookup by path and its message, and the watcher's signals.
#include <QSignalSpy>
#include <QtTest>

#include "launcher/kble_tools.h"
#include "launcher/khid_watcher.h"
#include "tests/launcher/launcher_fixture.h"

using KHID::KBLETools;
using KHID::KHidDetail;
using launchertest::Simulator;

namespace {

std::vector<KHidDetail> walk() {
  std::vector<KHidDetail> seen;
  KBLETools::enumHidDevices([&seen](KHidDetail d, bool&) { seen.push_back(std::move(d)); });
  return seen;
}

}  // namespace

class KhidTest : public QObject {
  Q_OBJECT
 private slots:
  void walkDescribesEveryInterface() {
    Simulator sim;
    QVERIFY2(sim.start({"q350rgb", "q350"}), sim.error().c_str());
    struct Expected {
      const char* pathStart;
      quint16 pid;
      const char* product;
      quint16 page, usage, in, out, feature;
    };
    const Expected expected[] = {
        {"\\\\?\\HID#VID_24AE&PID_4018&MI_00#", 0x4018, "Varire Voror", 0x0001, 0x06, 9, 2, 0},
        {"\\\\?\\HID#VID_24AE&PID_4018&MI_01#", 0x4018, "Varire Voror", 0xFF00, 0x01, 0, 0, 1032},
        {"\\\\?\\HID#VID_24AE&PID_4018&MI_02#", 0x4018, "Varire Voror", 0xFF00, 0x01, 5, 0, 6},
        {"\\\\?\\HID#VID_24AE&PID_4011&MI_00#", 0x4011, "Kavro Q350 Gaming Keyboard", 0x0001, 0x06, 9, 2, 0},
        {"\\\\?\\HID#VID_24AE&PID_4011&MI_01#", 0x4011, "Kavro Q350 Gaming Keyboard", 0xFF1C, 0x92, 64, 64, 0},
    };
    const std::vector<KHidDetail> seen = walk();
    QCOMPARE(seen.size(), std::size(expected));
    for (std::size_t i = 0; i < seen.size(); ++i) {
      const KHidDetail& d = seen[i];
      const Expected& e = expected[i];
      QVERIFY2(d.path.startsWith(QLatin1String(e.pathStart)), qPrintable(d.path));
      QCOMPARE(d.vendorId, quint16(0x24AE));
      QCOMPARE(d.productId, e.pid);
      QCOMPARE(d.versionNumber, quint16(0x0100));
      QCOMPARE(d.productString, QString::fromLatin1(e.product));
      QCOMPARE(d.caps.usagePage, e.page);
      QCOMPARE(d.caps.usage, e.usage);
      QCOMPARE(d.caps.inputReportLength, e.in);
      QCOMPARE(d.caps.outputReportLength, e.out);
      QCOMPARE(d.caps.featureReportLength, e.feature);

      // The lookup by path describes the same interface, whatever the case.
      KHidDetail byPath;
      QVERIFY(KBLETools::getHidDetail(d.path.toLower().toStdString(), byPath));
      QCOMPARE(byPath.path, d.path);
      QCOMPARE(byPath.productId, d.productId);
      QCOMPARE(byPath.caps.featureReportLength, d.caps.featureReportLength);
    }
  }

  void visitorStopsTheWalk() {
    Simulator sim;
    QVERIFY2(sim.start({"q350rgb", "q350"}), sim.error().c_str());
    int calls = 0;
    KBLETools::enumHidDevices([&calls](KHidDetail, bool& keepGoing) {
      QVERIFY(keepGoing);  // set before every call
      keepGoing = ++calls < 2;
    });
    QCOMPARE(calls, 2);
  }

  void nothingPresentNothingVisited() {
    // No simulator listens on the socket, real devices are hidden.
    testsupport::TempDir none;
    testsupport::ScopedEnv socket("KAVRO_SIM_SOCKET", none.file("nobody.sock"));
    QVERIFY(walk().empty());
  }

  void productStringIsDecodedWhole() {
    // Not narrowed to bytes: a product string outside ASCII keeps its
    // characters; one longer than the 64 units the HID class hands over is
    // cut there, never inside a surrogate pair.
    Simulator sim;
    QVERIFY2(sim.start({"q350rgb"}), sim.error().c_str());
    const QString cyrillic = QStringLiteral("Клавиатура 键盘 ü");
    QVERIFY(sim.control().setProduct(0, cyrillic.toStdString()));
    QCOMPARE(walk().at(0).productString, cyrillic);

    const QString longName = QString(63, QLatin1Char('x')) + QStringLiteral("\U0001F3B9") + QStringLiteral("y");
    QVERIFY(sim.control().setProduct(0, longName.toStdString()));
    QCOMPARE(walk().at(0).productString, QString(63, QLatin1Char('x')));
  }

  void unknownPathIsReportedAndRefused() {
    Simulator sim;
    QVERIFY2(sim.start({"q350"}), sim.error().c_str());
    launchertest::StdoutCapture out;
    KHidDetail d;
    QVERIFY(!KBLETools::getHidDetail("\\\\?\\HID#VID_24AE&PID_4011&MI_07#gone#{x}", d));
    QCOMPARE(QString::fromStdString(out.text()), QStringLiteral("error : CreateFile \n"));
  }

  void watcherSignalsEachHidInterface() {
    Simulator sim;
    QVERIFY2(sim.start({}), sim.error().c_str());
    KHID::KHIDWatcher watcher;
    QSignalSpy spy(&watcher, &KHID::KHIDWatcher::sigHIDDeviceChange);
    QVERIFY(watcher.registerNotification());
    QVERIFY(!watcher.isVisible());

    int index = -1;
    QVERIFY(sim.control().plug("q350", &index));
    // The keyboard's USB device interface is not a HID interface: only the
    // two HID interfaces are signalled, each with its own path.
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 2, 10000);
    QStringList arrived;
    for (const QList<QVariant>& s : spy) {
      QCOMPARE(s.at(0).toBool(), true);
      arrived << s.at(1).toString();
    }
    QVERIFY2(arrived.at(0).startsWith(QLatin1String("\\\\?\\HID#VID_24AE&PID_4011&MI_00#")), qPrintable(arrived.at(0)));
    QVERIFY2(arrived.at(1).startsWith(QLatin1String("\\\\?\\HID#VID_24AE&PID_4011&MI_01#")), qPrintable(arrived.at(1)));

    spy.clear();
    QVERIFY(sim.control().unplug(index));
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 2, 10000);
    QStringList removed;
    for (const QList<QVariant>& s : spy) {
      QCOMPARE(s.at(0).toBool(), false);
      removed << s.at(1).toString();
    }
    removed.sort();
    QCOMPARE(removed, arrived);
  }
};

QObject* makeKhidTest() { return new KhidTest; }

#include "khid_test.moc"
