// The Q350RGB: feature reports on two vendor interfaces (usage page 0xFF00,
// usage 1): the data interface (feature length 1032) takes the command
// frames with report id 6 and gives the replies (id 6 long, id 0 short); the
// command interface (feature length 6) takes the profile request, report
// id 5.
//
// Memory: 64 KB addressed in 256-byte pages; a long frame's address byte
// names the page (0xA8 colour table, 0xAC.. LED frames, 0xC8 key matrix,
// 0xCC.. macro chunks) and its length byte counts 16-byte units (0x40 for
// 1024). The profile block (Global, Pro0, Pro1; 136 bytes) sits at page 0:
// SetProfile (0x03) writes it, GetProfile (0x83) reads it back. Each
// request's reply is read once; a read without a request gets zeros.
#include <QPainter>
#include <algorithm>
#include <cstring>
#include <optional>

#include "platform/hid/sim_link.h"
#include "sim/models.h"
#include "sim/render_layout.h"

namespace sim {

namespace {

constexpr int kDataInterface = 1;
constexpr int kCommandInterface = 2;
constexpr std::size_t kLongFrame = 1032;
constexpr std::size_t kShortFrame = 9;
constexpr std::size_t kMemorySize = 0x10000;
constexpr std::size_t kProfileSize = 136;
constexpr std::size_t kPayload = 8;  // payload offset in a frame (after the id and 7 header bytes)
constexpr std::size_t kGroupSize = 396;
constexpr std::uint8_t kColourTablePage = 0xA8;
constexpr std::uint8_t kLedFramePage = 0xAC;

// Factory content of the Pro0 and Pro1 blocks: the keyboard's reset defaults.
constexpr std::uint8_t kProDefaults[64] = {
    0x00, 0x03, 0x01, 0x00,                                // 0..3
    0x00, 0x08, 0x20,                                      // 4..6
    0x01, 0x00, 0x00, 0x00, 0x00, 0x55, 0x55, 0x00, 0x00,  // 7..15
    0xFF, 0xFF,                                            // 16, 17
    0x03, 0x33, 0x07, 0x33, 0x07, 0x33, 0x07, 0x33,        // 18..49: effect pairs
    0x07, 0x33, 0x03, 0x33, 0x07, 0x33, 0x87, 0x33,
    0x07, 0x34, 0x07, 0x33, 0x07, 0x33, 0x07, 0x33,
    0x87, 0x33, 0x87, 0x33, 0x00, 0x33, 0x00, 0x33,
    0x00, 0x00,                                            // 50, 51
    0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03,              // 52..58
    0x33, 0x33, 0x33,                                      // 59..61
    0x5A, 0xA5,                                            // 62, 63
};
static_assert(sizeof(kProDefaults) == 64, "Pro block size");

class Q350Rgb final : public Keyboard {
 public:
  Q350Rgb() : Keyboard(0x24AE, 0x4018, 0x0100, "Varire Voror"), memory_(kMemorySize, 0) {
    std::memcpy(memory_.data() + 8, kProDefaults, 64);
    std::memcpy(memory_.data() + 72, kProDefaults, 64);
  }

  std::string model() const override { return "q350rgb"; }

  const std::vector<InterfaceDesc>& interfaces() const override {
    static const std::vector<InterfaceDesc> list = {
        {0, 0x0001, 0x0006, 9, 2, 0},              // the typing interface
        {kDataInterface, 0xFF00, 0x0001, 0, 0, 1032},
        {kCommandInterface, 0xFF00, 0x0001, 5, 0, 6},
    };
    return list;
  }

  bool output(int, const Bytes&, std::vector<InputReport>&) override { return true; }

  bool setFeature(int interfaceNumber, const Bytes& frame) override {
    if (frame.size() < 2) return false;
    if (interfaceNumber == kCommandInterface) {
      if (frame[0] != 5) return false;
      if (frame[1] == 0x83) {
        Bytes reply(kLongFrame, 0);
        reply[0] = 6;
        reply[1] = 0x83;
        std::copy_n(memory_.begin(), kProfileSize, reply.begin() + kPayload);
        longReply_ = reply;
      } else {
        reject();
      }
      return true;
    }
    if (interfaceNumber != kDataInterface || frame[0] != 6) return false;
    if (frame.size() >= kLongFrame) {
      longFrame(frame);
    } else {
      shortFrame(frame);
    }
    return true;
  }

