#include "sim/control.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/hid/sim_link.h"

namespace sim {

namespace {
constexpr unsigned kTimeoutMs = 5000;

std::string str(int v) { return std::to_string(v); }
}  // namespace

bool parseTranscriptLine(const std::string& line, TranscriptLine& out) {
  const std::vector<std::string> w = platform::splitWords(line);
  if (w.size() < 5 || (w[3] != "in" && w[3] != "out")) return false;
  char* end = nullptr;
  out.ms = std::strtoull(w[0].c_str(), &end, 10);
  if (*end) return false;
  out.keyboard = static_cast<int>(std::strtol(w[1].c_str(), &end, 10));
  if (*end) return false;
  out.interfaceNumber = static_cast<int>(std::strtol(w[2].c_str(), &end, 10));
  if (*end) return false;
  out.out = w[3] == "out";
  std::string hex;
  for (std::size_t i = 4; i < w.size(); ++i) hex += w[i];
  return platform::hexDecode(hex, out.bytes) && !out.bytes.empty();
}

Control::Control(std::string socketPath) : socket_(socketPath.empty() ? platform::simSocketPath() : socketPath) {}

bool Control::connect(platform::SimLink& link) {
  if (link.connect(socket_)) return true;
  error_ = "no simulator listens on " + socket_ + " (" + std::strerror(errno) + ")";
  return false;
}

bool Control::command(const std::string& line, std::string* rest) {
  error_.clear();
  platform::SimLink link;
  if (!connect(link)) return false;
  std::string r;
  if (link.request(line, r, kTimeoutMs)) {
    if (rest) *rest = r;
    return true;
  }
  error_ = r.empty() ? std::string(std::strerror(errno)) : r;
  return false;
}

bool Control::commandList(const std::string& line, std::vector<std::string>& lines) {
  error_.clear();
  platform::SimLink link;
  if (!connect(link)) return false;
  if (link.requestList(line, lines, kTimeoutMs)) return true;
  error_ = std::strerror(errno);
  return false;
}

bool Control::ping() { return command("hello"); }

bool Control::list(std::vector<KeyboardStatus>& keyboards) {
  keyboards.clear();
  std::vector<std::string> lines;
  if (!commandList("list", lines)) return false;
  for (const std::string& line : lines) {
    auto f = platform::parseFields(line);
    KeyboardStatus k;
    const auto num = [&](const char* key, int base) { return std::strtol(f[key].c_str(), nullptr, base); };
    k.index = static_cast<int>(num("index", 10));
    k.model = f["model"];
    k.plugged = f["plugged"] == "1";
    k.vendorId = static_cast<std::uint16_t>(num("vid", 16));
    k.productId = static_cast<std::uint16_t>(num("pid", 16));
    k.version = static_cast<std::uint16_t>(num("version", 16));
    std::vector<std::uint8_t> product;
    if (platform::hexDecode(f["product"], product)) k.product.assign(product.begin(), product.end());
    k.slowMs = static_cast<unsigned>(num("slow", 10));
    k.failNext = static_cast<unsigned>(num("fail", 10));
    k.unplugAfter = static_cast<int>(num("unplug-after", 10));
    k.mute = f["mute"] == "1";
    k.rejectedFrames = static_cast<unsigned>(num("rejected", 10));
    keyboards.push_back(std::move(k));
  }
  return true;
}

bool Control::plug(const std::string& model, int* index) {
  std::string rest;
  if (!command("plug " + model, &rest)) return false;
  if (index) *index = std::atoi(rest.c_str());
  return true;
}

bool Control::replug(int index) { return command("plug " + str(index)); }
bool Control::unplug(int index) { return command("unplug " + str(index)); }
bool Control::setVersion(int index, unsigned v) { return command("set " + str(index) + " version " + std::to_string(v)); }
bool Control::setProductId(int index, unsigned pid) {
  return command("set " + str(index) + " pid " + std::to_string(pid));
}
bool Control::setFirmware(int index, unsigned v) {
  return command("set " + str(index) + " firmware " + std::to_string(v));
}
bool Control::setProduct(int index, const std::string& utf8) {
  return command("set " + str(index) + " product " +
                 platform::hexEncode(reinterpret_cast<const std::uint8_t*>(utf8.data()), utf8.size()));
}
bool Control::setPassword(int index, const std::vector<std::uint8_t>& password) {
  return command("set " + str(index) + " password " + platform::hexEncode(password));
}
bool Control::slow(int index, unsigned ms) { return command("fault " + str(index) + " slow " + std::to_string(ms)); }
bool Control::failNext(int index, unsigned n) { return command("fault " + str(index) + " fail " + std::to_string(n)); }
bool Control::unplugAfter(int index, unsigned n) {
  return command("fault " + str(index) + " unplug-after " + std::to_string(n));
}
bool Control::mute(int index, bool on) { return command("fault " + str(index) + " mute " + (on ? "1" : "0")); }
bool Control::clearFaults(int index) { return command("fault " + str(index) + " clear"); }
bool Control::inject(int index, int mi, const std::vector<std::uint8_t>& report) {
  return command("inject " + str(index) + " " + str(mi) + " " + platform::hexEncode(report));
}

bool Control::dump(int index, std::vector<std::uint8_t>& memory) {
  std::string rest;
  if (!command("dump " + str(index), &rest)) return false;
  return platform::hexDecode(rest, memory);
}

bool Control::render(int index, const std::string& pngPath) {
  if (pngPath.find_first_of(" \n") != std::string::npos) {
    error_ = "the picture's path may not contain blanks";
    return false;
  }
  return command("render " + str(index) + " " + pngPath);
}

bool Control::transcript(std::vector<std::string>& lines, std::size_t from, std::size_t* total) {
  lines.clear();
  error_.clear();
  platform::SimLink link;
  if (!connect(link)) return false;
  std::string rest;
  // The simulator counts lines in a long; past the end it sends none.
  const std::size_t first = std::min<std::size_t>(from, 0x7FFFFFFF);
  if (!link.request("transcript " + std::to_string(first), rest, kTimeoutMs)) {
    error_ = rest.empty() ? std::string(std::strerror(errno)) : rest;
    return false;
  }
  if (total) *total = static_cast<std::size_t>(std::strtoull(rest.c_str(), nullptr, 10));
  std::string line;
  for (;;) {
    if (!link.readLine(line, kTimeoutMs)) {
      error_ = std::strerror(errno);
      return false;
    }
    if (line == "end") return true;
    lines.push_back(line);
  }
}

bool Control::stop() { return command("stop"); }

}  // namespace sim
