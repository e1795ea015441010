#include "shared/xml_reader.h"

#include <algorithm>
#include <limits>
#include <unordered_map>

#include "platform/text.h"
#include "shared/xml_scan.h"
#include "shared/xml_tables.h"

namespace shared {

using detail::XmlNode;
using detail::scanNode;

namespace {

std::u16string u16(const char* ascii) { return std::u16string(ascii, ascii + std::char_traits<char>::length(ascii)); }

std::u16string number(std::size_t n) { return u16(std::to_string(n).c_str()); }

// Name equality, lengths first: most names that differ differ in length.
bool sameName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  // Names are short: a plain loop beats a call to memcmp.
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) return false;
  return true;
}

int digitValue(char16_t c, bool hex) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (hex && c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (hex && c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// The code point a reference names (the text between '&' and ';').
bool resolveReference(std::u16string_view name, char32_t& cp) {
  if (name.empty()) return false;
  if (name[0] == u'#') {
    const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
    const std::size_t first = hex ? 2 : 1;
    if (first >= name.size()) return false;
    std::uint32_t value = 0;
    for (std::size_t i = first; i < name.size(); ++i) {
      const int d = digitValue(name[i], hex);
      if (d < 0) return false;
      value = value * (hex ? 16 : 10) + static_cast<std::uint32_t>(d);  // at most 8 digits: no overflow
    }
    // Nothing that would put a null or a lone surrogate into the text.
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
    cp = value;
    return true;
  }
  char lower[10];
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char16_t c = name[i];
    lower[i] = static_cast<char>((c >= u'A' && c <= u'Z') ? c + 32 : c);
  }
  return entityCodePoint(std::string_view(lower, name.size()), cp);
}

}  // namespace

std::u16string replaceReferences(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t amp = text.find(u'&', i);
    if (amp == std::u16string_view::npos) {
      out.append(text.substr(i));
      break;
    }
    out.append(text.substr(i, amp - i));
    // Up to nine ASCII characters before the ';'.
    const std::size_t stop = std::min(text.size(), amp + 11);
    std::size_t j = amp + 1;
    while (j < stop && text[j] != u';' && text[j] < 0x80) ++j;
    char32_t cp = 0;
    if (j < stop && text[j] == u';' && resolveReference(text.substr(amp + 1, j - amp - 1), cp)) {
      platform::appendUtf16(out, cp);
      i = j + 1;
    } else {
      out.push_back(u'&');
      i = amp + 1;
    }
  }
  return out;
}

XmlDocument::XmlDocument() { clearIndex(); }

void XmlDocument::clearIndex() {
  elements_.clear();
  elements_.emplace_back();
  Rewind();
}

void XmlDocument::addProblem(const std::u16string& problem) {
  if (problem_.empty()) problem_ = problem;
}

