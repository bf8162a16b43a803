#include "core/foreign.h"

#include "core/cp932.h"
#include "core/utf.h"

namespace ixo {

namespace {

constexpr unsigned char kLeads[] = {0x85, 0x86, 0xEB, 0xEC, 0xEF};
constexpr unsigned char kFirstTrail = 0x80;
constexpr size_t kTrails = 0xFC - kFirstTrail + 1;
static_assert(sizeof kLeads * kTrails == ForeignTable::kCapacity);

// The number of the code `lead`, `trail` (its place in the order codes are
// given out), or kCapacity when the two bytes are no such code.
size_t CodeNumber(unsigned char lead, unsigned char trail) {
  if (trail < kFirstTrail || trail > 0xFC) return ForeignTable::kCapacity;
  for (size_t k = 0; k < sizeof kLeads; ++k) {
    if (kLeads[k] == lead) return k * kTrails + (trail - kFirstTrail);
  }
  return ForeignTable::kCapacity;
}

}  // namespace

uint16_t ForeignTable::CodeFor(char32_t c) {
  if (const auto it = codes_.find(c); it != codes_.end()) return it->second;
  const size_t n = chars_.size();
  if (n == kCapacity) return 0;
  const auto code = static_cast<uint16_t>(kLeads[n / kTrails] << 8 | (kFirstTrail + n % kTrails));
  chars_.push_back(c);
  codes_.emplace(c, code);
  return code;
}

char32_t ForeignTable::CharAt(std::string_view s, size_t i) const {
  if (i + 1 >= s.size()) return 0;
  const size_t n =
      CodeNumber(static_cast<unsigned char>(s[i]), static_cast<unsigned char>(s[i + 1]));
  return n < chars_.size() ? chars_[n] : 0;
}

std::string ToCoreText(std::u16string_view text, ForeignTable& table) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const char32_t c = NextCodePoint(text, i);
    if (AppendCp932(out, c)) continue;
    if (const uint16_t code = table.CodeFor(c)) {
      out.push_back(static_cast<char>(code >> 8));
      out.push_back(static_cast<char>(code & 0xFF));
    } else {
      out.push_back('?');
    }
  }
  return out;
}

std::u16string FromCoreText(std::string_view text, const ForeignTable& table) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    if (const char32_t c = table.CharAt(text, i)) {
      AppendUtf16(out, c);
      i += 2;
    } else {
      out.push_back(NextCp932Char(text, i));
    }
  }
  return out;
}

}  // namespace ixo
