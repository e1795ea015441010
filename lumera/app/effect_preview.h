// The keyboard view's key colours and the effect previews that animate them.
//
// The view (CKBColorDlg) owns a KeySlots and, in lighting mode, one running
// EffectPreview built from the descriptor block the lighting page gives it.
// A preview only changes colours and alphas; the view paints the slots that
// changed. Nothing here draws, so previews are tested without a window.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <vector>

#include "lumera/model/config.h"

namespace lumera {

constexpr int kViewSlots = kKeyCount;  // key slots of the keyboard view

// The colour, alpha and hit code of every slot of the keyboard view.
struct KeySlots {
  std::array<Colour, kViewSlots> colour{};      // 0x00BBGGRR; 0 = not filled
  std::array<std::uint8_t, kViewSlots> alpha{};  // opacity of the fill
  std::array<int, kViewSlots> hitCode{};         // virtual-key code of the key's default function; -1 unused
  int animatedCount = kViewSlots;                // the slots the simple previews colour ("MaxEftKeyIndex")
  std::bitset<kViewSlots> changed;               // slots to repaint since the view last painted

  KeySlots() { hitCode.fill(-1); }
  // The first slot whose hit code is `code`, else -1.
  int findKeyByCode(int code) const {
    for (int i = 0; i < kViewSlots; ++i)
      if (hitCode[static_cast<std::size_t>(i)] == code) return i;
    return -1;
  }
  void setColour(int i, Colour c) {
    if (i < 0 || i >= kViewSlots || colour[static_cast<std::size_t>(i)] == c) return;
    colour[static_cast<std::size_t>(i)] = c;
    changed.set(static_cast<std::size_t>(i));
  }
  void setAlpha(int i, std::uint8_t a) {
    if (i < 0 || i >= kViewSlots || alpha[static_cast<std::size_t>(i)] == a) return;
    alpha[static_cast<std::size_t>(i)] = a;
    changed.set(static_cast<std::size_t>(i));
  }
  void clearColours() {
    for (int i = 0; i < kViewSlots; ++i) setColour(i, 0);
  }
};

// A running preview. The view calls start() once, then step() on every tick
// of its timer (every intervalMs(); 0 means the start's step is the only
// one), only in lighting mode and while not paused. Both only change
// colours and alphas through KeySlots, so `changed` names exactly the slots
// whose look differs afterwards.
class EffectPreview {
 public:
  virtual ~EffectPreview() = default;
  virtual int intervalMs() const = 0;
  // Sets every slot's alpha (the block's maximum alpha for breathing, 200
  // otherwise), clears all colours, then takes the first step.
  virtual void start(KeySlots& slots) = 0;
  virtual void step(KeySlots& slots) = 0;
};

// The preview a descriptor block describes: its first three little-endian
// 32-bit fields are the block's size in bytes, the preview kind and the step
// interval in milliseconds; the rest depends on the kind. A block that is
// too short or of a kind without a preview gives a preview that lights
// nothing. `seed` seeds the preview's own random generator once.
std::unique_ptr<EffectPreview> makeEffectPreview(const std::vector<std::uint8_t>& descriptor, std::uint32_t seed);

// The colour at `position` of `steps` along a list of colours, which the
// spectrum preview walks: segment k of steps / (n - 1) moves from colour k
// to colour k + 1, each channel linearly and truncated.
Colour ColourAlongList(const std::vector<Colour>& colours, int steps, int position);

}  // namespace lumera
