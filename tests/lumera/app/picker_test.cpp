// The key function picker: the combination capture (the 300 ms rule, the
// sides of the modifiers, the keypad Enter, "ModifyOpt"), the multimedia
// drop-down, the macro list, restore-default, the macro-only mode and the
// record every way out gives back.
#include <QTimer>
#include <QtTest>
#include <memory>

#include "lumera/app/gest_dlg.h"
#include "lumera/app/key_fun_pick_dlg.h"
#include "lumera/app/key_macro_dialogs.h"
#include "lumera/app/msg_dlg.h"
#include "lumera/app/png_btn.h"
#include "lumera/model/config.h"
#include "lumera/model/macro.h"
#include "platform/format.h"
#include "platform/paths.h"
#include "platform/ui/virtual_keys.h"
#include "tests/lumera/app/ui_fixture.h"

using namespace lumera;
namespace sc = platform::scancode;

Q_DECLARE_METATYPE(std::vector<int>)

namespace {

constexpr int kKey = 5;  // the key the picker is opened for

KeyInfo layoutRecord() {
  KeyInfo k;
  k.funA.dwFunID = 0x02000000;
  k.funA.stCombo.VkCode1 = 0x46;  // F
  k.funA.dwMatrixInx = 33;
  k.funA.rcKey = {10, 20, 30, 40};
  return k;
}

// Answers the message box that opens next with OK (or Cancel) and keeps
// its text.
void answerNextBox(QString* said, bool ok = true) {
  uitest::whenOpen(u"LumeraMsgTopWindow", [said, ok](platform::MessageWindow* w) {
    auto* box = static_cast<CMsgDlg*>(w);
    if (said) *said = box->message();
    uitest::clickCentre(ok ? box->okButton() : box->cancelButton());
  });
}

void writeLibraryMacro(const std::string& relative, std::int32_t id) {
  MacroRecord m;
  m.id = id;
  setMacroName(m, u"x");
  m.events[0] = {0x41, 1, 10};
  m.events[1] = {0x41, 0, 0};
  QVERIFY(writeMacroFile(platform::joinPath(macroLibraryFolder(), relative), m));
}

}  // namespace

class PickerTest : public QObject {
  Q_OBJECT

  std::unique_ptr<uitest::Recorder> main_;
  std::uint64_t now_ = 1000;

  void prepare(CKeyFunPickDlg& dlg) {
    dlg.SetTickSource([this] { return now_; });
  }

 private slots:
  void initTestCase() {
    main_ = std::make_unique<uitest::Recorder>(nullptr, Qt::FramelessWindowHint);
    main_->setGeometry(100, 50, 800, 500);
    main_->show();
    QVERIFY(QTest::qWaitForWindowExposed(main_.get()));
    theConfig().keyLayout()[kKey] = layoutRecord();
    uiHooks().functionName = [](const KeyFunction& f) { return platform::formatU16("fn %08X", f.dwFunID); };
    theConfig().options().MacroDir = 1;
  }
  void cleanupTestCase() {
    uiHooks().functionName = nullptr;
    theConfig().options().ModifyOpt = 1;
  }

