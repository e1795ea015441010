#include "sim/server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include "platform/clock.h"
#include "platform/hid/sim_link.h"

namespace sim {

namespace {

// A host's input-report queue holds at most this many reports (as hidraw).
constexpr std::size_t kInputQueue = 64;
constexpr std::size_t kMaxReport = 65536;
constexpr std::size_t kMaxLine = 4 * kMaxReport;

const char* statusText(Status s) {
  switch (s) {
    case Status::Ok: return "ok";
    case Status::NoDevice: return "err nodev keyboard not present";
    case Status::Io: return "err io transfer failed";
    case Status::Invalid: return "err inval no such interface";
  }
  return "err io";
}

bool parseInt(const std::string& text, long& value, int base = 10) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtol(text.c_str(), &end, base);
  return errno == 0 && end && *end == 0;
}

std::string hex4(unsigned v) {
  char b[8];
  std::snprintf(b, sizeof(b), "%04x", v & 0xFFFF);
  return b;
}

std::string interfaceList(const Keyboard& kb) {
  std::string mis;
  for (const InterfaceDesc& d : kb.interfaces()) mis += (mis.empty() ? "" : ",") + std::to_string(d.number);
  return mis;
}

std::string keyboardFields(const Slot& s) {
  const Keyboard& kb = *s.keyboard;
  return "index=" + std::to_string(s.index) + " vid=" + hex4(kb.vendorId()) + " pid=" + hex4(kb.productId()) +
         " mis=" + interfaceList(kb);
}

void setNonBlocking(int fd) { ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK); }

}  // namespace

struct Server::Connection {
  int fd = -1;
  std::string in, out;
  bool dead = false;
  // The session (after "open").
  bool open = false;
  int keyboard = -1;
  int interfaceNumber = -1;
  unsigned generation = 0;
  std::deque<Bytes> inputs;
  bool subscribed = false;
  // A parked request: a slowed transfer waiting for its time, or a read
  // waiting for an input report.
  bool parked = false;
  std::string parkedLine;
  std::uint64_t readyAt = 0;
  bool reading = false;
  std::size_t readLength = 0;
  std::uint64_t readDeadline = 0;
};

Server::Server(Bus& bus, Transcript& transcript) : bus_(bus), transcript_(transcript) {
  if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) wake_[0] = wake_[1] = -1;
  bus_.setListener([this](bool arrival, const Slot& slot) { onPlug(arrival, slot); });
  bus_.setInputSink([this](const Slot& slot, int mi, const Bytes& report) { onInput(slot, mi, report); });
}

Server::~Server() {
  bus_.setListener(nullptr);
  bus_.setInputSink(nullptr);
  for (auto& c : connections_) ::close(c->fd);
  if (listen_ >= 0) {
    ::close(listen_);
    ::unlink(path_.c_str());
  }
  for (int fd : wake_)
    if (fd >= 0) ::close(fd);
}

bool Server::listen(const std::string& path, std::string& error) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof(addr.sun_path)) {
    error = "socket path too long: " + path;
    return false;
  }
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  platform::SimLink probe;
  if (probe.connect(path)) {
    error = "another simulator listens on " + path;
    return false;
  }
  ::unlink(path.c_str());
  listen_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (listen_ < 0 || ::bind(listen_, reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)) != 0 ||
      ::listen(listen_, 16) != 0) {
    error = "cannot listen on " + path + ": " + std::strerror(errno);
    if (listen_ >= 0) ::close(listen_);
    listen_ = -1;
    return false;
  }
  ::chmod(path.c_str(), 0600);
  path_ = path;
  return true;
}

void Server::stop() {
  const char b = 1;
  if (wake_[1] >= 0) {
    const ssize_t n = ::write(wake_[1], &b, 1);
    (void)n;  // a full pipe already holds a wake-up
  }
}

