#include "q350config/app/main_dlg.h"

#include <QCloseEvent>
#include <QCursor>
#include <QFileInfo>
#include <QIcon>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QSystemTrayIcon>

#include "platform/clock.h"
#include "platform/hid/qt_device_watcher.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "platform/ui/window_look.h"
#include "q350config/app/app_files.h"
#include "q350config/app/hook_library.h"
#include "q350config/app/info_dlg.h"
#include "q350config/app/language.h"
#include "q350config/app/main_set_dlg.h"
#include "q350config/controls/control_messages.h"
#include "q350config/settings/settings_store.h"
#include "shared/orvane_binding.h"

namespace q350app {

using q350ui::CSkinButton;
using q350ui::rectLTRB;

namespace {

CQ350ConfigDlg* g_mainWindow = nullptr;

// Hint numbers of the tabs (key assignment, lighting, macros, support) and
// of the apply button; profile buttons give 0..4.
constexpr int kTabHints[4] = {6, 7, 8, 10};
constexpr int kApplyHint = 5;

const QPolygon kTabCorners[4] = {
    QPolygon({{30, 84}, {222, 84}, {245, 121}, {30, 121}}),
    QPolygon({{229, 84}, {463, 84}, {485, 121}, {251, 121}}),
    QPolygon({{471, 84}, {706, 84}, {728, 121}, {493, 121}}),
    QPolygon({{713, 84}, {927, 84}, {927, 121}, {734, 121}}),
};
const QPolygon kProfileCorners[5] = {
    QPolygon({{344, 606}, {438, 606}, {414, 634}, {321, 635}}),
    QPolygon({{440, 606}, {534, 606}, {510, 634}, {417, 635}}),
    QPolygon({{534, 606}, {628, 606}, {605, 635}, {511, 635}}),
    QPolygon({{629, 606}, {724, 606}, {700, 635}, {606, 635}}),
    QPolygon({{724, 608}, {820, 608}, {797, 635}, {701, 635}}),
};
const QPolygon kApplyCorners({{837, 589}, {943, 589}, {943, 635}, {799, 635}});
constexpr QPoint kPageOrigin(17, 128);

}  // namespace

CQ350ConfigDlg* mainWindow() { return g_mainWindow; }

QString FirmwareVersionText(unsigned v) {
  if (v == 0 || v > 254) return QStringLiteral("V000");
  const QString digits = QString::number(v);
  if (v < 10) return QLatin1Char('V') + digits + QLatin1String("00");
  if (v < 100) return QLatin1Char('V') + digits + QLatin1Char('0');
  return QLatin1Char('V') + digits;
}

QRect CQ350ConfigDlg::statusRect() { return rectLTRB(67, 598, 300, 628); }

CQ350ConfigDlg::CQ350ConfigDlg() : q350ui::CSkinDialog(nullptr, false) {
  setWindowTitle(QString::fromUtf16(kMainWindowTitle));
}

CQ350ConfigDlg::~CQ350ConfigDlg() {
  writeThread_.Join();
  closeLanguagePopup();
  if (trayMenu_) delete trayMenu_.data();
  if (g_mainWindow == this) g_mainWindow = nullptr;
  if (q350ui::hintWindow() == this) q350ui::setHintWindow(nullptr);
}

COrvaneA* CQ350ConfigDlg::languagePopup() const { return popup_.data(); }

// ---- Start ----

void CQ350ConfigDlg::onInitDialog() {
  setWindowIcon(QIcon(iconPath()));
  startUpdater();
  setWindowTitle(QString::fromUtf16(kMainWindowTitle));

  // Without the menu library's entries the program ends, without a word.
  shared::OrvaneBinding& menus = shared::orvane();
  menus.load(platform::programFolder(), shared::OrvaneBinding::Form::Q350);
  if (!menus.hasCreate() || !menus.hasDestroy()) {
    endDialog(platform::IDCANCEL);
    return;
  }
  menus.setPictures(shared::q350MenuPictures(skinFolder()));

  buildWindow();

  driver_.Init();
  driver_.CloseDevice();
  q350::CUSBDriver::ProbeHidInterface(nullptr);
  if (!driver_.OpenDevice()) platform::sleepMs(10);

  flag_ = new q350ui::CSkinPicture(this);
  flag_->Create(rectLTRB(19, 592, 56, 614), kIdFlagPicture);
  flag_->SetPicture(resPicture(languageFlag() == 1 ? 166 : 159));

  buildTray();

  q350::SettingsStore& s = q350::settings();
  s.LoadProfileTable();
  s.LoadMacroLibrary();
  current_ = s.currentProfile();
  markProfiles();
  page(kKeysPage)->SetProfileIndex(current_);

  g_mainWindow = this;
  q350ui::setHintWindow(this);

  page(kSupportPage)->SetFirmwareVersion(FirmwareVersionText(driver_.ReadFirmwareVersion()));
  setWindowTimer(kBringForwardTimer, 500);
  refreshPages();
  page(kMacrosPage)->FillMacroList(21);

  StartRemovalWatch();

  // Presence check; the answer for the other product id decides nothing.
  q350::CUSBDriver::IsDevicePresent(u"VID_24AE&PID_4012");
  if (!q350::CUSBDriver::IsDevicePresent(q350::kQ350DeviceId)) {
    const QString question =
        builtInQ(u"Sorry,Not find Q350 keyboard, Click OK button if Connected, or Click Cancel button!",
                 u"Sorry,未识别到Q350键盘设备,设备已连接则单击OK,否则单击Cancel");
    if (ShowInfo(this, question, true) == platform::IDOK)
      page(kSupportPage)->StartFirmwareUpdater();
    else
      postMessage(platform::WM_CLOSE);
  }
}

void CQ350ConfigDlg::StartRemovalWatch() {
  if (watcher_) return;
  watcher_ = new platform::QtDeviceWatcher(platform::kUsbDeviceInterfaceClass, this);
  QObject::connect(watcher_, &platform::QtDeviceWatcher::deviceChanged, this,
                   [this](bool arrival, const QString& name, unsigned) { deviceChanged(arrival, name); });
  watcher_->start();
}

void CQ350ConfigDlg::StopRemovalWatch() {
  delete watcher_;
  watcher_ = nullptr;
}

void CQ350ConfigDlg::startUpdater() {
  const std::string path = platform::resolveNoCase(platform::programFolder(), "kavro_update/KavroUpdate");
  const QFileInfo info(QString::fromStdString(path));
  if (info.isFile() && info.isExecutable()) QProcess::startDetached(info.filePath(), {}, info.path());
}

void CQ350ConfigDlg::buildWindow() {
  faces_ = skinFaces(orPlain(skinPicture("Config/Q350_Frame_Normal.bmp"), QSize(960, 640), QColor(0x16, 0x18, 0x1B)),
                     "Config/Q350_Frame_");
  setBackground(faces_.normal);
  sizeToBackground();
  centreOnScreen();
  SetRegion(platform::regionFromColourKey(faces_.normal, qRgb(255, 0, 253), 0));

  minimise_ = new CSkinButton(this);
  minimise_->Create(faces_, rectLTRB(888, 3, 921, 34), kIdMinimise);
  hide_ = new CSkinButton(this);
  hide_->Create(faces_, rectLTRB(923, 3, 956, 35), kIdHide);
  for (int i = 0; i < 4; ++i) {
    tabs_[static_cast<std::size_t>(i)] = new CSkinButton(this);
    tab(i)->CreatePolygon(faces_, kTabCorners[i], kIdTabFirst + i);
    tab(i)->SetHint(kTabHints[i]);
  }
  for (int i = 0; i < 5; ++i) {
    profiles_[static_cast<std::size_t>(i)] = new CSkinButton(this);
    profileButton(i)->CreatePolygon(faces_, kProfileCorners[i], kIdProfileFirst + i);
    profileButton(i)->SetHint(i);
  }
  apply_ = new CSkinButton(this);
  apply_->CreatePolygon(faces_, kApplyCorners, kIdApply);
  apply_->SetHint(kApplyHint);
  language_ = new CSkinButton(this);
  language_->Create(faces_, rectLTRB(15, 617, 57, 635), kIdLanguage);

  const PageFactories& make = pageFactories();
  pages_[kKeysPage] = make.keys(this);
  pages_[kMacrosPage] = make.macros(this);
  pages_[kLightingPage] = make.lighting(this);
  pages_[kSupportPage] = make.support(this);
  for (CQ350Page* p : pages_) {
    p->move(kPageOrigin);
    p->hide();
  }
  page(kKeysPage)->show();
  tab(0)->SetCheck(true);
}

void CQ350ConfigDlg::buildTray() {
  if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
  tray_ = new QSystemTrayIcon(QIcon(iconPath()), this);
  tray_->setToolTip(QStringLiteral("Kavro Q350 KEYBOARD Driver"));
  QObject::connect(tray_, &QSystemTrayIcon::activated, this,
                   [this](QSystemTrayIcon::ActivationReason r) { trayActivated(static_cast<int>(r)); });
  tray_->show();
  tray_->showMessage(QStringLiteral("Running"), QStringLiteral("Kavro Q350 KEYBOARD Driver"),
                     QSystemTrayIcon::Information, 5000);
}

void CQ350ConfigDlg::trayActivated(int reason) {
  switch (static_cast<QSystemTrayIcon::ActivationReason>(reason)) {
    case QSystemTrayIcon::Trigger: postMessage(kMsgTray, 0, kTrayButtonUp); break;
    case QSystemTrayIcon::DoubleClick: postMessage(kMsgTray, 0, kTrayDoubleClick); break;
    case QSystemTrayIcon::Context: postMessage(kMsgTray, 0, kTrayRightButtonUp); break;
    default: break;
  }
}

// ---- Message map ----

bool CQ350ConfigDlg::isHeldDuringWrite(unsigned message, platform::WPARAM w) const {
  switch (message) {
    case platform::WM_CLOSE:
    case kMsgTray:
    case kMsgStartWrite:
    case kMsgRestoreFactory:
    case kMsgRefreshPages:
    case kMsgLanguage:
    case WM_DEVICECHANGE:
      return true;
    case platform::WM_COMMAND: return true;  // tray menu and buttons alike
    default: (void)w; return false;
  }
}

bool CQ350ConfigDlg::onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) {
  if (writing_ && isHeldDuringWrite(message, w)) {
    held_.push_back({message, w, l});
    result = 0;
    return true;
  }
  static const platform::MessageEntry<CQ350ConfigDlg> map[] = {
      {kMsgLanguage, &CQ350ConfigDlg::OnLanguage},
      {kMsgTray, &CQ350ConfigDlg::OnTray},
      {kMsgWriteSucceeded, &CQ350ConfigDlg::OnWriteSucceeded},
      {kMsgWriteFailed, &CQ350ConfigDlg::OnWriteFailed},
      {kMsgStartWrite, &CQ350ConfigDlg::OnStartWrite},
      {kMsgRefreshPages, &CQ350ConfigDlg::OnRefreshPages},
      {q350ui::WM_SHOW_HINT, &CQ350ConfigDlg::OnShowHint},
      {kMsgRestoreFactory, &CQ350ConfigDlg::OnRestoreFactory},
      {WM_DEVICECHANGE, &CQ350ConfigDlg::OnDeviceChange},
      {platform::WM_TIMER, &CQ350ConfigDlg::OnTimer},
      {platform::WM_COMMAND, &CQ350ConfigDlg::OnCommand},
      {platform::WM_CLOSE, &CQ350ConfigDlg::OnClose},
  };
  if (platform::dispatchMessages(this, map, message, w, l, result)) return true;
  return q350ui::CSkinDialog::onMessage(message, w, l, result);
}

