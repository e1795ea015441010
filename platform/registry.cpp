#include "platform/registry.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "platform/folders.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace platform {

namespace {

// One key or value name as a file name: case-folded, and everything but
// letters, digits, '_', '-' and '.' written as %XX so any name is safe.
std::string encodeName(std::string_view name) {
  if (name.empty()) return "@";
  static const char* hex = "0123456789ABCDEF";
  std::string r;
  for (const char ch : toLowerAscii(name)) {
    const auto c = static_cast<unsigned char>(ch);
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-' || (c == '.' && !r.empty())) {
      r.push_back(static_cast<char>(c));
    } else {
      r.push_back('%');
      r.push_back(hex[c >> 4]);
      r.push_back(hex[c & 15]);
    }
  }
  return r;
}

std::string keyFolder(std::string_view path) {
  std::string folder = registryRoot();
  std::size_t pos = 0;
  while (pos <= path.size()) {
    std::size_t sep = path.find_first_of("\\/", pos);
    if (sep == std::string_view::npos) sep = path.size();
    const std::string_view part = path.substr(pos, sep - pos);
    if (!part.empty()) folder = joinPath(folder, encodeName(part));
    pos = sep + 1;
  }
  return folder;
}

}  // namespace

std::string registryRoot() {
  const char* v = std::getenv("KAVRO_REGISTRY_ROOT");
  if (v && *v == '/') return v;
  return joinPath(configFolder(), "kavro/registry");
}

RegStatus RegistryKey::open(std::string_view path) {
  const std::string folder = keyFolder(path);
  if (!isDirectory(folder)) {
    folder_.clear();
    return kRegNotFound;
  }
  folder_ = folder;
  return kRegOk;
}

RegStatus RegistryKey::create(std::string_view path) {
  const std::string folder = keyFolder(path);
  if (!makeFolders(folder)) {
    folder_.clear();
    return kRegAccessDenied;
  }
  folder_ = folder;
  return kRegOk;
}

std::string RegistryKey::valueFile(std::string_view name, std::uint32_t& type) const {
  const std::string base = encodeName(name) + ".";
  DIR* dir = ::opendir(folder_.c_str());
  if (!dir) return {};
  std::string found;
  while (dirent* e = ::readdir(dir)) {
    const std::string_view entry(e->d_name);
    if (entry.size() > base.size() && entry.compare(0, base.size(), base) == 0 &&
        entry.find('.', base.size()) == std::string_view::npos) {
      char* end = nullptr;
      const unsigned long t = std::strtoul(e->d_name + base.size(), &end, 10);
      if (end && *end == 0) {
        type = static_cast<std::uint32_t>(t);
        found = joinPath(folder_, entry);
        break;
      }
    }
  }
  ::closedir(dir);
  return found;
}

RegStatus RegistryKey::queryValue(std::string_view name, std::uint32_t& type, std::string& data) const {
  data.clear();
  if (!isOpen()) return kRegInvalidParameter;
  const std::string file = valueFile(name, type);
  if (file.empty() || !readFile(file, data)) return kRegNotFound;
  return kRegOk;
}

RegStatus RegistryKey::queryValue(std::string_view name, std::uint32_t* type, void* data,
                                  std::uint32_t* size) const {
  std::uint32_t t = 0;
  std::string bytes;
  const RegStatus s = queryValue(name, t, bytes);
  if (s != kRegOk) return s;
  if (type) *type = t;
  if (data && (!size || *size < bytes.size())) {
    if (size) *size = static_cast<std::uint32_t>(bytes.size());
    return kRegMoreData;
  }
  if (data) std::memcpy(data, bytes.data(), bytes.size());
  if (size) *size = static_cast<std::uint32_t>(bytes.size());
  return kRegOk;
}

RegStatus RegistryKey::setValue(std::string_view name, std::uint32_t type, const void* data, std::uint32_t size) {
  if (!isOpen() || (size && !data)) return kRegInvalidParameter;
  std::uint32_t oldType = 0;
  const std::string old = valueFile(name, oldType);
  const std::string file = joinPath(folder_, encodeName(name) + "." + std::to_string(type));
  if (!writeFileAtomic(file, std::string_view(static_cast<const char*>(data), size))) return kRegAccessDenied;
  if (!old.empty() && old != file) ::unlink(old.c_str());
  return kRegOk;
}

RegStatus RegistryKey::setDword(std::string_view name, std::uint32_t value) {
  const unsigned char le[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                               static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
  return setValue(name, kRegDword, le, 4);
}

RegStatus RegistryKey::deleteValue(std::string_view name) {
  std::uint32_t type = 0;
  const std::string file = isOpen() ? valueFile(name, type) : std::string();
  if (file.empty() || ::unlink(file.c_str()) != 0) return kRegNotFound;
  return kRegOk;
}

}  // namespace platform
