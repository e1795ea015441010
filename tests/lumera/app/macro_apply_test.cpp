// From the keyboard to the keyboard: a macro recorded in the macro dialog,
// given to a key through the picker's hook, applied by kavroctl to the
// simulated keyboard; the macro buffer and the key's matrix entry arrive.
#include <QLineEdit>
#include <QTimer>
#include <QtTest>
#include <memory>
#include <optional>

#include "lumera/app/key_fun_pick_dlg.h"
#include "lumera/app/key_macro_dialogs.h"
#include "lumera/app/macro_dlg.h"
#include "lumera/app/msg_dlg.h"
#include "lumera/app/png_btn.h"
#include "lumera/model/config.h"
#include "lumera/model/keycodes.h"
#include "lumera/model/matrix.h"
#include "lumera/model/profile.h"
#include "platform/paths.h"
#include "sim/sim_process.h"
#include "tests/lumera/app/ui_fixture.h"
#include "tests/support/test_env.h"

using namespace lumera;

namespace {

constexpr int kKeyIndex = 1;  // the key at matrix position 0 in the shipped layout

bool contains(const std::vector<std::uint8_t>& hay, const std::vector<std::uint8_t>& needle) {
  return std::search(hay.begin(), hay.end(), needle.begin(), needle.end()) != hay.end();
}

}  // namespace

class MacroApplyTest : public QObject {
  Q_OBJECT

 private slots:
  void recordedPickedAndApplied() {
    testsupport::ScopedEnv noReal("KAVRO_HID_REAL", "0");
    sim::SimProcess sim;
    QVERIFY2(sim.start({"q350rgb"}, KAVRO_KBSIM_PATH), sim.error().c_str());
    testsupport::ScopedEnv socket("KAVRO_SIM_SOCKET", sim.socketPath());
    testsupport::TempDir dir;
    for (const char* f : {"cfg.ini", "Led.ini", "LedUK.ini", "text.xml"})
      dir.write(std::string("prog/") + f, testsupport::readAll(testsupport::sourceDir() + "/data/lumera/" + f));
    QVERIFY(QFile::link(KAVRO_PALLOMAR_PATH, QString::fromStdString(dir.file("prog/libPallomar.so"))));
    LumeraConfig shipped;
    shipped.load(dir.file("prog"), false);

    platform::makeFolders(macroLibraryFolder());
    theMacroList().clear();
    theConfig().options().MacroDir = 1;
    const auto savedHooks = uiHooks();
    installKeyAndMacroDialogs();

    uitest::Recorder main(nullptr, Qt::FramelessWindowHint);
    main.setGeometry(100, 50, 800, 500);
    main.show();

    // Record "A down, 50 ms, A up" into a new macro.
    std::uint64_t now = 0;
    std::int32_t id = 0;
    {
      CMacroDlg dlg(&main, [](int) { return false; });
      dlg.SetTickSource([&now] { return now; });
      QTimer::singleShot(0, &dlg, [&] {
        uitest::whenOpen(u"LumeraMsgTopWindow", [](platform::MessageWindow* w) {
          auto* box = static_cast<CMsgDlg*>(w);
          box->edit()->setText("Sim burst");
          uitest::clickCentre(box->okButton());
        });
        uitest::clickCentre(dlg.newMacroButton());
        QVERIFY(dlg.currentItem());
        uitest::clickCentre(dlg.recordButton());
        now = 1000;
        uitest::sendKey(&dlg, QEvent::KeyPress, Qt::Key_A, 38);
        now = 1050;
        uitest::sendKey(&dlg, QEvent::KeyRelease, Qt::Key_A, 38);
        uitest::clickCentre(dlg.recordButton());
        id = dlg.currentRecord().id;
        uitest::clickCentre(dlg.exitButton());
      });
      dlg.doModal();
    }
    QVERIFY(id != 0);

    // Give it to the key through the hook the main window calls.
    KeyInfo current = shipped.keyLayout()[kKeyIndex], picked;
    uitest::whenOpen(u"KeyFunPickTopWindow", [id](platform::MessageWindow* w) {
      auto* dlg = static_cast<CKeyFunPickDlg*>(w);
      uitest::clickCentre(dlg->categoryButton(CKeyFunPickDlg::kMacroCategory));
      dlg->macroTree()->SelectItem(dlg->macroItem(id));
      uitest::clickCentre(dlg->okButton());
    });
    QVERIFY(uiHooks().pickKeyFunction(&main, kKeyIndex, current, picked));
    QCOMPARE(picked.funA.dwFunID, 0x05000000u);
    QCOMPARE(picked.funA.nMacroId, id);
    QCOMPARE(picked.funA.dwMatrixInx, current.funA.dwMatrixInx);

    // Store it in a profile and apply.
    const std::string appData = platform::folderOf(macroLibraryFolder());
    ProfileRecord profile = NewProfile(u"Sim", shipped);
    profile.keys[kKeyIndex] = picked;
    QVERIFY(SaveProfiles(appData, {profile}));
    QVERIFY(SaveCurrentId(appData, &profile));
    const testsupport::ProcessResult r = testsupport::runKavroctl(
        "lumera apply --program-dir " + testsupport::shellQuote(dir.file("prog")) + " --appdata " +
            testsupport::shellQuote(appData),
        dir);
    QVERIFY2(r.status == 0, (r.out + r.err).c_str());

    // The macro buffer went out in a frame...
    bool bufferSent = false;
    for (const sim::TranscriptLine& l : sim.transcript())
      if (l.out && contains(l.bytes, {0x00, 0x01, 0x32, 0x04, 0x83, 0x04, 0x00, 0x00})) bufferSent = true;
    QVERIFY(bufferSent);
    // ... and the key matrix the keyboard holds is the profile's, with the
    // key playing the macro's buffer.
    MacroList macros;
    ReadMacroLibrary(macroLibraryFolder(), true, shipped.options().MacroHasMsKey, macros);
    KeyMatrix matrix;
    QVERIFY(FillMatrix(profile, macros, shipped, matrix));
    const std::uint32_t code = matrix.codes[static_cast<std::size_t>(picked.funA.dwMatrixInx)];
    QCOMPARE(matrix.macroCount, 1);
    QVERIFY(code != 0 && std::int64_t(code) != kNoHardwareCode);
    std::vector<std::uint8_t> memory;
    QVERIFY(sim.control().dump(0, memory));
    const auto payload = matrix.payload();
    QVERIFY(memory.size() >= 0xC800 + payload.size());
    QVERIFY(std::equal(payload.begin(), payload.end(), memory.begin() + 0xC800));
    QVERIFY(sim.stop());
    uiHooks() = savedHooks;
  }
};

QObject* makeMacroApplyTest() { return new MacroApplyTest; }

#include "macro_apply_test.moc"
