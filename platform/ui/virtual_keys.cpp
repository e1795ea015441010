#include "platform/ui/virtual_keys.h"

#include <QKeyEvent>
#include <array>

namespace platform {

namespace {

// evdev key code -> virtual-key code, by key position (US layout names).
constexpr std::array<unsigned char, 195> makeEvdevTable() {
  std::array<unsigned char, 195> t{};
  t[1] = 0x1B;
  for (int i = 0; i < 9; ++i) t[2 + i] = static_cast<unsigned char>(0x31 + i);  // 1..9
  t[11] = 0x30;
  t[12] = 0xBD; t[13] = 0xBB; t[14] = 0x08; t[15] = 0x09;
  const char row1[] = "QWERTYUIOP";
  for (int i = 0; i < 10; ++i) t[16 + i] = static_cast<unsigned char>(row1[i]);
  t[26] = 0xDB; t[27] = 0xDD; t[28] = 0x0D; t[29] = 0x11;
  const char row2[] = "ASDFGHJKL";
  for (int i = 0; i < 9; ++i) t[30 + i] = static_cast<unsigned char>(row2[i]);
  t[39] = 0xBA; t[40] = 0xDE; t[41] = 0xC0; t[42] = 0x10; t[43] = 0xDC;
  const char row3[] = "ZXCVBNM";
  for (int i = 0; i < 7; ++i) t[44 + i] = static_cast<unsigned char>(row3[i]);
  t[51] = 0xBC; t[52] = 0xBE; t[53] = 0xBF; t[54] = 0x10; t[55] = 0x6A; t[56] = 0x12;
  t[57] = 0x20; t[58] = 0x14;
  for (int i = 0; i < 10; ++i) t[59 + i] = static_cast<unsigned char>(0x70 + i);  // F1..F10
  t[69] = 0x90; t[70] = 0x91;
  t[71] = 0x67; t[72] = 0x68; t[73] = 0x69; t[74] = 0x6D;
  t[75] = 0x64; t[76] = 0x65; t[77] = 0x66; t[78] = 0x6B;
  t[79] = 0x61; t[80] = 0x62; t[81] = 0x63; t[82] = 0x60; t[83] = 0x6E;
  t[86] = 0xE2; t[87] = 0x7A; t[88] = 0x7B;
  t[96] = 0x0D; t[97] = 0x11; t[98] = 0x6F; t[99] = 0x2C; t[100] = 0x12;
  t[102] = 0x24; t[103] = 0x26; t[104] = 0x21; t[105] = 0x25; t[106] = 0x27;
  t[107] = 0x23; t[108] = 0x28; t[109] = 0x22; t[110] = 0x2D; t[111] = 0x2E;
  t[113] = 0xAD; t[114] = 0xAE; t[115] = 0xAF; t[119] = 0x13;
  t[125] = 0x5B; t[126] = 0x5C; t[127] = 0x5D;
  t[163] = 0xB0; t[164] = 0xB3; t[165] = 0xB1; t[166] = 0xB2;
  for (int i = 0; i < 12; ++i) t[183 + i] = static_cast<unsigned char>(0x7C + i);  // F13..F24
  return t;
}
constexpr std::array<unsigned char, 195> kEvdev = makeEvdevTable();

bool isEvdevKeypad(unsigned evdev) {
  return (evdev >= 71 && evdev <= 83) || evdev == 55 || evdev == 96 || evdev == 98;
}
bool isEvdevRight(unsigned evdev) { return evdev == 54 || evdev == 97 || evdev == 100 || evdev == 126; }

// Keypad keys whose meaning follows NumLock (7 is Home without it).
bool isEvdevNumLockKey(unsigned evdev) { return (evdev >= 71 && evdev <= 83) && evdev != 74 && evdev != 78; }

struct QtKeyCode {
  int key;
  unsigned code;
  unsigned keypadCode;  // the code when the event carries the keypad flag (0: same)
};

// Qt key -> virtual-key code, for events without a scan code. Shifted
// symbols map to the key that types them on a US keyboard.
constexpr QtKeyCode kQtKeys[] = {
    {Qt::Key_Escape, 0x1B, 0},     {Qt::Key_Tab, 0x09, 0},         {Qt::Key_Backtab, 0x09, 0},
    {Qt::Key_Backspace, 0x08, 0},  {Qt::Key_Return, 0x0D, 0},      {Qt::Key_Enter, 0x0D, 0},
    {Qt::Key_Insert, 0x2D, 0},     {Qt::Key_Delete, 0x2E, 0},      {Qt::Key_Pause, 0x13, 0},
    {Qt::Key_Print, 0x2C, 0},      {Qt::Key_SysReq, 0x2C, 0},      {Qt::Key_Clear, 0x0C, 0},
    {Qt::Key_Home, 0x24, 0},       {Qt::Key_End, 0x23, 0},         {Qt::Key_Left, 0x25, 0},
    {Qt::Key_Up, 0x26, 0},         {Qt::Key_Right, 0x27, 0},       {Qt::Key_Down, 0x28, 0},
    {Qt::Key_PageUp, 0x21, 0},     {Qt::Key_PageDown, 0x22, 0},    {Qt::Key_Shift, 0x10, 0},
    {Qt::Key_Control, 0x11, 0},    {Qt::Key_Meta, 0x5B, 0},        {Qt::Key_Super_L, 0x5B, 0},
    {Qt::Key_Super_R, 0x5C, 0},    {Qt::Key_Alt, 0x12, 0},         {Qt::Key_AltGr, 0x12, 0},
    {Qt::Key_CapsLock, 0x14, 0},   {Qt::Key_NumLock, 0x90, 0},     {Qt::Key_ScrollLock, 0x91, 0},
    {Qt::Key_Menu, 0x5D, 0},       {Qt::Key_Help, 0x2F, 0},        {Qt::Key_Space, 0x20, 0},
    {Qt::Key_Asterisk, 0x38, 0x6A}, {Qt::Key_Plus, 0xBB, 0x6B},    {Qt::Key_Minus, 0xBD, 0x6D},
    {Qt::Key_Period, 0xBE, 0x6E},  {Qt::Key_Slash, 0xBF, 0x6F},    {Qt::Key_Comma, 0xBC, 0x6E},
    {Qt::Key_Semicolon, 0xBA, 0},  {Qt::Key_Colon, 0xBA, 0},       {Qt::Key_Apostrophe, 0xDE, 0},
    {Qt::Key_QuoteDbl, 0xDE, 0},   {Qt::Key_QuoteLeft, 0xC0, 0},   {Qt::Key_AsciiTilde, 0xC0, 0},
    {Qt::Key_BracketLeft, 0xDB, 0}, {Qt::Key_BraceLeft, 0xDB, 0},  {Qt::Key_BracketRight, 0xDD, 0},
    {Qt::Key_BraceRight, 0xDD, 0}, {Qt::Key_Backslash, 0xDC, 0},   {Qt::Key_Bar, 0xDC, 0},
    {Qt::Key_Equal, 0xBB, 0},      {Qt::Key_Underscore, 0xBD, 0},  {Qt::Key_Less, 0xBC, 0},
    {Qt::Key_Greater, 0xBE, 0},    {Qt::Key_Question, 0xBF, 0},    {Qt::Key_Exclam, 0x31, 0},
    {Qt::Key_At, 0x32, 0},         {Qt::Key_NumberSign, 0x33, 0},  {Qt::Key_Dollar, 0x34, 0},
    {Qt::Key_Percent, 0x35, 0},    {Qt::Key_AsciiCircum, 0x36, 0}, {Qt::Key_Ampersand, 0x37, 0},
    {Qt::Key_ParenLeft, 0x39, 0},  {Qt::Key_ParenRight, 0x30, 0},  {Qt::Key_VolumeMute, 0xAD, 0},
    {Qt::Key_VolumeDown, 0xAE, 0}, {Qt::Key_VolumeUp, 0xAF, 0},    {Qt::Key_MediaNext, 0xB0, 0},
    {Qt::Key_MediaPrevious, 0xB1, 0}, {Qt::Key_MediaStop, 0xB2, 0}, {Qt::Key_MediaPlay, 0xB3, 0},
    {Qt::Key_MediaTogglePlayPause, 0xB3, 0},
};

unsigned codeFromQtKey(int key, bool keypad) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<unsigned>(key);  // 'A'..'Z'
  if (key >= Qt::Key_0 && key <= Qt::Key_9)
    return keypad ? 0x60u + static_cast<unsigned>(key - Qt::Key_0) : static_cast<unsigned>(key);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 0x70u + static_cast<unsigned>(key - Qt::Key_F1);
  for (const QtKeyCode& k : kQtKeys)
    if (k.key == key) return keypad && k.keypadCode ? k.keypadCode : k.code;
  return 0;
}

}  // namespace

