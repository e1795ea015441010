// The full write against a simulated Q350: the frames in order and byte for
// byte, the macro keys' slots, the posted messages and the pacing; and the
// write thread with the main window's mutex.
#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <map>
#include <string>
#include <vector>

#include "q350config/device/full_write.h"
#include "q350config/settings/key_tables.h"
#include "tests/q350config/device/device_test_util.h"
#include "tests/q350config/device/q350_sim_fixture.h"

using namespace q350;
using q350test::hexBytes;
using q350test::Posted;
using q350test::RecordingMessenger;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr platform::WindowHandle kMain = RecordingMessenger::kMain;
constexpr platform::WindowHandle kProgress = RecordingMessenger::kProgress;

// One received frame, split up.
struct Sent {
  std::uint8_t command;
  unsigned address;
  Bytes data;  // `length` bytes from offset 8
};

std::uint32_t macroKeyAt(std::size_t listPosition) { return KeyList()[listPosition].matrixIndex; }

class Q350FullWrite : public q350test::Q350SimTest {
 protected:
  void SetUp() override {
    Q350SimTest::SetUp();
    store.keyMap = store.defaultKeyMap;
    ProfileSettings& s = store.profileSettings;
    s.lightingSwitch = 255;
    s.lightingMode = 3;
    s.brightness = 4;
    s.effectSpeed = 3;
    for (std::size_t z = 0; z < kZoneCount; ++z) s.zoneColour[z] = rgb(static_cast<std::uint8_t>(255 - z), 128, 0);
    s.commonColour = rgb(0x00, 0x80, 0xFF);
  }

  FullWrite job(std::optional<int> zoneSelection = 0) {
    FullWrite w(driver, store, windowMutex, messenger, kMain);
    w.setZoneSelection(zoneSelection);
    return w;
  }

  std::vector<Sent> sentSince(std::size_t from) {
    std::vector<Sent> out;
    for (const Bytes& f : framesSince(from)) {
      EXPECT_EQ(f.size(), 64u);
      unsigned sum = 0;
      for (std::size_t i = 3; i < 64; ++i) sum += f[i];
      EXPECT_EQ(f[1] | f[2] << 8, static_cast<int>(sum & 0xFFFF));
      out.push_back({f[3], static_cast<unsigned>(f[5] | f[6] << 8), Bytes(f.begin() + 8, f.begin() + 8 + f[4])});
    }
    return out;
  }
  // How often each macro slot was uploaded (frames at the slot's address).
  std::map<int, int> uploadsPerSlot(const std::vector<Sent>& sent) {
    std::map<int, int> n;
    for (const Sent& s : sent)
      if (s.command == kCmdMemoryWrite && s.address >= 0x0A10 && (s.address - 0x0A10) % 0x100 == 0)
        ++n[static_cast<int>((s.address - 0x0A10) / 0x100)];
    return n;
  }
  void addMacro(std::size_t record, std::uint32_t id, std::uint32_t repeat, std::vector<std::uint32_t> events) {
    StoredMacro& m = store.macroLibrary.at(record);
    m.size = static_cast<std::uint32_t>(104 + 4 * events.size());
    m.tag = kMacroTag;
    m.id = id;
    m.repeat = repeat;
    m.count = static_cast<std::uint32_t>(events.size());
    for (std::size_t i = 0; i < events.size(); ++i) m.events[i] = events[i];
  }
  void bindMacro(std::size_t matrixIndex, std::uint32_t id) {
    store.keyMap[matrixIndex] = kKindMacro;
    store.keyExtra.setMacroId(matrixIndex, id);
  }

  testsupport::TempDir dir;
  SettingsStore store{dir.path()};
  std::mutex windowMutex;
  RecordingMessenger messenger;
};

