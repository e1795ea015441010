// Lumera's main window and application object against kbsim, with the
// shipped data of the build's stage as program folder, a private home, and
// stand-ins for the message dialogs, the tray and the process list.
#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>
#include <csignal>
#include <deque>
#include <filesystem>
#include <thread>

#include "lumera/app/app_services.h"
#include "lumera/app/gest_dlg.h"
#include "lumera/app/kb_color_dlg.h"
#include "lumera/app/lumera_app.h"
#include "lumera/app/lumera_dlg.h"
#include "lumera/app/pages.h"
#include "lumera/app/png_btn.h"
#include "lumera/model/config.h"
#include "lumera/model/macro.h"
#include "lumera/model/profile_rules.h"
#include "platform/folders.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "platform/ui/window_look.h"
#include "platform/ui/window_server.h"
#include "shared/orvane_binding.h"
#include "shared/text_table.h"
#include "sim/sim_process.h"
#include "tests/lumera/app/ui_fixture.h"
#include "tests/support/test_env.h"

using namespace lumera;
using Bytes = std::vector<std::uint8_t>;

namespace {

class PromptsStandIn final : public Prompts {
 public:
  std::vector<QString> shown;
  std::deque<bool> answers;  // for askYesNo; yes when empty
  QString textAnswer;
  void info(QWidget*, const QString& t) override { shown.push_back(t); }
  bool askYesNo(QWidget*, const QString& t) override {
    shown.push_back(t);
    if (answers.empty()) return true;
    const bool a = answers.front();
    answers.pop_front();
    return a;
  }
  bool askText(QWidget*, const QString& t, QString& out) override {
    shown.push_back(t);
    out = textAnswer;
    return !out.isEmpty();
  }
  bool saw(const char* key) const {
    const QString t = uiText(key);
    return std::find(shown.begin(), shown.end(), t) != shown.end();
  }
};

class TrayStandIn final : public TrayIcon {
 public:
  explicit TrayStandIn(bool available) : available_(available) {}
  bool isAvailable() const override { return available_; }
  bool add(platform::MessageWindow*, const QIcon&, const QString& tip) override {
    if (!available_) return false;
    exists_ = true;
    tip_ = tip;
    return true;
  }
  void remove() override { exists_ = false; }
  bool exists() const override { return exists_; }
  void showBalloon(const QString& title, const QString& text, int) override { balloons.push_back(title + ": " + text); }
  std::vector<QString> balloons;
  QString tip_;

