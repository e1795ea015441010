#include "shared/xml_scan.h"

#include "platform/text.h"

namespace shared::detail {

namespace {

constexpr std::size_t npos = std::u16string_view::npos;

bool startsWith(std::u16string_view s, std::size_t pos, std::u16string_view prefix) {
  return s.size() - pos >= prefix.size() && s.compare(pos, prefix.size(), prefix) == 0;
}

XmlNode& unterminated(XmlNode& n, std::size_t size, XmlNodeKind kind, const char* label) {
  n.kind = kind;
  n.end = size;
  n.terminated = false;
  n.label = label;
  return n;
}

// A markup node that ends at the first `closer` from `from` on.
XmlNode& closedBy(XmlNode& n, std::u16string_view s, std::size_t from, std::u16string_view closer,
                  XmlNodeKind kind, const char* label) {
  // Look for the closer's first unit with the single-unit search, which is
  // much cheaper than the general substring search, and confirm the rest.
  std::size_t at = npos;
  for (std::size_t i = from; i < s.size(); ++i) {
    i = s.find(closer[0], i);
    if (i == npos) break;
    if (s.size() - i >= closer.size() && s.compare(i, closer.size(), closer) == 0) {
      at = i;
      break;
    }
  }
  if (at == npos) return unterminated(n, s.size(), kind, label);
  n.kind = kind;
  n.end = at + closer.size();
  return n;
}

// A document type declaration may carry an internal subset in brackets,
// whose declarations contain '>' of their own.
XmlNode& doctype(XmlNode& n, std::u16string_view s) {
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
      return n;
    }
  }
  return unterminated(n, s.size(), XmlNodeKind::DocumentType, "Doctype");
}

XmlNode& startTag(XmlNode& n, std::u16string_view s) {
  const std::size_t size = s.size();
  std::size_t i = n.start + 1;
  n.nameStart = i;
  while (i < size && !endsName(s[i])) ++i;
  n.nameEnd = i;
  // Quotes only delimit a value right after '='; a stray quote elsewhere
  // does not swallow the rest of the document.
  bool afterEquals = false;
  for (; i < size; ++i) {
    const char16_t c = s[i];
    if (c == u'>') {
      n.kind = XmlNodeKind::Element;
      n.end = i + 1;
      n.emptyElement = s[i - 1] == u'/';
      return n;
    }
    if (c == u'=') {
      afterEquals = true;
    } else if ((c == u'"' || c == u'\'') && afterEquals) {
      const std::size_t close = s.find(c, i + 1);
      if (close == npos) break;
      i = close;
      afterEquals = false;
    } else if (!isBlank(c)) {
      afterEquals = false;
    }
  }
  return unterminated(n, size, XmlNodeKind::Element, "Element tag");
}

}  // namespace

XmlNode scanNode(std::u16string_view s, std::size_t pos) {
  XmlNode n;
  n.start = pos;
  const std::size_t size = s.size();
  if (s[pos] != u'<') {
    // One pass to the next '<', noting whether anything but blanks came.
    const char16_t* p = s.data() + pos;
    const char16_t* const stop = s.data() + size;
    bool blank = true;
    for (; p != stop && *p != u'<'; ++p) blank = blank && isBlank(*p);
    n.kind = blank ? XmlNodeKind::Whitespace : XmlNodeKind::Text;
    n.end = static_cast<std::size_t>(p - s.data());
    return n;
  }
  if (pos + 1 >= size) return unterminated(n, size, XmlNodeKind::Text, "tag");
  const char16_t c = s[pos + 1];
  if (c == u'/') {
    std::size_t i = pos + 2;
    n.nameStart = i;
    while (i < size && !endsName(s[i])) ++i;
    n.nameEnd = i;
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
    if (startsWith(s, pos + 2, u"--"))
      return closedBy(n, s, pos + 4, u"-->", XmlNodeKind::Comment, "Comment");
    if (startsWith(s, pos + 2, u"[CDATA["))
      return closedBy(n, s, pos + 9, u"]]>", XmlNodeKind::CData, "CDATA Section");
    if (startsWith(s, pos + 2, u"D")) return doctype(n, s);
    if (startsWith(s, pos + 2, u"-"))
      return closedBy(n, s, pos + 2, u">", XmlNodeKind::Comment, "comment tag");
    return closedBy(n, s, pos + 2, u">", XmlNodeKind::DocumentType, "! tag");
  }
  if (isNameStart(c)) return startTag(n, s);
  n.kind = XmlNodeKind::Text;
  n.end = pos + 1;
  n.badName = true;
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
