// The message box in its five modes, the progress dialog driven from another
// thread, and the gesture page with its function menu.
#include <QLineEdit>
#include <QTimer>
#include <QtTest>
#include <future>
#include <memory>
#include <thread>

#include "lumera/app/gest_dlg.h"
#include "lumera/app/msg_dlg.h"
#include "lumera/app/png_btn.h"
#include "lumera/app/progress_dlg.h"
#include "platform/clock.h"
#include "platform/format.h"
#include "platform/ui/virtual_keys.h"
#include "tests/lumera/app/ui_fixture.h"

using namespace lumera;
namespace sc = platform::scancode;
using platform::windowMessenger;

Q_DECLARE_METATYPE(std::vector<int>)

namespace {

// One key of a capture sequence: Qt key, native scan code, down or up.
struct K {
  int key;
  quint32 scan;
  bool down;
};

void feed(QWidget* target, const std::vector<K>& keys) {
  for (const K& k : keys) uitest::sendKey(target, k.down ? QEvent::KeyPress : QEvent::KeyRelease, k.key, k.scan);
}

std::vector<std::string> gDebugLines;
void collectDebug(std::string_view line, void*) { gDebugLines.emplace_back(line); }

}  // namespace

class DialogsTest : public QObject {
  Q_OBJECT

  std::unique_ptr<uitest::Recorder> main_;

 private slots:
  void initTestCase() {
    main_ = std::make_unique<uitest::Recorder>(nullptr, Qt::FramelessWindowHint);
    main_->setGeometry(100, 50, 600, 400);
    main_->show();
    QVERIFY(QTest::qWaitForWindowExposed(main_.get()));
  }

