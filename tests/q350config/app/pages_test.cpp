// The lighting page, the key assignment page and the key setting dialog in
// the running main window against kbsim: what the controls put into the
// settings, and the frames Apply then sends (zone colours, lighting bytes,
// the key table of bank 1, macro uploads) and the profile file it saves.
#include <QApplication>
#include <QtTest>

#include "platform/paths.h"
#include "platform/ui/window_look.h"
#include "q350config/app/app_files.h"
#include "q350config/app/hook_library.h"
#include "q350config/app/info_dlg.h"
#include "q350config/app/language.h"
#include "q350config/app/led_dlg.h"
#include "q350config/app/main_dlg.h"
#include "q350config/app/main_set_dlg.h"
#include "q350config/app/setting_dlg.h"
#include "q350config/controls/control_messages.h"
#include "q350config/device/frame.h"
#include "q350config/device/full_write.h"
#include "q350config/settings/settings_store.h"
#include "tests/q350config/app/app_fixture.h"
#include "tests/q350config/controls/q350_ui_support.h"

using namespace q350app;
using apptest::clickCentre;
using apptest::whenOpen;
using Bytes = std::vector<std::uint8_t>;

namespace {

apptest::ProgramFolder* g_folder = nullptr;

// Memory writes since transcript line `from`: address -> data of the last
// write there.
std::map<unsigned, Bytes> writesSince(apptest::Simulator& sim, std::size_t from) {
  std::map<unsigned, Bytes> out;
  for (const sim::TranscriptLine& l : sim.sim().transcript(from)) {
    if (!l.out || l.interfaceNumber != 1 || l.bytes.size() < 64 || l.bytes[3] != q350::kCmdMemoryWrite) continue;
    const unsigned address = l.bytes[5] | l.bytes[6] << 8;
    out[address] = Bytes(l.bytes.begin() + 8, l.bytes.begin() + 8 + l.bytes[4]);
  }
  return out;
}

Bytes pct(std::uint32_t colour) {
  const auto p = q350::colourPercentages(colour);
  return Bytes(p.begin(), p.end());
}

Bytes zoneBytes(const std::map<unsigned, Bytes>& w, int zone) {
  const auto it = w.find(q350::kAddrZoneColours + 3u * static_cast<unsigned>(zone));
  return it == w.end() ? Bytes() : it->second;
}

// The key-table entry of matrix index m as the frames of bank 1 carry it.
std::uint32_t bankEntry(const std::map<unsigned, Bytes>& w, std::uint32_t m) {
  const unsigned base = q350::kAddrKeyTables + q350::kKeyTableBankStride * q350::kWriteBank;
  const unsigned offset = 4 * m;
  const unsigned frame = base + 56 * (offset / 56);
  const auto it = w.find(frame);
  if (it == w.end()) return 0xDEADBEEF;
  const Bytes& d = it->second;
  const unsigned at = offset % 56;
  return d[at] | d[at + 1] << 8 | d[at + 2] << 16 | static_cast<std::uint32_t>(d[at + 3]) << 24;
}

std::uint32_t fileEntry(const std::string& file, std::uint32_t m) {
  const std::size_t at = q350::ProfileSettings::kKeyMapOffset + 4 * m;
  auto b = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(file[at + i])); };
  return b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24;
}

CDlgLedMain* lighting(CQ350ConfigDlg& d) { return static_cast<CDlgLedMain*>(d.page(kLightingPage)); }
CMainSetDlg* keys(CQ350ConfigDlg& d) { return static_cast<CMainSetDlg*>(d.page(kKeysPage)); }

void addMacro(std::uint32_t id, std::uint32_t repeat, const char16_t* name) {
  q350::MacroImage m;
  m.id = id;
  m.repeat = repeat;
  m.events = {q350::makeEvent(q350::kEventPress, 0x42), q350::makeEvent(q350::kEventRelease, 0x42)};
  m.size = static_cast<std::uint32_t>(104 + 4 * m.events.size());
  m.setName(name);
  QVERIFY(q350::settings().macroLibrary.store(m));
}

