#include "q350config/controls/skin_button.h"

#include <QMouseEvent>
#include <QPainter>

#include "platform/ui/window_look.h"
#include "q350config/controls/control_messages.h"

namespace q350ui {

CSkinButton::CSkinButton(QWidget* parent) : platform::MessageWindow(parent) {
  setFocusPolicy(Qt::NoFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_Hover);
  hide();
}

bool CSkinButton::Create(const FaceSet& faces, const QRect& rect, int controlId, Kind kind) {
  return createAt(faces, rect, QRegion(QRect(QPoint(0, 0), rect.size())), controlId, kind);
}

bool CSkinButton::CreatePolygon(const FaceSet& faces, const QPolygon& corners, int controlId, Kind kind) {
  if (corners.size() < 3) return false;
  int left = corners[0].x(), right = left, top = corners[0].y(), bottom = top;
  for (const QPoint& c : corners) {
    left = std::min(left, c.x());
    right = std::max(right, c.x());
    top = std::min(top, c.y());
    bottom = std::max(bottom, c.y());
  }
  // The polygon's region lies inside its corners (the right and bottom
  // edges excluded), as the face rectangle does.
  const QRect bounds = rectLTRB(left, top, right, bottom);
  return createAt(faces, bounds, QRegion(corners.translated(-bounds.topLeft()), Qt::WindingFill), controlId, kind);
}

bool CSkinButton::createAt(const FaceSet& faces, const QRect& rect, const QRegion& shape, int controlId,
                           Kind kind) {
  if (faces.normal.isNull() || !faces.normal.rect().intersects(rect) || shape.isEmpty()) return false;
  faces_[kNormal] = cutFace(faces.normal, rect);
  faces_[kOver] = faces.over.isNull() ? faces_[kNormal] : cutFace(faces.over, rect);
  faces_[kDown] = faces.down.isNull() ? faces_[kNormal] : cutFace(faces.down, rect);
  shape_ = shape;
  kind_ = kind;
  setControlId(controlId);
  setGeometry(rect);
  // Child widgets honour their mask when Qt picks the widget under the
  // mouse, which keeps overlapping bounding boxes apart.
  if (shape_ != QRegion(QRect(QPoint(0, 0), rect.size()))) setMask(shape_);
  show();
  return true;
}

void CSkinButton::SetCheck(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  update();
}

void CSkinButton::SetMarked(bool marked) {
  if (marked_ == marked) return;
  marked_ = marked;
  update();
}

void CSkinButton::SetCaption(const QString& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  update();
}

void CSkinButton::SetCaptionColours(QColor normal, QColor over, QColor down) {
  captionColours_ = {normal, over, down};
  update();
}

void CSkinButton::SetCaptionPixelSize(int px) {
  captionPx_ = px;
  update();
}

CSkinButton::Face CSkinButton::currentFace() const {
  if (!isEnabled()) return kNormal;
  if ((pressed_ && hover_) || checked_) return kDown;
  if (hover_ || pressed_) return kOver;
  return kNormal;
}

void CSkinButton::click() {
  if (!isEnabled()) return;
  if (kind_ == Kind::Check) {
    checked_ = !checked_;
  } else if (kind_ == Kind::Radio) {
    checked_ = true;
    if (QWidget* p = parentWidget()) {
      for (CSkinButton* other : p->findChildren<CSkinButton*>(QString(), Qt::FindDirectChildrenOnly))
        if (other != this && other->kind_ == Kind::Radio && other->group_ == group_) other->SetCheck(false);
    }
  }
  update();
  notifyParent(this, platform::WM_COMMAND, platform::makeWParam(static_cast<unsigned>(controlId()), platform::BN_CLICKED),
               static_cast<platform::LPARAM>(handle()));
}

void CSkinButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setClipRegion(shape_);
  const Face f = currentFace();
  p.drawImage(0, 0, faces_[f]);
  if (marked_) {
    p.setPen(QPen(markColour_, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
  }
  if (!caption_.isEmpty()) {
    p.setFont(platform::dialogFont(captionPx_));
    p.setPen(isEnabled() ? captionColours_[f] : QColor(0x80, 0x80, 0x80));
    const QRect box = rect().adjusted(2, 0, -2, 0);
    p.drawText(box, Qt::AlignCenter, p.fontMetrics().elidedText(caption_, Qt::ElideRight, box.width()));
  }
}

void CSkinButton::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !hitTest(e->pos())) {
    e->ignore();
    return;
  }
  pressed_ = true;
  setHover(true);
  update();
}

void CSkinButton::mouseMoveEvent(QMouseEvent* e) {
  setHover(hitTest(e->pos()));
}

void CSkinButton::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !pressed_) return;
  pressed_ = false;
  const bool inside = hitTest(e->pos());
  update();
  if (inside) click();
}

// A second click in quick succession is a click too, not a double click the
// button would otherwise swallow.
void CSkinButton::mouseDoubleClickEvent(QMouseEvent* e) { mousePressEvent(e); }

void CSkinButton::enterEvent(QEvent*) {
  const QPoint local = mapFromGlobal(QCursor::pos());
  if (hitTest(local)) setHover(true);
}

void CSkinButton::leaveEvent(QEvent*) { setHover(false); }

void CSkinButton::setHover(bool on) {
  if (hover_ == on) return;
  hover_ = on;
  if (on && isEnabled()) postHint(hint_);
  update();
}

void CSkinButton::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange) {
    pressed_ = false;
    update();
  }
  platform::MessageWindow::changeEvent(e);
}

}  // namespace q350ui
