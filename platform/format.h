// printf-style formatting of the programs' format strings.
//
// The programs write their messages and log records with Windows wide printf
// conventions: "%s" takes a string, "%d" a 32-bit int, "%x"/"%08X" the
// 32-bit unsigned image of whatever integer was passed, "%I64d"/"%lld" 64-bit
// values. These helpers follow those rules but are type-safe: every argument
// is captured with its type, so a wrong specifier can never read garbage.
// Widths and precisions count UTF-16 code units, as the wide functions do.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

namespace platform {

class FormatArg {
 public:
  enum class Kind { Signed, Unsigned, Float, Utf8, Utf16, Pointer };

  template <typename T, typename std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool> &&
                                                      !std::is_same_v<T, char16_t>,
                                                  int> = 0>
  FormatArg(T v)  // NOLINT(google-explicit-constructor)
      : kind_(std::is_signed_v<T> ? Kind::Signed : Kind::Unsigned), size_(sizeof(T)) {
    if constexpr (std::is_signed_v<T>)
      i_ = static_cast<std::int64_t>(v);
    else
      u_ = static_cast<std::uint64_t>(v);
  }
  FormatArg(bool v) : kind_(Kind::Signed), size_(4), i_(v ? 1 : 0) {}          // NOLINT
  FormatArg(char16_t v) : kind_(Kind::Unsigned), size_(2), u_(v) {}            // NOLINT
  FormatArg(double v) : kind_(Kind::Float), d_(v) {}                           // NOLINT
  FormatArg(const char* s) : kind_(Kind::Utf8), s8_(s ? s : "(null)") {}       // NOLINT
  FormatArg(const std::string& s) : kind_(Kind::Utf8), s8_(s) {}               // NOLINT
  FormatArg(std::string_view s) : kind_(Kind::Utf8), s8_(s) {}                 // NOLINT
  FormatArg(const char16_t* s) : kind_(Kind::Utf16), s16_(s ? s : u"(null)") {}  // NOLINT
  FormatArg(const std::u16string& s) : kind_(Kind::Utf16), s16_(s) {}          // NOLINT
  FormatArg(std::u16string_view s) : kind_(Kind::Utf16), s16_(s) {}            // NOLINT
  FormatArg(const void* p)                                                      // NOLINT
      : kind_(Kind::Pointer), size_(sizeof(void*)), u_(reinterpret_cast<std::uintptr_t>(p)) {}

  Kind kind() const { return kind_; }
  int size() const { return size_; }
  std::int64_t asSigned() const { return kind_ == Kind::Signed ? i_ : static_cast<std::int64_t>(u_); }
  std::uint64_t asUnsigned() const { return kind_ == Kind::Signed ? static_cast<std::uint64_t>(i_) : u_; }
  double asDouble() const {
    return kind_ == Kind::Float ? d_ : kind_ == Kind::Signed ? static_cast<double>(i_) : static_cast<double>(u_);
  }
  std::u16string asText() const;

 private:
  Kind kind_;
  int size_ = 8;
  std::int64_t i_ = 0;
  std::uint64_t u_ = 0;
  double d_ = 0;
  std::string_view s8_;
  std::u16string_view s16_;
};

// Formats into UTF-16. Missing arguments format as empty/zero; surplus
// arguments are ignored; an unknown conversion is copied as it stands.
std::u16string vformatU16(std::u16string_view fmt, std::initializer_list<FormatArg> args);

template <typename... A>
std::u16string formatU16(std::u16string_view fmt, const A&... a) {
  return vformatU16(fmt, {FormatArg(a)...});
}

// Formats into UTF-8.
std::string vformat(std::string_view fmt, std::initializer_list<FormatArg> args);

template <typename... A>
std::string format(std::string_view fmt, const A&... a) {
  return vformat(fmt, {FormatArg(a)...});
}

std::u16string vformatU16(std::string_view fmt, std::initializer_list<FormatArg> args);

template <typename... A>
std::u16string formatU16(std::string_view fmt, const A&... a) {
  return vformatU16(fmt, {FormatArg(a)...});
}

}  // namespace platform
