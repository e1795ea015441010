#include "lumera/app/kb_color_dlg.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <chrono>

#include "lumera/app/skin_window.h"
#include "platform/ui/window_look.h"

namespace lumera {

using platform::LPARAM;
using platform::LRESULT;
using platform::WPARAM;

namespace {
bool validIndex(int i) { return i >= 0 && i < kViewSlots; }
std::size_t at(int i) { return static_cast<std::size_t>(i); }
}  // namespace

CKBColorDlg::CKBColorDlg(QWidget* parent) : platform::MessageWindow(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  keyPicture_ = loadSkin(QStringLiteral("keyimg.png"));
  killWindowTimer(kPreviewTimer);
  for (int i = 0; i < kViewSlots; ++i) slots_.alpha[at(i)] = kKeyAlpha;
}

CKBColorDlg::~CKBColorDlg() = default;

void CKBColorDlg::SetKeySlots(const std::vector<SlotInit>& init) {
  count_ = static_cast<int>(std::min<std::size_t>(init.size(), kViewSlots));
  for (int i = 0; i < kViewSlots; ++i) {
    const bool used = i < count_;
    rects_[at(i)] = used ? init[at(i)].rect : QRect();
    slots_.hitCode[at(i)] = used ? init[at(i)].hitCode : -1;
    notReal_[at(i)] = used && init[at(i)].notReal;
    slots_.alpha[at(i)] = kKeyAlpha;
    marked_[at(i)] = false;
  }
  invalidateAll();
}

QRect CKBColorDlg::keyRect(int i) const { return validIndex(i) ? rects_[at(i)] : QRect(); }
bool CKBColorDlg::isNotReal(int i) const { return validIndex(i) && notReal_[at(i)]; }

void CKBColorDlg::SetBackground(const QImage& image, const QRect& rect) {
  background_ = image.isNull() ? QImage() : image.copy(rect.intersected(image.rect()));
  if (background_.width() <= 0 || background_.height() <= 0) background_ = QImage();
  invalidateAll();
}

void CKBColorDlg::SetSpecialKey(int index, const std::vector<QPoint>& points) {
  if (index < 0 || index >= kViewSlots || points.size() < 3) return;
  invalidateSlot(index);
  special_ = index;
  outline_ = QPolygon(QVector<QPoint>(points.begin(), points.end()));
  invalidateSlot(index);
}

void CKBColorDlg::SetKeyColours(const std::array<Colour, kViewSlots>& colours) {
  for (int i = 0; i < kViewSlots; ++i) slots_.setColour(i, colours[at(i)]);
  selected_ = -1;
  flushChanged();
}

void CKBColorDlg::GetKeyColours(std::array<Colour, kViewSlots>& colours) const { colours = slots_.colour; }

void CKBColorDlg::ClearKeyColours() {
  slots_.clearColours();
  flushChanged();
}

void CKBColorDlg::SetKeyColour(int index, Colour colour) {
  if (index < 0) index = selected_;
  if (!validIndex(index)) return;
  slots_.setColour(index, colour);
  flushChanged();
}

void CKBColorDlg::SetKeyMarked(int index, bool marked) {
  if (index < 0) index = selected_;
  if (!validIndex(index) || marked_[at(index)] == marked) return;
  marked_[at(index)] = marked;
  invalidateSlot(index);
}

bool CKBColorDlg::keyMarked(int index) const { return validIndex(index) && marked_[at(index)]; }

void CKBColorDlg::setMode(int mode) {
  if (mode == mode_) return;
  mode_ = mode;
  invalidateAll();
}

void CKBColorDlg::setHoverColour(Colour c) {
  hoverColour_ = c;
  invalidateSlot(hover_);
}

void CKBColorDlg::setAnimatedCount(int n) { slots_.animatedCount = n < 0 ? 0 : n > kViewSlots ? kViewSlots : n; }

void CKBColorDlg::clearHover() {
  const int old = hover_;
  hover_ = -1;
  invalidateSlot(old);
}

int CKBColorDlg::HitTest(QPoint p) const {
  for (int i = 0; i < count_; ++i) {
    if (notReal_[at(i)]) continue;
    if (i == special_) {
      if (outline_.containsPoint(p, Qt::OddEvenFill)) return i;
    } else if (rects_[at(i)].contains(p)) {
      return i;
    }
  }
  return -1;
}

void CKBColorDlg::StartPreview(const std::vector<std::uint8_t>& descriptor) {
  const std::uint32_t seed =
      seeded_ ? seed_
              : static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  StartPreview(makeEffectPreview(descriptor, seed));
}

void CKBColorDlg::StartPreview(std::unique_ptr<EffectPreview> preview) {
  if (!preview) return;
  preview_ = std::move(preview);
  killWindowTimer(kPreviewTimer);
  preview_->start(slots_);
  flushChanged();
  stepPreview();
  const int interval = preview_->intervalMs();
  stepsPerTick_ = interval > 0 ? std::max(1, kMinFrameMs / interval) : 1;
  tickMs_ = interval > 0 ? interval * stepsPerTick_ : 0;
  if (tickMs_ > 0) setWindowTimer(kPreviewTimer, static_cast<unsigned>(tickMs_));
}

void CKBColorDlg::stepPreview(int steps) {
  if (!preview_ || paused_) return;
  for (int i = 0; i < steps; ++i) preview_->step(slots_);
  flushChanged();
}

bool CKBColorDlg::onMessage(unsigned message, WPARAM w, LPARAM l, LRESULT& result) {
  if (message == platform::WM_TIMER && w == kPreviewTimer) {
    if (mode_ == kLightingMode) stepPreview(stepsPerTick_);
    result = 0;
    return true;
  }
  return platform::MessageWindow::onMessage(message, w, l, result);
}

// ---- Painting ----------------------------------------------------------------

QRect CKBColorDlg::slotArea(int i) const {
  if (!validIndex(i)) return QRect();
  // The outer frame of a key reaches one pixel past its rectangle.
  QRect r = i == special_ ? outline_.boundingRect() : rects_[at(i)];
  return r.adjusted(-1, -1, 2, 2);
}

void CKBColorDlg::invalidateSlot(int i) {
  const QRect r = slotArea(i);
  if (r.isEmpty()) return;
  dirty_ += r;
  update(r);
}

void CKBColorDlg::invalidateAll() {
  dirty_ = QRegion(rect());
  update();
}

void CKBColorDlg::flushChanged() {
  if (slots_.changed.none()) return;
  for (int i = 0; i < kViewSlots; ++i)
    if (slots_.changed[at(i)]) invalidateSlot(i);
  slots_.changed.reset();
}

void CKBColorDlg::resizeEvent(QResizeEvent* e) {
  platform::MessageWindow::resizeEvent(e);
  frame_ = QImage();
  invalidateAll();
}

namespace {

// What drawRect with a 1-pixel pen covers: the rectangle's outline, one
// pixel past its right and bottom edges (a QRect's right() is width - 1).
void fillFrame(QPainter& p, const QRect& r, const QColor& c) {
  const int w = r.width() + 1, h = r.height() + 1;
  p.fillRect(r.left(), r.top(), w, 1, c);
  p.fillRect(r.left(), r.top() + h - 1, w, 1, c);
  p.fillRect(r.left(), r.top() + 1, 1, h - 2, c);
  p.fillRect(r.left() + w - 1, r.top() + 1, 1, h - 2, c);
}

}  // namespace

void CKBColorDlg::fillKey(QPainter& p, int i, QColor colour, int alpha) const {
  if (i == special_) {
    colour.setAlpha(alpha);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(outline_);
    return;
  }
  const QRect r = rects_[at(i)];
  colour.setAlpha(alpha);
  p.fillRect(QRect(r.left() + 2, r.top() + 2, r.width() - 3, r.height() - 3), colour);
  p.setBrush(Qt::NoBrush);
  const int a1 = alpha - alpha / 4;
  const int a2 = a1 - a1 / 3;
  // The frames as four thin fills each: a 1-pixel pen with alpha goes
  // through the path stroker, fills take the fast blend. Same pixels.
  colour.setAlpha(a1);
  fillFrame(p, QRect(r.left() + 1, r.top() + 1, r.width() - 2, r.height() - 2), colour);
  colour.setAlpha(a2);
  fillFrame(p, r, colour);
}

void CKBColorDlg::render(const QRegion& dirty) {
  if (frame_.size() != size()) {
    frame_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    frame_.fill(Qt::black);
  }
  QPainter p(&frame_);
  p.setClipRegion(dirty);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  if (!background_.isNull())
    p.drawImage(rect(), background_);
  else
    p.fillRect(rect(), Qt::black);
  p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  if (!keyPicture_.isNull()) p.drawImage(rect(), keyPicture_);
  const QRect bounds = dirty.boundingRect();
  for (int i = 0; i < count_; ++i) {
    if (!slotArea(i).intersects(bounds)) continue;
    if (mode_ == kLightingMode) {
      const Colour c = slots_.colour[at(i)];
      if (c != 0) fillKey(p, i, platform::colourFromRef(c), slots_.alpha[at(i)]);
    } else if (marked_[at(i)] && !notReal_[at(i)]) {
      fillKey(p, i, QColor(255, 255, 255), kMarkAlpha);
    }
  }
  if (mode_ == kKeyAssignMode && validIndex(hover_) && hover_ < count_) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(platform::colourFromRef(hoverColour_), 1));
    if (hover_ == special_)
      p.drawPolygon(outline_);
    else
      p.drawRect(rects_[at(hover_)]);
  }
}

