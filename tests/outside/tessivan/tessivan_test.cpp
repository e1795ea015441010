// libTessivan.so: the four entries, what reaches the receive window (codes
// and flags for left and right modifiers, both Enter keys, releases), and
// that keys are taken only while delivery is on.
#include <dlfcn.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QtTest>
#include <vector>

#include "outside/tessivan/tessivan_api.h"
#include "platform/ui/message_window.h"
#include "platform/ui/virtual_keys.h"
#include "tests/support/test_env.h"

namespace sc = platform::scancode;

namespace {

struct Hook {
  void* lib = nullptr;
  TessivanInstallHookFn install = nullptr;
  TessivanRemoveHookFn remove = nullptr;
  TessivanSetHookStatusFn status = nullptr;
  TessivanSetReciveWindowFn receiver = nullptr;
};

class Receiver : public platform::MessageWindow {
 public:
  std::vector<std::pair<unsigned, unsigned>> keys;  // code, flags

 protected:
  bool onMessage(unsigned m, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& r) override {
    if (m != TESSIVAN_MSG_HOOK_KEY) return false;
    keys.emplace_back(static_cast<unsigned>(w), static_cast<unsigned>(l));
    r = 1;
    return true;
  }
};

// Sends a key the way the platform delivers it: first to the native window,
// whose widget window hands it on to the focus widget.
bool sendKey(QWidget* focus, QEvent::Type type, int key, quint32 scan, Qt::KeyboardModifiers mods = {},
             const QString& text = QString()) {
  QKeyEvent e(type, key, mods, scan, 0, 0, text);
  QWindow* win = focus->window()->windowHandle();
  if (win) return QApplication::sendEvent(win, &e);
  return QApplication::sendEvent(focus, &e);
}

}  // namespace

class TessivanTest : public QObject {
  Q_OBJECT

  Hook h;

 private slots:
  void initTestCase() {
    h.lib = dlopen(TESSIVAN_LIB, RTLD_NOW | RTLD_LOCAL);
    QVERIFY2(h.lib, dlerror());
    h.install = reinterpret_cast<TessivanInstallHookFn>(dlsym(h.lib, "installhook"));
    h.remove = reinterpret_cast<TessivanRemoveHookFn>(dlsym(h.lib, "removehook"));
    h.status = reinterpret_cast<TessivanSetHookStatusFn>(dlsym(h.lib, "SetHookStatus"));
    h.receiver = reinterpret_cast<TessivanSetReciveWindowFn>(dlsym(h.lib, "SetReciveWindow"));
    QVERIFY(h.install && h.remove && h.status && h.receiver);
    // Nothing else leaves the library (the private platform copy stays inside).
    QVERIFY(!dlsym(h.lib, "_ZN8platform12virtualKeyOfERK9QKeyEvent"));
  }

