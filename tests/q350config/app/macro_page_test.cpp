// The macro page in the main window against kbsim: recording through the
// hook library with a fake clock, the stored record and its place in
// "Macro.cfg", the repeat count, the delay bounds, deleting a macro a key
// uses, the category names.
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QtTest>

#include "platform/paths.h"
#include "q350config/app/app_files.h"
#include "q350config/app/hook_library.h"
#include "q350config/app/info_dlg.h"
#include "q350config/app/language.h"
#include "q350config/app/macro_dlg.h"
#include "q350config/app/main_dlg.h"
#include "q350config/settings/settings_store.h"
#include "tests/q350config/app/app_fixture.h"

using namespace q350app;

namespace {

std::uint32_t g_now = 1000;

void key(QWidget* to, bool release, bool repeat = false) {
  QKeyEvent e(release ? QEvent::KeyRelease : QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, 0x26, 0x41, 0,
              QStringLiteral("a"), repeat);
  QApplication::sendEvent(to, &e);
}

// Answers the next information dialog with OK and keeps its text.
void answerInfo(QString* text) {
  apptest::whenOpen(kInfoDlgTitle, [text](platform::MessageWindow* w) {
    *text = static_cast<CInfoDlg*>(w)->text();
    static_cast<CInfoDlg*>(w)->okButton()->click();
  });
}

CMacroDlg* macroPage(CQ350ConfigDlg& d) {
  d.tab(2)->click();
  return dynamic_cast<CMacroDlg*>(d.page(kMacrosPage));
}

// A new macro recorded as A down, (150 ms), A up, with an auto-repeat of A
// between them.
std::uint32_t recordA(CMacroDlg* page) {
  page->button(CMacroDlg::kIdNewMacro)->click();
  page->macroList()->EndEdit(true);
  const std::uint32_t id = page->macroList()->GetItemData(page->macroList()->GetCurSel());
  page->button(CMacroDlg::kIdRecord)->click();
  key(page, false);
  g_now += 150;
  key(page, false, true);  // auto-repeat: dropped
  g_now += 150;
  key(page, true);
  page->button(CMacroDlg::kIdRecord)->click();
  return id;
}

}  // namespace

class MacroPageTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    setLanguageFlag(0);
    q350::settings().macroLibrary.clear();
    QVERIFY(platform::writeFileAtomic(q350::settings().macroLibraryPath(), q350::settings().macroLibrary.toBytes()));
  }

  void recordingStoresTheRecordInMacroCfg() {
    apptest::Simulator sim;
    QVERIFY(sim.ok());
    CQ350ConfigDlg dlg;
    apptest::runMainWindow(dlg, [&](CQ350ConfigDlg& d) {
      CMacroDlg* page = macroPage(d);
      QVERIFY(page);
      const std::uint32_t id = recordA(page);
      QCOMPARE(id >> 24, 21u);
      const q350::MacroLibrary& lib = q350::settings().macroLibrary;
      const int index = lib.indexOf(id);
      QVERIFY(index >= 0);
      const q350::StoredMacro& m = lib.at(static_cast<std::size_t>(index));
      QCOMPARE(m.size, 116u);
      QCOMPARE(m.tag, q350::kMacroTag);
      QCOMPARE(m.repeat, 1u);
      QCOMPARE(m.count, 3u);
      QCOMPARE(m.events[0], 0xC0000041u);
      QCOMPARE(m.events[1], 0xA0000000u | 300u);  // the repeat left no delay of its own
      QCOMPARE(m.events[2], 0xE0000041u);
      QCOMPARE(QString::fromStdU16String(m.nameText()), QStringLiteral("New Macro"));
      // The same bytes in the file, at the record's place.
      const std::string file = testsupport::readAll(q350::settings().macroLibraryPath());
      QCOMPARE(file.size(), q350::MacroLibrary::kFileSize);
      unsigned char bytes[q350::StoredMacro::kSize];
      m.store(bytes);
      QCOMPARE(file.substr(static_cast<std::size_t>(index) * q350::StoredMacro::kSize, q350::StoredMacro::kSize),
               std::string(reinterpret_cast<const char*>(bytes), sizeof bytes));

      // Without delays: only the keys. The second recording starts clean:
      // its first A is no repeat of the last one recorded.
      page->button(CMacroDlg::kIdNoDelays)->click();
      const std::uint32_t second = recordA(page);
      QVERIFY(second != id);
      const q350::StoredMacro* n = lib.find(second);
      QVERIFY(n);
      QCOMPARE(n->count, 2u);
      QCOMPARE(n->events[0], 0xC0000041u);
      QCOMPARE(n->events[1], 0xE0000041u);
      page->button(CMacroDlg::kIdNoDelays)->click();

      // Repeat count 0 or empty stores 1; 7 stores 7.
      for (const auto& [text, want] : {std::pair<QString, unsigned>{"7", 7}, {"0", 1}, {"", 1}}) {
        // Typed: the page saves on the user's change.
        page->repeatEdit()->selectAll();
        QTest::keyClick(page->repeatEdit(), Qt::Key_Backspace);
        if (!text.isEmpty()) QTest::keyClicks(page->repeatEdit(), text);
        QTRY_COMPARE(lib.find(second)->repeat, want);
      }

      // Hiding the page stops a recording.
      page->button(CMacroDlg::kIdRecord)->click();
      QVERIFY(page->isRecording());
      d.tab(0)->click();
      QVERIFY(!page->isRecording());
      QVERIFY(macroPage(d));
    });
  }

  void delayBoundsAndMerging() {
    apptest::Simulator sim;
    QVERIFY(sim.ok());
    CQ350ConfigDlg dlg;
    apptest::runMainWindow(dlg, [&](CQ350ConfigDlg& d) {
      CMacroDlg* page = macroPage(d);
      page->button(CMacroDlg::kIdNoDelays)->SetCheck(true);
      const std::uint32_t id = recordA(page);
      page->button(CMacroDlg::kIdNoDelays)->SetCheck(false);
      const q350::MacroLibrary& lib = q350::settings().macroLibrary;
      auto insertDelay = [&](const QString& text, int before) {
        page->eventList()->SetCurSel(before);
        page->button(CMacroDlg::kIdInsertEvent)->click();
        page->button(CMacroDlg::kIdInsertDelay)->click();
        page->delayEdit()->setText(text);
        page->button(CMacroDlg::kIdDelayOk)->click();
      };
      QString shown;
      answerInfo(&shown);
      insertDelay("60001", 1);
      QTRY_COMPARE(shown, QStringLiteral("value input rang from 0 to 60000!"));
      QCOMPARE(lib.find(id)->count, 2u);
      page->button(CMacroDlg::kIdDelayOk)->hide();
      insertDelay("60000", 1);
      QCOMPARE(lib.find(id)->count, 3u);
      QCOMPARE(lib.find(id)->events[1], 0xA0000000u | 60000u);
      // Next to a delay it adds up; the first event takes none.
      for (int i = 0; i < 6; ++i) insertDelay("60000", 2);
      QCOMPARE(lib.find(id)->count, 3u);
      QCOMPARE(lib.find(id)->events[1], 0xA0000000u | kMaxDelayMs);
      insertDelay("100", 0);
      QCOMPARE(lib.find(id)->count, 3u);
    });
  }

  void deletingAMacroInUseIsRefused() {
    apptest::Simulator sim;
    QVERIFY(sim.ok());
    CQ350ConfigDlg dlg;
    apptest::runMainWindow(dlg, [&](CQ350ConfigDlg& d) {
      CMacroDlg* page = macroPage(d);
      const std::uint32_t id = recordA(page);
      q350::SettingsStore& s = q350::settings();
      // Used by a key of another profile's file.
      const int other = (s.currentProfile() + 1) % 5;
      q350::ProfileImage image{s.profileSettings, s.keyExtra};
      image.settings.signature = q350::kProfileSignature;
      image.extra.setMacroId(7, id);
      QVERIFY(platform::writeFileAtomic(s.profilePath(other), image.toBytes()));
      // A rename typed with a space and ended with Enter is stored at once.
      QVERIFY(page->macroList()->EditItem(0));
      QLineEdit* editor = page->macroList()->editor();
      editor->selectAll();
      QTest::keyClicks(editor, QStringLiteral("Jump shot"));
      QTest::keyClick(editor, Qt::Key_Return);
      QVERIFY(!page->macroList()->isEditing());
      QCOMPARE(QString::fromStdU16String(s.macroLibrary.find(id)->nameText()), QStringLiteral("Jump shot"));
      QString shown;
      answerInfo(&shown);
      page->button(CMacroDlg::kIdDeleteMacro)->click();
      QCOMPARE(shown, QStringLiteral("The macro is being applied and cannot be deleted!"));
      QVERIFY(s.macroLibrary.find(id));
      // Reassigned there: it goes.
      image.extra.setMacroId(7, 0);
      QVERIFY(platform::writeFileAtomic(s.profilePath(other), image.toBytes()));
      page->button(CMacroDlg::kIdDeleteMacro)->click();
      QVERIFY(!s.macroLibrary.find(id));
      QCOMPARE(page->macroList()->GetCount(), 0);
    });
  }

  void takenIdsAndRefusedStores() {
    apptest::Simulator sim;
    QVERIFY(sim.ok());
    q350::SettingsStore& s = q350::settings();
    // A stored macro already has the id the clock gives next.
    g_now = 5000;
    q350::MacroImage taken;
    taken.size = 112;
    taken.id = 21u << 24 | 5000;
    taken.events = {0xC0000041u, 0xE0000041u};
    QVERIFY(s.StoreMacroImage(taken));
    CQ350ConfigDlg dlg;
    apptest::runMainWindow(dlg, [&](CQ350ConfigDlg& d) {
      CMacroDlg* page = macroPage(d);
      page->button(CMacroDlg::kIdNewMacro)->click();
      page->macroList()->EndEdit(true);
      page->button(CMacroDlg::kIdNewMacro)->click();  // same tick again
      page->macroList()->EndEdit(true);
      QCOMPARE(page->macroList()->GetCount(), 3);
      QCOMPARE(page->macroList()->GetItemData(1), (21u << 24) | 5001u);
      QCOMPARE(page->macroList()->GetItemData(2), (21u << 24) | 5002u);
      // A full library: the refusal is shown and the events go again.
      for (std::size_t i = 0; i < s.macroLibrary.size(); ++i)
        if (s.macroLibrary.at(i).tag == 0) s.macroLibrary.at(i).tag = q350::kMacroTag;
      QString shown;
      answerInfo(&shown);
      page->button(CMacroDlg::kIdRecord)->click();
      key(page, false);
      key(page, true);
      page->button(CMacroDlg::kIdRecord)->click();
      QTRY_COMPARE(shown, QStringLiteral("The macro could not be stored: the macro library is full."));
      QCOMPARE(page->eventList()->GetCount(), 0);
      QVERIFY(!s.macroLibrary.find((21u << 24) | 5002u));
    });
    g_now = 1000;
  }

  void screenshots() {
    apptest::Simulator sim;
    QVERIFY(sim.ok());
    for (int flag : {0, 1}) {
      setLanguageFlag(flag);
      CQ350ConfigDlg dlg;
      apptest::runMainWindow(dlg, [&](CQ350ConfigDlg& d) {
        CMacroDlg* page = macroPage(d);
        recordA(page);
        page->eventList()->SetCurSel(1);
        page->button(CMacroDlg::kIdInsertEvent)->click();
        QVERIFY(d.grab().save(apptest::screenshotPath(flag ? "q350config_macro_sc" : "q350config_macro_en")));
      });
    }
    setLanguageFlag(0);
  }

  void categoryNames() {
    setLanguageFlag(0);
    QCOMPARE(CategoryCaption(1), QStringLiteral("Battlefield 3"));
    QCOMPARE(CategoryMenuText(1), QStringLiteral("Battlefield 3 "));
    QCOMPARE(CategoryCaption(21), QStringLiteral("Customisze"));
    QCOMPARE(CategoryMenuText(21), QStringLiteral("Customize"));
    setLanguageFlag(1);
    QCOMPARE(CategoryCaption(5), QString::fromUtf16(u"军团要塞 2"));
    QCOMPARE(CategoryMenuText(5), QString::fromUtf16(u"军团要塞2"));
    QCOMPARE(CategoryCaption(21), QString::fromUtf16(u"玩家自定义"));
    setLanguageFlag(0);
    QVERIFY(CategoryCaption(22).isEmpty());
  }
};

int main(int argc, char** argv) {
  testsupport::SandboxHome home;
  QApplication app(argc, argv);
  apptest::ProgramFolder folder;
  folder.use();
  apptest::useProgramSettings();
  LoadLanguageTexts(platform::joinPath(platform::programFolder(), "Language/en.xml"));
  hookLibrary().load(folder.file("libTessivan.so"));
  CMacroDlg::setTickSource([] { return g_now; });
  MacroPageTest t;
  return QTest::qExec(&t, argc, argv);
}

#include "macro_page_test.moc"
