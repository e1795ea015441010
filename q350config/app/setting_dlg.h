// CSettingDlg, the key setting dialog the key assignment page opens for one
// key: three tabs (key or combination, macro, base functions), a check that
// disables the key, a reset to the factory entry, OK and close. After OK the
// caller reads code, kind and text.
//
// Key capture: while the combination tab shows, the hook library delivers
// every key to the combination page. Delivery is off whenever no capturing
// page is shown: on the other tabs, while the disable check hides the pages,
// and after the dialog ends. Turning the disable check off shows the
// combination tab again, and capture with it.
#pragma once

#include <QString>
#include <cstdint>

#include "q350config/app/setting_tabs.h"
#include "q350config/controls/skin_button.h"
#include "q350config/controls/skin_dialog.h"

namespace q350app {

inline constexpr char16_t kSettingDlgTitle[] = u"KavroQ350SettingDlg";

class CSettingDlg : public q350ui::CSkinDialog {
 public:
  // Result kinds.
  static constexpr std::uint32_t kKindOther = 0, kKindCombination = 5, kKindMacro = 6, kKindDisabled = 121;
  // Tabs (also their buttons' control ids).
  static constexpr int kTabCombination = 2, kTabMacro = 3, kTabBase = 4;
  static constexpr int kIdClose = 10, kIdDisable = 11, kIdReset = 12, kIdOk = 13;

  CSettingDlg(QWidget* owner, std::uint32_t keyIndex);

  // ---- Results ----
  std::uint32_t code() const { return code_; }
  std::uint32_t kind() const { return kind_; }
  const std::u16string& text() const { return text_; }

  // ---- For tests ----
  std::uint32_t keyIndex() const { return key_; }
  int activeTab() const { return tab_; }
  const QString& currentName() const { return currentName_; }
  q350ui::CSkinButton* tabButton(int t) const { return tabs_[static_cast<std::size_t>(t - kTabCombination)]; }
  q350ui::CSkinButton* closeButton() const { return close_; }
  q350ui::CSkinButton* disableCheck() const { return disable_; }
  q350ui::CSkinButton* resetButton() const { return reset_; }
  q350ui::CSkinButton* okButton() const { return ok_; }
  CDlgSingleCombo* comboPage() const { return combo_; }
  CDlgMacroSet* macroPage() const { return macro_; }
  CDlgBase* basePage() const { return base_; }

 protected:
  void onInitDialog() override;
  bool onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  platform::LRESULT OnCommand(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnClose(platform::WPARAM w, platform::LPARAM l);

  void activateTab(int t);
  void hideAllPages();
  void onDisable();
  void onOk();
  void finish(int result);

  std::uint32_t key_;
  std::uint32_t code_ = 0;
  std::uint32_t kind_ = kKindOther;
  std::u16string text_;
  QString currentName_;
  int tab_ = kTabCombination;
  QWidget* owner_;

  q350ui::FaceSet faces_;
  std::array<q350ui::CSkinButton*, 3> tabs_{};
  q350ui::CSkinButton* close_ = nullptr;
  q350ui::CSkinButton* disable_ = nullptr;
  q350ui::CSkinButton* reset_ = nullptr;
  q350ui::CSkinButton* ok_ = nullptr;
  CDlgSingleCombo* combo_ = nullptr;
  CDlgMacroSet* macro_ = nullptr;
  CDlgBase* base_ = nullptr;
};

}  // namespace q350app
