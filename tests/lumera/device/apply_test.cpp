// The apply pipeline against a simulated Q350RGB: which commands an apply
// sends for which flags and profiles, what the keyboard keeps, the failure
// paths, and the worker thread with its requests.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <thread>

#include "lumera/device/apply.h"
#include "lumera/model/lighting.h"
#include "lumera/model/matrix.h"
#include "platform/format.h"
#include "tests/lumera/device/lumera_sim_fixture.h"

using namespace lumera;
using lumeratest::Bytes;
using lumeratest::hexBytes;
using lumeratest::Posted;
using lumeratest::WindowsStandIn;

namespace {

using Steps = std::vector<std::string>;

class LumeraApply : public lumeratest::LumeraSimTest {
 protected:
  void SetUp() override {
    LumeraSimTest::SetUp();
    ASSERT_TRUE(loadAndFind());
    profile = NewProfile(u"Profile 1", config);
    ASSERT_NE(profile.effectIndex, config.options().GameIndex);
  }

  bool apply(unsigned flags, platform::WindowHandle window = 0) {
    return job.ApplySetting(&profile, macros, window, kMsgApplyProgress, flags);
  }

  // The commands the keyboard received since `from`, by name.
  Steps stepsSince(std::size_t from) {
    Steps out;
    for (const sim::TranscriptLine& l : sim.transcript(from)) {
      if (!l.out) continue;
      const Bytes& b = l.bytes;
      if (l.interfaceNumber == 2) {
        out.push_back(b.size() > 1 && b[1] == 0x83 ? "GetProfile" : "request?");
      } else if (b.size() == kShortFrameSize) {
        out.push_back(b[2] == 0x76 ? "start" : b[2] == 0x77 ? "end" : b[2] == 0x01 ? "password" : "short?");
      } else {
        switch (b[1]) {
          case 0x03: out.push_back("SetProfile"); break;
          case 0x04: out.push_back("SetKeyMatrix"); break;
          case 0x05: out.push_back(platform::format("SetMacroData(%02x)", b[2])); break;
          case 0x08: out.push_back("ColorTable"); break;
          case 0x09: out.push_back(platform::format("SetLedMatrix(%02x)", b[2])); break;
          default: out.push_back("long?");
        }
      }
    }
    return out;
  }

  std::vector<unsigned> progressValues() {
    std::vector<unsigned> out;
    for (const Posted& p : windows.postedTo(WindowsStandIn::kProgress))
      if (p.message == kMsgApplyProgress) out.push_back(static_cast<unsigned>(p.wParam));
    return out;
  }

  // Puts a macro of `events` key presses on the key of layout record `key`.
  void macroOnKey(int key, std::uint16_t vk) {
    MacroRecord m = NewMacro(u"m");
    m.events[0] = {vk, 1, 10};
    m.events[1] = {vk, 0, 10};
    macros.push_back(m);
    profile.keys[static_cast<std::size_t>(key)].funA.dwFunID = 0x05000000;
    profile.keys[static_cast<std::size_t>(key)].funA.nMacroId = m.id;
  }

