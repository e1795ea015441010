// The support page in the main window against kbsim: the version texts,
// export and import of a profile, restore of the factory settings on the
// wire, and the firmware update check against manifests served from a
// local folder (KAVRO_UPDATE_BASE).
#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QProcess>
#include <QTcpServer>
#include <QtTest>

#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/ui/window_look.h"
#include "platform/ui/window_server.h"
#include "q350config/app/info_dlg.h"
#include "q350config/app/language.h"
#include "q350config/app/main_dlg.h"
#include "q350config/app/support_dlg.h"
#include "q350config/app/update_fetch.h"
#include "q350config/settings/settings_store.h"
#include "tests/q350config/app/app_fixture.h"

using namespace q350app;

namespace {

// The next information dialog the user must answer (not the "updating" box,
// which has the same title): its text kept, then OK or Cancel.
void answerInfo(QString* text, bool ok = true) {
  apptest::whenOpen(
      kInfoDlgTitle,
      [text, ok](platform::MessageWindow* w) {
        auto* info = static_cast<CInfoDlg*>(w);
        *text = info->text();
        (ok ? info->okButton() : info->cancelButton())->click();
      },
      20000, true);
}

CDlgSupport* supportPage(CQ350ConfigDlg& d) {
  d.tab(3)->click();
  return dynamic_cast<CDlgSupport*>(d.page(kSupportPage));
}

QString g_chosen;  // what the file dialogs answer

void clearProfileTable() {
  platform::RegistryKey k;
  if (k.open(q350::kProfileTableKey) == platform::kRegOk) k.deleteValue(q350::kProfileTableValue);
}

// The update server: a folder whose software/q350/update.xml is the manifest.
struct Server {
  testsupport::TempDir dir;
  std::unique_ptr<testsupport::ScopedEnv> base;
  Server() { base = std::make_unique<testsupport::ScopedEnv>("KAVRO_UPDATE_BASE", "file://" + dir.path()); }
  void manifest(int current, const std::string& newfile) {
    dir.write("software/q350/update.xml", "<update><firmware><current>" + std::to_string(current) +
                                              "</current><newfile>" + newfile + "</newfile></firmware></update>");
  }
  std::string url(const std::string& name) const { return "file://" + dir.path() + "/" + name; }
};

// Answers the information dialog showing `text` with OK once it is shown.
void answerText(const QString& text, bool* answered) {
  auto* timer = new QTimer;
  timer->setInterval(20);
  QObject::connect(timer, &QTimer::timeout, [timer, text, answered] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* info = dynamic_cast<CInfoDlg*>(w);
      if (info && info->isVisible() && info->text() == text) {
        *answered = true;
        timer->deleteLater();
        info->okButton()->click();
        return;
      }
    }
  });
  timer->start();
}

// The updater's two windows, shown and closed on command.
struct UpdaterWindows {
  QWidget updater, update;
  UpdaterWindows() {
    updater.setWindowTitle(QString::fromUtf16(kUpdaterWindowTitle));
    update.setWindowTitle(QString::fromUtf16(kUpdateWindowTitle));
  }
};

