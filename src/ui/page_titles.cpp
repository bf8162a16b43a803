#include "ui/page_titles.h"

#include <thread>
#include <utility>

#include "ixo_version.h"

namespace ixo {

void AskPageTitle(HWND window, PageAsked asked, bool https) {
  auto answer = std::make_unique<PageAnswer>();
  answer->asked = std::move(asked);
  // The thread has everything it uses of its own: it touches nothing of the
  // window's, which may be gone before it ends (the program does not wait
  // for it at a close).
  std::thread([window, https, answer = std::move(answer)]() mutable {
    const std::wstring userAgent = L"Ixo/" IXO_VERSION_W;
    answer->page = FetchPage(answer->asked.shown.URL, https, userAgent);
    if (PostMessageW(window, WM_PAGETITLE, 0, reinterpret_cast<LPARAM>(answer.get()))) {
      answer.release();
    }
  }).detach();
}

std::unique_ptr<PageAnswer> TakePageAnswer(LPARAM lParam) {
  return std::unique_ptr<PageAnswer>(reinterpret_cast<PageAnswer*>(lParam));
}

}  // namespace ixo
