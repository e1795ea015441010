// Reading a document file into UTF-16 text: byte-order marks, declared
// encodings (XML declaration, HTML meta elements), UTF-8 detection.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "platform/format.h"
#include "platform/text.h"
#include "shared/xml_reader.h"
#include "shared/xml_scan.h"
#include "shared/xml_tables.h"

namespace shared {

namespace {

constexpr std::size_t kSniffBytes = 1024;

std::u16string_view trimmed(std::u16string_view v) {
  while (!v.empty() && detail::isBlank(v.front())) v.remove_prefix(1);
  while (!v.empty() && detail::isBlank(v.back())) v.remove_suffix(1);
  return v;
}

std::size_t findNoCase(std::u16string_view haystack, std::u16string_view needle) {
  if (needle.size() > haystack.size()) return std::u16string_view::npos;
  for (std::size_t i = 0; i + needle.size() <= haystack.size(); ++i)
    if (platform::equalsNoCase(haystack.substr(i, needle.size()), needle)) return i;
  return std::u16string_view::npos;
}

// "text/html; charset=windows-1252" -> "windows-1252".
std::u16string_view charsetOfContentType(std::u16string_view content) {
  const std::size_t at = findNoCase(content, u"charset");
  if (at == std::u16string_view::npos) return {};
  std::size_t i = at + 7;
  while (i < content.size() && detail::isBlank(content[i])) ++i;
  if (i >= content.size() || content[i] != u'=') return {};
  ++i;
  while (i < content.size() && (detail::isBlank(content[i]) || content[i] == u'"' || content[i] == u'\'')) ++i;
  const std::size_t start = i;
  while (i < content.size() && !detail::isBlank(content[i]) && content[i] != u';' && content[i] != u'"' &&
         content[i] != u'\'')
    ++i;
  return content.substr(start, i - start);
}

// The encoding an "xml" declaration names, looking at the nodes before the
// first element.
std::u16string xmlDeclaredEncoding(std::u16string_view text) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    const detail::XmlNode node = detail::scanNode(text, pos);
    if (!node.terminated || node.kind == XmlNodeKind::Element) break;
    if (node.kind == XmlNodeKind::ProcessingInstruction &&
        platform::equalsNoCase(text.substr(node.nameStart, node.nameEnd - node.nameStart), std::u16string_view(u"xml"))) {
      std::size_t vs = 0, ve = 0;
      if (detail::findAttribute(text, node.nameEnd, node.end - 2, u"encoding", true, vs, ve))
        return std::u16string(trimmed(text.substr(vs, ve - vs)));
      return {};
    }
    pos = node.end;
  }
  return {};
}

// The encoding an HTML document names in a "meta" element of its "head".
std::u16string htmlDeclaredEncoding(const std::u16string& text) {
  XmlDocument doc;
  doc.ParseText(text);
  const auto& elements = doc.Elements();
  const std::uint32_t root = elements[0].firstChild;
  if (root == 0 || !platform::equalsNoCase(doc.NameOf(root), std::u16string_view(u"html"))) return {};
  std::uint32_t head = elements[root].firstChild;
  while (head != 0 && !platform::equalsNoCase(doc.NameOf(head), std::u16string_view(u"head")))
    head = elements[head].next;
  if (head == 0) return {};
  // HTML's "meta" has no end tag, so later elements of the head end up
  // nested inside the first meta: look at every element inside the head.
  const std::size_t headEnd = std::size_t{elements[head].offset} + elements[head].length;
  for (std::uint32_t e = head + 1; e < elements.size() && elements[e].offset < headEnd; ++e) {
    if (!platform::equalsNoCase(doc.NameOf(e), std::u16string_view(u"meta"))) continue;
    std::u16string value;
    if (doc.AttributeOf(e, u"charset", value, true)) {
      const std::u16string_view name = trimmed(value);
      if (!name.empty()) return std::u16string(name);
    }
    std::u16string equiv, content;
    if (doc.AttributeOf(e, u"http-equiv", equiv, true) &&
        platform::equalsNoCase(trimmed(equiv), std::u16string_view(u"Content-Type")) &&
        doc.AttributeOf(e, u"content", content, true)) {
      const std::u16string_view name = charsetOfContentType(content);
      if (!name.empty()) return std::u16string(name);
    }
  }
  return {};
}

std::string declaredEncoding(std::string_view head) {
  const std::u16string text = platform::toUtf16(head);
  std::u16string name = xmlDeclaredEncoding(text);
  if (name.empty()) name = htmlDeclaredEncoding(text);
  return platform::toUtf8(name);
}

bool isSixteenBit(unsigned codePage) {
  return codePage == 1200 || codePage == 1201 || codePage == 12000 || codePage == 12001;
}

}  // namespace

