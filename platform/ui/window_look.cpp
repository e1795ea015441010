#include "platform/ui/window_look.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QStringList>
#include <algorithm>
#include <mutex>
#include <vector>

namespace platform {

QRegion regionFromColourKey(const QImage& image, QRgb key, int tolerance) {
  const QImage img = image.convertToFormat(QImage::Format_RGB32);
  const int lo[3] = {qRed(key), qGreen(key), qBlue(key)};
  int hi[3];
  for (int i = 0; i < 3; ++i) hi[i] = std::min(255, lo[i] + std::max(0, tolerance));
  auto keyed = [&](QRgb p) {
    const int c[3] = {qRed(p), qGreen(p), qBlue(p)};
    for (int i = 0; i < 3; ++i)
      if (c[i] < lo[i] || c[i] > hi[i]) return false;
    return true;
  };
  // Runs are gathered and merged in batches: one setRects per batch is far
  // cheaper than uniting rectangle by rectangle.
  constexpr std::size_t kBatch = 2000;
  QRegion region;
  std::vector<QRect> runs;
  runs.reserve(kBatch);
  auto flush = [&] {
    if (runs.empty()) return;
    QRegion part;
    part.setRects(runs.data(), static_cast<int>(runs.size()));
    region += part;
    runs.clear();
  };
  for (int y = 0; y < img.height(); ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    int x = 0;
    while (x < img.width()) {
      while (x < img.width() && keyed(line[x])) ++x;
      const int start = x;
      while (x < img.width() && !keyed(line[x])) ++x;
      if (x > start) {
        runs.emplace_back(start, y, x - start, 1);
        if (runs.size() == kBatch) flush();
      }
    }
  }
  flush();
  return region;
}

QImage flattenOver(const QImage& image, QColor background) {
  QImage out(image.size(), QImage::Format_RGB32);
  out.fill(background);
  QPainter p(&out);
  p.drawImage(0, 0, image);
  return out;
}

QColor colourFromRef(std::uint32_t ref) {
  return QColor(static_cast<int>(ref & 0xFF), static_cast<int>((ref >> 8) & 0xFF), static_cast<int>((ref >> 16) & 0xFF));
}

std::uint32_t refFromColour(const QColor& c) {
  return static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8) |
         (static_cast<std::uint32_t>(c.blue()) << 16);
}

void installFontSubstitutes() {
  static std::once_flag once;
  std::call_once(once, [] {
    const QStringList fonts = {"DejaVu Sans", "Noto Sans CJK SC", "Noto Sans CJK TC", "Liberation Sans", "Sans Serif"};
    for (const char* family : {"MS Shell Dlg", "MS Shell Dlg 2", "Tahoma", "Microsoft Sans Serif"})
      QFont::insertSubstitutions(QString::fromLatin1(family), fonts);
  });
}

QFont dialogFont(int cellHeight, int weight) {
  installFontSubstitutes();
  QFont f(QStringLiteral("MS Shell Dlg"));
  // A Windows font height is the character cell; Qt's pixel size is the em,
  // about 6/7 of the cell for these sans faces.
  f.setPixelSize(std::max(1, cellHeight * 6 / 7));
  f.setWeight(weight);
  f.setStyleHint(QFont::SansSerif);
  return f;
}

QRect workArea() {
  const QScreen* s = QGuiApplication::primaryScreen();
  return s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
}

int fullScreenClientHeight() { return workArea().height(); }

namespace {
std::mutex gBoxMutex;
MessageBoxHandler& boxHandler() {
  static MessageBoxHandler h;
  return h;
}
}  // namespace

MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler) {
  std::lock_guard<std::mutex> lock(gBoxMutex);
  MessageBoxHandler old = std::move(boxHandler());
  boxHandler() = std::move(handler);
  return old;
}

int messageBox(QWidget* parent, const std::u16string& text, const std::u16string& caption, MessageBoxIcon icon) {
  MessageBoxHandler h;
  {
    std::lock_guard<std::mutex> lock(gBoxMutex);
    h = boxHandler();
  }
  if (h) return h(parent, text, caption, icon);
  QMessageBox::Icon qi = QMessageBox::NoIcon;
  switch (icon) {
    case MessageBoxIcon::Information: qi = QMessageBox::Information; break;
    case MessageBoxIcon::Warning: qi = QMessageBox::Warning; break;
    case MessageBoxIcon::Error: qi = QMessageBox::Critical; break;
    case MessageBoxIcon::None: break;
  }
  QMessageBox box(qi, QString::fromStdU16String(caption), QString::fromStdU16String(text), QMessageBox::Ok, parent);
  box.exec();
  return 1;  // IDOK
}

}  // namespace platform