QImage CKBColorDlg::picture() {
  flushChanged();
  if (!dirty_.isEmpty() || frame_.size() != size()) {
    render(frame_.size() != size() ? QRegion(rect()) : dirty_);
    dirty_ = QRegion();
  }
  return frame_;
}

void CKBColorDlg::paintEvent(QPaintEvent* e) {
  picture();
  QPainter p(this);
  p.drawImage(e->rect(), frame_, e->rect());
}

// ---- Mouse ---------------------------------------------------------------------

void CKBColorDlg::mouseMoveEvent(QMouseEvent* e) {
  const int hit = HitTest(e->pos());
  if (hit != hover_) {
    const int old = hover_;
    hover_ = hit;
    if (mode_ == kKeyAssignMode) {
      invalidateSlot(old);
      invalidateSlot(hit);
    }
  }
}

void CKBColorDlg::mousePressEvent(QMouseEvent* e) { e->accept(); }

void CKBColorDlg::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  const int hit = HitTest(e->pos());
  if (hit != selected_) {
    selected_ = hit;
    update();
  }
  if (hit < 0) return;
  if (auto* owner = dynamic_cast<platform::MessageWindow*>(parentWidget()))
    owner->postMessage(kMsgKeyClicked, static_cast<WPARAM>(hit), 0);
  else
    platform::postMessageTo(parentWidget(), kMsgKeyClicked, static_cast<WPARAM>(hit), 0);
}

}  // namespace lumera
