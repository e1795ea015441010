#include "lumera/app/effect_preview.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "lumera/app/preview_format.h"

namespace lumera {
namespace {

using preview::Reader;

constexpr std::size_t kSlots = static_cast<std::size_t>(kViewSlots);
constexpr int kDefaultAlpha = 200;
constexpr int kWaveAlpha = 150;
constexpr int kCodes = 256;           // key codes are bytes; others light nothing
constexpr std::uint32_t kMaxPath = 256;
constexpr std::uint32_t kMaxListColours = 16;

// Red, green, blue, magenta, orange: the colours random choices pick from.
constexpr Colour kBasic[5] = {0x0000FF, 0x00FF00, 0xFF0000, 0xFF00FF, 0x0080FF};

Colour colourOf(std::uint32_t v) { return v & 0xFFFFFFu; }

int channel(Colour c, int shift) { return static_cast<int>((c >> shift) & 0xFFu); }
Colour pack(int r, int g, int b) {
  auto clamp = [](int v) { return static_cast<Colour>(std::clamp(v, 0, 255)); };
  return clamp(r) | clamp(g) << 8 | clamp(b) << 16;
}

// Each channel times f tenths, brought back into 0..255 (factors above 10
// and below 0 come from the brightness offsets of some kinds).
Colour scaled(Colour c, std::int32_t f) {
  const int k = std::clamp(f, -100, 100);
  return pack(channel(c, 0) * k / 10, channel(c, 8) * k / 10, channel(c, 16) * k / 10);
}

// From a to b by t (0..1), each channel linearly and truncated.
Colour between(Colour a, Colour b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  auto mix = [&](int shift) {
    const int x = channel(a, shift), y = channel(b, shift);
    return static_cast<int>(x + (y - x) * t);
  };
  return pack(mix(0), mix(8), mix(16));
}

int basicIndex(Colour c) {
  for (int i = 0; i < 5; ++i)
    if (kBasic[i] == c) return i;
  return -1;
}

// The base of every preview: it works on a copy of the slots' colours and
// alphas and writes back only what differs, so the view repaints only the
// keys that changed.
class Preview : public EffectPreview {
 public:
  Preview(int interval, std::uint32_t seed) : interval_(interval), rng_(seed) {}
  int intervalMs() const override { return interval_; }

  void start(KeySlots& slots) override {
    for (int i = 0; i < kViewSlots; ++i) slots.setAlpha(i, startAlpha());
    slots.clearColours();
    step(slots);
  }
  void step(KeySlots& slots) override {
    colour_ = slots.colour;
    alpha_ = slots.alpha;
    count_ = std::clamp(slots.animatedCount, 0, kViewSlots);
    slotOf_.fill(-1);
    for (int i = kViewSlots - 1; i >= 0; --i) {
      const int code = slots.hitCode[static_cast<std::size_t>(i)];
      if (code >= 0 && code < kCodes) slotOf_[static_cast<std::size_t>(code)] = i;  // the first slot wins
    }
    advance();
    for (int i = 0; i < kViewSlots; ++i) {
      slots.setColour(i, colour_[static_cast<std::size_t>(i)]);
      slots.setAlpha(i, alpha_[static_cast<std::size_t>(i)]);
    }
  }

 protected:
  virtual std::uint8_t startAlpha() const { return kDefaultAlpha; }
  // One step on colour_ and alpha_.
  virtual void advance() = 0;

  // The slots the simple previews colour.
  int animated() const { return count_; }
  int slotOf(std::int64_t code) const {
    return code >= 0 && code < kCodes ? slotOf_[static_cast<std::size_t>(code)] : -1;
  }
  void set(int slot, Colour c) {
    if (slot >= 0 && slot < kViewSlots) colour_[static_cast<std::size_t>(slot)] = c;
  }
  Colour get(int slot) const { return slot >= 0 && slot < kViewSlots ? colour_[static_cast<std::size_t>(slot)] : 0; }
  void setAlpha(int slot, int a) {
    if (slot >= 0 && slot < kViewSlots) alpha_[static_cast<std::size_t>(slot)] = static_cast<std::uint8_t>(std::clamp(a, 0, 255));
  }
  // Lights the slot whose hit code is `code`; a code no slot has lights nothing.
  void light(std::int64_t code, Colour c) { set(slotOf(code), c); }
  void clearAll() { colour_.fill(0); }

  unsigned random() { return static_cast<unsigned>(rng_() >> 1); }
  Colour randomBasic() { return kBasic[random() % 5]; }
  // A random basic colour other than `previous` (any when it is none of them).
  Colour randomBasicBut(Colour previous) {
    const int p = basicIndex(previous);
    if (p < 0) return randomBasic();
    int i = static_cast<int>(random() % 4);
    if (i >= p) ++i;
    return kBasic[i];
  }

