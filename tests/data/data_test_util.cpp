#include "tests/data/data_test_util.h"

#include <QString>
#include <QStringList>

namespace datatest {

std::optional<std::vector<long>> numberList(const platform::IniFile& ini, const char* section,
                                            const std::string& key, int base) {
  return numberList(ini, section, key, std::vector<int>{base});
}

std::optional<std::vector<long>> numberList(const platform::IniFile& ini, const char* section,
                                            const std::string& key, const std::vector<int>& bases) {
  auto value = ini.value(section, key);
  if (!value) return std::nullopt;
  std::vector<long> out;
  for (const QString& part : QString::fromStdU16String(*value).split(QLatin1Char(','))) {
    bool ok = false;
    const int base = out.size() < bases.size() ? bases[out.size()] : bases.back();
    long v = part.trimmed().toLong(&ok, base);
    if (!ok) return std::nullopt;
    out.push_back(v);
  }
  return out;
}

std::vector<LayoutLine> layoutLines(const platform::IniFile& ini, const char* section) {
  std::vector<LayoutLine> lines;
  for (int k = 1; k <= 200; ++k) {
    auto value = ini.value(section, "K" + std::to_string(k));
    if (!value) break;
    const QStringList parts = QString::fromStdU16String(*value).split(QLatin1Char(','));
    const int bases[] = {10, 10, 10, 10, 16, 16, 16, 10};
    long n[8] = {};
    bool good = parts.size() == 8;
    for (int i = 0; good && i < 8; ++i) n[i] = parts[i].trimmed().toLong(&good, bases[i]);
    if (!good) {
      lines.push_back({0, 0, 0, 0, -1, 0, 0, -1});
      continue;
    }
    lines.push_back({int(n[0]), int(n[1]), int(n[2]), int(n[3]), n[4], n[5], n[6], int(n[7])});
  }
  return lines;
}

namespace {

uint32_t u32(const QByteArray& b, int at) {
  return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
         uint32_t(uint8_t(b[at + 3])) << 24;
}
uint16_t u16(const QByteArray& b, int at) { return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8); }

bool decodeDib(const QByteArray& d, int w, int h, QImage& out, std::string& why) {
  if (d.size() < 40 || u32(d, 0) != 40) return why = "DIB header is not BITMAPINFOHEADER", false;
  if (int(u32(d, 4)) != w || int(u32(d, 8)) != 2 * h) return why = "DIB size disagrees with the entry", false;
  if (u16(d, 14) != 32) return why = "DIB is not 32-bit", false;
  const int stride = w * 4, maskStride = ((w + 31) / 32) * 4;
  if (d.size() != 40 + stride * h + maskStride * h) return why = "DIB has the wrong length", false;
  out = QImage(w, h, QImage::Format_ARGB32);
  for (int y = 0; y < h; ++y) {
    const int row = 40 + (h - 1 - y) * stride;
    const int mask = 40 + stride * h + (h - 1 - y) * maskStride;
    for (int x = 0; x < w; ++x) {
      const int a = uint8_t(d[row + 4 * x + 3]);
      const bool transparent = uint8_t(d[mask + x / 8]) & (0x80 >> (x % 8));
      if (transparent != (a == 0)) return why = "AND mask disagrees with the alpha channel", false;
      out.setPixel(x, y, qRgba(uint8_t(d[row + 4 * x + 2]), uint8_t(d[row + 4 * x + 1]), uint8_t(d[row + 4 * x]), a));
    }
  }
  return true;
}

}  // namespace

bool parseIco(const QByteArray& b, IcoFile& out, std::string& why) {
  if (b.size() < 6 || u16(b, 0) != 0) return why = "not an icon file", false;
  out.type = u16(b, 2);
  const int count = u16(b, 4);
  if ((out.type != 1 && out.type != 2) || count == 0) return why = "bad type or no pictures", false;
  if (b.size() < 6 + 16 * count) return why = "directory cut short", false;
  out.entries.clear();
  for (int i = 0; i < count; ++i) {
    const int at = 6 + 16 * i;
    IcoEntry e;
    e.width = uint8_t(b[at]) ? uint8_t(b[at]) : 256;
    e.height = uint8_t(b[at + 1]) ? uint8_t(b[at + 1]) : 256;
    e.field1 = u16(b, at + 4);
    e.field2 = u16(b, at + 6);
    const uint32_t size = u32(b, at + 8), offset = u32(b, at + 12);
    if (offset + uint64_t(size) > uint64_t(b.size())) return why = "picture lies outside the file", false;
    const QByteArray data = b.mid(int(offset), int(size));
    if (data.startsWith("\x89PNG")) {
      if (!e.image.loadFromData(data, "PNG")) return why = "PNG picture does not decode", false;
      if (e.image.width() != e.width || e.image.height() != e.height) return why = "PNG size disagrees", false;
    } else if (!decodeDib(data, e.width, e.height, e.image, why)) {
      return false;
    }
    out.entries.push_back(e);
  }
  return true;
}

}  // namespace datatest
