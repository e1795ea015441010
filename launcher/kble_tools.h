// HID interface listing for the launcher: every present HID interface,
// described the way the device-setup interface and the HID class calls
// describe it, handed to a visitor that can stop the walk. No vendor or
// product is filtered here; the launcher decides what to do with each one.
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/hid/report_descriptor.h"

namespace platform {
struct HidInterfaceInfo;
}

namespace KHID {

// The capabilities the platform knows of an interface: its top-level
// collection's usage page and usage, and its report lengths (report id byte
// included, as the HID class gives them).
using KHidCaps = platform::HidCollectionCaps;

// One HID interface.
struct KHidDetail {
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::uint16_t versionNumber = 0;
  QString path;           // the interface path, Windows form
  QString productString;  // what the device reports, at most 64 UTF-16 units
  KHidCaps caps;
};

class KBLETools : public QObject {
  Q_OBJECT
 public:
  // Called once per interface with `keepGoing` set to true; leaving it false
  // ends the walk.
  using Visitor = std::function<void(KHidDetail detail, bool& keepGoing)>;

  // Walks the present HID interfaces on the caller's thread.
  static void enumHidDevices(const Visitor& visitor);
  // Describes the interface at `path` (UTF-8). False when no present
  // interface has that path; `detail` is then not to be used.
  static bool getHidDetail(const std::string& path, KHidDetail& detail);

 private:
  KBLETools() = default;
  static void describe(const platform::HidInterfaceInfo& info, KHidDetail& detail);
};

}  // namespace KHID