unsigned VirtualKey::sided() const {
  switch (code) {
    case 0x10: return right ? 0xA1u : 0xA0u;
    case 0x11: return right ? 0xA3u : 0xA2u;
    case 0x12: return right ? 0xA5u : 0xA4u;
    case 0x0D: return keypad ? 0xFDu : 0x0Du;
    default: return code;
  }
}

VirtualKey virtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeScanCode) {
  VirtualKey vk;
  const bool keypadFlag = modifiers.testFlag(Qt::KeypadModifier);
  if (nativeScanCode > 8 && nativeScanCode - 8 < kEvdev.size() && kEvdev[nativeScanCode - 8] != 0) {
    const unsigned evdev = nativeScanCode - 8;
    vk.code = kEvdev[evdev];
    vk.right = isEvdevRight(evdev);
    vk.keypad = isEvdevKeypad(evdev);
    // With NumLock off the keypad digits are navigation keys, and Windows
    // reports them as such; Qt tells which by the key it produced.
    if (isEvdevNumLockKey(evdev) && qtKey != 0 && !(qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) &&
        qtKey != Qt::Key_Period && qtKey != Qt::Key_Comma) {
      const unsigned byKey = codeFromQtKey(qtKey, false);
      if (byKey) vk.code = byKey;
    }
    return vk;
  }
  vk.code = codeFromQtKey(qtKey, keypadFlag);
  vk.keypad = keypadFlag || qtKey == Qt::Key_Enter;
  vk.right = qtKey == Qt::Key_AltGr || qtKey == Qt::Key_Super_R;
  return vk;
}

VirtualKey virtualKeyOf(const QKeyEvent& event) {
  return virtualKeyOf(event.key(), event.modifiers(), event.nativeScanCode());
}

}  // namespace platform
