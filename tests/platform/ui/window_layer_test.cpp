#include <QFontInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QtTest>
#include <atomic>
#include <thread>
#include <vector>

#include "platform/ui/message_window.h"
#include "platform/ui/window_look.h"
#include "platform/ui/window_server.h"

using namespace platform;

namespace {

struct Received {
  unsigned message;
  WPARAM w;
  LPARAM l;
};

// A window with its own message map over a base window with another, so
// that dispatch and the fallback to the base class are both exercised.
class BaseWindow : public MessageWindow {
 public:
  using MessageWindow::MessageWindow;
  std::vector<Received> baseGot;

 protected:
  bool onMessage(unsigned m, WPARAM w, LPARAM l, LRESULT& r) override {
    static const MessageEntry<BaseWindow> kMap[] = {{WM_USER + 1, &BaseWindow::onBase}};
    return dispatchMessages(this, kMap, m, w, l, r) || MessageWindow::onMessage(m, w, l, r);
  }
  LRESULT onBase(WPARAM w, LPARAM l) {
    baseGot.push_back({WM_USER + 1, w, l});
    return 11;
  }
};

class TestWindow : public BaseWindow {
 public:
  using BaseWindow::BaseWindow;
  std::vector<Received> got;
  bool endInInit = false;

 protected:
  bool onMessage(unsigned m, WPARAM w, LPARAM l, LRESULT& r) override {
    static const MessageEntry<TestWindow> kMap[] = {
        {WM_USER + 2, &TestWindow::onOwn},
        {WM_TIMER, &TestWindow::onTimer},
        {WM_USER + 1067, &TestWindow::onOwn},
    };
    if (dispatchMessages(this, kMap, m, w, l, r)) return true;
    got.push_back({m, w, l});  // record what fell through, then pass on
    return BaseWindow::onMessage(m, w, l, r);
  }
  void onInitDialog() override {
    if (endInInit) endDialog(7);
  }
  LRESULT onOwn(WPARAM w, LPARAM l) {
    got.push_back({WM_USER + 2, w, l});
    return static_cast<LRESULT>(w) * 2;
  }
  LRESULT onTimer(WPARAM w, LPARAM) {
    got.push_back({WM_TIMER, w, 0});
    if (++ticks == 3) killWindowTimer(static_cast<unsigned>(w));
    return 0;
  }

 public:
  int ticks = 0;
};

}  // namespace

class WindowLayerTest : public QObject {
  Q_OBJECT

 private slots:
  void messageMapDispatchesOwnAndBaseRows() {
    TestWindow w;
    QCOMPARE(w.sendMessage(WM_USER + 2, 21, -5), LRESULT(42));
    QCOMPARE(w.sendMessage(WM_USER + 1, 3, 4), LRESULT(11));
    QCOMPARE(w.baseGot.size(), size_t(1));
    QCOMPARE(w.baseGot[0].w, WPARAM(3));
    QCOMPARE(w.baseGot[0].l, LPARAM(4));
    // Unknown numbers reach the default handling and answer 0.
    QCOMPARE(w.sendMessage(WM_USER + 99, 0, 0), LRESULT(0));
  }

  void postsFromWorkerThreadsArriveInOrder() {
    TestWindow w;
    w.setWindowTitle("Worker Target");
    const WindowHandle h = windowMessenger().findWindow(u"worker target");  // case ignored
    QCOMPARE(h, w.handle());
    std::atomic<int> failures{0};
    std::thread worker([&] {
      for (int i = 0; i <= 100; i += 20)
        if (!windowMessenger().postMessage(h, WM_USER + 1067, static_cast<WPARAM>(i), 0)) ++failures;
    });
    worker.join();
    QCOMPARE(failures.load(), 0);
    QTRY_COMPARE(w.got.size(), size_t(6));
    for (int i = 0; i < 6; ++i) QCOMPARE(w.got[i].w, WPARAM(i * 20));
  }

