#include "q350config/settings/settings_store.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

#include "platform/clock.h"
#include "platform/format.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace q350 {

namespace {

constexpr const char16_t* kInfoCaption = u"Info";
constexpr const char16_t* kCreateDenied = u"Failed to create Profile, make sure you have permission to create files!";

// The file or a folder on its way does not exist.
bool isMissing(int err) { return err == ENOENT || err == ENOTDIR; }
bool isDenied(int err) { return err == EACCES || err == EPERM || err == EROFS; }

}  // namespace

SettingsStore::SettingsStore(std::string programFolder) : pause_(platform::sleepMs) {
  setProgramFolder(std::move(programFolder));
}

void SettingsStore::setProgramFolder(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder.push_back('/');
  programFolder_ = std::move(folder);
  for (std::size_t i = 0; i < kProfileCount; ++i)
    paths_[i] = platform::resolveNoCase(programFolder_, "Profile/Profile" + std::to_string(i + 1) + ".cfg");
}

std::string SettingsStore::profilePath(int n) const {
  return n >= 0 && n < static_cast<int>(kProfileCount) ? paths_[n] : std::string();
}

std::string SettingsStore::macroLibraryPath() const { return platform::findFileNoCase(programFolder_, "Macro.cfg"); }

void SettingsStore::show(MessageStyle style, std::u16string text, const void* owner) {
  if (!sink_) return;
  UserMessage m;
  m.style = style;
  m.text = std::move(text);
  if (style == MessageStyle::SystemBox) m.caption = kInfoCaption;
  m.owner = owner;
  sink_->show(m);
}

void SettingsStore::reportCreateDenied() { show(MessageStyle::InfoDialog, kCreateDenied); }

// ---- Profile images ----

void SettingsStore::adopt(const ProfileImage& image) {
  profileSettings = image.settings;
  keyExtra = image.extra;
  keyMap = image.settings.keyMap;
}

ProfileImage SettingsStore::currentImage() {
  profileSettings.keyMap = keyMap;
  return ProfileImage{profileSettings, keyExtra};
}

ProfileImage SettingsStore::factoryImage() const {
  ProfileImage image;
  image.settings.setFactoryLighting();
  image.settings.keyMap = defaultKeyMap;
  image.settings.signature = kProfileSignature;
  return image;
}

bool SettingsStore::writeProfileImage(const std::string& path, const ProfileImage& image) {
  return platform::writeFileAtomic(path, image.toBytes());
}

// ---- Profile files ----

int SettingsStore::LoadProfileFile(const std::string& path, bool report) {
  std::string bytes;
  if (!platform::readFile(path, bytes, kProfileFileSize)) {
    const int err = errno;
    if (report && isMissing(err)) {
      show(MessageStyle::InfoDialog, platform::formatU16(u"Failed to open file: %s", path));
      // A factory file takes the missing one's place; the profile in use
      // keeps its settings, so the factory content is built aside.
      if (!writeProfileImage(path, factoryImage()) && isDenied(errno)) reportCreateDenied();
    }
    return kLoadNotOpened;
  }
  const ProfileImage image = ProfileImage::fromBytes(bytes);
  if (image.settings.signature != kProfileSignature) {
    show(MessageStyle::InfoDialog, platform::formatU16(u"%s is an invaild Profile!", path));
    return kLoadInvalid;
  }
  adopt(image);
  return kLoadOk;
}

bool SettingsStore::CreateDefaultProfile(const std::string& path) {
  // The factory settings are taken even when the file cannot be written:
  // running on whatever the records held before (all zero at start-up, every
  // key disabled) would be worse than running on factory settings unsaved.
  useFactorySettings();
  if (!writeProfileImage(path, ProfileImage{profileSettings, keyExtra})) {
    if (isDenied(errno)) reportCreateDenied();
    return false;
  }
  return true;
}

bool SettingsStore::SaveCurrentProfile() {
  const std::string& path = paths_[current_];
  if (!writeProfileImage(path, currentImage())) {
    if (isMissing(errno))
      show(MessageStyle::SystemBox, platform::formatU16(u"Failed to open file: %s", path));
    return false;
  }
  return true;
}

bool SettingsStore::ExportProfile(const std::string& path) {
  std::string bytes = currentImage().toBytes();
  // The active profile's entry; of several active ones the highest-numbered.
  const ProfileEntry* entry = &currentEntry();
  for (const ProfileEntry& e : profileTable.entries)
    if (e.active) entry = &e;
  bytes.resize(kExportFileSize);
  entry->store(reinterpret_cast<unsigned char*>(bytes.data()) + kProfileFileSize);
  return platform::writeFileAtomic(path, bytes);
}

bool SettingsStore::ImportProfile(const std::string& path) {
  std::string bytes;
  if (!platform::readFile(path, bytes, kProfileFileSize)) return false;
  const ProfileImage image = ProfileImage::fromBytes(bytes);
  if (image.settings.signature != kProfileSignature) {
    show(MessageStyle::SystemBox, platform::formatU16(u"%s is an invaild Profile!", path));
    return false;
  }
  adopt(image);
  return true;
}

void SettingsStore::useFactorySettings() {
  profileSettings.setFactoryLighting();
  keyMap = defaultKeyMap;
  profileSettings.keyMap = defaultKeyMap;
  profileSettings.signature = kProfileSignature;
}

void SettingsStore::replaceProfile(const std::string& path, bool existed) {
  if (existed) {
    const std::string kept = path + ".bad";
    if (std::rename(path.c_str(), kept.c_str()) != 0 && !isMissing(errno)) {
      // The damaged file cannot be moved aside: leave it where it is and
      // run on factory settings that are not saved over it.
      useFactorySettings();
      return;
    }
  }
  CreateDefaultProfile(path);
}