  void keyCodesAndFlags_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<uint>("scan");
    QTest::addColumn<int>("mods");
    QTest::addColumn<uint>("code");
    QTest::addColumn<uint>("flags");
    QTest::addColumn<uint>("releaseFlags");
    QTest::newRow("left shift") << int(Qt::Key_Shift) << sc::kLeftShift << 0 << 0xA0u << 0u << 0x80u;
    QTest::newRow("right shift") << int(Qt::Key_Shift) << sc::kRightShift << 0 << 0xA1u << 0u << 0x80u;
    QTest::newRow("left ctrl") << int(Qt::Key_Control) << sc::kLeftCtrl << 0 << 0xA2u << 0u << 0x80u;
    QTest::newRow("right ctrl") << int(Qt::Key_Control) << sc::kRightCtrl << 0 << 0xA3u << 1u << 0x81u;
    QTest::newRow("left alt") << int(Qt::Key_Alt) << sc::kLeftAlt << 0 << 0xA4u << 0x20u << 0x80u;
    QTest::newRow("right alt") << int(Qt::Key_AltGr) << sc::kRightAlt << 0 << 0xA5u << 0x21u << 0x81u;
    QTest::newRow("alt+A") << int(Qt::Key_A) << 38u << int(Qt::AltModifier) << 0x41u << 0x20u << 0xA0u;
    QTest::newRow("left win") << int(Qt::Key_Super_L) << sc::kLeftWin << 0 << 0x5Bu << 1u << 0x81u;
    QTest::newRow("right win") << int(Qt::Key_Super_R) << sc::kRightWin << 0 << 0x5Cu << 1u << 0x81u;
    QTest::newRow("enter") << int(Qt::Key_Return) << sc::kReturn << 0 << 0x0Du << 0u << 0x80u;
    QTest::newRow("keypad enter") << int(Qt::Key_Enter) << sc::kKeypadEnter << int(Qt::KeypadModifier) << 0x0Du
                                  << 1u << 0x81u;
    QTest::newRow("A") << int(Qt::Key_A) << 38u << 0 << 0x41u << 0u << 0x80u;
    QTest::newRow("arrow up") << int(Qt::Key_Up) << 111u << 0 << 0x26u << 1u << 0x81u;
    QTest::newRow("keypad 8 as up") << int(Qt::Key_Up) << 80u << int(Qt::KeypadModifier) << 0x26u << 0u << 0x80u;
    QTest::newRow("synthetic shift") << int(Qt::Key_Shift) << 0u << 0 << 0xA0u << 0u << 0x80u;
  }

  void keyCodesAndFlags() {
    QFETCH(int, key);
    QFETCH(uint, scan);
    QFETCH(int, mods);
    QFETCH(uint, code);
    QFETCH(uint, flags);
    QFETCH(uint, releaseFlags);
    QWidget top;
    top.show();
    Receiver r;
    QCOMPARE(h.install(), 1);
    h.receiver(&r);
    h.status(1, 0);
    sendKey(&top, QEvent::KeyPress, key, scan, Qt::KeyboardModifiers(mods));
    sendKey(&top, QEvent::KeyRelease, key, scan, Qt::KeyboardModifiers(mods));
    h.status(0, 0);
    QCOMPARE(r.keys.size(), std::size_t{2});
    QCOMPARE(r.keys[0].first, code);
    QCOMPARE(r.keys[0].second, flags);
    QCOMPARE(r.keys[1].first, code);
    QCOMPARE(r.keys[1].second, releaseFlags);
  }

  void keysAreTakenOnlyWhileDeliveryIsOn() {
    QWidget top;
    auto* edit = new QLineEdit(&top);
    top.show();
    edit->setFocus();
    Receiver r;
    QCOMPARE(h.install(), 1);
    QCOMPARE(h.install(), 1);  // still one filter
    h.receiver(&r);
    // Off: the key types into the edit box and nothing is delivered.
    sendKey(edit, QEvent::KeyPress, Qt::Key_A, 38, {}, QStringLiteral("a"));
    QCOMPARE(edit->text(), QStringLiteral("a"));
    QVERIFY(r.keys.empty());
    // On: delivered once (not once per widget it passes), not typed.
    h.status(1, 0);
    sendKey(edit, QEvent::KeyPress, Qt::Key_B, 56, {}, QStringLiteral("b"));
    QKeyEvent direct(QEvent::KeyPress, Qt::Key_C, {}, 54, 0, 0, QStringLiteral("c"));
    QApplication::sendEvent(edit, &direct);
    QCOMPARE(edit->text(), QStringLiteral("a"));
    QCOMPARE(r.keys.size(), std::size_t{2});
    QCOMPARE(r.keys[0].first, 0x42u);
    QCOMPARE(r.keys[1].first, 0x43u);
    // A receive window that goes away is forgotten; keys pass again.
    {
      Receiver gone;
      h.receiver(&gone);
    }
    sendKey(edit, QEvent::KeyPress, Qt::Key_D, 40, {}, QStringLiteral("d"));
    QCOMPARE(edit->text(), QStringLiteral("ad"));
    // Removed: nothing is delivered even with the status on.
    h.receiver(&r);
    QCOMPARE(h.remove(), 1);
    QCOMPARE(h.remove(), 0);
    h.status(1, 0);
    sendKey(edit, QEvent::KeyPress, Qt::Key_E, 26, {}, QStringLiteral("e"));
    QCOMPARE(r.keys.size(), std::size_t{2});
    QCOMPARE(edit->text(), QStringLiteral("ade"));
  }
};

int main(int argc, char** argv) {
  testsupport::SandboxHome home;
  QApplication app(argc, argv);
  TessivanTest t;
  return QTest::qExec(&t, argc, argv);
}

#include "tessivan_test.moc"
