// ixoctl: drives a running Ixo.exe from outside for the end-to-end tests, the
// way another program on the desktop could: it finds the program's windows by
// the path of its executable and sends them ordinary window messages.
//   ixoctl wait EXE [SECONDS]   wait until the main window exists; print its handle
//   ixoctl state EXE            print "visible iconic caption" of the main window
//   ixoctl close EXE            post WM_CLOSE to the main window
//   ixoctl taskbar EXE          print 1 when the application window shows a taskbar button
//   ixoctl stats EXE            print "private_bytes cpu_100ns handles" of the process
//   ixoctl hold SECONDS         open the clipboard and keep it for SECONDS
//   ixoctl cliplen [LENGTH [SECONDS]]  print the length of the clipboard text; with
//                               LENGTH, wait until it is LENGTH and print the wait in ms
//   ixoctl text EXE N           print the text of the main window's edit box N (0 title, 1 URL)
//   ixoctl boxes EXE            print the number of message boxes the program shows
//   ixoctl errbox EXE [SECONDS] wait for a message box of the program, print its
//                               caption and text (at most 4 KB), and press its OK button
//   ixoctl lock FILE SECONDS    open FILE sharing nothing and keep it for SECONDS
//   ixoctl seq [OLD [SECONDS]]  print the clipboard's sequence number; with OLD, wait
//                               until it is another and the clipboard is closed
//                               (the clipboard is never opened); with "next" for OLD,
//                               print the number first and wait until it is another
//   ixoctl desktop              stay on the desktop until stdin ends (see below)
//   ixoctl viewer EXE           a clipboard viewer on both sides of the program in the
//                               chain, driven by lines on stdin (see viewer::Run below)
//   ixoctl windows EXE          print "class enabled visible foreground" for each
//                               top-level window of the program, uppermost first
//   ixoctl press EXE CLASS TEXT click the button captioned TEXT in the program's
//                               window of class CLASS (posted, as a click would come)
//   ixoctl focus SECONDS        another program takes the activation: print "focused"
//                               once its window is in front, and keep it for SECONDS
//   ixoctl trayicon EXE [click] print 1 when the program's notification-area icon is there,
//                               else 0; with click, first click it (the shell's report)
//   ixoctl keyfocus EXE         print where the keyboard is in the program: the active
//                               window's class, its X window, the page of its tabs (-1
//                               without), the focused control's class and text
//   ixoctl captions EXE         print the text of each control of the main window, one a
//                               line, in the order they were made
//   ixoctl put TEXT [NAME DATA]...  put the UTF-8 text of the file TEXT on the clipboard as
//                               CF_UNICODETEXT and, with it, each format NAME with the bytes
//                               of the file DATA, as a browser or password manager copies
//
// Texts are read and written in UTF-8, whatever the system's code page.
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ixoctl.h"
#include "win_bridge.h"

namespace {

std::string Utf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(std::max(n, 0)), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring FromUtf8(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring out(static_cast<size_t>(std::max(n, 0)), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, out.data(), n);
  return out;
}

// A window's text in UTF-8.
std::string TextOf(HWND w) {
  const int n = GetWindowTextLengthW(w);
  if (n <= 0) return {};
  std::wstring t(static_cast<size_t>(n) + 1, L'\0');
  t.resize(static_cast<size_t>(std::max(GetWindowTextW(w, t.data(), n + 1), 0)));
  return Utf8(t);
}

// A control's text in UTF-8, asked of the control itself (GetWindowText
// reads only the captions of another program's windows, not what its boxes
// hold).
std::string ControlText(HWND w) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(w, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 60000, &length)) return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutW(w, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                           SMTO_NORMAL, 60000, &got)) {
    return {};
  }
  text.resize(std::min<size_t>(got, text.size()));
  return Utf8(text);
}

