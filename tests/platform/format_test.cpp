#include <gtest/gtest.h>

#include <cstdint>

#include "platform/format.h"

using platform::format;
using platform::formatU16;

struct FormatCase {
  const char* expected;
  std::string actual;
};

TEST(Format, ProgramFormatStrings) {
  const std::uint32_t dw = 0xFFFFFFFFu;
  const FormatCase cases[] = {
      {"07:05.042   ", format("%02u:%02u.%03u   ", 7u, 5u, 42u)},
      {"0a ", format("%02x ", 10)},
      {"00004018", format("%08X", 0x4018)},
      {"0042", format("%04d", 42)},
      {"-1", format("%d", dw)},                 // a DWORD printed with %d
      {"ffffffff", format("%x", -1)},           // an int printed with %x
      {"4294967295", format("%u", -1)},
      {"ff", format("%02x", static_cast<unsigned char>(255))},
      {"name=Lumera n=3", format("name=%s n=%d", "Lumera", 3)},
      {"w=\xE4\xB8\xAD", format("w=%s", std::u16string(1, 0x4E2D))},
      {"[  ab]", format("[%4s]", "ab")},
      {"[ab  ]", format("[%-4s]", "ab")},
      {"[abc]", format("[%.3s]", "abcdef")},
      {"-0042", format("%05d", -42)},
      {"+7", format("%+d", 7)},
      {"0x1f", format("%#x", 31)},
      {"1234567890123", format("%I64d", static_cast<std::int64_t>(1234567890123))},
      {"1234567890123", format("%lld", static_cast<std::int64_t>(1234567890123))},
      {"100%", format("%d%%", 100)},
      {"x", format("%c", u'x')},
      {"3.50", format("%.2f", 3.5)},
      {"  7", format("%*d", 3, 7)},
      {"missing: 0 ''", format("missing: %d '%s'")},
      {"odd %y", format("odd %y")},
      {"trailing %", format("trailing %")},
  };
  for (const FormatCase& c : cases) EXPECT_EQ(c.actual, c.expected);
}

TEST(Format, WidthCountsUtf16UnitsAndOutputCanBeUtf16) {
  EXPECT_EQ(formatU16(u"%3s|", std::string("\xE4\xB8\xAD")), (std::u16string{u' ', u' ', 0x4E2D, u'|'}));
  EXPECT_EQ(formatU16("%s-%d", u"ab", 5), u"ab-5");
}
