#include "platform/processes.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/paths.h"

namespace platform {

std::string baseNameAnySeparator(const std::string& path) {
  const std::size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

namespace {

bool allDigits(const char* s) {
  if (!*s) return false;
  for (; *s; ++s)
    if (*s < '0' || *s > '9') return false;
  return true;
}

class ProcSource final : public ProcessSource {
 public:
  explicit ProcSource(std::string root) : root_(std::move(root)) {}

  std::vector<ProcessInfo> list() override {
    std::vector<ProcessInfo> out;
    DIR* dir = ::opendir(root_.c_str());
    if (!dir) return out;
    while (dirent* e = ::readdir(dir)) {
      if (!allDigits(e->d_name)) continue;
      ProcessInfo p;
      p.pid = std::atoi(e->d_name);
      const std::string base = joinPath(root_, e->d_name);
      char target[4096];
      const ssize_t n = ::readlink(joinPath(base, "exe").c_str(), target, sizeof target - 1);
      if (n > 0) {
        std::string t(target, static_cast<std::size_t>(n));
        // A program replaced while it runs reads as "/path/name (deleted)".
        const std::string deleted = " (deleted)";
        if (t.size() > deleted.size() && t.compare(t.size() - deleted.size(), deleted.size(), deleted) == 0)
          t.resize(t.size() - deleted.size());
        p.exeName = baseNameAnySeparator(t);
      }
      std::string cmdline;
      if (readFile(joinPath(base, "cmdline"), cmdline, 8192) && !cmdline.empty())
        p.argName = baseNameAnySeparator(std::string(cmdline.c_str()));  // up to the first NUL
      std::string comm;
      if (readFile(joinPath(base, "comm"), comm, 64)) {
        while (!comm.empty() && (comm.back() == '\n' || comm.back() == '\0')) comm.pop_back();
        p.comm = comm;
      }
      if (p.exeName.empty() && p.argName.empty() && p.comm.empty()) continue;
      out.push_back(std::move(p));
    }
    ::closedir(dir);
    return out;
  }

 private:
  std::string root_;
};

}  // namespace

std::unique_ptr<ProcessSource> makeProcSource(const std::string& procRoot) {
  return std::make_unique<ProcSource>(procRoot);
}

}  // namespace platform