// Opens the key setting dialog of the key at list position `pos` by a click
// and lets `answer` work it; returns when the dialog is over.
void setKey(CQ350ConfigDlg& d, std::uint32_t matrixIndex, const std::function<void(CSettingDlg&)>& answer) {
  bool answered = false;
  whenOpen(kSettingDlgTitle, [&](platform::MessageWindow* w) {
    answered = true;
    answer(*static_cast<CSettingDlg*>(w));
  });
  clickCentre(keys(d)->keyButton(static_cast<std::size_t>(keys(d)->positionOf(matrixIndex))));
  QVERIFY(answered);
}

void hook(CSettingDlg& dlg, std::uint32_t vk, std::uint32_t flags) {
  dlg.comboPage()->sendMessage(CDlgSingleCombo::WM_HOOK_KEY, vk, flags);
}

}  // namespace

class PagesTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    setLanguageFlag(0);
    LoadLanguageTexts(platform::joinPath(platform::programFolder(), "Language/en.xml"));
    profileMacroIds().clearAll();
  }

  void lightingZoneColoursAndApply() {
    apptest::Simulator sim;
    QVERIFY(sim.ok());
    CQ350ConfigDlg dlg;
    apptest::runMainWindow(dlg, [&](CQ350ConfigDlg& d) {
      clickCentre(d.tab(1));
      CDlgLedMain* led = lighting(d);
      QVERIFY(led->isVisible());
      q350::ProfileSettings& s = q350::settings().profileSettings;
      // One zone: only the green byte of zone 3 changes, only its frame.
      clickCentre(led->button(CDlgLedMain::kIdSeparate));
      QCOMPARE(s.allZones, 0u);
      QCOMPARE(s.lightingMode, 5u);
      QVERIFY(q350test::clickAt(led, QPoint(590, 45)) == led->zoneButton(3));
      QCOMPARE(led->currentZone(), 3);
      for (int z = 0; z < 7; ++z) QCOMPARE(led->zoneButton(z)->GetCheck(), z == 3);
      const auto before = s.zoneColour;
      led->sendMessage(q350ui::WM_SLIDER_MOVED, 0, CDlgLedMain::kIdGreen);
      QCOMPARE(s.zoneColour[3], before[3] & 0xFF00FFu);
      for (int z = 0; z < 7; ++z)
        if (z != 3) QCOMPARE(s.zoneColour[z], before[z]);
      QCOMPARE(led->edit(CDlgLedMain::kIdGreenEdit)->text(), QStringLiteral("0"));
      QCOMPARE(led->swatch()->colour(), s.zoneColour[3]);
      std::size_t from = sim.size();
      clickCentre(d.applyButton());
      auto w = writesSince(sim, from);
      for (int z = 0; z < 7; ++z) QCOMPARE(zoneBytes(w, z), pct(s.zoneColour[z]));
      QVERIFY(zoneBytes(w, 3) != pct(before[3]));

      // Select all: one colour, sent to every zone and as the common colour;
      // the colour comes from the wheel's pixel in the page's picture.
      clickCentre(led->button(CDlgLedMain::kIdSelectAll));
      QCOMPARE(led->ZoneSelection(), std::optional<int>(7));
      for (int z = 0; z < 7; ++z) QVERIFY(led->zoneButton(z)->GetCheck());
      const QPoint inWheel = CDlgLedMain::wheelRect().center() + QPoint(30, 0);
      q350test::sendMouse(led, QEvent::MouseMove, inWheel, Qt::NoButton, Qt::NoButton);
      QVERIFY(led->pickerCursorShown());
      q350test::click(led, inWheel);
      const QRgb px = led->background().pixel(inWheel);
      const std::uint32_t picked = q350::rgb(qRed(px), qGreen(px), qBlue(px));
      QCOMPARE(s.commonColour, picked);
      for (std::uint32_t c : s.zoneColour) QCOMPARE(c, picked);
      led->sendMessage(q350ui::WM_SLIDER_MOVED, 17, CDlgLedMain::kIdRed);
      QCOMPARE(s.commonColour & 0xFF, 17u);
      q350test::sendMouse(led, QEvent::MouseMove, QPoint(5, 5), Qt::NoButton, Qt::NoButton);
      QVERIFY(!led->pickerCursorShown());
      from = sim.size();
      clickCentre(d.applyButton());
      w = writesSince(sim, from);
      for (int z = 0; z < 7; ++z) QCOMPARE(zoneBytes(w, z), pct(s.commonColour));
      QCOMPARE(w[q350::kAddrCommonColour], pct(s.commonColour));
      // A tab switch keeps the zone choice.
      clickCentre(d.tab(0));
      clickCentre(d.tab(1));
      QCOMPARE(led->currentZone(), 7);
      QVERIFY(d.grab().save(apptest::screenshotPath("q350config_lighting_en")));
    });
  }

  void lightingSwitchEffectAndRate() {
    apptest::Simulator sim;
    QVERIFY(sim.ok());
    CQ350ConfigDlg dlg;
    apptest::runMainWindow(dlg, [&](CQ350ConfigDlg& d) {
      clickCentre(d.tab(1));
      CDlgLedMain* led = lighting(d);
      q350::ProfileSettings& s = q350::settings().profileSettings;
      q350ui::CSkinButton* sw = led->button(CDlgLedMain::kIdBrightSwitch);
      if (!led->brightnessSwitchOn()) clickCentre(sw);
      clickCentre(sw);  // off
      QCOMPARE(s.brightness, 0u);
      led->sendMessage(q350ui::WM_SLIDER_MOVED, 3, CDlgLedMain::kIdBrightness);
      QCOMPARE(s.brightness, 0u);
      QCOMPARE(led->slider(CDlgLedMain::kIdBrightness)->GetPos(), 0);
      clickCentre(sw);  // on
      QCOMPARE(s.brightness, 4u);
      QVERIFY(led->brightnessSwitchOn());
      led->sendMessage(q350ui::WM_SLIDER_MOVED, 2, CDlgLedMain::kIdBrightness);
      QCOMPARE(s.brightness, 2u);
      clickCentre(led->button(CDlgLedMain::kIdDisable));
      QCOMPARE(s.lightingSwitch, 255u);
      QVERIFY(!led->button(CDlgLedMain::kIdEnable)->GetCheck());
      // An effect other than Custom Mode clears both zone-choice looks.
      const auto colours = s.zoneColour;
      clickCentre(led->button(CDlgLedMain::kIdEffectFirst + 1));  // Breathing
      QCOMPARE(s.lightingMode, 3u);
      QVERIFY(!led->button(CDlgLedMain::kIdSelectAll)->GetCheck());
      QVERIFY(!led->button(CDlgLedMain::kIdSeparate)->GetCheck());
      QVERIFY(s.zoneColour == colours);
      led->sendMessage(q350ui::WM_SLIDER_MOVED, 1, CDlgLedMain::kIdRate);
      QCOMPARE(s.effectSpeed, 1u);
      const std::size_t from = sim.size();
      clickCentre(d.applyButton());
      auto w = writesSince(sim, from);
      QCOMPARE(w[q350::kAddrLightingMode], Bytes{3});
      QCOMPARE(w[q350::kAddrEffectSpeed], Bytes{4});
      QCOMPARE(w[q350::kAddrBrightness], Bytes{2});
      QCOMPARE(w[q350::kAddrLightingSwitch], Bytes{255});
      // The number boxes only show: typing changes nothing.
      q350ui::CSkinEdit* red = led->edit(CDlgLedMain::kIdRedEdit);
      const QString shown = red->text();
      QVERIFY(red->isReadOnly());
      q350test::sendKey(red, QEvent::KeyPress, Qt::Key_9, 0, Qt::NoModifier, QStringLiteral("9"));
      QCOMPARE(red->text(), shown);
    });
  }

  // A profile stored with Select all: after a restart Apply sends its
  // common colour to all seven zones.
  void selectAllSurvivesARestart() {
    {
      q350::SettingsStore store(g_folder->path() + "/");
      store.setPauseFunction([](unsigned) {});
      QVERIFY(store.CreateDefaultProfile(store.profilePath(0)));
      store.profileSettings.allZones = 1;
      store.profileSettings.lightingMode = 5;
      store.profileSettings.commonColour = q350::rgb(255, 0, 0);
      for (std::size_t z = 0; z < 7; ++z) store.profileSettings.zoneColour[z] = q350::rgb(0, 0, 255);
      QVERIFY(store.SaveCurrentProfile());
    }
    apptest::Simulator sim;
    QVERIFY(sim.ok());
    CQ350ConfigDlg dlg;
    apptest::runMainWindow(dlg, [&](CQ350ConfigDlg& d) {
      QCOMPARE(lighting(d)->ZoneSelection(), std::optional<int>(7));
      const std::size_t from = sim.size();
      clickCentre(d.applyButton());
      const auto w = writesSince(sim, from);
      for (int z = 0; z < 7; ++z) QCOMPARE(zoneBytes(w, z), pct(q350::rgb(255, 0, 0)));
      // Switching the profile takes that profile's choice.
      q350::settings().profileSettings.allZones = 0;
      clickCentre(d.profileButton(0));
      QCOMPARE(lighting(d)->ZoneSelection(), std::optional<int>(7));
    });
  }

  void keyCombinationDisableAndMacro() {
    apptest::Simulator sim;
    QVERIFY(sim.ok());
    CQ350ConfigDlg dlg;
    apptest::runMainWindow(dlg, [&](CQ350ConfigDlg& d) {
      q350::SettingsStore& s = q350::settings();
      const std::uint32_t keyA = 83, keyB = 91, keyC = 75;  // matrix indices on the page
      // Combination: Shift pressed and released, then A.
      setKey(d, keyA, [&](CSettingDlg& k) {
        QCOMPARE(k.activeTab(), CSettingDlg::kTabCombination);
        QVERIFY(k.comboPage()->isVisible());
        hook(k, 0xA0, 0);
        hook(k, 0xA0, 0x80);
        hook(k, 'A', 0);
        hook(k, 'A', 0x80);
        QVERIFY(k.comboPage()->check(2)->GetCheck());
        QCOMPARE(k.comboPage()->Result(), 0x00040201u);
        clickCentre(k.okButton());
      });
      QCOMPARE(s.keyMap[keyA], 0x00040201u);
      q350ui::CSkinButton* a = keys(d)->keyButton(static_cast<std::size_t>(keys(d)->positionOf(keyA)));
      QVERIFY(a->isMarked());
      QCOMPARE(a->caption(), QStringLiteral("LShift + A"));
      // Disabled key.
      setKey(d, keyB, [&](CSettingDlg& k) {
        clickCentre(k.disableCheck());
        QVERIFY(!k.comboPage()->isVisible());
        clickCentre(k.okButton());
      });
      QCOMPARE(s.keyMap[keyB], 0u);
      // Macro key with its repeat mode, chosen from its category.
      addMacro(0x03000010, q350::kRepeatToggle, u"Grenade");
      setKey(d, keyC, [&](CSettingDlg& k) {
        clickCentre(k.tabButton(CSettingDlg::kTabMacro));
        QVERIFY(k.macroPage()->isVisible());
        QCOMPARE(k.macroPage()->currentCategoryRow(), 20);
        k.macroPage()->sendMessage(q350ui::WM_LIST_CLICKED, CDlgMacroSet::kIdCategories, 2);
        QCOMPARE(k.macroPage()->macros()->GetCount(), 1);
        QCOMPARE(k.macroPage()->Result(), 0x03000010u);
        clickCentre(k.okButton());
      });
      QCOMPARE(s.keyMap[keyC], std::uint32_t{q350::kKindMacro});
      QCOMPARE(s.keyExtra.macroId(keyC), 0x03000010u);
      QCOMPARE(keys(d)->keyButton(static_cast<std::size_t>(keys(d)->positionOf(keyC)))->caption(),
               QStringLiteral("Grenade"));
      QVERIFY(d.grab().save(apptest::screenshotPath("q350config_keys_en")));

      const std::size_t from = sim.size();
      clickCentre(d.applyButton());
      const auto w = writesSince(sim, from);
      QCOMPARE(bankEntry(w, keyA), 0x00040201u);
      QCOMPARE(bankEntry(w, keyB), 0u);
      QCOMPARE(bankEntry(w, keyC), q350::MacroKeyEntry(0, q350::kRepeatToggle));
      QVERIFY(w.count(q350::kAddrMacroSlots));  // the macro went into slot 0
      const std::string file = testsupport::readAll(s.profilePath(0));
      QCOMPARE(fileEntry(file, keyA), 0x00040201u);
      QCOMPARE(fileEntry(file, keyB), 0u);
      // Reset gives the factory entry back, caption and mark go.
      setKey(d, keyA, [&](CSettingDlg& k) { clickCentre(k.resetButton()); });
      QCOMPARE(s.keyMap[keyA], s.defaultKeyMap[keyA]);
      QVERIFY(!a->isMarked());
      QVERIFY(a->caption().isEmpty());
    });
  }

  void theDialogsTabsAndCapture() {
    apptest::Simulator sim;
    QVERIFY(sim.ok());
    CQ350ConfigDlg dlg;
    apptest::runMainWindow(dlg, [&](CQ350ConfigDlg& d) {
      q350::SettingsStore& s = q350::settings();
      q350test::Recorder spy(nullptr);
      // Base functions: row 0 is left Alt + F4.
      setKey(d, 50, [&](CSettingDlg& k) {
        clickCentre(k.tabButton(CSettingDlg::kTabBase));
        QCOMPARE(k.basePage()->Result(), 0u);  // nothing chosen yet
        q350test::click(k.basePage()->list(), k.basePage()->list()->itemRect(0).center());
        clickCentre(k.okButton());
      });
      QCOMPARE(s.keyMap[50], 0x003D0401u);
      QCOMPARE(CDlgBase::RowEntry(6), 0x00570801u);
      QCOMPARE(CDlgBase::RowEntry(9), 0x00018303u);
      // Capture follows the tabs and the disable check; a key with no
      // usage and no modifier gives nothing, and OK closes with Cancel.
      const std::uint32_t before = s.keyMap[51];
      setKey(d, 51, [&](CSettingDlg& k) {
        QVERIFY(k.grab().save(apptest::screenshotPath("q350config_setting_en")));
        auto captured = [&] { return k.comboPage()->capturedKey(); };
        q350test::sendKey(&k, QEvent::KeyPress, Qt::Key_B, 56);
        QVERIFY(captured() != 0);  // the hook delivered it
        k.comboPage()->Reset();
        clickCentre(k.tabButton(CSettingDlg::kTabMacro));
        q350test::sendKey(&k, QEvent::KeyPress, Qt::Key_C, 54);
        QCOMPARE(captured(), 0u);
        clickCentre(k.tabButton(CSettingDlg::kTabCombination));
        clickCentre(k.disableCheck());
        q350test::sendKey(&k, QEvent::KeyPress, Qt::Key_D, 40);
        QCOMPARE(captured(), 0u);  // no page shows: nothing captured
        clickCentre(k.disableCheck());
        QVERIFY(k.comboPage()->isVisible());
        QVERIFY(k.tabButton(CSettingDlg::kTabCombination)->GetCheck());
        q350test::sendKey(&k, QEvent::KeyPress, Qt::Key_E, 26);
        QVERIFY(captured() != 0);  // capturing again with the tab shown
        hook(k, 0xFF, 0);
        QCOMPARE(k.comboPage()->Result(), 0u);
        clickCentre(k.okButton());
      });
      QCOMPARE(s.keyMap[51], before);
      // After the dialog keys are no longer delivered.
      hookLibrary().SetReciveWindow(&spy);
      q350test::sendKey(&d, QEvent::KeyPress, Qt::Key_A, 38);
      QVERIFY(spy.only(TESSIVAN_MSG_HOOK_KEY).empty());
    });
  }

  void macroLimitAndExtraWord() {
    apptest::Simulator sim;
    QVERIFY(sim.ok());
    CQ350ConfigDlg dlg;
    apptest::runMainWindow(dlg, [&](CQ350ConfigDlg& d) {
      q350::SettingsStore& s = q350::settings();
      CMainSetDlg* page = keys(d);
      for (std::uint32_t i = 1; i <= 21; ++i) addMacro(0x15000100 + i, 1, u"m");
      // Twenty keys hold macros from the stored profile (not from this run).
      for (std::uint32_t k = 0; k < 20; ++k) {
        const std::uint32_t m = q350::KeyList()[k].matrixIndex;
        s.keyMap[m] = q350::kKindMacro;
        s.keyExtra.setMacroId(m, 0x15000101 + (k % 2));
      }
      const std::uint32_t target = q350::KeyList()[30].matrixIndex;
      QString told;
      whenOpen(kInfoDlgTitle, [&](platform::MessageWindow* w) {
        told = static_cast<CInfoDlg*>(w)->text();
        clickCentre(static_cast<CInfoDlg*>(w)->okButton());
      });
      page->ApplyResult(target, {0x15000115, 6, {}});
      QCOMPARE(told, QStringLiteral("注意：只能分配20个宏到键盘中！"));
      QVERIFY(s.keyMap[target] != q350::kKindMacro);
      // One key fewer: the macro goes, and the same macro on a second key
      // is never refused.
      s.keyMap[q350::KeyList()[0].matrixIndex] = s.defaultKeyMap[q350::KeyList()[0].matrixIndex];
      page->ApplyResult(target, {0x15000115, 6, {}});
      QCOMPARE(s.keyMap[target], std::uint32_t{q350::kKindMacro});
      s.keyMap[q350::KeyList()[0].matrixIndex] = q350::kKindMacro;
      const std::uint32_t second = q350::KeyList()[31].matrixIndex;
      page->ApplyResult(second, {0x15000115, 6, {}});
      QCOMPARE(s.keyExtra.macroId(second), 0x15000115u);
      // A deleted macro: nothing changes.
      page->ApplyResult(q350::KeyList()[32].matrixIndex, {0x15009999, 6, {}});
      QCOMPARE(s.keyMap[q350::KeyList()[32].matrixIndex], s.defaultKeyMap[q350::KeyList()[32].matrixIndex]);
      // Any other result clears the whole id word of the key.
      s.keyExtra.setMacroId(second, 0x15000115);
      page->ApplyResult(second, {0x00040201, 5, {}});
      QCOMPARE(s.keyExtra.macroId(second), 0u);
      QCOMPARE(profileMacroIds().row(d.currentProfile())[second], 0u);
    });
  }

  // Last: the pages are built in the interface language at start.
  void chineseScreenshots() {
    setLanguageFlag(1);
    LoadLanguageTexts(platform::joinPath(platform::programFolder(), "Language/sc.xml"));
    apptest::Simulator sim;
    QVERIFY(sim.ok());
    CQ350ConfigDlg dlg;
    apptest::runMainWindow(dlg, [&](CQ350ConfigDlg& d) {
      QCOMPARE(lighting(d)->slider(CDlgLedMain::kIdRate)->geometry().left() < 93, true);
      q350::settings().keyMap[83] = 0x00040201;
      keys(d)->RefreshKeyCaptions();
      QVERIFY(d.grab().save(apptest::screenshotPath("q350config_keys_sc")));
      clickCentre(d.tab(1));
      QVERIFY(d.grab().save(apptest::screenshotPath("q350config_lighting_sc")));
      setKey(d, 83, [&](CSettingDlg& k) {
        clickCentre(k.tabButton(CSettingDlg::kTabMacro));
        QVERIFY(k.grab().save(apptest::screenshotPath("q350config_setting_sc")));
        clickCentre(k.closeButton());
      });
    });
    setLanguageFlag(0);
  }
};

int main(int argc, char** argv) {
  testsupport::SandboxHome home;
  QApplication app(argc, argv);
  platform::setMessageBoxHandler(
      [](QWidget*, const std::u16string&, const std::u16string&, platform::MessageBoxIcon) { return platform::IDOK; });
  apptest::ProgramFolder folder;
  g_folder = &folder;
  folder.use();
  apptest::useProgramSettings();
  hookLibrary().load(folder.file("libTessivan.so"));
  PagesTest t;
  return QTest::qExec(&t, argc, argv);
}

#include "pages_test.moc"
