#include "win32/page_fetch.h"

#include <winhttp.h>

#include <vector>

#include "core/charset.h"
#include "core/html.h"
#include "core/page_title.h"
#include "core/utf.h"
#include "core/web_address.h"
#include "win32/wide.h"

namespace ixo {
namespace {

// A WinHTTP handle, closed when the scope ends.
class HttpHandle {
 public:
  explicit HttpHandle(HINTERNET h) : h_(h) {}
  ~HttpHandle() {
    if (h_) WinHttpCloseHandle(h_);
  }
  HttpHandle(const HttpHandle&) = delete;
  HttpHandle& operator=(const HttpHandle&) = delete;
  HINTERNET Get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  HINTERNET h_;
};

// The milliseconds left until `deadline` (a GetTickCount64 value); 0 when
// the time is up.
DWORD Left(ULONGLONG deadline) {
  const ULONGLONG now = GetTickCount64();
  return now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
}

std::wstring Header(HINTERNET request, DWORD which) {
  DWORD size = 0;
  WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &size,
                      WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return {};
  std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
  if (!WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, value.data(), &size,
                           WINHTTP_NO_HEADER_INDEX)) {
    return {};
  }
  value.resize(size / sizeof(wchar_t));
  return value;
}

// One request of the address `url`: its status, and the page or the next
// address to ask.
struct Answer {
  DWORD status = 0;
  std::wstring location;
  FetchedPage page;
};

std::optional<Answer> Ask(HINTERNET session, const std::wstring& url, ULONGLONG deadline,
                          size_t maxBytes) {
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength =
      static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) return {};
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
  path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (path.empty()) path = L"/";

  const HttpHandle connection(WinHttpConnect(session, host.c_str(), parts.nPort, 0));
  if (!connection) return {};
  const wchar_t* accept[] = {L"text/html", L"application/xhtml+xml", nullptr};
  const HttpHandle request(
      WinHttpOpenRequest(connection.Get(), L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                         accept, parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0));
  if (!request) return {};
  // No cookie is kept or sent, no credentials are offered, and a redirect
  // is the program's to follow, within its limits.
  DWORD disable = WINHTTP_DISABLE_COOKIES | WINHTTP_DISABLE_REDIRECTS |
                  WINHTTP_DISABLE_AUTHENTICATION | WINHTTP_DISABLE_KEEP_ALIVE;
  WinHttpSetOption(request.Get(), WINHTTP_OPTION_DISABLE_FEATURE, &disable, sizeof disable);
  DWORD logon = WINHTTP_AUTOLOGON_SECURITY_LEVEL_HIGH;
  WinHttpSetOption(request.Get(), WINHTTP_OPTION_AUTOLOGON_POLICY, &logon, sizeof logon);

  const auto timeouts = [&] {
    const int left = static_cast<int>(Left(deadline));
    return left > 0 && WinHttpSetTimeouts(request.Get(), left, left, left, left);
  };
  if (!timeouts() ||
      !WinHttpSendRequest(request.Get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA,
                          0, 0, 0) ||
      !timeouts() || !WinHttpReceiveResponse(request.Get(), nullptr)) {
    return {};
  }
  Answer answer;
  DWORD size = sizeof answer.status;
  if (!WinHttpQueryHeaders(request.Get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &answer.status, &size,
                           WINHTTP_NO_HEADER_INDEX)) {
    return {};
  }
  if (answer.status >= 300 && answer.status < 400) {
    answer.location = Header(request.Get(), WINHTTP_QUERY_LOCATION);
    return answer;
  }
  if (answer.status < 200 || answer.status >= 300) return answer;
  // A header is ASCII; anything else in it names no charset.
  for (const wchar_t c : Header(request.Get(), WINHTTP_QUERY_CONTENT_TYPE)) {
    answer.page.contentType.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  }
  std::string& body = answer.page.body;
  std::vector<char> chunk(16384);
  while (body.size() < maxBytes) {
    if (!timeouts()) return {};
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min(chunk.size(), maxBytes - body.size()));
    if (!WinHttpReadData(request.Get(), chunk.data(), want, &got)) return {};
    if (got == 0) break;
    body.append(chunk.data(), got);
  }
  return answer;
}

bool Allowed(std::u16string_view url, bool https) {
  const std::u16string scheme = SchemeOf(url);
  return scheme == u"http" || (https && scheme == u"https");
}

}  // namespace

std::optional<FetchedPage> FetchPage(std::u16string_view url, bool https,
                                     const std::wstring& userAgent, const FetchLimits& limits) {
  const ULONGLONG deadline = GetTickCount64() + limits.totalMs;
  const HttpHandle session(WinHttpOpen(userAgent.c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                       WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) return {};
  std::u16string address(url);
  for (int hop = 0; hop <= limits.maxRedirects; ++hop) {
    if (!Allowed(address, https) || Left(deadline) == 0) return {};
    const std::optional<Answer> answer =
        Ask(session.Get(), ToWide(RequestAddress(address)), deadline, limits.maxBytes);
    if (!answer) return {};
    if (answer->status >= 200 && answer->status < 300) return answer->page;
    if (answer->location.empty()) return {};
    address = ResolveAddress(address, ToU16(answer->location));
  }
  return {};
}

std::u16string PageTitleOf(const FetchedPage& page) {
  const std::optional<PageTitleBytes> title = FindPageTitle(page.body, page.contentType);
  if (!title || title->text.empty()) return {};
  std::u16string text;
  if (title->codePage == kCodePageUtf8) {
    text = Utf8ToUtf16(title->text);
  } else {
    // The page's own code page, as Windows reads it.
    const int size = static_cast<int>(title->text.size());
    const int n = MultiByteToWideChar(static_cast<UINT>(title->codePage), 0, title->text.data(),
                                      size, nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(static_cast<UINT>(title->codePage), 0, title->text.data(), size,
                        wide.data(), n);
    text = ToU16(wide);
  }
  return TitleText(text);
}

}  // namespace ixo
