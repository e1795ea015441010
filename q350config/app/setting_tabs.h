// The three tab pages of the key setting dialog (CSettingDlg): a single key
// or combination captured through the hook library (CDlgSingleCombo), a
// macro from the library by game category (CDlgMacroSet), and the base
// functions (CDlgBase). Each page is a child skinned window of 370 x 169
// pixels and answers the dialog's question "what would OK give?" with a
// code (0 for nothing).
#pragma once

#include <QString>
#include <array>
#include <cstdint>

#include "q350config/controls/list_box.h"
#include "q350config/controls/skin_button.h"
#include "q350config/controls/skin_dialog.h"

namespace q350app {

// The game categories 1..21 as the key setting dialog lists them (row n-1
// is category n), in the interface language.
QString GameCategoryName(int category);
constexpr int kGameCategoryCount = 21;

class CDlgSingleCombo : public q350ui::CSkinDialog {
 public:
  static constexpr unsigned WM_HOOK_KEY = 0x040A;
  // Check buttons in the order Ctrl, Alt, Shift, Win, with their bits.
  static constexpr int kIdCheckFirst = 201;
  static constexpr std::array<std::uint8_t, 4> kModifierBits{0x01, 0x04, 0x02, 0x08};
  static QRect keyNameRect();

  explicit CDlgSingleCombo(QWidget* parent);

  // Every check off, no key.
  void Reset();
  // 0x01 | mask << 8 | usage << 16 (0 when neither a check nor a known key).
  std::uint32_t Result() const;
  std::uint32_t capturedKey() const { return key_; }
  q350ui::CSkinButton* check(int i) const { return checks_[static_cast<std::size_t>(i)]; }

 protected:
  bool onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  platform::LRESULT OnHookKey(platform::WPARAM w, platform::LPARAM l);

  std::array<q350ui::CSkinButton*, 4> checks_{};
  std::uint32_t key_ = 0;
};

class CDlgMacroSet : public q350ui::CSkinDialog {
 public:
  static constexpr int kIdCategories = 10001, kIdMacros = 10002;

  explicit CDlgMacroSet(QWidget* parent);

  // Fills the category list; the last category ends up current and listed.
  void Fill();
  // The selected macro's id, 0 when none is selected.
  std::uint32_t Result() const;
  q350ui::CListBoxEx* categories() const { return categories_; }
  q350ui::CListBoxEx* macros() const { return macros_; }
  int currentCategoryRow() const { return row_; }

 protected:
  bool onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) override;

 private:
  platform::LRESULT OnListClicked(platform::WPARAM w, platform::LPARAM l);
  void listCategory(int row);

  q350ui::CListBoxEx* categories_ = nullptr;
  q350ui::CListBoxEx* macros_ = nullptr;
  int row_ = -1;
};

class CDlgBase : public q350ui::CSkinDialog {
 public:
  static constexpr int kIdList = 101;
  static constexpr int kRows = 17;
  // The key-table entry of each row.
  static std::uint32_t RowEntry(int row);

  explicit CDlgBase(QWidget* parent);

  void Fill();
  // The selected row's entry, 0 when no row is selected.
  std::uint32_t Result() const;
  q350ui::CListBoxEx* list() const { return list_; }

 private:
  q350ui::CListBoxEx* list_ = nullptr;
};

}  // namespace q350app
