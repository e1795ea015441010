#include "lumera/app/lumera_dlg.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "lumera/app/app_services.h"
#include "lumera/app/gest_dlg.h"
#include "lumera/app/kb_color_dlg.h"
#include "lumera/app/pages.h"
#include "lumera/app/png_btn.h"
#include "lumera/app/progress_dlg.h"
#include "lumera/device/listener.h"
#include "lumera/model/log.h"
#include "lumera/model/macro.h"
#include "lumera/model/profile_rules.h"
#include "platform/hid/qt_device_watcher.h"
#include "platform/paths.h"
#include "platform/ui/window_look.h"
#include "shared/orvane_binding.h"
#include "shared/text_table.h"

namespace lumera {

using platform::LPARAM;
using platform::LRESULT;
using platform::WPARAM;

namespace {

QRect toQRect(const Rect& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }
QPoint toQPoint(const Point& p) { return QPoint(p.x, p.y); }

const Options& opt() { return theConfig().options(); }

QIcon loadIconFile(const char* name) {
  const std::string path = platform::findFileNoCase(platform::programFolder(), name);
  if (!platform::fileExists(path)) return QIcon();
  QIcon icon(QString::fromStdString(path));
  return icon.availableSizes().isEmpty() ? QIcon() : icon;
}

// Pauses the keyboard view's preview for a scope (modal dialogs, applies).
class PreviewPause {
 public:
  explicit PreviewPause(std::function<void(bool)> set) : set_(std::move(set)) { set_(true); }
  ~PreviewPause() { set_(false); }

