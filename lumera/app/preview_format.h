// The byte layout of the preview descriptor blocks, shared by the lighting
// page, which builds them, and the previews, which read them.
//
// A block is a run of little-endian 32-bit words. The first three are the
// block's size in bytes, the preview kind and the step interval in
// milliseconds. What follows, per kind (lists are a count, then that many
// entries; a group is a key count, then that many key codes):
//
//   1  static     colour, colourful, factor
//   2  spectrum   count, steps, position, factor, 6 colours
//   3  breathing  count, direction (0 fading), minimum alpha, maximum alpha,
//                 current colour, factor, random, 6 colours
//   5  snake      head, colour, factor, random, path of key codes
//   7, 13, 17     count, hold ms, fade ms, steps, colours[count],
//      waves      group count, then per group: its time position, a group
//   12 frames     index, restart index, factor, random, frame count, then
//                 per frame: pair count, then (key code, colour) pairs
//   14 ripple     index, colours (a list), group count, groups
//   15 rain       colour, factor, random, column count, then per column:
//                 its head (-1 idle), a group (top to bottom)
//   16 twinkle    factor, 132 last colours
//   23 rainbow    colourful, alpha, colour, group count, then per group: its
//                 colour, a group
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumera::preview {

enum Kind : std::uint32_t {
  kNone = 0,
  kStatic = 1,
  kSpectrum = 2,
  kBreathing = 3,
  kSnake = 5,
  kColumnWave = 7,
  kFrames = 12,
  kRingWave = 13,
  kRipple = 14,
  kRain = 15,
  kTwinkle = 16,
  kRowWave = 17,
  kRainbow = 23,
};

constexpr std::size_t kHeaderBytes = 12;
constexpr std::size_t kFixedColours = 6;  // colour slots of the spectrum and breathing blocks
// The longest interval a block may ask for; anything longer is taken as a
// damaged block and runs no timer.
constexpr std::uint32_t kMaxIntervalMs = 60000;

class Writer {
 public:
  Writer(std::uint32_t kind, std::uint32_t intervalMs) {
    word(0);
    word(kind);
    word(intervalMs);
  }
  void word(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void signedWord(std::int32_t v) { word(static_cast<std::uint32_t>(v)); }
  // The block with its size filled in.
  std::vector<std::uint8_t> finish() {
    const auto n = static_cast<std::uint32_t>(bytes_.size());
    for (int i = 0; i < 4; ++i) bytes_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(n >> (8 * i));
    return bytes_;
  }

 private:
  std::vector<std::uint8_t> bytes_;
};

// Reads words from a block; a read past the end gives 0 and marks the
// reader as failed, so a parser can read a whole layout and check once.
class Reader {
 public:
  // The block's own size field limits it when it is shorter than the bytes.
  explicit Reader(const std::vector<std::uint8_t>& block) : block_(block), end_(block.size()) {
    const std::uint32_t size = peek(0);
    if (size >= kHeaderBytes && size < end_) end_ = size;
    at_ = kHeaderBytes;
    ok_ = block.size() >= kHeaderBytes;
  }
  std::uint32_t kind() const { return peek(4); }
  std::uint32_t interval() const { return peek(8); }
  std::uint32_t word() {
    if (at_ + 4 > end_) {
      ok_ = false;
      return 0;
    }
    const std::uint32_t v = peek(at_);
    at_ += 4;
    return v;
  }
  std::int32_t signedWord() { return static_cast<std::int32_t>(word()); }
  // A count that cannot exceed the words left (each entry takes at least
  // `wordsPerEntry` words): a damaged count fails here instead of making a
  // parser loop for billions of entries.
  std::uint32_t count(std::size_t wordsPerEntry = 1) {
    const std::uint32_t n = word();
    const std::size_t left = at_ <= end_ ? (end_ - at_) / 4 : 0;
    if (wordsPerEntry > 0 && n > left / wordsPerEntry) {
      ok_ = false;
      return 0;
    }
    return n;
  }
  bool ok() const { return ok_; }

 private:
  std::uint32_t peek(std::size_t at) const {
    if (at + 4 > block_.size()) return 0;
    return std::uint32_t(block_[at]) | std::uint32_t(block_[at + 1]) << 8 | std::uint32_t(block_[at + 2]) << 16 |
           std::uint32_t(block_[at + 3]) << 24;
  }
  const std::vector<std::uint8_t>& block_;
  std::size_t end_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

}  // namespace lumera::preview
