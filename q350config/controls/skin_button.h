// CSkinButton: the image button of Q350Config's skinned windows.
//
// What it promises the pages:
// - Its faces are cut from the window's Normal, Over and Down pictures at
//   the button's place (Create): the normal face when idle, the over face
//   under the mouse, the down face while pressed and while checked.
// - A button made from a polygon (CreatePolygon) is shaped: it is the
//   polygon through the given corners (in the order given), draws and takes
//   clicks only inside it, so neighbouring slanted tabs never steal each
//   other's clicks.
// - Marked look (SetMarked): a frame in the mark colour over whatever face
//   is shown, so a changed key stays recognisable when hovered or checked.
// - Caption (SetCaption): optional text drawn centred over the face, cut
//   with an ellipsis when too long, in the caption colour of the face shown.
// - A click (press and release inside the button with the left button)
//   sends WM_COMMAND (wParam: control id | BN_CLICKED << 16, lParam: the
//   button's window handle) to the parent window. A disabled button shows
//   its normal face with a grey caption and takes no click.
// - Kinds: a push button; a check button whose click flips its checked
//   state before the parent hears of it; a radio button whose click turns
//   it on and every other radio button of the same group with the same
//   parent off (a radio click never turns a button off).
// - Hint id (SetHint): entering the button posts WM_SHOW_HINT with it to
//   the hint window (control_messages.h).
// SetCheck, SetMarked and SetCaption never notify anyone.
#pragma once

#include <QColor>
#include <QImage>
#include <QPolygon>
#include <QRegion>
#include <QString>
#include <array>

#include "platform/ui/message_window.h"

namespace q350ui {

// The three pictures a window's buttons are cut from.
struct FaceSet {
  QImage normal, over, down;
};

class CSkinButton : public platform::MessageWindow {
 public:
  enum class Kind { Push, Check, Radio };
  enum Face { kNormal = 0, kOver = 1, kDown = 2 };

  explicit CSkinButton(QWidget* parent);

  // A rectangular button at `rect` (parent coordinates). False when the
  // normal picture does not cover any of the rectangle.
  bool Create(const FaceSet& faces, const QRect& rect, int controlId, Kind kind = Kind::Push);
  // A button shaped by the polygon through `corners` (parent coordinates);
  // the faces are cut at its bounding rectangle.
  bool CreatePolygon(const FaceSet& faces, const QPolygon& corners, int controlId, Kind kind = Kind::Push);

  Kind kind() const { return kind_; }
  void SetCheck(bool checked);
  bool GetCheck() const { return checked_; }
  void SetMarked(bool marked);
  bool isMarked() const { return marked_; }
  void SetMarkColour(QColor c) { markColour_ = c; update(); }
  void SetCaption(const QString& caption);
  QString caption() const { return caption_; }
  // Caption colours for the normal, over and down faces.
  void SetCaptionColours(QColor normal, QColor over, QColor down);
  void SetCaptionPixelSize(int px);
  void SetHint(int hint) { hint_ = hint; }
  int hint() const { return hint_; }
  // Radio buttons with the same group number and parent form one group.
  void SetGroup(int group) { group_ = group; }
  int group() const { return group_; }

  // The button's shape in its own coordinates (the whole rectangle for a
  // rectangular button).
  const QRegion& shape() const { return shape_; }
  bool hitTest(QPoint local) const { return shape_.contains(local); }
  // The face the next paint draws.
  Face currentFace() const;
  const QImage& face(Face f) const { return faces_[f]; }
  bool isHovered() const { return hover_; }
  bool isPressed() const { return pressed_; }

  // Acts as a user's click (kind rules, then WM_COMMAND to the parent).
  void click();

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void enterEvent(QEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  bool createAt(const FaceSet& faces, const QRect& rect, const QRegion& shape, int controlId, Kind kind);
  void setHover(bool on);

  std::array<QImage, 3> faces_;
  QRegion shape_;
  Kind kind_ = Kind::Push;
  bool checked_ = false;
  bool marked_ = false;
  bool hover_ = false;
  bool pressed_ = false;
  int hint_ = -1;
  int group_ = 0;
  QString caption_;
  std::array<QColor, 3> captionColours_{QColor(255, 255, 255), QColor(255, 255, 255), QColor(255, 255, 255)};
  QColor markColour_{21, 140, 185};
  int captionPx_ = 12;
};

}  // namespace q350ui
