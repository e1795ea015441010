#include <gtest/gtest.h>

#include "platform/text.h"

using namespace platform;

TEST(Text, Utf8AndUtf16RoundTripIncludingSurrogatePairs) {
  const std::string s = "A\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x8E\xAE";  // A é 中 🎮
  const std::u16string w = toUtf16(s);
  EXPECT_EQ(w, (std::u16string{u'A', 0x00E9, 0x4E2D, 0xD83C, 0xDFAE}));
  EXPECT_EQ(toUtf8(w), s);
}

TEST(Text, MalformedInputBecomesReplacementCharacters) {
  EXPECT_FALSE(isValidUtf8("\xC0\xAF"));        // overlong '/'
  EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));    // encoded surrogate
  EXPECT_FALSE(isValidUtf8("\xE4\xB8"));        // truncated
  EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
  EXPECT_TRUE(isValidUtf8("plain \xC3\xA9"));
  EXPECT_EQ(toUtf16("a\xFF" "b"), (std::u16string{u'a', 0xFFFD, u'b'}));
  EXPECT_EQ(toUtf8(std::u16string{0xD800, u'x'}), "\xEF\xBF\xBDx");
}

// The decoder widens ASCII in blocks: a multi-byte sequence or a malformed
// byte at any offset, and a text of any length, decode as they would one
// byte at a time, also into a string that held a longer text before.
TEST(Text, Utf8DecodesTheSameAtEveryOffsetAndLength) {
  std::u16string reused(200, u'#');
  for (std::size_t n = 0; n <= 40; ++n) {
    const std::string ascii(n, 'a');
    const std::u16string wide(n, u'a');
    EXPECT_EQ(toUtf16(ascii), wide);
    for (std::size_t at = 0; at <= n; ++at) {
      const std::string head = ascii.substr(0, at), tail = ascii.substr(at);
      EXPECT_EQ(toUtf16(head + "\xE4\xB8\xAD" + tail), wide.substr(0, at) + u"\u4E2D" + wide.substr(at)) << at;
      EXPECT_EQ(toUtf16(head + "\xF0\x9F\x8E\xAE" + tail), wide.substr(0, at) + u"\U0001F3AE" + wide.substr(at));
      EXPECT_EQ(toUtf16(head + "\xC3\xA9" + tail), wide.substr(0, at) + u"\u00E9" + wide.substr(at));
      // An encoded surrogate and an overlong form: each byte replaced.
      EXPECT_EQ(toUtf16(head + "\xED\xA0\x80" + tail), wide.substr(0, at) + u"\uFFFD\uFFFD\uFFFD" + wide.substr(at));
      EXPECT_EQ(toUtf16(head + "\xC1\xBF" + tail), wide.substr(0, at) + u"\uFFFD\uFFFD" + wide.substr(at));
      EXPECT_FALSE(codePageToUtf16(head + "\xFF" + tail, kCodePageUtf8, reused));
      EXPECT_EQ(reused, wide.substr(0, at) + u"\uFFFD" + wide.substr(at));
    }
  }
}

TEST(Text, CodePagesByWindowsNumber) {
  std::u16string w;
  EXPECT_TRUE(codePageToUtf16("\x80\xE9", 1252, w));
  EXPECT_EQ(w, (std::u16string{0x20AC, 0x00E9}));
  EXPECT_TRUE(codePageToUtf16("\x82\xA0", 932, w));  // Shift_JIS hiragana A
  EXPECT_EQ(w, std::u16string(1, 0x3042));
  EXPECT_TRUE(codePageToUtf16("\xD6\xD0", 936, w));  // GBK 中
  EXPECT_EQ(w, std::u16string(1, 0x4E2D));
  EXPECT_TRUE(codePageToUtf16("\xE9", 28591, w));
  EXPECT_EQ(w, std::u16string(1, 0x00E9));
  EXPECT_TRUE(codePageToUtf16(std::string("\x00\x41\x4E\x2D", 4), 1201, w));
  EXPECT_EQ(w, (std::u16string{u'A', 0x4E2D}));

  std::string bytes;
  EXPECT_TRUE(utf16ToCodePage(u"\u20AC\u4E2D", 1252, bytes));
  EXPECT_EQ(bytes, "\x80?");
  EXPECT_FALSE(utf16ToCodePage(u"x", 12345, bytes));
}

TEST(Text, InvalidBytesInAMultiByteCodePageDoNotStopTheConversion) {
  std::u16string w;
  EXPECT_FALSE(codePageToUtf16("a\x82", 932, w));  // lead byte at the end
  ASSERT_GE(w.size(), 2u);
  EXPECT_EQ(w[0], u'a');
  EXPECT_EQ(w.back(), 0xFFFD);
}

TEST(Text, CaseInsensitiveComparisonIsAsciiOnly) {
  EXPECT_TRUE(equalsNoCase(std::string_view("Cfg.INI"), std::string_view("cfg.ini")));
  EXPECT_FALSE(equalsNoCase(std::string_view("cfg.ini"), std::string_view("cfg.in")));
  EXPECT_TRUE(equalsNoCase(std::u16string_view(u"TC_Title"), std::u16string_view(u"tc_title")));
  const char16_t buf[4] = {u'a', u'b', 0, u'c'};
  EXPECT_EQ(boundedLength(buf, 4), 2u);
  const char16_t full[2] = {u'a', u'b'};
  EXPECT_EQ(boundedLength(full, 2), 2u);
}
