// CUSBDriver: Q350Config's link to the Q350 keyboard.
//
// The keyboard's configuration interface (usage page 0xFF1C, usage 0x92) is
// opened through OpenHidDevice of the HID helper library libQuillfen.so,
// loaded at run time. Every command is one 64-byte output report (frame.h);
// the memory read and the control byte write are answered by one input
// report, read straight after into the same buffer.
//
// The object has no lock of its own. The main thread uses it before a full
// write starts and the write thread while it runs (full_write.h); the two
// never overlap because the main window waits in the modal progress dialog
// meanwhile. Reads wait at most kReadTimeoutMs, so a keyboard that stops
// answering fails the command instead of freezing the program.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/hid/handle.h"
#include "outside/quillfen/quillfen.h"
#include "platform/hid/module.h"
#include "q350config/device/frame.h"
#include "q350config/settings/records.h"

namespace q350 {

// The keyboard's id text as the presence check and the open call use it.
constexpr const char16_t* kQ350DeviceId = u"VID_24AE&PID_4011";
constexpr std::uint16_t kQ350VendorId = 0x24AE;
constexpr std::uint16_t kQ350ProductId = 0x4011;
constexpr std::uint16_t kQ350UsagePage = 0xFF1C;
constexpr std::uint16_t kQ350Usage = 0x92;

// What the diagnostic probe lists of an interface: the fields of the HID
// capability record, in its order.
struct HidCapabilities {
  std::uint16_t usage = 0;
  std::uint16_t usagePage = 0;
  std::uint16_t inputReportByteLength = 0;
  std::uint16_t outputReportByteLength = 0;
  std::uint16_t featureReportByteLength = 0;
  std::uint16_t numberLinkCollectionNodes = 0;
  std::uint16_t numberInputButtonCaps = 0;
  std::uint16_t numberInputValueCaps = 0;
  std::uint16_t numberInputDataIndices = 0;
  std::uint16_t numberOutputButtonCaps = 0;
  std::uint16_t numberOutputValueCaps = 0;
  std::uint16_t numberOutputDataIndices = 0;
  std::uint16_t numberFeatureButtonCaps = 0;
  std::uint16_t numberFeatureValueCaps = 0;
  std::uint16_t numberFeatureDataIndices = 0;
};

class CUSBDriver {
 public:
  static constexpr unsigned kReadTimeoutMs = 1000;
  static constexpr unsigned kTransferTimeoutMs = 5000;
  static constexpr int kMaxKeyBank = 2;
  static constexpr int kMaxMacroSlot = 50;
  static constexpr int kMacroSlotCount = 20;  // slots the macro address table lists

  CUSBDriver();
  ~CUSBDriver();
  CUSBDriver(const CUSBDriver&) = delete;
  CUSBDriver& operator=(const CUSBDriver&) = delete;

  // Loads the HID helper library ("Quillfen": libQuillfen.so from the
  // program folder, then the search path; a path with '/' is taken as it
  // is) and looks up OpenHidDevice. 1 when both were found, else 0; the
  // program goes on either way, it just cannot open the keyboard.
  int Init(const std::string& library = "Quillfen");
  bool HasOpenEntry() const { return open_ != nullptr; }

  // Opens the keyboard: OpenHidDevice(0xFF1C, 0x92, "VID_24AE&PID_4011",
  // 0, 0, 0, 0, 0). A handle opened before is closed first. False when the
  // library is missing or the keyboard cannot be opened; every command
  // then fails.
  bool OpenDevice();
  bool IsOpen() const { return device_ != nullptr; }
  void CloseDevice();

  // One 64-byte output report; true when the system took it.
  bool WriteFrame(const Frame& frame);
  // One 64-byte input report into `buffer`; false on failure or time-out.
  bool ReadReply(Frame& buffer);

  // Whether a USB device whose hardware id contains `id` (any letter case)
  // is present; independent of the open handle.
  static bool IsDevicePresent(std::u16string_view id);

  // Diagnostic: looks for the Q350's interface with usage page 0xFF1C among
  // the HID interfaces, writing the 15 capability lines of every Q350
  // interface it passes to the debugger output. True with `caps` filled when
  // found; false, and nothing written, without a Q350.
  static bool ProbeHidInterface(HidCapabilities* caps);

  // The pauses between frames (milliseconds); tests make them instant or
  // record them.
  void setPauseFunction(std::function<void(unsigned)> pause) { pause_ = std::move(pause); }
  void Pause(unsigned ms) const { pause_(ms); }

  // ---- The command set ----

  bool BeginWrite();
  bool EndWrite();
  // Byte 8 + 10 x byte 9 of the reply to a read of 0x000C; 0 on failure.
  unsigned ReadFirmwareVersion();
  // Writes 1 to the control byte and reads the keyboard's answer.
  bool WriteControlByte();
  bool WriteByte(std::uint16_t address, std::uint8_t value);
  bool WriteZoneColour(unsigned zone, std::uint32_t colour);
  bool WriteCommonColour(std::uint32_t colour);
  // The 20 macro slot addresses at 0x0990.
  bool WriteMacroTable();
  // 112 bytes into macro slot `slot` (0..50), framed by write start and
  // write end; 1 or 0. A failed data frame ends it without the write end.
  int WriteMacroSlot(int slot, const std::uint8_t* data);
  // Encodes the macro and sends it to the slot: the number of entries
  // encoded, or 0 (nothing sent) for a macro that cannot be encoded.
  int WriteMacro(int slot, const StoredMacro& macro);
  // The key table into bank 0..2: nine frames of 56 bytes; 1 or 0.
  int WriteKeyMap(int bank, const KeyMap& keyMap);

 private:
  // Throws away input reports left over from an earlier exchange whose
  // answer came late, so that the next read gets the answer to its own
  // request.
  void drainStaleReplies();
  bool writeMemory(std::uint16_t address, const std::uint8_t* data, std::size_t size);

  platform::ModuleHandle library_ = nullptr;
  QuillfenOpenHidDevice open_ = nullptr;
  platform::Handle device_ = nullptr;
  std::function<void(unsigned)> pause_;
};

}  // namespace q350
