#include <gtest/gtest.h>

#include "lumera/model/config.h"
#include "lumera/model/keycodes.h"
#include "lumera/model/log.h"
#include "tests/lumera/model/model_test_util.h"

using namespace lumera;
using lumera::test::DebugCapture;

namespace {

KeyFunction fn(std::uint32_t type, std::uint32_t id, std::uint32_t param = 0) {
  KeyFunction f;
  f.dwFunID = (type << 24) | id;
  f.dwParam = param;
  return f;
}

KeyFunction key(std::uint8_t mask, std::uint8_t vk, std::uint8_t vk2 = 0) {
  KeyFunction f;
  f.dwFunID = 0x020000A0;
  f.stCombo = {mask, vk, vk2, 0};
  return f;
}

KeyFunction macroKey(std::int32_t id) {
  KeyFunction f = fn(kTypeMacro, 0);
  f.nMacroId = id;
  return f;
}

// Answers "[key]" for every text key, so names show which key they used.
class BracketTexts final : public TextLookup {
 public:
  std::u16string text(std::string_view key) const override {
    return u"[" + std::u16string(key.begin(), key.end()) + u"]";
  }
};

MacroList macrosWithModes() {
  MacroList list;
  for (std::uint32_t mode = 0; mode < 4; ++mode) {
    MacroRecord m;
    m.id = static_cast<std::int32_t>(0x100 + mode);
    m.repeatMode = mode;
    setMacroName(m, u"Macro " + std::u16string(1, static_cast<char16_t>(u'A' + mode)));
    list.push_back(m);
  }
  return list;
}

}  // namespace

TEST(HardwareCode, EveryFunctionKindEncodes) {
  LumeraConfig cfg;
  cfg.options().CustomCd = {0x11, 0x22, 0x33, 0x44};
  const MacroList macros = macrosWithModes();
  struct Case {
    const char* what;
    KeyFunction f;
    std::int64_t code;
  };
  const Case cases[] = {
      {"Ctrl+A", key(0x01, 0x41), 0x00000104},
      {"Fn key", key(0, 0xFA), 0x20000000},
      {"Shift+Fn code", key(0x02, 0xFA), 0x00000200},
      {"left Ctrl alone", key(0x01, 0), 0x060000E0},
      {"right Ctrl alone", key(0x10, 0), 0x060000E4},
      {"right Win alone", key(0x80, 0), 0x060000E7},
      {"two modifiers, no key", key(0x03, 0), 0},
      {"custom FB", key(0, 0xFB), 0x11},
      {"custom FC", key(0x01, 0xFC), 0x22},
      {"custom FE", key(0, 0xFE), 0x33},
      {"custom FF", key(0, 0xFF), 0x44},
      {"digit 1", key(0, 0x31), 0x1E},
      {"digit 0", key(0, 0x30), 0x27},
      {"Z", key(0, 0x5A), 0x1D},
      {"keypad Enter", key(0, 0xFD), 0x58},
      {"102nd key", key(0, 0xE2), 0x64},
      {"no usage", key(0x04, 0x07), 0x400},
      {"left click", fn(1, 17), 0x070000F0},
      {"mouse back", fn(1, 21), 0x070000F4},
      {"mouse id without code", fn(1, 22), kNoHardwareCode},
      {"three as mouse", fn(1, 23), 0x00000130},
      {"three as special", fn(8, 23), 0x00000130},
      {"three as media", fn(3, 23), kNoHardwareCode},
      {"media select", fn(3, 33), 0x04000183},
      {"media under type 4", fn(4, 57), 0x0400022A},
      {"media id as mouse", fn(1, 33), kNoHardwareCode},
      {"key off", fn(8, 162), 0x00000000},
      {"shift special", fn(8, 163), kNoHardwareCode},
      {"special 177", fn(8, 177), 0x12000300},
      {"special 183", fn(8, 183), 0x0C000300},
      {"unknown special", fn(8, 200), kNoHardwareCode},
      {"fire right Ctrl", fn(8, 164, 0x00A33412), 0x1234E420},
      {"fire left Win", fn(8, 164, 0x005B0102), 0x0201E320},
      {"fire middle button", fn(8, 164, 0x00F20000), 0x0000F220},
      {"fire A", fn(8, 164, 0x00410000), 0x00000420},
      {"raw", fn(9, 5, 0xDEADBEEF), 0xDEADBEEF},
      {"macro mode 0", macroKey(0x100), 0x10000100},
      {"macro mode 1", macroKey(0x101), 0x10000500},
      {"macro mode 2", macroKey(0x102), 0x10000400},
      {"macro mode 3", macroKey(0x103), 0x10000000},
      {"unknown type", fn(6, 1), kNoHardwareCode},
      {"empty", KeyFunction{}, kNoHardwareCode},
  };
  for (const Case& c : cases) EXPECT_EQ(keyinfo_to_hardware_code(c.f, macros, cfg), c.code) << c.what;
}

