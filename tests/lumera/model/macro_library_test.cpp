// The macro library on disk as the editor manages it: names, free ids, one
// folder read for the tree, ids below a folder, copying and deleting
// folders, and the editor's event rows.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "lumera/model/macro.h"
#include "lumera/model/macro_library.h"
#include "platform/paths.h"
#include "tests/support/test_env.h"

using namespace lumera;
using testsupport::TempDir;
namespace fs = std::filesystem;

namespace {

MacroRecord sample(std::int32_t id, std::uint16_t code = 0x41) {
  MacroRecord m;
  m.id = id;
  m.events[0] = {code, 1, 10};
  m.events[1] = {code, 0, 0};
  return m;
}

using Rows = std::vector<EditorEvent>;

}  // namespace

TEST(MacroLibraryNames, CheckedAsTheLibraryNeedsThem) {
  struct Case {
    std::u16string name;
    NameCheck expected;
  };
  const Case cases[] = {
      {u"Rapid fire", NameCheck::Ok},
      {u"Grüße", NameCheck::Ok},
      {std::u16string(39, u'x'), NameCheck::Ok},
      {std::u16string(40, u'x'), NameCheck::TooLong},
      {u"", NameCheck::Empty},
      {u"$hidden", NameCheck::LeadingDollar},
      {u"a$b", NameCheck::Ok},
      {u"tab\there", NameCheck::BadCharacter},
      {u"del\x7f", NameCheck::BadCharacter},
  };
  for (const Case& c : cases) EXPECT_EQ(checkLibraryName(c.name), c.expected) << std::string(c.name.begin(), c.name.end());
  for (char16_t bad : std::u16string_view(u"/\\?+=-*&%!#.,<>\"|"))
    EXPECT_EQ(checkLibraryName(std::u16string(u"a") + bad + u"b"), NameCheck::BadCharacter) << char(bad);
  EXPECT_TRUE(sameLibraryName(u"Burst", u"bURST"));
  EXPECT_FALSE(sameLibraryName(u"Burst", u"Burst2"));
}

TEST(MacroLibraryIds, TakenIdsGiveTheNextFreeOne) {
  MacroList list = {sample(0x10), sample(0x11), sample(0xFFFFFF)};
  EXPECT_EQ(freeMacroId(list, 0x12), 0x12);
  EXPECT_EQ(freeMacroId(list, 0x10), 0x12);
  EXPECT_EQ(freeMacroId(list, 0xFFFFFF), 1);  // wraps within 24 bits, never 0
  EXPECT_EQ(freeMacroId(list, 0x7F000010), 0x12);
}

TEST(MacroLibraryRead, DuplicateIdsAreRenumberedAndWrittenBack) {
  TempDir dir;
  ASSERT_TRUE(writeMacroFile(dir.file("Alpha.mck"), sample(0x123)));
  ASSERT_TRUE(writeMacroFile(dir.file("Beta.mck"), sample(0x123)));
  ASSERT_TRUE(writeMacroFile(dir.file("sub/Gamma.mck"), sample(0x123)));
  MacroList list;
  ASSERT_EQ(ReadMacroLibrary(dir.path(), true, 0, list), 3u);
  EXPECT_EQ(list[0].id, 0x123);
  EXPECT_EQ(list[1].id, 0x124);
  EXPECT_EQ(list[2].id, 0x125);
  MacroRecord beta, gamma;
  ASSERT_EQ(readMacroFile(dir.file("Beta.mck"), 0, beta), MacroFileStatus::Ok);
  ASSERT_EQ(readMacroFile(dir.file("sub/Gamma.mck"), 0, gamma), MacroFileStatus::Ok);
  EXPECT_EQ(beta.id, 0x124);
  EXPECT_EQ(gamma.id, 0x125);
  // Read again, nothing changes any more.
  MacroList again;
  ReadMacroLibrary(dir.path(), true, 0, again);
  EXPECT_EQ(again[1].id, 0x124);
}

