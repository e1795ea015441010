#include "q350config/app/setting_tabs.h"

#include <QPainter>

#include "platform/ui/window_look.h"
#include "q350config/app/app_files.h"
#include "q350config/app/language.h"
#include "q350config/app/macro_dlg.h"
#include "q350config/controls/control_messages.h"
#include "q350config/settings/key_tables.h"
#include "q350config/settings/settings_store.h"

namespace q350app {

using q350ui::rectLTRB;

namespace {

constexpr QSize kTabPageSize(370, 169);

q350ui::FaceSet tabFaces(const char* folder, const char* stem) {
  const std::string base = std::string("Set/") + folder + "/" + stem;
  return {skinPicture(base + "_Normal.bmp"), skinPicture(base + "_Over.bmp"), skinPicture(base + "_Down.bmp")};
}

void setUpPage(q350ui::CSkinDialog* page, const QImage& background) {
  if (background.isNull()) {
    QImage flat(kTabPageSize, QImage::Format_RGB32);
    flat.fill(QColor(37, 37, 37));
    page->setBackground(flat);
  } else {
    page->setBackground(background);
  }
  page->resize(kTabPageSize);
}

QString text(const char* key) { return QString::fromStdU16String(languageLookup().text(key)); }

struct BaseRow {
  const char* textKey;
  std::uint32_t entry;
};
// Rows 0..8 are combinations: their usages come from the key table by the
// virtual key (F4, L, R, D, M, Q, numeric-pad add and subtract, F).
std::uint32_t combo(std::uint8_t mask, std::uint32_t virtualKey) {
  return 0x01u | static_cast<std::uint32_t>(mask) << 8 | static_cast<std::uint32_t>(q350::UsageOfKey(virtualKey)) << 16;
}
std::uint32_t consumer(std::uint16_t usage) { return 0x03u | static_cast<std::uint32_t>(usage) << 8; }

const std::array<BaseRow, CDlgBase::kRows>& baseRows() {
  static const std::array<BaseRow, CDlgBase::kRows> rows{{
      {"str_close", combo(0x04, 0x73)},
      {"str_lock", combo(0x08, 'L')},
      {"str_run", combo(0x08, 'R')},
      {"str_show", combo(0x08, 'D')},
      {"str_win8_classic", combo(0x08, 'M')},
      {"str_search_program", combo(0x08, 'Q')},
      {"str_win8_winp", combo(0x08, 0x6B)},
      {"str_win8_winm", combo(0x08, 0x6D)},
      {"str_win8_find", combo(0x01, 'F')},
      {"str_Player", consumer(0x0183)},
      {"str_PL", consumer(0x00CD)},
      {"str_stop", consumer(0x00B7)},
      {"str_pre_media", consumer(0x00B6)},
      {"str_next_media", consumer(0x00B5)},
      {"str_vol_dw", consumer(0x00EA)},
      {"str_vol_up", consumer(0x00E9)},
      {"str_mute", consumer(0x00E2)},
  }};
  return rows;
}

}  // namespace

QString GameCategoryName(int category) {
  // The captions the macro page shows; in Chinese, category 13 lists its
  // menu text.
  if (languageFlag() == 1 && category == 13) return CategoryMenuText(category);
  return CategoryCaption(category);
}

// ---- CDlgSingleCombo ----

QRect CDlgSingleCombo::keyNameRect() { return rectLTRB(169, 78, 310, 99); }

CDlgSingleCombo::CDlgSingleCombo(QWidget* parent) : q350ui::CSkinDialog(parent, true) {
  const q350ui::FaceSet faces = tabFaces("combo", "Combo");
  setUpPage(this, faces.normal);
  const QRect places[4] = {rectLTRB(59, 45, 72, 58), rectLTRB(59, 70, 72, 83), rectLTRB(59, 94, 72, 108),
                           rectLTRB(58, 119, 72, 133)};
  for (int i = 0; i < 4; ++i) {
    checks_[static_cast<std::size_t>(i)] = new q350ui::CSkinButton(this);
    check(i)->Create(faces.normal.isNull() ? q350ui::FaceSet{background(), {}, {}} : faces, places[i],
                     kIdCheckFirst + i, q350ui::CSkinButton::Kind::Check);
  }
}

void CDlgSingleCombo::Reset() {
  for (q350ui::CSkinButton* c : checks_) c->SetCheck(false);
  key_ = 0;
  update(keyNameRect());
}

std::uint32_t CDlgSingleCombo::Result() const {
  const std::uint32_t usage = key_ ? q350::UsageOfKey(key_) : 0;
  std::uint32_t mask = 0;
  for (int i = 0; i < 4; ++i)
    if (check(i)->GetCheck()) mask |= kModifierBits[static_cast<std::size_t>(i)];
  if (mask != 0) return 0x01u | mask << 8 | usage << 16;
  if (usage != 0) return 0x01u | usage << 16;
  return 0;
}

bool CDlgSingleCombo::onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) {
  static const platform::MessageEntry<CDlgSingleCombo> map[] = {
      {WM_HOOK_KEY, &CDlgSingleCombo::OnHookKey},
  };
  if (platform::dispatchMessages(this, map, message, w, l, result)) return true;
  return q350ui::CSkinDialog::onMessage(message, w, l, result);
}

