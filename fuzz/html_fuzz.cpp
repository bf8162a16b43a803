// The titles out of HTML on any bytes: a link's text and a page's title
// are clean (no whitespace at either end, no run of it, no control, no
// lone surrogate); a page's title is its own bytes, found where the page
// says; ISO-2022-JP comes out as well-formed Shift_JIS. And text written
// into a link, escaped or as numeric references, reads back as it was.
//
// Input: byte 0 chooses the Content-Type and the address; the rest is the
// fragment, the page and the text at once.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/charset.h"
#include "core/html.h"
#include "core/page_title.h"
#include "core/utf.h"
#include "fuzz_check.h"

using ixo::Check;

namespace {

const char* const kContentTypes[] = {
    "",
    "text/html",
    "text/html; charset=utf-8",
    "text/html; charset=Shift_JIS",
    "text/html; charset=EUC-JP",
    "text/html; charset=iso-2022-jp",
    "text/html; charset=utf-16le",
    "text/html; charset=UTF-16BE",
};
const char* const kAddresses[] = {"http://example.com/", "https://a/?x=1&y=2", "http://a/&copy=1"};

void CheckClean(const std::u16string& title, const char* what) {
  Check(title.empty() || (title.front() != u' ' && title.back() != u' '), what);
  for (size_t i = 0; i < title.size(); ++i) {
    Check(title[i] >= 0x20, what);
    Check(i == 0 || title[i] != u' ' || title[i - 1] != u' ', what);
    if (ixo::IsHighSurrogate(title[i])) {
      Check(i + 1 < title.size() && ixo::IsLowSurrogate(title[i + 1]), what);
      ++i;
    } else {
      Check(!ixo::IsLowSurrogate(title[i]), what);
    }
  }
}

// Shift_JIS made of whole characters: each lead byte with its trail byte.
bool IsWellFormedShiftJis(std::string_view s) {
  for (size_t i = 0; i < s.size(); ++i) {
    const unsigned char b = s[i];
    if (b == 0x1B || b == 0x0E || b == 0x0F) return false;
    if (b < 0x80 || (b >= 0xA1 && b <= 0xDF)) continue;
    if (!((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEF)) || ++i >= s.size()) return false;
    const unsigned char t = s[i];
    if (!((t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC))) return false;
  }
  return true;
}

std::string Escaped(std::string_view text) {
  std::string out;
  for (const char c : text) out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : std::string(1, c);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t mode = data[0];
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  const char* contentType = kContentTypes[mode % std::size(kContentTypes)];
  const std::string address = kAddresses[(mode >> 3) % std::size(kAddresses)];

  CheckClean(ixo::LinkTitle(rest, address), "link title clean");
  const std::u16string wide = ixo::Utf8ToUtf16(rest);
  CheckClean(ixo::TitleText(wide), "title text clean");
  if (const auto title = ixo::TitleElementText(std::u16string_view(wide))) {
    Check(
        title->data() >= wide.data() && title->data() + title->size() <= wide.data() + wide.size(),
        "UTF-16 title inside the page");
  }

  const int declared = ixo::DeclaredCodePage(rest, contentType);
  if (const auto title = ixo::FindPageTitle(rest, contentType)) {
    // Undeclared ISO-2022-JP: 7-bit bytes with an escape to JIS X 0208.
    const bool sevenBit = std::all_of(rest.begin(), rest.end(),
                                      [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    const bool iso =
        declared == ixo::kCodePageIso2022Jp || (declared == 0 && sevenBit &&
                                                (rest.find("\x1B$B") != std::string_view::npos ||
                                                 rest.find("\x1B$@") != std::string_view::npos));
    const bool converted =
        declared == ixo::kCodePageUtf16LE || declared == ixo::kCodePageUtf16BE || iso;
    Check(title->codePage != 0, "a code page");
    Check(converted || rest.find(title->text) != std::string_view::npos, "title from the page");
    if (declared != 0 && !converted) Check(title->codePage == declared, "declared code page");
  }

  const std::string sjis = ixo::Iso2022JpToShiftJis(rest);
  Check(IsWellFormedShiftJis(sjis), "ISO-2022-JP as well-formed Shift_JIS");

  // Text written into a link to the address reads back collapsed: escaped,
  // and every character as a decimal reference.
  const std::string text = ixo::Utf16ToUtf8(wide);
  const std::u16string want = ixo::CollapseWhitespace(ixo::Utf8ToUtf16(text));
  const std::string href = "<a href=\"" + Escaped(address) + "\">";
  Check(ixo::LinkTitle(href + Escaped(text) + "</a>", address) == want, "escaped link text");
  std::string numeric;
  for (size_t i = 0; i < wide.size();) {
    const char32_t c = ixo::NextCodePoint(wide, i);
    const bool remapped = c == 0 || (c >= 0x80 && c <= 0x9F);
    numeric += remapped ? std::string("?") : std::string("&#").append(std::to_string(c)) + ";";
  }
  std::u16string wantNumeric;
  for (size_t i = 0; i < wide.size();) {
    const char32_t c = ixo::NextCodePoint(wide, i);
    ixo::AppendUtf16(wantNumeric, c == 0 || (c >= 0x80 && c <= 0x9F) ? U'?' : c);
  }
  Check(ixo::LinkTitle(href + numeric + "</a>", address) == ixo::CollapseWhitespace(wantNumeric),
        "numeric references");
  return 0;
}
