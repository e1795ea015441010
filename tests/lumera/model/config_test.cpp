#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "lumera/model/bytes.h"
#include "lumera/model/config.h"
#include "lumera/model/log.h"
#include "tests/lumera/model/model_test_util.h"
#include "tests/support/test_env.h"

using namespace lumera;
using lumera::test::MessageCapture;
using testsupport::TempDir;

namespace {

// A program folder with the given configuration files.
struct Program {
  TempDir dir;
  explicit Program(const std::string& cfg, const std::string& led = {}, const std::string& ledUk = {}) {
    dir.write("Cfg.ini", cfg);  // found as "cfg.ini" too
    if (!led.empty()) dir.write("Led.ini", led);
    if (!ledUk.empty()) dir.write("LedUK.ini", ledUk);
  }
};

const char kAppdir[] = "[OPT]\nappdir=Lumera\n";

std::vector<std::string> loadMessages(LumeraConfig& cfg, const std::string& text) {
  Program p(text);
  MessageCapture messages;
  cfg.load(p.dir.path());
  return messages.shown();
}

using Strings = std::vector<std::string>;

}  // namespace

TEST(KeyRecords, ByteImagesHaveTheDocumentedOffsets) {
  KeyInfo k;
  k.funA.dwFunID = 0x020000A0;
  k.funA.rcKey = {10, -20, 30, 40};
  k.funA.dwMatrixInx = 131;
  k.funA.nMacroId = 0x123456;
  k.funA.stCombo = {0x01, 0x41, 0x42, 0x11};
  k.funA.dwParam = 0xA1B2C3D4;
  k.nFnIndex = -1;
  k.funB.dwFunID = 0x08000000 | 164;
  k.funB.dwParam = 0x00410203;

  std::uint8_t image[kKeyInfoSize] = {};
  writeKeyInfo(image, k);
  const std::uint8_t funA[36] = {0xA0, 0, 0, 0x02, 10, 0, 0, 0, 0xEC, 0xFF, 0xFF, 0xFF, 30, 0, 0, 0, 40, 0, 0, 0,
                                 131, 0, 0, 0, 0x56, 0x34, 0x12, 0, 0x01, 0x41, 0x42, 0x11, 0xD4, 0xC3, 0xB2, 0xA1};
  EXPECT_EQ(std::vector<std::uint8_t>(image, image + 36), std::vector<std::uint8_t>(funA, funA + 36));
  EXPECT_EQ(getI32(image + 36), -1);
  EXPECT_EQ(getU32(image + 40), 0x080000A4u);
  EXPECT_EQ(getU32(image + 40 + 32), 0x00410203u);
  EXPECT_EQ(readKeyInfo(image), k);
}

TEST(Options, MissingFileGivesEveryDefault) {
  TempDir empty;
  MessageCapture messages;
  LumeraConfig cfg;
  cfg.load(empty.path());
  const Options& o = cfg.options();
  EXPECT_EQ(messages.shown(), Strings{"Error: APPDATA=NULL"});
  EXPECT_EQ(o.Macro_Opt_X, 350);
  EXPECT_EQ(o.rcKB, (Rect{280, 180, 954, 365}));
  EXPECT_EQ(o.rcMacroList, (Rect{30, 76, 180, 326}));
  EXPECT_EQ(o.rcKeyList, (Rect{190, 76, 320, 326}));
  EXPECT_EQ(o.rcLED, (Rect{19, 284, 261, 536}));
  EXPECT_EQ(o.ptApplyBtn, (Point{758, 581}));
  EXPECT_EQ(o.GameIndex, 16);
  EXPECT_EQ(o.TrayIcon, 2);
  EXPECT_EQ(o.ShowEffect, 1);
  EXPECT_EQ(o.ModifyOpt, 1);
  EXPECT_EQ(o.MaxEftKeyIndex, 132);
  EXPECT_EQ(o.clrVezeriv, 0x0000FFu);
  EXPECT_EQ(o.LED[0], 0xFF);
  EXPECT_EQ(o.clrGrid, 0xFFFF00u);
  EXPECT_EQ(o.GridIndex, 3);
  EXPECT_EQ(o.GameModeNumHw, 1);
  EXPECT_EQ(o.LEDParam, (std::array<std::uint8_t, 6>{3, 4, 0, 4, 0, 0}));
  EXPECT_EQ(o.KeyNotRec[9], 0xFF);
  EXPECT_EQ(o.PSD, (std::array<std::uint8_t, 6>{}));
  EXPECT_EQ(o.ClrMask, 0xFFFFFFu);
  EXPECT_EQ(o.ClrKeyOv, 0x0000FFu);
  EXPECT_FALSE(o.unRectKey.used);
  EXPECT_EQ(cfg.keyCount(), 0);
  EXPECT_EQ(cfg.ledCount(), 0);
  EXPECT_EQ(cfg.hwParam().nMacroBufferSize, 256);
  EXPECT_EQ(cfg.hwParam().nMacroBufferNum, 32);
  EXPECT_EQ(cfg.hwParam().nLongestDelay, 0xFF00);
  // Without section "KEY" every key keeps matrix index 29 and no function.
  for (const KeyInfo& k : cfg.keyLayout()) {
    EXPECT_EQ(k.funA.dwMatrixInx, 29);
    EXPECT_EQ(k.funA.dwFunID, 0u);
    EXPECT_EQ(k.nFnIndex, -1);
  }
}

