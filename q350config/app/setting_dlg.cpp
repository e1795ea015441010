#include "q350config/app/setting_dlg.h"

#include <QPainter>

#include "platform/ui/window_look.h"
#include "q350config/app/app_files.h"
#include "q350config/app/hook_library.h"
#include "q350config/app/language.h"
#include "q350config/controls/control_messages.h"
#include "q350config/settings/settings_store.h"

namespace q350app {

using q350ui::CSkinButton;
using q350ui::rectLTRB;

namespace {

QString langText(const char* key) { return QString::fromStdU16String(languageLookup().text(key)); }

const QRect kTitleRect = rectLTRB(135, 1, 277, 20);
const QRect kCurrentRect = rectLTRB(5, 16, 180, 38);
// Wider than the check's own label cell, so a longer translation is not cut.
const QRect kDisableLabelRect = rectLTRB(46, 258, 232, 278);
constexpr QPoint kPagePos(21, 74);

}  // namespace

CSettingDlg::CSettingDlg(QWidget* owner, std::uint32_t keyIndex)
    : q350ui::CSkinDialog(owner, false), key_(keyIndex), owner_(owner) {
  setWindowTitle(QString::fromUtf16(kSettingDlgTitle));
  faces_ = skinFaces(orPlain(skinPicture("Set/setting/Setting_Normal.bmp"), QSize(411, 292), QColor(0x20, 0x22, 0x26)),
                     "Set/setting/Setting_");
  setBackground(faces_.normal);
  sizeToBackground();

  auto make = [&](const QRect& r, int id, CSkinButton::Kind kind, const char* caption) {
    auto* b = new CSkinButton(this);
    b->Create(faces_, r, id, kind);
    if (caption) b->SetCaption(langText(caption));
    b->SetCaptionColours(QColor(189, 189, 200), QColor(255, 255, 255), QColor(255, 255, 255));
    return b;
  };
  close_ = make(rectLTRB(383, 1, 411, 24), kIdClose, CSkinButton::Kind::Push, nullptr);
  tabs_[0] = make(rectLTRB(0, 37, 138, 64), kTabCombination, CSkinButton::Kind::Push, "str_combo_title");
  tabs_[1] = make(rectLTRB(138, 37, 274, 64), kTabMacro, CSkinButton::Kind::Push, "str_mac_def");
  tabs_[2] = make(rectLTRB(274, 37, 411, 64), kTabBase, CSkinButton::Kind::Push, "str_base_fun");
  disable_ = make(rectLTRB(23, 258, 42, 277), kIdDisable, CSkinButton::Kind::Check, nullptr);
  reset_ = make(rectLTRB(238, 254, 315, 289), kIdReset, CSkinButton::Kind::Push, "str_reset");
  ok_ = make(rectLTRB(316, 254, 393, 289), kIdOk, CSkinButton::Kind::Push, "str_ok");

  combo_ = new CDlgSingleCombo(this);
  macro_ = new CDlgMacroSet(this);
  base_ = new CDlgBase(this);
  for (QWidget* page : {static_cast<QWidget*>(combo_), static_cast<QWidget*>(macro_), static_cast<QWidget*>(base_)}) {
    page->move(kPagePos);
    page->hide();
  }
  currentName_ = QString::fromStdU16String(q350::settings().AssignmentName(key_));
}

void CSettingDlg::onInitDialog() {
  // Centred over the main window (or the screen without one).
  if (owner_) {
    QRect r(QPoint(0, 0), size());
    r.moveCenter(owner_->window()->frameGeometry().center());
    move(r.topLeft());
  } else {
    centreOnScreen();
  }
  activateTab(kTabCombination);
  base_->Fill();
  macro_->Fill();
  combo_->Reset();
}

bool CSettingDlg::onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) {
  static const platform::MessageEntry<CSettingDlg> map[] = {
      {platform::WM_COMMAND, &CSettingDlg::OnCommand},
      {platform::WM_CLOSE, &CSettingDlg::OnClose},
  };
  if (message == platform::WM_COMMAND) q350ui::closeSkinMenus();
  if (platform::dispatchMessages(this, map, message, w, l, result)) return true;
  return q350ui::CSkinDialog::onMessage(message, w, l, result);
}

