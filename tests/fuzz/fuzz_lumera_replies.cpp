// Lumera's device link on whatever the keyboard answers: the password reply,
// the GetProfile reply and a whole apply (flags 0x8007) whose profile block
// comes from the fuzzed reply, through the real CUSBDriver and ApplyJob over
// the scripted stand-in of libPallomar.so (fake_hid.h).
//
// Input: one flags byte, then the reply script.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>

#include "lumera/device/apply.h"
#include "lumera/device/usb_driver.h"
#include "lumera/model/log.h"
#include "tests/fuzz/fuzz_device.h"
#include "tests/fuzz/fuzz_lumera.h"

namespace {

struct Fixture {
  lumera::LumeraConfig config;
  lumera::ProfileRecord profile;
  lumera::MacroList macros;
  fuzzsupport::FakeHid hid{KAVRO_FUZZ_PALLOMAR_PATH};

  Fixture() {
    config.load(fuzzsupport::dataDir() + "/lumera/", false);
    config.options().Pop = 0;  // no listener thread
    profile.id = 1;
    lumera::ResetProfile(profile, config);
    fuzzsupport::putMacrosOnKeys(profile, macros, 4, 10, 500);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Fixture f;
  fuzzsupport::Input in(data, size);
  const std::uint8_t flags = in.byte();
  const std::string_view script = in.rest();
  f.hid.setScript(reinterpret_cast<const std::uint8_t*>(script.data()), script.size());
  lumera::theLog().setup((flags & 1) ? 1 : 0);  // 1: every dump formatted (and dropped)

  {
    fuzzsupport::StubWindows windows;
    lumera::CUSBDriver driver(f.config);
    if (!driver.LoadDriver(1, windows, KAVRO_FUZZ_PALLOMAR_PATH) || !driver.FindDev())
      fuzzsupport::fail("the stand-in keyboard was not found");
    if (flags & 2) {
      std::uint8_t block[lumera::kProfileBlockSize + 16];
      std::fill(std::begin(block), std::end(block), 0xEE);
      driver.SetPassword(f.config.options().PSD.data());
      driver.GetProfile(block);
      for (std::size_t i = lumera::kProfileBlockSize; i < sizeof block; ++i)
        if (block[i] != 0xEE) fuzzsupport::fail("GetProfile wrote past the profile block");
    } else {
      lumera::ApplyJob job(driver, windows);
      job.SetResetRequest((flags & 4) != 0);
      lumera::ProfileRecord p = f.profile;
      if (flags & 8) p.effectIndex = f.config.options().GameIndex;  // the per-key effect
      job.ApplySetting(&p, f.macros, 2, lumera::kMsgApplyProgress, lumera::kApplyEverything);
    }
  }
  if (f.hid.openHandles() != 0) fuzzsupport::fail("a keyboard handle was left open");
  lumera::theLog().setup(0);
  return 0;
}
