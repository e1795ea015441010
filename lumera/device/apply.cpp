#include "lumera/device/apply.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <set>

#include "lumera/model/lighting.h"
#include "lumera/model/log.h"
#include "lumera/model/matrix.h"
#include "platform/clock.h"

namespace lumera {

namespace {

// Protocol waits, in milliseconds.
constexpr unsigned kBlockPauseMs = 10;   // after the profile read, colour table, key matrix, profile block
constexpr unsigned kFramePauseMs = 15;   // after every colour group frame and macro chunk
constexpr unsigned kFinalPauseMs = 500;  // after the last progress message
constexpr unsigned kReturnPauseMs = 20;  // before answering
constexpr unsigned kClosePauseMs = 20;   // between the two WM_CLOSE to the progress window

constexpr std::size_t kColorTableHalf = kColorTablePayloadSize / 2;
constexpr std::size_t kMatrixPositionA = 81, kMatrixPositionB = 130;

void addMacroIds(const KeyInfo& k, std::set<std::int32_t>& ids) {
  if (k.funA.nMacroId != 0) ids.insert(k.funA.nMacroId);
  if (k.funB.nMacroId != 0) ids.insert(k.funB.nMacroId);
}

}  // namespace

MacroList MacrosUsedBy(const ProfileRecord& profile, const MacroList& macros) {
  std::set<std::int32_t> ids;
  for (const KeyInfo& k : profile.keys) addMacroIds(k, ids);
  for (const KeyInfo& g : profile.gestures) addMacroIds(g, ids);
  MacroList used;
  for (const MacroRecord& m : macros)
    if (ids.count(m.id)) used.push_back(m);
  return used;
}

// ---- ApplyJob --------------------------------------------------------------

ApplyJob::ApplyJob(CUSBDriver& driver, platform::WindowMessenger& messenger, const TextLookup* texts)
    : driver_(driver), messenger_(messenger), texts_(texts) {}

bool ApplyJob::ApplySetting(const ProfileRecord* profile, const MacroList& macros, platform::WindowHandle window,
                            unsigned message, unsigned nFlag) {
  if (!profile || profile->id == 0) return false;
  std::lock_guard<std::mutex> guard(applyLock_);
  return applyLocked(*profile, macros, window, message, nFlag);
}

bool ApplyJob::applyLocked(const ProfileRecord& profile, const MacroList& macros, platform::WindowHandle window,
                           unsigned message, unsigned nFlag) {
  // One view of the configuration for the whole apply, even when the
  // keyboard is found again meanwhile and the LED layout re-read.
  const LumeraConfig config = driver_.ConfigSnapshot();
  const Options& opt = config.options();
  const bool goOn = opt.GoWithNoDev != 0;
  const bool logging = theLog().level() != 0;
  const unsigned generation = driver_.Generation();

  const bool progress = window != 0 && messenger_.isWindow(window);
  if (!progress) Log("ApplySetting: hWnd=0");
  const auto post = [&](unsigned percent) {
    if (progress) messenger_.postMessage(window, message, percent, 0);
  };

  const std::array<std::uint8_t, kProSize> resetDefaults = kProResetDefaults;
  post(kProgressStart);

  if (!driver_.SetPassword(opt.PSD.data())) Log("SetPassword error, err=0x%x", errno);

  std::array<std::uint8_t, kProfileBlockSize> block{};
  bool answer = false;
  // Each step either goes on or ends the apply with a false answer; the
  // configuration end is sent in every case.
  [&] {
    if (nFlag & kApplyProfile) {
      driver_.SetConfigMode(false);
      if (!driver_.GetProfile(block.data())) {
        Log("GetProfile error, err=0x%x", errno);
        if (!goOn) return;
      } else if (logging) {
        DumpLine(block.data(), kGlobalBlockSize, 32, "Cfg(Load-Global): ");
        DumpLine(block.data() + kPro0Offset, kProSize, 8, "Cfg(Load-Pro0): ");
        DumpLine(block.data() + kPro1Offset, kProSize, 8, "Cfg(Load-Pro1): ");
      }
      platform::sleepMs(kBlockPauseMs);
      block[0] = 1;
      FillProLighting(profile, config, block.data() + kPro1Offset);
      if (reset_) {
        block[0] = 0;
        std::copy(resetDefaults.begin(), resetDefaults.end(), block.begin() + kPro0Offset);
      }
      if (profile.effectIndex != opt.GameIndex) {
        std::array<std::uint8_t, kColorTablePayloadSize> table{};
        BuildColorTable(profile, table.data());
        Log("rgbTab( BGR )");
        DumpGrouped("rgbTab(Pro1): ", table.data(), kColorTableHalf, 21, 3);
        DumpGrouped("rgbTab(Pro2): ", table.data() + kColorTableHalf, kColorTableHalf, 21, 3);
        if (!driver_.SetColorTable(table.data())) {
          Log("SetProfile error, err=0x%x", errno);
          if (!goOn) return;
        }
        platform::sleepMs(kBlockPauseMs);
      }
      post(kProgressProfile);
    }

    if ((nFlag & kApplyLedMatrix) && profile.effectIndex == opt.GameIndex) {
      for (const ColorFrame& frame : BuildColorFrames(profile, config, texts_)) {
        if (!driver_.SetLedMatrix(frame.bytes.data(), frame.address)) {
          Log("SetLedMatrix(0x%X), err=0x%x", frame.address, errno);
          if (!goOn) return;
        }
        platform::sleepMs(kFramePauseMs);
      }
    }

    if (nFlag & kApplyKeys) {
      KeyMatrix matrix;
      FillMatrix(profile, macros, config, matrix);
      const std::size_t buffers = static_cast<std::size_t>(std::max(matrix.macroCount, 0));
      const std::size_t bufferSize = static_cast<std::size_t>(config.hwParam().nMacroBufferSize);
      const std::size_t perChunk = bufferSize > 0 ? kMacroChunkSize / bufferSize : 0;
      const std::size_t chunks = perChunk > 0 ? (buffers + perChunk - 1) / perChunk : 0;
      for (std::size_t i = 0; i < chunks; ++i) {
        const std::uint8_t address = static_cast<std::uint8_t>(kMacroDataAddress + 4 * i);
        // A chunk past the end of the buffers (never with the keyboard's
        // parameters) goes out zero-padded rather than read past them.
        std::array<std::uint8_t, kMacroChunkSize> chunk{};
        const std::size_t from = i * kMacroChunkSize;
        if (from < matrix.macroBuffers.size())
          std::copy_n(matrix.macroBuffers.begin() + static_cast<std::ptrdiff_t>(from),
                      std::min(kMacroChunkSize, matrix.macroBuffers.size() - from), chunk.begin());
        Log("Macro(0x%X):", address);
        DumpLine(chunk.data(), chunk.size(), 256);
        if (!driver_.SetMacroData(chunk.data(), address)) {
          Log("SetMacroData(%x) error, err=0x%x", address, errno);
          if (!goOn) return;
        }
        platform::sleepMs(kFramePauseMs);
      }
      Log("Matrix[%d]=0x%08x, Matrix[%d]=0x%08x", kMatrixPositionA, matrix.codes[kMatrixPositionA],
          kMatrixPositionB, matrix.codes[kMatrixPositionB]);
      Log("--------------SetKeyMatrix (first 64 bytes is key matrix, after 64 bytes is fn matrix)--------------");
      const std::array<std::uint8_t, kMatrixPayloadSize> payload = matrix.payload();
      DumpGrouped("", payload.data(), payload.size(), 24, 4);
      if (!driver_.SetKeyMatrix(payload.data())) {
        Log("SetKeyMatrix error, err=0x%x", errno);
        if (!goOn) return;
      }
      platform::sleepMs(kBlockPauseMs);
    }

    if (nFlag & kApplyProfile) {
      if (logging) {
        DumpLine(block.data(), kGlobalBlockSize, 32, "Cfg(Save-Global): ");
        DumpLine(block.data() + kPro0Offset, kProSize, 8, "Cfg(Save-Pro0): ");
        DumpLine(block.data() + kPro1Offset, kProSize, 8, "Cfg(Save-Pro1): ");
      }
      if (driver_.SetProfile(block.data())) {
        platform::sleepMs(kBlockPauseMs);
        answer = true;
      } else {
        Log("SetProfile error, err=0x%x", errno);
        if (goOn) {
          platform::sleepMs(kBlockPauseMs);
          answer = true;
        }
      }
    } else {
      answer = true;
    }
  }();

  driver_.SetConfigMode(true);
  reset_ = false;
  // Frames that went to a keyboard closed or opened again during the apply
  // did not all reach one keyboard in one configuration session.
  if (answer && !goOn && driver_.Generation() != generation) {
    Log("ApplySetting: the keyboard was closed or reopened during the apply");
    answer = false;
  }
  if (progress) {
    post(kProgressDone);
    platform::sleepMs(kFinalPauseMs);
  }
  platform::sleepMs(kReturnPauseMs);
  return answer;
}

// ---- ApplyWorker -----------------------------------------------------------

ApplyWorker::ApplyWorker(ApplyJob& job) : job_(job) {}

ApplyWorker::~ApplyWorker() { StopApplyWorker(); }

bool ApplyWorker::StartApplyWorker() {
  std::lock_guard<std::mutex> guard(mutex_);
  if (started_) return false;
  started_ = true;
  exit_ = false;
  count_ = 0;
  thread_ = std::thread([this] { run(); });
  return true;
}

void ApplyWorker::StopApplyWorker() {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    if (!started_) return;
    exit_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
  std::lock_guard<std::mutex> guard(mutex_);
  started_ = false;
  count_ = 0;
  nFlag_ = 0;
}

bool ApplyWorker::Running() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return started_;
}

