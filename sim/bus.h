// The simulator's device bus: the keyboards that are plugged in, the faults
// a test has asked for, and the transcript of every report.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sim/keyboard.h"

namespace sim {

// One line per report: "<ms> <keyboard> <interface> <in|out> <hex>", the
// milliseconds since the simulator started, the report id first in the hex.
// Lines go to the file (flushed at once, before the host gets its answer)
// and stay in memory for the "transcript" request.
class Transcript {
 public:
  Transcript();
  ~Transcript();
  Transcript(const Transcript&) = delete;
  Transcript& operator=(const Transcript&) = delete;

  // An empty path keeps the transcript in memory only.
  bool open(const std::string& path);
  void record(int keyboard, int interfaceNumber, bool out, const Bytes& report);
  std::size_t size() const { return lines_.size(); }
  const std::vector<std::string>& lines() const { return lines_; }
  std::uint64_t elapsedMs() const;

 private:
  std::FILE* file_ = nullptr;
  std::uint64_t start_;
  std::vector<std::string> lines_;
};

enum class Status { Ok, NoDevice, Io, Invalid };

struct Faults {
  unsigned slowMs = 0;    // every transfer takes this much longer
  unsigned failNext = 0;  // this many transfers fail (the keyboard never sees them)
  int unplugAfter = -1;   // after this many more transfers the keyboard is pulled out
  bool mute = false;      // the keyboard sends no input reports
  // One-shot answers by report id: the next get-feature of that id answers
  // these bytes instead of the keyboard's (garbage or short replies).
  std::map<std::uint8_t, Bytes> replies;
};

struct Slot {
  int index = 0;
  std::unique_ptr<Keyboard> keyboard;
  bool plugged = false;
  unsigned generation = 0;  // counts plug-ins: a handle lives for one of them
  Faults faults;
};

class Bus {
 public:
  explicit Bus(Transcript& transcript) : transcript_(transcript) {}

  // Plug and unplug events, after the change.
  using Listener = std::function<void(bool arrival, const Slot& slot)>;
  void setListener(Listener listener) { listener_ = std::move(listener); }
  // Input reports the keyboards send, for the open sessions.
  using InputSink = std::function<void(const Slot& slot, int interfaceNumber, const Bytes& report)>;
  void setInputSink(InputSink sink) { sink_ = std::move(sink); }

  // A new keyboard; returns its index (indices are never reused).
  int plug(std::unique_ptr<Keyboard> keyboard);
  // Plugs a keyboard back in, with the memory it had.
  bool replug(int index);
  bool unplug(int index);
  Slot* find(int index);
  const std::vector<std::unique_ptr<Slot>>& all() const { return slots_; }

  // A session on one interface of the keyboard as it is plugged in now, or
  // (wantGeneration >= 0) only while it is still that plug-in.
  Status open(int index, int interfaceNumber, int wantGeneration, unsigned& generation);

  Status output(int index, unsigned generation, int interfaceNumber, const Bytes& report);
  Status setFeature(int index, unsigned generation, int interfaceNumber, const Bytes& report);
  Status getFeature(int index, unsigned generation, int interfaceNumber, std::uint8_t reportId, std::size_t length,
                    Bytes& report);
  // The simulated keyboards answer no input report by control transfer.
  Status getInputReport(int index, unsigned generation, int interfaceNumber);
  // An input report as if the keyboard had sent it.
  Status inject(int index, int interfaceNumber, const Bytes& report);

 private:
  Status begin(int index, unsigned generation, int interfaceNumber, Slot*& slot);
  void send(Slot& slot, int interfaceNumber, const Bytes& report);

  Transcript& transcript_;
  std::vector<std::unique_ptr<Slot>> slots_;
  Listener listener_;
  InputSink sink_;
};

bool hasInterface(const Keyboard& keyboard, int interfaceNumber);

}  // namespace sim
