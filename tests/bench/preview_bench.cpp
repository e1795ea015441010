// What one tick of the keyboard view's effect preview costs: a step of the
// preview on the 132 key keySlots of the shipped layout, then painting the keys
// it changed into an off-screen picture of the view's size, the way the view
// paints a lit key (the fill inset by 2 and 1 pixels and two frames in the
// key's colour at lower alphas). One benchmark per preview kind, each at the
// level that gives its shortest tick.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "lumera/app/effect_preview.h"
#include "lumera/app/preview_descriptor.h"
#include "lumera/model/config.h"

namespace bench {

namespace {

struct Layout {
  lumera::LumeraConfig config;
  lumera::PreviewKeys keys;
  std::vector<QRect> rects;
  Layout() {
    config.load(std::string(KAVRO_BENCH_DATA_DIR) + "/lumera/", false);
    keys = lumera::PreviewKeysOf(config);
    for (int i = 0; i < config.keyCount(); ++i) {
      const auto& f = config.keyLayout()[static_cast<std::size_t>(i)].funA;
      rects.emplace_back(f.rcKey[0], f.rcKey[1], f.rcKey[2], f.rcKey[3]);
    }
  }
};

const Layout& layout() {
  static const Layout l;
  return l;
}

void frame(QPainter& p, const QRect& r, const QColor& c) {
  p.fillRect(r.left(), r.top(), r.width(), 1, c);
  p.fillRect(r.left(), r.bottom(), r.width(), 1, c);
  p.fillRect(r.left(), r.top() + 1, 1, r.height() - 2, c);
  p.fillRect(r.right(), r.top() + 1, 1, r.height() - 2, c);
}

void paintChanged(QPainter& p, const QImage& blank, lumera::KeySlots& keySlots, const std::vector<QRect>& rects) {
  for (std::size_t i = 0; i < rects.size(); ++i) {
    if (!keySlots.changed.test(i)) continue;
    const QRect& r = rects[i];
    p.drawImage(r.topLeft(), blank, r);  // the bare key under it
    const lumera::Colour c = keySlots.colour[i];
    if (c == 0) continue;
    const int a = keySlots.alpha[i], a1 = a - a / 4, a2 = a1 - a1 / 3;
    QColor q(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF), a);
    p.fillRect(r.left() + 2, r.top() + 2, r.width() - 3, r.height() - 3, q);
    // The frames as four thin fills each: a 1-pixel pen with alpha goes
    // through the path stroker, fills take the fast blend.
    q.setAlpha(a1);
    frame(p, QRect(r.left() + 1, r.top() + 1, r.width() - 2, r.height() - 2), q);
    q.setAlpha(a2);
    frame(p, r, q);
  }
  keySlots.changed.reset();
}

void previewTick(benchmark::State& state, int effectKind, int level1, bool colourful, bool paint) {
  const Layout& l = layout();
  lumera::KeySlots keySlots;
  for (int i = 0; i < l.config.keyCount(); ++i)
    keySlots.hitCode[static_cast<std::size_t>(i)] = lumera::PreviewHitCode(l.config.keyLayout()[static_cast<std::size_t>(i)].funA);
  lumera::PreviewRequest q;
  q.effectKind = effectKind;
  q.level1 = level1;
  q.level2 = 5;
  q.colour = 0x00A0FF;
  q.colourful = colourful;
  auto preview = lumera::makeEffectPreview(lumera::BuildPreviewDescriptor(q, l.keys), 1234);
  QImage blank(684, 198, QImage::Format_ARGB32_Premultiplied);
  blank.fill(QColor(40, 43, 48));
  QImage view = blank;
  QPainter p(&view);
  preview->start(keySlots);
  std::size_t painted = 0;
  for (auto _ : state) {
    preview->step(keySlots);
    painted += keySlots.changed.count();
    if (paint)
      paintChanged(p, blank, keySlots, l.rects);
    else
      keySlots.changed.reset();
    benchmark::ClobberMemory();
  }
  state.counters["interval_ms"] = preview->intervalMs();
  state.counters["keys_painted"] = benchmark::Counter(static_cast<double>(painted), benchmark::Counter::kAvgIterations);
}

}  // namespace

// Effect-table kinds at the level with the shortest interval (level 1 = 4
// or 5; the waves and the ripple have one interval).
BENCHMARK_CAPTURE(previewTick, static_colourful, 1, 4, true, true);
BENCHMARK_CAPTURE(previewTick, static_colourful_step_only, 1, 4, true, false);
BENCHMARK_CAPTURE(previewTick, spectrum, 2, 4, false, true);
BENCHMARK_CAPTURE(previewTick, spectrum_step_only, 2, 4, false, false);
BENCHMARK_CAPTURE(previewTick, breathing, 3, 4, true, true);
BENCHMARK_CAPTURE(previewTick, breathing_step_only, 3, 4, true, false);
BENCHMARK_CAPTURE(previewTick, snake, 5, 4, true, true);
BENCHMARK_CAPTURE(previewTick, snake_step_only, 5, 4, true, false);
BENCHMARK_CAPTURE(previewTick, column_wave, 7, 4, false, true);
BENCHMARK_CAPTURE(previewTick, column_wave_step_only, 7, 4, false, false);
BENCHMARK_CAPTURE(previewTick, ripple, 9, 4, false, true);
BENCHMARK_CAPTURE(previewTick, ripple_step_only, 9, 4, false, false);
BENCHMARK_CAPTURE(previewTick, frames, 12, 4, true, true);
BENCHMARK_CAPTURE(previewTick, frames_step_only, 12, 4, true, false);
BENCHMARK_CAPTURE(previewTick, ring_wave, 13, 4, false, true);
BENCHMARK_CAPTURE(previewTick, ring_wave_step_only, 13, 4, false, false);
BENCHMARK_CAPTURE(previewTick, rain, 15, 4, true, true);
BENCHMARK_CAPTURE(previewTick, rain_step_only, 15, 4, true, false);
BENCHMARK_CAPTURE(previewTick, twinkle, 16, 4, false, true);
BENCHMARK_CAPTURE(previewTick, twinkle_step_only, 16, 4, false, false);
BENCHMARK_CAPTURE(previewTick, row_wave, 17, 4, false, true);
BENCHMARK_CAPTURE(previewTick, row_wave_step_only, 17, 4, false, false);
BENCHMARK_CAPTURE(previewTick, static_rainbow, 23, 4, true, true);
BENCHMARK_CAPTURE(previewTick, static_rainbow_step_only, 23, 4, true, false);

}  // namespace bench
