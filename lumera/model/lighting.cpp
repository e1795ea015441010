#include "lumera/model/lighting.h"

#include <algorithm>

#include "lumera/model/keycodes.h"
#include "lumera/model/log.h"

namespace lumera {

namespace {

// Red, blue, green, cyan, yellow, magenta, white.
constexpr Colour kPalette[kPaletteSize] = {0x0000FF, 0xFF0000, 0x00FF00, 0xFFFF00, 0x00FFFF, 0xFF00FF, 0xFFFFFF};
constexpr int kDefaultGridIndex = 3;

std::array<Colour, kPaletteSize> palette() {
  std::array<Colour, kPaletteSize> p{};
  std::copy(std::begin(kPalette), std::end(kPalette), p.begin());
  return p;
}

// The grid slot the defaults use. "GridIndex" outside 0..6 has been reported
// at load; it must not pick a colour outside the seven.
std::uint32_t gridIndex(const LumeraConfig& config) {
  const int g = config.options().GridIndex;
  return static_cast<std::uint32_t>(g >= 0 && g < kPaletteSize ? g : kDefaultGridIndex);
}

void putTriple(std::uint8_t* p, Colour c) {
  p[0] = static_cast<std::uint8_t>(c >> 16);
  p[1] = static_cast<std::uint8_t>(c >> 8);
  p[2] = static_cast<std::uint8_t>(c);
}

bool validIndex(std::int64_t i) { return i >= 0 && i < kKeyCount; }

}  // namespace

void ResetLighting(ProfileRecord& p, const LumeraConfig& config) {
  const Options& o = config.options();
  p.effectIndex = 0;
  p.lightingSwitch = 0;
  p.effects.fill(LedModeSetting{});
  p.colourGroup = 0;
  p.groupTouched.fill(0);
  p.reserved2 = 0;
  for (auto& g : p.groupColours) g.fill(0);
  p.colourA.fill(0);
  p.colourB.fill(0);
  p.gestures.fill(KeyInfo{});

  const std::uint32_t grid = gridIndex(config);
  for (int m = 0; m < kEffectCount; ++m) {
    LedModeSetting& s = p.effects[static_cast<std::size_t>(m)];
    s.level1 = 4;
    s.level2 = 4;
    s.colourIndex = grid;
    s.colours = palette();
    s.colours[grid] = o.clrGrid;
    s.colourful = 1;
  }
  p.effects[0].colourful = 0;
  for (int m : {7, 12, 13}) p.effects[static_cast<std::size_t>(m)].high = 1;
  for (int m : {14, 15}) p.effects[static_cast<std::size_t>(m)].colourful = 0;

  if (o.LED[0] != 0xFF) {
    for (int m = 0; m < kEffectCount; ++m) {
      LedModeSetting& s = p.effects[static_cast<std::size_t>(m)];
      const std::uint8_t b = o.LED[static_cast<std::size_t>(2 * m)], c = o.LED[static_cast<std::size_t>(2 * m + 1)];
      s.direction = (b >> 4) == 8 ? 1 : 0;
      s.colours = palette();
      s.colourful = (b & 0x0F) == 7 ? 1 : 0;
      s.colourIndex = grid;
      s.colours[grid] = o.clrGrid;
      s.level1 = (c >> 4) + 1u;
      s.level2 = (c & 0x0Fu) + 1u;
    }
  }

  p.lightingSwitch = 1;
  p.effectIndex = o.LEDParam[0];
  if (p.effectIndex < kLedModeCount) {
    LedModeSetting& s = p.effects[static_cast<std::size_t>(p.effectIndex)];
    s.level1 = o.LEDParam[1];
    s.level2 = o.LEDParam[2];
    s.colourful = o.LEDParam[3];
  }

  p.colourGroup = 0;
  p.groupTouched.fill(1);
  p.colourA.fill(0x0000FF);

  for (std::size_t g = 0; g < kColourGroups; ++g) {
    bool first = true;
    for (std::size_t i = 0; i < kKeyCount; ++i) {
      const std::uint8_t code = o.VezerivKey[g][i];
      if (code == 0) continue;
      if (first) {
        p.groupColours[g].fill(0);
        first = false;
      }
      const int index = MatrixIndexOfKey(config, code);
      if (validIndex(index))
        p.groupColours[g][static_cast<std::size_t>(index)] = o.clrVezeriv;
      else
        Log("Error Value: VezerivKey[%d][%d]=0x%x", g, i, code);
    }
  }
  p.gestures = config.gestureLayout();
}

int MatrixIndexOfKey(const LumeraConfig& config, std::uint32_t code) {
  ModifierKey modifier{};
  const bool isModifier = modifierOfKey(code, modifier);
  for (const KeyInfo& k : config.keyLayout()) {
    const KeyFunction& f = k.funA;
    if (f.dwFunID == 0) continue;
    const bool match = f.stCombo.mask != 0 ? (isModifier && (f.stCombo.mask & modifier.bit) != 0)
                                           : f.stCombo.VkCode1 == code;
    if (match) return f.dwMatrixInx;
  }
  return -1;
}

namespace {
// The matrix index of key i of the key table, -1 when it is not a configured
// key (the records after the configured ones have no function).
int matrixOfKey(const LumeraConfig& config, int i) {
  if (i < 0 || i >= kKeyCount) return -1;
  const KeyFunction& f = config.keyLayout()[static_cast<std::size_t>(i)].funA;
  return f.dwFunID != 0 && validIndex(f.dwMatrixInx) ? f.dwMatrixInx : -1;
}
}  // namespace

std::array<Colour, kKeyCount> GroupColoursByKey(const ProfileRecord& p, const LumeraConfig& config, int group) {
  std::array<Colour, kKeyCount> out{};
  if (group < 0 || group >= kColourGroups) return out;
  for (int i = 0; i < kKeyCount; ++i) {
    const int m = matrixOfKey(config, i);
    if (m >= 0) out[static_cast<std::size_t>(i)] = p.groupColours[static_cast<std::size_t>(group)][static_cast<std::size_t>(m)];
  }
  return out;
}

void StoreGroupColoursByKey(ProfileRecord& p, const LumeraConfig& config, int group,
                            const std::array<Colour, kKeyCount>& colours) {
  if (group < 0 || group >= kColourGroups) return;
  for (int i = 0; i < kKeyCount; ++i) {
    const int m = matrixOfKey(config, i);
    if (m >= 0) p.groupColours[static_cast<std::size_t>(group)][static_cast<std::size_t>(m)] = colours[static_cast<std::size_t>(i)];
  }
}

void FillProLighting(const ProfileRecord& p, const LumeraConfig& config, std::uint8_t* pro) {
  const Options& o = config.options();
  pro[4] = p.effectIndex == o.GameIndex ? 1 : 0;
  pro[5] = static_cast<std::uint8_t>(p.effectIndex + 1);
  pro[6] = static_cast<std::uint8_t>(o.GameModeNumHw == 1 ? 0x24 : 0x20 + p.colourGroup);
  pro[16] = 0xFF;
  pro[17] = 0xFF;
  for (int m = 0; m < kEffectCount; ++m) {
    const LedModeSetting& s = p.effects[static_cast<std::size_t>(m)];
    std::uint8_t colour = static_cast<std::uint8_t>(s.colourful ? 7 : (s.colourIndex & 0x0F));
    if (s.high) colour = static_cast<std::uint8_t>(colour + 0x80);
    pro[18 + 2 * m] = colour;
    pro[19 + 2 * m] = static_cast<std::uint8_t>((s.level1 - 1) * 16 + ((s.level2 - 1) & 0x0F));
  }
  std::fill(pro + 52, pro + 59, 0x03);
  std::fill(pro + 59, pro + 62, 0x33);
  pro[62] = 0x5A;
  pro[63] = 0xA5;
}

void BuildColorTable(const ProfileRecord& p, std::uint8_t* out) {
  constexpr std::size_t kRow = 3 * kPaletteSize;
  for (std::size_t row = 0; row < kColorTableSize / kRow; ++row)
    for (std::size_t c = 0; c < kPaletteSize; ++c) putTriple(out + row * kRow + 3 * c, kPalette[c]);
  for (std::size_t m = 0; m < static_cast<std::size_t>(kEffectCount); ++m) {
    const LedModeSetting& s = p.effects[m];
    if (s.colourIndex >= kPaletteSize) continue;  // a stored index outside the row changes nothing
    putTriple(out + (25 + m) * kRow + 3 * s.colourIndex, s.colours[s.colourIndex]);
  }
}

std::vector<ColorFrame> BuildColorFrames(const ProfileRecord& p, const LumeraConfig& config,
                                         const TextLookup* texts) {
  constexpr std::size_t kPlane = kKeyCount, kGroupBytes = 3 * kPlane;
  // The profile holds five groups: more frames than they need would carry
  // nothing, and the frame addresses must stay below the key matrix's.
  const int groups = std::clamp(config.options().GameModeNumHw, 1, kColourGroups);
  const int frameCount = groups == 1 ? 1 : (groups + 1) / 2;
  const int perFrame = groups == 1 ? 1 : 2;
  std::uint32_t u = groups == 1 ? p.colourGroup : 0;

  static const MacroList kNoMacros;
  std::vector<ColorFrame> frames(static_cast<std::size_t>(frameCount));
  for (int i = 0; i < frameCount; ++i) {
    ColorFrame& frame = frames[static_cast<std::size_t>(i)];
    frame.address = static_cast<std::uint8_t>(kColorFrameAddress + 4 * i);
    for (int j = 0; j < perFrame; ++j, ++u) {
      if (u >= static_cast<std::uint32_t>(kColourGroups)) continue;  // the slot stays zero
      std::uint8_t* group = frame.bytes.data() + static_cast<std::size_t>(j) * kGroupBytes;
      for (int k = 0; k < config.ledCount(); ++k) {
        const KeyFunction& key = config.keyLayout()[static_cast<std::size_t>(k)].funA;
        if (key.dwFunID == 0) continue;
        const std::int32_t led = config.ledLayout()[static_cast<std::size_t>(k)].funA.dwMatrixInx;
        if (!validIndex(led) || !validIndex(key.dwMatrixInx)) {
          Log("ERROR: GET Key(Func=%s, MatrixInx=%d)",
              KeyFunctionName(key, kNoMacros, texts ? *texts : keysAsTexts()), key.dwMatrixInx);
          continue;
        }
        const Colour v = p.groupColours[u][static_cast<std::size_t>(key.dwMatrixInx)];
        const auto pos = static_cast<std::size_t>(led);
        group[pos] = static_cast<std::uint8_t>(v >> 16);
        group[kPlane + pos] = static_cast<std::uint8_t>(v >> 8);
        group[2 * kPlane + pos] = static_cast<std::uint8_t>(v);
        if (v != 0 && key.dwMatrixInx == 0)
          Log("Led[%d][0~2][%03d] = RGB(%d, %d, %d), dwMatrixInx=%d", u, led, v & 0xFF, (v >> 8) & 0xFF,
              (v >> 16) & 0xFF, key.dwMatrixInx);
      }
      if (theLog().level() != 0) {
        Log("ColorGroup[%d]: Addr=%x", u, frame.address);
        std::uint8_t positions[kKeyCount];
        for (std::size_t n = 0; n < kKeyCount; ++n) positions[n] = static_cast<std::uint8_t>(n);
        DumpLine(positions, sizeof positions, 0);
        DumpLine(group, kGroupBytes, kPlane);
      }
    }
  }
  return frames;
}

}  // namespace lumera
