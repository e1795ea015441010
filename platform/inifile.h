// Initialisation-file reads with the Windows profile-API semantics.
//
// Sections and keys compare without regard to ASCII case; the first section
// of a name is the one searched and the first key in it wins; values lose
// surrounding blanks and one pair of matching quotes; a missing key gives the
// caller's default. The file is parsed once on load; a missing file reads as
// all keys missing. Files may be UTF-8, UTF-16 with a byte-order mark, or
// 8-bit in the ANSI code page.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class IniFile {
 public:
  // Reads and parses a file; false when it could not be read (the object
  // then holds no sections). Files above `maxBytes` read as their first part.
  bool load(const std::string& path, std::size_t maxBytes = 16u << 20);
  void parse(std::u16string_view text);

  bool hasSection(std::string_view section) const;
  // The raw value (blanks and quotes removed), or nothing when the key is absent.
  std::optional<std::u16string> value(std::string_view section, std::string_view key) const;

  // GetPrivateProfileString: the value cut to bufferChars - 1 characters, or
  // `def` (also cut) when the key is missing.
  std::u16string getString(std::string_view section, std::string_view key, std::u16string_view def,
                           std::size_t bufferChars) const;
  std::string getStringUtf8(std::string_view section, std::string_view key, std::string_view def,
                            std::size_t bufferChars) const;
  // GetPrivateProfileInt: a missing or empty value gives `def`; otherwise the
  // leading integer of the value (blanks, sign, decimal or 0x hexadecimal),
  // 0 when there is none, wrapped to 32 bits on overflow.
  std::int32_t getInt(std::string_view section, std::string_view key, std::int32_t def) const;

 private:
  struct Entry {
    std::u16string key;
    std::u16string value;
  };
  struct Section {
    std::u16string name;
    std::vector<Entry> entries;
  };
  const Section* findSection(std::string_view name) const;
  std::vector<Section> sections_;
};

// Parses an integer the way GetPrivateProfileInt does (see above).
std::int32_t parseProfileInt(std::u16string_view text);

}  // namespace platform
