#include "tools/skingen/q350_pages.h"

#include <QConicalGradient>
#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>
#include <algorithm>
#include <functional>

namespace skingen::q350 {

using namespace palette;

namespace {

bool cjk(SkinLanguage lang) { return lang == SkinLanguage::Chinese; }
QString tr(SkinLanguage lang, const char* en, const char* sc) {
  return cjk(lang) ? QString::fromUtf8(sc) : QString::fromUtf8(en);
}
QFont font(SkinLanguage lang, int px, int weight = QFont::Normal) { return uiFont(px, weight, cjk(lang)); }

// Page face: the pages lie inside the frame's page bay, so their background
// continues the bay's panel.
void pageFace(QPainter& p, int w, int h) {
  QRectF r(0, 0, w, h);
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, QColor(20, 23, 27));
  g.setColorAt(1, QColor(13, 15, 18));
  p.fillRect(r, g);
  p.save();
  p.setPen(QPen(QColor(255, 255, 255, 5), 1));
  for (qreal x = -h; x < w; x += 4) p.drawLine(QPointF(x, h), QPointF(x + h, 0));
  p.restore();
}

void label(QPainter& p, SkinLanguage lang, const QRectF& r, const QString& text, int px = 12,
           const QColor& colour = kText, int flags = Qt::AlignLeft | Qt::AlignVCenter) {
  drawText(p, r, flags, text, font(lang, px), colour);
}

// A radio mark at a control rectangle with its caption to the right.
void radioAt(QPainter& p, SkinLanguage lang, const QRect& r, Face face, const QString& caption) {
  radioMark(p, QRectF(r).adjusted(-1, -1, 1, 1), face, face == Face::Down);
  if (!caption.isEmpty()) label(p, lang, QRectF(r.right() + 8, r.top() - 4, 240, r.height() + 8), caption);
}

// A slider track (the knob "Slider.png" is drawn by the program).
void track(QPainter& p, const QRect& r) {
  QRectF t(r.left(), r.center().y() - 2, r.width(), 5);
  p.setPen(QPen(QColor(4, 5, 6), 1));
  QLinearGradient g(t.topLeft(), t.topRight());
  g.setColorAt(0, kTealDeep);
  g.setColorAt(1, kTeal);
  p.setBrush(g);
  p.drawRoundedRect(t, 2.5, 2.5);
  p.setPen(QPen(kEdge, 1));
  for (int i = 0; i <= 5; ++i) {
    qreal x = t.left() + t.width() * i / 5.0;
    p.drawLine(QPointF(x, t.bottom() + 3), QPointF(x, t.bottom() + 6));
  }
}

void quadFace(QPainter& p, const QPolygon& quad, Face face, const QString& caption, const QFont& f) {
  QPainterPath path;
  path.addPolygon(QPolygonF(quad));
  path.closeSubpath();
  shapedFace(p, path, face);
  if (!caption.isEmpty())
    drawText(p, path.boundingRect(), Qt::AlignCenter, caption, f, face == Face::Normal ? kText : QColor(255, 255, 255));
}

QPolygon quad(std::initializer_list<QPoint> pts) { return QPolygon(QVector<QPoint>(pts)); }

}  // namespace

// --- Frame ---------------------------------------------------------------

