#include "lumera/app/png_slider.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

#include "lumera/app/skin_window.h"
#include "platform/ui/window_look.h"

namespace lumera {

using platform::LPARAM;
using platform::LRESULT;
using platform::WPARAM;

namespace {
constexpr int kFirstPixel = 9;
constexpr int kSpan = 162;  // last pixel 171
constexpr int kMaxScaleValues = 100;
}  // namespace

std::vector<int> sliderPixelTable(int n) {
  if (n <= 0) return {};
  if (n == 1) return {kFirstPixel};
  std::vector<int> t(static_cast<std::size_t>(n));
  const int step = kSpan / (n - 1);
  const int remainder = kSpan % (n - 1);
  for (int i = 0; i < n; ++i) t[static_cast<std::size_t>(i)] = kFirstPixel + i * step;
  // The k-th round adds one pixel to positions k and up, so the spacing
  // grows by one for the first `remainder` gaps and the last lands on 171.
  for (int k = 1; k <= remainder; ++k)
    for (int i = std::min(k, n - 1); i < n; ++i) ++t[static_cast<std::size_t>(i)];
  return t;
}

// ---- thumb ------------------------------------------------------------------

CPngSlider::CPngSlider(CPngSliderBar* track, const QImage& image) : platform::MessageWindow(track), track_(track), image_(image) {
  setControlId(kControlId);
  resize(image.size());
}

void CPngSlider::paintEvent(QPaintEvent*) {
  QPainter p(this);
  // The track's picture under the thumb, then the thumb over it.
  p.drawImage(QPoint(0, 0), track_->trackImage(), geometry());
  p.drawImage(0, 0, image_);
}

void CPngSlider::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !isEnabled() || !track_->isEnabled()) return;
  dragging_ = true;  // Qt keeps the mouse with this widget until the release
  grab_ = e->pos();
}

void CPngSlider::mouseMoveEvent(QMouseEvent* e) {
  if (!dragging_) return;
  const QPoint inTrack = mapToParent(e->pos());
  QPoint at = pos();
  // The thumb follows the mouse along the track and stays on it.
  const int along = track_->isVerticalTrack() ? inTrack.y() : inTrack.x();
  if (track_->isVerticalTrack()) {
    const int top = std::clamp(inTrack.y() - grab_.y(), -height() / 2, track_->height() - height() / 2);
    at.setY(top);
  } else {
    const int left = std::clamp(inTrack.x() - grab_.x(), 0, std::max(0, track_->width() - width()));
    at.setX(left);
  }
  move(at);
  track_->thumbDragged(along);
}

void CPngSlider::mouseReleaseEvent(QMouseEvent* e) {
  if (!dragging_ || e->button() != Qt::LeftButton) return;
  dragging_ = false;
  const QPoint inTrack = mapToParent(e->pos());
  track_->thumbReleased(track_->isVerticalTrack() ? inTrack.y() : inTrack.x());
}

// ---- track ------------------------------------------------------------------

CPngSliderBar::CPngSliderBar(QWidget* parent) : platform::MessageWindow(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  hide();  // until created
}

bool CPngSliderBar::Create(int n, const QRect& rect, QWidget* parent, const QImage& parentBackground,
                           QPoint parentOffset, int controlId, const QString& thumbImage) {
  const QImage thumbPicture = loadSkin(thumbImage);
  if (thumbPicture.isNull()) {
    platform::messageBox(parent, u"Create slider failed", u"Warrning", platform::MessageBoxIcon::Warning);
    return false;
  }
  if (parent && parentWidget() != parent) setParent(parent);
  setControlId(controlId);
  setGeometry(rect);
  track_ = QImage(rect.size(), QImage::Format_ARGB32_Premultiplied);
  track_.fill(Qt::transparent);
  {
    QPainter p(&track_);
    if (!parentBackground.isNull()) p.drawImage(QPoint(0, 0), parentBackground, rect.translated(parentOffset));
    const QImage bar = loadSkin(QStringLiteral("dpi_bar.png"));
    if (!bar.isNull()) p.drawImage(0, 6, bar);
  }
  delete thumb_;
  thumb_ = new CPngSlider(this, thumbPicture);
  // Centred across the track; along the track placeThumb decides.
  thumb_->move(0, (rect.height() - thumbPicture.height()) / 2);
  thumb_->show();
  SetRange(1, std::max(1, n));
  reportDrag_ = true;
  SetPos(1);
  show();
  return true;
}

