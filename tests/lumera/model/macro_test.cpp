#include <gtest/gtest.h>

#include "lumera/model/bytes.h"
#include "lumera/model/config.h"
#include "lumera/model/log.h"
#include "lumera/model/macro.h"
#include "platform/folders.h"
#include "platform/paths.h"
#include "tests/lumera/model/model_test_util.h"
#include "tests/support/test_env.h"

using namespace lumera;
using lumera::test::DebugCapture;
using lumera::test::FixedClock;
using testsupport::TempDir;

namespace {

using Bytes = std::vector<std::uint8_t>;

MacroRecord macroOf(std::initializer_list<MacroEvent> events, std::uint16_t loops = 1) {
  MacroRecord m;
  m.id = 0x12345;
  m.loopCount = loops;
  std::size_t i = 0;
  for (const MacroEvent& e : events) m.events[i++] = e;
  return m;
}

Bytes encode(const MacroRecord& m) {
  Bytes out(300, 0xEE);  // bytes past the buffer must stay untouched
  const int n = StMacro_To_HdMacro(&m, out.data());
  EXPECT_LE(n, 256);
  for (std::size_t i = 256; i < out.size(); ++i) EXPECT_EQ(out[i], 0xEE);
  out.resize(static_cast<std::size_t>(std::max(n, 0)));
  return out;
}

}  // namespace

TEST(MacroRecord, ImageHasTheDocumentedOffsets) {
  MacroRecord m = macroOf({{0x41, 1, 50}, {0xF0, 0, 0x10203}}, 7);
  m.changeBits = kMacroEventsChanged;
  m.repeatMode = 2;
  m.Macro_Buffer_ID = 9;
  setMacroName(m, std::u16string(50, u'n'));
  std::uint8_t image[kMacroRecordSize];
  writeMacroRecord(image, m);
  EXPECT_EQ(Bytes(image, image + 4), (Bytes{0xA0, 0x88, 0xFB, 0xFA}));
  EXPECT_EQ(getU32(image + 4), 0x12345u);
  EXPECT_EQ(getU32(image + 8), 0x80000000u);
  EXPECT_EQ(getU32(image + 12), 1u);
  EXPECT_EQ(getU32(image + 16), 2u);
  EXPECT_EQ(getU16(image + 20 + 2 * 38), u'n');
  EXPECT_EQ(getU16(image + 20 + 2 * 39), 0);  // 39 characters and the terminator
  EXPECT_EQ(getU32(image + 100), 9u);
  EXPECT_EQ(getU16(image + 104), 7);
  EXPECT_EQ(Bytes(image + 106, image + 122), (Bytes{0x41, 0, 1, 0, 50, 0, 0, 0, 0xF0, 0, 0, 0, 3, 2, 1, 0}));
  const MacroRecord back = readMacroRecord(image);
  std::uint8_t again[kMacroRecordSize];
  writeMacroRecord(again, back);
  EXPECT_EQ(Bytes(image, image + kMacroRecordSize), Bytes(again, again + kMacroRecordSize));
  EXPECT_EQ(macroName(back), std::u16string(39, u'n'));
  EXPECT_EQ(macroEventCount(back), 2u);
}

TEST(MacroRecord, IdsComeFromTheLocalTimeAfterAPause) {
  FixedClock clock({2024, 1, 2, 23, 59, 58, 300});
  EXPECT_EQ(MakeMacroId(clock), 0x7EFA2C);  // hour 23 & 15 = 7, 300 & 255 = 44
  EXPECT_EQ(clock.slept(), 20u);
  clock.set({2024, 1, 2, 13, 0, 1, 255});
  const MacroRecord m = NewMacro(u"Combo", clock);
  EXPECT_EQ(m.id, 0xD001FF);
  EXPECT_EQ(m.dwMagicNumber, kMacroMagic);
  EXPECT_EQ(m.autoDelay, 1u);
  EXPECT_EQ(m.repeatMode, 0u);
  EXPECT_EQ(m.loopCount, 1);
  EXPECT_EQ(m.Macro_Buffer_ID, 0u);
  EXPECT_EQ(macroName(m), u"Combo");
  EXPECT_EQ(macroEventCount(m), 0u);
}

