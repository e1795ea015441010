#include "tools/skingen/output.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

namespace skingen {

static QByteArray encode(const QImage& image, const char* format) {
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  if (!writer.write(image)) return {};
  return data;
}

bool Output::png(const QString& relative, const QImage& image) {
  QByteArray data = encode(image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                         : QImage::Format_RGB32),
                           "PNG");
  if (data.isEmpty()) {
    errors_ << QStringLiteral("cannot encode %1").arg(relative);
    return false;
  }
  return write(relative, data);
}

bool Output::bmp(const QString& relative, const QImage& image) {
  QByteArray data = encode(image.convertToFormat(QImage::Format_RGB888), "BMP");
  if (data.isEmpty()) {
    errors_ << QStringLiteral("cannot encode %1").arg(relative);
    return false;
  }
  return write(relative, data);
}

bool Output::bytes(const QString& relative, const QByteArray& data) { return write(relative, data); }

bool Output::removeFolder(const QString& relative) {
  QDir dir(root_ + QLatin1Char('/') + relative);
  if (!dir.exists() || dir.removeRecursively()) return true;
  errors_ << QStringLiteral("cannot remove %1").arg(dir.path());
  return false;
}

bool Output::write(const QString& relative, const QByteArray& data) {
  const QString path = root_ + QLatin1Char('/') + relative;
  if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
    errors_ << QStringLiteral("cannot create the folder of %1").arg(path);
    return false;
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
    errors_ << QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return false;
  }
  manifest_ << QStringLiteral("%1\t%2").arg(relative).arg(data.size());
  return true;
}

}  // namespace skingen
