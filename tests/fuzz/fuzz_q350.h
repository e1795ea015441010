// The Q350 fuzz targets' common step: the full write's macro resolution on
// the settings in use, with no keyboard behind the driver (every upload
// fails, so each macro key falls back or stays as it is) and no pauses.
#pragma once

#include <mutex>

#include "q350config/device/full_write.h"
#include "tests/fuzz/fuzz_device.h"

namespace fuzzsupport {

inline void resolveMacroKeysWithoutKeyboard(q350::SettingsStore& store) {
  q350::CUSBDriver driver;
  driver.setPauseFunction([](unsigned) {});
  std::mutex mutex;
  StubWindows windows;
  q350::FullWrite write(driver, store, mutex, windows, 1);
  q350::MacroSlotTable slots;
  write.ResolveMacroKeys(slots);
}

}  // namespace fuzzsupport
