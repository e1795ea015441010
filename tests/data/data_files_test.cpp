// The shipped data files as the programs will read them: Lumera's cfg.ini
// and LED layouts, its text table, Q350Config's language files and the
// update manifest.
#include <gtest/gtest.h>

#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <map>
#include <regex>
#include <set>

#include "platform/inifile.h"
#include "platform/text.h"
#include "shared/text_keys.h"
#include "shared/text_table.h"
#include "shared/xml_reader.h"
#include "tests/data/data_test_util.h"
#include "tests/support/test_env.h"

namespace {

using datatest::LayoutLine;

std::string dataDir() { return testsupport::sourceDir() + "/data"; }

platform::IniFile loadIni(const std::string& relative) {
  platform::IniFile ini;
  EXPECT_TRUE(ini.load(dataDir() + "/" + relative)) << relative;
  return ini;
}

// Virtual-key codes that have a HID keyboard usage in Lumera's key encoding;
// a key whose code is not here would be sent to the keyboard as usage 0 and
// type nothing.
const std::set<long>& encodableKeys() {
  static const std::set<long> keys = [] {
    std::set<long> k = {0xE2, 0x1B, 0x09, 0x14, 0x0D, 0x08, 0x20, 0xDB, 0xDD, 0xDC, 0xBA, 0xDE, 0xBC, 0xBE, 0xBF,
                        0xC0, 0xBB, 0xBD, 0x2C, 0x91, 0x13, 0x2D, 0x24, 0x21, 0x2E, 0x23, 0x22, 0x26, 0x28, 0x25,
                        0x27, 0x6B, 0x6D, 0x6A, 0x6F, 0x90, 0xFD, 0x6E, 0xA2, 0xA0, 0xA4, 0x5B, 0xA3, 0xA1, 0xA5,
                        0x5C, 0x5D};
    for (long v = 0x70; v <= 0x7B; ++v) k.insert(v);  // F1..F12
    for (long v = 0x41; v <= 0x5A; ++v) k.insert(v);  // A..Z
    for (long v = 0x30; v <= 0x39; ++v) k.insert(v);  // 0..9
    for (long v = 0x60; v <= 0x69; ++v) k.insert(v);  // keypad 0..9
    k.insert(0xFA);                                   // the Fn key
    return k;
  }();
  return keys;
}

class LumeraConfig : public ::testing::Test {
 protected:
  void SetUp() override {
    cfg = loadIni("lumera/cfg.ini");
    keys = datatest::layoutLines(cfg, "KEY");
  }
  platform::IniFile cfg;
  std::vector<LayoutLine> keys;
};

TEST_F(LumeraConfig, DeviceIdsAndFoldersAreThoseOfTheQ350RGB) {
  EXPECT_EQ(cfg.getInt("OPT", "VID", 0), 0x24AE);
  EXPECT_EQ(cfg.getInt("OPT", "PID", 0), 0x4018);
  // An empty "appdir" makes Lumera report an error and keep its profiles in
  // the bare application-data folder.
  const std::string appdir = cfg.getStringUtf8("OPT", "appdir", "", 30);
  EXPECT_FALSE(appdir.empty());
  EXPECT_EQ(appdir.find_first_of("/\\"), std::string::npos) << "appdir is one folder name";
}

TEST_F(LumeraConfig, KeyLayoutIsAFullSizeKeyboardWithUniqueMatrixPositions) {
  ASSERT_EQ(keys.size(), 105u) << "ISO full-size keyboard";
  std::set<int> matrix;
  std::map<long, int> codes;
  for (size_t i = 0; i < keys.size(); ++i) {
    const LayoutLine& k = keys[i];
    SCOPED_TRACE("K" + std::to_string(i + 1));
    ASSERT_EQ(k.type, 2) << "every key line is a plain key with 8 numbers";
    EXPECT_TRUE(encodableKeys().count(k.code)) << std::hex << k.code;
    EXPECT_EQ(k.extra, 0);
    EXPECT_GE(k.last, 0);
    EXPECT_LT(k.last, 132);
    EXPECT_TRUE(matrix.insert(k.last).second) << "matrix position " << k.last << " used twice";
    ++codes[k.code];
  }
  // Every standard key exactly once.
  for (long v = 0x41; v <= 0x5A; ++v) EXPECT_EQ(codes[v], 1) << char(v);
  for (long v = 0x30; v <= 0x39; ++v) EXPECT_EQ(codes[v], 1) << char(v);
  for (long v = 0x70; v <= 0x7B; ++v) EXPECT_EQ(codes[v], 1) << "F" << v - 0x6F;
  for (long v : {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0x5B, 0x0D, 0xFD, 0x20, 0xFA, 0xE2, 0xDC})
    EXPECT_EQ(codes[v], 1) << std::hex << v;
  // The key encoding copies position 80 into 75 (they are one physical key
  // on some boards): a key at 75 would take the function of the key at 80.
  EXPECT_EQ(matrix.count(75), 0u);
}

TEST_F(LumeraConfig, KeyRectanglesFitTheKeyboardViewAndDoNotOverlap) {
  auto rc = datatest::numberList(cfg, "OPT", "rcKB");
  ASSERT_TRUE(rc && rc->size() == 4u);
  const int w = int((*rc)[2]), h = int((*rc)[3]);
  // The outlined key is hit and painted by its outline, every other key by
  // its rectangle: those shapes must not overlap, or a click hits two keys.
  auto un = datatest::numberList(cfg, "OPT", "UnRectKey");
  ASSERT_TRUE(un && un->size() > 8u);
  std::vector<QPainterPath> shapes;
  for (size_t i = 0; i < keys.size(); ++i) {
    const LayoutLine& a = keys[i];
    EXPECT_TRUE(a.x >= 0 && a.y >= 0 && a.x + a.w <= w && a.y + a.h <= h && a.w > 10 && a.h > 10)
        << "K" << i + 1 << " lies outside the " << w << "x" << h << " view";
    QPainterPath shape;
    if (long(i) == (*un)[0]) {
      QPolygonF outline;
      for (size_t j = 1; j + 1 < un->size() && (*un)[j] != 0; j += 2) outline << QPointF((*un)[j], (*un)[j + 1]);
      shape.addPolygon(outline);
    } else {
      shape.addRect(a.x, a.y, a.w, a.h);
    }
    shapes.push_back(shape);
  }
  for (size_t i = 0; i < shapes.size(); ++i)
    for (size_t j = i + 1; j < shapes.size(); ++j)
      EXPECT_TRUE(shapes[i].intersected(shapes[j]).isEmpty()) << "K" << i + 1 << " overlaps K" << j + 1;
}

TEST_F(LumeraConfig, EnterOutlineIsAClosedPolygonInsideItsKey) {
  auto un = datatest::numberList(cfg, "OPT", "UnRectKey");
  ASSERT_TRUE(un.has_value());
  const std::vector<long>& n = *un;
  ASSERT_LE(n.size(), 50u) << "the reader keeps at most 50 numbers";
  ASSERT_LT(size_t(n[0]), keys.size());
  const LayoutLine& enter = keys[size_t(n[0])];
  EXPECT_EQ(enter.code, 0x0D);
  std::vector<std::pair<long, long>> pts;
  size_t i = 1;
  for (; i + 1 < n.size() && n[i] != 0; i += 2) pts.push_back({n[i], n[i + 1]});
  ASSERT_EQ(n[i], 0) << "outline ends with an x of 0";
  ASSERT_GT(pts.size(), 3u) << "shorter outlines are ignored";
  EXPECT_EQ(pts.front(), pts.back()) << "outline must be closed";
  for (const auto& [x, y] : pts) {
    EXPECT_TRUE(x >= enter.x && x <= enter.x + enter.w && y >= enter.y && y <= enter.y + enter.h)
        << x << "," << y << " outside the Enter key";
  }
}

TEST_F(LumeraConfig, FnLayerPutsMediaFunctionsOnTheFunctionKeys) {
  std::set<long> fnKeys;
  int entries = 0;
  for (size_t k = 0; k < keys.size(); ++k) {
    auto fn = datatest::numberList(cfg, "FN", "K" + std::to_string(k + 1), 16);
    if (!fn) continue;
    ++entries;
    ASSERT_EQ(fn->size(), 3u);
    // Type 4 media ids the key encoding knows (others would encode as -1
    // and drop the key from the Fn matrix).
    EXPECT_EQ((*fn)[0], 4);
    const long id = (*fn)[1];
    EXPECT_TRUE((id >= 33 && id <= 40) || (id >= 48 && id <= 57)) << "media id " << id;
    fnKeys.insert(keys[k].code);
  }
  EXPECT_LT(entries, 48) << "the Fn matrix has 48 entries";
  for (long v = 0x70; v <= 0x7B; ++v) EXPECT_TRUE(fnKeys.count(v)) << "F" << v - 0x6F << " has no Fn function";
  // No FN line beyond the key list (it would be silently ignored).
  EXPECT_FALSE(cfg.value("FN", "K" + std::to_string(keys.size() + 1)).has_value());
}

TEST_F(LumeraConfig, GesturesUseMatrixPositionsNoKeyHas) {
  // A gesture's code overrides whatever key shares its matrix position.
  std::set<int> used;
  for (const LayoutLine& k : keys) used.insert(k.last);
  for (int g = 1; g <= 7; ++g) {
    auto line = datatest::numberList(cfg, "GEST", "K" + std::to_string(g), {16, 16, 16, 10});
    ASSERT_TRUE(line && line->size() == 4u) << "gesture " << g;
    const int matrix = int((*line)[3]);
    EXPECT_LT(matrix, 132);
    EXPECT_EQ(used.count(matrix), 0u) << "gesture " << g << " at key position " << matrix;
  }
}

TEST_F(LumeraConfig, LightingOptionsHaveTheirReadersShapes) {
  for (int n = 1; n <= 16; ++n) {
    auto opt = datatest::numberList(cfg, "OPT", "LedOpt" + std::to_string(n));
    ASSERT_TRUE(opt.has_value()) << "LedOpt" << n;
    ASSERT_EQ(opt->size(), 6u) << "code and five flags";
    const std::set<long> previewKinds = {0, 1, 2, 3, 5, 7, 9, 12, 13, 15, 16, 17, 23};
    EXPECT_TRUE(previewKinds.count((*opt)[0])) << "LedOpt" << n;
    for (size_t i = 1; i < 6; ++i) EXPECT_TRUE((*opt)[i] == 0 || (*opt)[i] == 1);
  }
  auto param = datatest::numberList(cfg, "OPT", "LEDParam", 16);
  ASSERT_TRUE(param && param->size() == 6u) << "anything but 6 numbers is an error";
  EXPECT_LT((*param)[0], 16);
  EXPECT_TRUE((*param)[1] >= 1 && (*param)[1] <= 5 && (*param)[2] >= 1 && (*param)[2] <= 5);
  const int grid = cfg.getInt("OPT", "GridIndex", 3);
  EXPECT_TRUE(grid >= 0 && grid <= 6);
  for (const char* colour : {"ClrMask", "Txt_clr", "Btn_txt_clr_nr", "Btn_txt_clr_ov", "Btn_txt_clr_dn",
                             "Menu_txt_clr_nr", "LstBox_bkg_clr", "ClrKeyOv", "clrGrid", "clrVezeriv"}) {
    auto c = datatest::numberList(cfg, "OPT", colour);
    ASSERT_TRUE(c && c->size() == 3u) << colour;
    for (long v : *c) EXPECT_TRUE(v >= 0 && v <= 255) << colour;
  }
  // Highlight keys must be keys of the layout, or the per-key set stays dark.
  std::set<long> codes;
  for (const LayoutLine& k : keys) codes.insert(k.code);
  for (int g = 1; g <= 5; ++g) {
    auto list = datatest::numberList(cfg, "OPT", "VezerivKey" + std::to_string(g), 16);
    if (!list) continue;
    for (long v : *list) EXPECT_TRUE(codes.count(v)) << "VezerivKey" << g << " names " << std::hex << v;
  }
}

TEST_F(LumeraConfig, LedLayoutsDescribeTheSameKeysWithUniqueLedIndices) {
  for (const char* file : {"lumera/Led.ini", "lumera/LedUK.ini"}) {
    SCOPED_TRACE(file);
    platform::IniFile led = loadIni(file);
    std::vector<LayoutLine> leds = datatest::layoutLines(led, "KEY");
    ASSERT_EQ(leds.size(), keys.size());
    std::set<int> indices;
    for (size_t i = 0; i < leds.size(); ++i) {
      EXPECT_TRUE(leds[i].x == keys[i].x && leds[i].y == keys[i].y && leds[i].w == keys[i].w &&
                  leds[i].h == keys[i].h && leds[i].type == keys[i].type && leds[i].code == keys[i].code)
          << "line K" << i + 1 << " describes another key";
      EXPECT_LT(leds[i].last, 132);
      EXPECT_TRUE(indices.insert(leds[i].last).second) << "LED " << leds[i].last << " used twice";
    }
  }
}

// --- Texts ---------------------------------------------------------------

// Language files and text.xml are read with the programs' own reader.
TEST(LumeraTexts, EveryKeyHasATextAndNoUnknownKeyIsPresent) {
  shared::TextTable table;
  ASSERT_TRUE(table.LoadTexts(dataDir() + "/lumera/text.xml"));
  for (std::string_view key : shared::kLumeraTextKeys)
    EXPECT_FALSE(table.Text(key).empty()) << key;
  // A misspelt key would be a text nobody loads.
  const std::string xml = testsupport::readAll(dataDir() + "/lumera/text.xml");
  std::regex tag("<(tc_[A-Za-z0-9_]+)>");
  for (auto it = std::sregex_iterator(xml.begin(), xml.end(), tag); it != std::sregex_iterator(); ++it) {
    const std::string key = (*it)[1].str();
    const bool own = std::any_of(shared::kLumeraOwnTextKeys.begin(), shared::kLumeraOwnTextKeys.end(),
                                 [&](const shared::OwnTextKey& k) { return k.key == key; });
    EXPECT_TRUE(own || std::find(shared::kLumeraTextKeys.begin(), shared::kLumeraTextKeys.end(), key) !=
                           shared::kLumeraTextKeys.end())
        << key;
  }
  // Our own keys are in the file, with the English texts the program also
  // uses when a translation lacks them.
  for (const shared::OwnTextKey& k : shared::kLumeraOwnTextKeys)
    EXPECT_EQ(table.Text(k.key), std::u16string(k.english)) << k.key;
  // Profile names are "tc_proname" followed directly by the number.
  EXPECT_EQ(table.TextUtf8("tc_proname").back(), ' ');
}

// The file names and order of the language pop-up.
const char* const kLanguageFiles[] = {"sc", "en", "fre", "kor", "ger", "ita", "span", "dutch", "pt", "rus", "ukr", "tw"};

TEST(Q350Languages, EveryLanguageFileHasEveryKey) {
  for (const char* lang : kLanguageFiles) {
    SCOPED_TRACE(lang);
    const std::string path = dataDir() + "/q350/Language/" + lang + ".xml";
    shared::TextTable table;
    ASSERT_TRUE(table.LoadLanguageTexts(path));
    for (std::string_view key : shared::kQ350TextKeys) EXPECT_FALSE(table.Text(key).empty()) << key;
    // Every hint number shows a text.
    for (const shared::HintKey& h : shared::kQ350HintKeys) EXPECT_FALSE(table.HintText(h.number).empty());
    const std::string xml = testsupport::readAll(path);
    EXPECT_TRUE(platform::isValidUtf8(xml));
    std::regex tag("<(str_[A-Za-z0-9_]+)>");
    int count = 0;
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), tag); it != std::sregex_iterator(); ++it) {
      ++count;
      EXPECT_NE(std::find(shared::kQ350TextKeys.begin(), shared::kQ350TextKeys.end(), (*it)[1].str()),
                shared::kQ350TextKeys.end())
          << (*it)[1].str();
    }
    EXPECT_EQ(count, int(shared::kQ350TextKeys.size())) << "each key once";
  }
}

