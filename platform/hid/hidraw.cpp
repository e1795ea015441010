// Real HID interfaces: the list from udev and sysfs, transfers through
// hidapi's hidraw backend (never the libusb one, which would detach the
// keyboard's kernel driver and stop it typing).
#include <hidapi/hidapi.h>
#include <libudev.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/clock.h"
#include "platform/hid/channel.h"
#include "platform/hid/report_descriptor.h"
#include "platform/hid/udev_util.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace platform::detail {

namespace {

std::uint16_t hexAttr(udev_device* dev, const char* name) {
  const char* v = udev_device_get_sysattr_value(dev, name);
  return v ? static_cast<std::uint16_t>(std::strtoul(v, nullptr, 16)) : 0;
}

std::string textAttr(udev_device* dev, const char* name) {
  const char* v = udev_device_get_sysattr_value(dev, name);
  return v ? std::string(v) : std::string();
}

void hidapiInit() {
  static std::once_flag once;
  std::call_once(once, [] { hid_init(); });
}

// hidraw node of one interface. Reads wait in short slices so that a close
// on another thread is noticed quickly.
class HidrawChannel final : public Channel {
 public:
  HidrawChannel(hid_device* dev, bool usesReportIds) : dev_(dev), usesReportIds_(usesReportIds) {}
  ~HidrawChannel() override { hid_close(dev_); }

  bool write(const std::uint8_t* data, std::size_t size, std::size_t* written, unsigned) override {
    std::lock_guard<std::mutex> lock(io_);
    if (!alive()) return false;
    const int n = hid_write(dev_, data, size);
    if (n < 0) return failed();
    *written = static_cast<std::size_t>(n);
    return true;
  }

  bool read(std::uint8_t* data, std::size_t size, std::size_t* got, unsigned timeoutMs) override {
    // Windows hands out input reports with their report id first, 0 for a
    // collection without ids; hidraw leaves the id out in that case.
    const std::size_t skip = usesReportIds_ ? 0 : 1;
    if (size <= skip) {
      errno = EINVAL;
      return false;
    }
    const std::uint64_t deadline = tickCount() + timeoutMs;
    for (;;) {
      int n = 0;
      {
        std::lock_guard<std::mutex> lock(io_);
        if (!alive()) return false;
        const std::uint64_t now = tickCount();
        const int slice = static_cast<int>(std::min<std::uint64_t>(deadline > now ? deadline - now : 0, 50));
        n = hid_read_timeout(dev_, data + skip, size - skip, slice);
      }
      if (n < 0) return failed();
      if (n > 0) {
        if (skip) data[0] = 0;
        *got = static_cast<std::size_t>(n) + skip;
        return true;
      }
      if (tickCount() >= deadline) {
        errno = ETIMEDOUT;
        return false;
      }
    }
  }

  bool setFeature(const std::uint8_t* data, std::size_t size, unsigned) override {
    std::lock_guard<std::mutex> lock(io_);
    if (!alive()) return false;
    return hid_send_feature_report(dev_, data, size) >= 0 || failed();
  }

  bool getFeature(std::uint8_t* data, std::size_t size, unsigned) override {
    std::lock_guard<std::mutex> lock(io_);
    if (!alive()) return false;
    return hid_get_feature_report(dev_, data, size) >= 0 || failed();
  }

  bool getInputReport(std::uint8_t* data, std::size_t size, unsigned) override {
    std::lock_guard<std::mutex> lock(io_);
    if (!alive()) return false;
    return hid_get_input_report(dev_, data, size) >= 0 || failed();
  }

  void cancel() override { cancelled_ = true; }

 private:
  bool alive() {
    if (!cancelled_) return true;
    errno = EBADF;
    return false;
  }
  static bool failed() {
    // hidapi keeps the errno of the failing system call; a device that is
    // gone answers ENODEV or EIO there.
    if (errno == 0) errno = EIO;
    return false;
  }