TEST(MacroLibraryRead, OneFolderForTheTree) {
  TempDir dir;
  ASSERT_TRUE(writeMacroFile(dir.file("zeta.mck"), sample(1)));
  ASSERT_TRUE(writeMacroFile(dir.file("Alpha.mck"), sample(2)));
  ASSERT_TRUE(writeMacroFile(dir.file("Games/in.mck"), sample(3)));
  dir.write("Games/Games.png", "not checked");
  fs::create_directories(dir.file(".hidden"));
  fs::create_directories(dir.file("$system"));
  dir.write("short.mck", "too short");
  dir.write("abc", std::string(1714, '\0'));  // a name of 3 characters
  ASSERT_EQ(::mkfifo(dir.file("pipe.mck").c_str(), 0600), 0);
  fs::create_symlink(dir.file("Alpha.mck"), dir.file("Linked.mck"));
  fs::create_symlink(dir.file("Games"), dir.file("LinkedFolder"));

  const std::vector<LibraryEntry> e = readLibraryFolder(dir.path(), true, 0);
  ASSERT_EQ(e.size(), 3u);
  EXPECT_TRUE(e[0].folder);
  EXPECT_EQ(e[0].name, u"Games");
  EXPECT_EQ(e[0].iconPath, dir.file("Games/Games.png"));
  EXPECT_EQ(e[1].name, u"Alpha");
  EXPECT_EQ(e[1].macro.id, 2);
  EXPECT_EQ(e[2].name, u"zeta");
  EXPECT_EQ(e[2].path, dir.file("zeta.mck"));
  // Without folders only the macros.
  EXPECT_EQ(readLibraryFolder(dir.path(), false, 0).size(), 2u);
}

TEST(MacroLibraryRead, IdsBelowAFolderComeFromTheDisk) {
  TempDir dir;
  std::string deep = dir.file("top");
  for (int level = 1; level <= kMacroFolderDepth + 1; ++level) {
    deep += "/L" + std::to_string(level);
    ASSERT_TRUE(writeMacroFile(deep + "/m" + std::to_string(level) + ".mck", sample(level)));
  }
  ASSERT_TRUE(writeMacroFile(dir.file("top/$skip/x1.mck"), sample(99)));
  ASSERT_TRUE(writeMacroFile(dir.file("elsewhere/x2.mck"), sample(98)));
  fs::create_symlink(dir.file("elsewhere"), dir.file("top/link"));
  std::vector<std::int32_t> ids = macroIdsUnder(dir.file("top"), 0);
  std::sort(ids.begin(), ids.end());
  // Levels 1 to 20 below "top"; the 21st is deeper than the library reads.
  ASSERT_EQ(ids.size(), std::size_t(kMacroFolderDepth));
  EXPECT_EQ(ids.front(), 1);
  EXPECT_EQ(ids.back(), kMacroFolderDepth);
}

TEST(MacroLibraryPaths, FromTheTreePosition) {
  EXPECT_EQ(libraryPath("/lib/Mac", {u"Games", u"FPS"}, u"Burst", true), "/lib/Mac/Games/FPS/Burst.mck");
  EXPECT_EQ(libraryPath("/lib/Mac", {u"Games"}, u"FPS", false), "/lib/Mac/Games/FPS");
  EXPECT_EQ(libraryPath("/lib/Mac", std::vector<std::u16string>(21, u"d"), u"x", true), "");
  TempDir dir;
  fs::create_directories(dir.file("a/b"));
  EXPECT_TRUE(pathInside(dir.file("a/b"), dir.file("a")));
  EXPECT_TRUE(pathInside(dir.file("a"), dir.file("a/")));
  EXPECT_FALSE(pathInside(dir.file("a"), dir.file("a/b")));
  EXPECT_FALSE(pathInside(dir.file("ab"), dir.file("a")));
  fs::create_symlink(dir.file("a/b"), dir.file("viaLink"));
  EXPECT_TRUE(pathInside(dir.file("viaLink/new"), dir.file("a")));
}