  ProfileRecord profile;
  MacroList macros;
  ApplyJob job{driver, windows};
};

TEST_F(LumeraApply, FlagsChooseTheCommands) {
  const Steps full = {"password", "start", "GetProfile", "ColorTable", "SetKeyMatrix", "SetProfile", "end"};
  struct Case {
    unsigned flags;
    Steps steps;
  };
  const Case cases[] = {
      {0x0001, {"password", "SetKeyMatrix", "end"}},  // no configuration start, no profile block
      {0x0002, {"password", "start", "GetProfile", "ColorTable", "SetProfile", "end"}},
      {0x0004, {"password", "end"}},  // the per-key frames belong to the per-key effect only
      {0x0000, {"password", "end"}},
      {0x0007, full},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    const std::size_t mark = sim.transcriptSize();
    EXPECT_TRUE(apply(c.flags));
    EXPECT_EQ(stepsSince(mark), c.steps);
  }
  EXPECT_TRUE(debug.contains("ApplySetting: hWnd=0"));
  EXPECT_TRUE(windows.posted().empty()) << "no progress without a progress window";
  EXPECT_TRUE(messages.shown().empty());
}

TEST_F(LumeraApply, FullApplyWritesWhatTheModelEncodes) {
  const Bytes before = memory(0, kProfileBlockSize);
  ASSERT_TRUE(apply(kApplyEverything, WindowsStandIn::kProgress));
  EXPECT_EQ(progressValues(), (std::vector<unsigned>{20, 40, 100}));

  // Global byte 0 becomes 1, Pro1 gets the lighting, the rest stays as read.
  Bytes block = before;
  block[0] = 1;
  FillProLighting(profile, config, block.data() + kPro1Offset);
  EXPECT_EQ(memory(0, kProfileBlockSize), block);
  Bytes table(kColorTablePayloadSize);
  BuildColorTable(profile, table.data());
  EXPECT_EQ(memory(0xA800, kColorTablePayloadSize), table);
  KeyMatrix matrix;
  FillMatrix(profile, macros, config, matrix);
  const auto payload = matrix.payload();
  EXPECT_EQ(memory(0xC800, kKeyMatrixSize), Bytes(payload.begin(), payload.end()));
  EXPECT_TRUE(debug.contains("rgbTab( BGR )"));
  EXPECT_TRUE(debug.contains("Cfg(Save-Pro1): "));
}

TEST_F(LumeraApply, PerKeyEffectSendsColourFramesInsteadOfTheTable) {
  config.options().GameModeNumHw = 3;  // three groups: two frames
  profile.effectIndex = config.options().GameIndex;
  profile.groupColours[1][5] = rgb(1, 2, 3);
  const std::vector<ColorFrame> frames = BuildColorFrames(profile, config);
  ASSERT_EQ(frames.size(), 2u);
  const std::size_t mark = sim.transcriptSize();
  ASSERT_TRUE(apply(kApplyEverything, WindowsStandIn::kProgress));
  EXPECT_EQ(stepsSince(mark), (Steps{"password", "start", "GetProfile", "SetLedMatrix(ac)", "SetLedMatrix(b0)",
                                     "SetKeyMatrix", "SetProfile", "end"}));
  for (const ColorFrame& f : frames)
    EXPECT_EQ(memory(f.address * 256u, kLedFramePayloadSize), Bytes(f.bytes.begin(), f.bytes.end()));
  EXPECT_EQ(memory(kPro1Offset + 4, 1), Bytes{1}) << "Pro1 names the per-key effect";
}

TEST_F(LumeraApply, MacroBuffersGoOutInChunksOfFour) {
  for (int k = 0; k < 5; ++k) macroOnKey(k, static_cast<std::uint16_t>(0x41 + k));
  KeyMatrix matrix;
  FillMatrix(profile, macros, config, matrix);
  ASSERT_EQ(matrix.macroCount, 5);
  const std::size_t mark = sim.transcriptSize();
  ASSERT_TRUE(apply(kApplyKeys));
  EXPECT_EQ(stepsSince(mark), (Steps{"password", "SetMacroData(cc)", "SetMacroData(d0)", "SetKeyMatrix", "end"}));
  EXPECT_EQ(memory(0xCC00, 2 * kMacroChunkSize), Bytes(matrix.macroBuffers.begin(), matrix.macroBuffers.begin() + 2048));
  EXPECT_TRUE(debug.contains("Macro(0xD0):"));
}

TEST_F(LumeraApply, NoProfileSendsNothing) {
  ProfileRecord empty;
  const std::size_t mark = sim.transcriptSize();
  EXPECT_FALSE(job.ApplySetting(&empty, macros, WindowsStandIn::kProgress, kMsgApplyProgress, kApplyEverything));
  EXPECT_FALSE(job.ApplySetting(nullptr, macros, WindowsStandIn::kProgress, kMsgApplyProgress, kApplyEverything));
  EXPECT_EQ(sim.transcriptSize(), mark);
  EXPECT_TRUE(windows.posted().empty());
}

TEST_F(LumeraApply, ResetApplyThenTheNext) {
  // The keyboard's Pro0 is not the factory one.
  Bytes keyboard = memory(0, kProfileBlockSize);
  keyboard[kPro0Offset + 5] = 0x0C;
  keyboard[kPro0Offset + 20] = 0x99;
  ASSERT_TRUE(driver.SetProfile(keyboard.data()));

  job.SetResetRequest(true);
  ASSERT_TRUE(apply(kApplyProfile));
  EXPECT_FALSE(job.ResetRequested()) << "honoured once";
  Bytes after = memory(0, kProfileBlockSize);
  EXPECT_EQ(after[0], 0);
  EXPECT_EQ(Bytes(after.begin() + kPro0Offset, after.begin() + kPro1Offset),
            Bytes(kProResetDefaults.begin(), kProResetDefaults.end()));

  // The keyboard changes its Pro0 again; a normal apply leaves it alone.
  after[kPro0Offset + 9] = 0x42;
  ASSERT_TRUE(driver.SetProfile(after.data()));
  ASSERT_TRUE(apply(kApplyProfile));
  const Bytes next = memory(0, kProfileBlockSize);
  EXPECT_EQ(next[0], 1);
  EXPECT_EQ(Bytes(next.begin() + kPro0Offset, next.begin() + kPro1Offset),
            Bytes(after.begin() + kPro0Offset, after.begin() + kPro1Offset));
}

class LumeraApplyWorker : public LumeraApply {
 protected:
  void SetUp() override {
    LumeraApply::SetUp();
    worker.SetApplyObserver([this](bool ok) {
      std::lock_guard<std::mutex> lock(mutex);
      results.push_back(ok);
      done.notify_all();
    });
    ASSERT_TRUE(worker.StartApplyWorker());
  }
  void TearDown() override {
    worker.StopApplyWorker();
    LumeraApply::TearDown();
  }
  // Waits for `n` applies to be over.
  std::vector<bool> waitForResults(std::size_t n) {
    std::unique_lock<std::mutex> lock(mutex);
    EXPECT_TRUE(done.wait_for(lock, std::chrono::seconds(30), [&] { return results.size() >= n; }));
    return results;
  }
  std::vector<std::string> appliedFlags() {
    std::vector<std::string> out;
    for (const std::string& l : debug.lines()) {
      const std::size_t at = l.find("Start Apply: hDevice=");
      if (at != std::string::npos) out.push_back(l.substr(l.find("nFlag=", at)));
    }
    return out;
  }

