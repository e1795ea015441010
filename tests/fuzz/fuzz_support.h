// What every fuzz target shares: a private scratch folder (with HOME and the
// XDG folders inside it, so no target touches the user's files), silenced
// debugger output and message boxes, no real pauses, and small readers of
// the fuzz input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fuzzsupport {

// Sets the process up once (safe to call on every input) and returns the
// scratch folder, which is removed when the process ends.
const std::string& scratch();
// A fresh, empty folder under the scratch folder (the same path every time).
std::string freshFolder(const std::string& name);
// Writes bytes to a file, creating its folder; false when it could not.
bool writeBytes(const std::string& path, std::string_view bytes);
// The shipped data folder of the source tree.
std::string dataDir();
// The whole content of a file ("" when missing).
std::string readBytes(const std::string& path);

// Aborts with a message: an invariant of the code under test did not hold.
[[noreturn]] void fail(const char* what);

// Consumes the fuzz input front to back.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool empty() const { return pos_ >= size_; }
  std::size_t left() const { return size_ - pos_; }
  std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  // Up to n bytes.
  std::string_view take(std::size_t n) {
    n = n < left() ? n : left();
    std::string_view out(reinterpret_cast<const char*>(data_ + pos_), n);
    pos_ += n;
    return out;
  }
  std::string_view rest() { return take(left()); }
  // The bytes up to the next `separator` (consumed), or the rest.
  std::string_view until(std::string_view separator);

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

}  // namespace fuzzsupport