TEST(MacroLibraryCopy, FoldersWithoutLinksDevicesOrReplacing) {
  TempDir dir;
  ASSERT_TRUE(writeMacroFile(dir.file("lib/Set/One.mck"), sample(1)));
  ASSERT_TRUE(writeMacroFile(dir.file("lib/Set/Sub/Two.mck"), sample(2)));
  ASSERT_EQ(::mkfifo(dir.file("lib/Set/pipe.mck").c_str(), 0600), 0);
  dir.write("secret/data.mck", "outside the library");
  fs::create_symlink(dir.file("secret"), dir.file("lib/Set/link"));
  fs::create_symlink(dir.file("secret/data.mck"), dir.file("lib/Set/file-link.mck"));
  // A file already at the destination is kept.
  dir.write("out/Set/One.mck", "kept");

  std::string copied;
  ASSERT_EQ(copyLibraryFolder(dir.file("lib/Set"), dir.file("out"), &copied), CopyStatus::Ok);
  EXPECT_EQ(copied, dir.file("out/Set"));
  EXPECT_EQ(testsupport::readAll(dir.file("out/Set/One.mck")), "kept");
  EXPECT_EQ(testsupport::readAll(dir.file("out/Set/Sub/Two.mck")), testsupport::readAll(dir.file("lib/Set/Sub/Two.mck")));
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir.file("out/Set/pipe.mck"))));
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir.file("out/Set/link"))));
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir.file("out/Set/file-link.mck"))));

  // Into itself or below itself.
  EXPECT_EQ(copyLibraryFolder(dir.file("lib/Set"), dir.file("lib/Set"), nullptr), CopyStatus::IntoItself);
  EXPECT_EQ(copyLibraryFolder(dir.file("lib/Set"), dir.file("lib/Set/Sub"), nullptr), CopyStatus::IntoItself);
  EXPECT_FALSE(fs::exists(dir.file("lib/Set/Sub/Set")));
  // Next to itself is fine.
  EXPECT_EQ(copyLibraryFolder(dir.file("lib/Set/Sub"), dir.file("lib"), nullptr), CopyStatus::Ok);
  EXPECT_TRUE(fs::exists(dir.file("lib/Sub/Two.mck")));
  // Not a folder, or a link to one.
  EXPECT_EQ(copyLibraryFolder(dir.file("lib/Set/One.mck"), dir.file("out"), nullptr), CopyStatus::NotAFolder);
  EXPECT_EQ(copyLibraryFolder(dir.file("lib/Set/link"), dir.file("out"), nullptr), CopyStatus::NotAFolder);

  // One macro file: regular files only.
  EXPECT_TRUE(copyMacroFile(dir.file("lib/Set/One.mck"), dir.file("single.mck")));
  EXPECT_FALSE(copyMacroFile(dir.file("lib/Set/pipe.mck"), dir.file("pipe-copy.mck")));
  EXPECT_FALSE(copyMacroFile(dir.file("lib/Set/file-link.mck"), dir.file("link-copy.mck")));
}

TEST(MacroLibraryDelete, WholeFoldersNotWhatLinksPointTo) {
  TempDir dir;
  ASSERT_TRUE(writeMacroFile(dir.file("lib/Set/Sub/Two.mck"), sample(2)));
  dir.write("keep/precious.mck", "x");
  fs::create_symlink(dir.file("keep"), dir.file("lib/Set/link"));
  EXPECT_TRUE(removeLibraryFolder(dir.file("lib/Set")));
  EXPECT_FALSE(fs::exists(dir.file("lib/Set")));
  EXPECT_TRUE(fs::exists(dir.file("keep/precious.mck")));
  EXPECT_TRUE(removeLibraryFolder(dir.file("lib/never-was")));
}