  ApplyWorker worker{job};
  std::mutex mutex;
  std::condition_variable done;
  std::vector<bool> results;
};

TEST_F(LumeraApplyWorker, GetProfileFailureStopsUnlessGoWithNoDev) {
  for (int goOn : {0, 1}) {
    SCOPED_TRACE(goOn);
    config.options().GoWithNoDev = goOn;
    forceReply(6, "06 00");  // not the profile reply
    const std::size_t mark = sim.transcriptSize();
    const std::size_t postedBefore = windows.posted().size();
    lumera::test::MessageCapture shown;
    ASSERT_TRUE(worker.RequestApply(profile, macros));
    const bool ok = waitForResults(static_cast<std::size_t>(goOn + 1)).back();
    EXPECT_EQ(ok, goOn == 1);
    EXPECT_TRUE(debug.contains(platform::format("GetProfile error, err=0x%x", EPROTO)));
    if (goOn) {
      EXPECT_EQ(stepsSince(mark), (Steps{"password", "start", "GetProfile", "ColorTable", "SetKeyMatrix",
                                         "SetProfile", "end"}));
      EXPECT_TRUE(shown.shown().empty());
      // Without the keyboard's block, the kept fields go out as zeros.
      EXPECT_EQ(memory(kPro0Offset, kProSize), Bytes(kProSize, 0));
    } else {
      EXPECT_EQ(stepsSince(mark), (Steps{"password", "start", "GetProfile", "end"}));
      EXPECT_EQ(shown.shown(), std::vector<std::string>{"Error:    Update settings failed!      "});
      EXPECT_EQ(shown.icons(), std::vector<MessageIcon>{MessageIcon::Warning});
    }
    // The progress window still reaches 100 and is closed twice.
    const auto posted = windows.postedTo(WindowsStandIn::kProgress);
    std::vector<Posted> tail(posted.begin() + static_cast<std::ptrdiff_t>(postedBefore), posted.end());
    const unsigned p = WindowsStandIn::kProgress;
    std::vector<Posted> expected = {{p, kMsgApplyProgress, 20}};
    if (goOn) expected.push_back({p, kMsgApplyProgress, 40});
    expected.insert(expected.end(), {{p, kMsgApplyProgress, 100}, {p, platform::WM_CLOSE, 0}, {p, platform::WM_CLOSE, 0}});
    EXPECT_EQ(tail, expected);
  }
}

TEST_F(LumeraApplyWorker, UnplugMidApplyFailsCleanlyAndTheWorkerGoesOn) {
  // Password out and back, configuration start, profile request and reply:
  // the keyboard is pulled out on the colour table.
  ASSERT_TRUE(sim.control().unplugAfter(0, 5));
  ASSERT_TRUE(worker.RequestApply(profile, macros));
  EXPECT_EQ(waitForResults(1), std::vector<bool>{false});
  EXPECT_TRUE(debug.contains(platform::format("SetProfile error, err=0x%x", ENODEV)));
  EXPECT_EQ(messages.shown(), std::vector<std::string>{"Error:    Update settings failed!      "});
  ASSERT_TRUE(worker.Running());

  // Back in, found again: the next request goes through.
  ASSERT_TRUE(sim.control().replug(0));
  ASSERT_TRUE(driver.FindDev());
  const std::size_t mark = sim.transcriptSize();
  ASSERT_TRUE(worker.RequestApply(profile, macros));
  EXPECT_EQ(waitForResults(2), (std::vector<bool>{false, true}));
  EXPECT_EQ(stepsSince(mark).back(), "end");
}

TEST_F(LumeraApplyWorker, RequestsMadeDuringAnApplyAreCombinedAndUseTheirOwnCopy) {
  ASSERT_TRUE(sim.control().slow(0, 40));
  ASSERT_TRUE(worker.RequestApply(kApplyKeys | kApplyProgress, profile, macros));
  ASSERT_TRUE(testsupport::eventually([&] { return !appliedFlags().empty(); }));
  // While the first apply runs: a colour change and a profile request; the
  // profile changes right after its request.
  const ProfileRecord requested = profile;
  ASSERT_TRUE(worker.RequestApply(kApplyLedMatrix, profile, macros));
  ASSERT_TRUE(worker.RequestApply(kApplyProfile, profile, macros));
  profile.keys[0].funA.dwFunID = 0;
  profile.effects[static_cast<std::size_t>(profile.effectIndex)].colourIndex = 6;

  EXPECT_EQ(waitForResults(3), (std::vector<bool>{true, true, true}));
  // The progress bit is cleared by the request for flags; the second wake
  // takes both flags, the third has none left.
  EXPECT_EQ(appliedFlags(), (std::vector<std::string>{"nFlag=0x1", "nFlag=0x6", "nFlag=0x0"}));
  EXPECT_EQ(windows.searches(), 0);
  Bytes expected = memory(0, kProfileBlockSize);
  FillProLighting(requested, config, expected.data() + kPro1Offset);
  EXPECT_EQ(memory(kPro1Offset, kProSize), Bytes(expected.begin() + kPro1Offset, expected.end()));
}

TEST_F(LumeraApplyWorker, AtMostOneHundredOutstandingRequestsAndExitComesFirst) {
  ApplyWorker idle(job);
  EXPECT_FALSE(idle.RequestApply(profile, macros)) << "not started";

  ASSERT_TRUE(sim.control().slow(0, 150));
  ASSERT_TRUE(worker.RequestApply(0, profile, macros));
  ASSERT_TRUE(testsupport::eventually([&] { return !appliedFlags().empty(); }));
  for (unsigned i = 0; i < ApplyWorker::kMaxRequests; ++i) ASSERT_TRUE(worker.RequestApply(0, profile, macros)) << i;
  EXPECT_FALSE(worker.RequestApply(0, profile, macros));
  worker.StopApplyWorker();
  EXPECT_FALSE(worker.Running());
  EXPECT_EQ(results.size(), 1u) << "the running apply ends; the outstanding ones are dropped";
  EXPECT_TRUE(debug.contains("thread exit"));
  EXPECT_FALSE(worker.RequestApply(0, profile, macros));
}

TEST_F(LumeraApplyWorker, WithoutAProgressWindowNothingIsPosted) {
  windows.progressShown = false;
  ASSERT_TRUE(worker.RequestApply(profile, macros));
  EXPECT_EQ(waitForResults(1), std::vector<bool>{true});
  EXPECT_EQ(windows.searches(), ApplyWorker::kProgressSearchTries);
  EXPECT_TRUE(windows.posted().empty());
  EXPECT_TRUE(debug.contains("ApplySetting: hWnd=0"));
}

TEST_F(LumeraApplyWorker, DirectApplyWaitsForTheWorkersApply) {
  ASSERT_TRUE(sim.control().slow(0, 30));
  const std::size_t mark = sim.transcriptSize();
  ASSERT_TRUE(worker.RequestApply(0, profile, macros));
  ASSERT_TRUE(testsupport::eventually([&] { return !appliedFlags().empty(); }));
  // The automatic profile switch on another thread.
  EXPECT_TRUE(apply(0));
  waitForResults(1);
  EXPECT_EQ(stepsSince(mark), (Steps{"password", "end", "password", "end"}));
}

}  // namespace
