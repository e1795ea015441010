// Little-endian field access for the byte images the program stores on disk
// and sends to the keyboard. Records are never copied to or from memory as
// structs; every field goes through these helpers at the boundary.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumera {

inline void putU8(std::uint8_t* p, std::uint8_t v) { p[0] = v; }
inline void putU16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void putU32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void putI32(std::uint8_t* p, std::int32_t v) { putU32(p, static_cast<std::uint32_t>(v)); }

inline std::uint16_t getU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t getU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::int32_t getI32(const std::uint8_t* p) { return static_cast<std::int32_t>(getU32(p)); }

// Most significant byte first, the order the keyboard takes its key codes in.
inline void putU32BE(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

// UTF-16 text in a fixed number of code units, zero-filled.
inline void putText16(std::uint8_t* p, const char16_t* text, std::size_t units) {
  for (std::size_t i = 0; i < units; ++i) putU16(p + 2 * i, static_cast<std::uint16_t>(text[i]));
}
inline void getText16(const std::uint8_t* p, char16_t* text, std::size_t units) {
  for (std::size_t i = 0; i < units; ++i) text[i] = static_cast<char16_t>(getU16(p + 2 * i));
}

}  // namespace lumera