TEST(HardwareMacro, EventEncodings) {
  EXPECT_EQ(encode(macroOf({{0x41, 1, 50}, {0x41, 0, 200}}, 2)),
            (Bytes{0x00, 0x02, 0x32, 0x04, 0x83, 0x04, 0x00, 0x03, 0x00, 0x02, 0x00, 0x00}));
  struct Case {
    MacroEvent event;
    Bytes bytes;  // the event's bytes
  };
  const Case cases[] = {
      {{0x41, 1, 127}, {0x7F, 0x04}},
      {{0x41, 0, 128}, {0x9C, 0x04, 0x00, 0x03, 0x00, 0x01}},
      {{0x41, 1, 0}, {0x03, 0x04}},
      {{0x41, 0, 2}, {0x83, 0x04}},
      {{0x41, 1, 65280}, {0x50, 0x04, 0x00, 0x03, 0x02, 0x8C}},
      {{0x41, 1, 300}, {0x03, 0x04, 0x00, 0x03, 0x00, 0x03}},
      {{0xA1, 1, 10}, {0x0A, 0xE1}},  // right-hand modifiers play as left-hand ones
      {{0xA3, 1, 10}, {0x0A, 0xE0}},
      {{0xA5, 0, 10}, {0x8A, 0xE2}},
      {{0x5C, 1, 10}, {0x0A, 0xE3}},
      {{0xF1, 1, 10}, {0x0A, 0xF1}},
      {{0xFD, 1, 10}, {0x0A, 0x58}},
  };
  for (const Case& c : cases) {
    Bytes expected{0x00, 0x01};
    expected.insert(expected.end(), c.bytes.begin(), c.bytes.end());
    expected.insert(expected.end(), {0x00, 0x00});
    EXPECT_EQ(encode(macroOf({c.event})), expected) << c.event.keyCode << " " << c.event.delay;
  }
  EXPECT_EQ(encode(macroOf({}, 0)), (Bytes{0x00, 0x01, 0x00, 0x00}));  // loop count 0 plays once
  EXPECT_EQ(encode(macroOf({}, 0x1234)), (Bytes{0x12, 0x34, 0x00, 0x00}));
  EXPECT_EQ(StMacro_To_HdMacro(nullptr, Bytes(256).data()), 0);
}

TEST(HardwareMacro, MouseCodesWithoutUsageAreSkippedAndLogged) {
  DebugCapture debug;
  theLog().setup(1, "");
  const Bytes bytes = encode(macroOf({{243, 1, 5}, {0x42, 1, 5}, {246, 1, 5}, {0x07, 0, 5}}));
  theLog().setup(0, "");
  EXPECT_EQ(bytes, (Bytes{0x00, 0x01, 0x05, 0x05, 0x00, 0x00}));
  EXPECT_EQ(debug.lines(), std::vector<std::string>(3, "StMacro_To_HdMacro: get wrong hid"));
}

TEST(HardwareMacro, EventsThatDoNotFitAreDropped) {
  MacroRecord shortEvents, longEvents;
  for (MacroEvent& e : shortEvents.events) e = {0x41, 1, 10};
  for (MacroEvent& e : longEvents.events) e = {0x41, 1, 1000};
  const Bytes s = encode(shortEvents), l = encode(longEvents);
  ASSERT_EQ(s.size(), 256u);  // 126 events of 2 bytes
  EXPECT_EQ(s[252], 0x0A);
  EXPECT_EQ(s[254], 0x00);
  EXPECT_EQ(s[255], 0x00);
  ASSERT_EQ(l.size(), 256u);  // 42 events of 6 bytes
  EXPECT_EQ(Bytes(l.begin() + 248, l.end()), (Bytes{0x03, 0x04, 0x00, 0x03, 0x00, 0x0A, 0x00, 0x00}));
}

TEST(MacroFile, BytesAreRotatedAndChecked) {
  MacroRecord m = macroOf({{0x41, 1, 5}, {246, 1, 0}});
  m.changeBits = kMacroSettingsChanged | kMacroEventsChanged;
  const std::string file = encodeMacroFile(m);
  ASSERT_EQ(file.size(), kMacroRecordSize);
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 4), (Bytes{0x28, 0x22, 0xFE, 0xBE}));
  EXPECT_EQ(Bytes(file.begin() + 8, file.begin() + 12), Bytes(4, 0));  // change bits never stored

  MacroRecord out;
  EXPECT_EQ(decodeMacroFile(file, 0x40, out), MacroFileStatus::Ok);
  EXPECT_EQ(out.id, m.id);
  EXPECT_EQ(out.changeBits, 0u);
  EXPECT_EQ(out.events[1].keyCode, 246);
  struct Case {
    std::string bytes;
    std::int32_t mask;
    MacroFileStatus status;
  };
  std::string wrongMagic = file;
  wrongMagic[0] = static_cast<char>(0x29);
  const Case cases[] = {
      {file.substr(0, 1713), 0x7F, MacroFileStatus::WrongSize},
      {file + '\0', 0x7F, MacroFileStatus::WrongSize},
      {wrongMagic, 0x7F, MacroFileStatus::WrongMagic},
      {file, 0x3F, MacroFileStatus::UnsupportedKey},  // scroll down needs bit 6
      {std::string(kMacroRecordSize, '\xFF'), 0x7F, MacroFileStatus::WrongMagic},
  };
  for (const Case& c : cases) EXPECT_EQ(decodeMacroFile(c.bytes, c.mask, out), c.status);
}

