// ixoctl viewer EXE: a clipboard viewer on both sides of the program in the
// viewer chain, for holds of the clipboard that leave the program no moment
// to read first.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <sstream>
#include <string>

#include "ixoctl.h"

// Its window "behind" joins the chain before the program starts, so it is
// the program's next viewer: every notice the program passes on reaches it.
// Its window "front" joins after the program (at the first put) and is told
// of changes first. Commands, one a line on stdin, one answer line each:
//   sync          -> "synced": a WM_CHANGECBCHAIN posted to the program came
//                    back to "behind" (the program passes on news of other
//                    viewers): everything queued for the program before it,
//                    notices of clipboard changes included, has been handled
//                    (or is showing its error box).
//   put MS FILE   -> "held": the bytes of FILE are the clipboard's text and
//                    the clipboard is kept open. With MS >= 0 it is closed
//                    MS ms after the program was let go, answered by
//                    "released N", N the ms it really stayed open after that.
//   release       -> "released N"
// "failed" answers a command that could not be done; end of input ends it.
//
// The put leaves the program no moment to read the new text before it is
// held: it is made while the program's thread waits in SendMessage for
// "behind" to answer a probe. Such a thread handles sent messages only, so
// the program's WM_CLIPBOARDUPDATE (posted) stays in its queue, and the
// chain's WM_DRAWCLIPBOARD goes to "front" first, which keeps it until the
// clipboard is held again.
namespace viewer {

constexpr UINT kCommand = WM_APP + 1;  // lParam: a new std::string line, 0 at the end
constexpr DWORD kWaitMs = 60000;

enum class Put { kNone, kWaiting, kHeld, kFailed };

struct State {
  std::string exe;
  HWND behind = nullptr;
  HWND front = nullptr;
  HWND behindNext = nullptr;
  HWND frontNext = nullptr;
  bool frontJoined = false;
  LPARAM probesSent = 0;
  LPARAM probeSeen = 0;
  LPARAM putProbe = 0;
  std::string text;
  Put put = Put::kNone;
  bool putting = false;  // "front" keeps the notices that come meanwhile
  bool noticeKept = false;
  bool held = false;
  LARGE_INTEGER handedBack{};  // when the program was let go
  std::deque<MSG> commands;    // commands that came while waiting
};
State v;

void Answer(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

double MsSince(const LARGE_INTEGER& then) {
  LARGE_INTEGER now, freq;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&freq);
  return static_cast<double>(now.QuadPart - then.QuadPart) * 1000.0 /
         static_cast<double>(freq.QuadPart);
}

bool SetText(const std::string& text) {
  if (!EmptyClipboard()) return false;
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (!mem) return false;
  char* p = static_cast<char*>(GlobalLock(mem));
  std::memcpy(p, text.data(), text.size());
  p[text.size()] = '\0';
  GlobalUnlock(mem);
  if (SetClipboardData(CF_TEXT, mem)) return true;
  GlobalFree(mem);
  return false;
}

bool HoldsText(const std::string& text) {
  HANDLE mem = GetClipboardData(CF_TEXT);
  const char* p = mem ? static_cast<const char*>(GlobalLock(mem)) : nullptr;
  if (!p) return false;
  const bool same =
      strnlen(p, GlobalSize(mem)) == text.size() && std::memcmp(p, text.data(), text.size()) == 0;
  GlobalUnlock(mem);
  return same;
}

// Runs inside the program's SendMessage to "behind": the program waits.
void PutWhileTheProgramWaits() {
  v.putting = true;
  const ULONGLONG until = GetTickCount64() + 30000;
  bool held = false;
  while (!held && GetTickCount64() < until) {
    // Wine's bridge to X opens the clipboard for a moment now and then.
    if (!OpenClipboard(v.behind)) {
      Sleep(1);
      continue;
    }
    const bool set = SetText(v.text);
    CloseClipboard();  // announces the change
    if (!set) continue;
    while (!(held = OpenClipboard(v.behind)) && GetTickCount64() < until) Sleep(1);
    // Another change in between (the bridge's): the text is set again.
    if (held && !HoldsText(v.text)) {
      CloseClipboard();
      held = false;
    }
  }
  v.putting = false;
  v.held = held;
  v.put = held ? Put::kHeld : Put::kFailed;
  QueryPerformanceCounter(&v.handedBack);
}

LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  HWND& next = w == v.front ? v.frontNext : v.behindNext;
  if (msg == WM_DRAWCLIPBOARD) {
    if (w == v.front && v.putting) {
      v.noticeKept = true;
    } else if (next) {
      // Without waiting: the program may be showing an error box.
      SendNotifyMessageA(next, msg, wp, lp);
    }
    return 0;
  }
  if (msg == WM_CHANGECBCHAIN) {
    if (w == v.behind && reinterpret_cast<HWND>(wp) == v.front) {
      v.probeSeen = std::max(v.probeSeen, lp);
      if (v.put == Put::kWaiting && lp == v.putProbe) PutWhileTheProgramWaits();
    } else if (reinterpret_cast<HWND>(wp) == next) {
      next = reinterpret_cast<HWND>(lp);
    } else if (next) {
      SendMessageA(next, msg, wp, lp);
    }
    return 0;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

// Handles messages until `done`; false when `ms` passed first.
bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
  const ULONGLONG until = GetTickCount64() + ms;
  for (;;) {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (!m.hwnd && m.message == kCommand) {
        v.commands.push_back(m);
      } else {
        DispatchMessageA(&m);
      }
    }
    if (done()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= until) return false;
    MsgWaitForMultipleObjects(
        0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(until - now, 10)), QS_ALLINPUT);
  }
}

