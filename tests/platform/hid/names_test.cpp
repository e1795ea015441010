// Interface names and the simulator protocol's text helpers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/hid/hid.h"
#include "platform/hid/sim_link.h"

namespace {

TEST(HidNames, WindowsFormsThatTheProgramsMatch) {
  EXPECT_EQ(platform::hidInterfacePath(0x24AE, 0x4018, 1, -1, platform::simNode(0, 1)),
            "\\\\?\\HID#VID_24AE&PID_4018&MI_01#kbsim&0&1#{4d1e55b2-f16f-11cf-88cb-001111000030}");
  EXPECT_EQ(platform::hidInterfacePath(0x046d, 0xc52b, 2, 1, "hidraw7"),
            "\\\\?\\HID#VID_046D&PID_C52B&MI_02&Col01#hidraw7#{4d1e55b2-f16f-11cf-88cb-001111000030}");
  EXPECT_EQ(platform::hidInterfacePath(0x1234, 0xABCD, -1, -1, "hidraw0"),
            "\\\\?\\HID#VID_1234&PID_ABCD#hidraw0#{4d1e55b2-f16f-11cf-88cb-001111000030}");
  EXPECT_EQ(platform::usbDeviceInterfaceName(0x24AE, 0x4011, "kbsim&3"),
            "\\\\?\\USB#VID_24AE&PID_4011#kbsim&3#{a5dcbf10-6530-11d2-901f-00c04fb951ed}");
  EXPECT_EQ(platform::usbHardwareId(0x24AE, 0x4011, 0x0100), "USB\\VID_24AE&PID_4011&REV_0100");
}

TEST(SimText, HexAndFields) {
  const std::vector<std::uint8_t> bytes = {0x06, 0x05, 0x77, 0x00, 0xFF};
  EXPECT_EQ(platform::hexEncode(bytes), "06057700ff");
  EXPECT_EQ(platform::hexEncode(bytes, true), "06 05 77 00 ff");
  struct {
    const char* text;
    bool ok;
    std::vector<std::uint8_t> bytes;
  } cases[] = {
      {"06057700ff", true, bytes},
      {"06 05 77 00 FF", true, bytes},
      {"", true, {}},
      {"0", false, {}},
      {"0g", false, {}},
      {"06 5", false, {}},
  };
  for (const auto& c : cases) {
    std::vector<std::uint8_t> out;
    EXPECT_EQ(platform::hexDecode(c.text, out), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(out, c.bytes) << c.text;
    }
  }
  const auto f = platform::parseFields("kb index=2 vid=24ae mis=0,1,2 loose");
  EXPECT_EQ(f.size(), 3u);
  EXPECT_EQ(f.at("index"), "2");
  EXPECT_EQ(f.at("mis"), "0,1,2");
}

}  // namespace
