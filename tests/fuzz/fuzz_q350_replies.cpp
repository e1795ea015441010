// Q350Config's device link on whatever the keyboard answers to a memory read
// and to the control byte, stale reports included, through the real
// CUSBDriver over the scripted stand-in of libQuillfen.so (fake_hid.h).
#include <cstdint>

#include "platform/hid/module.h"
#include "q350config/device/usb_driver.h"
#include "tests/fuzz/fake_hid.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

struct Fixture {
  platform::ModuleHandle library = nullptr;
  FakeHidSetScriptFn setScript = nullptr;
  FakeHidOpenHandlesFn openHandles = nullptr;
  Fixture() {
    fuzzsupport::scratch();
    library = platform::loadModule(KAVRO_FUZZ_QUILLFEN_PATH);
    if (!library) fuzzsupport::fail("cannot load the stand-in HID library");
    setScript = reinterpret_cast<FakeHidSetScriptFn>(platform::moduleSymbol(library, "FakeHidSetScript"));
    openHandles = reinterpret_cast<FakeHidOpenHandlesFn>(platform::moduleSymbol(library, "FakeHidOpenHandles"));
    if (!setScript || !openHandles) fuzzsupport::fail("stand-in HID library without its controls");
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Fixture f;
  f.setScript(data, size);
  {
    q350::CUSBDriver driver;
    driver.setPauseFunction([](unsigned) {});
    if (driver.Init(KAVRO_FUZZ_QUILLFEN_PATH) != 1 || !driver.OpenDevice())
      fuzzsupport::fail("the stand-in keyboard did not open");
    const unsigned version = driver.ReadFirmwareVersion();
    if (version > 255u + 10u * 255u) fuzzsupport::fail("firmware version out of range");
    driver.WriteControlByte();
    q350::Frame reply{};
    driver.ReadReply(reply);
  }
  if (f.openHandles() != 0) fuzzsupport::fail("a keyboard handle was left open");
  return 0;
}
