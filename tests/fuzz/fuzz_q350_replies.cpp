// Q350Config's device link on whatever the keyboard answers to a memory read
// and to the control byte, stale reports included, through the real
// CUSBDriver over the scripted stand-in of libQuillfen.so (fake_hid.h).
#include <cstdint>

#include "q350config/device/usb_driver.h"
#include "tests/fuzz/fuzz_device.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzzsupport::FakeHid hid(KAVRO_FUZZ_QUILLFEN_PATH);
  hid.setScript(data, size);
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
  if (hid.openHandles() != 0) fuzzsupport::fail("a keyboard handle was left open");
  return 0;
}
