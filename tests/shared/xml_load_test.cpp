// Reading files into text: marks, declared and detected encodings, and the
// exact load descriptions.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "shared/xml_reader.h"
#include "shared/xml_tables.h"
#include "tests/support/test_env.h"

using shared::XmlDocument;
using shared::XmlFileInfo;

namespace {

std::string utf16Bytes(std::u16string_view text, bool bigEndian) {
  std::string out;
  for (const char16_t u : text) {
    const char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
    out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
  }
  return out;
}

struct DecodeCase {
  const char* name;
  std::string bytes;
  std::u16string text;
  std::string description;
  std::string encoding;  // "" when no encoding was found (ANSI)
  unsigned codePage;
};

std::vector<DecodeCase> decodeCases() {
  const std::u16string doc = u"<a>\u00E9\u4E2D</a>";  // 9 units
  return {
      {"Utf8Mark", "\xEF\xBB\xBF<a>\xC3\xA9\xE4\xB8\xAD</a>", doc, "UTF-8 BOM + length 12 to 9 wide chars ", "UTF-8",
       65001},
      {"Utf16LEMark", "\xFF\xFE" + utf16Bytes(doc, false), doc, "UTF-16LE BOM + length 9 ", "UTF-16LE", 1200},
      {"Utf16BEMark", "\xFE\xFF" + utf16Bytes(doc, true), doc, "UTF-16BE BOM + length 9 endian swap ", "UTF-16BE",
       1201},
      {"Utf16OddLastByteIsDropped", "\xFE\xFF" + utf16Bytes(doc, true) + "\x41", doc,
       "UTF-16BE BOM + length 9 endian swap ", "UTF-16BE", 1201},
      {"Utf16NullUnitsRemoved", "\xFF\xFE" + utf16Bytes(u"<a>", false) + std::string(4, '\0') + utf16Bytes(u"</a>", false),
       u"<a></a>", "UTF-16LE BOM + length 9 (2 nulls removed) ", "UTF-16LE", 1200},
      {"LeadingAngleBracketMeansUtf8", "<a>\xC3\xA9</a>", u"<a>\u00E9</a>", "UTF-8 length 9 to 8 wide chars ",
       "UTF-8", 65001},
      {"ValidUtf8DetectedWithoutAngleBracket", " <a>\xC3\xA9</a>", u" <a>\u00E9</a>",
       "UTF-8 length 10 (used UTF-8 detection) to 9 wide chars ", "UTF-8", 65001},
      {"InvalidUtf8FallsBackToAnsi", " <a>\xE9\x80</a>", u" <a>\u00E9\u20AC</a>",
       "ANSI length 10 (used UTF-8 detection) to 10 wide chars ", "", 1252},
      {"NullBytesRemoved", std::string("<a>x\0y</a>", 10), u"<a>xy</a>",
       "UTF-8 length 10 (1 nulls removed) to 9 wide chars ", "UTF-8", 65001},
      // ASCII UTF-16 without a mark still reads: its zero bytes are dropped.
      {"Utf16WithoutMark", utf16Bytes(u"<a/>", false), u"<a/>", "UTF-8 length 8 (4 nulls removed) to 4 wide chars ",
       "UTF-8", 65001},
      {"XmlDeclaration", "<?xml version=\"1.0\" encoding=\"windows-1252\"?><a>\x80</a>",
       u"<?xml version=\"1.0\" encoding=\"windows-1252\"?><a>\u20AC</a>", "windows-1252 length 53 to 53 wide chars ",
       "windows-1252", 1252},
      {"XmlDeclarationSingleQuotesMixedCase", "<?xml version='1.0' encoding='Shift_JIS' ?><a>\x82\xA0</a>",
       u"<?xml version='1.0' encoding='Shift_JIS' ?><a>\u3042</a>", "Shift_JIS length 52 to 51 wide chars ",
       "Shift_JIS", 932},
      {"DeclaredNameNotInTableMeansAnsi", "<?xml version=\"1.0\" encoding=\"x-unheard-of\"?><a>\xE9</a>",
       u"<?xml version=\"1.0\" encoding=\"x-unheard-of\"?><a>\u00E9</a>", "x-unheard-of length 53 to 53 wide chars ",
       "x-unheard-of", 1252},
      // Readable as 8-bit text, so it is not UTF-16 whatever it says.
      {"Declared16BitIn8BitFile", "<?xml version=\"1.0\" encoding=\"UTF-16\"?><a>\xC3\xA9</a>",
       u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><a>\u00E9</a>", "UTF-8 length 48 to 47 wide chars ", "UTF-8",
       65001},
      {"HtmlMetaHttpEquiv",
       "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">"
       "<title>t</title></head><body>\xC6</body></html>",
       u"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">"
       u"<title>t</title></head><body>\u0416</body></html>",
       "windows-1251 length 130 to 130 wide chars ", "windows-1251", 1251},
      {"HtmlMetaCharsetAfterAnotherMeta",
       "<!DOCTYPE html><HTML><HEAD><META name=x content=y><Meta CharSet=iso-8859-15></HEAD><body>\xA4</body></HTML>",
       u"<!DOCTYPE html><HTML><HEAD><META name=x content=y><Meta CharSet=iso-8859-15></HEAD><body>\u20AC</body></HTML>",
       "iso-8859-15 length 104 to 104 wide chars ", "iso-8859-15", 28605},
      // A meta element outside the head does not count.
      {"HtmlMetaOutsideHeadIgnored", "<html><body><meta charset=windows-1251>\xC3\xA9</body></html>",
       u"<html><body><meta charset=windows-1251>\u00E9</body></html>", "UTF-8 length 55 to 54 wide chars ", "UTF-8",
       65001},
      {"EmptyFile", "", u"", "ANSI 0 length ", "", 1252},
      {"MarkOnly", "\xEF\xBB\xBF", u"", "UTF-8 BOM + 0 length ", "UTF-8", 65001},
  };
}

class DecodeTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTest, TextAndDescription) {
  const DecodeCase& c = GetParam();
  std::u16string text;
  XmlFileInfo info;
  XmlDocument::DecodeFileBytes(c.bytes, text, info);
  EXPECT_EQ(text, c.text);
  EXPECT_EQ(info.description, c.description);
  EXPECT_EQ(info.encoding, c.encoding);
  EXPECT_EQ(info.codePage, c.codePage);
  EXPECT_EQ(info.bytes, c.bytes.size());
}

