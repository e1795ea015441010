#include "platform/format.h"

#include <cstdio>

#include "platform/text.h"

namespace platform {

std::u16string FormatArg::asText() const {
  switch (kind_) {
    case Kind::Utf8: return toUtf16(s8_);
    case Kind::Utf16: return std::u16string(s16_);
    default: return {};
  }
}

namespace {

struct Spec {
  bool left = false, plus = false, space = false, alt = false, zero = false;
  int width = 0;
  int precision = -1;
  int lengthBytes = 4;  // Windows: int and long are 32-bit; ll/I64 64-bit
  bool explicitLength = false;
};

std::u16string ascii(const std::string& s) { return std::u16string(s.begin(), s.end()); }

void pad(std::u16string& out, const std::u16string& body, const Spec& sp, bool numeric,
         std::size_t signLength) {
  const std::size_t w = sp.width > 0 ? static_cast<std::size_t>(sp.width) : 0;
  if (body.size() >= w) {
    out += body;
    return;
  }
  const std::size_t fill = w - body.size();
  if (sp.left) {
    out += body;
    out.append(fill, u' ');
  } else if (numeric && sp.zero && sp.precision < 0) {
    out.append(body, 0, signLength);
    out.append(fill, u'0');
    out.append(body, signLength, std::u16string::npos);
  } else {
    out.append(fill, u' ');
    out += body;
  }
}

std::uint64_t truncateUnsigned(std::uint64_t v, int bytes) {
  switch (bytes) {
    case 1: return v & 0xFFu;
    case 2: return v & 0xFFFFu;
    case 4: return v & 0xFFFFFFFFu;
    default: return v;
  }
}

std::int64_t truncateSigned(std::uint64_t v, int bytes) {
  switch (bytes) {
    case 1: return static_cast<std::int8_t>(v);
    case 2: return static_cast<std::int16_t>(v);
    case 4: return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    default: return static_cast<std::int64_t>(v);
  }
}

std::string digits(std::uint64_t v, unsigned base, bool upper) {
  const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  std::string r;
  do {
    r.insert(r.begin(), set[v % base]);
    v /= base;
  } while (v);
  return r;
}

}  // namespace

std::u16string vformatU16(std::u16string_view fmt, std::initializer_list<FormatArg> args) {
  std::u16string out;
  out.reserve(fmt.size() + 16 * args.size());
  auto next = args.begin();
  const FormatArg zero(0);
  auto take = [&]() -> const FormatArg& { return next != args.end() ? *next++ : zero; };

  for (std::size_t i = 0; i < fmt.size();) {
    const char16_t c = fmt[i];
    if (c != u'%') {
      out.push_back(c);
      ++i;
      continue;
    }
    const std::size_t start = i++;
    if (i < fmt.size() && fmt[i] == u'%') {
      out.push_back(u'%');
      ++i;
      continue;
    }
    Spec sp;
    for (; i < fmt.size(); ++i) {
      const char16_t f = fmt[i];
      if (f == u'-') sp.left = true;
      else if (f == u'+') sp.plus = true;
      else if (f == u' ') sp.space = true;
      else if (f == u'#') sp.alt = true;
      else if (f == u'0') sp.zero = true;
      else break;
    }
    if (i < fmt.size() && fmt[i] == u'*') {
      sp.width = static_cast<int>(truncateSigned(take().asUnsigned(), 4));
      if (sp.width < 0) sp.left = true, sp.width = -sp.width;
      ++i;
    } else {
      while (i < fmt.size() && fmt[i] >= u'0' && fmt[i] <= u'9' && sp.width < 100000)
        sp.width = sp.width * 10 + (fmt[i++] - u'0');
    }
    if (i < fmt.size() && fmt[i] == u'.') {
      ++i;
      sp.precision = 0;
      if (i < fmt.size() && fmt[i] == u'*') {
        sp.precision = static_cast<int>(truncateSigned(take().asUnsigned(), 4));
        ++i;
      } else {
        while (i < fmt.size() && fmt[i] >= u'0' && fmt[i] <= u'9' && sp.precision < 100000)
          sp.precision = sp.precision * 10 + (fmt[i++] - u'0');
      }
    }
    // Length modifiers.
    while (i < fmt.size()) {
      const char16_t m = fmt[i];
      if (m == u'h') {
        sp.lengthBytes = (i + 1 < fmt.size() && fmt[i + 1] == u'h') ? 1 : 2;
        i += sp.lengthBytes == 1 ? 2 : 1;
      } else if (m == u'l') {
        if (i + 1 < fmt.size() && fmt[i + 1] == u'l') {
          sp.lengthBytes = 8;
          i += 2;
        } else {
          sp.lengthBytes = 4;
          ++i;
        }
      } else if (m == u'I' && fmt.substr(i, 3) == u"I64") {
        sp.lengthBytes = 8, i += 3;
      } else if (m == u'I' && fmt.substr(i, 3) == u"I32") {
        sp.lengthBytes = 4, i += 3;
      } else if (m == u'z' || m == u'j' || m == u't') {
        sp.lengthBytes = 8, ++i;
      } else if (m == u'w' || m == u'L') {
        ++i;
      } else {
        break;
      }
      sp.explicitLength = true;
    }
    if (i >= fmt.size()) {
      out.append(fmt.substr(start));
      break;
    }
    const char16_t conv = fmt[i++];
    switch (conv) {
      case u'd':
      case u'i': {
        const FormatArg& a = take();
        const std::int64_t v = truncateSigned(a.asUnsigned(), sp.lengthBytes);
        std::string body = (sp.precision == 0 && v == 0) ? "" : digits(v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v), 10, false);
        if (sp.precision > 0 && body.size() < static_cast<std::size_t>(sp.precision))
          body.insert(0, sp.precision - body.size(), '0');
        std::string sign = v < 0 ? "-" : sp.plus ? "+" : sp.space ? " " : "";
        pad(out, ascii(sign + body), sp, true, sign.size());
        break;
      }
      case u'u':
      case u'x':
      case u'X':
      case u'o': {
        const FormatArg& a = take();
        const std::uint64_t v = truncateUnsigned(a.asUnsigned(), sp.lengthBytes);
        const unsigned base = conv == u'o' ? 8 : conv == u'u' ? 10 : 16;
        std::string body = (sp.precision == 0 && v == 0) ? "" : digits(v, base, conv == u'X');
        if (sp.precision > 0 && body.size() < static_cast<std::size_t>(sp.precision))
          body.insert(0, sp.precision - body.size(), '0');
        std::string prefix;
        if (sp.alt && v != 0) prefix = conv == u'x' ? "0x" : conv == u'X' ? "0X" : conv == u'o' ? "0" : "";
        pad(out, ascii(prefix + body), sp, true, prefix.size());
        break;
      }
      case u'c':
      case u'C': {
        const char16_t ch = static_cast<char16_t>(take().asUnsigned() & 0xFFFF);
        pad(out, std::u16string(1, ch), sp, false, 0);
        break;
      }
      case u's':
      case u'S': {
        std::u16string s = take().asText();
        if (sp.precision >= 0 && s.size() > static_cast<std::size_t>(sp.precision)) s.resize(sp.precision);
        pad(out, s, sp, false, 0);
        break;
      }
      case u'p': {
        const std::uint64_t v = take().asUnsigned();
        std::string body = digits(v, 16, true);
        body.insert(0, 16 - std::min<std::size_t>(16, body.size()), '0');
        pad(out, ascii(body), sp, false, 0);
        break;
      }
      case u'f':
      case u'F':
      case u'e':
      case u'E':
      case u'g':
      case u'G': {
        std::string cfmt = "%";
        if (sp.left) cfmt += '-';
        if (sp.plus) cfmt += '+';
        if (sp.space) cfmt += ' ';
        if (sp.alt) cfmt += '#';
        if (sp.zero) cfmt += '0';
        if (sp.width) cfmt += std::to_string(sp.width);
        if (sp.precision >= 0) cfmt += "." + std::to_string(sp.precision);
        cfmt += static_cast<char>(conv);
        char buf[512];
        std::snprintf(buf, sizeof buf, cfmt.c_str(), take().asDouble());
        out += ascii(buf);
        break;
      }
      default:
        // Not a conversion we know: keep the text as written.
        out.append(fmt.substr(start, i - start));
        break;
    }
  }
  return out;
}

std::u16string vformatU16(std::string_view fmt, std::initializer_list<FormatArg> args) {
  return vformatU16(std::u16string_view(toUtf16(fmt)), args);
}

std::string vformat(std::string_view fmt, std::initializer_list<FormatArg> args) {
  return toUtf8(vformatU16(std::u16string_view(toUtf16(fmt)), args));
}

}  // namespace platform