TEST(Options, EveryFormAndItsErrorPath) {
  struct Case {
    std::string lines;
    std::function<void(const Options&)> check;
    Strings messages;
  };
  const std::vector<Case> cases = {
      {"Debug=0\nSuwnd=7\nVID=0x24AE\nPID=16408\nUSBString=\"Q350RGB Board\"",
       [](const Options& o) {
         EXPECT_EQ(o.Suwnd, 7);
         EXPECT_EQ(o.VID, 0x24AE);
         EXPECT_EQ(o.PID, 0x4018);
         EXPECT_EQ(o.USBString, u"Q350RGB Board");
       },
       {}},
      {"Title=" + std::string(40, 'T'), [](const Options& o) { EXPECT_EQ(o.Title, std::u16string(29, u'T')); }, {}},
      {"rcKB=10,20,30,40\nrcMacroList=1,2,3,4\nrcLED=5,6,7,8",
       [](const Options& o) {
         EXPECT_EQ(o.rcKB, (Rect{10, 20, 40, 60}));  // x, y, width, height
         EXPECT_EQ(o.rcMacroList, (Rect{1, 2, 3, 4}));
         EXPECT_EQ(o.rcLED, (Rect{5, 6, 12, 14}));
       },
       {}},
      {"rcKB=1,2,3\nrcKeyList=1,2,3,4,5\nrcLED=1,2",
       [](const Options& o) {
         EXPECT_EQ(o.rcKB, (Rect{280, 180, 954, 365}));
         EXPECT_EQ(o.rcKeyList, (Rect{190, 76, 320, 326}));
         EXPECT_EQ(o.rcLED, Rect{});
       },
       {"Error: Wrong rect num", "Error: Wrong rect num", "Error: Wrong rect num"}},
      {"ptMin=1,2\nptExit=5\nptReset=1,2,3\nptMacro=",
       [](const Options& o) {
         EXPECT_EQ(o.ptMin, (Point{1, 2}));
         EXPECT_EQ(o.ptExit, (Point{953, 14}));
         EXPECT_EQ(o.ptReset, (Point{30, 575}));
         EXPECT_EQ(o.ptMacro, (Point{30, 219}));
       },
       {"Error: Wrong POINT num", "Error: Wrong POINT num"}},
      {"Txt_clr=1,2,3\nClrMask=\nclrGrid=0,0,0\nClrKeyDn=0\nClrKeyOv=1\nBtn_txt_clr_ov=300,-1\nclrVezeriv=7",
       [](const Options& o) {
         EXPECT_EQ(o.Txt_clr, 0x030201u);
         EXPECT_EQ(o.ClrMask, 0xFFFFFFu);
         EXPECT_EQ(o.clrGrid, 0xFFFF00u);
         EXPECT_EQ(o.ClrKeyDn, 0x0000FFu);
         EXPECT_EQ(o.ClrKeyOv, 1u);
         EXPECT_EQ(o.Btn_txt_clr_ov, 0x00FF2Cu);  // components are bytes
         EXPECT_EQ(o.clrVezeriv, 7u);
       },
       {}},
      {"GridIndex=7", [](const Options& o) { EXPECT_EQ(o.GridIndex, 7); }, {"Error: GridIndex Param error"}},
      {"GridIndex=-1", [](const Options& o) { EXPECT_EQ(o.GridIndex, -1); }, {"Error: GridIndex Param error"}},
      {"LEDParam=1,2,3,4,5,FF\nPSD=a1,B2,0xc3,4,5,6",
       [](const Options& o) {
         EXPECT_EQ(o.LEDParam, (std::array<std::uint8_t, 6>{1, 2, 3, 4, 5, 0xFF}));
         EXPECT_EQ(o.PSD, (std::array<std::uint8_t, 6>{0xA1, 0xB2, 0xC3, 4, 5, 6}));
       },
       {}},
      {"LEDParam=1,2,3,4,5,6,7\nPSD=1,2,3,4,5",
       [](const Options& o) {
         EXPECT_EQ(o.LEDParam, (std::array<std::uint8_t, 6>{3, 4, 0, 4, 0, 0}));
         EXPECT_EQ(o.PSD, (std::array<std::uint8_t, 6>{}));
       },
       {"Error: LED Param error", "Error: Psd value error"}},
      {"CustomCd=10,20z,30\nKeyNotRec=5,6\nLED=80,33,07\nVezerivKey2=41,A0,zz,42",
       [](const Options& o) {
         EXPECT_EQ(o.CustomCd, (std::array<std::uint32_t, 4>{0x10, 0, 0, 0}));  // stops at "20z"
         EXPECT_EQ(o.KeyNotRec[0], 5);
         EXPECT_EQ(o.KeyNotRec[1], 6);
         EXPECT_EQ(o.KeyNotRec[2], 0xFF);
         EXPECT_EQ(o.LED[0], 0x80);
         EXPECT_EQ(o.LED[2], 0x07);
         EXPECT_EQ(o.LED[3], 0);
         EXPECT_EQ(o.VezerivKey[1][1], 0xA0);
         EXPECT_EQ(o.VezerivKey[1][2], 0);
         EXPECT_EQ(o.VezerivKey[0][0], 0);
       },
       {}},
      {"LedOpt2=9,1,0,1\nLedOpt3=4,0,0,0,0,0,10,20,30,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18",
       [](const Options& o) {
         EXPECT_EQ(o.effects[0].code, 1);  // not given: the built-in entry
         EXPECT_EQ(o.effects[0].flags, (std::array<std::uint8_t, 5>{0, 1, 0, 0, 1}));
         EXPECT_EQ(o.effects[1].code, 9);
         EXPECT_EQ(o.effects[1].flags, (std::array<std::uint8_t, 5>{1, 0, 1, 0, 0}));
         EXPECT_EQ(o.effects[1].colours[3], 0xFF0080u);  // six numbers or fewer keep the colours
         EXPECT_EQ(o.effects[2].colours[0], rgb(10, 20, 30));
         EXPECT_EQ(o.effects[2].colours[6], rgb(16, 17, 18));
         EXPECT_EQ(o.effects[15].code, 16);
       },
       {}},
      {"UnRectKey=60,1,1,5,1,5,5,1,5,1,1,0,0",
       [](const Options& o) {
         EXPECT_TRUE(o.unRectKey.used);
         EXPECT_EQ(o.unRectKey.keyIndex, 60);
         EXPECT_EQ(o.unRectKey.outline.size(), 5u);
       },
       {}},
      {"UnRectKey=60,1,1,5,1,5,5,1,5", [](const Options& o) { EXPECT_TRUE(o.unRectKey.used); },
       {"Error: EnterPt[0]!=EnterPt[Last] "}},
      {"UnRectKey=60,1,1,5,1,9,9", [](const Options& o) { EXPECT_FALSE(o.unRectKey.used); }, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    LumeraConfig cfg;
    const Strings shown = loadMessages(cfg, std::string(kAppdir) + c.lines + "\n");
    c.check(cfg.options());
    EXPECT_EQ(shown, c.messages);
  }
}

TEST(Options, EntriesListEveryOptionInReadingOrder) {
  LumeraConfig cfg;
  loadMessages(cfg, std::string(kAppdir) + "Debug=0\nGridIndex=5\n");
  const auto& e = cfg.optionEntries();
  ASSERT_GE(e.size(), 50u);
  EXPECT_EQ(e.front().key, "Debug");
  EXPECT_EQ(e.back().key, "ClrKeyDn");
  const auto grid = std::find_if(e.begin(), e.end(), [](const OptionEntry& x) { return x.key == "GridIndex"; });
  ASSERT_NE(grid, e.end());
  EXPECT_EQ(grid->value.number, 5);
}

TEST(KeyLayout, LinesFillRecordsByTheirRules) {
  LumeraConfig cfg;
  const Strings shown = loadMessages(cfg, std::string(kAppdir) +
                                              "[KEY]\n"
                                              "K1=10,20,30,40,2,A2,0,3\n"     // Ctrl: moves into the mask
                                              "K2=1,2,3,4,2,41,5,7\n"          // A with a given mask
                                              "K3=1,2,3,4,9,1234567,ABCD,8\n"  // raw code
                                              "K4=1,2,3,4,3,26,0,132\n"        // bad matrix: next line takes the record
                                              "K5=5,6,7,8,3,26,0,9\n"
                                              "K6=1,2,3,4,2,5C,FF,10\n"         // right Win replaces the mask
                                              "K7=1,2,3,4,8,x4,0,11\n"         // parse error: the rest as on the line before
                                              "K8=1,2\n");                     // short: the rest as on the line before
  EXPECT_EQ(shown, (Strings{"Warning: Wrong matrix index value!", "Error: Data parse error!"}));
  ASSERT_EQ(cfg.keyCount(), 7);
  const auto& k = cfg.keyLayout();
  EXPECT_EQ(k[0].funA.dwFunID, 0x020000A0u);
  EXPECT_EQ(k[0].funA.rcKey, (std::array<std::int32_t, 4>{10, 20, 30, 40}));
  EXPECT_EQ(k[0].funA.stCombo.mask, 0x01);
  EXPECT_EQ(k[0].funA.stCombo.VkCode1, 0);
  EXPECT_EQ(k[0].funA.stCombo.canonical, 0x11);
  EXPECT_EQ(k[0].funA.dwMatrixInx, 3);
  EXPECT_EQ(k[1].funA.stCombo.VkCode1, 0x41);
  EXPECT_EQ(k[1].funA.stCombo.mask, 0x05);
  EXPECT_EQ(k[1].funA.stCombo.canonical, 0);
  EXPECT_EQ(k[2].funA.dwFunID, 0x09234567u);
  EXPECT_EQ(k[2].funA.dwParam, 0xABCDu);
  EXPECT_EQ(k[3].funA.dwFunID, 0x03000026u);
  EXPECT_EQ(k[3].funA.rcKey[0], 5);
  EXPECT_EQ(k[3].funA.dwMatrixInx, 9);
  EXPECT_EQ(k[4].funA.stCombo.mask, 0x80);
  EXPECT_EQ(k[4].funA.stCombo.canonical, 0x5C);
  EXPECT_EQ(k[5].funA.dwFunID, 0x0800005Cu);  // numbers before the bad token count
  EXPECT_EQ(k[5].funA.dwMatrixInx, 10);
  EXPECT_EQ(k[6].funA.rcKey, (std::array<std::int32_t, 4>{1, 2, 3, 4}));
  EXPECT_EQ(k[6].funA.dwMatrixInx, 10);
  EXPECT_EQ(k[7].funA.dwMatrixInx, 29);  // untouched record
}

TEST(KeyLayout, MissingLineEndsTheLayoutAndNegativeOrHugeMatricesAreRefused) {
  LumeraConfig cfg;
  const Strings shown = loadMessages(cfg, std::string(kAppdir) +
                                              "[KEY]\nK1=0,0,1,1,2,41,0,1\nK2=0,0,1,1,2,42,0,-1\n"
                                              "K3=0,0,1,1,2,42,0,4294967295\nK4=0,0,1,1,2,43,0,2\n"
                                              "K5=0,0,1,1,2,44,0,99999999999\n"
                                              "K7=0,0,1,1,2,45,0,3\n");
  // K5's matrix overflows 32 bits: a parse error, so the matrix of the line
  // before stays with K5's own code.
  EXPECT_EQ(shown, (Strings{"Warning: Wrong matrix index value!", "Warning: Wrong matrix index value!",
                            "Error: Data parse error!"}));
  ASSERT_EQ(cfg.keyCount(), 3);
  EXPECT_EQ(cfg.keyLayout()[1].funA.stCombo.VkCode1, 0x43);
  EXPECT_EQ(cfg.keyLayout()[2].funA.stCombo.VkCode1, 0x44);
  EXPECT_EQ(cfg.keyLayout()[2].funA.dwMatrixInx, 2);
  EXPECT_EQ(cfg.keyLayout()[3].funA.dwFunID, 0u);  // K7 is never read
}

TEST(FnLayer, LinesGiveTheNextIndexAndFunctionB) {
  std::string text = std::string(kAppdir) + "[KEY]\n";
  for (int i = 1; i <= 6; ++i) text += "K" + std::to_string(i) + "=0,0,1,1,2,41,0," + std::to_string(i) + "\n";
  text += "[FN]\nK1=2,70\nK2=4,26,ff\nK3=2,A3\nK4=9,123,45\nK6=8,A4,010203\n";
  LumeraConfig cfg;
  EXPECT_TRUE(loadMessages(cfg, text).empty());
  const auto& k = cfg.keyLayout();
  EXPECT_EQ(k[0].nFnIndex, 0);
  EXPECT_EQ(k[0].funB.dwFunID, 0x020000A0u);
  EXPECT_EQ(k[0].funB.stCombo.VkCode1, 0x70);
  EXPECT_EQ(k[0].funB.stCombo.mask, 0);
  EXPECT_EQ(k[1].nFnIndex, 1);
  EXPECT_EQ(k[1].funB.dwFunID, 0x04000026u);
  EXPECT_EQ(k[1].funB.dwParam, 0xFFu);
  // A modifier named on the line is normalised (right Ctrl).
  EXPECT_EQ(k[2].funB.stCombo.mask, 0x10);
  EXPECT_EQ(k[2].funB.stCombo.VkCode1, 0);
  EXPECT_EQ(k[2].funB.stCombo.canonical, 0xA3);
  EXPECT_EQ(k[3].funB.dwFunID, 0x09000023u);  // the code keeps its low byte only
  EXPECT_EQ(k[3].funB.dwParam, 0x45u);
  EXPECT_EQ(k[4].nFnIndex, -1);  // a missing fifth line only leaves record 4 alone
  EXPECT_EQ(k[5].nFnIndex, 4);
  EXPECT_EQ(k[5].funB.dwFunID, 0x080000A4u);
  EXPECT_EQ(k[5].funB.dwParam, 0x010203u);
}

TEST(FnLayer, IndicesStopAtTheFnMatrixSize) {
  std::string text = std::string(kAppdir) + "[FN]\n";
  for (int i = 1; i <= 52; ++i) text += "K" + std::to_string(i) + "=4,26\n";
  LumeraConfig cfg;
  const Strings shown = loadMessages(cfg, text);
  EXPECT_EQ(shown, Strings(4, "Warning: k>=64"));
  EXPECT_EQ(cfg.keyLayout()[47].nFnIndex, 47);
  for (int k = 48; k < kKeyCount; ++k) EXPECT_EQ(cfg.keyLayout()[static_cast<std::size_t>(k)].nFnIndex, -1);
}

TEST(Gestures, ReadOnlyWithGestAndFilledLikeFnLines) {
  const std::string gest = "[GEST]\nK1=2,A0,0,77\nK3=8,A6,0,-5\nK8=3,26,0,1\n";
  LumeraConfig off;
  loadMessages(off, std::string(kAppdir) + gest);
  EXPECT_EQ(off.gestureLayout()[0].funA.dwFunID, 0u);

  LumeraConfig on;
  loadMessages(on, std::string(kAppdir) + "Gest=1\n" + gest);
  const auto& g = on.gestureLayout();
  EXPECT_EQ(g[0].funA.dwFunID, 0x020000A0u);
  EXPECT_EQ(g[0].funA.stCombo.mask, 0x02);
  EXPECT_EQ(g[0].funA.stCombo.canonical, 0x10);
  EXPECT_EQ(g[0].funA.dwMatrixInx, 77);
  EXPECT_EQ(g[1].funA.dwFunID, 0u);
  EXPECT_EQ(g[2].funA.dwFunID, 0x080000A6u);
  EXPECT_EQ(g[2].funA.dwMatrixInx, -5);  // kept; the matrix encoder refuses it
}

TEST(LedLayout, VersionChoosesTheFileAndModifiersJoinTheMask) {
  const std::string led = "[KEY]\nK1=0,0,1,1,2,A5,3,17\nK2=0,0,1,1,2,41,0,200\nK4=0,0,1,1,2,42,0,4\n";
  const std::string ledUk = "[KEY]\nK1=0,0,1,1,2,41,0,99\n";
  Program both(kAppdir, led, ledUk);
  LumeraConfig cfg;
  {
    MessageCapture quiet;
    cfg.load(both.dir.path());
  }
  ASSERT_EQ(cfg.ledCount(), 2);  // stops at the missing third line; no index check
  EXPECT_EQ(cfg.ledLayout()[0].funA.stCombo.mask, 0x43);
  EXPECT_EQ(cfg.ledLayout()[0].funA.stCombo.VkCode1, 0);
  EXPECT_EQ(cfg.ledLayout()[0].funA.stCombo.canonical, 0);
  EXPECT_EQ(cfg.ledLayout()[1].funA.dwMatrixInx, 200);

  for (const auto& [version, count, first] : {std::tuple{0x200u, 2, 17}, std::tuple{0x201u, 1, 99}}) {
    cfg.initLedMatrix(version);
    EXPECT_EQ(cfg.ledCount(), count);
    EXPECT_EQ(cfg.ledLayout()[0].funA.dwMatrixInx, first);
  }
  Program noUk(kAppdir, led);
  {
    MessageCapture quiet;
    cfg.load(noUk.dir.path());
  }
  cfg.initLedMatrix(0x300);
  EXPECT_EQ(cfg.ledCount(), 2);
}

TEST(LedLayout, NeverHoldsMoreThanTheKeyLayoutCan) {
  std::string led = "[KEY]\n";
  for (int i = 1; i <= 200; ++i) led += "K" + std::to_string(i) + "=0,0,1,1,2,41,0," + std::to_string(i) + "\n";
  Program p(kAppdir, led);
  LumeraConfig cfg;
  cfg.load(p.dir.path());
  EXPECT_EQ(cfg.ledCount(), kKeyCount);
  EXPECT_EQ(cfg.ledLayout()[131].funA.dwMatrixInx, 132);
}

TEST(BadInput, GarbageNeverCrashesAndKeepsDefaults) {
  std::string manyNumbers;
  for (int i = 0; i < 700; ++i) manyNumbers += std::to_string(i % 300) + ",";
  std::mt19937 random(7);
  std::string binary(3u << 20, '\0');
  for (char& c : binary) c = static_cast<char>(random());
  const std::vector<std::string> files = {
      binary,
      std::string(kAppdir) + "LedOpt1=" + manyNumbers + "\nVezerivKey1=" + manyNumbers + "\nUnRectKey=" + manyNumbers +
          "\nLED=" + manyNumbers + "\nrcKB=" + manyNumbers + "\n[KEY]\nK1=" + manyNumbers + "\n[FN]\nK1=" + manyNumbers,
      std::string(kAppdir) + "Debug=99999999999999\nGameModeNumHw=-5\nGridIndex=4294967296\nPSD=-1,-2,-3,-4,-5,-6\n",
      "[OPT]\nappdir=First\n[KEY]\nK1=0,0,1,1,2,41,0,1\n[OPT]\nappdir=Second\n[KEY]\nK1=0,0,1,1,2,42,0,2\nK2=0,0,1,1,2,43,0,3\n",
  };
  for (std::size_t i = 0; i < files.size(); ++i) {
    SCOPED_TRACE(i);
    LumeraConfig cfg;
    loadMessages(cfg, files[i]);
    EXPECT_LE(cfg.keyCount(), kKeyCount);
    EXPECT_LE(cfg.ledCount(), kKeyCount);
    for (const KeyInfo& k : cfg.keyLayout()) {
      EXPECT_GE(k.funA.dwMatrixInx, 0);
      EXPECT_LT(k.funA.dwMatrixInx, kKeyCount);
      EXPECT_LT(k.nFnIndex, kFnEntries);
    }
    if (i == 1) {
      EXPECT_EQ(cfg.keyCount(), 1);
      EXPECT_EQ(cfg.keyLayout()[0].funA.dwMatrixInx, 7);
      EXPECT_EQ(cfg.options().unRectKey.keyIndex, 0);
      EXPECT_EQ(cfg.options().VezerivKey[0][131], 0x31);  // "131" read as hexadecimal, kept as a byte
      EXPECT_EQ(cfg.keyLayout()[0].funB.dwFunID, 1u);
    }
    if (i == 2) {
      EXPECT_EQ(cfg.options().PSD, (std::array<std::uint8_t, 6>{0xFF, 0xFE, 0xFD, 0xFC, 0xFB, 0xFA}));
      EXPECT_EQ(cfg.options().GameModeNumHw, -5);
    }
    if (i == 3) {  // a repeated section: the first one counts
      EXPECT_EQ(cfg.options().appdir, u"First");
      EXPECT_EQ(cfg.keyCount(), 1);
    }
  }
  LogSetup(0);
}
