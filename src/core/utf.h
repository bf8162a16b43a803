// UTF-8 and UTF-16, the two Unicode forms the program meets at its edges:
// the clipboard and the windows speak UTF-16, the clipboard's "HTML Format"
// and most web pages UTF-8. Ill-formed input never stops a conversion: each
// maximal ill-formed part becomes U+FFFD, as browsers and Windows decode it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ixo {

inline constexpr char32_t kReplacementChar = 0xFFFD;

inline bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The code point that starts at s[i], and i moved past it: a surrogate pair
// is one code point, a lone surrogate stands for itself.
char32_t NextCodePoint(std::u16string_view s, size_t& i);

// Appends `c` in UTF-16 (a code point above U+FFFF as a surrogate pair).
void AppendUtf16(std::u16string& out, char32_t c);
// Appends `c` in UTF-8; a surrogate, which UTF-8 cannot hold, as U+FFFD.
void AppendUtf8(std::string& out, char32_t c);

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// How many bytes `text` takes in UTF-8.
size_t Utf8Size(std::u16string_view text);

// True when `text` is well-formed UTF-8 throughout.
bool IsUtf8(std::string_view text);

}  // namespace ixo
