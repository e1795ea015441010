// CInfoDlg, the information dialog through which Q350Config shows its
// messages, and CProgressDlg, the progress dialog of the full write.
#pragma once

#include <QString>
#include <cstddef>

#include "q350config/controls/skin_button.h"
#include "q350config/controls/skin_dialog.h"
#include "q350config/controls/simple_controls.h"
#include "q350config/settings/messages.h"

namespace q350app {

inline constexpr char16_t kInfoDlgTitle[] = u"KavroQ390InfoDlg";
inline constexpr char16_t kProgressDlgTitle[] = u"KavroQ390ProcessDlg";

// The skinned message box: background 136 with Cancel, 135 without; the
// title "Tips" and the text; OK (and Cancel) and a close button. OK ends it
// with IDOK, Cancel and the close button with IDCANCEL.
//
// Auto-closing form (the keyboard-removal message): OK only; the window sits
// at the bottom right of the work area and counts down on its OK button,
// "OK (5s)", then "OK (4)" to "OK (1)", closing itself at the fifth tick of
// timer 2321 (one tick a second).
class CInfoDlg : public q350ui::CSkinDialog {
 public:
  static constexpr unsigned kCountdownTimer = 2321;
  static constexpr int kOkId = 1, kCancelId = 2, kCloseId = 3;

  CInfoDlg(QWidget* parent, const QString& text, bool withCancel, bool autoClose = false);

  const QString& text() const { return text_; }
  void setText(const QString& text) {
    text_ = text;
    update();
  }
  bool withCancel() const { return withCancel_; }
  q350ui::CSkinButton* okButton() const { return ok_; }
  q350ui::CSkinButton* cancelButton() const { return cancel_; }
  q350ui::CSkinButton* closeButton() const { return close_; }
  int countdown() const { return countdown_; }
  // The countdown's tick, shortened by tests (1000 ms otherwise).
  static void setTickMs(int ms);

 protected:
  void onInitDialog() override;
  bool onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  QString text_;
  bool withCancel_;
  bool autoClose_;
  int countdown_ = 5;
  q350ui::CSkinButton* ok_ = nullptr;
  q350ui::CSkinButton* cancel_ = nullptr;
  q350ui::CSkinButton* close_ = nullptr;
};

// Runs a CInfoDlg modally: 1 for OK, another value for Cancel or close.
int ShowInfo(QWidget* parent, const QString& text, bool withCancel = false);
// The auto-closing form, run modally until it closes.
int ShowInfoAutoClose(QWidget* parent, const QString& text);

// The settings' messages as the program shows them: in the information
// dialog, or in a plain message box with its caption.
class InfoMessageSink final : public q350::MessageSink {
 public:
  void show(const q350::UserMessage& message) override;
};
InfoMessageSink& infoMessageSink();
// How many messages the program has shown through the sink so far.
std::size_t messagesShown();

// The progress dialog: background 133, a bar from the skin folder's
// "ProgressBar/Progress_Normal.png" and "Progress_Over.png" at 35,47 to
// 295,56, range 0..100. Message 1067: wParam 0..100 sets the bar, any other
// value shows 0. WM_CLOSE ends it.
class CProgressDlg : public q350ui::CSkinDialog {
 public:
  static constexpr unsigned kMsgProgress = 1067;
  explicit CProgressDlg(QWidget* parent);
  q350ui::CSkinProgress* bar() const { return bar_; }

 protected:
  void onInitDialog() override;
  bool onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  q350ui::CSkinProgress* bar_ = nullptr;
};

}  // namespace q350app
