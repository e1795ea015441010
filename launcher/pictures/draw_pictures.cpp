// Draws the launcher's three compiled-in pictures into a folder:
//   kavro_launcher_pictures <folder>
// pr.png (530 x 201) is the window's face: dark, with a teal glow along the
// top band and a thin teal border. exit_nr.png and exit_ov.png (16 x 15)
// are the close button at rest and under the mouse.
#include <QGuiApplication>
#include <QLinearGradient>
#include <QRadialGradient>
#include <cstdio>

#include "tools/skingen/canvas.h"
#include "tools/skingen/output.h"

namespace {

using namespace skingen;
using namespace skingen::palette;

constexpr int kWidth = 530;
constexpr int kHeight = 201;
constexpr int kBand = 40;  // the title band; the window draws its rule under it

QImage windowFace() {
  return drawn(kWidth, kHeight, false, [](QPainter& p) {
    const QRectF all(0, 0, kWidth, kHeight);
    fillFace(p, all);
    // The band: teal light falling from the top edge, strongest in the middle.
    QLinearGradient fall(0, 0, 0, kBand);
    fall.setColorAt(0, QColor(8, 124, 144, 120));
    fall.setColorAt(1, QColor(8, 124, 144, 18));
    p.fillRect(QRectF(0, 0, kWidth, kBand), fall);
    p.save();
    p.setClipRect(QRectF(0, 0, kWidth, kBand));
    p.translate(kWidth / 2.0, 0);
    p.scale(1.0, 0.16);
    QRadialGradient bloom(QPointF(0, 0), kWidth * 0.5);
    bloom.setColorAt(0, QColor(40, 214, 236, 90));
    bloom.setColorAt(1, QColor(40, 214, 236, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(bloom);
    p.drawEllipse(QPointF(0, 0), kWidth * 0.5, kWidth * 0.5);
    p.restore();
    brandMark(p, QPointF(14, 30), QStringLiteral("Q350"), 0.8);
    // Thin border all round.
    p.setPen(QPen(kTeal, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(all.adjusted(0.5, 0.5, -0.5, -0.5));
  });
}

QImage closeButton(bool over) {
  return drawn(16, 15, true, [over](QPainter& p) {
    const QRectF r(0, 0, 16, 15);
    if (over) {
      p.setPen(Qt::NoPen);
      p.setBrush(kTeal);
      p.drawRoundedRect(r, 2, 2);
    }
    glyphClose(p, r, over ? QColor(Qt::white) : kText);
  });
}

}  // namespace

int main(int argc, char** argv) {
  // Fonts, no screen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: kavro_launcher_pictures <folder>\n");
    return 2;
  }
  Output out(QString::fromLocal8Bit(argv[1]));
  bool ok = out.png(QStringLiteral("pr.png"), windowFace());
  ok &= out.png(QStringLiteral("exit_nr.png"), closeButton(false));
  ok &= out.png(QStringLiteral("exit_ov.png"), closeButton(true));
  for (const QString& e : out.errors()) std::fprintf(stderr, "%s\n", qPrintable(e));
  return ok ? 0 : 1;
}
