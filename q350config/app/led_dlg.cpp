#include "q350config/app/led_dlg.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include "platform/paths.h"
#include "q350config/app/app_files.h"
#include "q350config/app/language.h"
#include "q350config/controls/control_messages.h"
#include "q350config/settings/settings_store.h"

namespace q350app {

using q350ui::CSkinButton;
using q350ui::rectLTRB;

namespace {

struct ButtonPlace {
  int id;
  QRect rect;
  int hint;
};

// Light test cycle, the five effects, Custom Mode and the two zone choices.
const ButtonPlace kButtons[] = {
    {CDlgLedMain::kIdEnable, rectLTRB(46, 214, 61, 228), 70},
    {CDlgLedMain::kIdDisable, rectLTRB(174, 212, 188, 227), 71},
    {CDlgLedMain::kIdEffectFirst + 0, rectLTRB(45, 272, 61, 288), 32},
    {CDlgLedMain::kIdEffectFirst + 1, rectLTRB(45, 307, 61, 324), 30},
    {CDlgLedMain::kIdEffectFirst + 2, rectLTRB(45, 338, 61, 354), 51},
    {CDlgLedMain::kIdEffectFirst + 3, rectLTRB(45, 370, 61, 387), 52},
    {CDlgLedMain::kIdEffectFirst + 4, rectLTRB(45, 404, 59, 420), 53},
    {CDlgLedMain::kIdCustom, rectLTRB(271, 289, 288, 306), 74},
    {CDlgLedMain::kIdSelectAll, rectLTRB(292, 363, 308, 379), 75},
    {CDlgLedMain::kIdSeparate, rectLTRB(290, 404, 308, 420), 76},
};
constexpr int kRateHint = 73, kBrightnessHint = 72;

const QPolygon& zonePolygon(int zone) {
  static const QPolygon zones[q350::kZoneCount] = {
      QPolygon({{301, 32}, {397, 32}, {397, 93}, {384, 93}, {384, 117}, {366, 117}, {366, 140}, {355, 140},
                {355, 164}, {331, 164}, {331, 189}, {301, 189}}),
      QPolygon({{396, 32}, {479, 32}, {479, 70}, {467, 70}, {467, 94}, {455, 94}, {455, 117}, {437, 117},
                {437, 141}, {426, 141}, {426, 165}, {390, 165}, {390, 231}, {332, 231}, {332, 165}, {355, 165},
                {355, 141}, {367, 141}, {367, 118}, {385, 118}, {385, 94}, {396, 94}}),
      QPolygon({{480, 32}, {550, 32}, {550, 69}, {538, 69}, {538, 94}, {526, 94}, {526, 117}, {508, 117},
                {508, 141}, {496, 141}, {496, 165}, {538, 165}, {538, 190}, {391, 190}, {391, 165}, {426, 165},
                {426, 142}, {437, 142}, {437, 118}, {456, 118}, {456, 94}, {468, 94}, {468, 70}, {480, 70}}),
      QPolygon({{561, 32}, {632, 32}, {632, 57}, {609, 57}, {609, 93}, {597, 93}, {597, 117}, {579, 117},
                {579, 141}, {567, 141}, {567, 188}, {539, 188}, {539, 165}, {497, 165}, {497, 142}, {509, 142},
                {509, 118}, {527, 118}, {527, 95}, {539, 95}, {539, 70}, {561, 70}}),
      QPolygon({{633, 32}, {709, 32}, {709, 94}, {686, 94}, {686, 118}, {656, 118}, {656, 188}, {568, 188},
                {568, 142}, {580, 142}, {580, 118}, {598, 118}, {598, 94}, {610, 94}, {610, 70}, {633, 70}}),
      QPolygon({{710, 32}, {786, 32}, {786, 94}, {763, 94}, {763, 117}, {735, 117}, {735, 188}, {662, 188},
                {662, 165}, {686, 165}, {686, 94}, {710, 94}}),
      QPolygon({{787, 32}, {834, 32}, {834, 189}, {740, 189}, {740, 118}, {763, 118}, {763, 94}, {787, 94}}),
  };
  return zones[zone];
}

// The built-in page picture of the interface language, from which the
// slider tracks are cut (its labels, and so the upper tracks, sit at other
// places in Chinese).
QImage languagePagePicture(bool chinese) {
  QImage img;
  const std::string name = chinese ? "res/light_sc.bmp" : "res/light_en.bmp";
  img.load(QString::fromStdString(platform::resolveNoCase(platform::programFolder(), name)));
  return img;
}

QCursor pickerCursor() {
  QPixmap pm;
  if (pm.load(QString::fromStdString(platform::resolveNoCase(platform::programFolder(), "res/177.png"))))
    return QCursor(pm, 2, 29);
  return QCursor(Qt::CrossCursor);
}

std::uint32_t withByte(std::uint32_t colour, int byte, int value) {
  const int shift = 8 * byte;
  return (colour & ~(0xFFu << shift)) | (static_cast<std::uint32_t>(value & 0xFF) << shift);
}

}  // namespace

// The skin's pictures carry the labels of the skin's language (the shipped
// skin is English), while the rate and brightness rows follow the interface
// language: in Chinese their labels are narrower and the sliders and the
// switch sit further left. So that strip of every face is taken from the
// language's page picture, and the switch as the skin draws it (its
// normal, over and down looks) is moved to the switch's place there.
void CDlgLedMain::useLanguageRows(const QImage& language) {
  const QRect strip = rectLTRB(30, 75, 290, 135);
  const QRect skinSwitch = rectLTRB(267, 117, 282, 130), here = rectLTRB(226, 117, 236, 130);
  if (language.size() != faces_.normal.size()) return;
  for (QImage* face : {&faces_.normal, &faces_.over, &faces_.down}) {
    if (face->size() != language.size()) continue;
    const QImage look = face->copy(skinSwitch);
    QPainter p(face);
    p.drawImage(strip.topLeft(), language, strip);
    p.drawImage(here, look);
  }
  setBackground(faces_.normal);
}

QRect CDlgLedMain::wheelRect() { return rectLTRB(757, 295, 875, 411); }

CDlgLedMain::CDlgLedMain(QWidget* parent) : CQ350Page(parent, "Light/Q350_Light_Normal.bmp") {
  picker_ = pickerCursor();
  setMouseTracking(true);
  build();
}

void CDlgLedMain::build() {
  faces_ = skinFaces(background(), "Light/Q350_Light_");
  const bool chinese = languageFlag() == 1;
  QImage tracks = languagePagePicture(chinese);
  if (tracks.isNull()) tracks = background();
  if (chinese) useLanguageRows(tracks);

  for (const ButtonPlace& b : kButtons) {
    auto* button = new CSkinButton(this);
    button->Create(faces_, b.rect, b.id);
    button->SetHint(b.hint);
    if (b.id == kIdEnable) enable_ = button;
    if (b.id == kIdDisable) disable_ = button;
    if (b.id >= kIdEffectFirst && b.id < kIdEffectFirst + 5) effects_[static_cast<std::size_t>(b.id - kIdEffectFirst)] = button;
    if (b.id == kIdCustom) effects_[5] = button;
    if (b.id == kIdSelectAll) selectAll_ = button;
    if (b.id == kIdSeparate) separate_ = button;
  }
  for (int z = 0; z < static_cast<int>(q350::kZoneCount); ++z) {
    zones_[static_cast<std::size_t>(z)] = new CSkinButton(this);
    zoneButton(z)->CreatePolygon(faces_, zonePolygon(z), kIdZoneFirst + z);
  }

  const QImage knob = skinPicture("Slider.png");
  auto makeSlider = [&](const QRect& track, int id, int maximum) {
    auto* s = new q350ui::CSkinSlider(this);
    s->Create(track, tracks, knob, id, 0, maximum);
    return s;
  };
  rate_ = makeSlider(chinese ? rectLTRB(93, 85, 206, 95) : rectLTRB(135, 85, 250, 95), kIdRate, 5);
  brightness_ = makeSlider(chinese ? rectLTRB(93, 117, 206, 127) : rectLTRB(137, 117, 250, 127), kIdBrightness, 5);
  red_ = makeSlider(rectLTRB(544, 298, 693, 308), kIdRed, 255);
  green_ = makeSlider(rectLTRB(544, 345, 693, 355), kIdGreen, 255);
  blue_ = makeSlider(rectLTRB(544, 388, 693, 398), kIdBlue, 255);
  rate_->installEventFilter(this);
  brightness_->installEventFilter(this);

  brightSwitch_ = new CSkinButton(this);
  brightSwitch_->Create(faces_, chinese ? rectLTRB(226, 117, 236, 130) : rectLTRB(267, 117, 282, 130), kIdBrightSwitch);

  swatch_ = new q350ui::CColourSwatch(this);
  swatch_->Create(rectLTRB(372, 322, 394, 344));

  auto makeEdit = [&](const QRect& r, int id) {
    auto* e = new q350ui::CSkinEdit(this);
    e->Create(r, id, background());
    e->SetNumberRange(255);
    e->SetColours(QColor(21, 140, 185), QColor(15, 15, 15));
    // Display only: the components follow the sliders and the wheel.
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    return e;
  };
  redEdit_ = makeEdit(rectLTRB(692, 293, 732, 305), kIdRedEdit);
  greenEdit_ = makeEdit(rectLTRB(692, 340, 732, 352), kIdGreenEdit);
  blueEdit_ = makeEdit(rectLTRB(692, 380, 732, 392), kIdBlueEdit);
  pressZones(0);
}

CSkinButton* CDlgLedMain::button(int id) const {
  for (CSkinButton* b : findChildren<CSkinButton*>(QString(), Qt::FindDirectChildrenOnly))
    if (b->controlId() == id) return b;
  return nullptr;
}

q350ui::CSkinSlider* CDlgLedMain::slider(int id) const {
  for (q350ui::CSkinSlider* s : {red_, green_, blue_, brightness_, rate_})
    if (s->controlId() == id) return s;
  return nullptr;
}

q350ui::CSkinEdit* CDlgLedMain::edit(int id) const {
  for (q350ui::CSkinEdit* e : {redEdit_, greenEdit_, blueEdit_})
    if (e->controlId() == id) return e;
  return nullptr;
}

bool CDlgLedMain::brightnessSwitchOn() const { return brightSwitch_->GetCheck(); }

// ---- Message map ----

bool CDlgLedMain::onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) {
  static const platform::MessageEntry<CDlgLedMain> map[] = {
      {platform::WM_COMMAND, &CDlgLedMain::OnCommand},
      {q350ui::WM_SLIDER_MOVED, &CDlgLedMain::OnSliderMoved},
  };
  if (message == platform::WM_COMMAND) q350ui::closeSkinMenus();
  if (platform::dispatchMessages(this, map, message, w, l, result)) return true;
  return CQ350Page::onMessage(message, w, l, result);
}

