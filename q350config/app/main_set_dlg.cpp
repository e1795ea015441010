#include "q350config/app/main_set_dlg.h"

#include <algorithm>
#include <set>

#include <QPainter>

#include "platform/ui/window_look.h"

#include "q350config/app/app_files.h"
#include "q350config/app/info_dlg.h"
#include "q350config/app/setting_dlg.h"
#include "q350config/controls/control_messages.h"
#include "q350config/settings/settings_store.h"

namespace q350app {

using q350ui::CSkinButton;

namespace {

// A key button whose caption covers the key's printed legend: the new
// function's name on a dark plate, in two lines when it needs them, so a
// changed key reads as what it does now.
class CKeyButton : public CSkinButton {
 public:
  using CSkinButton::CSkinButton;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawImage(0, 0, face(currentFace()));
    if (!caption().isEmpty()) {
      const QRectF plate = QRectF(rect()).adjusted(3, 3, -3, -3);
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(10, 12, 15, 235));
      p.drawRoundedRect(plate, 2, 2);
      p.setFont(platform::dialogFont(10));
      p.setPen(currentFace() == kNormal ? QColor(23, 148, 195) : QColor(255, 255, 255));
      const QRect box = plate.toRect().adjusted(1, 0, -1, 0);
      QString shown = caption();
      const int flags = Qt::AlignCenter | Qt::TextWordWrap;
      while (shown.size() > 1 && p.fontMetrics().boundingRect(box, flags, shown).height() > box.height()) {
        shown.chop(2);
        shown += QChar(0x2026);
      }
      p.drawText(box, flags, shown);
    }
    if (isMarked()) {
      p.setPen(QPen(QColor(21, 140, 185), 2));
      p.setBrush(Qt::NoBrush);
      p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
  }
};

}  // namespace

ProfileMacroIds& profileMacroIds() {
  static ProfileMacroIds ids;
  return ids;
}

CMainSetDlg::CMainSetDlg(QWidget* parent) : CQ350Page(parent, "Keyboard/Q350_Main_Normal.bmp") {
  faces_ = skinFaces(background(), "Keyboard/Q350_Main_");
  const auto& list = q350::KeyList();
  for (std::size_t i = 0; i < list.size(); ++i) {
    const q350::KeyListEntry& k = list[i];
    keys_[i] = new CKeyButton(this);
    // The nine entries without a rectangle stay invisible buttons.
    keys_[i]->Create(faces_, q350ui::rectLTRB(k.left, k.top, k.right, k.bottom), kIdKeyFirst + static_cast<int>(i));
    keys_[i]->SetCaptionPixelSize(9);
    keys_[i]->SetCaptionColours(QColor(23, 148, 195), QColor(255, 255, 255), QColor(255, 255, 255));
  }
}

int CMainSetDlg::positionOf(std::uint32_t matrixIndex) const {
  const auto& list = q350::KeyList();
  for (std::size_t i = 0; i < q350::kVisibleKeys; ++i)
    if (list[i].matrixIndex == matrixIndex) return static_cast<int>(i);
  return -1;
}

void CMainSetDlg::refreshKey(std::uint32_t matrixIndex) {
  const q350::SettingsStore& s = q350::settings();
  const std::size_t m = matrixIndex % q350::kKeyCount;
  const bool changed = s.keyMap[m] != s.defaultKeyMap[m];
  const QString caption = changed ? QString::fromStdU16String(s.AssignmentName(m)) : QString();
  const auto& list = q350::KeyList();
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i].matrixIndex != matrixIndex) continue;
    keys_[i]->SetCaption(caption);
    keys_[i]->SetMarked(changed);
  }
}

void CMainSetDlg::RefreshKeyCaptions() {
  for (std::uint32_t m = 0; m < q350::kVisibleKeys; ++m) refreshKey(m);
}

bool CMainSetDlg::onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) {
  static const platform::MessageEntry<CMainSetDlg> map[] = {
      {platform::WM_COMMAND, &CMainSetDlg::OnCommand},
  };
  if (message == platform::WM_COMMAND) q350ui::closeSkinMenus();
  if (platform::dispatchMessages(this, map, message, w, l, result)) return true;
  return CQ350Page::onMessage(message, w, l, result);
}

platform::LRESULT CMainSetDlg::OnCommand(platform::WPARAM w, platform::LPARAM) {
  const int pos = static_cast<int>(platform::loWord(w)) - kIdKeyFirst;
  if (pos < 0 || pos >= static_cast<int>(q350::kKeyListSize)) return 0;
  openKeySetting(q350::KeyList()[static_cast<std::size_t>(pos)].matrixIndex);
  return 0;
}

void CMainSetDlg::openKeySetting(std::uint32_t d) {
  CSettingDlg dlg(window(), d);
  if (dlg.doModal() != platform::IDOK) return;
  ApplyResult(d, {dlg.code(), dlg.kind(), dlg.text()});
}

void CMainSetDlg::ApplyResult(std::uint32_t d, const KeySettingResult& r) {
  if (d >= q350::kKeyCount) return;
  q350::SettingsStore& s = q350::settings();
  if (r.kind == kKindMacroResult) {
    assignMacro(d, r.code);
  } else {
    profileMacroIds().row(profile_)[d] = 0;
    // The whole id word goes, not only the half a terminator covers: a stale
    // upper half would make the slot look like another macro's.
    s.keyExtra.setMacroId(d, 0);
    s.keyExtra.setText(d, r.text);
    s.keyMap[d] = r.code;
  }
  refreshKey(d);
}

bool CMainSetDlg::withinMacroLimit(std::uint32_t d) const {
  const q350::SettingsStore& s = q350::settings();
  const ProfileMacroIds::Row& row = profileMacroIds().row(profile_);
  std::set<std::uint32_t> distinct;
  for (std::uint32_t id : row) {
    if (id != 0) distinct.insert(id);
    if (distinct.size() >= static_cast<std::size_t>(kMacroLimit)) break;
  }
  int keys = 0;
  for (const q350::KeyListEntry& k : q350::KeyList()) {
    if (k.matrixIndex == d || k.matrixIndex == 0) continue;
    if (q350::entryKind(s.keyMap[k.matrixIndex]) != q350::kKindMacro) continue;
    if (s.macroLibrary.find(s.keyExtra.macroId(k.matrixIndex))) ++keys;
  }
  return static_cast<int>(distinct.size()) < kMacroLimit && keys < kMacroLimit;
}

void CMainSetDlg::assignMacro(std::uint32_t d, std::uint32_t id) {
  q350::SettingsStore& s = q350::settings();
  const q350::StoredMacro* macro = s.macroLibrary.find(id);
  if (!macro || macro->size == 0) return;
  ProfileMacroIds::Row& row = profileMacroIds().row(profile_);
  const bool known = std::find(row.begin(), row.end(), id) != row.end();
  if (!known && !withinMacroLimit(d)) {
    ShowInfo(this, QStringLiteral("注意：只能分配20个宏到键盘中！"));
    return;
  }
  s.keyMap[d] = q350::kKindMacro;
  row[d] = id;
  s.keyExtra.setMacroId(d, id);
}

}  // namespace q350app
