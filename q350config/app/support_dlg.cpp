#include "q350config/app/support_dlg.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QPainter>
#include <QProcess>
#include <QFileInfo>
#include <QApplication>
#include <QUrl>
#include <cstdio>
#include <vector>

#include "platform/paths.h"
#include "platform/ui/window_server.h"
#include "q350config/app/app_files.h"
#include "q350config/app/info_dlg.h"
#include "q350config/app/language.h"
#include "q350config/app/main_dlg.h"
#include "q350config/controls/control_messages.h"
#include "q350config/settings/settings_store.h"
#include "q350config/settings/update_manifest.h"

namespace q350app {

using q350ui::CSkinButton;
using q350ui::rectLTRB;

namespace {

QString systemFileDialog(QWidget* parent, bool save) {
  const QString filter = QStringLiteral("CFG Files(*.cfg)");
  QFileDialog dialog(parent, QString(), QString(), filter);
  dialog.setDefaultSuffix(QStringLiteral("cfg"));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front();
}

CDlgSupport::FileChooser& fileChooser() {
  static CDlgSupport::FileChooser chooser = systemFileDialog;
  return chooser;
}

// Moves a finished download over the file in use.
bool replaceWith(const std::string& download, const std::string& inUse) {
  if (std::rename(download.c_str(), inUse.c_str()) == 0) return true;
  std::remove(download.c_str());
  return false;
}

// Top-level windows of this process by title, then those of other
// processes that listen on the window server.
bool windowShown(const QString& title) {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && w->windowTitle() == title) return true;
  return platform::otherProcessHasWindow(title.toStdU16String());
}

CDlgSupport::WindowFinder& windowFinder() {
  static CDlgSupport::WindowFinder finder = windowShown;
  return finder;
}

}  // namespace

void CDlgSupport::setWindowFinder(WindowFinder finder) {
  windowFinder() = finder ? std::move(finder) : WindowFinder(windowShown);
}

void CDlgSupport::setFileChooser(FileChooser chooser) {
  fileChooser() = chooser ? std::move(chooser) : FileChooser(systemFileDialog);
}

std::string CDlgSupport::updateFolder() { return platform::joinPath(q350::settings().programFolder(), "update"); }

CDlgSupport::CDlgSupport(QWidget* parent) : CQ350Page(parent, "Support/support_normal.bmp") {
  faces_.normal = background();
  faces_.down = skinPicture("Support/support_down.bmp");
  faces_.over = skinPicture("Support/support_over.bmp");
  const struct {
    QRect rect;
    int hint;
  } layout[] = {{rectLTRB(97, 261, 215, 295), 48},  {rectLTRB(403, 261, 521, 295), 48},
                {rectLTRB(708, 261, 827, 295), 49}, {rectLTRB(781, 388, 875, 420), 50},
                {rectLTRB(132, 387, 224, 421), 77}, {rectLTRB(232, 388, 324, 420), 78}};
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    auto* b = new CSkinButton(this);
    b->Create(faces_, layout[i].rect, kIdProgramUpdate + static_cast<int>(i));
    b->SetHint(layout[i].hint);
    buttons_[i] = b;
  }
}

CDlgSupport::~CDlgSupport() {
  if (!updater_) return;
  if (updater_->state() == QProcess::NotRunning) {
    delete updater_;
    return;
  }
  // Deleting a QProcess kills it; an updater still running goes on after
  // this program, so its object is kept, reachable, to the end.
  static std::vector<QProcess*> outliving;
  outliving.push_back(updater_);
}

void CDlgSupport::SetFirmwareVersion(const QString& text) {
  firmware_ = text;
  update();
}

QString CDlgSupport::programVersionText() const { return QStringLiteral("V %1").arg(VersionText(kProgramVersionNumber)); }

QString CDlgSupport::firmwareVersionText() const {
  if (firmware_.isEmpty()) return QStringLiteral("Unknown");
  const int v = firmware_.indexOf(QLatin1Char('V'));
  // A text without its three digits shows what it has, never more.
  const QString digits = v < 0 ? QString() : firmware_.mid(v + 1, 3);
  if (digits.size() < 3) return QStringLiteral("Unknown");
  return QStringLiteral("V %1.%2.%3").arg(digits[0]).arg(digits[1]).arg(digits[2]);
}