TEST(HardwareCode, MissingMacroAndCustomCodesAreLogged) {
  LumeraConfig cfg;
  DebugCapture debug;
  theLog().setup(1, "");
  EXPECT_EQ(keyinfo_to_hardware_code(macroKey(0x7777), {}, cfg), kNoHardwareCode);
  EXPECT_EQ(keyinfo_to_hardware_code(key(0, 0xFE), {}, cfg), 0);
  theLog().setup(0, "");
  EXPECT_EQ(debug.lines(), (std::vector<std::string>{"keyinfo_to_hardware_code can't find macro id 0x7777",
                                                     "pKey->stCombo.VkCode1 = FE"}));
}

TEST(HardwareCode, UsageTableHasItsHundredAndFivePairs) {
  int mapped = 0;
  for (std::uint32_t vk = 0; vk < 256; ++vk)
    if (usageOfKey(vk) != 0) ++mapped;
  EXPECT_EQ(mapped, 105);
  const std::pair<std::uint32_t, std::uint8_t> samples[] = {
      {0x1B, 0x29}, {0x7B, 0x45}, {0xBB, 0x2E}, {0xBD, 0x2D}, {0x2C, 0x46}, {0x26, 0x52}, {0x28, 0x51},
      {0x60, 0x62}, {0x69, 0x61}, {0x6E, 0x63}, {0x90, 0x53}, {0xA3, 0xE4}, {0x5C, 0xE7}, {0x5D, 0x65},
  };
  for (const auto& [vk, usage] : samples) EXPECT_EQ(usageOfKey(vk), usage) << vk;
  EXPECT_EQ(usageOfKey(0x141), 0);  // not a virtual-key code
}

TEST(KeyNames, FixedNamesTextsAndLayoutCharacters) {
  const BracketTexts texts;
  const std::pair<std::uint32_t, std::u16string> cases[] = {
      {0x08, u"Backspace"}, {0x2B, u"Enter"},      {0xFD, u"Enter"},  {0xA0, u"Shift"}, {0xA1, u"Shift_R"},
      {0xA3, u"R_Ctrl"},    {0x5C, u"R_Win"},      {0x6C, u"\\"},     {0x60, u"Num 0"}, {0x69, u"Num 9"},
      {0x70, u"F1"},        {0x7B, u"F12"},        {0x35, u"5"},      {0x41, u"A"},     {0xBA, u";"},
      {0xDE, u"'"},         {0x91, u"Scroll Lock"}, {0xE2, u"<"},     {0xF0, u"[tc_click]"},
      {0xF1, u"[tc_menu]"}, {0xF2, u"[tc_middle]"}, {0xFA, u"Fn"},    {0xFF, u""},      {0x07, u""},
  };
  for (const auto& [vk, name] : cases) EXPECT_EQ(KeyName(vk, texts), name) << vk;

  struct Lower final : KeyCharSource {
    char16_t charOf(unsigned vk) const override { return vk == 0xBA ? u'\u00f6' : u'q'; }
  } layout;
  EXPECT_EQ(KeyName(0x51, texts, layout), u"Q");  // upper-cased
  EXPECT_EQ(KeyName(0xBA, texts, layout), u"\u00f6");
}

TEST(KeyNames, FunctionNamesByKind) {
  const BracketTexts texts;
  const MacroList macros = macrosWithModes();
  KeyFunction all = key(0xFF, 0);
  struct Case {
    KeyFunction f;
    std::u16string name;
  };
  const Case cases[] = {
      {macroKey(0x102), u"[tc_msg25] - Macro C"},
      {macroKey(0x999), u"[tc_msg25] - "},
      {key(0, 0xFA), u"Fn"},
      {key(0x02, 0xFA), u"Shift + Fn"},
      {key(0x01 | 0x04 | 0x20, 0x41, 0x42), u"Ctrl + Alt + R_Shift + A + B"},
      {all, u"Ctrl + Alt + Shift + Win + R_Ctrl + R_Alt + R_Shift + R_Win"},
      {key(0, 0x70), u"F1"},
      {fn(1, 20), u"[tc_forward]"},
      {fn(3, 54), u"[tc_forward]"},
      {fn(4, 53), u"[tc_back]"},
      {fn(4, 56), u"[tc_kbmedia_stop]"},
      {fn(8, 171), u"[tc_msg31]"},
      {fn(9, 23, 0x1234), u"[tc_three]"},
      {fn(8, 164, 0x00F30000), u"[tc_fire] - [tc_msg26]"},
      {fn(8, 164, 0x00F60000), u"[tc_fire] - [tc_msg30]"},
      {fn(8, 164, 0x00700000), u"[tc_fire] - F1"},
      {fn(8, 250), u""},
  };
  for (const Case& c : cases) EXPECT_EQ(KeyFunctionName(c.f, macros, texts), c.name) << c.f.dwFunID;
}
