// Installs the shipped data (cmake --install, component "data") into a
// temporary prefix and walks the tree: every file the programs load is there,
// decodes, and has the size and layout its window needs.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPolygon>
#include <QProcess>
#include <QRect>
#include <array>
#include <cmath>
#include <set>

#include "platform/inifile.h"
#include "platform/text.h"
#include "shared/text_keys.h"
#include "shared/text_table.h"
#include "tests/data/data_test_util.h"
#include "tests/support/test_env.h"

namespace {

QGuiApplication& app() {
  static int argc = 1;
  static char name[] = "install_tree_test";
  static char* argv[] = {name, nullptr};
  static QGuiApplication instance(argc, argv);
  return instance;
}

class InstallTree : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    app();
    prefix_ = new testsupport::TempDir;
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(KAVRO_CMAKE_COMMAND),
                  {QStringLiteral("--install"), QString::fromStdString(testsupport::binaryDir()),
                   QStringLiteral("--component"), QStringLiteral("data"), QStringLiteral("--prefix"),
                   QString::fromStdString(prefix_->path())});
    install.waitForFinished(120000);
    installLog_ = new std::string(install.readAll().toStdString());
    installed_ = install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0;
  }
  static void TearDownTestSuite() {
    delete prefix_;
    delete installLog_;
  }
  void SetUp() override { ASSERT_TRUE(installed_) << *installLog_; }

  static QString path(const std::string& relative) {
    return QString::fromStdString(prefix_->path() + "/" + relative);
  }
  // The picture at `relative`, which must exist and decode.
  static QImage picture(const std::string& relative) {
    QImageReader reader(path(relative));
    QImage img = reader.read();
    EXPECT_FALSE(img.isNull()) << relative << ": " << reader.errorString().toStdString();
    return img;
  }
  static platform::IniFile ini(const std::string& relative) {
    platform::IniFile f;
    EXPECT_TRUE(f.load(path(relative).toStdString())) << relative;
    return f;
  }
  static QRect fromIni(const platform::IniFile& f, const char* key) {
    auto n = datatest::numberList(f, "OPT", key);
    EXPECT_TRUE(n && n->size() == 4u) << key;
    if (!n || n->size() != 4u) return {};
    return QRect(int((*n)[0]), int((*n)[1]), int((*n)[2]), int((*n)[3]));
  }
  static QPoint pointFromIni(const platform::IniFile& f, const char* key) {
    auto n = datatest::numberList(f, "OPT", key);
    EXPECT_TRUE(n && n->size() == 2u) << key;
    return n && n->size() == 2u ? QPoint(int((*n)[0]), int((*n)[1])) : QPoint();
  }
  static bool contains(const QImage& img, const QRect& r) { return QRect(QPoint(0, 0), img.size()).contains(r); }

  static testsupport::TempDir* prefix_;
  static std::string* installLog_;
  static bool installed_;
};
testsupport::TempDir* InstallTree::prefix_ = nullptr;
std::string* InstallTree::installLog_ = nullptr;
bool InstallTree::installed_ = false;

// --- Lumera ----------------------------------------------------------------