platform::LRESULT CQ350ConfigDlg::OnLanguage(platform::WPARAM w, platform::LPARAM l) {
  if (!popup_ && w != 272) return 0;
  if (l >= 1 && l <= kLanguageCount) {
    changeLanguage(static_cast<int>(l));
    StoreLanguageChoice(static_cast<int>(l));
  }
  closeLanguagePopup();
  return 0;
}

platform::LRESULT CQ350ConfigDlg::OnTray(platform::WPARAM, platform::LPARAM l) {
  if (l == kTrayButtonUp || l == kTrayDoubleClick) {
    refreshPages();
    showWindowNormally();
  } else if (l == kTrayRightButtonUp) {
    showTrayMenu();
  }
  return 0;
}

// During a write the result is kept until the thread has ended.
platform::LRESULT CQ350ConfigDlg::OnWriteSucceeded(platform::WPARAM, platform::LPARAM) {
  if (writing_)
    writeResult_ = kMsgWriteSucceeded;
  else
    handleWriteResult(kMsgWriteSucceeded);
  return 0;
}

platform::LRESULT CQ350ConfigDlg::OnWriteFailed(platform::WPARAM, platform::LPARAM) {
  if (writing_)
    writeResult_ = kMsgWriteFailed;
  else
    handleWriteResult(kMsgWriteFailed);
  return 0;
}

