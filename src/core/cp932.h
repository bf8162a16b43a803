// Code page 932 and UTF-16 both ways, exactly as Windows converts them
// (MultiByteToWideChar with no flags; WideCharToMultiByte with
// WC_NO_BEST_FIT_CHARS), without asking the system: the conversion must not
// depend on the code page of the process or of the program that copied.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace ixo {

// What Windows decodes an unassigned code or a lead byte without a trail
// byte to: the katakana middle dot.
inline constexpr char16_t kCp932Unassigned = 0x30FB;

// The character at s[i], and i moved past it. A lead byte and the byte after
// it are one character, whatever that byte is, except that a lead byte at
// the end or before a zero byte is one character of its own (U+30FB), as
// Windows reads it.
char16_t NextCp932Char(std::string_view s, size_t& i);

// Every byte sequence decodes: code page 932 as MultiByteToWideChar(932, 0)
// gives it.
std::u16string Cp932ToUtf16(std::string_view bytes);

// True when code page 932 holds `c`: a code decodes to it. Look-alikes that
// Windows would put for a character (e for é, ≪ for «) do not count, nor do
// surrogates.
bool IsCp932Char(char32_t c);

// What stands in code page 932 text for a character it does not hold: `c`
// is a code point, or a lone surrogate as itself; appends to `out`.
using Cp932Unheld = std::function<void(char32_t c, std::string& out)>;

// Every character code page 932 holds as its bytes (one, or a lead and a
// trail byte): where several codes decode to one character, the one Windows
// encodes it as. Every other one as `unheld` puts it.
std::string Utf16ToCp932(std::u16string_view text, const Cp932Unheld& unheld);

// The same with the byte `unheld` for each character it does not hold.
std::string Utf16ToCp932(std::u16string_view text, char unheld = '?');

}  // namespace ixo
