// Byte layouts of the settings records: every field at its file offset,
// little-endian, and short or damaged input read safely.
#include <gtest/gtest.h>

#include <string>

#include "q350config/settings/byteorder.h"
#include "q350config/settings/macro_library.h"
#include "q350config/settings/records.h"

using namespace q350;

namespace {

std::uint32_t le32At(const std::string& bytes, std::size_t offset) {
  return getLe32(reinterpret_cast<const unsigned char*>(bytes.data()) + offset);
}

template <typename Record>
std::string bytesOf(const Record& r) {
  std::string bytes(Record::kSize, '\0');
  r.store(reinterpret_cast<unsigned char*>(bytes.data()));
  return bytes;
}

}  // namespace

TEST(Records, ProfileSettingsFieldsSitAtTheirOffsets) {
  ProfileSettings s;
  s.signature = kProfileSignature;
  for (std::size_t i = 0; i < kKeyCount; ++i) s.keyMap[i] = 0x1000 + static_cast<std::uint32_t>(i);
  for (std::size_t z = 0; z < kZoneCount; ++z) s.zoneColour[z] = 0x200 + static_cast<std::uint32_t>(z);
  s.commonColour = 0x301;
  s.lightingMode = 0x302;
  s.effectSpeed = 0x303;
  s.brightness = 0x304;
  s.lightingSwitch = 0x305;
  s.allZones = 0x306;
  const std::string b = bytesOf(s);
  ASSERT_EQ(b.size(), 536u);
  EXPECT_EQ(b.substr(0, 4), std::string("\x00\x05\x80\x80", 4));
  EXPECT_EQ(le32At(b, 4), 0x1000u);
  EXPECT_EQ(le32At(b, 4 + 4 * 119), 0x1000u + 119);
  EXPECT_EQ(le32At(b, 484), 0x200u);
  EXPECT_EQ(le32At(b, 484 + 4 * 6), 0x206u);
  const std::uint32_t tail[] = {0x301, 0x302, 0x303, 0x304, 0x305, 0x306};
  for (std::size_t k = 0; k < 6; ++k) EXPECT_EQ(le32At(b, 512 + 4 * k), tail[k]) << "offset " << 512 + 4 * k;
  EXPECT_EQ(bytesOf(ProfileSettings::load(reinterpret_cast<const unsigned char*>(b.data()))), b);
}

TEST(Records, FactoryLightingColoursAreRedInTheLowByte) {
  ProfileSettings s;
  s.setFactoryLighting();
  const std::string b = bytesOf(s);
  EXPECT_EQ(b.substr(484, 4), std::string("\x08\xAC\x95\x00", 4));   // zone 0: 8, 172, 149
  EXPECT_EQ(b.substr(484 + 24, 4), std::string("\xFC\xA8\x42\x00", 4));  // zone 6: 252, 168, 66
  EXPECT_EQ(b.substr(512, 4), std::string("\xFF\x00\x00\x00", 4));   // common: red
  EXPECT_EQ(le32At(b, 516), 1u);
  EXPECT_EQ(le32At(b, 520), 3u);
  EXPECT_EQ(le32At(b, 524), 3u);
  EXPECT_EQ(le32At(b, 528), 0u);
  EXPECT_EQ(le32At(b, 532), 0u);
}

TEST(Records, StoredMacroFieldsSitAtTheirOffsets) {
  StoredMacro m;
  m.size = 112;
  m.tag = kMacroTag;
  m.id = 0x15ABCDEF;
  m.reserved = 0x77;
  m.repeat = kRepeatWhilePressed;
  m.count = 2;
  m.events[0] = makeEvent(kEventPress, 0x41);
  m.events[999] = 0xDEADBEEF;
  m.name[0] = u'M';
  m.name[39] = u'Z';
  const std::string b = bytesOf(m);
  ASSERT_EQ(b.size(), 4104u);
  const std::uint32_t head[] = {112, kMacroTag, 0x15ABCDEF, 0x77, 0xFFFF, 2, 0xC0000041};
  for (std::size_t k = 0; k < 7; ++k) EXPECT_EQ(le32At(b, 4 * k), head[k]) << "offset " << 4 * k;
  EXPECT_EQ(le32At(b, 24 + 4 * 999), 0xDEADBEEFu);
  EXPECT_EQ(b.substr(4024, 2), std::string("M\0", 2));
  EXPECT_EQ(b.substr(4102, 2), std::string("Z\0", 2));
  // A name without terminator uses all 40 units.
  m.name.fill(u'x');
  EXPECT_EQ(m.nameText().size(), 40u);
}