// A stand-in updater that notes its arguments.
bool installStandIn(const testsupport::TempDir& notes) {
  const std::string path = platform::joinPath(CDlgSupport::updateFolder(), kFirmwareUpdaterFile);
  QDir().mkpath(QString::fromStdString(CDlgSupport::updateFolder()));
  if (!platform::writeFileAtomic(path, "#!/bin/sh\necho \"$@\" > " + testsupport::shellQuote(notes.file("args")) + "\n"))
    return false;
  return QFile::setPermissions(QString::fromStdString(path),
                               QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

}  // namespace

class SupportPageTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    setLanguageFlag(0);
    clearProfileTable();
    apptest::boxes().clear();
  }

  void versionTexts() {
    apptest::Simulator sim;
    QVERIFY(sim.ok());
    QVERIFY(sim.sim().control().setFirmware(0, 107));
    CQ350ConfigDlg dlg;
    apptest::runMainWindow(dlg, [&](CQ350ConfigDlg& d) {
      CDlgSupport* page = supportPage(d);
      QVERIFY(page);
      QVERIFY(page->isVisible());
      QCOMPARE(page->programVersionText(), QStringLiteral("V 1.0.7"));
      QCOMPARE(page->firmwareVersionText(), QStringLiteral("V 1.0.7"));
      page->SetFirmwareVersion(QString());
      QCOMPARE(page->firmwareVersionText(), QStringLiteral("Unknown"));
      page->SetFirmwareVersion(QStringLiteral("V3"));  // cut short: nothing beyond it is read
      QCOMPARE(page->firmwareVersionText(), QStringLiteral("Unknown"));
      page->SetFirmwareVersion(QStringLiteral("V300"));
      QCOMPARE(page->firmwareVersionText(), QStringLiteral("V 3.0.0"));
      page->grab().save(apptest::screenshotPath("support_page"));
      QString text;
      answerInfo(&text);
      page->button(CDlgSupport::kIdProgramUpdate)->click();
      QCOMPARE(text, QStringLiteral("Firmware is the latest version."));
    });
  }

  void exportThenImportAndTheFailures() {
    apptest::Simulator sim;
    QVERIFY(sim.ok());
    testsupport::TempDir dir;
    CQ350ConfigDlg dlg;
    apptest::runMainWindow(dlg, [&](CQ350ConfigDlg& d) {
      CDlgSupport* page = supportPage(d);
      q350::SettingsStore& s = q350::settings();
      s.profileSettings.lightingMode = 3;
      g_chosen = QString::fromStdString(dir.file("mine.cfg"));
      page->button(CDlgSupport::kIdExport)->click();
      const std::string exported = testsupport::readAll(dir.file("mine.cfg"));
      QCOMPARE(exported.size(), std::size_t{64676});
      s.profileSettings.lightingMode = 5;
      page->button(CDlgSupport::kIdImport)->click();
      QCOMPARE(s.profileSettings.lightingMode, 3u);
      QVERIFY(apptest::boxes().empty());

      // A file with a wrong signature is refused with its message and
      // changes nothing.
      const std::string wrong = dir.write("wrong.cfg", std::string(64676, '\x11'));
      g_chosen = QString::fromStdString(wrong);
      page->button(CDlgSupport::kIdImport)->click();
      QCOMPARE(apptest::boxes().size(), std::size_t{1});
      QCOMPARE(QString::fromStdU16String(apptest::boxes()[0].text), g_chosen + QStringLiteral(" is an invaild Profile!"));
      QCOMPARE(s.profileSettings.lightingMode, 3u);

      // A file that cannot be read, an export that cannot be written.
      QString text;
      answerInfo(&text);
      g_chosen = QString::fromStdString(dir.file("missing.cfg"));
      page->button(CDlgSupport::kIdImport)->click();
      QCOMPARE(text, QStringLiteral("The profile could not be read."));
      answerInfo(&text);
      text.clear();
      g_chosen = QString::fromStdString(dir.file("no/such/folder/out.cfg"));
      page->button(CDlgSupport::kIdExport)->click();
      QCOMPARE(text, QStringLiteral("The profile could not be exported."));
      // Cancelled dialogs do nothing.
      g_chosen.clear();
      page->button(CDlgSupport::kIdImport)->click();
      QCOMPARE(s.profileSettings.lightingMode, 3u);
    });
  }

  void restorePutsTheFactoryBytesOnTheWire() {
    // The reference: kavroctl applying a factory profile.
    apptest::ProgramFolder factory;
    {
      q350::SettingsStore store(factory.path() + "/");
      store.setPauseFunction([](unsigned) {});
      QVERIFY(store.CreateDefaultProfile(store.profilePath(0)));
    }
    apptest::Simulator sim;
    QVERIFY(sim.ok());
    std::vector<std::string> gui;
    CQ350ConfigDlg dlg;
    apptest::runMainWindow(dlg, [&](CQ350ConfigDlg& d) {
      CDlgSupport* page = supportPage(d);
      q350::SettingsStore& s = q350::settings();
      s.profileSettings.lightingMode = 4;
      s.keyMap[0] = s.defaultKeyMap[1];
      // Cancel leaves everything as it is.
      QString text;
      answerInfo(&text, false);
      page->button(CDlgSupport::kIdRestore)->click();
      QCOMPARE(text, QStringLiteral("Do you want to restore the default setting?"));
      QCOMPARE(s.profileSettings.lightingMode, 4u);
      const std::size_t from = sim.size();
      answerInfo(&text);
      page->button(CDlgSupport::kIdRestore)->click();
      QTRY_VERIFY_WITH_TIMEOUT(sim.size() > from + 20 && !d.isWriting(), 20000);
      QCOMPARE(s.profileSettings.lightingMode, 1u);
      gui = sim.lines(from);
    });
    QVERIFY(gui.size() > 20);
    clearProfileTable();
    const std::size_t from = sim.size();
    testsupport::TempDir scratch;
    const testsupport::ProcessResult cli =
        testsupport::runKavroctl("q350 apply --program-dir " + testsupport::shellQuote(factory.path()), scratch);
    QCOMPARE(cli.status, 0);
    QCOMPARE(gui, sim.lines(from));
  }

  void addressesAndDownloads() {
    qunsetenv("KAVRO_UPDATE_BASE");
    QCOMPARE(ManifestAddress(), QStringLiteral("https://download.kavro.example/software/q350/update.xml"));
    QVERIFY(!IsAcceptedAddress(QStringLiteral("file:///tmp/x")));  // no file base, no file address
    Server server;
    QVERIFY(IsAcceptedAddress(QStringLiteral("https://download.kavro.example/a.exe")));
    QVERIFY(!IsAcceptedAddress(QStringLiteral("http://download.kavro.example/a.exe")));
    QVERIFY(!IsAcceptedAddress(QStringLiteral("ftp://download.kavro.example/a.exe")));
    QVERIFY(IsAcceptedAddress(QString::fromStdString(server.url("a.exe"))));
    QVERIFY(!IsAcceptedAddress(QString::fromStdString(server.url("../a.exe"))));
    QVERIFY(!IsAcceptedAddress(QStringLiteral("file:///etc/passwd")));

    testsupport::TempDir out;
    server.dir.write("a.exe", "updater");
    QVERIFY(FetchFile(QString::fromStdString(server.url("a.exe")), out.file("a.exe")));
    QCOMPARE(testsupport::readAll(out.file("a.exe")), std::string("updater"));
    // A failed fetch leaves nothing behind, not even the old target.
    QVERIFY(!FetchFile(QString::fromStdString(server.url("gone.exe")), out.file("a.exe")));
    QVERIFY(!QFile::exists(QString::fromStdString(out.file("a.exe"))));
    QVERIFY(!QFile::exists(QString::fromStdString(out.file("a.exe.part"))));

    // A server that accepts and never answers: the fetch gives up.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    const QString address = QStringLiteral("https://127.0.0.1:%1/update.xml").arg(silent.serverPort());
    QVERIFY(!FetchFile(address, out.file("update.xml"), 300));
    QVERIFY(!QFile::exists(QString::fromStdString(out.file("update.xml"))));
  }

  void firmwareUpdateCheck() {
    apptest::Simulator sim;
    QVERIFY(sim.ok());
    Server server;
    CQ350ConfigDlg dlg;
    apptest::runMainWindow(dlg, [&](CQ350ConfigDlg& d) {
      CDlgSupport* page = supportPage(d);
      const std::string inUse = platform::joinPath(CDlgSupport::updateFolder(), "update.xml");
      const std::string updater = platform::joinPath(CDlgSupport::updateFolder(), kFirmwareUpdaterFile);
      QFile::remove(QString::fromStdString(updater));
      page->SetFirmwareVersion(QStringLiteral("V107"));

      // Latest: the served manifest replaces the one in use.
      server.manifest(107, server.url("fw.exe"));
      QString text;
      answerInfo(&text);
      QVERIFY(!page->CheckFirmwareUpdate());
      QCOMPARE(text, QStringLiteral("Firmware is the latest version."));
      QCOMPARE(testsupport::readAll(inUse), testsupport::readAll(server.dir.file("software/q350/update.xml")));
      QCOMPARE(page->updaterAddress(), QString::fromStdString(server.url("fw.exe")));

      // Newer: the question; Cancel fetches and starts nothing.
      server.manifest(108, server.url("fw.exe"));
      server.dir.write("fw.exe", "#!/bin/sh\n");
      answerInfo(&text, false);
      QVERIFY(!page->CheckFirmwareUpdate());
      QCOMPARE(text, QStringLiteral("A new version of firmware is available for the gaming keyboard, whether to update or not?"));
      QVERIFY(!QFile::exists(QString::fromStdString(updater)));

      // The manifest cannot be fetched: the one in use still answers.
      QFile::remove(QString::fromStdString(server.dir.file("software/q350/update.xml")));
      answerInfo(&text, false);
      text.clear();
      QVERIFY(!page->CheckFirmwareUpdate());
      QVERIFY(text.startsWith(QStringLiteral("A new version")));

      // The updater's address must be https (or under the test server).
      server.manifest(108, "http://download.kavro.example/fw.exe");
      answerInfo(&text, false);
      QVERIFY(!page->CheckFirmwareUpdate());
      QVERIFY(!page->DownloadFirmwareUpdater());
      QVERIFY(!QFile::exists(QString::fromStdString(updater)));
      server.manifest(108, server.url("fw.exe"));
      answerInfo(&text, false);
      QVERIFY(!page->CheckFirmwareUpdate());
      QVERIFY(page->DownloadFirmwareUpdater());
      QCOMPARE(testsupport::readAll(updater), std::string("#!/bin/sh\n"));
      QVERIFY(QFileInfo(QString::fromStdString(updater)).isExecutable());

      // V300 (firmware 3) against 107: nothing at all is shown.
      page->SetFirmwareVersion(QStringLiteral("V300"));
      server.manifest(107, server.url("fw.exe"));
      bool shown = false;
      const QPointer<QTimer> watch = apptest::whenOpen(kInfoDlgTitle, [&shown](platform::MessageWindow* w) {
        shown = true;
        static_cast<CInfoDlg*>(w)->okButton()->click();
      }, 2000);
      QVERIFY(page->CheckFirmwareUpdate());
      QVERIFY(!shown);
      delete watch.data();
    });
  }

  void updaterWindowSeenThenGoneIsSuccess() {
    apptest::Simulator sim;
    QVERIFY(sim.ok());
    testsupport::TempDir notes;
    QVERIFY(installStandIn(notes));
    UpdaterWindows windows;
    bool answered = false;
    CQ350ConfigDlg dlg;
    const apptest::RunResult run = apptest::runMainWindow(dlg, [&](CQ350ConfigDlg& d) {
      CDlgSupport* page = supportPage(d);
      QVERIFY(page->StartFirmwareUpdater());
      QTRY_COMPARE(testsupport::readAll(notes.file("args")), std::string("-KAVRO\n"));
      QVERIFY(!d.isVisible());
      QVERIFY(!d.isWatchingRemoval());
      QVERIFY(page->updatingDialog() && page->updatingDialog()->isVisible());
      QCOMPARE(page->updatingDialog()->text(), QStringLiteral("The firmware is being updated......"));
      // Until the updater's window was seen, its absence is no success.
      answerText(QStringLiteral("Drive the firmware update is successful."), &answered);
      QTRY_VERIFY(page->watchTicks() >= 2);
      QVERIFY(page->isWatching());
      QVERIFY(!answered);
      windows.updater.show();
      QTRY_VERIFY(page->hasSeenUpdater());
      QVERIFY(page->isWatching());
      QVERIFY(!answered);
      // The success message's OK ends the program, which deletes its pages.
      const QPointer<CDlgSupport> alive(page);
      windows.updater.close();
      QTRY_VERIFY_WITH_TIMEOUT(answered, 20000);
      QTRY_VERIFY_WITH_TIMEOUT(!alive, 20000);
    });
    QVERIFY(run.scriptRan);
    QVERIFY(answered);
  }

  void updaterTakingOverClosesTheProgram() {
    apptest::Simulator sim;
    QVERIFY(sim.ok());
    testsupport::TempDir notes;
    QVERIFY(installStandIn(notes));
    UpdaterWindows windows;
    CQ350ConfigDlg dlg;
    const apptest::RunResult run = apptest::runMainWindow(dlg, [&](CQ350ConfigDlg& d) {
      CDlgSupport* page = supportPage(d);
      QVERIFY(page->StartFirmwareUpdater());
      const QPointer<CDlgSupport> alive(page);
      const QPointer<CInfoDlg> updating(page->updatingDialog());
      QVERIFY(updating && updating->isVisible());
      windows.updater.show();
      windows.update.show();
      // The program closes, and its pages with it; the watch is over first.
      QTRY_VERIFY_WITH_TIMEOUT(!alive || !alive->isWatching(), 20000);
      QVERIFY(!updating || !updating->isVisible());
      QTRY_VERIFY_WITH_TIMEOUT(!alive, 20000);
      QVERIFY(!d.isVisible());
    });
    QVERIFY(run.scriptRan);
  }

  void ourFirmwareUpdaterIsSeenAndNothingPassesForSuccess() {
    // The shipped updater, a separate process: the watch finds its window
    // through the window server, and its "no firmware" status means no
    // success message.
    apptest::Simulator sim;
    QVERIFY(sim.ok());
    const std::string path = platform::joinPath(CDlgSupport::updateFolder(), kFirmwareUpdaterFile);
    QDir().mkpath(QString::fromStdString(CDlgSupport::updateFolder()));
    QFile::remove(QString::fromStdString(path));
    QVERIFY(QFile::copy(QStringLiteral(KAVRO_FIRMWARE_UPDATER), QString::fromStdString(path)));
    QString text;
    CQ350ConfigDlg dlg;
    apptest::runMainWindow(dlg, [&](CQ350ConfigDlg& d) {
      CDlgSupport* page = supportPage(d);
      QVERIFY(page->StartFirmwareUpdater());
      QVERIFY(!d.isVisible());
      QTRY_VERIFY_WITH_TIMEOUT(page->hasSeenUpdater(), 20000);
      QVERIFY(QApplication::topLevelWidgets().size() > 0);
      // The user closes the updater's window.
      answerInfo(&text);
      QVERIFY(platform::postToOtherProcess(kUpdaterWindowTitle, platform::WM_CLOSE, 0, 0));
      QTRY_VERIFY_WITH_TIMEOUT(!page->isWatching(), 20000);
      QTRY_COMPARE(text, QStringLiteral("The firmware was not updated."));
      QVERIFY(d.isVisible());
      QVERIFY(d.isWatchingRemoval());
      QVERIFY(!page->updatingDialog()->isVisible());
    });
    QVERIFY(!platform::otherProcessHasWindow(kUpdaterWindowTitle));
  }

  void programUpdaterTellsOnlyOfANewerVersion() {
    Server server;
    const auto run = [](QProcess& p) {
      p.setProgram(QStringLiteral(KAVRO_PROGRAM_UPDATER));
      p.start();
      QVERIFY(p.waitForStarted());
    };
    {  // No manifest to be had: it ends quietly, and says why on stderr.
      QProcess p;
      run(p);
      QVERIFY(p.waitForFinished(30000));
      QCOMPARE(p.exitCode(), 0);
      QVERIFY(p.readAllStandardError().contains("could not be fetched"));
    }
    server.manifest(107, server.url("fw"));
    server.dir.write("software/q350/update.xml",
                     "<update><software><current>107</current></software></update>");
    {
      QProcess p;
      run(p);
      QVERIFY(p.waitForFinished(30000));
      QCOMPARE(p.exitCode(), 0);
      QCOMPARE(p.readAllStandardOutput(), QByteArray("Q350Config 1.0.7 is the latest version.\n"));
    }
    server.dir.write("software/q350/update.xml",
                     "<update><firmware><current>107</current></firmware><software><current>108</current></software></update>");
    {
      QProcess p;
      run(p);
      QTRY_VERIFY_WITH_TIMEOUT(platform::otherProcessHasWindow(u"Q350Config update"), 20000);
      QVERIFY(p.state() == QProcess::Running);
      QVERIFY(platform::postToOtherProcess(u"Q350Config update", platform::WM_CLOSE, 0, 0));
      QVERIFY(p.waitForFinished(30000));
      QCOMPARE(p.exitCode(), 0);
      QCOMPARE(p.readAllStandardOutput(),
               QByteArray("Q350Config 1.0.8 is available (this is 1.0.7). Install it with your system's package manager.\n"));
    }
  }

  void aFailedStartTakesUpTheRemovalWatchAgain() {
    apptest::Simulator sim;
    QVERIFY(sim.ok());
    CQ350ConfigDlg dlg;
    apptest::runMainWindow(dlg, [&](CQ350ConfigDlg& d) {
      CDlgSupport* page = supportPage(d);
      QFile::remove(QString::fromStdString(platform::joinPath(CDlgSupport::updateFolder(), kFirmwareUpdaterFile)));
      QVERIFY(d.isWatchingRemoval());
      QVERIFY(!page->StartFirmwareUpdater());
      QVERIFY(d.isWatchingRemoval());
      QVERIFY(d.isVisible());
      QVERIFY(!page->isWatching());
    });
  }
};

int main(int argc, char** argv) {
  testsupport::SandboxHome home;
  QApplication app(argc, argv);
  apptest::recordMessageBoxes();
  apptest::ProgramFolder folder;
  folder.use();
  apptest::useProgramSettings();
  LoadLanguageTexts(platform::joinPath(platform::programFolder(), "Language/en.xml"));
  CDlgSupport::setFileChooser([](QWidget*, bool) { return g_chosen; });
  SupportPageTest t;
  return QTest::qExec(&t, argc, argv);
}

#include "support_page_test.moc"
