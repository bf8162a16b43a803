#include "core/page_title.h"

#include <algorithm>

#include "core/charset.h"
#include "core/html.h"
#include "core/utf.h"

namespace ixo {

namespace {

// UTF-16 bytes as code units; an odd byte at the end is U+FFFD.
std::u16string Utf16Units(std::string_view bytes, bool bigEndian) {
  std::u16string out;
  out.reserve(bytes.size() / 2 + 1);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const unsigned char a = bytes[i], b = bytes[i + 1];
    out.push_back(static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a));
  }
  if (bytes.size() % 2 != 0) out.push_back(static_cast<char16_t>(kReplacementChar));
  return out;
}

// Undeclared ISO-2022-JP: 7-bit bytes only, with an escape to JIS X 0208.
bool LooksLikeIso2022Jp(std::string_view page) {
  if (std::any_of(page.begin(), page.end(),
                  [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
    return false;
  }
  return page.find("\x1B$B") != std::string_view::npos ||
         page.find("\x1B$@") != std::string_view::npos;
}

}  // namespace

std::optional<PageTitleBytes> FindPageTitle(std::string_view page, std::string_view contentType) {
  int codePage = DeclaredCodePage(page, contentType);
  if (const int bom = ByteOrderMark(page)) page.remove_prefix(bom == kCodePageUtf8 ? 3 : 2);
  if (codePage == 0 && LooksLikeIso2022Jp(page)) codePage = kCodePageIso2022Jp;

  // A UTF-16 page's markup is in UTF-16 units, and ISO-2022-JP's kanji are
  // made of ASCII bytes ('<' among them): both are read after conversion.
  if (codePage == kCodePageUtf16LE || codePage == kCodePageUtf16BE) {
    const std::u16string units = Utf16Units(page, codePage == kCodePageUtf16BE);
    const std::optional<std::u16string_view> title = TitleElementText(std::u16string_view(units));
    if (!title) return std::nullopt;
    return PageTitleBytes{kCodePageUtf8, Utf16ToUtf8(*title)};
  }
  if (codePage >= kCodePageIso2022Jp && codePage <= kCodePageIso2022Jp + 2) {
    const std::string sjis = Iso2022JpToShiftJis(page);
    const std::optional<std::string_view> title = TitleElementText(std::string_view(sjis));
    if (!title) return std::nullopt;
    return PageTitleBytes{kCodePageShiftJis, std::string(*title)};
  }
  const std::optional<std::string_view> title = TitleElementText(page);
  if (!title) return std::nullopt;
  if (codePage == 0) {
    // Only the bytes up to the title decide: a page cut off inside a
    // character, or a stray byte further down, leaves the title as it is.
    const std::string_view head = page.substr(0, title->data() + title->size() - page.data());
    codePage = IsUtf8(head) ? kCodePageUtf8 : kCodePageShiftJis;
  }
  return PageTitleBytes{codePage, std::string(*title)};
}

}  // namespace ixo