platform::LRESULT CDlgLedMain::OnCommand(platform::WPARAM w, platform::LPARAM) {
  q350::ProfileSettings& s = q350::settings().profileSettings;
  const int id = static_cast<int>(platform::loWord(w));
  if (id >= kIdEffectFirst && id < kIdEffectFirst + 5) {
    s.lightingMode = kEffectModes[static_cast<std::size_t>(id - kIdEffectFirst)];
  } else if (id == kIdCustom) {
    s.lightingMode = kCustomMode;
  } else if (id == kIdEnable) {
    s.lightingSwitch = 0;
  } else if (id == kIdDisable) {
    s.lightingSwitch = 255;
  } else if (id == kIdSelectAll) {
    s.allZones = 1;
    s.lightingMode = kCustomMode;
    zone_ = kAllZones;
    pressZones(kAllZones);
  } else if (id == kIdSeparate) {
    s.allZones = 0;
    s.lightingMode = kCustomMode;
    zone_ = 0;
    pressZones(0);
  } else if (id >= kIdZoneFirst && id < kIdZoneFirst + static_cast<int>(q350::kZoneCount)) {
    selectZone(id - kIdZoneFirst);
  } else if (id == kIdBrightSwitch) {
    s.brightness = brightSwitch_->GetCheck() ? 0 : 4;
  } else {
    return 0;
  }
  rememberSettings();
  RefreshFromSettings();
  return 0;
}

