#include "tests/fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/clock.h"
#include "tests/support/test_env.h"

namespace fuzzsupport {

namespace fs = std::filesystem;

namespace {

void dropLine(std::string_view, void*) {}
void noPause(unsigned, void*) {}

// A private HOME and XDG tree for the process; the scratch folder lives in it.
struct Scratch {
  testsupport::SandboxHome home;
  std::string path = home.home() + "/scratch";
  Scratch() {
    fs::create_directories(path);
    // No simulator: device targets use their own in-process stand-ins.
    unsetenv("KAVRO_SIM_SOCKET");
    platform::setDebugSink(&dropLine, nullptr);
    platform::setSleepHook(&noPause, nullptr);
  }
};

}  // namespace

const std::string& scratch() {
  static Scratch s;
  return s.path;
}

std::string freshFolder(const std::string& name) {
  const std::string folder = scratch() + "/" + name;
  std::error_code ec;
  fs::remove_all(folder, ec);
  fs::create_directories(folder, ec);
  return folder;
}

bool writeBytes(const std::string& path, std::string_view bytes) {
  std::error_code ec;
  fs::create_directories(fs::path(path).parent_path(), ec);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string dataDir() { return KAVRO_FUZZ_DATA_DIR; }

void fail(const char* what) {
  std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
  std::fflush(stderr);
  std::abort();
}

std::string_view Input::until(std::string_view separator) {
  const std::string_view all(reinterpret_cast<const char*>(data_ + pos_), left());
  const std::size_t at = all.find(separator);
  if (at == std::string_view::npos) return rest();
  pos_ += at + separator.size();
  return all.substr(0, at);
}

}  // namespace fuzzsupport
