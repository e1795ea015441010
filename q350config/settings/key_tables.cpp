#include "q350config/settings/key_tables.h"

#include "platform/keyboard_layout.h"

#include <atomic>

#include "q350config/settings/macro_library.h"
#include "q350config/settings/messages.h"

namespace q350 {

namespace {

// ---- Virtual-key <-> usage pairs, in search order ----

std::array<UsageKeyPair, kUsagePairCount> buildUsageTable() {
  std::array<UsageKeyPair, kUsagePairCount> t{};
  std::size_t n = 0;
  auto add = [&](std::uint8_t usage, std::uint8_t vk) { t[n++] = UsageKeyPair{usage, vk}; };
  for (std::uint8_t k = 0; k < 26; ++k) add(static_cast<std::uint8_t>(0x04 + k), static_cast<std::uint8_t>(0x41 + k));
  for (std::uint8_t k = 0; k < 9; ++k) add(static_cast<std::uint8_t>(0x1E + k), static_cast<std::uint8_t>(0x31 + k));
  add(0x27, 0x30);
  for (std::uint8_t k = 0; k < 12; ++k) add(static_cast<std::uint8_t>(0x3A + k), static_cast<std::uint8_t>(0x70 + k));
  add(0x29, 0x1B);  // Esc
  add(0x28, 0x0D);  // Enter
  add(0x2A, 0x08);  // Backspace
  add(0x2B, 0x09);  // Tab
  add(0x2C, 0x20);  // Space
  add(0x2D, 0xBD);  // -
  add(0x2E, 0xBB);  // =
  add(0x2F, 0xDB);  // [
  add(0x30, 0xDD);  // ]
  add(0x31, 0xDC);  // backslash
  add(0x33, 0xBA);  // ;
  add(0x34, 0xDE);  // '
  add(0x35, 0xC0);  // `
  add(0x36, 0xBC);  // ,
  add(0x37, 0xBE);  // .
  add(0x38, 0xBF);  // /
  add(0x39, 0x14);  // Caps Lock
  add(0x46, 0x2C);  // Print Screen
  add(0x47, 0x91);  // Scroll Lock
  add(0x48, 0x13);  // Pause
  add(0x49, 0x2D);  // Insert
  add(0x4A, 0x24);  // Home
  add(0x4B, 0x21);  // Page Up
  add(0x4C, 0x2E);  // Delete
  add(0x4D, 0x23);  // End
  add(0x4E, 0x22);  // Page Down
  add(0x4F, 0x27);  // Right
  add(0x50, 0x25);  // Left
  add(0x51, 0x28);  // Down
  add(0x52, 0x26);  // Up
  add(0x53, 0x90);  // Num Lock
  add(0x54, 0x6F);  // numeric /
  add(0x55, 0x6A);  // numeric *
  add(0x56, 0x6D);  // numeric -
  add(0x57, 0x6B);  // numeric +
  add(0x58, 0x0D);  // numeric Enter: shadowed by Enter for searches by key
  for (std::uint8_t k = 0; k < 9; ++k) add(static_cast<std::uint8_t>(0x59 + k), static_cast<std::uint8_t>(0x61 + k));
  add(0x62, 0x60);  // numeric 0
  add(0x63, 0x6E);  // numeric .
  add(0xE0, 0xA2);  // left Ctrl
  add(0xE1, 0xA0);  // left Shift
  add(0xE2, 0xA4);  // left Alt
  add(0xE3, 0x5B);  // left Win
  add(0xE4, 0xA3);  // right Ctrl
  add(0xE5, 0xA1);  // right Shift
  add(0xE6, 0xA5);  // right Alt
  add(0xE7, 0x5C);  // right Win
  add(0x65, 0x5D);  // Applications
  add(0xF0, 0x01);  // mouse buttons
  add(0xF1, 0x02);
  add(0xF2, 0x04);
  return t;
}

// ---- Macro editor names ----

struct CodeName {
  std::uint8_t code;
  const char16_t* name;
};

constexpr CodeName kMacroKeyNames[] = {
    {0x51, u"Q"}, {0x57, u"W"}, {0x45, u"E"}, {0x52, u"R"}, {0x54, u"T"}, {0x59, u"Y"}, {0x55, u"U"},
    {0x49, u"I"}, {0x4F, u"O"}, {0x50, u"P"}, {0x41, u"A"}, {0x53, u"S"}, {0x44, u"D"}, {0x46, u"F"},
    {0x47, u"G"}, {0x48, u"H"}, {0x4A, u"J"}, {0x4B, u"K"}, {0x4C, u"L"}, {0x5A, u"Z"}, {0x58, u"X"},
    {0x43, u"C"}, {0x56, u"V"}, {0x42, u"B"}, {0x4E, u"N"}, {0x4D, u"M"}, {0xC0, u"~"}, {0x31, u"1"},
    {0x32, u"2"}, {0x33, u"3"}, {0x34, u"4"}, {0x35, u"5"}, {0x36, u"6"}, {0x37, u"7"}, {0x38, u"8"},
    {0x39, u"9"}, {0x30, u"0"}, {0xBD, u"-"}, {0xBB, u"="}, {0x08, u"Backspace"}, {0xDC, u"|"},
    {0xDB, u"["}, {0xDD, u"]"}, {0xBA, u";"}, {0xDE, u"'"}, {0x0D, u"Enter"}, {0xBC, u"<"},
    {0xBE, u">"}, {0xBF, u"?"}, {0x09, u"Tab"}, {0x14, u"Cap"}, {0xA0, u"L_Shift"}, {0xA2, u"L_Ctrl"},
    {0xA4, u"L_Alt"}, {0x5B, u"L_Win"}, {0xA1, u"R_Shift"}, {0xA3, u"R_Ctrl"}, {0xA5, u"R_Alt"},
    {0x5C, u"R_Win"}, {0x20, u"Space"}, {0x1B, u"ESC"}, {0x70, u"F1"}, {0x71, u"F2"}, {0x72, u"F3"},
    {0x73, u"F4"}, {0x74, u"F5"}, {0x75, u"F6"}, {0x76, u"F7"}, {0x77, u"F8"}, {0x78, u"F9"},
    {0x79, u"F10"}, {0x7A, u"F11"}, {0x7B, u"F12"}, {0x61, u"NUM 1"}, {0x62, u"NUM 2"},
    {0x63, u"NUM 3"}, {0x64, u"NUM 4"}, {0x65, u"NUM 5"}, {0x66, u"NUM 6"}, {0x67, u"NUM 7"},
    {0x68, u"NUM 8"}, {0x69, u"NUM 9"}, {0x60, u"NUM 0"}, {0x6D, u"NUM -"}, {0x6B, u"NUM +"},
    {0x6A, u"NUM *"}, {0x6F, u"NUM /"}, {0x6C, u"NUM Enter"}, {0x6E, u"NUM Del"}, {0x90, u"NUM Lock"},
    {0x2A, u"Print"}, {0x91, u"Scroll"}, {0x13, u"Pause"}, {0x2D, u"Insert"}, {0x24, u"Home"},
    {0x2E, u"Delete"}, {0x23, u"End"}, {0x21, u"Page Up"}, {0x22, u"Page Down"}, {0x26, u"UP"},
    {0x28, u"DOWN"}, {0x25, u"LEFT"}, {0x27, u"RIGHT"}, {0x01, u"Left Button"}, {0x02, u"Right Button"},
    {0x04, u"Middle Button"},
};
static_assert(sizeof kMacroKeyNames / sizeof kMacroKeyNames[0] == 106);

// ---- Fixed display names ----

constexpr const char16_t* kFunctionNames[12] = {u"F1", u"F2", u"F3", u"F4",  u"F5",  u"F6",
                                                u"F7", u"F8", u"F9", u"F10", u"F11", u"F12"};

const char16_t* fixedDisplayName(std::uint32_t vk) {
  static const char16_t* const kNumpad[] = {u"(0)", u"(1)", u"(2)", u"(3)", u"(4)",
                                            u"(5)", u"(6)", u"(7)", u"(8)", u"(9)"};
  if (vk >= 0x60 && vk <= 0x69) return kNumpad[vk - 0x60];
  if (vk >= 0x70 && vk <= 0x7B) return kFunctionNames[vk - 0x70];
  switch (vk) {
    case 0x00: case 0xFF: return u"";
    case 0x08: return u"Backspace";
    case 0x09: return u"Tab";
    case 0x0C: return u"Clr";
    case 0x0D: case 0x2B: return u"Enter";
    case 0x10: return u"Shift";
    case 0x11: return u"Ctrl";
    case 0x12: return u"Alt";
    case 0x13: return u"Pause";
    case 0x14: return u"CapsLock";
    case 0x1B: return u"Esc";
    case 0x20: return u"Space";
    case 0x21: return u"PageUp";
    case 0x22: return u"PageDown";
    case 0x23: return u"End";
    case 0x24: return u"Home";
    case 0x25: return u"Left";
    case 0x26: return u"Up";
    case 0x27: return u"Right";
    case 0x28: return u"Down";
    case 0x29: return u"Select";
    case 0x2A: return u"Print";
    case 0x2C: return u"PrtSc SysRq";
    case 0x2D: return u"Insert";
    case 0x2E: return u"Delete";
    case 0x2F: return u"Help";
    case 0x5B: return u"LWin";
    case 0x5C: return u"RWin";
    case 0x5D: return u"App";
    case 0x6A: return u"(*)";
    case 0x6B: return u"(+)";
    case 0x6C: return u"\\";
    case 0x6D: return u"(-)";
    case 0x6E: return u"(.)";
    case 0x6F: return u"(/)";
    case 0x90: return u"Numlock";
    case 0x91: return u"Scroll Lock";
    case 0xA0: return u"LShift";
    case 0xA1: return u"RShift";
    case 0xA2: return u"LCtrl";
    case 0xA3: return u"RCtrl";
    case 0xA4: return u"LAlt";
    case 0xA5: return u"RAlt";
    case 0xC1: return u"LButton";
    case 0xC2: return u"RButton";
    case 0xC3: return u"MButton";
    default: return nullptr;
  }
}

std::atomic<LayoutCharFunction> gLayoutChar{nullptr};

// ---- Consumer functions named by language texts ----

struct ConsumerName {
  std::uint16_t usage;
  const char* textKey;
};
constexpr ConsumerName kConsumerNames[] = {
    {0x00B5, "str_next_media"}, {0x00B6, "str_pre_media"},  {0x00B7, "str_stop"},
    {0x00CD, "str_PL"},         {0x00E2, "str_mute"},       {0x00E9, "str_vol_up"},
    {0x00EA, "str_vol_dw"},     {0x0183, "str_Player"},     {0x0708, "str_show"},
    {0x0901, "str_win8_find"},  {0x0F08, "str_lock"},       {0x1008, "str_win8_classic"},
    {0x1508, "str_run"},        {0x3D04, "str_close"},      {0x5608, "str_win8_winm"},
    {0x5708, "str_win8_winp"},
};
// Shown in Chinese whatever the interface language.
constexpr std::uint16_t kShowAllProgramsUsage = 0x1408;
constexpr const char16_t* kShowAllProgramsName = u"显示所有程序";

}  // namespace

const std::array<UsageKeyPair, kUsagePairCount>& VirtualKeyUsageTable() {
  static const std::array<UsageKeyPair, kUsagePairCount> table = buildUsageTable();
  return table;
}

std::uint8_t UsageOfKey(std::uint32_t virtualKey) {
  for (const UsageKeyPair& p : VirtualKeyUsageTable())
    if (p.virtualKey == virtualKey) return p.usage;
  return 0;
}

std::uint8_t KeyOfUsage(std::uint32_t usage) {
  for (const UsageKeyPair& p : VirtualKeyUsageTable())
    if (p.usage == usage) return p.virtualKey;
  return 0;
}

std::u16string MacroKeyName(std::uint32_t value) {
  const auto code = static_cast<std::uint8_t>(value);
  for (const CodeName& row : kMacroKeyNames)
    if (row.code == code) return row.name;
  return {};
}

void setLayoutCharFunction(LayoutCharFunction function) { gLayoutChar.store(function); }

std::u16string KeyDisplayName(std::uint32_t virtualKey) {
  if (const char16_t* fixed = fixedDisplayName(virtualKey)) return fixed;
  const LayoutCharFunction layout = gLayoutChar.load();
  char16_t c = layout ? layout(virtualKey) : platform::virtualKeyChar(virtualKey);
  if (c == 0) return {};
  if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  return std::u16string(1, c);
}

std::u16string AssignmentName(std::uint32_t entry, std::uint32_t macroId, const MacroLibrary& library,
                              const TextLookup* texts) {
  const auto b1 = static_cast<std::uint8_t>(entry >> 8);
  const auto b2 = static_cast<std::uint8_t>(entry >> 16);
  switch (entryKind(entry)) {
    case kKindDisabled:
      return u"Disable key";
    case kKindKey: {
      static const char16_t* const kModifiers[] = {u"LCtrl", u"LShift", u"LAlt", u"LWin",
                                                   u"RCtrl", u"RShift", u"RAlt", u"RWin"};
      std::u16string name;
      for (int bit = 0; bit < 8; ++bit) {
        if (!(b1 & (1u << bit))) continue;
        if (!name.empty()) name += u" + ";
        name += kModifiers[bit];
      }
      if (name.empty()) return KeyDisplayName(KeyOfUsage(b2));
      if (b2 != 0) name += u" + " + KeyDisplayName(KeyOfUsage(b2));
      return name;
    }
    case kKindConsumer: {
      const auto usage = static_cast<std::uint16_t>(b2 << 8 | b1);
      if (usage == kShowAllProgramsUsage) return kShowAllProgramsName;
      for (const ConsumerName& c : kConsumerNames)
        if (c.usage == usage) return texts ? texts->text(c.textKey) : std::u16string();
      return {};
    }
    case kKindFn:
      return u"Fn";
    case kKindMacro:
      return library.nameOf(macroId);
    case kKindOwn: {
      if (b1 < 12) return kFunctionNames[b1];
      if (b1 == 12) return u"Win";
      return {};
    }
    default:
      return {};
  }
}

KeyMap DefaultKeyMap() {
  // HID usages of the plain keys by matrix index; 0 marks an index that is
  // not a plain key (set from the list below).
  static constexpr std::uint8_t kUsages[kKeyCount] = {
      0x5A, 0x31, 0x28, 0x30, 0x2A, 0x2E, 0, 0x59,     //   0
      0x54, 0x52, 0, 0x34, 0x2F, 0x2D, 0, 0x53,        //   8
      0x60, 0x4F, 0x38, 0x33, 0x13, 0x27, 0, 0x5F,     //  16
      0x5D, 0x51, 0x37, 0x0F, 0x12, 0x26, 0, 0x5C,     //  24
      0x5B, 0x50, 0x36, 0x0E, 0x0C, 0x25, 0, 0x48,     //  32
      0x5E, 0, 0x10, 0x0D, 0x18, 0x24, 0, 0x4B,        //  40
      0x61, 0x65, 0x11, 0x0B, 0x1C, 0x23, 0, 0x4E,     //  48
      0x55, 0, 0x05, 0x0A, 0x17, 0x22, 0, 0x47,        //  56
      0x56, 0, 0x19, 0x09, 0x15, 0x21, 0, 0x4A,        //  64
      0x57, 0x2C, 0x06, 0x07, 0x08, 0x20, 0, 0x4D,     //  72
      0x58, 0, 0x1B, 0x16, 0x1A, 0x1F, 0, 0x46,        //  80
      0x63, 0, 0x1D, 0x04, 0x14, 0x1E, 0, 0x49,        //  88
      0x62, 0, 0, 0x39, 0x2B, 0x35, 0x29, 0x4C,        //  96
      0, 0x90, 0x64, 0, 0x31, 0, 0, 0,                 // 104
      0, 0x91, 0x87, 0, 0, 0, 0, 0,                    // 112
  };
  KeyMap map{};
  for (std::size_t i = 0; i < kKeyCount; ++i)
    if (kUsages[i] != 0) map[i] = kKindKey | static_cast<std::uint32_t>(kUsages[i]) << 16;

  auto set = [&map](std::size_t i, std::uint8_t kind, std::uint8_t b1) {
    map[i] = kind | static_cast<std::uint32_t>(b1) << 8;
  };
  // Modifier-only keys: left Ctrl, Shift, Alt, right Ctrl, Shift, Alt, Win.
  const std::size_t modifierKeys[] = {97, 98, 81, 41, 10, 57, 65};
  const std::uint8_t modifierBits[] = {0x01, 0x02, 0x04, 0x10, 0x20, 0x40, 0x80};
  for (std::size_t k = 0; k < 7; ++k) set(modifierKeys[k], kKindKey, modifierBits[k]);
  // The keyboard's own F1..F12 on indices 94, 86, ... 6, and its Win key.
  for (std::uint8_t n = 0; n < 12; ++n) set(94 - 8 * n, kKindOwn, n);
  set(89, kKindOwn, 12);
  set(111, kKindFn, 0x00);
  set(104, kKindFn, 0x12);
  set(112, kKindFn, 0x14);
  set(119, kKindConsumer, 0xE2);  // mute
  // 107, 109, 110, 115..118 stay 0.
  return map;
}

const std::array<KeyListEntry, kKeyListSize>& KeyList() {
  static const std::array<KeyListEntry, kKeyListSize> list = [] {
    std::array<KeyListEntry, kKeyListSize> l{};
    std::size_t n = 0;
    struct Key {
      std::uint32_t index;
      int left, right;
      int top = -1, bottom = -1;  // -1: the row's edge
    };
    auto row = [&](int top, int bottom, std::initializer_list<Key> keys) {
      for (const Key& k : keys)
        l[n++] = KeyListEntry{k.index, k.left, k.top < 0 ? top : k.top, k.right, k.bottom < 0 ? bottom : k.bottom};
    };
    row(49, 85, {{102, 58, 94}, {94, 129, 165}, {86, 166, 200}, {78, 201, 236}, {70, 237, 272},
                 {62, 290, 326}, {54, 327, 361}, {46, 362, 397}, {38, 398, 433}, {30, 450, 486},
                 {22, 487, 521}, {14, 522, 556}, {6, 557, 592}, {87, 602, 637}, {63, 638, 672},
                 {39, 673, 709}});
    row(105, 140, {{101, 58, 94}, {93, 95, 130}, {85, 131, 165}, {77, 166, 201}, {69, 202, 237},
                   {61, 238, 272}, {53, 273, 308}, {45, 309, 343}, {37, 344, 379}, {29, 380, 414},
                   {21, 415, 449}, {13, 450, 486}, {5, 487, 521}, {4, 522, 593}, {95, 601, 637},
                   {71, 638, 672}, {47, 673, 709}, {15, 717, 753}, {8, 754, 789}, {56, 790, 824},
                   {64, 825, 861}});
    row(141, 175, {{100, 58, 111}, {92, 113, 147}, {84, 149, 183}, {76, 185, 218}, {68, 220, 254},
                   {60, 256, 290}, {52, 292, 325}, {44, 327, 361}, {36, 363, 396}, {28, 398, 431},
                   {20, 433, 467}, {12, 469, 503}, {3, 505, 538}, {1, 540, 582, 143}, {103, 602, 636},
                   {79, 638, 672}, {55, 674, 708}, {23, 718, 752}, {16, 754, 788}, {48, 790, 823},
                   {72, 825, 859, -1, 210}});
    row(177, 211, {{99, 58, 120}, {91, 122, 156}, {83, 158, 192}, {75, 194, 227}, {67, 229, 262},
                   {59, 264, 298}, {51, 300, 333}, {43, 335, 370}, {35, 372, 405}, {27, 407, 440},
                   {19, 442, 476}, {11, 478, 511}, {2, 513, 592, 179}, {31, 716, 752}, {24, 754, 788},
                   {40, 790, 823}});
    row(213, 247, {{98, 58, 138}, {90, 140, 174}, {82, 176, 209}, {74, 211, 245}, {66, 247, 280},
                   {58, 282, 316}, {50, 318, 352}, {42, 354, 387}, {34, 389, 423}, {26, 425, 458},
                   {18, 460, 494}, {10, 496, 591}, {9, 638, 672}, {7, 718, 752}, {0, 754, 788},
                   {32, 790, 824}, {80, 826, 859, -1, 283}});
    row(249, 283, {{97, 58, 102}, {89, 104, 147}, {81, 149, 192}, {73, 194, 414}, {57, 416, 458},
                   {65, 460, 503}, {49, 505, 547}, {41, 549, 591}, {33, 603, 636}, {25, 638, 672},
                   {17, 674, 707}, {96, 718, 788}, {88, 790, 823}});
    // The remaining entries stay all zero.
    return l;
  }();
  return list;
}

}  // namespace q350
