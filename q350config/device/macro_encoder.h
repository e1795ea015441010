// A stored macro in the keyboard's macro format.
//
//   0..1     number of key entries (presses and releases), low byte first
//   2..3     0
//   4 + 3k   entry k: delay low byte, flags, code
//
// Flags: 0xA0 press / 0x20 release of an ordinary key, 0x90 / 0x10 of a
// modifier; their low four bits carry bits 8..11 of the entry's delay.
// Code: the HID keyboard usage, for a modifier (usages 0xE0..0xE7) the bit
// 1 << (usage - 0xE0). Delays are in units of 20 ms and belong to the entry
// before them. Only the first 112 bytes (header and entries 0..35) go to
// the keyboard; the buffer holds 84 entries.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "q350config/settings/records.h"

namespace q350 {

struct DeviceMacro {
  static constexpr std::size_t kBufferSize = 256;
  static constexpr std::size_t kHeaderSize = 4;
  static constexpr std::size_t kEntrySize = 3;
  static constexpr std::size_t kMaxEntries = (kBufferSize - kHeaderSize) / kEntrySize;
  static constexpr std::size_t kSentSize = 112;
  static_assert(kMaxEntries == 84);
  static_assert(kSentSize == 2 * 56);

  std::array<std::uint8_t, kBufferSize> bytes{};
  std::size_t entries = 0;  // entries taken, including the empty ones of unknown events
  std::size_t keys = 0;     // presses and releases (the header's count)
};

enum MacroEntryFlags : std::uint8_t {
  kFlagsPress = 0xA0,
  kFlagsRelease = 0x20,
  kFlagsModifierPress = 0x90,
  kFlagsModifierRelease = 0x10,
};

// Encodes `macro` into `out`. False, with `out` cleared, when the record is
// empty (size 0) or an event names a virtual key the keyboard has no usage
// for: such a macro cannot be sent. Events past the 84th entry are dropped.
bool EncodeMacro(const StoredMacro& macro, DeviceMacro& out);

}  // namespace q350
