#include "q350config/settings/user_files.h"

#include <unistd.h>

#include <filesystem>

#include "platform/folders.h"
#include "platform/paths.h"

namespace q350 {

namespace fs = std::filesystem;

namespace {

std::string withSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

bool accessWritable(const std::string& path) { return ::access(path.c_str(), W_OK) == 0; }
WritableCheck g_writable = &accessWritable;
bool writable(const std::string& path) { return g_writable(path); }

// Copies `from` to `to` when `to` does not exist (files), or walks it
// (folders). Errors leave what could not be copied missing; the program
// then reports the missing file as it would anywhere.
void seed(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  if (fs::is_directory(from, ec)) {
    fs::create_directories(to, ec);
    for (const auto& e : fs::directory_iterator(from, ec)) seed(e.path(), to / e.path().filename());
  } else if (fs::is_regular_file(from, ec) && !fs::exists(to, ec)) {
    fs::copy_file(from, to, ec);
    // A copy of a read-only shipped file must be writable by its user.
    fs::permissions(to, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, ec);
  }
}

}  // namespace

void SetWritableCheck(WritableCheck check) { g_writable = check ? check : &accessWritable; }

std::string PerUserDataFolder() { return withSlash(platform::joinPath(platform::localAppDataFolder(), "kavro/Q350")); }

bool IsWritableInPlace(const std::string& programFolder) {
  const std::string folder = withSlash(programFolder);
  if (!writable(folder)) return false;
  for (const char* name : {"Profile", "Macro.cfg", "update"}) {
    const std::string path = platform::findFileNoCase(folder, name);
    if (platform::fileExists(path) || platform::isDirectory(path))
      if (!writable(path)) return false;
  }
  return true;
}

std::string ResolveDataFolder(const std::string& programFolder) {
  const std::string folder = withSlash(programFolder);
  if (IsWritableInPlace(folder)) return folder;
  const std::string user = PerUserDataFolder();
  platform::makeFolders(user);
  for (const char* name : {"Profile", "Macro.cfg", "update"}) {
    const std::string shipped = platform::findFileNoCase(folder, name);
    seed(shipped, fs::path(user) / name);
  }
  platform::makeFolders(user + "Profile");
  return user;
}

}  // namespace q350