TEST(Records, ProfileEntryKeepsReservedBytesAndCutsTexts) {
  ProfileEntry e;
  e.magic = ProfileEntry::kMagic;
  e.active = 1;
  e.reserved = 0xA5A5A5A5;
  e.setName(u"Profile3");
  e.setPath(std::u16string(300, u'p'));
  e.tail[0] = 0x11;
  e.tail[687] = 0x22;
  const std::string b = bytesOf(e);
  ASSERT_EQ(b.size(), 1740u);
  EXPECT_EQ(le32At(b, 0), 0xBEBEu);
  EXPECT_EQ(le32At(b, 4), 1u);
  EXPECT_EQ(le32At(b, 8), 0xA5A5A5A5u);
  EXPECT_EQ(b.substr(12, 4), std::string("P\0r\0", 4));
  EXPECT_EQ(b.substr(532 + 2 * 258, 4), std::string("p\0\0\0", 4));  // 259 units, then the terminator
  EXPECT_EQ(static_cast<unsigned char>(b[1052]), 0x11);
  EXPECT_EQ(static_cast<unsigned char>(b[1739]), 0x22);
  const ProfileEntry back = ProfileEntry::load(reinterpret_cast<const unsigned char*>(b.data()));
  EXPECT_EQ(bytesOf(back), b);
  EXPECT_EQ(back.nameText(), u"Profile3");
}

TEST(Records, ShortInputLeavesTheRestZero) {
  // Profile table: 100 bytes give the start of entry 0 only.
  std::string t(100, '\0');
  putLe32(reinterpret_cast<unsigned char*>(t.data()), 0xBEBE);
  const ProfileTable table = ProfileTable::fromBytes(t);
  EXPECT_EQ(table.entries[0].magic, 0xBEBEu);
  EXPECT_EQ(table.toBytes(), t + std::string(8700 - 100, '\0'));

  // Profile image: the KeyExtra slot of key i starts at 536 + 520 * i.
  std::string p(536 + 520 * 7 + 4, '\0');
  putLe32(reinterpret_cast<unsigned char*>(p.data()) + 536 + 520 * 7, 0x15000001);
  const ProfileImage image = ProfileImage::fromBytes(p);
  EXPECT_EQ(image.extra.macroId(7), 0x15000001u);
  EXPECT_EQ(image.extra.macroId(8), 0u);
  EXPECT_EQ(image.toBytes().size(), 62936u);
}

TEST(Records, MacroImageRoundTripAndDamagedImages) {
  MacroImage m;
  m.size = 104 + 4 * 3;
  m.id = 0x15000002;
  m.repeat = 7;
  m.setName(u"Reload");
  m.events = {makeEvent(kEventPress, 0x52), makeEvent(kEventDelay, 40), makeEvent(kEventRelease, 0x52)};
  const std::string b = m.toBytes();
  ASSERT_EQ(b.size(), 116u);
  EXPECT_EQ(le32At(b, 4), kMacroTag);
  EXPECT_EQ(b.substr(20, 2), std::string("R\0", 2));
  EXPECT_EQ(le32At(b, 100), 3u);
  EXPECT_EQ(le32At(b, 104 + 8), 0xE0000052u);
  MacroImage back;
  ASSERT_TRUE(MacroImage::fromBytes(b, back));
  EXPECT_EQ(back.toBytes(), b);

  // Shorter than the header, shorter than its events, or more events than
  // a stored macro holds: refused, and the target is left alone.
  std::string tooMany = b;
  putLe32(reinterpret_cast<unsigned char*>(tooMany.data()) + 100, 1001);
  tooMany.resize(104 + 4 * 1001, '\0');
  for (const std::string& bad : {b.substr(0, 103), b.substr(0, 115), tooMany}) {
    MacroImage out = m;
    EXPECT_FALSE(MacroImage::fromBytes(bad, out)) << bad.size();
    EXPECT_EQ(out.toBytes(), b);
  }
}

TEST(Records, KeyExtraTextAndMacroIds) {
  KeyExtra x;
  x.setMacroId(3, 0x01020304);
  EXPECT_TRUE(x.usesMacro(0x01020304));
  EXPECT_EQ(x.data()[520 * 3], 0x04);
  x.setText(4, std::u16string(300, u'k'));  // cut to 259 units + terminator
  EXPECT_EQ(x.data()[520 * 4 + 516], 'k');
  EXPECT_EQ(x.data()[520 * 4 + 518], 0);
  EXPECT_EQ(x.data()[520 * 5], 0);  // the next slot is untouched
  x.setMacroId(120, 1);             // out of range: ignored
  EXPECT_EQ(x.macroId(120), 0u);
  x.clearMacroIds();
  EXPECT_FALSE(x.usesMacro(0x01020304));
}
