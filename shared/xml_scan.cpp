#include "shared/xml_scan.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/text.h"

namespace shared::detail {

namespace {

bool startsWith(std::u16string_view s, std::size_t pos, std::u16string_view prefix) {
  return s.size() - pos >= prefix.size() && s.compare(pos, prefix.size(), prefix) == 0;
}

// The position of the first unit in [from, s.size()) that is one of `Units`,
// or s.size(). The standard library's char16_t search goes one unit at a
// time; markup and text runs are long enough that comparing eight units at
// once pays (SSE2 is part of every x86-64).
template <char16_t... Units>
[[gnu::always_inline]] inline std::size_t findAny(std::u16string_view s, std::size_t from) {
  const char16_t* const begin = s.data();
  const char16_t* const end = begin + s.size();
  const char16_t* p = begin + from;
#if defined(__SSE2__)
  for (; end - p >= 8; p += 8) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i hits = (_mm_cmpeq_epi16(v, _mm_set1_epi16(static_cast<short>(Units))) | ...);
    if (const int mask = _mm_movemask_epi8(hits))
      return static_cast<std::size_t>(p - begin) + (static_cast<unsigned>(__builtin_ctz(mask)) >> 1);
  }
#endif
  for (; p != end; ++p)
    if (((*p == Units) || ...)) return static_cast<std::size_t>(p - begin);
  return s.size();
}

std::size_t findUnit(std::u16string_view s, std::size_t from, char16_t unit) {
  // The closers the scanner looks for: one instantiation each.
  switch (unit) {
    case u'>': return findAny<u'>'>(s, from);
    case u'-': return findAny<u'-'>(s, from);
    case u'?': return findAny<u'?'>(s, from);
    case u']': return findAny<u']'>(s, from);
    default: break;
  }
  const std::size_t at = s.find(unit, from);
  return at == std::u16string_view::npos ? s.size() : at;
}

void unterminated(XmlNode& n, std::size_t size, XmlNodeKind kind, const char* label) {
  n.kind = kind;
  n.end = size;
  n.terminated = false;
  n.label = label;
}

// A markup node that ends at the first `closer` from `from` on: the closer's
// first unit is searched for, the rest confirmed.
void closedBy(XmlNode& n, std::u16string_view s, std::size_t from, std::u16string_view closer,
              XmlNodeKind kind, const char* label) {
  for (std::size_t i = findUnit(s, from, closer[0]); i < s.size(); i = findUnit(s, i + 1, closer[0])) {
    if (s.size() - i >= closer.size() && s.compare(i, closer.size(), closer) == 0) {
      n.kind = kind;
      n.end = i + closer.size();
      return;
    }
  }
  unterminated(n, s.size(), kind, label);
}

// A document type declaration may carry an internal subset in brackets,
// whose declarations contain '>' of their own.
void doctype(XmlNode& n, std::u16string_view s) {
  std::size_t depth = 0;
  for (std::size_t i = n.start + 2; i < s.size(); ++i) {
    const char16_t c = s[i];
    if (c == u'[') {
      ++depth;
    } else if (c == u']') {
      if (depth) --depth;
    } else if (c == u'>' && depth == 0) {
      n.kind = XmlNodeKind::DocumentType;
      n.end = i + 1;
      return;
    }
  }
  unterminated(n, s.size(), XmlNodeKind::DocumentType, "Doctype");
}

void startTag(XmlNode& n, std::u16string_view s) {
  const std::size_t size = s.size();
  std::size_t i = n.start + 1;
  n.nameStart = i;
  while (i < size && !endsName(s[i])) ++i;
  n.nameEnd = i;
  // Quotes only delimit a value right after '=' (blanks between allowed); a
  // stray quote elsewhere does not swallow the rest of the document. `from`
  // is where the last quote or the name ended, so an '=' counts only when it
  // is the last thing but blanks in [from, quote).
  std::size_t from = i;
  while ((i = findAny<u'>', u'"', u'\''>(s, i)) < size) {
    const char16_t c = s[i];
    if (c == u'>') {
      n.kind = XmlNodeKind::Element;
      n.end = i + 1;
      n.emptyElement = s[i - 1] == u'/';
      return;
    }
    std::size_t j = i;
    while (j > from && isBlank(s[j - 1])) --j;
    if (j > from && s[j - 1] == u'=') {
      i = c == u'"' ? findAny<u'"'>(s, i + 1) : findAny<u'\''>(s, i + 1);
      if (i == size) break;
    }
    from = ++i;
  }
  unterminated(n, size, XmlNodeKind::Element, "Element tag");
}

void scan(XmlNode& n, std::u16string_view s, std::size_t pos) {
  n.start = pos;
  const std::size_t size = s.size();
  if (s[pos] != u'<') {
    // Blanks first (most text between tags is indentation), then, once
    // anything else came, straight on to the next '<'.
    std::size_t i = pos;
    while (i < size && isBlank(s[i])) ++i;
    const bool blank = i == size || s[i] == u'<';
    n.kind = blank ? XmlNodeKind::Whitespace : XmlNodeKind::Text;
    n.end = blank ? i : findAny<u'<'>(s, i);
    return;
  }
  if (pos + 1 >= size) return unterminated(n, size, XmlNodeKind::Text, "tag");
  const char16_t c = s[pos + 1];
  if (c == u'/') {
    std::size_t i = pos + 2;
    n.nameStart = i;
    while (i < size && !endsName(s[i])) ++i;
    n.nameEnd = i;
    if (i < size && s[i] == u'>') {  // the usual end tag: nothing after the name
      n.kind = XmlNodeKind::EndTag;
      n.end = i + 1;
      return;
    }
    return closedBy(n, s, i, u">", XmlNodeKind::EndTag, "Element end tag");
  }
  if (c == u'?') {
    std::size_t i = pos + 2;
    n.nameStart = i;
    while (i < size && !isBlank(s[i]) && s[i] != u'?' && s[i] != u'>') ++i;
    n.nameEnd = i;
    return closedBy(n, s, pos + 2, u"?>", XmlNodeKind::ProcessingInstruction, "Processing instruction");
  }
  if (c == u'!') {
    if (startsWith(s, pos + 2, u"--")) return closedBy(n, s, pos + 4, u"-->", XmlNodeKind::Comment, "Comment");
    if (startsWith(s, pos + 2, u"[CDATA["))
      return closedBy(n, s, pos + 9, u"]]>", XmlNodeKind::CData, "CDATA Section");
    if (startsWith(s, pos + 2, u"D")) return doctype(n, s);
    if (startsWith(s, pos + 2, u"-")) return closedBy(n, s, pos + 2, u">", XmlNodeKind::Comment, "comment tag");
    return closedBy(n, s, pos + 2, u">", XmlNodeKind::DocumentType, "! tag");
  }
  if (isNameStart(c)) return startTag(n, s);
  n.kind = XmlNodeKind::Text;
  n.end = pos + 1;
  n.badName = true;
}

}  // namespace

