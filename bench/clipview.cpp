// clipview: the least a clipboard-watching program can do, as a yardstick for
// bench/footprint.py. It joins the clipboard viewer chain and, for every text
// of the form "title CR LF address", writes FOLDER\title.URL, as Ixo does
// with watching on. Memory it gains over many clipboard changes is the
// platform's (Wine's), not a program's; Ixo's own share is what it gains
// beyond this.
//   clipview FOLDER
#include <windows.h>

#include <string>

namespace {

HWND nextViewer = nullptr;
std::string folder;

std::string ClipboardText(HWND owner) {
  std::string text;
  if (!OpenClipboard(owner)) return text;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(data))) {
      text = p;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

void WriteShortcut(const std::string& text) {
  const size_t eol = text.find("\r\n");
  if (eol == std::string::npos) return;
  const std::string body = "[InternetShortcut]\r\nURL=" + text.substr(eol + 2) + "\r\n";
  const std::string path = folder + "\\" + text.substr(0, eol) + ".URL";
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(f, body.data(), static_cast<DWORD>(body.size()), &written, nullptr);
  CloseHandle(f);
}

LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_DRAWCLIPBOARD:
      WriteShortcut(ClipboardText(w));
      if (nextViewer) SendMessageA(nextViewer, msg, wp, lp);
      return 0;
    case WM_CHANGECBCHAIN:
      if (reinterpret_cast<HWND>(wp) == nextViewer) {
        nextViewer = reinterpret_cast<HWND>(lp);
      } else if (nextViewer) {
        SendMessageA(nextViewer, msg, wp, lp);
      }
      return 0;
    case WM_DESTROY:
      ChangeClipboardChain(w, nextViewer);
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(w, msg, wp, lp);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int) {
  folder = cmdLine;
  // Wine quotes an argument that holds a blank.
  if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"') {
    folder = folder.substr(1, folder.size() - 2);
  }
  WNDCLASSA wc = {};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.lpszClassName = "clipview";
  RegisterClassA(&wc);
  HWND w = CreateWindowA("clipview", "clipview", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                         nullptr, instance, nullptr);
  if (!w) return 1;
  nextViewer = SetClipboardViewer(w);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}
