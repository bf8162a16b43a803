// ixoctl: drives a running Ixo.exe from outside for the end-to-end tests, the
// way another program on the desktop could: it finds the program's windows by
// the path of its executable and sends them ordinary window messages.
//   ixoctl wait EXE [SECONDS]   wait until the main window exists; print its handle
//   ixoctl state EXE            print "visible iconic caption" of the main window
//   ixoctl close EXE            post WM_CLOSE to the main window
//   ixoctl taskbar EXE          print 1 when the application window shows a taskbar button
//   ixoctl stats EXE            print "private_bytes cpu_100ns handles" of the process
//   ixoctl hold SECONDS         open the clipboard and keep it for SECONDS
//   ixoctl puthold FILE SECONDS [EXE]  put the bytes of FILE on the clipboard as text,
//                               then open it again at once and keep it for SECONDS;
//                               with EXE, that program's notice of the change is sure
//                               to find the clipboard held
//   ixoctl cliplen [LENGTH [SECONDS]]  print the length of the clipboard text; with
//                               LENGTH, wait until it is LENGTH and print the wait in ms
//   ixoctl text EXE N           print the text of the main window's edit box N (0 title, 1 URL)
//   ixoctl boxes EXE            print the number of message boxes the program shows
//   ixoctl errbox EXE [SECONDS] wait for a message box of the program, print its
//                               caption and text (at most 4 KB), and press its OK button
//   ixoctl lock FILE SECONDS    open FILE sharing nothing and keep it for SECONDS
//   ixoctl trayicon EXE [click] print 1 when the program's notification-area icon is there,
//                               else 0; with click, first click it (the shell's report)
//   ixoctl keyfocus EXE         print where the keyboard is in the program: the active
//                               window's class, its X window, the page of its tabs (-1
//                               without), the focused control's class and text
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Search {
  std::string exe;
  HWND main = nullptr;
  HWND app = nullptr;
  DWORD pid = 0;
};

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
  // The main form is owned by the application's taskbar window; the
  // application window itself has no owner.
  if (std::string(cls) == "TForm1") {
    s->main = w;
    s->pid = pid;
  } else if (std::string(cls) == "TApplication") {
    s->app = w;
  }
  return TRUE;
}

Search Find(const char* exe) {
  Search s;
  char full[MAX_PATH * 2];
  GetFullPathNameA(exe, sizeof full, full, nullptr);
  s.exe = full;
  EnumWindows(Visit, reinterpret_cast<LPARAM>(&s));
  return s;
}

int Usage() {
  std::fputs(
      "usage: ixoctl wait|state|close|taskbar|stats|boxes|errbox EXE, ixoctl text EXE N,\n"
      "       ixoctl hold SECONDS,\n"
      "       ixoctl puthold FILE SECONDS, ixoctl cliplen [LENGTH [SECONDS]],\n"
      "       ixoctl lock FILE SECONDS\n",
      stderr);
  return 2;
}

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
    const int n = GetWindowTextLengthA(c);
    if (n <= 0) continue;
    std::string t(static_cast<size_t>(n) + 1, '\0');
    t.resize(static_cast<size_t>(std::max(GetWindowTextA(c, t.data(), n + 1), 0)));
    text += t;
  }
  return text;
}

// A window of this thread that can own what it puts on the clipboard.
HWND OwnerWindow() {
  return CreateWindowExA(0, "STATIC", "ixoctl", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

bool ReadFileBytes(const char* path, std::string& out) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  std::fclose(f);
  return true;
}

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

}  // namespace

