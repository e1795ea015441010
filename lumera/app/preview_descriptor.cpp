#include "lumera/app/preview_descriptor.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "lumera/app/preview_format.h"

namespace lumera {
namespace {

using preview::Writer;

constexpr Colour kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kMagenta = 0xFF00FF, kOrange = 0x0080FF,
                 kYellow = 0x00FFFF, kCyan = 0xFFFF00, kTeal = 0x808000;

constexpr int kVkSpace = 0x20, kVkLeft = 0x25, kVkUp = 0x26, kVkRight = 0x27, kVkDown = 0x28, kVkO = 0x4F;

double centreX(const PreviewKey& k) { return (k.rect.left + k.rect.right) / 2.0; }
double centreY(const PreviewKey& k) { return (k.rect.top + k.rect.bottom) / 2.0; }

// The interval for level 1 = 1, 2, 3 and any other value.
int intervalFor(int level1, int i1, int i2, int i3, int other) {
  switch (level1) {
    case 1: return i1;
    case 2: return i2;
    case 3: return i3;
    default: return other;
  }
}

Colour scaledBy(Colour c, int f) {
  auto ch = [&](int shift) { return static_cast<Colour>(std::clamp(static_cast<int>((c >> shift) & 0xFF) * f / 10, 0, 255)); };
  return ch(0) | ch(8) << 8 | ch(16) << 16;
}

const PreviewKey* keyWithCode(const PreviewKeys& keys, int code) {
  for (const PreviewKey& k : keys)
    if (k.code == code) return &k;
  return nullptr;
}

// The key under a point, nullptr when none.
const PreviewKey* keyAt(const PreviewKeys& keys, double x, double y) {
  for (const PreviewKey& k : keys)
    if (x >= k.rect.left && x < k.rect.right && y >= k.rect.top && y < k.rect.bottom) return &k;
  return nullptr;
}

struct Bounds {
  double left = 0, top = 0, right = 0, bottom = 0;
};
Bounds boundsOf(const PreviewKeys& keys) {
  if (keys.empty()) return {};
  Bounds b{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
           std::numeric_limits<double>::lowest(), std::numeric_limits<double>::lowest()};
  for (const PreviewKey& k : keys) {
    b.left = std::min<double>(b.left, k.rect.left);
    b.top = std::min<double>(b.top, k.rect.top);
    b.right = std::max<double>(b.right, k.rect.right);
    b.bottom = std::max<double>(b.bottom, k.rect.bottom);
  }
  return b;
}

// Keys into n bands along one axis by their centre.
std::vector<std::vector<int>> bands(const PreviewKeys& keys, int n, bool alongX) {
  std::vector<std::vector<int>> out(static_cast<std::size_t>(std::max(n, 0)));
  if (n <= 0 || keys.empty()) return out;
  const Bounds b = boundsOf(keys);
  const double from = alongX ? b.left : b.top, to = alongX ? b.right : b.bottom;
  const double width = (to - from) / n;
  std::vector<std::vector<const PreviewKey*>> members(out.size());
  for (const PreviewKey& k : keys) {
    const double c = alongX ? centreX(k) : centreY(k);
    const int band = width > 0 ? std::clamp(static_cast<int>(std::floor((c - from) / width)), 0, n - 1) : 0;
    members[static_cast<std::size_t>(band)].push_back(&k);
  }
  for (std::size_t i = 0; i < members.size(); ++i) {
    auto& m = members[i];
    // Columns top to bottom, rows left to right; the other axis breaks ties.
    std::stable_sort(m.begin(), m.end(), [alongX](const PreviewKey* a, const PreviewKey* b2) {
      const double pa = alongX ? centreY(*a) : centreX(*a), pb = alongX ? centreY(*b2) : centreX(*b2);
      if (pa != pb) return pa < pb;
      return (alongX ? centreX(*a) : centreY(*a)) < (alongX ? centreX(*b2) : centreY(*b2));
    });
    for (const PreviewKey* k : m) out[i].push_back(k->code);
  }
  return out;
}

void writeGroup(Writer& w, const std::vector<int>& codes) {
  w.word(static_cast<std::uint32_t>(codes.size()));
  for (int c : codes) w.signedWord(c);
}

// The waves: colours, hold and fade, and per group its starting position.
std::vector<std::uint8_t> wave(std::uint32_t kind, int interval, const std::vector<Colour>& colours, int hold, int fade,
                               int steps, const std::vector<std::vector<int>>& groups,
                               const std::vector<int>& positions) {
  Writer w(kind, static_cast<std::uint32_t>(interval));
  w.word(static_cast<std::uint32_t>(colours.size()));
  w.word(static_cast<std::uint32_t>(hold));
  w.word(static_cast<std::uint32_t>(fade));
  w.word(static_cast<std::uint32_t>(steps));
  for (Colour c : colours) w.word(c);
  w.word(static_cast<std::uint32_t>(groups.size()));
  for (std::size_t g = 0; g < groups.size(); ++g) {
    w.word(static_cast<std::uint32_t>(positions[g]));
    writeGroup(w, groups[g]);
  }
  return w.finish();
}

// The nine-point gradient of the static rainbow at column group i of 20.
Colour rainbowColour(int i) {
  static const Colour kPoints[9] = {kRed, kYellow, kGreen, kCyan, kBlue, kCyan, kGreen, kYellow, kRed};
  constexpr double kSegment = 2.375;
  const int k = std::clamp(static_cast<int>(std::floor(i / kSegment)), 0, 8);
  // The last group lies exactly on the last point; there is no point after it.
  if (k >= 8) return kPoints[8];
  const double t = (i - kSegment * k) / kSegment;
  auto mix = [&](int shift) {
    const int a = static_cast<int>((kPoints[k] >> shift) & 0xFF), b = static_cast<int>((kPoints[k + 1] >> shift) & 0xFF);
    return static_cast<Colour>(std::clamp(static_cast<int>(a + (b - a) * t), 0, 255));
  };
  return mix(0) | mix(8) << 8 | mix(16) << 16;
}

}  // namespace

int PreviewHitCode(const KeyFunction& f) {
  if ((f.dwFunID >> 24) != 2) return -1;
  if (f.stCombo.VkCode1 != 0) return f.stCombo.VkCode1;
  switch (f.stCombo.mask) {
    case 0x01: return 162;
    case 0x02: return 160;
    case 0x04: return 164;
    case 0x08: return 91;
    case 0x10: return 163;
    case 0x20: return 161;
    case 0x40: return 165;
    case 0x80: return 92;
    default: return -1;
  }
}

PreviewKeys PreviewKeysOf(const LumeraConfig& config) {
  PreviewKeys keys;
  const int n = std::clamp(config.keyCount(), 0, kKeyCount);
  for (int i = 0; i < n; ++i) {
    const KeyFunction& f = config.keyLayout()[static_cast<std::size_t>(i)].funA;
    PreviewKey k;
    k.code = PreviewHitCode(f);
    if (k.code < 0) continue;
    // The layout gives x, y, width, height.
    k.rect = Rect{f.rcKey[0], f.rcKey[1], f.rcKey[0] + f.rcKey[2], f.rcKey[1] + f.rcKey[3]};
    keys.push_back(k);
  }
  return keys;
}

int PreviewBrightness(int level2) {
  switch (level2) {
    case 1: return 0;
    case 2: return 3;
    case 3: return 5;
    case 5: return 10;
    default: return 8;
  }
}

namespace previewgroups {

std::vector<std::vector<int>> columns(const PreviewKeys& keys, int n) { return bands(keys, n, true); }
std::vector<std::vector<int>> rows(const PreviewKeys& keys, int n) { return bands(keys, n, false); }

std::vector<std::vector<int>> rings(const PreviewKeys& keys, double cx, double cy, int n,
                                    const std::vector<int>& origin) {
  std::vector<std::vector<int>> out(static_cast<std::size_t>(std::max(n, 0)));
  if (n <= 0) return out;
  auto isOrigin = [&](int code) { return std::find(origin.begin(), origin.end(), code) != origin.end(); };
  std::vector<std::pair<double, const PreviewKey*>> others;
  double farthest = 0;
  for (const PreviewKey& k : keys) {
    if (isOrigin(k.code)) {
      out[0].push_back(k.code);
      continue;
    }
    const double d = std::hypot(centreX(k) - cx, centreY(k) - cy);
    farthest = std::max(farthest, d);
    others.emplace_back(d, &k);
  }
  std::stable_sort(others.begin(), others.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  const double unit = n > 1 ? farthest / (n - 1) : 0;
  for (const auto& [d, k] : others) {
    const int ring = unit > 0 ? std::clamp(static_cast<int>(std::ceil(d / unit - 1e-9)), 1, n - 1) : std::min(1, n - 1);
    out[static_cast<std::size_t>(ring)].push_back(k->code);
  }
  return out;
}

std::vector<int> snakePath(const PreviewKeys& keys) {
  std::vector<int> path;
  const auto r = rows(keys, 6);
  for (std::size_t i = 0; i < r.size(); ++i) {
    if (i % 2 == 0)
      path.insert(path.end(), r[i].begin(), r[i].end());
    else
      path.insert(path.end(), r[i].rbegin(), r[i].rend());
  }
  return path;
}

}  // namespace previewgroups

std::vector<std::uint8_t> BuildPreviewDescriptor(const PreviewRequest& q, const PreviewKeys& keys) {
  // Stored levels come from files the user may have damaged: 0 and values
  // above the sliders' range take the tables' "other" column, and where a
  // level divides it is at least 1.
  const int level1 = q.level1;
  const int brightness = PreviewBrightness(q.level2);
  const Colour colour = q.colour & 0xFFFFFFu;
  const Bounds b = boundsOf(keys);
  const double midX = (b.left + b.right) / 2, midY = (b.top + b.bottom) / 2;

  switch (q.effectKind) {
    case 1: {
      Writer w(preview::kStatic, 0);
      w.word(colour);
      w.word(q.colourful ? 1 : 0);
      w.signedWord(brightness);
      return w.finish();
    }
    case 2: {
      Writer w(preview::kSpectrum, static_cast<std::uint32_t>(intervalFor(level1, 40, 30, 20, 10)));
      w.word(6);
      w.word(200);
      w.word(0);
      w.signedWord(brightness);
      for (Colour c : {kRed, kGreen, kBlue, kMagenta, kOrange, kRed}) w.word(c);
      return w.finish();
    }
    case 3: {
      const bool single = q.colourfulShown && !q.colourful;
      std::vector<Colour> colours = single ? std::vector<Colour>{colour}
                                           : std::vector<Colour>{kGreen, kRed, kCyan, kMagenta, kYellow, kBlue};
      Writer w(preview::kBreathing, static_cast<std::uint32_t>(intervalFor(level1, 25, 16, 10, 3)));
      w.word(static_cast<std::uint32_t>(colours.size()));
      w.word(0);    // fading first
      w.word(5);    // minimum alpha
      w.word(180);  // maximum alpha
      w.word(colours[0]);
      w.signedWord(brightness);
      w.word(single ? 0 : 1);
      colours.resize(preview::kFixedColours, 0);
      for (Colour c : colours) w.word(c);
      return w.finish();
    }
    case 5: {
      const std::vector<int> path = previewgroups::snakePath(keys);
      Writer w(preview::kSnake, static_cast<std::uint32_t>(intervalFor(level1, 28, 24, 18, 10)));
      w.signedWord(0);
      w.word(colour);
      w.signedWord(brightness + 2);
      w.word(q.colourful ? 1 : 0);
      writeGroup(w, path);
      return w.finish();
    }
    case 7: {
      const int factor = q.level1Option ? brightness : 8;
      const int d = level1 == 1 ? 1 : level1 == 2 ? 2 : level1 == 3 ? 4 : 8;
      const int hold = 600 / d, fade = 600 / d, steps = fade / 20;
      std::vector<Colour> colours;
      for (Colour c : {kMagenta, kYellow, kGreen, kBlue}) colours.push_back(scaledBy(c, factor));
      const auto groups = previewgroups::columns(keys, 21);
      const int cycle = static_cast<int>(colours.size()) * (hold + fade);
      std::vector<int> positions(groups.size());
      for (int g = 0; g < static_cast<int>(groups.size()); ++g)
        positions[static_cast<std::size_t>(g)] = cycle > 0 ? ((20 - g) * ((hold + fade) / 6)) % cycle : 0;
      return wave(preview::kColumnWave, 20, colours, hold, fade, steps, groups, positions);
    }
    case 9: {
      std::vector<Colour> colours;
      for (Colour c : {kMagenta, kCyan, kYellow})
        for (int i = 0; i < 4; ++i) colours.push_back(scaledBy(c, brightness));
      const PreviewKey* o = keyWithCode(keys, kVkO);
      const auto groups =
          previewgroups::rings(keys, o ? centreX(*o) : midX, o ? centreY(*o) : midY, 11, {kVkO});
      Writer w(preview::kRipple, 40);
      w.word(0);
      w.word(static_cast<std::uint32_t>(colours.size()));
      for (Colour c : colours) w.word(c);
      w.word(static_cast<std::uint32_t>(groups.size()));
      for (const auto& g : groups) writeGroup(w, g);
      return w.finish();
    }
    case 12: {
      // Frame 0 is the Space bar; the rings grow from the key just above
      // its middle.
      const PreviewKey* space = keyWithCode(keys, kVkSpace);
      double cx = midX, cy = midY;
      if (space) {
        cx = centreX(*space);
        cy = space->rect.top - (space->rect.bottom - space->rect.top) / 2.0;
        if (const PreviewKey* above = keyAt(keys, cx, cy)) {
          cx = centreX(*above);
          cy = centreY(*above);
        }
      }
      const auto frames = previewgroups::rings(keys, cx, cy, 26, {kVkSpace});
      Writer w(preview::kFrames, static_cast<std::uint32_t>(intervalFor(level1, 65, 50, 40, 35)));
      w.word(0);
      w.word(13);
      w.signedWord(brightness + 2);
      w.word(q.colourful ? 1 : 0);
      w.word(static_cast<std::uint32_t>(frames.size()));
      for (const auto& f : frames) {
        w.word(static_cast<std::uint32_t>(f.size()));
        for (int code : f) {
          w.signedWord(code);
          w.word(colour);
        }
      }
      return w.finish();
    }
    case 13: {
      const int factor = q.level1Option ? brightness : 8;
      const Colour v = static_cast<std::uint8_t>(std::clamp(factor * 255 / 10, 0, 255));
      const std::vector<Colour> colours = {v << 8, v << 16, v | v << 16, v, v | v << 8};
      const int s = level1 <= 1 ? 1 : level1 == 2 ? 2 : level1 == 3 ? 4 : 6;
      const int hold = 50, fade = 1000 / s, steps = fade / 10;
      // The arrow keys form the first ring; the rings grow from their middle.
      double cx = 0, cy = 0;
      int found = 0;
      for (int code : {kVkUp, kVkDown, kVkLeft, kVkRight})
        if (const PreviewKey* k = keyWithCode(keys, code)) {
          cx += centreX(*k);
          cy += centreY(*k);
          ++found;
        }
      if (found > 0) {
        cx /= found;
        cy /= found;
      } else {
        cx = midX;
        cy = midY;
      }
      const auto groups = previewgroups::rings(keys, cx, cy, 19, {kVkUp, kVkDown, kVkLeft, kVkRight});
      const int cycle = static_cast<int>(colours.size()) * (hold + fade);
      std::vector<int> positions(groups.size());
      for (int g = 0; g < static_cast<int>(groups.size()); ++g)
        positions[static_cast<std::size_t>(g)] = ((18 - g) * (cycle / 18)) % cycle;
      return wave(preview::kRingWave, 10, colours, hold, fade, steps, groups, positions);
    }
    case 15: {
      const auto columns = previewgroups::columns(keys, 22);
      Writer w(preview::kRain, static_cast<std::uint32_t>(intervalFor(level1, 60, 50, 45, 40)));
      w.word(colour);
      w.signedWord(brightness == 8 ? 10 : brightness);
      w.word(q.colourful ? 1 : 0);
      w.word(static_cast<std::uint32_t>(columns.size()));
      for (const auto& c : columns) {
        w.signedWord(-1);
        writeGroup(w, c);
      }
      return w.finish();
    }
    case 16: {
      const int interval = level1 >= 1 && level1 <= 4 ? intervalFor(level1, 280, 180, 110, 80) : 0;
      Writer w(preview::kTwinkle, static_cast<std::uint32_t>(interval));
      w.signedWord(brightness);
      for (int i = 0; i < kKeyCount; ++i) w.word(0);
      return w.finish();
    }
    case 17: {
      const int factor = q.level1Option ? brightness : 8;
      std::vector<Colour> colours;
      for (Colour c : {kMagenta, kOrange, kYellow, kGreen, kTeal, kBlue}) colours.push_back(scaledBy(c, factor));
      const int hold = 20, fade = 1000 / std::max(level1, 1), steps = fade;
      const auto groups = previewgroups::rows(keys, 6);
      const int cycle = static_cast<int>(colours.size()) * (hold + fade);
      std::vector<int> positions(groups.size());
      for (int r = 0; r < static_cast<int>(groups.size()); ++r)
        positions[static_cast<std::size_t>(r)] = (r * (hold + fade)) % cycle;
      return wave(preview::kRowWave, 20, colours, hold, fade, steps, groups, positions);
    }
    case 23: {
      const int alpha = q.level2 == 1 ? 100 : q.level2 == 2 ? 120 : q.level2 == 3 ? 150 : q.level2 == 4 ? 180 : 200;
      const auto groups = previewgroups::columns(keys, 20);
      Writer w(preview::kRainbow, 0);
      w.word(q.colourful ? 1 : 0);
      w.word(static_cast<std::uint32_t>(alpha));
      w.word(colour);
      w.word(static_cast<std::uint32_t>(groups.size()));
      for (int i = 0; i < static_cast<int>(groups.size()); ++i) {
        w.word(rainbowColour(i));
        writeGroup(w, groups[static_cast<std::size_t>(i)]);
      }
      return w.finish();
    }
    default: {
      Writer w(preview::kNone, 0);
      return w.finish();
    }
  }
}

}  // namespace lumera
