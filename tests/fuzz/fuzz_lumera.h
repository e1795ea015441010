// The Lumera fuzz targets' common profile set-up: `count` macros of one key
// press and release, each on its own key (keys 0.. in layout order).
#pragma once

#include <cstdint>

#include "lumera/model/macro.h"
#include "lumera/model/profile.h"

namespace fuzzsupport {

inline void putMacrosOnKeys(lumera::ProfileRecord& profile, lumera::MacroList& macros, int count,
                            std::int32_t firstId, std::uint32_t releaseDelay) {
  for (int k = 0; k < count; ++k) {
    lumera::MacroRecord m;
    m.id = firstId + k;
    setMacroName(m, u"m");
    m.events[0] = {static_cast<std::uint16_t>(0x41 + k), 1, 5};
    m.events[1] = {static_cast<std::uint16_t>(0x41 + k), 0, releaseDelay};
    macros.push_back(m);
    profile.keys[static_cast<std::size_t>(k)].funA.dwFunID = 0x05000000;
    profile.keys[static_cast<std::size_t>(k)].funA.nMacroId = m.id;
  }
}

}  // namespace fuzzsupport