platform::LRESULT CQ350ConfigDlg::OnStartWrite(platform::WPARAM, platform::LPARAM) {
  ApplySettingsToKeyboard();
  return 0;
}

platform::LRESULT CQ350ConfigDlg::OnRefreshPages(platform::WPARAM, platform::LPARAM) {
  refreshPages();
  return 0;
}

platform::LRESULT CQ350ConfigDlg::OnShowHint(platform::WPARAM, platform::LPARAM l) {
  hint_ = static_cast<int>(l);
  status_ = hintText(hint_);
  update(statusRect());
  return 0;
}

platform::LRESULT CQ350ConfigDlg::OnRestoreFactory(platform::WPARAM, platform::LPARAM) {
  q350::settings().RestoreFactorySettings();
  profileMacroIds().clearRow(current_);
  refreshPages();
  ApplySettingsToKeyboard();
  return 0;
}

platform::LRESULT CQ350ConfigDlg::OnDeviceChange(platform::WPARAM w, platform::LPARAM) {
  if (w != DBT_DEVICEREMOVECOMPLETE) return 0;
  // One interface after the other reports its removal: the first notice
  // shows the message and ends the program; later ones change nothing.
  if (removalShown_) return 0;
  removalShown_ = true;
  ShowInfoAutoClose(this, builtInQ(u"The Q350 gaming keyboard cannot be found.", u"没有找到Q350游戏键盘."));
  postMessage(platform::WM_CLOSE);
  return 0;
}

