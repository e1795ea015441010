#include "platform/hid/device_watcher.h"

#include <libudev.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "platform/hid/hid.h"
#include "platform/hid/sim_link.h"
#include "platform/hid/udev_util.h"

namespace platform {

namespace {

// How often a missing simulator is looked for again.
constexpr long kSimRetryMs = 500;
constexpr unsigned kSubscribeTimeoutMs = 2000;

struct Named {
  unsigned interfaceClass;
  std::string name;
};

struct SimKeyboard {
  std::uint16_t vendorId = 0, productId = 0;
  std::vector<int> interfaces;
};

bool parseSimKeyboard(const std::string& line, int& index, SimKeyboard& kb) {
  const auto f = parseFields(line);
  const auto get = [&](const char* key) -> std::string {
    const auto it = f.find(key);
    return it == f.end() ? std::string() : it->second;
  };
  if (get("index").empty()) return false;
  index = std::atoi(get("index").c_str());
  kb.vendorId = static_cast<std::uint16_t>(std::strtoul(get("vid").c_str(), nullptr, 16));
  kb.productId = static_cast<std::uint16_t>(std::strtoul(get("pid").c_str(), nullptr, 16));
  kb.interfaces.clear();
  const std::string mis = get("mis");
  std::size_t i = 0;
  while (i < mis.size()) {
    const std::size_t comma = mis.find(',', i);
    const std::string one = mis.substr(i, comma == std::string::npos ? std::string::npos : comma - i);
    if (!one.empty()) kb.interfaces.push_back(std::atoi(one.c_str()));
    if (comma == std::string::npos) break;
    i = comma + 1;
  }
  return true;
}

std::vector<Named> simNames(int index, const SimKeyboard& kb) {
  std::vector<Named> names;
  names.push_back({kUsbDeviceInterfaceClass,
                   usbDeviceInterfaceName(kb.vendorId, kb.productId, "kbsim&" + std::to_string(index))});
  for (int mi : kb.interfaces)
    names.push_back({kHidInterfaceClass, hidInterfacePath(kb.vendorId, kb.productId, mi, -1, simNode(index, mi))});
  return names;
}

}  // namespace

struct DeviceWatcher::Impl {
  unsigned classes;
  Handler handler;
  int epoll = -1;
  int timer = -1;
  udev* u = nullptr;
  udev_monitor* monitor = nullptr;
  // Names of the real devices we know, by sysfs path: a removal event comes
  // after sysfs is gone and cannot be described any more.
  std::map<std::string, std::vector<Named>> known;
  SimLink sim;
  std::map<int, SimKeyboard> simKeyboards;

  explicit Impl(unsigned c) : classes(c) {}

  ~Impl() {
    if (monitor) udev_monitor_unref(monitor);
    if (u) udev_unref(u);
    if (timer >= 0) ::close(timer);
    if (epoll >= 0) ::close(epoll);
  }

  void deliver(bool arrival, const std::vector<Named>& names) {
    if (!handler) return;
    const auto one = [&](const Named& n) {
      if (n.interfaceClass & classes) handler(DeviceNotification{arrival, n.interfaceClass, n.name});
    };
    if (arrival) {
      for (const Named& n : names) one(n);
    } else {
      for (auto it = names.rbegin(); it != names.rend(); ++it) one(*it);
    }
  }

  void watchFd(int fd) {
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.fd = fd;
    ::epoll_ctl(epoll, EPOLL_CTL_ADD, fd, &ev);
  }

  // ---- udev

  std::vector<Named> describe(udev_device* dev) {
    std::vector<Named> names;
    const char* subsystem = udev_device_get_subsystem(dev);
    if (!subsystem) return names;
    if (std::strcmp(subsystem, "usb") == 0) {
      detail::UsbNode node;
      if (detail::describeUsbDevice(dev, node))
        names.push_back({kUsbDeviceInterfaceClass, usbDeviceInterfaceName(node.vendorId, node.productId, node.instance)});
    } else if (std::strcmp(subsystem, "hidraw") == 0) {
      detail::HidrawNode node;
      if (detail::describeHidraw(dev, node))
        for (const HidInterfaceInfo& info : detail::hidrawInterfaces(node))
          names.push_back({kHidInterfaceClass, info.path});
    }
    return names;
  }

  void startUdev() {
    u = udev_new();
    if (!u) return;
    monitor = udev_monitor_new_from_netlink(u, "udev");
    if (!monitor) return;
    udev_monitor_filter_add_match_subsystem_devtype(monitor, "usb", "usb_device");
    udev_monitor_filter_add_match_subsystem_devtype(monitor, "hidraw", nullptr);
    if (udev_monitor_enable_receiving(monitor) < 0) {
      udev_monitor_unref(monitor);
      monitor = nullptr;
      return;
    }
    watchFd(udev_monitor_get_fd(monitor));
    // Remember what is there now, for its removal later.
    udev_enumerate* e = udev_enumerate_new(u);
    if (!e) return;
    udev_enumerate_add_match_subsystem(e, "hidraw");
    udev_enumerate_add_match_subsystem(e, "usb");
    udev_enumerate_scan_devices(e);
    for (udev_list_entry* it = udev_enumerate_get_list_entry(e); it; it = udev_list_entry_get_next(it)) {
      udev_device* dev = udev_device_new_from_syspath(u, udev_list_entry_get_name(it));
      if (!dev) continue;
      std::vector<Named> names = describe(dev);
      if (!names.empty()) known[udev_device_get_syspath(dev)] = std::move(names);
      udev_device_unref(dev);
    }
    udev_enumerate_unref(e);
  }

