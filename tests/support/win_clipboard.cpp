#include "win_clipboard.h"

#include <cstring>
#include <vector>

#include "win_files.h"

namespace ixo {

namespace {

using UnixNameFn = char*(CDECL*)(const WCHAR*);
using DosNameFn = WCHAR*(CDECL*)(const char*);

template <typename Fn>
Fn WineFunction(const char* name) {
  return reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

// The clipboard, opened by a message-only window of the calling thread.
class TestClipboard {
 public:
  TestClipboard()
      : wnd_(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                             nullptr)) {
    open_ = WaitUntil([&] { return OpenClipboard(wnd_) != FALSE; }, 1000);
  }
  ~TestClipboard() {
    if (open_) CloseClipboard();
    DestroyWindow(wnd_);
  }
  bool open() const { return open_; }

 private:
  HWND wnd_;
  bool open_ = false;
};

bool PlaceBytes(UINT format, std::string_view bytes) {
  const HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes.empty() ? 1 : bytes.size());
  if (!mem) return false;
  std::memcpy(GlobalLock(mem), bytes.data(), bytes.size());
  GlobalUnlock(mem);
  if (!SetClipboardData(format, mem)) {
    GlobalFree(mem);
    return false;
  }
  return true;
}

bool PutBytes(UINT format, std::string_view bytes) {
  TestClipboard clipboard;
  if (!clipboard.open()) return false;
  EmptyClipboard();
  return PlaceBytes(format, bytes);
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, DWORD timeout_ms) {
  const ULONGLONG end = GetTickCount64() + timeout_ms;
  for (;;) {
    if (done()) return true;
    if (GetTickCount64() >= end) return false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

bool PutPrivateFormatOnly(std::string_view bytes) {
  return PutBytes(RegisterClipboardFormatA("IxoTestPrivateFormat"), bytes);
}

bool PutRawText(std::string_view bytes) { return PutBytes(CF_TEXT, bytes); }

bool PutCopy(std::u16string_view text, const std::vector<ClipFormat>& formats) {
  TestClipboard clipboard;
  if (!clipboard.open()) return false;
  EmptyClipboard();
  std::string units(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t));
  units.append(sizeof(char16_t), '\0');
  if (!PlaceBytes(CF_UNICODETEXT, units)) return false;
  for (const ClipFormat& f : formats) {
    if (!PlaceBytes(RegisterClipboardFormatA(f.name.c_str()), f.data)) return false;
  }
  return true;
}

LARGE_INTEGER Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now;
}

double MsBetween(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER freq;
  QueryPerformanceFrequency(&freq);
  return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 /
         static_cast<double>(freq.QuadPart);
}

ClipboardHolder::ClipboardHolder(DWORD hold_ms)
    : opened_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      release_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
  thread_ = std::thread([this, hold_ms] {
    {
      TestClipboard clipboard;
      held_ = clipboard.open();
      SetEvent(opened_);
      if (held_) WaitForSingleObject(release_, hold_ms);
    }
    closedAt_ = Now();
  });
  WaitForSingleObject(opened_, 10000);
}

ClipboardHolder::~ClipboardHolder() {
  Release();
  CloseHandle(opened_);
  CloseHandle(release_);
}

void ClipboardHolder::Release() {
  SetEvent(release_);
  if (thread_.joinable()) thread_.join();
}

bool HaveXClip() {
  const auto dos_name = WineFunction<DosNameFn>("wine_get_dos_file_name");
  if (!dos_name) return false;
  WCHAR* xclip = dos_name("/usr/bin/xclip");
  if (!xclip) return false;
  const bool found = GetFileAttributesW(xclip) != INVALID_FILE_ATTRIBUTES;
  HeapFree(GetProcessHeap(), 0, xclip);
  return found;
}

bool StartXClipText(std::string_view utf8, const std::string& scratch_file) {
  const auto unix_name = WineFunction<UnixNameFn>("wine_get_unix_file_name");
  const auto dos_name = WineFunction<DosNameFn>("wine_get_dos_file_name");
  if (!unix_name || !dos_name || !test::WriteFileBytes(scratch_file, utf8)) return false;

  std::vector<WCHAR> wide(scratch_file.size() + 1);
  MultiByteToWideChar(CP_ACP, 0, scratch_file.c_str(), -1, wide.data(),
                      static_cast<int>(wide.size()));
  char* unix_file = unix_name(wide.data());
  WCHAR* xclip = dos_name("/usr/bin/xclip");
  if (!unix_file || !xclip) return false;

  // Wine runs a Linux program given by its Windows path like any other; the
  // file name is given to it as the Linux side sees it.
  std::wstring cmd = L"\"" + std::wstring(xclip) + L"\" -selection clipboard -i \"";
  std::vector<WCHAR> unix_wide(std::strlen(unix_file) + 1);
  MultiByteToWideChar(CP_UTF8, 0, unix_file, -1, unix_wide.data(),
                      static_cast<int>(unix_wide.size()));
  cmd += unix_wide.data();
  cmd += L"\"";
  HeapFree(GetProcessHeap(), 0, unix_file);
  HeapFree(GetProcessHeap(), 0, xclip);

  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi)) {
    return false;
  }
  if (pi.hThread) CloseHandle(pi.hThread);
  if (pi.hProcess) CloseHandle(pi.hProcess);
  return true;
}

}  // namespace ixo
