// The macro library and editor, driven by synthetic keys, clicks and menu
// choices with a fake clock: what a recording stores (checked down to the
// file bytes and kavroctl's reading of them), the settings, the insert menu,
// and the library commands with their guards.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "lumera/app/macro_dlg.h"
#include "lumera/app/msg_dlg.h"
#include "lumera/app/png_btn.h"
#include "lumera/model/config.h"
#include "lumera/model/macro.h"
#include "platform/paths.h"
#include "platform/ui/virtual_keys.h"
#include "tests/lumera/app/ui_fixture.h"
#include "tests/support/test_env.h"

using namespace lumera;
namespace fs = std::filesystem;

namespace {

std::string lib(const std::string& relative = {}) {
  return relative.empty() ? macroLibraryFolder() : platform::joinPath(macroLibraryFolder(), relative);
}

MacroRecord sample(std::int32_t id, std::u16string_view name, std::uint16_t code = 0x41) {
  MacroRecord m;
  m.id = id;
  setMacroName(m, name);
  m.events[0] = {code, 1, 20};
  m.events[1] = {code, 0, 0};
  return m;
}

std::string fileBytes(const std::string& path) { return testsupport::readAll(path); }

// One answer to a message box: the text to type (text and number input),
// or the key to capture, and which button to press.
struct Answer {
  QString typed;
  bool ok = true;
};

// Answers the message boxes as they open, in order, and collects their
// messages. A box nobody expected is answered with OK and noted, so that a
// test fails instead of hanging.
class Responder {
 public:
  Responder() {
    QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
  }
  void start() { timer_.start(5); }
  void stop() { timer_.stop(); }
  void expect(std::vector<Answer> answers) {
    for (Answer& a : answers) queue_.push_back(std::move(a));
  }
  void reset() {
    queue_.clear();
    said.clear();
  }
  bool done() const { return queue_.empty(); }
  QStringList said;

 private:
  void poll() {
    const platform::WindowHandle h = platform::windowMessenger().findWindow(u"LumeraMsgTopWindow");
    auto* box = static_cast<CMsgDlg*>(platform::MessageWindow::fromHandle(h));
    if (!box || !box->isRunningModal() || !box->isVisible() || h == last_) return;
    last_ = h;
    Answer a;
    if (queue_.empty()) {
      said.append("(unexpected) " + box->message());
    } else {
      a = queue_.front();
      queue_.erase(queue_.begin());
      said.append(box->message());
    }
    if (box->edit() && !a.typed.isEmpty()) {
      if (box->mode() == CMsgDlg::kKeyCapture)
        uitest::sendKey(box->edit(), QEvent::KeyPress, Qt::Key_Shift, platform::scancode::kRightShift);
      else
        box->edit()->setText(a.typed);
    }
    uitest::clickCentre(a.ok ? box->okButton() : box->cancelButton());
  }
  QTimer timer_;
  std::vector<Answer> queue_;
  platform::WindowHandle last_ = 0;
};

Responder& responder() {
  static Responder r;
  return r;
}

// The answers of the next boxes; responder().said collects their messages.
void answer(std::vector<Answer> answers) { responder().expect(std::move(answers)); }

}  // namespace

class MacroDlgTest : public QObject {
  Q_OBJECT

  std::unique_ptr<uitest::Recorder> main_;
  std::uint64_t now_ = 5000;
  std::vector<int> inUse_;
  std::vector<int> asked_;

  // Runs the dialog with `body` inside its modal loop, then closes it.
  void run(const std::function<void(CMacroDlg&)>& body, const std::function<void(CMacroDlg&)>& setUp = {}) {
    CMacroDlg dlg(main_.get(), [this](int id) {
      asked_.push_back(id);
      return std::find(inUse_.begin(), inUse_.end(), id) != inUse_.end();
    });
    dlg.SetTickSource([this] { return now_; });
    if (setUp) setUp(dlg);
    QTimer::singleShot(0, &dlg, [&] {
      body(dlg);
      if (dlg.isRunningModal()) uitest::clickCentre(dlg.exitButton());
    });
    QCOMPARE(dlg.doModal(), platform::IDCANCEL);
  }

  static void select(CMacroDlg& dlg, TreeItem item) {
    CTreeCtrlEx* tree = dlg.libraryTree();
    tree->SelectItem(item);  // opens its folders
    tree->SelectItem(0);
    uitest::click(tree, tree->itemRect(item).center());
    QTRY_COMPARE(tree->GetSelectedItem(), item);
    QCoreApplication::processEvents();
  }
  static void menu(CMacroDlg& dlg, unsigned id, int owner = CMacroDlg::kLibraryMenu) {
    dlg.sendMessage(kMsgMenuChoice, id, owner);
  }
  void key(CMacroDlg& dlg, bool down, int qtKey, quint32 scan, std::uint64_t at, bool autoRepeat = false,
           ulong serverTime = 0) {
    now_ = at;
    QKeyEvent e(down ? QEvent::KeyPress : QEvent::KeyRelease, qtKey, Qt::NoModifier, scan, 0, 0, QString(),
                autoRepeat);
    e.setTimestamp(serverTime);
    QApplication::sendEvent(&dlg, &e);
  }
  // A new macro made through the menu, selected.
  TreeItem newMacro(CMacroDlg& dlg, const QString& name) {
    answer({{name}});
    menu(dlg, CMacroDlg::kNewMacro);
    return dlg.childNamed(dlg.libraryTree()->GetParentItem(dlg.currentItem()), name);
  }

