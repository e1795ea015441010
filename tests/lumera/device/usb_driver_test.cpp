// CUSBDriver against a simulated Q350RGB: loading the HID access library,
// finding the keyboard, the command frames as the keyboard's transcript
// shows them, the reply checks and the retries.
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <numeric>

#include "lumera/device/usb_driver.h"
#include "platform/text.h"
#include "tests/lumera/device/lumera_sim_fixture.h"

using namespace lumera;
using lumeratest::Bytes;
using lumeratest::hexBytes;
using lumeratest::WindowsStandIn;

namespace {

class LumeraDriver : public lumeratest::LumeraSimTest {};

Bytes counting(std::size_t n, std::uint8_t start) {
  Bytes b(n);
  std::iota(b.begin(), b.end(), start);
  return b;
}

TEST_F(LumeraDriver, LibraryThatCannotServeLeavesNoDevice) {
  struct Case {
    const char* library;
    bool usable;
    bool versionWarning;
  };
  for (const Case c : {Case{"/nonexistent/libPallomar.so", false, false},
                       // Another HID library: OpenHidDevice only.
                       Case{KAVRO_QUILLFEN_PATH, false, true}, Case{KAVRO_PALLOMAR_PATH, true, false}}) {
    SCOPED_TRACE(c.library);
    CUSBDriver d(config);
    lumera::test::MessageCapture shown;
    lumera::test::DebugCapture log;
    EXPECT_EQ(d.LoadDriver(WindowsStandIn::kMain, windows, c.library), c.usable);
    EXPECT_EQ(log.contains("load dll failed."), !c.usable);
    EXPECT_EQ(shown.shown(), c.versionWarning ? std::vector<std::string>{"Warning: pGetVersionNumber is null"}
                                              : std::vector<std::string>{});
    EXPECT_EQ(d.FindDev(), c.usable);
    EXPECT_EQ(d.DeviceCount(), c.usable ? 1 : 0);
    EXPECT_FALSE(d.ListenerRunning()) << "Pop is 0";
  }
}

TEST_F(LumeraDriver, FindDevOpensBothInterfacesAndPicksTheLedLayoutByVersion) {
  ASSERT_TRUE(loadAndFind());
  EXPECT_TRUE(driver.IsOpen());
  EXPECT_TRUE(debug.contains("FindDev: looking for VID_24AE&PID_4018"));
  EXPECT_TRUE(debug.contains("FindHIDDevice, InitLedMatrix=0x100"));
  EXPECT_EQ(platform::toLowerAscii(config.ledFile().substr(config.ledFile().size() - 7)), "led.ini");

  // A later keyboard version uses the UK layout; FindDev reopens.
  ASSERT_TRUE(sim.control().setVersion(0, 0x201));
  const unsigned before = driver.Generation();
  ASSERT_TRUE(driver.FindDev());
  EXPECT_NE(driver.Generation(), before);
  EXPECT_TRUE(debug.contains("FindHIDDevice, InitLedMatrix=0x201"));
  EXPECT_EQ(platform::toLowerAscii(config.ledFile().substr(config.ledFile().size() - 9)), "leduk.ini");

  driver.ClearHandle();
  EXPECT_FALSE(driver.IsOpen());
  errno = 0;
  EXPECT_FALSE(driver.SetConfigMode(true)) << "no handle after ClearHandle";
  EXPECT_EQ(errno, EBADF);
}

TEST_F(LumeraDriver, ProductStringCheck) {
  struct Case {
    int matchStr;
    std::u16string usbString;
    std::string product;
    bool found;
  };
  const Case cases[] = {
      {1, u"", "VARIRE voror", true},            // the built-in name, any case
      {1, u"", "Kavro Q350RGB", false},
      {1, u"Kavro Q350RGB", "kavro q350rgb", true},
      {1, u"Kavro Q350RGB", "Varire Voror", false},
      {0, u"Kavro Q350RGB", "Something else", true},  // not checked
  };
  ASSERT_TRUE(driver.LoadDriver(WindowsStandIn::kMain, windows, KAVRO_PALLOMAR_PATH));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.product);
    config.options().MatchStr = c.matchStr;
    config.options().USBString = c.usbString;
    ASSERT_TRUE(sim.control().setProduct(0, c.product));
    lumera::test::DebugCapture log;
    EXPECT_EQ(driver.FindDev(), c.found);
    EXPECT_EQ(driver.IsOpen(), c.found);
    const std::string expected = c.usbString.empty() ? "Varire Voror" : platform::toUtf8(c.usbString);
    EXPECT_EQ(log.contains("Usb String=" + c.product + ", Our Str=" + expected), c.matchStr != 0);
  }
}

