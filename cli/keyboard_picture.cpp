#include "cli/keyboard_picture.h"

#include <QPainter>
#include <algorithm>

namespace cli {

namespace {

using ::lumera::Colour;

// Where the keyboard keeps what the picture needs.
constexpr std::size_t kPro1 = 72;
constexpr std::size_t kColourTable = 0xA8 * 256;
constexpr std::size_t kLedFrames = 0xAC * 256;
constexpr std::size_t kGroupBytes = 396;
constexpr std::size_t kPlane = 132;
constexpr int kGroupSlots = 6;
constexpr int kMargin = 16;
constexpr int kTitle = 32;

std::uint8_t byteAt(const std::vector<std::uint8_t>& m, std::size_t at) { return at < m.size() ? m[at] : 0; }

QColor qc(Colour c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }

// Colour c (0..6) of colour table row r, stored as blue, green, red.
Colour tableColour(const std::vector<std::uint8_t>& m, int row, int c) {
  const std::size_t at = kColourTable + static_cast<std::size_t>(row) * 21 + static_cast<std::size_t>(c) * 3;
  return ::lumera::rgb(byteAt(m, at + 2), byteAt(m, at + 1), byteAt(m, at));
}

}  // namespace

KeyboardPicture DrawKeyboardPicture(const std::vector<std::uint8_t>& m, const ::lumera::LumeraConfig& config,
                                    const ::lumera::TextLookup& texts) {
  KeyboardPicture out;
  const std::uint8_t* pro1 = nullptr;
  std::vector<std::uint8_t> block(64, 0);
  for (std::size_t i = 0; i < 64; ++i) block[i] = byteAt(m, kPro1 + i);
  pro1 = block.data();

  out.perKey = pro1[4] == 1;
  const int gameIndex = config.options().GameIndex;
  out.effect = out.perKey ? gameIndex : pro1[5] >= 1 && pro1[5] <= ::lumera::kLedModeCount ? pro1[5] - 1 : -1;
  out.effectName = out.effect >= 0 ? texts.text("tc_led_mode" + std::to_string(out.effect + 1)) : u"no effect";

  int slot = -1;
  if (out.perKey) slot = pro1[6] == 0x24 ? 0 : pro1[6] >= 0x20 && pro1[6] < 0x20 + kGroupSlots ? pro1[6] - 0x20 : -1;
  const bool table = !out.perKey && out.effect >= 0 && out.effect < ::lumera::kEffectCount;
  const std::uint8_t choice = table ? pro1[18 + 2 * out.effect] & 0x0F : 0;
  const bool colourful = table && choice == 7;

  // The keys and the frame around them.
  std::vector<QRect> rects;
  QRect bounds;
  for (int i = 0; i < ::lumera::kKeyCount; ++i) {
    const ::lumera::KeyFunction& f = config.keyLayout()[static_cast<std::size_t>(i)].funA;
    if (f.dwFunID == 0) break;
    const QRect r(f.rcKey[0], f.rcKey[1], std::max(1, f.rcKey[2]), std::max(1, f.rcKey[3]));
    rects.push_back(r);
    bounds = bounds.united(r);
  }
  const int width = std::max(320, bounds.right() + 1 + kMargin);
  const int height = kTitle + std::max(40, bounds.bottom() + 1 + kMargin);
  out.image = QImage(width, height, QImage::Format_RGB32);
  out.image.fill(QColor(32, 32, 32));
  QPainter p(&out.image);

  for (std::size_t i = 0; i < rects.size(); ++i) {
    Colour c = 0;
    if (out.perKey) {
      const int led = i < static_cast<std::size_t>(config.ledCount())
                          ? config.ledLayout()[i].funA.dwMatrixInx
                          : -1;
      if (slot >= 0 && led >= 0 && led < ::lumera::kKeyCount) {
        const std::size_t group = kLedFrames + static_cast<std::size_t>(slot / 2) * 4 * 256 +
                                  static_cast<std::size_t>(slot % 2) * kGroupBytes + static_cast<std::size_t>(led);
        c = ::lumera::rgb(byteAt(m, group + 2 * kPlane), byteAt(m, group + kPlane), byteAt(m, group));
      }
    } else if (colourful) {
      // The row's seven colours across the keyboard.
      const int band = bounds.width() > 0 ? (rects[i].center().x() - bounds.left()) * 7 / (bounds.width() + 1) : 0;
      c = tableColour(m, 25 + out.effect, std::clamp(band, 0, 6));
    } else if (table && choice < 7) {
      c = tableColour(m, 25 + out.effect, choice);
    }
    out.keyColours.push_back(c);
    const QRect r = rects[i].translated(0, kTitle);
    p.fillRect(r, QColor(48, 50, 56));
    if (c != 0) p.fillRect(r.adjusted(2, 2, -2, -2), qc(c));
    p.setPen(QColor(90, 94, 102));
    p.drawRect(r.adjusted(0, 0, -1, -1));
  }

  p.setPen(QColor(220, 220, 220));
  QFont font = p.font();
  font.setPixelSize(16);
  p.setFont(font);
  QString title = QString::fromStdU16String(out.effectName);
  if (out.perKey) title += QString(" (colour set %1)").arg(slot + 1);
  if (colourful) title += " (colourful)";
  p.drawText(QRect(kMargin / 2, 4, width - kMargin, kTitle - 8), Qt::AlignLeft | Qt::AlignVCenter, title);
  p.end();
  return out;
}

}  // namespace cli
