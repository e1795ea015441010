#include "q350config/device/usb_driver.h"

#include <algorithm>

#include "platform/clock.h"
#include "platform/format.h"
#include "platform/hid/hid.h"
#include "platform/text.h"
#include "q350config/device/macro_encoder.h"
#include "q350config/settings/byteorder.h"

namespace q350 {

namespace {

constexpr unsigned kMultiFramePauseMs = 30;
// More stale reports than a hidraw queue holds means the keyboard is
// streaming; give up rather than spin.
constexpr int kMaxStaleReports = 64;

}  // namespace

CUSBDriver::CUSBDriver() : pause_(platform::sleepMs) {}

CUSBDriver::~CUSBDriver() {
  CloseDevice();
  if (library_) platform::freeModule(library_);
}

int CUSBDriver::Init(const std::string& library) {
  if (!library_) library_ = platform::loadModule(library);
  if (!library_) return 0;
  open_ = reinterpret_cast<QuillfenOpenHidDevice>(platform::moduleSymbol(library_, "OpenHidDevice"));
  return open_ ? 1 : 0;
}

bool CUSBDriver::OpenDevice() {
  CloseDevice();
  if (!open_) return false;
  const std::u16string id = kQ350DeviceId;
  device_ = static_cast<platform::Handle>(
      open_(kQ350UsagePage, kQ350Usage, reinterpret_cast<const std::uint16_t*>(id.c_str()), 0, 0, 0, 0, 0));
  // The time-outs are ours to choose, not the helper library's: a read
  // never waits longer than this for the keyboard.
  if (device_) platform::setHandleTimeouts(device_, kReadTimeoutMs, kTransferTimeoutMs);
  return device_ != nullptr;
}

void CUSBDriver::CloseDevice() {
  if (device_) platform::closeHandle(device_);
  device_ = nullptr;
}

bool CUSBDriver::WriteFrame(const Frame& frame) {
  std::uint32_t written = 0;
  return platform::writeFile(device_, frame.data(), kFrameSize, &written);
}

bool CUSBDriver::ReadReply(Frame& buffer) {
  std::uint32_t got = 0;
  return platform::readFile(device_, buffer.data(), kFrameSize, &got);
}

void CUSBDriver::drainStaleReplies() {
  if (!device_) return;
  platform::setHandleTimeouts(device_, 0, kTransferTimeoutMs);
  Frame scratch{};
  std::uint32_t got = 0;
  for (int i = 0; i < kMaxStaleReports && platform::readFile(device_, scratch.data(), kFrameSize, &got); ++i) {
  }
  platform::setHandleTimeouts(device_, kReadTimeoutMs, kTransferTimeoutMs);
}

bool CUSBDriver::IsDevicePresent(std::u16string_view id) {
  return platform::usbHardwareIdPresent(platform::toUtf8(id));
}

bool CUSBDriver::ProbeHidInterface(HidCapabilities* caps) {
  for (const platform::HidInterfaceInfo& info : platform::enumerateHidInterfaces()) {
    if (info.vendorId != kQ350VendorId || info.productId != kQ350ProductId) continue;
    // The HID layer already worked out each interface's capabilities from
    // its report descriptor, so nothing needs to be opened here. It does not
    // count value and button capabilities; those lines show 0. Every
    // top-level collection is one link collection node at least.
    HidCapabilities c;
    c.usage = info.usage;
    c.usagePage = info.usagePage;
    c.inputReportByteLength = info.inputReportLength;
    c.outputReportByteLength = info.outputReportLength;
    c.featureReportByteLength = info.featureReportLength;
    c.numberLinkCollectionNodes = 1;
    const auto line = [](const char* fmt, unsigned v) { platform::debugOutput(platform::format(fmt, v)); };
    line("Usage ID:                      0x%02X\n", c.usage);
    line("Usage Page:                      0x%04X\n", c.usagePage);
    line("Input Report Byte Length:        %d\n", c.inputReportByteLength);
    line("Output Report Byte Length:       %d\n", c.outputReportByteLength);
    line("Feature Report Byte Length:      %d\n", c.featureReportByteLength);
    line("Number of Link Collection Nodes: %d\n", c.numberLinkCollectionNodes);
    line("Number of Input Button Caps:     %d\n", c.numberInputButtonCaps);
    line("Number of InputValue Caps:       %d\n", c.numberInputValueCaps);
    line("Number of InputData Indices:     %d\n", c.numberInputDataIndices);
    line("Number of Output Button Caps:    %d\n", c.numberOutputButtonCaps);
    line("Number of Output Value Caps:     %d\n", c.numberOutputValueCaps);
    line("Number of Output Data Indices:   %d\n", c.numberOutputDataIndices);
    line("Number of Feature Button Caps:   %d\n", c.numberFeatureButtonCaps);
    line("Number of Feature Value Caps:    %d\n", c.numberFeatureValueCaps);
    line("Number of Feature Data Indices:  %d\n", c.numberFeatureDataIndices);
    if (c.usagePage == kQ350UsagePage) {
      if (caps) *caps = c;
      return true;
    }
  }
  return false;
}

// ---- The command set ----

bool CUSBDriver::BeginWrite() { return WriteFrame(buildFrame(kCmdWriteStart, 0, 0)); }

bool CUSBDriver::EndWrite() { return WriteFrame(buildFrame(kCmdWriteEnd, 0, 0)); }

unsigned CUSBDriver::ReadFirmwareVersion() {
  drainStaleReplies();
  Frame f = buildFrame(kCmdMemoryRead, 2, kAddrFirmwareVersion);
  if (!WriteFrame(f) || !ReadReply(f)) return 0;
  return f[kFrameDataOffset] + 10u * f[kFrameDataOffset + 1];
}

bool CUSBDriver::WriteControlByte() {
  drainStaleReplies();
  const std::uint8_t one = 1;
  Frame f = buildFrame(kCmdMemoryWrite, 1, kAddrControl, &one, 1);
  return WriteFrame(f) && ReadReply(f);
}

bool CUSBDriver::writeMemory(std::uint16_t address, const std::uint8_t* data, std::size_t size) {
  return WriteFrame(buildFrame(kCmdMemoryWrite, static_cast<std::uint8_t>(size), address, data, size));
}

bool CUSBDriver::WriteByte(std::uint16_t address, std::uint8_t value) { return writeMemory(address, &value, 1); }

bool CUSBDriver::WriteZoneColour(unsigned zone, std::uint32_t colour) {
  // The zone addresses all lie in the first 256 bytes.
  const auto address = static_cast<std::uint16_t>((3 * zone + kAddrZoneColours) & 0xFF);
  const auto pct = colourPercentages(colour);
  return writeMemory(address, pct.data(), pct.size());
}

bool CUSBDriver::WriteCommonColour(std::uint32_t colour) {
  const auto pct = colourPercentages(colour);
  return writeMemory(kAddrCommonColour, pct.data(), pct.size());
}

bool CUSBDriver::WriteMacroTable() {
  std::uint8_t data[kFrameMaxData] = {};  // 20 addresses, then 16 zero bytes
  for (int i = 0; i < kMacroSlotCount; ++i) {
    const auto address = static_cast<std::uint16_t>(kAddrMacroSlots + kMacroSlotStride * i);
    data[2 * i] = static_cast<std::uint8_t>(address & 0xFF);
    data[2 * i + 1] = static_cast<std::uint8_t>(address >> 8);
  }
  return writeMemory(kAddrMacroSlotTable, data, sizeof data);
}

int CUSBDriver::WriteMacroSlot(int slot, const std::uint8_t* data) {
  if (!data || slot < 0 || slot > kMaxMacroSlot) return 0;
  const auto address = static_cast<std::uint16_t>(kAddrMacroSlots + kMacroSlotStride * slot);
  BeginWrite();
  for (std::size_t part = 0; part < 2; ++part) {
    if (!writeMemory(static_cast<std::uint16_t>(address + kFrameMaxData * part), data + kFrameMaxData * part,
                     kFrameMaxData))
      return 0;
    Pause(kMultiFramePauseMs);
  }
  EndWrite();
  return 1;
}

int CUSBDriver::WriteMacro(int slot, const StoredMacro& macro) {
  DeviceMacro encoded;
  if (!EncodeMacro(macro, encoded)) return 0;
  WriteMacroSlot(slot, encoded.bytes.data());
  return static_cast<int>(encoded.entries);
}

int CUSBDriver::WriteKeyMap(int bank, const KeyMap& keyMap) {
  if (bank < 0 || bank > kMaxKeyBank) return 0;
  // Nine frames carry 504 bytes; the 24 after the 480 of the table are the
  // rest of the bank and go out as zeros.
  constexpr std::size_t kFrames = 9;
  std::uint8_t bytes[kFrames * kFrameMaxData] = {};
  static_assert(sizeof bytes >= 4 * kKeyCount);
  putLe32Array(bytes, keyMap);
  const auto base = static_cast<std::uint16_t>(kAddrKeyTables + kKeyTableBankStride * bank);
  BeginWrite();
  for (std::size_t k = 0; k < kFrames; ++k) {
    if (!writeMemory(static_cast<std::uint16_t>(base + kFrameMaxData * k), bytes + kFrameMaxData * k, kFrameMaxData))
      return 0;
    Pause(kMultiFramePauseMs);
  }
  EndWrite();
  return 1;
}

}  // namespace q350
