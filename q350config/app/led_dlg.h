// CDlgLedMain, the lighting page: effect, rate, brightness, the light test
// cycle and the colours of the seven lighting zones, one colour for all or
// one per zone. It edits the lighting fields of the profile in use in
// memory; the main window's apply writes them, reading the page's zone
// choice (ZoneSelection) on the way.
//
// The zone choice is the page's own state, not a profile field. When the
// settings change under the page (a profile loaded, switched or reset), the
// choice is taken again from the profile's "one colour for all zones" flag,
// so a profile stored with Select all applies its common colour to every
// zone after a restart. Refreshes caused by the page itself, or by a tab
// switch, keep the zone the user picked.
//
// The red, green and blue number boxes only show the components; they take
// no typing (a typed value would otherwise be dropped without a word).
#pragma once

#include <QCursor>
#include <array>
#include <cstdint>
#include <optional>

#include "q350config/app/pages.h"
#include "q350config/controls/simple_controls.h"
#include "q350config/controls/skin_button.h"
#include "q350config/controls/slider.h"
#include "q350config/settings/records.h"

namespace q350app {

class CDlgLedMain : public CQ350Page {
 public:
  // Control ids.
  static constexpr int kIdRed = 775, kIdGreen = 776, kIdBlue = 777, kIdBrightness = 778, kIdRate = 779;
  static constexpr int kIdRedEdit = 780, kIdGreenEdit = 781, kIdBlueEdit = 783;
  static constexpr int kIdEnable = 1201, kIdDisable = 1202, kIdEffectFirst = 1203;  // 1203..1208
  static constexpr int kIdCustom = 1209, kIdSelectAll = 1210, kIdSeparate = 1211, kIdBrightSwitch = 1212;
  static constexpr int kIdZoneFirst = 1220;  // 1220..1226
  static constexpr int kEffectCount = 6;
  static constexpr int kAllZones = 7;
  // The effects in button order (Spectrum cycle, Breathing, Stacking,
  // Scrolling, Waving) and their lighting modes.
  static constexpr std::array<std::uint32_t, 5> kEffectModes{2, 3, 4, 7, 1};
  static constexpr std::uint32_t kCustomMode = 5;
  static QRect wheelRect();

  explicit CDlgLedMain(QWidget* parent);

  void RefreshFromSettings() override;
  std::optional<int> ZoneSelection() const override { return zone_; }

  // ---- For tests ----
  int currentZone() const { return zone_; }
  q350ui::CSkinButton* button(int id) const;
  q350ui::CSkinButton* zoneButton(int zone) const { return zones_[static_cast<std::size_t>(zone)]; }
  q350ui::CSkinSlider* slider(int id) const;
  q350ui::CSkinEdit* edit(int id) const;
  q350ui::CColourSwatch* swatch() const { return swatch_; }
  bool brightnessSwitchOn() const;
  bool pickerCursorShown() const { return pickerShown_; }

 protected:
  bool onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  platform::LRESULT OnCommand(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnSliderMoved(platform::WPARAM w, platform::LPARAM l);

  void build();
  void useLanguageRows(const QImage& language);
  void selectZone(int zone);
  void pressZones(int zone);
  // The colour the sliders act on: commonColour for the all-zones choice.
  std::uint32_t& currentColour();
  void setCurrentColour(std::uint32_t colour);
  void showColour(std::uint32_t colour);
  bool inWheel(QPoint p) const;
  void updatePickerCursor(QPoint p);
  // What the page last left the settings as, to tell its own changes from
  // a profile loaded under it.
  void rememberSettings();
  bool settingsChangedElsewhere() const;

  q350ui::FaceSet faces_;
  std::array<q350ui::CSkinButton*, kEffectCount> effects_{};
  std::array<q350ui::CSkinButton*, q350::kZoneCount> zones_{};
  q350ui::CSkinButton* enable_ = nullptr;
  q350ui::CSkinButton* disable_ = nullptr;
  q350ui::CSkinButton* selectAll_ = nullptr;
  q350ui::CSkinButton* separate_ = nullptr;
  q350ui::CSkinButton* brightSwitch_ = nullptr;
  q350ui::CSkinSlider* red_ = nullptr;
  q350ui::CSkinSlider* green_ = nullptr;
  q350ui::CSkinSlider* blue_ = nullptr;
  q350ui::CSkinSlider* brightness_ = nullptr;
  q350ui::CSkinSlider* rate_ = nullptr;
  q350ui::CSkinEdit* redEdit_ = nullptr;
  q350ui::CSkinEdit* greenEdit_ = nullptr;
  q350ui::CSkinEdit* blueEdit_ = nullptr;
  q350ui::CColourSwatch* swatch_ = nullptr;
  QCursor picker_;
  bool pickerShown_ = false;
  int zone_ = 0;
  std::optional<q350::ProfileSettings> seen_;
  int seenProfile_ = -1;
};

}  // namespace q350app
