#include "q350config/device/frame.h"

#include <algorithm>

namespace q350 {

std::uint16_t frameChecksum(const Frame& frame) {
  unsigned sum = 0;
  for (std::size_t i = 3; i < kFrameSize; ++i) sum += frame[i];
  return static_cast<std::uint16_t>(sum & 0xFFFF);
}

Frame buildFrame(std::uint8_t command, std::uint8_t length, std::uint16_t address, const std::uint8_t* data,
                 std::size_t size) {
  Frame f{};
  f[0] = kFrameReportId;
  f[3] = command;
  f[4] = length;
  f[5] = static_cast<std::uint8_t>(address & 0xFF);
  f[6] = static_cast<std::uint8_t>(address >> 8);
  f[7] = 0;
  if (data) std::copy_n(data, std::min(size, kFrameMaxData), f.begin() + kFrameDataOffset);
  const std::uint16_t sum = frameChecksum(f);
  f[1] = static_cast<std::uint8_t>(sum & 0xFF);
  f[2] = static_cast<std::uint8_t>(sum >> 8);
  return f;
}

std::array<std::uint8_t, 3> colourPercentages(std::uint32_t colour) {
  const auto percent = [](std::uint32_t c) {
    return static_cast<std::uint8_t>(static_cast<double>(c & 0xFF) / 255.0 * 100.0);
  };
  return {percent(colour), percent(colour >> 8), percent(colour >> 16)};
}

}  // namespace q350
