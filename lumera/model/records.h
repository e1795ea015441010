// The key records every part of Lumera passes around: KeyFunction (what a
// key does) and KeyInfo (a key with its base function, its Fn-layer entry
// and its Fn function). Their byte images are part of the profile file, so
// they are serialised field by field, never copied as structs.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace lumera {

// Modifier mask bits of a key combination.
enum ModifierBit : std::uint8_t {
  kModLCtrl = 0x01,
  kModLShift = 0x02,
  kModLAlt = 0x04,
  kModLWin = 0x08,
  kModRCtrl = 0x10,
  kModRShift = 0x20,
  kModRAlt = 0x40,
  kModRWin = 0x80,
};

struct KeyCombo {
  std::uint8_t mask = 0;       // ModifierBit set
  std::uint8_t VkCode1 = 0;    // the key's virtual-key code
  std::uint8_t VkCode2 = 0;    // a second code, shown in names only
  std::uint8_t canonical = 0;  // the modifier key code of a single-modifier key
};

struct KeyFunction {
  std::uint32_t dwFunID = 0;            // type in bits 24..31, id or code below
  std::array<std::int32_t, 4> rcKey{};  // x, y, w, h on the keyboard picture
  std::int32_t dwMatrixInx = 0;         // key matrix position (LED index in the LED layout)
  std::int32_t nMacroId = 0;            // macro of a type-5 function
  KeyCombo stCombo;
  std::uint32_t dwParam = 0;            // raw code (type 9), fire parameters (type 8 id 164)

  std::uint32_t type() const { return dwFunID >> 24; }
  std::uint32_t id() const { return dwFunID & 0xFFFFFFu; }
  bool operator==(const KeyFunction& o) const;
  bool operator!=(const KeyFunction& o) const { return !(*this == o); }
};

struct KeyInfo {
  KeyFunction funA;          // base function
  std::int32_t nFnIndex = -1;  // entry in the Fn matrix, -1 for none
  KeyFunction funB;          // function while Fn is held (with nFnIndex >= 0)

  bool operator==(const KeyInfo& o) const { return funA == o.funA && nFnIndex == o.nFnIndex && funB == o.funB; }
  bool operator!=(const KeyInfo& o) const { return !(*this == o); }
};

constexpr std::size_t kKeyFunctionSize = 4 + 4 * 4 + 4 + 4 + 4 + 4;
constexpr std::size_t kKeyInfoSize = kKeyFunctionSize + 4 + kKeyFunctionSize;
static_assert(kKeyFunctionSize == 36, "KeyFunction image is 36 bytes");
static_assert(kKeyInfoSize == 76, "KeyInfo image is 76 bytes");

void writeKeyFunction(std::uint8_t* out, const KeyFunction& f);
KeyFunction readKeyFunction(const std::uint8_t* in);
void writeKeyInfo(std::uint8_t* out, const KeyInfo& k);
KeyInfo readKeyInfo(const std::uint8_t* in);

// The modifier bit of a modifier key code and the code that stands for it
// in a single-modifier key ("canonical"): 0xA0 (left Shift) -> 0x02, 0x10.
// False for codes that are not modifier keys.
struct ModifierKey {
  std::uint8_t bit;
  std::uint8_t canonical;
};
bool modifierOfKey(std::uint32_t code, ModifierKey& out);

}  // namespace lumera
