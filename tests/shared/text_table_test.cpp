// The text tables of both programs and the skin marker check.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "shared/text_keys.h"
#include "shared/text_table.h"
#include "tests/support/test_env.h"

using shared::TextTable;
using shared::XmlDocument;

namespace {

TEST(TextKeys, ListsHoldEveryKeyOnceInLoadOrder) {
  std::set<std::string_view> lumera(shared::kLumeraTextKeys.begin(), shared::kLumeraTextKeys.end());
  EXPECT_EQ(lumera.size(), shared::kLumeraTextKeys.size());
  EXPECT_EQ(shared::kLumeraTextKeys.front(), "tc_title");
  EXPECT_EQ(shared::kLumeraTextKeys[6], "tc_tip1");
  EXPECT_EQ(shared::kLumeraTextKeys.back(), "tc_adv_str19");
  for (const auto& k : {"tc_PL", "tc_macro_msg22", "tc_msg36", "tc_led_mode18", "tc_kbmedia_msel"})
    EXPECT_EQ(lumera.count(k), 1u) << k;

  std::set<std::string_view> q350(shared::kQ350TextKeys.begin(), shared::kQ350TextKeys.end());
  EXPECT_EQ(q350.size(), shared::kQ350TextKeys.size());
  // Every hint key is loaded, and the hint keys come first, in hint order.
  std::size_t next = 0;
  for (const shared::HintKey& h : shared::kQ350HintKeys) {
    EXPECT_EQ(q350.count(h.key), 1u) << h.key;
    if (next < shared::kQ350TextKeys.size() && shared::kQ350TextKeys[next] == h.key) ++next;
  }
  EXPECT_EQ(next, 61u);  // 62 hints, "str_macro_loop" twice
  EXPECT_EQ(shared::kQ350TextKeys[61], "str_msg2");
  EXPECT_EQ(shared::kQ350TextKeys.back(), "str_more");
  EXPECT_EQ(shared::q350HintKey(40), "str_macro_loop");
  EXPECT_EQ(shared::q350HintKey(60), "str_macro_loop");
  EXPECT_EQ(shared::q350HintKey(78), "str_file_export");
  for (int unused : {-1, 16, 22, 54, 59, 66, 69, 79, 99}) EXPECT_TRUE(shared::q350HintKey(unused).empty()) << unused;
}

const char* const kLumeraFile =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<texts>\n"
    "  <tc_exit>not inside config</tc_exit>\n"
    "  <config>\n"
    "    <tc_title>Q350RGB</tc_title>\n"
    "    <tc_ok>O&amp;K</tc_ok>\n"
    "    <tc_PL>Play</tc_PL>\n"
    "    <tc_pl>wrong case</tc_pl>\n"
    "    <config>\n"
    "      <tc_cancel>Cancel</tc_cancel>\n"
    "      <tc_ok>shadowed</tc_ok>\n"
    "      <config><tc_msg36>deepest</tc_msg36></config>\n"
    "    </config>\n"
    "  </config>\n"
    "  <config><tc_apply>second config is never read</tc_apply></config>\n"
    "</texts>\n";

TEST(TextTable, LumeraLookupGoesIntoNestedConfigElements) {
  testsupport::TempDir dir;
  TextTable table;
  EXPECT_TRUE(table.LoadTexts(dir.write("text.xml", kLumeraFile)));
  EXPECT_EQ(table.Text("tc_title"), u"Q350RGB");
  EXPECT_EQ(table.Text("tc_ok"), u"O&K");  // the outer one wins
  EXPECT_EQ(table.Text("tc_PL"), u"Play");
  EXPECT_EQ(table.Text("tc_cancel"), u"Cancel");
  EXPECT_EQ(table.TextUtf8("tc_msg36"), "deepest");
  EXPECT_EQ(table.Text("tc_exit"), u"");
  EXPECT_EQ(table.Text("tc_apply"), u"");
  EXPECT_EQ(table.Text("tc_pl"), u"");  // not a key
  table.SetText("tc_title", u"Configured");
  EXPECT_EQ(table.Text("tc_title"), u"Configured");
}

TEST(TextTable, LumeraLookupNeedsConfigUnderTheRoot) {
  XmlDocument doc;
  doc.ParseText(u"<config><tc_ok>root itself</tc_ok></config>");
  EXPECT_EQ(shared::lookupLumeraText(doc, u"tc_ok"), u"");
  doc.ParseText(u"<r><config/><config><tc_ok>second</tc_ok></config></r>");
  EXPECT_EQ(shared::lookupLumeraText(doc, u"tc_ok"), u"");
  doc.ParseText(u"<r><config><a/><config><tc_ok>nested</tc_ok></config></config></r><r2/>");
  EXPECT_EQ(shared::lookupLumeraText(doc, u"tc_ok"), u"nested");
}

TEST(TextTable, MissingOrBrokenFilesGiveEmptyTexts) {
  testsupport::TempDir dir;
  TextTable table;
  ASSERT_TRUE(table.LoadTexts(dir.write("text.xml", kLumeraFile)));
  EXPECT_FALSE(table.LoadTexts(dir.file("absent.xml")));
  EXPECT_EQ(table.Text("tc_title"), u"");
  // A broken file still gives what could be indexed.
  EXPECT_TRUE(table.LoadTexts(dir.write("broken.xml", "<t><config><tc_ok>OK</tc_ok><tc_cancel>C")));
  EXPECT_EQ(table.Text("tc_ok"), u"OK");
  EXPECT_EQ(table.Text("tc_cancel"), u"C");
}

TEST(TextTable, ProcessWideTableAndSeparateTablesInOneProcess) {
  testsupport::TempDir dir;
  ASSERT_TRUE(shared::LoadTexts(dir.write("text.xml", kLumeraFile)));
  TextTable other;
  ASSERT_TRUE(other.LoadTexts(dir.write("other.xml", "<t><config><tc_title>Other</tc_title></config></t>")));
  EXPECT_EQ(shared::Text("tc_title"), u"Q350RGB");
  EXPECT_EQ(other.Text("tc_title"), u"Other");
  EXPECT_EQ(other.Text("tc_ok"), u"");
}

TEST(TextTable, LanguageTextsComeFromTheFirstConfigHoldingTheKey) {
  testsupport::TempDir dir;
  const std::string file =
      "<language>"
      "<str_help>outside any config</str_help>"
      "<config><str_ok>OK</str_ok><str_macro_loop>Loop</str_macro_loop></config>"
      "<config><str_help>Help</str_help><str_ok>second OK</str_ok>"
      "<config><str_more>nested More</str_more></config></config>"
      "</language>";
  TextTable& table = shared::languageTexts();
  EXPECT_TRUE(shared::LoadLanguageTexts(dir.write("en.xml", file)));
  EXPECT_EQ(table.Text("str_ok"), u"OK");
  EXPECT_EQ(table.Text("str_help"), u"Help");
  EXPECT_EQ(table.Text("str_more"), u"nested More");
  EXPECT_EQ(table.HintText(10), u"Help");
  EXPECT_EQ(table.HintText(40), u"Loop");
  EXPECT_EQ(table.HintText(60), u"Loop");
  EXPECT_EQ(table.HintText(99), u"");
  // A language change replaces everything; keys the new file lacks go empty.
  EXPECT_TRUE(shared::LoadLanguageTexts(dir.write("fre.xml", "<l><config><str_ok>D'accord</str_ok></config></l>")));
  EXPECT_EQ(table.Text("str_ok"), u"D'accord");
  EXPECT_EQ(table.HintText(10), u"");
}

struct MarkerCase {
  const char* name;
  std::u16string marker;  // written at byte offset 192
  std::u16string title;
  std::size_t fileBytes;  // 0: 520
  bool pass;
  std::u16string log;
};

class SkinMarkerTest : public testing::TestWithParam<MarkerCase> {};

TEST_P(SkinMarkerTest, Check) {
  const MarkerCase& c = GetParam();
  std::string bytes(c.fileBytes ? c.fileBytes : 600, '\0');
  for (std::size_t i = 0; i < 192; ++i) bytes[i] = static_cast<char>('A' + i % 26);
  for (std::size_t i = 0; i < c.marker.size() && 192 + 2 * i + 1 < bytes.size(); ++i) {
    bytes[192 + 2 * i] = static_cast<char>(c.marker[i] & 0xFF);
    bytes[192 + 2 * i + 1] = static_cast<char>(c.marker[i] >> 8);
  }
  testsupport::TempDir dir;
  dir.write("skins/mak.skn", bytes);
  std::vector<std::u16string> log;
  EXPECT_EQ(shared::CheckSkinMarker(dir.path() + "/", c.title, [&](const std::u16string& l) { log.push_back(l); }),
            c.pass);
  if (c.log.empty())
    EXPECT_TRUE(log.empty());
  else
    EXPECT_EQ(log, std::vector<std::u16string>{c.log});
}

const std::u16string kLongTitle(170, u'T');

INSTANTIATE_TEST_SUITE_P(
    Markers, SkinMarkerTest,
    testing::Values(MarkerCase{"Exact", u"Q350RGB", u"Q350RGB", 0, true, u""},
                    MarkerCase{"TitleThenMore", u"Q350RGB Keyboard", u"Q350RGB", 0, true, u""},
                    MarkerCase{"OtherLetterCase", u"q350rgb", u"Q350RGB", 0, true, u""},
                    MarkerCase{"HalfTheTitle", u"Q350", u"Q350RGB", 0, false, u"Error: szText=Q350, tc_t=Q350RGB"},
                    MarkerCase{"Different", u"Other", u"Q350RGB", 0, false, u"Error: szText=Other, tc_t=Q350RGB"},
                    // The file ends inside the title: what is missing does not match.
                    MarkerCase{"FileTooShort", u"Q350RGB", u"Q350RGB", 200, false, u"Error: szText=Q350, tc_t=Q350RGB"},
                    // Only the first 520 bytes count: a title longer than they hold never matches.
                    MarkerCase{"BeyondTheFirst520Bytes", kLongTitle, kLongTitle, 600, false,
                               u"Error: szText=" + std::u16string(164, u'T') + u", tc_t=" + kLongTitle}),
    [](const testing::TestParamInfo<MarkerCase>& i) { return std::string(i.param.name); });

TEST(SkinMarker, MissingFileAndFileNamesInOtherCase) {
  testsupport::TempDir dir;
  std::vector<std::u16string> log;
  const auto sink = [&](const std::u16string& l) { log.push_back(l); };
  EXPECT_FALSE(shared::CheckSkinMarker(dir.path() + "/", u"Q350RGB", sink));
  EXPECT_EQ(log, std::vector<std::u16string>{u"open skn file err"});
  std::string bytes(520, '\0');
  bytes[192] = 'K';
  dir.write("Skins/MAK.SKN", bytes);
  EXPECT_TRUE(shared::CheckSkinMarker(dir.path() + "/", u"k", sink));
  EXPECT_TRUE(shared::CheckSkinMarker(dir.path() + "/", u"k", nullptr));
}

}  // namespace

