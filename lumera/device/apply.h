// The apply pipeline: writing a profile into the Q350RGB.
//
// ApplyJob::ApplySetting sends, in a fixed order and as far as the flags
// ask: the password, the profile block with the lighting bytes (Pro1) and
// the colour table, the per-key colour group frames, the macro buffers and
// the key matrix, framed by configuration start and end, with its protocol
// waits and progress messages (1067, wParam in percent) to the progress
// window. One lock around ApplySetting keeps the worker's applies and the
// automatic profile switch's direct calls apart.
//
// ApplyWorker is the thread that runs one apply per request. A request
// copies the current profile and the macros it uses, so the apply works on
// one consistent view while the user interface goes on editing; the driver
// configuration is copied when the apply starts.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "lumera/device/usb_driver.h"
#include "lumera/model/macro.h"
#include "lumera/model/profile.h"
#include "lumera/model/services.h"
#include "platform/ui/window_messages.h"

namespace lumera {

// nFlag bits.
constexpr unsigned kApplyKeys = 0x0001;       // key matrix, Fn matrix, macro buffers
constexpr unsigned kApplyProfile = 0x0002;    // profile block (and the colour table)
constexpr unsigned kApplyLedMatrix = 0x0004;  // per-key colour frames (per-key effect only)
constexpr unsigned kApplyProgress = 0x8000;   // the worker looks for the progress window
constexpr unsigned kApplyEverything = 0x8007;

constexpr unsigned kMsgApplyProgress = 1067;
constexpr const char16_t* kProgressWindowTitle = u"MyProgressDlg..";
constexpr const char16_t* kApplyFailedText = u"   Update settings failed!      ";

// The progress values an apply posts.
constexpr unsigned kProgressStart = 20;
constexpr unsigned kProgressProfile = 40;
constexpr unsigned kProgressDone = 100;

// The macros of `macros` that `profile` refers to (key functions A and B
// and the gesture keys), in list order: what an apply of the profile needs.
MacroList MacrosUsedBy(const ProfileRecord& profile, const MacroList& macros);

class ApplyJob {
 public:
  // Progress goes through `messenger`; key names in the log come from
  // `texts` (the text keys themselves when null).
  ApplyJob(CUSBDriver& driver, platform::WindowMessenger& messenger, const TextLookup* texts = nullptr);

  CUSBDriver& driver() { return driver_; }
  platform::WindowMessenger& messenger() { return messenger_; }

  // The reset request: set just before requesting the apply that follows a
  // reset; ApplySetting honours it once and clears it at its end.
  void SetResetRequest(bool on) { reset_ = on; }
  bool ResetRequested() const { return reset_; }

  // Writes `profile` with the macros of `macros` as `nFlag` asks. Progress
  // `message`s go to `window` when it is a window. True on success; false at
  // once (nothing sent) without a profile or for a profile whose id is 0.
  bool ApplySetting(const ProfileRecord* profile, const MacroList& macros, platform::WindowHandle window,
                    unsigned message, unsigned nFlag);

 private:
  bool applyLocked(const ProfileRecord& profile, const MacroList& macros, platform::WindowHandle window,
                   unsigned message, unsigned nFlag);

  CUSBDriver& driver_;
  platform::WindowMessenger& messenger_;
  const TextLookup* texts_;
  std::mutex applyLock_;
  std::atomic<bool> reset_{false};
};

// The apply worker: waits on a counting semaphore (one release per
// request, at most 100 outstanding) and an exit event, and runs one apply
// per release. The flags of requests that arrive before the worker takes
// them are combined, so none is lost; a release whose flags an earlier wake
// already took applies with flags 0 (password and configuration end only).
class ApplyWorker {
 public:
  static constexpr unsigned kMaxRequests = 100;
  static constexpr int kProgressSearchTries = 20;
  static constexpr unsigned kProgressSearchPauseMs = 50;

  explicit ApplyWorker(ApplyJob& job);
  // Stops the worker and waits for it.
  ~ApplyWorker();
  ApplyWorker(const ApplyWorker&) = delete;
  ApplyWorker& operator=(const ApplyWorker&) = delete;

  // Starts the thread (once). Requests before the start are refused.
  bool StartApplyWorker();
  // Signals the exit event and waits for the thread; an apply that is
  // running ends first. Outstanding requests are dropped.
  void StopApplyWorker();
  bool Running() const;

  // The full request with progress: nFlag 0x8007.
  bool RequestApply(const ProfileRecord& current, const MacroList& macros);
  // The request for flags F: nFlag F with the progress bit cleared.
  bool RequestApply(unsigned flags, const ProfileRecord& current, const MacroList& macros);

  // Called on the worker thread after every apply ("Apply Over") with its
  // answer. Set before StartApplyWorker.
  void SetApplyObserver(std::function<void(bool)> observer) { observer_ = std::move(observer); }

 private:
  bool request(unsigned nFlag, const ProfileRecord& current, const MacroList& macros);
  void run();

  ApplyJob& job_;
  std::function<void(bool)> observer_;

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool started_ = false;
  unsigned count_ = 0;  // the semaphore
  bool exit_ = false;   // the exit event
  unsigned nFlag_ = 0;  // flags of the requests not yet taken
  std::optional<ProfileRecord> profile_;
  MacroList macros_;
  std::thread thread_;
};

}  // namespace lumera