// Posts a probe to the program; its number, or 0 when there is no program.
LPARAM Probe() {
  const HWND program = Find(v.exe.c_str()).main;
  if (!program) return 0;
  const LPARAM id = ++v.probesSent;
  return PostMessageA(program, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(v.front), id) ? id : 0;
}

void Release() {
  if (!v.held) return Answer("failed");
  CloseClipboard();
  v.held = false;
  Answer("released " + std::to_string(static_cast<long>(MsSince(v.handedBack))));
}

void PutText(double holdMs, const std::string& file) {
  v.text.clear();
  if (v.held || !ReadFileBytes(file.c_str(), v.text)) return Answer("failed");
  if (!v.frontJoined) {
    v.frontJoined = true;
    v.frontNext = SetClipboardViewer(v.front);
  }
  v.put = Put::kWaiting;
  v.putProbe = Probe();
  const bool done = v.putProbe && PumpUntil([] { return v.put != Put::kWaiting; }, kWaitMs);
  const bool held = done && v.put == Put::kHeld;
  v.put = Put::kNone;
  if (!held) return Answer("failed");
  Answer("held");
  // The notice of the change goes on, now that the clipboard is held.
  if (v.noticeKept && v.frontNext) SendNotifyMessageA(v.frontNext, WM_DRAWCLIPBOARD, 0, 0);
  v.noticeKept = false;
  if (holdMs < 0) return;
  PumpUntil([&] { return MsSince(v.handedBack) >= holdMs; }, static_cast<DWORD>(holdMs) + 1000);
  Release();
}

void Command(const std::string& line) {
  std::istringstream in(line);
  std::string word;
  in >> word;
  if (word == "sync") {
    const LPARAM id = Probe();
    return Answer(id && PumpUntil([&] { return v.probeSeen >= id; }, kWaitMs) ? "synced"
                                                                              : "failed");
  }
  if (word == "put") {
    double ms = -1;
    std::string file;
    in >> ms >> std::ws;
    std::getline(in, file);
    return PutText(ms, file);
  }
  if (word == "release") return Release();
  Answer("failed");
}

DWORD WINAPI ReadCommands(void* thread) {
  const DWORD id = static_cast<DWORD>(reinterpret_cast<uintptr_t>(thread));
  char buf[4096];
  while (std::fgets(buf, sizeof buf, stdin)) {
    auto* line = new std::string(buf);
    while (!line->empty() && (line->back() == '\n' || line->back() == '\r')) line->pop_back();
    PostThreadMessageA(id, kCommand, 0, reinterpret_cast<LPARAM>(line));
  }
  PostThreadMessageA(id, kCommand, 0, 0);
  return 0;
}

int Run(const char* exe) {
  v.exe = exe;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "IxoctlViewer";
  RegisterClassA(&wc);
  v.behind = CreateWindowExA(0, wc.lpszClassName, "behind", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             wc.hInstance, nullptr);
  v.front = CreateWindowExA(0, wc.lpszClassName, "front", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            wc.hInstance, nullptr);
  if (!v.behind || !v.front) return Fail("no windows of its own");
  v.behindNext = SetClipboardViewer(v.behind);
  const HANDLE reader = CreateThread(
      nullptr, 0, ReadCommands,
      reinterpret_cast<void*>(static_cast<uintptr_t>(GetCurrentThreadId())), 0, nullptr);
  if (!reader) return Fail("no thread to read its commands");
  CloseHandle(reader);
  Answer("ready");
  for (;;) {
    MSG m;
    if (!v.commands.empty()) {
      m = v.commands.front();
      v.commands.pop_front();
    } else if (GetMessageA(&m, nullptr, 0, 0) <= 0) {
      break;
    }
    if (m.hwnd || m.message != kCommand) {
      DispatchMessageA(&m);
      continue;
    }
    auto* line = reinterpret_cast<std::string*>(m.lParam);
    if (!line) break;
    Command(*line);
    delete line;
  }
  if (v.held) CloseClipboard();
  if (v.frontJoined) ChangeClipboardChain(v.front, v.frontNext);
  ChangeClipboardChain(v.behind, v.behindNext);
  return 0;
}

}  // namespace viewer