// The tables fill every key in one pass over the candidate elements; each key
// must still get what the single lookup of its program answers, on every
// shipped file and on every document of the fuzz corpora (broken ones too).
TEST(TextTable, OnePassFillAgreesWithTheSingleLookups) {
  std::vector<std::string> files;
  for (const char* folder : {"data", "tests/fuzz/corpus/xml_file", "tests/fuzz/corpus/xml_text"}) {
    const std::string root = testsupport::sourceDir() + "/" + folder;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
      if (entry.is_regular_file() && (std::string_view(folder) != "data" || entry.path().extension() == ".xml"))
        files.push_back(entry.path().string());
  }
  ASSERT_GT(files.size(), 1000u);
  std::size_t texts = 0;
  for (const std::string& file : files) {
    XmlDocument doc;
    doc.LoadFile(file);
    TextTable lumera, language;
    lumera.FillTexts(doc);
    language.FillLanguageTexts(doc);
    // A key whose name no element has is found by neither path; the single
    // lookups (a walk each) are asked only for the names the document has,
    // which keeps this quick on the corpus's huge broken files.
    std::set<std::u16string_view> names;
    for (std::uint32_t e = 1; e < doc.Elements().size(); ++e) names.insert(doc.NameOf(e));
    for (const std::string_view key : shared::kLumeraTextKeys) {
      const std::u16string wide(key.begin(), key.end());
      const std::u16string expected = names.count(wide) ? shared::lookupLumeraText(doc, wide) : std::u16string();
      ASSERT_EQ(lumera.Text(key), expected) << file << " " << key;
      texts += !expected.empty();
    }
    for (const std::string_view key : shared::kQ350TextKeys) {
      const std::u16string wide(key.begin(), key.end());
      const std::u16string expected = names.count(wide) ? shared::lookupLanguageText(doc, wide) : std::u16string();
      ASSERT_EQ(language.Text(key), expected) << file << " " << key;
      texts += !expected.empty();
    }
  }
  EXPECT_GT(texts, 2000u);  // the comparison saw real texts, not only empty tables
}

