#include "platform/inifile.h"

#include "platform/paths.h"
#include "platform/text.h"

namespace platform {

namespace {

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f'; }

std::u16string_view trim(std::u16string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::u16string decodeFile(const std::string& bytes) {
  std::u16string text;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
    codePageToUtf16(std::string_view(bytes).substr(2, (bytes.size() - 2) & ~std::size_t{1}), kCodePageUtf16LE, text);
  } else if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
             static_cast<unsigned char>(bytes[1]) == 0xFF) {
    codePageToUtf16(std::string_view(bytes).substr(2, (bytes.size() - 2) & ~std::size_t{1}), kCodePageUtf16BE, text);
  } else if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    text = toUtf16(std::string_view(bytes).substr(3));
  } else if (isValidUtf8(bytes)) {
    text = toUtf16(bytes);
  } else {
    codePageToUtf16(bytes, kAnsiCodePage, text);
  }
  return text;
}

}  // namespace

bool IniFile::load(const std::string& path, std::size_t maxBytes) {
  sections_.clear();
  std::string bytes;
  if (!readFile(path, bytes, maxBytes)) return false;
  parse(decodeFile(bytes));
  return true;
}

void IniFile::parse(std::u16string_view text) {
  sections_.clear();
  Section* current = nullptr;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find(u'\n', pos);
    if (end == std::u16string_view::npos) end = text.size();
    const std::u16string_view line = trim(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line.front() == u';') continue;
    if (line.front() == u'[') {
      const std::size_t close = line.rfind(u']');
      const std::u16string_view name = trim(close == std::u16string_view::npos || close == 0
                                                ? line.substr(1)
                                                : line.substr(1, close - 1));
      sections_.push_back({std::u16string(name), {}});
      current = &sections_.back();
      continue;
    }
    if (!current) continue;  // keys before any section belong to no section
    const std::size_t eq = line.find(u'=');
    Entry e;
    if (eq == std::u16string_view::npos) {
      e.key = std::u16string(line);
    } else {
      e.key = std::u16string(trim(line.substr(0, eq)));
      std::u16string_view v = trim(line.substr(eq + 1));
      if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
      e.value = std::u16string(v);
    }
    current->entries.push_back(std::move(e));
  }
}

const IniFile::Section* IniFile::findSection(std::string_view name) const {
  const std::u16string wanted = toUtf16(name);
  for (const Section& s : sections_)
    if (equalsNoCase(std::u16string_view(s.name), wanted)) return &s;
  return nullptr;
}

bool IniFile::hasSection(std::string_view section) const { return findSection(section) != nullptr; }

std::optional<std::u16string> IniFile::value(std::string_view section, std::string_view key) const {
  const Section* s = findSection(section);
  if (!s) return std::nullopt;
  const std::u16string wanted = toUtf16(key);
  for (const Entry& e : s->entries)
    if (equalsNoCase(std::u16string_view(e.key), wanted)) return e.value;
  return std::nullopt;
}

std::u16string IniFile::getString(std::string_view section, std::string_view key, std::u16string_view def,
                                  std::size_t bufferChars) const {
  if (bufferChars == 0) return {};
  std::u16string r = value(section, key).value_or(std::u16string(def));
  if (r.size() > bufferChars - 1) r.resize(bufferChars - 1);
  return r;
}

std::string IniFile::getStringUtf8(std::string_view section, std::string_view key, std::string_view def,
                                   std::size_t bufferChars) const {
  return toUtf8(getString(section, key, toUtf16(def), bufferChars));
}

std::int32_t parseProfileInt(std::u16string_view s) {
  std::size_t i = 0;
  while (i < s.size() && (isBlank(s[i]) || s[i] == u'\n')) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) negative = s[i++] == u'-';
  unsigned base = 10;
  if (i + 1 < s.size() && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
    base = 16;
    i += 2;
  }
  std::uint32_t v = 0;
  for (; i < s.size(); ++i) {
    const char16_t c = s[i];
    unsigned d;
    if (c >= u'0' && c <= u'9') d = c - u'0';
    else if (base == 16 && c >= u'a' && c <= u'f') d = c - u'a' + 10;
    else if (base == 16 && c >= u'A' && c <= u'F') d = c - u'A' + 10;
    else break;
    v = v * base + d;  // wraps on overflow, like the 32-bit original
  }
  if (negative) v = 0u - v;
  return static_cast<std::int32_t>(v);
}

std::int32_t IniFile::getInt(std::string_view section, std::string_view key, std::int32_t def) const {
  const std::optional<std::u16string> v = value(section, key);
  if (!v || v->empty()) return def;
  return parseProfileInt(*v);
}

}  // namespace platform
