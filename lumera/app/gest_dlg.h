// CGestDlg, the gesture page: seven gesture buttons and a function button
// whose skinned menu assigns a function to the selected gesture of the
// current profile.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "lumera/app/skin_window.h"
#include "lumera/model/config.h"
#include "lumera/model/records.h"

namespace lumera {

class CPngBtn;

class CGestDlg : public CSkinWnd {
 public:
  static constexpr int kGestureBaseId = 1100;  // gesture i (0..6) has id base + i
  static constexpr int kFunctionId = 1110;

  struct MenuEntry {
    int parent;  // -1 top level, else the index of the item that opens it
    const char* textKey;
    std::uint32_t functionId;
  };
  // The function menu, in order.
  static const std::vector<MenuEntry>& functionMenu();

  // A page of the main window at `pageRect` (main window coordinates); its
  // background is the part of `mainBackground` under it.
  CGestDlg(QWidget* parent, const QImage& mainBackground, const QRect& pageRect);

  // The current profile's gesture records (nullptr: no profile). The page
  // edits them in place.
  void SetProfileGestures(std::array<KeyInfo, kGestureCount>* gestures);
  // Shows the function names of the current profile's gestures.
  void RefreshFromProfile();
  // Asked before a macro goes onto a gesture: the gestures share the
  // keyboard's macro buffers with the keys, so the main window checks the
  // limit (and tells the user) and answers whether the macro fits.
  void SetMacroCheck(std::function<bool(std::int32_t macroId)> fits) { macroFits_ = std::move(fits); }

  int selectedGesture() const { return selected_; }
  CPngBtn* gestureButton(int i) const { return gestures_[static_cast<std::size_t>(i)]; }
  CPngBtn* functionButton() const { return function_; }
  bool isCreated() const { return created_; }

  // The record a menu choice gives (false: nothing changes).
  bool recordForChoice(std::uint32_t id, KeyInfo& out);

 protected:
  bool onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) override;

 private:
  platform::LRESULT OnCommand(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnMenuChoice(platform::WPARAM w, platform::LPARAM l);
  void selectGesture(int i);
  void showFunction();

  std::array<CPngBtn*, kGestureCount> gestures_{};
  CPngBtn* function_ = nullptr;
  std::array<KeyInfo, kGestureCount>* profile_ = nullptr;
  int selected_ = -1;
  bool created_ = false;
  std::function<bool(std::int32_t)> macroFits_;
};

}  // namespace lumera
