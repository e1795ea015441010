// Writes the profile store the CPU-share benchmark starts Lumera with: one
// profile, lighting on, showing the breathing effect at the rate level whose
// preview ticks most often, the dearest case for the running program.
//   kavro_preview_profile PROGRAM_DIR APPDATA_DIR
// Prints the chosen level and its tick in milliseconds.
#include <cstdio>
#include <filesystem>
#include <string>

#include "lumera/app/effect_preview.h"
#include "lumera/app/preview_descriptor.h"
#include "lumera/app/preview_format.h"
#include "lumera/model/config.h"
#include "lumera/model/profile.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: kavro_preview_profile PROGRAM_DIR APPDATA_DIR\n");
    return 2;
  }
  const std::string programDir = std::string(argv[1]) + "/";
  const std::string appData = argv[2];
  lumera::LumeraConfig config;
  config.load(programDir, false);

  // The list entry whose preview is breathing, found in the shipped table so
  // that a changed cfg.ini does not silently benchmark another effect.
  int entry = -1;
  for (int e = 0; e < lumera::kEffectCount; ++e)
    if (config.options().effects[static_cast<std::size_t>(e)].code == lumera::preview::kBreathing) entry = e;
  if (entry < 0) {
    std::fprintf(stderr, "cfg.ini lists no breathing effect\n");
    return 1;
  }

  const lumera::PreviewKeys keys = lumera::PreviewKeysOf(config);
  int bestLevel = 1, bestTick = 0;
  for (int level = 1; level <= 5; ++level) {
    lumera::PreviewRequest q;
    q.effectKind = lumera::preview::kBreathing;
    q.level1 = level;
    q.level2 = 5;
    q.colour = 0x00A0FF;
    q.colourful = true;
    const int tick = lumera::makeEffectPreview(lumera::BuildPreviewDescriptor(q, keys), 1)->intervalMs();
    if (tick > 0 && (bestTick == 0 || tick < bestTick)) bestLevel = level, bestTick = tick;
  }

  lumera::ProfileRecord p = lumera::NewProfile(u"Preview", config);
  p.lightingSwitch = 0;  // 0 is on
  p.effectIndex = entry;
  lumera::LedModeSetting& s = p.effects[static_cast<std::size_t>(entry)];
  s.level1 = static_cast<std::uint32_t>(bestLevel);
  s.level2 = 5;
  s.colourful = 1;
  std::filesystem::create_directories(appData);
  if (!lumera::SaveProfiles(appData, {p}) || !lumera::SaveCurrentId(appData, &p)) {
    std::fprintf(stderr, "cannot write the profiles into %s\n", appData.c_str());
    return 1;
  }
  std::printf("breathing level %d, tick %d ms\n", bestLevel, bestTick);
  return 0;
}
