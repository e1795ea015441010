#include "tests/bench/bench_util.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "tests/support/test_env.h"

namespace bench {

namespace fs = std::filesystem;

namespace {

// Nothing the benchmarks run may touch the user's own files, and a keyboard
// on the desk never gets a benchmark's frames.
struct Scratch {
  testsupport::SandboxHome home;
  testsupport::ScopedEnv noRealDevices{"KAVRO_HID_REAL", "0"};
  std::string path = home.home() + "/scratch";
  Scratch() { fs::create_directories(path); }
};

}  // namespace

const std::string& scratch() {
  static Scratch s;
  return s.path;
}

std::string dataDir() { return KAVRO_BENCH_DATA_DIR; }

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace bench
