// Text conversion between UTF-8, UTF-16 and Windows code pages.
//
// The programs keep UTF-16 inside their records and files, read text files in
// whatever code page they declare, and talk to Linux in UTF-8. Code pages are
// named by their Windows numbers (1252, 932, 65001, ...) because that is how
// the files and records name them; glibc's iconv does the actual work.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// UTF-8 -> UTF-16. Invalid sequences become U+FFFD, never an error.
std::u16string toUtf16(std::string_view utf8);
// UTF-16 -> UTF-8. Unpaired surrogates become U+FFFD.
std::string toUtf8(std::u16string_view utf16);

// Appends one code point (up to U+10FFFF) as one or two UTF-16 units.
void appendUtf16(std::u16string& out, char32_t codePoint);

// True when the bytes are well-formed UTF-8 (no overlongs, no surrogates,
// nothing above U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// The code page used for 8-bit text that declares no encoding.
constexpr unsigned kAnsiCodePage = 1252;
constexpr unsigned kCodePageUtf8 = 65001;
constexpr unsigned kCodePageUtf16LE = 1200;
constexpr unsigned kCodePageUtf16BE = 1201;

// iconv's name for a Windows code page number, or empty when there is none.
std::string codePageName(unsigned codePage);

// Bytes in the given code page -> UTF-16. Returns false (and leaves a best
// effort result) when the code page is unknown or the input is malformed;
// bytes that cannot be converted become U+FFFD.
bool codePageToUtf16(std::string_view bytes, unsigned codePage, std::u16string& out);
// UTF-16 -> bytes in the given code page; characters the code page lacks
// become '?'. Returns false when the code page is unknown.
bool utf16ToCodePage(std::u16string_view text, unsigned codePage, std::string& out);

// Case folding for the ASCII range, the way the Windows APIs compare names
// of files, registry keys and INI entries.
char16_t asciiLower(char16_t c);
bool equalsNoCase(std::u16string_view a, std::u16string_view b);
bool equalsNoCase(std::string_view a, std::string_view b);
std::string toLowerAscii(std::string_view s);

// Length of a zero-terminated UTF-16 string inside a fixed-size buffer.
std::size_t boundedLength(const char16_t* s, std::size_t capacity);

}  // namespace platform
