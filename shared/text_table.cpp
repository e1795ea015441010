#include "shared/text_table.h"

#include <cstdio>
#include <unordered_map>
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

// A key list with an index by name, in UTF-16 for the document's names and
// in ASCII for the callers', built once per list, so that filling a table is
// one pass over the candidate elements and a lookup is one hash.
class TextKeyIndex {
 public:
  template <std::size_t N>
  explicit TextKeyIndex(const std::array<std::string_view, N>& keys) : keys_(keys.begin(), keys.end()) {
    wide_.reserve(N);  // never grows again: the index holds views into it
    for (const std::string_view key : keys_) wide_.push_back(toU16(key));
    for (std::size_t i = 0; i < N; ++i) {  // the first of twins wins
      wideIndex_.emplace(wide_[i], i);
      index_.emplace(keys_[i], i);
    }
  }
  std::size_t size() const { return keys_.size(); }
  // The key's number, or size() when the name is not a key.
  std::size_t find(std::u16string_view name) const {
    const auto it = wideIndex_.find(name);
    return it == wideIndex_.end() ? size() : it->second;
  }
  std::size_t find(std::string_view name) const {
    const auto it = index_.find(name);
    return it == index_.end() ? size() : it->second;
  }

 private:
  std::vector<std::string_view> keys_;
  std::vector<std::u16string> wide_;
  std::unordered_map<std::u16string_view, std::size_t> wideIndex_;
  std::unordered_map<std::string_view, std::size_t> index_;
};

namespace {

const TextKeyIndex& lumeraKeyIndex() {
  static const TextKeyIndex index(kLumeraTextKeys);
  return index;
}

const TextKeyIndex& ownKeyIndex() {
  static const TextKeyIndex index([] {
    std::array<std::string_view, kLumeraOwnTextKeys.size()> names{};
    for (std::size_t i = 0; i < names.size(); ++i) names[i] = kLumeraOwnTextKeys[i].key;
    return names;
  }());
  return index;
}

const TextKeyIndex& languageKeyIndex() {
  static const TextKeyIndex index(kQ350TextKeys);
  return index;
}

// Each key takes the character data of the first child of its name in the
// first container, in the given order, that has such a child, which is what
// the single lookups answer. A key whose element is found but empty stays
// without a text, and later containers are not asked for it.
void fillFromContainers(const XmlDocument& document, const std::vector<std::uint32_t>& containers,
                        const TextKeyIndex& keys, std::vector<std::u16string>& texts) {
  const auto& elements = document.Elements();
  texts.assign(keys.size(), std::u16string());
  std::vector<bool> found(keys.size(), false);
  std::size_t left = keys.size();
  for (const std::uint32_t container : containers) {
    for (std::uint32_t e = elements[container].firstChild; e != 0 && left != 0; e = elements[e].next) {
      const std::size_t k = keys.find(document.NameOf(e));
      if (k == keys.size() || found[k]) continue;
      found[k] = true;
      --left;
      texts[k] = document.DataOf(e);
    }
  }
}

}  // namespace

bool TextTable::LoadTexts(const std::string& path) {
  XmlDocument document;
  const bool read = readDocument(path, document);
  FillTexts(document);
  return read;
}

void TextTable::FillTexts(const XmlDocument& document) {
  Clear();
  keys_ = &lumeraKeyIndex();
  // The "config" under the first element, the "config" inside that one, and
  // so on: each level is asked only for the keys the levels above lack.
  std::vector<std::uint32_t> levels;
  const std::uint32_t root = document.Elements()[0].firstChild;
  for (std::uint32_t config = root ? document.ChildNamed(root, kConfig) : 0; config != 0;
       config = document.ChildNamed(config, kConfig))
    levels.push_back(config);
  fillFromContainers(document, levels, *keys_, byKey_);
  // Our own keys, each with its English text when the file lacks it.
  std::vector<std::u16string> own;
  fillFromContainers(document, levels, ownKeyIndex(), own);
  for (std::size_t i = 0; i < kLumeraOwnTextKeys.size(); ++i)
    others_[std::string(kLumeraOwnTextKeys[i].key)] =
        own[i].empty() ? std::u16string(kLumeraOwnTextKeys[i].english) : std::move(own[i]);
}

bool TextTable::LoadLanguageTexts(const std::string& path) {
  XmlDocument document;
  const bool read = readDocument(path, document);
  FillLanguageTexts(document);
  return read;
}

void TextTable::FillLanguageTexts(const XmlDocument& document) {
  Clear();
  keys_ = &languageKeyIndex();
  // Every "config" element, in document order.
  std::vector<std::uint32_t> configs;
  const auto& elements = document.Elements();
  for (std::uint32_t e = 1; e < elements.size(); ++e)
    if (document.NameOf(e) == kConfig) configs.push_back(e);
  fillFromContainers(document, configs, *keys_, byKey_);
}

std::u16string TextTable::Text(std::string_view key) const {
  if (keys_) {
    const std::size_t k = keys_->find(key);
    if (k < byKey_.size()) return byKey_[k];
  }
  const auto it = others_.find(key);
  return it == others_.end() ? std::u16string() : it->second;
}

std::string TextTable::TextUtf8(std::string_view key) const { return platform::toUtf8(Text(key)); }

std::u16string TextTable::HintText(int number) const {
  const std::string_view key = q350HintKey(number);
  return key.empty() ? std::u16string() : Text(key);
}

void TextTable::SetText(std::string_view key, std::u16string text) {
  if (keys_) {
    const std::size_t k = keys_->find(key);
    if (k < byKey_.size()) {
      byKey_[k] = std::move(text);
      return;
    }
  }
  others_[std::string(key)] = std::move(text);
}

void TextTable::Clear() {
  keys_ = nullptr;
  byKey_.clear();
  others_.clear();
}

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
