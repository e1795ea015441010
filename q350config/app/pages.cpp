#include "q350config/app/pages.h"

#include "q350config/app/app_files.h"
#include "q350config/app/macro_dlg.h"
#include "q350config/settings/settings_store.h"

namespace q350app {

CQ350Page::CQ350Page(QWidget* parent, const std::string& picture) : q350ui::CSkinDialog(parent, true) {
  QImage bg = skinPicture(picture);
  if (bg.isNull()) {
    bg = QImage(925, 456, QImage::Format_RGB32);
    bg.fill(QColor(0x16, 0x18, 0x1B));
  }
  setBackground(bg);
  sizeToBackground();
}

namespace {

// A page whose controls are not built yet: its picture, nothing else.
class CStandInPage : public CQ350Page {
 public:
  using CQ350Page::CQ350Page;
};

// The lighting stand-in answers the zone choice as a page just opened on
// the profile would: all zones when the profile uses one colour for all,
// else the first zone.
class CLightingStandIn : public CQ350Page {
 public:
  using CQ350Page::CQ350Page;
  std::optional<int> ZoneSelection() const override { return q350::settings().profileSettings.allZones == 1 ? 7 : 0; }
};

}  // namespace

PageFactories& pageFactories() {
  static PageFactories f{
      [](QWidget* p) -> CQ350Page* { return new CStandInPage(p, "Keyboard/Q350_Main_Normal.bmp"); },
      [](QWidget* p) -> CQ350Page* { return new CMacroDlg(p); },
      [](QWidget* p) -> CQ350Page* { return new CLightingStandIn(p, "Light/Q350_Light_Normal.bmp"); },
      [](QWidget* p) -> CQ350Page* { return new CStandInPage(p, "Support/support_normal.bmp"); },
  };
  return f;
}

}  // namespace q350app
