#include "platform/hid/sim_link.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/clock.h"
#include "platform/folders.h"
#include "platform/paths.h"

namespace platform {

std::string simSocketPath() {
  const char* env = std::getenv("KAVRO_SIM_SOCKET");
  if (env && *env) return env;
  return joinPath(runtimeFolder(), "kavro-kbsim.sock");
}

std::string hexEncode(const std::uint8_t* data, std::size_t size, bool spaced) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(size * (spaced ? 3 : 2));
  for (std::size_t i = 0; i < size; ++i) {
    if (spaced && i) out.push_back(' ');
    out.push_back(kDigits[data[i] >> 4]);
    out.push_back(kDigits[data[i] & 15]);
  }
  return out;
}

std::string hexEncode(const std::vector<std::uint8_t>& bytes, bool spaced) {
  return hexEncode(bytes.data(), bytes.size(), spaced);
}

namespace {
int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

bool hexDecode(std::string_view text, std::vector<std::uint8_t>& out) {
  out.clear();
  out.reserve(text.size() / 2);
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ') {  // separators between pairs
      ++i;
      continue;
    }
    if (i + 1 >= text.size()) return false;
    const int hi = hexDigit(text[i]), lo = hexDigit(text[i + 1]);
    if (hi < 0 || lo < 0) return false;
    out.push_back(static_cast<std::uint8_t>(hi << 4 | lo));
    i += 2;
  }
  return true;
}

std::vector<std::string> splitWords(std::string_view line) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == ' ') ++i;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ') ++i;
    if (i > start) words.emplace_back(line.substr(start, i - start));
  }
  return words;
}

std::map<std::string, std::string> parseFields(std::string_view line) {
  std::map<std::string, std::string> fields;
  for (const std::string& w : splitWords(line)) {
    const std::size_t eq = w.find('=');
    if (eq != std::string::npos) fields[w.substr(0, eq)] = w.substr(eq + 1);
  }
  return fields;
}

int simErrorCode(std::string_view code) {
  if (code == "nodev") return ENODEV;
  if (code == "timeout") return ETIMEDOUT;
  if (code == "io") return EIO;
  if (code == "notopen") return EBADF;
  if (code == "inval" || code == "unknown") return EINVAL;
  return EIO;
}

SimLink::~SimLink() { close(); }

bool SimLink::connect(const std::string& socketPath) {
  close();
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (socketPath.empty() || socketPath.size() >= sizeof(addr.sun_path)) {
    errno = ENAMETOOLONG;
    return false;
  }
  std::memcpy(addr.sun_path, socketPath.c_str(), socketPath.size() + 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)) != 0) {
    const int e = errno;
    ::close(fd);
    errno = e;
    return false;
  }
  fd_ = fd;
  buffer_.clear();
  return true;
}

void SimLink::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  buffer_.clear();
}

void SimLink::shutdown() {
  if (fd_ >= 0) ::shutdown(fd_, SHUT_RDWR);
}

bool SimLink::sendLine(std::string_view line) {
  if (fd_ < 0) {
    errno = ENOTCONN;
    return false;
  }
  std::string data(line);
  data.push_back('\n');
  std::size_t sent = 0;
  while (sent < data.size()) {
    const ssize_t n = ::send(fd_, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == EPIPE) errno = ECONNRESET;
      return false;
    }
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

bool SimLink::takeLine(std::string& line) {
  const std::size_t nl = buffer_.find('\n');
  if (nl == std::string::npos) return false;
  line.assign(buffer_, 0, nl);
  buffer_.erase(0, nl + 1);
  return true;
}

bool SimLink::readAvailable() {
  if (fd_ < 0) return false;
  char chunk[16384];
  for (;;) {
    const ssize_t n = ::recv(fd_, chunk, sizeof(chunk), MSG_DONTWAIT);
    if (n > 0) {
      buffer_.append(chunk, static_cast<std::size_t>(n));
      continue;
    }
    if (n == 0) {
      errno = ECONNRESET;
      return false;
    }
    if (errno == EINTR) continue;
    return errno == EAGAIN || errno == EWOULDBLOCK;
  }
}

bool SimLink::readLine(std::string& line, unsigned timeoutMs) {
  const std::uint64_t deadline = tickCount() + timeoutMs;
  for (;;) {
    if (takeLine(line)) return true;
    if (fd_ < 0) {
      errno = ENOTCONN;
      return false;
    }
    const std::uint64_t now = tickCount();
    if (now >= deadline) {
      errno = ETIMEDOUT;
      return false;
    }
    pollfd p{fd_, POLLIN, 0};
    const int r = ::poll(&p, 1, static_cast<int>(deadline - now));
    if (r < 0 && errno != EINTR) return false;
    if (r > 0 && !readAvailable()) {
      if (takeLine(line)) return true;
      errno = ECONNRESET;
      return false;
    }
  }
}

bool SimLink::request(std::string_view line, std::string& rest, unsigned timeoutMs) {
  rest.clear();
  std::string reply;
  if (!sendLine(line) || !readLine(reply, timeoutMs)) return false;
  if (reply == "ok" || reply.compare(0, 3, "ok ") == 0) {
    rest = reply.size() > 3 ? reply.substr(3) : std::string();
    return true;
  }
  if (reply.compare(0, 4, "err ") == 0) {
    rest = reply.substr(4);
    const std::size_t sp = rest.find(' ');
    errno = simErrorCode(rest.substr(0, sp));
    return false;
  }
  errno = EPROTO;
  return false;
}

bool SimLink::requestList(std::string_view line, std::vector<std::string>& lines, unsigned timeoutMs) {
  lines.clear();
  std::string rest;
  if (!request(line, rest, timeoutMs)) return false;
  const std::uint64_t deadline = tickCount() + timeoutMs;
  std::string item;
  for (;;) {
    const std::uint64_t now = tickCount();
    if (!readLine(item, now < deadline ? static_cast<unsigned>(deadline - now) : 0)) return false;
    if (item == "end") return true;
    lines.push_back(item);
  }
}

}  // namespace platform