std::string ImageOf(DWORD pid) {
  HANDLE p = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!p) return {};
  char buf[MAX_PATH * 2];
  DWORD n = sizeof buf;
  std::string out;
  if (QueryFullProcessImageNameA(p, 0, buf, &n)) out.assign(buf, n);
  CloseHandle(p);
  return out;
}

BOOL CALLBACK Visit(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (lstrcmpiA(ImageOf(pid).c_str(), s->exe.c_str()) != 0) return TRUE;
  char cls[64] = {};
  GetClassNameA(w, cls, sizeof cls);
  // Any window tells the process: a program that fails to start shows its
  // error box with no main window.
  s->pid = pid;
  // The main form is owned by the application's taskbar window; the
  // application window itself has no owner.
  if (std::string(cls) == "TForm1") {
    s->main = w;
  } else if (std::string(cls) == "TApplication") {
    s->app = w;
  }
  return TRUE;
}

}  // namespace

Search Find(const char* exe) {
  Search s;
  char full[MAX_PATH * 2];
  GetFullPathNameA(exe, sizeof full, full, nullptr);
  s.exe = full;
  EnumWindows(Visit, reinterpret_cast<LPARAM>(&s));
  return s;
}

namespace {

int Usage() {
  std::fputs(
      "usage: ixoctl wait|state|close|taskbar|stats|boxes|errbox EXE, ixoctl text EXE N,\n"
      "       ixoctl hold SECONDS,\n"
      "       ixoctl cliplen [LENGTH [SECONDS]], ixoctl seq [OLD|next [SECONDS]],\n"
      "       ixoctl lock FILE SECONDS, ixoctl desktop, ixoctl viewer EXE,\n"
      "       ixoctl captions EXE, ixoctl put TEXT [NAME DATA]...\n",
      stderr);
  return 2;
}

}  // namespace

int Fail(const char* why) {
  std::fprintf(stderr, "ixoctl: %s\n", why);
  return 1;
}

namespace {

DWORD Millis(const char* seconds) { return static_cast<DWORD>(std::atof(seconds) * 1000); }

// The message boxes (dialog class #32770) that the process shows.
struct Boxes {
  DWORD pid = 0;
  std::vector<HWND> found;
};

BOOL CALLBACK VisitBox(HWND w, LPARAM lp) {
  auto* b = reinterpret_cast<Boxes*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  char cls[16] = {};
  GetClassNameA(w, cls, sizeof cls);
  if (pid == b->pid && std::string(cls) == "#32770" && IsWindowVisible(w)) b->found.push_back(w);
  return TRUE;
}

std::vector<HWND> BoxesOf(DWORD pid) {
  Boxes b;
  b.pid = pid;
  EnumWindows(VisitBox, reinterpret_cast<LPARAM>(&b));
  return b.found;
}

// The text of a message box: its static control with the message.
std::string BoxText(HWND box) {
  std::string text;
  for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    char cls[16] = {};
    GetClassNameA(c, cls, sizeof cls);
    if (std::string(cls) != "Static") continue;
    text += TextOf(c);
  }
  return text;
}

}  // namespace

bool ReadFileBytes(const char* path, std::string& out) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  std::fclose(f);
  return true;
}

namespace {

// The length of the clipboard's text, or -1 when it holds none or is busy.
long long ClipTextLength() {
  if (!OpenClipboard(nullptr)) return -1;
  long long length = -1;
  if (HANDLE mem = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(mem))) {
      length = static_cast<long long>(strnlen(p, GlobalSize(mem)));
      GlobalUnlock(mem);
    }
  }
  CloseClipboard();
  return length;
}

// --- windows, press, focus: the program's modal windows ---------------------

// The top-level windows of process `pid`, in z-order, uppermost first.
std::vector<HWND> TopWindowsOf(DWORD pid) {
  struct Collect {
    DWORD pid;
    std::vector<HWND> found;
  } c{pid, {}};
  EnumWindows(
      [](HWND w, LPARAM lp) -> BOOL {
        auto* c = reinterpret_cast<Collect*>(lp);
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == c->pid) c->found.push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&c));
  return c.found;
}

