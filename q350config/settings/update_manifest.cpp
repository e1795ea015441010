#include "q350config/settings/update_manifest.h"

#include <limits>

#include "shared/xml_reader.h"

namespace q350 {

namespace {

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

std::u16string trimmed(std::u16string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return std::u16string(text);
}

void readValues(shared::XmlDocument& doc, UpdateManifest& out) {
  // The first element is the root; "firmware" and "software" are its children.
  doc.Rewind();
  if (doc.FindChildElement(u"firmware")) {
    out.hasFirmware = true;
    const std::uint32_t firmware = doc.ChildPosition();
    if (const std::uint32_t e = doc.ChildNamed(firmware, u"current")) out.current = manifestNumber(doc.DataOf(e));
    if (const std::uint32_t e = doc.ChildNamed(firmware, u"newfile")) out.newfile = trimmed(doc.DataOf(e));
  }
  doc.Rewind();
  if (doc.FindChildElement(u"software")) {
    const std::uint32_t software = doc.ChildPosition();
    if (const std::uint32_t e = doc.ChildNamed(software, u"current")) out.software = manifestNumber(doc.DataOf(e));
  }
}

}  // namespace

std::int32_t manifestNumber(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  // Accumulate towards the sign so that the negative limit fits too.
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = value * 10 + (negative ? -(text[i] - u'0') : (text[i] - u'0'));
    if (value > kMax) value = kMax;
    if (value < kMin) value = kMin;
  }
  return static_cast<std::int32_t>(value);
}

UpdateManifest ReadUpdateManifest(const std::string& path) {
  UpdateManifest out;
  shared::XmlDocument doc;
  std::u16string text;
  std::string result;
  if (!doc.ReadFileAsText(path, text, result)) return out;
  out.readable = true;
  doc.ParseText(std::move(text));
  readValues(doc, out);
  return out;
}

UpdateManifest ParseUpdateManifest(std::string_view bytes) {
  UpdateManifest out;
  out.readable = true;
  std::u16string text;
  shared::XmlFileInfo info;
  shared::XmlDocument::DecodeFileBytes(bytes, text, info);
  shared::XmlDocument doc;
  doc.ParseText(std::move(text));
  readValues(doc, out);
  return out;
}

}  // namespace q350