bool ApplyWorker::RequestApply(const ProfileRecord& current, const MacroList& macros) {
  return request(kApplyEverything, current, macros);
}

bool ApplyWorker::RequestApply(unsigned flags, const ProfileRecord& current, const MacroList& macros) {
  return request(flags & ~kApplyProgress, current, macros);
}

bool ApplyWorker::request(unsigned nFlag, const ProfileRecord& current, const MacroList& macros) {
  MacroList used = MacrosUsedBy(current, macros);
  {
    std::lock_guard<std::mutex> guard(mutex_);
    if (!started_ || exit_) return false;
    // Flags not yet taken stay: a request never cancels an earlier one.
    nFlag_ |= nFlag;
    profile_ = current;
    macros_ = std::move(used);
    if (count_ >= kMaxRequests) return false;
    ++count_;
  }
  wake_.notify_one();
  return true;
}

void ApplyWorker::run() {
  Log("Start Thread");
  for (;;) {
    unsigned nFlag = 0;
    std::optional<ProfileRecord> profile;
    MacroList macros;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return exit_ || count_ > 0; });
      // The exit event wins over outstanding requests.
      if (exit_) break;
      --count_;
      nFlag = nFlag_;
      nFlag_ = 0;
      profile = profile_;
      macros = macros_;
    }
    Log("Start Apply: hDevice=0x%x, nFlag=0x%x", job_.driver().DeviceHandleValue(), nFlag);
    platform::WindowHandle window = 0;
    if (nFlag & kApplyProgress) {
      for (int i = 0; i < kProgressSearchTries && window == 0; ++i) {
        platform::sleepMs(kProgressSearchPauseMs);
        window = job_.messenger().findWindow(kProgressWindowTitle);
      }
    }
    const bool ok = job_.ApplySetting(profile ? &*profile : nullptr, macros, window, kMsgApplyProgress, nFlag);
    if (!ok) showMessage(u"Error", kApplyFailedText, MessageIcon::Warning);
    if (window != 0) {
      job_.messenger().postMessage(window, platform::WM_CLOSE, 0, 0);
      platform::sleepMs(kClosePauseMs);
      job_.messenger().postMessage(window, platform::WM_CLOSE, 0, 0);
    }
    Log("Apply Over");
    if (observer_) observer_(ok);
  }
  Log("thread exit");
}

}  // namespace lumera
