// CMsgDlg, Lumera's skinned message box: information, question, text input,
// number input and key capture; and the helpers every page uses.
#pragma once

#include <QImage>
#include <QString>
#include <cstdint>

#include "lumera/app/skin_window.h"

class QLineEdit;

namespace lumera {

class CPngBtn;

class CMsgDlg : public CSkinWnd {
 public:
  enum Mode { kInfo = 1, kText = 2, kNumber = 3, kKeyCapture = 4, kQuestion = 5 };
  static constexpr int kEditId = 513;
  static constexpr int kExitId = 1001;
  static constexpr int kOkId = 1;      // IDOK
  static constexpr int kCancelId = 2;  // IDCANCEL
  static constexpr unsigned kMaxNumber = 65280;

  // A key capture: modifier bits (1 Ctrl, 2 Shift, 4 Alt, 8 Win, 0x10..0x80
  // the right-hand ones) and up to two virtual-key codes (0 = none).
  struct Capture {
    std::uint8_t modifiers = 0;
    std::uint8_t key1 = 0;
    std::uint8_t key2 = 0;
    bool empty() const { return modifiers == 0 && key1 == 0 && key2 == 0; }
  };

  CMsgDlg(QWidget* parent, int mode, const QString& text);
  ~CMsgDlg() override;

  int mode() const { return mode_; }
  const QString& message() const { return text_; }
  QString resultText() const { return resultText_; }
  unsigned resultNumber() const { return number_; }
  const Capture& capture() const { return capture_; }
  QLineEdit* edit() const { return edit_; }
  CPngBtn* okButton() const { return ok_; }
  CPngBtn* cancelButton() const { return cancel_; }
  CPngBtn* exitButton() const { return exit_; }

  // The capture as the edit box shows it ("Ctrl + Shift + A").
  static QString captureText(const Capture& c);
  // The code a key capture records for a key event: right Ctrl 163, right
  // Alt 165, right Shift 161, keypad Enter 253, otherwise the key's code.
  static unsigned captureCode(const QKeyEvent& e);
  // Feeds one key message to the capture (down or up); false when ignored.
  bool captureKey(bool down, unsigned code);

 protected:
  void onInitDialog() override;
  bool onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  void onOk();
  void onNumberEdited(const QString& text);
  // Enter, Escape, Space and F1; true when the key is used up here.
  bool handleDialogKey(QKeyEvent* e, bool inEdit);

  int mode_;
  QString text_;
  QImage icon_;
  CPngBtn* exit_ = nullptr;
  CPngBtn* ok_ = nullptr;
  CPngBtn* cancel_ = nullptr;
  QLineEdit* edit_ = nullptr;
  QString resultText_;
  unsigned number_ = 0;
  Capture capture_;
  bool hasPrevious_ = false;
  bool previousDown_ = false;
  unsigned previousCode_ = 0;
  bool filtering_ = false;
};

// Mode 1; returns when closed.
void InfoBox(QWidget* parent, const QString& text);
// Mode 5; 1 for OK (yes), anything else for no.
int AskYesNo(QWidget* parent, const QString& text);
// Mode 2; 1 and the text when OK was pressed with a non-empty text.
int AskText(QWidget* parent, const QString& text, QString& out);

}  // namespace lumera
