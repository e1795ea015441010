#include "q350config/device/macro_encoder.h"

#include <algorithm>

#include "q350config/settings/key_tables.h"

namespace q350 {

namespace {

constexpr std::uint8_t kFirstModifierUsage = 0xE0;
constexpr std::uint8_t kLastModifierUsage = 0xE7;
constexpr unsigned kDelayUnitMs = 20;
constexpr unsigned kMaxDelayUnits = 0xFFF;

// The kind of an entry is the high nibble of its flags; the low nibble holds
// the delay's bits 8..11.
bool isKeyEntry(std::uint8_t flags) {
  const auto kind = static_cast<std::uint8_t>(flags & 0xF0);
  return kind == kFlagsPress || kind == kFlagsRelease || kind == kFlagsModifierPress ||
         kind == kFlagsModifierRelease;
}

}  // namespace

bool EncodeMacro(const StoredMacro& macro, DeviceMacro& out) {
  out = DeviceMacro{};
  if (macro.size == 0) return false;
  std::uint8_t* const entries = out.bytes.data() + DeviceMacro::kHeaderSize;
  std::size_t k = 0;
  for (std::size_t e = 0; e < macro.eventCount(); ++e) {
    const std::uint32_t event = macro.events[e];
    const std::uint8_t kind = eventKind(event);
    const std::uint32_t value = eventValue(event);
    if (kind == kEventDelay) {
      // A delay takes no entry: it is the pause after the entry before it.
      // A second delay in a row replaces the first one whole; OR-ing its
      // high bits into the first one's would make a delay neither of them
      // asked for.
      if (k == 0) continue;
      std::uint8_t* entry = entries + DeviceMacro::kEntrySize * (k - 1);
      // The entry holds 12 bits of units (81,900 ms). A longer delay (the
      // editor stores up to 327,670 ms) is sent as the longest one: masking
      // it would turn 82 s into 80 ms.
      const unsigned units = std::min(value / kDelayUnitMs, kMaxDelayUnits);
      entry[0] = static_cast<std::uint8_t>(units & 0xFF);
      if (isKeyEntry(entry[1])) entry[1] = static_cast<std::uint8_t>((entry[1] & 0xF0) | ((units >> 8) & 0x0F));
      continue;
    }
    // Every other event takes an entry; the buffer ends after 84 of them.
    if (k == DeviceMacro::kMaxEntries) break;
    std::uint8_t* entry = entries + DeviceMacro::kEntrySize * k;
    if (kind == kEventPress || kind == kEventRelease) {
      const std::uint8_t usage = UsageOfKey(value);
      if (usage == 0) {
        out = DeviceMacro{};
        return false;
      }
      const bool press = kind == kEventPress;
      const bool modifier = usage >= kFirstModifierUsage && usage <= kLastModifierUsage;
      entry[0] = 0;
      entry[1] = modifier ? (press ? kFlagsModifierPress : kFlagsModifierRelease)
                          : (press ? kFlagsPress : kFlagsRelease);
      entry[2] = modifier ? static_cast<std::uint8_t>(1u << (usage - kFirstModifierUsage)) : usage;
      ++out.keys;
    }
    // An event of no known kind leaves its entry all zero.
    ++k;
  }
  out.entries = k;
  out.bytes[0] = static_cast<std::uint8_t>(out.keys & 0xFF);
  out.bytes[1] = static_cast<std::uint8_t>(out.keys >> 8);
  return true;
}

}  // namespace q350
