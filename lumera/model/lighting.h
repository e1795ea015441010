// Lighting: a profile's default lighting, and the three encodings that carry
// it to the keyboard (the effect bytes of the Pro1 block, the colour table
// and the per-key colour group frames).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "lumera/model/profile.h"

namespace lumera {

constexpr std::size_t kProBlockSize = 64;
constexpr std::size_t kColorTableSize = 1008;  // 48 rows of 7 (blue, green, red) triples
constexpr std::size_t kColorFrameSize = 792;   // two groups of three 132-byte planes
constexpr std::uint8_t kColorFrameAddress = 0xAC;

// The lighting defaults of `config` into a profile (its lighting data and
// gesture records).
void ResetLighting(ProfileRecord& profile, const LumeraConfig& config);

// The matrix index of the key layout's key for a virtual-key code (modifier
// keys match the records whose mask holds their bit); -1 when none.
int MatrixIndexOfKey(const LumeraConfig& config, std::uint32_t code);

// The lighting fields of the Pro1 block read from the keyboard: bytes 4, 5,
// 6, 16..49 and the fixed bytes 52..63. The other bytes are left alone.
void FillProLighting(const ProfileRecord& profile, const LumeraConfig& config, std::uint8_t* pro64);

// The colour table: every row the default palette, rows 25..40 with the
// chosen colour of effects 0..15.
void BuildColorTable(const ProfileRecord& profile, std::uint8_t* out1008);

// The colours of colour group `group` by key of the key table (entry i is
// key i, as the keyboard view holds them), taken at each configured key's
// matrix index. Entries of no configured key, and every entry for a group
// outside 0..4, are 0.
std::array<Colour, kKeyCount> GroupColoursByKey(const ProfileRecord& profile, const LumeraConfig& config, int group);
// The reverse: each configured key's colour into the group at the key's
// matrix index. Entries of no configured key change nothing, so they never
// overwrite a real key's colour; a group outside 0..4 changes nothing.
void StoreGroupColoursByKey(ProfileRecord& profile, const LumeraConfig& config, int group,
                            const std::array<Colour, kKeyCount>& colours);

struct ColorFrame {
  std::uint8_t address = kColorFrameAddress;
  std::array<std::uint8_t, kColorFrameSize> bytes{};
};
// The per-key colour frames of the colour groups the keyboard holds
// ("GameModeNumHw"), addressed 0xAC, 0xB0, ... Key names in the log come
// from `texts` (the text keys themselves when none is given).
std::vector<ColorFrame> BuildColorFrames(const ProfileRecord& profile, const LumeraConfig& config,
                                         const TextLookup* texts = nullptr);

}  // namespace lumera
