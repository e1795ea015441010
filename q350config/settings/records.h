// The settings records of Q350Config and their byte images.
//
// Every record here is also a file or registry format: a profile file is
// ProfileSettings followed by KeyExtra, "Macro.cfg" is 500 StoredMacros, the
// registry value "ConfigInfo" is five ProfileEntry records. The in-memory
// structs are ordinary C++ and are turned into bytes explicitly
// (little-endian, offsets below), so the formats stay exact on any compiler.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace q350 {

constexpr std::size_t kKeyCount = 120;  // entries of the key matrix
constexpr std::size_t kZoneCount = 7;   // lighting zones
constexpr std::size_t kProfileCount = 5;
constexpr std::uint32_t kProfileSignature = 0x80800500;  // bytes 00 05 80 80

// Live key table: one 32-bit entry per key-matrix index. Byte 0 is the kind.
using KeyMap = std::array<std::uint32_t, kKeyCount>;

// Kinds of a key-table entry (byte 0).
enum KeyKind : std::uint8_t {
  kKindDisabled = 0x00,
  kKindKey = 0x01,       // byte 1 modifier mask, byte 2 HID keyboard usage
  kKindConsumer = 0x03,  // bytes 1..2 consumer usage, low byte first
  kKindFn = 0x04,
  kKindMacro = 0x05,  // macro id in the first word of the key's KeyExtra slot
  kKindOwn = 0x06,    // byte 1: 0..11 F1..F12, 12 Win
};

inline std::uint8_t entryKind(std::uint32_t entry) { return static_cast<std::uint8_t>(entry); }

// Colours are 0x00BBGGRR (red in the low byte).
constexpr std::uint32_t rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return static_cast<std::uint32_t>(r) | static_cast<std::uint32_t>(g) << 8 | static_cast<std::uint32_t>(b) << 16;
}

// The settings of the profile in use; the first block of a profile file.
struct ProfileSettings {
  static constexpr std::size_t kSignatureOffset = 0;
  static constexpr std::size_t kKeyMapOffset = 4;
  static constexpr std::size_t kZoneColourOffset = 484;
  static constexpr std::size_t kCommonColourOffset = 512;
  static constexpr std::size_t kLightingModeOffset = 516;
  static constexpr std::size_t kEffectSpeedOffset = 520;
  static constexpr std::size_t kBrightnessOffset = 524;
  static constexpr std::size_t kLightingSwitchOffset = 528;
  static constexpr std::size_t kAllZonesOffset = 532;
  static constexpr std::size_t kSize = 536;
  static_assert(kKeyMapOffset + 4 * kKeyCount == kZoneColourOffset);
  static_assert(kZoneColourOffset + 4 * kZoneCount == kCommonColourOffset);
  static_assert(kAllZonesOffset + 4 == kSize);

  std::uint32_t signature = 0;
  KeyMap keyMap{};  // the file copy of the live KeyMap
  std::array<std::uint32_t, kZoneCount> zoneColour{};
  std::uint32_t commonColour = 0;
  std::uint32_t lightingMode = 0;
  std::uint32_t effectSpeed = 0;     // 0..5
  std::uint32_t brightness = 0;      // 0..5, 0 = off
  std::uint32_t lightingSwitch = 0;  // 0 or 255
  std::uint32_t allZones = 0;        // 1 = one colour for all zones

  // Factory lighting; the key map and signature are left alone.
  void setFactoryLighting();

  void store(unsigned char* out) const;  // kSize bytes
  static ProfileSettings load(const unsigned char* in);
};

// Per-key extra data: 120 slots of 520 bytes. The first word of a macro key's
// slot is the id of its macro; the key assignment page may keep a short
// UTF-16 text in a slot of another key. Kept as raw bytes so that a loaded
// profile is saved again byte for byte.
class KeyExtra {
 public:
  static constexpr std::size_t kSlotSize = 520;
  static constexpr std::size_t kSize = kSlotSize * kKeyCount;
  static_assert(kSize == 62400);

  KeyExtra() : bytes_(kSize, 0) {}

