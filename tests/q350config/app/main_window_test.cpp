// The Q350Config main window against kbsim: layout from the shipped
// pictures, hints, apply (the same frames as kavroctl q350 apply, and what
// is stored), a failing write, profile switching, the language pop-up,
// removal, start without keyboard, missing libraries, second instance.
#include <QApplication>
#include <QLockFile>
#include <QProcess>
#include <QtTest>

#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/ui/window_look.h"
#include "platform/ui/window_server.h"
#include "q350config/app/app_files.h"
#include "q350config/app/hook_library.h"
#include "q350config/app/info_dlg.h"
#include "q350config/app/language.h"
#include "q350config/app/main_dlg.h"
#include "q350config/app/q350config_app.h"
#include "q350config/controls/control_messages.h"
#include "q350config/settings/settings_store.h"
#include "shared/orvane_binding.h"
#include "tests/q350config/app/app_fixture.h"
#include "tests/q350config/controls/q350_ui_support.h"

using namespace q350app;
using apptest::clickCentre;
using apptest::whenOpen;

namespace {

// The program folder most tests share; tests that need their own make one
// and come back to this one.
apptest::ProgramFolder*& mainFolderPtr() {
  static apptest::ProgramFolder* folder = nullptr;
  return folder;
}
apptest::ProgramFolder& mainFolder() { return *mainFolderPtr(); }

std::string registryValue(const char* key, const char* name) {
  platform::RegistryKey k;
  std::uint32_t type = 0;
  std::string value;
  if (k.open(key) != platform::kRegOk || k.queryValue(name, type, value) != platform::kRegOk) return "none";
  return value;
}

std::string activeProfiles() {
  const std::string v = registryValue(q350::kProfileTableKey, q350::kProfileTableValue);
  if (v == "none") return v;
  const q350::ProfileTable table = q350::ProfileTable::fromBytes(v);
  std::string flags;
  for (const q350::ProfileEntry& e : table.entries) flags += e.active ? '1' : '0';
  return flags;
}

void clearProfileTable() {
  platform::RegistryKey k;
  if (k.open(q350::kProfileTableKey) == platform::kRegOk) k.deleteValue(q350::kProfileTableValue);
}

// The profile folder the way kavroctl's apply test lays it out: profile 1
// with one colour for all zones and a macro key, profile 2 with its own zone
// colours.
void writeProfiles(const apptest::ProgramFolder& folder) {
  q350::SettingsStore store(folder.path() + "/");
  store.setPauseFunction([](unsigned) {});
  q350::MacroImage macro;
  macro.size = 104 + 4 * 2;
  macro.id = 0x15000001;
  macro.repeat = q350::kRepeatToggle;
  macro.events = {q350::makeEvent(q350::kEventPress, 0x42), q350::makeEvent(q350::kEventRelease, 0x42)};
  QVERIFY(store.StoreMacroImage(macro));
  QVERIFY(store.CreateDefaultProfile(store.profilePath(0)));
  const std::uint32_t key = q350::KeyList()[0].matrixIndex;
  store.keyMap[key] = q350::kKindMacro;
  store.keyExtra.setMacroId(key, 0x15000001);
  q350::ProfileSettings& s = store.profileSettings;
  s.allZones = 1;
  s.commonColour = q350::rgb(0x00, 0x80, 0xFF);
  for (std::size_t z = 0; z < q350::kZoneCount; ++z) s.zoneColour[z] = q350::rgb(255, 0, static_cast<std::uint8_t>(z));
  s.lightingMode = 2;
  QVERIFY(store.SaveCurrentProfile());
  s.allZones = 0;
  s.lightingMode = 4;
  q350::ProfileImage second{s, store.keyExtra};
  second.settings.keyMap = store.keyMap;
  QVERIFY(platform::writeFileAtomic(store.profilePath(1), second.toBytes()));
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    clearProfileTable();
    apptest::boxes().clear();
    CInfoDlg::setTickMs(1000);
    setLanguageFlag(0);
    LoadLanguageTexts(platform::joinPath(platform::programFolder(), "Language/en.xml"));
  }

