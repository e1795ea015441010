#include "lumera/device/usb_driver.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "lumera/device/listener.h"
#include "lumera/model/log.h"
#include "lumera/model/services.h"
#include "platform/clock.h"
#include "platform/format.h"
#include "platform/text.h"

namespace lumera {

const std::array<std::uint8_t, kProSize> kProResetDefaults = {
    0x00, 0x03, 0x01, 0x00,                                // 0..3
    0x00, 0x08, 0x20,                                      // 4..6
    0x01, 0x00, 0x00, 0x00, 0x00, 0x55, 0x55, 0x00, 0x00,  // 7..15
    0xFF, 0xFF,                                            // 16, 17
    0x03, 0x33, 0x07, 0x33, 0x07, 0x33, 0x07, 0x33,        // 18..49: one pair per effect
    0x07, 0x33, 0x03, 0x33, 0x07, 0x33, 0x87, 0x33,
    0x07, 0x34, 0x07, 0x33, 0x07, 0x33, 0x07, 0x33,
    0x87, 0x33, 0x87, 0x33, 0x00, 0x33, 0x00, 0x33,
    0x00, 0x00,                                            // 50, 51
    0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03,              // 52..58
    0x33, 0x33, 0x33,                                      // 59..61
    0x5A, 0xA5,                                            // 62, 63: signature
};

namespace {

// The library asks about every candidate interface; only its feature
// report length (the fourth value) tells the two interfaces apart.
extern "C" int acceptDataInterface(int, int, int, int featureLength) {
  return featureLength == kDataFeatureLength ? 1 : 0;
}
extern "C" int acceptCommandInterface(int, int, int, int featureLength) {
  return featureLength == kCommandFeatureLength ? 1 : 0;
}
extern "C" int acceptInputInterface(int, int inputLength, int, int) {
  return inputLength == kListenerInputLength ? 1 : 0;
}

template <typename T>
T entry(platform::ModuleHandle module, const char* name) {
  return reinterpret_cast<T>(platform::moduleSymbol(module, name));
}

}  // namespace

CUSBDriver::CUSBDriver(LumeraConfig& config) : config_(config) {}

CUSBDriver::~CUSBDriver() {
  StopListener();
  Log("ClearHandle");
  {
    std::lock_guard<std::mutex> guard(lock_);
    closeHandlesLocked();
  }
  if (module_) platform::freeModule(module_);
}

bool CUSBDriver::LoadDriver(platform::WindowHandle window, platform::WindowMessenger& messenger,
                            const std::string& library) {
  if (!module_) module_ = platform::loadModule(library);
  if (module_) {
    pOpenHidDevice_ = entry<PallomarOpenHidDevice>(module_, "OpenHidDevice");
    pSetFeature_ = entry<PallomarSetFeature>(module_, "SetFeature");
    pGetFeature_ = entry<PallomarGetFeature>(module_, "GetFeature");
    pGetInputReport_ = entry<PallomarGetInputReport>(module_, "GetInputReport");
    pGetProductString_ = entry<PallomarGetProductString>(module_, "GetProductString");
    pGetVersionNumber_ = entry<PallomarGetVersionNumber>(module_, "GetVersionNumber");
    if (!pGetVersionNumber_) showMessage(u"Warning", u"pGetVersionNumber is null", MessageIcon::Warning);
  }
  usable_ = module_ && pOpenHidDevice_ && pSetFeature_ && pGetProductString_ && pGetVersionNumber_;
  if (!usable_) Log("load dll failed.");
  if (config_.options().Pop != 0 && !listener_) {
    listener_ = std::make_unique<InputReportListener>(*this, messenger, window);
    listener_->Start();
  }
  return usable_;
}

bool CUSBDriver::Loaded() const { return usable_; }

std::u16string CUSBDriver::matchString() const {
  const Options& o = config_.options();
  return platform::formatU16("VID_%04X&PID_%04X", o.VID, o.PID);
}

std::string CUSBDriver::DeviceChangeSearchText() const {
  const Options& o = config_.options();
  return platform::format("USB#VID_%04x&PID_%04x", o.VID, o.PID);
}

platform::Handle CUSBDriver::open(PallomarPredicate predicate, int debug, int readTimeoutMs, int* count) {
  if (!usable_) {
    errno = ENODEV;
    return nullptr;
  }
  const std::u16string match = matchString();
  return static_cast<platform::Handle>(pOpenHidDevice_(kVendorUsagePage, kVendorUsage,
                                                       reinterpret_cast<const std::uint16_t*>(match.c_str()),
                                                       predicate, 0, readTimeoutMs, debug, 0, kOverlappedFlag, count));
}

void CUSBDriver::closeHandlesLocked() {
  if (m_hDevice) platform::closeHandle(m_hDevice);
  if (m_hCmd) platform::closeHandle(m_hCmd);
  if (m_hDevice || m_hCmd) ++generation_;
  m_hDevice = nullptr;
  m_hCmd = nullptr;
}

void CUSBDriver::ClearHandle() {
  Log("ClearHandle");
  std::lock_guard<std::mutex> guard(lock_);
  closeHandlesLocked();
}

bool CUSBDriver::FindDev() {
  ClearHandle();
  if (!usable_) return false;
  std::lock_guard<std::mutex> guard(lock_);
  Log("FindDev: looking for %s", matchString());
  m_hDevice = open(acceptDataInterface, theLog().level(), 0, nullptr);
  m_hCmd = open(acceptCommandInterface, 0, 0, nullptr);
  Log("m_hDevice=0x%x, m_hCmd=0x%x", static_cast<const void*>(m_hDevice), static_cast<const void*>(m_hCmd));
  if (m_hDevice || m_hCmd) ++generation_;
  if (!m_hDevice || !m_hCmd) {
    Log("ClearHandle");
    closeHandlesLocked();
    return false;
  }

  std::uint16_t version = 0;
  if (pGetVersionNumber_(m_hDevice, &version) & 0xFF) {
    Log("FindHIDDevice, InitLedMatrix=0x%x", version);
    std::lock_guard<std::mutex> configGuard(configLock_);
    config_.initLedMatrix(version);
  }

  const Options& o = config_.options();
  if (o.MatchStr != 0) {
    std::array<std::uint16_t, 260> buffer{};
    pGetProductString_(m_hDevice, buffer.data(), static_cast<int>(buffer.size()));
    buffer.back() = 0;  // whatever the library did, the text ends inside the buffer
    std::u16string product;
    for (std::uint16_t c : buffer) {
      if (c == 0) break;
      product.push_back(static_cast<char16_t>(c));
    }
    const std::u16string expected = o.USBString.empty() ? std::u16string(kDefaultProductString) : o.USBString;
    Log("Usb String=%s, Our Str=%s", product, expected);
    if (!platform::equalsNoCase(product, expected)) {
      Log("ClearHandle");
      closeHandlesLocked();
      return false;
    }
  }
  return true;
}

int CUSBDriver::DeviceCount() {
  int count = 0;
  platform::Handle h = open(acceptDataInterface, 0, 0, &count);
  if (h) platform::closeHandle(h);
  return count;
}

bool CUSBDriver::IsOpen() const {
  std::lock_guard<std::mutex> guard(lock_);
  return m_hDevice && m_hCmd;
}

const void* CUSBDriver::DeviceHandleValue() const {
  std::lock_guard<std::mutex> guard(lock_);
  return m_hDevice;
}

LumeraConfig CUSBDriver::ConfigSnapshot() const {
  std::lock_guard<std::mutex> guard(configLock_);
  return config_;
}

// ---- Transfer primitives ----

template <typename Call>
bool CUSBDriver::transfer(Target target, Call call) {
  int error = EBADF;
  for (int attempt = 0; attempt < kTransferTries; ++attempt) {
    bool ok = false;
    {
      std::lock_guard<std::mutex> guard(lock_);
      void* handle = target == Target::Data ? m_hDevice : m_hCmd;
      if (handle) {
        errno = 0;
        ok = call(handle);
        if (!ok) error = errno != 0 ? errno : EIO;
      } else {
        error = EBADF;
      }
    }
    if (ok) return true;
    platform::sleepMs(kRetryPauseMs);
  }
  errno = error;
  return false;
}

bool CUSBDriver::sendFeature(Target target, const std::uint8_t* frame, std::size_t size) {
  return transfer(target, [&](void* h) {
    return pSetFeature_ && (pSetFeature_(h, frame, static_cast<int>(size)) & 0xFF) != 0;
  });
}

bool CUSBDriver::readFeature(std::uint8_t reportId, std::uint8_t* out, std::size_t replySize) {
  std::array<std::uint8_t, kLongFrameSize> frame{};
  const std::size_t size = replySize + 1;
  const bool ok = transfer(Target::Data, [&](void* h) {
    std::fill_n(frame.begin(), size, 0);
    frame[0] = reportId;
    return pGetFeature_ && (pGetFeature_(h, frame.data(), static_cast<int>(size)) & 0xFF) != 0;
  });
  if (ok) std::memcpy(out, frame.data() + 1, replySize);
  return ok;
}

bool CUSBDriver::SendShort(const std::uint8_t* command8) {
  std::array<std::uint8_t, kShortFrameSize> frame{};
  frame[0] = kCommandReportId;
  std::memcpy(frame.data() + 1, command8, kShortReplySize);
  return sendFeature(Target::Data, frame.data(), frame.size());
}

bool CUSBDriver::SendLong(std::uint8_t command, const std::uint8_t* header6, const std::uint8_t* payload,
                          std::size_t payloadSize) {
  std::array<std::uint8_t, kLongFrameSize> frame{};
  frame[0] = kCommandReportId;
  frame[1] = command;
  std::memcpy(frame.data() + 2, header6, kLongHeaderSize);
  if (payloadSize > kLongPayloadSize) payloadSize = kLongPayloadSize;
  if (payloadSize) std::memcpy(frame.data() + 2 + kLongHeaderSize, payload, payloadSize);
  return sendFeature(Target::Data, frame.data(), frame.size());
}

bool CUSBDriver::SendRequest(const std::uint8_t* request6) {
  std::array<std::uint8_t, kRequestFrameSize> frame{};
  frame[0] = kRequestReportId;
  std::memcpy(frame.data() + 1, request6, kRequestFrameSize - 1);
  return sendFeature(Target::Command, frame.data(), frame.size());
}

bool CUSBDriver::ReadLong(std::uint8_t* out1031) { return readFeature(kCommandReportId, out1031, kLongReplySize); }

bool CUSBDriver::ReadShort(std::uint8_t* out8) { return readFeature(kShortReplyReportId, out8, kShortReplySize); }

// ---- The command set ----

namespace {

bool sendBlock(CUSBDriver& d, std::uint8_t command, std::uint8_t address, const std::uint8_t* payload,
               std::size_t size) {
  const std::uint8_t header[kLongHeaderSize] = {address, 0, kBlockLength, 0, 0, 0};
  return d.SendLong(command, header, payload, size);
}

}  // namespace

bool CUSBDriver::SetConfigMode(bool end) {
  const std::uint8_t command[kShortReplySize] = {kShortCommand, end ? kSubConfigEnd : kSubConfigStart};
  return SendShort(command);
}

bool CUSBDriver::SetPassword(const std::uint8_t* password6) {
  std::uint8_t command[kShortReplySize] = {kShortCommand, kSubPassword};
  std::memcpy(command + 2, password6, kPasswordSize);
  if (!SendShort(command)) return false;
  platform::sleepMs(10);
  std::uint8_t reply[kShortReplySize] = {};
  if (!ReadShort(reply)) return false;
  if (reply[0] == kShortCommand && reply[1] == kSubPassword) {
    if (reply[2] == kPasswordAccepted) return true;
    Log("SetPassword: Psd UnMatch");
  }
  errno = EACCES;
  return false;
}

bool CUSBDriver::GetProfile(std::uint8_t* out136) {
  const std::uint8_t request[kRequestFrameSize - 1] = {kCmdGetProfile};
  if (!SendRequest(request)) return false;
  platform::sleepMs(10);
  std::array<std::uint8_t, kLongReplySize> reply{};
  if (!ReadLong(reply.data())) return false;
  if (reply[0] != kCmdGetProfile) {
    errno = EPROTO;
    return false;
  }
  std::memcpy(out136, reply.data() + 1 + kLongHeaderSize, kProfileBlockSize);
  return true;
}

bool CUSBDriver::SetProfile(const std::uint8_t* block136) {
  const std::uint8_t header[kLongHeaderSize] = {0x00, 0, 0x00, 0, 0, 0};
  return SendLong(kCmdSetProfile, header, block136, kProfileBlockSize);
}

bool CUSBDriver::SetKeyMatrix(const std::uint8_t* matrix1024) {
  return sendBlock(*this, kCmdSetKeyMatrix, kKeyMatrixAddress, matrix1024, kKeyMatrixSize);
}

bool CUSBDriver::SetMacroData(const std::uint8_t* chunk1024, std::uint8_t address) {
  return sendBlock(*this, kCmdSetMacroData, address, chunk1024, kMacroChunkSize);
}

bool CUSBDriver::SetColorTable(const std::uint8_t* table1008) {
  return sendBlock(*this, kCmdSetColorTable, kColorTableAddress, table1008, kColorTablePayloadSize);
}

bool CUSBDriver::SetLedMatrix(const std::uint8_t* frame792, std::uint8_t address) {
  return sendBlock(*this, kCmdSetLedMatrix, address, frame792, kLedFramePayloadSize);
}

// ---- The input-report listener ----

platform::Handle CUSBDriver::OpenInputInterface(unsigned readTimeoutMs) {
  return open(acceptInputInterface, 0, static_cast<int>(readTimeoutMs), nullptr);
}

void CUSBDriver::StopListener() {
  if (listener_) listener_->Stop();
}

bool CUSBDriver::ListenerRunning() const { return listener_ && listener_->Running(); }

}  // namespace lumera
