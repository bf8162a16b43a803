// Double-byte string routines: searching, measuring, inserting, deleting and
// trimming code page 932 text in whole characters, so that the trail byte of
// a character such as 0x95 0x5C is never taken for a character of its own.
// Positions are 1-based; JPos, JInsert and JDelete count characters.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ixo {

// The lead-byte ranges of code page 932: 0x81-0x9F and 0xE0-0xFC.
constexpr bool IsLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// True when byte `i` (from 1) of `s` is the second byte of a double-byte
// character. Throws Error("Illegal Index") when `i` is outside `s`.
bool IsTrailByte(std::string_view s, int32_t i);

// Character position of the first occurrence of `sub` in `s` that begins a
// character; 0 when there is none or either is empty.
int32_t JPos(std::string_view sub, std::string_view s);

// Number of characters; a lead byte in the last position counts as one.
int32_t JLength(std::string_view s);

// Where the bytes of `s` from byte i (from 0, at least 8) on stop repeating
// the eight bytes before them: the largest i + 8k (k >= 0) such that each
// byte in [i, i + 8k + extra) of `s` equals the byte eight before it. Long
// runs of one character are passed over with it.
size_t RepeatsUntil(std::string_view s, size_t i, size_t extra);

// Inserts `ins` before character `pos` of `t` (below 1 counts as 1; past the
// end appends).
void JInsert(std::string_view ins, std::string& t, int32_t pos);

// Removes `count` characters of `t` from character `pos` on.
void JDelete(std::string& t, int32_t pos, int32_t count);

// Leading / trailing half-width (0x20) and full-width (0x81 0x40) spaces.
void JTrimLeft(std::string& t);
void JTrimRight(std::string& t);
std::string JTrim(std::string_view s);

// Every occurrence of `search` that begins a character, including those that
// a replacement or deletion forms with the text around it. `repl` must not
// contain `search`.
void JReplaceAll(std::string& t, std::string_view search, std::string_view repl);
void JDeleteAll(std::string& t, std::string_view search);

// JDeleteAll without touching `s`: when `search` occurs in `s`, sets `out` to
// `s` with every occurrence removed and gives true; otherwise gives false and
// leaves `out` as it was. `s` and `search` may view `out`.
bool JDeleteAllTo(std::string_view s, std::string_view search, std::string& out);

}  // namespace ixo