// Nested levels and twins: the first level that has the element decides,
// even when its text is empty; the language rule takes the first "config" in
// document order that has the key.
TEST(TextTable, FirstLevelWithTheElementDecides) {
  XmlDocument doc;
  doc.ParseText(
      u"<r><config><tc_ok></tc_ok><tc_title>top</tc_title><tc_title>twin</tc_title>"
      u"<config><tc_ok>deep</tc_ok><tc_cancel>deep cancel</tc_cancel><str_ok>lang deep</str_ok></config>"
      u"</config><config><tc_apply>second top-level config</tc_apply><str_ok>lang 2</str_ok></config></r>");
  TextTable lumera, language;
  lumera.FillTexts(doc);
  language.FillLanguageTexts(doc);
  EXPECT_EQ(lumera.Text("tc_ok"), u"");
  EXPECT_EQ(lumera.Text("tc_title"), u"top");
  EXPECT_EQ(lumera.Text("tc_cancel"), u"deep cancel");
  EXPECT_EQ(lumera.Text("tc_apply"), u"");  // only the first config of the root is a level
  EXPECT_EQ(language.Text("str_ok"), u"lang deep");  // the nested config comes first in document order
}

namespace {

TEST(TextTable, OwnKeysFallBackToEnglish) {
  testsupport::TempDir dir;
  TextTable table;
  ASSERT_TRUE(table.LoadTexts(dir.write("text.xml", "<r><config><tc_ok>OK</tc_ok></config></r>")));
  for (const shared::OwnTextKey& k : shared::kLumeraOwnTextKeys)
    EXPECT_EQ(table.Text(k.key), std::u16string(k.english)) << k.key;
  ASSERT_TRUE(table.LoadTexts(dir.write(
      "text.xml", "<r><config><tc_unlink_program>Trennen</tc_unlink_program></config></r>")));
  EXPECT_EQ(table.Text("tc_unlink_program"), u"Trennen");
  EXPECT_EQ(table.Text("tc_link_program"), u"Link to a program...");
}

}  // namespace