QImage frame(SkinLanguage lang, Face face) {
  return drawn(kFrameW, kFrameH, false, [&](QPainter& p) {
    const QRectF all(0, 0, kFrameW, kFrameH);
    // Small cuts at the top, where the title buttons reach the corner,
    // large ones at the bottom.
    QPainterPath shape;
    {
      const qreal top = 5, bottom = 18;
      const QRectF r = all;
      shape.moveTo(r.left() + top, r.top());
      shape.lineTo(r.right() - top, r.top());
      shape.lineTo(r.right(), r.top() + top);
      shape.lineTo(r.right(), r.bottom() - bottom);
      shape.lineTo(r.right() - bottom, r.bottom());
      shape.lineTo(r.left() + bottom, r.bottom());
      shape.lineTo(r.left(), r.bottom() - bottom);
      shape.lineTo(r.left(), r.top() + top);
      shape.closeSubpath();
    }
    fillFace(p, all);
    QRectF header(0, 0, kFrameW, 78);
    QLinearGradient hg(header.topLeft(), header.bottomLeft());
    hg.setColorAt(0, QColor(30, 35, 41));
    hg.setColorAt(1, QColor(15, 17, 21));
    p.fillRect(header, hg);
    brandMark(p, QPointF(30, 52), QStringLiteral("Q350"), 1.15);
    label(p, lang, QRectF(300, 30, 520, 30),
          tr(lang, "GAMING KEYBOARD", "游戏键盘"), 13, kTextDim, Qt::AlignLeft | Qt::AlignVCenter);
    // The tab strip's base line and the page bay.
    accentLine(p, QPointF(22, 122.5), QPointF(kFrameW - 22, 122.5), 1.5);
    panel(p, QRectF(14, 125, 931, 462), 4, QColor(16, 18, 22));
    // Status strip.
    well(p, QRectF(64, 595, 240, 36), QColor(12, 14, 17));

    const QFont tabFont = font(lang, cjk(lang) ? 15 : 13, QFont::Bold);
    quadFace(p, quad({{30, 84}, {222, 84}, {245, 121}, {30, 121}}), face,
             tr(lang, "KEY ASSIGNMENT", "按键设置"), tabFont);
    quadFace(p, quad({{229, 84}, {463, 84}, {485, 121}, {251, 121}}), face, tr(lang, "LIGHTING", "灯光效果"),
             tabFont);
    quadFace(p, quad({{471, 84}, {706, 84}, {728, 121}, {493, 121}}), face, tr(lang, "MACROS", "宏管理"), tabFont);
    quadFace(p, quad({{713, 84}, {927, 84}, {927, 121}, {734, 121}}), face, tr(lang, "SUPPORT", "技术支持"),
             tabFont);

    const QFont profileFont = font(lang, 12, QFont::DemiBold);
    const QPolygon profiles[] = {quad({{344, 606}, {438, 606}, {414, 634}, {321, 635}}),
                                 quad({{440, 606}, {534, 606}, {510, 634}, {417, 635}}),
                                 quad({{534, 606}, {628, 606}, {605, 635}, {511, 635}}),
                                 quad({{629, 606}, {724, 606}, {700, 635}, {606, 635}}),
                                 quad({{724, 608}, {820, 608}, {797, 635}, {701, 635}})};
    label(p, lang, QRectF(330, 588, 300, 16), tr(lang, "PROFILES", "配置文件"), 10, kTextDim);
    for (int i = 0; i < 5; ++i)
      quadFace(p, profiles[i], face, tr(lang, "Profile %1", "配置 %1").arg(i + 1), profileFont);
    quadFace(p, quad({{837, 589}, {943, 589}, {943, 635}, {799, 635}}), face, tr(lang, "APPLY", "应用"),
             font(lang, 15, QFont::Bold));

    // Title buttons: minimise and hide to the notification area.
    QRectF minimise(888, 3, 33, 31), hide(923, 3, 33, 32);
    buttonFace(p, minimise, face);
    buttonFace(p, hide, face);
    QColor ink = face == Face::Normal ? kText : QColor(255, 255, 255);
    glyphMinus(p, minimise.adjusted(6, 6, -6, -6), ink);
    glyphArrow(p, hide.adjusted(9, 7, -9, -9), 2, ink);
    p.setPen(QPen(ink, 1.5));
    p.drawLine(QPointF(hide.left() + 9, hide.bottom() - 7.5), QPointF(hide.right() - 9, hide.bottom() - 7.5));

    // Language button under the flag.
    QRectF lang_(15, 617, 42, 18);
    buttonFace(p, lang_, face, QString(), uiFont(10), 2);
    p.setPen(QPen(face == Face::Normal ? kTealBright : QColor(255, 255, 255), 1.2));
    p.setBrush(Qt::NoBrush);
    QRectF globe(lang_.center().x() - 6, lang_.center().y() - 6, 12, 12);
    p.drawEllipse(globe);
    p.drawEllipse(globe.adjusted(3.5, 0, -3.5, 0));
    p.drawLine(QPointF(globe.left(), globe.center().y()), QPointF(globe.right(), globe.center().y()));
    well(p, QRectF(18, 591, 40, 25), QColor(8, 9, 11));

    // Edge, then everything outside the shape in the exact key colour (drawn
    // without anti-aliasing so no blended pixel survives outside).
    p.setPen(QPen(kEdge, 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(QTransform::fromTranslate(0.5, 0.5).scale(1.0 - 1.0 / kFrameW, 1.0 - 1.0 / kFrameH).map(shape));
    p.setRenderHint(QPainter::Antialiasing, false);
    QPainterPath outside;
    outside.addRect(all);
    outside = outside.subtracted(shape);
    p.fillPath(outside, kKeyColour);
  });
}

// --- Lighting page --------------------------------------------------------

const std::vector<QPolygon>& zonePolygons() {
  static const std::vector<QPolygon> zones = {
      quad({{301, 32}, {397, 32}, {397, 93}, {384, 93}, {384, 117}, {366, 117}, {366, 140}, {355, 140},
            {355, 164}, {331, 164}, {331, 189}, {301, 189}}),
      quad({{396, 32}, {479, 32}, {479, 70}, {467, 70}, {467, 94}, {455, 94}, {455, 117}, {437, 117}, {437, 141},
            {426, 141}, {426, 165}, {390, 165}, {390, 231}, {332, 231}, {332, 165}, {355, 165}, {355, 141},
            {367, 141}, {367, 118}, {385, 118}, {385, 94}, {396, 94}}),
      quad({{480, 32}, {550, 32}, {550, 69}, {538, 69}, {538, 94}, {526, 94}, {526, 117}, {508, 117}, {508, 141},
            {496, 141}, {496, 165}, {538, 165}, {538, 190}, {391, 190}, {391, 165}, {426, 165}, {426, 142},
            {437, 142}, {437, 118}, {456, 118}, {456, 94}, {468, 94}, {468, 70}, {480, 70}}),
      quad({{561, 32}, {632, 32}, {632, 57}, {609, 57}, {609, 93}, {597, 93}, {597, 117}, {579, 117}, {579, 141},
            {567, 141}, {567, 188}, {539, 188}, {539, 165}, {497, 165}, {497, 142}, {509, 142}, {509, 118},
            {527, 118}, {527, 95}, {539, 95}, {539, 70}, {561, 70}}),
      quad({{633, 32}, {709, 32}, {709, 94}, {686, 94}, {686, 118}, {656, 118}, {656, 188}, {568, 188}, {568, 142},
            {580, 142}, {580, 118}, {598, 118}, {598, 94}, {610, 94}, {610, 70}, {633, 70}}),
      quad({{710, 32}, {786, 32}, {786, 94}, {763, 94}, {763, 117}, {735, 117}, {735, 188}, {662, 188},
            {662, 165}, {686, 165}, {686, 94}, {710, 94}}),
      quad({{787, 32}, {834, 32}, {834, 189}, {740, 189}, {740, 118}, {763, 118}, {763, 94}, {787, 94}}),
  };
  return zones;
}

namespace {

// Key caps inside a zone: in each key row the zone's outline is cut by a
// horizontal line and the pieces are filled with evenly spaced caps, so the
// caps end exactly at the zone's steps.
void zoneKeys(QPainter& p, const QPolygon& zone, Face face) {
  QPainterPath shape;
  shape.addPolygon(QPolygonF(zone));
  shape.closeSubpath();
  p.save();
  QColor plate = face == Face::Down ? kTealDeep : QColor(22, 25, 30);
  p.setPen(Qt::NoPen);
  p.setBrush(plate);
  p.drawPath(shape);
  const int bands[][2] = {{32, 57}, {70, 94}, {94, 118}, {118, 142}, {142, 165}, {165, 189}, {189, 231}};
  for (const auto& band : bands) {
    const qreal y = (band[0] + band[1]) / 2.0;
    std::vector<qreal> xs;
    for (int i = 0; i < zone.size(); ++i) {
      const QPointF a = zone[i], b = zone[(i + 1) % zone.size()];
      if ((a.y() <= y) == (b.y() <= y)) continue;
      xs.push_back(a.x() + (y - a.y()) * (b.x() - a.x()) / (b.y() - a.y()));
    }
    std::sort(xs.begin(), xs.end());
    for (size_t i = 0; i + 1 < xs.size(); i += 2) {
      const qreal x0 = xs[i], x1 = xs[i + 1];
      const int n = std::max(1, int(std::lround((x1 - x0) / 24.0)));
      const qreal w = (x1 - x0) / n;
      for (int k = 0; k < n; ++k) {
        QRectF cap(x0 + k * w + 1.5, band[0] + 1.5, w - 3, band[1] - band[0] - 3);
        QLinearGradient g(cap.topLeft(), cap.bottomLeft());
        if (face == Face::Down) {
          g.setColorAt(0, kTeal.lighter(125));
          g.setColorAt(1, kTeal);
        } else {
          g.setColorAt(0, face == Face::Over ? QColor(60, 68, 77) : QColor(44, 50, 57));
          g.setColorAt(1, face == Face::Over ? QColor(44, 50, 57) : QColor(31, 35, 41));
        }
        p.setBrush(g);
        p.drawRoundedRect(cap, 2.5, 2.5);
      }
    }
  }
  p.restore();
  p.setPen(QPen(face == Face::Normal ? QColor(70, 80, 90) : kTealBright, face == Face::Normal ? 1 : 1.6));
  p.setBrush(Qt::NoBrush);
  p.drawPath(shape);
}

void colourWheel(QPainter& p, const QRectF& r) {
  // Hue around the circle, white towards the centre: any pixel picked from
  // it is a colour the user meant.
  const QPointF c = r.center();
  const qreal rx = r.width() / 2, ry = r.height() / 2;
  QImage wheel(int(r.width()) + 1, int(r.height()) + 1, QImage::Format_ARGB32);
  wheel.fill(Qt::transparent);
  for (int y = 0; y < wheel.height(); ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(wheel.scanLine(y));
    for (int x = 0; x < wheel.width(); ++x) {
      const qreal dx = (x + 0.5 - rx) / rx, dy = (y + 0.5 - ry) / ry;
      const qreal d = std::sqrt(dx * dx + dy * dy);
      if (d > 1.0) continue;
      qreal hue = std::atan2(-dy, dx) * 180.0 / M_PI;
      if (hue < 0) hue += 360;
      const QColor col = QColor::fromHsvF(hue / 360.0, std::min(1.0, d * 1.05), 1.0);
      const int a = d > 0.985 ? int(255 * (1.0 - d) / 0.015) : 255;
      line[x] = qRgba(col.red(), col.green(), col.blue(), a);
    }
  }
  p.drawImage(QPointF(c.x() - rx, c.y() - ry), wheel);
  p.setPen(QPen(kEdge, 1.5));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(r.adjusted(-2, -2, 2, 2));
}

}  // namespace

QImage lightPage(SkinLanguage lang, Face face) {
  const bool sc = cjk(lang);
  return drawn(kPageW, kPageH, false, [&](QPainter& p) {
    pageFace(p, kPageW, kPageH);
    const QFont head = headingFont(sc ? 14 : 12, sc);
    panel(p, QRectF(20, 20, 258, 416), 4);
    panel(p, QRectF(288, 20, 560, 226), 4);
    panel(p, QRectF(250, 256, 655, 180), 4);
    sectionTitle(p, QPointF(34, 52), tr(lang, "EFFECT SETTINGS", "效果设置"), head);

    // Rate and brightness: the label widths differ per language, and so do
    // the places of the two upper sliders.
    const QRect rate = sc ? QRect(QPoint(93, 85), QPoint(206, 95)) : QRect(QPoint(135, 85), QPoint(250, 95));
    const QRect bright = sc ? QRect(QPoint(93, 117), QPoint(206, 127)) : QRect(QPoint(137, 117), QPoint(250, 127));
    const QRect brightSwitch =
        sc ? QRect(QPoint(226, 117), QPoint(236, 130)) : QRect(QPoint(267, 117), QPoint(282, 130));
    label(p, lang, QRectF(34, rate.top() - 5, rate.left() - 40, 20), tr(lang, "Speed", "速度"));
    label(p, lang, QRectF(34, bright.top() - 5, bright.left() - 40, 20), tr(lang, "Brightness", "亮度"));
    track(p, rate);
    track(p, bright);
    checkMark(p, QRectF(brightSwitch), face, face == Face::Down);

    label(p, lang, QRectF(34, 180, 230, 20), tr(lang, "Light test cycle", "灯光测试循环"), 12, kTextDim);
    radioAt(p, lang, QRect(QPoint(46, 214), QPoint(61, 228)), face, tr(lang, "Enable", "开启"));
    radioAt(p, lang, QRect(QPoint(174, 212), QPoint(188, 227)), face, tr(lang, "Disable", "关闭"));

    sectionTitle(p, QPointF(34, 258), tr(lang, "LIGHTING EFFECTS", "灯光效果"), head);
    radioAt(p, lang, QRect(QPoint(45, 272), QPoint(61, 288)), face, tr(lang, "Spectrum cycle", "光谱循环"));
    radioAt(p, lang, QRect(QPoint(45, 307), QPoint(61, 324)), face, tr(lang, "Breathing", "呼吸"));
    radioAt(p, lang, QRect(QPoint(45, 338), QPoint(61, 354)), face, tr(lang, "Stacking", "堆叠"));
    radioAt(p, lang, QRect(QPoint(45, 370), QPoint(61, 387)), face, tr(lang, "Scrolling", "滚动"));
    radioAt(p, lang, QRect(QPoint(45, 404), QPoint(59, 420)), face, tr(lang, "Waving", "波浪"));

    // Zones on the keyboard body.
    QRectF body(296, 27, 544, 209);
    p.setPen(QPen(QColor(52, 59, 67), 1));
    p.setBrush(QColor(12, 14, 17));
    p.drawRoundedRect(body, 6, 6);
    for (const QPolygon& z : zonePolygons()) zoneKeys(p, z, face);
    label(p, lang, QRectF(560, 200, 270, 36), tr(lang, "Click a zone to colour it", "单击区域以设置其颜色"), 11,
          kTextDim, Qt::AlignRight | Qt::AlignVCenter);

    // Custom colours.
    radioAt(p, lang, QRect(QPoint(271, 289), QPoint(288, 306)), face, tr(lang, "Custom Mode", "自定义模式"));
    radioAt(p, lang, QRect(QPoint(292, 363), QPoint(308, 379)), face, tr(lang, "Select all", "全部区域"));
    radioAt(p, lang, QRect(QPoint(290, 404), QPoint(308, 420)), face,
            tr(lang, "Set each region separately", "分区单独设置"));
    label(p, lang, QRectF(300, 322, 66, 22), tr(lang, "Colour", "颜色"), 12, kTextDim,
          Qt::AlignRight | Qt::AlignVCenter);
    well(p, QRectF(370, 320, 26, 26), QColor(6, 7, 9));

    const int sliderY[] = {298, 345, 388};
    const int editY[] = {293, 340, 380};
    const char* names[] = {"R", "G", "B"};
    const QColor tints[] = {QColor(230, 70, 80), QColor(70, 210, 110), QColor(80, 130, 240)};
    for (int i = 0; i < 3; ++i) {
      drawText(p, QRectF(518, sliderY[i] - 8, 20, 26), Qt::AlignCenter, QLatin1String(names[i]),
               uiFont(13, QFont::Bold), tints[i]);
      QRect t(QPoint(544, sliderY[i]), QPoint(686, sliderY[i] + 10));
      QRectF groove(t.left(), t.center().y() - 2, t.width(), 5);
      QLinearGradient g(groove.topLeft(), groove.topRight());
      g.setColorAt(0, QColor(20, 20, 20));
      g.setColorAt(1, tints[i]);
      p.setPen(QPen(QColor(4, 5, 6), 1));
      p.setBrush(g);
      p.drawRoundedRect(groove, 2.5, 2.5);
      well(p, QRectF(692, editY[i] - 2, 41, 16));
    }
    colourWheel(p, QRectF(757, 295, 118, 116));
  });
}

// --- Key assignment page ---------------------------------------------------

const std::vector<PageKey>& pageKeys() {
  // Rows of the page: top and bottom edge, then (matrix, left, right, legend);
  // a few keys have their own top or bottom.
  static const std::vector<PageKey> keys = [] {
    std::vector<PageKey> k;
    auto row = [&k](int top, int bottom, std::initializer_list<std::tuple<int, int, int, const char*>> list) {
      for (const auto& [m, l, r, legend] : list) k.push_back({m, QRect(QPoint(l, top), QPoint(r, bottom)), legend});
    };
    row(49, 85, {{102, 58, 94, "Esc"}, {94, 129, 165, "F1"}, {86, 166, 200, "F2"}, {78, 201, 236, "F3"},
                 {70, 237, 272, "F4"}, {62, 290, 326, "F5"}, {54, 327, 361, "F6"}, {46, 362, 397, "F7"},
                 {38, 398, 433, "F8"}, {30, 450, 486, "F9"}, {22, 487, 521, "F10"}, {14, 522, 556, "F11"},
                 {6, 557, 592, "F12"}, {87, 602, 637, "PrtSc"}, {63, 638, 672, "ScrLk"}, {39, 673, 709, "Pause"}});
    row(105, 140, {{101, 58, 94, "`"}, {93, 95, 130, "1"}, {85, 131, 165, "2"}, {77, 166, 201, "3"},
                   {69, 202, 237, "4"}, {61, 238, 272, "5"}, {53, 273, 308, "6"}, {45, 309, 343, "7"},
                   {37, 344, 379, "8"}, {29, 380, 414, "9"}, {21, 415, 449, "0"}, {13, 450, 486, "-"},
                   {5, 487, 521, "="}, {4, 522, 593, "Backspace"}, {95, 601, 637, "Ins"}, {71, 638, 672, "Home"},
                   {47, 673, 709, "PgUp"}, {15, 717, 753, "Num"}, {8, 754, 789, "/"}, {56, 790, 824, "*"},
                   {64, 825, 861, "-"}});
    row(141, 175, {{100, 58, 111, "Tab"}, {92, 113, 147, "Q"}, {84, 149, 183, "W"}, {76, 185, 218, "E"},
                   {68, 220, 254, "R"}, {60, 256, 290, "T"}, {52, 292, 325, "Y"}, {44, 327, 361, "U"},
                   {36, 363, 396, "I"}, {28, 398, 431, "O"}, {20, 433, 467, "P"}, {12, 469, 503, "["},
                   {3, 505, 538, "]"}});
    k.push_back({1, QRect(QPoint(540, 143), QPoint(582, 175)), "\\"});
    row(141, 175, {{103, 602, 636, "Del"}, {79, 638, 672, "End"}, {55, 674, 708, "PgDn"}, {23, 718, 752, "7"},
                   {16, 754, 788, "8"}, {48, 790, 823, "9"}});
    k.push_back({72, QRect(QPoint(825, 141), QPoint(859, 210)), "+"});
    row(177, 211, {{99, 58, 120, "Caps"}, {91, 122, 156, "A"}, {83, 158, 192, "S"}, {75, 194, 227, "D"},
                   {67, 229, 262, "F"}, {59, 264, 298, "G"}, {51, 300, 333, "H"}, {43, 335, 370, "J"},
                   {35, 372, 405, "K"}, {27, 407, 440, "L"}, {19, 442, 476, ";"}, {11, 478, 511, "'"}});
    k.push_back({2, QRect(QPoint(513, 179), QPoint(592, 211)), "Enter"});
    row(177, 211, {{31, 716, 752, "4"}, {24, 754, 788, "5"}, {40, 790, 823, "6"}});
    row(213, 247, {{98, 58, 138, "Shift"}, {90, 140, 174, "Z"}, {82, 176, 209, "X"}, {74, 211, 245, "C"},
                   {66, 247, 280, "V"}, {58, 282, 316, "B"}, {50, 318, 352, "N"}, {42, 354, 387, "M"},
                   {34, 389, 423, ","}, {26, 425, 458, "."}, {18, 460, 494, "/"}, {10, 496, 591, "Shift"},
                   {9, 638, 672, "\u2191"}, {7, 718, 752, "1"}, {0, 754, 788, "2"}, {32, 790, 824, "3"}});
    k.push_back({80, QRect(QPoint(826, 213), QPoint(859, 283)), "Enter"});
    row(249, 283, {{97, 58, 102, "Ctrl"}, {89, 104, 147, "Win"}, {81, 149, 192, "Alt"}, {73, 194, 414, ""},
                   {57, 416, 458, "Alt"}, {65, 460, 503, "Win"}, {49, 505, 547, "Menu"}, {41, 549, 591, "Ctrl"},
                   {33, 603, 636, "\u2190"}, {25, 638, 672, "\u2193"}, {17, 674, 707, "\u2192"},
                   {96, 718, 788, "0"}, {88, 790, 823, "."}});
    return k;
  }();
  return keys;
}

QImage keyPage(SkinLanguage lang, Face face) {
  return drawn(kPageW, kPageH, false, [&](QPainter& p) {
    pageFace(p, kPageW, kPageH);
    // Keyboard body under the keys.
    keyboardBody(p, QRectF(44, 36, 832, 262), 10);
    for (const PageKey& k : pageKeys()) {
      // QRect keeps inclusive corners; the page's rectangles are exclusive on
      // the right and bottom.
      QRectF r(k.rect.left(), k.rect.top(), k.rect.width() - 1, k.rect.height() - 1);
      keyCap(p, r, QString::fromUtf8(k.legend), face, r.width() > 60 ? 10 : 9);
    }
    const QFont head = headingFont(cjk(lang) ? 14 : 12, cjk(lang));
    panel(p, QRectF(44, 320, 832, 110), 4);
    sectionTitle(p, QPointF(60, 350), tr(lang, "HOW TO ASSIGN", "按键设置说明"), head);
    label(p, lang, QRectF(60, 362, 800, 22),
          tr(lang, "Click a key to give it a key combination, a macro or a media function.",
             "单击按键，为其指定组合键、宏或多媒体功能。"));
    label(p, lang, QRectF(60, 386, 800, 22),
          tr(lang, "Keys with a new function are marked. Click APPLY to write the profile to the keyboard.",
             "已修改功能的按键会被标记。单击“应用”将配置写入键盘。"),
          12, kTextDim);
  });
}

// --- Macro page --------------------------------------------------------------

QImage macroPage(SkinLanguage lang, Face face) {
  return drawn(kPageW, kPageH, false, [&](QPainter& p) {
    pageFace(p, kPageW, kPageH);
    const QFont head = headingFont(cjk(lang) ? 14 : 12, cjk(lang));
    sectionTitle(p, QPointF(28, 36), tr(lang, "MACRO LIBRARY", "宏列表"), head);
    sectionTitle(p, QPointF(346, 36), tr(lang, "EVENTS", "宏事件"), head);
    // Category button.
    QRectF preset(25, 49, 301, 21);
    buttonFace(p, preset, face);
    p.setPen(QPen(face == Face::Normal ? kTealBright : QColor(255, 255, 255), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(preset.right() - 18, preset.center().y() - 2), QPointF(preset.right() - 13, preset.center().y() + 3));
    p.drawLine(QPointF(preset.right() - 13, preset.center().y() + 3), QPointF(preset.right() - 8, preset.center().y() - 2));
    well(p, QRectF(27, 89, 297, 316), QColor(20, 20, 20));
    well(p, QRectF(345, 51, 280, 354), QColor(20, 20, 20));

    const QColor ink = face == Face::Normal ? kTealBright : QColor(255, 255, 255);
    auto plusMinus = [&](const QRectF& r, bool plus) {
      buttonFace(p, r, face);
      p.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap));
      QPointF c = r.center();
      p.drawLine(c + QPointF(-6, 0), c + QPointF(6, 0));
      if (plus) p.drawLine(c + QPointF(0, -6), c + QPointF(0, 6));
    };
    plusMinus(QRectF(26, 412, 41, 28), true);
    plusMinus(QRectF(77, 412, 42, 28), false);
    plusMinus(QRectF(361, 412, 30, 28), true);
    plusMinus(QRectF(394, 412, 30, 28), false);
    QRectF modify(427, 412, 30, 28);
    buttonFace(p, modify, face);
    p.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(modify.center() + QPointF(-6, 6), modify.center() + QPointF(5, -5));
    p.drawLine(modify.center() + QPointF(-7, 7), modify.center() + QPointF(-4, 7));

    // Record button; the program writes its caption.
    QRectF record(782, 20, 118, 33);
    buttonFace(p, record, face);
    QRadialGradient dot(QPointF(record.left() + 14, record.center().y()), 6);
    dot.setColorAt(0, kRecord.lighter(140));
    dot.setColorAt(1, kRecord);
    p.setPen(Qt::NoPen);
    p.setBrush(dot);
    p.drawEllipse(QPointF(record.left() + 14, record.center().y()), 5, 5);

    panel(p, QRectF(636, 70, 270, 168), 4);
    checkMark(p, QRectF(645, 92, 16, 16), face, face == Face::Down);
    label(p, lang, QRectF(667, 87, 130, 26), tr(lang, "No delays", "不记录延时"));
    radioMark(p, QRectF(644, 129, 17, 17), face, face == Face::Down);
    label(p, lang, QRectF(667, 126, 180, 22), tr(lang, "Play count", "播放次数"));
    well(p, QRectF(854, 129, 38, 17));
    radioMark(p, QRectF(644, 166, 17, 17), face, face == Face::Down);
    label(p, lang, QRectF(667, 161, 228, 26), tr(lang, "Press once to start, again to stop", "按一次开始，再按一次停止"));
    radioMark(p, QRectF(644, 201, 17, 17), face, face == Face::Down);
    label(p, lang, QRectF(667, 197, 200, 25), tr(lang, "Play while held", "按住时循环播放"));

    // Event editing: faces for the insert buttons and OK buttons; they are
    // shown only while an event is inserted or changed.
    panel(p, QRectF(636, 258, 270, 150), 4);
    const QFont small = font(lang, 11, QFont::DemiBold);
    buttonFace(p, QRectF(641, 275, 145, 20), face, tr(lang, "Insert key", "插入按键"), small);
    well(p, QRectF(666, 302, 155, 12));
    buttonFace(p, QRectF(850, 298, 44, 22), face, QStringLiteral("OK"), small);
    buttonFace(p, QRectF(640, 321, 137, 24), face, tr(lang, "Insert delay", "插入延时"), small);
    well(p, QRectF(666, 351, 155, 12));
    buttonFace(p, QRectF(850, 347, 44, 43), face, QStringLiteral("OK"), small);
    label(p, lang, QRectF(641, 368, 200, 30), tr(lang, "Delay: 0 to 60000 ms", "延时：0 至 60000 毫秒"), 10, kTextDim);
  });
}

// --- Support page -----------------------------------------------------------

QImage supportPage(SkinLanguage lang, Face face) {
  return drawn(kPageW, kPageH, false, [&](QPainter& p) {
    pageFace(p, kPageW, kPageH);
    const QFont head = headingFont(cjk(lang) ? 14 : 12, cjk(lang));
    const QFont btn = font(lang, cjk(lang) ? 13 : 12, QFont::DemiBold);
    panel(p, QRectF(40, 60, 270, 260), 5);
    panel(p, QRectF(346, 60, 270, 260), 5);
    panel(p, QRectF(652, 60, 232, 260), 5);
    sectionTitle(p, QPointF(60, 100), tr(lang, "DRIVER", "驱动程序"), head);
    sectionTitle(p, QPointF(366, 100), tr(lang, "FIRMWARE", "键盘固件"), head);
    sectionTitle(p, QPointF(672, 100), tr(lang, "ONLINE", "在线支持"), head);
    label(p, lang, QRectF(62, 128, 230, 22), tr(lang, "Program version", "驱动版本"), 12, kTextDim);
    label(p, lang, QRectF(368, 128, 230, 22), tr(lang, "Firmware version", "固件版本"), 12, kTextDim);
    label(p, lang, QRectF(672, 128, 200, 60), tr(lang, "Drivers, manuals\nand news", "驱动下载、说明书\n与最新消息"), 12,
          kTextDim, Qt::AlignLeft | Qt::AlignTop);
    // The version texts are drawn from 124,169 and 425,169.
    well(p, QRectF(118, 162, 150, 34), QColor(10, 12, 14));
    well(p, QRectF(419, 162, 150, 34), QColor(10, 12, 14));
    buttonFace(p, QRectF(97, 261, 118, 34), face, tr(lang, "Update", "检查更新"), btn);
    buttonFace(p, QRectF(403, 261, 118, 34), face, tr(lang, "Update", "固件升级"), btn);
    buttonFace(p, QRectF(708, 261, 119, 34), face, tr(lang, "Website", "访问官网"), btn);

    panel(p, QRectF(40, 340, 844, 100), 5);
    sectionTitle(p, QPointF(60, 372), tr(lang, "PROFILE FILES", "配置文件"), head);
    buttonFace(p, QRectF(132, 387, 92, 34), face, tr(lang, "Import", "导入"), btn);
    buttonFace(p, QRectF(232, 388, 92, 32), face, tr(lang, "Export", "导出"), btn);
    label(p, lang, QRectF(350, 382, 400, 44),
          tr(lang, "Save the current profile to a file,\nor load one you saved before.",
             "将当前配置保存到文件，\n或载入以前保存的配置。"),
          11, kTextDim);
    sectionTitle(p, QPointF(640, 372), tr(lang, "FACTORY SETTINGS", "出厂设置"), head);
    buttonFace(p, QRectF(781, 388, 94, 32), face, tr(lang, "Restore", "恢复默认"), btn);
  });
}

// --- Key setting dialog ----------------------------------------------------

QImage settingDialog(SkinLanguage lang, Face face) {
  (void)lang;
  return drawn(411, 292, false, [&](QPainter& p) {
    const QRectF all(0, 0, 411, 292);
    fillFace(p, all);
    QLinearGradient hg(0, 0, 0, 37);
    hg.setColorAt(0, QColor(32, 37, 43));
    hg.setColorAt(1, QColor(18, 21, 25));
    p.fillRect(QRectF(0, 0, 411, 37), hg);
    p.setPen(QPen(kEdge, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(all.adjusted(0.5, 0.5, -0.5, -0.5));
    // Close button.
    QRectF close(383, 1, 27, 23);
    if (face != Face::Normal) p.fillRect(close, face == Face::Down ? QColor(160, 30, 40) : QColor(200, 40, 50));
    glyphClose(p, close.adjusted(4, 3, -4, -3), face == Face::Normal ? kText : QColor(255, 255, 255));
    // Tabs (captions are painted by the program).
    const QRectF tabs[] = {QRectF(0, 37, 138, 27), QRectF(138, 37, 136, 27), QRectF(274, 37, 137, 27)};
    for (const QRectF& t : tabs) buttonFace(p, t.adjusted(1, 0, -1, 0), face, QString(), uiFont(12), 0);
    accentLine(p, QPointF(2, 64.5), QPointF(409, 64.5), 1.5);
    panel(p, QRectF(16, 70, 380, 178), 3, QColor(37, 37, 37));
    checkMark(p, QRectF(23, 258, 19, 19), face, face == Face::Down);
    buttonFace(p, QRectF(238, 254, 77, 35), face);
    buttonFace(p, QRectF(316, 254, 77, 35), face);
  });
}

QImage comboTab(SkinLanguage lang, Face face) {
  return drawn(370, 169, false, [&](QPainter& p) {
    p.fillRect(QRectF(0, 0, 370, 169), QColor(37, 37, 37));
    label(p, lang, QRectF(18, 8, 340, 22), tr(lang, "Tick the modifiers, then press a key:", "勾选修饰键，然后按下按键："),
          12, kText);
    const QRect boxes[] = {QRect(QPoint(59, 45), QPoint(72, 58)), QRect(QPoint(59, 70), QPoint(72, 83)),
                           QRect(QPoint(59, 94), QPoint(72, 108)), QRect(QPoint(58, 119), QPoint(72, 133))};
    const char* names[] = {"Ctrl", "Alt", "Shift", "Win"};
    for (int i = 0; i < 4; ++i) {
      checkMark(p, QRectF(boxes[i]), face, face == Face::Down);
      drawText(p, QRectF(boxes[i].right() + 8, boxes[i].top() - 3, 60, boxes[i].height() + 6),
               Qt::AlignLeft | Qt::AlignVCenter, QLatin1String(names[i]), uiFont(12, QFont::DemiBold), kText);
    }
    drawText(p, QRectF(134, 76, 30, 26), Qt::AlignCenter, QStringLiteral("+"), uiFont(18, QFont::Bold), kTealBright);
    well(p, QRectF(166, 74, 148, 29), QColor(15, 15, 15));
    label(p, lang, QRectF(166, 108, 200, 20), tr(lang, "Key", "按键"), 11, kTextDim);
  });
}

QImage macroTab(SkinLanguage lang, Face face) {
  (void)lang;
  (void)face;
  return drawn(370, 169, false, [&](QPainter& p) {
    p.fillRect(QRectF(0, 0, 370, 169), QColor(37, 37, 37));
    well(p, QRectF(1, 1, 183, 167), QColor(30, 30, 30));
    well(p, QRectF(188, 1, 181, 167), QColor(30, 30, 30));
  });
}

QImage baseTab(SkinLanguage lang, Face face) {
  (void)lang;
  (void)face;
  return drawn(370, 169, false, [&](QPainter& p) {
    p.fillRect(QRectF(0, 0, 370, 169), QColor(37, 37, 37));
    // Row stripes under the list's 18-pixel items.
    for (int y = 0; y < 169; y += 36) p.fillRect(QRectF(0, y + 18, 370, 18), QColor(41, 41, 42));
  });
}

}  // namespace skingen::q350
