// Q350Config's skin folder: Q350/skins/<en|sc>/, one sub-folder per window.
// The folder's name tells Q350Config the interface language at start, so the
// skin folder holds exactly one entry.
#include <QLinearGradient>
#include <QRadialGradient>

#include "tools/skingen/q350_pages.h"
#include "tools/skingen/skins.h"

namespace skingen {

using namespace palette;

namespace {

QImage progressPart(bool filled) {
  QImage img = newImage(260, 9, true);
  QPainter p(&img);
  prepare(p);
  QRectF r(0.5, 0.5, 259, 8);
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  if (filled) {
    g.setColorAt(0, kTealBright);
    g.setColorAt(1, kTeal);
  } else {
    g.setColorAt(0, QColor(8, 9, 11));
    g.setColorAt(1, QColor(24, 27, 31));
  }
  p.setPen(QPen(filled ? kTeal.darker(120) : kEdgeSoft, 1));
  p.setBrush(g);
  p.drawRoundedRect(r, 3, 3);
  p.end();
  return img;
}

QImage sliderKnob() {
  QImage img = newImage(12, 16, true);
  QPainter p(&img);
  prepare(p);
  QRectF r(1, 1, 10, 14);
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, QColor(96, 106, 116));
  g.setColorAt(1, QColor(40, 45, 51));
  p.setPen(QPen(kTealBright, 1.2));
  p.setBrush(g);
  p.drawRoundedRect(r, 3, 3);
  p.setPen(QPen(kTealBright, 1));
  p.drawLine(QPointF(6, 4), QPointF(6, 12));
  p.end();
  return img;
}

}  // namespace

bool drawQ350Skins(Output& out, SkinLanguage lang) {
  using namespace q350;
  const bool chinese = lang == SkinLanguage::Chinese;
  const QString s = QStringLiteral("Q350/skins/%1/").arg(chinese ? "sc" : "en");
  // The skin folder must stay the only entry of "skins": a build that
  // switched languages drops the other one.
  bool ok = out.removeFolder(QStringLiteral("Q350/skins/%1").arg(chinese ? "en" : "sc"));
  struct PageSet {
    const char* normal;
    const char* over;
    const char* down;
    QImage (*draw)(SkinLanguage, Face);
  };
  const PageSet pages[] = {
      {"Config/Q350_Frame_Normal.bmp", "Config/Q350_Frame_Over.bmp", "Config/Q350_Frame_Down.bmp", frame},
      {"Light/Q350_Light_Normal.bmp", "Light/Q350_Light_Over.bmp", "Light/Q350_Light_Down.bmp", lightPage},
      {"Keyboard/Q350_Main_Normal.bmp", "Keyboard/Q350_Main_Over.bmp", "Keyboard/Q350_Main_Down.bmp", keyPage},
      {"Macro/Macro_normal.bmp", "Macro/Macro_over.bmp", "Macro/Macro_down.bmp", macroPage},
      {"Support/support_normal.bmp", "Support/support_over.bmp", "Support/support_down.bmp", supportPage},
      {"Set/setting/Setting_Normal.bmp", "Set/setting/Setting_Over.bmp", "Set/setting/Setting_Down.bmp",
       settingDialog},
      {"Set/combo/Combo_Normal.bmp", "Set/combo/Combo_Over.bmp", "Set/combo/Combo_Down.bmp", comboTab},
      {"Set/macro/Macro_Normal.bmp", "Set/macro/Macro_Over.bmp", "Set/macro/Macro_Down.bmp", macroTab},
      {"Set/base/Base_Normal.bmp", "Set/base/Base_Over.bmp", "Set/base/Base_Down.bmp", baseTab},
  };
  for (const PageSet& set : pages) {
    ok &= out.bmp(s + QLatin1String(set.normal), set.draw(lang, Face::Normal));
    ok &= out.bmp(s + QLatin1String(set.over), set.draw(lang, Face::Over));
    ok &= out.bmp(s + QLatin1String(set.down), set.draw(lang, Face::Down));
  }
  ok &= out.png(s + "ProgressBar/Progress_Normal.png", progressPart(false));
  ok &= out.png(s + "ProgressBar/Progress_Over.png", progressPart(true));
  ok &= out.bmp(s + "Menu/MenuNorL.BMP", menuItemPicture(200, 24, false, Face::Normal));
  ok &= out.bmp(s + "Menu/MenuOverL.BMP", menuItemPicture(200, 24, false, Face::Over));
  ok &= out.bmp(s + "Menu/MenuDownL.BMP", menuItemPicture(200, 24, false, Face::Down));
  ok &= out.bmp(s + "Menu/MenuNorHaveSub.BMP", menuItemPicture(200, 24, true, Face::Normal));
  ok &= out.bmp(s + "Menu/MenuOverHaveSub.BMP", menuItemPicture(200, 24, true, Face::Over));
  ok &= out.bmp(s + "Menu/MenuDownHaveSub.BMP", menuItemPicture(200, 24, true, Face::Down));
  ok &= out.png(s + "Slider.png", sliderKnob());
  return ok;
}

}  // namespace skingen
