#include "platform/hid/report_descriptor.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace platform {

namespace {

struct GlobalState {
  std::uint32_t usagePage = 0;
  std::uint32_t reportSize = 0;
  std::uint32_t reportCount = 0;
  std::uint32_t reportId = 0;
};

enum Kind { kInput = 0, kOutput = 1, kFeature = 2 };

std::uint32_t itemValue(const std::uint8_t* p, std::size_t n) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < n; ++i) v |= static_cast<std::uint32_t>(p[i]) << (8 * i);
  return v;
}

}  // namespace

bool parseReportDescriptor(const std::uint8_t* data, std::size_t size, std::vector<HidCollectionCaps>& out) {
  out.clear();
  GlobalState global;
  std::vector<GlobalState> stack;
  // The first usage of the pending local items, with the size it was given
  // in (a 4-byte usage carries its own usage page in the high half).
  bool haveUsage = false;
  std::uint32_t usage = 0;
  std::size_t usageBytes = 0;
  int depth = 0;
  int top = -1;
  // Bits per (top-level collection, kind, report id).
  std::map<std::tuple<int, int, std::uint32_t>, std::uint64_t> bits;

  std::size_t i = 0;
  bool ok = true;
  while (i < size) {
    const std::uint8_t prefix = data[i];
    if (prefix == 0xFE) {  // long item: size byte, tag byte, data
      if (i + 2 >= size) {
        ok = false;
        break;
      }
      i += 3 + data[i + 1];
      if (i > size) ok = false;
      continue;
    }
    static const std::size_t kSizes[4] = {0, 1, 2, 4};
    const std::size_t n = kSizes[prefix & 3];
    if (i + 1 + n > size) {
      ok = false;
      break;
    }
    const std::uint32_t value = itemValue(data + i + 1, n);
    const int type = (prefix >> 2) & 3;
    const int tag = prefix >> 4;
    i += 1 + n;

    if (type == 0) {  // main item
      if (tag == 0x8 || tag == 0x9 || tag == 0xB) {
        const int kind = tag == 0x8 ? kInput : tag == 0x9 ? kOutput : kFeature;
        if (top >= 0) {
          std::uint64_t& b = bits[{top, kind, global.reportId}];
          b += static_cast<std::uint64_t>(global.reportSize) * global.reportCount;
        }
      } else if (tag == 0xA) {  // collection
        if (depth == 0) {
          HidCollectionCaps caps;
          if (haveUsage && usageBytes == 4) {
            caps.usagePage = static_cast<std::uint16_t>(usage >> 16);
            caps.usage = static_cast<std::uint16_t>(usage & 0xFFFF);
          } else {
            caps.usagePage = static_cast<std::uint16_t>(global.usagePage);
            caps.usage = static_cast<std::uint16_t>(haveUsage ? usage : 0);
          }
          out.push_back(caps);
          top = static_cast<int>(out.size()) - 1;
        }
        ++depth;
      } else if (tag == 0xC) {  // end collection
        if (depth > 0) --depth;
      }
      haveUsage = false;
      continue;
    }
    if (type == 1) {  // global item
      switch (tag) {
        case 0x0: global.usagePage = value; break;
        case 0x7: global.reportSize = value; break;
        case 0x8: global.reportId = value; break;
        case 0x9: global.reportCount = value; break;
        case 0xA: stack.push_back(global); break;
        case 0xB:
          if (stack.empty()) {
            ok = false;
          } else {
            global = stack.back();
            stack.pop_back();
          }
          break;
        default: break;
      }
      if (!ok) break;
      continue;
    }
    if (type == 2 && (tag == 0x0 || tag == 0x1) && !haveUsage) {  // usage or usage minimum
      haveUsage = true;
      usage = value;
      usageBytes = n;
    }
  }

  for (const auto& [key, count] : bits) {
    const auto [index, kind, reportId] = key;
    HidCollectionCaps& caps = out[static_cast<std::size_t>(index)];
    if (reportId != 0) caps.usesReportIds = true;
    // Whole bytes of data plus the report id byte, capped to what fits.
    const std::uint64_t length = std::min<std::uint64_t>((count + 7) / 8 + 1, 0xFFFF);
    std::uint16_t& field = kind == kInput    ? caps.inputReportLength
                           : kind == kOutput ? caps.outputReportLength
                                             : caps.featureReportLength;
    field = std::max<std::uint16_t>(field, static_cast<std::uint16_t>(length));
  }
  return ok;
}

}  // namespace platform