platform::LRESULT CDlgLedMain::OnSliderMoved(platform::WPARAM w, platform::LPARAM l) {
  q350::ProfileSettings& s = q350::settings().profileSettings;
  const int pos = static_cast<int>(w);
  switch (static_cast<int>(l)) {
    case kIdRed: setCurrentColour(withByte(currentColour(), 0, pos)); break;
    case kIdGreen: setCurrentColour(withByte(currentColour(), 1, pos)); break;
    case kIdBlue: setCurrentColour(withByte(currentColour(), 2, pos)); break;
    case kIdBrightness:
      if (brightSwitch_->GetCheck())
        s.brightness = static_cast<std::uint32_t>(pos);
      else
        brightness_->SetPos(static_cast<int>(s.brightness));
      break;
    case kIdRate: s.effectSpeed = static_cast<std::uint32_t>(pos); break;
    default: return 0;
  }
  rememberSettings();
  return 0;
}

// ---- Zones and colours ----

void CDlgLedMain::selectZone(int zone) {
  zone_ = zone;
  pressZones(zone);
  showColour(currentColour());
}

void CDlgLedMain::pressZones(int zone) {
  for (int z = 0; z < static_cast<int>(q350::kZoneCount); ++z) zoneButton(z)->SetCheck(zone == kAllZones || z == zone);
}

std::uint32_t& CDlgLedMain::currentColour() {
  q350::ProfileSettings& s = q350::settings().profileSettings;
  return zone_ == kAllZones ? s.commonColour : s.zoneColour[static_cast<std::size_t>(zone_)];
}