int main(int argc, char** argv) {
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
      if (GetTickCount() - start > limit) return 1;
      Sleep(5);
    }
  }
  if (argc < 3) return Usage();
  if (cmd == "hold") {
    if (!OpenClipboard(nullptr)) return 1;
    std::puts("held");
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(std::atof(argv[2]) * 1000));
    CloseClipboard();
    return 0;
  }
  if (cmd == "puthold") {
    if (argc < 4) return Usage();
    std::string text;
    if (!ReadFileBytes(argv[2], text)) return 1;
    HWND owner = OwnerWindow();
    // Others (Wine's bridge to X) open the clipboard for a moment now and
    // then: each opening is tried for a while.
    auto open = [owner] {
      for (int i = 0; i < 500; ++i) {
        if (OpenClipboard(owner)) return true;
        Sleep(10);
      }
      return false;
    };
    // The program's thread is held still from before the change until the
    // clipboard is held again: otherwise the program, told of the change,
    // may open the clipboard first.
    HANDLE still = nullptr;
    if (argc > 4) {
      const Search program = Find(argv[4]);
      if (!program.main) return 1;
      still =
          OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(program.main, nullptr));
      if (!still || SuspendThread(still) == static_cast<DWORD>(-1)) return 1;
    }
    if (!open()) return 1;
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (!mem) return 1;
    char* p = static_cast<char*>(GlobalLock(mem));
    std::memcpy(p, text.data(), text.size());
    p[text.size()] = '\0';
    GlobalUnlock(mem);
    SetClipboardData(CF_TEXT, mem);
    // The change is announced as the clipboard closes; taking it again at
    // once, the others' notices find it held.
    CloseClipboard();
    const bool held = open();
    if (still) {
      ResumeThread(still);
      CloseHandle(still);
    }
    if (!held) return 1;
    std::puts("held");
    std::fflush(stdout);
    Sleep(Millis(argv[3]));
    CloseClipboard();
    return 0;
  }
  if (cmd == "lock") {
    if (argc < 4) return Usage();
    HANDLE f = CreateFileA(argv[2], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE) return 1;
    std::puts("locked");
    std::fflush(stdout);
    Sleep(Millis(argv[3]));
    CloseHandle(f);
    return 0;
  }
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
        const DWORD idle = p ? WaitForInputIdle(p, left > 0 ? static_cast<DWORD>(left) : 0)
                             : WAIT_FAILED;
        if (p) CloseHandle(p);
        if (idle != 0) return 1;
        std::printf("%p\n", static_cast<void*>(s.main));
        return 0;
      }
      if (static_cast<LONG>(GetTickCount() - until) > 0) return 1;
      Sleep(50);
    }
  }
  Search s = Find(argv[2]);
  if (!s.main) return 1;
  if (cmd == "state") {
    char caption[256] = {};
    GetWindowTextA(s.main, caption, sizeof caption);
    std::printf("%d %d %s\n", IsWindowVisible(s.main) ? 1 : 0, IsIconic(s.main) ? 1 : 0, caption);
    return 0;
  }
  if (cmd == "close") return PostMessageA(s.main, WM_CLOSE, 0, 0) ? 0 : 1;
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
      if (!SendMessageTimeoutA(c, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 60000, &length)) return 1;
      std::string text(length + 1, '\0');
      DWORD_PTR got = 0;
      if (!SendMessageTimeoutA(c, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                               SMTO_NORMAL, 60000, &got)) {
        return 1;
      }
      text.resize(std::min<size_t>(got, 4096));
      std::printf("%s\n", text.c_str());
      return 0;
    }
    return 1;
  }
  if (cmd == "boxes") {
    std::printf("%u\n", static_cast<unsigned>(BoxesOf(s.pid).size()));
    return 0;
  }
  if (cmd == "errbox") {
    const DWORD until = GetTickCount() + (argc > 3 ? Millis(argv[3]) : 0);
    for (;;) {
      const std::vector<HWND> boxes = BoxesOf(s.pid);
      if (!boxes.empty()) {
        HWND box = boxes.front();
        char caption[256] = {};
        GetWindowTextA(box, caption, sizeof caption);
        // A message naming a huge file is cut: its start tells what it says.
        std::string text = BoxText(box);
        if (text.size() > 4096) text.resize(4096);
        std::printf("%s\n%s\n", caption, text.c_str());
        std::fflush(stdout);
        // The box's OK button, pressed as a click would.
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        return 0;
      }
      if (static_cast<LONG>(GetTickCount() - until) > 0) return 1;
      Sleep(20);
    }
  }
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
      return 1;
    }
    char active[64] = {};
    GetClassNameA(info.hwndActive, active, sizeof active);
    // Wine keeps the X window of a top-level window in this property.
    const auto xid =
        reinterpret_cast<ULONG_PTR>(GetPropA(info.hwndActive, "__wine_x11_whole_window"));
    constexpr UINT kGetCurSel = 0x130B;  // TCM_GETCURSEL
    DWORD_PTR page = static_cast<DWORD_PTR>(-1);
    if (HWND tabs = FindWindowExA(info.hwndActive, nullptr, "SysTabControl32", nullptr)) {
      if (!SendMessageTimeoutA(tabs, kGetCurSel, 0, 0, SMTO_NORMAL, 20000, &page)) return 1;
    }
    char focus[64] = "-";
    char text[256] = {};
    if (info.hwndFocus) {
      GetClassNameA(info.hwndFocus, focus, sizeof focus);
      GetWindowTextA(info.hwndFocus, text, sizeof text);
    }
    std::printf("%s %llu %d %s %s\n", active, static_cast<unsigned long long>(xid),
                static_cast<int>(page), focus, text);
    return 0;
  }
  if (cmd == "taskbar") {
    std::printf("%d\n", s.app && IsWindowVisible(s.app) ? 1 : 0);
    return 0;
  }
  if (cmd == "stats") {
    HANDLE p = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, s.pid);
    if (!p) return 1;
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