 private slots:
  void initTestCase() {
    main_ = std::make_unique<uitest::Recorder>(nullptr, Qt::FramelessWindowHint);
    main_->setGeometry(100, 50, 800, 500);
    main_->show();
    QVERIFY(QTest::qWaitForWindowExposed(main_.get()));
    theConfig().options().MacroDir = 1;
    theConfig().options().MacroHasMsKey = 0x3F;  // every mouse code but scroll down
    responder().start();
  }
  void cleanupTestCase() { responder().stop(); }
  void init() {
    responder().reset();
    fs::remove_all(lib());
    fs::create_directories(lib());
    theMacroList().clear();
    inUse_.clear();
    asked_.clear();
  }

  void layout() {
    run([&](CMacroDlg& dlg) {
      QCOMPARE(dlg.windowTitle(), QString("MacroTopWindow"));
      QCOMPARE(dlg.size(), QSize(560, 380));
      QCOMPARE(dlg.exitButton()->pos(), QPoint(560 - 36, 10));
      QCOMPARE(dlg.recordButton()->geometry(), QRect(350, 74, 148, 29));
      QCOMPARE(dlg.autoDelayButton()->pos(), QPoint(350, 129));
      QCOMPARE(dlg.loopModeTwoButton()->pos(), QPoint(350, 156));
      QCOMPARE(dlg.loopCountButton()->pos(), QPoint(350, 184));
      QCOMPARE(dlg.insertButton()->pos(), QPoint(350, 269));
      QCOMPARE(dlg.newMacroButton()->pos(), QPoint(350, 294));
      QCOMPARE(dlg.libraryTree()->geometry(), QRect(QPoint(30, 76), QPoint(179, 325)));
      QCOMPARE(dlg.eventList()->geometry(), QRect(QPoint(190, 76), QPoint(319, 325)));
      QVERIFY(!dlg.countEdit()->isVisible());  // no macro yet
      QCOMPARE(dlg.countEdit()->geometry(), QRect(350, 207, 80, 22));
    });
  }

  void recordingStoresTheFileAndKavroctlReadsIt() {
    std::string path;
    MacroRecord stored;
    run([&](CMacroDlg& dlg) {
      const TreeItem item = newMacro(dlg, "Burst");
      QVERIFY(item);
      QCOMPARE(dlg.currentItem(), item);
      uitest::clickCentre(dlg.recordButton());
      QVERIFY(dlg.isRecording());
      QCOMPARE(dlg.recordButton()->text(), QString("[tc_macro_stop]"));
      QVERIFY(dlg.recordButton()->GetCheck());
      QVERIFY(!dlg.countEdit()->isVisible());
      key(dlg, true, Qt::Key_A, 38, 10000);
      // Holding the key: X11 repeats it as flagged release/press pairs.
      for (int i = 0; i < 5; ++i) {
        key(dlg, false, Qt::Key_A, 38, 10010 + std::uint64_t(i) * 8, true);
        key(dlg, true, Qt::Key_A, 38, 10012 + std::uint64_t(i) * 8, true);
      }
      key(dlg, true, Qt::Key_A, 38, 10045);  // a repeat without the flag
      key(dlg, false, Qt::Key_A, 38, 10050);
      QCOMPARE(dlg.rows(), (std::vector<EditorEvent>{{1, 0x41}, {2, 50}, {0, 0x41}}));
      QCOMPARE(dlg.eventList()->GetItemText(dlg.eventList()->GetChildItem(kTreeRoot)), QString("A"));
      uitest::saveShot(&dlg, "macro_recording");
      uitest::clickCentre(dlg.recordButton());
      QVERIFY(!dlg.isRecording());
      QCOMPARE(dlg.recordButton()->text(), QString("[tc_macro_start]"));
      QVERIFY(dlg.countEdit()->isVisible());
      path = dlg.itemPath(item);
      uitest::saveShot(&dlg, "macro_recorded");
    });
    QCOMPARE(path, lib("Burst.mck"));
    const std::string bytes = fileBytes(path);
    QCOMPARE(bytes.size(), size_t(1714));
    QCOMPARE(decodeMacroFile(bytes, 0, stored), MacroFileStatus::Ok);
    QCOMPARE(macroEventCount(stored), size_t(2));
    QCOMPARE(stored.events[0].keyCode, std::uint16_t(0x41));
    QCOMPARE(stored.events[0].down, std::uint16_t(1));
    QCOMPARE(stored.events[0].delay, 50u);
    QCOMPARE(stored.events[1].down, std::uint16_t(0));
    QCOMPARE(stored.events[1].delay, 0u);
    QCOMPARE(stored.changeBits, 0u);
    QVERIFY(macroName(stored) == u"Burst");
    // The program's list has it as stored.
    const MacroRecord* listed = findMacro(theMacroList(), stored.id);
    QVERIFY(listed);
    QCOMPARE(macroEventCount(*listed), size_t(2));

    testsupport::TempDir scratch;
    const testsupport::ProcessResult r = testsupport::runKavroctl("macro show " + testsupport::shellQuote(path) + " --json", scratch);
    QCOMPARE(r.status, 0);
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    QCOMPARE(o["id"].toInt(), stored.id);
    QCOMPARE(o["name"].toString(), QString("Burst"));
    const QJsonArray events = o["events"].toArray();
    QCOMPARE(events.size(), 2);
    QCOMPARE(events[0].toObject()["delay"].toInt(), 50);
    // Loop count 1, A (usage 4) pressed after 50 ms, released after the
    // shortest pause, the end mark.
    QCOMPARE(o["hardware"].toString(), QString("00 01 32 04 83 04 00 00"));
  }

