// The line protocol client for kbsim, the keyboard simulator.
//
// kbsim listens on a Unix stream socket, by default "kavro-kbsim.sock" in
// the runtime folder; KAVRO_SIM_SOCKET names another. Requests and replies
// are text lines (sim/PROTOCOL.md); this is the one client of that protocol,
// used by the HID layer (listing, transfers, notifications), by the control
// library of the simulator and by kavroctl. No call waits without limit.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// $KAVRO_SIM_SOCKET when set and not empty, else <runtime folder>/kavro-kbsim.sock.
std::string simSocketPath();

// Lower-case hex pairs: "0a1b" (spaced: "0a 1b").
std::string hexEncode(const std::uint8_t* data, std::size_t size, bool spaced = false);
std::string hexEncode(const std::vector<std::uint8_t>& bytes, bool spaced = false);
// Accepts pairs with or without single spaces between them, any case.
bool hexDecode(std::string_view text, std::vector<std::uint8_t>& out);

// Splits "key=value key2=value2" into a map (words without '=' are skipped).
std::map<std::string, std::string> parseFields(std::string_view line);
// Splits on single spaces.
std::vector<std::string> splitWords(std::string_view line);

class SimLink {
 public:
  SimLink() = default;
  ~SimLink();
  SimLink(const SimLink&) = delete;
  SimLink& operator=(const SimLink&) = delete;

  // Connects to a listening simulator; false (errno ENOENT, ECONNREFUSED...)
  // when nothing listens there.
  bool connect(const std::string& socketPath);
  bool connected() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  void close();
  // Wakes a thread blocked in this link (from another thread); the link
  // answers no more.
  void shutdown();

  bool sendLine(std::string_view line);
  // Waits up to timeoutMs for one line (without its line feed). errno
  // ETIMEDOUT when none came, ECONNRESET when the simulator went away.
  bool readLine(std::string& line, unsigned timeoutMs);
  // Reads what the socket holds now without waiting; false when the peer
  // closed the connection.
  bool readAvailable();
  // A complete line already received, if any.
  bool takeLine(std::string& line);

  // Sends a request and reads its one-line reply. True when the reply
  // starts with "ok"; `rest` gets what follows "ok " (or the error text
  // after "err "). A reply "err <code> ..." sets errno from the code.
  bool request(std::string_view line, std::string& rest, unsigned timeoutMs);
  // A request whose reply is "ok ..." followed by lines up to "end".
  bool requestList(std::string_view line, std::vector<std::string>& lines, unsigned timeoutMs);

 private:
  int fd_ = -1;
  std::string buffer_;
};

// errno value for a protocol error code ("nodev" -> ENODEV, ...).
int simErrorCode(std::string_view code);

}  // namespace platform