void CDlgSupport::paintEvent(QPaintEvent* e) {
  CQ350Page::paintEvent(e);
  QPainter p(this);
  QFont font(QStringLiteral("MS Shell Dlg"));
  font.setPointSize(12);
  p.setFont(font);
  p.setPen(QColor(0xC1, 0xD2, 0xEE));
  p.drawText(QRect(124, 169, 252, 192), Qt::AlignLeft | Qt::AlignTop, programVersionText());
  p.drawText(QRect(425, 169, 500, 192), Qt::AlignLeft | Qt::AlignTop, firmwareVersionText());
}

// ---- Message map ----

bool CDlgSupport::onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) {
  static const platform::MessageEntry<CDlgSupport> map[] = {
      {platform::WM_COMMAND, &CDlgSupport::OnCommand},
      {platform::WM_TIMER, &CDlgSupport::OnTimer},
      {kMsgUpdateSucceeded, &CDlgSupport::OnUpdateSucceeded},
  };
  if (platform::dispatchMessages(this, map, message, w, l, result)) return true;
  return CQ350Page::onMessage(message, w, l, result);
}

platform::LRESULT CDlgSupport::OnCommand(platform::WPARAM w, platform::LPARAM) {
  switch (static_cast<int>(platform::loWord(w))) {
    case kIdProgramUpdate:
      ShowInfo(this, builtInQ(u"Firmware is the latest version.", u"驱动已经是最新版本."));
      break;
    case kIdFirmwareUpdate: CheckFirmwareUpdate(); break;
    case kIdWebSite: QDesktopServices::openUrl(QUrl(QString::fromLatin1(kWebSiteAddress))); break;
    case kIdRestore: restoreFactory(); break;
    case kIdImport: importProfile(); break;
    case kIdExport: exportProfile(); break;
    default: break;
  }
  return 0;
}

void CDlgSupport::postToMain(unsigned message) {
  if (QWidget* main = window(); main && main != this) platform::postMessageTo(main, message, 0, 0);
}

// ---- Profile files and factory settings ----

void CDlgSupport::exportProfile() {
  const QString path = fileChooser()(this, true);
  if (path.isEmpty()) return;
  if (!q350::settings().ExportProfile(path.toStdString())) {
    ShowInfo(this, builtInQ(u"The profile could not be exported.", u"配置文件导出失败."));
    return;
  }
  postToMain(kMsgRefreshPages);
}

void CDlgSupport::importProfile() {
  const QString path = fileChooser()(this, false);
  if (path.isEmpty()) return;
  // A wrong signature is reported by the settings themselves; a file that
  // cannot be read is reported here.
  const std::size_t before = messagesShown();
  if (q350::settings().ImportProfile(path.toStdString())) {
    postToMain(kMsgRefreshPages);
    return;
  }
  if (messagesShown() == before) ShowInfo(this, builtInQ(u"The profile could not be read.", u"无法读取配置文件."));
}

void CDlgSupport::restoreFactory() {
  if (ShowInfo(this, builtInQ(u"Do you want to restore the default setting?", u"确定要恢复默认设置?"), true) ==
      platform::IDOK)
    postToMain(kMsgRestoreFactory);
}

// ---- Firmware update ----

bool CDlgSupport::CheckFirmwareUpdate() {
  const std::int32_t installed = q350::manifestNumber(firmware_.mid(1).toStdU16String());
  const std::string folder = updateFolder();
  const std::string manifest = platform::joinPath(folder, "update.xml");
  const std::string download = platform::joinPath(folder, "new_version/update.xml");
  QDir().mkpath(QString::fromStdString(platform::joinPath(folder, "new_version")));
  // A manifest that did not arrive leaves the one in use as it was.
  if (FetchFile(ManifestAddress(), download)) replaceWith(download, manifest);

  const q350::UpdateManifest m = q350::ReadUpdateManifest(manifest);
  updaterAddress_ = QString::fromStdU16String(m.newfile);
  if (m.current > installed) {
    if (ShowInfo(this,
                 builtInQ(u"A new version of firmware is available for the gaming keyboard, whether to update or not?",
                          u"游戏键盘固件有更新,是否更新到最新版本?"),
                 true) != platform::IDOK)
      return false;
    DownloadFirmwareUpdater();
    StartFirmwareUpdater();
    return true;
  }
  if (m.current == installed) {
    ShowInfo(this, builtInQ(u"Firmware is the latest version.", u"固件已经是最新版本."));
    return false;
  }
  return true;
}

