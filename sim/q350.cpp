// The Q350: an addressed memory written and read with 64-byte output
// reports (report id 4) that carry a 16-bit additive checksum.
//
// Frame: id, checksum low, checksum high, command, length, address low,
// address high, 0, then up to 56 data bytes. The checksum is the sum of
// bytes 3 to 63. Commands: 0x01 write start, 0x02 write end, 0x03 read
// (answered by an input report in the same layout, data from byte 8),
// 0x04 write (a write of the control byte at address 0 is answered by an
// echo of the frame). Frames with a bad checksum, a length above 56 or an
// address range outside the memory are thrown away.
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "sim/models.h"
#include "sim/render_layout.h"

namespace sim {

namespace {

constexpr std::size_t kFrameSize = 64;
constexpr std::uint8_t kReportId = 4;
constexpr std::size_t kMemorySize = 0x4000;
constexpr std::size_t kMaxData = 56;
constexpr std::size_t kVersionAddress = 0x000C;
constexpr std::size_t kCommonColour = 0x00AF;
constexpr std::size_t kZoneColours = 0x00B2;
constexpr int kVendorInterface = 1;
constexpr unsigned kFactoryFirmware = 107;

std::uint16_t frameSum(const Bytes& frame) {
  unsigned sum = 0;
  for (std::size_t i = 3; i < kFrameSize; ++i) sum += frame[i];
  return static_cast<std::uint16_t>(sum & 0xFFFF);
}

class Q350 final : public Keyboard {
 public:
  Q350() : Keyboard(0x24AE, 0x4011, 0x0100, "Kavro Q350 Gaming Keyboard"), memory_(kMemorySize, 0) {
    setFirmware(kFactoryFirmware);
  }

  std::string model() const override { return "q350"; }

  const std::vector<InterfaceDesc>& interfaces() const override {
    static const std::vector<InterfaceDesc> list = {
        {0, 0x0001, 0x0006, 9, 2, 0},                      // the typing interface
        {kVendorInterface, 0xFF1C, 0x0092, 64, 64, 0},     // configuration
    };
    return list;
  }

  bool output(int interfaceNumber, const Bytes& frame, std::vector<InputReport>& answers) override {
    if (interfaceNumber != kVendorInterface) return true;  // keyboard LED reports: taken, ignored
    if (frame.size() != kFrameSize || frame[0] != kReportId) {
      reject();
      return true;
    }
    if (frameSum(frame) != (frame[1] | frame[2] << 8)) {
      reject();
      return true;
    }
    const std::uint8_t command = frame[3];
    const std::size_t length = frame[4];
    const std::size_t address = static_cast<std::size_t>(frame[5] | frame[6] << 8);
    const bool inRange = length <= kMaxData && address + length <= kMemorySize;
    switch (command) {
      case 0x01: writing_ = true; break;
      case 0x02: writing_ = false; break;
      case 0x03: {
        Bytes reply(kFrameSize, 0);
        reply[0] = kReportId;
        reply[3] = 0x03;
        reply[5] = frame[5];
        reply[6] = frame[6];
        if (inRange) {
          reply[4] = static_cast<std::uint8_t>(length);
          std::copy_n(memory_.begin() + static_cast<std::ptrdiff_t>(address), length, reply.begin() + 8);
        } else {
          reject();
        }
        const std::uint16_t sum = frameSum(reply);
        reply[1] = static_cast<std::uint8_t>(sum & 0xFF);
        reply[2] = static_cast<std::uint8_t>(sum >> 8);
        answers.push_back({kVendorInterface, reply});
        break;
      }
      case 0x04:
        if (!inRange) {
          reject();
          break;
        }
        std::copy_n(frame.begin() + 8, length, memory_.begin() + static_cast<std::ptrdiff_t>(address));
        if (address == 0) answers.push_back({kVendorInterface, frame});
        break;
      default: reject(); break;
    }
    return true;
  }

  bool setFeature(int, const Bytes&) override { return false; }
  bool getFeature(int, std::uint8_t, std::size_t, Bytes&) override { return false; }

  Bytes memory() const override { return memory_; }

  bool render(const std::string& pngPath) const override {
    using namespace layout;
    QImage image = blankPicture(kQ350Width, kQ350Height);
    QPainter p(&image);
    for (int z = 0; z < kZones; ++z)
      p.fillRect(kMargin + z * kZonePitch, kMargin, kZoneSize, kZoneSize, colourAt(kZoneColours + 3 * z));
    p.fillRect(kMargin, kCommonTop, kQ350Width - 2 * kMargin, kCommonHeight, colourAt(kCommonColour));
    p.end();
    return savePng(image, pngPath);
  }

  bool setOption(const std::string& name, const std::string& value) override {
    if (name != "firmware") return false;
    char* end = nullptr;
    const unsigned long v = std::strtoul(value.c_str(), &end, 0);
    if (!end || *end || v > 2559) return false;
    setFirmware(static_cast<unsigned>(v));
    return true;
  }

 private:
  // The program reads the version as byte 0 + 10 x byte 1.
  void setFirmware(unsigned v) {
    memory_[kVersionAddress] = static_cast<std::uint8_t>(v % 10);
    memory_[kVersionAddress + 1] = static_cast<std::uint8_t>(v / 10);
  }

  // Colours are kept as percentages of red, green and blue.
  QColor colourAt(std::size_t address) const {
    const auto channel = [&](std::size_t i) {
      const int pct = std::min<int>(memory_[address + i], 100);
      return static_cast<int>(std::lround(pct * 255.0 / 100.0));
    };
    return QColor(channel(0), channel(1), channel(2));
  }

  Bytes memory_;
  bool writing_ = false;
};

}  // namespace

std::unique_ptr<Keyboard> makeQ350() { return std::make_unique<Q350>(); }

}  // namespace sim
