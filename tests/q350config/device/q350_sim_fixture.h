// A kbsim with one Q350 (keyboard 0) and a CUSBDriver opened on it through
// libQuillfen.so; the driver's pauses are recorded instead of slept.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "q350config/device/usb_driver.h"
#include "tests/sim/sim_fixture.h"

namespace q350test {

class Q350SimTest : public testsupport::SimFixture {
 protected:
  using Bytes = std::vector<std::uint8_t>;

  std::vector<std::string> keyboards() const override { return {"q350"}; }
  void SetUp() override {
    SimFixture::SetUp();
    ASSERT_EQ(driver.Init(KAVRO_QUILLFEN_PATH), 1);
    ASSERT_TRUE(driver.OpenDevice());
    driver.setPauseFunction([this](unsigned ms) {
      std::lock_guard<std::mutex> lock(pauseMutex);
      pauses.push_back(ms);
    });
  }

  // `size` bytes of the keyboard's memory from `address`.
  Bytes memory(std::size_t address, std::size_t size) {
    Bytes all;
    EXPECT_TRUE(sim.control().dump(0, all));
    return Bytes(all.begin() + static_cast<std::ptrdiff_t>(address),
                 all.begin() + static_cast<std::ptrdiff_t>(address + size));
  }
  // The frames the keyboard received on its configuration interface since
  // transcript line `from`.
  std::vector<Bytes> framesSince(std::size_t from) {
    std::vector<Bytes> out;
    for (const sim::TranscriptLine& l : sim.transcript(from))
      if (l.out && l.interfaceNumber == 1) out.push_back(l.bytes);
    return out;
  }

  q350::CUSBDriver driver;
  std::mutex pauseMutex;
  std::vector<unsigned> pauses;
};

}  // namespace q350test