 private:
  std::function<void(bool)> set_;
};

}  // namespace

CLumeraDlg::CLumeraDlg() : CLumeraDlg(Services{}) {}

CLumeraDlg::CLumeraDlg(Services services, QWidget* parent)
    : CSkinWnd(parent),
      services_(std::move(services)),
      messenger_(services_.messenger ? *services_.messenger : platform::windowMessenger()),
      prompts_(services_.prompts ? *services_.prompts : skinnedPrompts()),
      driver_(theConfig()),
      job_(driver_, messenger_, &programTexts()),
      worker_(job_),
      deviceChange_(driver_) {
  if (services_.processes) {
    processes_ = services_.processes;
  } else {
    ownProcesses_ = platform::makeProcSource();
    processes_ = ownProcesses_.get();
  }
  tray_ = services_.tray ? std::move(services_.tray) : makeSystemTrayIcon();
  // A desktop without a notification area cannot hide the window there, so
  // it works as the mode without an icon: the window always shows, and
  // closing it ends the program.
  trayMode_ = (opt().TrayIcon == 1 || opt().TrayIcon == 3) && tray_->isAvailable() ? opt().TrayIcon : 2;
  mayShow_ = trayMode_ != 1;
  appData_ = AppDataFolder(theConfig());

  icon_ = loadIconFile("appico.ico");
  setFont(platform::dialogFont(14));
  setBackgroundDrag(true);

  const platform::WindowHandle self = handle();
  platform::WindowMessenger* messenger = &messenger_;
  worker_.SetApplyObserver(
      [self, messenger](bool ok) { messenger->postMessage(self, kMsgApplyOver, ok ? 1 : 0, 0); });

  RemovalSteps steps;
  steps.showRemovedMessage = [this] { prompts_.info(this, text("tc_msg15")); };
  steps.closeTopWindows = [this] { CloseTopWindows(); };
  steps.closeMainWindow = [this] { postMessage(platform::WM_CLOSE); };
  deviceChange_.SetRemovalSteps(std::move(steps));
}

CLumeraDlg::~CLumeraDlg() {
  Log("DestroyWindow");
  worker_.StopApplyWorker();
  profiles_.clear();
  current_ = -1;
  theMacroList().clear();
  if (tray_) tray_->remove();
  driver_.StopListener();
  watcher_.reset();
  main_ = QImage();
  delete view_;
  view_ = nullptr;
  delete led_;
  led_ = nullptr;
  delete gest_;
  gest_ = nullptr;
  delete panel_;
  panel_ = nullptr;
}

QString CLumeraDlg::text(const char* key) const { return uiText(key); }

ProfileRecord* CLumeraDlg::currentProfile() {
  return current_ >= 0 && current_ < static_cast<int>(profiles_.size()) ? &profiles_[static_cast<std::size_t>(current_)]
                                                                        : nullptr;
}

CPngBtn* CLumeraDlg::button(int id) const {
  switch (id) {
    case kIdMin: return min_;
    case kIdExit: return exit_;
    case kIdProfile1: return profileButtons_[0];
    case kIdProfile2: return profileButtons_[1];
    case kIdProfile3: return profileButtons_[2];
    case kIdMacro: return macro_;
    case kIdReset: return reset_;
    case kIdOk: return ok_;
    case kIdCancel: return cancel_;
    case kIdApply: return apply_;
    case kIdKbView: return kbView_;
    case kIdGestView: return gestView_;
    default: return nullptr;
  }
}

QRect CLumeraDlg::textLineRect() const {
  const QRect kb = toQRect(opt().rcKB);
  const int bottom = kb.top() + kb.height();
  return QRect(QPoint(kb.left() + 4, bottom + 5), QPoint(kb.left() + 500 - 1, bottom + 45 - 1));
}

void CLumeraDlg::setVisible(bool visible) {
  // The window never shows while it lives in the notification area only.
  if (visible && !mayShow_) return;
  CSkinWnd::setVisible(visible);
}

// ---- Initialisation ----------------------------------------------------------

void CLumeraDlg::onInitDialog() {
  QIcon icon = loadIconFile("q330rgb.ico");
  if (icon.isNull()) icon = icon_;
  if (icon.isNull()) {
    Log("Load Icon err=%x", 2);
    icon = QApplication::windowIcon();
  }
  icon_ = icon;
  setWindowIcon(icon_);

  if (!layOut()) return;
  setWindowTitle(text("tc_title"));

  if (services_.watchDevices) {
    watcher_ = std::make_unique<platform::QtDeviceWatcher>(platform::kUsbDeviceInterfaceClass);
    connect(watcher_.get(), &platform::QtDeviceWatcher::deviceChanged, this,
            [this](bool arrival, const QString& name, unsigned cls) { onDeviceChange(arrival, name, cls); });
    watcher_->start();
  }
  setWindowTimer(kTimerAutoSwitch, kAutoSwitchPeriodMs);

  driver_.LoadDriver(handle(), messenger_, services_.hidLibrary);
  const bool found = driver_.FindDev();
  if (!found && opt().Suwnd == 0) {
    prompts_.info(this, text("tc_msg15"));
    // Ended here, the window is never shown.
    endDialog(platform::IDCANCEL);
    return;
  }
  if (found && driver_.DeviceCount() > 1) prompts_.info(this, text("tc_msg11"));
  worker_.StartApplyWorker();
  ReadMacroLibrary(opt().MacroDir != 0);
  if (trayMode_ == 1 || trayMode_ == 3) addTray();
  // The profiles are there from the start, so that the automatic switch
  // also works while the window waits hidden in the notification area.
  loadProfiles();
  if (mayShow_) OpenWindow();
}

bool CLumeraDlg::layOut() {
  main_ = loadSkin(QStringLiteral("main_nr.png"));
  if (main_.width() <= 0) {
    main_ = QImage();
    platform::messageBox(this, u"Load skins failed.", u"Error", platform::MessageBoxIcon::Error);
    endDialog(platform::IDCANCEL);
    return false;
  }
  setBackground(main_);

  // The window region: what the colour key leaves of the mask picture, or
  // of the main picture itself.
  const QColor key = platform::colourFromRef(opt().ClrMask);
  const QImage mask = loadSkin(QStringLiteral("main_mask.png"));
  if (!mask.isNull())
    region_ = platform::regionFromColourKey(platform::flattenOver(mask, Qt::white), key.rgb(), 150);
  else
    region_ = platform::regionFromColourKey(platform::flattenOver(main_, key), key.rgb(), 10);
  setMask(region_);
  // A Wayland compositor shapes only the input by the mask: the cut-away
  // parts are painted transparent as well.
  if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
    setAttribute(Qt::WA_TranslucentBackground);

  resize(main_.size());
  const QRect screen = platform::workArea();
  auto axis = [](int start, int screenLen, int len) {
    const int d = screenLen - len;
    int v = d / 2;
    if (d < 2 || v >= screenLen) v = 10;
    return start + v;
  };
  move(axis(screen.x(), screen.width(), main_.width()), axis(screen.y(), screen.height(), main_.height()));

  createButtons();
  createChildren();
  return true;
}

void CLumeraDlg::createButtons() {
  const Options& o = opt();
  const bool tips = o.BtnTips != 0;
  auto make = [&](const char* nr, const char* ov, const char* dn, bool check, const QString& label, QPoint at,
                  int id) {
    auto* b = new CPngBtn(this);
    if (!b->CreateSkinButton(nr, ov, dn, this, main_, QPoint(), check, tips, label, at, id))
      Log("Create button %d failed", id);
    return b;
  };
  min_ = make("min_nr.png", "min_ov.png", "min_ov.png", false, QString(), toQPoint(o.ptMin), kIdMin);
  exit_ = make("exit_nr.png", "exit_ov.png", "exit_ov.png", false, QString(), toQPoint(o.ptExit), kIdExit);
  QPoint at = toQPoint(o.ptProfile);
  for (int i = 0; i < 3; ++i) {
    const QString label = QString::fromStdU16String(platform::formatU16(u"%s %d", shared::Text("tc_protitle"), i + 1));
    profileButtons_[static_cast<std::size_t>(i)] =
        make("button_nr.png", "button_nr.png", "button_dn.png", true, label, at, kIdProfile1 + i);
    profileButtons_[static_cast<std::size_t>(i)]->installEventFilter(this);
    at.ry() += profileButtons_[static_cast<std::size_t>(i)]->height() + 8;
  }
  macro_ = make("button_nr.png", "button_nr.png", "button_dn.png", false, text("tc_page2"), toQPoint(o.ptMacro),
                kIdMacro);
  reset_ = make("button_nr.png", "button_nr.png", "button_dn.png", false, text("tc_restore"), toQPoint(o.ptReset),
                kIdReset);
  const QPoint okAt = toQPoint(o.ptApplyBtn);
  ok_ = make("btn_nr.png", "btn_ov.png", "btn_nr.png", false, text("tc_ok"), okAt, kIdOk);
  cancel_ = make("btn_nr.png", "btn_ov.png", "btn_nr.png", false, text("tc_cancel"), okAt + QPoint(57 + 6, 0),
                 kIdCancel);
  apply_ = make("btn_nr.png", "btn_ov.png", "btn_nr.png", false, text("tc_apply"), okAt + QPoint(2 * (57 + 6), 0),
                kIdApply);
  const QRect kb = toQRect(o.rcKB);
  const QPoint kbAt(kb.left(), kb.top() - 50);
  kbView_ = make("kb_nr.png", "kb_nr.png", "kb_nr.png", false, QString(), kbAt, kIdKbView);
  gestView_ = make("guest_nr.png", "guest_nr.png", "guest_nr.png", false, QString(), kbAt + QPoint(57 + 20, 0),
                   kIdGestView);
  if (o.Gest == 0) {
    kbView_->hide();
    gestView_->hide();
  }
}

void CLumeraDlg::createChildren() {
  const Options& o = opt();
  const LumeraConfig& config = theConfig();

  panel_ = createColourPanel(this, main_, QRect(QPoint(280, 420), QPoint(539, 609)));
  panel_->hide();

  view_ = new CKBColorDlg(this);
  const QRect kb = toQRect(o.rcKB);
  view_->setGeometry(kb);
  view_->setMode(CKBColorDlg::kLightingMode);
  view_->setHoverColour(o.ClrKeyOv);
  view_->setAnimatedCount(o.MaxEftKeyIndex);
  std::vector<CKBColorDlg::SlotInit> keySlots;
  for (int i = 0; i < config.keyCount(); ++i) {
    const KeyInfo& k = config.keyLayout()[static_cast<std::size_t>(i)];
    CKBColorDlg::SlotInit s;
    s.rect = QRect(k.funA.rcKey[0], k.funA.rcKey[1], k.funA.rcKey[2], k.funA.rcKey[3]);
    s.hitCode = ViewHitCode(k);
    s.notReal = IsNotRealKeyCode(s.hitCode);
    keySlots.push_back(s);
  }
  view_->SetKeySlots(keySlots);
  if (o.unRectKey.used) {
    std::vector<QPoint> outline;
    for (const Point& p : o.unRectKey.outline) outline.emplace_back(p.x, p.y);
    view_->SetSpecialKey(o.unRectKey.keyIndex, outline);
  }
  view_->SetBackground(main_, kb);
  view_->show();

  LightingPartners partners;
  partners.view = view_;
  partners.colourPanel = panel_;
  partners.requestApply = [this](unsigned flags) { requestApply(flags); };
  led_ = createLightingPage(this, main_, toQRect(o.rcLED), partners);
  led_->show();
  panel_->SetOwnerPage(led_);
  panel_->raise();

  if (o.Gest != 0) {
    const QRect ledRect = toQRect(o.rcLED);
    const int okTop = o.ptApplyBtn.y;
    const QRect page(QPoint(ledRect.left() + ledRect.width() + 10, kb.top()),
                     QPoint(main_.width() - 10 - 1, okTop - 10 - 1));
    gest_ = new CGestDlg(this, main_, page);
    gest_->SetMacroCheck([this](std::int32_t id) { return macroFits(id); });
    gest_->hide();
  }
}

void CLumeraDlg::addTray() {
  if (tray_->add(this, windowIcon(), text("tc_title"))) return;
  // Without its icon the program must not wait unseen: the window shows.
  Log("Tray icon could not be added");
  trayMode_ = 2;
  mayShow_ = true;
}

// ---- Opening, profiles, views ------------------------------------------------

void CLumeraDlg::OpenWindow() {
  if (!driver_.IsOpen()) {
    if (tray_->exists()) tray_->showBalloon(QStringLiteral("Info"), text("tc_msg15"), 3);
    if (opt().Suwnd == 0) return;
  }
  if (isVisible()) {
    raise();
    activateWindow();
    return;
  }
  loadProfiles();
  mayShow_ = true;
  show();
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) raise();
  activateWindow();
}