TEST_F(Q350FullWrite, FramesMessagesAndPacing) {
  const KeyMap before = store.keyMap;
  const std::size_t mark = sim.transcriptSize();
  EXPECT_TRUE(job().Run(kProgress));
  const std::vector<Sent> sent = sentSince(mark);

  // Macro table, five lighting bytes, seven zones, common colour, key table.
  ASSERT_EQ(sent.size(), 1u + 5 + 7 + 1 + 11);
  EXPECT_EQ(sent[0].address, 0x0990u);
  const struct {
    unsigned address;
    Bytes data;
  } lighting[] = {{0xC9, {255}}, {0xAA, {3}}, {0xAB, {4}}, {0xAC, {2}}, {0xAD, {0}}};
  for (std::size_t k = 0; k < 5; ++k) {
    EXPECT_EQ(sent[1 + k].command, kCmdMemoryWrite);
    EXPECT_EQ(sent[1 + k].address, lighting[k].address) << k;
    EXPECT_EQ(sent[1 + k].data, lighting[k].data) << k;
  }
  for (unsigned z = 0; z < 7; ++z) {
    EXPECT_EQ(sent[6 + z].address, 0xB2 + 3 * z);
    EXPECT_EQ(sent[6 + z].data, (Bytes{static_cast<std::uint8_t>((255 - z) * 100 / 255), 50, 0})) << z;
  }
  EXPECT_EQ(sent[13].address, 0x00AFu);
  EXPECT_EQ(sent[13].data, (Bytes{0x00, 0x32, 0x64}));
  EXPECT_EQ(sent[14].command, kCmdWriteStart);
  EXPECT_EQ(sent.back().command, kCmdWriteEnd);
  for (std::size_t k = 0; k < 9; ++k) EXPECT_EQ(sent[15 + k].address, 0x0380 + 56 * k);
  EXPECT_EQ(store.keyMap, before) << "no macro keys: the table goes out as it is";
  const Bytes bank = memory(0x0380, 480);
  for (std::size_t i = 0; i < kKeyCount; ++i)
    EXPECT_EQ(bank[4 * i] | bank[4 * i + 1] << 8 | bank[4 * i + 2] << 16 | static_cast<std::uint32_t>(bank[4 * i + 3]) << 24,
              before[i])
        << i;

  const std::vector<Posted> expected = {
      {kProgress, 1067, 0},  {kProgress, 1067, 5},  {kProgress, 1067, 10}, {kProgress, 1067, 15},
      {kProgress, 1067, 20}, {kProgress, 1067, 50}, {kProgress, 1067, 70}, {kProgress, 1067, 95},
      {kProgress, 1067, 100}, {kMain, 1795, 0},     {kProgress, platform::WM_CLOSE, 0}};
  EXPECT_EQ(messenger.posted(), expected);

  std::vector<unsigned> pacing = {20, 500, 10, 30, 30, 30, 30, 20, 20, 20, 20, 20, 20, 20, 20, 20};
  pacing.insert(pacing.end(), 9, 30);
  pacing.push_back(300);
  EXPECT_EQ(pauses, pacing);
  unsigned total = 0;
  for (const unsigned ms : pauses) total += ms;
  EXPECT_EQ(total, 1400u) << "a write without macros is paced to 1.4 s";
}

TEST_F(Q350FullWrite, ZoneColoursFollowTheLightingPage) {
  struct Case {
    std::optional<int> selection;
    bool zonesSent;
    bool allCommon;
  };
  const Case cases[] = {{kAllZonesSelection, true, true}, {2, true, false}, {std::nullopt, false, false}};
  for (const Case& c : cases) {
    const std::size_t mark = sim.transcriptSize();
    EXPECT_TRUE(job(c.selection).Run(kProgress));
    int zoneFrames = 0;
    for (const Sent& s : sentSince(mark)) {
      if (s.address < 0xB2 || s.address > 0xC4) continue;
      ++zoneFrames;
      const unsigned z = (s.address - 0xB2) / 3;
      const Bytes want = c.allCommon ? Bytes{0x00, 0x32, 0x64}
                                     : Bytes{static_cast<std::uint8_t>((255 - z) * 100 / 255), 50, 0};
      EXPECT_EQ(s.data, want) << z;
    }
    EXPECT_EQ(zoneFrames, c.zonesSent ? 7 : 0);
  }
}

