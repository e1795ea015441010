// The lighting page against a simulated Q350RGB: with "ApplyNow" its
// requests go through the real apply worker and driver, and what reaches
// the keyboard is read back from the simulator's transcript and memory.
#include <gtest/gtest.h>

#include <QApplication>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "lumera/app/color_panel.h"
#include "lumera/app/led_dlg.h"
#include "lumera/app/png_slider.h"
#include "lumera/device/apply.h"
#include "lumera/model/lighting.h"
#include "tests/lumera/app/kb_view_standin.h"
#include "tests/lumera/app/ui_fixture.h"
#include "tests/lumera/device/lumera_sim_fixture.h"

using namespace lumera;
using lumeratest::Bytes;

namespace {

// One application object and program folder (skins, menu library) for all tests.
class QtEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "lumera_led_sim_test";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
    uitest::setUpProgramFolder();
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QApplication> app_;
};
testing::Environment* const kQt = testing::AddGlobalTestEnvironment(new QtEnvironment);

using Steps = std::vector<std::string>;

class LedPageOnSim : public lumeratest::LumeraSimTest {
 protected:
  void SetUp() override {
    LumeraSimTest::SetUp();
    ASSERT_TRUE(loadAndFind());
    config.options().ApplyNow = 1;
    job = std::make_unique<ApplyJob>(driver, windows);
    worker = std::make_unique<ApplyWorker>(*job);
    worker->SetApplyObserver([this](bool ok) {
      std::lock_guard<std::mutex> lock(mutex);
      results.push_back(ok);
      done.notify_all();
    });
    ASSERT_TRUE(worker->StartApplyWorker());

    profile = NewProfile(u"P1", config);
    profile.lightingSwitch = 0;
    main = std::make_unique<uitest::Recorder>(nullptr, Qt::FramelessWindowHint);
    main->resize(1000, 650);
    view = new uitest::StandInView(main.get(), config);
    panel = new CColorPanelDlg(main.get(), QImage());
    page = new CLedDlg(main.get(), QImage(), QRect(19, 284, 242, 252), view, panel,
                       [this](unsigned flags) {
                         requested.push_back(flags);
                         worker->RequestApply(flags, profile, macros);
                       },
                       config);
    page->SetProfile(&profile);
    main->show();
  }
  void TearDown() override {
    worker->StopApplyWorker();
    main.reset();
    LumeraSimTest::TearDown();
  }

  // Waits until `n` applies have ended (false after 20 s).
  bool waitForApplies(std::size_t n) {
    std::unique_lock<std::mutex> lock(mutex);
    return done.wait_for(lock, std::chrono::seconds(20), [&] { return results.size() >= n; });
  }

  Steps stepsSince(std::size_t from) {
    Steps out;
    for (const sim::TranscriptLine& l : sim.transcript(from)) {
      if (!l.out) continue;
      const Bytes& b = l.bytes;
      if (l.interfaceNumber == 2)
        out.push_back("GetProfile");
      else if (b.size() == kShortFrameSize)
        out.push_back(b[2] == 0x76 ? "start" : b[2] == 0x77 ? "end" : b[2] == 0x01 ? "password" : "short?");
      else
        out.push_back(b[1] == 0x03 ? "SetProfile" : b[1] == 0x08 ? "ColorTable" : b[1] == 0x09 ? "SetLedMatrix" : "long?");
    }
    return out;
  }

  // The key of the layout with this code, and its LED index.
  int keyWithCode(std::uint8_t code) const {
    for (int i = 0; i < config.keyCount(); ++i)
      if (config.keyLayout()[static_cast<std::size_t>(i)].funA.stCombo.VkCode1 == code) return i;
    return -1;
  }

  std::unique_ptr<ApplyJob> job;
  std::unique_ptr<ApplyWorker> worker;
  std::mutex mutex;
  std::condition_variable done;
  std::vector<bool> results;
  std::vector<unsigned> requested;
  MacroList macros;
  ProfileRecord profile;
  std::unique_ptr<uitest::Recorder> main;
  uitest::StandInView* view = nullptr;
  CColorPanelDlg* panel = nullptr;
  CLedDlg* page = nullptr;
};

