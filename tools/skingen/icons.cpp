#include "tools/skingen/icons.h"

#include <QConicalGradient>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "tools/skingen/canvas.h"

namespace skingen {

namespace {

// The "K" of the brand mark inside a unit square (0..1).
QPainterPath kMark() {
  QPainterPath m;
  m.moveTo(0.00, 0.00);
  m.lineTo(0.30, 0.00);
  m.lineTo(0.30, 0.36);
  m.lineTo(0.64, 0.00);
  m.lineTo(1.00, 0.00);
  m.lineTo(0.56, 0.47);
  m.lineTo(1.00, 1.00);
  m.lineTo(0.64, 1.00);
  m.lineTo(0.30, 0.58);
  m.lineTo(0.30, 1.00);
  m.lineTo(0.00, 1.00);
  m.closeSubpath();
  return m;
}

}  // namespace

QImage programIcon(IconKind kind, int size) {
  QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  prepare(p);
  const qreal s = size;
  const qreal pad = s * 0.04;
  QRectF tile(pad, pad, s - 2 * pad, s - 2 * pad);
  // Dark tile with a lit rim.
  QLinearGradient g(tile.topLeft(), tile.bottomLeft());
  g.setColorAt(0, QColor(38, 44, 51));
  g.setColorAt(1, QColor(12, 14, 17));
  p.setPen(QPen(QColor(70, 80, 90), std::max(1.0, s / 48)));
  p.setBrush(g);
  p.drawRoundedRect(tile, s * 0.2, s * 0.2);

  qreal markSize = s * 0.5;
  QPointF markAt(s * 0.27, s * 0.24);
  if (kind == IconKind::RgbKey) {
    QConicalGradient ring(tile.center(), 90);
    const QColor spectrum[] = {QColor(255, 40, 60), QColor(255, 200, 0), QColor(40, 220, 90),
                               QColor(40, 214, 236), QColor(60, 90, 255), QColor(220, 60, 255),
                               QColor(255, 40, 60)};
    for (int i = 0; i < 7; ++i) ring.setColorAt(i / 6.0, spectrum[i]);
    p.setPen(QPen(QBrush(ring), std::max(1.5, s * 0.07)));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(tile.adjusted(s * 0.12, s * 0.12, -s * 0.12, -s * 0.12));
    markSize = s * 0.4;
    markAt = QPointF(s * 0.32, s * 0.3);
  }
  if (kind == IconKind::Q350 || kind == IconKind::Lumera) {
    markAt.ry() -= s * 0.06;
    markSize = s * 0.44;
    // A light bar under the mark: seven zones for the Q350, a spectrum for
    // the RGB model.
    QRectF bar(s * 0.2, s * 0.74, s * 0.6, std::max(2.0, s * 0.07));
    if (kind == IconKind::Q350) {
      const qreal w = bar.width() / 7;
      for (int i = 0; i < 7; ++i) {
        QColor c = palette::kTealBright;
        c.setAlpha(110 + i * 20);
        p.fillRect(QRectF(bar.left() + i * w + w * 0.1, bar.top(), w * 0.8, bar.height()), c);
      }
    } else {
      QLinearGradient sg(bar.topLeft(), bar.topRight());
      sg.setColorAt(0, QColor(255, 40, 60));
      sg.setColorAt(0.33, QColor(255, 210, 0));
      sg.setColorAt(0.55, QColor(40, 220, 120));
      sg.setColorAt(0.75, QColor(40, 214, 236));
      sg.setColorAt(1, QColor(170, 70, 255));
      p.fillRect(bar, sg);
    }
  }
  QPainterPath mark = kMark();
  QTransform t;
  t.translate(markAt.x(), markAt.y());
  t.scale(markSize, markSize);
  QPainterPath placed = t.map(mark);
  tealFill(p, placed);
  p.end();
  return img;
}

std::vector<QImage> iconSet(IconKind kind) {
  std::vector<QImage> set;
  for (int size : {16, 24, 32, 48, 256}) set.push_back(programIcon(kind, size));
  return set;
}

}  // namespace skingen
