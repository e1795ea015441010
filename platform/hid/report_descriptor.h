// HID report descriptor parsing: the top-level collections of one interface
// with the report lengths Windows would give them.
//
// Linux has one hidraw node per USB interface, shared by all its top-level
// collections, while Windows lists every top-level collection as its own HID
// interface with its own capabilities. The programs select interfaces by
// usage page, usage and report length, so those values are computed here per
// collection, the Windows way: a length counts the report id byte even when
// the collection uses no report ids, and is 0 when the collection has no
// report of that kind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

struct HidCollectionCaps {
  std::uint16_t usagePage = 0;
  std::uint16_t usage = 0;
  std::uint16_t inputReportLength = 0;
  std::uint16_t outputReportLength = 0;
  std::uint16_t featureReportLength = 0;
  bool usesReportIds = false;
};

// Fills `out` with the top-level collections in descriptor order. Returns
// false when the descriptor is malformed (an item runs past the end, a pop
// without a push); `out` then holds what was read up to that point.
bool parseReportDescriptor(const std::uint8_t* data, std::size_t size, std::vector<HidCollectionCaps>& out);

}  // namespace platform
