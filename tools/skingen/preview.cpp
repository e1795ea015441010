// kavro_skinpreview: puts the staged Lumera pictures together the way the
// main window does (buttons at the cfg.ini places, the key picture in the
// keyboard view, captions in the skin's text colours) and writes one PNG, so
// the skin can be judged as a whole without starting the program.
//
//   kavro_skinpreview STAGE_DIR OUT.png [SHEET_DIR]
//   kavro_skinpreview --convert PICTURE.bmp OUT.png
//
// With SHEET_DIR it also writes contact sheets: every picture of a skin
// folder side by side with its name and size.
#include <QGuiApplication>
#include <QDirIterator>
#include <QImage>
#include <QPainter>
#include <cstdio>

#include "tools/skingen/canvas.h"
#include "tools/skingen/keylayout.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc == 4 && QString::fromLocal8Bit(argv[1]) == QLatin1String("--convert"))
    return QImage(QString::fromLocal8Bit(argv[2])).save(QString::fromLocal8Bit(argv[3])) ? 0 : 1;
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: kavro_skinpreview STAGE_DIR OUT.png [SHEET_DIR]\n");
    return 2;
  }
  const QString root = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/Q350RGB/");
  skingen::KeyLayout L;
  QString error;
  if (!skingen::readKeyLayout(root + QStringLiteral("cfg.ini"), L, error)) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 1;
  }
  auto img = [&](const char* name) { return QImage(root + QStringLiteral("skins/") + QLatin1String(name)); };
  QImage canvas = img("main_nr.png").convertToFormat(QImage::Format_ARGB32);
  QPainter p(&canvas);
  skingen::prepare(p);
  const QColor text(196, 204, 212), btnText(206, 214, 222), down(94, 222, 240);
  QFont f = skingen::uiFont(12);
  p.drawImage(L.ptMin, img("min_nr.png"));
  p.drawImage(L.ptExit, img("exit_nr.png"));
  for (int i = 0; i < 3; ++i) {
    QPoint at = L.ptProfile + QPoint(0, i * 33);
    p.drawImage(at, img(i == 0 ? "button_dn.png" : "button_nr.png"));
    skingen::drawText(p, QRectF(at, QSizeF(223, 25)), Qt::AlignCenter, QStringLiteral("Profile %1").arg(i + 1), f,
                      i == 0 ? down : btnText);
  }
  p.drawImage(L.ptMacro, img("button_nr.png"));
  skingen::drawText(p, QRectF(L.ptMacro, QSizeF(223, 25)), Qt::AlignCenter, QStringLiteral("Macro Manager"), f, btnText);
  p.drawImage(L.ptReset, img("button_nr.png"));
  skingen::drawText(p, QRectF(L.ptReset, QSizeF(223, 25)), Qt::AlignCenter, QStringLiteral("Reset Profile"), f, btnText);
  const char* names[] = {"OK", "Cancel", "Apply"};
  for (int i = 0; i < 3; ++i) {
    QPoint at = L.ptApply + QPoint(i * 63, 0);
    p.drawImage(at, img(i == 0 ? "btn_ov.png" : "btn_nr.png"));
    skingen::drawText(p, QRectF(at, QSizeF(57, 30)), Qt::AlignCenter, QLatin1String(names[i]), f, btnText);
  }
  p.drawImage(L.view.topLeft(), img("keyimg.png"));
  // A few lit keys, as the per-key colouring fills them.
  for (size_t i = 0; i < L.keys.size(); i += 7) {
    QRect r = L.keys[i].rect.translated(L.view.topLeft());
    p.fillRect(r.adjusted(2, 2, -1, -1), QColor::fromHsv(int(i * 3) % 360, 255, 255, 150));
  }
  skingen::drawText(p, QRectF(31, 606, 200, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Version 1.0.7"), f, text);
  skingen::drawText(p, QRectF(L.view.left() + 4, L.view.bottom() + 5, 496, 40), Qt::AlignVCenter | Qt::TextWordWrap,
                    QStringLiteral("Click a key to give it another function. Keys with a changed function are marked."), f, text);
  // Lighting page controls at their page places.
  const QPoint led = L.led.topLeft();
  p.drawImage(led + QPoint(5, 15), img("check_dn.png"));
  skingen::drawText(p, QRectF(led + QPoint(24, 12), QSizeF(60, 20)), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("On"), f, text);
  p.drawImage(led + QPoint(90, 15), img("combo_nr.png"));
  skingen::drawText(p, QRectF(led + QPoint(94, 15), QSizeF(110, 15)), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Wave"), skingen::uiFont(11), text);
  for (int s = 0; s < 2; ++s) {
    QPoint at = led + QPoint(15, s ? 137 : 79);
    skingen::drawText(p, QRectF(at + QPoint(0, -24), QSizeF(220, 20)), Qt::AlignLeft | Qt::AlignVCenter, s ? QStringLiteral("Speed") : QStringLiteral("Brightness"), f, text);
    p.drawImage(at + QPoint(0, 6), img("dpi_bar.png"));
    p.drawImage(at + QPoint(s ? 117 - 9 : 171 - 9, 0), img("slider.png"));
  }
  p.drawImage(led + QPoint(15, 205), img("lbtn_nr.png"));
  p.drawImage(led + QPoint(77, 205), img("rbtn_ov.png"));
  p.end();
  if (!canvas.save(QString::fromLocal8Bit(argv[2]))) return 1;
  if (argc == 4) {
    const QString stage = QString::fromLocal8Bit(argv[1]);
    const struct { const char* folder; const char* sheet; int maxW; } sheets[] = {
        {"/Q350RGB/skins", "/lumera_sheet.png", 560}, {"/Q350/res", "/q350_res_sheet.png", 480},
        {"/Q350/skins", "/q350_skins_sheet.png", 480}};
    for (const auto& sh : sheets) {
      QImage sheet(1400, 4000, QImage::Format_ARGB32);
      sheet.fill(QColor(60, 60, 64));
      QPainter sp(&sheet);
      skingen::prepare(sp);
      int x = 8, y = 8, rowH = 0;
      QStringList files;
      QDirIterator it(stage + QLatin1String(sh.folder), {"*.png", "*.bmp", "*.BMP"}, QDir::Files,
                      QDirIterator::Subdirectories);
      while (it.hasNext()) files << it.next();
      files.sort();
      for (const QString& f : files) {
        QImage im(f);
        if (im.isNull()) continue;
        QImage shown = im.width() > sh.maxW ? im.scaledToWidth(sh.maxW, Qt::SmoothTransformation) : im;
        if (x + shown.width() + 8 > sheet.width()) {
          x = 8;
          y += rowH + 22;
          rowH = 0;
        }
        sp.drawImage(x, y, shown);
        skingen::drawText(sp, QRectF(x, y + shown.height() + 2, std::max(shown.width(), 90) + 40, 16),
                          Qt::AlignLeft | Qt::AlignTop,
                          QStringLiteral("%1 %2x%3").arg(f.mid(stage.size() + int(strlen(sh.folder)) + 1))
                              .arg(im.width()).arg(im.height()),
                          skingen::uiFont(9), QColor(230, 230, 230));
        x += std::max(shown.width(), 120) + 16;
        rowH = std::max(rowH, shown.height());
      }
      sp.end();
      sheet.copy(0, 0, sheet.width(), std::min(sheet.height(), y + rowH + 30))
          .save(QString::fromLocal8Bit(argv[3]) + QLatin1String(sh.sheet));
    }
  }
  return 0;
}
