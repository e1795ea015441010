// The macro library's operations: storing editor images into records,
// deleting, listing by category, and reading short or damaged files.
#include <gtest/gtest.h>

#include "q350config/settings/byteorder.h"
#include "q350config/settings/macro_library.h"

using namespace q350;

namespace {

MacroImage image(std::uint32_t id, std::u16string_view name, std::size_t events) {
  MacroImage m;
  m.id = id;
  m.setName(name);
  for (std::size_t k = 0; k < events; ++k)
    m.events.push_back(makeEvent(k % 2 ? kEventRelease : kEventPress, 0x41 + static_cast<std::uint32_t>(k / 2)));
  m.size = static_cast<std::uint32_t>(104 + 4 * events);
  return m;
}

}  // namespace

TEST(MacroLibrary, StoreFillsFreeRecordsAndReplacesBySameId) {
  MacroLibrary lib;
  ASSERT_TRUE(lib.store(image(0x15000001, u"One", 6)));
  ASSERT_TRUE(lib.store(image(0x15000002, u"Two", 2)));
  EXPECT_EQ(lib.indexOf(0x15000001), 0);
  EXPECT_EQ(lib.indexOf(0x15000002), 1);
  EXPECT_EQ(lib.at(0).count, 6u);
  EXPECT_EQ(lib.at(0).tag, kMacroTag);
  EXPECT_EQ(lib.at(0).nameText(), u"One");

  // The same id again: the record is rewritten in place and its old events
  // beyond the new count are cleared.
  MacroImage shorter = image(0x15000001, u"Renamed", 2);
  shorter.repeat = kRepeatToggle;
  ASSERT_TRUE(lib.store(shorter));
  EXPECT_EQ(lib.indexOf(0x15000001), 0);
  EXPECT_EQ(lib.at(0).count, 2u);
  EXPECT_EQ(lib.at(0).events[2], 0u);
  EXPECT_EQ(lib.at(0).repeat, kRepeatToggle);
  EXPECT_EQ(lib.nameOf(0x15000001), u"Renamed");

  // Deleting frees the record for the next new macro.
  EXPECT_TRUE(lib.remove(0x15000001));
  EXPECT_FALSE(lib.remove(0x15000001));
  EXPECT_EQ(lib.at(0).tag, 0u);
  EXPECT_EQ(lib.at(0).size, 0u);
  EXPECT_EQ(lib.nameOf(0x15000001), u"");
  ASSERT_TRUE(lib.store(image(0x15000003, u"Three", 2)));
  EXPECT_EQ(lib.indexOf(0x15000003), 0);
}

TEST(MacroLibrary, StoreRefusesBadImagesAndAFullLibrary) {
  MacroLibrary lib;
  MacroImage small = image(0x15000001, u"S", 1);  // size 108 is the least accepted
  EXPECT_TRUE(lib.store(small));
  small.size = 107;
  small.id = 0x15000002;
  EXPECT_FALSE(lib.store(small));
  MacroImage badTag = image(0x15000003, u"T", 2);
  badTag.tag = 0x12340010;
  EXPECT_FALSE(lib.store(badTag));
  EXPECT_TRUE(lib.store([] {
    MacroImage m = image(0x15000004, u"U", 2);
    m.tag = 0xE8E80000;  // any tag with the editor's high half
    return m;
  }()));
  EXPECT_FALSE(lib.store(image(0x15000005, u"Long", 1001)));
  EXPECT_EQ(lib.indexOf(0x15000002), -1);
  EXPECT_EQ(lib.indexOf(0x15000003), -1);
  EXPECT_EQ(lib.indexOf(0x15000005), -1);

  for (std::size_t i = 0; i < MacroLibrary::kCount; ++i) lib.at(i).tag = kMacroTag;
  lib.at(499).id = 0x15000099;
  EXPECT_FALSE(lib.store(image(0x15000098, u"New", 2)));
  EXPECT_TRUE(lib.store(image(0x15000099, u"Existing", 2)));  // its own record is still there
  EXPECT_EQ(lib.nameOf(0x15000099), u"Existing");
}

TEST(MacroLibrary, ListedRecordsOfACategory) {
  MacroLibrary lib;
  lib.at(3).size = 108;  // listed by its size alone
  lib.at(3).id = 0x15000003;
  lib.at(5).tag = 0xE8E80000;  // listed by its tag alone
  lib.at(5).id = 0x15000005;
  lib.at(7).size = 107;  // neither
  lib.at(7).id = 0x15000007;
  lib.at(9).size = 200;
  lib.at(9).id = 0x01000009;  // another category
  EXPECT_EQ(lib.listed(21), (std::vector<std::size_t>{3, 5}));
  EXPECT_EQ(lib.listed(1), (std::vector<std::size_t>{9}));
  EXPECT_EQ(lib.listedAll(), (std::vector<std::size_t>{3, 5, 9}));
}

TEST(MacroLibrary, LoadsShortAndDamagedFiles) {
  MacroLibrary source;
  ASSERT_TRUE(source.store(image(0x15000001, u"First", 4)));
  ASSERT_TRUE(source.store(image(0x15000002, u"Second", 2)));
  const std::string full = source.toBytes();
  ASSERT_EQ(full.size(), 2052000u);

  // A file that ends 12 bytes into the second record: the first is whole,
  // the second keeps size, tag and id, and everything after is cleared.
  MacroLibrary lib;
  lib.at(400).id = 7;  // left over from before: cleared by the load
  lib.load(std::string_view(full).substr(0, 4104 + 12));
  EXPECT_EQ(lib.at(0).nameText(), u"First");
  EXPECT_EQ(lib.at(0).count, 4u);
  EXPECT_EQ(lib.at(1).id, 0x15000002u);
  EXPECT_EQ(lib.at(1).count, 0u);
  EXPECT_EQ(lib.at(400).id, 0u);

  // A longer file is read up to the library's size; a garbage event count
  // is bounded for every reader.
  std::string garbage = full + "trailing";
  putLe32(reinterpret_cast<unsigned char*>(garbage.data()) + StoredMacro::kCountOffset, 0xFFFFFFFF);
  lib.load(garbage);
  EXPECT_EQ(lib.at(0).count, 0xFFFFFFFFu);
  EXPECT_EQ(lib.at(0).eventCount(), StoredMacro::kMaxEvents);
  EXPECT_EQ(lib.toBytes().size(), 2052000u);
  EXPECT_EQ(lib.at(1).nameText(), u"Second");
}
