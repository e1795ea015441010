#include "q350config/settings/macro_library.h"

#include <algorithm>

namespace q350 {

void MacroLibrary::load(std::string_view bytes) {
  std::string padded(bytes.substr(0, kFileSize));
  padded.resize(kFileSize, '\0');
  const auto* p = reinterpret_cast<const unsigned char*>(padded.data());
  for (std::size_t i = 0; i < kCount; ++i) records_[i] = StoredMacro::load(p + i * StoredMacro::kSize);
}

std::string MacroLibrary::toBytes() const {
  std::string bytes(kFileSize, '\0');
  auto* p = reinterpret_cast<unsigned char*>(bytes.data());
  for (std::size_t i = 0; i < kCount; ++i) records_[i].store(p + i * StoredMacro::kSize);
  return bytes;
}

int MacroLibrary::indexOf(std::uint32_t id) const {
  for (std::size_t i = 0; i < records_.size(); ++i)
    if (records_[i].id == id) return static_cast<int>(i);
  return -1;
}

const StoredMacro* MacroLibrary::find(std::uint32_t id) const {
  const int i = indexOf(id);
  return i < 0 ? nullptr : &records_[static_cast<std::size_t>(i)];
}

std::u16string MacroLibrary::nameOf(std::uint32_t id) const {
  const StoredMacro* m = find(id);
  return m ? m->nameText() : std::u16string();
}

std::vector<std::size_t> MacroLibrary::listed(std::uint32_t category) const {
  std::vector<std::size_t> r;
  for (std::size_t i = 0; i < records_.size(); ++i)
    if (records_[i].isListed() && records_[i].category() == category) r.push_back(i);
  return r;
}

std::vector<std::size_t> MacroLibrary::listedAll() const {
  std::vector<std::size_t> r;
  for (std::size_t i = 0; i < records_.size(); ++i)
    if (records_[i].isListed()) r.push_back(i);
  return r;
}

bool MacroLibrary::store(const MacroImage& image) {
  if (image.size < 108 || !hasMacroTag(image.tag) || image.events.size() > StoredMacro::kMaxEvents) return false;
  int target = indexOf(image.id);
  if (target < 0) {
    const auto it = std::find_if(records_.begin(), records_.end(), [](const StoredMacro& m) { return m.tag == 0; });
    if (it == records_.end()) return false;
    target = static_cast<int>(it - records_.begin());
  }
  StoredMacro& m = records_[static_cast<std::size_t>(target)];
  m.events.fill(0);
  m.size = image.size;
  m.tag = image.tag;
  m.id = image.id;
  m.reserved = image.reserved;
  m.repeat = image.repeat;
  m.count = static_cast<std::uint32_t>(image.events.size());
  std::copy(image.events.begin(), image.events.end(), m.events.begin());
  m.name = image.name;
  return true;
}

bool MacroLibrary::remove(std::uint32_t id) {
  const int i = indexOf(id);
  if (i < 0) return false;
  records_[static_cast<std::size_t>(i)] = StoredMacro{};
  return true;
}

}  // namespace q350