platform::LRESULT CSettingDlg::OnCommand(platform::WPARAM w, platform::LPARAM) {
  const int id = static_cast<int>(platform::loWord(w));
  switch (id) {
    case kTabCombination:
    case kTabMacro:
    case kTabBase: activateTab(id); break;
    case kIdDisable: onDisable(); break;
    case kIdOk: onOk(); break;
    case kIdReset:
      code_ = q350::settings().defaultKeyMap[key_ % q350::kKeyCount];
      finish(platform::IDOK);
      break;
    case kIdClose: finish(platform::IDCANCEL); break;
    default: break;
  }
  return 0;
}

// Closing the window by any other way is a Cancel, with capture off too.
platform::LRESULT CSettingDlg::OnClose(platform::WPARAM, platform::LPARAM) {
  finish(platform::IDCANCEL);
  return 0;
}

void CSettingDlg::hideAllPages() {
  for (CSkinButton* t : tabs_) t->SetCheck(false);
  combo_->hide();
  macro_->hide();
  base_->hide();
}

void CSettingDlg::activateTab(int t) {
  if (disable_->GetCheck()) {
    hideAllPages();
    return;
  }
  tab_ = t;
  if (t == kTabCombination) {
    hookLibrary().SetReciveWindow(combo_);
    hookLibrary().SetHookStatus(true);
  } else {
    hookLibrary().SetHookStatus(false);
  }
  for (int i = kTabCombination; i <= kTabBase; ++i) tabButton(i)->SetCheck(i == t);
  combo_->setVisible(t == kTabCombination);
  macro_->setVisible(t == kTabMacro);
  base_->setVisible(t == kTabBase);
}

void CSettingDlg::onDisable() {
  if (disable_->GetCheck()) {
    // No page shows, so no key may be captured for an invisible page.
    hideAllPages();
    hookLibrary().SetHookStatus(false);
  } else {
    // Back on the combination tab, capturing as it does when clicked.
    activateTab(kTabCombination);
  }
}

void CSettingDlg::onOk() {
  if (disable_->GetCheck()) {
    code_ = 0;
    kind_ = kKindDisabled;
  } else if (base_->isVisible()) {
    code_ = base_->Result();
  } else if (macro_->isVisible()) {
    code_ = macro_->Result();
    if (code_ != 0) kind_ = kKindMacro;
  } else if (combo_->isVisible()) {
    code_ = combo_->Result();
    kind_ = kKindCombination;
  }
  finish(code_ != 0 || kind_ == kKindDisabled ? platform::IDOK : platform::IDCANCEL);
}

void CSettingDlg::finish(int result) {
  hookLibrary().SetHookStatus(false);
  if (isRunningModal())
    endDialog(result);
  else
    hide();
}

void CSettingDlg::paintEvent(QPaintEvent* e) {
  q350ui::CSkinDialog::paintEvent(e);
  QPainter p(this);
  p.setFont(platform::dialogFont(14, QFont::Light));
  p.setPen(QColor(88, 94, 105));
  p.drawText(kTitleRect, Qt::AlignCenter, langText("str_setting_panel"));
  p.setPen(QColor(189, 189, 200));
  const QString current = langText("str_current_fun") + currentName_;
  p.drawText(kCurrentRect, Qt::AlignLeft | Qt::AlignVCenter,
             p.fontMetrics().elidedText(current, Qt::ElideRight, kCurrentRect.width()));
  p.drawText(kDisableLabelRect, Qt::AlignLeft | Qt::AlignVCenter, langText("str_disable"));
}

}  // namespace q350app
