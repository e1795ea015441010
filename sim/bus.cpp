#include "sim/bus.h"

#include <algorithm>

#include "platform/clock.h"
#include "platform/hid/sim_link.h"

namespace sim {

Transcript::Transcript() : start_(platform::tickCount()) {}

Transcript::~Transcript() {
  if (file_) std::fclose(file_);
}

bool Transcript::open(const std::string& path) {
  if (path.empty()) return true;
  file_ = std::fopen(path.c_str(), "w");
  return file_ != nullptr;
}

std::uint64_t Transcript::elapsedMs() const { return platform::tickCount() - start_; }

void Transcript::record(int keyboard, int interfaceNumber, bool out, const Bytes& report) {
  std::string line = std::to_string(elapsedMs()) + " " + std::to_string(keyboard) + " " +
                     std::to_string(interfaceNumber) + (out ? " out " : " in ") + platform::hexEncode(report, true);
  if (file_) {
    std::fputs(line.c_str(), file_);
    std::fputc('\n', file_);
    std::fflush(file_);
  }
  lines_.push_back(std::move(line));
}

bool hasInterface(const Keyboard& keyboard, int interfaceNumber) {
  for (const InterfaceDesc& d : keyboard.interfaces())
    if (d.number == interfaceNumber) return true;
  return false;
}

int Bus::plug(std::unique_ptr<Keyboard> keyboard) {
  auto slot = std::make_unique<Slot>();
  slot->index = static_cast<int>(slots_.size());
  slot->keyboard = std::move(keyboard);
  slot->plugged = true;
  slot->generation = 1;
  slots_.push_back(std::move(slot));
  if (listener_) listener_(true, *slots_.back());
  return slots_.back()->index;
}

bool Bus::replug(int index) {
  Slot* slot = find(index);
  if (!slot || slot->plugged) return false;
  slot->plugged = true;
  ++slot->generation;
  slot->faults = Faults{};
  if (listener_) listener_(true, *slot);
  return true;
}

bool Bus::unplug(int index) {
  Slot* slot = find(index);
  if (!slot || !slot->plugged) return false;
  slot->plugged = false;
  if (listener_) listener_(false, *slot);
  return true;
}

Slot* Bus::find(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= slots_.size()) return nullptr;
  return slots_[static_cast<std::size_t>(index)].get();
}

Status Bus::open(int index, int interfaceNumber, int wantGeneration, unsigned& generation) {
  Slot* slot = find(index);
  if (!slot || !slot->plugged) return Status::NoDevice;
  if (wantGeneration >= 0 && static_cast<unsigned>(wantGeneration) != slot->generation) return Status::NoDevice;
  if (!hasInterface(*slot->keyboard, interfaceNumber)) return Status::Invalid;
  generation = slot->generation;
  return Status::Ok;
}

Status Bus::begin(int index, unsigned generation, int interfaceNumber, Slot*& slot) {
  slot = find(index);
  if (!slot || !slot->plugged || slot->generation != generation) return Status::NoDevice;
  if (!hasInterface(*slot->keyboard, interfaceNumber)) return Status::Invalid;
  Faults& f = slot->faults;
  if (f.unplugAfter == 0) {
    // Pulled out in the middle of whatever the host is doing.
    f.unplugAfter = -1;
    unplug(index);
    return Status::NoDevice;
  }
  if (f.unplugAfter > 0) --f.unplugAfter;
  if (f.failNext > 0) {
    --f.failNext;
    return Status::Io;
  }
  return Status::Ok;
}

void Bus::send(Slot& slot, int interfaceNumber, const Bytes& report) {
  if (slot.faults.mute) return;
  transcript_.record(slot.index, interfaceNumber, false, report);
  if (sink_) sink_(slot, interfaceNumber, report);
}

Status Bus::output(int index, unsigned generation, int interfaceNumber, const Bytes& report) {
  Slot* slot = nullptr;
  const Status s = begin(index, generation, interfaceNumber, slot);
  if (s != Status::Ok) return s;
  transcript_.record(index, interfaceNumber, true, report);
  std::vector<InputReport> answers;
  if (!slot->keyboard->output(interfaceNumber, report, answers)) return Status::Io;
  for (const InputReport& a : answers) send(*slot, a.interfaceNumber, a.bytes);
  return Status::Ok;
}

Status Bus::setFeature(int index, unsigned generation, int interfaceNumber, const Bytes& report) {
  Slot* slot = nullptr;
  const Status s = begin(index, generation, interfaceNumber, slot);
  if (s != Status::Ok) return s;
  transcript_.record(index, interfaceNumber, true, report);
  return slot->keyboard->setFeature(interfaceNumber, report) ? Status::Ok : Status::Io;
}

Status Bus::getFeature(int index, unsigned generation, int interfaceNumber, std::uint8_t reportId,
                       std::size_t length, Bytes& report) {
  Slot* slot = nullptr;
  const Status s = begin(index, generation, interfaceNumber, slot);
  if (s != Status::Ok) return s;
  if (!slot->keyboard->getFeature(interfaceNumber, reportId, length, report)) return Status::Io;
  // The keyboard's own answer is used up either way, as if it had been read.
  const auto forced = slot->faults.replies.find(reportId);
  if (forced != slot->faults.replies.end()) {
    report = forced->second;
    report.resize(std::min(report.size(), length));
    slot->faults.replies.erase(forced);
  }
  transcript_.record(index, interfaceNumber, false, report);
  return Status::Ok;
}

Status Bus::getInputReport(int index, unsigned generation, int interfaceNumber) {
  Slot* slot = nullptr;
  const Status s = begin(index, generation, interfaceNumber, slot);
  return s == Status::Ok ? Status::Io : s;
}

Status Bus::inject(int index, int interfaceNumber, const Bytes& report) {
  Slot* slot = find(index);
  if (!slot || !slot->plugged) return Status::NoDevice;
  if (!hasInterface(*slot->keyboard, interfaceNumber) || report.empty()) return Status::Invalid;
  send(*slot, interfaceNumber, report);
  return Status::Ok;
}

}  // namespace sim
