// Key names, the virtual-key/usage table, the factory key table and the key
// list, checked against the values the keyboard and the pages rely on.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "platform/text.h"
#include "q350config/settings/key_tables.h"
#include "q350config/settings/macro_library.h"
#include "q350config/settings/messages.h"

using namespace q350;

namespace {

struct MapTexts : TextLookup {
  std::map<std::string, std::u16string> texts;
  std::u16string text(std::string_view key) const override {
    const auto it = texts.find(std::string(key));
    return it == texts.end() ? std::u16string() : it->second;
  }
};

std::string utf8(const std::u16string& s) { return platform::toUtf8(s); }

}  // namespace

TEST(KeyTables, AssignmentNames) {
  MacroLibrary library;
  MacroImage image;
  image.size = 112;
  image.id = 0x15000001;
  image.setName(u"Combo");
  image.events = {makeEvent(kEventPress, 0x41), makeEvent(kEventRelease, 0x41)};
  ASSERT_TRUE(library.store(image));
  MapTexts texts;
  texts.texts = {{"str_mute", u"Mute"}, {"str_win8_winp", u"Win+P"}, {"str_Player", u"Player"}};

  const struct {
    std::uint32_t entry;
    std::uint32_t macroId;
    const char* name;
  } cases[] = {
      {0x00040201, 0, "LShift + A"},
      {0x00000301, 0, "LCtrl + LShift"},
      {0x00290001, 0, "Esc"},
      {0x0000FF01, 0, "LCtrl + LShift + LAlt + LWin + RCtrl + RShift + RAlt + RWin"},
      {0x00FF0301, 0, "LCtrl + LShift + "},  // usage not in the table
      {0x00580001, 0, "Enter"},              // numeric Enter names as Enter
      {0x00000001, 0, ""},
      {0x00000000, 0, "Disable key"},
      {0x00001204, 0, "Fn"},
      {0x00000006, 0, "F1"},
      {0x00000B06, 0, "F12"},
      {0x00000C06, 0, "Win"},
      {0x00000D06, 0, ""},
      {0x0000E203, 0, "Mute"},
      {0x00570803, 0, "Win+P"},
      {0x00018303, 0, "Player"},
      {0x00140803, 0, "显示所有程序"},
      {0x00000103, 0, ""},         // unknown consumer function
      {0x0000B503, 0, ""},         // known function whose text the language file lacks
      {0x00000005, 0x15000001, "Combo"},
      {0x00000005, 0x15000099, ""},  // macro deleted from the library
      {0x00000002, 0, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(utf8(AssignmentName(c.entry, c.macroId, library, &texts)), c.name) << std::hex << c.entry;
  // Without language texts the consumer functions have no names.
  EXPECT_EQ(AssignmentName(0x0000E203, 0, library, nullptr), u"");
}

TEST(KeyTables, MacroKeyNamesUseTheLowByte) {
  const std::map<std::uint32_t, const char*> cases = {
      {0x41, "A"},          {0xC0000041, "A"},       {0xE00000A5, "R_Alt"}, {0x2C, ""},
      {0x2A, "Print"},      {0x6C, "NUM Enter"},     {0x69, "NUM 9"},       {0x60, "NUM 0"},
      {0x7B, "F12"},        {0x04, "Middle Button"}, {0xC0, "~"},           {0xDC, "|"},
      {0x14, "Cap"},        {0x22, "Page Down"},     {0x3A, ""},            {0x141, "A"},
  };
  for (const auto& [value, name] : cases) EXPECT_EQ(utf8(MacroKeyName(value)), name) << std::hex << value;
}

TEST(KeyTables, KeyDisplayNames) {
  const std::map<std::uint32_t, const char*> cases = {
      {0x41, "A"},     {0x5A, "Z"},     {0x31, "1"},           {0xBA, ";"},     {0xDE, "'"},
      {0x6C, "\\"},    {0x2B, "Enter"}, {0x0D, "Enter"},       {0x00, ""},      {0xFF, ""},
      {0x7B, "F12"},   {0x69, "(9)"},   {0x6E, "(.)"},         {0xC1, "LButton"},
      {0x2C, "PrtSc SysRq"},            {0x91, "Scroll Lock"}, {0xA5, "RAlt"},  {0x87, ""},
  };
  for (const auto& [vk, name] : cases) EXPECT_EQ(utf8(KeyDisplayName(vk)), name) << std::hex << vk;

  // Another layout: its lower-case letters are shown upper-case, anything
  // else as it comes.
  setLayoutCharFunction([](std::uint32_t vk) -> char16_t { return vk == 0x51 ? u'a' : vk == 0xDE ? u'ä' : 0; });
  EXPECT_EQ(KeyDisplayName(0x51), u"A");
  EXPECT_EQ(KeyDisplayName(0xDE), u"ä");
  EXPECT_EQ(KeyDisplayName(0x5A), u"");
  EXPECT_EQ(KeyDisplayName(0x26), u"Up");  // fixed names do not ask the layout
  setLayoutCharFunction(nullptr);
  EXPECT_EQ(KeyDisplayName(0x5A), u"Z");
}

TEST(KeyTables, UsageLookupsTakeTheFirstPair) {
  const std::map<std::uint32_t, std::uint8_t> usageOf = {
      {0x41, 0x04}, {0x5A, 0x1D}, {0x31, 0x1E}, {0x30, 0x27}, {0x0D, 0x28}, {0x7B, 0x45},
      {0xC0, 0x35}, {0x2C, 0x46}, {0x6E, 0x63}, {0x60, 0x62}, {0xA2, 0xE0}, {0x5C, 0xE7},
      {0x5D, 0x65}, {0x01, 0xF0}, {0x04, 0xF2}, {0x2B, 0x00}, {0x141, 0x00},
  };
  for (const auto& [vk, usage] : usageOf) EXPECT_EQ(UsageOfKey(vk), usage) << std::hex << vk;
  EXPECT_EQ(KeyOfUsage(0x58), 0x0D);
  EXPECT_EQ(KeyOfUsage(0x28), 0x0D);
  EXPECT_EQ(KeyOfUsage(0x87), 0x00);
  EXPECT_EQ(KeyOfUsage(0x32), 0x00);

  // 107 pairs; every usage once, every key once except Enter's two rows.
  const auto& table = VirtualKeyUsageTable();
  std::set<std::uint8_t> usages, keys;
  for (const UsageKeyPair& p : table) {
    EXPECT_TRUE(usages.insert(p.usage).second) << std::hex << int(p.usage);
    if (!keys.insert(p.virtualKey).second) {
      EXPECT_EQ(p.virtualKey, 0x0D);
    }
  }
  EXPECT_EQ(keys.size(), 106u);
}

TEST(KeyTables, FactoryKeyTable) {
  const KeyMap map = DefaultKeyMap();
  const std::map<std::size_t, std::uint32_t> spot = {
      {0, 0x005A0001},   {1, 0x00310001},  {5, 0x002E0001}, {73, 0x002C0001}, {108, 0x00310001},
      {113, 0x00910001}, {114, 0x00870001}, {97, 0x00000101}, {98, 0x00000201}, {81, 0x00000401},
      {41, 0x00001001},  {10, 0x00002001},  {57, 0x00004001}, {65, 0x00008001}, {94, 0x00000006},
      {86, 0x00000106},  {6, 0x00000B06},   {89, 0x00000C06}, {111, 0x00000004}, {104, 0x00001204},
      {112, 0x00001404}, {119, 0x0000E203}, {107, 0},         {118, 0},
  };
  for (const auto& [index, entry] : spot) EXPECT_EQ(map[index], entry) << "index " << index;

  std::map<std::string, int> kinds;
  for (const std::uint32_t e : map) {
    if (e == 0)
      ++kinds["zero"];
    else if ((e & 0xFF) == kKindKey)
      ++kinds[(e >> 16) ? "key" : "modifier"];
    else
      ++kinds["kind" + std::to_string(e & 0xFF)];
  }
  const std::map<std::string, int> expected = {{"key", 89}, {"modifier", 7}, {"kind6", 13},
                                               {"kind4", 3}, {"kind3", 1},    {"zero", 7}};
  EXPECT_EQ(kinds, expected);
}

TEST(KeyTables, KeyListCoversEveryKeyOnceThenNineEmptyEntries) {
  const auto& list = KeyList();
  std::set<std::uint32_t> seen;
  for (std::size_t i = 0; i < kVisibleKeys; ++i) {
    EXPECT_LT(list[i].matrixIndex, 104u);
    EXPECT_TRUE(seen.insert(list[i].matrixIndex).second) << "index " << list[i].matrixIndex;
    EXPECT_LT(list[i].left, list[i].right);
    EXPECT_LT(list[i].top, list[i].bottom);
  }
  EXPECT_EQ(seen.size(), 104u);
  for (std::size_t i = kVisibleKeys; i < kKeyListSize; ++i) {
    const KeyListEntry& e = list[i];
    EXPECT_EQ(e.matrixIndex | e.left | e.top | e.right | e.bottom, 0u) << "entry " << i;
  }

  // Positions in the page's order and the keys whose edges leave the row.
  const struct {
    std::size_t position;
    KeyListEntry key;
  } cases[] = {
      {0, {102, 58, 49, 94, 85}},     {13, {87, 602, 49, 637, 85}},   {16, {101, 58, 105, 94, 140}},
      {50, {1, 540, 143, 582, 175}},  {57, {72, 825, 141, 859, 210}}, {70, {2, 513, 179, 592, 211}},
      {88, {0, 754, 213, 788, 247}},  {90, {80, 826, 213, 859, 283}}, {94, {73, 194, 249, 414, 283}},
      {103, {88, 790, 249, 823, 283}},
  };
  for (const auto& c : cases) {
    const KeyListEntry& e = list[c.position];
    EXPECT_EQ(e.matrixIndex, c.key.matrixIndex) << "position " << c.position;
    EXPECT_EQ(e.left, c.key.left) << "position " << c.position;
    EXPECT_EQ(e.top, c.key.top) << "position " << c.position;
    EXPECT_EQ(e.right, c.key.right) << "position " << c.position;
    EXPECT_EQ(e.bottom, c.key.bottom) << "position " << c.position;
  }
}
