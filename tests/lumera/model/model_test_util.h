// Capturing what the model says to the user and to the debugger in tests.
#pragma once

#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "lumera/model/services.h"
#include "platform/clock.h"
#include "platform/text.h"

namespace lumera::test {

// Installs itself as the message-box handler for its lifetime and keeps
// every message as "Caption: text".
class MessageCapture final : public MessageBoxes {
 public:
  MessageCapture() { setMessageBoxes(this); }
  ~MessageCapture() override { setMessageBoxes(nullptr); }
  void show(std::u16string_view caption, std::u16string_view text, MessageIcon icon) override {
    std::lock_guard<std::mutex> lock(mutex_);
    shown_.push_back(platform::toUtf8(caption) + ": " + platform::toUtf8(text));
    icons_.push_back(icon);
  }
  std::vector<std::string> shown() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return shown_;
  }
  std::vector<MessageIcon> icons() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return icons_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> shown_;
  std::vector<MessageIcon> icons_;
};

// Collects the debugger output lines for its lifetime.
class DebugCapture {
 public:
  DebugCapture() { platform::setDebugSink(&DebugCapture::sink, this); }
  ~DebugCapture() { platform::setDebugSink(nullptr, nullptr); }
  std::vector<std::string> lines() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
  }
  bool contains(const std::string& part) const {
    for (const std::string& l : lines())
      if (l.find(part) != std::string::npos) return true;
    return false;
  }

 private:
  static void sink(std::string_view line, void* self) {
    auto* me = static_cast<DebugCapture*>(self);
    std::lock_guard<std::mutex> lock(me->mutex_);
    me->lines_.emplace_back(line);
  }
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
};

// A clock that stands still at a given time and only counts pauses.
class FixedClock final : public Clock {
 public:
  explicit FixedClock(platform::LocalTime t) : time_(t) {}
  platform::LocalTime now() const override { return time_; }
  void sleepMs(unsigned ms) const override { slept_ += ms; }
  void set(platform::LocalTime t) { time_ = t; }
  unsigned slept() const { return slept_; }

 private:
  platform::LocalTime time_;
  mutable unsigned slept_ = 0;
};

}  // namespace lumera::test