TEST_F(LumeraDriver, TwoKeyboardsAreCountedAndTheFirstIsOpened) {
  int second = -1;
  ASSERT_TRUE(sim.control().plug("q350rgb", &second));
  ASSERT_TRUE(loadAndFind());
  EXPECT_EQ(driver.DeviceCount(), 2);
  const std::size_t mark = sim.transcriptSize();
  ASSERT_TRUE(driver.SetConfigMode(false));
  const auto lines = sim.transcript(mark);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].keyboard, 0);
}

TEST_F(LumeraDriver, CommandFramesOnTheWire) {
  ASSERT_TRUE(loadAndFind());
  const Bytes block = counting(kProfileBlockSize, 1), matrix = counting(kKeyMatrixSize, 7),
              chunk = counting(kMacroChunkSize, 3), table = counting(kColorTablePayloadSize, 5),
              leds = counting(kLedFramePayloadSize, 9);
  struct Case {
    const char* what;
    std::function<bool()> send;
    int interfaceNumber;
    std::string head;  // the frame's first bytes; the rest is the payload, then zeros
    const Bytes* payload;
    std::size_t length;
  };
  const Case cases[] = {
      {"configuration start", [&] { return driver.SetConfigMode(false); }, 1, "06 05 76", nullptr, 9},
      {"configuration end", [&] { return driver.SetConfigMode(true); }, 1, "06 05 77 00 00 00 00 00 00", nullptr, 9},
      {"SetProfile", [&] { return driver.SetProfile(block.data()); }, 1, "06 03 00 00 00 00 00 00", &block, 1032},
      {"SetKeyMatrix", [&] { return driver.SetKeyMatrix(matrix.data()); }, 1, "06 04 c8 00 40 00 00 00", &matrix,
       1032},
      {"third macro chunk", [&] { return driver.SetMacroData(chunk.data(), 0xCC + 4 * 2); }, 1,
       "06 05 d4 00 40 00 00 00", &chunk, 1032},
      {"colour table", [&] { return driver.SetColorTable(table.data()); }, 1, "06 08 a8 00 40 00 00 00", &table, 1032},
      {"second LED frame", [&] { return driver.SetLedMatrix(leds.data(), 0xAC + 4); }, 1, "06 09 b0 00 40 00 00 00",
       &leds, 1032},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::size_t mark = sim.transcriptSize();
    ASSERT_TRUE(c.send());
    const auto frames = framesSince(mark);
    ASSERT_EQ(frames.size(), 1u);
    Bytes expected = hexBytes(c.head);
    if (c.payload) expected.insert(expected.end(), c.payload->begin(), c.payload->end());
    expected.resize(c.length, 0);
    EXPECT_EQ(frames[0], expected);
    EXPECT_EQ(sim.transcript(mark)[0].interfaceNumber, c.interfaceNumber);
  }
  // What the keyboard kept, page by page.
  EXPECT_EQ(memory(0, kProfileBlockSize), block);
  EXPECT_EQ(memory(0xC800, kKeyMatrixSize), matrix);
  EXPECT_EQ(memory(0xD400, kMacroChunkSize), chunk);
  EXPECT_EQ(memory(0xA800, kColorTablePayloadSize), table);
  EXPECT_EQ(memory(0xB000, kLedFramePayloadSize), leds);

  // The profile request goes to the command interface; the block comes back.
  const std::size_t mark = sim.transcriptSize();
  Bytes read(kProfileBlockSize, 0xEE);
  ASSERT_TRUE(driver.GetProfile(read.data()));
  EXPECT_EQ(read, block);
  const auto lines = sim.transcript(mark);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].interfaceNumber, 2);
  EXPECT_EQ(lines[0].bytes, hexBytes("05 83 00 00 00 00 00"));
  EXPECT_EQ(lines[1].interfaceNumber, 1);
  EXPECT_EQ(lines[1].bytes.size(), 1032u);
}