  void layoutAndTitle() {
    KeyInfo current = layoutRecord();
    CKeyFunPickDlg dlg(main_.get(), kKey, current);
    QTimer::singleShot(0, &dlg, [&] {
      QCOMPARE(dlg.windowTitle(), QString("KeyFunPickTopWindow"));
      QCOMPARE(dlg.size(), QSize(545, 360));
      QCOMPARE(dlg.geometry().center(), main_->geometry().center());
      QCOMPARE(dlg.category(), int(CKeyFunPickDlg::kNoCategory));
      for (int c = 1; c <= 3; ++c) {
        QCOMPARE(dlg.categoryButton(c)->pos(), QPoint(27, 90 + 64 * (c - 1)));
        QVERIFY(dlg.categoryButton(c)->isVisible());
      }
      QCOMPARE(dlg.okButton()->geometry(), QRect(390, 312, 57, 30));
      QCOMPARE(dlg.cancelButton()->geometry(), QRect(465, 312, 57, 30));
      QVERIFY(!dlg.comboBox()->isVisible() && !dlg.mediaButton()->isVisible() && !dlg.macroTree()->isVisible());
      uitest::clickCentre(dlg.categoryButton(CKeyFunPickDlg::kComboCategory));
      QVERIFY(dlg.categoryButton(1)->GetCheck() && !dlg.categoryButton(2)->GetCheck());
      QCOMPARE(dlg.comboBox()->geometry(), QRect(QPoint(245, 144), QPoint(468, 169)));
      for (int i = 0; i < 4; ++i) {
        QVERIFY(dlg.modifierCheck(i)->isVisible());  // "ModifyOpt" is 1 by default
        QCOMPARE(dlg.modifierCheck(i)->geometry(), QRect(247 + 50 * i, 185, 11, 11));
      }
      uitest::saveShot(&dlg, "picker_combination");
      uitest::clickCentre(dlg.categoryButton(CKeyFunPickDlg::kMacroCategory));
      QVERIFY(!dlg.comboBox()->isVisible() && dlg.macroTree()->isVisible());
      QCOMPARE(dlg.macroTree()->geometry(), QRect(QPoint(228, 95), QPoint(457, 280)));
      uitest::clickCentre(dlg.categoryButton(CKeyFunPickDlg::kMediaCategory));
      QVERIFY(dlg.mediaButton()->isVisible() && !dlg.macroTree()->isVisible());
      QCOMPARE(dlg.mediaButton()->pos(), QPoint(245, 144));
      uitest::clickCentre(dlg.cancelButton());
    });
    QCOMPARE(dlg.doModal(), int(CKeyFunPickDlg::kCancelId));
  }

