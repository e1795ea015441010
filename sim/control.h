// Driving a running kbsim: plug, unplug, faults, settings, dumps, pictures
// and the transcript. Used by kavroctl and by tests (see sim_process.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {
class SimLink;
}

namespace sim {

struct TranscriptLine {
  std::uint64_t ms = 0;
  int keyboard = -1;
  int interfaceNumber = -1;
  bool out = false;  // host to keyboard
  std::vector<std::uint8_t> bytes;
};
bool parseTranscriptLine(const std::string& line, TranscriptLine& out);

struct KeyboardStatus {
  int index = -1;
  std::string model;
  bool plugged = false;
  std::uint16_t vendorId = 0, productId = 0, version = 0;
  std::string product;  // UTF-8
  unsigned slowMs = 0, failNext = 0;
  int unplugAfter = -1;
  bool mute = false;
  unsigned rejectedFrames = 0;
};

class Control {
 public:
  // Talks to the simulator on `socketPath` (default: where the programs
  // look for it). Every call makes its own short connection.
  explicit Control(std::string socketPath = {});

  const std::string& socketPath() const { return socket_; }
  // The simulator's error text (or the system's) of the last failed call.
  const std::string& lastError() const { return error_; }

  bool ping();
  bool list(std::vector<KeyboardStatus>& keyboards);
  bool plug(const std::string& model, int* index = nullptr);  // "q350rgb" / "q350"
  bool replug(int index);
  bool unplug(int index);
  bool setVersion(int index, unsigned version);
  bool setProductId(int index, unsigned productId);  // takes effect at the next plug
  bool setFirmware(int index, unsigned version);  // Q350: the version the program reads at 0x000C
  bool setProduct(int index, const std::string& utf8);
  bool setPassword(int index, const std::vector<std::uint8_t>& password);  // Q350RGB: 6 bytes
  bool slow(int index, unsigned ms);
  bool failNext(int index, unsigned count);
  bool unplugAfter(int index, unsigned transfers);
  bool mute(int index, bool on);
  bool clearFaults(int index);
  bool inject(int index, int interfaceNumber, const std::vector<std::uint8_t>& report);
  bool dump(int index, std::vector<std::uint8_t>& memory);
  bool render(int index, const std::string& pngPath);
  // Lines from `from` on; `total` gets the number of lines so far.
  bool transcript(std::vector<std::string>& lines, std::size_t from = 0, std::size_t* total = nullptr);
  bool stop();

  // One request line; `rest` gets what follows "ok".
  bool command(const std::string& line, std::string* rest = nullptr);
  bool commandList(const std::string& line, std::vector<std::string>& lines);

 private:
  bool connect(platform::SimLink& link);

  std::string socket_;
  std::string error_;
};

}  // namespace sim
