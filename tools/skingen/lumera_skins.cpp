// Lumera's skin package: every picture of the "skins" folder, the marker and
// the two icons beside the program. Words are never painted here: Lumera
// draws all its texts from text.xml over these faces.
#include "tools/skingen/skins.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>

#include "tools/skingen/binfiles.h"
#include "tools/skingen/canvas.h"
#include "tools/skingen/icons.h"

namespace skingen {

using namespace palette;

namespace {

const QColor kMaskCut(255, 255, 255);  // "ClrMask": cut away from the window
constexpr int kMainW = 984;
constexpr int kMainH = 640;
constexpr qreal kMainCut = 14;

// A thin spectrum strip: the one place the RGB model shows off its colours.
void spectrumStrip(QPainter& p, const QRectF& r, int alpha) {
  QLinearGradient g(r.topLeft(), r.topRight());
  const QColor stops[] = {QColor(255, 40, 70), QColor(255, 150, 0), QColor(250, 230, 40), QColor(40, 220, 110),
                          QColor(40, 214, 236), QColor(60, 100, 255), QColor(190, 70, 255)};
  for (int i = 0; i < 7; ++i) {
    QColor c = stops[i];
    c.setAlpha(alpha);
    g.setColorAt(i / 6.0, c);
  }
  p.fillRect(r, g);
}

QImage mainWindow(const KeyLayout& L) {
  return drawn(kMainW, kMainH, false, [&](QPainter& p) {
    const QRectF all(0, 0, kMainW, kMainH);
    dialogFrame(p, all, 60, kMaskCut, kMainCut);
    brandMark(p, QPointF(26, 41), QStringLiteral("Q350 RGB"));
    // Left column: profiles, macro manager, lighting controls, reset.
    const QRectF left(12, 72, 258, kMainH - 72 - 10);
    panel(p, left, 6);
    const qreal lx = left.left() + 10, rx = left.right() - 10;
    auto rule = [&](qreal y) {
      p.setPen(QPen(kEdgeSoft, 1));
      p.drawLine(QPointF(lx, y + 0.5), QPointF(rx, y + 0.5));
    };
    const int profilesBottom = L.ptProfile.y() + 3 * 25 + 2 * 8;
    rule((profilesBottom + L.ptMacro.y()) / 2.0);
    rule(L.led.top() - 10);
    rule(L.led.bottom() + 12);
    // Lighting controls sit on a slightly deeper plate.
    panel(p, QRectF(L.led).adjusted(-4, -4, 4, 4), 4, QColor(16, 18, 22));
    // Right bay: the keyboard view and what shows under it.
    const qreal bayTop = L.view.top() - 66;
    const QRectF bay(L.view.left() - 8, bayTop, kMainW - L.view.left() - 4, L.ptApply.y() - 14 - bayTop);
    panel(p, bay, 6);
    spectrumStrip(p, QRectF(bay.left() + 8, bay.top() + 6, bay.width() - 16, 2), 200);
    // A soft glow under the keyboard, as if its light fell on the desk.
    QRectF view(L.view);
    p.save();
    p.setClipRect(bay.adjusted(1, 10, -1, -1));
    p.translate(view.center() + QPointF(0, 24));
    p.scale(1.0, 0.42);
    const qreal radius = view.width() * 0.62;
    QRadialGradient glow(QPointF(0, 0), radius);
    glow.setColorAt(0, QColor(8, 124, 144, 80));
    glow.setColorAt(0.6, QColor(8, 124, 144, 30));
    glow.setColorAt(1, QColor(8, 124, 144, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QPointF(0, 0), radius, radius);
    p.restore();
    // Text line under the keyboard.
    well(p, QRectF(view.left(), view.bottom() + 4, 504, 42), QColor(15, 17, 20));
    // Button row backdrop.
    const QRectF row(L.ptApply.x() - 10, L.ptApply.y() - 8, 3 * 57 + 12 + 20, 46);
    panel(p, row, 4, QColor(16, 18, 22));
  });
}

QImage mainMask() {
  return drawn(kMainW, kMainH, false, [](QPainter& p) {
    p.fillRect(QRectF(0, 0, kMainW, kMainH), kMaskCut);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPath(chamfered(QRectF(0, 0, kMainW, kMainH), kMainCut));
  });
}

QImage titleButton(bool close, Face face) {
  return drawn(16, 15, true, [&](QPainter& p) {
    QRectF r(0, 0, 16, 15);
    if (face != Face::Normal) {
      p.setPen(Qt::NoPen);
      p.setBrush(close ? QColor(200, 40, 50) : kTeal);
      p.drawRoundedRect(r, 3, 3);
    }
    QColor ink = face == Face::Normal ? kTextDim.lighter(130) : QColor(255, 255, 255);
    if (close)
      glyphClose(p, r, ink);
    else
      glyphMinus(p, r, ink);
  });
}

QImage wideButton(Face face) {
  return drawn(223, 25, true, [&](QPainter& p) {
    QRectF r(0, 0, 223, 25);
    QPainterPath shape = chamfered(r.adjusted(0.5, 0.5, -0.5, -0.5), 6);
    shapedFace(p, shape, face);
    // Accent notch on the left edge.
    p.setPen(Qt::NoPen);
    p.setBrush(face == Face::Down ? QColor(255, 255, 255) : kTeal);
    p.drawRect(QRectF(6, 7, 3, 11));
  });
}

QImage smallButton(Face face) {
  return drawn(57, 30, true, [&](QPainter& p) { buttonFace(p, QRectF(0, 0, 57, 30), face); });
}

QImage iconButton(bool keyboard) {
  return drawn(57, 30, true, [&](QPainter& p) {
    buttonFace(p, QRectF(0, 0, 57, 30), Face::Normal);
    QRectF g(17, 5, 23, 20);
    if (keyboard)
      glyphKeyboard(p, g, kTealBright);
    else
      glyphHand(p, g, kTealBright);
  });
}

constexpr int kProgW = 530, kProgH = 150;
const QRectF kProgBar(45, 101, 441, 22);

QImage progress(bool filled) {
  return drawn(kProgW, kProgH, false, [&](QPainter& p) {
    dialogFrame(p, QRectF(0, 0, kProgW, kProgH), 44, kBase, 8);
    well(p, kProgBar.adjusted(-3, -3, 3, 3));
    if (filled) {
      QRectF bar = kProgBar.adjusted(0, 1, 0, -1);
      QLinearGradient g(bar.topLeft(), bar.bottomLeft());
      g.setColorAt(0, kTealBright);
      g.setColorAt(0.5, kTeal.lighter(110));
      g.setColorAt(1, kTealDeep);
      p.fillRect(bar, g);
      // Moving-stripe texture.
      p.save();
      p.setClipRect(bar);
      p.setPen(QPen(QColor(255, 255, 255, 28), 6));
      for (qreal x = bar.left() - bar.height(); x < bar.right(); x += 16)
        p.drawLine(QPointF(x, bar.bottom()), QPointF(x + bar.height(), bar.top()));
      p.restore();
    }
  });
}

// The keyboard as the view shows it: keys at the rectangles of cfg.ini.
QImage keyPicture(const KeyLayout& L) {
  const int w = L.view.width(), h = L.view.height();
  return drawn(w, h, true, [&](QPainter& p) {
    keyboardBody(p, QRectF(1, 1, w - 2, h - 2), 8);
    for (size_t i = 0; i < L.keys.size(); ++i) {
      const LayoutKey& k = L.keys[i];
      const QString legend = keyLegend(k.vk);
      if (int(i) == L.outlinedKey && L.outline.size() >= 3) {
        // The ISO Enter: its real outline as the skirt, the two cap faces
        // joined as the top.
        QPainterPath shape;
        shape.addPolygon(QPolygonF(L.outline));
        shape.closeSubpath();
        QRectF box = shape.boundingRect();
        qreal lowerLeft = box.right(), waist = box.bottom();
        for (const QPoint& pt : L.outline) {
          if (pt.x() > box.left() && pt.x() < lowerLeft) lowerLeft = pt.x();
          if (pt.y() > box.top() && pt.y() < waist) waist = pt.y();
        }
        QLinearGradient skirt(box.topLeft(), box.bottomLeft());
        skirt.setColorAt(0, QColor(30, 34, 39));
        skirt.setColorAt(1, QColor(17, 19, 23));
        p.setPen(QPen(QColor(6, 7, 9), 1));
        p.setBrush(skirt);
        p.drawPath(shape);
        QPainterPath top;
        top.addRoundedRect(QRectF(box.left() + 2, box.top() + 1.5, box.width() - 4, waist - box.top() - 1.5), 2, 2);
        top.addRoundedRect(QRectF(lowerLeft + 2, box.top() + 4, box.right() - lowerLeft - 4, box.height() - 7.5), 2, 2);
        top.setFillRule(Qt::WindingFill);
        QLinearGradient cap(box.topLeft(), box.bottomLeft());
        cap.setColorAt(0, QColor(44, 50, 57));
        cap.setColorAt(1, QColor(33, 38, 44));
        p.setPen(Qt::NoPen);
        p.setBrush(cap);
        p.drawPath(top.simplified());
        QRectF upper(box.left(), box.top(), box.width(), waist - box.top());
        drawText(p, upper.adjusted(0, 0, 0, -2), Qt::AlignCenter, legend, uiFont(8, QFont::DemiBold),
                 QColor(214, 220, 226));
        continue;
      }
      const int px = k.rect.width() < 40 && legend.size() > 3 ? 7 : 8;
      keyCap(p, QRectF(k.rect), legend, Face::Normal, px);
    }
  });
}

QImage sliderThumb() {
  return drawn(18, 18, true, [](QPainter& p) {
    QRectF c(2, 2, 14, 14);
    QRadialGradient g(c.center() - QPointF(2, 2), 9);
    g.setColorAt(0, QColor(90, 100, 110));
    g.setColorAt(1, QColor(30, 34, 39));
    p.setPen(QPen(kTealBright, 2));
    p.setBrush(g);
    p.drawEllipse(c);
    p.setPen(Qt::NoPen);
    p.setBrush(kTealBright);
    p.drawEllipse(c.center(), 2.2, 2.2);
  });
}

QImage sliderTrack() {
  return drawn(180, 6, true, [](QPainter& p) {
    QRectF r(0.5, 0.5, 179, 5);
    QLinearGradient g(r.topLeft(), r.topRight());
    g.setColorAt(0, kTealDeep);
    g.setColorAt(1, kTeal);
    p.setPen(QPen(QColor(4, 5, 6), 1));
    p.setBrush(g);
    p.drawRoundedRect(r, 2.5, 2.5);
  });
}

QImage checkBox(int size, Face face, bool on) {
  return drawn(size, size, true, [&](QPainter& p) { checkMark(p, QRectF(0, 0, size, size), face, on); });
}

QImage radioBox(Face face, bool on) {
  return drawn(16, 16, true, [&](QPainter& p) { radioMark(p, QRectF(0, 0, 16, 16), face, on); });
}

QImage dropDown(Face face) {
  return drawn(138, 15, true, [&](QPainter& p) {
    QRectF r(0.5, 0.5, 137, 14);
    p.setPen(QPen(face == Face::Normal ? kEdge : kTealBright, 1));
    p.setBrush(face == Face::Normal ? kPanelDeep : QColor(18, 30, 34));
    p.drawRoundedRect(r, 2, 2);
    // Chevron in its own cell at the right.
    p.fillRect(QRectF(121, 1, 16, 13), face == Face::Normal ? kRaisedLow : kTeal);
    p.setPen(QPen(face == Face::Normal ? kTealBright : QColor(255, 255, 255), 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(125.5, 5.5), QPointF(129, 9));
    p.drawLine(QPointF(129, 9), QPointF(132.5, 5.5));
  });
}

QImage arrowButton(bool left, Face face) {
  return drawn(42, 28, true, [&](QPainter& p) {
    buttonFace(p, QRectF(0, 0, 42, 28), face);
    glyphArrow(p, QRectF(13, 6, 16, 16), left ? 3 : 1, face == Face::Normal ? kTealBright : QColor(255, 255, 255));
  });
}

constexpr int kPickW = 545, kPickH = 360;

QImage pickerDialog() {
  return drawn(kPickW, kPickH, false, [](QPainter& p) {
    dialogFrame(p, QRectF(0, 0, kPickW, kPickH), 40, kBase, 10);
    // Close and restore-default hot areas are drawn here, not as buttons.
    QRectF close(429, 11, 44, 19), restore(479, 5, 39, 30);
    buttonFace(p, close, Face::Normal);
    glyphClose(p, close.adjusted(12, 0, -12, 0), kText);
    glyphRestore(p, restore.adjusted(4, 2, -4, -2), kTealBright);
    // Category column and the choice area.
    panel(p, QRectF(16, 62, 200, 230), 5, QColor(16, 18, 22));
    panel(p, QRectF(222, 52, 306, 250), 5);
    // Separator above OK and Cancel.
    p.setPen(QPen(kEdgeSoft, 1));
    p.drawLine(QPointF(16, 303.5), QPointF(kPickW - 16, 303.5));
  });
}

QImage categoryButton() {
  return drawn(176, 40, true, [](QPainter& p) {
    QRectF r(0, 0, 176, 40);
    shapedFace(p, chamfered(r.adjusted(0.5, 0.5, -0.5, -0.5), 7), Face::Normal);
    p.setPen(Qt::NoPen);
    p.setBrush(kTeal);
    p.drawRect(QRectF(8, 12, 3, 16));
  });
}

QImage folderIcon(bool open) {
  return drawn(16, 16, true, [&](QPainter& p) { glyphFolder(p, QRectF(0, 0, 16, 16), open); });
}

constexpr int kMacroW = 540, kMacroH = 380;

QImage macroDialog(const KeyLayout& L) {
  return drawn(kMacroW, kMacroH, false, [&](QPainter& p) {
    dialogFrame(p, QRectF(0, 0, kMacroW, kMacroH), 40, kBase, 10);
    well(p, QRectF(L.macroList).adjusted(-2, -2, 2, 2));
    well(p, QRectF(L.keyList).adjusted(-2, -2, 2, 2));
    const int x = L.macroX;
    panel(p, QRectF(x - 12, 62, kMacroW - x - 4, 280), 5, QColor(16, 18, 22));
    // Repeat-count box under the second radio button.
    well(p, QRectF(x, 207, 80, 22));
  });
}

QImage recordButton(bool down) {
  return drawn(148, 29, true, [&](QPainter& p) {
    buttonFace(p, QRectF(0, 0, 148, 29), down ? Face::Down : Face::Normal);
    QRectF dot(10, 9, 11, 11);
    if (down) {
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(255, 255, 255));
      p.drawRect(dot.adjusted(1, 1, -1, -1));
    } else {
      QRadialGradient g(dot.center(), 6);
      g.setColorAt(0, kRecord.lighter(140));
      g.setColorAt(1, kRecord);
      p.setPen(Qt::NoPen);
      p.setBrush(g);
      p.drawEllipse(dot);
    }
  });
}

QImage eventIcon(int kind) {  // 0 release, 1 press, 2 delay
  return drawn(16, 16, true, [&](QPainter& p) {
    QRectF r(0, 0, 16, 16);
    if (kind == 2) {
      glyphClock(p, r, QColor(230, 190, 80));
    } else {
      glyphArrow(p, r.adjusted(1, 1, -1, -1), kind == 1 ? 2 : 0, kind == 1 ? kTealBright : QColor(150, 160, 170));
    }
  });
}

constexpr int kMsgW = 540, kMsgH = 180;

QImage messageBox() {
  return drawn(kMsgW, kMsgH, false, [](QPainter& p) {
    dialogFrame(p, QRectF(0, 0, kMsgW, kMsgH), 40, kBase, 10);
    p.setPen(QPen(kEdgeSoft, 1));
    p.drawLine(QPointF(16, kMsgH - 55.5), QPointF(kMsgW - 16, kMsgH - 55.5));
  });
}

QImage messageIcon() {
  return drawn(40, 40, true, [](QPainter& p) { glyphInfo(p, QRectF(0, 0, 40, 40)); });
}

// Gesture n (1 to 7): swipes left, right, up, down, circles both ways, tap.
QImage gesture(int n, Face face) {
  return drawn(100, 100, true, [&](QPainter& p) {
    QRectF r(2, 2, 96, 96);
    shapedFace(p, chamfered(r, 12), face);
    QColor ink = face == Face::Down ? QColor(255, 255, 255) : kTealBright;
    QPointF c = r.center();
    p.setPen(QPen(ink, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    auto swipe = [&](int dir) {  // 0 up, 1 right, 2 down, 3 left
      p.save();
      p.translate(c);
      p.rotate(90.0 * dir);
      p.drawLine(QPointF(0, 26), QPointF(0, -18));
      QPolygonF head;
      head << QPointF(-11, -12) << QPointF(0, -27) << QPointF(11, -12);
      p.drawPolyline(head);
      // Touch point where the swipe starts.
      p.setPen(Qt::NoPen);
      p.setBrush(ink);
      p.drawEllipse(QPointF(0, 28), 5, 5);
      p.restore();
    };
    switch (n) {
      case 1: swipe(3); break;
      case 2: swipe(1); break;
      case 3: swipe(0); break;
      case 4: swipe(2); break;
      case 5:
      case 6: {
        QRectF ring(c.x() - 24, c.y() - 24, 48, 48);
        p.drawArc(ring, 110 * 16, (n == 5 ? -300 : 300) * 16);
        const qreal a = (n == 5 ? 110 - 300 : 110 + 300) * M_PI / 180.0;
        QPointF tip(c.x() + 24 * std::cos(a), c.y() - 24 * std::sin(a));
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawEllipse(tip, 6, 6);
        break;
      }
      default: {
        p.drawEllipse(c, 9, 9);
        QColor soft = ink;
        soft.setAlpha(120);
        p.setPen(QPen(soft, 2.5));
        p.drawEllipse(c, 19, 19);
        soft.setAlpha(60);
        p.setPen(QPen(soft, 2));
        p.drawEllipse(c, 29, 29);
        break;
      }
    }
  });
}

}  // namespace

bool drawLumeraSkins(Output& out, const KeyLayout& L, const QString& title) {
  const QString s = QStringLiteral("Q350RGB/skins/");
  bool ok = true;
  ok &= out.png(s + "main_nr.png", mainWindow(L));
  ok &= out.png(s + "main_mask.png", mainMask());
  ok &= out.png(s + "min_nr.png", titleButton(false, Face::Normal));
  ok &= out.png(s + "min_ov.png", titleButton(false, Face::Over));
  ok &= out.png(s + "exit_nr.png", titleButton(true, Face::Normal));
  ok &= out.png(s + "exit_ov.png", titleButton(true, Face::Over));
  ok &= out.png(s + "button_nr.png", wideButton(Face::Normal));
  ok &= out.png(s + "button_dn.png", wideButton(Face::Down));
  ok &= out.png(s + "btn_nr.png", smallButton(Face::Normal));
  ok &= out.png(s + "btn_ov.png", smallButton(Face::Over));
  ok &= out.png(s + "kb_nr.png", iconButton(true));
  ok &= out.png(s + "guest_nr.png", iconButton(false));
  ok &= out.png(s + "progress_nr.png", progress(false));
  ok &= out.png(s + "progress_ov.png", progress(true));
  ok &= out.png(s + "keyimg.png", keyPicture(L));
  ok &= out.png(s + "slider.png", sliderThumb());
  ok &= out.png(s + "dpi_bar.png", sliderTrack());
  ok &= out.png(s + "check_nr.png", checkBox(14, Face::Normal, false));
  ok &= out.png(s + "check_ov.png", checkBox(14, Face::Over, false));
  ok &= out.png(s + "check_dn.png", checkBox(14, Face::Down, true));
  ok &= out.png(s + "combo_nr.png", dropDown(Face::Normal));
  ok &= out.png(s + "combo_ov.png", dropDown(Face::Over));
  ok &= out.png(s + "lbtn_nr.png", arrowButton(true, Face::Normal));
  ok &= out.png(s + "lbtn_ov.png", arrowButton(true, Face::Over));
  ok &= out.png(s + "rbtn_nr.png", arrowButton(false, Face::Normal));
  ok &= out.png(s + "rbtn_ov.png", arrowButton(false, Face::Over));
  ok &= out.png(s + "pickfundlg.png", pickerDialog());
  ok &= out.png(s + "btn2_nr.png", categoryButton());
  // The picker's modifier boxes are a smaller pair of their own.
  ok &= out.png(s + "Check_nr.png", checkBox(11, Face::Normal, false));
  ok &= out.png(s + "Check_dn.png", checkBox(11, Face::Down, true));
  ok &= out.png(s + "open.png", folderIcon(true));
  ok &= out.png(s + "close.png", folderIcon(false));
  ok &= out.png(s + "macro_nr.png", macroDialog(L));
  ok &= out.png(s + "recbtn_nr.png", recordButton(false));
  ok &= out.png(s + "recbtn_dn.png", recordButton(true));
  ok &= out.png(s + "radio_nr.png", radioBox(Face::Normal, false));
  ok &= out.png(s + "radio_ov.png", radioBox(Face::Over, false));
  ok &= out.png(s + "radio_dn.png", radioBox(Face::Down, true));
  ok &= out.png(s + "UP_N.png", eventIcon(0));
  ok &= out.png(s + "DN_N.png", eventIcon(1));
  ok &= out.png(s + "TM_N.png", eventIcon(2));
  ok &= out.png(s + "msg_nr.png", messageBox());
  ok &= out.png(s + "msgico.png", messageIcon());
  ok &= out.bmp(s + "menu_nr.bmp", menuItemPicture(200, 20, false, Face::Normal));
  ok &= out.bmp(s + "menu_ov.bmp", menuItemPicture(200, 20, false, Face::Over));
  ok &= out.bmp(s + "menusub_nr.bmp", menuItemPicture(200, 20, true, Face::Normal));
  ok &= out.bmp(s + "menusub_ov.bmp", menuItemPicture(200, 20, true, Face::Over));
  for (int n = 1; n <= 7; ++n) {
    ok &= out.png(s + QStringLiteral("Gest/gest%1_nr.png").arg(n), gesture(n, Face::Normal));
    ok &= out.png(s + QStringLiteral("Gest/gest%1_ov.png").arg(n), gesture(n, Face::Over));
    ok &= out.png(s + QStringLiteral("Gest/gest%1_dn.png").arg(n), gesture(n, Face::Down));
  }
  ok &= out.bytes(s + "mak.skn", makeSkinMarker(title, QStringLiteral("Kavro Dark Teal")));
  ok &= out.bytes(QStringLiteral("Q350RGB/appico.ico"), makeIco(iconSet(IconKind::Lumera)));
  ok &= out.bytes(QStringLiteral("Q350RGB/q330rgb.ico"), makeIco(iconSet(IconKind::RgbKey)));
  return ok;
}

}  // namespace skingen