std::string ClassOf(HWND w) {
  char cls[64] = {};
  GetClassNameA(w, cls, sizeof cls);
  return cls;
}

// The button captioned `text` among the descendants of `top`, or null.
HWND ButtonIn(HWND top, const std::string& text) {
  struct Search {
    const std::string* text;
    HWND found = nullptr;
  } s{&text};
  EnumChildWindows(
      top,
      [](HWND w, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        if (lstrcmpiA(ClassOf(w).c_str(), "Button") != 0 || *s->text != TextOf(w)) return TRUE;
        s->found = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

int ListWindows(DWORD pid) {
  const HWND foreground = GetForegroundWindow();
  for (HWND w : TopWindowsOf(pid)) {
    std::printf("%s %d %d %d\n", ClassOf(w).c_str(), IsWindowEnabled(w) ? 1 : 0,
                IsWindowVisible(w) ? 1 : 0, w == foreground ? 1 : 0);
  }
  return 0;
}

int Press(DWORD pid, const std::string& cls, const std::string& text) {
  for (HWND w : TopWindowsOf(pid)) {
    if (ClassOf(w) != cls) continue;
    HWND button = ButtonIn(w, text);
    if (!button) continue;
    // What the button tells its parent when clicked. Posted: the click may
    // open a modal window, and a sender would wait for it to close.
    const WPARAM command = MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED);
    const BOOL posted =
        PostMessageA(GetParent(button), WM_COMMAND, command, reinterpret_cast<LPARAM>(button));
    return posted ? 0 : Fail("the click could not be posted");
  }
  return Fail("no such button");
}

int Focus(DWORD millis) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "IxoctlFocus";
  RegisterClassA(&wc);
  HWND w = CreateWindowExA(0, wc.lpszClassName, "ixoctl", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 700,
                           500, 120, 80, nullptr, nullptr, wc.hInstance, nullptr);
  if (!w) return Fail("no window of its own");
  const DWORD start = GetTickCount();
  bool said = false;
  MSG msg;
  for (;;) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    if (!said) {
      if (GetForegroundWindow() == w) {
        std::puts("focused");
        std::fflush(stdout);
        said = true;
      } else {
        SetForegroundWindow(w);
      }
    }
    // A window that cannot come to the front says so by saying nothing.
    const DWORD limit = said ? millis : std::min<DWORD>(millis, 20000);
    if (GetTickCount() - start > limit)
      return said ? 0 : Fail("its window never came to the front");
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
}

}  // namespace

// Puts the UTF-8 text of the file `textFile` as CF_UNICODETEXT and, with it,
// the formats named in `formats` (name, file, name, file...).
int Put(const char* textFile, char** formats, int count) {
  std::string utf8;
  if (!ReadFileBytes(textFile, utf8)) return Fail("the text cannot be read");
  const std::wstring text = FromUtf8(utf8);
  std::vector<std::pair<UINT, std::string>> data;
  for (int i = 0; i + 1 < count; i += 2) {
    std::string bytes;
    if (!ReadFileBytes(formats[i + 1], bytes)) return Fail("a format's data cannot be read");
    data.emplace_back(RegisterClipboardFormatW(FromUtf8(formats[i]).c_str()), bytes);
  }
  const auto place = [](UINT format, const void* bytes, size_t size) {
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, size ? size : 1);
    if (!mem) return false;
    std::memcpy(GlobalLock(mem), bytes, size);
    GlobalUnlock(mem);
    if (SetClipboardData(format, mem)) return true;
    GlobalFree(mem);
    return false;
  };
  bool opened = false;
  for (int attempt = 0; attempt < 200 && !(opened = OpenClipboard(nullptr)); ++attempt) Sleep(10);
  if (!opened) return Fail("the clipboard stays held");
  EmptyClipboard();
  bool ok = place(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  for (const auto& [format, bytes] : data) ok = ok && place(format, bytes.data(), bytes.size());
  CloseClipboard();
  return ok ? 0 : Fail("the copy could not be put");
}