  // The first 32-bit value of slot i (0 for an index out of range).
  std::uint32_t macroId(std::size_t i) const;
  void setMacroId(std::size_t i, std::uint32_t id);
  // Writes text as a zero-terminated UTF-16 string at the start of slot i,
  // cut to 259 units; the bytes after the terminator keep what they held.
  void setText(std::size_t i, std::u16string_view text);
  // True when any slot's first word is id.
  bool usesMacro(std::uint32_t id) const;
  // Clears the first word of every slot (restoring the factory settings).
  void clearMacroIds();
  void clear() { bytes_.assign(kSize, 0); }

  const unsigned char* data() const { return bytes_.data(); }
  unsigned char* data() { return bytes_.data(); }
  bool operator==(const KeyExtra& o) const { return bytes_ == o.bytes_; }

 private:
  std::vector<unsigned char> bytes_;
};

// Event words of a stored macro: kind in bits 24..31, value in bits 0..23.
enum MacroEventKind : std::uint8_t {
  kEventDelay = 0xA0,    // value: milliseconds
  kEventPress = 0xC0,    // value: Windows virtual-key code
  kEventRelease = 0xE0,  // value: Windows virtual-key code
};
inline std::uint8_t eventKind(std::uint32_t event) { return static_cast<std::uint8_t>(event >> 24); }
inline std::uint32_t eventValue(std::uint32_t event) { return event & 0xFFFFFF; }
inline std::uint32_t makeEvent(std::uint8_t kind, std::uint32_t value) {
  return static_cast<std::uint32_t>(kind) << 24 | (value & 0xFFFFFF);
}

constexpr std::uint32_t kMacroTag = 0xE8E80010;       // as the macro editor writes it
constexpr std::uint32_t kRepeatToggle = 0xFFFE;       // repeat mode 2 of the macro page
constexpr std::uint32_t kRepeatWhilePressed = 0xFFFF; // repeat mode 3 of the macro page
inline bool hasMacroTag(std::uint32_t tag) { return (tag >> 16) == 0xE8E8; }

// One macro of the library.
struct StoredMacro {
  static constexpr std::size_t kMaxEvents = 1000;
  static constexpr std::size_t kNameUnits = 40;
  static constexpr std::size_t kSizeOffset = 0;
  static constexpr std::size_t kTagOffset = 4;
  static constexpr std::size_t kIdOffset = 8;
  static constexpr std::size_t kReservedOffset = 12;
  static constexpr std::size_t kRepeatOffset = 16;
  static constexpr std::size_t kCountOffset = 20;
  static constexpr std::size_t kEventsOffset = 24;
  static constexpr std::size_t kNameOffset = 4024;
  static constexpr std::size_t kSize = 4104;
  static_assert(kEventsOffset + 4 * kMaxEvents == kNameOffset);
  static_assert(kNameOffset + 2 * kNameUnits == kSize);

  std::uint32_t size = 0;  // 0 = no macro (the full write skips it)
  std::uint32_t tag = 0;   // 0 in a free record
  std::uint32_t id = 0;    // top byte: game category
  std::uint32_t reserved = 0;
  std::uint32_t repeat = 0;  // 1..255, kRepeatToggle or kRepeatWhilePressed
  std::uint32_t count = 0;   // as stored; may be garbage in a damaged file
  std::array<std::uint32_t, kMaxEvents> events{};
  std::array<char16_t, kNameUnits> name{};

  // The number of events a reader may walk: count, bounded by the array.
  std::size_t eventCount() const { return count < kMaxEvents ? count : kMaxEvents; }
  // The name up to its terminator (all 40 units when there is none).
  std::u16string nameText() const;
  // Whether the macro page lists this record.
  bool isListed() const { return size > 107 || hasMacroTag(tag); }
  std::uint32_t category() const { return id >> 24; }

  void store(unsigned char* out) const;  // kSize bytes
  static StoredMacro load(const unsigned char* in);
};