  void unflaggedRepeatPairsAreDropped() {
    // As X11 delivers a held key when Qt cannot tell the pairs apart: a
    // release and a press with the same server time.
    run([&](CMacroDlg& dlg) {
      newMacro(dlg, "Held");
      uitest::clickCentre(dlg.recordButton());
      key(dlg, true, Qt::Key_A, 38, 1000, false, 7000);
      for (ulong t = 7500; t < 7800; t += 33) {
        key(dlg, false, Qt::Key_A, 38, 1000 + (t - 7000), false, t);
        key(dlg, true, Qt::Key_A, 38, 1000 + (t - 7000), false, t);
      }
      key(dlg, false, Qt::Key_A, 38, 2000, false, 8000);
      QVERIFY(dlg.hasPendingRelease());  // until it is sure no press follows
      QTRY_VERIFY(!dlg.hasPendingRelease());
      // A real release and a new press a little later are both kept.
      key(dlg, true, Qt::Key_A, 38, 2100, false, 8100);
      key(dlg, false, Qt::Key_A, 38, 2150, false, 8150);
      uitest::clickCentre(dlg.recordButton());  // stopping keeps the held-back release
      QCOMPARE(dlg.rows(), (std::vector<EditorEvent>{{1, 0x41}, {2, 1000}, {0, 0x41}, {2, 100}, {1, 0x41}, {2, 50}, {0, 0x41}}));
    });
  }

  void recordingWithoutDelaysAndItsBounds() {
    QStringList seen;
    run([&](CMacroDlg& dlg) {
      newMacro(dlg, "Fast");
      uitest::clickCentre(dlg.autoDelayButton());  // off
      QCOMPARE(dlg.currentRecord().autoDelay, 0u);
      uitest::clickCentre(dlg.recordButton());
      key(dlg, true, Qt::Key_Control, platform::scancode::kRightCtrl, 100);
      key(dlg, true, Qt::Key_Shift, platform::scancode::kLeftShift, 900);
      key(dlg, false, Qt::Key_Shift, platform::scancode::kLeftShift, 1900);
      key(dlg, false, Qt::Key_Control, platform::scancode::kRightCtrl, 2900);
      QCOMPARE(dlg.rows(), (std::vector<EditorEvent>{{1, 163}, {1, 0x10}, {0, 0x10}, {0, 163}}));
      // 4 + 2 per key: the 127th key would take the buffer to 256 bytes.
      responder().said.clear();
      answer({{}});
      for (int i = 0; i < 200 && dlg.isRecording(); ++i) key(dlg, i % 2 == 0, Qt::Key_B, 56, 3000 + std::uint64_t(i));
      seen = responder().said;
      QVERIFY(!dlg.isRecording());
      QCOMPARE(dlg.rows().size(), size_t(125));
    });
    QCOMPARE(seen, QStringList{"[tc_macro_full]"});
    MacroRecord stored;
    QCOMPARE(readMacroFile(lib("Fast.mck"), 0, stored), MacroFileStatus::Ok);
    QCOMPARE(macroEventCount(stored), size_t(125));
    QCOMPARE(stored.autoDelay, 0u);
    std::uint8_t buffer[256];
    QVERIFY(StMacro_To_HdMacro(&stored, buffer) <= 256);
  }

  void recordingStopsWhenTheWindowLosesFocus() {
    run([&](CMacroDlg& dlg) {
      newMacro(dlg, "Held");
      uitest::clickCentre(dlg.recordButton());
      key(dlg, true, Qt::Key_W, 25, 100);
      QEvent deactivate(QEvent::WindowDeactivate);
      QApplication::sendEvent(&dlg, &deactivate);
      QVERIFY(!dlg.isRecording());
      key(dlg, false, Qt::Key_W, 25, 200);  // no longer recorded
      QCOMPARE(dlg.rows().size(), size_t(1));
    });
    MacroRecord stored;
    QCOMPARE(readMacroFile(lib("Held.mck"), 0, stored), MacroFileStatus::Ok);
    QCOMPARE(macroEventCount(stored), size_t(1));
  }

  void whileRecordingOtherCommandsAreRefused() {
    QVERIFY(writeMacroFile(lib("Other.mck"), sample(0x0E0E0E, u"Other")));
    run([&](CMacroDlg& dlg) {
      newMacro(dlg, "Busy");
      responder().said.clear();
      uitest::clickCentre(dlg.recordButton());
      answer({{}, {}, {}});
      uitest::clickCentre(dlg.newMacroButton());
      menu(dlg, CMacroDlg::kNewFolder);
      dlg.sendMessage(kMsgTreeRButtonUp, CMacroDlg::kLibraryId, 0);
      QVERIFY(uitest::menuLevels().empty());
      QVERIFY(dlg.isRecording());
      // Another macro clicked: the recording stays with its macro.
      const TreeItem busy = dlg.currentItem();
      const TreeItem other = dlg.childNamed(0, "Other");
      uitest::click(dlg.libraryTree(), dlg.libraryTree()->itemRect(other).center());
      QTRY_COMPARE(dlg.libraryTree()->GetSelectedItem(), busy);
      QCOMPARE(dlg.currentItem(), busy);
      uitest::clickCentre(dlg.recordButton());
    });
    QCOMPARE(responder().said, (QStringList{"[tc_macro_msg17]", "[tc_macro_msg17]", "[tc_macro_msg17]"}));
    QCOMPARE(theMacroList().size(), size_t(2));  // Other (read when the dialog opened) and Busy
  }

  void recordAndInsertNeedAMacro() {
    run([&](CMacroDlg& dlg) {
      answer({{}, {}});
      uitest::clickCentre(dlg.recordButton());
      QVERIFY(!dlg.isRecording());
      QVERIFY(!dlg.recordButton()->GetCheck());
      uitest::clickCentre(dlg.insertButton());
      QVERIFY(uitest::menuLevels().empty());
    });
    QCOMPARE(responder().said, (QStringList{"[tc_macro_msg1]", "[tc_macro_msg1]"}));
  }