TEST(MacroFile, WrittenWholeIntoMissingFoldersAndReadBack) {
  TempDir dir;
  const std::string path = dir.file("Mac/Games/Shooter/Burst.mck");
  MacroRecord m = macroOf({{0x20, 1, 30}, {0x20, 0, 0}}, 3);
  setMacroName(m, u"Burst");
  ASSERT_TRUE(writeMacroFile(path, m));
  MacroRecord back;
  ASSERT_EQ(readMacroFile(path, 0, back), MacroFileStatus::Ok);
  EXPECT_EQ(encodeMacroFile(back), encodeMacroFile(m));
  EXPECT_EQ(readMacroFile(dir.file("none.mck"), 0, back), MacroFileStatus::CannotRead);
  // A failed write leaves the old file as it was.
  const std::string blocked = dir.file("file");
  dir.write("file", "x");
  EXPECT_FALSE(writeMacroFile(blocked + "/inside.mck", m));
  EXPECT_EQ(testsupport::readAll(blocked), "x");
}

TEST(MacroLibrary, StartUpReadTakesEveryAcceptableFile) {
  TempDir root;
  auto put = [&](const std::string& name, std::int32_t id, std::initializer_list<MacroEvent> events = {}) {
    MacroRecord m = macroOf(events);
    m.id = id;
    ASSERT_TRUE(writeMacroFile(root.file(name), m));
  };
  put("b.mck", 2);
  put("a.mck", 1);
  put("notes.txt", 3);  // any name
  put("x.mc", 4);       // four characters: skipped
  put("mouse.mck", 5, {{0xF1, 1, 0}});
  put("Sub/in.mck", 6);
  put(".hidden/h.mck", 7);
  put("$sys/s.mck", 8);
  root.write("short.mck", std::string(1713, '\0'));

  auto ids = [](const MacroList& list) {
    std::vector<std::int32_t> r;
    for (const MacroRecord& m : list) r.push_back(m.id);
    return r;
  };
  MacroList flat;
  EXPECT_EQ(ReadMacroLibrary(root.path(), false, 0, flat), 3u);
  EXPECT_EQ(ids(flat), (std::vector<std::int32_t>{1, 2, 3}));
  MacroList all;
  EXPECT_EQ(ReadMacroLibrary(root.path(), true, 0x02, all), 5u);
  EXPECT_EQ(ids(all), (std::vector<std::int32_t>{1, 2, 5, 3, 6}));  // "Sub" after "short.mck"

  MacroList nearlyFull(kMaxMacros - 1);
  EXPECT_EQ(ReadMacroLibrary(root.path(), true, 0x7F, nearlyFull), 1u);
  EXPECT_EQ(nearlyFull.size(), kMaxMacros);
  MacroList none;
  EXPECT_EQ(ReadMacroLibrary(root.file("missing"), true, 0, none), 0u);
}

TEST(MacroLibrary, ProgramLibraryLivesInTheApplicationDataFolder) {
  TempDir program;
  program.write("cfg.ini", "[OPT]\nappdir=KavroTest\nMacroHasMsKey=1\n");
  DataInitialise(program.path());
  EXPECT_EQ(macroLibraryFolder(), platform::joinPath(platform::localAppDataFolder(), "KavroTest/Mac"));
  MacroRecord m = macroOf({{0xF0, 1, 0}});
  ASSERT_TRUE(writeMacroFile(platform::joinPath(macroLibraryFolder(), "Click.mck"), m));
  theMacroList().resize(3);  // emptied first
  EXPECT_EQ(ReadMacroLibrary(false), 1u);
  ASSERT_EQ(theMacroList().size(), 1u);
  EXPECT_EQ(theMacroList()[0].id, m.id);
  theMacroList().clear();
}
