// The firmware update manifest: the two values, in every form the support
// page can meet (shipped file, other encodings, values missing or damaged).
#include <gtest/gtest.h>

#include <string>

#include "q350config/settings/update_manifest.h"
#include "tests/support/test_env.h"

namespace {

using q350::ParseUpdateManifest;
using q350::ReadUpdateManifest;
using q350::UpdateManifest;

std::string utf16le(const std::u16string& text) {
  std::string out = "\xFF\xFE";
  for (char16_t c : text) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
  return out;
}

TEST(UpdateManifest, ReadsBothValues) {
  struct Case {
    const char* what;
    std::string bytes;
    bool hasFirmware;
    std::int32_t current;
    std::u16string newfile;
  };
  const Case cases[] = {
      {"plain", "<update><firmware><current>108</current><newfile>http://h/u.exe</newfile></firmware></update>",
       true, 108, u"http://h/u.exe"},
      {"values in the other order",
       "<update><firmware><newfile>http://h/u.exe</newfile><current>200</current></firmware></update>", true, 200,
       u"http://h/u.exe"},
      {"blanks around the values",
       "<update>\n <firmware>\n  <current> 107\n</current>\n  <newfile>\n   http://h/a b.exe \n</newfile>\n"
       " </firmware>\n</update>\n",
       true, 107, u"http://h/a b.exe"},
      {"utf-16 with byte-order mark",
       utf16le(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><update><firmware><current>109</current>"
               u"<newfile>http://h/\u00e9.exe</newfile></firmware></update>"),
       true, 109, u"http://h/\u00e9.exe"},
      {"no current", "<update><firmware><newfile>x</newfile></firmware></update>", true, 0, u"x"},
      {"current not a number", "<update><firmware><current>abc</current></firmware></update>", true, 0, u""},
      {"current with a tail", "<update><firmware><current>110b</current></firmware></update>", true, 110, u""},
      {"current too large", "<update><firmware><current>99999999999999</current></firmware></update>", true,
       2147483647, u""},
      {"firmware nested deeper is not the section",
       "<update><other><firmware><current>5</current></firmware></other></update>", false, 0, u""},
      {"no firmware", "<update><current>108</current></update>", false, 0, u""},
      {"not XML at all", "\x01\x02garbage", false, 0, u""},
      {"empty", "", false, 0, u""},
      {"unended elements still give their values", "<update><firmware><current>111</current><newfile>abc", true,
       111, u"abc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const UpdateManifest m = ParseUpdateManifest(c.bytes);
    EXPECT_EQ(m.hasFirmware, c.hasFirmware);
    EXPECT_EQ(m.current, c.current);
    EXPECT_EQ(m.newfile, c.newfile);

    // The file reader gives the same.
    testsupport::TempDir dir;
    const UpdateManifest f = ReadUpdateManifest(dir.write("update/update.xml", c.bytes));
    EXPECT_TRUE(f.readable);
    EXPECT_EQ(f.hasFirmware, c.hasFirmware);
    EXPECT_EQ(f.current, c.current);
    EXPECT_EQ(f.newfile, c.newfile);
  }
}

TEST(UpdateManifest, SoftwareVersionBesideTheFirmware) {
  // Either section may come first, and one does not hide the other.
  const UpdateManifest both = ParseUpdateManifest(
      "<update><software><current>108</current></software><firmware><current>107</current>"
      "<newfile>https://h/u</newfile></firmware></update>");
  EXPECT_EQ(both.software, 108);
  EXPECT_EQ(both.current, 107);
  EXPECT_EQ(both.newfile, u"https://h/u");
  const UpdateManifest only = ParseUpdateManifest("<update><software><current> 109 </current></software></update>");
  EXPECT_FALSE(only.hasFirmware);
  EXPECT_EQ(only.software, 109);
  EXPECT_EQ(ParseUpdateManifest("<update><firmware><current>107</current></firmware></update>").software, 0);
}

TEST(UpdateManifest, MissingFileReadsAsNoUpdate) {
  testsupport::TempDir dir;
  const UpdateManifest m = ReadUpdateManifest(dir.file("update/update.xml"));
  EXPECT_FALSE(m.readable);
  EXPECT_FALSE(m.hasFirmware);
  EXPECT_EQ(m.current, 0);
  EXPECT_TRUE(m.newfile.empty());
}

TEST(UpdateManifest, ShippedManifestNamesFirmware107) {
  const UpdateManifest m = ReadUpdateManifest(testsupport::sourceDir() + "/data/q350/update/update.xml");
  EXPECT_TRUE(m.readable);
  EXPECT_EQ(m.current, 107);
  EXPECT_EQ(m.newfile.rfind(u"https://", 0), 0u);
  EXPECT_EQ(m.newfile.substr(m.newfile.size() - 4), u".exe");
}

TEST(UpdateManifest, DecimalValue) {
  const struct {
    std::u16string text;
    std::int32_t value;
  } cases[] = {
      {u"107", 107},         {u"  42", 42},          {u"+7", 7},
      {u"-3", -3},           {u"0x10", 0},           {u"", 0},
      {u"12 34", 12},        {u"2147483647", 2147483647}, {u"2147483648", 2147483647},
      {u"-2147483648", -2147483647 - 1}, {u"-99999999999", -2147483647 - 1}, {u"\u0661", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(q350::manifestNumber(c.text), c.value) << std::string(c.text.begin(), c.text.end());
}

}  // namespace