  void repeatSettings() {
    MacroRecord mode1 = sample(0x010101, u"Odd");
    mode1.repeatMode = 1;
    QVERIFY(writeMacroFile(lib("Odd.mck"), mode1));
    theMacroList().push_back(mode1);
    run([&](CMacroDlg& dlg) {
      const TreeItem odd = dlg.itemOfMacro(0x010101);
      select(dlg, odd);
      // Mode 1 shows neither radio button.
      QVERIFY(!dlg.loopModeTwoButton()->GetCheck() && !dlg.loopCountButton()->GetCheck());
      QVERIFY(!dlg.countEdit()->isVisible());
      uitest::clickCentre(dlg.loopCountButton());
      QVERIFY(dlg.loopCountButton()->GetCheck() && dlg.countEdit()->isVisible());
      QLineEdit* edit = dlg.countEdit();
      edit->selectAll();
      QTest::keyClicks(edit, "70000");
      QCOMPARE(edit->text(), QString("65535"));
      QCOMPARE(edit->cursorPosition(), 5);
      edit->selectAll();
      QTest::keyClick(edit, Qt::Key_Backspace);
      QCOMPARE(edit->text(), QString("1"));
      edit->selectAll();
      QTest::keyClicks(edit, "0");
      QCOMPARE(edit->text(), QString("1"));
      edit->selectAll();
      QTest::keyClicks(edit, "250");
      QCOMPARE(dlg.currentRecord().loopCount, std::uint16_t(250));
      uitest::saveShot(&dlg, "macro_settings");
    });
    MacroRecord stored;
    QCOMPARE(readMacroFile(lib("Odd.mck"), 0, stored), MacroFileStatus::Ok);
    QCOMPARE(stored.repeatMode, 0u);
    QCOMPARE(stored.loopCount, std::uint16_t(250));
    run([&](CMacroDlg& dlg) {
      select(dlg, dlg.itemOfMacro(0x010101));
      QCOMPARE(dlg.countEdit()->text(), QString("250"));
      uitest::clickCentre(dlg.loopModeTwoButton());
      QVERIFY(!dlg.countEdit()->isVisible());
    });
    QCOMPARE(readMacroFile(lib("Odd.mck"), 0, stored), MacroFileStatus::Ok);
    QCOMPARE(stored.repeatMode, 2u);
  }

  void insertMenu_data() {
    QTest::addColumn<int>("row");  // menu row
    QTest::addColumn<bool>("autoDelay");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<std::vector<int>>("rows");  // kind, value pairs after the sample's rows
    QTest::newRow("key press") << 0 << true << "x" << std::vector<int>{1, 161};
    QTest::newRow("key release") << 1 << true << "x" << std::vector<int>{0, 161};
    QTest::newRow("delay") << 2 << true << "1200" << std::vector<int>{2, 1200};
    QTest::newRow("left click with the pause") << 3 << true << "" << std::vector<int>{1, 240, 2, 50, 0, 240};
    QTest::newRow("left click without delays") << 3 << false << "" << std::vector<int>{1, 240, 0, 240};
    QTest::newRow("scroll up is one release") << 8 << true << "" << std::vector<int>{0, 245};
  }
  void insertMenu() {
    QFETCH(int, row);
    QFETCH(bool, autoDelay);
    QFETCH(QString, typed);
    QFETCH(std::vector<int>, rows);
    MacroRecord m = sample(0x020202, u"Ins");
    m.autoDelay = autoDelay ? 1 : 0;
    QVERIFY(writeMacroFile(lib("Ins.mck"), m));
    theMacroList().push_back(m);
    std::vector<EditorEvent> expected = {{1, 0x41}, {2, 20}, {0, 0x41}};
    for (size_t i = 0; i + 1 < rows.size(); i += 2) expected.push_back({rows[i], std::uint32_t(rows[i + 1])});
    run([&](CMacroDlg& dlg) {
      select(dlg, dlg.itemOfMacro(0x020202));
      uitest::clickCentre(dlg.insertButton());
      auto levels = uitest::menuLevels();
      QCOMPARE(levels.size(), size_t(1));
      QCOMPARE(levels[0]->height(), (3 + 6) * 20);  // scroll down (bit 6) is not allowed
      if (row == 3) uitest::saveShot(levels[0], "macro_insert_menu");
      if (row < 3) answer({{typed}});
      uitest::click(levels[0], {20, row * 20 + 5});
      QTRY_COMPARE(dlg.rows(), expected);
    });
    MacroRecord stored;
    QCOMPARE(readMacroFile(lib("Ins.mck"), 0x3F, stored), MacroFileStatus::Ok);
    std::vector<EditorEvent> tidied = expected;
    tidyEditorEvents(tidied);
    QCOMPARE(editorEventsOf(stored), tidied);
  }

