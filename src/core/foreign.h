// Characters code page 932 cannot hold, carried through the core's code page
// 932 text as double-byte characters of their own, so that the double-byte
// routines, the extraction and the delete strings treat each as one whole
// character, and turned back into themselves when the text leaves the core.
//
// Each text gets a table: every such character (a code point in or beyond
// the BMP; a lone surrogate stands for itself) takes the next free code under
// a lead byte that code page 932 leaves unassigned (0x85, 0x86, 0xEB, 0xEC,
// 0xEF), with a trail byte from 0x80 to 0xFC, so that no ASCII byte is ever
// part of one. Text that code page 932 holds keeps its own bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ixo {

class ForeignTable {
 public:
  // Five lead bytes with 125 trail bytes each.
  static constexpr size_t kCapacity = 625;

  // The code of `c` (lead byte << 8 | trail byte), the next free one for a
  // character not seen before; 0 when `c` is new and every code is taken.
  uint16_t CodeFor(char32_t c);

  // The character whose code begins at s[i]; 0 when the bytes there are no
  // code of this table.
  char32_t CharAt(std::string_view s, size_t i) const;

  // How many codes are given out.
  size_t size() const { return chars_.size(); }

 private:
  // Each character is looked up for every time it occurs in a text of up to
  // some 50 MB: an open-addressing table, at most a third full, takes it in
  // one or two probes.
  struct Slot {
    char32_t c = 0;  // 0: empty (U+0000 is a character of code page 932)
    uint16_t code = 0;
  };
  static constexpr size_t kSlots = 2048;
  Slot& SlotOf(char32_t c);

  std::vector<char32_t> chars_;  // by code, in the order they first appeared
  std::vector<Slot> slots_;
};

// `text` as core text: what code page 932 holds as its own bytes (exactly
// Utf16ToCp932's), every other character as its code in `table`, and '?' for
// a new one once the codes are used up.
std::string ToCoreText(std::u16string_view text, ForeignTable& table);

// The reverse: codes of `table` as their characters, everything else as
// Cp932ToUtf16 decodes it.
std::u16string FromCoreText(std::string_view text, const ForeignTable& table);

}  // namespace ixo
