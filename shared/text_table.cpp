#include "shared/text_table.h"

#include <cstdio>
#include <vector>

#include "platform/format.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "shared/text_keys.h"

namespace shared {

namespace {

constexpr std::u16string_view kConfig = u"config";

std::u16string toU16(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

}  // namespace

std::u16string lookupLumeraText(XmlDocument& document, std::u16string_view key) {
  document.Rewind();
  if (!document.FindChildElement(kConfig)) return {};
  document.EnterElement();
  // Each round goes one "config" deeper, so this ends with the document.
  while (true) {
    if (document.FindChildElement(key)) return document.ChildElementData();
    if (!document.FindChildElement(kConfig)) return {};
    document.EnterElement();
  }
}

std::u16string lookupLanguageText(const XmlDocument& document, std::u16string_view key) {
  const auto& elements = document.Elements();
  // Element numbers follow the start tags, so counting up is document order.
  for (std::uint32_t e = 1; e < elements.size(); ++e) {
    if (document.NameOf(e) != kConfig) continue;
    if (const std::uint32_t child = document.ChildNamed(e, key)) return document.DataOf(child);
  }
  return {};
}

namespace {

// A document read from `path`; false when the file could not be read (the
// document is then empty, and every lookup finds nothing).
bool readDocument(const std::string& path, XmlDocument& document) {
  std::u16string text;
  std::string description;
  if (!document.ReadFileAsText(path, text, description)) return false;
  document.ParseText(std::move(text));
  return true;
}

}  // namespace

bool TextTable::LoadTexts(const std::string& path) {
  XmlDocument document;
  const bool read = readDocument(path, document);
  FillTexts(document);
  return read;
}

void TextTable::FillTexts(XmlDocument& document) {
  texts_.clear();
  for (const std::string_view key : kLumeraTextKeys) {
    std::u16string text = lookupLumeraText(document, toU16(key));
    if (!text.empty()) texts_.emplace(key, std::move(text));
  }
}

bool TextTable::LoadLanguageTexts(const std::string& path) {
  XmlDocument document;
  const bool read = readDocument(path, document);
  FillLanguageTexts(document);
  return read;
}

void TextTable::FillLanguageTexts(const XmlDocument& document) {
  texts_.clear();
  // The "config" elements once, then each key among their children.
  std::vector<std::uint32_t> configs;
  const auto& elements = document.Elements();
  for (std::uint32_t e = 1; e < elements.size(); ++e)
    if (document.NameOf(e) == kConfig) configs.push_back(e);
  for (const std::string_view key : kQ350TextKeys) {
    const std::u16string wide = toU16(key);
    for (const std::uint32_t config : configs) {
      if (const std::uint32_t child = document.ChildNamed(config, wide)) {
        std::u16string text = document.DataOf(child);
        if (!text.empty()) texts_.emplace(key, std::move(text));
        break;
      }
    }
  }
}

std::u16string TextTable::Text(std::string_view key) const {
  const auto it = texts_.find(key);
  return it == texts_.end() ? std::u16string() : it->second;
}

std::string TextTable::TextUtf8(std::string_view key) const { return platform::toUtf8(Text(key)); }

std::u16string TextTable::HintText(int number) const {
  const std::string_view key = q350HintKey(number);
  return key.empty() ? std::u16string() : Text(key);
}

void TextTable::SetText(std::string_view key, std::u16string text) { texts_[std::string(key)] = std::move(text); }

TextTable& lumeraTexts() {
  static TextTable table;
  return table;
}

TextTable& languageTexts() {
  static TextTable table;
  return table;
}

bool LoadTexts(const std::string& path) { return lumeraTexts().LoadTexts(path); }
std::u16string Text(std::string_view key) { return lumeraTexts().Text(key); }
bool LoadLanguageTexts(const std::string& path) { return languageTexts().LoadLanguageTexts(path); }

bool CheckSkinMarker(const std::string& programFolder, std::u16string_view title, const LogLine& log) {
  constexpr std::size_t kMarkerBytes = 520, kTitleOffset = 192;
  const std::string path = platform::resolveNoCase(programFolder, "skins/mak.skn");
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    if (log) log(u"open skn file err");
    return false;
  }
  unsigned char bytes[kMarkerBytes];
  const std::size_t got = std::fread(bytes, 1, sizeof bytes, f);
  std::fclose(f);

  // The marker's text runs to its terminating zero or to the end of what was
  // read; a short file simply holds less text (and cannot match a longer
  // title) rather than being padded with whatever memory held before.
  std::u16string marker;
  for (std::size_t i = kTitleOffset; i + 1 < got; i += 2) {
    const auto unit = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
    if (unit == 0) break;
    marker.push_back(unit);
  }
  if (marker.size() >= title.size() &&
      platform::equalsNoCase(std::u16string_view(marker).substr(0, title.size()), title))
    return true;
  if (log) log(platform::formatU16("Error: szText=%s, tc_t=%s", marker, title));
  return false;
}

}  // namespace shared