int main(int, char**) {
  // The arguments in UTF-8, whatever the system's code page.
  int wargc = 0;
  LPWSTR* wargv = CommandLineToArgvW(GetCommandLineW(), &wargc);
  std::vector<std::string> utf8Args;
  for (int i = 0; i < wargc; ++i) utf8Args.push_back(Utf8(wargv[i]));
  LocalFree(wargv);
  std::vector<char*> argPointers;
  for (std::string& a : utf8Args) argPointers.push_back(a.data());
  argPointers.push_back(nullptr);
  const int argc = wargc;
  char** const argv = argPointers.data();
  if (argc < 2) return Usage();
  const std::string cmd = argv[1];
  if (cmd == "cliplen") {
    if (argc < 3) {
      std::printf("%lld\n", ClipTextLength());
      return 0;
    }
    const long long want = std::atoll(argv[2]);
    const DWORD start = GetTickCount();
    const DWORD limit = argc > 3 ? Millis(argv[3]) : 60000;
    for (;;) {
      if (ClipTextLength() == want) {
        std::printf("%lu\n", static_cast<unsigned long>(GetTickCount() - start));
        return 0;
      }
      if (GetTickCount() - start > limit) return Fail("the text never had that length");
      Sleep(5);
    }
  }
  if (cmd == "seq") {
    // The sequence number changes with every change; reading it leaves the
    // clipboard free for others (Wine's bridge drops a change from X that
    // finds the clipboard open). The change counts once the clipboard is
    // closed again: the notices of the change have gone out then.
    if (argc < 3) {
      std::printf("%lu\n", static_cast<unsigned long>(GetClipboardSequenceNumber()));
      return 0;
    }
    // "next": the number now, said at once, is the one to change from: one
    // process for the whole of a put from X, which costs Wine a start less.
    DWORD old;
    if (std::string(argv[2]) == "next") {
      old = GetClipboardSequenceNumber();
      std::printf("%lu\n", static_cast<unsigned long>(old));
      std::fflush(stdout);
    } else {
      old = std::strtoul(argv[2], nullptr, 10);
    }
    const DWORD start = GetTickCount();
    const DWORD limit = argc > 3 ? Millis(argv[3]) : 60000;
    for (;;) {
      const DWORD now = GetClipboardSequenceNumber();
      if (now != old && !GetOpenClipboardWindow()) {
        std::printf("%lu\n", static_cast<unsigned long>(now));
        return 0;
      }
      if (GetTickCount() - start > limit) return Fail("the clipboard did not change");
      Sleep(5);
    }
  }
  if (cmd == "desktop") {
    // Wine's desktop process, and with it the bridge that takes the X
    // clipboard over into Windows', runs only while a program is on the
    // desktop (it ends a second after the last one). A real desktop always
    // has one; this one stands in for it between the programs of a test run.
    if (!CreateWindowExA(0, "STATIC", "ixoctl desktop", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                         GetModuleHandleA(nullptr), nullptr)) {
      return Fail("no window of its own");
    }
    // "ready" once the bridge has started (and taken the X clipboard over).
    std::puts(ixo::WaitForClipboardBridge() ? "ready" : "ready, without a bridge to X");
    std::fflush(stdout);
    // Until the end of its input.
    char buf[256];
    while (std::fgets(buf, sizeof buf, stdin)) {
    }
    return 0;
  }
  if (argc < 3) return Usage();
  if (cmd == "viewer") return viewer::Run(argv[2]);
  if (cmd == "put") return Put(argv[2], argv + 3, argc - 3);
  if (cmd == "hold") {
    if (!OpenClipboard(nullptr)) return Fail("the clipboard is held");
    std::puts("held");
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(std::atof(argv[2]) * 1000));
    CloseClipboard();
    return 0;
  }
  if (cmd == "lock") {
    if (argc < 4) return Usage();
    HANDLE f = CreateFileA(argv[2], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE) return Fail("the file cannot be opened");
    std::puts("locked");
    std::fflush(stdout);
    Sleep(Millis(argv[3]));
    CloseHandle(f);
    return 0;
  }
  if (cmd == "focus") return Focus(Millis(argv[2]));
  if (cmd == "wait") {
    const double seconds = argc > 3 ? std::atof(argv[3]) : 30;
    const DWORD until = GetTickCount() + static_cast<DWORD>(seconds * 1000);
    for (;;) {
      Search s = Find(argv[2]);
      if (s.main) {
        // Started means: the main window exists and the message loop has
        // run dry once, so start-up (settings, clipboard, chain) is done.
        HANDLE p = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, s.pid);
        const LONG left = static_cast<LONG>(until - GetTickCount());
        const DWORD idle =
            p ? WaitForInputIdle(p, left > 0 ? static_cast<DWORD>(left) : 0) : WAIT_FAILED;
        if (p) CloseHandle(p);
        if (idle != 0) {
          std::fprintf(stderr, "the main window is there, but no idle moment: %lu, error %lu\n",
                       static_cast<unsigned long>(idle), GetLastError());
          return 1;
        }
        std::printf("%p\n", static_cast<void*>(s.main));
        return 0;
      }
      if (static_cast<LONG>(GetTickCount() - until) > 0) {
        std::fputs("no main window\n", stderr);
        return 1;
      }
      Sleep(50);
    }
  }
  if (cmd == "errbox") {
    const DWORD until = GetTickCount() + (argc > 3 ? Millis(argv[3]) : 0);
    for (;;) {
      // The program may still be starting: looked for again each time.
      const std::vector<HWND> boxes = BoxesOf(Find(argv[2]).pid);
      if (!boxes.empty()) {
        HWND box = boxes.front();
        // A message naming a huge file is cut: its start tells what it says.
        std::string text = BoxText(box);
        if (text.size() > 4096) text.resize(4096);
        std::printf("%s\n%s\n", TextOf(box).c_str(), text.c_str());
        std::fflush(stdout);
        // The box's OK button, pressed as a click would.
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        return 0;
      }
      if (static_cast<LONG>(GetTickCount() - until) > 0) return Fail("no message box");
      Sleep(20);
    }
  }
  Search s = Find(argv[2]);
  if (!s.main) return Fail("no main window");
  if (cmd == "state") {
    std::printf("%d %d %s\n", IsWindowVisible(s.main) ? 1 : 0, IsIconic(s.main) ? 1 : 0,
                TextOf(s.main).c_str());
    return 0;
  }
  if (cmd == "close") return PostMessageA(s.main, WM_CLOSE, 0, 0) ? 0 : Fail("not posted");
  if (cmd == "text") {
    if (argc < 4) return Usage();
    int n = std::atoi(argv[3]);
    for (HWND c = GetWindow(s.main, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      char cls[16] = {};
      GetClassNameA(c, cls, sizeof cls);
      if (lstrcmpiA(cls, "Edit") != 0 || n-- > 0) continue;
      // Asked of the box itself: the answer comes once the program is back
      // in its message loop, so whatever it was doing is done.
      DWORD_PTR length = 0;
      if (!SendMessageTimeoutW(c, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 60000, &length)) {
        return Fail("the box did not answer");
      }
      std::wstring text(length + 1, L'\0');
      DWORD_PTR got = 0;
      if (!SendMessageTimeoutW(c, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                               SMTO_NORMAL, 60000, &got)) {
        return Fail("the box did not answer");
      }
      text.resize(std::min<size_t>(got, 4096));
      std::printf("%s\n", Utf8(text).c_str());
      return 0;
    }
    return Fail("no such edit box");
  }
  if (cmd == "boxes") {
    std::printf("%u\n", static_cast<unsigned>(BoxesOf(s.pid).size()));
    return 0;
  }
  if (cmd == "windows") return ListWindows(s.pid);
  if (cmd == "press") return argc < 5 ? Usage() : Press(s.pid, argv[3], argv[4]);
  if (cmd == "trayicon") {
    // The program's icon: identifier 1 of its main window, reporting clicks
    // with message 0x0400.
    constexpr UINT kTrayMessage = 0x0400;
    if (argc > 3 && std::string(argv[3]) == "click") {
      PostMessageA(s.main, kTrayMessage, 1, WM_LBUTTONDOWN);
      PostMessageA(s.main, kTrayMessage, 1, WM_LBUTTONUP);
    }
    NOTIFYICONDATAA probe{};
    probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
    probe.hWnd = s.main;
    probe.uID = 1;
    // Changing nothing of an icon succeeds only for an icon that is there.
    std::printf("%d\n", Shell_NotifyIconA(NIM_MODIFY, &probe) ? 1 : 0);
    return 0;
  }
  if (cmd == "keyfocus") {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(s.main, nullptr), &info) || !info.hwndActive) {
      return Fail("no active window");
    }
    char active[64] = {};
    GetClassNameA(info.hwndActive, active, sizeof active);
    // Wine keeps the X window of a top-level window in this property.
    const auto xid =
        reinterpret_cast<ULONG_PTR>(GetPropA(info.hwndActive, "__wine_x11_whole_window"));
    constexpr UINT kGetCurSel = 0x130B;  // TCM_GETCURSEL
    DWORD_PTR page = static_cast<DWORD_PTR>(-1);
    if (HWND tabs = FindWindowExA(info.hwndActive, nullptr, "SysTabControl32", nullptr)) {
      if (!SendMessageTimeoutA(tabs, kGetCurSel, 0, 0, SMTO_NORMAL, 20000, &page)) {
        return Fail("the tabs did not answer");
      }
    }
    char focus[64] = "-";
    std::string text;
    if (info.hwndFocus) {
      GetClassNameA(info.hwndFocus, focus, sizeof focus);
      text = TextOf(info.hwndFocus);
    }
    std::printf("%s %llu %d %s %s\n", active, static_cast<unsigned long long>(xid),
                static_cast<int>(page), focus, text.c_str());
    return 0;
  }
  if (cmd == "captions") {
    // Made in tab order, each after the one before in z-order.
    for (HWND c = GetWindow(s.main, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      std::printf("%s\n", ControlText(c).c_str());
    }
    return 0;
  }
  if (cmd == "taskbar") {
    std::printf("%d\n", s.app && IsWindowVisible(s.app) ? 1 : 0);
    return 0;
  }
  if (cmd == "stats") {
    HANDLE p = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, s.pid);
    if (!p) return Fail("the process cannot be opened");
    PROCESS_MEMORY_COUNTERS_EX mem = {};
    mem.cb = sizeof mem;
    GetProcessMemoryInfo(p, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&mem), sizeof mem);
    FILETIME created, exited, kernel, user;
    GetProcessTimes(p, &created, &exited, &kernel, &user);
    const unsigned long long cpu =
        (static_cast<unsigned long long>(kernel.dwHighDateTime) << 32 | kernel.dwLowDateTime) +
        (static_cast<unsigned long long>(user.dwHighDateTime) << 32 | user.dwLowDateTime);
    DWORD handles = 0;
    GetProcessHandleCount(p, &handles);
    std::printf("%llu %llu %lu\n", static_cast<unsigned long long>(mem.PrivateUsage), cpu,
                static_cast<unsigned long>(handles));
    CloseHandle(p);
    return 0;
  }
  return Usage();
}