 private:
  int interval_;
  std::mt19937 rng_;
  std::array<Colour, kSlots> colour_{};
  std::array<std::uint8_t, kSlots> alpha_{};
  std::array<int, kCodes> slotOf_{};
  int count_ = 0;
};

// Kind 0 and every kind without a preview: all keys stay without colour.
class NoPreview final : public Preview {
 public:
  explicit NoPreview(int interval) : Preview(interval, 0) {}

 protected:
  void advance() override {}
};

std::vector<std::int32_t> readGroup(Reader& r) {
  const std::uint32_t n = r.count();
  std::vector<std::int32_t> codes;
  codes.reserve(std::min<std::uint32_t>(n, kViewSlots));
  for (std::uint32_t i = 0; i < n; ++i) {
    const std::int32_t c = r.signedWord();
    if (codes.size() < kSlots) codes.push_back(c);
  }
  return codes;
}

std::vector<Colour> readColours(Reader& r, std::uint32_t n, std::uint32_t keep) {
  std::vector<Colour> out;
  for (std::uint32_t i = 0; i < n; ++i) {
    const Colour c = colourOf(r.word());
    if (out.size() < keep) out.push_back(c);
  }
  return out;
}

// 1: one colour on every animated slot, or random basic colours.
class StaticPreview final : public Preview {
 public:
  StaticPreview(Reader& r, int interval, std::uint32_t seed) : Preview(interval, seed) {
    colour_ = colourOf(r.word());
    colourful_ = r.word() != 0;
    factor_ = r.signedWord();
  }

 protected:
  void advance() override {
    Colour before = 0;
    for (int i = 0; i < animated(); ++i) {
      if (colourful_) {
        before = randomBasicBut(before);
        set(i, scaled(before, factor_));
      } else {
        set(i, scaled(colour_, factor_));
      }
    }
  }

 private:
  Colour colour_;
  bool colourful_;
  std::int32_t factor_;
};

// 2: every animated slot walks along a list of colours.
class SpectrumPreview final : public Preview {
 public:
  SpectrumPreview(Reader& r, int interval, std::uint32_t seed) : Preview(interval, seed) {
    const std::uint32_t count = r.word();
    steps_ = static_cast<int>(std::min<std::uint32_t>(r.word(), 1u << 20));
    position_ = static_cast<int>(std::min<std::uint32_t>(r.word(), 1u << 20));
    factor_ = r.signedWord();
    colours_ = readColours(r, preview::kFixedColours, std::min<std::uint32_t>(count, preview::kFixedColours));
    if (steps_ < 1) steps_ = 1;
    if (position_ >= steps_) position_ = 0;
  }

  // The colour at `position` along the list.
  static Colour along(const std::vector<Colour>& colours, int steps, int position) {
    const std::size_t n = colours.size();
    if (n == 0) return 0;
    if (n == 1 || steps <= 0) return colours[0];
    const double e = static_cast<double>(steps) / static_cast<double>(n - 1);
    const auto k = std::min(static_cast<std::size_t>(std::floor(position / e)), n - 2);
    return between(colours[k], colours[k + 1], (position - static_cast<double>(k) * e) / e);
  }

 protected:
  void advance() override {
    const Colour c = scaled(along(colours_, steps_, position_), factor_);
    for (int i = 0; i < animated(); ++i) set(i, c);
    if (++position_ >= steps_) position_ = 0;
  }

 private:
  std::vector<Colour> colours_;
  int steps_;
  int position_;
  std::int32_t factor_;
};

// 3: the animated slots fade out and in, changing colour at the bottom.
class BreathingPreview final : public Preview {
 public:
  BreathingPreview(Reader& r, int interval, std::uint32_t seed) : Preview(interval, seed) {
    const std::uint32_t count = r.word();
    rising_ = r.word() != 0;
    minAlpha_ = static_cast<int>(std::min<std::uint32_t>(r.word(), 255));
    maxAlpha_ = static_cast<int>(std::min<std::uint32_t>(r.word(), 255));
    current_ = colourOf(r.word());
    factor_ = r.signedWord();
    random_ = r.word() != 0;
    colours_ = readColours(r, preview::kFixedColours, std::min<std::uint32_t>(count, preview::kFixedColours));
    alpha_ = maxAlpha_;
  }

