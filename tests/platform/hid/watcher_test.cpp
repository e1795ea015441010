// Device notifications from the simulator: names, order, class filter, a
// simulator that comes and goes, and the Qt adapter.
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/hid/device_watcher.h"
#include "platform/hid/qt_device_watcher.h"
#include "tests/sim/sim_fixture.h"

namespace {

using Seen = std::vector<std::string>;

const char* const kUsbQ350 = "\\\\?\\USB#VID_24AE&PID_4011#kbsim&1#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
const char* const kHidQ350Mi0 = "\\\\?\\HID#VID_24AE&PID_4011&MI_00#kbsim&1&0#{4d1e55b2-f16f-11cf-88cb-001111000030}";
const char* const kHidQ350Mi1 = "\\\\?\\HID#VID_24AE&PID_4011&MI_01#kbsim&1&1#{4d1e55b2-f16f-11cf-88cb-001111000030}";

// Runs the watcher until `count` notifications came (or 5 s passed).
Seen collect(platform::DeviceWatcher& w, Seen& seen, std::size_t count) {
  testsupport::eventually([&] {
    if (w.wait(20)) w.dispatch();
    return seen.size() >= count;
  });
  return seen;
}

void record(platform::DeviceWatcher& w, Seen& seen) {
  w.setHandler([&seen](const platform::DeviceNotification& n) {
    seen.push_back(std::string(n.arrival ? "+" : "-") + (n.interfaceClass == platform::kHidInterfaceClass ? "hid " : "usb ") +
                   n.name);
  });
}

class Watcher : public testsupport::SimFixture {};

TEST_F(Watcher, PlugAndUnplugInWindowsOrder) {
  platform::DeviceWatcher w;
  Seen seen;
  record(w, seen);
  ASSERT_TRUE(w.start());
  ASSERT_TRUE(w.simulatorConnected());
  int index = -1;
  ASSERT_TRUE(sim.control().plug("q350", &index));
  ASSERT_EQ(index, 1);
  EXPECT_EQ(collect(w, seen, 3), (Seen{std::string("+usb ") + kUsbQ350, std::string("+hid ") + kHidQ350Mi0,
                                       std::string("+hid ") + kHidQ350Mi1}));
  seen.clear();
  ASSERT_TRUE(sim.control().unplug(1));
  EXPECT_EQ(collect(w, seen, 3), (Seen{std::string("-hid ") + kHidQ350Mi1, std::string("-hid ") + kHidQ350Mi0,
                                       std::string("-usb ") + kUsbQ350}));
  // The keyboard present at the start was never reported.
  for (const std::string& s : seen) EXPECT_EQ(s.find("PID_4018"), std::string::npos);
}

TEST_F(Watcher, ClassFilter) {
  platform::DeviceWatcher usbOnly(platform::kUsbDeviceInterfaceClass);
  Seen seen;
  record(usbOnly, seen);
  ASSERT_TRUE(usbOnly.start());
  ASSERT_TRUE(sim.control().plug("q350"));
  ASSERT_TRUE(sim.control().unplug(1));
  EXPECT_EQ(collect(usbOnly, seen, 2), (Seen{std::string("+usb ") + kUsbQ350, std::string("-usb ") + kUsbQ350}));
}

TEST(WatcherLateSimulator, ASimulatorThatStartsLaterOrStopsIsSeen) {
  testsupport::ScopedEnv noReal("KAVRO_HID_REAL", "0");
  testsupport::TempDir dir;
  testsupport::ScopedEnv socket("KAVRO_SIM_SOCKET", dir.file("sim.sock"));
  platform::DeviceWatcher w(platform::kUsbDeviceInterfaceClass);
  Seen seen;
  record(w, seen);
  ASSERT_TRUE(w.start());
  EXPECT_FALSE(w.simulatorConnected());

  // The keyboards of a simulator that starts now are new to the watcher.
  sim::SimProcess sim;
  ASSERT_TRUE(sim.start({"q350rgb"}, KAVRO_KBSIM_PATH, dir.file("sim.sock"))) << sim.error();
  const std::string usb = "\\\\?\\USB#VID_24AE&PID_4018#kbsim&0#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
  EXPECT_EQ(collect(w, seen, 1), (Seen{"+usb " + usb}));
  EXPECT_TRUE(w.simulatorConnected());
  // A simulator that ends takes its keyboards with it.
  seen.clear();
  ASSERT_TRUE(sim.stop());
  EXPECT_EQ(collect(w, seen, 1), (Seen{"-usb " + usb}));
  EXPECT_FALSE(w.simulatorConnected());
}

TEST_F(Watcher, QtAdapterSignalsFromTheEventLoop) {
  int argc = 1;
  char name[] = "watcher_test";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  platform::QtDeviceWatcher w(platform::kHidInterfaceClass);
  ASSERT_TRUE(w.start());
  QStringList names;
  QEventLoop loop;
  QObject::connect(&w, &platform::QtDeviceWatcher::deviceChanged,
                   [&](bool arrival, const QString& n, unsigned cls) {
                     EXPECT_TRUE(arrival);
                     EXPECT_EQ(cls, platform::kHidInterfaceClass);
                     names << n;
                     if (names.size() == 2) loop.quit();
                   });
  QTimer::singleShot(5000, &loop, &QEventLoop::quit);
  ASSERT_TRUE(sim.control().plug("q350"));
  loop.exec();
  EXPECT_EQ(names, (QStringList{kHidQ350Mi0, kHidQ350Mi1}));
}

}  // namespace