platform::LRESULT CDlgSingleCombo::OnHookKey(platform::WPARAM w, platform::LPARAM l) {
  const auto vk = static_cast<std::uint32_t>(w);
  int modifier = -1;  // index of the check button
  if (vk == 0x11 || vk == 0xA2 || vk == 0xA3) modifier = 0;
  if (vk == 0x12 || vk == 0xA4 || vk == 0xA5) modifier = 1;
  if (vk == 0x10 || vk == 0xA0 || vk == 0xA1) modifier = 2;
  if (vk == 0x5B || vk == 0x5C) modifier = 3;
  if (modifier >= 0) {
    // Presses only (plain, extended, with Alt down); releases change nothing.
    const bool press = l == 0 || l == 1 || l == 16 || l == 17 || l == 32 || l == 33;
    if (press) check(modifier)->SetCheck(!check(modifier)->GetCheck());
    return 1;
  }
  key_ = vk;
  update(keyNameRect());
  return 1;
}

void CDlgSingleCombo::paintEvent(QPaintEvent* e) {
  q350ui::CSkinDialog::paintEvent(e);
  if (!key_) return;
  QPainter p(this);
  p.setFont(platform::dialogFont(14, QFont::Light));
  p.setPen(QColor(23, 148, 195));
  p.drawText(keyNameRect(), Qt::AlignCenter, QString::fromStdU16String(q350::KeyDisplayName(key_)));
}

// ---- CDlgMacroSet ----

CDlgMacroSet::CDlgMacroSet(QWidget* parent) : q350ui::CSkinDialog(parent, true) {
  setUpPage(this, tabFaces("macro", "Macro").normal);
  categories_ = new q350ui::CListBoxEx(this);
  categories_->Create(rectLTRB(1, 1, 184, 168), kIdCategories, 16);
  macros_ = new q350ui::CListBoxEx(this);
  macros_->Create(rectLTRB(188, 1, 369, 168), kIdMacros, 16);
  for (q350ui::CListBoxEx* l : {categories_, macros_})
    l->SetColours(QColor(37, 37, 37), QColor(83, 92, 107), QColor(150, 150, 150));
}

void CDlgMacroSet::Fill() {
  categories_->ResetContent();
  for (int row = 0; row < kGameCategoryCount; ++row)
    categories_->AddItem(GameCategoryName(row + 1), static_cast<std::uint32_t>(row));
  row_ = -1;
  listCategory(kGameCategoryCount - 1);
}

void CDlgMacroSet::listCategory(int row) {
  row_ = row;
  categories_->SetCurSel(row);
  macros_->ResetContent();
  const q350::MacroLibrary& lib = q350::settings().macroLibrary;
  for (std::size_t i : lib.listed(static_cast<std::uint32_t>(row + 1)))
    macros_->AddItem(QString::fromStdU16String(lib.at(i).nameText()), lib.at(i).id);
}

std::uint32_t CDlgMacroSet::Result() const {
  const int sel = macros_->GetCurSel();
  return sel < 0 ? 0 : macros_->GetItemData(sel);
}

bool CDlgMacroSet::onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) {
  static const platform::MessageEntry<CDlgMacroSet> map[] = {
      {q350ui::WM_LIST_CLICKED, &CDlgMacroSet::OnListClicked},
  };
  if (platform::dispatchMessages(this, map, message, w, l, result)) return true;
  return q350ui::CSkinDialog::onMessage(message, w, l, result);
}

platform::LRESULT CDlgMacroSet::OnListClicked(platform::WPARAM w, platform::LPARAM l) {
  if (static_cast<int>(w) != kIdCategories) return 0;
  const int row = static_cast<int>(l);
  if (row >= 0 && row < kGameCategoryCount && row != row_) listCategory(row);
  return 0;
}

// ---- CDlgBase ----

std::uint32_t CDlgBase::RowEntry(int row) {
  return row >= 0 && row < kRows ? baseRows()[static_cast<std::size_t>(row)].entry : 0;
}

CDlgBase::CDlgBase(QWidget* parent) : q350ui::CSkinDialog(parent, true) {
  setUpPage(this, tabFaces("base", "Base").normal);
  list_ = new q350ui::CListBoxEx(this);
  list_->Create(rectLTRB(0, 0, 372, 171), kIdList, 18);
  list_->SetColours(QColor(37, 37, 37), QColor(83, 92, 107), QColor(150, 150, 150));
}

void CDlgBase::Fill() {
  list_->ResetContent();
  for (const BaseRow& r : baseRows()) list_->AddItem(text(r.textKey), r.entry);
  // Nothing is chosen until the user clicks a row: OK on an untouched list
  // must not assign the last function.
  list_->SetCurSel(-1);
  list_->SetTopIndex(0);
}

std::uint32_t CDlgBase::Result() const {
  const int sel = list_->GetCurSel();
  return sel < 0 ? 0 : list_->GetItemData(sel);
}

}  // namespace q350app