bool XmlDocument::ParseText(std::u16string text) {
  text_ = std::move(text);
  problem_.clear();
  clearIndex();
  const std::u16string_view s(text_);
  if (s.empty()) {
    problem_ = u"Empty document";
    result_ = problem_;
    return false;
  }
  if (s.size() >= std::numeric_limits<std::uint32_t>::max()) {
    problem_ = u"Document too large";
    result_ = problem_;
    return false;
  }
  elements_[0].length = static_cast<std::uint32_t>(s.size());

  // The programs' files hold about one element per 40 units of text, dense
  // data files one per 25 or so; the index grows from there in the vector's
  // usual blocks when a file has more.
  elements_.reserve(s.size() / 24 + 8);

  // Names of the open elements, counted; only built once an end tag has to
  // look further up than a few levels, so a well-formed document never pays
  // for it and a broken deep one stays linear.
  std::unordered_map<std::u16string_view, std::uint32_t> openNames;
  bool counting = false;
  std::uint32_t current = 0;  // the element being filled

  auto beginCounting = [&] {
    for (std::uint32_t e = current; e != 0; e = elements_[e].parent) ++openNames[NameOf(e)];
    counting = true;
  };
  auto closed = [&](std::uint32_t e) {
    if (!counting) return;
    const auto it = openNames.find(NameOf(e));
    if (it != openNames.end() && --it->second == 0) openNames.erase(it);
  };
  auto isOpen = [&](std::u16string_view name) {
    if (!counting) {
      std::uint32_t e = current;
      for (int steps = 0; e != 0 && steps < 32; ++steps, e = elements_[e].parent)
        if (sameName(NameOf(e), name)) return true;
      if (e == 0) return false;
      beginCounting();
    }
    return openNames.count(name) != 0;
  };
  auto notEnded = [&](std::uint32_t e, std::size_t end) {
    XmlElement& el = elements_[e];
    el.flags |= kXmlNotEnded;
    el.length = static_cast<std::uint32_t>(end - el.offset);
    if (!problemSet())
      addProblem(u"Element '" + std::u16string(NameOf(e)) + u"' at offset " + number(el.offset) + u" not ended");
    closed(e);
  };
  // The end tag [tagStart, tagEnd) ends the element being filled.
  auto endCurrent = [&](std::size_t tagStart, std::size_t tagEnd) {
    XmlElement& el = elements_[current];
    el.length = static_cast<std::uint32_t>(tagEnd - el.offset);
    el.endTagLength = static_cast<std::uint32_t>(tagEnd - tagStart);
    closed(current);
    current = el.parent;
  };

  std::size_t pos = 0;
  while (pos < s.size()) {
    // Most end tags close the element being filled: "</", its name, ">".
    // That is checked against the name the index already has, which is
    // what the scanner and the name comparison below would conclude (a name
    // never holds a blank, '/' or '>'), without their work.
    if (current != 0 && s[pos] == u'<' && s.size() - pos > 2 && s[pos + 1] == u'/') {
      const std::u16string_view name = NameOf(current);
      const std::size_t close = pos + 2 + name.size();
      if (close < s.size() && s[close] == u'>' && sameName(s.substr(pos + 2, name.size()), name)) {
        endCurrent(pos, close + 1);
        pos = close + 1;
        continue;
      }
    }
    const XmlNode node = scanNode(s, pos);
    if (node.badName) {
      if (!problemSet()) addProblem(u"Incorrect tag name character at offset " + number(pos + 1));
    } else if (!node.terminated) {
      if (!problemSet()) addProblem(u16(node.label) + u" unterminated at offset " + number(node.start));
    } else if (node.kind == XmlNodeKind::Element) {
      const auto index = static_cast<std::uint32_t>(elements_.size());
      // Filled in place: building the record aside and copying it in costs
      // a stalled reload of what was just stored, once per element.
      XmlElement& el = elements_.emplace_back();
      el.offset = static_cast<std::uint32_t>(node.start);
      el.startTagLength = static_cast<std::uint32_t>(node.end - node.start);
      el.nameLength = static_cast<std::uint32_t>(node.nameEnd - node.nameStart);
      el.parent = current;
      XmlElement& parent = elements_[current];
      if (parent.firstChild == 0) {
        parent.firstChild = index;
        el.prev = index;
      } else {
        XmlElement& first = elements_[parent.firstChild];
        el.prev = first.prev;
        elements_[first.prev].next = index;
        first.prev = index;
      }
      if (node.emptyElement) {
        el.length = el.startTagLength;
        el.flags = kXmlEmptyElement;
      } else {
        current = index;
        if (counting) ++openNames[NameOf(index)];
      }
    } else if (node.kind == XmlNodeKind::EndTag) {
      const std::u16string_view name = s.substr(node.nameStart, node.nameEnd - node.nameStart);
      bool matches = current != 0 && sameName(NameOf(current), name);
      if (current != 0 && !matches && isOpen(name)) {
        if (!problemSet())
          addProblem(u"End tag '" + std::u16string(name) + u"' at offset " + number(node.start) +
                     u" does not match start tag '" + std::u16string(NameOf(current)) + u"' at offset " +
                     number(elements_[current].offset));
        while (!sameName(NameOf(current), name)) {
          notEnded(current, node.start);
          current = elements_[current].parent;
        }
        matches = true;
      }
      if (matches) {
        endCurrent(node.start, node.end);
      } else if (!problemSet()) {
        addProblem(u"No start tag for end tag '" + std::u16string(name) + u"' at offset " + number(node.start));
      }
    }
    pos = node.end;
  }
  for (; current != 0; current = elements_[current].parent) notEnded(current, s.size());

  const XmlElement& doc = elements_[0];
  if (doc.firstChild == 0)
    addProblem(u"No root element");
  else if (elements_[doc.firstChild].next != 0)
    addProblem(u"Root element has sibling");
  result_ = problem_;
  return problem_.empty();
}

bool XmlDocument::LoadFile(const std::string& path) {
  std::u16string text;
  std::string description;
  if (!ReadFileAsText(path, text, description)) {
    text_.clear();
    clearIndex();
    problem_.clear();
    result_ = platform::toUtf16(description);
    return false;
  }
  const bool wellFormed = ParseText(std::move(text));
  result_ = platform::toUtf16(description) + problem_;
  return wellFormed;
}

std::string XmlDocument::ResultTextUtf8() const { return platform::toUtf8(result_); }

// --- Walking ------------------------------------------------------------

