// kavroctl hid ...: the HID interfaces and USB devices the programs see
// (real and simulated), and their arrival and removal, the way a user checks
// that a keyboard is visible.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/command.h"
#include "platform/clock.h"
#include "platform/hid/device_watcher.h"
#include "platform/hid/hid.h"
#include "platform/text.h"

namespace {

constexpr std::uint16_t kVendor = 0x24AE;
constexpr const char* kRuleName = "70-kavro-keyboards.rules";

const char* familyModel(const platform::HidInterfaceInfo& info) {
  if (info.vendorId != kVendor) return nullptr;
  if (info.productId == 0x4018) return "Q350RGB";
  if (info.productId == 0x4011) return "Q350";
  return nullptr;
}

int runList(const cli::Args&) {
  const std::vector<platform::HidInterfaceInfo> list = platform::enumerateHidInterfaces();
  if (list.empty()) std::printf("no HID interfaces\n");
  std::vector<const platform::HidInterfaceInfo*> locked;
  for (const platform::HidInterfaceInfo& i : list) {
    std::printf("%s  VID_%04X&PID_%04X version 0x%04X usage page 0x%04X usage 0x%04X reports in %u out %u feature %u"
                "  \"%s\"%s%s\n",
                i.path.c_str(), i.vendorId, i.productId, i.versionNumber, i.usagePage, i.usage, i.inputReportLength,
                i.outputReportLength, i.featureReportLength, platform::toUtf8(i.productString).c_str(),
                i.simulated ? "  [simulated]" : "", i.accessible ? "" : "  [no access]");
    if (!i.accessible && familyModel(i)) locked.push_back(&i);
  }
  std::string seen;
  for (const platform::HidInterfaceInfo* i : locked) {
    if (seen.find(i->node) != std::string::npos) continue;
    seen += i->node + "\n";
    std::fprintf(stderr,
                 "kavroctl: the %s keyboard is plugged in, but %s cannot be opened for reading and writing.\n"
                 "  Install the udev rule %s (shipped under lib/udev/rules.d of the installation): copy it to\n"
                 "  /etc/udev/rules.d/, run 'sudo udevadm control --reload-rules && sudo udevadm trigger',\n"
                 "  then unplug the keyboard and plug it back in.\n",
                 familyModel(*i), i->node.c_str(), kRuleName);
  }
  return 0;
}

int runUsb(const cli::Args&) {
  for (const std::string& id : platform::usbHardwareIds()) std::printf("%s\n", id.c_str());
  return 0;
}

volatile std::sig_atomic_t gStop = 0;
void onSignal(int) { gStop = 1; }

int runWatch(const cli::Args& args) {
  long long count = -1, timeout = -1;
  if ((args.has("count") && (!cli::parseNumber(args.option("count"), count) || count < 1)) ||
      (args.has("timeout") && (!cli::parseNumber(args.option("timeout"), timeout) || timeout < 0)))
    return cli::fail("usage: kavroctl hid watch [--count N] [--timeout MS]", 2);
  platform::DeviceWatcher watcher;
  long long seen = 0;
  watcher.setHandler([&](const platform::DeviceNotification& n) {
    std::printf("%s %s %s\n", n.arrival ? "arrival" : "removal",
                n.interfaceClass == platform::kUsbDeviceInterfaceClass ? "usb" : "hid", n.name.c_str());
    std::fflush(stdout);
    ++seen;
  });
  if (!watcher.start()) return cli::fail("cannot watch for devices");
  if (!watcher.udevActive() && platform::realDevicesEnabled())
    std::fprintf(stderr, "kavroctl: no udev events here; only the simulator's keyboards will show\n");
  std::signal(SIGINT, onSignal);
  std::signal(SIGTERM, onSignal);
  const std::uint64_t end = timeout >= 0 ? platform::tickCount() + static_cast<std::uint64_t>(timeout) : 0;
  while (!gStop && (count < 0 || seen < count)) {
    if (timeout >= 0 && platform::tickCount() >= end) break;
    if (watcher.wait(100)) watcher.dispatch();
  }
  return 0;
}

}  // namespace

KAVRO_COMMAND({"hid", "list"}, "", "the HID interfaces the programs see, real and simulated", {}, {}, runList)
KAVRO_COMMAND({"hid", "usb"}, "", "hardware ids of the USB devices present (what the presence check sees)", {}, {},
              runUsb)
KAVRO_COMMAND({"hid", "watch"}, "[--count N] [--timeout MS]",
              "print device arrivals and removals as the programs get them", {"count", "timeout"}, {}, runWatch)