platform::LRESULT CQ350ConfigDlg::OnTimer(platform::WPARAM w, platform::LPARAM) {
  if (w != kBringForwardTimer) return 0;
  killWindowTimer(kBringForwardTimer);
  if (platform::tickCount() > 300000) {
    showWindowNormally();
    showWindowNormally();
  }
  return 0;
}

platform::LRESULT CQ350ConfigDlg::OnCommand(platform::WPARAM w, platform::LPARAM) {
  q350ui::closeSkinMenus();
  const int id = static_cast<int>(platform::loWord(w));
  if (id >= kIdTabFirst && id < kIdTabFirst + 4) {
    showTab(id - kIdTabFirst);
  } else if (id >= kIdProfileFirst && id < kIdProfileFirst + 5) {
    switchProfile(id - kIdProfileFirst);
  } else if (id == kIdApply) {
    ApplySettingsToKeyboard();
  } else if (id == kIdMinimise) {
    hookOff();
    showMinimized();
  } else if (id == kIdHide) {
    hookOff();
    // Without a tray icon a hidden window could never come back.
    if (tray_ && tray_->isVisible())
      hide();
    else
      showMinimized();
  } else if (id == kIdLanguage) {
    openLanguagePopup();
  } else if (static_cast<unsigned>(id) == kCmdTrayConfig) {
    refreshPages();
    showWindowNormally();
  } else if (static_cast<unsigned>(id) == kCmdTrayExit) {
    postMessage(platform::WM_CLOSE);
  }
  return 0;
}

platform::LRESULT CQ350ConfigDlg::OnClose(platform::WPARAM, platform::LPARAM) {
  if (tray_) {
    tray_->hide();
    delete tray_;
    tray_ = nullptr;
  }
  closeLanguagePopup();
  hookOff();
  for (CQ350Page*& p : pages_) {
    delete p;
    p = nullptr;
  }
  endDialog(platform::IDCANCEL);
  hide();
  return 0;
}

// ---- Actions ----

void CQ350ConfigDlg::hookOff() {
  if (hookLibrary().hasStatus()) hookLibrary().SetHookStatus(false);
}

void CQ350ConfigDlg::showWindowNormally() {
  showNormal();
  raise();
  activateWindow();
}

