#include "lumera/app/led_dlg.h"

#include <QPainter>

#include "lumera/app/color_panel.h"
#include "lumera/app/png_btn.h"
#include "lumera/app/png_slider.h"
#include "lumera/device/apply.h"
#include "lumera/model/lighting.h"
#include "lumera/model/log.h"
#include "platform/ui/window_look.h"

namespace lumera {

using platform::LPARAM;
using platform::LRESULT;
using platform::WPARAM;

namespace {

// Red, blue, green, yellow, magenta, cyan, white: the colour row's first colours.
constexpr Colour kRowColours[CLedDlg::kColourRow] = {0x0000FF, 0xFF0000, 0x00FF00, 0x00FFFF,
                                                     0xFF00FF, 0xFFFF00, 0xFFFFFF};
constexpr Colour kFrameGrey = 0x969696;
constexpr Colour kFrameChosen = 0x1513BD;

// Places of the controls on the page.
const QPoint kOnOffAt(5, 15);
const QPoint kEffectListAt(90, 15);
const QRect kLevel2Rect(QPoint(15, 79), QPoint(194, 96));   // (15, 79)-(195, 97)
const QRect kLevel1Rect(QPoint(15, 137), QPoint(194, 154));  // (15, 137)-(195, 155)
const QPoint kFirstAt(15, 205), kSecondAt(77, 205);
const QPoint kGroupListAt(15, 79);
// The colour row right of the direction buttons, the colourful box below it.
const QPoint kRowAt(140, 209);
constexpr int kRowButton = 20, kRowGap = 10;
const QPoint kColourfulAt(140, 236);
// Colours A and B where the sliders are, which the per-key effect never shows.
const QRect kColourARect(15, 137, 40, 20);
const QRect kColourBRect(15, 195, 40, 20);

// A caption from 24 to 4 pixels above its control, 220 wide within the page.
QRect captionAbove(const QRect& control, int pageWidth, int width = 220) {
  const int w = std::min(width, pageWidth - control.left());
  return QRect(control.left(), control.top() - 24, w, 20);
}

}  // namespace

CLedDlg::CLedDlg(QWidget* parent, const QImage& mainBackground, const QRect& pageRect, KeyboardView* view,
                 CColorPanelDlg* panel, ApplyRequest apply, const LumeraConfig& config)
    : CLightingPageBase(parent, mainBackground, pageRect), config_(config), view_(view), panel_(panel),
      apply_(std::move(apply)), keys_(PreviewKeysOf(config)) {
  if (panel_) panel_->SetOwner(this);
  const QImage& bg = background();

  onOff_ = new CPngBtn(this);
  onOff_->CreateSkinButton("check_nr.png", "check_nr.png", "check_dn.png", this, bg, QPoint(), true, false, QString(),
                           kOnOffAt, kOnOffId);
  onOff_->SetCheck(true);

  effects_ = new CComboBtn(this);
  effects_->CreateSkinButton("combo_nr.png", "combo_nr.png", "combo_nr.png", this, bg, QPoint(), false, false,
                             QString(), kEffectListAt, kEffectListId);
  effects_->SetTextIndent(6);
  effects_->SetTarget(&effectChoice_);
  const int mask = config_.options().LedMask;
  for (int e = 0; e < kLedModeCount; ++e) {
    if (mask & (1 << e)) continue;
    effects_->AddItem(0, static_cast<std::uint32_t>(e), uiText("tc_led_mode" + std::to_string(e + 1)));
  }

  auto slider = [&](CPngSliderBar*& s, int n, const QRect& r, int id) {
    s = new CPngSliderBar(this);
    s->Create(n, r, this, bg, QPoint(), id);
    s->SetPixelTableFor(n);
    std::vector<int> scale;
    for (int i = 1; i <= n; ++i) scale.push_back(i);
    if (CheckSliderScale(n, scale)) s->SetScaleValues(scale);
  };
  slider(level2_, kLevel2Positions, kLevel2Rect, kLevel2Id);
  slider(level1_, kLevel1Positions, kLevel1Rect, kLevel1Id);

  first_ = new CPngBtn(this);
  first_->CreateSkinButton("lbtn_nr.png", "lbtn_ov.png", "lbtn_ov.png", this, bg, QPoint(), true, false, QString(),
                           kFirstAt, kFirstDirectionId);
  second_ = new CPngBtn(this);
  second_->CreateSkinButton("rbtn_nr.png", "rbtn_ov.png", "rbtn_ov.png", this, bg, QPoint(), true, false, QString(),
                            kSecondAt, kSecondDirectionId);

  groups_ = new CComboBtn(this);
  groups_->CreateSkinButton("combo_nr.png", "combo_nr.png", "combo_nr.png", this, bg, QPoint(), false, false,
                            QString(), kGroupListAt, kGroupListId);
  groups_->SetTextIndent(6);
  groups_->SetTarget(&groupChoice_);
  for (int g = 0; g < kColourGroups; ++g)
    groups_->AddItem(0, static_cast<std::uint32_t>(g), QString("%1 %2").arg(uiText("tc_page6")).arg(g + 1));

  for (int i = 0; i < kColourRow; ++i) {
    auto* b = new CColorBtnDlg(this);
    b->setGeometry(kRowAt.x() + i * (kRowButton + kRowGap), kRowAt.y(), kRowButton, kRowButton);
    b->SetId(i);
    b->SetColour(kRowColours[i]);
    b->SetFrameColours(kFrameGrey, kFrameGrey);
    b->setVisible(i == 0);
    row_[static_cast<std::size_t>(i)] = b;
  }
  colourA_ = new CColorBtnDlg(this);
  colourA_->setGeometry(kColourARect);
  colourA_->SetId(kColourAId);
  colourA_->SetColour(0x0000FF);
  colourA_->SetFrameColours(kFrameChosen, kFrameGrey);
  colourB_ = new CColorBtnDlg(this);
  colourB_->setGeometry(kColourBRect);
  colourB_->SetId(kColourBId);
  colourB_->SetColour(0xFF0000);
  colourB_->SetFrameColours(kFrameChosen, kFrameGrey);

  colourful_ = new CPngBtn(this);
  colourful_->CreateSkinButton("check_nr.png", "check_nr.png", "check_dn.png", this, bg, QPoint(), true, false,
                               QString(), kColourfulAt, kColourfulId);
  updateVisibility();
}

CLedDlg::~CLedDlg() = default;

bool CLedDlg::CheckSliderScale(int positions, const std::vector<int>& scale) {
  if (static_cast<std::size_t>(positions) == scale.size()) return true;
  platform::messageBox(nullptr, u"CPngSlider::SetScalePos  dwScale and Range unmatch!", u"Warning",
                       platform::MessageBoxIcon::Warning);
  return false;
}

const EffectOption* CLedDlg::optionsOf(int e) const {
  if (e == config_.options().GameIndex) return nullptr;
  if (e < 0 || e >= kEffectCount) return nullptr;
  return &config_.options().effects[static_cast<std::size_t>(e)];
}

LedModeSetting* CLedDlg::settingOf(int e) const {
  if (!profile_ || e < 0 || e >= kLedModeCount) return nullptr;
  return &profile_->effects[static_cast<std::size_t>(e)];
}

bool CLedDlg::isPerKeyEffect() const { return shown_ >= 0 && shown_ == config_.options().GameIndex; }
bool CLedDlg::lightingOn() const { return onOff_->GetCheck(); }

int CLedDlg::currentGroup() const {
  if (!profile_ || profile_->colourGroup >= kColourGroups) return 0;
  return profile_->colourGroup;
}

void CLedDlg::setLevelTexts(int level1, int level2) {
  level2Text_ = QString::asprintf("%d %%", level2 * 25 - 25);
  level1Text_ = QString::asprintf("%d", level1);
  update();
}

void CLedDlg::updateVisibility() {
  const bool on = onOff_->GetCheck();
  const EffectOption* o = optionsOf(shown_);
  auto flag = [&](int i) { return on && o && o->flags[static_cast<std::size_t>(i)] != 0; };
  level1_->setVisible(flag(0));
  level2_->setVisible(flag(1));
  first_->setVisible(flag(2));
  second_->setVisible(flag(2));
  row_[0]->setVisible(flag(3));
  for (int i = 1; i < kColourRow; ++i) row_[static_cast<std::size_t>(i)]->hide();
  colourful_->setVisible(flag(4));
  const bool perKey = on && isPerKeyEffect();
  groups_->setVisible(perKey);
  colourA_->setVisible(perKey);
  colourB_->setVisible(perKey);
  effects_->setVisible(on);
  update();
}

void CLedDlg::showEffect(int e, bool restart) {
  shown_ = e;
  const LedModeSetting* s = settingOf(e);
  if (s) setLevelTexts(static_cast<int>(s->level1), static_cast<int>(s->level2));
  updateVisibility();
  if (s) {
    const Colour c = s->colourIndex < kPaletteSize ? s->colours[s->colourIndex] : s->colours[0];
    row_[0]->SetColour(c);
    row_[0]->SetSelected(s->colourful == 0);
    colourful_->SetCheck(s->colourful != 0);
    level2_->SetPos(static_cast<int>(s->level2));
    level1_->SetPos(static_cast<int>(s->level1));
    selectDirection(s->direction == 0 ? 0 : 1);
  }
  if (isPerKeyEffect()) {
    stopPreview();
    showGroup(currentGroup());
    if (view_) view_->ClearHover();
  } else {
    if (view_) view_->SetKeyColours(KeyColours{});
    if (restart) restartPreview();
  }
}

void CLedDlg::showGroup(int group) {
  groups_->SelectId(static_cast<std::uint32_t>(group));
  if (!profile_) return;
  if (view_) view_->SetKeyColours(GroupColoursByKey(*profile_, config_, group));
  const Colour a = profile_->colourA[static_cast<std::size_t>(group)];
  const Colour b = profile_->colourB[static_cast<std::size_t>(group)];
  colourA_->SetColour(a);
  colourB_->SetColour(b);
  colourB_->SetNoColour(b == 0);
}

void CLedDlg::selectDirection(int i) {
  first_->SetCheck(i == 0);
  second_->SetCheck(i != 0);
}

void CLedDlg::stopPreview() {
  if (view_) view_->StartPreview(BuildPreviewDescriptor(PreviewRequest{0}, keys_));
}

void CLedDlg::restartPreview() {
  if (!view_ || config_.options().ShowEffect == 0 || isPerKeyEffect()) return;
  view_->SetKeyColours(KeyColours{});
  const EffectOption* o = optionsOf(shown_);
  PreviewRequest q;
  q.effectKind = o ? o->code : 0;
  q.level1 = level1_->GetPos();
  q.level2 = level2_->GetPos();
  q.colour = row_[0]->colour();
  q.colourful = colourful_->GetCheck();
  q.colourfulShown = o && o->flags[4] != 0;
  q.level1Option = o && o->flags[0] != 0;
  view_->StartPreview(BuildPreviewDescriptor(q, keys_));
}

void CLedDlg::applyNow(unsigned flags) {
  if (config_.options().ApplyNow != 0 && apply_) apply_(flags);
}

bool CLedDlg::isExcludedKey(int k) const {
  for (std::uint8_t x : config_.options().KeyNotRec)
    if (x != 0xFF && x == k) return true;
  return false;
}

void CLedDlg::LoadFromProfile() {
  if (!profile_) return;
  const int e = profile_->effectIndex;
  // An effect the list does not show (masked, or no effect at all) selects
  // nothing; storing then keeps the profile's own.
  if (e < 0 || !effects_->SelectId(static_cast<std::uint32_t>(e))) effects_->SelectIndex(-1);
  // The list holds the profile's group even while the effect does not show
  // it, so that storing keeps the group chosen.
  groups_->SelectId(static_cast<std::uint32_t>(currentGroup()));
  const bool on = profile_->lightingSwitch == 0;
  onOff_->SetCheck(on);
  if (view_) view_->setMode(on ? KeyboardView::kLighting : KeyboardView::kKeyAssignment);
  // The preview starts again here too: one left running from the profile
  // shown before would animate the wrong effect. With the page off nothing
  // runs and no key has a colour.
  showEffect(e, on);
  if (!on) {
    stopPreview();
    if (view_) view_->SetKeyColours(KeyColours{});
  }
  updateVisibility();
}

void CLedDlg::StoreToProfile() {
  if (!profile_) return;
  if (effectChoice_ >= 0 && effectChoice_ < kLedModeCount) profile_->effectIndex = static_cast<std::int32_t>(effectChoice_);
  if (LedModeSetting* s = settingOf(profile_->effectIndex)) {
    s->level1 = static_cast<std::uint32_t>(level1_->GetPos());
    s->level2 = static_cast<std::uint32_t>(level2_->GetPos());
    if (s->colourIndex < kPaletteSize) s->colours[s->colourIndex] = row_[0]->colour();
    s->colourful = colourful_->GetCheck() ? 1 : 0;
    s->direction = first_->GetCheck() ? 0 : 1;
  }
  profile_->lightingSwitch = onOff_->GetCheck() ? 0 : 1;
  std::int64_t group = groupChoice_;
  if (group < 0 || group > 4) {
    Log("Get wrong nCurGameGroup value");
    group = 0;
  }
  profile_->colourGroup = static_cast<std::uint16_t>(group);
  if (profile_->effectIndex == config_.options().GameIndex && view_ && view_->mode() == KeyboardView::kLighting)
    StoreGroupColoursByKey(*profile_, config_, static_cast<int>(group), view_->GetKeyColours());
}

bool CLedDlg::onMessage(unsigned message, WPARAM w, LPARAM l, LRESULT& result) {
  static const platform::MessageEntry<CLedDlg> kMap[] = {
      {platform::WM_COMMAND, &CLedDlg::OnCommand},   {kMsgSliderSet, &CLedDlg::OnSliderSet},
      {kMsgSliderDrag, &CLedDlg::OnSliderDrag},      {kMsgKeyClicked, &CLedDlg::OnKeyClicked},
      {kMsgColourButton, &CLedDlg::OnColourButton},  {kMsgColourPicked, &CLedDlg::OnColourPicked},
      {kMsgMenuChoice, &CLedDlg::OnMenuChoice},
  };
  CSkinWnd::onMessage(message, w, l, result);  // closes an open menu on commands
  return platform::dispatchMessages(this, kMap, message, w, l, result);
}

LRESULT CLedDlg::OnMenuChoice(WPARAM, LPARAM) {
  closeSkinMenu();
  return 0;
}

LRESULT CLedDlg::OnCommand(WPARAM w, LPARAM) {
  if (!profile_) return 0;
  switch (static_cast<int>(platform::loWord(w))) {
    case kOnOffId: {
      const bool on = !onOff_->GetCheck();
      onOff_->SetCheck(on);
      platform::postMessageTo(parentWidget(), kMsgViewMode, on ? 1 : 0, 0);
      updateVisibility();
      profile_->lightingSwitch = on ? 0 : 1;
      if (panel_) panel_->hide();
      // Back on, the view gets the set's colours again (key assignment
      // cleared them, and storing an empty view would lose them) or the
      // effect's preview; off, no preview runs for nothing.
      if (on)
        showEffect(shown_, true);
      else
        stopPreview();
      break;
    }
    case kEffectListId:
      if (effectChoice_ < 0) break;
      showEffect(static_cast<int>(effectChoice_), true);
      profile_->groupTouched[static_cast<std::size_t>(currentGroup())] = 1;
      StoreToProfile();
      applyNow(kApplyProfile | kApplyLedMatrix);
      break;
    case kColourfulId: {
      const bool on = !colourful_->GetCheck();
      colourful_->SetCheck(on);
      row_[0]->SetSelected(!on);
      if (on && panel_) panel_->hide();
      restartPreview();
      StoreToProfile();
      applyNow(kApplyProfile | kApplyLedMatrix);
      break;
    }
    case kFirstDirectionId:
    case kSecondDirectionId:
      selectDirection(static_cast<int>(platform::loWord(w)) == kFirstDirectionId ? 0 : 1);
      StoreToProfile();
      applyNow(kApplyProfile | kApplyLedMatrix);
      break;
    case kGroupListId:
      if (groupChoice_ < 0 || groupChoice_ >= kColourGroups) break;
      profile_->colourGroup = static_cast<std::uint16_t>(groupChoice_);
      showGroup(static_cast<int>(groupChoice_));
      StoreToProfile();
      applyNow(kApplyProfile | kApplyLedMatrix);
      break;
    default:
      break;
  }
  return 0;
}

LRESULT CLedDlg::OnSliderDrag(WPARAM w, LPARAM l) {
  if (!profile_) return 0;
  const int v = static_cast<int>(w);
  if (l == kLevel1Id) setLevelTexts(v, level2_->GetPos());
  if (l == kLevel2Id) setLevelTexts(level1_->GetPos(), v);
  return 0;
}

LRESULT CLedDlg::OnSliderSet(WPARAM, LPARAM l) {
  if (!profile_ || (l != kLevel1Id && l != kLevel2Id)) return 0;
  setLevelTexts(level1_->GetPos(), level2_->GetPos());
  StoreToProfile();
  restartPreview();
  applyNow(kApplyProfile);
  return 0;
}

LRESULT CLedDlg::OnKeyClicked(WPARAM w, LPARAM) {
  if (!profile_ || !isPerKeyEffect() || !view_) return 0;
  const int k = static_cast<int>(w);
  Log("OnKeySeleted: wParam=%d\n", k);
  if (k < 0 || k >= kKeyCount || isExcludedKey(k)) return 0;
  KeyColours colours = view_->GetKeyColours();
  view_->SetKeyColour(k, colours[static_cast<std::size_t>(k)] != 0 ? 0 : colourA_->colour());
  StoreToProfile();
  applyNow(kApplyProfile | kApplyLedMatrix);
  return 0;
}

LRESULT CLedDlg::OnColourButton(WPARAM, LPARAM l) {
  if (!profile_) return 0;
  const int id = static_cast<int>(l);
  if (id == kColourAId || id == kColourBId) {
    aSelected_ = id == kColourAId;
    bSelected_ = id == kColourBId;
    colourA_->SetSelected(aSelected_);
    colourB_->SetSelected(bSelected_);
  }
  if (panel_) panel_->Open(id == kColourAId || id == kColourBId);
  return 0;
}

LRESULT CLedDlg::OnColourPicked(WPARAM w, LPARAM) {
  if (!profile_) return 0;
  const Colour c = static_cast<Colour>(w) & 0xFFFFFFu;
  StoreToProfile();
  if (isPerKeyEffect()) {
    const auto g = static_cast<std::size_t>(currentGroup());
    if (aSelected_) {
      colourA_->SetColour(c);
      profile_->colourA[g] = c;
    } else if (bSelected_) {
      const Colour old = colourB_->colour();
      colourB_->SetColour(c);
      profile_->colourB[g] = c;
      colourB_->SetNoColour(c == 0);
      if (view_) {
        KeyColours colours = view_->GetKeyColours();
        for (int k = 0; k < kKeyCount; ++k)
          if (colours[static_cast<std::size_t>(k)] == old && !isExcludedKey(k)) view_->SetKeyColour(k, c);
      }
    }
    // The recoloured keys belong in the profile before the keyboard gets it.
    StoreToProfile();
    applyNow(kApplyLedMatrix);
  } else {
    row_[0]->SetColour(c);
    restartPreview();
    StoreToProfile();
    applyNow(kApplyProfile | kApplyLedMatrix);
  }
  return 0;
}

std::vector<CLedDlg::Caption> CLedDlg::captions() const {
  const int w = width();
  return {
      {captionAbove(kLevel2Rect, w), "tc_adv_str7", level2_},
      {captionAbove(kLevel1Rect, w), "tc_adv_str19", level1_},
      {captionAbove(QRect(kFirstAt, QSize(104, 28)), w, 120), "tc_adv_str13", first_},
      {captionAbove(QRect(kGroupListAt, QSize(138, 15)), w), "tc_msg28", groups_},
      {captionAbove(row_[0]->geometry(), w), "tc_adv_str12", row_[0]},
      {captionAbove(kColourARect, w), "tc_adv_str3", colourA_},
      {captionAbove(kColourBRect, w), "tc_adv_str4", colourB_},
  };
}

void CLedDlg::paintEvent(QPaintEvent* e) {
  CSkinWnd::paintEvent(e);
  QPainter p(this);
  p.setFont(font());
  p.setPen(platform::colourFromRef(config_.options().Txt_clr));
  const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
  auto draw = [&](const QRect& r, const QString& text) {
    p.drawText(r, flags, p.fontMetrics().elidedText(text, Qt::ElideRight, r.width()));
  };
  for (const Caption& c : captions())
    if (c.control && c.control->isVisible()) draw(c.rect, uiText(c.key));
  // The check boxes' labels, right of their boxes.
  draw(QRect(onOff_->geometry().right() + 6, onOff_->y() - 3, kEffectListAt.x() - onOff_->geometry().right() - 8, 20),
       uiText("tc_msg1"));
  if (colourful_->isVisible())
    draw(QRect(colourful_->geometry().right() + 6, colourful_->y() - 3, width() - colourful_->geometry().right() - 6, 20),
         uiText("tc_adv_str14"));
  // The slider values, right of the sliders.
  if (level2_->isVisible()) draw(QRect(kLevel2Rect.right() + 6, kLevel2Rect.top(), 40, kLevel2Rect.height()), level2Text_);
  if (level1_->isVisible()) draw(QRect(kLevel1Rect.right() + 6, kLevel1Rect.top(), 40, kLevel1Rect.height()), level1Text_);
}

}  // namespace lumera
