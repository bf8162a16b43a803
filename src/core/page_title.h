// The <title> of a fetched page, found in the page's own charset. What
// Windows must decode is left to it: the title's bytes come out with the
// code page they are in.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ixo {

struct PageTitleBytes {
  // 65001 for UTF-8 and UTF-16 pages (a UTF-16 page's title comes out as
  // UTF-8), 932 for Shift_JIS and ISO-2022-JP pages, else the page's own.
  int codePage = 0;
  // The title element's raw text in that code page; TitleText finishes it
  // once it is decoded.
  std::string text;
  bool operator==(const PageTitleBytes&) const = default;
};

// The first <title> of `page` (the bytes read, a whole page or its start)
// served with the Content-Type header value `contentType` (may be empty).
// The charset is the declared one (DeclaredCodePage); with none, a page in
// 7-bit bytes holding ISO-2022-JP's kanji escapes is ISO-2022-JP, and
// otherwise it is UTF-8 when the bytes up to the title's end are UTF-8, and
// Shift_JIS when they are not. Nothing when the page has no title element.
std::optional<PageTitleBytes> FindPageTitle(std::string_view page, std::string_view contentType);

}  // namespace ixo