 protected:
  std::uint8_t startAlpha() const override { return static_cast<std::uint8_t>(maxAlpha_); }
  void advance() override {
    // The alpha may pass the limits by one step, which is what turns it;
    // the slots show it brought back into 0..255.
    alpha_ += rising_ ? 2 : -2;
    const Colour c = scaled(current_, factor_);
    for (int i = 0; i < animated(); ++i) {
      set(i, c);
      setAlpha(i, alpha_);
    }
    if (alpha_ < minAlpha_) {
      rising_ = true;
      if (random_ && colours_.size() > 1) {
        // A random entry other than the current colour: draw among the others.
        std::vector<Colour> others;
        for (Colour k : colours_)
          if (k != current_) others.push_back(k);
        if (!others.empty()) current_ = others[random() % others.size()];
      }
    } else if (alpha_ > maxAlpha_) {
      rising_ = false;
    }
  }

 private:
  std::vector<Colour> colours_;
  bool rising_;
  int minAlpha_, maxAlpha_;
  Colour current_;
  std::int32_t factor_;
  bool random_;
  int alpha_;  // the alpha of the animated slots (slot 0's in the view) before clamping
};

// 5: twelve keys run along a path.
class SnakePreview final : public Preview {
 public:
  static constexpr int kLength = 12;
  SnakePreview(Reader& r, int interval, std::uint32_t seed) : Preview(interval, seed) {
    head_ = r.signedWord();
    colour_ = colourOf(r.word());
    factor_ = r.signedWord();
    random_ = r.word() != 0;
    const std::uint32_t n = r.count();
    for (std::uint32_t i = 0; i < n; ++i) {
      const std::int32_t c = r.signedWord();
      if (path_.size() < kMaxPath) path_.push_back(c);
    }
    if (head_ < 0 || head_ >= static_cast<std::int32_t>(path_.size())) head_ = 0;
  }

 protected:
  void advance() override {
    clearAll();
    if (path_.empty()) return;
    for (int i = 0; i < kLength; ++i) {
      const int j = head_ - i;
      if (j < 0) break;
      Colour c = colour_;
      if (random_) c = last_ = randomBasicBut(last_);
      light(path_[static_cast<std::size_t>(j)], scaled(c, factor_));
    }
    if (++head_ >= static_cast<int>(path_.size())) head_ = 0;
  }

 private:
  std::vector<std::int32_t> path_;
  int head_;
  Colour colour_;
  std::int32_t factor_;
  bool random_;
  Colour last_ = 0;
};

// 7, 13, 17: groups of keys hold each colour of a list, then fade to the
// next; the groups' staggered time positions make the colours run.
class WavePreview final : public Preview {
 public:
  WavePreview(Reader& r, std::uint32_t kind, int interval, std::uint32_t seed) : Preview(interval, seed), kind_(kind) {
    const std::uint32_t count = r.count();
    hold_ = static_cast<int>(std::min<std::uint32_t>(r.word(), 1u << 20));
    fade_ = static_cast<int>(std::min<std::uint32_t>(r.word(), 1u << 20));
    steps_ = static_cast<int>(std::min<std::uint32_t>(r.word(), 1u << 20));
    colours_ = readColours(r, count, kMaxListColours);
    const std::uint32_t groups = r.count(2);
    for (std::uint32_t g = 0; g < groups; ++g) {
      Group group;
      group.position = static_cast<int>(std::min<std::uint32_t>(r.word(), 1u << 24));
      group.codes = readGroup(r);
      if (groups_.size() < kSlots) groups_.push_back(std::move(group));
    }
  }

 protected:
  void advance() override {
    const int period = hold_ + fade_;
    const int n = static_cast<int>(colours_.size());
    if (n == 0) return;
    const int cycle = n * period;
    const int interval = intervalMs();
    for (Group& g : groups_) {
      if (g.position >= cycle) g.position = 0;
      Colour c = colours_[0];
      if (period > 0) {
        const int k = std::min(g.position / period, n - 1);
        if (g.position - k * period < hold_) {
          c = colours_[static_cast<std::size_t>(k)];
          g.fade = 0;
        } else {
          const Colour from = colours_[static_cast<std::size_t>(k)];
          const Colour to = colours_[static_cast<std::size_t>((k + 1) % n)];
          c = between(from, to, steps_ > 0 ? g.fade / steps_ : 1.0);
          if (kind_ == preview::kRowWave)
            g.fade += interval;
          else
            g.fade += fade_ > 0 && interval > 0 ? steps_ / (static_cast<double>(fade_) / interval) : steps_;
        }
      }
      g.position += interval;
      for (std::int32_t code : g.codes) {
        const int s = slotOf(code);
        set(s, c);
        setAlpha(s, kWaveAlpha);
      }
    }
  }