  void editAndDeleteEvents() {
    MacroRecord m = sample(0x030303, u"Edit");
    QVERIFY(writeMacroFile(lib("Edit.mck"), m));
    theMacroList().push_back(m);
    run([&](CMacroDlg& dlg) {
      select(dlg, dlg.itemOfMacro(0x030303));
      CTreeCtrlEx* list = dlg.eventList();
      const std::vector<TreeItem> items = list->children(kTreeRoot);
      // Double click on the delay: a new number, kept within 1..65280.
      answer({{"99999"}});
      uitest::sendMouse(list, QEvent::MouseButtonDblClick, list->itemRect(items[1]).center(), Qt::LeftButton,
                        Qt::LeftButton);
      QTRY_COMPARE(dlg.rows()[1], (EditorEvent{2, 65280}));
      QCOMPARE(list->GetItemText(items[1]), QString("65280 ms"));
      // Edit through the menu: a modifier-only capture gives the key's code.
      list->SelectItem(items[0]);
      answer({{"shift"}});
      menu(dlg, CMacroDlg::kEditEvent, CMacroDlg::kEventMenu);
      QCOMPARE(dlg.rows()[0], (EditorEvent{1, 161}));
      // Delete key on the event list.
      list->SelectItem(items[2]);
      uitest::sendKey(list, QEvent::KeyRelease, Qt::Key_Delete, 119);
      QTRY_COMPARE(dlg.rows().size(), size_t(2));
    });
    MacroRecord stored;
    QCOMPARE(readMacroFile(lib("Edit.mck"), 0, stored), MacroFileStatus::Ok);
    QCOMPARE(macroEventCount(stored), size_t(1));
    QCOMPARE(stored.events[0].keyCode, std::uint16_t(161));
    QCOMPARE(stored.events[0].delay, 65280u);
  }