void CLumeraDlg::loadProfiles() {
  profiles_.clear();
  current_ = -1;
  LoadProfiles(appData_, profiles_);
  if (TopUpProfiles(profiles_, theConfig(), programTexts()) > 0)
    Log("Profiles: %d stored, three new ones added", static_cast<int>(profiles_.size()) - kProfileButtons);
  for (std::size_t b = 0; b < buttonIds_.size(); ++b) buttonIds_[b] = b < profiles_.size() ? profiles_[b].id : 0;
  const std::int32_t stored = LoadCurrentId(appData_);
  const auto it = std::find_if(profiles_.begin(), profiles_.end(),
                               [stored](const ProfileRecord& p) { return stored != 0 && p.id == stored; });
  SelectProfile(it != profiles_.end() ? it->id : profiles_.front().id);
}

void CLumeraDlg::SelectProfile(std::int32_t id) {
  const auto it =
      std::find_if(profiles_.begin(), profiles_.end(), [id](const ProfileRecord& p) { return p.id == id; });
  if (it == profiles_.end()) return;
  current_ = static_cast<int>(it - profiles_.begin());
  for (std::size_t b = 0; b < profileButtons_.size(); ++b)
    if (profileButtons_[b]) profileButtons_[b]->SetCheck(buttonIds_[b] == id);
  RefreshViews();
}

