// CKBColorDlg, the keyboard picture of the main window: 132 key slots drawn
// over the keyboard image, the has-a-function marks and the key under the
// mouse (key-assignment mode), the key colours or a running effect preview
// (lighting mode). Releasing the left button over a key posts 1153 (wParam
// = key index, lParam 0) to the parent.
//
// Painting goes into an off-screen picture first, and only where slots
// changed, so that previews stepping every few milliseconds neither flicker
// nor redraw the whole keyboard.
#pragma once

#include <QImage>
#include <QPolygon>
#include <QRect>
#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <vector>

#include "lumera/app/effect_preview.h"
#include "lumera/app/kb_view.h"
#include "platform/ui/message_window.h"

namespace lumera {


class CKBColorDlg : public platform::MessageWindow, public KeyboardView {
 public:
  enum Mode { kKeyAssignMode = 1, kLightingMode = 2 };
  static constexpr unsigned kPreviewTimer = 122;
  static constexpr int kMarkAlpha = 150;
  static constexpr int kKeyAlpha = 200;

  // What the main window gives for one configured key.
  struct SlotInit {
    QRect rect;          // view coordinates
    int hitCode = -1;
    bool notReal = false;
  };

  explicit CKBColorDlg(QWidget* parent = nullptr);
  ~CKBColorDlg() override;

  // The configured keys fill the first slots, in order (at most 132); each
  // gets alpha 200 and its mark cleared.
  void SetKeySlots(const std::vector<SlotInit>& slots);
  int keyCount() const { return count_; }
  QRect keyRect(int index) const;
  bool isNotReal(int index) const;
  // Keeps the part of `image` under `rect` as the background (stretched to
  // the view); an empty part leaves the view without background.
  void SetBackground(const QImage& image, const QRect& rect);
  // The key whose outline is a polygon: only for an index up to 131 and at
  // least 3 points.
  void SetSpecialKey(int index, const std::vector<QPoint>& points);
  int specialKey() const { return special_; }

  void SetKeyColours(const std::array<Colour, kViewSlots>& colours) override;  // also clears the selected key
  void GetKeyColours(std::array<Colour, kViewSlots>& colours) const;
  KeyColours GetKeyColours() const override {
    KeyColours c{};
    GetKeyColours(c);
    return c;
  }
  void ClearKeyColours();
  // A negative index means the selected key (nothing without one); above
  // 131 is ignored.
  void SetKeyColour(int index, Colour colour) override;
  void SetKeyMarked(int index, bool marked);
  bool keyMarked(int index) const;
  int FindKeyByCode(int code) const { return slots_.findKeyByCode(code); }

  void setMode(int mode) override;
  int mode() const override { return mode_; }
  // While paused the preview does not advance; the picture stays.
  void setPaused(bool paused) { paused_ = paused; }
  bool paused() const { return paused_; }
  void setHoverColour(Colour c);
  void setAnimatedCount(int n);
  void clearHover();
  void ClearHover() override { clearHover(); }
  int hoverKey() const { return hover_; }
  int selectedKey() const { return selected_; }

  // The configured key at `p` (view coordinates): not-real keys are never
  // hit; the special key by its outline, the others by their rectangle; the
  // first hit wins; -1 for none.
  int HitTest(QPoint p) const;

  // Starts the preview the descriptor block describes (see
  // effect_preview.h), replacing a running one: alphas and colours are set
  // by the preview, one step is taken, and timer 122 runs at its interval.
  void StartPreview(const std::vector<std::uint8_t>& descriptor) override;
  // The same with a preview already made.
  void StartPreview(std::unique_ptr<EffectPreview> preview);
  // Seed of the next previews' random generators (from the time unless set).
  void setPreviewSeed(std::uint32_t seed) { seed_ = seed; seeded_ = true; }
  bool previewRunning() const { return preview_ != nullptr; }
  // `steps` steps of the running preview, then one repaint of what they
  // changed; nothing while paused.
  void stepPreview(int steps = 1);
  // A preview ticking faster than the screen can show is stepped several
  // times per timer tick, so the animation keeps its speed while the view
  // repaints at most every kMinFrameMs (about 50 times a second): painting,
  // not stepping, is what costs.
  static constexpr int kMinFrameMs = 20;
  int previewTickMs() const { return tickMs_; }
  int stepsPerTick() const { return stepsPerTick_; }

  const KeySlots& keySlots() const { return slots_; }
  // The off-screen picture as it stands (what the window shows).
  QImage picture();

 protected:
  bool onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) override;
  void paintEvent(QPaintEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  // Where slot i draws (its rectangle and frames, or its outline).
  QRect slotArea(int i) const;
  void invalidateSlot(int i);
  void invalidateAll();
  // Repaints the slots the preview or a setter changed.
  void flushChanged();
  void render(const QRegion& dirty);
  void fillKey(class QPainter& p, int i, QColor colour, int alpha) const;

  KeySlots slots_;
  std::array<QRect, kViewSlots> rects_{};
  std::bitset<kViewSlots> notReal_;
  std::bitset<kViewSlots> marked_;
  int count_ = 0;
  int special_ = -1;
  QPolygon outline_;
  int selected_ = -1;
  int hover_ = -1;
  Colour hoverColour_ = 0x0000FF;
  int mode_ = kLightingMode;
  bool paused_ = false;
  int tickMs_ = 0;        // the preview timer's interval (0: no timer)
  int stepsPerTick_ = 1;  // preview steps per timer tick
  QImage background_;
  QImage keyPicture_;
  QImage frame_;       // the off-screen picture
  QRegion dirty_;      // parts of frame_ to draw again
  std::unique_ptr<EffectPreview> preview_;
  std::uint32_t seed_ = 0;
  bool seeded_ = false;
};

}  // namespace lumera
