// The input-report listener: a thread that reads the keyboard's 5-byte
// input reports (report id 7) and posts each one to the main window as
// message 2027 (wParam: bytes 1..4 as a little-endian 32-bit value,
// lParam 0). It runs only with the "Pop" option; the main window ignores
// the message.
//
// The reports come on the keyboard interface whose input reports are 5
// bytes long (the command interface of the Q350RGB). The listener opens it
// through the driver's HID access library; a keyboard without such an
// interface (or none at all) gives reads that fail at once, which are tried
// again every 50 ms, the opening once a second.
//
// The read waits in slices of at most kReadSliceMs, so Stop() ends the
// thread within about half a second; it then joins it.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/hid/handle.h"
#include "platform/ui/window_messages.h"

namespace lumera {

class CUSBDriver;

constexpr unsigned kMsgDeviceReport = 2027;
constexpr unsigned char kListenerReportId = 7;

class InputReportListener {
 public:
  static constexpr unsigned kPollMs = 50;
  static constexpr unsigned kReadSliceMs = 200;
  static constexpr unsigned kReopenMs = 1000;

  InputReportListener(CUSBDriver& driver, platform::WindowMessenger& messenger, platform::WindowHandle window);
  ~InputReportListener();
  InputReportListener(const InputReportListener&) = delete;
  InputReportListener& operator=(const InputReportListener&) = delete;

  void Start();
  void Stop();
  bool Running() const;

 private:
  void run();
  // Waits up to `ms` for the stop request; true when it came.
  bool waitForStop(unsigned ms);
  bool stopRequested() const;
  void post(const unsigned char* report);

  CUSBDriver& driver_;
  platform::WindowMessenger& messenger_;
  platform::WindowHandle window_;
  platform::Handle input_ = nullptr;  // used by the thread only

  mutable std::mutex mutex_;
  std::condition_variable stopEvent_;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace lumera