void Server::run() {
  while (!stopping_) {
    std::vector<pollfd> fds;
    fds.push_back({listen_, POLLIN, 0});
    fds.push_back({wake_[0], POLLIN, 0});
    for (auto& c : connections_) {
      short events = POLLIN;
      if (!c->out.empty()) events |= POLLOUT;
      fds.push_back({c->fd, events, 0});
    }
    const int r = ::poll(fds.data(), fds.size(), nextTimeout());
    if (r < 0 && errno != EINTR) break;
    if (fds[1].revents & POLLIN) {
      char buf[64];
      while (::read(wake_[0], buf, sizeof(buf)) > 0) {
      }
      stopping_ = true;
    }
    // Connections first (their indices match fds), new ones after.
    for (std::size_t i = 0; i < connections_.size() && i + 2 < fds.size(); ++i) {
      Connection& c = *connections_[i];
      const short rev = fds[i + 2].revents;
      if (rev & (POLLIN | POLLHUP | POLLERR)) {
        if (!readFrom(c)) c.dead = true;
      }
      if (rev & POLLOUT) flush(c);
    }
    if (fds[0].revents & POLLIN) accept();
    serviceTimers();
    for (std::size_t i = 0; i < connections_.size(); ++i) processLines(*connections_[i]);
    for (auto& c : connections_) flush(*c);
    connections_.erase(std::remove_if(connections_.begin(), connections_.end(),
                                      [](const std::unique_ptr<Connection>& c) {
                                        if (c->dead) ::close(c->fd);
                                        return c->dead;
                                      }),
                       connections_.end());
  }
  // Let the last answers ("ok" to a stop) reach their clients.
  for (auto& c : connections_) {
    const int flags = ::fcntl(c->fd, F_GETFL);
    ::fcntl(c->fd, F_SETFL, flags & ~O_NONBLOCK);
    flush(*c);
  }
}

void Server::accept() {
  for (;;) {
    const int fd = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) return;
    setNonBlocking(fd);
    auto c = std::make_unique<Connection>();
    c->fd = fd;
    connections_.push_back(std::move(c));
  }
}

bool Server::readFrom(Connection& c) {
  char buf[16384];
  for (;;) {
    const ssize_t n = ::recv(c.fd, buf, sizeof(buf), 0);
    if (n > 0) {
      c.in.append(buf, static_cast<std::size_t>(n));
      if (c.in.size() > kMaxLine && c.in.find('\n') == std::string::npos) return false;  // no sane client
      continue;
    }
    if (n == 0) return false;
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
  }
}

void Server::flush(Connection& c) {
  while (!c.out.empty() && !c.dead) {
    const ssize_t n = ::send(c.fd, c.out.data(), c.out.size(), MSG_NOSIGNAL);
    if (n > 0) {
      c.out.erase(0, static_cast<std::size_t>(n));
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      return;
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      c.dead = true;
    }
  }
}

void Server::reply(Connection& c, const std::string& line) {
  c.out += line;
  c.out.push_back('\n');
}