TEST(MacroEditorRows, LoadedFromARecord) {
  MacroRecord m;
  m.events[0] = {0x41, 1, 50};
  m.events[1] = {0x41, 0, 0};
  m.events[2] = {0xA3, 1, 300};
  EXPECT_EQ(editorEventsOf(m), (Rows{{1, 0x41}, {2, 50}, {0, 0x41}, {1, 0xA3}, {2, 300}}));
  for (std::size_t i = 0; i < kMacroEventSlots; ++i) m.events[i] = {0x42, std::uint16_t(i % 2), 0};
  EXPECT_EQ(editorEventsOf(m).size(), kMaxMacroEvents);
}

TEST(MacroEditorRows, TidiedBeforeTheyAreStored) {
  struct Case {
    const char* what;
    Rows in, out;
  };
  const Case cases[] = {
      {"leading rows up to the first press go", {{0, 0x41}, {2, 10}, {1, 0x42}, {0, 0x42}}, {{1, 0x42}, {0, 0x42}}},
      {"adjacent delays merge", {{1, 0x41}, {2, 30}, {2, 20}, {0, 0x41}}, {{1, 0x41}, {2, 50}, {0, 0x41}}},
      {"merged delays stop at 65280", {{1, 0x41}, {2, 65000}, {2, 1000}, {0, 0x41}}, {{1, 0x41}, {2, 65280}, {0, 0x41}}},
      {"a repeated key row goes", {{1, 0x41}, {1, 0x41}, {0, 0x41}, {0, 0x41}}, {{1, 0x41}, {0, 0x41}}},
      {"the same key pressed again after its release stays",
       {{1, 0x41}, {0, 0x41}, {1, 0x41}, {0, 0x41}},
       {{1, 0x41}, {0, 0x41}, {1, 0x41}, {0, 0x41}}},
      {"nothing but releases leaves nothing", {{0, 0x41}, {2, 5}}, {}},
  };
  for (const Case& c : cases) {
    Rows rows = c.in;
    tidyEditorEvents(rows);
    EXPECT_EQ(rows, c.out) << c.what;
  }
}

TEST(MacroEditorRows, StoredAsEventsWithTheirDelays) {
  MacroRecord m;
  m.events[5] = {0x99, 1, 7};  // old content is cleared
  storeEditorEvents({{1, 0x41}, {2, 50}, {0, 0x41}, {1, 0x1A3}, {2, 70000}}, m);
  EXPECT_EQ(macroEventCount(m), 3u);
  EXPECT_EQ(m.events[0].delay, 50u);
  EXPECT_EQ(m.events[1].delay, 0u);
  EXPECT_EQ(m.events[2].keyCode, 0xA3);  // low 8 bits
  EXPECT_EQ(m.events[2].delay, 65280u);
  EXPECT_EQ(m.events[5].keyCode, 0);
  // A key code 0 would end the list early: it is left out.
  storeEditorEvents({{1, 0x41}, {1, 0x100}, {0, 0x41}}, m);
  EXPECT_EQ(macroEventCount(m), 2u);
  // At most 127 events.
  Rows many;
  for (int i = 0; i < 300; ++i) many.push_back({i % 2, 0x41});
  storeEditorEvents(many, m);
  EXPECT_EQ(macroEventCount(m), kMaxMacroEvents);
}

TEST(MacroEditorRows, SizeInTheKeyboardBuffer) {
  EXPECT_EQ(editorEventsSize({}), 4);
  EXPECT_EQ(editorEventsSize({{1, 0x41}, {2, 127}, {0, 0x41}}), 8);
  EXPECT_EQ(editorEventsSize({{1, 0x41}, {2, 128}, {0, 0x41}}), 12);
  // The count matches what the encoder writes.
  MacroRecord m;
  const Rows rows = {{1, 0x41}, {2, 500}, {0, 0x41}, {2, 20}, {1, 0x42}, {0, 0x42}};
  storeEditorEvents(rows, m);
  std::uint8_t buffer[256];
  EXPECT_EQ(StMacro_To_HdMacro(&m, buffer), editorEventsSize(rows));
}
