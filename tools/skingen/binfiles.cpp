#include "tools/skingen/binfiles.h"

#include <QBuffer>
#include <QImageWriter>

namespace skingen {

namespace {

void put16(QByteArray& b, quint16 v) {
  b.append(char(v & 0xFF));
  b.append(char(v >> 8));
}
void put32(QByteArray& b, quint32 v) {
  for (int i = 0; i < 4; ++i) b.append(char((v >> (8 * i)) & 0xFF));
}

QByteArray pngBytes(const QImage& image) {
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter(&buffer, "PNG").write(image.convertToFormat(QImage::Format_ARGB32));
  return data;
}

// BITMAPINFOHEADER, bottom-up BGRA pixels, then the 1-bit AND mask (set where
// the picture is fully transparent), rows padded to 32 bits.
QByteArray dibBytes(const QImage& source) {
  QImage image = source.convertToFormat(QImage::Format_ARGB32);
  const int w = image.width();
  const int h = image.height();
  const int maskStride = ((w + 31) / 32) * 4;
  QByteArray b;
  put32(b, 40);
  put32(b, quint32(w));
  put32(b, quint32(h * 2));  // colour rows plus mask rows
  put16(b, 1);
  put16(b, 32);
  put32(b, 0);
  put32(b, quint32(w * h * 4 + maskStride * h));
  put32(b, 0);
  put32(b, 0);
  put32(b, 0);
  put32(b, 0);
  for (int y = h - 1; y >= 0; --y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < w; ++x) {
      b.append(char(qBlue(row[x])));
      b.append(char(qGreen(row[x])));
      b.append(char(qRed(row[x])));
      b.append(char(qAlpha(row[x])));
    }
  }
  for (int y = h - 1; y >= 0; --y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    QByteArray mask(maskStride, '\0');
    for (int x = 0; x < w; ++x)
      if (qAlpha(row[x]) == 0) mask[x / 8] = char(mask[x / 8] | (0x80 >> (x % 8)));
    b.append(mask);
  }
  return b;
}

QByteArray container(quint16 type, const std::vector<QImage>& pictures, QPoint hotSpot) {
  std::vector<QByteArray> payloads;
  for (const QImage& img : pictures) payloads.push_back(img.width() > 64 ? pngBytes(img) : dibBytes(img));
  QByteArray b;
  put16(b, 0);
  put16(b, type);
  put16(b, quint16(pictures.size()));
  quint32 offset = quint32(6 + 16 * pictures.size());
  for (size_t i = 0; i < pictures.size(); ++i) {
    const QImage& img = pictures[i];
    b.append(char(img.width() >= 256 ? 0 : img.width()));
    b.append(char(img.height() >= 256 ? 0 : img.height()));
    b.append(char(0));  // palette size: none
    b.append(char(0));
    if (type == 2) {
      put16(b, quint16(hotSpot.x()));
      put16(b, quint16(hotSpot.y()));
    } else {
      put16(b, 1);   // planes
      put16(b, 32);  // bits per pixel
    }
    put32(b, quint32(payloads[i].size()));
    put32(b, offset);
    offset += quint32(payloads[i].size());
  }
  for (const QByteArray& p : payloads) b.append(p);
  return b;
}

}  // namespace

QByteArray makeIco(const std::vector<QImage>& pictures) { return container(1, pictures, QPoint()); }

QByteArray makeCur(const QImage& picture, QPoint hotSpot) { return container(2, {picture}, hotSpot); }

QByteArray makeSkinMarker(const QString& title, const QString& skinName) {
  QByteArray b(kMarkerSize, '\0');
  const QByteArray tag("KAVRO-SKIN");
  b.replace(0, tag.size(), tag);
  b[12] = 1;  // format version
  auto putText = [&b](int offset, const QString& text, int maxUnits) {
    const int n = std::min<int>(text.size(), maxUnits - 1);  // keep a terminating zero
    for (int i = 0; i < n; ++i) {
      const ushort u = text.at(i).unicode();
      b[offset + 2 * i] = char(u & 0xFF);
      b[offset + 2 * i + 1] = char(u >> 8);
    }
  };
  putText(16, skinName, (kMarkerTitleOffset - 16) / 2);
  putText(kMarkerTitleOffset, title, (kMarkerSize - kMarkerTitleOffset) / 2);
  return b;
}

}  // namespace skingen
