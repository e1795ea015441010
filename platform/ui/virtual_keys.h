// Windows virtual-key codes from Qt key events.
//
// The programs identify keys by the Windows virtual-key numbering. A key's
// code comes from its position when the native scan code is known (X11 and
// Wayland give the evdev code + 8), so that the codes do not depend on the
// keyboard layout any more than the Windows codes do; without a scan code
// (synthetic events) it comes from the Qt key. Left and right modifiers and
// the keypad Enter can only be told apart by the scan code (or by Qt's
// AltGr and keypad flag).
#pragma once

#include <QtGlobal>
#include <qnamespace.h>

class QKeyEvent;

namespace platform {

struct VirtualKey {
  // The code as the key-down message carries it: 0x10, 0x11, 0x12 for
  // Shift, Ctrl and Alt on either side; 0x0D for both Enter keys; 0x5B and
  // 0x5C for the two Windows keys. 0 when the key has no code.
  unsigned code = 0;
  bool right = false;   // the right-hand Shift, Ctrl, Alt or Windows key
  bool keypad = false;  // a key of the numeric keypad

  // Left and right kept apart: 0xA0/0xA1 Shift, 0xA2/0xA3 Ctrl, 0xA4/0xA5
  // Alt; the keypad Enter as 0xFD (the programs' own code for it).
  unsigned sided() const;
};

VirtualKey virtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeScanCode);
VirtualKey virtualKeyOf(const QKeyEvent& event);

// Native scan codes (X11 key codes, evdev + 8) of the keys whose side or
// keypad origin matters, for tests and event filters.
namespace scancode {
constexpr quint32 kLeftShift = 50, kRightShift = 62;
constexpr quint32 kLeftCtrl = 37, kRightCtrl = 105;
constexpr quint32 kLeftAlt = 64, kRightAlt = 108;
constexpr quint32 kLeftWin = 133, kRightWin = 134;
constexpr quint32 kReturn = 36, kKeypadEnter = 104;
}  // namespace scancode

}  // namespace platform
