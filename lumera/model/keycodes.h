// What a key function means to the keyboard and to the user: its 32-bit
// hardware code (keyinfo_to_hardware_code), its display name
// (KeyFunctionName) and the names and HID usages of virtual-key codes.
#pragma once

#include <cstdint>
#include <string>

#include "lumera/model/macro.h"
#include "lumera/model/records.h"
#include "lumera/model/services.h"

namespace lumera {

class LumeraConfig;

// Function types, bits 24..31 of dwFunID.
enum FunctionType : std::uint32_t {
  kTypeMouse = 1,
  kTypeKey = 2,
  kTypeMedia = 3,
  kTypeMedia2 = 4,  // media functions under their second type number
  kTypeMacro = 5,
  kTypeSpecial = 8,
  kTypeRaw = 9,
};

// Special ids with a rule of their own.
constexpr std::uint32_t kIdFire = 164;
// The Fn key itself: a key function with mask 0 and this code.
constexpr std::uint8_t kVkFn = 0xFA;
// The programs' own virtual-key code for the keypad Enter key.
constexpr std::uint8_t kVkKeypadEnter = 0xFD;

// The answer of keyinfo_to_hardware_code for a function without a code.
constexpr std::int64_t kNoHardwareCode = -1;

// HID keyboard usage of a virtual-key code; 0 when the code has none.
std::uint8_t usageOfKey(std::uint32_t virtualKey);

// The 32-bit code the keyboard stores for a function, or kNoHardwareCode.
// Macro functions get the code of their repeat mode with buffer byte 0
// (FillMatrix fills the buffer number in); the custom codes come from the
// "CustomCd" option of `config`.
std::int64_t keyinfo_to_hardware_code(const KeyFunction& function, const MacroList& macros,
                                      const LumeraConfig& config);

// The name of a virtual key: the fixed names, the texts of the mouse codes,
// else the character the key produces (upper-cased).
std::u16string KeyName(std::uint32_t virtualKey, const TextLookup& texts,
                       const KeyCharSource& chars = usKeyChars());

// The display name of a key function, for the key picker, the main window
// and the logs.
std::u16string KeyFunctionName(const KeyFunction& function, const MacroList& macros, const TextLookup& texts,
                               const KeyCharSource& chars = usKeyChars());

}  // namespace lumera