  std::mutex io_;
  hid_device* const dev_;
  const bool usesReportIds_;
  std::atomic<bool> cancelled_{false};
};

struct UdevContext {
  udev* u = udev_new();
  ~UdevContext() {
    if (u) udev_unref(u);
  }
};

}  // namespace

bool describeHidraw(udev_device* dev, HidrawNode& node) {
  node = HidrawNode{};
  const char* sysname = udev_device_get_sysname(dev);
  if (!sysname) return false;
  node.sysname = sysname;
  if (const char* devnode = udev_device_get_devnode(dev)) node.devnode = devnode;
  else node.devnode = "/dev/" + node.sysname;
  udev_device* hid = udev_device_get_parent_with_subsystem_devtype(dev, "hid", nullptr);
  if (!hid) return false;
  // HID_ID is "bus:vendor:product", each in hexadecimal.
  const char* hidId = udev_device_get_property_value(hid, "HID_ID");
  unsigned bus = 0, vid = 0, pid = 0;
  if (!hidId || std::sscanf(hidId, "%x:%x:%x", &bus, &vid, &pid) != 3) return false;
  node.vendorId = static_cast<std::uint16_t>(vid);
  node.productId = static_cast<std::uint16_t>(pid);
  std::string descriptor;
  if (const char* hidPath = udev_device_get_syspath(hid)) {
    node.deviceKey = hidPath;
    if (readFile(joinPath(hidPath, "report_descriptor"), descriptor, 65536))
      node.descriptor.assign(descriptor.begin(), descriptor.end());
  }
  if (const char* name = udev_device_get_property_value(hid, "HID_NAME")) node.product = toUtf16(name);
  if (udev_device* intf = udev_device_get_parent_with_subsystem_devtype(dev, "usb", "usb_interface"))
    node.interfaceNumber = hexAttr(intf, "bInterfaceNumber");
  if (udev_device* usb = udev_device_get_parent_with_subsystem_devtype(dev, "usb", "usb_device")) {
    node.version = hexAttr(usb, "bcdDevice");
    const std::string product = textAttr(usb, "product");
    if (!product.empty()) node.product = toUtf16(product);
    if (const char* p = udev_device_get_syspath(usb)) node.deviceKey = p;
  }
  return true;
}

std::vector<HidInterfaceInfo> hidrawInterfaces(const HidrawNode& node) {
  std::vector<HidInterfaceInfo> list;
  std::vector<HidCollectionCaps> caps;
  parseReportDescriptor(node.descriptor.data(), node.descriptor.size(), caps);
  const bool accessible = ::access(node.devnode.c_str(), R_OK | W_OK) == 0;
  for (std::size_t i = 0; i < caps.size(); ++i) {
    HidInterfaceInfo info;
    info.node = node.devnode;
    info.deviceKey = node.deviceKey;
    info.vendorId = node.vendorId;
    info.productId = node.productId;
    info.versionNumber = node.version;
    info.productString = node.product;
    info.usagePage = caps[i].usagePage;
    info.usage = caps[i].usage;
    info.interfaceNumber = node.interfaceNumber;
    info.inputReportLength = caps[i].inputReportLength;
    info.outputReportLength = caps[i].outputReportLength;
    info.featureReportLength = caps[i].featureReportLength;
    info.usesReportIds = caps[i].usesReportIds;
    info.accessible = accessible;
    const int collection = caps.size() > 1 ? static_cast<int>(i) + 1 : -1;
    info.path = hidInterfacePath(node.vendorId, node.productId, node.interfaceNumber, collection, node.sysname);
    list.push_back(std::move(info));
  }
  return list;
}

