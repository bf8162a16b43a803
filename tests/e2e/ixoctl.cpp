// ixoctl: drives a running Ixo.exe from outside for the end-to-end tests, the
// way another program on the desktop could: it finds the program's windows by
// the path of its executable and sends them ordinary window messages.
//   ixoctl wait EXE [SECONDS]   wait until the main window exists; print its handle
//   ixoctl state EXE            print "visible iconic caption" of the main window
//   ixoctl close EXE            post WM_CLOSE to the main window
//   ixoctl taskbar EXE          print 1 when the application window shows a taskbar button
//   ixoctl stats EXE            print "private_bytes cpu_100ns handles" of the process
//   ixoctl hold SECONDS         open the clipboard and keep it for SECONDS
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

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
  std::fputs("usage: ixoctl wait|state|close|taskbar|stats EXE, or ixoctl hold SECONDS\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string cmd = argv[1];
  if (cmd == "hold") {
    if (!OpenClipboard(nullptr)) return 1;
    std::puts("held");
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(std::atof(argv[2]) * 1000));
    CloseClipboard();
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
