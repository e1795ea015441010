#include "lumera/app/gest_dlg.h"

#include "lumera/app/msg_dlg.h"
#include "lumera/app/png_btn.h"
#include "shared/orvane_binding.h"

namespace lumera {

using platform::LPARAM;
using platform::LRESULT;
using platform::WPARAM;

namespace {

// Seven 100 x 100 buttons: four in the first row from (80, 20) with 40
// pixels between them, three in the second row 30 pixels lower.
QPoint gesturePosition(int i) {
  const int row = i < 4 ? 0 : 1;
  const int column = i < 4 ? i : i - 4;
  return QPoint(80 + column * 140, 20 + row * 130);
}
// The function button: 60 pixels below the second row, 20 right of its left.
const QPoint kFunctionPosition(80 + 20, 20 + 130 + 100 + 60);

constexpr std::uint32_t kComboFunction = 0x020000A1;
constexpr std::uint32_t kMacroFunction = 0x05000000;

}  // namespace

const std::vector<CGestDlg::MenuEntry>& CGestDlg::functionMenu() {
  static const std::vector<MenuEntry> menu = {
      {-1, "tc_kbmedia_msel", 0x04000021},    {-1, "tc_PL", 0x04000022},        {-1, "tc_next_media", 0x04000025},
      {-1, "tc_pre_media", 0x04000024},       {-1, "tc_stop", 0x04000023},      {-1, "tc_mute", 0x04000028},
      {-1, "tc_vol_up", 0x04000026},          {-1, "tc_vol_dw", 0x04000027},    {-1, "tc_kbmedia_explore", 0x03000032},
      {-1, "tc_kbmedia_main", 0x03000034},    {-1, "tc_combokey", 0x02000000},  {-1, "tc_msg25", 0x05000000},
      {-1, "tc_msg16", 0x080000B0},           {-1, "tc_msg17", 0x080000B1},     {-1, "tc_msg18", 0x080000B4},
      {-1, "tc_msg19", 0x080000B7},           {-1, "tc_msg21", 0x080000A2},     {14, "tc_adv_str1", 0x080000B2},
      {14, "tc_adv_str2", 0x080000B3},        {14, "tc_adv_str16", 0x080000B4}, {15, "tc_adv_str5", 0x080000B5},
      {15, "tc_adv_str6", 0x080000B6},        {15, "tc_adv_str16", 0x080000B7},
  };
  return menu;
}

CGestDlg::CGestDlg(QWidget* parent, const QImage& mainBackground, const QRect& pageRect) : CSkinWnd(parent, true) {
  setGeometry(pageRect);
  setBackground(mainBackground.isNull() ? QImage() : mainBackground.copy(pageRect));
  created_ = true;
  for (int i = 0; i < kGestureCount; ++i) {
    auto* b = new CPngBtn(this);
    const QString n = QString::number(i + 1);
    if (!b->CreateSkinButton("Gest/gest" + n + "_nr.png", "Gest/gest" + n + "_ov.png", "Gest/gest" + n + "_dn.png",
                             this, background(), QPoint(), true, false, QString(), gesturePosition(i),
                             kGestureBaseId + i))
      created_ = false;
    gestures_[static_cast<std::size_t>(i)] = b;
  }
  function_ = new CPngBtn(this);
  if (!function_->CreateSkinButton("combo_nr.png", "combo_ov.png", "combo_ov.png", this, background(), QPoint(), false,
                                   false, QString(), kFunctionPosition, kFunctionId))
    created_ = false;
  function_->SetTextIndent(6);
}

void CGestDlg::SetProfileGestures(std::array<KeyInfo, kGestureCount>* gestures) {
  profile_ = gestures;
  RefreshFromProfile();
}

void CGestDlg::RefreshFromProfile() { showFunction(); }

void CGestDlg::selectGesture(int i) {
  selected_ = i;
  for (int k = 0; k < kGestureCount; ++k) gestures_[static_cast<std::size_t>(k)]->SetCheck(k == i);
  showFunction();
}

void CGestDlg::showFunction() {
  if (selected_ < 0 || !profile_) {
    function_->SetText(QString());
    return;
  }
  const KeyFunction& f = (*profile_)[static_cast<std::size_t>(selected_)].funA;
  function_->SetText(f.dwFunID == 0 ? uiText("tc_msg21") : QString::fromStdU16String(functionNameOf(f)));
}

bool CGestDlg::onMessage(unsigned message, WPARAM w, LPARAM l, LRESULT& result) {
  static const platform::MessageEntry<CGestDlg> kMap[] = {
      {platform::WM_COMMAND, &CGestDlg::OnCommand},
      {kMsgMenuChoice, &CGestDlg::OnMenuChoice},
  };
  CSkinWnd::onMessage(message, w, l, result);  // closes an open menu on commands
  return platform::dispatchMessages(this, kMap, message, w, l, result);
}

LRESULT CGestDlg::OnCommand(WPARAM w, LPARAM) {
  const int id = static_cast<int>(platform::loWord(w));
  if (id >= kGestureBaseId && id < kGestureBaseId + kGestureCount) {
    selectGesture(id - kGestureBaseId);
  } else if (id == kFunctionId) {
    if (selected_ < 0) {
      InfoBox(this, uiText("tc_msg10"));
      return 0;
    }
    std::vector<OrvaneMenuItem> items;
    for (const MenuEntry& e : functionMenu())
      items.push_back(shared::makeMenuItem(e.parent < 0 ? ORVANE_TOP_LEVEL : e.parent, e.functionId,
                                           uiText(e.textKey).toStdU16String()));
    openSkinMenu(this, function_, items);
  }
  return 0;
}

bool CGestDlg::recordForChoice(std::uint32_t id, KeyInfo& out) {
  out = KeyInfo{};
  switch (id >> 24) {
    case 2: {
      CMsgDlg dlg(this, CMsgDlg::kKeyCapture, uiText("tc_combo_tips"));
      if (dlg.doModal() != CMsgDlg::kOkId || dlg.capture().empty()) return false;
      out.funA.dwFunID = kComboFunction;
      out.funA.stCombo.mask = dlg.capture().modifiers;
      out.funA.stCombo.VkCode1 = dlg.capture().key1;
      out.funA.stCombo.VkCode2 = dlg.capture().key2;
      return true;
    }
    case 3:
    case 4:
    case 8:
      out.funA.dwFunID = id;
      return true;
    case 5: {
      if (!uiHooks().pickMacro) return false;
      KeyInfo picked;
      if (profile_ && selected_ >= 0) picked = (*profile_)[static_cast<std::size_t>(selected_)];
      if (!uiHooks().pickMacro(this, picked)) return false;
      if (macroFits_ && !macroFits_(picked.funA.nMacroId)) return false;
      out = picked;
      out.funA.dwFunID = kMacroFunction;
      return true;
    }
    default:
      return false;
  }
}

LRESULT CGestDlg::OnMenuChoice(WPARAM w, LPARAM) {
  closeSkinMenu();
  if (selected_ < 0 || !profile_) return 0;
  KeyInfo record;
  if (!recordForChoice(static_cast<std::uint32_t>(w), record)) return 0;
  // The dialogs above run their own event loops: the profile may have
  // changed meanwhile.
  if (selected_ < 0 || !profile_) return 0;
  KeyInfo& target = (*profile_)[static_cast<std::size_t>(selected_)];
  record.funA.dwMatrixInx = target.funA.dwMatrixInx;  // the gesture's key position stays
  target = record;
  showFunction();
  return 0;
}

}  // namespace lumera
