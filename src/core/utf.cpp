#include "core/utf.h"

namespace ixo {

namespace {

// The length of the well-formed sequence at t[i], or 0 when the bytes there
// are no UTF-8 character; `out` takes its code point. Only the shortest form
// of a code point is well-formed, and surrogates are not characters.
size_t DecodeUtf8(std::string_view t, size_t i, char32_t& out) {
  const auto at = [&](size_t k) { return static_cast<unsigned char>(t[k]); };
  const unsigned char b = at(i);
  if (b < 0x80) {
    out = b;
    return 1;
  }
  size_t n;
  char32_t c;
  unsigned char lo = 0x80, hi = 0xBF;  // the range of the second byte
  if (b >= 0xC2 && b <= 0xDF) {
    n = 2, c = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    n = 3, c = b & 0x0F;
    if (b == 0xE0) lo = 0xA0;
    if (b == 0xED) hi = 0x9F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    n = 4, c = b & 0x07;
    if (b == 0xF0) lo = 0x90;
    if (b == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  for (size_t k = 1; k < n; ++k) {
    if (i + k >= t.size()) return 0;
    const unsigned char x = at(i + k);
    if (x < (k == 1 ? lo : 0x80) || x > (k == 1 ? hi : 0xBF)) return 0;
    c = (c << 6) | (x & 0x3F);
  }
  out = c;
  return n;
}

// How many bytes of the ill-formed sequence at t[i] make one U+FFFD: the
// lead byte with as many continuation bytes as could still have begun a
// character (the "maximal subpart"), at least one byte.
size_t IllFormedLength(std::string_view t, size_t i) {
  for (size_t n = 3; n >= 2; --n) {
    if (i + n > t.size()) continue;
    // A prefix of n bytes is a maximal subpart when a longer input could
    // have completed it: test it with continuation bytes added.
    std::string probe(t.substr(i, n));
    probe.append(4 - n, '\x80');
    char32_t c;
    const size_t whole = DecodeUtf8(probe, 0, c);
    if (whole > n) return n;
  }
  return 1;
}

}  // namespace

char32_t NextCodePoint(std::u16string_view s, size_t& i) {
  const char32_t c = s[i++];
  if (IsHighSurrogate(c) && i < s.size() && IsLowSurrogate(s[i])) {
    return 0x10000 + ((c - 0xD800) << 10) + (s[i++] - 0xDC00);
  }
  return c;
}

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out.push_back(static_cast<char16_t>(c));
  } else {
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
  }
}

void AppendUtf8(std::string& out, char32_t c) {
  if (IsHighSurrogate(c) || IsLowSurrogate(c) || c > 0x10FFFF) c = kReplacementChar;
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    char32_t c;
    if (const size_t n = DecodeUtf8(text, i, c)) {
      AppendUtf16(out, c);
      i += n;
    } else {
      out.push_back(static_cast<char16_t>(kReplacementChar));
      i += IllFormedLength(text, i);
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) AppendUtf8(out, NextCodePoint(text, i));
  return out;
}

size_t Utf8Size(std::u16string_view text) {
  size_t n = 0;
  for (size_t i = 0; i < text.size();) {
    const char32_t c = NextCodePoint(text, i);
    n += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
  }
  return n;
}

bool IsUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    char32_t c;
    const size_t n = DecodeUtf8(text, i, c);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

}  // namespace ixo