TEST_F(InstallTree, LumeraSkinFilesDecodeAtTheSizesTheirControlsUse) {
  // Every file of the skin list; a size of 0 means "any", the others are the
  // sizes the windows place them at.
  const struct {
    const char* name;
    int w, h;
  } files[] = {
      {"main_nr.png", 0, 0},     {"main_mask.png", 0, 0}, {"min_nr.png", 16, 15},     {"min_ov.png", 16, 15},
      {"exit_nr.png", 16, 15},   {"exit_ov.png", 16, 15}, {"button_nr.png", 223, 25}, {"button_dn.png", 223, 25},
      {"btn_nr.png", 57, 30},    {"btn_ov.png", 57, 30},  {"kb_nr.png", 57, 30},      {"guest_nr.png", 57, 30},
      {"progress_nr.png", 0, 0}, {"progress_ov.png", 0, 0}, {"keyimg.png", 0, 0},    {"slider.png", 0, 0},
      {"dpi_bar.png", 180, 0},   {"check_nr.png", 14, 14}, {"check_dn.png", 14, 14},  {"check_ov.png", 14, 14},
      {"combo_nr.png", 138, 15}, {"combo_ov.png", 138, 15}, {"lbtn_nr.png", 42, 28},  {"lbtn_ov.png", 42, 28},
      {"rbtn_nr.png", 42, 28},   {"rbtn_ov.png", 42, 28}, {"pickfundlg.png", 0, 0},   {"btn2_nr.png", 0, 0},
      {"Check_nr.png", 11, 11},  {"Check_dn.png", 11, 11}, {"open.png", 0, 0},        {"close.png", 0, 0},
      {"macro_nr.png", 0, 0},    {"recbtn_nr.png", 148, 29}, {"recbtn_dn.png", 148, 29}, {"radio_nr.png", 16, 16},
      {"radio_ov.png", 16, 16},  {"radio_dn.png", 16, 16}, {"UP_N.png", 0, 0},        {"DN_N.png", 0, 0},
      {"TM_N.png", 0, 0},        {"msg_nr.png", 0, 0},    {"msgico.png", 0, 0},       {"menu_nr.bmp", 0, 20},
      {"menu_ov.bmp", 0, 20},    {"menusub_nr.bmp", 0, 20}, {"menusub_ov.bmp", 0, 20},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    const QImage img = picture(std::string("Q350RGB/skins/") + f.name);
    if (f.w) {
      EXPECT_EQ(img.width(), f.w);
    }
    if (f.h) {
      EXPECT_EQ(img.height(), f.h);
    }
  }
  for (int n = 1; n <= 7; ++n)
    for (const char* look : {"nr", "ov", "dn"}) {
      const std::string name = "Q350RGB/skins/Gest/gest" + std::to_string(n) + "_" + look + ".png";
      EXPECT_EQ(picture(name).size(), QSize(100, 100)) << name;
    }
}

TEST_F(InstallTree, LumeraMainWindowPictureHoldsEveryPlaceOfTheConfiguration) {
  const platform::IniFile cfg = ini("Q350RGB/cfg.ini");
  const QImage main = picture("Q350RGB/skins/main_nr.png");
  const QImage mask = picture("Q350RGB/skins/main_mask.png");
  const QRect view = fromIni(cfg, "rcKB");
  EXPECT_EQ(picture("Q350RGB/skins/keyimg.png").size(), view.size()) << "the key picture fills the view unscaled";
  EXPECT_EQ(mask.size(), main.size());
  EXPECT_TRUE(contains(main, view));
  EXPECT_TRUE(contains(main, fromIni(cfg, "rcLED")));
  EXPECT_TRUE(contains(main, QRect(QPoint(280, 420), QPoint(540, 610)))) << "colour panel";
  EXPECT_TRUE(contains(main, QRect(pointFromIni(cfg, "ptMin"), QSize(16, 15))));
  EXPECT_TRUE(contains(main, QRect(pointFromIni(cfg, "ptExit"), QSize(16, 15))));
  const QPoint profile = pointFromIni(cfg, "ptProfile");
  EXPECT_TRUE(contains(main, QRect(profile, QSize(223, 3 * 25 + 2 * 8))));
  EXPECT_TRUE(contains(main, QRect(pointFromIni(cfg, "ptMacro"), QSize(223, 25))));
  EXPECT_TRUE(contains(main, QRect(pointFromIni(cfg, "ptReset"), QSize(223, 25))));
  EXPECT_TRUE(contains(main, QRect(pointFromIni(cfg, "ptApplyBtn"), QSize(3 * 57 + 2 * 6, 30)))) << "OK, Cancel, Apply";
  EXPECT_TRUE(contains(main, QRect(QPoint(31, 606), QPoint(231, 626)))) << "version line";
  // The mask keeps the window's face and cuts only outside it (white is the
  // configured cut colour).
  auto cfgColour = datatest::numberList(cfg, "OPT", "ClrMask");
  ASSERT_TRUE(cfgColour && cfgColour->size() == 3u);
  const QColor cut{int((*cfgColour)[0]), int((*cfgColour)[1]), int((*cfgColour)[2])};
  EXPECT_EQ(QColor(mask.pixel(0, 0)), cut);
  EXPECT_EQ(QColor(mask.pixel(mask.width() - 1, mask.height() - 1)), cut);
  for (const QRect& r : {view, QRect(profile, QSize(223, 25))})
    EXPECT_NE(QColor(mask.pixel(r.center())), cut) << "a control would be cut out of the window";
}