 private:
  bool available_;
  bool exists_ = false;
};

// The process's windows, except that the progress dialog is never found.
class HidingProgress final : public platform::WindowMessenger {
 public:
  platform::WindowHandle findWindow(std::u16string_view title) override {
    if (platform::equalsNoCase(title, std::u16string_view(u"MyProgressDlg.."))) return 0;
    return platform::windowMessenger().findWindow(title);
  }
  bool postMessage(platform::WindowHandle w, unsigned m, platform::WPARAM wp, platform::LPARAM lp) override {
    return platform::windowMessenger().postMessage(w, m, wp, lp);
  }
  bool isWindow(platform::WindowHandle w) override { return platform::windowMessenger().isWindow(w); }
};

class ProcessesStandIn final : public platform::ProcessSource {
 public:
  std::vector<platform::ProcessInfo> processes;
  int lists = 0;
  std::vector<platform::ProcessInfo> list() override {
    ++lists;
    return processes;
  }
};

std::string stageFolder() { return KAVRO_STAGE_Q350RGB "/"; }

Bytes fileBytes(const std::string& path) {
  const std::string s = testsupport::readAll(path);
  return Bytes(s.begin(), s.end());
}

std::vector<Bytes> outFrames(sim::SimProcess& sim, std::size_t from) {
  std::vector<Bytes> out;
  for (const sim::TranscriptLine& l : sim.transcript(from))
    if (l.out) out.push_back(l.bytes);
  return out;
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 public:
  explicit WindowTest(sim::SimProcess& sim) : sim_(sim) {}

 private:
  sim::SimProcess& sim_;
  PromptsStandIn* prompts = nullptr;
  TrayStandIn* tray = nullptr;
  ProcessesStandIn processes;
  Options saved;

  CLumeraDlg::Services services(bool trayAvailable = false, bool watch = false) {
    CLumeraDlg::Services s;
    s.prompts = prompts;
    auto t = std::make_unique<TrayStandIn>(trayAvailable);
    tray = t.get();
    s.tray = std::move(t);
    s.processes = &processes;
    s.watchDevices = watch;
    return s;
  }
  std::string appData() const { return AppDataFolder(theConfig()); }
  void clearStore() {
    std::filesystem::remove_all(appData());
    std::filesystem::create_directories(appData());
  }
  // Runs the window modally; `body` runs from its event loop once it is
  // initialised, then the window is asked to close (unless `close` is
  // false). Returns the modal result.
  int run(CLumeraDlg& dlg, const std::function<void()>& body, bool close = true) {
    bool ran = false;
    QTimer::singleShot(0, &dlg, [&] {
      ran = true;
      body();
      if (close) dlg.postMessage(platform::WM_CLOSE);
    });
    const int r = dlg.doModal();
    if (!ran) QCoreApplication::processEvents();
    return r;
  }

 private slots:
  void initTestCase() { saved = theConfig().options(); }
  void init() {
    prompts = new PromptsStandIn;
    processes.processes.clear();
    theConfig().options() = saved;
    clearStore();
    uiHooks().pickKeyFunction = nullptr;
    theMacroList().clear();
  }
  void cleanup() {
    delete prompts;
    prompts = nullptr;
    theConfig().options() = saved;
    // Every test leaves the keyboard plugged in.
    std::vector<sim::KeyboardStatus> list;
    if (sim_.control().list(list) && !list.empty() && !list[0].plugged) sim_.control().replug(0);
  }

  void layoutFollowsTheShippedConfiguration() {
    theConfig().options().TrayIcon = 2;
    CLumeraDlg dlg(services());
    run(dlg, [&] {
      QVERIFY(dlg.isVisible());
      const QImage main = loadSkin("main_nr.png");
      QCOMPARE(dlg.size(), main.size());
      QCOMPARE(dlg.windowTitle(), uiText("tc_title"));
      const Options& o = theConfig().options();
      const struct {
        int id;
        QRect rect;
      } expected[] = {
          {CLumeraDlg::kIdMin, QRect(o.ptMin.x, o.ptMin.y, 16, 15)},
          {CLumeraDlg::kIdExit, QRect(o.ptExit.x, o.ptExit.y, 16, 15)},
          {CLumeraDlg::kIdProfile1, QRect(o.ptProfile.x, o.ptProfile.y, 223, 25)},
          {CLumeraDlg::kIdProfile2, QRect(o.ptProfile.x, o.ptProfile.y + 33, 223, 25)},
          {CLumeraDlg::kIdProfile3, QRect(o.ptProfile.x, o.ptProfile.y + 66, 223, 25)},
          {CLumeraDlg::kIdMacro, QRect(o.ptMacro.x, o.ptMacro.y, 223, 25)},
          {CLumeraDlg::kIdReset, QRect(o.ptReset.x, o.ptReset.y, 223, 25)},
          {CLumeraDlg::kIdOk, QRect(o.ptApplyBtn.x, o.ptApplyBtn.y, 57, 30)},
          {CLumeraDlg::kIdCancel, QRect(o.ptApplyBtn.x + 63, o.ptApplyBtn.y, 57, 30)},
          {CLumeraDlg::kIdApply, QRect(o.ptApplyBtn.x + 126, o.ptApplyBtn.y, 57, 30)},
      };
      for (const auto& e : expected) {
        CPngBtn* b = dlg.button(e.id);
        QVERIFY(b);
        QCOMPARE(b->geometry(), e.rect);
        QVERIFY(b->isVisible());
      }
      QCOMPARE(dlg.button(CLumeraDlg::kIdProfile2)->text(), uiText("tc_protitle") + " 2");
      QCOMPARE(dlg.button(CLumeraDlg::kIdApply)->text(), uiText("tc_apply"));
      QVERIFY(!dlg.button(CLumeraDlg::kIdKbView)->isVisible());  // no "Gest"
      const QRect kb(o.rcKB.left, o.rcKB.top, o.rcKB.right - o.rcKB.left, o.rcKB.bottom - o.rcKB.top);
      QCOMPARE(dlg.keyboardView()->geometry(), kb);
      QCOMPARE(dlg.keyboardView()->keyCount(), theConfig().keyCount());
      QCOMPARE(dlg.keyboardView()->specialKey(), o.unRectKey.keyIndex);
      QCOMPARE(dlg.lightingPage()->geometry(),
               QRect(o.rcLED.left, o.rcLED.top, o.rcLED.right - o.rcLED.left, o.rcLED.bottom - o.rcLED.top));
      QVERIFY(!dlg.colourPanel()->isVisible());
      QCOMPARE(dlg.colourPanel()->geometry(), QRect(280, 420, 260, 190));
      QCOMPARE(dlg.textLineRect(), QRect(kb.left() + 4, kb.bottom() + 1 + 5, 496, 40));
      // The region cuts the corners away and keeps the middle.
      QVERIFY(!dlg.windowRegion().isEmpty());
      QVERIFY(!dlg.windowRegion().contains(QPoint(0, 0)));
      QVERIFY(dlg.windowRegion().contains(QPoint(main.width() / 2, main.height() / 2)));
      // The first profile is current and its button checked.
      QCOMPARE(dlg.profiles().size(), std::size_t(3));
      QVERIFY(dlg.button(CLumeraDlg::kIdProfile1)->GetCheck());
      QVERIFY(!dlg.button(CLumeraDlg::kIdProfile2)->GetCheck());
      // The version text is drawn in the text colour.
      const QImage shot = dlg.grab().toImage();
      bool versionDrawn = false;
      const QColor txt = platform::colourFromRef(o.Txt_clr);
      for (int x = 31; x < 231 && !versionDrawn; ++x)
        for (int y = 606; y < 626 && !versionDrawn; ++y) versionDrawn = shot.pixelColor(x, y) == txt;
      QVERIFY(versionDrawn);
      uitest::saveShot(&dlg, "main_window");
    });
    QVERIFY(prompts->shown.empty());
  }

  void applyOnAnEmptyStoreWritesWhatKavroctlWrites() {
    theConfig().options().TrayIcon = 2;
    const std::size_t mark = sim_.transcriptSize();
    CLumeraDlg dlg(services());
    run(dlg, [&] {
      uitest::clickCentre(dlg.button(CLumeraDlg::kIdApply));
      QVERIFY(dlg.isVisible());  // Apply leaves the window open
      QTRY_COMPARE(dlg.pendingApplies(), 0);
    });
    QVERIFY2(prompts->shown.empty(), qPrintable(prompts->shown.empty() ? "" : prompts->shown[0]));
    const std::vector<Bytes> window = outFrames(sim_, mark);
    QVERIFY(window.size() >= 6);

    ProfileList stored;
    QVERIFY(LoadProfiles(appData(), stored));
    QCOMPARE(stored.size(), std::size_t(3));
    QCOMPARE(fileBytes(platform::joinPath(appData(), "pro.dct")).size(), kProfileFileSize);
    QCOMPARE(LoadCurrentId(appData()), stored[0].id);

    // kavroctl on the same files and a fresh keyboard sends the same frames.
    testsupport::TempDir scratch;
    const std::string copy = scratch.file("appdata");
    std::filesystem::create_directories(copy);
    for (const char* f : {"pro.dct", "curid.dct"})
      std::filesystem::copy_file(platform::joinPath(appData(), f), platform::joinPath(copy, f));
    sim::SimProcess fresh;
    QVERIFY(fresh.start({"q350rgb"}, KAVRO_KBSIM_PATH));
    {
      testsupport::ScopedEnv socket("KAVRO_SIM_SOCKET", fresh.socketPath());
      const auto r = testsupport::runKavroctl("lumera apply --flags 0x8007 --program-dir " +
                                                  testsupport::shellQuote(stageFolder()) + " --appdata " +
                                                  testsupport::shellQuote(copy),
                                              scratch);
      QVERIFY2(r.status == 0, r.err.c_str());
    }
    const std::vector<Bytes> cli = outFrames(fresh, 0);
    QCOMPARE(cli.size(), window.size());
    for (std::size_t i = 0; i < cli.size(); ++i) QVERIFY2(cli[i] == window[i], qPrintable(QString("frame %1").arg(i)));
    QCOMPARE(fileBytes(platform::joinPath(copy, "pro.dct")), fileBytes(platform::joinPath(appData(), "pro.dct")));
    QVERIFY(fresh.stop());
  }

  void profilesAreToppedUpOnlyBelowThree() {
    theConfig().options().TrayIcon = 2;
    // Two stored profiles: three more, five in all, the stored current one kept.
    ProfileList two{NewProfile(u"One", theConfig()), NewProfile(u"Two", theConfig())};
    QVERIFY(SaveProfiles(appData(), two));
    QVERIFY(SaveCurrentId(appData(), &two[1]));
    {
      CLumeraDlg dlg(services());
      run(dlg, [&] {
        QCOMPARE(dlg.profiles().size(), std::size_t(5));
        QCOMPARE(dlg.currentProfile()->id, two[1].id);
        QVERIFY(dlg.button(CLumeraDlg::kIdProfile2)->GetCheck());
        QCOMPARE(dlg.profileButtonId(2), dlg.profiles()[2].id);
        uitest::clickCentre(dlg.button(CLumeraDlg::kIdApply));
        QTRY_COMPARE(dlg.pendingApplies(), 0);
      });
    }
    ProfileList stored;
    QVERIFY(LoadProfiles(appData(), stored));
    QCOMPARE(stored.size(), std::size_t(5));
    // Five stay five at the next opening.
    CLumeraDlg again(services());
    run(again, [&] { QCOMPARE(again.profiles().size(), std::size_t(5)); });
  }

  void profileButtonsSelectAndRefresh() {
    theConfig().options().TrayIcon = 2;
    ProfileList list{NewProfile(u"A", theConfig()), NewProfile(u"B", theConfig()), NewProfile(u"C", theConfig())};
    list[1].keys[5].funA.dwFunID = 0x04000026;  // a media function on key 5
    QVERIFY(SaveProfiles(appData(), list));
    CLumeraDlg dlg(services());
    run(dlg, [&] {
      CKBColorDlg* view = dlg.keyboardView();
      QVERIFY(!view->keyMarked(5));
      uitest::clickCentre(dlg.button(CLumeraDlg::kIdProfile2));
      QCOMPARE(dlg.currentProfile()->id, list[1].id);
      QVERIFY(dlg.button(CLumeraDlg::kIdProfile2)->GetCheck());
      QVERIFY(!dlg.button(CLumeraDlg::kIdProfile1)->GetCheck());
      QVERIFY(view->keyMarked(5));
      // The per-key colour effect shows the profile's colours.
      ProfileRecord* cur = dlg.currentProfile();
      cur->lightingSwitch = 0;  // the lighting page on (a new profile has it off)
      cur->effectIndex = theConfig().options().GameIndex;
      cur->colourGroup = 2;
      const auto matrix = static_cast<std::size_t>(theConfig().keyLayout()[7].funA.dwMatrixInx);
      cur->groupColours[2][matrix] = 0x123456;
      dlg.RefreshViews();
      QCOMPARE(view->keySlots().colour[7], Colour(0x123456));
      uitest::clickCentre(dlg.button(CLumeraDlg::kIdProfile1));
      QVERIFY(!view->keyMarked(5));
      QCOMPARE(view->keySlots().colour[7], Colour(0));
      // Message 1430 switches the view's mode; key assignment clears colours.
      dlg.sendMessage(kMsgViewMode, 0, 0);
      QCOMPARE(view->mode(), int(CKBColorDlg::kKeyAssignMode));
      dlg.sendMessage(kMsgViewMode, 1, 0);
      QCOMPARE(view->mode(), int(CKBColorDlg::kLightingMode));
    });
  }

  void keyAssignmentStoresOnTheKeyOf1153() {
    theConfig().options().TrayIcon = 2;
    int pickedFor = -1;
    uiHooks().pickKeyFunction = [&](QWidget*, int key, const KeyInfo& current, KeyInfo& picked) {
      pickedFor = key;
      picked = current;
      picked.funA.dwFunID = 0x04000026;
      return true;
    };
    CLumeraDlg dlg(services());
    run(dlg, [&] {
      CKBColorDlg* view = dlg.keyboardView();
      // In lighting mode the click goes to the lighting page, no picker.
      dlg.sendMessage(kMsgViewMode, 1, 0);
      dlg.sendMessage(kMsgKeyClicked, 3, 0);
      QCOMPARE(pickedFor, -1);
      dlg.sendMessage(kMsgViewMode, 0, 0);
      // The view's own selection is elsewhere: the message's key counts.
      uitest::click(view, view->keyRect(10).center());
      QTRY_COMPARE(pickedFor, 10);
      QVERIFY(view->paused() == false);
      view->SetKeyColours({});  // clears the view's selection
      dlg.sendMessage(kMsgKeyClicked, 3, 0);
      QCOMPARE(pickedFor, 3);
      QCOMPARE(dlg.currentProfile()->keys[3].funA.dwFunID, 0x04000026u);
      QCOMPARE(dlg.currentProfile()->keys[3].funA.rcKey, theConfig().keyLayout()[3].funA.rcKey);
      QVERIFY(view->keyMarked(3));
      // A key index past the key table is refused.
      pickedFor = -1;
      dlg.sendMessage(kMsgKeyClicked, static_cast<platform::WPARAM>(theConfig().keyCount()), 0);
      QCOMPARE(pickedFor, -1);
      // The default function again clears the mark.
      KeyInfo def = theConfig().keyLayout()[3];
      QVERIFY(dlg.AssignKeyFunction(3, def));
      QVERIFY(!view->keyMarked(3));
    });
  }

  void macroLimitAndInUse() {
    theConfig().options().TrayIcon = 2;
    auto macro = [](int id) {
      KeyInfo k;
      k.funA.dwFunID = 0x05000000;
      k.funA.nMacroId = id;
      return k;
    };
    CLumeraDlg dlg(services());
    run(dlg, [&] {
      // The library the window read at start is empty; these stand for it.
      for (int i = 1; i <= 40; ++i) {
        MacroRecord m;
        m.id = 5000 + i;
        theMacroList().push_back(m);
      }
      ProfileRecord* cur = dlg.currentProfile();
      for (int i = 0; i < 31; ++i) QVERIFY(dlg.AssignKeyFunction(i, macro(5001 + i)));
      cur->gestures[0].funA = macro(5032).funA;  // the 32nd buffer, on a gesture
      QVERIFY(!dlg.AssignKeyFunction(40, macro(5033)));
      QVERIFY(prompts->saw("tc_page5"));
      QCOMPARE(cur->keys[40].funA.dwFunID, theConfig().keyLayout()[40].funA.dwFunID);
      QVERIFY(dlg.AssignKeyFunction(41, macro(5005)));  // already used: allowed
      // In use: a macro on a key of the third profile, on a gesture, nowhere.
      dlg.profiles()[2].keys[1].funA = macro(5040).funA;
      prompts->shown.clear();
      QVERIFY(dlg.MacroInUseTest(5040));
      QVERIFY(prompts->saw("tc_macro_msg18"));
      QVERIFY(dlg.MacroInUseTest(5032));
      prompts->shown.clear();
      QVERIFY(!dlg.MacroInUseTest(5039));
      QVERIFY(prompts->shown.empty());
    });
  }

  void noKeyboardAtStart() {
    theConfig().options().TrayIcon = 2;
    QVERIFY(sim_.control().unplug(0));
    CLumeraDlg dlg(services());
    bool shown = false;
    const int r = run(dlg, [&] { shown = dlg.isVisible(); });
    QCOMPARE(r, int(platform::IDCANCEL));
    QVERIFY(!shown);
    QVERIFY(!dlg.isVisible());
    QVERIFY(prompts->saw("tc_msg15"));
    QVERIFY(!platform::fileExists(platform::joinPath(appData(), "pro.dct")));
    QVERIFY(sim_.control().replug(0));
    // With "Suwnd" the window works without a keyboard; Apply says there is none.
    theConfig().options().Suwnd = 1;
    QVERIFY(sim_.control().unplug(0));
    prompts->shown.clear();
    CLumeraDlg without(services());
    run(without, [&] {
      QVERIFY(without.isVisible());
      QVERIFY(!without.RunApply());
      QVERIFY(prompts->saw("tc_msg15"));
    });
  }

  void twoKeyboardsBlockApply() {
    theConfig().options().TrayIcon = 2;
    int second = -1;
    QVERIFY(sim_.control().plug("q350rgb", &second));
    CLumeraDlg dlg(services());
    run(dlg, [&] {
      QVERIFY(prompts->saw("tc_msg11"));  // said at start, the window still opens
      QVERIFY(dlg.isVisible());
      prompts->shown.clear();
      const std::size_t mark = sim_.transcriptSize();
      QVERIFY(!dlg.RunApply());
      QVERIFY(prompts->saw("tc_msg11"));
      QCOMPARE(sim_.transcriptSize(), mark);
    });
    QVERIFY(sim_.control().unplug(second));
  }

  void keyboardArrivingLater() {
    theConfig().options().TrayIcon = 2;
    theConfig().options().Suwnd = 1;
    QVERIFY(sim_.control().unplug(0));
    CLumeraDlg dlg(services(false, true));
    run(dlg, [&] {
      QVERIFY(dlg.isVisible());
      QVERIFY(!dlg.driver().IsOpen());
      QVERIFY(sim_.control().replug(0));
      QTRY_VERIFY_WITH_TIMEOUT(dlg.driver().IsOpen(), 10000);
      uitest::clickCentre(dlg.button(CLumeraDlg::kIdApply));
      QTRY_COMPARE(dlg.pendingApplies(), 0);
    });
    QVERIFY(!prompts->saw("tc_msg15"));
    QVERIFY(platform::fileExists(platform::joinPath(appData(), "curid.dct")));
  }

  void removalWhileOpenEndsTheProgram() {
    theConfig().options().TrayIcon = 3;
    CLumeraDlg dlg(services(true, true));
    bool visibleBefore = false;
    const int r = run(
        dlg,
        [&] {
          visibleBefore = dlg.isVisible() && dlg.driver().IsOpen();
          QVERIFY(sim_.control().unplug(0));
        },
        false);
    QCOMPARE(r, int(platform::IDCANCEL));
    QVERIFY(visibleBefore);
    QVERIFY(prompts->saw("tc_msg15"));
    QVERIFY(!dlg.driver().IsOpen());
  }

  void okWithAndWithoutATray() {
    // A tray icon: OK applies, saves and hides; the program goes on.
    theConfig().options().TrayIcon = 3;
    {
      CLumeraDlg dlg(services(true));
      bool stillRunning = false;
      run(dlg, [&] {
        QVERIFY(tray->exists());
        QCOMPARE(dlg.trayMode(), 3);
        uitest::clickCentre(dlg.button(CLumeraDlg::kIdOk));
        QTRY_COMPARE(dlg.pendingApplies(), 0);
        QVERIFY(!dlg.isVisible());
        QCoreApplication::processEvents();
        stillRunning = dlg.isRunningModal();
        // The tray opens it again.
        dlg.sendMessage(kMsgTrayCallback, 0, TrayIcon::kLeftButtonDown);
        QVERIFY(dlg.isVisible());
      });
      QVERIFY(stillRunning);
      QVERIFY(platform::fileExists(platform::joinPath(appData(), "curid.dct")));
    }
    // Mode 3 on a desktop without a tray counts as mode 2: OK ends the program.
    clearStore();
    {
      CLumeraDlg dlg(services(false));
      const int r = run(
          dlg,
          [&] {
            QCOMPARE(dlg.trayMode(), 2);
            QVERIFY(!tray->exists());
            uitest::clickCentre(dlg.button(CLumeraDlg::kIdOk));
          },
          false);
      QCOMPARE(r, int(platform::IDCANCEL));
      QVERIFY(platform::fileExists(platform::joinPath(appData(), "curid.dct")));
    }
    // Mode 1 without a tray is not left hidden: the window shows.
    theConfig().options().TrayIcon = 1;
    CLumeraDlg hidden(services(false));
    run(hidden, [&] { QVERIFY(hidden.isVisible()); });
    // Mode 1 with a tray: the window never shows at start.
    CLumeraDlg trayOnly(services(true));
    run(trayOnly, [&] {
      QVERIFY(!trayOnly.isVisible());
      trayOnly.show();
      QVERIFY(!trayOnly.isVisible());
      QCOMPARE(trayOnly.profiles().size(), std::size_t(3));  // ready for the automatic switch
    });
  }

  void closingInEveryTrayMode() {
    theConfig().options().TrayIcon = 3;
    {
      // With a tray icon Cancel and Exit only hide; the close request ends.
      CLumeraDlg dlg(services(true));
      bool hiddenAndRunning = false;
      const int r = run(
          dlg,
          [&] {
            uitest::clickCentre(dlg.button(CLumeraDlg::kIdCancel));
            QVERIFY(!dlg.isVisible());
            dlg.sendMessage(kMsgTrayCallback, 0, TrayIcon::kLeftButtonDown);
            uitest::clickCentre(dlg.button(CLumeraDlg::kIdExit));
            QCoreApplication::processEvents();
            hiddenAndRunning = !dlg.isVisible() && dlg.isRunningModal();
            dlg.postMessage(kMsgCloseRequest);
          },
          false);
      QCOMPARE(r, int(platform::IDCANCEL));
      QVERIFY(hiddenAndRunning);
    }
    {
      // The tray menu's exit command ends it too.
      CLumeraDlg dlg(services(true));
      const int r = run(dlg, [&] { dlg.postMessage(platform::WM_COMMAND, kTrayExit, 0); }, false);
      QCOMPARE(r, int(platform::IDCANCEL));
    }
    // Without a tray Cancel ends the program.
    theConfig().options().TrayIcon = 2;
    CLumeraDlg dlg(services(true));
    const int r = run(dlg, [&] { uitest::clickCentre(dlg.button(CLumeraDlg::kIdCancel)); }, false);
    QCOMPARE(r, int(platform::IDCANCEL));
    QVERIFY(!tray->exists());
  }

  void applyNowSendsEachKeyChange() {
    theConfig().options().TrayIcon = 2;
    theConfig().options().ApplyNow = 1;
    CLumeraDlg dlg(services());
    run(dlg, [&] {
      const std::size_t mark = sim_.transcriptSize();
      KeyInfo media = theConfig().keyLayout()[6];
      media.funA.dwFunID = 0x04000026;
      QVERIFY(dlg.AssignKeyFunction(6, media));
      QTRY_COMPARE(dlg.pendingApplies(), 0);
      std::vector<int> commands;
      for (const sim::TranscriptLine& l : sim_.transcript(mark))
        if (l.out) commands.push_back(l.bytes[1]);
      // Password, the key matrix, the configuration end: keys only.
      QCOMPARE(commands, (std::vector<int>{0x05, 0x04, 0x05}));
    });
    QVERIFY(prompts->shown.empty());
  }

  void automaticSwitch() {
    theConfig().options().TrayIcon = 2;
    ProfileList list{NewProfile(u"A", theConfig()), NewProfile(u"B", theConfig()), NewProfile(u"C", theConfig())};
    setProfileProgramName(list[1], u"game.exe");
    setProfileProgramName(list[2], u"GAME");
    QVERIFY(SaveProfiles(appData(), list));
    const Bytes proBefore = fileBytes(platform::joinPath(appData(), "pro.dct"));
    CLumeraDlg dlg(services());
    run(dlg, [&] {
      dlg.killWindowTimer(kTimerAutoSwitch);  // ticks by hand
      std::size_t mark = sim_.transcriptSize();
      dlg.AutoSwitchTick();
      QCOMPARE(dlg.currentProfile()->id, list[0].id);  // nothing runs
      QCOMPARE(sim_.transcriptSize(), mark);
      // Both names match: the first profile in the list wins, flags 7, no progress.
      processes.processes = {{42, "wine64-preloader", "Game.exe", "Game.exe"}};
      dlg.AutoSwitchTick();
      QCOMPARE(dlg.currentProfile()->id, list[1].id);
      QVERIFY(dlg.button(CLumeraDlg::kIdProfile2)->GetCheck());
      QCOMPARE(LoadCurrentId(appData()), list[1].id);
      QCOMPARE(fileBytes(platform::joinPath(appData(), "pro.dct")), proBefore);
      std::vector<std::string> commands;
      for (const sim::TranscriptLine& l : sim_.transcript(mark))
        if (l.out) commands.push_back(l.bytes.size() == 9 ? QString::asprintf("%02x %02x", l.bytes[1], l.bytes[2]).toStdString()
                                                         : QString::asprintf("%02x", l.bytes[1]).toStdString());
      QCOMPARE(commands, (std::vector<std::string>{"05 01", "05 76", "83", "08", "04", "03", "05 77"}));
      // Already current: nothing more is written.
      mark = sim_.transcriptSize();
      dlg.AutoSwitchTick();
      QCOMPARE(sim_.transcriptSize(), mark);
      // A failed write is not tried again until the matching processes change.
      dlg.SelectProfile(list[0].id);
      QVERIFY(sim_.control().command("fault 0 fail 100"));
      dlg.AutoSwitchTick();
      QVERIFY(dlg.lastSwitchFailed());
      QCOMPARE(dlg.currentProfile()->id, list[0].id);
      QVERIFY(sim_.control().command("fault 0 clear"));
      mark = sim_.transcriptSize();
      dlg.AutoSwitchTick();
      QCOMPARE(sim_.transcriptSize(), mark);
      processes.processes.push_back({43, "game.exe", "game.exe", "game.exe"});
      dlg.AutoSwitchTick();
      QVERIFY(!dlg.lastSwitchFailed());
      QCOMPARE(dlg.currentProfile()->id, list[1].id);
      // Not while an apply runs or another modal window is open.
      dlg.SelectProfile(list[0].id);
      const int listed = processes.lists;
      QWidget modal;
      modal.setWindowModality(Qt::ApplicationModal);
      modal.show();
      dlg.AutoSwitchTick();
      modal.hide();
      QCOMPARE(processes.lists, listed);
      QCOMPARE(dlg.currentProfile()->id, list[0].id);
    });
  }

  void automaticSwitchFindsARealProcess() {
    theConfig().options().TrayIcon = 2;
    ProfileList list{NewProfile(u"A", theConfig()), NewProfile(u"B", theConfig()), NewProfile(u"C", theConfig())};
    setProfileProgramName(list[2], u"racegame.EXE");
    QVERIFY(SaveProfiles(appData(), list));
    testsupport::TempDir dir;
    const std::string link = dir.file("RaceGame.exe");
    std::filesystem::create_symlink("/bin/sleep", link);
    QProcess child;
    child.start(QString::fromStdString(link), {"30"});
    QVERIFY(child.waitForStarted());
    auto procs = platform::makeProcSource();
    CLumeraDlg::Services s = services();
    s.processes = procs.get();
    CLumeraDlg dlg(std::move(s));
    run(dlg, [&] {
      dlg.killWindowTimer(kTimerAutoSwitch);
      QTRY_VERIFY_WITH_TIMEOUT((dlg.AutoSwitchTick(), dlg.currentProfile()->id == list[2].id), 20000);
      QVERIFY(dlg.button(CLumeraDlg::kIdProfile3)->GetCheck());
    });
    child.kill();
    child.waitForFinished();
  }

  void linkingAProgramFromTheProfileButton() {
    theConfig().options().TrayIcon = 2;
    CLumeraDlg dlg(services());
    run(dlg, [&] {
      prompts->textAnswer = "  game.exe ";
      dlg.sendMessage(kMsgMenuChoice, kMenuLinkProgram, 1);
      QCOMPARE(profileProgramName(dlg.profiles()[1]), std::u16string(u"game.exe"));
      QVERIFY(prompts->saw("tc_link_program_msg"));
      ProfileList stored;
      QVERIFY(LoadProfiles(appData(), stored));
      QCOMPARE(profileProgramName(stored[1]), std::u16string(u"game.exe"));
      dlg.sendMessage(kMsgMenuChoice, kMenuUnlinkProgram, 1);
      QVERIFY(LoadProfiles(appData(), stored));
      QCOMPARE(profileProgramName(stored[1]), std::u16string());
    });
    QCOMPARE(uiText("tc_link_program"), QString("Link to a program..."));
  }

  void resetAsksAndAppliesTheDefaults() {
    theConfig().options().TrayIcon = 2;
    CLumeraDlg dlg(services());
    run(dlg, [&] {
      dlg.currentProfile()->keys[3].funA.dwFunID = 0x04000026;
      prompts->answers = {false};
      const std::size_t mark = sim_.transcriptSize();
      uitest::clickCentre(dlg.button(CLumeraDlg::kIdReset));
      QVERIFY(prompts->saw("tc_msg5"));
      QCOMPARE(dlg.currentProfile()->keys[3].funA.dwFunID, 0x04000026u);
      QCOMPARE(sim_.transcriptSize(), mark);
      uitest::clickCentre(dlg.button(CLumeraDlg::kIdReset));
      QTRY_COMPARE(dlg.pendingApplies(), 0);
      QCOMPARE(dlg.currentProfile()->keys[3].funA.dwFunID, theConfig().keyLayout()[3].funA.dwFunID);
      QVERIFY(sim_.transcriptSize() > mark);
      QVERIFY(!dlg.applyJob().ResetRequested());
    });
  }

  void gesturesShareTheMacroLimit() {
    theConfig().options().TrayIcon = 2;
    theConfig().options().Gest = 1;
    int offered = 0;
    uiHooks().pickMacro = [&](QWidget*, KeyInfo& picked) {
      picked.funA.dwFunID = 0x05000000;
      picked.funA.nMacroId = offered;
      return true;
    };
    CLumeraDlg dlg(services());
    run(dlg, [&] {
      QVERIFY(dlg.gesturePage());
      QVERIFY(dlg.button(CLumeraDlg::kIdGestView)->isVisible());
      for (int i = 1; i <= 40; ++i) {
        MacroRecord m;
        m.id = 7000 + i;
        theMacroList().push_back(m);
      }
      ProfileRecord* cur = dlg.currentProfile();
      for (int i = 0; i < 32; ++i) {
        cur->keys[static_cast<std::size_t>(i)].funA.dwFunID = 0x05000000;
        cur->keys[static_cast<std::size_t>(i)].funA.nMacroId = 7001 + i;
      }
      KeyInfo out;
      offered = 7033;
      QVERIFY(!dlg.gesturePage()->recordForChoice(0x05000000, out));
      QVERIFY(prompts->saw("tc_page5"));
      offered = 7002;  // on a key already: fits
      QVERIFY(dlg.gesturePage()->recordForChoice(0x05000000, out));
      QCOMPARE(out.funA.nMacroId, 7002);
    });
    uiHooks().pickMacro = nullptr;
  }

  void progressEndsWhenTheWorkerNeverFoundIt() {
    theConfig().options().TrayIcon = 2;
    HidingProgress hiding;
    CLumeraDlg::Services s = services();
    s.messenger = &hiding;
    CLumeraDlg dlg(std::move(s));
    run(dlg, [&] {
      // Returns only once the progress dialog has ended.
      QVERIFY(dlg.RunApply());
      QCOMPARE(dlg.pendingApplies(), 0);
      QVERIFY(!dlg.isApplying());
    });
    QVERIFY(platform::fileExists(platform::joinPath(appData(), "pro.dct")));
  }

  void rightClickOnAProfileButtonOpensTheMenu() {
    theConfig().options().TrayIcon = 2;
    CLumeraDlg dlg(services());
    run(dlg, [&] {
      QVERIFY(uitest::menuLevels().empty());
      CPngBtn* b = dlg.button(CLumeraDlg::kIdProfile3);
      QVERIFY(shared::orvane().hasCreate());
      uitest::sendMouse(b, QEvent::MouseButtonPress, {5, 5}, Qt::RightButton, Qt::RightButton);
      uitest::sendMouse(b, QEvent::MouseButtonRelease, {5, 5}, Qt::RightButton, Qt::NoButton);
      QTRY_COMPARE(uitest::menuLevels().size(), std::size_t(1));
      closeSkinMenu();
      QTRY_VERIFY(uitest::menuLevels().empty());
      QVERIFY(dlg.currentProfile()->id == dlg.profileButtonId(0));  // a right click selects nothing
    });
  }

  void messageBoxesFromAWorkerDoNotWait() {
    UiMessageBoxes boxes;  // installed for its lifetime
    const std::size_t before = uitest::shownBoxes().size();
    std::thread worker([] { showMessage(u"Error", u"from the worker", MessageIcon::Warning); });
    worker.join();  // returned although the user-interface thread shows nothing yet
    QCOMPARE(uitest::shownBoxes().size(), before);
    QTRY_COMPARE(uitest::shownBoxes().size(), before + 1);
    QCOMPARE(uitest::shownBoxes().back().text, std::u16string(u"from the worker"));
    QCOMPARE(uitest::shownBoxes().back().caption, std::u16string(u"Error"));
    showMessage(u"Info", u"on this thread", MessageIcon::Information);
    QCOMPARE(uitest::shownBoxes().size(), before + 2);
  }

  void appDirAndInstanceNames_data() {
    QTest::addColumn<QString>("appdir");
    QTest::addColumn<bool>("valid");
    QTest::newRow("shipped") << "KavroQ350RGB" << true;
    QTest::newRow("spaces") << "My Keyboard" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("slash") << "a/b" << false;
    QTest::newRow("backslash") << "a\\b" << false;
    QTest::newRow("up") << ".." << false;
    QTest::newRow("dot") << "." << false;
    QTest::newRow("absolute") << "/etc" << false;
  }
  void appDirAndInstanceNames() {
    QFETCH(QString, appdir);
    QFETCH(bool, valid);
    QCOMPARE(ValidAppDir(appdir.toStdU16String()), valid);
    const std::string lock = instanceLockPath(appdir.toStdU16String());
    QCOMPARE(platform::folderOf(lock), platform::joinPath(platform::runtimeFolder(), "x").substr(0, platform::runtimeFolder().size() + 1));
    QVERIFY(platform::fileNameOf(lock).find('/') == std::string::npos);
    QVERIFY(platform::fileNameOf(lock).rfind("kavro-instance-", 0) == 0);
    QVERIFY(instanceLockPath(u"LUMERA_HOLLMAR_MUTEX") != instanceLockPath(u"KAVRO_Q350RGB_LUMERA"));
  }

  void secondStartWakesTheFirst() {
    theConfig().options().TrayIcon = 1;
    CLumeraDlg dlg(services(true));
    platform::WindowServer server;
    QVERIFY(server.listen(&dlg, uiText("tc_title").toStdU16String(), {kMsgTrayCallback}));
    int status = -1;
    run(dlg, [&] {
      QVERIFY(!dlg.isVisible());
      QProcess second;
      second.setProgram(QString::fromStdString(stageFolder() + "Lumera"));
      second.start();
      QVERIFY(second.waitForStarted());
      QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 30000);
      status = second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -1;
      QTRY_VERIFY(dlg.isVisible());
    });
    QCOMPARE(status, 0);
  }

