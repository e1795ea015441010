#include "q350config/controls/slider.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

#include "q350config/controls/control_messages.h"

namespace q350ui {

CSkinSlider::CSkinSlider(QWidget* parent) : platform::MessageWindow(parent) {
  setFocusPolicy(Qt::NoFocus);
  hide();
}

bool CSkinSlider::Create(const QRect& track, const QImage& backdrop, const QImage& thumb, int controlId, int minimum,
                         int maximum) {
  if (track.width() < 2) return false;
  thumb_ = thumb;
  const int tw = thumb_.isNull() ? 8 : thumb_.width();
  const int th = thumb_.isNull() ? track.height() : thumb_.height();
  const int padX = (tw + 1) / 2;
  const int padY = std::max(0, (th - track.height() + 1) / 2);
  const QRect outer = track.adjusted(-padX, -padY, padX, padY);
  background_ = cutFace(backdrop, outer);
  track_ = QRect(track.topLeft() - outer.topLeft(), track.size());
  setControlId(controlId);
  setGeometry(outer);
  SetRange(minimum, maximum);
  show();
  return true;
}

void CSkinSlider::SetRange(int minimum, int maximum) {
  min_ = std::min(minimum, maximum);
  max_ = std::max(minimum, maximum);
  pos_ = std::clamp(pos_, min_, max_);
  update();
}

void CSkinSlider::SetPos(int pos) {
  pos = std::clamp(pos, min_, max_);
  if (pos == pos_) return;
  pos_ = pos;
  update();
}

int CSkinSlider::pixelOf(int pos) const {
  const int span = max_ - min_;
  const int len = track_.width() - 1;
  if (span <= 0) return track_.left();
  return track_.left() + static_cast<int>((static_cast<long long>(pos - min_) * len + span / 2) / span);
}

int CSkinSlider::positionAt(int x) const {
  const int span = max_ - min_;
  const int len = track_.width() - 1;
  if (span <= 0 || len <= 0) return min_;
  const int along = std::clamp(x - track_.left(), 0, len);
  return min_ + static_cast<int>((static_cast<long long>(along) * span + len / 2) / len);
}

QRect CSkinSlider::thumbRect() const {
  const int tw = thumb_.isNull() ? 8 : thumb_.width();
  const int th = thumb_.isNull() ? track_.height() : thumb_.height();
  const int cx = pixelOf(pos_);
  return QRect(cx - tw / 2, track_.center().y() - th / 2 + (track_.height() % 2 == 0 ? 1 : 0), tw, th);
}

void CSkinSlider::userSet(int pos) {
  pos = std::clamp(pos, min_, max_);
  if (pos == pos_) return;
  pos_ = pos;
  update();
  notifyParent(this, WM_SLIDER_MOVED, static_cast<platform::WPARAM>(pos_), controlId());
}

void CSkinSlider::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (!background_.isNull()) p.drawImage(0, 0, background_);
  const QRect t = thumbRect();
  if (!thumb_.isNull())
    p.drawImage(t.topLeft(), thumb_);
  else
    p.fillRect(t, QColor(21, 140, 185));
}

void CSkinSlider::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !isEnabled()) return;
  const QRect t = thumbRect();
  dragging_ = true;
  if (t.contains(e->pos())) {
    grabOffset_ = e->pos().x() - pixelOf(pos_);
  } else {
    grabOffset_ = 0;
    userSet(positionAt(e->pos().x()));
  }
}

void CSkinSlider::mouseMoveEvent(QMouseEvent* e) {
  if (!dragging_ || !(e->buttons() & Qt::LeftButton)) return;
  userSet(positionAt(e->pos().x() - grabOffset_));
}

void CSkinSlider::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  if (dragging_) userSet(positionAt(e->pos().x() - grabOffset_));
  dragging_ = false;
}

void CSkinSlider::wheelEvent(QWheelEvent* e) {
  const int steps = e->angleDelta().y() / 120;
  if (steps != 0 && isEnabled()) userSet(pos_ + steps);
  e->accept();
}

}  // namespace q350ui