TEST_F(InstallTree, LumeraDialogPicturesHoldTheirControls) {
  const platform::IniFile cfg = ini("Q350RGB/cfg.ini");
  const QImage progress = picture("Q350RGB/skins/progress_nr.png");
  const QImage bar = picture("Q350RGB/skins/progress_ov.png");
  ASSERT_EQ(bar.size(), progress.size()) << "the bar picture is drawn over the background from x = 0";
  const QRect barRect(QPoint(45, 101), QPoint(485, 122));
  EXPECT_TRUE(contains(progress, barRect));
  EXPECT_TRUE(contains(progress, QRect(QPoint(15, 12), QPoint(455, 32))));
  EXPECT_NE(bar.pixel(barRect.center()), progress.pixel(barRect.center())) << "the bar must show";
  EXPECT_EQ(bar.pixel(10, progress.height() - 10), progress.pixel(10, progress.height() - 10));

  const QImage msg = picture("Q350RGB/skins/msg_nr.png");
  const QImage icon = picture("Q350RGB/skins/msgico.png");
  EXPECT_TRUE(contains(msg, QRect(QPoint(110, 98), QPoint(510, 118))));
  EXPECT_TRUE(contains(msg, QRect(QPoint(45, 85), icon.size())));
  EXPECT_TRUE(msg.width() >= 164 + 57 && msg.height() >= 124 + 45) << "buttons and edit box";

  const QImage picker = picture("Q350RGB/skins/pickfundlg.png");
  EXPECT_TRUE(contains(picker, QRect(QPoint(193, 50), QPoint(538, 310))));
  EXPECT_TRUE(contains(picker, QRect(QPoint(465, 312), QPoint(522, 342)))) << "Cancel";
  EXPECT_TRUE(contains(picker, QRect(QPoint(479, 5), QPoint(518, 35)))) << "restore-default area";

  const QImage macro = picture("Q350RGB/skins/macro_nr.png");
  const int x = cfg.getInt("OPT", "Macro_Opt_X", 350);
  auto corners = [&](const char* key) {
    auto n = datatest::numberList(cfg, "OPT", key);
    return n && n->size() == 4u ? QRect(QPoint(int((*n)[0]), int((*n)[1])), QPoint(int((*n)[2]), int((*n)[3]))) : QRect();
  };
  EXPECT_TRUE(contains(macro, corners("rcMacroList").adjusted(0, 0, 0, 30))) << "list and hint under it";
  EXPECT_TRUE(contains(macro, corners("rcKeyList")));
  EXPECT_TRUE(contains(macro, QRect(x, 74, 148, 29))) << "record button";
  EXPECT_TRUE(contains(macro, QRect(x, 294, 57, 30))) << "new-macro button";
  EXPECT_GE(macro.width() - 36, x + 148) << "exit button clear of the controls";
}