  void lockOfACrashedInstanceIsTakenOver() {
    // Two programs in a runtime folder of their own (this test process holds
    // the lock of the shared one).
    testsupport::TempDir runtime;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.path()));
    const QString lockFile = QString::fromStdString(
        runtime.path() + "/" + platform::fileNameOf(instanceLockPath(shared::Text("tc_mutex"))));
    auto start = [&](QProcess& p) {
      p.setProcessEnvironment(env);
      p.setProgram(QString::fromStdString(stageFolder() + "Lumera"));
      p.start();
      return p.waitForStarted();
    };
    auto lockedBy = [&](qint64 pid) {
      QFile f(lockFile);
      return f.open(QIODevice::ReadOnly) && f.readLine().trimmed().toLongLong() == pid;
    };
    QProcess first;
    QVERIFY(start(first));
    QTRY_VERIFY_WITH_TIMEOUT(lockedBy(first.processId()), 20000);
    ::kill(static_cast<pid_t>(first.processId()), SIGKILL);  // a crash: the lock file stays
    QVERIFY(first.waitForFinished(10000));
    QVERIFY(QFile::exists(lockFile));
    QProcess second;
    QVERIFY(start(second));
    QTRY_VERIFY_WITH_TIMEOUT(lockedBy(second.processId()) || second.state() == QProcess::NotRunning, 20000);
    QVERIFY(second.state() == QProcess::Running);  // it did not take itself for a second start
    second.terminate();
    if (!second.waitForFinished(10000)) second.kill();
    second.waitForFinished(10000);
  }

  void wrongSkinMarkerEndsWithAMessage() {
    testsupport::TempDir dir;
    std::filesystem::copy(stageFolder(), dir.file("Q350RGB"), std::filesystem::copy_options::recursive);
    std::filesystem::remove(dir.file("Q350RGB/skins/mak.skn"));
    QProcess p;
    p.start(QString::fromStdString(dir.file("Q350RGB/Lumera")), QStringList());
    QVERIFY(p.waitForFinished(30000));
    QVERIFY(p.exitCode() != 0);
    const QString err = QString::fromUtf8(p.readAllStandardError());
    // One line of the program's own (a sanitizer build may add its summary).
    const QStringList own = err.split('\n', Qt::SkipEmptyParts).filter(QRegularExpression("^Lumera: "));
    QCOMPARE(own.size(), 1);
    QVERIFY2(own[0].contains("skin"), qPrintable(err));
  }
};