void CLumeraDlg::RefreshViews() {
  ProfileRecord* cur = currentProfile();
  const LumeraConfig& config = theConfig();
  if (view_) {
    for (int i = 0; i < config.keyCount(); ++i) {
      const std::size_t k = static_cast<std::size_t>(i);
      view_->SetKeyMarked(i, cur && !IsDefaultFunction(cur->keys[k].funA, config.keyLayout()[k].funA));
    }
    std::array<Colour, kViewSlots> colours{};
    if (cur && cur->effectIndex == opt().GameIndex) {
      const std::size_t group = std::min<std::size_t>(cur->colourGroup, kColourGroups - 1);
      for (int i = 0; i < config.keyCount(); ++i) {
        const std::int32_t matrix = config.keyLayout()[static_cast<std::size_t>(i)].funA.dwMatrixInx;
        if (matrix >= 0 && matrix < kKeyCount)
          colours[static_cast<std::size_t>(i)] = cur->groupColours[group][static_cast<std::size_t>(matrix)];
      }
    }
    view_->SetKeyColours(colours);
    view_->clearHover();
  }
  if (led_) led_->LoadFromProfile(cur);
  if (gest_) {
    gest_->SetProfileGestures(cur ? &cur->gestures : nullptr);
    gest_->RefreshFromProfile();
  }
}

