// Little-endian reads and writes for the byte images of the settings files.
// The records are serialised field by field through these, never by copying
// a struct, so the file layouts do not depend on the compiler.
#pragma once

#include <cstddef>
#include <cstdint>

namespace q350 {

inline std::uint32_t getLe32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

inline void putLe32(unsigned char* p, std::uint32_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
  p[2] = static_cast<unsigned char>(v >> 16);
  p[3] = static_cast<unsigned char>(v >> 24);
}

inline char16_t getLe16(const unsigned char* p) {
  return static_cast<char16_t>(p[0] | p[1] << 8);
}

inline void putLe16(unsigned char* p, char16_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
}

// Fixed arrays of 32-bit values and of UTF-16 code units.
template <typename Array>
void getLe32Array(const unsigned char* p, Array& out) {
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = getLe32(p + 4 * i);
}
template <typename Array>
void putLe32Array(unsigned char* p, const Array& in) {
  for (std::size_t i = 0; i < in.size(); ++i) putLe32(p + 4 * i, in[i]);
}
template <typename Array>
void getLe16Array(const unsigned char* p, Array& out) {
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = getLe16(p + 2 * i);
}
template <typename Array>
void putLe16Array(unsigned char* p, const Array& in) {
  for (std::size_t i = 0; i < in.size(); ++i) putLe16(p + 2 * i, in[i]);
}

}  // namespace q350
