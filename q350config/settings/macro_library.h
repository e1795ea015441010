// The macro library: 500 StoredMacro records, all macros of all profiles.
// Its file "Macro.cfg" is exactly the 500 records in a row, no header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "q350config/settings/records.h"

namespace q350 {

class MacroLibrary {
 public:
  static constexpr std::size_t kCount = 500;
  static constexpr std::size_t kFileSize = kCount * StoredMacro::kSize;
  static_assert(kFileSize == 2052000);

  MacroLibrary() : records_(kCount) {}

  void clear() { records_.assign(kCount, StoredMacro{}); }
  // Clears the library, then takes up to kFileSize bytes; a shorter input
  // leaves the rest cleared (a record cut in two keeps the bytes it got).
  void load(std::string_view bytes);
  std::string toBytes() const;  // kFileSize bytes

  std::size_t size() const { return records_.size(); }
  const StoredMacro& at(std::size_t i) const { return records_.at(i); }
  StoredMacro& at(std::size_t i) { return records_.at(i); }

  // The first record whose id field is id; -1 / nullptr when none.
  int indexOf(std::uint32_t id) const;
  const StoredMacro* find(std::uint32_t id) const;
  // The name of the first record with id, empty when there is none.
  std::u16string nameOf(std::uint32_t id) const;

  // Indices of the records the macro page lists for a game category
  // (the top byte of the id), in library order.
  std::vector<std::size_t> listed(std::uint32_t category) const;
  // Indices of every listed record, whatever its category.
  std::vector<std::size_t> listedAll() const;

  // Puts a macro image into the library: into the record that already has
  // its id, else into the first free record (tag 0). Refuses an image whose
  // size is below 108, whose tag is not the editor's, or that has more
  // events than a record holds; false also when every record is in use.
  // The file is not written here.
  bool store(const MacroImage& image);
  // Clears the first record with id; false when there is none.
  bool remove(std::uint32_t id);

 private:
  std::vector<StoredMacro> records_;
};

}  // namespace q350