void CLumeraDlg::CloseTopWindows() {
  for (const char16_t* title : {u"LumeraMsgTopWindow", u"KeyFunPickTopWindow", u"MacroTopWindow"}) {
    if (const platform::WindowHandle h = messenger_.findWindow(title)) messenger_.postMessage(h, platform::WM_CLOSE, 0, 0);
  }
}

// ---- Painting and mouse ------------------------------------------------------

void CLumeraDlg::paintEvent(QPaintEvent*) {
  QImage frame(size(), QImage::Format_ARGB32_Premultiplied);
  frame.fill(Qt::transparent);
  {
    QPainter p(&frame);
    p.fillRect(rect(), QColor(255, 255, 255, 200));
    if (!main_.isNull()) p.drawImage(rect(), main_);
    const QColor colour = platform::colourFromRef(opt().Txt_clr);
    p.setPen(colour);
    p.setFont(font());
    const QRect version(QPoint(31, 606), QPoint(230, 625));
    p.drawText(version, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               p.fontMetrics().elidedText(text("tc_version"), Qt::ElideRight, version.width()));
    if (view_ && view_->mode() == CKBColorDlg::kKeyAssignMode) {
      const QRect line = textLineRect();
      QString t = text("tc_msg23");
      // Word-wrapped; what does not fit ends with an ellipsis.
      const QRect needed = p.fontMetrics().boundingRect(line, Qt::TextWordWrap, t);
      if (needed.height() > line.height()) t = p.fontMetrics().elidedText(t, Qt::ElideRight, line.width() * 2);
      p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, t);
    }
  }
  QPainter screen(this);
  if (!region_.isEmpty()) screen.setClipRegion(region_);
  screen.setCompositionMode(QPainter::CompositionMode_Source);
  screen.drawImage(0, 0, frame);
}

void CLumeraDlg::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && panel_) panel_->hide();
  CSkinWnd::mousePressEvent(e);
}

bool CLumeraDlg::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(e)->button() == Qt::RightButton) {
    for (std::size_t b = 0; b < profileButtons_.size(); ++b) {
      if (watched != profileButtons_[b]) continue;
      const std::vector<OrvaneMenuItem> items = {
          shared::makeMenuItem(ORVANE_TOP_LEVEL, kMenuLinkProgram, shared::Text("tc_link_program")),
          shared::makeMenuItem(ORVANE_TOP_LEVEL, kMenuUnlinkProgram, shared::Text("tc_unlink_program"))};
      openSkinMenu(this, profileButtons_[b], items, 0, static_cast<std::intptr_t>(b));
      return true;
    }
  }
  return CSkinWnd::eventFilter(watched, e);
}

// ---- Messages -----------------------------------------------------------------

bool CLumeraDlg::onMessage(unsigned message, WPARAM w, LPARAM l, LRESULT& result) {
  static const platform::MessageEntry<CLumeraDlg> kMap[] = {
      {platform::WM_COMMAND, &CLumeraDlg::OnCommand},     {platform::WM_TIMER, &CLumeraDlg::OnTimer},
      {kMsgTrayCallback, &CLumeraDlg::OnTrayCallback},    {kMsgKeyClicked, &CLumeraDlg::OnKeyClicked},
      {kMsgViewMode, &CLumeraDlg::OnViewMode},            {kMsgCloseRequest, &CLumeraDlg::OnCloseRequest},
      {kMsgDeviceReport, &CLumeraDlg::OnDeviceReport},    {kMsgApplyOver, &CLumeraDlg::OnApplyOver},
      {kMsgMenuChoice, &CLumeraDlg::OnMenuChoice},
  };
  if (message == platform::WM_COMMAND) CSkinWnd::onMessage(message, w, l, result);  // closes an open menu
  if (platform::dispatchMessages(this, kMap, message, w, l, result)) return true;
  return CSkinWnd::onMessage(message, w, l, result);
}