TEST_F(InstallTree, LumeraTextsMarkerAndIcons) {
  shared::TextTable texts;
  ASSERT_TRUE(texts.LoadTexts(path("Q350RGB/text.xml").toStdString()));
  for (std::string_view key : shared::kLumeraTextKeys) EXPECT_FALSE(texts.Text(key).empty()) << key;
  // The program checks the marker against the configured title, or the
  // text file's when none is configured.
  const platform::IniFile cfg = ini("Q350RGB/cfg.ini");
  std::u16string title = cfg.getString("OPT", "Title", u"", 30);
  if (title.empty()) title = texts.Text("tc_title");
  std::u16string why;
  EXPECT_TRUE(shared::CheckSkinMarker(path("Q350RGB/").toStdString(), title,
                                      [&why](const std::u16string& line) { why += line; }))
      << platform::toUtf8(why);
  for (const char* icon : {"Q350RGB/appico.ico", "Q350RGB/q330rgb.ico", "Q350/res/128.ico"}) {
    QFile f(path(icon));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << icon;
    datatest::IcoFile ico;
    std::string error;
    ASSERT_TRUE(datatest::parseIco(f.readAll(), ico, error)) << icon << ": " << error;
    EXPECT_EQ(ico.type, 1);
    std::set<int> sizes;
    for (const auto& e : ico.entries) sizes.insert(e.width);
    EXPECT_TRUE(sizes.count(16) && sizes.count(32) && sizes.count(48)) << icon;
  }
}

// --- Q350Config ------------------------------------------------------------

