#include <QKeyEvent>
#include <QtTest>

#include "platform/ui/virtual_keys.h"

using platform::VirtualKey;
namespace sc = platform::scancode;

class VirtualKeysTest : public QObject {
  Q_OBJECT

 private slots:
  void mapping_data() {
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<uint>("scanCode");
    QTest::addColumn<uint>("code");
    QTest::addColumn<uint>("sided");
    QTest::addColumn<bool>("right");
    const int kp = Qt::KeypadModifier;
    // By native scan code (X11 key code = evdev + 8): the side and keypad
    // origin come from the position.
    QTest::newRow("left ctrl") << int(Qt::Key_Control) << 0 << sc::kLeftCtrl << 0x11u << 0xA2u << false;
    QTest::newRow("right ctrl") << int(Qt::Key_Control) << 0 << sc::kRightCtrl << 0x11u << 0xA3u << true;
    QTest::newRow("left shift") << int(Qt::Key_Shift) << 0 << sc::kLeftShift << 0x10u << 0xA0u << false;
    QTest::newRow("right shift") << int(Qt::Key_Shift) << 0 << sc::kRightShift << 0x10u << 0xA1u << true;
    QTest::newRow("left alt") << int(Qt::Key_Alt) << 0 << sc::kLeftAlt << 0x12u << 0xA4u << false;
    QTest::newRow("right alt as AltGr") << int(Qt::Key_AltGr) << 0 << sc::kRightAlt << 0x12u << 0xA5u << true;
    QTest::newRow("left win") << int(Qt::Key_Super_L) << 0 << sc::kLeftWin << 0x5Bu << 0x5Bu << false;
    QTest::newRow("right win") << int(Qt::Key_Super_R) << 0 << sc::kRightWin << 0x5Cu << 0x5Cu << true;
    QTest::newRow("return") << int(Qt::Key_Return) << 0 << sc::kReturn << 0x0Du << 0x0Du << false;
    QTest::newRow("keypad enter") << int(Qt::Key_Enter) << kp << sc::kKeypadEnter << 0x0Du << 0xFDu << false;
    QTest::newRow("A by position") << int(Qt::Key_Q) << 0 << 38u << 0x41u << 0x41u << false;  // AZERTY 'Q' key
    QTest::newRow("shifted 1") << int(Qt::Key_Exclam) << int(Qt::ShiftModifier) << 10u << 0x31u << 0x31u << false;
    QTest::newRow("F12") << int(Qt::Key_F12) << 0 << 96u << 0x7Bu << 0x7Bu << false;
    QTest::newRow("keypad 7 numlock on") << int(Qt::Key_7) << kp << 79u << 0x67u << 0x67u << false;
    QTest::newRow("keypad 7 numlock off") << int(Qt::Key_Home) << kp << 79u << 0x24u << 0x24u << false;
    QTest::newRow("keypad minus") << int(Qt::Key_Minus) << kp << 82u << 0x6Du << 0x6Du << false;
    QTest::newRow("102nd key") << int(Qt::Key_Less) << 0 << 94u << 0xE2u << 0xE2u << false;
    QTest::newRow("grave") << int(Qt::Key_QuoteLeft) << 0 << 49u << 0xC0u << 0xC0u << false;
    QTest::newRow("semicolon") << int(Qt::Key_Semicolon) << 0 << 47u << 0xBAu << 0xBAu << false;
    QTest::newRow("pause") << int(Qt::Key_Pause) << 0 << 127u << 0x13u << 0x13u << false;
    QTest::newRow("print") << int(Qt::Key_Print) << 0 << 107u << 0x2Cu << 0x2Cu << false;
    QTest::newRow("menu") << int(Qt::Key_Menu) << 0 << 135u << 0x5Du << 0x5Du << false;
    QTest::newRow("delete") << int(Qt::Key_Delete) << 0 << 119u << 0x2Eu << 0x2Eu << false;
    // Without a scan code (synthetic events): from the Qt key.
    QTest::newRow("no scan: ctrl") << int(Qt::Key_Control) << 0 << 0u << 0x11u << 0xA2u << false;
    QTest::newRow("no scan: AltGr is right alt") << int(Qt::Key_AltGr) << 0 << 0u << 0x12u << 0xA5u << true;
    QTest::newRow("no scan: keypad enter") << int(Qt::Key_Enter) << kp << 0u << 0x0Du << 0xFDu << false;
    QTest::newRow("no scan: letter") << int(Qt::Key_Z) << 0 << 0u << 0x5Au << 0x5Au << false;
    QTest::newRow("no scan: keypad 3") << int(Qt::Key_3) << kp << 0u << 0x63u << 0x63u << false;
    QTest::newRow("no scan: digit") << int(Qt::Key_3) << 0 << 0u << 0x33u << 0x33u << false;
    QTest::newRow("no scan: shifted 9") << int(Qt::Key_ParenLeft) << 0 << 0u << 0x39u << 0x39u << false;
    QTest::newRow("no scan: keypad star") << int(Qt::Key_Asterisk) << kp << 0u << 0x6Au << 0x6Au << false;
    QTest::newRow("no scan: F24") << int(Qt::Key_F24) << 0 << 0u << 0x87u << 0x87u << false;
    QTest::newRow("no scan: unknown") << int(Qt::Key_Adiaeresis) << 0 << 0u << 0u << 0u << false;
  }

  void mapping() {
    QFETCH(int, qtKey);
    QFETCH(int, modifiers);
    QFETCH(uint, scanCode);
    QFETCH(uint, code);
    QFETCH(uint, sided);
    QFETCH(bool, right);
    QKeyEvent e(QEvent::KeyPress, qtKey, Qt::KeyboardModifiers(modifiers), scanCode, 0, 0);
    const VirtualKey vk = platform::virtualKeyOf(e);
    QCOMPARE(vk.code, code);
    QCOMPARE(vk.sided(), sided);
    QCOMPARE(vk.right, right);
  }
};

QObject* makeVirtualKeysTest() { return new VirtualKeysTest; }

#include "virtual_keys_test.moc"
