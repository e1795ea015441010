// Profiles: the record of everything Lumera writes to the keyboard for one
// use case (its 14756-byte image is the stored format), profile creation and
// reset, and the two files "pro.dct" (40 slots) and "curid.dct".
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lumera/model/config.h"
#include "lumera/model/records.h"
#include "lumera/model/services.h"

namespace lumera {

constexpr std::uint32_t kProfileMagic = 0xFCFB7795;
constexpr std::size_t kProfileNameUnits = 20;    // 19 characters and the terminator
constexpr std::size_t kProgramNameUnits = 260;
constexpr int kLedModeCount = 17;                // lighting effect indices 0..16
constexpr std::size_t kLedModeSettingSize = 13 * 4;
constexpr std::size_t kProfileRecordSize = 612 + kKeyCount * kKeyInfoSize + 4 + 4 + kLedModeCount * kLedModeSettingSize +
                                           2 + 5 + 1 + kColourGroups * kKeyCount * 4 + 20 + 20 +
                                           kGestureCount * kKeyInfoSize;
static_assert(kLedModeSettingSize == 52, "LedModeSetting image is 52 bytes");
static_assert(kProfileRecordSize == 14756, "ProfileRecord image is 14756 bytes");
constexpr int kProfileSlots = 40;
constexpr std::size_t kProfileFileSize = kProfileSlots * kProfileRecordSize;  // "pro.dct"

// The settings of one lighting effect.
struct LedModeSetting {
  std::uint32_t level1 = 0;       // 1..5
  std::uint32_t level2 = 0;       // 1..5
  std::uint32_t direction = 0;    // set by the lighting page; not sent
  std::uint32_t colourIndex = 0;  // which of the colours is chosen, 0..6
  std::array<Colour, kPaletteSize> colours{};
  std::uint32_t colourful = 0;    // all colours cycle
  std::uint32_t high = 0;         // 0x80 on the colour byte
};

struct ProfileRecord {
  std::uint32_t magic = kProfileMagic;
  std::int32_t id = 0;  // 0 marks an empty record
  std::array<char16_t, kProgramNameUnits> programName{};
  std::array<char16_t, kProfileNameUnits> name{};
  std::array<std::uint8_t, 44> reserved{};
  std::array<KeyInfo, kKeyCount> keys{};
  std::int32_t effectIndex = 0;        // lighting effect in use
  std::uint32_t lightingSwitch = 0;    // the lighting page's switch
  std::array<LedModeSetting, kLedModeCount> effects{};
  std::uint16_t colourGroup = 0;       // current colour group
  std::array<std::uint8_t, kColourGroups> groupTouched{};
  std::uint8_t reserved2 = 0;
  std::array<std::array<Colour, kKeyCount>, kColourGroups> groupColours{};  // by key matrix index
  std::array<Colour, kColourGroups> colourA{};
  std::array<Colour, kColourGroups> colourB{};
  std::array<KeyInfo, kGestureCount> gestures{};
};

using ProfileList = std::vector<ProfileRecord>;

void writeProfileRecord(std::uint8_t* out, const ProfileRecord& p);
ProfileRecord readProfileRecord(const std::uint8_t* in);

std::u16string profileName(const ProfileRecord& p);
std::u16string profileProgramName(const ProfileRecord& p);
void setProfileName(ProfileRecord& p, std::u16string_view name);  // cut to 19 characters
void setProfileProgramName(ProfileRecord& p, std::u16string_view name);

// A new profile: a fresh id from the local time, the defaults of `config`
// and the name (cut to 19 characters).
ProfileRecord NewProfile(std::u16string_view name, const LumeraConfig& config, const Clock& clock = systemClock());
// Back to the defaults of `config`, keeping magic, id and name.
void ResetProfile(ProfileRecord& profile, const LumeraConfig& config);

// Brings the stored values that index tables back into their tables: an
// effect index outside 0..16, a colour group outside 0..4 or a colour index
// outside 0..6 becomes 0. True when something was changed.
bool SanitiseProfile(ProfileRecord& profile);

// Reads "pro.dct" from `folder`: every slot whose id is not 0, in slot order
// (`slots`, when given, receives each one's slot number). A short file reads
// as empty slots after its end. Every record read is sanitised
// (SanitiseProfile). False (and an empty list) when the file cannot be read.
bool LoadProfiles(const std::string& folder, ProfileList& out, std::vector<int>* slots = nullptr);
// Writes "pro.dct" whole or not at all: the records whose id is not 0, in
// list order, at most 40, the other slots zero.
bool SaveProfiles(const std::string& folder, const ProfileList& profiles);
// Writes the id of `current` to "curid.dct"; false (nothing written) without one.
bool SaveCurrentId(const std::string& folder, const ProfileRecord* current);
// The id "curid.dct" holds, or 0 when it cannot be read.
std::int32_t LoadCurrentId(const std::string& folder);

}  // namespace lumera
