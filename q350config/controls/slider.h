// CSkinSlider: the horizontal slider of Q350Config's pages (the lighting
// page's colour, brightness and rate sliders).
//
// What it promises the pages:
// - The track is the piece of a backdrop picture (in parent coordinates)
//   under the slider; the thumb is a picture of its own ("Slider.png"). The
//   thumb's centre runs from the track rectangle's left edge (the minimum)
//   to its right edge (the maximum); the widget is wider and taller than the
//   track by what the thumb needs, so the thumb is never cut.
// - Positions are whole numbers in [minimum, maximum].
// - When the user moves it (a click on the track jumps there, the thumb can
//   be dragged, the wheel steps by one) and the position changes, the slider
//   sends WM_SLIDER_MOVED (wParam: the new position, lParam: its control
//   id) to its parent, once per change.
// - SetPos only moves the thumb (clamped) and never notifies.
#pragma once

#include <QImage>

#include "platform/ui/message_window.h"

namespace q350ui {

class CSkinSlider : public platform::MessageWindow {
 public:
  explicit CSkinSlider(QWidget* parent);

  // `track`: the track rectangle in parent coordinates.
  bool Create(const QRect& track, const QImage& backdrop, const QImage& thumb, int controlId, int minimum,
              int maximum);

  void SetRange(int minimum, int maximum);
  int minimum() const { return min_; }
  int maximum() const { return max_; }
  void SetPos(int pos);
  int GetPos() const { return pos_; }

  // The thumb centre of a position, and the position nearest to a point
  // (both in the slider's coordinates).
  int pixelOf(int pos) const;
  int positionAt(int x) const;
  QRect thumbRect() const;
  QRect trackRect() const { return track_; }  // in the slider's coordinates
  bool isDragging() const { return dragging_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;

 private:
  void userSet(int pos);

  QImage background_, thumb_;
  QRect track_;
  int min_ = 0, max_ = 100, pos_ = 0;
  bool dragging_ = false;
  int grabOffset_ = 0;
};

}  // namespace q350ui