  void findWindowSeesOnlyLivingTopLevelWindows() {
    QCOMPARE(windowMessenger().findWindow(u"MyProgressDlg.."), WindowHandle(0));
    WindowHandle gone;
    {
      TestWindow top;
      top.setWindowTitle("MyProgressDlg..");  // found while hidden, as windows are
      TestWindow child(&top);
      child.setWindowTitle("ChildTitle");
      QCOMPARE(windowMessenger().findWindow(u"MyProgressDlg.."), top.handle());
      QCOMPARE(windowMessenger().findWindow(u"ChildTitle"), WindowHandle(0));
      QCOMPARE(windowMessenger().findWindow(u"MyProgressDlg"), WindowHandle(0));  // whole title only
      // A child made top-level is found from then on.
      child.setParent(nullptr, Qt::Window);
      QCOMPARE(windowMessenger().findWindow(u"ChildTitle"), child.handle());
      gone = top.handle();
      QVERIFY(windowMessenger().isWindow(gone));
    }
    QVERIFY(!windowMessenger().isWindow(gone));
    QVERIFY(!windowMessenger().postMessage(gone, WM_CLOSE, 0, 0));
    QCOMPARE(MessageWindow::fromHandle(gone), static_cast<MessageWindow*>(nullptr));
  }

  void postsRacingWithDestructionNeverCrash() {
    // A worker keeps posting to a window that the UI thread destroys.
    auto* w = new TestWindow;
    w->setWindowTitle("Racer");
    const WindowHandle h = w->handle();
    std::atomic<bool> stop{false};
    std::atomic<int> delivered{0}, refused{0};
    std::thread worker([&] {
      while (!stop) (windowMessenger().postMessage(h, WM_USER + 2, 1, 0) ? delivered : refused)++;
    });
    QTRY_VERIFY(delivered.load() > 100);
    delete w;
    QTRY_VERIFY(refused.load() > 0);
    stop = true;
    worker.join();
    QCoreApplication::processEvents();
  }

  void modalRunEndsWithResultOrCancelOnClose() {
    TestWindow w;
    QTimer::singleShot(0, &w, [&] {
      QVERIFY(w.isVisible());
      QVERIFY(w.isRunningModal());
      w.endDialog(IDOK);
    });
    QCOMPARE(w.doModal(), IDOK);
    QVERIFY(!w.isVisible());

    // WM_CLOSE posted from another thread ends the run with IDCANCEL.
    std::thread closer;
    QTimer::singleShot(0, &w, [&] {
      closer = std::thread([h = w.handle()] { windowMessenger().postMessage(h, WM_CLOSE, 0, 0); });
    });
    QCOMPARE(w.doModal(), IDCANCEL);
    closer.join();

    // Ended during set-up: never shown.
    TestWindow early;
    early.endInInit = true;
    bool shown = false;
    QTimer::singleShot(0, &early, [&] { shown = early.isVisible(); });
    QCOMPARE(early.doModal(), 7);
    QVERIFY(!shown);
    QVERIFY(!early.isVisible());
  }

  void timersDeliverTheirIdUntilKilled() {
    TestWindow w;
    QVERIFY(w.setWindowTimer(576, 5));
    QVERIFY(w.hasWindowTimer(576));
    QTRY_COMPARE(w.ticks, 3);
    QVERIFY(!w.hasWindowTimer(576));
    QTest::qWait(30);
    QCOMPARE(w.ticks, 3);
    for (const Received& r : w.got) QCOMPARE(r.w, WPARAM(576));
    QVERIFY(!w.killWindowTimer(576));
  }

  void otherProcessFormDeliversOnlyAllowedMessages() {
    TestWindow w;
    WindowServer server;
    QVERIFY(!postToOtherProcess(u"Lumera Title", 1132, 0, 513, 200));  // nobody listens yet
    QVERIFY(!otherProcessHasWindow(u"Lumera Title"));
    QVERIFY(server.listen(&w, u"Lumera Title", {1132}));
    QVERIFY(otherProcessHasWindow(u"lumera TITLE"));  // the probe itself is never delivered
    QVERIFY(postToOtherProcess(u"LUMERA title", 1132, 0, 513));
    QVERIFY(postToOtherProcess(u"Lumera Title", WM_CLOSE, 0, 0));  // delivered to the socket, dropped there
    QTRY_VERIFY(!w.got.empty());
    QTest::qWait(50);
    QCOMPARE(w.got.size(), size_t(1));
    QCOMPARE(w.got[0].message, 1132u);
    QCOMPARE(w.got[0].w, WPARAM(0));
    QCOMPARE(w.got[0].l, LPARAM(513));
    // A second server for the same title (a crashed run's leftover name)
    // takes over cleanly.
    WindowServer again;
    QVERIFY(again.listen(&w, u"Lumera Title", {1132}));
    server.close();
    QVERIFY(again.isListening());
  }

