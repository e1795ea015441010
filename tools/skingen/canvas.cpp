#include "tools/skingen/canvas.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>

namespace skingen {

using namespace palette;

QFont uiFont(int pixelSize, int weight, bool cjk) {
  QFont f(cjk ? QStringLiteral("Noto Sans CJK SC") : QStringLiteral("DejaVu Sans"));
  if (!cjk) f.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans CJK SC")});
  f.setPixelSize(pixelSize);
  f.setWeight(weight);
  f.setHintingPreference(QFont::PreferFullHinting);
  f.setStyleStrategy(QFont::PreferAntialias);
  return f;
}

QFont headingFont(int pixelSize, bool cjk) {
  QFont f = uiFont(pixelSize, QFont::Bold, cjk);
  if (!cjk) f.setLetterSpacing(QFont::AbsoluteSpacing, pixelSize / 10.0);
  return f;
}

QImage newImage(int w, int h, bool alpha) {
  QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
  img.fill(alpha ? Qt::transparent : kBase);
  return img;
}

QImage drawn(int w, int h, bool alpha, const std::function<void(QPainter&)>& body) {
  QImage img = newImage(w, h, alpha);
  QPainter p(&img);
  prepare(p);
  body(p);
  p.end();
  return img;
}

void prepare(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

void fillFace(QPainter& p, const QRectF& r) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, kBaseHigh);
  g.setColorAt(0.35, kBase);
  g.setColorAt(1, QColor(9, 10, 12));
  p.fillRect(r, g);
  // Brushed texture: faint diagonal hairlines, the way anodised metal looks.
  p.save();
  p.setClipRect(r);
  p.setPen(QPen(QColor(255, 255, 255, 6), 1));
  for (qreal x = r.left() - r.height(); x < r.right(); x += 4)
    p.drawLine(QPointF(x, r.bottom()), QPointF(x + r.height(), r.top()));
  p.restore();
}

void panel(QPainter& p, const QRectF& r, qreal radius, const QColor& fill) {
  p.save();
  QRectF box = r.adjusted(0.5, 0.5, -0.5, -0.5);
  QLinearGradient g(box.topLeft(), box.bottomLeft());
  g.setColorAt(0, fill.lighter(112));
  g.setColorAt(1, fill);
  p.setPen(QPen(kEdgeSoft, 1));
  p.setBrush(g);
  p.drawRoundedRect(box, radius, radius);
  p.setPen(QPen(QColor(255, 255, 255, 14), 1));
  p.drawLine(QPointF(box.left() + radius, box.top() + 1), QPointF(box.right() - radius, box.top() + 1));
  p.restore();
}

void well(QPainter& p, const QRectF& r, const QColor& fill) {
  p.save();
  QRectF box = r.adjusted(0.5, 0.5, -0.5, -0.5);
  p.setPen(QPen(kEdgeSoft, 1));
  p.setBrush(fill);
  p.drawRoundedRect(box, 2, 2);
  p.setPen(QPen(QColor(0, 0, 0, 120), 1));
  p.drawLine(QPointF(box.left() + 1, box.top() + 1), QPointF(box.right() - 1, box.top() + 1));
  p.restore();
}

QPainterPath chamfered(const QRectF& r, qreal cut) {
  QPainterPath path;
  path.moveTo(r.left() + cut, r.top());
  path.lineTo(r.right() - cut, r.top());
  path.lineTo(r.right(), r.top() + cut);
  path.lineTo(r.right(), r.bottom() - cut);
  path.lineTo(r.right() - cut, r.bottom());
  path.lineTo(r.left() + cut, r.bottom());
  path.lineTo(r.left(), r.bottom() - cut);
  path.lineTo(r.left(), r.top() + cut);
  path.closeSubpath();
  return path;
}