  void upAndDownMoveTheEventSelection() {
    MacroRecord m = sample(0x040404, u"Keys");
    QVERIFY(writeMacroFile(lib("Keys.mck"), m));
    theMacroList().push_back(m);
    run([&](CMacroDlg& dlg) {
      select(dlg, dlg.itemOfMacro(0x040404));
      const std::vector<TreeItem> items = dlg.eventList()->children(kTreeRoot);
      uitest::sendKey(&dlg, QEvent::KeyPress, Qt::Key_Down, 116);
      QCOMPARE(dlg.eventList()->GetSelectedItem(), TreeItem(0));  // on the release
      uitest::sendKey(&dlg, QEvent::KeyRelease, Qt::Key_Down, 116);
      uitest::sendKey(&dlg, QEvent::KeyRelease, Qt::Key_Down, 116);
      QCOMPARE(dlg.eventList()->GetSelectedItem(), items[1]);
      uitest::sendKey(&dlg, QEvent::KeyRelease, Qt::Key_Up, 111);
      QCOMPARE(dlg.eventList()->GetSelectedItem(), items[0]);
      // Enter, Escape and Space do nothing here.
      for (int k : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Space}) uitest::sendKey(&dlg, QEvent::KeyPress, k, 0);
      QVERIFY(dlg.isRunningModal());
    });
  }

  void names_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("said");
    QTest::newRow("full stop") << "v1.2" << "[tc_tip1]";
    QTest::newRow("hyphen") << "a-b" << "[tc_tip1]";
    QTest::newRow("leading dollar") << "$hidden" << "[tc_tip1]";
    QTest::newRow("control character") << QString("tab\there") << "[tc_tip1]";
    QTest::newRow("40 characters") << QString(40, 'x') << "[tc_tip1]";
    QTest::newRow("a sibling's name in other case") << "BURST" << "[tc_macro_msg8]";
    QTest::newRow("39 characters are fine") << QString(39, 'y') << "";
  }
  void names() {
    QFETCH(QString, name);
    QFETCH(QString, said);
    QVERIFY(writeMacroFile(lib("Burst.mck"), sample(0x050505, u"Burst")));
    theMacroList().push_back(sample(0x050505, u"Burst"));
    int count = 0;
    run([&](CMacroDlg& dlg) {
      answer({{name}, {}});
      menu(dlg, CMacroDlg::kNewMacro);
      count = dlg.libraryTree()->GetCount();
    });
    if (said.isEmpty()) {
      QCOMPARE(count, 2);
      QVERIFY(platform::fileExists(lib(name.toStdString() + ".mck")));
    } else {
      QCOMPARE(count, 1);
      QCOMPARE(responder().said.value(1), said);
      QCOMPARE(theMacroList().size(), size_t(1));
    }
  }

  void newFoldersAndTheDepthLimit() {
    run([&](CMacroDlg& dlg) {
      TreeItem parent = 0;
      for (int level = 1; level <= 20; ++level) {
        answer({{QString("L%1").arg(level)}});
        menu(dlg, CMacroDlg::kNewFolder);
        const TreeItem f = dlg.childNamed(parent, QString("L%1").arg(level));
        QVERIFY(f);
        QCOMPARE(dlg.libraryTree()->GetSelectedItem(), f);
        parent = f;
      }
      responder().said.clear();
      answer({{}});
      menu(dlg, CMacroDlg::kNewFolder);  // a 21st level
      QCOMPARE(dlg.libraryTree()->children(parent).size(), size_t(0));
      QCOMPARE(responder().said, QStringList{"[tc_macro_deep]"});
      // A macro at the deepest level is stored and read back.
      newMacro(dlg, "Deep");
    });
    std::string deep = lib();
    for (int level = 1; level <= 20; ++level) deep = platform::joinPath(deep, "L" + std::to_string(level));
    QVERIFY(platform::isDirectory(deep));
    QVERIFY(platform::fileExists(platform::joinPath(deep, "Deep.mck")));
    MacroList again;
    QCOMPARE(ReadMacroLibrary(lib(), true, 0, again), size_t(1));
  }

  void renameMacroAndFolder() {
    fs::create_directories(lib("Games"));
    QVERIFY(writeMacroFile(lib("Games/Burst.mck"), sample(0x060606, u"Burst")));
    writeSkinLike(lib("Games/Games.png"));
    theMacroList().push_back(sample(0x060606, u"Burst"));
    run([&](CMacroDlg& dlg) {
      const TreeItem burst = dlg.itemOfMacro(0x060606);
      select(dlg, burst);
      answer({{"Rapid"}});
      menu(dlg, CMacroDlg::kRename);
      QCOMPARE(dlg.libraryTree()->GetItemText(burst), QString("Rapid"));
      // A case-only rename of the item itself is no clash.
      answer({{"RAPID"}});
      menu(dlg, CMacroDlg::kRename);
      QCOMPARE(dlg.libraryTree()->GetItemText(burst), QString("RAPID"));
      const TreeItem games = dlg.libraryTree()->GetParentItem(burst);
      select(dlg, games);
      answer({{"Shooters"}});
      menu(dlg, CMacroDlg::kRename);
      QCOMPARE(dlg.libraryTree()->GetItemText(games), QString("Shooters"));
      QVERIFY(dlg.childNamed(games, "RAPID"));
    });
    QVERIFY(!platform::fileExists(lib("Games")));
    QVERIFY(platform::fileExists(lib("Shooters/Shooters.png")));
    MacroRecord stored;
    QCOMPARE(readMacroFile(lib("Shooters/RAPID.mck"), 0, stored), MacroFileStatus::Ok);
    QVERIFY(macroName(stored) == u"RAPID");
    QCOMPARE(stored.id, 0x060606);
    QVERIFY(macroName(*findMacro(theMacroList(), 0x060606)) == u"RAPID");
  }

  void deleteMacroAndFolderWithTheInUseTest() {
    fs::create_directories(lib("Games/Inner"));
    QVERIFY(writeMacroFile(lib("Loose.mck"), sample(0x070701, u"Loose")));
    QVERIFY(writeMacroFile(lib("Games/Burst.mck"), sample(0x070702, u"Burst")));
    for (int id : {0x070701, 0x070702}) theMacroList().push_back(sample(id, u"x"));
    run([&](CMacroDlg& dlg) {
      // Deleting with nothing selected.
      answer({{}});
      menu(dlg, CMacroDlg::kDeleteItem);
      // A macro in use stays.
      inUse_ = {0x070701};
      select(dlg, dlg.itemOfMacro(0x070701));
      answer({{}});
      menu(dlg, CMacroDlg::kDeleteItem);
      QVERIFY(dlg.itemOfMacro(0x070701));
      // A file that appeared inside the folder after the tree was read is
      // tested too.
      QVERIFY(writeMacroFile(lib("Games/Inner/Later.mck"), sample(0x070703, u"Later")));
      inUse_ = {0x070703};
      select(dlg, dlg.childNamed(0, "Games"));
      answer({{}});
      menu(dlg, CMacroDlg::kDeleteItem);
      QVERIFY(dlg.childNamed(0, "Games"));
      // Not in use: the folder goes, on the disk too.
      inUse_.clear();
      answer({{}});
      menu(dlg, CMacroDlg::kDeleteItem);
      QVERIFY(!dlg.childNamed(0, "Games"));
      // The Delete key on the library deletes a macro, after asking.
      select(dlg, dlg.itemOfMacro(0x070701));
      answer({{}});
      uitest::sendKey(dlg.libraryTree(), QEvent::KeyRelease, Qt::Key_Delete, 119);
      QTRY_VERIFY(!dlg.itemOfMacro(0x070701));
    });
    QCOMPARE(responder().said.value(0), QString("Operation failed, hItem = 0x0, pItem = 0x0."));
    QCOMPARE(responder().said.value(1), QString("[tc_msg6]"));
    QVERIFY(std::find(asked_.begin(), asked_.end(), 0x070703) != asked_.end());
    QVERIFY(!platform::fileExists(lib("Games")));
    QVERIFY(!platform::fileExists(lib("Loose.mck")));
    QVERIFY(theMacroList().empty());
  }

  void importMacroGuards_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("said");
    QTest::newRow("1713 bytes") << "short" << "Read macro file failed. error=0x0";
    QTest::newRow("1715 bytes") << "long" << "Read macro file failed. error=0x0";
    QTest::newRow("wrong magic") << "magic" << "[tc_tip3]";
    QTest::newRow("scroll down not allowed") << "scroll" << "This macro contains unsupported key.";
    QTest::newRow("a FIFO is not read") << "fifo" << "[tc_tip2]  0x16";
    QTest::newRow("a name the library refuses") << "name" << "[tc_tip1]";
    QTest::newRow("a sibling has the name") << "sibling" << "[tc_macro_msg8]";
    QTest::newRow("taken id gets a new one") << "dup" << "";
  }
  void importMacroGuards() {
    QFETCH(QString, kind);
    QFETCH(QString, said);
    testsupport::TempDir outside;
    std::string file = outside.file(kind == "name" ? "bad-name.mck" : "Outside.mck");
    MacroRecord m = sample(0x080808, u"Whatever");
    std::string bytes = encodeMacroFile(m);
    if (kind == "short") bytes.pop_back();
    if (kind == "long") bytes.push_back('\0');
    if (kind == "magic") bytes[0] = 0;
    if (kind == "scroll") bytes = encodeMacroFile(sample(0x080808, u"S", kMouseScrollDown));
    if (kind == "fifo")
      QCOMPARE(::mkfifo(file.c_str(), 0600), 0);
    else
      outside.write(fs::path(file).filename().string(), bytes);
    if (kind == "sibling") QVERIFY(writeMacroFile(lib("outside.mck"), sample(0x090909, u"outside")));
    if (kind == "dup" || kind == "sibling") theMacroList().push_back(sample(0x080808, u"Taken"));
    std::int32_t newId = 0;
    run(
        [&](CMacroDlg& dlg) {
          answer({{}});
          menu(dlg, CMacroDlg::kImportMacro);
          if (said.isEmpty()) {
            QCOMPARE(dlg.libraryTree()->GetItemText(dlg.currentItem()), QString("Outside"));
            newId = dlg.currentRecord().id;
            QCOMPARE(dlg.rows().size(), size_t(3));
          }
        },
        [&](CMacroDlg& dlg) {
          CMacroDlg::FileChooser c;
          c.openMacro = [file](QWidget*) { return QString::fromStdString(file); };
          dlg.SetFileChooser(c);
        });
    if (said.isEmpty()) {
      QVERIFY(responder().said.isEmpty());
      QVERIFY(newId != 0x080808);
      MacroRecord stored;
      QCOMPARE(readMacroFile(lib("Outside.mck"), 0, stored), MacroFileStatus::Ok);
      QCOMPARE(stored.id, newId);
      QVERIFY(macroName(stored) == u"Outside");
      QCOMPARE(theMacroList().size(), size_t(2));
    } else {
      QCOMPARE(responder().said.value(0), said);
      QVERIFY(!platform::fileExists(lib("Outside.mck")));
    }
  }

  void folderExportedAndImportedBackUnchanged() {
    fs::create_directories(lib("Set/Sub"));
    QVERIFY(writeMacroFile(lib("Set/One.mck"), sample(0x0A0001, u"One")));
    QVERIFY(writeMacroFile(lib("Set/Sub/Two.mck"), sample(0x0A0002, u"Two", 0x42)));
    writeSkinLike(lib("Set/Set.png"));
    ReadMacroLibrary(true);
    QCOMPARE(theMacroList().size(), size_t(2));
    testsupport::TempDir away;
    fs::create_directories(away.file("target"));
    // A link inside the library is not followed out of it.
    fs::create_symlink(away.path(), lib("Set/escape"));
    QString target = QString::fromStdString(away.file("target"));
    run(
        [&](CMacroDlg& dlg) {
          select(dlg, dlg.childNamed(0, "Set"));
          menu(dlg, CMacroDlg::kExportFolder);
          // Into itself: refused.
          target = QString::fromStdString(lib("Set/Sub"));
          answer({{}});
          menu(dlg, CMacroDlg::kExportFolder);
        },
        [&](CMacroDlg& dlg) {
          CMacroDlg::FileChooser c;
          c.chooseFolder = [&target](QWidget*) { return target; };
          dlg.SetFileChooser(c);
        });
    QCOMPARE(responder().said, QStringList{"[tc_macro_itself]"});
    QVERIFY(!fs::exists(lib("Set/Sub/Set")));
    const std::string exported = away.file("target/Set");
    QCOMPARE(fileBytes(exported + "/One.mck"), fileBytes(lib("Set/One.mck")));
    QCOMPARE(fileBytes(exported + "/Sub/Two.mck"), fileBytes(lib("Set/Sub/Two.mck")));
    QVERIFY(fs::exists(exported + "/Set.png"));
    QVERIFY(!fs::exists(exported + "/escape"));

    // Imported back under another folder: the same files, new ids.
    fs::create_directories(lib("Back"));
    responder().said.clear();
    target = QString::fromStdString(exported);
    std::int32_t oneId = 0;
    run(
        [&](CMacroDlg& dlg) {
          select(dlg, dlg.childNamed(0, "Back"));
          menu(dlg, CMacroDlg::kImportFolder);
          const TreeItem set = dlg.childNamed(dlg.childNamed(0, "Back"), "Set");
          QVERIFY(set);
          QCOMPARE(dlg.libraryTree()->children(set).size(), size_t(2));  // Sub, One
          oneId = std::int32_t(dlg.libraryTree()->value(dlg.childNamed(set, "One")));
          uitest::saveShot(&dlg, "macro_library");
          // The library's own folder into itself: refused.
          target = QString::fromStdString(lib("Back"));
          select(dlg, set);
          answer({{}});
          menu(dlg, CMacroDlg::kImportFolder);
        },
        [&](CMacroDlg& dlg) {
          CMacroDlg::FileChooser c;
          c.chooseFolder = [&target](QWidget*) { return target; };
          dlg.SetFileChooser(c);
        });
    QCOMPARE(responder().said, QStringList{"[tc_macro_itself]"});
    QVERIFY(!fs::exists(lib("Back/Set/Back")));
    MacroRecord a, b;
    QCOMPARE(readMacroFile(lib("Back/Set/One.mck"), 0, a), MacroFileStatus::Ok);
    QCOMPARE(readMacroFile(lib("Set/One.mck"), 0, b), MacroFileStatus::Ok);
    QCOMPARE(a.id, oneId);
    QVERIFY(a.id != b.id);
    a.id = b.id;
    QCOMPARE(encodeMacroFile(a), encodeMacroFile(b));  // otherwise unchanged
    QVERIFY(findMacro(theMacroList(), oneId));
    fs::remove(lib("Set/escape"));
  }

  void exportMacroCopiesTheFile() {
    QVERIFY(writeMacroFile(lib("Solo.mck"), sample(0x0B0B0B, u"Solo")));
    theMacroList().push_back(sample(0x0B0B0B, u"Solo"));
    testsupport::TempDir away;
    QString offered;
    const QString to = QString::fromStdString(away.file("copy.mck"));
    run(
        [&](CMacroDlg& dlg) {
          select(dlg, dlg.itemOfMacro(0x0B0B0B));
          menu(dlg, CMacroDlg::kExportMacro);
        },
        [&](CMacroDlg& dlg) {
          CMacroDlg::FileChooser c;
          c.saveMacro = [&offered, to](QWidget*, const QString& name) {
            offered = name;
            return to;
          };
          dlg.SetFileChooser(c);
        });
    QCOMPARE(offered, QString("Solo.mck"));
    QCOMPARE(fileBytes(to.toStdString()), fileBytes(lib("Solo.mck")));
    QVERIFY(responder().said.isEmpty());
    // A place that cannot be written: the user is told.
    const QString nowhere = QString::fromStdString(away.file("no/such/folder/copy.mck"));
    fs::create_directories(away.file("no"));
    away.write("no/such", "a file, not a folder");
    run(
        [&](CMacroDlg& dlg) {
          select(dlg, dlg.itemOfMacro(0x0B0B0B));
          answer({{}});
          menu(dlg, CMacroDlg::kExportMacro);
        },
        [&](CMacroDlg& dlg) {
          CMacroDlg::FileChooser c;
          c.saveMacro = [nowhere](QWidget*, const QString&) { return nowhere; };
          dlg.SetFileChooser(c);
        });
    QCOMPARE(responder().said.size(), 1);
    QVERIFY(responder().said[0].startsWith("[tc_macro_savefail]"));
  }

  void aFailedSaveIsShownAndNotListed() {
    // Something that is not a macro file is in the way.
    fs::create_directories(lib("Lost.mck/inside"));
    int count = -1;
    TreeItem lost = 1;
    run([&](CMacroDlg& dlg) {
      answer({{"Lost"}, {}});
      menu(dlg, CMacroDlg::kNewMacro);
      count = dlg.libraryTree()->GetCount();
      lost = dlg.childNamed(0, "Lost");
    });
    QCOMPARE(count, 2);  // only the folders in the way
    QCOMPARE(lost, TreeItem(0));
    QVERIFY(responder().said.value(1).startsWith("[tc_macro_savefail]"));
    QVERIFY(theMacroList().empty());
  }

  void contextMenusByPlace_data() {
    QTest::addColumn<QString>("place");
    QTest::addColumn<int>("items");
    QTest::newRow("empty space") << "empty" << 5;
    QTest::newRow("a folder") << "folder" << 7;
    QTest::newRow("a macro") << "macro" << 3;
    QTest::newRow("an event") << "event" << 2;
  }
  void contextMenusByPlace() {
    QFETCH(QString, place);
    QFETCH(int, items);
    fs::create_directories(lib("Games"));
    QVERIFY(writeMacroFile(lib("Games/Burst.mck"), sample(0x0C0C0C, u"Burst")));
    theMacroList().push_back(sample(0x0C0C0C, u"Burst"));
    int height = -1;
    run([&](CMacroDlg& dlg) {
      CTreeCtrlEx* tree = place == "event" ? dlg.eventList() : dlg.libraryTree();
      TreeItem at = 0;
      if (place == "folder") at = dlg.childNamed(0, "Games");
      if (place == "macro" || place == "event") {
        select(dlg, dlg.itemOfMacro(0x0C0C0C));
        if (place == "macro") at = dlg.itemOfMacro(0x0C0C0C);
        if (place == "event") at = dlg.eventList()->GetChildItem(kTreeRoot);
      }
      const QPoint p = at ? tree->itemRect(at).center() : QPoint(20, tree->height() - 5);
      uitest::sendMouse(tree, QEvent::MouseButtonPress, p, Qt::RightButton, Qt::RightButton);
      uitest::sendMouse(tree, QEvent::MouseButtonRelease, p, Qt::RightButton, Qt::NoButton);
      QTRY_COMPARE(uitest::menuLevels().size(), size_t(1));
      height = uitest::menuLevels()[0]->height();
      if (place == "folder") uitest::saveShot(uitest::menuLevels()[0], "macro_context_menu");
      closeSkinMenu();
    });
    QCOMPARE(height, items * 20);
  }

  void duplicateIdsOnTheDiskAreRenumbered() {
    QVERIFY(writeMacroFile(lib("Alpha.mck"), sample(0x0D0D0D, u"Alpha")));
    QVERIFY(writeMacroFile(lib("Beta.mck"), sample(0x0D0D0D, u"Beta")));  // copied by hand
    QCOMPARE(ReadMacroLibrary(true), size_t(2));
    QVERIFY(theMacroList()[0].id != theMacroList()[1].id);
    MacroRecord alpha, beta;
    QCOMPARE(readMacroFile(lib("Alpha.mck"), 0, alpha), MacroFileStatus::Ok);
    QCOMPARE(readMacroFile(lib("Beta.mck"), 0, beta), MacroFileStatus::Ok);
    QCOMPARE(alpha.id, 0x0D0D0D);
    QCOMPARE(beta.id, theMacroList()[1].id);  // written back
    // The same in the dialog for a copy that appears while the program runs.
    QVERIFY(writeMacroFile(lib("Gamma.mck"), sample(0x0D0D0D, u"Gamma")));
    std::int32_t gammaId = 0;
    run([&](CMacroDlg& dlg) { gammaId = std::int32_t(dlg.libraryTree()->value(dlg.childNamed(0, "Gamma"))); });
    QVERIFY(gammaId != 0x0D0D0D && gammaId != beta.id);
    MacroRecord gamma;
    QCOMPARE(readMacroFile(lib("Gamma.mck"), 0, gamma), MacroFileStatus::Ok);
    QCOMPARE(gamma.id, gammaId);
    QCOMPARE(theMacroList().size(), size_t(3));
  }

 private:
  static void writeSkinLike(const std::string& path) {
    QImage img(8, 8, QImage::Format_ARGB32);
    img.fill(Qt::yellow);
    img.save(QString::fromStdString(path));
  }
};

QObject* makeMacroDlgTest() { return new MacroDlgTest; }

#include "macro_dlg_test.moc"