bool CDlgSupport::DownloadFirmwareUpdater() {
  const std::string folder = updateFolder();
  const std::string download = platform::joinPath(folder, std::string("new_version/") + kFirmwareUpdaterFile);
  QDir().mkpath(QString::fromStdString(platform::joinPath(folder, "new_version")));
  if (!FetchFile(updaterAddress_, download)) return false;
  const std::string inUse = platform::joinPath(folder, kFirmwareUpdaterFile);
  if (!replaceWith(download, inUse)) return false;
  QFile::setPermissions(QString::fromStdString(inUse), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                           QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                                           QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                                           QFileDevice::ExeOther);
  return true;
}

bool CDlgSupport::StartFirmwareUpdater() {
  CQ350ConfigDlg* main = mainWindow();
  if (main) main->StopRemovalWatch();
  const QString path = QString::fromStdString(platform::joinPath(updateFolder(), kFirmwareUpdaterFile));
  const QFileInfo info(path);
  if (updater_ && updater_->state() == QProcess::NotRunning) {
    delete updater_;
    updater_ = nullptr;
  }
  bool started = false;
  if (!updater_ && info.isFile() && info.isExecutable()) {
    updater_ = new QProcess;
    updater_->setProgram(path);
    updater_->setArguments({QStringLiteral("-KAVRO")});
    updater_->setWorkingDirectory(info.path());
    // Its output goes where ours goes, so that it can still write after
    // this program has ended.
    updater_->setProcessChannelMode(QProcess::ForwardedChannels);
    updater_->setStandardInputFile(QProcess::nullDevice());
    updater_->start();
    started = updater_->waitForStarted(5000);
    if (!started) {
      delete updater_;
      updater_ = nullptr;
    }
  }
  if (!started) {
    if (main) main->StartRemovalWatch();
    return false;
  }
  if (main) main->hide();
  if (!updating_) updating_ = new CInfoDlg(this, QString(), false);
  updating_->setText(builtInQ(u"The firmware is being updated......", u"固件正在更新中......\n请勿拔插键盘USB"));
  updating_->show();
  watching_ = true;
  seen_ = false;
  ticks_ = 0;
  goneTicks_ = 0;
  setWindowTimer(kWatchTimer, 500);
  return true;
}

void CDlgSupport::endWatch() {
  killWindowTimer(kWatchTimer);
  watching_ = false;
  if (updating_) updating_->hide();
}

// The program comes back as it was before the start, and says why.
void CDlgSupport::watchFailed(const QString& message) {
  endWatch();
  if (CQ350ConfigDlg* main = mainWindow()) {
    main->StartRemovalWatch();
    main->show();
  }
  ShowInfo(this, message);
}

bool CDlgSupport::updaterFailed() const {
  return updater_ && updater_->state() == QProcess::NotRunning &&
         (updater_->exitStatus() != QProcess::NormalExit || updater_->exitCode() != 0);
}

platform::LRESULT CDlgSupport::OnTimer(platform::WPARAM w, platform::LPARAM) {
  if (w != kWatchTimer || !watching_) return 0;
  if (windowFinder()(QString::fromUtf16(kUpdaterWindowTitle))) {
    seen_ = true;
    // The updater has its update window up: it takes the keyboard over and
    // the configuration program ends.
    if (windowFinder()(QString::fromUtf16(kUpdateWindowTitle))) {
      endWatch();
      postToMain(platform::WM_CLOSE);
    }
    return 0;
  }
  if (seen_) {
    // The window has gone; the updater itself may take a moment to end.
    if (updater_ && updater_->state() != QProcess::NotRunning && ++goneTicks_ < kExitTicks) return 0;
    if (updaterFailed()) {
      watchFailed(builtInQ(u"The firmware was not updated.", u"固件未更新."));
      return 0;
    }
    endWatch();
    postMessage(kMsgUpdateSucceeded);
    return 0;
  }
  // An updater that never shows its window has not updated anything.
  if (++ticks_ >= kStartTicks) watchFailed(builtInQ(u"The firmware updater did not start.", u"固件更新程序未能启动."));
  return 0;
}

platform::LRESULT CDlgSupport::OnUpdateSucceeded(platform::WPARAM, platform::LPARAM) {
  if (ShowInfo(this, builtInQ(u"Drive the firmware update is successful.", u"驱动固件更新成功.")) == platform::IDOK)
    postToMain(platform::WM_CLOSE);
  return 0;
}

}  // namespace q350app
