// CKBColorDlg: hit test and message 1153, keys that are not real, the
// painting of both modes (read back from the view's own picture), the
// slot operations, and pausing a preview.
#include <QtTest>
#include <cmath>
#include <memory>
#include <tuple>

#include "lumera/app/kb_color_dlg.h"
#include "tests/lumera/app/ui_fixture.h"

using namespace lumera;
using uitest::Recorder;

namespace {

const QColor kBackground(90, 90, 30);

// Source-over of `c` at alpha `a` over the background, per channel.
QColor blend(QColor c, int a, QColor under = kBackground) {
  auto ch = [a](int top, int bottom) { return (top * a + bottom * (255 - a) + 127) / 255; };
  return QColor(ch(c.red(), under.red()), ch(c.green(), under.green()), ch(c.blue(), under.blue()));
}

bool near(QColor a, QColor b) {
  return std::abs(a.red() - b.red()) <= 2 && std::abs(a.green() - b.green()) <= 2 && std::abs(a.blue() - b.blue()) <= 2;
}

#define QCOMPARE_COLOUR(actual, expected)                                                                      \
  QVERIFY2(near(actual, expected), qPrintable(QString("%1 instead of %2").arg(actual.name(), expected.name())))

// A preview that counts its steps into slot 0's colour.
class CountingPreview final : public EffectPreview {
 public:
  explicit CountingPreview(int interval, int* steps) : interval_(interval), steps_(steps) {}
  int intervalMs() const override { return interval_; }
  void start(KeySlots& s) override {
    for (int i = 0; i < kViewSlots; ++i) s.setAlpha(i, 255);
    s.clearColours();
  }
  void step(KeySlots& s) override {
    ++*steps_;
    s.setColour(0, static_cast<Colour>(*steps_));
  }

 private:
  int interval_;
  int* steps_;
};

}  // namespace

class KbViewTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<Recorder> owner;
  CKBColorDlg* view = nullptr;

  // Key 0 at (10,10) 20x20, key 1 (not real) at (40,10), key 2 the special
  // key (an L-shaped outline), key 3 overlapping key 0.
  void makeView() {
    owner = std::make_unique<Recorder>();
    owner->resize(300, 120);
    view = new CKBColorDlg(owner.get());
    view->setGeometry(0, 0, 200, 80);
    QImage bg(400, 200, QImage::Format_ARGB32);
    bg.fill(kBackground);
    view->SetBackground(bg, QRect(10, 10, 200, 80));
    view->SetKeySlots({{QRect(10, 10, 20, 20), 0x41, false},
                       {QRect(40, 10, 20, 20), 251, true},
                       {QRect(70, 10, 40, 40), 0x0D, false},
                       {QRect(20, 20, 20, 20), 0x42, false}});
    view->SetSpecialKey(2, {{70, 10}, {110, 10}, {110, 50}, {90, 50}, {90, 30}, {70, 30}, {70, 10}});
    owner->show();
  }

 private slots:
  void init() { makeView(); }
  void cleanup() {
    owner.reset();
    view = nullptr;
  }

  void hitTestSkipsNotRealKeysAndFollowsTheOutline() {
    QCOMPARE(view->HitTest({15, 15}), 0);
    QCOMPARE(view->HitTest({25, 25}), 0);  // also in key 3: the first key wins
    QCOMPARE(view->HitTest({35, 35}), 3);
    QCOMPARE(view->HitTest({45, 15}), -1);  // not a real key
    QCOMPARE(view->HitTest({100, 40}), 2);  // inside the outline
    QCOMPARE(view->HitTest({75, 45}), -1);  // inside the rectangle, outside the outline
    QCOMPARE(view->HitTest({150, 70}), -1);
    QCOMPARE(view->HitTest({30, 15}), -1);  // the right edge is outside
    QCOMPARE(view->FindKeyByCode(0x0D), 2);
    QCOMPARE(view->FindKeyByCode(0x99), -1);
  }

  void releaseOverAKeyPostsItsIndex() {
    uitest::click(view, {15, 15});
    uitest::click(view, {15, 15});
    uitest::click(view, {45, 15});   // not a real key
    uitest::click(view, {150, 70});  // no key
    uitest::click(view, {100, 40});
    QTRY_COMPARE(owner->only(kMsgKeyClicked).size(), std::size_t(3));
    QCoreApplication::processEvents();
    const auto got = owner->only(kMsgKeyClicked);
    QCOMPARE(got.size(), std::size_t(3));
    QCOMPARE(got[0].w, platform::WPARAM(0));
    QCOMPARE(got[1].w, platform::WPARAM(0));
    QCOMPARE(got[2].w, platform::WPARAM(2));
    QCOMPARE(got[2].l, platform::LPARAM(0));
    QCOMPARE(view->selectedKey(), 2);
    // A right button or a press alone posts nothing.
    uitest::sendMouse(view, QEvent::MouseButtonRelease, {15, 15}, Qt::RightButton, Qt::NoButton);
    uitest::sendMouse(view, QEvent::MouseButtonPress, {15, 15}, Qt::LeftButton, Qt::LeftButton);
    QCoreApplication::processEvents();
    QCOMPARE(owner->only(kMsgKeyClicked).size(), std::size_t(3));
  }

  void lightingModeFillsColouredKeysWithTheirFrames() {
    view->setMode(CKBColorDlg::kLightingMode);
    std::array<Colour, kViewSlots> colours{};
    colours[0] = 0x0000FF;  // red
    colours[1] = 0x00FF00;  // not real: still filled in lighting mode
    colours[2] = 0xFF0000;
    view->SetKeyColours(colours);
    const QImage pic = view->picture();
    // Key 0's inside at alpha 200, its two frames at 150 and 100.
    QCOMPARE_COLOUR(pic.pixelColor(15, 15), blend(Qt::red, 200));
    QCOMPARE_COLOUR(pic.pixelColor(11, 15), blend(Qt::red, 150));
    QCOMPARE_COLOUR(pic.pixelColor(10, 15), blend(Qt::red, 100));
    QCOMPARE_COLOUR(pic.pixelColor(30, 15), blend(Qt::red, 100));  // the outer frame reaches one past the key
    QCOMPARE_COLOUR(pic.pixelColor(45, 15), blend(Qt::green, 200));
    QCOMPARE_COLOUR(pic.pixelColor(100, 40), blend(Qt::blue, 200));
    QCOMPARE_COLOUR(pic.pixelColor(75, 45), kBackground);  // outside the outline
    QCOMPARE_COLOUR(pic.pixelColor(35, 35), kBackground);  // key 3 has no colour
    uitest::saveShot(view, "kbview_lighting");

    std::array<Colour, kViewSlots> back{};
    view->GetKeyColours(back);
    QCOMPARE(back[0], Colour(0x0000FF));
    view->ClearKeyColours();
    QCOMPARE_COLOUR(view->picture().pixelColor(15, 15), kBackground);
  }

  void keyAssignModeShowsMarksAndTheHoverKey() {
    std::array<Colour, kViewSlots> colours{};
    colours[0] = 0x0000FF;
    view->SetKeyColours(colours);
    view->setMode(CKBColorDlg::kKeyAssignMode);
    view->setHoverColour(0x00FFFF);  // yellow
    view->SetKeyMarked(3, true);
    view->SetKeyMarked(1, true);  // not real: never marked
    QImage pic = view->picture();
    QCOMPARE_COLOUR(pic.pixelColor(15, 15), kBackground);  // colours are not drawn in this mode
    QCOMPARE_COLOUR(pic.pixelColor(35, 35), blend(Qt::white, 150));
    QCOMPARE_COLOUR(pic.pixelColor(45, 15), kBackground);
    QVERIFY(view->keyMarked(3));

    uitest::sendMouse(view, QEvent::MouseMove, {100, 40}, Qt::NoButton, Qt::NoButton);
    QCOMPARE(view->hoverKey(), 2);
    pic = view->picture();
    QCOMPARE_COLOUR(pic.pixelColor(100, 10), QColor(Qt::yellow));  // along the outline
    QCOMPARE_COLOUR(pic.pixelColor(100, 40), kBackground);
    uitest::sendMouse(view, QEvent::MouseMove, {15, 15}, Qt::NoButton, Qt::NoButton);
    pic = view->picture();
    QCOMPARE_COLOUR(pic.pixelColor(10, 15), QColor(Qt::yellow));
    QCOMPARE_COLOUR(pic.pixelColor(100, 10), kBackground);  // the old hover mark is gone
    uitest::saveShot(view, "kbview_keyassign");

    view->SetKeyMarked(3, false);
    view->clearHover();
    pic = view->picture();
    QCOMPARE_COLOUR(pic.pixelColor(35, 35), kBackground);
    QCOMPARE_COLOUR(pic.pixelColor(10, 15), kBackground);
  }

  void slotOperationsByIndexAndSelection() {
    view->SetKeyColour(-1, 0x0000FF);  // no selected key: nothing
    view->SetKeyColour(200, 0x0000FF);  // ignored
    std::array<Colour, kViewSlots> colours{};
    view->GetKeyColours(colours);
    for (Colour c : colours) QCOMPARE(c, Colour(0));
    uitest::click(view, {35, 35});
    QCOMPARE(view->selectedKey(), 3);
    view->SetKeyColour(-1, 0x00FF00);
    view->SetKeyMarked(-1, true);
    QCOMPARE(view->keySlots().colour[3], Colour(0x00FF00));
    QVERIFY(view->keyMarked(3));
    view->SetKeyColours(colours);
    QCOMPARE(view->selectedKey(), -1);  // setting all colours clears the selection
    // The special key needs at least 3 points and an index up to 131.
    view->SetSpecialKey(132, {{0, 0}, {5, 0}, {5, 5}});
    view->SetSpecialKey(0, {{0, 0}, {5, 0}});
    QCOMPARE(view->specialKey(), 2);
  }

  void previewStepsOnlyInLightingModeAndHoldsWhilePaused() {
    int steps = 0;
    view->setMode(CKBColorDlg::kLightingMode);
    view->StartPreview(std::make_unique<CountingPreview>(5, &steps));
    QCOMPARE(steps, 1);  // one step at the start
    QCOMPARE(view->keySlots().alpha[7], std::uint8_t(255));
    QVERIFY(view->hasWindowTimer(CKBColorDlg::kPreviewTimer));
    QTRY_VERIFY(steps >= 3);

    view->setPaused(true);
    QCoreApplication::processEvents();
    const int held = steps;
    const Colour picture = view->keySlots().colour[0];
    view->stepPreview();
    QTest::qWait(30);  // ticks come and go without a step
    QCOMPARE(steps, held);
    QCOMPARE(view->keySlots().colour[0], picture);
    view->setPaused(false);
    QTRY_VERIFY(steps > held);
    QCOMPARE(view->keySlots().colour[0], Colour(static_cast<Colour>(steps)));

    view->setMode(CKBColorDlg::kKeyAssignMode);
    QCoreApplication::processEvents();
    const int leftAt = steps;
    QTest::qWait(30);
    QCOMPARE(steps, leftAt);  // no steps outside lighting mode

    // A preview without an interval takes its one step and has no timer.
    int once = 0;
    view->StartPreview(std::make_unique<CountingPreview>(0, &once));
    QCOMPARE(once, 1);
    QVERIFY(!view->hasWindowTimer(CKBColorDlg::kPreviewTimer));
    // A paused view takes not even the first step.
    int none = 0;
    view->setPaused(true);
    view->StartPreview(std::make_unique<CountingPreview>(0, &none));
    QCOMPARE(none, 0);
    view->setPaused(false);
  }

  // A 3 ms preview would repaint 333 times a second; it is stepped six times
  // per 18 ms tick instead, so it keeps its speed at some 55 paints a second.
  void fastPreviewsStepSeveralTimesPerPaint() {
    view->setMode(CKBColorDlg::kLightingMode);
    for (const auto& [interval, tick, perTick] : {std::tuple{3, 18, 6}, {10, 20, 2}, {20, 20, 1}, {40, 40, 1}}) {
      int steps = 0;
      view->StartPreview(std::make_unique<CountingPreview>(interval, &steps));
      QCOMPARE(view->previewTickMs(), tick);
      QCOMPARE(view->stepsPerTick(), perTick);
      const int before = steps;
      view->sendMessage(platform::WM_TIMER, CKBColorDlg::kPreviewTimer);
      QCOMPARE(steps - before, perTick);
      QCOMPARE(view->keySlots().colour[0], Colour(static_cast<Colour>(steps)));
    }
    int none = 0;
    view->StartPreview(std::make_unique<CountingPreview>(0, &none));
    QCOMPARE(view->previewTickMs(), 0);
  }
};

QObject* makeKbViewTest() { return new KbViewTest; }

#include "kb_view_test.moc"