XmlNode scanNode(std::u16string_view s, std::size_t pos) {
  // Filled in place and returned by name, so the node is built once in the
  // caller's storage rather than copied out of the helpers.
  XmlNode n;
  scan(n, s, pos);
  return n;
}

bool findAttribute(std::u16string_view s, std::size_t from, std::size_t to, std::u16string_view name,
                   bool ignoreCase, std::size_t& valueStart, std::size_t& valueEnd) {
  if (to > s.size()) to = s.size();
  std::size_t i = from;
  while (i < to) {
    while (i < to && (isBlank(s[i]) || s[i] == u'/')) ++i;
    const std::size_t nameStart = i;
    while (i < to && !isBlank(s[i]) && s[i] != u'=' && s[i] != u'/' && s[i] != u'>') ++i;
    const std::u16string_view attrName = s.substr(nameStart, i - nameStart);
    while (i < to && isBlank(s[i])) ++i;
    std::size_t vs = i, ve = i;
    if (i < to && s[i] == u'=') {
      ++i;
      while (i < to && isBlank(s[i])) ++i;
      if (i < to && (s[i] == u'"' || s[i] == u'\'')) {
        const char16_t quote = s[i];
        vs = ++i;
        while (i < to && s[i] != quote) ++i;
        ve = i;
        if (i < to) ++i;
      } else {
        // Unquoted (HTML style): runs to a blank, or to the "/" of "/>".
        vs = i;
        while (i < to && !isBlank(s[i]) && s[i] != u'>' && !(s[i] == u'/' && (i + 1 == to || s[i + 1] == u'>'))) ++i;
        ve = i;
      }
    }
    if (!attrName.empty() &&
        (ignoreCase ? platform::equalsNoCase(attrName, name) : attrName == name)) {
      valueStart = vs;
      valueEnd = ve;
      return true;
    }
    if (i == nameStart) ++i;  // a character that starts nothing: step over it
  }
  return false;
}

}  // namespace shared::detail
