// CColorBtnDlg, the swatch button of the lighting page, and CColorPanelDlg,
// the pop-up panel from which a colour is picked: nine swatches, a spectrum
// bar, the current colour and three number boxes for red, green and blue.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <array>
#include <cstdint>

#include "lumera/app/pages.h"
#include "lumera/app/skin_window.h"
#include "lumera/model/config.h"

class QLineEdit;

namespace lumera {

class CPngBtn;

// Colour button -> its parent, on a left click: wParam 1 when the button was
// not selected, else 0; lParam the button's id.
constexpr unsigned kMsgColourButton = 1086;
// Colour panel -> its owner, on OK with valid values: wParam the colour.
constexpr unsigned kMsgColourPicked = 1479;

class CColorBtnDlg : public platform::MessageWindow {
 public:
  explicit CColorBtnDlg(QWidget* parent = nullptr);

  void SetColour(Colour c);
  Colour colour() const { return colour_; }
  void SetId(int id) { id_ = id; }
  int id() const { return id_; }
  // The parent decides; a click never changes it.
  void SetSelected(bool on);
  bool isSelected() const { return selected_; }
  void SetFrameColours(Colour selected, Colour unselected);
  Colour frameColour() const { return selected_ ? frameSelected_ : frameUnselected_; }
  // The no-colour look: a red diagonal instead of the colour.
  void SetNoColour(bool on);
  bool noColour() const { return noColour_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  Colour colour_ = 0x00FF00;
  int id_ = 0;
  bool selected_ = false;
  Colour frameSelected_ = 0x969696;
  Colour frameUnselected_ = 0x00FF00;
  bool noColour_ = false;
};

class CColorPanelDlg : public CColorPanelBase {
 public:
  static constexpr int kWidth = 260;
  static constexpr int kHeight = 190;
  static constexpr int kRedId = 4101, kGreenId = 4102, kBlueId = 4103;
  static constexpr int kOkId = platform::IDOK;
  static constexpr int kSwatches = 9;
  static constexpr int kMaxBoxChars = 40;

  // A hidden child of the main window at `at` (main window coordinates),
  // drawn over the part of `mainBackground` under it.
  CColorPanelDlg(QWidget* parent, const QImage& mainBackground, QPoint at = QPoint(280, 420));

  // The window that receives kMsgColourPicked.
  void SetOwner(QWidget* owner) { owner_ = owner; }
  void SetOwnerPage(CLightingPageBase* page) override { SetOwner(page); }
  QWidget* owner() const { return owner_; }
  // Black replaces the last swatch (the lighting page sets it for colours
  // A and B, where black means "no colour").
  void SetBlackSwatch(bool on);
  bool blackSwatch() const { return black_; }
  // Sets the black-swatch flag and shows the panel above its siblings.
  void Open(bool blackSwatch);

  Colour currentColour() const { return current_; }
  // Makes `c` current and writes it into the boxes.
  void SetCurrentColour(Colour c);

  QLineEdit* box(int channel) const { return boxes_[static_cast<std::size_t>(channel)]; }
  CPngBtn* okButton() const { return ok_; }
  QRect swatchRect(int i) const;
  QRect spectrumRect() const;
  QRect currentRect() const;
  // The colour a swatch is painted with (0x00BBGGRR).
  Colour swatchColour(int i) const;

  // A box's number: its first 40 characters as an unsigned decimal number;
  // empty text or text with anything after the digits is 0; numbers too
  // large for a channel stay large (never wrap round to a small value).
  static std::uint32_t ReadNumber(const QString& text);

 protected:
  bool onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) override;
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  platform::LRESULT OnCommand(platform::WPARAM w, platform::LPARAM l);
  void writeBoxes(Colour c);
  // The colour the boxes hold, false when a number is above 255.
  bool readBoxes(Colour& out) const;
  void onBoxChanged(int channel);
  void paintPicture(QPainter& p) const;

  Colour current_ = 0x0000FF;
  QWidget* owner_ = nullptr;
  bool black_ = false;
  std::array<QLineEdit*, 3> boxes_{};
  CPngBtn* ok_ = nullptr;
};

}  // namespace lumera
