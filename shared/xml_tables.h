// Name tables of the XML reader: character-set names and character entities.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace shared {

// Windows code page of a character-set name as documents declare it
// ("utf-8", "Shift_JIS", "windows-1252", ...), compared without regard to
// ASCII case. False when the name is not known.
bool charsetCodePage(std::string_view name, unsigned& codePage);
std::size_t charsetNameCount();

// Code point of an entity name. The lookup is exact; the reader lowercases
// the names it reads before it asks, so "AMP" finds "amp" and "Alpha" finds
// "alpha".
bool entityCodePoint(std::string_view name, char32_t& codePoint);
std::size_t entityNameCount();

}  // namespace shared