  bool getFeature(int interfaceNumber, std::uint8_t reportId, std::size_t length, Bytes& report) override {
    if (interfaceNumber != kDataInterface || (reportId != 6 && reportId != 0)) return false;
    std::optional<Bytes>& pending = reportId == 6 ? longReply_ : shortReply_;
    report = pending ? *pending : Bytes(1, reportId);
    pending.reset();
    report.resize(length, 0);
    return true;
  }

  Bytes memory() const override { return memory_; }

  bool render(const std::string& pngPath) const override {
    using namespace layout;
    QImage image = blankPicture(kRgbWidth, kRgbHeight);
    QPainter painter(&image);
    const int active = activeSlot();
    for (int slot = 0; slot < kSlots; ++slot) {
      const std::size_t group = (kLedFramePage + 4u * static_cast<unsigned>(slot / 2)) * 256u +
                                static_cast<unsigned>(slot % 2) * kGroupSize;
      const int top = kMargin + slot * (kSlotHeight + kSlotGap);
      if (slot == active) {
        painter.setPen(QPen(Qt::white, 2));
        painter.drawRect(kMargin - 3, top - 3, kLedColumns * kCell + 5, kSlotHeight + 5);
      }
      for (int p = 0; p < kLedCount; ++p) {
        // Planes: bits 16..23 (blue), 8..15 (green), 0..7 (red) of the colour.
        const QColor c(memory_[group + 264 + p], memory_[group + 132 + p], memory_[group + p]);
        painter.fillRect(kMargin + (p % kLedColumns) * kCell + 1, top + (p / kLedColumns) * kCell + 1, kCell - 2,
                         kCell - 2, c);
      }
    }
    const std::size_t table = kColourTablePage * 256u;
    for (int row = 0; row < 48; ++row) {
      for (int c = 0; c < 7; ++c) {
        const std::size_t t = table + static_cast<std::size_t>(row) * 21 + static_cast<std::size_t>(c) * 3;
        painter.fillRect(kMargin + c * kTableCellW, kTableTop + row * kTableCellH, kTableCellW - 1, kTableCellH - 1,
                         QColor(memory_[t + 2], memory_[t + 1], memory_[t]));
      }
    }
    painter.end();
    return savePng(image, pngPath);
  }

  bool setOption(const std::string& name, const std::string& value) override {
    if (name != "password") return false;
    Bytes bytes;
    if (!platform::hexDecode(value, bytes) || bytes.size() != 6) return false;
    std::copy(bytes.begin(), bytes.end(), password_);
    return true;
  }

 private:
  void longFrame(const Bytes& frame) {
    const std::uint8_t command = frame[1];
    const std::size_t address = static_cast<std::size_t>(frame[2]) * 256;
    std::size_t length = 0;
    switch (command) {
      case 0x03: length = kProfileSize; break;  // SetProfile
      case 0x04:                                // key matrix
      case 0x05:                                // macro chunk
      case 0x08:                                // colour table
      case 0x09:                                // LED frame
        length = static_cast<std::size_t>(frame[4]) * 16;
        break;
      default: reject(); return;
    }
    length = std::min({length, frame.size() - kPayload, kMemorySize - address});
    std::copy_n(frame.begin() + kPayload, length, memory_.begin() + static_cast<std::ptrdiff_t>(address));
  }

  void shortFrame(const Bytes& frame) {
    if (frame[1] != 0x05 || frame.size() < 3) {
      reject();
      return;
    }
    switch (frame[2]) {
      case 0x76: configuring_ = true; break;
      case 0x77: configuring_ = false; break;
      case 0x01: {
        Bytes reply(kShortFrame, 0);
        reply[1] = 0x05;
        reply[2] = 0x01;
        const bool match = frame.size() >= 9 && std::equal(password_, password_ + 6, frame.begin() + 3);
        reply[3] = match ? 0x5A : 0x00;
        shortReply_ = reply;
        break;
      }
      default: reject(); break;
    }
  }

  // The slot the per-key colour effect shows, from Pro1 bytes 4 and 6; -1
  // when another effect runs.
  int activeSlot() const {
    const std::uint8_t* pro1 = memory_.data() + 72;
    if (pro1[4] != 1) return -1;
    if (pro1[6] == 0x24) return 0;
    const int group = pro1[6] - 0x20;
    return group >= 0 && group < layout::kSlots ? group : -1;
  }

  Bytes memory_;
  std::uint8_t password_[6] = {0, 0, 0, 0, 0, 0};
  bool configuring_ = false;
  std::optional<Bytes> longReply_;
  std::optional<Bytes> shortReply_;
};

}  // namespace

std::unique_ptr<Keyboard> makeQ350Rgb() { return std::make_unique<Q350Rgb>(); }

}  // namespace sim
