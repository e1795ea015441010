#include "q350config/device/full_write.h"

#include "q350config/settings/key_tables.h"

namespace q350 {

namespace {

// Repeat modes of a placed macro key.
constexpr std::uint32_t kModeCount = 0;
constexpr std::uint32_t kModeToggle = 1;
constexpr std::uint32_t kModeWhilePressed = 2;

}  // namespace

void MacroSlotTable::Reset() { rows_.fill(Row{0, kNoSlot}); }

int MacroSlotTable::SlotOf(std::uint32_t id) const {
  for (const Row& r : rows_)
    if (r.id == id && r.slot < CUSBDriver::kMacroSlotCount) return r.slot;
  return -1;
}

void MacroSlotTable::Place(std::size_t k, std::uint32_t id) { rows_[k] = Row{id, static_cast<std::uint8_t>(k)}; }

std::uint32_t MacroKeyEntry(int slot, std::uint32_t repeat) {
  std::uint32_t mode = kModeCount;
  std::uint32_t count = repeat & 0xFF;
  if (repeat == kRepeatToggle) {
    mode = kModeToggle;
    count = 0;
  } else if (repeat == kRepeatWhilePressed) {
    mode = kModeWhilePressed;
    count = 0;
  }
  return kKindMacro | static_cast<std::uint32_t>(slot & 0xFF) << 8 | mode << 16 | count << 24;
}

FullWrite::FullWrite(CUSBDriver& driver, SettingsStore& settings, std::mutex& mutex,
                     platform::WindowMessenger& messenger, platform::WindowHandle mainWindow)
    : driver_(driver), settings_(settings), mutex_(mutex), messenger_(messenger), mainWindow_(mainWindow) {}

void FullWrite::post(platform::WindowHandle window, unsigned message, platform::WPARAM wParam) {
  messenger_.postMessage(window, message, wParam, 0);
}

void FullWrite::ResolveMacroKeys(MacroSlotTable& slots) {
  constexpr unsigned kUploadPauseMs = 30;
  KeyMap& keyMap = settings_.keyMap;
  for (const KeyListEntry& key : KeyList()) {
    const std::size_t i = key.matrixIndex;
    if (entryKind(keyMap[i]) != kKindMacro) continue;
    const std::uint32_t id = settings_.keyExtra.macroId(i);
    const StoredMacro* macro = settings_.macroLibrary.find(id);
    if (!macro || macro->size == 0) {
      keyMap[i] = settings_.defaultKeyMap[i];
      continue;
    }
    int slot = slots.SlotOf(id);
    if (slot >= 0) {
      // Already placed: sent again for this key, the slot is shared.
      driver_.WriteMacro(slot, *macro);
      driver_.Pause(kUploadPauseMs);
    } else {
      for (int k = 0; k < CUSBDriver::kMacroSlotCount; ++k) {
        if (slots.Taken(static_cast<std::size_t>(k))) continue;
        const int entries = driver_.WriteMacro(k, *macro);
        driver_.Pause(kUploadPauseMs);
        if (entries != 0) {
          slots.Place(static_cast<std::size_t>(k), id);
          slot = k;
          break;
        }
      }
    }
    keyMap[i] = slot >= 0 ? MacroKeyEntry(slot, macro->repeat) : settings_.defaultKeyMap[i];
  }
}

bool FullWrite::writeLighting(platform::WindowHandle progressWindow) {
  const ProfileSettings& s = settings_.profileSettings;
  bool ok = true;
  driver_.Pause(10);
  ok &= driver_.WriteByte(kAddrLightingSwitch, static_cast<std::uint8_t>(s.lightingSwitch));
  driver_.Pause(30);
  ok &= driver_.WriteByte(kAddrLightingMode, static_cast<std::uint8_t>(s.lightingMode));
  post(progressWindow, kMsgWriteProgress, 5);
  driver_.Pause(30);
  ok &= driver_.WriteByte(kAddrBrightness, static_cast<std::uint8_t>(s.brightness));
  post(progressWindow, kMsgWriteProgress, 10);
  driver_.Pause(30);
  ok &= driver_.WriteByte(kAddrEffectSpeed, static_cast<std::uint8_t>(5 - s.effectSpeed));
  post(progressWindow, kMsgWriteProgress, 15);
  driver_.Pause(30);
  ok &= driver_.WriteByte(kAddrReservedAD, 0);
  post(progressWindow, kMsgWriteProgress, 20);

  if (zoneSelection_) {
    for (unsigned zone = 0; zone < kZoneCount; ++zone) {
      driver_.Pause(20);
      const std::uint32_t colour = *zoneSelection_ == kAllZonesSelection ? s.commonColour : s.zoneColour[zone];
      ok &= driver_.WriteZoneColour(zone, colour);
    }
  }
  post(progressWindow, kMsgWriteProgress, 50);
  driver_.Pause(20);
  ok &= driver_.WriteCommonColour(s.commonColour);
  driver_.Pause(20);
  post(progressWindow, kMsgWriteProgress, 70);
  return ok;
}

bool FullWrite::Run(platform::WindowHandle progressWindow) {
  if (!messenger_.isWindow(mainWindow_)) {
    // Nobody to report to; still let the progress dialog go.
    post(progressWindow, platform::WM_CLOSE, 0);
    return false;
  }
  bool ok = true;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    driver_.Pause(20);
    post(progressWindow, kMsgWriteProgress, 0);
    driver_.Pause(500);

    ok = driver_.WriteMacroTable();
    MacroSlotTable slots;
    ResolveMacroKeys(slots);  // uploads count for nothing: a failed one falls back
    ok &= writeLighting(progressWindow);
    ok &= driver_.WriteKeyMap(kWriteBank, settings_.keyMap) != 0;
    post(progressWindow, kMsgWriteProgress, 95);
  }
  if (ok) {
    post(progressWindow, kMsgWriteProgress, 100);
    driver_.Pause(300);
    post(mainWindow_, kMsgWriteSucceeded, 0);
  } else {
    post(mainWindow_, kMsgWriteFailed, 0);
  }
  post(progressWindow, platform::WM_CLOSE, 0);
  return ok;
}

void WriteThread::Start(FullWrite job, platform::WindowHandle progressWindow) {
  Join();
  thread_ = std::thread([job, progressWindow]() mutable { job.Run(progressWindow); });
}

void WriteThread::Join() {
  if (thread_.joinable()) thread_.join();
}

}  // namespace q350
