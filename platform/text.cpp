#include "platform/text.h"

#include <iconv.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

namespace platform {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

}  // namespace

void appendUtf16(std::u16string& out, char32_t cp) {
  if (cp >= 0x10000) {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  } else {
    out.push_back(static_cast<char16_t>(cp));
  }
}

namespace {

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Decodes one UTF-8 sequence at s[i]; advances i. Returns kReplacement for a
// malformed sequence (consuming one byte) and sets ok=false.
char32_t decodeUtf8(std::string_view s, std::size_t& i, bool& ok) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    ++i;
    return b0;
  }
  int extra;
  char32_t cp;
  char32_t min;
  if ((b0 & 0xE0) == 0xC0) {
    extra = 1, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    extra = 2, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    extra = 3, cp = b0 & 0x07, min = 0x10000;
  } else {
    ok = false;
    ++i;
    return kReplacement;
  }
  if (s.size() - i <= static_cast<std::size_t>(extra)) {
    ok = false;
    ++i;
    return kReplacement;
  }
  for (int k = 1; k <= extra; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) {
      ok = false;
      ++i;
      return kReplacement;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ok = false;
    ++i;
    return kReplacement;
  }
  i += extra + 1;
  return cp;
}

}  // namespace

namespace {

// Decodes all of `utf8` onto `out`; false when a sequence was malformed (it
// became U+FFFD). Runs of ASCII, most of the programs' files, are widened
// directly without the sequence decoder.
bool decodeUtf8Into(std::string_view utf8, std::u16string& out) {
  // Never more units than bytes: the text is written in place and cut to
  // its length at the end, with no second buffer to copy out of.
  out.resize(utf8.size());
  char16_t* const begin = out.data();
  char16_t* to = begin;
  bool ok = true;
  std::size_t i = 0;
  const unsigned char* const bytes = reinterpret_cast<const unsigned char*>(utf8.data());
  while (i < utf8.size()) {
#if defined(__SSE2__)
    // Sixteen ASCII bytes at a time, widened by interleaving with zeros.
    while (utf8.size() - i >= 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
      if (_mm_movemask_epi8(v)) break;
      const __m128i zero = _mm_setzero_si128();
      _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_unpacklo_epi8(v, zero));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 8), _mm_unpackhi_epi8(v, zero));
      to += 16;
      i += 16;
    }
#endif
    // Eight ASCII bytes at a time.
    while (utf8.size() - i >= 8) {
      std::uint64_t word;
      std::memcpy(&word, bytes + i, sizeof word);
      if (word & 0x8080808080808080ull) break;
      for (int k = 0; k < 8; ++k) to[k] = bytes[i + static_cast<std::size_t>(k)];
      to += 8;
      i += 8;
    }
    if (i == utf8.size()) break;
    if (bytes[i] < 0x80) {
      *to++ = bytes[i++];
      continue;
    }
    // A run of sequences, up to the next ASCII byte (texts in other scripts
    // come in runs). Two- and three-byte sequences (Latin, Cyrillic, CJK)
    // are decoded here when well formed; the rest goes to the full decoder.
    do {
      const auto b = bytes[i];
      const std::size_t left = utf8.size() - i;
      if (b >= 0xC2 && b < 0xE0 && left >= 2 && (bytes[i + 1] & 0xC0) == 0x80) {
        *to++ = static_cast<char16_t>(((b & 0x1F) << 6) | (bytes[i + 1] & 0x3F));
        i += 2;
        continue;
      }
      if ((b & 0xF0) == 0xE0 && left >= 3 && (bytes[i + 1] & 0xC0) == 0x80 && (bytes[i + 2] & 0xC0) == 0x80) {
        const unsigned unit = ((b & 0x0Fu) << 12) | ((bytes[i + 1] & 0x3Fu) << 6) | (bytes[i + 2] & 0x3Fu);
        if (unit >= 0x800 && (unit < 0xD800 || unit > 0xDFFF)) {
          *to++ = static_cast<char16_t>(unit);
          i += 3;
          continue;
        }
      }
      const char32_t cp = decodeUtf8(utf8, i, ok);
      if (cp >= 0x10000) {
        *to++ = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
        *to++ = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
      } else {
        *to++ = static_cast<char16_t>(cp);
      }
    } while (i < utf8.size() && bytes[i] >= 0x80);
  }
  out.resize(static_cast<std::size_t>(to - begin));
  return ok;
}

}  // namespace

std::u16string toUtf16(std::string_view utf8) {
  std::u16string out;
  decodeUtf8Into(utf8, out);
  return out;
}

std::string toUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    char32_t c = utf16[i];
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
        ++i;
      } else {
        c = kReplacement;
      }
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      c = kReplacement;
    }
    appendUtf8(out, c);
  }
  return out;
}

bool isValidUtf8(std::string_view bytes) {
  bool ok = true;
  for (std::size_t i = 0; i < bytes.size() && ok;) {
    if (static_cast<unsigned char>(bytes[i]) < 0x80)
      ++i;
    else
      decodeUtf8(bytes, i, ok);
  }
  return ok;
}