TEST(Q350Languages, FormatTextsCarryExactlyTheirPlaceholder) {
  // str_msg2 is a printf format receiving one path: a missing "%s" loses the
  // path, an extra conversion reads an argument that is not there.
  const std::regex conversion("%[-+ #0]*[0-9]*(\\.[0-9]+)?[a-zA-Z%]");
  for (const char* lang : kLanguageFiles) {
    shared::TextTable table;
    ASSERT_TRUE(table.LoadLanguageTexts(dataDir() + "/q350/Language/" + lang + ".xml"));
    for (std::string_view key : shared::kQ350TextKeys) {
      const std::string text = table.TextUtf8(key);
      std::vector<std::string> found;
      for (auto it = std::sregex_iterator(text.begin(), text.end(), conversion); it != std::sregex_iterator(); ++it)
        found.push_back(it->str());
      if (key == "str_msg2")
        EXPECT_EQ(found, std::vector<std::string>{"%s"}) << lang;
      else
        EXPECT_TRUE(found.empty()) << lang << " " << key << ": " << text;
    }
  }
}

TEST(Q350Languages, EnglishAndChineseAreWrittenInTheirScripts) {
  shared::TextTable en, sc;
  ASSERT_TRUE(en.LoadLanguageTexts(dataDir() + "/q350/Language/en.xml"));
  ASSERT_TRUE(sc.LoadLanguageTexts(dataDir() + "/q350/Language/sc.xml"));
  int cjkTexts = 0;
  for (std::string_view key : shared::kQ350TextKeys) {
    const std::u16string t = sc.Text(key);
    if (std::any_of(t.begin(), t.end(), [](char16_t c) { return c >= 0x4E00 && c <= 0x9FFF; })) ++cjkTexts;
    const std::u16string e = en.Text(key);
    EXPECT_TRUE(std::all_of(e.begin(), e.end(), [](char16_t c) { return c < 0x80; })) << key;
  }
  // Only names like "DPI", "CPI" and "Windows" stay in Latin letters.
  EXPECT_GT(cjkTexts, int(shared::kQ350TextKeys.size()) - 8);
}

TEST(UpdateManifest, FirmwareSectionHoldsANumberAndAnUpdaterAddress) {
  shared::XmlDocument doc;
  ASSERT_TRUE(doc.LoadFile(dataDir() + "/q350/update/update.xml"));
  ASSERT_TRUE(doc.FindChildElement(u"firmware"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindChildElement(u"current"));
  const std::string current = platform::toUtf8(doc.ChildElementData());
  EXPECT_TRUE(std::regex_match(current, std::regex("[0-9]{3}"))) << current;
  ASSERT_TRUE(doc.FindChildElement(u"newfile"));
  const std::string address = platform::toUtf8(doc.ChildElementData());
  EXPECT_TRUE(std::regex_match(address, std::regex("https?://[^ ]+/software/q350/[^ /]+\\.exe"))) << address;
}

}  // namespace