// The block in which the macro editor hands a macro to the library, and the
// layout of the copies kept under the registry's macro key:
// 104 header bytes, then 4 bytes per event.
struct MacroImage {
  static constexpr std::size_t kSizeOffset = 0;
  static constexpr std::size_t kTagOffset = 4;
  static constexpr std::size_t kIdOffset = 8;
  static constexpr std::size_t kReservedOffset = 12;
  static constexpr std::size_t kRepeatOffset = 16;
  static constexpr std::size_t kNameOffset = 20;
  static constexpr std::size_t kCountOffset = 100;
  static constexpr std::size_t kHeaderSize = 104;
  static_assert(kNameOffset + 2 * StoredMacro::kNameUnits == kCountOffset);
  static_assert(kCountOffset + 4 == kHeaderSize);

  std::uint32_t size = 0;  // 104 + 4 x list items (leading delays included)
  std::uint32_t tag = kMacroTag;
  std::uint32_t id = 0;
  std::uint32_t reserved = 0;
  std::uint32_t repeat = 1;
  std::array<char16_t, StoredMacro::kNameUnits> name{};
  std::vector<std::uint32_t> events;

  // Sets the name, cut to 39 units so that it stays zero-terminated.
  void setName(std::u16string_view text);
  std::string toBytes() const;
  // False when the bytes are shorter than the header or than the events
  // their count announces, or announce more events than a StoredMacro holds.
  static bool fromBytes(std::string_view bytes, MacroImage& out);
};

// One entry of the profile table (registry value "ConfigInfo").
struct ProfileEntry {
  static constexpr std::uint32_t kMagic = 0xBEBE;
  static constexpr std::size_t kTextUnits = 260;
  static constexpr std::size_t kMagicOffset = 0;
  static constexpr std::size_t kActiveOffset = 4;
  static constexpr std::size_t kReservedOffset = 8;
  static constexpr std::size_t kNameOffset = 12;
  static constexpr std::size_t kPathOffset = 532;
  static constexpr std::size_t kTailOffset = 1052;
  static constexpr std::size_t kTailSize = 688;
  static constexpr std::size_t kSize = 1740;
  static_assert(kNameOffset + 2 * kTextUnits == kPathOffset);
  static_assert(kPathOffset + 2 * kTextUnits == kTailOffset);
  static_assert(kTailOffset + kTailSize == kSize);

  std::uint32_t magic = 0;
  std::uint32_t active = 0;
  std::uint32_t reserved = 0;  // kept as read
  std::array<char16_t, kTextUnits> name{};
  std::array<char16_t, kTextUnits> path{};
  std::array<unsigned char, kTailSize> tail{};  // kept as read

  std::u16string nameText() const;
  std::u16string pathText() const;
  // Both cut to 259 units so that they stay zero-terminated; the units after
  // the terminator are cleared.
  void setName(std::u16string_view text);
  void setPath(std::u16string_view text);

  void store(unsigned char* out) const;  // kSize bytes
  static ProfileEntry load(const unsigned char* in);
};

// The five profile entries as one registry value.
struct ProfileTable {
  static constexpr std::size_t kSize = ProfileEntry::kSize * kProfileCount;
  static_assert(kSize == 8700);

  std::array<ProfileEntry, kProfileCount> entries{};

  void clear() { entries = {}; }
  std::string toBytes() const;
  // Takes up to kSize bytes; what the bytes do not cover stays zero.
  static ProfileTable fromBytes(std::string_view bytes);
};

// Sizes of the files.
constexpr std::size_t kProfileFileSize = ProfileSettings::kSize + KeyExtra::kSize;
constexpr std::size_t kExportFileSize = kProfileFileSize + ProfileEntry::kSize;
static_assert(kProfileFileSize == 62936);
static_assert(kExportFileSize == 64676);

// A profile as its file holds it: ProfileSettings, then KeyExtra.
struct ProfileImage {
  ProfileSettings settings;
  KeyExtra extra;

  std::string toBytes() const;  // kProfileFileSize bytes
  // Reads what the bytes supply of the 62,936; the rest stays zero.
  static ProfileImage fromBytes(std::string_view bytes);
};

}  // namespace q350