INSTANTIATE_TEST_SUITE_P(Encodings, DecodeTest, testing::ValuesIn(decodeCases()),
                         [](const testing::TestParamInfo<DecodeCase>& i) { return std::string(i.param.name); });

TEST(XmlLoad, BigEndianFileReadsLikeItsUtf8Form) {
  testsupport::TempDir dir;
  const std::u16string doc = u"<texts><config><tc_ok>\u00C9t\u00E9 &amp; \U0001F3AE</tc_ok></config></texts>";
  const std::string utf8 = "<texts><config><tc_ok>\xC3\x89t\xC3\xA9 &amp; \xF0\x9F\x8E\xAE</tc_ok></config></texts>";
  XmlDocument a, b;
  EXPECT_TRUE(a.LoadFile(dir.write("be.xml", "\xFE\xFF" + utf16Bytes(doc, true))));
  EXPECT_TRUE(b.LoadFile(dir.write("u8.xml", utf8)));
  EXPECT_EQ(a.Text(), b.Text());
  ASSERT_TRUE(a.FindChildElement("config") && a.EnterElement() && a.FindChildElement("tc_ok"));
  EXPECT_EQ(a.ChildElementData(), u"\u00C9t\u00E9 & \U0001F3AE");
}

TEST(XmlLoad, DeclarationBeyondTheFirstKilobyteIsNotSeen) {
  const std::string bytes = "<!--" + std::string(1100, '-') + "--><?xml version=\"1.0\" encoding=\"windows-1252\"?><a>\xE9</a>";
  std::u16string text;
  XmlFileInfo info;
  XmlDocument::DecodeFileBytes(bytes, text, info);
  EXPECT_EQ(info.encoding, "UTF-8");
  EXPECT_EQ(text.substr(text.size() - 5), u"\uFFFD</a>");
}

TEST(XmlLoad, UnreadableFilesGiveTheSystemErrorAndAnEmptyDocument) {
  testsupport::TempDir dir;
  XmlDocument doc;
  ASSERT_TRUE(doc.ParseText(u"<old/>"));
  std::u16string text = u"stale";
  std::string result;
  EXPECT_FALSE(doc.ReadFileAsText(dir.file("missing.xml"), text, result));
  EXPECT_EQ(result, std::strerror(ENOENT));
  EXPECT_TRUE(text.empty());
  EXPECT_FALSE(doc.ReadFileAsText(dir.path(), text, result));  // a folder
  EXPECT_EQ(result, std::strerror(EISDIR));

  EXPECT_FALSE(doc.LoadFile(dir.file("missing.xml")));
  EXPECT_EQ(doc.ResultTextUtf8(), std::strerror(ENOENT));
  EXPECT_EQ(doc.Elements().size(), 1u);
  EXPECT_FALSE(doc.FindElement());
  EXPECT_TRUE(doc.ElementData().empty());
}