void CQ350ConfigDlg::refreshPages() {
  if (page(kLightingPage)) page(kLightingPage)->RefreshFromSettings();
  if (page(kKeysPage)) page(kKeysPage)->RefreshKeyCaptions();
}

void CQ350ConfigDlg::showTab(int t) {
  if (t == kKeysPage) hookOff();
  for (int i = 0; i < 4; ++i) {
    tab(i)->SetCheck(i == t);
  }
  // Tabs are in screen order; pages are indexed the same way.
  for (int i = 0; i < 4; ++i) page(i)->setVisible(i == t);
  if (t == kKeysPage || t == kLightingPage) refreshPages();
}

void CQ350ConfigDlg::markProfiles() {
  for (int i = 0; i < 5; ++i) profileButton(i)->SetCheck(q350::settings().isActive(i));
}

void CQ350ConfigDlg::switchProfile(int n) {
  // Only a profile that loaded becomes current; otherwise the old one stays
  // in use, checked, and the key page keeps its index.
  if (q350::settings().SelectProfile(n) != q350::kLoadOk) return;
  current_ = n;
  markProfiles();
  page(kKeysPage)->SetProfileIndex(n);
  refreshPages();
}

void CQ350ConfigDlg::ApplySettingsToKeyboard() {
  if (writing_) return;
  driver_.WriteControlByte();  // its answer is not needed
  CProgressDlg progress(this);
  q350::FullWrite job(driver_, q350::settings(), writeMutex_, platform::windowMessenger(), handle());
  job.setZoneSelection(page(kLightingPage) ? page(kLightingPage)->ZoneSelection() : std::nullopt);
  writing_ = true;
  writeResult_ = 0;
  writeThread_.Start(job, progress.handle());
  progress.doModal();
  // The thread closes the dialog as its last act; wait until it is gone
  // before anything reads or rewrites what it used.
  writeThread_.Join();
  writing_ = false;
  handleWriteResult(writeResult_);
  writeResult_ = 0;
  std::vector<Held> held;
  held.swap(held_);
  for (const Held& h : held) postMessage(h.message, h.w, h.l);
}

void CQ350ConfigDlg::handleWriteResult(unsigned message) {
  if (message == kMsgWriteSucceeded) {
    // A save that fails after a good write must not pass for success; the
    // settings say why when they can, and this message covers the rest.
    const std::size_t before = messagesShown();
    if (!q350::settings().StoreProfileTable() && messagesShown() == before)
      ShowInfo(this, builtInQ(u"The keyboard took the settings, but the profile could not be saved.",
                              u"设置已写入键盘，但配置文件保存失败。"));
  } else if (message == kMsgWriteFailed) {
    ShowInfo(this, QStringLiteral("Setting Error"));
  }
}

void CQ350ConfigDlg::changeLanguage(int n) {
  const Language& lang = languages()[static_cast<std::size_t>(n - 1)];
  setLanguageFlag(0);
  const QImage picture = resPicture(lang.flagPicture);
  LoadLanguageTexts(platform::joinPath(platform::programFolder(), lang.file));
  if (n == 1) setLanguageFlag(1);
  if (flag_) flag_->SetPicture(picture);
  // Texts shown now follow at once: the status line and the key captions.
  status_ = hintText(hint_);
  update(statusRect());
  if (page(kKeysPage)) page(kKeysPage)->RefreshKeyCaptions();
}

void CQ350ConfigDlg::openLanguagePopup() {
  closeLanguagePopup();
  popup_ = new COrvaneA(this);
  const QPoint buttonBottomLeft = language_->mapToGlobal(QPoint(0, language_->height()));
  popup_->move(buttonBottomLeft.x() - 4, buttonBottomLeft.y() - 287);
  popup_->show();
}

void CQ350ConfigDlg::closeLanguagePopup() {
  if (!popup_) return;
  COrvaneA* p = popup_.data();
  popup_ = nullptr;
  p->close();
  p->deleteLater();
}

void CQ350ConfigDlg::showTrayMenu() {
  activateWindow();
  if (trayMenu_) delete trayMenu_.data();
  trayMenu_ = new QMenu;
  trayMenu_->addAction(builtInQ(u"Config", u"配置键盘"), [this] { postMessage(platform::WM_COMMAND, kCmdTrayConfig); });
  trayMenu_->addAction(builtInQ(u"Exit", u"退出程序"), [this] { postMessage(platform::WM_COMMAND, kCmdTrayExit); });
  trayMenu_->popup(QCursor::pos());
}

