// CPngSliderBar, the skinned slider track, and CPngSlider, its thumb.
//
// Positions are whole numbers in [minimum, maximum]. The track reports to its
// parent, posting kMsgSliderSet (2048) when the user set a position (thumb
// released or track clicked) and kMsgSliderDrag (2049) while the thumb is
// dragged, each with wParam = the position (or its scale value) and lParam =
// the track's control id.
#pragma once

#include <QImage>
#include <vector>

#include "platform/ui/message_window.h"

namespace lumera {

class CPngSliderBar;

// The thumb pixel of each of n positions as the lighting page lays them out:
// 9 for the first, 171 for the last, evenly spaced between, with the
// remainder of the integer spacing handed out one pixel at a time.
std::vector<int> sliderPixelTable(int n);

class CPngSlider : public platform::MessageWindow {
 public:
  static constexpr int kControlId = 104;
  explicit CPngSlider(CPngSliderBar* track, const QImage& image);
  bool isDragging() const { return dragging_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  CPngSliderBar* track_;
  QImage image_;
  bool dragging_ = false;
  QPoint grab_;  // where in the thumb it was taken
};

class CPngSliderBar : public platform::MessageWindow {
 public:
  explicit CPngSliderBar(QWidget* parent = nullptr);

  // Creates the track at `rect` (parent coordinates) with n positions: its
  // picture is the parent's background under it with "dpi_bar.png" at (0, 6);
  // the thumb is `thumbImage` from the skins folder. Range 1..n, position 1,
  // reporting while dragging. Shows "Create slider failed" and answers false
  // when the thumb cannot be created.
  bool Create(int n, const QRect& rect, QWidget* parent, const QImage& parentBackground, QPoint parentOffset,
              int controlId, const QString& thumbImage = QStringLiteral("slider.png"));

  void SetRange(int minimum, int maximum);
  int minimum() const { return min_; }
  int maximum() const { return max_; }
  // The thumb's centre for each position (in track coordinates).
  void SetPixelTable(const std::vector<int>& pixels) { pixels_ = pixels; }
  void SetPixelTableFor(int n) { pixels_ = sliderPixelTable(n); }
  // Values reported instead of positions (one per position, up to 100).
  void SetScaleValues(const std::vector<int>& values);
  const std::vector<int>& scaleValues() const { return scale_; }
  void SetVertical(bool vertical) { vertical_ = vertical; }
  bool isVerticalTrack() const;
  void SetReportWhileDragging(bool on) { reportDrag_ = on; }

  // Sets the position (a scale value when scale values are set), clamped to
  // the range, moves the thumb there and, when asked, reports kMsgSliderSet.
  void SetPos(int value, bool report = false);
  int GetPos() const { return pos_; }
  // What the slider reports for a position: its scale value or itself.
  int reportedValue(int position) const;

  // The thumb pixel of a position, and the position nearest to a pixel along
  // the track (on equal distance the later one), clamped to the range.
  int pixelOf(int position) const;
  int nearestPosition(int pixel) const;

  CPngSlider* thumb() const { return thumb_; }
  const QImage& trackImage() const { return track_; }

  // Called by the thumb.
  void thumbDragged(int pointAlong);
  void thumbReleased(int pointAlong);

 protected:
  bool onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) override;
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;

 private:
  int length() const { return vertical_ ? height() : width(); }
  void placeThumb(int position);

  CPngSlider* thumb_ = nullptr;
  QImage track_;
  int min_ = 1, max_ = 1, pos_ = 1;
  std::vector<int> pixels_;
  std::vector<int> scale_;
  bool vertical_ = false;
  bool reportDrag_ = true;
};

}  // namespace lumera
