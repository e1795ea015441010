#include "lumera/model/profile.h"

#include <algorithm>
#include <cerrno>

#include "lumera/model/bytes.h"
#include "lumera/model/lighting.h"
#include "lumera/model/log.h"
#include "lumera/model/macro.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace lumera {

namespace {

constexpr std::size_t kProgramNameOffset = 8, kNameOffset = 528, kReservedOffset = 568, kKeysOffset = 612;
constexpr std::size_t kEffectIndexOffset = kKeysOffset + kKeyCount * kKeyInfoSize;  // 10644
constexpr std::size_t kSwitchOffset = kEffectIndexOffset + 4;
constexpr std::size_t kLedModesOffset = kSwitchOffset + 4;                                    // 10652
constexpr std::size_t kGroupOffset = kLedModesOffset + kLedModeCount * kLedModeSettingSize;  // 11536
constexpr std::size_t kTouchedOffset = kGroupOffset + 2;
constexpr std::size_t kReserved2Offset = kTouchedOffset + kColourGroups;
constexpr std::size_t kColoursOffset = kReserved2Offset + 1;                           // 11544
constexpr std::size_t kColourAOffset = kColoursOffset + kColourGroups * kKeyCount * 4;  // 14184
constexpr std::size_t kColourBOffset = kColourAOffset + kColourGroups * 4;
constexpr std::size_t kGesturesOffset = kColourBOffset + kColourGroups * 4;  // 14224
static_assert(kEffectIndexOffset == 10644 && kLedModesOffset == 10652 && kGroupOffset == 11536 &&
                  kColoursOffset == 11544 && kColourAOffset == 14184 && kGesturesOffset == 14224 &&
                  kGesturesOffset + kGestureCount * kKeyInfoSize == kProfileRecordSize,
              "ProfileRecord offsets");

void writeLedMode(std::uint8_t* out, const LedModeSetting& s) {
  putU32(out, s.level1);
  putU32(out + 4, s.level2);
  putU32(out + 8, s.direction);
  putU32(out + 12, s.colourIndex);
  for (std::size_t i = 0; i < s.colours.size(); ++i) putU32(out + 16 + 4 * i, s.colours[i]);
  putU32(out + 44, s.colourful);
  putU32(out + 48, s.high);
}

LedModeSetting readLedMode(const std::uint8_t* in) {
  LedModeSetting s;
  s.level1 = getU32(in);
  s.level2 = getU32(in + 4);
  s.direction = getU32(in + 8);
  s.colourIndex = getU32(in + 12);
  for (std::size_t i = 0; i < s.colours.size(); ++i) s.colours[i] = getU32(in + 16 + 4 * i);
  s.colourful = getU32(in + 44);
  s.high = getU32(in + 48);
  return s;
}

template <std::size_t N>
void setText(std::array<char16_t, N>& field, std::u16string_view text) {
  field.fill(0);
  std::copy_n(text.begin(), std::min(text.size(), N - 1), field.begin());
}

template <std::size_t N>
std::u16string getText(const std::array<char16_t, N>& field) {
  return std::u16string(field.data(), platform::boundedLength(field.data(), N));
}

std::string pathIn(const std::string& folder, const char* name) {
  return platform::findFileNoCase(folder, name);
}

}  // namespace

void writeProfileRecord(std::uint8_t* out, const ProfileRecord& p) {
  putU32(out, p.magic);
  putI32(out + 4, p.id);
  putText16(out + kProgramNameOffset, p.programName.data(), p.programName.size());
  putText16(out + kNameOffset, p.name.data(), p.name.size());
  std::copy(p.reserved.begin(), p.reserved.end(), out + kReservedOffset);
  for (std::size_t k = 0; k < p.keys.size(); ++k) writeKeyInfo(out + kKeysOffset + k * kKeyInfoSize, p.keys[k]);
  putI32(out + kEffectIndexOffset, p.effectIndex);
  putU32(out + kSwitchOffset, p.lightingSwitch);
  for (std::size_t m = 0; m < p.effects.size(); ++m)
    writeLedMode(out + kLedModesOffset + m * kLedModeSettingSize, p.effects[m]);
  putU16(out + kGroupOffset, p.colourGroup);
  std::copy(p.groupTouched.begin(), p.groupTouched.end(), out + kTouchedOffset);
  out[kReserved2Offset] = p.reserved2;
  for (std::size_t g = 0; g < p.groupColours.size(); ++g)
    for (std::size_t k = 0; k < kKeyCount; ++k) putU32(out + kColoursOffset + (g * kKeyCount + k) * 4, p.groupColours[g][k]);
  for (std::size_t g = 0; g < kColourGroups; ++g) {
    putU32(out + kColourAOffset + 4 * g, p.colourA[g]);
    putU32(out + kColourBOffset + 4 * g, p.colourB[g]);
  }
  for (std::size_t i = 0; i < p.gestures.size(); ++i)
    writeKeyInfo(out + kGesturesOffset + i * kKeyInfoSize, p.gestures[i]);
}