  void capture_data() {
    QTest::addColumn<int>("modifyOpt");
    QTest::addColumn<std::vector<int>>("keys");  // quads: qt key, scan code, down, ms since the start
    QTest::addColumn<int>("checks");             // bit i: click modifier check i (Shift, Ctrl, Alt, Win)
    QTest::addColumn<int>("mask");
    QTest::addColumn<int>("vk");
    QTest::addColumn<QString>("shown");
    const int ctrl = Qt::Key_Control, shift = Qt::Key_Shift, a = Qt::Key_A;
    QTest::newRow("ctrl then A within 300 ms")
        << 0 << std::vector<int>{ctrl, 37, 1, 0, a, 38, 1, 120} << 0 << 0x01 << 0x41 << "Ctrl + A";
    QTest::newRow("299 ms still one combination")
        << 0 << std::vector<int>{ctrl, 37, 1, 0, a, 38, 1, 299} << 0 << 0x01 << 0x41 << "Ctrl + A";
    QTest::newRow("300 ms starts a new capture")
        << 0 << std::vector<int>{ctrl, 37, 1, 0, a, 38, 1, 300} << 0 << 0 << 0x41 << "A";
    QTest::newRow("A again after a pause holds only A")
        << 0 << std::vector<int>{ctrl, 37, 1, 0, a, 38, 1, 100, a, 38, 0, 150, a, 38, 1, 700} << 0 << 0 << 0x41 << "A";
    QTest::newRow("ctrl twice clears and leaves ctrl")
        << 0 << std::vector<int>{ctrl, 37, 1, 0, a, 38, 1, 50, ctrl, 37, 0, 60, ctrl, 37, 1, 90} << 0 << 0x01 << 0
        << "Ctrl";
    QTest::newRow("key-ups and repeats change nothing")
        << 0 << std::vector<int>{shift, 50, 1, 0, shift, 50, 1, 20, a, 38, 1, 40, a, 38, 0, 60} << 0 << 0x02 << 0x41
        << "Shift + A";
    QTest::newRow("right-hand modifiers from the scan code")
        << 0
        << std::vector<int>{ctrl, int(sc::kRightCtrl), 1, 0, shift, int(sc::kRightShift), 1, 10, Qt::Key_AltGr,
                            int(sc::kRightAlt), 1, 20, Qt::Key_F5, 71, 1, 30}
        << 0 << 0x70 << 0x74 << "Ctrl + Alt + Shift + F5";
    QTest::newRow("windows keys") << 0
                                  << std::vector<int>{Qt::Key_Super_L, int(sc::kLeftWin), 1, 0, Qt::Key_Super_R,
                                                      int(sc::kRightWin), 1, 10, Qt::Key_Tab, 23, 1, 20}
                                  << 0 << 0x88 << 0x09 << "Win + Tab";
    QTest::newRow("keypad enter is 253")
        << 0 << std::vector<int>{Qt::Key_Enter, int(sc::kKeypadEnter), 1, 0} << 0 << 0 << 253 << "Enter";
    QTest::newRow("main enter is 13") << 0 << std::vector<int>{Qt::Key_Return, int(sc::kReturn), 1, 0} << 0 << 0
                                      << 13 << "Enter";
    QTest::newRow("ModifyOpt: shift does nothing, the check supplies it")
        << 1 << std::vector<int>{shift, 50, 1, 0, a, 38, 1, 50} << 0b0001 << 0x02 << 0x41 << "A";
    QTest::newRow("ModifyOpt: the checks add Ctrl, Alt and Win")
        << 1 << std::vector<int>{a, 38, 1, 0} << 0b1110 << 0x0D << 0x41 << "A";
    QTest::newRow("ModifyOpt: a check clicked twice is off again")
        << 1 << std::vector<int>{Qt::Key_B, 56, 1, 0} << 0b10001 << 0 << 0x42 << "B";
  }
  void capture() {
    QFETCH(int, modifyOpt);
    QFETCH(std::vector<int>, keys);
    QFETCH(int, checks);
    QFETCH(int, mask);
    QFETCH(int, vk);
    QFETCH(QString, shown);
    theConfig().options().ModifyOpt = modifyOpt;
    KeyInfo current = layoutRecord();
    current.nFnIndex = 4;
    current.funB.dwFunID = 0x04000026;
    CKeyFunPickDlg dlg(main_.get(), kKey, current);
    prepare(dlg);
    QString seen;
    QTimer::singleShot(0, &dlg, [&] {
      uitest::clickCentre(dlg.categoryButton(CKeyFunPickDlg::kComboCategory));
      const std::uint64_t start = now_;
      for (size_t i = 0; i + 4 <= keys.size(); i += 4) {
        now_ = start + std::uint64_t(keys[i + 3]);
        uitest::sendKey(&dlg, keys[i + 2] ? QEvent::KeyPress : QEvent::KeyRelease, keys[i], quint32(keys[i + 1]));
      }
      for (int i = 0; i < 5; ++i)
        if (checks & (1 << i)) uitest::clickCentre(dlg.modifierCheck(i % 4));
      seen = dlg.comboBox()->text();
      if (QTest::currentDataTag() == QString("right-hand modifiers from the scan code"))
        uitest::saveShot(&dlg, "picker_captured");
      uitest::clickCentre(dlg.okButton());
    });
    QCOMPARE(dlg.doModal(), int(CKeyFunPickDlg::kOkId));
    theConfig().options().ModifyOpt = 1;
    QCOMPARE(seen, shown);
    const KeyInfo& r = dlg.record();
    QCOMPARE(r.funA.dwFunID, 0x02000000u);
    QCOMPARE(int(r.funA.stCombo.mask), mask);
    QCOMPARE(int(r.funA.stCombo.VkCode1), vk);
    QCOMPARE(int(r.funA.stCombo.VkCode2), 0);
    // What the picker does not choose stays: the key's place, its Fn layer.
    QCOMPARE(r.funA.dwMatrixInx, 33);
    QCOMPARE(r.funA.rcKey, (std::array<std::int32_t, 4>{10, 20, 30, 40}));
    QCOMPARE(r.nFnIndex, 4);
    QCOMPARE(r.funB.dwFunID, 0x04000026u);
  }

  void keysOutsideTheCombinationCategoryAreNotCaptured() {
    theConfig().options().ModifyOpt = 0;
    CKeyFunPickDlg dlg(main_.get(), kKey, layoutRecord());
    prepare(dlg);
    QTimer::singleShot(0, &dlg, [&] {
      uitest::sendKey(&dlg, QEvent::KeyPress, Qt::Key_A, 38);
      QVERIFY(dlg.capture().empty());
      uitest::clickCentre(dlg.categoryButton(CKeyFunPickDlg::kMediaCategory));
      uitest::sendKey(&dlg, QEvent::KeyPress, Qt::Key_B, 56);
      QVERIFY(dlg.capture().empty());
      uitest::clickCentre(dlg.cancelButton());
    });
    QCOMPARE(dlg.doModal(), int(CKeyFunPickDlg::kCancelId));
    theConfig().options().ModifyOpt = 1;
  }