void XmlDocument::DecodeFileBytes(std::string_view bytes, std::u16string& text, XmlFileInfo& info) {
  enum class Form { EightBit, Utf16LE, Utf16BE };
  Form form = Form::EightBit;
  info = XmlFileInfo{};
  info.bytes = bytes.size();
  info.codePage = platform::kAnsiCodePage;
  bool known = false;
  std::size_t skip = 0;
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };

  if (bytes.size() >= 3 && at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF) {
    info.encoding = "UTF-8", info.codePage = platform::kCodePageUtf8, skip = 3;
  } else if (bytes.size() >= 2 && at(0) == 0xFF && at(1) == 0xFE) {
    info.encoding = "UTF-16LE", info.codePage = platform::kCodePageUtf16LE, skip = 2, form = Form::Utf16LE;
  } else if (bytes.size() >= 2 && at(0) == 0xFE && at(1) == 0xFF) {
    info.encoding = "UTF-16BE", info.codePage = platform::kCodePageUtf16BE, skip = 2, form = Form::Utf16BE;
  }
  info.byteOrderMark = known = skip != 0;

  if (!known) {
    const std::string declared = declaredEncoding(bytes.substr(0, kSniffBytes));
    if (!declared.empty()) {
      known = true;
      info.encoding = declared;
      unsigned cp = 0;
      info.codePage = charsetCodePage(declared, cp) ? cp : platform::kAnsiCodePage;
      // The declaration was just read as 8-bit text, so the file cannot be
      // in a 16- or 32-bit form whatever it claims; read it as UTF-8.
      if (isSixteenBit(info.codePage)) info.encoding = "UTF-8", info.codePage = platform::kCodePageUtf8;
    } else if (!bytes.empty() && bytes[0] == '<') {
      known = true;
      info.encoding = "UTF-8", info.codePage = platform::kCodePageUtf8;
    }
  }

  const std::string_view rest = bytes.substr(skip);
  std::string notes;
  text.clear();
  if (rest.empty()) {
    notes = "0 length ";
  } else if (form != Form::EightBit) {
    const std::size_t units = rest.size() / 2;  // an odd last byte is not a character
    notes = platform::format("length %d ", units);
    text.reserve(units);
    std::size_t nulls = 0;
    for (std::size_t i = 0; i < units; ++i) {
      const auto lo = static_cast<unsigned char>(rest[2 * i]), hi = static_cast<unsigned char>(rest[2 * i + 1]);
      const auto unit = static_cast<char16_t>(form == Form::Utf16LE ? (lo | (hi << 8)) : (hi | (lo << 8)));
      if (unit == 0)
        ++nulls;
      else
        text.push_back(unit);
    }
    if (nulls) notes += platform::format("(%d nulls removed) ", nulls);
    if (form == Form::Utf16BE) notes += "endian swap ";
  } else {
    notes = platform::format("length %d ", rest.size());
    std::string withoutNulls;
    std::string_view eight = rest;
    if (std::memchr(rest.data(), 0, rest.size())) {
      withoutNulls.reserve(rest.size());
      for (const char c : rest)
        if (c != 0) withoutNulls.push_back(c);
      notes += platform::format("(%d nulls removed) ", rest.size() - withoutNulls.size());
      eight = withoutNulls;
    }
    if (!known) {
      if (platform::isValidUtf8(eight)) {
        known = true;
        info.encoding = "UTF-8", info.codePage = platform::kCodePageUtf8;
      }
      notes += "(used UTF-8 detection) ";
    }
    platform::codePageToUtf16(eight, info.codePage, text);
    notes += platform::format("to %d wide chars ", text.size());
  }
  info.description = (known ? info.encoding + (info.byteOrderMark ? " BOM +" : "") + " " : std::string("ANSI ")) + notes;
}

bool XmlDocument::ReadFileAsText(const std::string& path, std::u16string& text, std::string& result) {
  text.clear();
  fileInfo_ = XmlFileInfo{};
  auto fail = [&](std::string why) {
    result = std::move(why);
    fileInfo_.description = result;
    return false;
  };
  // One read into a buffer of the file's size; a file that grows meanwhile,
  // or one whose size the system does not know, is read on in blocks.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return fail(std::strerror(errno));
  struct stat st{};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    const int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
    ::close(fd);
    return fail(std::strerror(err));
  }
  if (S_ISREG(st.st_mode) && static_cast<std::uint64_t>(st.st_size) > kMaxFileBytes) {
    ::close(fd);
    return fail("File too large");
  }
  std::string bytes;
  bytes.resize(S_ISREG(st.st_mode) ? static_cast<std::size_t>(st.st_size) + 1 : 65536);
  std::size_t got = 0;
  int readError = 0;
  bool tooLarge = false;
  while (true) {
    if (got == bytes.size()) {
      if (bytes.size() > kMaxFileBytes) {
        tooLarge = true;
        break;
      }
      bytes.resize(bytes.size() * 2);
    }
    const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      readError = errno;
      break;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  if (readError) return fail(std::strerror(readError));
  if (tooLarge || got > kMaxFileBytes) return fail("File too large");
  bytes.resize(got);
  DecodeFileBytes(bytes, text, fileInfo_);
  result = fileInfo_.description;
  return true;
}

}  // namespace shared
