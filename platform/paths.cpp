#include "platform/paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>

#include "platform/text.h"

namespace platform {

namespace {
std::mutex gFolderMutex;
std::string gProgramFolderOverride;
}  // namespace

std::string programFolder() {
  {
    std::lock_guard<std::mutex> lock(gFolderMutex);
    if (!gProgramFolderOverride.empty()) return gProgramFolderOverride;
  }
  char buf[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "./";
  return folderOf(std::string_view(buf, static_cast<std::size_t>(n)));
}

void setProgramFolder(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder.push_back('/');
  std::lock_guard<std::mutex> lock(gFolderMutex);
  gProgramFolderOverride = std::move(folder);
}

std::string nativeSeparators(std::string_view path) {
  std::string r(path);
  for (char& c : r)
    if (c == '\\') c = '/';
  return r;
}

std::string joinPath(std::string_view a, std::string_view b) {
  std::string rest = nativeSeparators(b);
  if (a.empty()) return rest;
  std::string r(a);
  while (!rest.empty() && rest.front() == '/') rest.erase(0, 1);
  while (r.size() > 1 && r.back() == '/') r.pop_back();
  if (rest.empty()) return r + "/";
  if (r != "/") r.push_back('/');
  return r + rest;
}

std::string findFileNoCase(std::string_view folder, std::string_view name) {
  const std::string exact = joinPath(folder, name);
  struct stat st{};
  if (::stat(exact.c_str(), &st) == 0) return exact;
  const std::string dirPath = folder.empty() ? std::string(".") : std::string(folder);
  DIR* dir = ::opendir(dirPath.c_str());
  if (!dir) return exact;
  std::string found;
  while (dirent* e = ::readdir(dir)) {
    if (equalsNoCase(std::string_view(e->d_name), name)) {
      found = joinPath(folder, e->d_name);
      break;
    }
  }
  ::closedir(dir);
  return found.empty() ? exact : found;
}

std::string resolveNoCase(std::string_view folder, std::string_view relative) {
  std::string current(folder);
  const std::string rel = nativeSeparators(relative);
  std::size_t pos = 0;
  while (pos <= rel.size()) {
    const std::size_t slash = rel.find('/', pos);
    const std::string part = rel.substr(pos, slash == std::string::npos ? std::string::npos : slash - pos);
    if (!part.empty()) current = findFileNoCase(current, part);
    if (slash == std::string::npos) break;
    pos = slash + 1;
  }
  return current;
}

bool fileExists(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isDirectory(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool makeFolders(const std::string& path) {
  if (path.empty()) return false;
  if (isDirectory(path)) return true;
  std::string p = path;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  const std::size_t slash = p.rfind('/');
  if (slash != std::string::npos && slash > 0) makeFolders(p.substr(0, slash));
  if (::mkdir(p.c_str(), 0755) != 0 && errno != EEXIST) return false;
  return isDirectory(p);
}

bool readFile(const std::string& path, std::string& bytes, std::size_t maxBytes) {
  bytes.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st{};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    if (S_ISDIR(st.st_mode)) errno = EISDIR;
    return false;
  }
  // One allocation for the whole file instead of a string grown by appends.
  if (S_ISREG(st.st_mode) && st.st_size > 0)
    bytes.reserve(std::min(static_cast<std::size_t>(st.st_size), maxBytes));
  char buf[65536];
  bool ok = true;
  while (bytes.size() < maxBytes) {
    const std::size_t want = std::min(sizeof buf, maxBytes - bytes.size());
    const ssize_t n = ::read(fd, buf, want);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    if (n == 0) break;
    bytes.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return ok;
}

namespace {

constexpr char kTempSuffix[] = ".tmp";
constexpr std::size_t kTempRandomLength = 6;  // the XXXXXX that mkstemp fills
// A temporary file younger than this may belong to a save still under way in
// another process that has not taken its lock yet.
constexpr std::time_t kTempStaleSeconds = 10;

bool isOurTemporaryName(std::string_view name, std::string_view target) {
  const std::size_t prefix = target.size() + sizeof kTempSuffix - 1;
  if (name.size() != prefix + kTempRandomLength) return false;
  if (name.substr(0, target.size()) != target || name.substr(target.size(), sizeof kTempSuffix - 1) != kTempSuffix)
    return false;
  for (char c : name.substr(prefix)) {
    const bool alnum = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!alnum) return false;
  }
  return true;
}

// Removes what a killed save of `path` left behind: files named like our own
// temporary files of that target, which no living writer holds locked and
// which nobody touched for a while. Any other file is left alone.
void sweepStaleTemporaries(const std::string& path) {
  const std::string folder = folderOf(path);
  const std::string target = fileNameOf(path);
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return;
  const std::time_t now = std::time(nullptr);
  while (const dirent* entry = ::readdir(dir)) {
    if (!isOurTemporaryName(entry->d_name, target)) continue;
    const std::string candidate = folder + entry->d_name;
    const int fd = ::open(candidate.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) continue;
    struct stat st{};
    const bool stale = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && now - st.st_mtime >= kTempStaleSeconds &&
                       ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (stale) ::unlink(candidate.c_str());
    ::close(fd);
  }
  ::closedir(dir);
}

}  // namespace

bool writeFileAtomic(const std::string& path, std::string_view bytes, WriteStep* failedAt) {
  if (failedAt) *failedAt = WriteStep::None;
  std::string tmpl = path + kTempSuffix + std::string(kTempRandomLength, 'X');
  const int fd = ::mkstemp(tmpl.data());
  if (fd < 0) {
    if (failedAt) *failedAt = WriteStep::Create;
    return false;
  }
  // Held until the file is closed (or the process dies), so that another
  // save's sweep can tell a living writer's file from a dead one's.
  ::flock(fd, LOCK_EX);
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  bool ok = true;
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  // mkstemp makes the file 0600; files the programs keep are ordinary files.
  if (ok) ok = ::fchmod(fd, 0644) == 0;
  if (ok) ok = ::fsync(fd) == 0;
  const int saved = errno;
  if (::close(fd) != 0) ok = false;
  if (ok && ::rename(tmpl.c_str(), path.c_str()) != 0) ok = false;
  if (!ok) {
    const int err = errno ? errno : saved;
    ::unlink(tmpl.c_str());
    errno = err;
    if (failedAt) *failedAt = WriteStep::Write;
    return false;
  }
  sweepStaleTemporaries(path);
  return true;
}

std::string fileNameOf(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string folderOf(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string lastErrorText() { return std::strerror(errno); }

}  // namespace platform