TEST_F(LedPageOnSim, PerKeyColourAOnOneKeyReachesItsLed) {
  profile.effectIndex = config.options().GameIndex;
  page->LoadFromProfile();
  const Colour a = rgb(10, 200, 30);
  page->sendMessage(kMsgColourButton, 1, CLedDlg::kColourAId);
  page->sendMessage(kMsgColourPicked, a, 0);
  ASSERT_TRUE(waitForApplies(1));
  EXPECT_EQ(requested, std::vector<unsigned>{kApplyLedMatrix});

  const int key = keyWithCode('Z');  // not in any of the shipped highlight sets
  ASSERT_GE(key, 0);
  const int led = config.ledLayout()[static_cast<std::size_t>(key)].funA.dwMatrixInx;
  const int matrix = config.keyLayout()[static_cast<std::size_t>(key)].funA.dwMatrixInx;
  ASSERT_NE(led, matrix);  // so that the test tells the two apart
  const std::size_t mark = sim.transcriptSize();
  page->sendMessage(kMsgKeyClicked, static_cast<platform::WPARAM>(key), 0);
  ASSERT_TRUE(waitForApplies(2));
  EXPECT_EQ(requested, (std::vector<unsigned>{kApplyLedMatrix, kApplyProfile | kApplyLedMatrix}));
  EXPECT_EQ(results, (std::vector<bool>{true, true}));
  // The profile block and the frame of the set; no colour table for the per-key effect.
  EXPECT_EQ(stepsSince(mark), (Steps{"password", "start", "GetProfile", "SetLedMatrix", "SetProfile", "end"}));

  const std::size_t frame = std::size_t{kColorFrameAddress} * 256;
  EXPECT_EQ(memory(frame + static_cast<std::size_t>(led), 1), Bytes{30});         // blue plane
  EXPECT_EQ(memory(frame + 132 + static_cast<std::size_t>(led), 1), Bytes{200});  // green plane
  EXPECT_EQ(memory(frame + 264 + static_cast<std::size_t>(led), 1), Bytes{10});   // red plane
  EXPECT_EQ(profile.groupColours[0][static_cast<std::size_t>(matrix)], a);
  EXPECT_EQ(memory(frame + static_cast<std::size_t>(matrix), 1), Bytes{0}) << "nothing at the matrix index";

  // The lighting bytes of the Pro1 block, as the profile gives them.
  std::array<std::uint8_t, 64> expected{};
  FillProLighting(profile, config, expected.data());
  const Bytes pro1 = memory(kPro1Offset, 64);
  ASSERT_EQ(pro1.size(), 64u);
  EXPECT_EQ(pro1[4], 1) << "the per-key effect";
  EXPECT_EQ(pro1[5], 17);
  EXPECT_EQ(pro1[6], 0x24);
  for (std::size_t i : {4u, 5u, 6u})
    EXPECT_EQ(pro1[i], expected[i]) << i;
  for (std::size_t i = 16; i < 64; ++i) {
    if (i < 50 || i >= 52) {
      EXPECT_EQ(pro1[i], expected[i]) << i;
    }
  }
}

TEST_F(LedPageOnSim, SliderReleaseIsOneApplyOfTheProfileBlock) {
  profile.effectIndex = 1;  // spectrum: both sliders
  page->LoadFromProfile();
  CPngSlider* thumb = page->level1Slider()->thumb();
  const std::size_t mark = sim.transcriptSize();
  uitest::sendMouse(thumb, QEvent::MouseButtonPress, {9, 9}, Qt::LeftButton, Qt::LeftButton);
  for (int x : {20, 40, 60, 80})
    uitest::sendMouse(thumb, QEvent::MouseMove, QPoint(x - thumb->x(), 9), Qt::NoButton, Qt::LeftButton);
  uitest::sendMouse(thumb, QEvent::MouseButtonRelease, thumb->mapFromParent(QPoint(9, 9)), Qt::LeftButton,
                    Qt::NoButton);
  // The slider reports by posted messages.
  for (int i = 0; i < 100 && requested.empty(); ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  ASSERT_TRUE(waitForApplies(1));
  QCoreApplication::processEvents();
  EXPECT_EQ(requested, std::vector<unsigned>{kApplyProfile});
  EXPECT_EQ(profile.effects[1].level1, 1u);
  EXPECT_EQ(stepsSince(mark), (Steps{"password", "start", "GetProfile", "ColorTable", "SetProfile", "end"}));
  const Bytes pro1 = memory(kPro1Offset, 64);
  ASSERT_EQ(pro1.size(), 64u);
  EXPECT_EQ(pro1[5], 2);  // effect 1
  EXPECT_EQ(pro1[19 + 2], (profile.effects[1].level1 - 1) * 16 + (profile.effects[1].level2 - 1));
  std::lock_guard<std::mutex> lock(mutex);
  EXPECT_EQ(results.size(), 1u);
}

}  // namespace