  void emptyChoicesAreRefused_data() {
    QTest::addColumn<int>("category");
    QTest::newRow("combination") << int(CKeyFunPickDlg::kComboCategory);
    QTest::newRow("macro") << int(CKeyFunPickDlg::kMacroCategory);
    QTest::newRow("multimedia") << int(CKeyFunPickDlg::kMediaCategory);
  }
  void emptyChoicesAreRefused() {
    QFETCH(int, category);
    CKeyFunPickDlg dlg(main_.get(), kKey, layoutRecord());
    QString said;
    bool stayed = false;
    QTimer::singleShot(0, &dlg, [&] {
      uitest::clickCentre(dlg.categoryButton(category));
      if (category == CKeyFunPickDlg::kComboCategory) uitest::clickCentre(dlg.modifierCheck(0));  // no key yet
      answerNextBox(&said);
      uitest::clickCentre(dlg.okButton());
      stayed = dlg.isRunningModal();
      uitest::clickCentre(dlg.cancelButton());
    });
    QCOMPARE(dlg.doModal(), int(CKeyFunPickDlg::kCancelId));
    QVERIFY(stayed);
    QCOMPARE(said, QString("[tc_msg3]"));
  }

  void okWithoutACategoryKeepsTheFunction() {
    KeyInfo current = layoutRecord();
    current.funA.dwFunID = 0x080000B0;
    CKeyFunPickDlg dlg(main_.get(), kKey, current);
    QTimer::singleShot(0, &dlg, [&] { uitest::clickCentre(dlg.okButton()); });
    QCOMPARE(dlg.doModal(), int(CKeyFunPickDlg::kOkId));
    QVERIFY(dlg.record() == current);
  }