bool describeUsbDevice(udev_device* dev, UsbNode& node) {
  node = UsbNode{};
  const char* devtype = udev_device_get_devtype(dev);
  if (!devtype || std::strcmp(devtype, "usb_device") != 0) return false;
  // Attributes while the device is there; the kernel's PRODUCT property
  // ("vid/pid/rev") also in a removal event, when sysfs is gone.
  if (udev_device_get_sysattr_value(dev, "idVendor")) {
    node.vendorId = hexAttr(dev, "idVendor");
    node.productId = hexAttr(dev, "idProduct");
    node.revision = hexAttr(dev, "bcdDevice");
  } else if (const char* product = udev_device_get_property_value(dev, "PRODUCT")) {
    unsigned vid = 0, pid = 0, rev = 0;
    if (std::sscanf(product, "%x/%x/%x", &vid, &pid, &rev) < 2) return false;
    node.vendorId = static_cast<std::uint16_t>(vid);
    node.productId = static_cast<std::uint16_t>(pid);
    node.revision = static_cast<std::uint16_t>(rev);
  } else {
    return false;
  }
  node.instance = textAttr(dev, "serial");
  if (node.instance.empty()) {
    const char* sysname = udev_device_get_sysname(dev);
    node.instance = sysname ? sysname : "";
  }
  return true;
}

std::vector<HidInterfaceInfo> enumerateHidraw() {
  std::vector<HidInterfaceInfo> list;
  UdevContext ctx;
  if (!ctx.u) return list;
  udev_enumerate* e = udev_enumerate_new(ctx.u);
  if (!e) return list;
  udev_enumerate_add_match_subsystem(e, "hidraw");
  udev_enumerate_scan_devices(e);
  std::vector<HidrawNode> nodes;
  for (udev_list_entry* it = udev_enumerate_get_list_entry(e); it; it = udev_list_entry_get_next(it)) {
    udev_device* dev = udev_device_new_from_syspath(ctx.u, udev_list_entry_get_name(it));
    if (!dev) continue;
    HidrawNode node;
    if (describeHidraw(dev, node)) nodes.push_back(std::move(node));
    udev_device_unref(dev);
  }
  udev_enumerate_unref(e);
  // hidraw2 before hidraw10.
  std::sort(nodes.begin(), nodes.end(), [](const HidrawNode& a, const HidrawNode& b) {
    return a.sysname.size() != b.sysname.size() ? a.sysname.size() < b.sysname.size() : a.sysname < b.sysname;
  });
  for (const HidrawNode& node : nodes)
    for (HidInterfaceInfo& info : hidrawInterfaces(node)) list.push_back(std::move(info));
  return list;
}

std::vector<std::string> realUsbHardwareIds() {
  std::vector<std::string> ids;
  UdevContext ctx;
  if (!ctx.u) return ids;
  udev_enumerate* e = udev_enumerate_new(ctx.u);
  if (!e) return ids;
  udev_enumerate_add_match_subsystem(e, "usb");
  udev_enumerate_add_match_property(e, "DEVTYPE", "usb_device");
  udev_enumerate_scan_devices(e);
  for (udev_list_entry* it = udev_enumerate_get_list_entry(e); it; it = udev_list_entry_get_next(it)) {
    udev_device* dev = udev_device_new_from_syspath(ctx.u, udev_list_entry_get_name(it));
    if (!dev) continue;
    UsbNode node;
    if (describeUsbDevice(dev, node)) ids.push_back(usbHardwareId(node.vendorId, node.productId, node.revision));
    udev_device_unref(dev);
  }
  udev_enumerate_unref(e);
  return ids;
}

std::shared_ptr<Channel> openHidrawChannel(const HidInterfaceInfo& info) {
  if (::access(info.node.c_str(), F_OK) != 0) {
    errno = ENODEV;
    return nullptr;
  }
  if (::access(info.node.c_str(), R_OK | W_OK) != 0) return nullptr;  // errno EACCES
  hidapiInit();
  errno = 0;
  hid_device* dev = hid_open_path(info.node.c_str());
  if (!dev) {
    if (errno == 0) errno = EIO;
    return nullptr;
  }
  return std::make_shared<HidrawChannel>(dev, info.usesReportIds);
}

}  // namespace platform::detail
