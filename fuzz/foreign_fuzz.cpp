// Clipboard text into the core and back, and a title cut to fit a file name.
//
// Input: byte 0 is the length of the path before the title (times two);
// the rest, two bytes a unit (little-endian), is UTF-16 text of any kind:
// lone surrogates, and more than 625 characters code page 932 cannot hold
// once it is long enough. The same bytes are also decoded as code page 932.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "core/cp932.h"
#include "core/foreign.h"
#include "core/jstring.h"
#include "core/shortcut_text.h"
#include "core/utf.h"
#include "fuzz_check.h"

using ixo::Check;

namespace {

// `text` as it must come back from the core: the characters code page 932
// cannot hold past the first kCapacity distinct ones become '?'.
std::u16string Expected(std::u16string_view text) {
  std::set<char32_t> kept;
  std::u16string out;
  for (size_t i = 0; i < text.size();) {
    const size_t start = i;
    const char32_t c = ixo::NextCodePoint(text, i);
    if (!ixo::IsCp932Char(c) && !kept.count(c)) {
      if (kept.size() == ixo::ForeignTable::kCapacity) {
        out += u'?';
        continue;
      }
      kept.insert(c);
    }
    out += text.substr(start, i - start);
  }
  return out;
}

void CheckCoreText(std::u16string_view text) {
  ixo::ForeignTable table;
  const std::string core = ixo::ToCoreText(text, table);
  Check(ixo::FromCoreText(core, table) == Expected(text), "round trip");

  // Walked by the core's character rule, every code is two bytes of 0x80
  // and above; with each code put back as '?', the text is exactly what
  // code page 932 gives.
  std::string unheld;
  for (size_t i = 0; i < core.size();) {
    const auto b = static_cast<unsigned char>(core[i]);
    const size_t n = ixo::IsLeadByte(b) ? 2 : 1;
    Check(i + n <= core.size(), "a lead byte without its trail byte");
    if (table.CharAt(core, i) != 0) {
      Check(static_cast<unsigned char>(core[i + 1]) >= 0x80, "a code with an ASCII byte");
      unheld += '?';
    } else {
      unheld.append(core, i, n);
    }
    i += n;
  }
  Check(unheld == ixo::Utf16ToCp932(text), "the bytes of code page 932");
}

void CheckFitTitle(std::u16string_view title, size_t prefixUnits) {
  const std::u16string fit = ixo::FitTitle(title, prefixUnits);
  const bool fits = title.size() + 4 <= 255 && ixo::Utf8Size(title) + 4 <= 255 &&
                    prefixUnits + title.size() + 4 <= 259;
  if (fits) {
    Check(fit == title, "a title that fits is unchanged");
    return;
  }
  Check(title.substr(0, fit.size()) == fit, "the title's beginning");
  Check(fit.size() + 4 <= 255 && ixo::Utf8Size(fit) + 4 <= 255, "the name fits");
  Check(fit.empty() || prefixUnits + fit.size() + 4 <= 259, "the path fits");
  Check(fit.empty() || (fit.back() != u' ' && fit.back() != u'\u3000'), "no space at the end");
  Check(fit.empty() || !ixo::IsHighSurrogate(fit.back()) || !ixo::IsLowSurrogate(title[fit.size()]),
        "half a surrogate pair");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  std::u16string text;
  for (size_t k = 1; k + 1 < size; k += 2)
    text += static_cast<char16_t>(data[k] | data[k + 1] << 8);
  CheckCoreText(text);
  CheckFitTitle(text, data[0] * 2u);

  // Whatever the bytes, code page 932 decodes them to characters it holds.
  const std::u16string decoded =
      ixo::Cp932ToUtf16(std::string(reinterpret_cast<const char*>(data), size));
  Check(ixo::Cp932ToUtf16(ixo::Utf16ToCp932(decoded)) == decoded, "decoded characters");
  return 0;
}
