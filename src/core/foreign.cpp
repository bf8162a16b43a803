#include "core/foreign.h"

#include "core/cp932.h"
#include "core/utf.h"

namespace ixo {

namespace {

constexpr unsigned char kLeads[] = {0x85, 0x86, 0xEB, 0xEC, 0xEF};
constexpr unsigned char kFirstTrail = 0x80;
constexpr size_t kTrails = 0xFC - kFirstTrail + 1;
static_assert(sizeof kLeads * kTrails == ForeignTable::kCapacity);

// The place of lead byte `b` in kLeads; -1 for another byte.
int LeadIndex(unsigned char b) {
  for (int k = 0; k < static_cast<int>(sizeof kLeads); ++k) {
    if (kLeads[k] == b) return k;
  }
  return -1;
}

}  // namespace

ForeignTable::Slot& ForeignTable::SlotOf(char32_t c) {
  if (slots_.empty()) slots_.resize(kSlots);
  size_t k = (c * 0x9E3779B1u) >> 21 & (kSlots - 1);  // Fibonacci hashing
  while (slots_[k].c != 0 && slots_[k].c != c) k = (k + 1) & (kSlots - 1);
  return slots_[k];
}

uint16_t ForeignTable::CodeFor(char32_t c) {
  Slot& slot = SlotOf(c);
  if (slot.c == c) return slot.code;
  const size_t n = chars_.size();
  if (n == kCapacity) return 0;
  chars_.push_back(c);
  slot.c = c;
  slot.code = static_cast<uint16_t>(kLeads[n / kTrails] << 8 | (kFirstTrail + n % kTrails));
  return slot.code;
}

char32_t ForeignTable::CharAt(std::string_view s, size_t i) const {
  if (i + 1 >= s.size()) return 0;
  const int lead = LeadIndex(static_cast<unsigned char>(s[i]));
  const auto trail = static_cast<unsigned char>(s[i + 1]);
  if (lead < 0 || trail < kFirstTrail || trail > 0xFC) return 0;
  const size_t n = lead * kTrails + (trail - kFirstTrail);
  return n < chars_.size() ? chars_[n] : 0;
}

std::string ToCoreText(std::u16string_view text, ForeignTable& table) {
  return Utf16ToCp932(text, [&table](char32_t c, std::string& out) {
    if (const uint16_t code = table.CodeFor(c)) {
      out.push_back(static_cast<char>(code >> 8));
      out.push_back(static_cast<char>(code & 0xFF));
    } else {
      out.push_back('?');
    }
  });
}

std::u16string FromCoreText(std::string_view text, const ForeignTable& table) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      out.push_back(static_cast<unsigned char>(text[i++]));
    } else if (const char32_t c = table.CharAt(text, i)) {
      AppendUtf16(out, c);
      i += 2;
    } else {
      out.push_back(NextCp932Char(text, i));
    }
  }
  return out;
}

}  // namespace ixo