TEST_F(Q350FullWrite, MacroKeysGetSharedSlots) {
  const std::uint32_t pressA = makeEvent(kEventPress, 0x41), releaseA = makeEvent(kEventRelease, 0x41);
  addMacro(0, 0x15000001, kRepeatToggle, {pressA, makeEvent(kEventDelay, 100), releaseA});
  addMacro(1, 0x01000002, 3, {makeEvent(kEventPress, 0xA2), makeEvent(kEventRelease, 0xA2)});
  addMacro(2, 0x01000003, kRepeatWhilePressed, {pressA});
  addMacro(3, 0x01000004, 1, {pressA, makeEvent(kEventRelease, 0x07)});  // no usage for 0x07
  addMacro(4, 0x01000005, 1, {pressA});
  store.macroLibrary.at(4).size = 0;  // an empty record
  bindMacro(macroKeyAt(0), 0x15000001);
  bindMacro(macroKeyAt(1), 0x01000002);
  bindMacro(macroKeyAt(2), 0x15000001);  // shares slot 0
  bindMacro(macroKeyAt(3), 0x0BADF00D);  // no such macro
  bindMacro(macroKeyAt(4), 0x01000004);  // cannot be encoded
  bindMacro(macroKeyAt(5), 0x01000005);  // size 0
  bindMacro(0, 0x01000003);              // matrix index 0: visited ten times
  const std::size_t mark = sim.transcriptSize();
  EXPECT_TRUE(job().Run(kProgress)) << "keys that fall back do not fail the write";

  const KeyMap& defaults = store.defaultKeyMap;
  EXPECT_EQ(store.keyMap[macroKeyAt(0)], 0x00010005u) << "slot 0, toggle";
  EXPECT_EQ(store.keyMap[macroKeyAt(1)], 0x03000105u) << "slot 1, three times";
  EXPECT_EQ(store.keyMap[macroKeyAt(2)], 0x00010005u);
  EXPECT_EQ(store.keyMap[macroKeyAt(3)], defaults[macroKeyAt(3)]);
  EXPECT_EQ(store.keyMap[macroKeyAt(4)], defaults[macroKeyAt(4)]);
  EXPECT_EQ(store.keyMap[macroKeyAt(5)], defaults[macroKeyAt(5)]);
  EXPECT_EQ(store.keyMap[0], 0x00020205u) << "slot 2, while pressed";

  const std::vector<Sent> sent = sentSince(mark);
  EXPECT_EQ(uploadsPerSlot(sent), (std::map<int, int>{{0, 2}, {1, 1}, {2, 10}}));
  EXPECT_EQ(memory(0x0A10, 12), hexBytes("02 00 00 00 05 a0 04 00 20 04 00 00"));
  EXPECT_EQ(memory(0x0B10, 10), hexBytes("02 00 00 00 00 90 01 00 10 01"));
  EXPECT_EQ(memory(0x0380 + 4 * macroKeyAt(1), 4), hexBytes("05 01 00 03")) << "the resolved table went out";
  EXPECT_EQ(memory(0x0380, 4), hexBytes("05 02 02 00"));
  EXPECT_EQ(messenger.posted().back(), (Posted{kProgress, platform::WM_CLOSE, 0}));
}