void accentLine(QPainter& p, QPointF a, QPointF b, qreal width) {
  p.save();
  QColor glow = kTealBright;
  glow.setAlpha(40);
  p.setPen(QPen(glow, width + 4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(a, b);
  p.setPen(QPen(kTeal.lighter(130), width, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(a, b);
  p.restore();
}

static void faceBrushAndPen(Face face, const QRectF& box, QBrush& brush, QPen& pen) {
  QLinearGradient g(box.topLeft(), box.bottomLeft());
  switch (face) {
    case Face::Normal:
      g.setColorAt(0, kRaised);
      g.setColorAt(1, kRaisedLow);
      pen = QPen(kEdge, 1);
      break;
    case Face::Over:
      g.setColorAt(0, kRaised.lighter(125));
      g.setColorAt(1, kRaisedLow.lighter(125));
      pen = QPen(kTealBright, 1);
      break;
    case Face::Down:
      g.setColorAt(0, kTeal.lighter(115));
      g.setColorAt(1, kTealDeep);
      pen = QPen(kTealBright, 1);
      break;
  }
  brush = QBrush(g);
}

void buttonFace(QPainter& p, const QRectF& r, Face face, const QString& caption, const QFont& font,
                qreal radius) {
  p.save();
  QRectF box = r.adjusted(0.5, 0.5, -0.5, -0.5);
  QBrush brush;
  QPen pen;
  faceBrushAndPen(face, box, brush, pen);
  if (face != Face::Normal) {
    QColor glow = kTealBright;
    glow.setAlpha(face == Face::Down ? 70 : 45);
    p.setPen(QPen(glow, 3));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(box.adjusted(1, 1, -1, -1), radius, radius);
  }
  p.setPen(pen);
  p.setBrush(brush);
  p.drawRoundedRect(box, radius, radius);
  // Lit top edge.
  p.setPen(QPen(QColor(255, 255, 255, face == Face::Down ? 40 : 22), 1));
  p.drawLine(QPointF(box.left() + radius, box.top() + 1), QPointF(box.right() - radius, box.top() + 1));
  if (!caption.isEmpty())
    drawText(p, r, Qt::AlignCenter, caption, font, face == Face::Normal ? kText : QColor(255, 255, 255));
  p.restore();
}

void shapedFace(QPainter& p, const QPainterPath& shape, Face face) {
  p.save();
  QBrush brush;
  QPen pen;
  faceBrushAndPen(face, shape.boundingRect(), brush, pen);
  if (face != Face::Normal) {
    QColor glow = kTealBright;
    glow.setAlpha(face == Face::Down ? 80 : 50);
    p.setPen(QPen(glow, 4));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
  }
  p.setPen(pen);
  p.setBrush(brush);
  p.drawPath(shape);
  p.restore();
}

void radioMark(QPainter& p, const QRectF& r, Face face, bool on) {
  p.save();
  QRectF box = r.adjusted(1, 1, -1, -1);
  qreal d = std::min(box.width(), box.height());
  QRectF c(box.center().x() - d / 2, box.center().y() - d / 2, d, d);
  p.setPen(QPen(face == Face::Normal ? kEdge.lighter(130) : kTealBright, 1.2));
  p.setBrush(kPanelDeep);
  p.drawEllipse(c);
  if (on || face == Face::Down) {
    QRadialGradient g(c.center(), d / 2);
    g.setColorAt(0, kTealBright);
    g.setColorAt(1, kTeal);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(c.adjusted(d * 0.25, d * 0.25, -d * 0.25, -d * 0.25));
  }
  p.restore();
}

void checkMark(QPainter& p, const QRectF& r, Face face, bool on) {
  p.save();
  QRectF box = r.adjusted(0.5, 0.5, -0.5, -0.5);
  p.setPen(QPen(face == Face::Normal ? kEdge.lighter(130) : kTealBright, 1));
  p.setBrush(on || face == Face::Down ? kTeal : kPanelDeep);
  p.drawRoundedRect(box, 2, 2);
  if (on || face == Face::Down) {
    p.setPen(QPen(QColor(255, 255, 255), std::max<qreal>(1.4, box.width() / 8), Qt::SolidLine, Qt::RoundCap,
                  Qt::RoundJoin));
    QPolygonF tick;
    tick << QPointF(box.left() + box.width() * 0.22, box.top() + box.height() * 0.52)
         << QPointF(box.left() + box.width() * 0.43, box.top() + box.height() * 0.74)
         << QPointF(box.left() + box.width() * 0.80, box.top() + box.height() * 0.28);
    p.drawPolyline(tick);
  }
  p.restore();
}

void keyCap(QPainter& p, const QRectF& r, const QString& legend, Face face, int fontPx) {
  p.save();
  QRectF box = r.adjusted(0.5, 0.5, -0.5, -0.5);
  // Skirt (the cap's sides) and the dished top surface.
  QColor skirtTop = face == Face::Down ? kTealDeep : QColor(30, 34, 39);
  QColor skirtLow = face == Face::Down ? QColor(3, 40, 48) : QColor(17, 19, 23);
  QLinearGradient skirt(box.topLeft(), box.bottomLeft());
  skirt.setColorAt(0, skirtTop);
  skirt.setColorAt(1, skirtLow);
  p.setPen(QPen(face == Face::Normal ? QColor(6, 7, 9) : kTealBright, 1));
  p.setBrush(skirt);
  p.drawRoundedRect(box, 3, 3);
  QRectF top = box.adjusted(2, 1.5, -2, -3.5);
  QLinearGradient cap(top.topLeft(), top.bottomLeft());
  if (face == Face::Down) {
    cap.setColorAt(0, kTeal.lighter(120));
    cap.setColorAt(1, kTeal);
  } else {
    cap.setColorAt(0, face == Face::Over ? QColor(58, 66, 75) : QColor(44, 50, 57));
    cap.setColorAt(1, face == Face::Over ? QColor(42, 48, 55) : QColor(33, 38, 44));
  }
  p.setPen(Qt::NoPen);
  p.setBrush(cap);
  p.drawRoundedRect(top, 2, 2);
  if (!legend.isEmpty()) {
    QColor ink = face == Face::Normal ? QColor(214, 220, 226) : QColor(255, 255, 255);
    QFont f = uiFont(fontPx, QFont::DemiBold);
    drawText(p, top.adjusted(1, 0, -1, 0), Qt::AlignCenter | Qt::TextWordWrap, legend, f, ink);
  }
  p.restore();
}

void drawText(QPainter& p, const QRectF& r, int flags, const QString& text, const QFont& font,
              const QColor& colour) {
  p.save();
  p.setFont(font);
  p.setPen(colour);
  p.drawText(r, flags, text);
  p.restore();
}

void sectionTitle(QPainter& p, QPointF at, const QString& text, const QFont& font) {
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(kTealBright);
  QFontMetricsF fm(font);
  qreal h = fm.ascent();
  p.drawRect(QRectF(at.x(), at.y() - h + 1, 3, h - 1));
  drawText(p, QRectF(at.x() + 9, at.y() - fm.ascent(), 600, fm.height()), Qt::AlignLeft | Qt::AlignTop,
           text, font, kText);
  p.restore();
}

void brandMark(QPainter& p, QPointF at, const QString& product, qreal scale) {
  p.save();
  // The mark: a stylised "K" in a teal chevron.
  qreal s = 22 * scale;
  QPainterPath mark;
  mark.moveTo(at.x(), at.y() - s);
  mark.lineTo(at.x() + s * 0.42, at.y() - s);
  mark.lineTo(at.x() + s * 0.42, at.y() - s * 0.58);
  mark.lineTo(at.x() + s * 0.86, at.y() - s);
  mark.lineTo(at.x() + s * 1.3, at.y() - s);
  mark.lineTo(at.x() + s * 0.72, at.y() - s * 0.5);
  mark.lineTo(at.x() + s * 1.3, at.y());
  mark.lineTo(at.x() + s * 0.86, at.y());
  mark.lineTo(at.x() + s * 0.42, at.y() - s * 0.42);
  mark.lineTo(at.x() + s * 0.42, at.y());
  mark.lineTo(at.x(), at.y());
  mark.closeSubpath();
  tealFill(p, mark);
  QFont word = headingFont(int(18 * scale));
  word.setLetterSpacing(QFont::AbsoluteSpacing, 3 * scale);
  QFontMetricsF fm(word);
  qreal x = at.x() + s * 1.55;
  drawText(p, QRectF(x, at.y() - fm.ascent() - 1, 400, fm.height()), Qt::AlignLeft | Qt::AlignTop,
           QStringLiteral("KAVRO"), word, QColor(236, 240, 244));
  x += fm.horizontalAdvance(QStringLiteral("KAVRO")) + 10 * scale;
  QFont prod = uiFont(int(13 * scale), QFont::DemiBold);
  prod.setLetterSpacing(QFont::AbsoluteSpacing, 2 * scale);
  QFontMetricsF pm(prod);
  p.setPen(QPen(kEdge, 1));
  p.drawLine(QPointF(x - 5 * scale, at.y() - s + 2), QPointF(x - 5 * scale, at.y() - 1));
  drawText(p, QRectF(x, at.y() - pm.ascent() - 2, 400, pm.height()), Qt::AlignLeft | Qt::AlignTop, product,
           prod, kTealBright);
  p.restore();
}

void glyphArrow(QPainter& p, const QRectF& r, int direction, const QColor& colour) {
  p.save();
  p.translate(r.center());
  p.rotate(90.0 * direction);
  qreal s = std::min(r.width(), r.height()) / 2;
  QPolygonF tri;
  tri << QPointF(0, -s * 0.8) << QPointF(s * 0.7, s * 0.1) << QPointF(s * 0.25, s * 0.1)
      << QPointF(s * 0.25, s * 0.8) << QPointF(-s * 0.25, s * 0.8) << QPointF(-s * 0.25, s * 0.1)
      << QPointF(-s * 0.7, s * 0.1);
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPolygon(tri);
  p.restore();
}

void glyphMinus(QPainter& p, const QRectF& r, const QColor& colour) {
  p.save();
  p.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap));
  qreal y = r.center().y() + 0.5;
  p.drawLine(QPointF(r.left() + r.width() * 0.25, y), QPointF(r.right() - r.width() * 0.25, y));
  p.restore();
}

void glyphClose(QPainter& p, const QRectF& r, const QColor& colour) {
  p.save();
  p.setPen(QPen(colour, 1.8, Qt::SolidLine, Qt::RoundCap));
  QRectF b = r.adjusted(r.width() * 0.28, r.height() * 0.26, -r.width() * 0.28, -r.height() * 0.26);
  p.drawLine(b.topLeft(), b.bottomRight());
  p.drawLine(b.topRight(), b.bottomLeft());
  p.restore();
}

}  // namespace skingen

namespace skingen {

void dialogFrame(QPainter& p, const QRectF& r, int headerHeight, const QColor& outside, qreal cut) {
  p.save();
  p.fillRect(r, outside);
  QPainterPath shape = chamfered(r, cut);
  p.setClipPath(shape);
  fillFace(p, r);
  // Header band.
  QRectF header(r.left(), r.top(), r.width(), headerHeight);
  QLinearGradient hg(header.topLeft(), header.bottomLeft());
  hg.setColorAt(0, QColor(30, 35, 41));
  hg.setColorAt(1, QColor(18, 21, 25));
  p.fillRect(header, hg);
  p.setClipping(false);
  if (headerHeight > 0)
    accentLine(p, QPointF(r.left() + cut, r.top() + headerHeight), QPointF(r.right() - cut, r.top() + headerHeight),
               1.5);
  p.setPen(QPen(palette::kEdge, 1));
  p.setBrush(Qt::NoBrush);
  p.drawPath(chamfered(r.adjusted(0.5, 0.5, -0.5, -0.5), cut));
  p.restore();
}

void glyphGear(QPainter& p, const QRectF& r, const QColor& colour) {
  p.save();
  p.translate(r.center());
  qreal s = std::min(r.width(), r.height()) / 2;
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  for (int i = 0; i < 8; ++i) {
    p.save();
    p.rotate(45.0 * i);
    p.drawRect(QRectF(-s * 0.16, -s, s * 0.32, s * 0.4));
    p.restore();
  }
  p.drawEllipse(QPointF(0, 0), s * 0.72, s * 0.72);
  p.setBrush(palette::kBase);
  p.drawEllipse(QPointF(0, 0), s * 0.3, s * 0.3);
  p.restore();
}

void glyphKeyboard(QPainter& p, const QRectF& r, const QColor& colour) {
  p.save();
  QRectF body(r.left(), r.center().y() - r.height() * 0.3, r.width(), r.height() * 0.6);
  p.setPen(QPen(colour, 1.2));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(body, 2, 2);
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  qreal kw = body.width() / 7.5;
  for (int row = 0; row < 2; ++row)
    for (int i = 0; i < 6; ++i)
      p.drawRect(QRectF(body.left() + kw * 0.55 + i * kw * 1.1, body.top() + 2 + row * body.height() * 0.28,
                        kw * 0.7, body.height() * 0.18));
  p.drawRect(QRectF(body.left() + body.width() * 0.25, body.bottom() - body.height() * 0.3, body.width() * 0.5,
                    body.height() * 0.16));
  p.restore();
}

void glyphHand(QPainter& p, const QRectF& r, const QColor& colour) {
  p.save();
  p.setPen(QPen(colour, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  qreal s = std::min(r.width(), r.height());
  QPointF c = r.center();
  // A pointing finger with a swipe trail.
  QPainterPath finger;
  finger.moveTo(c.x() - s * 0.05, c.y() + s * 0.45);
  finger.lineTo(c.x() - s * 0.05, c.y() - s * 0.3);
  finger.arcTo(QRectF(c.x() - s * 0.05, c.y() - s * 0.42, s * 0.18, s * 0.2), 180, -180);
  finger.lineTo(c.x() + s * 0.13, c.y() + s * 0.45);
  p.drawPath(finger);
  p.drawArc(QRectF(c.x() - s * 0.45, c.y() - s * 0.45, s * 0.9, s * 0.9), 100 * 16, 70 * 16);
  p.drawArc(QRectF(c.x() - s * 0.45, c.y() - s * 0.45, s * 0.9, s * 0.9), 10 * 16, 70 * 16);
  p.restore();
}

void glyphFolder(QPainter& p, const QRectF& r, bool open) {
  p.save();
  QRectF b = r.adjusted(1, 2, -1, -2);
  QPainterPath back;
  back.moveTo(b.left(), b.bottom());
  back.lineTo(b.left(), b.top());
  back.lineTo(b.left() + b.width() * 0.4, b.top());
  back.lineTo(b.left() + b.width() * 0.5, b.top() + b.height() * 0.2);
  back.lineTo(b.right(), b.top() + b.height() * 0.2);
  back.lineTo(b.right(), b.bottom());
  back.closeSubpath();
  p.setPen(QPen(palette::kTeal.darker(130), 1));
  p.setBrush(palette::kTeal.darker(150));
  p.drawPath(back);
  QPainterPath front;
  if (open) {
    front.moveTo(b.left(), b.bottom());
    front.lineTo(b.left() + b.width() * 0.18, b.top() + b.height() * 0.42);
    front.lineTo(b.right() + 0.5, b.top() + b.height() * 0.42);
    front.lineTo(b.right() - b.width() * 0.15, b.bottom());
  } else {
    front.addRect(QRectF(b.left(), b.top() + b.height() * 0.35, b.width(), b.height() * 0.65));
  }
  front.closeSubpath();
  tealFill(p, front);
  p.restore();
}

void glyphRestore(QPainter& p, const QRectF& r, const QColor& colour) {
  p.save();
  qreal s = std::min(r.width(), r.height());
  QRectF c(r.center().x() - s * 0.32, r.center().y() - s * 0.32, s * 0.64, s * 0.64);
  p.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap));
  p.drawArc(c, 120 * 16, 290 * 16);
  // Arrow head at the open end.
  QPointF tip(c.center().x() + c.width() / 2 * std::cos(2.094), c.center().y() - c.height() / 2 * std::sin(2.094));
  QPolygonF head;
  head << tip + QPointF(-s * 0.14, -s * 0.02) << tip + QPointF(s * 0.06, -s * 0.14) << tip + QPointF(s * 0.05, s * 0.1);
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPolygon(head);
  p.restore();
}

void glyphClock(QPainter& p, const QRectF& r, const QColor& colour) {
  p.save();
  qreal s = std::min(r.width(), r.height());
  QRectF c(r.center().x() - s * 0.4, r.center().y() - s * 0.4, s * 0.8, s * 0.8);
  p.setPen(QPen(colour, 1.3));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(c);
  p.setPen(QPen(colour, 1.3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(c.center(), c.center() + QPointF(0, -s * 0.27));
  p.drawLine(c.center(), c.center() + QPointF(s * 0.2, s * 0.05));
  p.restore();
}

void glyphInfo(QPainter& p, const QRectF& r) {
  p.save();
  const qreal s = std::min(r.width(), r.height());
  const QRectF c(r.center().x() - s * 0.45, r.center().y() - s * 0.45, s * 0.9, s * 0.9);
  QRadialGradient g(c.center() - QPointF(s * 0.12, s * 0.12), s * 0.6);
  g.setColorAt(0, palette::kTealBright);
  g.setColorAt(1, palette::kTeal);
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawEllipse(c);
  p.setBrush(QColor(255, 255, 255));
  p.drawEllipse(QPointF(r.center().x(), r.center().y() - s * 0.21), s * 0.065, s * 0.065);
  p.drawRoundedRect(QRectF(r.center().x() - s * 0.06, r.center().y() - s * 0.1, s * 0.12, s * 0.375), 1.5, 1.5);
  p.restore();
}

void tealFill(QPainter& p, const QPainterPath& shape) {
  p.save();
  const QRectF b = shape.boundingRect();
  QLinearGradient g(b.topLeft(), b.bottomLeft());
  g.setColorAt(0, palette::kTealBright);
  g.setColorAt(1, palette::kTeal);
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawPath(shape);
  p.restore();
}

void keyboardBody(QPainter& p, const QRectF& r, qreal radius) {
  p.save();
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, QColor(29, 32, 37));
  g.setColorAt(1, QColor(14, 16, 19));
  p.setPen(QPen(QColor(59, 66, 74), 1));
  p.setBrush(g);
  p.drawRoundedRect(r, radius, radius);
  p.setPen(QPen(QColor(8, 124, 144, 100), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(r.adjusted(2.5, 2.5, -2.5, -2.5), radius - 2, radius - 2);
  p.restore();
}

QImage menuItemPicture(int w, int h, bool hasSub, Face face) {
  QImage img = newImage(w, h, false);
  QPainter p(&img);
  prepare(p);
  const QRectF r(0, 0, w, h);
  p.fillRect(r, QColor(20, 23, 27));
  if (face != Face::Normal) {
    QLinearGradient g(r.topLeft(), r.topRight());
    g.setColorAt(0, face == Face::Down ? palette::kTeal.darker(115) : palette::kTeal);
    g.setColorAt(1, palette::kTealDeep);
    p.fillRect(r.adjusted(1, 1, -1, -1), g);
    p.fillRect(QRectF(1, 1, 3, h - 2), palette::kTealBright);
  }
  p.setPen(QPen(QColor(34, 39, 45), 1));
  p.drawLine(QPointF(0, h - 0.5), QPointF(w, h - 0.5));
  if (hasSub) {
    const QColor ink = face == Face::Normal ? palette::kTealBright : QColor(255, 255, 255);
    p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap));
    const qreal cx = w - 11, cy = h / 2.0, d = h * 0.2;
    p.drawLine(QPointF(cx - d / 2, cy - d), QPointF(cx + d / 2, cy));
    p.drawLine(QPointF(cx + d / 2, cy), QPointF(cx - d / 2, cy + d));
  }
  p.end();
  return img;
}

}  // namespace skingen
