#include "core/shortcut_text.h"

#include <algorithm>

#include "core/cp932.h"
#include "core/utf.h"

namespace ixo {

namespace {

// NTFS counts a name in UTF-16 units, Linux file systems (and so Wine and
// Samba) in bytes, and a longer name is refused or, under Wine, silently cut
// through its ".URL". A path through the calls that take no "\\?\" prefix
// holds 259 characters.
constexpr size_t kLongestName = 255;
constexpr size_t kLongestPath = 259;
constexpr std::u16string_view kExtension = u".URL";

bool IsRegionalIndicator(char32_t c) { return c >= 0x1F1E6 && c <= 0x1F1FF; }

// True for the characters that belong to the one before them: combining
// marks (the common blocks, and the kana voicing marks), variation
// selectors, the zero-width joiner, emoji skin tones and tag characters.
bool GoesWithPrevious(char32_t c) {
  return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) ||
         (c >= 0x1DC0 && c <= 0x1DFF) || (c >= 0x20D0 && c <= 0x20FF) ||
         (c >= 0xFE20 && c <= 0xFE2F) || c == 0x3099 || c == 0x309A ||
         (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0100 && c <= 0xE01EF) || c == 0x200D ||
         (c >= 0x1F3FB && c <= 0x1F3FF) || (c >= 0xE0020 && c <= 0xE007F);
}

}  // namespace

std::u16string FitTitle(std::u16string_view title, size_t prefixUnits) {
  if (prefixUnits + kExtension.size() > kLongestPath) return {};
  const size_t maxUnits = std::min(kLongestName, kLongestPath - prefixUnits) - kExtension.size();
  const size_t maxBytes = kLongestName - kExtension.size();  // ".URL" is ASCII
  if (title.size() <= maxUnits && Utf8Size(title) <= maxBytes) return std::u16string(title);

  // The end of the longest part that fits at a boundary between whole
  // characters, and at one between code points (for a first character too
  // long to keep whole).
  size_t wholeEnd = 0, pointEnd = 0;
  size_t bytes = 0;
  char32_t previous = 0;
  size_t indicators = 0;  // regional indicators just before: two make a flag
  for (size_t i = 0; i < title.size();) {
    const size_t start = i;
    const char32_t c = NextCodePoint(title, i);
    const bool joined = GoesWithPrevious(c) || previous == 0x200D ||
                        (IsRegionalIndicator(c) && indicators % 2 == 1);
    if (!joined) wholeEnd = start;
    bytes += Utf8Size(title.substr(start, i - start));
    if (i > maxUnits || bytes > maxBytes) break;
    pointEnd = i;
    indicators = IsRegionalIndicator(c) ? indicators + 1 : 0;
    previous = c;
  }
  size_t end = wholeEnd > 0 ? wholeEnd : pointEnd;
  while (end > 0 && (title[end - 1] == u' ' || title[end - 1] == u'\u3000')) --end;
  return std::u16string(title.substr(0, end));
}

std::string URLLineBytes(std::u16string_view url) {
  return Utf16ToCp932(url, [](char32_t c, std::string& out) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string utf8;
    AppendUtf8(utf8, c);
    for (const char b : utf8) {
      const auto u = static_cast<unsigned char>(b);
      out += '%';
      out += kHex[u >> 4];
      out += kHex[u & 0xF];
    }
  });
}

}  // namespace ixo