// ---- Macro library ----

bool SettingsStore::LoadMacroLibrary() {
  const std::string path = macroLibraryPath();
  std::string bytes;
  if (!platform::readFile(path, bytes, MacroLibrary::kFileSize)) {
    if (isMissing(errno)) {
      std::u16string format = texts_ ? texts_->text("str_msg2") : std::u16string();
      // Without a language text the user would get an empty box.
      if (format.empty()) format = u"Failed to open file: %s";
      show(MessageStyle::InfoDialog, platform::formatU16(std::u16string_view(format), path));
    }
    return false;
  }
  macroLibrary.load(bytes);
  return true;
}

bool SettingsStore::SaveMacroLibrary(const void* owner) {
  const std::string path = macroLibraryPath();
  if (!platform::fileExists(path)) {
    show(MessageStyle::SystemBox, platform::formatU16(u"Failed to open file:%s?", path), owner);
    // The new file receives the library as it stands, so the change that
    // asked for this save is not lost.
    if (!platform::writeFileAtomic(path, macroLibrary.toBytes())) {
      if (isDenied(errno)) reportCreateDenied();
      return false;
    }
    return true;
  }
  // An existing file the user cannot write stays as it is.
  if (::access(path.c_str(), R_OK | W_OK) != 0) return false;
  pause_(100);
  const bool ok = platform::writeFileAtomic(path, macroLibrary.toBytes());
  pause_(100);
  return ok;
}

bool SettingsStore::StoreMacroImage(const MacroImage& image, const void* owner) {
  if (!macroLibrary.store(image)) return false;
  SaveMacroLibrary(owner);
  return true;
}

bool SettingsStore::DeleteMacro(std::uint32_t id, const void* owner) {
  if (!macroLibrary.remove(id)) return false;
  SaveMacroLibrary(owner);
  return true;
}

// ---- Profile table ----

void SettingsStore::LoadProfileTable() {
  profileTable.clear();
  platform::RegistryKey key;
  if (key.open(kProfileTableKey) == platform::kRegOk) {
    std::vector<unsigned char> buffer(ProfileTable::kSize, 0);
    std::uint32_t type = 0;
    std::uint32_t size = ProfileTable::kSize;
    const platform::RegStatus status = key.queryValue(kProfileTableValue, &type, buffer.data(), &size);
    if (status == platform::kRegOk)
      profileTable = ProfileTable::fromBytes(
          std::string_view(reinterpret_cast<const char*>(buffer.data()), std::min<std::size_t>(size, buffer.size())));
    if (status != platform::kRegOk || type != platform::kRegBinary) {
      const std::string bytes = profileTable.toBytes();
      key.setValue(kProfileTableValue, platform::kRegBinary, bytes.data(),
                   std::min<std::uint32_t>(size, ProfileTable::kSize));
    }
  } else if (key.create(kProfileTableKey) == platform::kRegOk) {
    const std::string zeros(ProfileTable::kSize, '\0');
    key.setValue(kProfileTableValue, platform::kRegBinary, zeros.data(), ProfileTable::kSize);
  }

  setProgramFolder(programFolder_);  // looks the profile files up again
  for (std::size_t i = 0; i < kProfileCount; ++i) {
    profileTable.entries[i].setPath(platform::toUtf16(paths_[i]));
    profileTable.entries[i].magic = ProfileEntry::kMagic;
  }

  int found = -1;
  for (std::size_t i = 0; i < kProfileCount; ++i) {
    ProfileEntry& entry = profileTable.entries[i];
    if (!entry.active) continue;
    const bool existed = platform::fileExists(paths_[i]);
    if (LoadProfileFile(paths_[i], true) == kLoadOk) {
      found = static_cast<int>(i);
      break;
    }
    entry.active = 0;
    replaceProfile(paths_[i], existed);
  }

  for (std::size_t i = 0; i < kProfileCount; ++i)
    profileTable.entries[i].setName(u"Profile" + std::u16string(1, static_cast<char16_t>(u'1' + i)));

  if (found < 0) {
    const bool existed = platform::fileExists(paths_[0]);
    if (LoadProfileFile(paths_[0], false) != kLoadOk) replaceProfile(paths_[0], existed);
    found = 0;
    profileTable.entries[0].active = 1;
  }
  current_ = found;
}

bool SettingsStore::StoreProfileTable() {
  platform::RegistryKey key;
  bool stored = false;
  if (key.open(kProfileTableKey) == platform::kRegOk) {
    const std::string bytes = profileTable.toBytes();
    stored = key.setValue(kProfileTableValue, platform::kRegBinary, bytes.data(), ProfileTable::kSize) ==
             platform::kRegOk;
  }
  return SaveCurrentProfile() && stored;
}

int SettingsStore::SelectProfile(int n) {
  if (n < 0 || n >= static_cast<int>(kProfileCount)) return kLoadNotOpened;
  const int r = LoadProfileFile(paths_[n], true);
  if (r != kLoadOk) return r;
  for (ProfileEntry& e : profileTable.entries) e.active = 0;
  profileTable.entries[static_cast<std::size_t>(n)].active = 1;
  current_ = n;
  return kLoadOk;
}

void SettingsStore::RestoreFactorySettings() {
  profileSettings.setFactoryLighting();
  keyMap = defaultKeyMap;
  keyExtra.clearMacroIds();
}

std::u16string SettingsStore::AssignmentName(std::size_t i) const {
  if (i >= kKeyCount) return {};
  return q350::AssignmentName(keyMap[i], keyExtra.macroId(i), macroLibrary, texts_);
}

SettingsStore& settings() {
  static SettingsStore store(platform::programFolder());
  return store;
}

}  // namespace q350
