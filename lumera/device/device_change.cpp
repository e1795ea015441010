#include "lumera/device/device_change.h"

#include "lumera/device/usb_driver.h"
#include "lumera/model/log.h"
#include "platform/clock.h"
#include "platform/text.h"

namespace lumera {

bool DeviceChangeHandler::Matches(std::string_view interfaceName) const {
  const std::string search = platform::toLowerAscii(driver_.DeviceChangeSearchText());
  return platform::toLowerAscii(interfaceName).find(search) != std::string::npos;
}

platform::LRESULT DeviceChangeHandler::OnDeviceChange(unsigned event, std::string_view interfaceName) {
  if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) return 0;
  if (!Matches(interfaceName)) return 0;
  if (event == DBT_DEVICEARRIVAL) {
    Log("Device IN");
    for (int attempt = 0; attempt < kArrivalTries; ++attempt) {
      platform::sleepMs(kArrivalPauseMs);
      if (driver_.FindDev()) break;
    }
    return 0;
  }
  Log("Device OUT");
  if (steps_.showRemovedMessage) steps_.showRemovedMessage();
  driver_.ClearHandle();
  if (steps_.closeTopWindows) steps_.closeTopWindows();
  if (steps_.closeMainWindow) steps_.closeMainWindow();
  return 0;
}

}  // namespace lumera