LRESULT CLumeraDlg::OnCommand(WPARAM w, LPARAM) {
  const int id = static_cast<int>(platform::loWord(w));
  switch (id) {
    case kIdExit:
    case kIdCancel: onExitOrCancel(); break;
    case kIdMin: showMinimized(); break;
    case kIdOk: onOkOrApply(true); break;
    case kIdApply: onOkOrApply(false); break;
    case kIdReset: onReset(); break;
    case kIdMacro: onMacro(); break;
    case kIdKbView:
      if (view_) view_->show();
      if (gest_) gest_->hide();
      break;
    case kIdGestView:
      if (view_) view_->hide();
      if (gest_) gest_->show();
      break;
    case kIdProfile1:
    case kIdProfile2:
    case kIdProfile3: onProfileButton(id - kIdProfile1); break;
    case static_cast<int>(kTrayOpen): OpenWindow(); break;
    case static_cast<int>(kTrayExit): endProgram(); break;
    default: break;
  }
  return 0;
}

LRESULT CLumeraDlg::OnTimer(WPARAM w, LPARAM) {
  if (w == kTimerAutoSwitch) AutoSwitchTick();
  return 0;
}

LRESULT CLumeraDlg::OnTrayCallback(WPARAM, LPARAM l) {
  if (l == TrayIcon::kLeftButtonDown) OpenWindow();
  if (l == TrayIcon::kRightButtonUp) showTrayMenu();
  return 0;
}

LRESULT CLumeraDlg::OnKeyClicked(WPARAM w, LPARAM l) {
  if (panel_) panel_->hide();
  ProfileRecord* cur = currentProfile();
  if (!cur) return 0;
  if (view_ && view_->mode() == CKBColorDlg::kLightingMode) {
    if (led_) led_->postMessage(kMsgKeyClicked, w, l);
    return 0;
  }
  const int k = static_cast<int>(w);
  if (k < 0 || k >= theConfig().keyCount()) return 0;
  if (!uiHooks().pickKeyFunction) return 0;
  PreviewPause pause([this](bool on) { pausePreview(on); });
  KeyInfo picked;
  const KeyInfo shown = cur->keys[static_cast<std::size_t>(k)];
  if (uiHooks().pickKeyFunction(this, k, shown, picked)) AssignKeyFunction(k, picked);
  return 0;
}

LRESULT CLumeraDlg::OnViewMode(WPARAM w, LPARAM) {
  if (!view_) return 0;
  if (w != 0) {
    view_->setMode(CKBColorDlg::kLightingMode);
  } else {
    view_->setMode(CKBColorDlg::kKeyAssignMode);
    view_->ClearKeyColours();
  }
  view_->update();
  update(textLineRect());
  return 0;
}

LRESULT CLumeraDlg::OnCloseRequest(WPARAM, LPARAM) {
  CloseTopWindows();
  postMessage(platform::WM_CLOSE);
  return 0;
}

LRESULT CLumeraDlg::OnDeviceReport(WPARAM, LPARAM) { return 0; }

LRESULT CLumeraDlg::OnApplyOver(WPARAM, LPARAM) {
  if (pendingApplies_ > 0) --pendingApplies_;
  // The worker closes the progress dialog itself once it found it; when it
  // never found it, the dialog ends here with the last apply.
  if (pendingApplies_ == 0 && progress_ && progress_->isRunningModal()) progress_->endDialog(platform::IDOK);
  return 0;
}

LRESULT CLumeraDlg::OnMenuChoice(WPARAM w, LPARAM l) {
  const int b = static_cast<int>(l);
  if (b < 0 || b >= 3) return 0;
  if (w == kMenuLinkProgram) linkProgram(b, true);
  if (w == kMenuUnlinkProgram) linkProgram(b, false);
  return 0;
}

// ---- Commands -------------------------------------------------------------------

