// CUSBDriver: Lumera's link to the Q350RGB keyboard.
//
// The keyboard is reached through the HID access library libPallomar.so,
// loaded by name at run time (six C entry points, outside/pallomar/
// pallomar.h). It exposes two vendor interfaces (usage page 0xFF00, usage 1):
// the data interface (feature reports of 1032 bytes), which carries every
// command frame and every reply, and the command interface (feature reports
// of 6 bytes), which only carries the profile request. The device counts as
// open while both handles are held.
//
// Threads: FindDev, ClearHandle and the device count run on the user
// interface thread; the transfers run on the apply worker and, for the
// automatic profile switch, on the user interface thread. One lock is held
// for every single transfer try and taken by FindDev and ClearHandle, so a
// handle is never used after it was closed: a transfer that comes after the
// close finds no handle and fails (errno EBADF).
//
// Every transfer primitive tries 3 times and sleeps 200 ms after each failed
// try. A failed primitive or command leaves the last try's error in errno,
// which the callers log.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "lumera/model/config.h"
#include "outside/pallomar/pallomar.h"
#include "platform/hid/handle.h"
#include "platform/hid/module.h"
#include "platform/ui/window_messages.h"

namespace lumera {

class InputReportListener;

// Frame sizes, counting the report id byte.
constexpr std::size_t kLongFrameSize = 1032;
constexpr std::size_t kShortFrameSize = 9;
constexpr std::size_t kRequestFrameSize = 7;
constexpr std::size_t kLongReplySize = kLongFrameSize - 1;    // what a long read hands back
constexpr std::size_t kShortReplySize = kShortFrameSize - 1;  // what a short read hands back
constexpr std::size_t kLongHeaderSize = 6;                    // bytes 1..6 of a long command
constexpr std::size_t kLongPayloadSize = kLongReplySize - 1 - kLongHeaderSize;  // 1024

constexpr std::uint8_t kCommandReportId = 6;
constexpr std::uint8_t kRequestReportId = 5;
constexpr std::uint8_t kShortReplyReportId = 0;

// Report lengths that tell the two interfaces apart, and the input report
// length of the interface that delivers the keyboard's own 5-byte reports.
constexpr int kDataFeatureLength = 1032;
constexpr int kCommandFeatureLength = 6;
constexpr int kListenerInputLength = 5;

constexpr std::uint16_t kVendorUsagePage = 0xFF00;
constexpr std::uint16_t kVendorUsage = 1;
constexpr unsigned kOverlappedFlag = 0x40000000;

constexpr int kTransferTries = 3;
constexpr unsigned kRetryPauseMs = 200;

// The profile block: Global (8 bytes), Pro0 and Pro1 (64 bytes each).
constexpr std::size_t kGlobalBlockSize = 8;
constexpr std::size_t kProSize = 64;
constexpr std::size_t kProfileBlockSize = kGlobalBlockSize + 2 * kProSize;
static_assert(kProfileBlockSize == 136, "profile block is 136 bytes");
constexpr std::size_t kPro0Offset = kGlobalBlockSize;
constexpr std::size_t kPro1Offset = kGlobalBlockSize + kProSize;

// Long command bytes and the addresses of the blocks they write.
constexpr std::uint8_t kCmdSetProfile = 0x03;
constexpr std::uint8_t kCmdSetKeyMatrix = 0x04;
constexpr std::uint8_t kCmdSetMacroData = 0x05;
constexpr std::uint8_t kCmdSetColorTable = 0x08;
constexpr std::uint8_t kCmdSetLedMatrix = 0x09;
constexpr std::uint8_t kCmdGetProfile = 0x83;
constexpr std::uint8_t kKeyMatrixAddress = 0xC8;
constexpr std::uint8_t kMacroDataAddress = 0xCC;  // chunk i at 0xCC + 4 * i
constexpr std::uint8_t kColorTableAddress = 0xA8;
constexpr std::uint8_t kBlockLength = 0x40;       // header byte 3: 1024 bytes in 16-byte units

// Short command: 0x05 and a sub-command.
constexpr std::uint8_t kShortCommand = 0x05;
constexpr std::uint8_t kSubConfigStart = 0x76;
constexpr std::uint8_t kSubConfigEnd = 0x77;
constexpr std::uint8_t kSubPassword = 0x01;
constexpr std::uint8_t kPasswordAccepted = 0x5A;

constexpr std::size_t kPasswordSize = 6;
constexpr std::size_t kMacroChunkSize = 1024;
constexpr std::size_t kKeyMatrixSize = 1024;
constexpr std::size_t kColorTablePayloadSize = 1008;
constexpr std::size_t kLedFramePayloadSize = 792;

// The Pro block the keyboard gets back when the user resets (Pro0).
extern const std::array<std::uint8_t, kProSize> kProResetDefaults;

// Product string expected when "MatchStr" is set and "USBString" is empty.
constexpr const char16_t* kDefaultProductString = u"Varire Voror";

class CUSBDriver {
 public:
  // The driver reads "VID", "PID", "MatchStr", "USBString", "Debug", "Pop"
  // and "PSD" from `config` and re-reads its LED layout by the keyboard's
  // version when it finds one. The configuration must outlive the driver.
  explicit CUSBDriver(LumeraConfig& config = theConfig());
  virtual ~CUSBDriver();
  CUSBDriver(const CUSBDriver&) = delete;
  CUSBDriver& operator=(const CUSBDriver&) = delete;