void CQ350ConfigDlg::deviceChanged(bool arrival, const QString& name) {
  if (arrival) return;
  if (!name.contains(QStringLiteral("VID_24AE&PID_4011"), Qt::CaseInsensitive)) return;
  postMessage(WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, 0);
}

void CQ350ConfigDlg::paintEvent(QPaintEvent* e) {
  q350ui::CSkinDialog::paintEvent(e);
  if (status_.isEmpty()) return;
  QPainter p(this);
  p.setFont(platform::dialogFont(14, QFont::Light));
  p.setPen(QColor(0x53, 0x61, 0x67));
  const QRect box = statusRect();
  const int flags = Qt::AlignLeft | Qt::TextWordWrap;
  QString shown = status_;
  QRect need = p.fontMetrics().boundingRect(QRect(0, 0, box.width(), 100000), flags, shown);
  while (need.height() > box.height() && shown.size() > 1) {
    shown.chop(2);
    shown += QChar(0x2026);
    need = p.fontMetrics().boundingRect(QRect(0, 0, box.width(), 100000), flags, shown);
  }
  p.drawText(QRect(box.x(), box.y() + (box.height() - need.height()) / 2, box.width(), need.height()), flags, shown);
}

// ---- COrvaneA ----

COrvaneA::COrvaneA(QWidget* owner) : q350ui::CSkinDialog(owner, false), owner_(owner) {
  setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
  setBackgroundDrag(false);
  setMouseTracking(true);
  resize(kWidth, kTop + kLanguageCount * kRowHeight + kTop);
  QImage bg(size(), QImage::Format_RGB32);
  bg.fill(QColor(0x1E, 0x21, 0x25));
  setBackground(bg);
}

COrvaneA::~COrvaneA() = default;

int COrvaneA::rowAt(QPoint p) const {
  if (p.x() < 0 || p.x() >= width() || p.y() < kTop) return 0;
  const int row = (p.y() - kTop) / kRowHeight + 1;
  return row <= kLanguageCount ? row : 0;
}

void COrvaneA::choose(int row) {
  if (row < 1 || row > kLanguageCount) return;
  told_ = true;  // the choice is the answer; no closing notice after it
  if (owner_) platform::postMessageTo(owner_.data(), kMsgLanguage, 0, row);
}

void COrvaneA::paintEvent(QPaintEvent* e) {
  q350ui::CSkinDialog::paintEvent(e);
  QPainter p(this);
  p.setFont(platform::dialogFont(13));
  for (int i = 0; i < kLanguageCount; ++i) {
    const QRect row(0, kTop + i * kRowHeight, width(), kRowHeight);
    if (i + 1 == hover_) p.fillRect(row, QColor(21, 140, 185));
    const QImage icon = resPicture(languages()[static_cast<std::size_t>(i)].menuIcon);
    if (!icon.isNull()) p.drawImage(QPoint(6, row.y() + (kRowHeight - icon.height()) / 2), icon);
    p.setPen(Qt::white);
    p.drawText(row.adjusted(32, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromUtf16(languages()[static_cast<std::size_t>(i)].name));
  }
}

void COrvaneA::mousePressEvent(QMouseEvent* e) {
  if (!rect().contains(e->pos())) {
    close();
    return;
  }
  const int row = rowAt(e->pos());
  if (row) choose(row);
}

void COrvaneA::mouseMoveEvent(QMouseEvent* e) {
  const int row = rowAt(e->pos());
  if (row != hover_) {
    hover_ = row;
    update();
  }
}

void COrvaneA::tellClosed() {
  if (told_) return;
  told_ = true;
  if (owner_) platform::postMessageTo(owner_.data(), kMsgLanguage, 0, 0);
}

void COrvaneA::closeEvent(QCloseEvent* e) {
  tellClosed();
  q350ui::CSkinDialog::closeEvent(e);
}

void COrvaneA::hideEvent(QHideEvent* e) {
  tellClosed();
  q350ui::CSkinDialog::hideEvent(e);
}

}  // namespace q350app
