// CMainSetDlg, the key assignment page: the keyboard picture with a button
// over each of its 104 keys (and nine invisible ones, which the full write
// counts as visits of key 0). A click opens the key setting dialog for the
// key; its result goes into KeyMap and KeyExtra of the profile in use. A key
// whose entry differs from the factory table shows its assignment's name
// and the marked look. At most 20 macros go to the keyboard.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "q350config/app/pages.h"
#include "q350config/controls/skin_button.h"
#include "q350config/settings/key_tables.h"
#include "q350config/settings/records.h"

namespace q350app {

// The macro ids assigned to keys during this run, per profile and key-matrix
// index (0 = none). Never stored: empty at every start.
class ProfileMacroIds {
 public:
  using Row = std::array<std::uint32_t, q350::kKeyCount>;
  Row& row(int profile) { return rows_[static_cast<std::size_t>(profile) % q350::kProfileCount]; }
  void clearRow(int profile) { row(profile).fill(0); }
  void clearAll() {
    for (Row& r : rows_) r.fill(0);
  }

 private:
  std::array<Row, q350::kProfileCount> rows_{};
};
ProfileMacroIds& profileMacroIds();

// What the key setting dialog gave back after OK.
struct KeySettingResult {
  std::uint32_t code = 0;
  std::uint32_t kind = 0;  // 6: code is a macro id; otherwise a key-table entry
  std::u16string text;
};

class CMainSetDlg : public CQ350Page {
 public:
  static constexpr int kIdKeyFirst = 2000;  // + position in the key list
  static constexpr int kMacroLimit = 20;
  static constexpr std::uint32_t kKindMacroResult = 6;

  explicit CMainSetDlg(QWidget* parent);

  void RefreshKeyCaptions() override;
  void SetProfileIndex(int n) override { profile_ = n; }

  // Puts the dialog's result into the tables for key d (matrix index).
  void ApplyResult(std::uint32_t d, const KeySettingResult& result);

  // ---- For tests ----
  int profileIndex() const { return profile_; }
  q350ui::CSkinButton* keyButton(std::size_t listPosition) const { return keys_[listPosition]; }
  // The list position of the visible button of a matrix index (-1: none).
  int positionOf(std::uint32_t matrixIndex) const;

 protected:
  bool onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) override;

 private:
  platform::LRESULT OnCommand(platform::WPARAM w, platform::LPARAM l);

  void openKeySetting(std::uint32_t d);
  void assignMacro(std::uint32_t d, std::uint32_t id);
  bool withinMacroLimit(std::uint32_t d) const;
  void refreshKey(std::uint32_t matrixIndex);

  q350ui::FaceSet faces_;
  std::array<q350ui::CSkinButton*, q350::kKeyListSize> keys_{};
  int profile_ = 0;
};

}  // namespace q350app
