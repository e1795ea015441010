// The Q350's command frames: 64-byte output reports (report id 4) that
// address the keyboard's configuration memory, with a 16-bit additive
// checksum over everything after the checksum itself.
//
//   0      report id 0x04
//   1..2   checksum, low byte first: sum of bytes 3..63 kept to 16 bits
//   3      command (kCmdWriteStart .. kCmdMemoryWrite)
//   4      data length (bytes to read for kCmdMemoryRead)
//   5..6   device address, low byte first
//   7      0
//   8..63  data, zero past the length
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace q350 {

constexpr std::size_t kFrameSize = 64;
constexpr std::size_t kFrameDataOffset = 8;
constexpr std::size_t kFrameMaxData = kFrameSize - kFrameDataOffset;  // 56
constexpr std::uint8_t kFrameReportId = 0x04;

using Frame = std::array<std::uint8_t, kFrameSize>;

enum FrameCommand : std::uint8_t {
  kCmdWriteStart = 0x01,  // before a multi-frame write (key table, macro slot)
  kCmdWriteEnd = 0x02,    // after it
  kCmdMemoryRead = 0x03,  // the reply carries the bytes from offset 8 on
  kCmdMemoryWrite = 0x04,
};

// Device addresses of the settings.
constexpr std::uint16_t kAddrControl = 0x0000;
constexpr std::uint16_t kAddrFirmwareVersion = 0x000C;  // 2 bytes: b0 + 10 x b1
constexpr std::uint16_t kAddrLightingMode = 0x00AA;
constexpr std::uint16_t kAddrBrightness = 0x00AB;
constexpr std::uint16_t kAddrEffectSpeed = 0x00AC;  // 5 - effectSpeed
constexpr std::uint16_t kAddrReservedAD = 0x00AD;   // always 0
constexpr std::uint16_t kAddrCommonColour = 0x00AF;
constexpr std::uint16_t kAddrZoneColours = 0x00B2;  // + 3 x zone
constexpr std::uint16_t kAddrLightingSwitch = 0x00C9;
constexpr std::uint16_t kAddrKeyTables = 0x0100;  // + 0x280 x bank
constexpr std::uint16_t kKeyTableBankStride = 0x280;
constexpr std::uint16_t kAddrMacroSlotTable = 0x0990;
constexpr std::uint16_t kAddrMacroSlots = 0x0A10;  // + 0x100 x slot
constexpr std::uint16_t kMacroSlotStride = 0x100;

// The 16-bit sum of bytes 3..63.
std::uint16_t frameChecksum(const Frame& frame);

// A zero-filled frame with the header set, `size` data bytes copied to
// offset 8 (at most 56) and the checksum computed last. `length` is what
// goes into byte 4; it differs from `size` for a read, which carries none.
Frame buildFrame(std::uint8_t command, std::uint8_t length, std::uint16_t address,
                 const std::uint8_t* data = nullptr, std::size_t size = 0);

// A colour 0x00BBGGRR as the keyboard takes it: red, green, blue, each
// channel as trunc(c / 255 x 100) percent.
std::array<std::uint8_t, 3> colourPercentages(std::uint32_t colour);

}  // namespace q350
