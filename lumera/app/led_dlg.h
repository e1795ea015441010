// CLedDlg, the lighting page of the main window: the lighting switch, the
// effect list, the speed and brightness sliders, the direction buttons, the
// effect colour and the colourful box, and for the per-key colour effect the
// colour groups, colours A and B and the painting of single keys in the
// keyboard view. Every change goes into the current profile at once; with
// "ApplyNow" it is also sent, through the apply request the page is given.
#pragma once

#include <QImage>
#include <QRect>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "lumera/app/kb_view.h"
#include "lumera/app/pages.h"
#include "lumera/app/preview_descriptor.h"
#include "lumera/app/skin_window.h"
#include "lumera/model/profile.h"

namespace lumera {

class CColorBtnDlg;
class CColorPanelDlg;
class CComboBtn;
class CPngBtn;
class CPngSliderBar;

class CLedDlg : public CLightingPageBase {
 public:
  // Control ids.
  static constexpr int kOnOffId = 1301;
  static constexpr int kEffectListId = 1302;
  static constexpr int kLevel1Id = 148;  // the number (speed) slider
  static constexpr int kLevel2Id = 149;  // the percentage (brightness) slider
  static constexpr int kFirstDirectionId = 1303;
  static constexpr int kSecondDirectionId = 1304;
  static constexpr int kGroupListId = 1305;
  static constexpr int kColourfulId = 1306;
  static constexpr int kColourAId = 272;
  static constexpr int kColourBId = 273;
  static constexpr int kColourRow = 7;  // colour buttons 0..6; only the first is shown
  static constexpr int kLevel1Positions = 4;
  static constexpr int kLevel2Positions = 5;

  // Sends an apply with the given flags (kApplyProfile, kApplyLedMatrix, ...)
  // for the current profile. The page calls it only with "ApplyNow".
  using ApplyRequest = std::function<void(unsigned flags)>;

  // A page of the main window at `pageRect` (main window coordinates) over
  // the part of `mainBackground` under it, working with the keyboard view and
  // the colour panel (which gets the page as its owner). `config` must
  // outlive the page.
  CLedDlg(QWidget* parent, const QImage& mainBackground, const QRect& pageRect, KeyboardView* view,
          CColorPanelDlg* panel, ApplyRequest apply, const LumeraConfig& config = theConfig());
  ~CLedDlg() override;

  // The current profile (nullptr: none; every handler then does nothing).
  // The page edits it in place.
  void SetProfile(ProfileRecord* current) { profile_ = current; }
  ProfileRecord* profile() const { return profile_; }

  // Every control from the current profile, the keyboard view's mode and
  // the preview of its effect.
  void LoadFromProfile();
  // The main window's refresh: this profile from now on, then LoadFromProfile().
  void LoadFromProfile(ProfileRecord* profile) override {
    SetProfile(profile);
    LoadFromProfile();
  }
  // Every control into the current profile.
  void StoreToProfile() override;

  // The effect the page shows, -1 for none.
  int shownEffect() const { return shown_; }
  bool isPerKeyEffect() const;
  bool lightingOn() const;
  QString level1Text() const { return level1Text_; }
  QString level2Text() const { return level2Text_; }
  bool colourASelected() const { return aSelected_; }
  bool colourBSelected() const { return bSelected_; }

  CPngBtn* onOffButton() const { return onOff_; }
  CComboBtn* effectList() const { return effects_; }
  CPngSliderBar* level1Slider() const { return level1_; }
  CPngSliderBar* level2Slider() const { return level2_; }
  CPngBtn* directionButton(int i) const { return i == 0 ? first_ : second_; }
  CComboBtn* groupList() const { return groups_; }
  CColorBtnDlg* colourButton(int i) const { return row_[static_cast<std::size_t>(i)]; }
  CColorBtnDlg* colourA() const { return colourA_; }
  CColorBtnDlg* colourB() const { return colourB_; }
  CPngBtn* colourfulButton() const { return colourful_; }

  // The warning a slider gets when its positions and scale values differ;
  // false when they differ.
  static bool CheckSliderScale(int positions, const std::vector<int>& scale);

 protected:
  bool onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  platform::LRESULT OnCommand(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnSliderSet(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnSliderDrag(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnKeyClicked(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnColourButton(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnColourPicked(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnMenuChoice(platform::WPARAM w, platform::LPARAM l);

  // The table entry of effect e: nullptr for the per-key effect and for an
  // index without an entry (neither shows options).
  const EffectOption* optionsOf(int e) const;
  LedModeSetting* settingOf(int e) const;
  int currentGroup() const;
  void showEffect(int e, bool restartPreview);
  void updateVisibility();
  void setLevelTexts(int level1, int level2);
  void restartPreview();
  void stopPreview();
  void showGroup(int group);
  void selectDirection(int i);
  void applyNow(unsigned flags);
  bool isExcludedKey(int k) const;
  // Where each caption sits and whether its control shows.
  struct Caption {
    QRect rect;
    const char* key;
    QWidget* control;
  };
  std::vector<Caption> captions() const;

  const LumeraConfig& config_;
  KeyboardView* view_;
  CColorPanelDlg* panel_;
  ApplyRequest apply_;
  ProfileRecord* profile_ = nullptr;
  PreviewKeys keys_;

  CPngBtn* onOff_ = nullptr;
  CComboBtn* effects_ = nullptr;
  CPngSliderBar* level1_ = nullptr;
  CPngSliderBar* level2_ = nullptr;
  CPngBtn* first_ = nullptr;
  CPngBtn* second_ = nullptr;
  CComboBtn* groups_ = nullptr;
  std::array<CColorBtnDlg*, kColourRow> row_{};
  CColorBtnDlg* colourA_ = nullptr;
  CColorBtnDlg* colourB_ = nullptr;
  CPngBtn* colourful_ = nullptr;

  std::int64_t effectChoice_ = -1;  // the effect list's value
  std::int64_t groupChoice_ = -1;   // the colour-group list's value
  int shown_ = -1;
  bool aSelected_ = false;
  bool bSelected_ = false;
  QString level1Text_, level2Text_;
};

}  // namespace lumera