std::string codePageName(unsigned cp) {
  switch (cp) {
    case 65001: return "UTF-8";
    case 65000: return "UTF-7";
    case 1200: return "UTF-16LE";
    case 1201: return "UTF-16BE";
    case 12000: return "UTF-32LE";
    case 12001: return "UTF-32BE";
    case 20127: return "ASCII";
    case 932: return "CP932";
    case 936: return "CP936";
    case 949: return "CP949";
    case 950: return "CP950";
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    case 20932: return "EUC-JP";
    case 51932: return "EUC-JP";
    case 51936: return "GB2312";
    case 51949: return "EUC-KR";
    case 51950: return "BIG5";
    case 52936: return "HZ-GB-2312";
    case 54936: return "GB18030";
    case 50220:
    case 50221:
    case 50222: return "ISO-2022-JP";
    case 50225: return "ISO-2022-KR";
    case 10000: return "MACINTOSH";
    case 10004: return "MACARABIC";
    case 10005: return "MACHEBREW";
    case 10006: return "MACGREEK";
    case 10007: return "MACCYRILLIC";
    case 10021: return "MACTHAI";
    case 10029: return "MACCENTRALEUROPE";
    case 10079: return "MACICELAND";
    case 10081: return "MACTURKISH";
    case 10082: return "MACCROATIAN";
    case 874: return "CP874";
    case 1361: return "JOHAB";
    case 20936: return "GB2312";
    case 38598: return "ISO-8859-8";
    default: break;
  }
  if (cp >= 28591 && cp <= 28606) return "ISO-8859-" + std::to_string(cp - 28590);
  if (cp >= 1250 && cp <= 1258) return "CP" + std::to_string(cp);
  if (cp >= 37 && cp <= 1149) return "CP" + std::to_string(cp);  // DOS and EBCDIC pages
  return {};
}

namespace {

// Runs iconv over the whole input, replacing what cannot be converted.
bool runIconv(const char* to, const char* from, std::string_view in, std::string& out,
              const std::string& badOut, std::size_t badInStep) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  bool clean = true;
  out.clear();
  std::vector<char> buf(4096);
  char* inPtr = const_cast<char*>(in.data());
  std::size_t inLeft = in.size();
  while (true) {
    char* outPtr = buf.data();
    std::size_t outLeft = buf.size();
    const std::size_t r = iconv(cd, inLeft ? &inPtr : nullptr, &inLeft, &outPtr, &outLeft);
    out.append(buf.data(), buf.size() - outLeft);
    if (r != static_cast<std::size_t>(-1)) {
      if (inLeft == 0) {
        // flush any shift state
        outPtr = buf.data();
        outLeft = buf.size();
        iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
        out.append(buf.data(), buf.size() - outLeft);
        break;
      }
      continue;
    }
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL: skip the offending input and mark it.
    clean = false;
    out += badOut;
    const std::size_t step = std::min(badInStep, inLeft);
    inPtr += step;
    inLeft -= step;
    if (inLeft == 0) break;
  }
  iconv_close(cd);
  return clean;
}

}  // namespace

bool codePageToUtf16(std::string_view bytes, unsigned codePage, std::u16string& out) {
  out.clear();
  if (codePage == kCodePageUtf8) return decodeUtf8Into(bytes, out);
  const std::string name = codePageName(codePage);
  if (name.empty()) {
    // Unknown code page: read it as the ANSI code page rather than lose it.
    codePageToUtf16(bytes, kAnsiCodePage, out);
    return false;
  }
  std::string raw;
  const std::size_t unit = (codePage == 1200 || codePage == 1201) ? 2 : 1;
  const bool ok = runIconv("UTF-16LE", name.c_str(), bytes, raw, std::string("\xFD\xFF", 2), unit);
  out.resize(raw.size() / 2);
  for (std::size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<char16_t>(static_cast<unsigned char>(raw[2 * i]) |
                                   (static_cast<unsigned char>(raw[2 * i + 1]) << 8));
  return ok;
}

bool utf16ToCodePage(std::u16string_view text, unsigned codePage, std::string& out) {
  out.clear();
  if (codePage == kCodePageUtf8) {
    out = toUtf8(text);
    return true;
  }
  const std::string name = codePageName(codePage);
  if (name.empty()) return false;
  std::string raw(text.size() * 2, '\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    raw[2 * i] = static_cast<char>(text[i] & 0xFF);
    raw[2 * i + 1] = static_cast<char>(text[i] >> 8);
  }
  runIconv(name.c_str(), "UTF-16LE", raw, out, "?", 2);
  return true;
}

char16_t asciiLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

bool equalsNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (asciiLower(a[i]) != asciiLower(b[i])) return false;
  return true;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

std::string toLowerAscii(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return r;
}

std::size_t boundedLength(const char16_t* s, std::size_t capacity) {
  std::size_t n = 0;
  while (n < capacity && s[n] != 0) ++n;
  return n;
}

}  // namespace platform
