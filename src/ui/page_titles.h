// Titles asked of the pages whose shortcuts were saved under their
// address's name (the copy named nothing): each page is asked on a thread of
// its own, so that the window, the watch and the countdown go on meanwhile,
// and the answer comes back to the window as a message.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "core/cliptext.h"
#include "win32/page_fetch.h"

namespace ixo {

// The message the window gets with an answer (lParam: TakePageAnswer's).
inline constexpr UINT WM_PAGETITLE = WM_APP + 1;

// What an answer is for: the shortcut as saved, and what the boxes showed.
struct PageAsked {
  std::wstring folder;
  std::wstring file;
  TURLText shown;
};

struct PageAnswer {
  PageAsked asked;
  std::optional<FetchedPage> page;  // nothing: no page within the limits
};

// Asks the page at `asked.shown.URL` (https too with `https`) in the
// background; `window` gets WM_PAGETITLE once the answer is there, unless it
// is gone by then. A close does not wait for it.
void AskPageTitle(HWND window, PageAsked asked, bool https);

// The answer a WM_PAGETITLE carries, taken over.
std::unique_ptr<PageAnswer> TakePageAnswer(LPARAM lParam);

}  // namespace ixo
