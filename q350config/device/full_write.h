// The full write: the profile in use (macros, lighting, key table) into the
// keyboard, on a thread of its own while the main window shows a modal
// progress dialog.
//
// Order: the macro slot address table; the macro keys of the key list
// resolved to keyboard slots (their macros uploaded on the way); lighting
// switch, mode, brightness, speed and the reserved byte; the seven zone
// colours (only when a lighting page exists); the common colour; the key
// table into bank 1. Pacing is fixed by pauses, not by the keyboard's
// answers. The thread holds the main window's mutex from start to end and
// reports only by posted messages:
//
//   1067 to the progress window   wParam 0, 5, 10, 15, 20, 50, 70, 95, 100
//   1795 to the main window       the write succeeded (the main window then
//                                 stores the profile table and the profile)
//   1796 to the main window       the write failed ("Setting Error")
//   WM_CLOSE to the progress window, last of all
//
// The macro resolution rewrites the live key table: after a write every
// macro key holds its slot entry, and a key whose macro could not be placed
// holds its factory entry.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/ui/window_messages.h"
#include "q350config/device/usb_driver.h"
#include "q350config/settings/settings_store.h"

namespace q350 {

constexpr unsigned kMsgWriteProgress = 1067;
constexpr unsigned kMsgWriteSucceeded = 1795;
constexpr unsigned kMsgWriteFailed = 1796;

// The lighting page's zone choice that means "every zone in one colour".
constexpr int kAllZonesSelection = 7;
// The key table bank the program writes.
constexpr int kWriteBank = 1;

// Which keyboard slot holds which macro during one full write. Only rows
// 0..19 are ever filled, row k with slot k.
class MacroSlotTable {
 public:
  static constexpr std::size_t kRows = 500;
  static constexpr std::uint8_t kNoSlot = 0xFF;

  MacroSlotTable() { Reset(); }
  // Every row to id 0, no slot.
  void Reset();
  // The slot (below 20) already holding macro `id`, or -1.
  int SlotOf(std::uint32_t id) const;
  // Whether row k has been given a macro.
  bool Taken(std::size_t k) const { return rows_[k].slot != kNoSlot; }
  void Place(std::size_t k, std::uint32_t id);

 private:
  struct Row {
    std::uint32_t id;
    std::uint8_t slot;
  };
  std::array<Row, kRows> rows_;
};

// The key-table entry of a macro key placed in `slot`: 0x05 | slot << 8 |
// mode << 16 | count << 24, with mode and count taken from the macro's
// repeat value.
std::uint32_t MacroKeyEntry(int slot, std::uint32_t repeat);

class FullWrite {
 public:
  // `mainWindow` receives 1795/1796; `mutex` is the main window's, held for
  // the whole run.
  FullWrite(CUSBDriver& driver, SettingsStore& settings, std::mutex& mutex, platform::WindowMessenger& messenger,
            platform::WindowHandle mainWindow);

  // The lighting page's zone selection when the page exists (nullopt: no
  // page, the zone colours are not sent). The caller reads it before the
  // thread starts; the modal progress dialog keeps it from changing.
  void setZoneSelection(std::optional<int> selection) { zoneSelection_ = selection; }

  // The whole write on the calling thread, reporting to `progressWindow`
  // and the main window. True when it succeeded.
  bool Run(platform::WindowHandle progressWindow);

  // Step 6 alone: resolves the macro keys of the key list in the live key
  // table, uploading their macros.
  void ResolveMacroKeys(MacroSlotTable& slots);

 private:
  void post(platform::WindowHandle window, unsigned message, platform::WPARAM wParam);
  bool writeLighting(platform::WindowHandle progressWindow);

  CUSBDriver& driver_;
  SettingsStore& settings_;
  std::mutex& mutex_;
  platform::WindowMessenger& messenger_;
  platform::WindowHandle mainWindow_;
  std::optional<int> zoneSelection_;
};

// The write thread. The progress window is handed over when the thread
// starts, so it never has to be looked up while the dialog may not exist
// yet. Destroying the object waits for a running write to end.
class WriteThread {
 public:
  WriteThread() = default;
  ~WriteThread() { Join(); }
  WriteThread(const WriteThread&) = delete;
  WriteThread& operator=(const WriteThread&) = delete;

  // Starts `job` on a new thread (after waiting for an earlier one).
  void Start(FullWrite job, platform::WindowHandle progressWindow);
  // Waits for the thread to end.
  void Join();

 private:
  std::thread thread_;
};

}  // namespace q350