  void backgroundDragMovesTheWindow() {
    MessageWindow w(nullptr, Qt::FramelessWindowHint);
    w.setBackgroundDrag(true);
    w.setGeometry(100, 100, 200, 100);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QPoint start = w.pos();
    const QPoint local(20, 30);
    const QPoint global = w.mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &press);
    const QPoint delta(35, -12);
    QMouseEvent move(QEvent::MouseMove, local + delta, global + delta, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, local + delta, global + delta, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(&w, &release);
    QCOMPARE(w.pos(), start + delta);
    // Without the flag the window stays.
    w.setBackgroundDrag(false);
    QApplication::sendEvent(&w, &press);
    QApplication::sendEvent(&w, &move);
    QCOMPARE(w.pos(), start + delta);
  }

  void colourKeyRegionCutsKeyedPixels_data() {
    QTest::addColumn<int>("tolerance");
    QTest::addColumn<int>("keptPixels");
    // 10x4 image: key colour (10,20,30) in columns 0-1, (15,25,35) in
    // columns 8-9, other pixels solid. Tolerance 0 cuts only the exact key.
    QTest::newRow("exact") << 0 << 32;
    QTest::newRow("within 10") << 10 << 24;
    QTest::newRow("within 4") << 4 << 32;
  }
  void colourKeyRegionCutsKeyedPixels() {
    QFETCH(int, tolerance);
    QFETCH(int, keptPixels);
    QImage img(10, 4, QImage::Format_RGB32);
    img.fill(QColor(200, 0, 0));
    for (int y = 0; y < 4; ++y) {
      for (int x : {0, 1}) img.setPixel(x, y, qRgb(10, 20, 30));
      for (int x : {8, 9}) img.setPixel(x, y, qRgb(15, 25, 35));
    }
    img.setPixel(5, 2, qRgb(10, 20, 30));  // a hole in the middle of a run
    const QRegion r = regionFromColourKey(img, qRgb(10, 20, 30), tolerance);
    int count = 0;
    for (const QRect& rect : r) count += rect.width() * rect.height();
    QCOMPARE(count, keptPixels - 1);
    QVERIFY(!r.contains(QPoint(0, 0)));
    QVERIFY(!r.contains(QPoint(5, 2)));
    QVERIFY(r.contains(QPoint(4, 2)) && r.contains(QPoint(6, 2)));
    QCOMPARE(r.contains(QPoint(9, 3)), tolerance < 5);
  }

  void colourKeyRegionHandlesManyRuns() {
    // More runs than one batch: a checkerboard of 100x60 has 3000 runs.
    QImage img(100, 60, QImage::Format_RGB32);
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 100; ++x) img.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    const QRegion r = regionFromColourKey(img, qRgb(255, 255, 255), 0);
    int count = 0;
    for (const QRect& rect : r) count += rect.width() * rect.height();
    QCOMPARE(count, 3000);
    QVERIFY(r.contains(QPoint(0, 0)));
    QVERIFY(!r.contains(QPoint(1, 0)));
    QVERIFY(r.contains(QPoint(99, 59)));
  }

  void dialogFontMapsToInstalledFaces() {
    const QFont f = dialogFont(14);
    const QString family = QFontInfo(f).family();
    QVERIFY2(family.contains("DejaVu") || family.contains("Noto") || family.contains("Liberation"),
             qPrintable(family));
    QVERIFY(QFont::substitutes("MS Shell Dlg").contains("Noto Sans CJK SC", Qt::CaseInsensitive));
    QCOMPARE(colourFromRef(0x00C8C8C8u), QColor(200, 200, 200));
    QCOMPARE(refFromColour(QColor(1, 2, 3)), 0x030201u);
  }

  void messageBoxHandlerReplacesTheDialog() {
    std::u16string seen;
    auto old = setMessageBoxHandler([&](QWidget*, const std::u16string& t, const std::u16string& c, MessageBoxIcon) {
      seen = t + u"|" + c;
      return 5;
    });
    QCOMPARE(messageBox(nullptr, u"Create slider failed", u"Warrning"), 5);
    QVERIFY(seen == u"Create slider failed|Warrning");
    setMessageBoxHandler(old);
  }
};

QObject* makeWindowLayerTest() { return new WindowLayerTest; }

#include "window_layer_test.moc"
