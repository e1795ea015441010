#include "sim/sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/clock.h"
#include "platform/paths.h"

namespace sim {

namespace {

constexpr unsigned kStartTimeoutMs = 10000;
constexpr unsigned kStopTimeoutMs = 5000;

std::string makeFolder() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "kbsim-XXXXXX").string();
  return ::mkdtemp(tmpl.data()) ? tmpl : std::string();
}

// True when the child ended in time; `status` is its wait status.
bool waitExit(pid_t pid, unsigned timeoutMs, int& status) {
  const std::uint64_t deadline = platform::tickCount() + timeoutMs;
  for (;;) {
    const pid_t r = ::waitpid(pid, &status, WNOHANG);
    if (r == pid || (r < 0 && errno == ECHILD)) return true;
    if (platform::tickCount() >= deadline) return false;
    platform::sleepMs(10);
  }
}

}  // namespace

SimProcess::SimProcess() = default;

SimProcess::~SimProcess() {
  stop();
  if (!folder_.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
}

bool SimProcess::start(const std::vector<std::string>& keyboards, const std::string& kbsimPath,
                       const std::string& socketPath) {
  if (running()) return true;
  std::string program = kbsimPath;
  if (program.empty()) {
    const char* env = std::getenv("KAVRO_KBSIM");
    program = env && *env ? env : platform::joinPath(platform::programFolder(), "kbsim");
  }
  if (folder_.empty()) folder_ = makeFolder();
  if (folder_.empty()) {
    error_ = "cannot make a temporary folder";
    return false;
  }
  socket_ = socketPath.empty() ? platform::joinPath(folder_, "kbsim.sock") : socketPath;
  transcriptFile_ = platform::joinPath(folder_, "transcript.txt");
  control_ = Control(socket_);

  std::vector<std::string> args = {program, "--socket", socket_, "--transcript", transcriptFile_};
  for (const std::string& k : keyboards) {
    args.push_back("--keyboard");
    args.push_back(k);
  }
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) {
    error_ = std::strerror(errno);
    return false;
  }
  const pid_t pid = ::fork();
  if (pid < 0) {
    error_ = std::strerror(errno);
    ::close(out[0]);
    ::close(out[1]);
    return false;
  }
  if (pid == 0) {
    ::dup2(out[1], STDOUT_FILENO);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(out[1]);
  pid_ = pid;

  // Wait for the "ready" line.
  std::string text;
  const std::uint64_t deadline = platform::tickCount() + kStartTimeoutMs;
  bool ready = false;
  while (!ready) {
    const std::uint64_t now = platform::tickCount();
    if (now >= deadline) break;
    pollfd p{out[0], POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(deadline - now)) <= 0) continue;
    char buf[256];
    const ssize_t n = ::read(out[0], buf, sizeof(buf));
    if (n <= 0) break;  // it ended before it was ready
    text.append(buf, static_cast<std::size_t>(n));
    ready = text.find("ready\n") != std::string::npos;
  }
  ::close(out[0]);
  if (!ready) {
    error_ = "kbsim (" + program + ") did not get ready";
    stop();
    return false;
  }
  return true;
}

bool SimProcess::stop() {
  if (pid_ <= 0) return true;
  control_.stop();
  int status = 0;
  bool clean = waitExit(pid_, kStopTimeoutMs, status);
  if (!clean) {
    error_ = "kbsim did not stop";
    ::kill(pid_, SIGKILL);
    waitExit(pid_, kStopTimeoutMs, status);
  } else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    // A sanitizer report in the simulator ends up here too.
    error_ = "kbsim ended with status " + std::to_string(status);
    clean = false;
  }
  pid_ = -1;
  return clean;
}

std::vector<TranscriptLine> SimProcess::transcript(std::size_t from) {
  std::vector<TranscriptLine> parsed;
  std::vector<std::string> lines;
  if (!control_.transcript(lines, from)) return parsed;
  for (const std::string& line : lines) {
    TranscriptLine t;
    if (parseTranscriptLine(line, t)) parsed.push_back(std::move(t));
  }
  return parsed;
}

std::size_t SimProcess::transcriptSize() {
  std::size_t total = 0;
  std::vector<std::string> none;
  return control_.transcript(none, SIZE_MAX, &total) ? total : 0;
}

}  // namespace sim