 private:
  struct Group {
    int position = 0;
    double fade = 0;
    std::vector<std::int32_t> codes;
  };
  std::uint32_t kind_;
  int hold_, fade_, steps_;
  std::vector<Colour> colours_;
  std::vector<Group> groups_;
};

// 12: frames of keys light one after the other, the one before dimmer.
class FramesPreview final : public Preview {
 public:
  FramesPreview(Reader& r, int interval, std::uint32_t seed) : Preview(interval, seed) {
    index_ = static_cast<int>(std::min<std::uint32_t>(r.word(), kSlots));
    restart_ = static_cast<int>(std::min<std::uint32_t>(r.word(), kSlots));
    factor_ = r.signedWord();
    random_ = r.word() != 0;
    const std::uint32_t frames = r.count();
    for (std::uint32_t f = 0; f < frames; ++f) {
      const std::uint32_t pairs = r.count(2);
      std::vector<std::pair<std::int32_t, Colour>> frame;
      for (std::uint32_t p = 0; p < pairs; ++p) {
        const std::int32_t code = r.signedWord();
        const Colour c = colourOf(r.word());
        if (frame.size() < kSlots) frame.emplace_back(code, c);
      }
      if (frames_.size() < kSlots) frames_.push_back(std::move(frame));
    }
    if (restart_ >= static_cast<int>(frames_.size())) restart_ = 0;
  }

 protected:
  void advance() override {
    clearAll();
    const int count = static_cast<int>(frames_.size());
    if (count == 0) return;
    if (index_ >= count) index_ = restart_;
    lightFrame(index_, factor_);
    if (index_ >= 1) lightFrame(index_ - 1, factor_ - 4);
    ++index_;
  }

 private:
  void lightFrame(int f, std::int32_t factor) {
    for (const auto& [code, colour] : frames_[static_cast<std::size_t>(f)])
      light(code, scaled(random_ ? randomBasic() : colour, factor));
  }
  std::vector<std::vector<std::pair<std::int32_t, Colour>>> frames_;
  int index_;
  int restart_;
  std::int32_t factor_;
  bool random_;
};

// 14: colours move outward ring by ring from a centre.
class RipplePreview final : public Preview {
 public:
  RipplePreview(Reader& r, int interval, std::uint32_t seed) : Preview(interval, seed) {
    index_ = r.word();
    colours_ = readColours(r, r.count(), kMaxListColours);
    const std::uint32_t groups = r.count();
    for (std::uint32_t g = 0; g < groups; ++g) {
      std::vector<std::int32_t> codes = readGroup(r);
      if (groups_.size() < kSlots) groups_.push_back(std::move(codes));
    }
    if (index_ >= colours_.size()) index_ = 0;
  }

 protected:
  void advance() override {
    if (groups_.empty()) return;
    for (std::size_t g = groups_.size() - 1; g >= 1; --g) {
      const Colour c = groups_[g - 1].empty() ? 0 : get(slotOf(groups_[g - 1].front()));
      for (std::int32_t code : groups_[g]) light(code, c);
    }
    if (colours_.empty()) return;
    for (std::int32_t code : groups_[0]) light(code, colours_[index_]);
    if (++index_ >= colours_.size()) index_ = 0;
  }

 private:
  std::uint32_t index_;
  std::vector<Colour> colours_;
  std::vector<std::vector<std::int32_t>> groups_;
};

// 15: drops run down columns of keys; idle columns start at random.
class RainPreview final : public Preview {
 public:
  RainPreview(Reader& r, int interval, std::uint32_t seed) : Preview(interval, seed) {
    colour_ = colourOf(r.word());
    factor_ = r.signedWord();
    random_ = r.word() != 0;
    const std::uint32_t columns = r.count(2);
    for (std::uint32_t i = 0; i < columns; ++i) {
      Column c;
      c.head = r.signedWord();
      c.codes = readGroup(r);
      if (c.head < -1 || c.head > static_cast<int>(c.codes.size())) c.head = -1;
      if (columns_.size() < kSlots) columns_.push_back(std::move(c));
    }
  }

 protected:
  void advance() override {
    std::vector<std::size_t> idle;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
      Column& c = columns_[i];
      const int length = static_cast<int>(c.codes.size());
      if (c.head < 0) {
        idle.push_back(i);
      } else if (c.head < length) {
        Colour k = colour_;
        if (random_) k = last_ = randomBasicBut(last_);
        light(c.codes[static_cast<std::size_t>(c.head)], scaled(k, factor_));
        if (c.head >= 1) light(c.codes[static_cast<std::size_t>(c.head - 1)], 0);
        ++c.head;
      } else {
        if (length > 0) light(c.codes.back(), 0);
        c.head = -1;
      }
    }
    if (idle.size() >= 3)
      for (std::size_t n = 0; n < idle.size() - 2; ++n) columns_[idle[random() % idle.size()]].head = 0;
  }