  // Remembers the main window (the input-report listener posts 2027 to it
  // through `messenger`), loads the HID access library ("Pallomar":
  // libPallomar.so from the program folder, then the search path; a name
  // with '/' is a path) and resolves its entry points, then starts the
  // listener when "Pop" is set. False when the library is unusable; every
  // later search then finds no keyboard.
  bool LoadDriver(platform::WindowHandle window, platform::WindowMessenger& messenger,
                  const std::string& library = "Pallomar");
  bool Loaded() const;

  // Opens the keyboard: both interfaces, the version (LED layout) and, with
  // "MatchStr", the product string. Any handles held before are closed
  // first; a failure leaves both closed.
  bool FindDev();
  // How many keyboards match the vendor and product ids.
  int DeviceCount();
  // Closes both handles (logs "ClearHandle").
  void ClearHandle();

  bool IsOpen() const;
  // The data interface's handle value, for log lines only.
  const void* DeviceHandleValue() const;
  // Counts every change of the handles (closing or opening), so that a
  // caller can tell whether the keyboard was reopened while it worked.
  unsigned Generation() const { return generation_.load(); }

  // The search text of device arrival and removal names:
  // "USB#VID_%04x&PID_%04x" with the configured ids.
  std::string DeviceChangeSearchText() const;

  // ---- Transfer primitives ----

  // Short command: report id 6, 8 command bytes, on the data interface.
  bool SendShort(const std::uint8_t* command8);
  // Long command: report id 6, the command byte, its 6 header bytes and the
  // payload (at most 1024 bytes), zero-padded to 1032, on the data interface.
  bool SendLong(std::uint8_t command, const std::uint8_t* header6, const std::uint8_t* payload,
                std::size_t payloadSize);
  // Command request: report id 5, 6 bytes, on the command interface.
  bool SendRequest(const std::uint8_t* request6);
  // Long reply (report id 6, 1032 bytes): the 1031 bytes after the id.
  bool ReadLong(std::uint8_t* out1031);
  // Short reply (report id 0, 9 bytes): the 8 bytes after the id.
  bool ReadShort(std::uint8_t* out8);

  // ---- The command set ----

  // Configuration start (end = false, 05 76) or end (end = true, 05 77).
  bool SetConfigMode(bool end);
  // 05 01 and the 6 password bytes; true when the keyboard answers 05 01 5A.
  bool SetPassword(const std::uint8_t* password6);
  // The 136-byte profile block, asked for on the command interface.
  bool GetProfile(std::uint8_t* out136);
  bool SetProfile(const std::uint8_t* block136);
  bool SetKeyMatrix(const std::uint8_t* matrix1024);
  // One chunk of four macro buffers at `address` (0xCC + 4 x chunk).
  bool SetMacroData(const std::uint8_t* chunk1024, std::uint8_t address);
  bool SetColorTable(const std::uint8_t* table1008);
  // One frame of two colour groups at `address` (0xAC + 4 x frame).
  bool SetLedMatrix(const std::uint8_t* frame792, std::uint8_t address);

  // ---- The input-report listener ----

  // Opens the interface that delivers the keyboard's 5-byte input reports
  // (report id 7), for the listener; null when the keyboard has none. Reads
  // on the handle wait at most readTimeoutMs.
  platform::Handle OpenInputInterface(unsigned readTimeoutMs);
  // Stops the listener that LoadDriver started ("Pop"); it ends within
  // about half a second. The destructor does this too.
  void StopListener();
  bool ListenerRunning() const;

  const LumeraConfig& config() const { return config_; }
  // A copy of the configuration, taken under the lock that FindDev holds
  // while it re-reads the LED layout, so an apply on another thread sees
  // one consistent layout.
  LumeraConfig ConfigSnapshot() const;

 private:
  enum class Target { Data, Command };
  // One primitive: up to 3 tries of `call` on the handle, each try under
  // the lock, 200 ms after every failed try.
  template <typename Call>
  bool transfer(Target target, Call call);
  // A feature report out (report id first), or one read into `out` (the
  // bytes after the id), each as one transfer primitive.
  bool sendFeature(Target target, const std::uint8_t* frame, std::size_t size);
  bool readFeature(std::uint8_t reportId, std::uint8_t* out, std::size_t replySize);
  void closeHandlesLocked();
  std::u16string matchString() const;
  platform::Handle open(PallomarPredicate predicate, int debug, int readTimeoutMs, int* count);

  LumeraConfig& config_;
  mutable std::mutex configLock_;  // FindDev's LED layout re-read vs ConfigSnapshot

  platform::ModuleHandle module_ = nullptr;
  PallomarOpenHidDevice pOpenHidDevice_ = nullptr;
  PallomarSetFeature pSetFeature_ = nullptr;
  PallomarGetFeature pGetFeature_ = nullptr;
  PallomarGetInputReport pGetInputReport_ = nullptr;
  PallomarGetProductString pGetProductString_ = nullptr;
  PallomarGetVersionNumber pGetVersionNumber_ = nullptr;
  bool usable_ = false;

  mutable std::mutex lock_;  // every transfer try, FindDev, ClearHandle
  platform::Handle m_hDevice = nullptr;
  platform::Handle m_hCmd = nullptr;
  std::atomic<unsigned> generation_{0};

  std::unique_ptr<InputReportListener> listener_;
};

}  // namespace lumera
