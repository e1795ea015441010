#include "platform/folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/paths.h"

namespace platform {

namespace {

std::string env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

std::string stripSlash(std::string p) {
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  return p;
}

// Reads XDG_DESKTOP_DIR="$HOME/Desktop" from user-dirs.dirs.
std::string desktopFromUserDirs() {
  std::string text;
  if (!readFile(joinPath(configFolder(), "user-dirs.dirs"), text, 1 << 16)) return {};
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    const std::string key = "XDG_DESKTOP_DIR=";
    const std::size_t k = line.find(key);
    if (k == std::string::npos || line.find_first_not_of(" \t") != k) continue;
    std::string value = line.substr(k + key.size());
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    if (value.rfind("$HOME", 0) == 0) value = homeFolder() + value.substr(5);
    if (!value.empty() && value.front() == '/') return stripSlash(value);
  }
  return {};
}

}  // namespace

std::string homeFolder() {
  std::string h = env("HOME");
  if (h.empty()) {
    if (const passwd* pw = ::getpwuid(::getuid())) h = pw->pw_dir;
  }
  return h.empty() ? std::string("/") : stripSlash(h);
}

std::string localAppDataFolder() {
  const std::string v = env("XDG_DATA_HOME");
  return !v.empty() && v.front() == '/' ? stripSlash(v) : joinPath(homeFolder(), ".local/share");
}

std::string configFolder() {
  const std::string v = env("XDG_CONFIG_HOME");
  return !v.empty() && v.front() == '/' ? stripSlash(v) : joinPath(homeFolder(), ".config");
}

std::string desktopFolder() {
  std::string v = env("XDG_DESKTOP_DIR");
  if (!v.empty() && v.front() == '/') return stripSlash(v);
  v = desktopFromUserDirs();
  return v.empty() ? joinPath(homeFolder(), "Desktop") : v;
}

std::string runtimeFolder() {
  const std::string v = env("XDG_RUNTIME_DIR");
  if (!v.empty() && v.front() == '/') return stripSlash(v);
  const std::string dir = "/tmp/runtime-" + std::to_string(::getuid());
  ::mkdir(dir.c_str(), 0700);
  return dir;
}

}  // namespace platform
