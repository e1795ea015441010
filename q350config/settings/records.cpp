#include "q350config/settings/records.h"

#include <algorithm>
#include <cstring>

#include "q350config/settings/byteorder.h"

namespace q350 {

namespace {

// Text of a fixed UTF-16 field up to its terminator.
template <std::size_t N>
std::u16string fieldText(const std::array<char16_t, N>& field) {
  std::size_t n = 0;
  while (n < N && field[n] != 0) ++n;
  return std::u16string(field.data(), n);
}

// Copies text into a fixed field, leaving room for the terminator and
// clearing the rest.
template <std::size_t N>
void setFieldText(std::array<char16_t, N>& field, std::u16string_view text) {
  field.fill(0);
  const std::size_t n = std::min(text.size(), N - 1);
  std::copy_n(text.begin(), n, field.begin());
}

}  // namespace

// ---- ProfileSettings ----

void ProfileSettings::setFactoryLighting() {
  zoneColour = {rgb(8, 172, 149), rgb(255, 0, 0),     rgb(0, 255, 0),   rgb(255, 255, 0),
                rgb(255, 255, 255), rgb(0, 0, 255), rgb(252, 168, 66)};
  commonColour = rgb(255, 0, 0);
  lightingMode = 1;
  effectSpeed = 3;
  brightness = 3;
  lightingSwitch = 0;
  allZones = 0;
}

void ProfileSettings::store(unsigned char* out) const {
  putLe32(out + kSignatureOffset, signature);
  putLe32Array(out + kKeyMapOffset, keyMap);
  putLe32Array(out + kZoneColourOffset, zoneColour);
  putLe32(out + kCommonColourOffset, commonColour);
  putLe32(out + kLightingModeOffset, lightingMode);
  putLe32(out + kEffectSpeedOffset, effectSpeed);
  putLe32(out + kBrightnessOffset, brightness);
  putLe32(out + kLightingSwitchOffset, lightingSwitch);
  putLe32(out + kAllZonesOffset, allZones);
}

ProfileSettings ProfileSettings::load(const unsigned char* in) {
  ProfileSettings s;
  s.signature = getLe32(in + kSignatureOffset);
  getLe32Array(in + kKeyMapOffset, s.keyMap);
  getLe32Array(in + kZoneColourOffset, s.zoneColour);
  s.commonColour = getLe32(in + kCommonColourOffset);
  s.lightingMode = getLe32(in + kLightingModeOffset);
  s.effectSpeed = getLe32(in + kEffectSpeedOffset);
  s.brightness = getLe32(in + kBrightnessOffset);
  s.lightingSwitch = getLe32(in + kLightingSwitchOffset);
  s.allZones = getLe32(in + kAllZonesOffset);
  return s;
}

// ---- KeyExtra ----

std::uint32_t KeyExtra::macroId(std::size_t i) const {
  return i < kKeyCount ? getLe32(bytes_.data() + i * kSlotSize) : 0;
}

void KeyExtra::setMacroId(std::size_t i, std::uint32_t id) {
  if (i < kKeyCount) putLe32(bytes_.data() + i * kSlotSize, id);
}

void KeyExtra::setText(std::size_t i, std::u16string_view text) {
  if (i >= kKeyCount) return;
  unsigned char* slot = bytes_.data() + i * kSlotSize;
  const std::size_t n = std::min(text.size(), kSlotSize / 2 - 1);
  for (std::size_t k = 0; k < n; ++k) putLe16(slot + 2 * k, text[k]);
  putLe16(slot + 2 * n, 0);
}

bool KeyExtra::usesMacro(std::uint32_t id) const {
  for (std::size_t i = 0; i < kKeyCount; ++i)
    if (macroId(i) == id) return true;
  return false;
}

void KeyExtra::clearMacroIds() {
  for (std::size_t i = 0; i < kKeyCount; ++i) setMacroId(i, 0);
}

// ---- StoredMacro ----

std::u16string StoredMacro::nameText() const { return fieldText(name); }

void StoredMacro::store(unsigned char* out) const {
  putLe32(out + kSizeOffset, size);
  putLe32(out + kTagOffset, tag);
  putLe32(out + kIdOffset, id);
  putLe32(out + kReservedOffset, reserved);
  putLe32(out + kRepeatOffset, repeat);
  putLe32(out + kCountOffset, count);
  putLe32Array(out + kEventsOffset, events);
  putLe16Array(out + kNameOffset, name);
}

StoredMacro StoredMacro::load(const unsigned char* in) {
  StoredMacro m;
  m.size = getLe32(in + kSizeOffset);
  m.tag = getLe32(in + kTagOffset);
  m.id = getLe32(in + kIdOffset);
  m.reserved = getLe32(in + kReservedOffset);
  m.repeat = getLe32(in + kRepeatOffset);
  m.count = getLe32(in + kCountOffset);
  getLe32Array(in + kEventsOffset, m.events);
  getLe16Array(in + kNameOffset, m.name);
  return m;
}

// ---- MacroImage ----

void MacroImage::setName(std::u16string_view text) { setFieldText(name, text); }

std::string MacroImage::toBytes() const {
  std::string bytes(kHeaderSize + 4 * events.size(), '\0');
  auto* p = reinterpret_cast<unsigned char*>(bytes.data());
  putLe32(p + kSizeOffset, size);
  putLe32(p + kTagOffset, tag);
  putLe32(p + kIdOffset, id);
  putLe32(p + kReservedOffset, reserved);
  putLe32(p + kRepeatOffset, repeat);
  putLe16Array(p + kNameOffset, name);
  putLe32(p + kCountOffset, static_cast<std::uint32_t>(events.size()));
  for (std::size_t i = 0; i < events.size(); ++i) putLe32(p + kHeaderSize + 4 * i, events[i]);
  return bytes;
}

bool MacroImage::fromBytes(std::string_view bytes, MacroImage& out) {
  if (bytes.size() < kHeaderSize) return false;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::uint32_t count = getLe32(p + kCountOffset);
  if (count > StoredMacro::kMaxEvents || bytes.size() < kHeaderSize + 4 * static_cast<std::size_t>(count))
    return false;
  MacroImage m;
  m.size = getLe32(p + kSizeOffset);
  m.tag = getLe32(p + kTagOffset);
  m.id = getLe32(p + kIdOffset);
  m.reserved = getLe32(p + kReservedOffset);
  m.repeat = getLe32(p + kRepeatOffset);
  getLe16Array(p + kNameOffset, m.name);
  m.events.resize(count);
  for (std::size_t i = 0; i < count; ++i) m.events[i] = getLe32(p + kHeaderSize + 4 * i);
  out = std::move(m);
  return true;
}

// ---- ProfileEntry / ProfileTable ----

std::u16string ProfileEntry::nameText() const { return fieldText(name); }
std::u16string ProfileEntry::pathText() const { return fieldText(path); }
void ProfileEntry::setName(std::u16string_view text) { setFieldText(name, text); }
void ProfileEntry::setPath(std::u16string_view text) { setFieldText(path, text); }

void ProfileEntry::store(unsigned char* out) const {
  putLe32(out + kMagicOffset, magic);
  putLe32(out + kActiveOffset, active);
  putLe32(out + kReservedOffset, reserved);
  putLe16Array(out + kNameOffset, name);
  putLe16Array(out + kPathOffset, path);
  std::memcpy(out + kTailOffset, tail.data(), kTailSize);
}

ProfileEntry ProfileEntry::load(const unsigned char* in) {
  ProfileEntry e;
  e.magic = getLe32(in + kMagicOffset);
  e.active = getLe32(in + kActiveOffset);
  e.reserved = getLe32(in + kReservedOffset);
  getLe16Array(in + kNameOffset, e.name);
  getLe16Array(in + kPathOffset, e.path);
  std::memcpy(e.tail.data(), in + kTailOffset, kTailSize);
  return e;
}

std::string ProfileTable::toBytes() const {
  std::string bytes(kSize, '\0');
  auto* p = reinterpret_cast<unsigned char*>(bytes.data());
  for (std::size_t i = 0; i < kProfileCount; ++i) entries[i].store(p + i * ProfileEntry::kSize);
  return bytes;
}

ProfileTable ProfileTable::fromBytes(std::string_view bytes) {
  std::string padded(bytes.substr(0, kSize));
  padded.resize(kSize, '\0');
  const auto* p = reinterpret_cast<const unsigned char*>(padded.data());
  ProfileTable t;
  for (std::size_t i = 0; i < kProfileCount; ++i) t.entries[i] = ProfileEntry::load(p + i * ProfileEntry::kSize);
  return t;
}

// ---- ProfileImage ----

std::string ProfileImage::toBytes() const {
  std::string bytes(kProfileFileSize, '\0');
  auto* p = reinterpret_cast<unsigned char*>(bytes.data());
  settings.store(p);
  std::memcpy(p + ProfileSettings::kSize, extra.data(), KeyExtra::kSize);
  return bytes;
}

ProfileImage ProfileImage::fromBytes(std::string_view bytes) {
  std::string padded(bytes.substr(0, kProfileFileSize));
  padded.resize(kProfileFileSize, '\0');
  const auto* p = reinterpret_cast<const unsigned char*>(padded.data());
  ProfileImage image;
  image.settings = ProfileSettings::load(p);
  std::memcpy(image.extra.data(), p + ProfileSettings::kSize, KeyExtra::kSize);
  return image;
}

}  // namespace q350