void XmlDocument::Rewind() {
  parent_ = main_ = child_ = 0;
  nodeKind_ = XmlNodeKind::None;
  nodeOffset_ = nodeLength_ = 0;
}

void XmlDocument::setNode(std::uint32_t element) {
  nodeKind_ = XmlNodeKind::Element;
  nodeOffset_ = elements_[element].offset;
  nodeLength_ = elements_[element].length;
}

std::uint32_t XmlDocument::findSibling(std::uint32_t parent, std::uint32_t after, std::u16string_view name) const {
  std::uint32_t e = after ? elements_[after].next : elements_[parent].firstChild;
  for (; e != 0; e = elements_[e].next)
    if (name.empty() || sameName(NameOf(e), name)) return e;
  return 0;
}

bool XmlDocument::FindElement(std::u16string_view name) {
  const std::uint32_t e = findSibling(parent_, main_, name);
  if (e == 0) return false;
  main_ = e;
  child_ = 0;
  setNode(e);
  return true;
}

bool XmlDocument::FindElement(std::string_view name) { return FindElement(platform::toUtf16(name)); }

bool XmlDocument::FindChildElement(std::u16string_view name) {
  if (main_ == 0 && !FindElement()) return false;
  const std::uint32_t e = findSibling(main_, child_, name);
  if (e == 0) return false;
  child_ = e;
  setNode(e);
  return true;
}

bool XmlDocument::FindChildElement(std::string_view name) { return FindChildElement(platform::toUtf16(name)); }

bool XmlDocument::EnterElement() {
  if (main_ == 0) return false;
  parent_ = main_;
  main_ = child_;
  child_ = 0;
  return true;
}

std::string XmlDocument::ElementDataUtf8() const { return platform::toUtf8(ElementData()); }
std::string XmlDocument::ChildElementDataUtf8() const { return platform::toUtf8(ChildElementData()); }

bool XmlDocument::ElementAttribute(std::string_view name, std::u16string& value) const {
  return AttributeOf(main_, platform::toUtf16(name), value);
}

bool XmlDocument::ChildElementAttribute(std::string_view name, std::u16string& value) const {
  return AttributeOf(child_, platform::toUtf16(name), value);
}

// --- The index ------------------------------------------------------------


std::u16string XmlDocument::DataOf(std::uint32_t element) const {
  if (element == 0 || element >= elements_.size()) return {};
  const XmlElement& e = elements_[element];
  if (e.flags & kXmlEmptyElement) return {};
  const std::u16string_view s(text_);
  const std::size_t contentStart = e.offset + e.startTagLength;
  const std::size_t contentEnd = e.offset + e.length - e.endTagLength;
  if (contentEnd <= contentStart) return {};
  const std::u16string_view content = s.substr(contentStart, contentEnd - contentStart);
  if (content.find(u'<') == std::u16string_view::npos) return replaceReferences(content);

  // Mixed content: text nodes and CDATA sections between the children, in
  // order; the children themselves, comments and the like are left out.
  std::u16string out;
  std::size_t pos = contentStart;
  std::uint32_t child = e.firstChild;
  while (pos < contentEnd) {
    const std::size_t limit = child ? std::max<std::size_t>(elements_[child].offset, pos) : contentEnd;
    const std::u16string_view gap = s.substr(0, limit);
    while (pos < limit) {
      const XmlNode node = scanNode(gap, pos);
      if (node.kind == XmlNodeKind::Text) {
        out += replaceReferences(gap.substr(node.start, node.end - node.start));
      } else if (node.kind == XmlNodeKind::CData) {
        const std::size_t from = node.start + 9, to = node.terminated ? node.end - 3 : node.end;
        if (to > from) out.append(gap.substr(from, to - from));
      }
      pos = node.end;
    }
    if (child == 0) break;
    pos = elements_[child].offset + elements_[child].length;
    child = elements_[child].next;
  }
  return out;
}

bool XmlDocument::AttributeOf(std::uint32_t element, std::u16string_view name, std::u16string& value,
                              bool ignoreCase) const {
  if (element == 0 || element >= elements_.size()) return false;
  const XmlElement& e = elements_[element];
  const std::size_t from = e.offset + 1 + NameOf(element).size();
  const std::size_t to = e.offset + e.startTagLength - 1;  // before the '>'
  std::size_t vs = 0, ve = 0;
  if (!detail::findAttribute(text_, from, to, name, ignoreCase, vs, ve)) return false;
  value = replaceReferences(std::u16string_view(text_).substr(vs, ve - vs));
  return true;
}

std::uint32_t XmlDocument::ChildNamed(std::uint32_t element, std::u16string_view name) const {
  if (element >= elements_.size()) return 0;
  return findSibling(element, 0, name);
}

}  // namespace shared
