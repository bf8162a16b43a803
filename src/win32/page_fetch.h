// A web page read for its title: one GET of an address, within limits that
// keep it a small and polite request, and the title found in what came
// back, decoded through Windows' own code pages.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ixo {

struct FetchLimits {
  DWORD totalMs = 5000;          // for the whole of it, redirects included
  size_t maxBytes = 512 * 1024;  // of the page read
  int maxRedirects = 5;
};

struct FetchedPage {
  std::string body;         // the start of the page, at most maxBytes
  std::string contentType;  // the Content-Type header's value
};

// Reads the page at `url` (http, or https too with `https`), sending no
// cookie and no credentials, with `userAgent` naming the program; redirects
// are followed within the limits to http (and https with `https`).
// Nothing when the page cannot be had: a failure, a refusal, a status that
// is not success, too many redirects, the time up. It blocks: run it away
// from the thread of the windows.
std::optional<FetchedPage> FetchPage(std::u16string_view url, bool https,
                                     const std::wstring& userAgent, const FetchLimits& limits = {});

// The title of `page` in Unicode: its <title> in the charset the page
// declares (or the one its bytes show), decoded by Windows, its references
// decoded and its whitespace collapsed. Empty when it has none.
std::u16string PageTitleOf(const FetchedPage& page);

}  // namespace ixo