void Server::processLines(Connection& c) {
  while (!c.dead && !c.parked && !stopping_) {
    const std::size_t nl = c.in.find('\n');
    if (nl == std::string::npos) return;
    std::string line = c.in.substr(0, nl);
    c.in.erase(0, nl + 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    handle(c, line, false);
  }
}

int Server::nextTimeout() const {
  std::uint64_t next = UINT64_MAX;
  for (const auto& c : connections_) {
    if (c->parked && !c->reading) next = std::min(next, c->readyAt);
    if (c->parked && c->reading) next = std::min(next, c->readDeadline);
  }
  if (next == UINT64_MAX) return -1;
  const std::uint64_t now = platform::tickCount();
  return next <= now ? 0 : static_cast<int>(std::min<std::uint64_t>(next - now, INT_MAX));
}

void Server::serviceTimers() {
  const std::uint64_t now = platform::tickCount();
  for (std::size_t i = 0; i < connections_.size(); ++i) {
    Connection& c = *connections_[i];
    if (!c.parked || c.dead) continue;
    if (c.reading) {
      if (!c.inputs.empty()) {
        finishRead(c, false);
      } else if (now >= c.readDeadline) {
        finishRead(c, true);
      }
    } else if (now >= c.readyAt) {
      c.parked = false;
      const std::string line = std::move(c.parkedLine);
      handle(c, line, true);
    }
  }
}

void Server::finishRead(Connection& c, bool timedOut) {
  c.parked = false;
  c.reading = false;
  if (timedOut || c.inputs.empty()) {
    reply(c, "err timeout no input report");
    return;
  }
  Bytes report = std::move(c.inputs.front());
  c.inputs.pop_front();
  if (report.size() > c.readLength) report.resize(c.readLength);
  reply(c, "ok " + platform::hexEncode(report));
}

void Server::onPlug(bool arrival, const Slot& slot) {
  const std::string line = std::string(arrival ? "arrival " : "removal ") + keyboardFields(slot);
  for (auto& c : connections_) {
    if (c->subscribed) reply(*c, line);
    // A session on a keyboard that went away answers its waiting read now.
    if (!arrival && c->open && c->keyboard == slot.index && c->parked && c->reading) {
      c->parked = c->reading = false;
      reply(*c, statusText(Status::NoDevice));
    }
  }
}

void Server::onInput(const Slot& slot, int interfaceNumber, const Bytes& report) {
  for (auto& c : connections_) {
    if (!c->open || c->keyboard != slot.index || c->interfaceNumber != interfaceNumber ||
        c->generation != slot.generation)
      continue;
    if (c->inputs.size() >= kInputQueue) c->inputs.pop_front();
    c->inputs.push_back(report);
    if (c->parked && c->reading) finishRead(*c, false);
  }
}

void Server::handle(Connection& c, const std::string& line, bool delayed) {
  const std::vector<std::string> words = platform::splitWords(line);
  if (words.empty()) return reply(c, "err inval empty request");
  const std::string& cmd = words[0];
  const bool isTransfer = cmd == "write" || cmd == "read" || cmd == "setfeature" || cmd == "getfeature" ||
                          cmd == "getinput";
  if (isTransfer) {
    if (!c.open) return reply(c, "err notopen no interface open");
    Slot* slot = bus_.find(c.keyboard);
    if (!delayed && slot && slot->plugged && slot->faults.slowMs > 0) {
      c.parked = true;
      c.parkedLine = line;
      c.readyAt = platform::tickCount() + slot->faults.slowMs;
      return;
    }
    return transfer(c, words);
  }
  reply(c, control(words, c));
}

void Server::transfer(Connection& c, const std::vector<std::string>& words) {
  const std::string& cmd = words[0];
  Bytes data;
  long a = 0, b = 0;
  if (cmd == "write" || cmd == "setfeature") {
    if (words.size() != 2 || !platform::hexDecode(words[1], data) || data.empty() || data.size() > kMaxReport)
      return reply(c, "err inval bad report");
    const Status s = cmd == "write" ? bus_.output(c.keyboard, c.generation, c.interfaceNumber, data)
                                    : bus_.setFeature(c.keyboard, c.generation, c.interfaceNumber, data);
    if (s != Status::Ok) return reply(c, statusText(s));
    return reply(c, cmd == "write" ? "ok " + std::to_string(data.size()) : std::string("ok"));
  }
  if (words.size() != 3 || !parseInt(words[1], a) || !parseInt(words[2], b) || a < 0 || b < 0)
    return reply(c, "err inval bad arguments");
  if (cmd == "read") {
    if (a < 1 || static_cast<std::size_t>(a) > kMaxReport) return reply(c, "err inval bad length");
    Slot* slot = bus_.find(c.keyboard);
    if (!slot || !slot->plugged || slot->generation != c.generation) return reply(c, statusText(Status::NoDevice));
    c.readLength = static_cast<std::size_t>(a);
    c.reading = true;
    c.parked = true;
    c.readDeadline = platform::tickCount() + static_cast<std::uint64_t>(b);
    if (!c.inputs.empty()) finishRead(c, false);
    return;
  }
  if (a > 255 || b < 1 || static_cast<std::size_t>(b) > kMaxReport) return reply(c, "err inval bad arguments");
  if (cmd == "getfeature") {
    Bytes report;
    const Status s = bus_.getFeature(c.keyboard, c.generation, c.interfaceNumber, static_cast<std::uint8_t>(a),
                                     static_cast<std::size_t>(b), report);
    if (s != Status::Ok) return reply(c, statusText(s));
    return reply(c, "ok " + platform::hexEncode(report));
  }
  reply(c, statusText(bus_.getInputReport(c.keyboard, c.generation, c.interfaceNumber)));
}

std::string Server::control(const std::vector<std::string>& w, Connection& c) {
  const std::string& cmd = w[0];
  long index = -1, value = 0;
  if (cmd == "hello") return "ok kbsim 1";
  if (cmd == "open") {
    long mi = -1, gen = -1;
    if (w.size() < 3 || w.size() > 4 || !parseInt(w[1], index) || !parseInt(w[2], mi) ||
        (w.size() == 4 && !parseInt(w[3], gen)))
      return "err inval usage: open <keyboard> <interface> [<generation>]";
    unsigned generation = 0;
    const Status s = bus_.open(static_cast<int>(index), static_cast<int>(mi), static_cast<int>(gen), generation);
    if (s != Status::Ok) return statusText(s);
    c.open = true;
    c.keyboard = static_cast<int>(index);
    c.interfaceNumber = static_cast<int>(mi);
    c.generation = generation;
    c.inputs.clear();
    return "ok gen=" + std::to_string(generation);
  }
  if (cmd == "list" || cmd == "interfaces" || cmd == "subscribe") {
    std::string out = "ok";
    for (const auto& slot : bus_.all()) {
      const Keyboard& kb = *slot->keyboard;
      const std::string product = platform::hexEncode(reinterpret_cast<const std::uint8_t*>(kb.product().data()),
                                                      kb.product().size());
      if (cmd == "list") {
        const Faults& f = slot->faults;
        out += "\nkb index=" + std::to_string(slot->index) + " model=" + kb.model() +
               " plugged=" + (slot->plugged ? "1" : "0") + " vid=" + hex4(kb.vendorId()) +
               " pid=" + hex4(kb.productId()) + " version=" + hex4(kb.version()) + " product=" + product +
               " slow=" + std::to_string(f.slowMs) + " fail=" + std::to_string(f.failNext) +
               " unplug-after=" + std::to_string(f.unplugAfter) + " mute=" + (f.mute ? "1" : "0") +
               " rejected=" + std::to_string(kb.rejectedFrames());
        continue;
      }
      if (!slot->plugged) continue;
      if (cmd == "subscribe") {
        out += "\nkb " + keyboardFields(*slot);
        continue;
      }
      for (const InterfaceDesc& d : kb.interfaces())
        out += "\nif kb=" + std::to_string(slot->index) + " mi=" + std::to_string(d.number) +
               " vid=" + hex4(kb.vendorId()) + " pid=" + hex4(kb.productId()) + " version=" + hex4(kb.version()) +
               " page=" + hex4(d.usagePage) + " usage=" + hex4(d.usage) + " in=" + std::to_string(d.inputLength) +
               " out=" + std::to_string(d.outputLength) + " feature=" + std::to_string(d.featureLength) +
               " product=" + product;
    }
    if (cmd == "subscribe") c.subscribed = true;
    return out + "\nend";
  }
  if (cmd == "transcript") {
    long from = 0;
    if (w.size() > 2 || (w.size() == 2 && (!parseInt(w[1], from) || from < 0)))
      return "err inval usage: transcript [<first line>]";
    const auto& lines = transcript_.lines();
    std::string out = "ok " + std::to_string(lines.size());
    for (std::size_t i = static_cast<std::size_t>(from); i < lines.size(); ++i) out += "\n" + lines[i];
    return out + "\nend";
  }
  if (cmd == "plug") {
    if (w.size() != 2) return "err inval usage: plug q350rgb|q350|<keyboard>";
    if (parseInt(w[1], index)) return bus_.replug(static_cast<int>(index)) ? "ok " + w[1] : "err inval not unplugged";
    std::unique_ptr<Keyboard> kb = makeKeyboard(w[1]);
    if (!kb) return "err inval unknown model " + w[1];
    return "ok " + std::to_string(bus_.plug(std::move(kb)));
  }
  if (cmd == "stop") {
    stopping_ = true;
    return "ok";
  }
  // Everything else names a keyboard first.
  if (w.size() < 2 || !parseInt(w[1], index)) return "err inval unknown request " + cmd;
  Slot* slot = bus_.find(static_cast<int>(index));
  if (!slot) return "err nodev no keyboard " + w[1];
  Keyboard& kb = *slot->keyboard;
  if (cmd == "unplug") return bus_.unplug(slot->index) ? "ok" : "err inval not plugged";
  if (cmd == "dump") return "ok " + platform::hexEncode(kb.memory());
  if (cmd == "render") {
    if (w.size() != 3) return "err inval usage: render <keyboard> <png path>";
    return kb.render(w[2]) ? "ok" : "err io cannot write " + w[2];
  }
  if (cmd == "inject") {
    long mi = -1;
    Bytes report;
    if (w.size() != 4 || !parseInt(w[2], mi) || !platform::hexDecode(w[3], report))
      return "err inval usage: inject <keyboard> <interface> <hex>";
    return statusText(bus_.inject(slot->index, static_cast<int>(mi), report));
  }
  if (cmd == "set") {
    if (w.size() < 4) return "err inval usage: set <keyboard> version|pid|firmware|product|password <value>";
    const std::string& what = w[2];
    if (what == "version") {
      if (!parseInt(w[3], value, 0) || value < 0 || value > 0xFFFF) return "err inval bad version";
      kb.setVersion(static_cast<std::uint16_t>(value));
      return "ok";
    }
    if (what == "pid") {
      if (!parseInt(w[3], value, 0) || value < 0 || value > 0xFFFF) return "err inval bad product id";
      kb.setProductId(static_cast<std::uint16_t>(value));
      return "ok";
    }
    if (what == "product") {
      Bytes text;
      if (!platform::hexDecode(w[3], text)) return "err inval product is hex of UTF-8 text";
      kb.setProduct(std::string(text.begin(), text.end()));
      return "ok";
    }
    return kb.setOption(what, w[3]) ? "ok" : "err inval " + what + " does not fit this keyboard";
  }
  if (cmd == "fault") {
    if (w.size() < 3) return "err inval usage: fault <keyboard> slow|fail|unplug-after|mute|reply|clear [<n>]";
    const std::string& what = w[2];
    Faults& f = slot->faults;
    if (what == "clear") {
      f = Faults{};
      return "ok";
    }
    if (what == "reply") {
      Bytes bytes;
      if (w.size() != 5 || !parseInt(w[3], value) || value < 0 || value > 255 || !platform::hexDecode(w[4], bytes))
        return "err inval usage: fault <keyboard> reply <report id> <hex>";
      f.replies[static_cast<std::uint8_t>(value)] = bytes;
      return "ok";
    }
    if (w.size() != 4 || !parseInt(w[3], value) || value < 0 || value > 3600000) return "err inval bad number";
    if (what == "slow") f.slowMs = static_cast<unsigned>(value);
    else if (what == "fail") f.failNext = static_cast<unsigned>(value);
    else if (what == "unplug-after") f.unplugAfter = static_cast<int>(value);
    else if (what == "mute") f.mute = value != 0;
    else return "err inval unknown fault " + what;
    return "ok";
  }
  return "err inval unknown request " + cmd;
}

}  // namespace sim