 private:
  struct Column {
    int head = -1;
    std::vector<std::int32_t> codes;
  };
  Colour colour_;
  std::int32_t factor_;
  bool random_;
  Colour last_ = 0;
  std::vector<Column> columns_;
};

// 16: each animated slot flashes a random colour now and then.
class TwinklePreview final : public Preview {
 public:
  TwinklePreview(Reader& r, int interval, std::uint32_t seed) : Preview(interval, seed) {
    factor_ = r.signedWord();
    for (Colour& c : last_) c = colourOf(r.word());
  }

 protected:
  void advance() override {
    for (int i = 0; i < animated(); ++i) {
      Colour& last = last_[static_cast<std::size_t>(i)];
      if (random() % 6 == 5) {
        last = randomBasicBut(last);
        set(i, scaled(last, factor_));
      } else {
        set(i, 0);
      }
    }
  }

 private:
  std::int32_t factor_;
  std::array<Colour, kSlots> last_{};
};

// 23: fixed colours per column group, or one colour, at a chosen alpha.
class RainbowPreview final : public Preview {
 public:
  RainbowPreview(Reader& r, int interval, std::uint32_t seed) : Preview(interval, seed) {
    colourful_ = r.word() != 0;
    alpha_ = static_cast<int>(std::min<std::uint32_t>(r.word(), 255));
    colour_ = colourOf(r.word());
    const std::uint32_t groups = r.count(2);
    for (std::uint32_t g = 0; g < groups; ++g) {
      const Colour c = colourOf(r.word());
      std::vector<std::int32_t> codes = readGroup(r);
      if (groups_.size() < kSlots) groups_.emplace_back(c, std::move(codes));
    }
  }

 protected:
  void advance() override {
    if (colourful_) {
      for (const auto& [colour, codes] : groups_)
        for (std::int32_t code : codes) {
          const int s = slotOf(code);
          set(s, colour);
          setAlpha(s, alpha_);
        }
    } else {
      for (int i = 0; i < animated(); ++i) {
        set(i, colour_);
        setAlpha(i, alpha_);
      }
    }
  }

 private:
  bool colourful_;
  int alpha_;
  Colour colour_;
  std::vector<std::pair<Colour, std::vector<std::int32_t>>> groups_;
};

std::unique_ptr<Preview> parse(Reader& r, std::uint32_t kind, int interval, std::uint32_t seed) {
  switch (kind) {
    case preview::kStatic: return std::make_unique<StaticPreview>(r, interval, seed);
    case preview::kSpectrum: return std::make_unique<SpectrumPreview>(r, interval, seed);
    case preview::kBreathing: return std::make_unique<BreathingPreview>(r, interval, seed);
    case preview::kSnake: return std::make_unique<SnakePreview>(r, interval, seed);
    case preview::kColumnWave:
    case preview::kRingWave:
    case preview::kRowWave: return std::make_unique<WavePreview>(r, kind, interval, seed);
    case preview::kFrames: return std::make_unique<FramesPreview>(r, interval, seed);
    case preview::kRipple: return std::make_unique<RipplePreview>(r, interval, seed);
    case preview::kRain: return std::make_unique<RainPreview>(r, interval, seed);
    case preview::kTwinkle: return std::make_unique<TwinklePreview>(r, interval, seed);
    case preview::kRainbow: return std::make_unique<RainbowPreview>(r, interval, seed);
    default: return nullptr;
  }
}

}  // namespace

Colour ColourAlongList(const std::vector<Colour>& colours, int steps, int position) {
  return SpectrumPreview::along(colours, steps, position);
}

std::unique_ptr<EffectPreview> makeEffectPreview(const std::vector<std::uint8_t>& descriptor, std::uint32_t seed) {
  Reader r(descriptor);
  const std::uint32_t interval = r.interval();
  const int ms = interval > preview::kMaxIntervalMs ? 0 : static_cast<int>(interval);
  if (!r.ok()) return std::make_unique<NoPreview>(0);
  std::unique_ptr<Preview> p = parse(r, r.kind(), ms, seed);
  // A block cut short would leave the preview half set up: it lights nothing.
  if (!p || !r.ok()) return std::make_unique<NoPreview>(p ? 0 : ms);
  return p;
}

}  // namespace lumera
