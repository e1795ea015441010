// Key names and code tables of Q350Config: the macro editor's key names, the
// display names of keys and key assignments, the virtual-key <-> HID usage
// table the macro encoder and the key setting dialog share, the factory key
// table and the key assignment page's key list.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "q350config/settings/records.h"

namespace q350 {

class MacroLibrary;
class TextLookup;

// ---- Virtual-key <-> HID keyboard usage ----

struct UsageKeyPair {
  std::uint8_t usage;       // HID keyboard usage (0xF0..0xF2: mouse buttons)
  std::uint8_t virtualKey;  // Windows virtual-key code
};
constexpr std::size_t kUsagePairCount = 107;
// The pairs in search order. 0x0D appears twice (Enter and numeric Enter);
// a search by virtual key always stops at Enter (usage 0x28).
const std::array<UsageKeyPair, kUsagePairCount>& VirtualKeyUsageTable();

// Usage of a virtual key: the first pair with that key; 0 if none.
std::uint8_t UsageOfKey(std::uint32_t virtualKey);
// Virtual key of a usage: the first pair with that usage; 0 if none.
std::uint8_t KeyOfUsage(std::uint32_t usage);

// ---- Names ----

// The macro editor's name of the key in the value's low byte; empty for a
// code it does not list (Print Screen among them).
std::u16string MacroKeyName(std::uint32_t value);

// The display name of a virtual key. Keys without a fixed name show the
// character the keyboard layout gives for them, upper-cased.
std::u16string KeyDisplayName(std::uint32_t virtualKey);

// The character the current keyboard layout gives for a virtual key with no
// modifier held, or 0 when it gives none. The default is the US layout; the
// program may install one that asks the desktop's layout.
using LayoutCharFunction = char16_t (*)(std::uint32_t virtualKey);
void setLayoutCharFunction(LayoutCharFunction function);  // nullptr: US layout

// The name of a key-table entry. macroId is the first word of the key's
// KeyExtra slot (used by macro entries); texts gives the language texts of
// the consumer functions (nullptr: those names are empty).
std::u16string AssignmentName(std::uint32_t entry, std::uint32_t macroId, const MacroLibrary& library,
                              const TextLookup* texts);

// ---- Factory key table ----

// The factory entry of every key-matrix index.
KeyMap DefaultKeyMap();

// ---- Key list of the key assignment page ----

struct KeyListEntry {
  std::uint32_t matrixIndex;
  int left, top, right, bottom;  // in page pixels
};
constexpr std::size_t kKeyListSize = 113;
constexpr std::size_t kVisibleKeys = 104;
// The keys in the page's order, which is also the order in which the full
// write visits them. Entries 104..112 are all zero (matrix index 0, empty
// rectangle): invisible buttons that still count as visits of key 0.
const std::array<KeyListEntry, kKeyListSize>& KeyList();

}  // namespace q350
