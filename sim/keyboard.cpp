#include <QBuffer>
#include <QByteArray>

#include "platform/paths.h"
#include "platform/text.h"
#include "sim/models.h"

namespace sim {

std::unique_ptr<Keyboard> makeKeyboard(const std::string& model) {
  const std::string m = platform::toLowerAscii(model);
  if (m == "q350") return makeQ350();
  if (m == "q350rgb") return makeQ350Rgb();
  return nullptr;
}

QImage blankPicture(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(QColor(32, 32, 32));
  return image;
}

bool savePng(const QImage& image, const std::string& path) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) return false;
  return platform::writeFileAtomic(path, std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
}

}  // namespace sim