  void handleUdev() {
    while (udev_device* dev = udev_monitor_receive_device(monitor)) {
      const char* action = udev_device_get_action(dev);
      const char* syspath = udev_device_get_syspath(dev);
      if (action && syspath) {
        if (std::strcmp(action, "add") == 0) {
          std::vector<Named> names = describe(dev);
          if (!names.empty()) {
            known[syspath] = names;
            deliver(true, names);
          }
        } else if (std::strcmp(action, "remove") == 0) {
          const auto it = known.find(syspath);
          std::vector<Named> names = it != known.end() ? it->second : describe(dev);
          if (it != known.end()) known.erase(it);
          if (!names.empty()) deliver(false, names);
        }
      }
      udev_device_unref(dev);
    }
  }

  // ---- simulator

  void armRetry(bool on) {
    itimerspec spec{};
    if (on) {
      spec.it_value.tv_nsec = kSimRetryMs * 1000000L;
      spec.it_interval.tv_nsec = kSimRetryMs * 1000000L;
    }
    ::timerfd_settime(timer, 0, &spec, nullptr);
  }

  // Connects and subscribes. `report` says whether the keyboards found there
  // are new to us (a simulator that started after the watcher).
  bool connectSim(bool report) {
    if (!sim.connect(simSocketPath())) return false;
    std::vector<std::string> lines;
    if (!sim.requestList("subscribe", lines, kSubscribeTimeoutMs)) {
      sim.close();
      return false;
    }
    simKeyboards.clear();
    for (const std::string& line : lines) {
      int index = -1;
      SimKeyboard kb;
      if (parseSimKeyboard(line, index, kb)) simKeyboards[index] = kb;
    }
    watchFd(sim.fd());
    if (report)
      for (const auto& [index, kb] : simKeyboards) deliver(true, simNames(index, kb));
    processSimLines();  // events that came in with the subscription's answer
    return true;
  }

  void simLost() {
    ::epoll_ctl(epoll, EPOLL_CTL_DEL, sim.fd(), nullptr);
    sim.close();
    const auto gone = std::move(simKeyboards);
    simKeyboards.clear();
    for (const auto& [index, kb] : gone) deliver(false, simNames(index, kb));
    armRetry(true);
  }

  void handleSim() {
    const bool open = sim.readAvailable();
    processSimLines();
    if (!open) simLost();
  }

  void processSimLines() {
    std::string line;
    while (sim.takeLine(line)) {
      const bool arrival = line.compare(0, 8, "arrival ") == 0;
      const bool removal = line.compare(0, 8, "removal ") == 0;
      int index = -1;
      SimKeyboard kb;
      if (!(arrival || removal) || !parseSimKeyboard(line, index, kb)) continue;
      if (arrival) {
        simKeyboards[index] = kb;
      } else {
        simKeyboards.erase(index);
      }
      deliver(arrival, simNames(index, kb));
    }
  }

  void handleTimer() {
    std::uint64_t expirations = 0;
    if (::read(timer, &expirations, sizeof(expirations)) < 0) return;
    if (!sim.connected() && connectSim(true)) armRetry(false);
  }
};

DeviceWatcher::DeviceWatcher(unsigned classes) : d_(std::make_unique<Impl>(classes)) {}
DeviceWatcher::~DeviceWatcher() = default;

void DeviceWatcher::setHandler(Handler handler) { d_->handler = std::move(handler); }

bool DeviceWatcher::start() {
  if (d_->epoll >= 0) return true;
  d_->epoll = ::epoll_create1(EPOLL_CLOEXEC);
  if (d_->epoll < 0) return false;
  d_->timer = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
  if (d_->timer >= 0) d_->watchFd(d_->timer);
  if (realDevicesEnabled()) d_->startUdev();
  if (!d_->connectSim(false) && d_->timer >= 0) d_->armRetry(true);
  return true;
}

int DeviceWatcher::fd() const { return d_->epoll; }

void DeviceWatcher::dispatch() {
  if (d_->epoll < 0) return;
  epoll_event events[8];
  for (;;) {
    const int n = ::epoll_wait(d_->epoll, events, 8, 0);
    if (n <= 0) return;
    for (int i = 0; i < n; ++i) {
      const int fd = events[i].data.fd;
      if (d_->monitor && fd == udev_monitor_get_fd(d_->monitor)) {
        d_->handleUdev();
      } else if (fd == d_->timer) {
        d_->handleTimer();
      } else if (d_->sim.connected() && fd == d_->sim.fd()) {
        d_->handleSim();
      }
    }
  }
}

bool DeviceWatcher::wait(int timeoutMs) {
  if (d_->epoll < 0) return false;
  pollfd p{d_->epoll, POLLIN, 0};
  return ::poll(&p, 1, timeoutMs) > 0;
}

bool DeviceWatcher::udevActive() const { return d_->monitor != nullptr; }
bool DeviceWatcher::simulatorConnected() const { return d_->sim.connected(); }

}  // namespace platform