bool CPngSliderBar::isVerticalTrack() const { return vertical_; }

void CPngSliderBar::SetRange(int minimum, int maximum) {
  min_ = minimum;
  max_ = std::max(minimum, maximum);
  pos_ = std::clamp(pos_, min_, max_);
}

void CPngSliderBar::SetScaleValues(const std::vector<int>& values) {
  scale_.assign(values.begin(), values.begin() + std::min<std::size_t>(values.size(), kMaxScaleValues));
}

int CPngSliderBar::reportedValue(int position) const {
  const int i = position - min_;
  if (i >= 0 && i < static_cast<int>(scale_.size())) return scale_[static_cast<std::size_t>(i)];
  return position;
}

int CPngSliderBar::pixelOf(int position) const {
  const int i = position - min_;
  if (!pixels_.empty()) return pixels_[static_cast<std::size_t>(std::clamp(i, 0, static_cast<int>(pixels_.size()) - 1))];
  if (max_ == min_) return 0;
  return i * (length() / (max_ - min_));
}

int CPngSliderBar::nearestPosition(int pixel) const {
  int position = min_;
  if (!pixels_.empty()) {
    int best = 0;
    for (int i = 0; i < static_cast<int>(pixels_.size()); ++i)
      if (std::abs(pixels_[static_cast<std::size_t>(i)] - pixel) <= std::abs(pixels_[static_cast<std::size_t>(best)] - pixel))
        best = i;
    position = min_ + best;
  } else if (max_ > min_) {
    const int step = length() / (max_ - min_);
    if (step > 0 && pixel > 0) position = min_ + (pixel + step / 2) / step;
  }
  return std::clamp(position, min_, max_);
}

void CPngSliderBar::placeThumb(int position) {
  if (!thumb_) return;
  const int pixel = pixelOf(position);
  if (vertical_)
    thumb_->move(thumb_->x(), pixel - thumb_->height() / 2);
  else
    thumb_->move(pixel - thumb_->width() / 2, thumb_->y());
  thumb_->update();
  update();
}

void CPngSliderBar::SetPos(int value, bool report) {
  int position = value;
  if (!scale_.empty()) {
    // The position whose scale value is the given one (else the closest).
    int best = 0;
    for (int i = 0; i < static_cast<int>(scale_.size()); ++i)
      if (std::abs(scale_[static_cast<std::size_t>(i)] - value) < std::abs(scale_[static_cast<std::size_t>(best)] - value))
        best = i;
    position = min_ + best;
  }
  pos_ = std::clamp(position, min_, max_);
  placeThumb(pos_);
  if (report) platform::postMessageTo(parentWidget(), kMsgSliderSet, static_cast<WPARAM>(reportedValue(pos_)), controlId());
}

void CPngSliderBar::thumbDragged(int pointAlong) {
  // The value shown while dragging is the one a release at this point sets.
  if (reportDrag_)
    platform::sendMessageTo(this, kMsgSliderDrag, static_cast<WPARAM>(reportedValue(nearestPosition(pointAlong))),
                            CPngSlider::kControlId);
}

void CPngSliderBar::thumbReleased(int pointAlong) {
  pos_ = nearestPosition(pointAlong);
  placeThumb(pos_);
  platform::sendMessageTo(this, kMsgSliderSet, static_cast<WPARAM>(reportedValue(pos_)), CPngSlider::kControlId);
}

bool CPngSliderBar::onMessage(unsigned message, WPARAM w, LPARAM l, LRESULT& result) {
  if ((message == kMsgSliderSet || message == kMsgSliderDrag) && l == CPngSlider::kControlId) {
    platform::postMessageTo(parentWidget(), message, w, controlId());
    result = 0;
    return true;
  }
  return platform::MessageWindow::onMessage(message, w, l, result);
}

void CPngSliderBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, track_);
}

void CPngSliderBar::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !isEnabled()) return;
  pos_ = nearestPosition(vertical_ ? e->pos().y() : e->pos().x());
  placeThumb(pos_);
  platform::postMessageTo(parentWidget(), kMsgSliderSet, static_cast<WPARAM>(reportedValue(pos_)), controlId());
}

}  // namespace lumera