void CLumeraDlg::pausePreview(bool paused) {
  pauseDepth_ += paused ? 1 : -1;
  if (pauseDepth_ < 0) pauseDepth_ = 0;
  if (view_) view_->setPaused(pauseDepth_ > 0);
}

bool CLumeraDlg::livesInTray() const {
  // Only a window that can come back from the notification area hides;
  // without an icon (mode 2, no tray host, or the icon could not be added)
  // closing ends the program instead of leaving it running unseen.
  return (trayMode_ == 1 || trayMode_ == 3) && tray_->exists();
}

void CLumeraDlg::endProgram() {
  CloseTopWindows();
  postMessage(platform::WM_CLOSE);
}

void CLumeraDlg::onExitOrCancel() {
  job_.SetResetRequest(false);
  if (livesInTray())
    hide();
  else
    endProgram();
}

bool CLumeraDlg::requestApply(unsigned flags) {
  ProfileRecord* cur = currentProfile();
  if (!cur) return false;
  const bool accepted = flags == kApplyEverything ? worker_.RequestApply(*cur, theMacroList())
                                                  : worker_.RequestApply(flags, *cur, theMacroList());
  if (accepted) ++pendingApplies_;
  return accepted;
}

void CLumeraDlg::saveAll() {
  if (!SaveProfiles(appData_, profiles_)) Log("SaveProfiles failed");
  if (!SaveCurrentId(appData_, currentProfile())) Log("SaveCurrentId failed");
}

bool CLumeraDlg::RunApply() {
  PreviewPause pause([this](bool on) { pausePreview(on); });
  if (!driver_.IsOpen() && opt().GoWithNoDev == 0) {
    prompts_.info(this, text("tc_msg15"));
    return false;
  }
  if (driver_.DeviceCount() > 1) {
    prompts_.info(this, text("tc_msg11"));
    return false;
  }
  if (!currentProfile()) return false;
  if (led_) led_->StoreToProfile();
  CProgressDlg dlg(this);
  dlg.SetImages(QStringLiteral("progress_nr.png"), QStringLiteral("progress_ov.png"));
  dlg.SetBarRect(45, 101, 486, 123);
  dlg.SetText(text("tc_msg12"), QRect(QPoint(15, 12), QPoint(454, 31)));
  dlg.SetRange(0, 100);
  progress_ = &dlg;
  if (requestApply(kApplyEverything)) dlg.doModal();
  progress_ = nullptr;
  saveAll();
  return true;
}

void CLumeraDlg::onOkOrApply(bool ok) {
  if (!RunApply()) return;
  if (!ok) return;
  if (livesInTray())
    hide();
  else
    endProgram();
}

void CLumeraDlg::onReset() {
  PreviewPause pause([this](bool on) { pausePreview(on); });
  if (!prompts_.askYesNo(this, text("tc_msg5"))) return;
  ProfileRecord* cur = currentProfile();
  if (!cur) return;
  ResetProfile(*cur, theConfig());
  RefreshViews();
  job_.SetResetRequest(true);
  if (!RunApply()) job_.SetResetRequest(false);
}

void CLumeraDlg::onMacro() {
  if (!uiHooks().runMacroLibrary) return;
  PreviewPause pause([this](bool on) { pausePreview(on); });
  uiHooks().runMacroLibrary(this, [this](int id) { return MacroInUseTest(id); });
}

bool CLumeraDlg::MacroInUseTest(int macroId) {
  if (!MacroInUse(profiles_, macroId)) return false;
  prompts_.info(this, text("tc_macro_msg18"));
  return true;
}

void CLumeraDlg::onProfileButton(int b) {
  SelectProfile(buttonIds_[static_cast<std::size_t>(b)]);
  update(textLineRect());
}

bool CLumeraDlg::macroFits(std::int32_t macroId) {
  const ProfileRecord* cur = currentProfile();
  if (!cur) return false;
  if (MacroFitsBuffers(*cur, macroId, theMacroList(), theConfig().hwParam().nMacroBufferNum)) return true;
  prompts_.info(this, text("tc_page5"));
  return false;
}

