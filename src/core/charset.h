// Which charset a web page is in, as Windows code pages, and the one charset
// the program converts itself: ISO-2022-JP, which Windows reads with code
// pages 50220-50222 and Wine not at all, becomes Shift_JIS.
#pragma once

#include <string>
#include <string_view>

namespace ixo {

inline constexpr int kCodePageShiftJis = 932;
inline constexpr int kCodePageUtf16LE = 1200;
inline constexpr int kCodePageUtf16BE = 1201;
inline constexpr int kCodePageEucJp = 20932;
inline constexpr int kCodePageIso2022Jp = 50220;
inline constexpr int kCodePageUtf8 = 65001;

// The code page of a charset label ("Shift_JIS", "euc-jp", "utf-8", ...),
// in any letter case, surrounding whitespace and quotes removed; 0 for a
// label the program does not know. ISO-8859-1 and US-ASCII are Windows-1252,
// as browsers read them.
int CodePageOfLabel(std::string_view label);

// The charset label in a Content-Type value or a <meta> content attribute
// ("text/html; charset=Shift_JIS"), as browsers find it there; empty when
// there is none.
std::string_view CharsetParameter(std::string_view content);

// The code page named by the byte-order mark `page` starts with: UTF-8
// (3 bytes), UTF-16LE or UTF-16BE (2 bytes); 0 when there is none.
int ByteOrderMark(std::string_view page);

// The code page `page` declares, as browsers look for it: the byte-order
// mark, then the charset of the Content-Type header `contentType`, then a
// <meta charset> or <meta http-equiv="Content-Type"> before the end of the
// head (a <meta> naming UTF-16 means UTF-8). Labels the program does not
// know count as none; 0 when nothing is declared.
int DeclaredCodePage(std::string_view page, std::string_view contentType);

// ISO-2022-JP text as Shift_JIS (code page 932) bytes: ASCII and JIS-Roman
// as they stand, JIS X 0208 through the Shift_JIS arithmetic, half-width
// katakana (ESC ( I, or SO ... SI) as their single bytes. Other escape
// sequences, and bytes that belong to no character, are passed over.
std::string Iso2022JpToShiftJis(std::string_view text);

}  // namespace ixo