ProfileRecord readProfileRecord(const std::uint8_t* in) {
  ProfileRecord p;
  p.magic = getU32(in);
  p.id = getI32(in + 4);
  getText16(in + kProgramNameOffset, p.programName.data(), p.programName.size());
  getText16(in + kNameOffset, p.name.data(), p.name.size());
  std::copy_n(in + kReservedOffset, p.reserved.size(), p.reserved.begin());
  for (std::size_t k = 0; k < p.keys.size(); ++k) p.keys[k] = readKeyInfo(in + kKeysOffset + k * kKeyInfoSize);
  p.effectIndex = getI32(in + kEffectIndexOffset);
  p.lightingSwitch = getU32(in + kSwitchOffset);
  for (std::size_t m = 0; m < p.effects.size(); ++m)
    p.effects[m] = readLedMode(in + kLedModesOffset + m * kLedModeSettingSize);
  p.colourGroup = getU16(in + kGroupOffset);
  std::copy_n(in + kTouchedOffset, p.groupTouched.size(), p.groupTouched.begin());
  p.reserved2 = in[kReserved2Offset];
  for (std::size_t g = 0; g < p.groupColours.size(); ++g)
    for (std::size_t k = 0; k < kKeyCount; ++k) p.groupColours[g][k] = getU32(in + kColoursOffset + (g * kKeyCount + k) * 4);
  for (std::size_t g = 0; g < kColourGroups; ++g) {
    p.colourA[g] = getU32(in + kColourAOffset + 4 * g);
    p.colourB[g] = getU32(in + kColourBOffset + 4 * g);
  }
  for (std::size_t i = 0; i < p.gestures.size(); ++i)
    p.gestures[i] = readKeyInfo(in + kGesturesOffset + i * kKeyInfoSize);
  return p;
}

std::u16string profileName(const ProfileRecord& p) { return getText(p.name); }
std::u16string profileProgramName(const ProfileRecord& p) { return getText(p.programName); }
void setProfileName(ProfileRecord& p, std::u16string_view name) { setText(p.name, name); }
void setProfileProgramName(ProfileRecord& p, std::u16string_view name) { setText(p.programName, name); }

ProfileRecord NewProfile(std::u16string_view name, const LumeraConfig& config, const Clock& clock) {
  ProfileRecord p;
  p.id = MakeMacroId(clock);
  ResetProfile(p, config);
  setProfileName(p, name);
  return p;
}

void ResetProfile(ProfileRecord& profile, const LumeraConfig& config) {
  profile.programName.fill(0);
  profile.reserved.fill(0);
  profile.keys = config.keyLayout();
  ResetLighting(profile, config);
}

bool SanitiseProfile(ProfileRecord& p) {
  bool changed = false;
  if (p.effectIndex < 0 || p.effectIndex >= kLedModeCount) {
    p.effectIndex = 0;
    changed = true;
  }
  if (p.colourGroup >= kColourGroups) {
    p.colourGroup = 0;
    changed = true;
  }
  for (LedModeSetting& s : p.effects) {
    if (s.colourIndex >= kPaletteSize) {
      s.colourIndex = 0;
      changed = true;
    }
  }
  return changed;
}

bool LoadProfiles(const std::string& folder, ProfileList& out, std::vector<int>* slots) {
  out.clear();
  if (slots) slots->clear();
  std::string bytes;
  if (!platform::readFile(pathIn(folder, "pro.dct"), bytes, kProfileFileSize)) {
    Log("Open pro file err=%d", errno);
    return false;
  }
  // A short file: the slots after its end are empty (a cut slot reads as
  // zero from where the file ends).
  bytes.resize(kProfileFileSize, '\0');
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  for (int s = 0; s < kProfileSlots; ++s) {
    const std::uint8_t* slot = data + static_cast<std::size_t>(s) * kProfileRecordSize;
    if (getI32(slot + 4) == 0) continue;
    out.push_back(readProfileRecord(slot));
    SanitiseProfile(out.back());
    if (slots) slots->push_back(s);
  }
  return true;
}

bool SaveProfiles(const std::string& folder, const ProfileList& profiles) {
  std::vector<std::uint8_t> buffer(kProfileFileSize, 0);
  std::size_t used = 0;
  for (const ProfileRecord& p : profiles) {
    if (p.id == 0) continue;
    if (used == static_cast<std::size_t>(kProfileSlots)) break;
    writeProfileRecord(buffer.data() + used++ * kProfileRecordSize, p);
  }
  const std::string bytes(buffer.begin(), buffer.end());
  platform::WriteStep failed = platform::WriteStep::None;
  if (!platform::writeFileAtomic(pathIn(folder, "pro.dct"), bytes, &failed)) {
    const int err = errno;
    if (failed == platform::WriteStep::Create)
      Log("Save pro: CreateFile err=%d", err);
    else
      Log("Save pro: WriteFile err=%d", err);
    return false;
  }
  return true;
}

bool SaveCurrentId(const std::string& folder, const ProfileRecord* current) {
  if (!current) return false;
  std::uint8_t bytes[4];
  putI32(bytes, current->id);
  return platform::writeFileAtomic(pathIn(folder, "curid.dct"),
                                   std::string_view(reinterpret_cast<const char*>(bytes), sizeof bytes));
}

std::int32_t LoadCurrentId(const std::string& folder) {
  std::string bytes;
  if (!platform::readFile(pathIn(folder, "curid.dct"), bytes, 4) || bytes.size() < 4) return 0;
  return getI32(reinterpret_cast<const std::uint8_t*>(bytes.data()));
}

}  // namespace lumera