TEST_F(LumeraDriver, PasswordReplies) {
  ASSERT_TRUE(loadAndFind());
  struct Case {
    const char* what;
    Bytes keyboardPassword;
    std::string forcedReply;  // empty: the keyboard's own answer
    bool ok;
    bool unmatch;
  };
  const Case cases[] = {
      {"05 01 5a", hexBytes("01 02 03 04 05 06"), "", true, false},
      {"05 01 00", hexBytes("09 09 09 09 09 09"), "", false, true},
      {"00 00 00", hexBytes("01 02 03 04 05 06"), "00 00 00 00 00 00 00 00 00", false, false},
      {"short reply", hexBytes("01 02 03 04 05 06"), "00 05", false, false},
      {"wrong report", hexBytes("01 02 03 04 05 06"), "00 05 02 5a", false, false},
  };
  const Bytes password = hexBytes("01 02 03 04 05 06");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(sim.control().setPassword(0, c.keyboardPassword));
    if (!c.forcedReply.empty()) forceReply(0, c.forcedReply);
    lumera::test::DebugCapture log;
    const std::size_t mark = sim.transcriptSize();
    EXPECT_EQ(driver.SetPassword(password.data()), c.ok);
    EXPECT_EQ(log.contains("SetPassword: Psd UnMatch"), c.unmatch);
    // Sent once, whatever the answer.
    EXPECT_EQ(framesSince(mark), std::vector<Bytes>{hexBytes("06 05 01 01 02 03 04 05 06")});
  }
}

TEST_F(LumeraDriver, GetProfileChecksTheReply) {
  ASSERT_TRUE(loadAndFind());
  struct Case {
    const char* what;
    std::string reply;
    bool ok;
  };
  const Case cases[] = {
      {"another command's reply", "06 84 00 00 00 00 00 00 01 02 03", false},
      {"short reply", "06", false},
      {"keyboard's answer", "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (!c.reply.empty()) forceReply(6, c.reply);
    Bytes block(kProfileBlockSize, 0xEE);
    errno = 0;
    EXPECT_EQ(driver.GetProfile(block.data()), c.ok);
    if (c.ok) {
      EXPECT_EQ(block, memory(0, kProfileBlockSize));
      EXPECT_EQ(Bytes(block.begin() + kPro0Offset, block.begin() + kPro1Offset),
                Bytes(kProResetDefaults.begin(), kProResetDefaults.end()))
          << "factory content";
    } else {
      EXPECT_EQ(block, Bytes(kProfileBlockSize, 0xEE)) << "a rejected reply is not copied";
      EXPECT_NE(errno, 0);
    }
  }
}

TEST_F(LumeraDriver, RetriesThreeTimesWithPauses) {
  ASSERT_TRUE(loadAndFind());
  const auto lastMs = [&] { return sim.transcript().back().ms; };
  ASSERT_TRUE(driver.SetConfigMode(false));
  const std::uint64_t t0 = lastMs();

  // Two failed tries, then success: two pauses of 200 ms before the frame.
  ASSERT_TRUE(sim.control().failNext(0, 2));
  ASSERT_TRUE(driver.SetConfigMode(true));
  const std::uint64_t t1 = lastMs();
  EXPECT_GE(t1 - t0, 400u);

  // Three failed tries: false, the error of the last one, three pauses.
  ASSERT_TRUE(sim.control().failNext(0, 3));
  const std::size_t mark = sim.transcriptSize();
  errno = 0;
  EXPECT_FALSE(driver.SetConfigMode(false));
  EXPECT_EQ(errno, EIO);
  EXPECT_EQ(sim.transcriptSize(), mark) << "the keyboard never saw the frame";
  ASSERT_TRUE(driver.SetConfigMode(true));
  EXPECT_GE(lastMs() - t1, 600u);
}

}  // namespace
