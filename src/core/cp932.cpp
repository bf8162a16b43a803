#include "core/cp932.h"

#include <array>

#include "core/cp932_table.h"
#include "core/jstring.h"
#include "core/utf.h"

namespace ixo {

namespace {

// The column of trail byte `t` in a row of kCp932Rows; -1 when `t` is no
// trail byte (Windows still reads it with its lead byte, as unassigned).
int TrailColumn(unsigned char t) {
  if (t >= 0x40 && t <= 0x7E) return t - 0x40;
  if (t >= 0x80 && t <= 0xFC) return t - 0x41;
  return -1;
}

// A byte that is no lead byte. Windows gives the five bytes that have no
// character in the code page characters of their own: 0x80 stands for
// itself, 0xA0 and 0xFD-0xFF for private-use characters.
char16_t SingleChar(unsigned char b) {
  if (b >= 0xA1 && b <= 0xDF) return static_cast<char16_t>(0xFF61 + (b - 0xA1));  // half-width kana
  if (b == 0xA0) return 0xF8F0;
  if (b >= 0xFD) return static_cast<char16_t>(0xF8F1 + (b - 0xFD));
  return b;
}

// The character of the code `lead`, `trail`; 0 when none is assigned to it.
char16_t PairChar(unsigned char lead, unsigned char trail) {
  const int column = TrailColumn(trail);
  if (column < 0) return 0;
  // The user-defined characters: the private-use area from U+E000 on.
  if (lead >= 0xF0 && lead <= 0xF9) {
    return static_cast<char16_t>(0xE000 + (lead - 0xF0) * kCp932Trails + column);
  }
  const int row = kCp932RowOf[lead];
  return row < 0 ? 0 : kCp932Rows[row][column];
}

// The code of every UTF-16 unit code page 932 holds: a single byte, or the
// lead byte << 8 | the trail byte. Built from the decoding rows on first use,
// so that the program carries one table, and the 128 KB live only in memory.
class EncodeTable {
 public:
  static constexpr uint16_t kNone = 0xFFFF;  // 0xFF is no lead byte

  EncodeTable() {
    codes_.fill(kNone);
    for (int b = 0; b < 256; ++b) {
      if (!IsLeadByte(static_cast<unsigned char>(b)))
        codes_[SingleChar(b)] = static_cast<uint16_t>(b);
    }
    // Where several codes decode to one character, Windows encodes it as the
    // lowest of them, except that the NEC-selected IBM extensions (lead bytes
    // 0xED and 0xEE) give way to the IBM extensions (0xFA-0xFC) they repeat.
    for (const bool necSelected : {false, true}) {
      for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
        if ((lead == 0xED || lead == 0xEE) != necSelected) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
          const char16_t c =
              PairChar(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
          if (c != 0 && codes_[c] == kNone) codes_[c] = static_cast<uint16_t>(lead << 8 | trail);
        }
      }
    }
  }

  uint16_t operator[](char16_t c) const { return codes_[c]; }

 private:
  std::array<uint16_t, 0x10000> codes_;
};

const EncodeTable& Codes() {
  static const EncodeTable table;
  return table;
}

}  // namespace

char16_t NextCp932Char(std::string_view s, size_t& i) {
  const unsigned char b = static_cast<unsigned char>(s[i++]);
  if (!IsLeadByte(b)) return SingleChar(b);
  if (i == s.size() || s[i] == '\0') return kCp932Unassigned;
  const char16_t c = PairChar(b, static_cast<unsigned char>(s[i++]));
  return c != 0 ? c : kCp932Unassigned;
}

std::u16string Cp932ToUtf16(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size();) out.push_back(NextCp932Char(bytes, i));
  return out;
}

bool IsCp932Char(char32_t c) {
  return c < 0x80 || (c <= 0xFFFF && Codes()[static_cast<char16_t>(c)] != EncodeTable::kNone);
}

std::string Utf16ToCp932(std::u16string_view text, const Cp932Unheld& unheld) {
  const EncodeTable& codes = Codes();
  std::string out;
  out.reserve(text.size() + text.size() / 2);
  for (size_t i = 0; i < text.size();) {
    // No code decodes to a surrogate: a pair is left to `unheld` whole.
    const uint16_t code = codes[text[i]];
    if (code == EncodeTable::kNone) {
      unheld(NextCodePoint(text, i), out);
      continue;
    }
    if (code > 0xFF) out.push_back(static_cast<char>(code >> 8));
    out.push_back(static_cast<char>(code & 0xFF));
    ++i;
  }
  return out;
}

std::string Utf16ToCp932(std::u16string_view text, char unheld) {
  return Utf16ToCp932(text, [unheld](char32_t, std::string& out) { out.push_back(unheld); });
}

}  // namespace ixo