void CDlgLedMain::setCurrentColour(std::uint32_t colour) {
  q350::ProfileSettings& s = q350::settings().profileSettings;
  currentColour() = colour;
  if (s.allZones == 1) s.zoneColour.fill(colour);
  showColour(colour);
}

void CDlgLedMain::showColour(std::uint32_t colour) {
  swatch_->SetColour(colour);
  const int r = static_cast<int>(colour & 0xFF), g = static_cast<int>(colour >> 8 & 0xFF),
            b = static_cast<int>(colour >> 16 & 0xFF);
  red_->SetPos(r);
  green_->SetPos(g);
  blue_->SetPos(b);
  redEdit_->SetText(QString::number(r));
  greenEdit_->SetText(QString::number(g));
  blueEdit_->SetText(QString::number(b));
}

// ---- Refresh ----

void CDlgLedMain::rememberSettings() {
  seen_ = q350::settings().profileSettings;
  seenProfile_ = q350::settings().currentProfile();
}

bool CDlgLedMain::settingsChangedElsewhere() const {
  if (!seen_ || seenProfile_ != q350::settings().currentProfile()) return true;
  // Only the lighting fields: the key table in the record is another page's.
  const q350::ProfileSettings& a = *seen_;
  const q350::ProfileSettings& b = q350::settings().profileSettings;
  return a.zoneColour != b.zoneColour || a.commonColour != b.commonColour || a.lightingMode != b.lightingMode ||
         a.effectSpeed != b.effectSpeed || a.brightness != b.brightness || a.lightingSwitch != b.lightingSwitch ||
         a.allZones != b.allZones;
}

void CDlgLedMain::RefreshFromSettings() {
  const q350::ProfileSettings& s = q350::settings().profileSettings;
  if (settingsChangedElsewhere()) {
    // A profile came in under the page: its zone choice comes with it.
    zone_ = s.allZones == 1 ? kAllZones : 0;
    pressZones(zone_);
    rememberSettings();
  }
  if (s.lightingSwitch == 0) {
    enable_->SetCheck(true);
    disable_->SetCheck(false);
  } else if (s.lightingSwitch == 255) {
    enable_->SetCheck(false);
    disable_->SetCheck(true);
  }
  for (int i = 0; i < 5; ++i) effects_[static_cast<std::size_t>(i)]->SetCheck(s.lightingMode == kEffectModes[static_cast<std::size_t>(i)]);
  effects_[5]->SetCheck(s.lightingMode == kCustomMode);
  brightSwitch_->SetCheck(s.brightness != 0);
  showColour(currentColour());
  brightness_->SetPos(static_cast<int>(s.brightness));
  rate_->SetPos(static_cast<int>(s.effectSpeed));
  selectAll_->SetCheck(s.lightingMode == kCustomMode && s.allZones == 1);
  separate_->SetCheck(s.lightingMode == kCustomMode && s.allZones != 1);
}

// ---- Colour wheel ----

bool CDlgLedMain::inWheel(QPoint p) const {
  const QRectF r(wheelRect());
  const double dx = (p.x() + 0.5 - r.center().x()) / (r.width() / 2);
  const double dy = (p.y() + 0.5 - r.center().y()) / (r.height() / 2);
  return dx * dx + dy * dy <= 1.0;
}

void CDlgLedMain::updatePickerCursor(QPoint p) {
  const bool over = inWheel(p);
  if (over == pickerShown_) return;
  pickerShown_ = over;
  if (over)
    setCursor(picker_);
  else
    unsetCursor();
}

void CDlgLedMain::mousePressEvent(QMouseEvent* e) {
  updatePickerCursor(e->pos());
  if (e->button() == Qt::LeftButton && inWheel(e->pos()) && background().rect().contains(e->pos())) {
    // The page's own picture, not the screen: whatever lies over the window
    // cannot change the colour picked.
    const QRgb px = background().pixel(e->pos());
    setCurrentColour(q350::rgb(static_cast<std::uint8_t>(qRed(px)), static_cast<std::uint8_t>(qGreen(px)),
                               static_cast<std::uint8_t>(qBlue(px))));
    rememberSettings();
  }
  CQ350Page::mousePressEvent(e);
}

void CDlgLedMain::mouseMoveEvent(QMouseEvent* e) {
  updatePickerCursor(e->pos());
  CQ350Page::mouseMoveEvent(e);
}

void CDlgLedMain::mouseReleaseEvent(QMouseEvent* e) {
  updatePickerCursor(e->pos());
  CQ350Page::mouseReleaseEvent(e);
}

bool CDlgLedMain::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::Enter) {
    if (watched == rate_) q350ui::postHint(kRateHint);
    if (watched == brightness_) q350ui::postHint(kBrightnessHint);
  }
  return CQ350Page::eventFilter(watched, e);
}

}  // namespace q350app
