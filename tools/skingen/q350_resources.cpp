// Pictures that Q350Config has built in (resources by number) and the
// desktop icons. Q350Config loads them from Q350/res/, named by resource
// number: "135.bmp" is bitmap 135, "177.cur" cursor 177, "128.ico" icon 128.
#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>

#include "tools/skingen/binfiles.h"
#include "tools/skingen/icons.h"
#include "tools/skingen/q350_pages.h"
#include "tools/skingen/skins.h"

namespace skingen {

using namespace palette;

namespace {

QPolygonF star(QPointF c, qreal outer, qreal rotationDeg) {
  QPolygonF s;
  for (int i = 0; i < 10; ++i) {
    const qreal r = i % 2 ? outer * 0.382 : outer;
    const qreal a = (rotationDeg - 90 + 36.0 * i) * M_PI / 180.0;
    s << c + QPointF(r * std::cos(a), r * std::sin(a));
  }
  return s;
}

void bands(QPainter& p, const QRectF& r, bool vertical, std::initializer_list<std::pair<QColor, qreal>> parts) {
  qreal total = 0;
  for (const auto& part : parts) total += part.second;
  qreal at = 0;
  for (const auto& [colour, share] : parts) {
    const qreal len = (vertical ? r.width() : r.height()) * share / total;
    QRectF band = vertical ? QRectF(r.left() + at, r.top(), len + 0.5, r.height())
                           : QRectF(r.left(), r.top() + at, r.width(), len + 0.5);
    p.fillRect(band, colour);
    at += len;
  }
}

enum class Flag { Chinese, Dutch, English, French, German, Italian, Korean, Portuguese, Russian, Spanish, Ukrainian };

QImage flag(Flag f, int w, int h) {
  QImage img = newImage(w, h, false);
  QPainter p(&img);
  prepare(p);
  const QRectF r(0, 0, w, h);
  const QColor red(206, 17, 38), blue(0, 56, 168), white(255, 255, 255);
  switch (f) {
    case Flag::Chinese: {
      p.fillRect(r, QColor(222, 41, 16));
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(255, 222, 0));
      const qreal u = h / 20.0;
      p.drawPolygon(star(QPointF(5 * u, 5 * u), 3 * u, 0));
      const QPointF small[] = {{10 * u, 2 * u}, {12 * u, 4 * u}, {12 * u, 7 * u}, {10 * u, 9 * u}};
      for (const QPointF& c : small) p.drawPolygon(star(c, u, 20));
      break;
    }
    case Flag::Dutch: bands(p, r, false, {{QColor(174, 28, 40), 1}, {white, 1}, {QColor(33, 70, 139), 1}}); break;
    case Flag::French: bands(p, r, true, {{QColor(0, 85, 164), 1}, {white, 1}, {QColor(239, 65, 53), 1}}); break;
    case Flag::German: bands(p, r, false, {{QColor(0, 0, 0), 1}, {QColor(221, 0, 0), 1}, {QColor(255, 206, 0), 1}}); break;
    case Flag::Italian: bands(p, r, true, {{QColor(0, 146, 70), 1}, {white, 1}, {QColor(206, 43, 55), 1}}); break;
    case Flag::Russian: bands(p, r, false, {{white, 1}, {QColor(0, 57, 166), 1}, {QColor(213, 43, 30), 1}}); break;
    case Flag::Spanish: bands(p, r, false, {{QColor(170, 21, 27), 1}, {QColor(241, 191, 0), 2}, {QColor(170, 21, 27), 1}}); break;
    case Flag::Ukrainian: bands(p, r, false, {{QColor(0, 87, 183), 1}, {QColor(255, 215, 0), 1}}); break;
    case Flag::Portuguese: {
      bands(p, r, true, {{QColor(0, 102, 0), 2}, {QColor(255, 0, 0), 3}});
      p.setPen(QPen(QColor(255, 204, 0), std::max(1.0, h / 14.0)));
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(QPointF(w * 0.4, h / 2.0), h * 0.22, h * 0.22);
      break;
    }
    case Flag::English: {
      p.fillRect(r, QColor(1, 33, 105));
      p.setPen(QPen(white, h / 5.0));
      p.drawLine(r.topLeft(), r.bottomRight());
      p.drawLine(r.bottomLeft(), r.topRight());
      p.setPen(QPen(QColor(200, 16, 46), h / 12.0));
      p.drawLine(r.topLeft(), r.bottomRight());
      p.drawLine(r.bottomLeft(), r.topRight());
      p.fillRect(QRectF(w / 2.0 - h / 6.0, 0, h / 3.0, h), white);
      p.fillRect(QRectF(0, h / 3.0, w, h / 3.0), white);
      p.fillRect(QRectF(w / 2.0 - h / 10.0, 0, h / 5.0, h), QColor(200, 16, 46));
      p.fillRect(QRectF(0, h / 2.0 - h / 10.0, w, h / 5.0), QColor(200, 16, 46));
      break;
    }
    case Flag::Korean: {
      p.fillRect(r, white);
      const QPointF c(w / 2.0, h / 2.0);
      const qreal rad = h * 0.25;
      QRectF circle(c.x() - rad, c.y() - rad, 2 * rad, 2 * rad);
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(205, 46, 58));
      p.drawPie(circle, 0, 180 * 16);
      p.setBrush(QColor(0, 71, 160));
      p.drawPie(circle, 180 * 16, 180 * 16);
      p.setBrush(QColor(205, 46, 58));
      p.drawEllipse(QPointF(c.x() - rad / 2, c.y()), rad / 2, rad / 2);
      p.setBrush(QColor(0, 71, 160));
      p.drawEllipse(QPointF(c.x() + rad / 2, c.y()), rad / 2, rad / 2);
      // The four trigrams, as short black bars in the corners.
      p.setPen(QPen(QColor(0, 0, 0), std::max(1.0, h / 16.0)));
      const QPointF corners[] = {{w * 0.2, h * 0.22}, {w * 0.8, h * 0.22}, {w * 0.2, h * 0.78}, {w * 0.8, h * 0.78}};
      for (const QPointF& k : corners)
        for (int i = -1; i <= 1; ++i) p.drawLine(k + QPointF(-w * 0.06, i * h * 0.07), k + QPointF(w * 0.06, i * h * 0.07));
      break;
    }
  }
  // Thin frame and a touch of gloss so the flag sits on the dark skin.
  p.setPen(QPen(QColor(0, 0, 0, 160), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
  QLinearGradient gloss(r.topLeft(), r.bottomLeft());
  gloss.setColorAt(0, QColor(255, 255, 255, 50));
  gloss.setColorAt(0.5, QColor(255, 255, 255, 0));
  p.fillRect(r.adjusted(1, 1, -1, -1), gloss);
  p.end();
  return img;
}

QImage infoDialog(bool withCancel) {
  QImage img = newImage(330, 170, false);
  QPainter p(&img);
  prepare(p);
  dialogFrame(p, QRectF(0, 0, 330, 170), 30, kBase, 0);
  // Close button and the OK / Cancel faces (labels are painted in white by
  // the dialog).
  glyphClose(p, QRectF(305, 5, 20, 20), kTextDim.lighter(130));
  if (withCancel) {
    buttonFace(p, QRectF(178, 127, 66, 32), Face::Normal);
    buttonFace(p, QRectF(245, 127, 66, 32), Face::Normal);
  } else {
    buttonFace(p, QRectF(240, 127, 66, 32), Face::Normal);
  }
  // Information mark left of the text.
  glyphInfo(p, QRectF(30, 60, 40, 40));
  p.end();
  return img;
}

QImage progressBackground() {
  QImage img = newImage(345, 84, false);
  QPainter p(&img);
  prepare(p);
  dialogFrame(p, QRectF(0, 0, 345, 84), 0, kBase, 6);
  well(p, QRectF(33, 45, 264, 13));
  p.end();
  return img;
}

QImage pickerCursor() {
  QImage img = newImage(32, 32, true);
  QPainter p(&img);
  prepare(p);
  // An eyedropper whose tip is the hot spot at (2, 29).
  p.setPen(QPen(QColor(0, 0, 0), 5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(3, 28), QPointF(20, 11));
  p.setPen(QPen(QColor(255, 255, 255), 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(3, 28), QPointF(20, 11));
  p.setPen(QPen(QColor(0, 0, 0), 1));
  p.setBrush(kTealBright);
  p.drawEllipse(QPointF(24, 7), 6, 6);
  p.setPen(QPen(QColor(0, 0, 0), 4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(16, 10), QPointF(22, 16));
  p.setPen(QPen(kTeal, 2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(16, 10), QPointF(22, 16));
  p.end();
  return img;
}

}  // namespace

bool drawQ350Resources(Output& out) {
  const QString s = QStringLiteral("Q350/res/");
  bool ok = true;
  ok &= out.bytes(s + "128.ico", makeIco(iconSet(IconKind::Q350)));
  ok &= out.bmp(s + "133.bmp", progressBackground());
  ok &= out.bmp(s + "135.bmp", infoDialog(false));
  ok &= out.bmp(s + "136.bmp", infoDialog(true));
  const QImage cursor = pickerCursor();
  ok &= out.bytes(s + "177.cur", makeCur(cursor, QPoint(2, 29)));
  ok &= out.png(s + "177.png", cursor);
  // Flag pictures (37 x 22, the language flag control) and menu icons
  // (20 x 14, beside each language of the pop-up), by resource number.
  const struct { int flagId, iconId; Flag flag; } languages[] = {
      {166, 179, Flag::Chinese}, {159, 190, Flag::English}, {160, 181, Flag::French},
      {163, 187, Flag::Korean},  {161, 182, Flag::German},  {162, 183, Flag::Italian},
      {167, 188, Flag::Spanish}, {158, 180, Flag::Dutch},   {164, 185, Flag::Portuguese},
      {165, 186, Flag::Russian}, {169, 191, Flag::Ukrainian}};
  for (const auto& l : languages) {
    ok &= out.bmp(s + QStringLiteral("%1.bmp").arg(l.flagId), flag(l.flag, 37, 22));
    ok &= out.bmp(s + QStringLiteral("%1.bmp").arg(l.iconId), flag(l.flag, 20, 14));
  }
  // The lighting page pictures whose slider tracks Q350Config cuts out, one
  // per interface language.
  ok &= out.bmp(s + "light_en.bmp", q350::lightPage(SkinLanguage::English, Face::Normal));
  ok &= out.bmp(s + "light_sc.bmp", q350::lightPage(SkinLanguage::Chinese, Face::Normal));
  return ok;
}

bool drawDesktopIcons(Output& out) {
  bool ok = true;
  const struct { const char* name; IconKind kind; } icons[] = {
      {"kavro-launcher", IconKind::Launcher}, {"kavro-q350config", IconKind::Q350}, {"kavro-lumera", IconKind::Lumera}};
  for (int size : {48, 128, 256})
    for (const auto& icon : icons)
      ok &= out.png(QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(QLatin1String(icon.name)),
                    programIcon(icon.kind, size));
  return ok;
}

}  // namespace skingen
