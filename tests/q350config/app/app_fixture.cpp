#include "tests/q350config/app/app_fixture.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QTimer>
#include <filesystem>

#include "platform/paths.h"
#include "platform/ui/window_look.h"
#include "q350config/app/app_files.h"
#include "q350config/app/info_dlg.h"
#include "q350config/app/language.h"
#include "q350config/app/main_dlg.h"
#include "q350config/settings/macro_library.h"
#include "q350config/settings/settings_store.h"

namespace apptest {

namespace fs = std::filesystem;

ProgramFolder::ProgramFolder() {
  const fs::path stage(KAVRO_STAGE_Q350);
  for (const char* shipped : {"skins", "res", "Language"}) fs::create_directory_symlink(stage / shipped, dir_.file(shipped));
  fs::create_symlink(KAVRO_QUILLFEN_LIB, dir_.file("libQuillfen.so"));
  fs::create_symlink(KAVRO_ORVANE_LIB, dir_.file("libOrvane.so"));
  fs::create_symlink(KAVRO_TESSIVAN_LIB, dir_.file("libTessivan.so"));
  dir_.write("Macro.cfg", std::string(q350::MacroLibrary::kFileSize, '\0'));
  fs::create_directory(dir_.file("Profile"));
}

void ProgramFolder::hideLibrary(const std::string& name, bool hidden) {
  const std::string shown = dir_.file(name), away = dir_.file(name + ".away");
  std::error_code ec;
  if (hidden)
    fs::rename(shown, away, ec);
  else
    fs::rename(away, shown, ec);
}

void ProgramFolder::use() const {
  platform::setProgramFolder(path() + "/");
  q350::settings().setProgramFolder(path() + "/");
  q350app::setSkinFolder(path() + "/skins/" + q350app::skinEntryName(path()));
}

Simulator::Simulator(bool keyboard) {
  ok_ = sim_.start(keyboard ? std::vector<std::string>{"q350"} : std::vector<std::string>{}, KAVRO_KBSIM_PATH);
  socket_ = std::make_unique<testsupport::ScopedEnv>("KAVRO_SIM_SOCKET", sim_.socketPath());
  noReal_ = std::make_unique<testsupport::ScopedEnv>("KAVRO_HID_REAL", "0");
}

Simulator::~Simulator() { sim_.stop(); }

std::vector<std::string> Simulator::lines(std::size_t from) {
  std::vector<std::string> out;
  sim_.control().transcript(out, from);
  for (std::string& l : out) l = l.substr(l.find(' ') + 1);
  return out;
}

RunResult runMainWindow(q350app::CQ350ConfigDlg& dlg, const std::function<void(q350app::CQ350ConfigDlg&)>& script,
                        int watchdogMs) {
  RunResult r;
  QTimer poll;
  poll.setInterval(10);
  QObject::connect(&poll, &QTimer::timeout, &dlg, [&] {
    if (!dlg.isVisible() || r.scriptRan) return;
    poll.stop();
    r.scriptRan = true;
    script(dlg);
    if (dlg.isRunningModal()) dlg.postMessage(platform::WM_CLOSE);
  });
  poll.start();
  QTimer watchdog;
  watchdog.setSingleShot(true);
  // A script stuck in a dialog nobody answers: close every window, so the
  // test fails instead of hanging.
  QObject::connect(&watchdog, &QTimer::timeout, &dlg, [&] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* m = qobject_cast<platform::MessageWindow*>(w)) m->postMessage(platform::WM_CLOSE);
    watchdog.start(1000);
  });
  watchdog.start(watchdogMs);
  r.result = dlg.doModal();
  return r;
}

// Not findWindow: a hidden window of the same title (the support page keeps
// its "updating" box) would hide the shown one from a test.
platform::MessageWindow* shownWindow(const std::u16string& title, bool modalOnly) {
  const QString wanted = QString::fromStdU16String(title);
  for (QWidget* top : QApplication::topLevelWidgets()) {
    auto* w = dynamic_cast<platform::MessageWindow*>(top);
    if (w && w->isVisible() && (!modalOnly || w->isRunningModal()) && w->windowTitle().compare(wanted, Qt::CaseInsensitive) == 0) return w;
  }
  return nullptr;
}

QTimer* whenOpen(const std::u16string& title, std::function<void(platform::MessageWindow*)> action, int ms,
                 bool modalOnly) {
  auto* timer = new QTimer;
  auto started = std::make_shared<int>(0);
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, title, action, ms, modalOnly, started] {
    *started += 10;
    platform::MessageWindow* w = shownWindow(title, modalOnly);
    if (w || *started > ms) {
      timer->stop();
      timer->deleteLater();
      if (w) action(w);
    }
  });
  timer->start();
  return timer;
}

std::vector<Box>& boxes() {
  static std::vector<Box> shown;
  return shown;
}

void useProgramSettings() {
  q350::settings().setMessageSink(&q350app::infoMessageSink());
  q350::settings().setTextLookup(&q350app::languageLookup());
  q350::settings().setPauseFunction([](unsigned) {});
}

void recordMessageBoxes() {
  platform::setMessageBoxHandler([](QWidget*, const std::u16string& text, const std::u16string& caption,
                                    platform::MessageBoxIcon) {
    boxes().push_back({text, caption});
    return platform::IDOK;
  });
}

void clickCentre(QWidget* w) {
  const QPoint c = w->rect().center();
  QMouseEvent press(QEvent::MouseButtonPress, c, w->mapToGlobal(c), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, c, w->mapToGlobal(c), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(w, &release);
}

QString screenshotPath(const QString& name) {
  const QString dir = QCoreApplication::applicationDirPath() + "/screenshots";
  QDir().mkpath(dir);
  return dir + "/" + name + ".png";
}

}  // namespace apptest