bool CLumeraDlg::AssignKeyFunction(int k, const KeyInfo& picked) {
  ProfileRecord* cur = currentProfile();
  const LumeraConfig& config = theConfig();
  // The key is the one message 1153 named, not whichever the view holds as
  // selected by now.
  if (!cur || k < 0 || k >= config.keyCount()) return false;
  const std::size_t i = static_cast<std::size_t>(k);
  KeyInfo& key = cur->keys[i];
  const KeyInfo& layout = config.keyLayout()[i];
  const KeyFunction& f = picked.funA;
  if (f.type() == 5 && !macroFits(f.nMacroId)) return false;
  if (f.type() == 2 && key.funA.type() == 2 && f.stCombo.mask == key.funA.stCombo.mask &&
      f.stCombo.VkCode1 == key.funA.stCombo.VkCode1)
    return false;
  const bool isDefault = IsDefaultFunction(f, layout.funA);
  key = layout;
  key.funA.dwFunID = f.dwFunID;
  key.funA.nMacroId = f.nMacroId;
  key.funA.dwParam = f.dwParam;
  key.funA.stCombo = f.stCombo;
  Log("Key[%d][%d] set to %s (funid=0x%08x)", current_, k, functionNameOf(key.funA), key.funA.dwFunID);
  if (view_) view_->SetKeyMarked(k, !isDefault);
  if (opt().ApplyNow != 0) requestApply(kApplyKeys);
  return true;
}

void CLumeraDlg::linkProgram(int b, bool link) {
  const std::int32_t id = buttonIds_[static_cast<std::size_t>(b)];
  const auto it =
      std::find_if(profiles_.begin(), profiles_.end(), [id](const ProfileRecord& p) { return p.id == id; });
  if (it == profiles_.end()) return;
  if (link) {
    QString name;
    if (!prompts_.askText(this, text("tc_link_program_msg"), name)) return;
    name = name.trimmed();
    if (name.isEmpty()) return;
    setProfileProgramName(*it, name.toStdU16String());
  } else {
    setProfileProgramName(*it, u"");
  }
  if (!SaveProfiles(appData_, profiles_)) Log("SaveProfiles failed");
}

void CLumeraDlg::showTrayMenu() {
  QMenu menu;
  QAction* open = menu.addAction(text("tc_config"));
  menu.addSeparator();
  QAction* quit = menu.addAction(text("tc_exit"));
  QAction* chosen = menu.exec(QCursor::pos());
  if (chosen == open) postMessage(platform::WM_COMMAND, kTrayOpen, 0);
  if (chosen == quit) postMessage(platform::WM_COMMAND, kTrayExit, 0);
  postMessage(platform::WM_NULL);
}

// ---- Devices and the automatic switch ------------------------------------------

void CLumeraDlg::onDeviceChange(bool arrival, const QString& name, unsigned) {
  deviceChange_.OnDeviceChange(arrival ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE, name.toStdString());
}

void CLumeraDlg::AutoSwitchTick() {
  if (!driver_.IsOpen() || profiles_.empty()) return;
  // Not while the user is in a dialog or an apply runs: the switch would
  // change the profile under them.
  if (isApplying()) return;
  QWidget* modal = QApplication::activeModalWidget();
  if (modal && modal != this) return;
  std::vector<int> pids;
  const int index = FindProfileForProcesses(profiles_, processes_->list(), &pids);
  if (index < 0 || index == current_) return;
  std::sort(pids.begin(), pids.end());
  const ProfileRecord target = profiles_[static_cast<std::size_t>(index)];
  // After a failed write, try again only when other processes match.
  if (switchFailed_ && failedSwitchProfile_ == target.id && failedSwitchPids_ == pids) return;
  const bool ok = job_.ApplySetting(&target, MacrosUsedBy(target, theMacroList()), 0, 0,
                                    kApplyKeys | kApplyProfile | kApplyLedMatrix);
  if (!ok) {
    Log("Auto switch to profile 0x%08x failed", target.id);
    switchFailed_ = true;
    failedSwitchProfile_ = target.id;
    failedSwitchPids_ = pids;
    return;
  }
  switchFailed_ = false;
  if (isVisible())
    SelectProfile(target.id);
  else
    current_ = index;
  SaveCurrentId(appData_, currentProfile());
}

}  // namespace lumera
