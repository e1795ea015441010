// FillMatrix: a profile's keys, Fn layer and gesture keys as the keyboard's
// key matrix, and the macros they use as hardware macro buffers.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "lumera/model/config.h"
#include "lumera/model/macro.h"
#include "lumera/model/profile.h"

namespace lumera {

constexpr std::size_t kMatrixCodes = 256;         // 1024 bytes
constexpr std::size_t kFnSingleBase = kKeyCount;  // 48 Fn single codes from here
constexpr std::size_t kFnComboBase = kKeyCount + kFnEntries;
constexpr std::size_t kMatrixPayloadSize = kMatrixCodes * 4;

struct KeyMatrix {
  // Positions 0..131, the Fn single codes, the Fn combo codes, then zeros.
  std::array<std::uint32_t, kMatrixCodes> codes{};
  // nMacroBufferNum buffers of nMacroBufferSize bytes; the first
  // `macroCount` are filled, in the order the keys met their macros.
  std::vector<std::uint8_t> macroBuffers;
  int macroCount = 0;

  // The payload of SetKeyMatrix: every code most significant byte first.
  std::array<std::uint8_t, kMatrixPayloadSize> payload() const;
};

// Encodes `profile` against the key layout of `config` and the macros of
// `macros` (the caller's consistent copy; it is not changed). Invalid codes
// are shown as a warning; the rest goes to the log. Always true.
bool FillMatrix(const ProfileRecord& profile, const MacroList& macros, const LumeraConfig& config, KeyMatrix& out);

}  // namespace lumera
