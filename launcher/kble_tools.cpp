#include "launcher/kble_tools.h"

#include <iostream>

#include "platform/hid/hid.h"
#include "platform/text.h"

namespace KHID {

namespace {

// The HID class hands the product string over in a 128-byte buffer: at most
// 64 UTF-16 units, the rest cut off. A cut never leaves half a surrogate
// pair behind.
QString productText(const std::u16string& text) {
  constexpr std::size_t kMaxUnits = 64;
  std::size_t n = text.size();
  const std::size_t nul = text.find(u'\0');
  if (nul != std::u16string::npos) n = nul;
  if (n > kMaxUnits) {
    n = kMaxUnits;
    if (QChar::isHighSurrogate(text[n - 1])) --n;
  }
  return QString::fromUtf16(text.data(), int(n));
}

}  // namespace

void KBLETools::describe(const platform::HidInterfaceInfo& info, KHidDetail& detail) {
  detail.vendorId = info.vendorId;
  detail.productId = info.productId;
  detail.versionNumber = info.versionNumber;
  detail.path = QString::fromStdString(info.path);
  detail.productString = productText(info.productString);
  detail.caps.usagePage = info.usagePage;
  detail.caps.usage = info.usage;
  detail.caps.inputReportLength = info.inputReportLength;
  detail.caps.outputReportLength = info.outputReportLength;
  detail.caps.featureReportLength = info.featureReportLength;
  detail.caps.usesReportIds = info.usesReportIds;
}

void KBLETools::enumHidDevices(const Visitor& visitor) {
  // One listing serves the whole walk: the platform reads every interface's
  // attributes while listing, so there is nothing left to open per path.
  for (const platform::HidInterfaceInfo& info : platform::enumerateHidInterfaces()) {
    KHidDetail detail;
    describe(info, detail);
    bool keepGoing = true;
    visitor(std::move(detail), keepGoing);
    if (!keepGoing) break;
  }
}

bool KBLETools::getHidDetail(const std::string& path, KHidDetail& detail) {
  // Interface paths name the same interface whatever their case.
  for (const platform::HidInterfaceInfo& info : platform::enumerateHidInterfaces()) {
    if (platform::equalsNoCase(info.path, path)) {
      describe(info, detail);
      return true;
    }
  }
  std::cout << "error : CreateFile " << std::endl;
  return false;
}

}  // namespace KHID