TEST(XmlLoad, ResultOfLoadFileIsDescriptionThenFirstProblem) {
  testsupport::TempDir dir;
  XmlDocument doc;
  EXPECT_TRUE(doc.LoadFile(dir.write("ok.xml", "<a/>")));
  EXPECT_EQ(doc.ResultTextUtf8(), "UTF-8 length 4 to 4 wide chars ");
  EXPECT_TRUE(doc.ParseProblem().empty());
  EXPECT_FALSE(doc.LoadFile(dir.write("two.xml", "<a/><b/>")));
  EXPECT_EQ(doc.ResultTextUtf8(), "UTF-8 length 8 to 8 wide chars Root element has sibling");
  EXPECT_EQ(doc.ParseProblem(), u"Root element has sibling");
  EXPECT_EQ(doc.FileInfo().bytes, 8u);
  EXPECT_FALSE(doc.LoadFile(dir.write("empty.xml", "")));
  EXPECT_EQ(doc.ResultTextUtf8(), "ANSI 0 length Empty document");
}

struct CharsetRow {
  const char* name;
  unsigned codePage;
};

TEST(XmlTables, CharsetNamesMapToCodePagesIgnoringCase) {
  const CharsetRow rows[] = {
      {"utf-8", 65001},          {"UTF-16", 1200},         {"unicode", 1200},        {"unicodeFFFE", 1201},
      {"utf-7", 65000},          {"US-ASCII", 20127},      {"iso-8859-1", 28591},    {"Latin1", 28591},
      {"ISO-8859-15", 28605},    {"windows-1252", 1252},   {"Shift_JIS", 932},       {"csWindows31J", 932},
      {"EUC-JP", 51932},         {"x-euc-jp", 51932},      {"GB2312", 936},          {"iso-ir-58", 936},
      {"Big5", 950},             {"ks_c_5601-1987", 949},  {"iso_8859-8-i", 1255},   {"iso-8859-8-i", 38598},
      {"koi8-r", 20866},         {"windows-1251", 1251},   {"gb18030", 54936},       {"iso-8859-2", 28592},
  };
  for (const CharsetRow& r : rows) {
    unsigned cp = 0;
    EXPECT_TRUE(shared::charsetCodePage(r.name, cp)) << r.name;
    EXPECT_EQ(cp, r.codePage) << r.name;
  }
  unsigned cp = 7;
  EXPECT_FALSE(shared::charsetCodePage("utf-9", cp));
  EXPECT_FALSE(shared::charsetCodePage("", cp));
  EXPECT_FALSE(shared::charsetCodePage(std::string(100, 'a'), cp));
  EXPECT_EQ(cp, 7u);
  EXPECT_GE(shared::charsetNameCount(), 250u);
}

TEST(XmlTables, EntityTableHasTheHtml4NamesAndApos) {
  EXPECT_EQ(shared::entityNameCount(), 253u);
  const CharsetRow rows[] = {{"nbsp", 160},  {"amp", 38},      {"lt", 60},       {"gt", 62},      {"quot", 34},
                             {"apos", 39},   {"euro", 8364},   {"permil", 8240}, {"hearts", 9829}, {"thetasym", 977},
                             {"yuml", 255},  {"Yuml", 376},    {"alpha", 945},   {"Alpha", 913},  {"fnof", 402},
                             {"diams", 9830}, {"rsaquo", 8250}, {"sdot", 8901},  {"loz", 9674},   {"zwj", 8205}};
  for (const CharsetRow& r : rows) {
    char32_t cp = 0;
    EXPECT_TRUE(shared::entityCodePoint(r.name, cp)) << r.name;
    EXPECT_EQ(cp, r.codePage) << r.name;
  }
  char32_t cp = 0;
  EXPECT_FALSE(shared::entityCodePoint("AMP", cp));  // exact; the reader lowercases first
  EXPECT_FALSE(shared::entityCodePoint("bogus", cp));
}

}  // namespace
