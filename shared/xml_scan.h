// Node scanner shared by the indexer, the character-data reader and the
// encoding sniffer, so that all three cut the text at the same places.
// Internal to the XML reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "shared/xml_reader.h"

namespace shared::detail {

// The scanner's character tests run once per unit of text, so each is a
// single bit test in a mask of the units below 64.
constexpr std::uint64_t unitMask(std::initializer_list<char16_t> units) {
  std::uint64_t mask = 0;
  for (const char16_t c : units) mask |= std::uint64_t{1} << c;
  return mask;
}
constexpr std::uint64_t kBlanks = unitMask({u' ', u'\t', u'\r', u'\n'});
constexpr std::uint64_t kNameEnds = kBlanks | unitMask({u'/', u'>'});

inline bool isBlank(char16_t c) { return c < 64 && ((kBlanks >> c) & 1); }

// Letters, '_' and ':' start a tag name; so does anything outside ASCII,
// which keeps names in other scripts working.
inline bool isNameStart(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u':' || c >= 0x80;
}

inline bool endsName(char16_t c) { return c < 64 && ((kNameEnds >> c) & 1); }

struct XmlNode {
  XmlNodeKind kind = XmlNodeKind::None;
  std::size_t start = 0, end = 0;          // the node is [start, end)
  std::size_t nameStart = 0, nameEnd = 0;  // tag name or instruction target
  bool emptyElement = false;               // start tag ended with "/>"
  bool terminated = true;                  // false: ran into the end of the text
  bool badName = false;                    // '<' that opens nothing; read as text
  const char* label = nullptr;             // name of an unterminated node
};

// Scans the node that starts at `pos` (< s.size()). Never reads past the end
// of `s`; a node without its closing runs to the end and is marked.
XmlNode scanNode(std::u16string_view s, std::size_t pos);

// Looks for attribute `name` in [from, to) of a tag. Values may be quoted
// with either quote or, leniently, unquoted. On success [valueStart,
// valueEnd) is the raw value.
bool findAttribute(std::u16string_view s, std::size_t from, std::size_t to, std::u16string_view name,
                   bool ignoreCase, std::size_t& valueStart, std::size_t& valueEnd);

}  // namespace shared::detail
