// The encoders and the profile stores: Lumera's key matrix with 32 macros,
// its per-key colour frames with 5 colour groups, the Q350 macro encoder,
// and the load and save of "pro.dct" and "Macro.cfg".
#include <benchmark/benchmark.h>

#include <string>

#include "lumera/model/config.h"
#include "lumera/model/lighting.h"
#include "lumera/model/matrix.h"
#include "lumera/model/profile.h"
#include "q350config/device/macro_encoder.h"
#include "q350config/settings/settings_store.h"
#include "tests/bench/bench_util.h"

namespace bench {

namespace {

lumera::LumeraConfig shippedConfig() {
  lumera::LumeraConfig config;
  config.load(dataDir() + "/lumera/", false);
  return config;
}

}  // namespace

void profileWith32Macros(const lumera::LumeraConfig& config, lumera::ProfileRecord& profile,
                         lumera::MacroList& macros) {
  profile = lumera::NewProfile(u"Bench", config, StillClock());
  profile.id = 1;
  macros.clear();
  for (int k = 0; k < 32; ++k) {
    lumera::MacroRecord m = lumera::NewMacro(u"macro", StillClock());
    m.id = 1000 + k;
    for (std::size_t e = 0; e < 40; ++e)
      m.events[e] = {static_cast<std::uint16_t>(0x41 + (k + e / 2) % 26), static_cast<std::uint16_t>(e % 2 == 0),
                     static_cast<std::uint32_t>(e % 3 == 0 ? 250 : 20)};
    macros.push_back(m);
    profile.keys[static_cast<std::size_t>(k)].funA.dwFunID = 0x05000000;
    profile.keys[static_cast<std::size_t>(k)].funA.nMacroId = m.id;
  }
}

namespace {

void fillMatrix(benchmark::State& state) {
  const lumera::LumeraConfig config = shippedConfig();
  lumera::ProfileRecord profile;
  lumera::MacroList macros;
  profileWith32Macros(config, profile, macros);
  for (auto _ : state) {
    lumera::KeyMatrix matrix;
    lumera::FillMatrix(profile, macros, config, matrix);
    if (matrix.macroCount != 32) state.SkipWithError("not 32 macro buffers");
    benchmark::DoNotOptimize(matrix);
  }
}

void colorFrames(benchmark::State& state) {
  lumera::LumeraConfig config = shippedConfig();
  config.options().GameModeNumHw = 5;
  lumera::ProfileRecord profile = lumera::NewProfile(u"Bench", config, StillClock());
  profile.effectIndex = config.options().GameIndex;
  for (std::size_t g = 0; g < lumera::kColourGroups; ++g)
    for (std::size_t k = 0; k < lumera::kKeyCount; ++k)
      profile.groupColours[g][k] = static_cast<lumera::Colour>((g * 131 + k) * 0x010305);
  for (auto _ : state) {
    const std::vector<lumera::ColorFrame> frames = lumera::BuildColorFrames(profile, config);
    if (frames.size() != 3) state.SkipWithError("5 groups are not 3 frames");
    benchmark::DoNotOptimize(frames);
  }
}

void q350EncodeMacro(benchmark::State& state) {
  q350::StoredMacro m;
  m.tag = q350::kMacroTag;
  m.id = 7;
  m.repeat = 1;
  for (std::uint32_t e = 0; e < 84; ++e) {
    m.events[m.count++] = q350::makeEvent(e % 2 ? q350::kEventRelease : q350::kEventPress,
                                          e % 6 == 0 ? 0xA0 : 0x41 + (e / 2) % 26);
    m.events[m.count++] = q350::makeEvent(q350::kEventDelay, 20 * (e % 9));
  }
  m.size = static_cast<std::uint32_t>(q350::MacroImage::kHeaderSize + 4 * m.count);
  for (auto _ : state) {
    q350::DeviceMacro out;
    if (!q350::EncodeMacro(m, out)) state.SkipWithError("macro not encoded");
    benchmark::DoNotOptimize(out);
  }
}

std::string folderFor(const std::string& name) {
  const std::string folder = scratch() + "/" + name;
  writeFile(folder + "/.keep", "");
  return folder;
}

lumera::ProfileList threeProfiles() {
  const lumera::LumeraConfig config = shippedConfig();
  lumera::ProfileList list;
  lumera::MacroList macros;
  for (int i = 0; i < 3; ++i) {
    lumera::ProfileRecord p;
    profileWith32Macros(config, p, macros);
    p.id = 100 + i;
    list.push_back(p);
  }
  return list;
}

void proDctLoad(benchmark::State& state) {
  const std::string folder = folderFor("pro-load");
  if (!lumera::SaveProfiles(folder, threeProfiles())) state.SkipWithError("cannot save");
  for (auto _ : state) {
    lumera::ProfileList list;
    if (!lumera::LoadProfiles(folder, list) || list.size() != 3) state.SkipWithError("not loaded");
    benchmark::DoNotOptimize(list);
  }
}

void proDctSave(benchmark::State& state) {
  const std::string folder = folderFor("pro-save");
  const lumera::ProfileList list = threeProfiles();
  for (auto _ : state)
    if (!lumera::SaveProfiles(folder, list)) state.SkipWithError("cannot save");
}

void macroStore(q350::SettingsStore& store) {
  store.setPauseFunction([](unsigned) {});
  for (std::uint32_t id = 1; id <= 20; ++id) {
    q350::MacroImage image;
    image.id = id;
    image.setName(u"Macro");
    for (std::uint32_t e = 0; e < 60; ++e)
      image.events.push_back(q350::makeEvent(e % 2 ? q350::kEventRelease : q350::kEventPress, 0x41 + e % 26));
    image.size = static_cast<std::uint32_t>(q350::MacroImage::kHeaderSize + 4 * image.events.size());
    store.macroLibrary.store(image);
  }
}

void macroCfgLoad(benchmark::State& state) {
  q350::SettingsStore store(folderFor("macro-load"));
  macroStore(store);
  if (!store.SaveMacroLibrary()) state.SkipWithError("cannot save");
  for (auto _ : state)
    if (!store.LoadMacroLibrary()) state.SkipWithError("not loaded");
}

// Without the two 100 ms pauses the program takes around the write.
void macroCfgSave(benchmark::State& state) {
  q350::SettingsStore store(folderFor("macro-save"));
  macroStore(store);
  for (auto _ : state)
    if (!store.SaveMacroLibrary()) state.SkipWithError("cannot save");
}

}  // namespace

void registerEncoderBenchmarks() {
  benchmark::RegisterBenchmark("encode/FillMatrix-32-macros", fillMatrix);
  benchmark::RegisterBenchmark("encode/BuildColorFrames-5-groups", colorFrames);
  benchmark::RegisterBenchmark("encode/Q350-EncodeMacro-84-entries", q350EncodeMacro);
  benchmark::RegisterBenchmark("store/pro.dct-load-3-profiles", proDctLoad)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("store/pro.dct-save-3-profiles", proDctSave)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("store/Macro.cfg-load", macroCfgLoad)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("store/Macro.cfg-save", macroCfgSave)->Unit(benchmark::kMicrosecond);
}

}  // namespace bench