  void multimediaChoice_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<uint>("funId");
    QTest::newRow("first") << 0 << 0x04000021u;
    QTest::newRow("next track") << 2 << 0x04000025u;
    QTest::newRow("volume down") << 7 << 0x04000027u;
    QTest::newRow("last") << 11 << 0x04000034u;
  }
  void multimediaChoice() {
    QFETCH(int, row);
    QFETCH(uint, funId);
    CKeyFunPickDlg dlg(main_.get(), kKey, layoutRecord());
    QString shown;
    QTimer::singleShot(0, &dlg, [&] {
      uitest::clickCentre(dlg.categoryButton(CKeyFunPickDlg::kMediaCategory));
      uitest::clickCentre(dlg.mediaButton());
      auto levels = uitest::menuLevels();
      QCOMPARE(levels.size(), size_t(1));
      QCOMPARE(levels[0]->height(), 12 * 20);
      if (row == 2) uitest::saveShot(levels[0], "picker_media_menu");
      uitest::click(levels[0], {20, row * 20 + 5});
      QTRY_VERIFY(dlg.mediaValue() >= 0);
      QCOMPARE(dlg.record().funA.dwFunID, funId);  // at once, before OK
      shown = dlg.mediaButton()->text();
      uitest::clickCentre(dlg.okButton());
    });
    QCOMPARE(dlg.doModal(), int(CKeyFunPickDlg::kOkId));
    QCOMPARE(dlg.record().funA.dwFunID, funId);
    QCOMPARE(shown, platform::format("fn %08X", funId).c_str());
    QCOMPARE(dlg.record().funA.dwMatrixInx, 33);
  }

  void opensOnTheCurrentMultimediaFunction_data() {
    QTest::addColumn<uint>("current");
    QTest::addColumn<int>("category");
    QTest::newRow("type 4, changed") << 0x04000028u << int(CKeyFunPickDlg::kMediaCategory);
    QTest::newRow("type 3, changed") << 0x03000032u << int(CKeyFunPickDlg::kMediaCategory);
    QTest::newRow("a combination") << 0x02000000u << int(CKeyFunPickDlg::kNoCategory);
  }
  void opensOnTheCurrentMultimediaFunction() {
    QFETCH(uint, current);
    QFETCH(int, category);
    KeyInfo k = layoutRecord();
    k.funA.dwFunID = current;
    k.funA.stCombo = KeyCombo{};
    CKeyFunPickDlg dlg(main_.get(), kKey, k);
    int opened = -1;
    std::int64_t value = -2;
    QTimer::singleShot(0, &dlg, [&] {
      opened = dlg.category();
      value = dlg.mediaValue();
      uitest::clickCentre(dlg.okButton());
    });
    QCOMPARE(dlg.doModal(), int(CKeyFunPickDlg::kOkId));
    QCOMPARE(opened, category);
    if (current == 0x04000028u) QCOMPARE(value, std::int64_t(0x04000028));
    QCOMPARE(dlg.record().funA.dwFunID, current);
  }

  void macroChoiceAddsAMissingMacroToTheList() {
    platform::makeFolders(macroLibraryFolder());
    writeLibraryMacro("Burst.mck", 0x123456);
    writeLibraryMacro("Games/Combo.mck", 0x0A0B0C);
    writeLibraryMacro("Games/Deep/Spin.mck", 0x010203);
    theMacroList().clear();
    ReadMacroLibrary(true);
    QCOMPARE(theMacroList().size(), size_t(3));
    // A file added after the start.
    writeLibraryMacro("Games/Later.mck", 0x0F0F0F);
    CKeyFunPickDlg dlg(main_.get(), kKey, layoutRecord());
    QTimer::singleShot(0, &dlg, [&] {
      uitest::clickCentre(dlg.categoryButton(CKeyFunPickDlg::kMacroCategory));
      CTreeCtrlEx* tree = dlg.macroTree();
      QCOMPARE(tree->GetCount(), 6);  // Games, Deep, Spin, Combo, Later, Burst
      const TreeItem games = tree->GetChildItem(kTreeRoot);
      QCOMPARE(tree->GetItemText(games), QString("Games"));
      QCOMPARE(tree->GetItemText(tree->GetNextSiblingItem(games)), QString("Burst"));
      // A folder cannot be chosen.
      tree->SelectItem(games);
      QString said;
      answerNextBox(&said);
      uitest::clickCentre(dlg.okButton());
      QCOMPARE(said, QString("[tc_msg3]"));
      const TreeItem later = dlg.macroItem(0x0F0F0F);
      QVERIFY(later);
      tree->SelectItem(later);
      uitest::saveShot(&dlg, "picker_macros");
      uitest::clickCentre(dlg.okButton());
    });
    QCOMPARE(dlg.doModal(), int(CKeyFunPickDlg::kOkId));
    QCOMPARE(dlg.record().funA.dwFunID, 0x05000000u);
    QCOMPARE(dlg.record().funA.nMacroId, 0x0F0F0F);
    QVERIFY(findMacro(theMacroList(), 0x0F0F0F));
    QCOMPARE(theMacroList().size(), size_t(4));
    QCOMPARE(dlg.record().funA.dwMatrixInx, 33);
  }

  void withoutFoldersOnlyTheRootsMacros() {
    theConfig().options().MacroDir = 0;
    CKeyFunPickDlg dlg(main_.get(), kKey, layoutRecord());
    QStringList shown;
    QTimer::singleShot(0, &dlg, [&] {
      uitest::clickCentre(dlg.categoryButton(CKeyFunPickDlg::kMacroCategory));
      for (TreeItem i : dlg.macroTree()->children(kTreeRoot)) shown << dlg.macroTree()->GetItemText(i);
      uitest::clickCentre(dlg.cancelButton());
    });
    dlg.doModal();
    theConfig().options().MacroDir = 1;
    QCOMPARE(shown, QStringList{"Burst"});
  }

  void macroOnlyMode() {
    KeyInfo current;
    current.funA.dwMatrixInx = 7;
    CKeyFunPickDlg dlg(main_.get(), 0, current);
    dlg.SetMacroOnly(true);
    bool comboShown = true, mediaShown = true, macroShown = false;
    int opened = -1;
    QTimer::singleShot(0, &dlg, [&] {
      opened = dlg.category();
      comboShown = dlg.categoryButton(CKeyFunPickDlg::kComboCategory)->isVisible();
      mediaShown = dlg.categoryButton(CKeyFunPickDlg::kMediaCategory)->isVisible();
      macroShown = dlg.macroTree()->isVisible();
      // The hot areas do nothing here.
      uitest::click(&dlg, CKeyFunPickDlg::kCloseArea.center());
      uitest::click(&dlg, CKeyFunPickDlg::kRestoreArea.center());
      QVERIFY(dlg.isRunningModal());
      dlg.macroTree()->SelectItem(dlg.macroItem(0x123456));
      uitest::saveShot(&dlg, "picker_macro_only");
      uitest::clickCentre(dlg.okButton());
    });
    QCOMPARE(dlg.doModal(), int(CKeyFunPickDlg::kOkId));
    QCOMPARE(opened, int(CKeyFunPickDlg::kMacroCategory));
    QVERIFY(!comboShown && !mediaShown && macroShown);
    QCOMPARE(dlg.record().funA.nMacroId, 0x123456);
    QCOMPARE(dlg.record().funA.dwMatrixInx, 7);
  }

  void gesturePageOpensThePickerThroughTheHook() {
    const UiHooks saved = uiHooks();
    installKeyAndMacroDialogs();
    std::array<KeyInfo, kGestureCount> gestures{};
    CGestDlg page(main_.get(), QImage(), QRect(0, 0, 560, 380));
    page.SetProfileGestures(&gestures);
    bool macroOnly = false;
    uitest::whenOpen(u"KeyFunPickTopWindow", [&](platform::MessageWindow* w) {
      auto* dlg = static_cast<CKeyFunPickDlg*>(w);
      macroOnly = dlg->category() == CKeyFunPickDlg::kMacroCategory &&
                  !dlg->categoryButton(CKeyFunPickDlg::kComboCategory)->isVisible();
      dlg->macroTree()->SelectItem(dlg->macroItem(0x0A0B0C));
      uitest::clickCentre(dlg->okButton());
    });
    KeyInfo out;
    QVERIFY(page.recordForChoice(0x05000000, out));
    QVERIFY(macroOnly);
    QCOMPARE(out.funA.dwFunID, 0x05000000u);
    QCOMPARE(out.funA.nMacroId, 0x0A0B0C);
    // Cancelled: nothing picked.
    uitest::whenOpen(u"KeyFunPickTopWindow", [](platform::MessageWindow* w) {
      uitest::clickCentre(static_cast<CKeyFunPickDlg*>(w)->cancelButton());
    });
    QVERIFY(!page.recordForChoice(0x05000000, out));
    uiHooks() = saved;
  }

  void hotAreas_data() {
    QTest::addColumn<QString>("area");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<int>("result");
    QTest::newRow("close") << "close" << false << int(CKeyFunPickDlg::kCancelId);
    QTest::newRow("restore, yes") << "restore" << true << int(CKeyFunPickDlg::kOkId);
    QTest::newRow("restore, no") << "restore" << false << -1;
  }
  void hotAreas() {
    QFETCH(QString, area);
    QFETCH(bool, yes);
    QFETCH(int, result);
    KeyInfo current = layoutRecord();
    current.funA.dwFunID = 0x04000026;
    current.funA.stCombo = KeyCombo{};
    CKeyFunPickDlg dlg(main_.get(), kKey, current);
    QString said;
    bool open = false;
    QTimer::singleShot(0, &dlg, [&] {
      if (area == "restore") answerNextBox(&said, yes);
      uitest::click(&dlg, area == "close" ? CKeyFunPickDlg::kCloseArea.center() : CKeyFunPickDlg::kRestoreArea.center());
      QTRY_VERIFY(area == "close" || !said.isEmpty());
      if (result < 0) {  // still open after "no"
        open = dlg.isRunningModal();
        uitest::clickCentre(dlg.cancelButton());
      }
    });
    const int got = dlg.doModal();
    if (result < 0) {
      QVERIFY(open);
      QCOMPARE(got, int(CKeyFunPickDlg::kCancelId));
    } else {
      QCOMPARE(got, result);
    }
    if (area == "restore") QCOMPARE(said, QString("[tc_msg14]"));
    if (result == CKeyFunPickDlg::kOkId) QVERIFY(dlg.record() == layoutRecord());
  }
};

QObject* makePickerTest() { return new PickerTest; }

#include "picker_test.moc"