  void infoBoxLayoutAndKeys() {
    CMsgDlg* seen = nullptr;
    QRect geometry, okAt;
    bool cancelShown = true, openAfterKeys = false;
    uitest::whenOpen(u"LumeraMsgTopWindow", [&](platform::MessageWindow* w) {
      seen = static_cast<CMsgDlg*>(w);
      geometry = seen->geometry();
      okAt = seen->okButton()->geometry();
      cancelShown = seen->cancelButton()->isVisible();
      for (int key : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Space, Qt::Key_F1}) QTest::keyClick(seen, Qt::Key(key));
      QCoreApplication::processEvents();
      openAfterKeys = seen->isRunningModal();
      uitest::saveShot(seen, "msgdlg_info");
      uitest::clickCentre(seen->okButton());
    });
    InfoBox(main_.get(), "The keyboard was not found. Plug it in and start again.");
    QVERIFY(seen);
    QVERIFY(openAfterKeys);  // Enter, Escape, Space and F1 do nothing here
    QCOMPARE(geometry.size(), QSize(520, 210));
    QCOMPARE(geometry.center(), main_->geometry().center());
    QCOMPARE(okAt, QRect(520 - 87, 210 - 45, 57, 30));  // OK takes Cancel's place
    QVERIFY(!cancelShown);
  }

  void questionAnswers_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("answer");
    QTest::newRow("ok") << "ok" << 1;
    QTest::newRow("cancel") << "cancel" << 0;
    QTest::newRow("exit") << "exit" << 0;
    QTest::newRow("closed by title from a thread") << "close" << 0;
  }
  void questionAnswers() {
    QFETCH(QString, how);
    QFETCH(int, answer);
    std::thread closer;
    QRect okAt;
    uitest::whenOpen(u"LumeraMsgTopWindow", [&](platform::MessageWindow* w) {
      auto* dlg = static_cast<CMsgDlg*>(w);
      okAt = dlg->okButton()->geometry();
      if (how == "ok") uitest::clickCentre(dlg->okButton());
      if (how == "cancel") uitest::clickCentre(dlg->cancelButton());
      if (how == "exit") uitest::clickCentre(dlg->exitButton());
      if (how == "close")
        closer = std::thread([] {
          windowMessenger().postMessage(windowMessenger().findWindow(u"LumeraMsgTopWindow"), platform::WM_CLOSE, 0, 0);
        });
      if (how == "ok") uitest::saveShot(dlg, "msgdlg_question");
    });
    QCOMPARE(AskYesNo(main_.get(), "Restore the default settings?"), answer);
    if (closer.joinable()) closer.join();
    QCOMPARE(okAt, QRect(520 - 164, 210 - 45, 57, 30));
  }

  void textInput() {
    QString out = "unchanged";
    uitest::whenOpen(u"LumeraMsgTopWindow", [&](platform::MessageWindow* w) {
      auto* dlg = static_cast<CMsgDlg*>(w);
      QCOMPARE(dlg->edit()->geometry(), QRect((520 - 400) / 2, 100, 400, 24));
      QTest::keyClicks(dlg->edit(), "Profile A");
      uitest::saveShot(dlg, "msgdlg_text");
      QTest::keyClick(dlg->edit(), Qt::Key_Return);  // Enter presses OK here
    });
    QCOMPARE(AskText(main_.get(), "Name of the new folder:", out), 1);
    QCOMPARE(out, QString("Profile A"));
    // OK with an empty text is a cancel.
    out = "unchanged";
    uitest::whenOpen(u"LumeraMsgTopWindow", [&](platform::MessageWindow* w) {
      uitest::clickCentre(static_cast<CMsgDlg*>(w)->okButton());
    });
    QCOMPARE(AskText(main_.get(), "Name:", out), 0);
    QCOMPARE(out, QString("unchanged"));
  }

  void numberInput_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<uint>("number");
    QTest::newRow("in range") << "1500" << "1500" << 1500u;
    QTest::newRow("the limit") << "65280" << "65280" << 65280u;
    QTest::newRow("above the limit") << "65281" << "65280" << 65280u;
    QTest::newRow("far above") << "999999999999999999999" << "65280" << 65280u;
    QTest::newRow("letters refused") << "12ab3" << "123" << 123u;
  }
  void numberInput() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(uint, number);
    CMsgDlg dlg(main_.get(), CMsgDlg::kNumber, "Delay (ms):");
    QString seen;
    QTimer::singleShot(0, &dlg, [&] {
      QTest::keyClicks(dlg.edit(), typed);
      seen = dlg.edit()->text();
      QTest::keyClick(dlg.edit(), Qt::Key_Enter);
    });
    QCOMPARE(dlg.doModal(), int(CMsgDlg::kOkId));
    QCOMPARE(seen, shown);
    QCOMPARE(dlg.resultNumber(), number);
  }

  void keyCapture_data() {
    QTest::addColumn<std::vector<int>>("keys");  // triples: qt key, scan code, down
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("key1");
    QTest::addColumn<int>("key2");
    QTest::addColumn<QString>("shown");
    auto seq = [](std::initializer_list<K> ks) {
      std::vector<int> v;
      for (const K& k : ks) v.insert(v.end(), {k.key, int(k.scan), k.down ? 1 : 0});
      return v;
    };
    const K ctrlDown{Qt::Key_Control, sc::kLeftCtrl, true}, aDown{Qt::Key_A, 38, true}, aUp{Qt::Key_A, 38, false},
        bDown{Qt::Key_B, 56, true}, cDown{Qt::Key_C, 54, true};
    QTest::newRow("ctrl a b, c ignored") << seq({ctrlDown, aDown, aUp, bDown, cDown}) << 0x01 << 0x41 << 0x42
                                         << "Ctrl + A + B";
    QTest::newRow("the same key twice stays first") << seq({aDown, aUp, aDown, bDown}) << 0 << 0x41 << 0x42 << "A + B";
    QTest::newRow("right-hand modifiers")
        << seq({{Qt::Key_Control, sc::kRightCtrl, true}, {Qt::Key_Shift, sc::kRightShift, true},
                {Qt::Key_AltGr, sc::kRightAlt, true}, {Qt::Key_Super_R, sc::kRightWin, true}})
        << 0xF0 << 0 << 0 << "R_Ctrl + R_Alt + R_Shift + R_Win";
    QTest::newRow("left modifiers in display order")
        << seq({{Qt::Key_Super_L, sc::kLeftWin, true}, {Qt::Key_Shift, sc::kLeftShift, true},
                {Qt::Key_Alt, sc::kLeftAlt, true}, ctrlDown})
        << 0x0F << 0 << 0 << "Ctrl + Alt + Shift + Win";
    QTest::newRow("keypad enter is 253") << seq({{Qt::Key_Enter, sc::kKeypadEnter, true}}) << 0 << 253 << 0 << "Enter";
    QTest::newRow("escape and return are captured")
        << seq({{Qt::Key_Escape, 9, true}, {Qt::Key_Return, sc::kReturn, true}}) << 0 << 0x1B << 0x0D << "Esc + Enter";
  }
  void keyCapture() {
    QFETCH(std::vector<int>, keys);
    QFETCH(int, modifiers);
    QFETCH(int, key1);
    QFETCH(int, key2);
    QFETCH(QString, shown);
    CMsgDlg dlg(main_.get(), CMsgDlg::kKeyCapture, "Press the key combination");
    QString seen;
    bool stillOpen = false;
    QTimer::singleShot(0, &dlg, [&] {
      std::vector<K> ks;
      for (size_t i = 0; i + 3 <= keys.size(); i += 3)
        ks.push_back({keys[i], quint32(keys[i + 1]), keys[i + 2] != 0});
      feed(dlg.edit(), ks);
      seen = dlg.edit()->text();
      stillOpen = dlg.isRunningModal();
      if (QTest::currentDataTag() == QString("ctrl a b, c ignored")) uitest::saveShot(&dlg, "msgdlg_keycapture");
      uitest::clickCentre(dlg.okButton());
    });
    QCOMPARE(dlg.doModal(), int(CMsgDlg::kOkId));
    QVERIFY(stillOpen);
    QCOMPARE(int(dlg.capture().modifiers), modifiers);
    QCOMPARE(int(dlg.capture().key1), key1);
    QCOMPARE(int(dlg.capture().key2), key2);
    QCOMPARE(seen, shown);
  }

  void repeatedKeyMessagesAreIgnored() {
    CMsgDlg dlg(nullptr, CMsgDlg::kKeyCapture, "x");
    QVERIFY(dlg.captureKey(true, 0x41));
    QVERIFY(!dlg.captureKey(true, 0x41));  // auto-repeat of the same down
    QVERIFY(dlg.captureKey(false, 0x41));
    QVERIFY(!dlg.captureKey(false, 0x41));
    QVERIFY(!dlg.captureKey(true, 0));
  }

  void missingBackgroundClosesAtOnce() {
    const QString path = skinPath("msg_nr.png");
    QVERIFY(QFile::rename(path, path + ".away"));
    CMsgDlg dlg(main_.get(), CMsgDlg::kQuestion, "x");
    bool shown = false;
    QTimer::singleShot(0, &dlg, [&] { shown = dlg.isVisible(); });
    QCOMPARE(dlg.doModal(), int(CMsgDlg::kCancelId));
    QVERIFY(QFile::rename(path + ".away", path));
    QVERIFY(!shown);
  }

  void progressFollowsAWorkerAndClosesOnWmClose() {
    auto owned = std::make_unique<CProgressDlg>(main_.get());
    CProgressDlg& dlg = *owned;
    dlg.SetImages(skinPath("progress_nr.png"), skinPath("progress_ov.png"));
    dlg.SetBarRect(45, 101, 486, 123);
    dlg.SetText("Writing the settings into the keyboard...", QRect(QPoint(15, 12), QPoint(455, 32)));
    dlg.SetRange(0, 100);
    dlg.SetDebug(true);
    gDebugLines.clear();
    platform::setDebugSink(collectDebug, nullptr);
    std::vector<int> positions;  // as the poll saw them
    QColor at40, beyond40;
    // The worker starts posting only once the poll has seen the dialog's
    // first position, so the sample of 0 never races the worker thread.
    std::promise<void> firstSample;
    bool sampled = false;
    std::thread worker, closer;
    QTimer::singleShot(0, &dlg, [&] {
      // As the apply worker does: find the dialog by its title, post the
      // progress, then close it twice.
      worker = std::thread([started = firstSample.get_future()]() mutable {
        started.wait();
        platform::WindowHandle h = 0;
        for (int i = 0; i < 400 && !h; ++i) {
          h = windowMessenger().findWindow(u"MyProgressDlg..");
          if (!h) platform::sleepMs(25);
        }
        for (int p : {20, 40}) windowMessenger().postMessage(h, kMsgProgress, p, 0);
      });
    });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (positions.empty() || positions.back() != dlg.position()) positions.push_back(dlg.position());
      if (!sampled) {
        sampled = true;
        firstSample.set_value();
      }
      if (dlg.position() == 40 && at40 == QColor()) {
        at40 = uitest::pixelAt(&dlg, {45 + 170, 110});
        beyond40 = uitest::pixelAt(&dlg, {45 + 190, 110});
        uitest::saveShot(&dlg, "progress_40");
        closer = std::thread([h = dlg.handle()] {
          windowMessenger().postMessage(h, kMsgProgress, 100, 0);
          windowMessenger().postMessage(h, platform::WM_CLOSE, 0, 0);
          windowMessenger().postMessage(h, platform::WM_CLOSE, 0, 0);
        });
      }
    });
    poll.start(1);
    QCOMPARE(dlg.doModal(), platform::IDCANCEL);
    poll.stop();
    worker.join();
    closer.join();
    QCOMPARE(positions.front(), 0);
    QCOMPARE(at40, uitest::kBar);  // 45 + 40 * 441 / 100 = 221: filled up to there
    QVERIFY(beyond40 != uitest::kBar);
    // The second WM_CLOSE, still queued, reaches the closed dialog harmlessly.
    QCoreApplication::sendPostedEvents();
    owned.reset();
    platform::setDebugSink(nullptr, nullptr);
    QCOMPARE(gDebugLines, (std::vector<std::string>{"CProgressDlg::OnSetPos = 20", "CProgressDlg::OnSetPos = 40",
                                                    "CProgressDlg::OnSetPos = 100", "CProgressDlg::DestroyWindow"}));
  }

  void progressPositionRules_data() {
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("posted");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("barEnd");
    QTest::newRow("half") << 0 << 100 << 50 << 50 << 45 + 50 * 441 / 100;
    QTest::newRow("full") << 0 << 100 << 100 << 100 << 486;
    QTest::newRow("above the range shows empty") << 0 << 100 << 150 << 0 << 45;
    QTest::newRow("below the range") << 10 << 20 << 5 << 10 << 45;
    QTest::newRow("default range 0..10") << 0 << 10 << 7 << 7 << 45 + 7 * 441 / 10;
    QTest::newRow("empty range does not divide by zero") << 5 << 5 << 5 << 5 << 45;
  }
  void progressPositionRules() {
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(int, posted);
    QFETCH(int, position);
    QFETCH(int, barEnd);
    CProgressDlg dlg;
    dlg.SetImages("progress_nr.png", "progress_ov.png");
    dlg.SetBarRect(45, 101, 486, 123);
    dlg.SetRange(minimum, maximum);
    dlg.sendMessage(kMsgProgress, static_cast<platform::WPARAM>(posted), 0);
    QCOMPARE(dlg.position(), position);
    QCOMPARE(dlg.barEnd(), barEnd);
  }

  void progressSkinLossAndExitButton() {
    uitest::shownBoxes().clear();
    CProgressDlg lost(main_.get());
    lost.SetImages("progress_nr.png", "no_such_bar.png");
    QCOMPARE(lost.doModal(), platform::IDCANCEL);
    QCOMPARE(uitest::shownBoxes().size(), size_t(1));
    QVERIFY(uitest::shownBoxes()[0].text == u"ProgressDlg skin loss");

    CProgressDlg dlg(main_.get());
    dlg.SetImages("progress_nr.png", "progress_ov.png");
    QTimer::singleShot(0, &dlg, [&] {
      QCOMPARE(dlg.windowTitle(), QString("MyProgressDlg.."));
      QTest::keyClick(&dlg, Qt::Key_Escape);  // swallowed
      QTest::keyClick(&dlg, Qt::Key_Return);
      QVERIFY(dlg.isRunningModal());
      uitest::clickCentre(dlg.exitButton());
    });
    QCOMPARE(dlg.doModal(), platform::IDCANCEL);
  }

  void gesturePageLayoutAndSelection() {
    std::array<KeyInfo, kGestureCount> gestures{};
    gestures[1].funA.dwFunID = 0x04000025;
    gestures[1].funA.dwMatrixInx = 120;
    uiHooks().functionName = [](const KeyFunction& f) { return platform::formatU16("fn %08X", f.dwFunID); };
    QImage mainBg = loadSkin("main_nr.png");
    CGestDlg page(main_.get(), mainBg, QRect(20, 10, 640, 380));
    QVERIFY(page.isCreated());
    page.SetProfileGestures(&gestures);
    const QPoint expected[] = {{80, 20}, {220, 20}, {360, 20}, {500, 20}, {80, 150}, {220, 150}, {360, 150}};
    for (int i = 0; i < kGestureCount; ++i) QCOMPARE(page.gestureButton(i)->geometry(), QRect(expected[i], QSize(100, 100)));
    QCOMPARE(page.functionButton()->geometry(), QRect(100, 310, 193, 27));
    QVERIFY(page.functionButton()->text().isEmpty());

    uitest::clickCentre(page.gestureButton(1));
    QCOMPARE(page.selectedGesture(), 1);
    QVERIFY(page.gestureButton(1)->GetCheck());
    QCOMPARE(page.functionButton()->text(), QString("fn 04000025"));
    uitest::clickCentre(page.gestureButton(4));
    QVERIFY(!page.gestureButton(1)->GetCheck());
    QCOMPARE(page.functionButton()->text(), QString("[tc_msg21]"));  // no function yet
    page.show();
    uitest::saveShot(&page, "gesture_page");
    uiHooks().functionName = nullptr;
  }

  void gestureFunctionButtonWithoutSelectionExplains() {
    std::array<KeyInfo, kGestureCount> gestures{};
    CGestDlg page(main_.get(), QImage(), QRect(0, 0, 560, 380));
    page.SetProfileGestures(&gestures);
    QString said;
    uitest::whenOpen(u"LumeraMsgTopWindow", [&](platform::MessageWindow* w) {
      said = static_cast<CMsgDlg*>(w)->message();
      uitest::clickCentre(static_cast<CMsgDlg*>(w)->okButton());
    });
    uitest::clickCentre(page.functionButton());
    QCOMPARE(said, QString("[tc_msg10]"));
    QVERIFY(uitest::menuLevels().empty());
  }

  void gestureMenuChoices_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<uint>("funId");
    QTest::addColumn<int>("mask");
    QTest::addColumn<int>("vk1");
    QTest::addColumn<int>("macroId");
    QTest::newRow("media item") << "row 2" << 0x04000025u << 0 << 0 << 0;
    QTest::newRow("submenu header itself") << "row 14" << 0x080000B4u << 0 << 0 << 0;
    QTest::newRow("submenu item") << "sub 15 1" << 0x080000B6u << 0 << 0 << 0;
    QTest::newRow("combination") << "combo" << 0x020000A1u << 0x02 << 0x46 << 0;
    QTest::newRow("combination cancelled") << "combo cancel" << 0x080000A2u << 0 << 0 << 0;
    QTest::newRow("macro") << "macro" << 0x05000000u << 0 << 0 << 9;
    QTest::newRow("macro without a picker") << "macro none" << 0x080000A2u << 0 << 0 << 0;
  }
  void gestureMenuChoices() {
    QFETCH(QString, how);
    QFETCH(uint, funId);
    QFETCH(int, mask);
    QFETCH(int, vk1);
    QFETCH(int, macroId);
    std::array<KeyInfo, kGestureCount> gestures{};
    gestures[3].funA.dwFunID = 0x080000A2;
    gestures[3].funA.dwMatrixInx = 77;
    if (how == "macro")
      uiHooks().pickMacro = [](QWidget*, KeyInfo& k) {
        k.funA.nMacroId = 9;
        k.funA.dwMatrixInx = 5;  // whatever the picker says, the position stays
        return true;
      };
    CGestDlg page(main_.get(), QImage(), QRect(0, 0, 560, 380));
    page.SetProfileGestures(&gestures);
    uitest::clickCentre(page.gestureButton(3));
    uitest::clickCentre(page.functionButton());
    auto levels = uitest::menuLevels();
    QCOMPARE(levels.size(), size_t(1));
    QCOMPARE(levels[0]->height(), 17 * 20);
    QCOMPARE(levels[0]->width(), 193 - 4);
    if (how.startsWith("combo")) {
      uitest::whenOpen(u"LumeraMsgTopWindow", [&](platform::MessageWindow* w) {
        auto* dlg = static_cast<CMsgDlg*>(w);
        QCOMPARE(dlg->message(), QString("[tc_combo_tips]"));
        feed(dlg->edit(), {{Qt::Key_Shift, sc::kLeftShift, true}, {Qt::Key_F, 41, true}});
        uitest::clickCentre(how == "combo" ? dlg->okButton() : dlg->cancelButton());
      });
    }
    int row = 0;
    if (how.startsWith("row")) row = how.mid(4).toInt();
    if (how.startsWith("combo")) row = 10;
    if (how.startsWith("macro")) row = 11;
    if (how.startsWith("sub")) {
      const int header = how.split(' ')[1].toInt(), item = how.split(' ')[2].toInt();
      uitest::sendMouse(levels[0], QEvent::MouseMove, {20, header * 20 + 5}, Qt::NoButton, Qt::NoButton);
      levels = uitest::menuLevels();
      QCOMPARE(levels.size(), size_t(2));
      QCOMPARE(levels[1]->height(), 3 * 20);
      if (QTest::currentDataTag() == QString("submenu item")) uitest::saveShot(levels[1], "gesture_submenu");
      uitest::click(levels[1], {20, item * 20 + 5});
    } else {
      uitest::click(levels[0], {20, row * 20 + 5});
    }
    // The choice is posted; dialogs it opens run from there.
    QTRY_VERIFY(uitest::menuLevels().empty());
    QTRY_COMPARE(gestures[3].funA.dwFunID, funId);
    QTest::qWait(10);
    QCOMPARE(gestures[3].funA.dwFunID, funId);
    QCOMPARE(int(gestures[3].funA.stCombo.mask), mask);
    QCOMPARE(int(gestures[3].funA.stCombo.VkCode1), vk1);
    QCOMPARE(gestures[3].funA.nMacroId, macroId);
    QCOMPARE(gestures[3].funA.dwMatrixInx, 77);
    uiHooks().pickMacro = nullptr;
  }
};

QObject* makeDialogsTest() { return new DialogsTest; }

#include "dialogs_test.moc"
