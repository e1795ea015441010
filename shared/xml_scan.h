// Node scanner shared by the indexer, the character-data reader and the
// encoding sniffer, so that all three cut the text at the same places.
// Internal to the XML reader.
#pragma once

#include <cstddef>
#include <string_view>

#include "shared/xml_reader.h"

namespace shared::detail {

inline bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

// Letters, '_' and ':' start a tag name; so does anything outside ASCII,
// which keeps names in other scripts working.
inline bool isNameStart(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u':' || c >= 0x80;
}

inline bool endsName(char16_t c) { return isBlank(c) || c == u'/' || c == u'>'; }

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