class Q350Tree : public InstallTree {
 protected:
  void SetUp() override {
    InstallTree::SetUp();
    const QStringList entries = QDir(path("Q350/skins")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    // Q350Config takes its language from the first entry of "skins".
    ASSERT_EQ(entries.size(), 1) << entries.join(QLatin1Char(' ')).toStdString();
    lang = entries[0].toStdString();
    ASSERT_TRUE(lang == "en" || lang == "sc") << lang;
    skin = "Q350/skins/" + lang + "/";
  }
  // The three looks of a window: equal sizes, returned normal, over, down.
  std::array<QImage, 3> looks(const std::string& normal, const std::string& over, const std::string& down) {
    std::array<QImage, 3> l = {picture(skin + normal), picture(skin + over), picture(skin + down)};
    EXPECT_EQ(l[1].size(), l[0].size()) << over;
    EXPECT_EQ(l[2].size(), l[0].size()) << down;
    return l;
  }
  // A control's faces are cut from the looks: each must differ from the
  // normal look somewhere inside the control, or it shows no reaction.
  static void expectReacts(const std::array<QImage, 3>& l, const QRect& r, const char* what) {
    for (int look = 1; look <= 2; ++look) {
      bool differs = false;
      for (int y = r.top(); y <= r.bottom() && !differs; ++y)
        for (int x = r.left(); x <= r.right() && !differs; ++x) differs = l[look].pixel(x, y) != l[0].pixel(x, y);
      EXPECT_TRUE(differs) << what << (look == 1 ? " shows no hover look" : " shows no pressed look");
    }
  }
  std::string lang, skin;
};

QPolygon quad(std::initializer_list<QPoint> pts) { return QPolygon(QVector<QPoint>(pts)); }

TEST_F(Q350Tree, FrameIsShapedByTheKeyColourAndCarriesEveryButton) {
  const auto frame = looks("Config/Q350_Frame_Normal.bmp", "Config/Q350_Frame_Over.bmp", "Config/Q350_Frame_Down.bmp");
  const QImage& f = frame[0];
  EXPECT_TRUE(f.width() >= 957 && f.height() >= 636);
  EXPECT_TRUE(f.width() >= 17 + 925 && f.height() >= 128 + 456) << "pages fit the frame";
  const QRgb key = qRgb(255, 0, 253);
  for (const QPoint& corner : {QPoint(0, 0), QPoint(f.width() - 1, 0), QPoint(0, f.height() - 1),
                               QPoint(f.width() - 1, f.height() - 1)})
    EXPECT_EQ(f.pixel(corner) & 0xFFFFFF, key & 0xFFFFFF) << "corner outside the window shape";
  const std::pair<QPolygon, const char*> buttons[] = {
      {quad({{30, 84}, {222, 84}, {245, 121}, {30, 121}}), "key assignment tab"},
      {quad({{229, 84}, {463, 84}, {485, 121}, {251, 121}}), "lighting tab"},
      {quad({{471, 84}, {706, 84}, {728, 121}, {493, 121}}), "macro tab"},
      {quad({{713, 84}, {927, 84}, {927, 121}, {734, 121}}), "support tab"},
      {quad({{344, 606}, {438, 606}, {414, 634}, {321, 635}}), "profile 1"},
      {quad({{724, 608}, {820, 608}, {797, 635}, {701, 635}}), "profile 5"},
      {quad({{837, 589}, {943, 589}, {943, 635}, {799, 635}}), "apply"},
      {QPolygon(QRect(QPoint(888, 3), QPoint(921, 34))), "minimise"},
      {QPolygon(QRect(QPoint(923, 3), QPoint(956, 35))), "hide"},
      {QPolygon(QRect(QPoint(15, 617), QPoint(57, 635))), "language"},
  };
  for (const auto& [shape, name] : buttons) {
    const QRect box = shape.boundingRect();
    for (int y = box.top(); y <= box.bottom(); ++y)
      for (int x = box.left(); x <= box.right(); ++x)
        if (shape.containsPoint(QPoint(x, y), Qt::OddEvenFill)) {
          ASSERT_NE(f.pixel(x, y) & 0xFFFFFF, key & 0xFFFFFF) << name << " is cut out of the window at " << x << "," << y;
        }
    expectReacts(frame, box.adjusted(box.width() / 4, box.height() / 4, -box.width() / 4, -box.height() / 4), name);
  }
}

TEST_F(Q350Tree, PagesAreFullSizeAndTheirControlsReact) {
  const struct {
    const char *normal, *over, *down;
    std::vector<std::pair<QRect, const char*>> controls;
  } pages[] = {
      {"Keyboard/Q350_Main_Normal.bmp", "Keyboard/Q350_Main_Over.bmp", "Keyboard/Q350_Main_Down.bmp",
       {{QRect(QPoint(58, 49), QPoint(93, 84)), "Esc"},
        {QRect(QPoint(522, 105), QPoint(592, 139)), "Backspace"},
        {QRect(QPoint(540, 143), QPoint(581, 174)), "backslash"},
        {QRect(QPoint(513, 179), QPoint(591, 210)), "Enter"},
        {QRect(QPoint(194, 249), QPoint(413, 282)), "Space"},
        {QRect(QPoint(826, 213), QPoint(858, 282)), "keypad Enter"},
        {QRect(QPoint(825, 141), QPoint(858, 209)), "keypad plus"}}},
      {"Macro/Macro_normal.bmp", "Macro/Macro_over.bmp", "Macro/Macro_down.bmp",
       {{QRect(QPoint(26, 412), QPoint(66, 439)), "new macro"},
        {QRect(QPoint(427, 412), QPoint(456, 439)), "modify event"},
        {QRect(QPoint(782, 20), QPoint(899, 52)), "record"},
        {QRect(QPoint(642, 161), QPoint(660, 186)), "repeat mode 2"},
        {QRect(QPoint(850, 347), QPoint(893, 389)), "delay OK"}}},
      {"Support/support_normal.bmp", "Support/support_over.bmp", "Support/support_down.bmp",
       {{QRect(QPoint(97, 261), QPoint(214, 294)), "program update"},
        {QRect(QPoint(708, 261), QPoint(826, 294)), "web site"},
        {QRect(QPoint(781, 388), QPoint(874, 419)), "restore"},
        {QRect(QPoint(132, 387), QPoint(223, 420)), "import"}}},
      {"Light/Q350_Light_Normal.bmp", "Light/Q350_Light_Over.bmp", "Light/Q350_Light_Down.bmp",
       {{QRect(QPoint(46, 214), QPoint(60, 227)), "light cycle enable"},
        {QRect(QPoint(45, 404), QPoint(58, 419)), "waving"},
        {QRect(QPoint(290, 404), QPoint(307, 419)), "each region"}}},
  };
  for (const auto& page : pages) {
    SCOPED_TRACE(page.normal);
    const auto l = looks(page.normal, page.over, page.down);
    EXPECT_EQ(l[0].size(), QSize(925, 456));
    for (const auto& [rect, name] : page.controls) expectReacts(l, rect, name);
  }
}

TEST_F(Q350Tree, LightingZonesReactAndTheColourWheelGivesTheColourUnderThePointer) {
  const auto l = looks("Light/Q350_Light_Normal.bmp", "Light/Q350_Light_Over.bmp", "Light/Q350_Light_Down.bmp");
  // One inside point per zone (the first and last zones' top-left corners).
  const QPoint zones[] = {{320, 50}, {420, 50}, {500, 50}, {580, 50}, {650, 50}, {730, 50}, {800, 50}};
  for (const QPoint& z : zones) expectReacts(l, QRect(z, QSize(6, 6)), "zone");
  // The ellipse 757,295 to 875,411: hue by angle, so a click right of the
  // centre picks red, up-left green, down-left blue.
  const QPointF c(816, 353);
  const struct {
    double degrees;
    int channel;  // 0 red, 1 green, 2 blue
  } samples[] = {{0, 0}, {120, 1}, {240, 2}};
  for (const auto& s : samples) {
    const double a = s.degrees * M_PI / 180.0;
    const QPoint at = (c + QPointF(std::cos(a) * 45, -std::sin(a) * 45)).toPoint();
    const QColor picked(l[0].pixel(at));
    const int v[3] = {picked.red(), picked.green(), picked.blue()};
    EXPECT_GT(v[s.channel], 200) << s.degrees;
    EXPECT_LT(v[(s.channel + 1) % 3], 120) << s.degrees;
    EXPECT_LT(v[(s.channel + 2) % 3], 120) << s.degrees;
  }
}

TEST_F(Q350Tree, DialogsTabsBarsAndMenusHaveTheirSizes) {
  const auto setting = looks("Set/setting/Setting_Normal.bmp", "Set/setting/Setting_Over.bmp",
                             "Set/setting/Setting_Down.bmp");
  EXPECT_TRUE(setting[0].width() >= 411 && setting[0].height() >= 289);
  expectReacts(setting, QRect(QPoint(238, 254), QPoint(314, 288)), "reset");
  expectReacts(setting, QRect(QPoint(316, 254), QPoint(392, 288)), "OK");
  expectReacts(setting, QRect(QPoint(0, 37), QPoint(137, 63)), "combination tab");
  expectReacts(setting, QRect(QPoint(23, 258), QPoint(41, 276)), "disable check");
  for (const char* tab : {"combo/Combo", "macro/Macro", "base/Base"}) {
    const std::string t = std::string("Set/") + tab;
    const auto l = looks(t + "_Normal.bmp", t + "_Over.bmp", t + "_Down.bmp");
    EXPECT_TRUE(l[0].width() >= 370 && l[0].height() >= 169) << t;
  }
  const auto combo = looks("Set/combo/Combo_Normal.bmp", "Set/combo/Combo_Over.bmp", "Set/combo/Combo_Down.bmp");
  expectReacts(combo, QRect(QPoint(59, 45), QPoint(71, 57)), "Ctrl check");
  expectReacts(combo, QRect(QPoint(58, 119), QPoint(71, 132)), "Win check");

  const QImage bar = picture(skin + "ProgressBar/Progress_Normal.png");
  EXPECT_EQ(bar.size(), QSize(260, 9)) << "the bar at 35,47 to 295,56";
  EXPECT_EQ(picture(skin + "ProgressBar/Progress_Over.png").size(), bar.size());
  for (const char* menu : {"MenuNorL.BMP", "MenuOverL.BMP", "MenuDownL.BMP", "MenuNorHaveSub.BMP",
                           "MenuOverHaveSub.BMP", "MenuDownHaveSub.BMP"})
    EXPECT_EQ(picture(skin + "Menu/" + menu).height(), 24) << menu;
  EXPECT_FALSE(picture(skin + "Slider.png").isNull());
}

TEST_F(Q350Tree, BuiltInPicturesByResourceNumber) {
  for (int flag : {158, 159, 160, 161, 162, 163, 164, 165, 166, 167, 169})
    EXPECT_EQ(picture("Q350/res/" + std::to_string(flag) + ".bmp").size(), QSize(37, 22)) << flag;
  for (int icon : {179, 180, 181, 182, 183, 185, 186, 187, 188, 190, 191})
    EXPECT_FALSE(picture("Q350/res/" + std::to_string(icon) + ".bmp").isNull()) << icon;
  for (const char* info : {"135.bmp", "136.bmp"}) {
    const QImage img = picture(std::string("Q350/res/") + info);
    EXPECT_TRUE(img.width() >= 330 && img.height() >= 160) << info;
  }
  const QImage progress = picture("Q350/res/133.bmp");
  EXPECT_TRUE(progress.width() >= 296 && progress.height() >= 57);
  EXPECT_EQ(picture("Q350/res/light_en.bmp").size(), QSize(925, 456));
  EXPECT_EQ(picture("Q350/res/light_sc.bmp").size(), QSize(925, 456));
  QFile cur(path("Q350/res/177.cur"));
  ASSERT_TRUE(cur.open(QIODevice::ReadOnly));
  datatest::IcoFile cursor;
  std::string why;
  ASSERT_TRUE(datatest::parseIco(cur.readAll(), cursor, why)) << why;
  ASSERT_EQ(cursor.type, 2);
  ASSERT_EQ(cursor.entries.size(), 1u);
  const auto& e = cursor.entries[0];
  ASSERT_TRUE(e.field1 < e.width && e.field2 < e.height);
  EXPECT_GT(qAlpha(e.image.pixel(e.field1, e.field2)), 128) << "the hot spot is on the drawn tip";
}

TEST_F(Q350Tree, LanguageFilesManifestAndFolders) {
  for (const char* lang : {"sc", "en", "fre", "kor", "ger", "ita", "span", "dutch", "pt", "rus", "ukr", "tw"}) {
    shared::TextTable table;
    ASSERT_TRUE(table.LoadLanguageTexts(path(std::string("Q350/Language/") + lang + ".xml").toStdString())) << lang;
    EXPECT_FALSE(table.Text("str_help").empty()) << lang;
  }
  EXPECT_TRUE(QFile::exists(path("Q350/Language/" + lang + ".xml"))) << "the skin's language has its file";
  EXPECT_TRUE(QFile::exists(path("Q350/update/update.xml")));
  EXPECT_TRUE(QDir(path("Q350/update/new_version")).exists());
  EXPECT_TRUE(QDir(path("Q350/Profile")).exists());
}

// --- Desktop integration -----------------------------------------------------

TEST_F(InstallTree, DesktopEntriesStartTheInstalledProgramsAndHaveIcons) {
  const struct {
    const char *entry, *program, *icon;
  } entries[] = {{"kavro-launcher", "KavroQ350", "kavro-launcher"},
                 {"kavro-q350config", "Q350/Q350Config", "kavro-q350config"},
                 {"kavro-lumera", "Q350RGB/Lumera", "kavro-lumera"}};
  for (const auto& e : entries) {
    SCOPED_TRACE(e.entry);
    const std::string text = testsupport::readAll(path(std::string("share/applications/") + e.entry + ".desktop").toStdString());
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.find("Exec=\"" + prefix_->path() + "/" + e.program + "\""), std::string::npos) << text;
    EXPECT_NE(text.find(std::string("Icon=") + e.icon + "\n"), std::string::npos);
    for (int size : {48, 128, 256}) {
      const std::string icon = "share/icons/hicolor/" + std::to_string(size) + "x" + std::to_string(size) + "/apps/" +
                               e.icon + ".png";
      EXPECT_EQ(picture(icon).size(), QSize(size, size)) << icon;
    }
  }
  // The udev rule shipped in data/udev/ is installed with the data.
  for (const QString& rule : QDir(QString::fromStdString(testsupport::sourceDir() + "/data/udev"))
                                 .entryList({QStringLiteral("*.rules")}, QDir::Files))
    EXPECT_TRUE(QFile::exists(path("lib/udev/rules.d/" + rule.toStdString()))) << rule.toStdString();
}

}  // namespace
