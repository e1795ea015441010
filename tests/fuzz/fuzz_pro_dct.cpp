// Lumera's profile store "pro.dct" (and "curid.dct") holding any bytes: the
// load, then everything an apply does with a loaded profile under the shipped
// configuration (key and Fn matrix with macros, lighting bytes, colour
// table, per-key colour frames), and the save, which must give back the
// records that were loaded.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "lumera/model/config.h"
#include "lumera/model/lighting.h"
#include "lumera/model/matrix.h"
#include "lumera/model/profile.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

const lumera::LumeraConfig& shippedConfig() {
  static const lumera::LumeraConfig config = [] {
    fuzzsupport::scratch();
    lumera::LumeraConfig c;
    c.load(fuzzsupport::dataDir() + "/lumera/", false);
    return c;
  }();
  return config;
}

// Macros with small ids, which a fuzzed key function can name.
const lumera::MacroList& someMacros() {
  static const lumera::MacroList macros = [] {
    lumera::MacroList list;
    for (int id = 1; id <= 4; ++id) {
      lumera::MacroRecord m;
      m.id = id;
      for (std::size_t e = 0; e < static_cast<std::size_t>(30 * id) && e < lumera::kMacroEventSlots; ++e)
        m.events[e] = {static_cast<std::uint16_t>(0x41 + e % 20), static_cast<std::uint16_t>(e % 2),
                       static_cast<std::uint32_t>(e * 37)};
      list.push_back(m);
    }
    return list;
  }();
  return macros;
}

std::vector<std::uint8_t> image(const lumera::ProfileRecord& p) {
  std::vector<std::uint8_t> out(lumera::kProfileRecordSize);
  lumera::writeProfileRecord(out.data(), p);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const lumera::LumeraConfig& config = shippedConfig();
  const std::string folder = fuzzsupport::freshFolder("appdata");
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  fuzzsupport::writeBytes(folder + "/pro.dct", bytes);
  fuzzsupport::writeBytes(folder + "/curid.dct", bytes.substr(0, 6));
  lumera::LoadCurrentId(folder);

  lumera::ProfileList profiles;
  std::vector<int> slots;
  if (!lumera::LoadProfiles(folder, profiles, &slots)) fuzzsupport::fail("an existing pro.dct did not load");
  if (slots.size() != profiles.size()) fuzzsupport::fail("slots and profiles differ in number");

  for (lumera::ProfileRecord p : profiles) {
    lumera::profileName(p);
    lumera::profileProgramName(p);
    lumera::KeyMatrix matrix;
    lumera::FillMatrix(p, someMacros(), config, matrix);
    std::uint8_t pro[lumera::kProBlockSize] = {};
    lumera::FillProLighting(p, config, pro);
    std::uint8_t table[lumera::kColorTableSize];
    lumera::BuildColorTable(p, table);
    lumera::BuildColorFrames(p, config);
    p.effectIndex = config.options().GameIndex;
    lumera::BuildColorFrames(p, config);
  }

  // Saved and loaded again: the same records in the same order.
  const std::string again = fuzzsupport::freshFolder("appdata2");
  if (!lumera::SaveProfiles(again, profiles)) fuzzsupport::fail("cannot save the profiles");
  lumera::ProfileList reloaded;
  if (!lumera::LoadProfiles(again, reloaded)) fuzzsupport::fail("cannot load the saved profiles");
  if (reloaded.size() != profiles.size()) fuzzsupport::fail("profile count changed by a save");
  for (std::size_t i = 0; i < profiles.size(); ++i)
    if (image(profiles[i]) != image(reloaded[i])) fuzzsupport::fail("a profile changed by a save");
  return 0;
}