TEST_F(Q350FullWrite, TwentyMacrosAtMost) {
  for (std::uint32_t k = 0; k < 21; ++k) {
    addMacro(k, 0x01000100 + k, 1 + k, {makeEvent(kEventPress, 0x41 + k)});
    bindMacro(macroKeyAt(k), 0x01000100 + k);
  }
  const std::size_t mark = sim.transcriptSize();
  EXPECT_TRUE(job().Run(kProgress));
  for (std::uint32_t k = 0; k < 20; ++k)
    EXPECT_EQ(store.keyMap[macroKeyAt(k)], 0x05u | k << 8 | (1 + k) << 24) << k;
  EXPECT_EQ(store.keyMap[macroKeyAt(20)], store.defaultKeyMap[macroKeyAt(20)]) << "the 21st macro has no slot";
  const auto uploads = uploadsPerSlot(sentSince(mark));
  EXPECT_EQ(uploads.size(), 20u);
  EXPECT_EQ(uploads.rbegin()->first, 19);
  EXPECT_EQ(memory(0x0A10 + 19 * 0x100, 7), hexBytes("01 00 00 00 00 a0 17")) << "'T' in slot 19";
}

TEST_F(Q350FullWrite, FailuresAreReported) {
  // The keyboard goes away in the middle of the lighting bytes.
  ASSERT_TRUE(sim.control().unplugAfter(0, 3));
  EXPECT_FALSE(job().Run(kProgress));
  std::vector<Posted> posted = messenger.posted();
  ASSERT_GE(posted.size(), 2u);
  EXPECT_EQ(posted[posted.size() - 2], (Posted{kMain, 1796, 0}));
  EXPECT_EQ(posted.back(), (Posted{kProgress, platform::WM_CLOSE, 0}));
  for (const Posted& p : posted) EXPECT_FALSE(p.message == 1067 && p.wParam == 100) << "no 100 on failure";
  EXPECT_EQ(posted[posted.size() - 3], (Posted{kProgress, 1067, 95})) << "the write ran to its end";

  // Without a main window there is nobody to report to: nothing is sent and
  // only the progress dialog is let go.
  ASSERT_TRUE(sim.control().replug(0));
  ASSERT_TRUE(driver.OpenDevice());
  RecordingMessenger orphan;
  orphan.mainExists = false;
  FullWrite w(driver, store, windowMutex, orphan, kMain);
  const std::size_t mark = sim.transcriptSize();
  EXPECT_FALSE(w.Run(kProgress));
  EXPECT_TRUE(sentSince(mark).empty());
  EXPECT_EQ(orphan.posted(), (std::vector<Posted>{{kProgress, platform::WM_CLOSE, 0}}));
}

TEST_F(Q350FullWrite, ThreadHoldsTheWindowMutex) {
  // The main window holds its mutex: the thread waits before its first step.
  std::unique_lock<std::mutex> held(windowMutex);
  WriteThread thread;
  thread.Start(job(), kProgress);
  platform::sleepMs(50);
  EXPECT_TRUE(messenger.posted().empty());
  held.unlock();
  ASSERT_TRUE(messenger.waitFor(kProgress, platform::WM_CLOSE));
  thread.Join();

  // While it writes, the mutex is the thread's: stop it in its first 30 ms
  // pause and look.
  std::mutex gateMutex;
  std::condition_variable gate;
  bool inPause = false, release = false;
  driver.setPauseFunction([&](unsigned ms) {
    if (ms != 30) return;
    std::unique_lock<std::mutex> lock(gateMutex);
    inPause = true;
    gate.notify_all();
    gate.wait(lock, [&] { return release; });
  });
  thread.Start(job(), kProgress);
  {
    std::unique_lock<std::mutex> lock(gateMutex);
    ASSERT_TRUE(gate.wait_for(lock, std::chrono::seconds(20), [&] { return inPause; }));
  }
  EXPECT_FALSE(windowMutex.try_lock());
  {
    std::lock_guard<std::mutex> lock(gateMutex);
    release = true;
  }
  gate.notify_all();
  thread.Join();
  EXPECT_TRUE(windowMutex.try_lock()) << "released at the end";
  windowMutex.unlock();
  const auto posted = messenger.posted();
  EXPECT_EQ(std::count(posted.begin(), posted.end(), Posted{kMain, 1795, 0}), 2);
}

}  // namespace
