#include "tests/support/test_env.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testsupport {

namespace fs = std::filesystem;

TempDir::TempDir() {
  std::string tmpl = (fs::temp_directory_path() / "kavro-test-XXXXXX").string();
  if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::string TempDir::file(const std::string& name) const { return (fs::path(path_) / name).string(); }

std::string TempDir::write(const std::string& name, const std::string& bytes) const {
  const fs::path p = fs::path(path_) / name;
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return p.string();
}

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : name_(name) {
  const char* old = std::getenv(name);
  had_ = old != nullptr;
  if (old) old_ = old;
  ::setenv(name, value.c_str(), 1);
}

ScopedEnv::~ScopedEnv() {
  if (had_)
    ::setenv(name_.c_str(), old_.c_str(), 1);
  else
    ::unsetenv(name_.c_str());
}

SandboxHome::SandboxHome()
    : home_("HOME", dir_.path()),
      data_("XDG_DATA_HOME", dir_.file(".local/share")),
      config_("XDG_CONFIG_HOME", dir_.file(".config")),
      runtime_("XDG_RUNTIME_DIR", dir_.file("run")),
      desktop_("XDG_DESKTOP_DIR", dir_.file("Desktop")),
      registry_("KAVRO_REGISTRY_ROOT", dir_.file(".config/kavro/registry")) {
  for (const char* d : {"Desktop", ".local/share", ".config", "run"}) fs::create_directories(dir_.file(d));
  ::chmod(dir_.file("run").c_str(), 0700);
}

ProcessResult runCommand(const std::string& commandLine, const TempDir& scratch) {
  const std::string out = scratch.file(".run-out"), err = scratch.file(".run-err");
  const std::string command = commandLine + " >" + shellQuote(out) + " 2>" + shellQuote(err);
  const int raw = std::system(command.c_str());
  ProcessResult r;
  r.status = (raw != -1 && WIFEXITED(raw)) ? WEXITSTATUS(raw) : -1;
  r.out = readAll(out);
  r.err = readAll(err);
  return r;
}

ProcessResult runKavroctl(const std::string& arguments, const TempDir& scratch) {
  return runCommand(shellQuote(binaryDir() + "/cli/kavroctl") + " " + arguments, scratch);
}

std::string shellQuote(const std::string& argument) {
  std::string r = "'";
  for (const char c : argument) {
    if (c == '\'') r += "'\\''";
    else r += c;
  }
  return r + "'";
}

std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string sourceDir() {
  const char* v = std::getenv("KAVRO_TEST_SOURCE_DIR");
  return v ? v : ".";
}

std::string binaryDir() {
  const char* v = std::getenv("KAVRO_TEST_BINARY_DIR");
  return v ? v : ".";
}

}  // namespace testsupport
