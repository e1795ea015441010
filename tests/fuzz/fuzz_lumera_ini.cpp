// Lumera's data initialisation on damaged configuration files: "cfg.ini",
// "Led.ini" and "LedUK.ini" from one input (split at the separator lines
// below), read as the program reads them at start and when a keyboard is
// found, then a new profile built on that configuration and encoded the way
// an apply encodes it, so that whatever the files say cannot make the
// encoders step outside their tables.
#include <cstdint>
#include <string>

#include "lumera/model/config.h"
#include "lumera/model/lighting.h"
#include "lumera/model/matrix.h"
#include "lumera/model/profile.h"
#include "tests/fuzz/fuzz_lumera.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/lumera/model/model_test_util.h"

namespace {
constexpr std::string_view kSeparator = "\n;@@next-file@@\n";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzsupport::Input in(data, size);
  const std::string folder = fuzzsupport::freshFolder("lumera");
  fuzzsupport::writeBytes(folder + "/cfg.ini", in.until(kSeparator));
  if (!in.empty()) fuzzsupport::writeBytes(folder + "/Led.ini", in.until(kSeparator));
  if (!in.empty()) fuzzsupport::writeBytes(folder + "/LedUK.ini", in.rest());

  lumera::LumeraConfig config;
  config.load(folder + "/", false);
  if (config.keyCount() < 0 || config.keyCount() > lumera::kKeyCount) fuzzsupport::fail("key count out of range");
  if (config.ledCount() < 0 || config.ledCount() > lumera::kKeyCount) fuzzsupport::fail("LED count out of range");

  const lumera::test::FixedClock clock({2024, 1, 2, 3, 4, 5, 6});
  lumera::ProfileRecord profile = lumera::NewProfile(u"Fuzz", config, clock);
  lumera::MacroList macros;
  fuzzsupport::putMacrosOnKeys(profile, macros, 3, 100, 5);

  for (const unsigned version : {0u, 0x201u}) {
    config.initLedMatrix(version);
    lumera::KeyMatrix matrix;
    lumera::FillMatrix(profile, macros, config, matrix);
    std::uint8_t pro[lumera::kProBlockSize] = {};
    lumera::FillProLighting(profile, config, pro);
    std::uint8_t table[lumera::kColorTableSize];
    lumera::BuildColorTable(profile, table);
    profile.effectIndex = config.options().GameIndex;
    lumera::BuildColorFrames(profile, config);
    lumera::ResetProfile(profile, config);
    lumera::MatrixIndexOfKey(config, 0x41);
  }
  return 0;
}