int main(int argc, char** argv) {
  testsupport::SandboxHome home;
  testsupport::ScopedEnv noReal("KAVRO_HID_REAL", "0");
  sim::SimProcess sim;
  if (!sim.start({"q350rgb"}, KAVRO_KBSIM_PATH)) {
    std::fprintf(stderr, "kbsim: %s\n", sim.error().c_str());
    return 1;
  }
  testsupport::ScopedEnv socket("KAVRO_SIM_SOCKET", sim.socketPath());
  QCoreApplication::setAttribute(Qt::AA_DisableHighDpiScaling);
  QApplication app(argc, argv);
  platform::setProgramFolder(stageFolder());
  // The application object's start, up to the main window: texts,
  // configuration, menu library, skin marker, application-data folder and
  // the single-instance lock.
  CLumeraApp lumeraApp;
  if (lumeraApp.InitInstance(false) != CLumeraApp::Start::MainWindowRan) {
    std::fprintf(stderr, "the application start failed\n");
    return 1;
  }
  platform::setMessageBoxHandler([](QWidget*, const std::u16string& t, const std::u16string& c, platform::MessageBoxIcon) {
    uitest::shownBoxes().push_back({t, c});
    return 1;
  });
  int status;
  {
    WindowTest test(sim);
    status = QTest::qExec(&test, argc, argv);
  }
  lumeraApp.ExitInstance();
  if (!sim.stop()) status |= 1;
  return status;
}

#include "window_test.moc"