  void firmwareVersionText_data() {
    QTest::addColumn<uint>("version");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0u << "V000";
    QTest::newRow("3") << 3u << "V300";
    QTest::newRow("12") << 12u << "V120";
    QTest::newRow("107") << 107u << "V107";
    QTest::newRow("254") << 254u << "V254";
    QTest::newRow("255") << 255u << "V000";
  }
  void firmwareVersionText() {
    QFETCH(uint, version);
    QFETCH(QString, text);
    QCOMPARE(FirmwareVersionText(version), text);
  }

  void languageFromTheSkinFolder_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("flagBefore");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("flagAfter");
    QTest::newRow("en") << "en" << 1 << "Language/en.xml" << 0;
    QTest::newRow("sc") << "sc" << 0 << "Language/sc.xml" << 1;
    QTest::newRow("other, Chinese before") << "custom" << 1 << "Language/sc.xml" << 1;
    QTest::newRow("other, English before") << "custom" << 0 << "Language/en.xml" << 0;
    QTest::newRow("none") << "" << 1 << "Language/sc.xml" << 1;
  }
  void languageFromTheSkinFolder() {
    QFETCH(QString, entry);
    QFETCH(int, flagBefore);
    QFETCH(QString, file);
    QFETCH(int, flagAfter);
    // The program folder lies under a folder whose name holds "sc": only the
    // skin folder's own name may count.
    testsupport::TempDir home;
    const std::string folder = home.file("scott/Q350");
    platform::makeFolders(folder + "/skins");
    if (!entry.isEmpty()) platform::makeFolders(folder + "/skins/" + entry.toStdString());
    setLanguageFlag(flagBefore);
    QCOMPARE(QString::fromStdString(skinEntryName(folder)), entry);
    QCOMPARE(QString::fromStdString(chooseLanguageFile(skinEntryName(folder))), file);
    QCOMPARE(languageFlag(), flagAfter);
    setLanguageFlag(0);
  }

  void layoutFromTheShippedPictures() {
    apptest::Simulator sim;
    QVERIFY(sim.ok());
    CQ350ConfigDlg dlg;
    const auto r = apptest::runMainWindow(dlg, [&](CQ350ConfigDlg& d) {
      const QImage frame = skinPicture("Config/Q350_Frame_Normal.bmp");
      QVERIFY(!frame.isNull());
      QCOMPARE(d.size(), frame.size());
      QCOMPARE(d.windowTitle(), QStringLiteral("Kavro Q350 Gaming Keyboard Driver"));
      QCOMPARE(d.minimiseButton()->geometry(), QRect(888, 3, 33, 31));
      QCOMPARE(d.hideButton()->geometry(), QRect(923, 3, 33, 32));
      QCOMPARE(d.tab(0)->geometry(), QRect(30, 84, 215, 37));
      QCOMPARE(d.tab(1)->geometry(), QRect(229, 84, 256, 37));
      QCOMPARE(d.tab(2)->geometry(), QRect(471, 84, 257, 37));
      QCOMPARE(d.tab(3)->geometry(), QRect(713, 84, 214, 37));
      QCOMPARE(d.profileButton(0)->geometry(), QRect(321, 606, 117, 29));
      QCOMPARE(d.profileButton(4)->geometry(), QRect(701, 608, 119, 27));
      QCOMPARE(d.applyButton()->geometry(), QRect(799, 589, 144, 46));
      QCOMPARE(d.languageButton()->geometry(), QRect(15, 617, 42, 18));
      QCOMPARE(d.flagPicture()->geometry(), QRect(19, 592, 37, 22));
      QCOMPARE(d.flagPicture()->picture(), resPicture(159));
      for (int i = 0; i < 4; ++i) {
        QCOMPARE(d.page(i)->pos(), QPoint(17, 128));
        QCOMPARE(d.page(i)->isVisible(), i == kKeysPage);
      }
      QCOMPARE(d.page(kLightingPage)->size(), skinPicture("Light/Q350_Light_Normal.bmp").size());
      QVERIFY(d.tab(0)->GetCheck());
      QVERIFY(d.profileButton(0)->GetCheck());
      // The region leaves out exactly the key-coloured pixels.
      int keyed = 0;
      for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
          const bool key = (frame.pixel(x, y) & 0xFFFFFF) == 0xFF00FDu;
          keyed += key ? 1 : 0;
          if (d.region().contains(QPoint(x, y)) == key) QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
        }
      QVERIFY(keyed > 0);
      QVERIFY(d.grab().save(apptest::screenshotPath("q350config_main")));
      // Hints: over the support tab, hint 10 (str_help); over profile 3, 2.
      q350test::sendMouse(d.tab(3), QEvent::MouseMove, d.tab(3)->rect().center(), Qt::NoButton, Qt::NoButton);
      QTRY_COMPARE(d.statusText(), hintText(10));
      QVERIFY(!d.statusText().isEmpty());
      QVERIFY(hintText(10) != hintText(9));
      q350test::sendMouse(d.profileButton(2), QEvent::MouseMove, d.profileButton(2)->rect().center(), Qt::NoButton,
                          Qt::NoButton);
      QTRY_COMPARE(d.statusText(), hintText(2));
      d.postMessage(q350ui::WM_SHOW_HINT, 0, 99);
      QTRY_VERIFY(d.statusText().isEmpty());
      // A click into the window body or on a button closes the skinned menus.
      auto menus = [] {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets()) n += w->objectName() == "OrvaneMenu" && w->isVisible();
        return n;
      };
      const std::vector<OrvaneMenuItem> items = {shared::makeMenuItem(ORVANE_TOP_LEVEL, 1, u"One"),
                                                 shared::makeMenuItem(ORVANE_TOP_LEVEL, 2, u"Two")};
      for (QWidget* target : {static_cast<QWidget*>(&d), static_cast<QWidget*>(d.tab(1))}) {
        QVERIFY(shared::orvane().createQ350(d.page(kKeysPage), 24, 100, 100, {0x676153, 0xFFFFFF, 0xB98C15}, items));
        QTRY_COMPARE(menus(), 1);
        q350test::click(target, target == &d ? QPoint(500, 40) : target->rect().center());
        QTRY_COMPARE(menus(), 0);
      }
      clickCentre(d.tab(0));
      // Tabs show their page, one checked at a time.
      clickCentre(d.tab(2));
      QVERIFY(d.page(kMacrosPage)->isVisible());
      QVERIFY(!d.page(kKeysPage)->isVisible());
      QVERIFY(d.tab(2)->GetCheck());
      QVERIFY(!d.tab(0)->GetCheck());
      QVERIFY(!apptest::shownWindow(kInfoDlgTitle));  // the keyboard is there: no question
    });
    QVERIFY(r.scriptRan);
  }

  void applyWritesWhatKavroctlWrites() {
    apptest::Simulator sim;
    QVERIFY(sim.ok());
    apptest::ProgramFolder folder;
    folder.use();
    writeProfiles(folder);
    const std::string profile1 = folder.file("Profile/Profile1.cfg");
    const std::string before = testsupport::readAll(profile1);
    std::vector<std::string> gui;
    CQ350ConfigDlg dlg;
    apptest::runMainWindow(dlg, [&](CQ350ConfigDlg& d) {
      const std::size_t from = sim.size();
      clickCentre(d.applyButton());  // returns when the write is over
      QVERIFY(!d.isWriting());
      gui = sim.lines(from);
    });
    const std::string table = registryValue(q350::kProfileTableKey, q350::kProfileTableValue);
    QCOMPARE(activeProfiles(), std::string("10000"));
    const std::string saved = testsupport::readAll(profile1);
    QCOMPARE(saved.size(), q350::kProfileFileSize);
    QVERIFY(saved != before);  // the macro key is stored resolved
    QVERIFY(gui.size() > 20);

    // The same data through kavroctl: the profile and table as they were.
    QVERIFY(platform::writeFileAtomic(profile1, before));
    clearProfileTable();
    const std::size_t from = sim.size();
    testsupport::TempDir scratch;
    const testsupport::ProcessResult cli =
        testsupport::runKavroctl("q350 apply --program-dir " + testsupport::shellQuote(folder.path()), scratch);
    QCOMPARE(cli.status, 0);
    const std::vector<std::string> ctl = sim.lines(from);
    QCOMPARE(gui, ctl);
    QCOMPARE(testsupport::readAll(profile1), saved);
    QCOMPARE(registryValue(q350::kProfileTableKey, q350::kProfileTableValue), table);
    mainFolder().use();
  }

  void failingWriteShowsSettingErrorAndStoresNothing() {
    apptest::Simulator sim;
    QVERIFY(sim.ok());
    CQ350ConfigDlg dlg;
    QString shown;
    apptest::runMainWindow(dlg, [&](CQ350ConfigDlg& d) {
      const std::string table = registryValue(q350::kProfileTableKey, q350::kProfileTableValue);
      const std::string file = testsupport::readAll(q350::settings().profilePath(0));
      QVERIFY(sim.sim().control().failNext(0, 1000));
      whenOpen(kInfoDlgTitle, [&](platform::MessageWindow* w) {
        shown = static_cast<CInfoDlg*>(w)->text();
        clickCentre(static_cast<CInfoDlg*>(w)->okButton());
      });
      clickCentre(d.applyButton());
      QCOMPARE(shown, QStringLiteral("Setting Error"));
      QCOMPARE(registryValue(q350::kProfileTableKey, q350::kProfileTableValue), table);
      QCOMPARE(testsupport::readAll(q350::settings().profilePath(0)), file);
    });
    QCOMPARE(shown, QStringLiteral("Setting Error"));
  }

  void restoringFactorySettingsWritesAndStoresThem() {
    apptest::Simulator sim;
    QVERIFY(sim.ok());
    CQ350ConfigDlg dlg;
    apptest::runMainWindow(dlg, [&](CQ350ConfigDlg& d) {
      q350::SettingsStore& s = q350::settings();
      s.profileSettings.lightingMode = 4;
      s.keyMap[0] = s.defaultKeyMap[1];
      const std::size_t from = sim.size();
      d.postMessage(kMsgRestoreFactory);
      // The write runs from the message; wait until it is over and stored.
      QTRY_VERIFY_WITH_TIMEOUT(sim.size() > from + 20 && !d.isWriting(), 20000);
      QTRY_COMPARE(activeProfiles(), std::string("10000"));
      QCOMPARE(s.profileSettings.lightingMode, 1u);
      QVERIFY(s.keyMap == s.defaultKeyMap);
      const std::string file = testsupport::readAll(s.profilePath(0));
      QCOMPARE(file.size(), q350::kProfileFileSize);
      QCOMPARE(static_cast<unsigned char>(file[q350::ProfileSettings::kLightingModeOffset]), 1);
    });
  }

  void exitDuringAWriteWaitsForIt() {
    apptest::Simulator sim;
    QVERIFY(sim.ok());
    CQ350ConfigDlg dlg;
    bool posted = false;
    apptest::runMainWindow(dlg, [&](CQ350ConfigDlg& d) {
      // While the progress dialog runs: the tray menu's Exit, a second
      // start's wake-up and the keyboard's removal.
      whenOpen(kProgressDlgTitle, [&](platform::MessageWindow*) {
        QVERIFY(d.isWriting());
        d.postMessage(platform::WM_COMMAND, kCmdTrayExit);
        d.postMessage(kMsgTray, 0, kTrayDoubleClick);
        d.postMessage(WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, 0);
        posted = true;
      });
      CInfoDlg::setTickMs(20);
      clickCentre(d.applyButton());
      QVERIFY(posted);
      // The write ended and was stored with the window and its pages alive.
      QVERIFY(d.isVisible());
      QVERIFY(d.page(kKeysPage));
      QCOMPARE(activeProfiles(), std::string("10000"));
      // Then the held messages take effect: the program ends.
      QTRY_VERIFY_WITH_TIMEOUT(!d.isVisible(), 20000);
    });
    QVERIFY(posted);
  }

  void switchingToProfileThreeAndApplying() {
    apptest::Simulator sim;
    QVERIFY(sim.ok());
    CQ350ConfigDlg dlg;
    apptest::runMainWindow(dlg, [&](CQ350ConfigDlg& d) {
      QCOMPARE(d.currentProfile(), 0);
      // Profile 3 has no file yet: it is reported and made, profile 1 stays.
      QString told;
      whenOpen(kInfoDlgTitle, [&](platform::MessageWindow* w) {
        told = static_cast<CInfoDlg*>(w)->text();
        clickCentre(static_cast<CInfoDlg*>(w)->okButton());
      });
      clickCentre(d.profileButton(2));
      QVERIFY(told.startsWith(QStringLiteral("Failed to open file: ")));
      QCOMPARE(d.currentProfile(), 0);
      for (int i = 0; i < 5; ++i) QCOMPARE(d.profileButton(i)->GetCheck(), i == 0);
      QVERIFY(platform::fileExists(q350::settings().profilePath(2)));
      clickCentre(d.profileButton(2));
      QCOMPARE(d.currentProfile(), 2);
      QCOMPARE(q350::settings().currentProfile(), 2);
      for (int i = 0; i < 5; ++i) QCOMPARE(d.profileButton(i)->GetCheck(), i == 2);
      clickCentre(d.applyButton());
      QCOMPARE(activeProfiles(), std::string("00100"));
      QVERIFY(platform::fileExists(q350::settings().profilePath(2)));

      // A profile that does not load leaves everything on the one in use.
      QVERIFY(platform::writeFileAtomic(q350::settings().profilePath(3), std::string(q350::kProfileFileSize, 'x')));
      told.clear();
      whenOpen(kInfoDlgTitle, [&](platform::MessageWindow* w) {
        told = static_cast<CInfoDlg*>(w)->text();
        clickCentre(static_cast<CInfoDlg*>(w)->okButton());
      });
      clickCentre(d.profileButton(3));
      QVERIFY(told.contains(QStringLiteral("invaild Profile")));
      QCOMPARE(d.currentProfile(), 2);
      QCOMPARE(q350::settings().currentProfile(), 2);
      for (int i = 0; i < 5; ++i) QCOMPARE(d.profileButton(i)->GetCheck(), i == 2);
    });
  }

  void languagePopup() {
    apptest::Simulator sim;
    QVERIFY(sim.ok());
    CQ350ConfigDlg dlg;
    apptest::runMainWindow(dlg, [&](CQ350ConfigDlg& d) {
      clickCentre(d.languageButton());
      QVERIFY(d.languagePopup());
      COrvaneA* popup = d.languagePopup();
      QCOMPARE(popup->width(), 116);
      const QPoint buttonBottom = d.languageButton()->mapToGlobal(QPoint(0, d.languageButton()->height()));
      QCOMPARE(popup->pos(), buttonBottom + QPoint(-4, -287));
      QCOMPARE(popup->rowAt(QPoint(10, 6 + 22 + 3)), 2);
      // Chinese: flag picture 166, built-in messages in Chinese at once.
      popup->choose(1);
      QTRY_VERIFY(!d.languagePopup());
      QCOMPARE(languageFlag(), 1);
      QCOMPARE(registryValue(kLanguageKey, kLanguageValue), std::string("\x01\0\0\0", 4));
      QCOMPARE(d.flagPicture()->picture(), resPicture(166));
      QCOMPARE(builtInQ(u"Exit", u"退出程序"), QStringLiteral("退出程序"));
      // Trad.Chinese: the Chinese flag, English built-in messages.
      clickCentre(d.languageButton());
      d.languagePopup()->choose(12);
      QTRY_VERIFY(!d.languagePopup());
      QCOMPARE(languageFlag(), 0);
      QCOMPARE(d.flagPicture()->picture(), resPicture(166));
      QCOMPARE(registryValue(kLanguageKey, kLanguageValue), std::string("\x0C\0\0\0", 4));
      // A value outside 1..12 is not stored; closing without a choice
      // changes nothing.
      clickCentre(d.languageButton());
      d.postMessage(kMsgLanguage, 0, 13);
      QTRY_VERIFY(!d.languagePopup());
      QCOMPARE(registryValue(kLanguageKey, kLanguageValue), std::string("\x0C\0\0\0", 4));
      clickCentre(d.languageButton());
      d.languagePopup()->close();
      QTRY_VERIFY(!d.languagePopup());
      QCOMPARE(languageFlag(), 0);
      // English again: its texts in the status line.
      clickCentre(d.languageButton());
      d.languagePopup()->choose(2);
      QTRY_VERIFY(!d.languagePopup());
      QCOMPARE(d.flagPicture()->picture(), resPicture(159));
      d.postMessage(kMsgLanguage, 0, 3);  // no pop-up open: ignored
      QCoreApplication::processEvents();
      QCOMPARE(d.flagPicture()->picture(), resPicture(159));
    });
  }

  void removalEndsTheProgramWithOneMessage() {
    apptest::Simulator sim;
    QVERIFY(sim.ok());
    CInfoDlg::setTickMs(60);
    // Counts the information dialogs that appear.
    struct ShowCounter : QObject {
      int count = 0;
      bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Show && dynamic_cast<CInfoDlg*>(o)) ++count;
        return false;
      }
    } shows;
    qApp->installEventFilter(&shows);
    CQ350ConfigDlg dlg;
    int dialogsSeen = 0;
    QString text;
    const auto r = apptest::runMainWindow(dlg, [&](CQ350ConfigDlg& d) {
      // The keyboard's removal reaches the window by itself; a second
      // notice (one per interface) while the message shows opens nothing.
      whenOpen(kInfoDlgTitle, [&](platform::MessageWindow* w) {
        text = static_cast<CInfoDlg*>(w)->text();
        d.sendMessage(WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, 0);
      });
      QVERIFY(sim.sim().control().unplug(0));
      QTRY_VERIFY_WITH_TIMEOUT(!d.isVisible(), 20000);
      for (QWidget* w : QApplication::topLevelWidgets())
        if (dynamic_cast<CInfoDlg*>(w)) ++dialogsSeen;
    });
    QCOMPARE(shows.count, 1);
    QVERIFY(r.scriptRan);
    QCOMPARE(text, QStringLiteral("The Q350 gaming keyboard cannot be found."));
    QCOMPARE(dialogsSeen, 0);  // the message closed by itself
    qApp->removeEventFilter(&shows);
  }

  void startWithoutKeyboardAsks() {
    apptest::Simulator sim(false);
    QVERIFY(sim.ok());
    CQ350ConfigDlg dlg;
    QString asked;
    bool withCancel = false;
    whenOpen(kInfoDlgTitle, [&](platform::MessageWindow* w) {
      auto* info = static_cast<CInfoDlg*>(w);
      asked = info->text();
      withCancel = info->withCancel();
      clickCentre(info->cancelButton());
    });
    apptest::runMainWindow(dlg, [](CQ350ConfigDlg&) {});
    QCOMPARE(asked, QStringLiteral("Sorry,Not find Q350 keyboard, Click OK button if Connected, or Click Cancel button!"));
    QVERIFY(withCancel);
    QVERIFY(!dlg.isVisible());
  }

  void missingMenuLibraryEndsSilently() {
    apptest::ProgramFolder folder;
    folder.hideLibrary("libOrvane.so", true);
    folder.use();
    apptest::Simulator sim;
    CQ350ConfigDlg dlg;
    const auto r = apptest::runMainWindow(dlg, [](CQ350ConfigDlg&) {});
    QVERIFY(!r.scriptRan);
    QVERIFY(apptest::boxes().empty());
    mainFolder().use();
  }

  void applicationStartAndMissingHookLibrary() {
    apptest::ProgramFolder folder;
    folder.hideLibrary("libTessivan.so", true);
    folder.use();
    apptest::Simulator sim;
    bool mainShown = false;
    whenOpen(kMainWindowTitle, [&](platform::MessageWindow* w) {
      mainShown = true;
      w->postMessage(platform::WM_CLOSE);
    });
    CQ350ConfigApp app;
    QCOMPARE(app.Run(), 0);
    QVERIFY(mainShown);
    QCOMPARE(apptest::boxes().size(), std::size_t{1});
    QVERIFY(apptest::boxes()[0].text == u"Load Tessivan.dll failed");
    QVERIFY(apptest::boxes()[0].caption == u"Warning");
    QVERIFY(!hookLibrary().complete());
    // With the library the program runs without a word.
    folder.hideLibrary("libTessivan.so", false);
    apptest::boxes().clear();
    whenOpen(kMainWindowTitle, [&](platform::MessageWindow* w) { w->postMessage(platform::WM_CLOSE); });
    QCOMPARE(app.Run(), 0);
    QVERIFY(apptest::boxes().empty());
    QVERIFY(hookLibrary().complete());
    mainFolder().use();
  }

  void secondStartWakesTheFirst() {
    // This process plays the running program: it holds the lock and listens
    // under the main window's title.
    QLockFile lock(QString::fromStdString(instanceLockPath()));
    QVERIFY(lock.tryLock(0));
    q350test::Recorder first(nullptr);
    platform::WindowServer server;
    QVERIFY(server.listen(&first, kMainWindowTitle, {kMsgTray}));
    QProcess second;
    second.setProgram(QStringLiteral(KAVRO_Q350CONFIG_PATH));
    second.start();
    QVERIFY(second.waitForFinished(30000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QTRY_COMPARE(first.only(kMsgTray).size(), std::size_t{1});
    QCOMPARE(first.only(kMsgTray)[0].l, platform::LPARAM{kTrayDoubleClick});
  }

  // After the start test: it must be the first to load the hook library
  // (a library once loaded stays, and is then found by its name).
  void hideWithoutATrayMinimisesAndTheTrayCallShowsAgain() {
    apptest::Simulator sim;
    QVERIFY(sim.ok());
    CQ350ConfigDlg dlg;
    apptest::runMainWindow(dlg, [&](CQ350ConfigDlg& d) {
      QVERIFY(!d.hasTray());  // offscreen has no tray host
      // Minimise, hide and the key assignment tab switch key capture off.
      QVERIFY(hookLibrary().load(mainFolder().file("libTessivan.so")));
      q350test::Recorder capture(nullptr);
      hookLibrary().SetReciveWindow(&capture);
      auto captured = [&] { return capture.only(TESSIVAN_MSG_HOOK_KEY).size(); };
      for (QWidget* control : {static_cast<QWidget*>(d.tab(0)), static_cast<QWidget*>(d.minimiseButton())}) {
        hookLibrary().SetHookStatus(true);
        const std::size_t before = captured();
        q350test::sendKey(&d, QEvent::KeyPress, Qt::Key_A, 38);
        QCOMPARE(captured(), before + 1);
        clickCentre(control);
        q350test::sendKey(&d, QEvent::KeyPress, Qt::Key_B, 56);
        QCOMPARE(captured(), before + 1);
        d.showNormal();
      }
      hookLibrary().SetHookStatus(true);
      clickCentre(d.hideButton());
      q350test::sendKey(&d, QEvent::KeyPress, Qt::Key_C, 54);
      QCOMPARE(captured(), std::size_t{2});
      hookLibrary().removeHook();
      QTRY_VERIFY(d.isMinimized());
      QVERIFY(d.isVisible());  // hidden without a tray, it could never come back
      d.postMessage(kMsgTray, 0, kTrayButtonUp);
      QTRY_VERIFY(!d.isMinimized());
      clickCentre(d.minimiseButton());
      QTRY_VERIFY(d.isMinimized());
      d.postMessage(platform::WM_COMMAND, kCmdTrayConfig);
      QTRY_VERIFY(!d.isMinimized());
      d.postMessage(platform::WM_COMMAND, kCmdTrayExit);
      QTRY_VERIFY(!d.isVisible());
    });
  }

  void informationDialogForms() {
    {
      CInfoDlg dlg(nullptr, QStringLiteral("Question?"), true);
      QCOMPARE(dlg.windowTitle(), QStringLiteral("KavroQ390InfoDlg"));
      QCOMPARE(dlg.okButton()->geometry(), QRect(178, 127, 66, 32));
      QCOMPARE(dlg.cancelButton()->geometry(), QRect(245, 127, 66, 32));
      QCOMPARE(dlg.closeButton()->geometry(), QRect(300, 0, 29, 29));
      QCOMPARE(dlg.size(), resPicture(136).size());
      whenOpen(kInfoDlgTitle, [](platform::MessageWindow* w) { clickCentre(static_cast<CInfoDlg*>(w)->cancelButton()); });
      QCOMPARE(dlg.doModal(), platform::IDCANCEL);
    }
    {
      CInfoDlg dlg(nullptr, QStringLiteral("Done."), false);
      QVERIFY(!dlg.cancelButton());
      QCOMPARE(dlg.okButton()->geometry(), QRect(240, 127, 66, 32));
      whenOpen(kInfoDlgTitle, [](platform::MessageWindow* w) { clickCentre(static_cast<CInfoDlg*>(w)->okButton()); });
      QCOMPARE(dlg.doModal(), platform::IDOK);
      QVERIFY(dlg.grab().save(apptest::screenshotPath("q350config_info")));
    }
    {
      // The self-closing form counts down on its OK button and closes at
      // the fifth tick, at the bottom right of the work area.
      CInfoDlg::setTickMs(40);
      CInfoDlg dlg(nullptr, QStringLiteral("Gone."), true, true);
      QVERIFY(!dlg.cancelButton());
      QStringList captions;
      QTimer watch;
      QObject::connect(&watch, &QTimer::timeout, [&] {
        const QString c = dlg.okButton()->caption();
        if (captions.isEmpty() || captions.back() != c) captions << c;
      });
      watch.start(1);
      QCOMPARE(dlg.doModal(), platform::IDCANCEL);
      const QRect area = platform::workArea();
      QCOMPARE(dlg.frameGeometry().right(), area.right() - 10);
      QCOMPARE(dlg.geometry().bottom(), area.bottom());
      QVERIFY(captions.size() >= 5);
      QCOMPARE(captions.mid(0, 5), QStringList({"OK (5s)", "OK (4)", "OK (3)", "OK (2)", "OK (1)"}));
      CInfoDlg::setTickMs(1000);
    }
  }

  void progressDialog() {
    CProgressDlg dlg(nullptr);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("KavroQ390ProcessDlg"));
    QCOMPARE(dlg.bar()->geometry(), QRect(35, 47, 260, 9));
    QCOMPARE(dlg.bar()->GetPos(), 0);
    dlg.sendMessage(CProgressDlg::kMsgProgress, 50);
    QCOMPARE(dlg.bar()->GetPos(), 50);
    dlg.sendMessage(CProgressDlg::kMsgProgress, 150);
    QCOMPARE(dlg.bar()->GetPos(), 0);
    dlg.postMessage(CProgressDlg::kMsgProgress, 100);
    dlg.postMessage(platform::WM_CLOSE);
    dlg.doModal();  // ends on WM_CLOSE
    QCOMPARE(dlg.bar()->GetPos(), 100);
  }
};

int main(int argc, char** argv) {
  testsupport::SandboxHome home;
  QApplication app(argc, argv);
  apptest::recordMessageBoxes();
  apptest::ProgramFolder folder;
  mainFolderPtr() = &folder;
  folder.use();
  const std::string folderPath = platform::programFolder();
  setSkinFolder(platform::joinPath(platform::joinPath(folderPath, "skins"), skinEntryName(folderPath)));
  apptest::useProgramSettings();
  MainWindowTest t;
  return QTest::qExec(&t, argc, argv);
}

#include "main_window_test.moc"
