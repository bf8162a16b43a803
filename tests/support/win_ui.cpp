#include "win_ui.h"

#include <algorithm>
#include <iterator>

namespace ixo::test {

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    PumpPending();
    if (done()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE,
                              static_cast<DWORD>(std::min<ULONGLONG>(end - now, 10)), QS_ALLINPUT);
  }
}

RECT PlaceInParent(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

namespace {

std::string Named(HWND hwnd) {
  char cls[64] = {};
  char text[128] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  GetWindowTextA(hwnd, text, sizeof text);
  return std::string(cls) + " \"" + text + "\"";
}

bool Shown(HWND hwnd) { return (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }

void CollectLayoutFaults(HWND parent, std::initializer_list<std::pair<HWND, HWND>> overlapping,
                         std::vector<std::string>& faults) {
  RECT client;
  GetClientRect(parent, &client);
  std::vector<HWND> shown;
  for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    const RECT r = PlaceInParent(w);
    if (Shown(w) && (r.left < client.left || r.top < client.top || r.right > client.right ||
                     r.bottom > client.bottom)) {
      faults.push_back(Named(w) + " reaches outside " + Named(parent));
    }
    if (Shown(w)) shown.push_back(w);
    CollectLayoutFaults(w, overlapping, faults);
  }
  for (size_t i = 0; i < shown.size(); ++i) {
    for (size_t j = i + 1; j < shown.size(); ++j) {
      const HWND a = shown[i];
      const HWND b = shown[j];
      const bool designed = std::any_of(overlapping.begin(), overlapping.end(), [&](auto pair) {
        return (pair.first == a && pair.second == b) || (pair.first == b && pair.second == a);
      });
      RECT ra = PlaceInParent(a);
      RECT rb = PlaceInParent(b);
      RECT both;
      if (!designed && IntersectRect(&both, &ra, &rb)) {
        faults.push_back(Named(a) + " overlaps " + Named(b));
      }
    }
  }
}

}  // namespace

std::vector<std::string> LayoutFaults(HWND top,
                                      std::initializer_list<std::pair<HWND, HWND>> overlapping) {
  std::vector<std::string> faults;
  CollectLayoutFaults(top, overlapping, faults);
  return faults;
}

void PumpPending() {
  if (HasApplication()) {
    Application().ProcessMessages();
    return;
  }
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void PressKey(WORD key, std::initializer_list<WORD> modifiers) {
  // The key state of the thread is what the message loop reads for the
  // modifiers of a key message.
  BYTE saved[256];
  GetKeyboardState(saved);
  BYTE held[256];
  std::copy(std::begin(saved), std::end(saved), held);
  for (WORD modifier : modifiers) held[modifier] = 0x80;
  SetKeyboardState(held);
  HWND to = GetFocus();
  PostMessageA(to, WM_KEYDOWN, key, 1);
  PostMessageA(to, WM_KEYUP, key, 0xC0000001);
  PumpPending();
  SetKeyboardState(saved);
}

HWND WaitForSystemDialog(DWORD thread, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  do {
    HWND found = nullptr;
    EnumThreadWindows(
        thread,
        [](HWND hwnd, LPARAM param) -> BOOL {
          char cls[8] = {};
          GetClassNameA(hwnd, cls, sizeof cls);
          if (lstrcmpA(cls, "#32770") != 0 || !IsWindowVisible(hwnd)) return TRUE;
          *reinterpret_cast<HWND*>(param) = hwnd;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    if (found) return found;
    Sleep(20);
  } while (GetTickCount64() < end);
  return nullptr;
}

bool WaitClosed(HWND hwnd, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (IsWindowVisible(hwnd)) {
    if (GetTickCount64() >= end) return false;
    Sleep(20);
  }
  return true;
}

void UiTest::SetUp() {
  app = std::make_unique<TApplication>();
  app->SetErrorPresenter([this](const std::string& text) { errors.push_back(text); });
}

void UiTest::TearDown() {
  app.reset();
  // Nothing of one test may reach the next.
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}

namespace {

struct OtherThreadStart {
  HWND* hwnd;
  HANDLE ready;
};

DWORD WINAPI OtherThreadMain(void* param) {
  auto* start = static_cast<OtherThreadStart*>(param);
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "IxoTestOtherThread";
  RegisterClassA(&wc);
  *start->hwnd = CreateWindowExA(0, wc.lpszClassName, "other", WS_OVERLAPPEDWINDOW, 600, 400, 120,
                                 80, nullptr, nullptr, wc.hInstance, nullptr);
  SetEvent(start->ready);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_APP) {
      ShowWindow(msg.hwnd, SW_SHOW);
      SetForegroundWindow(msg.hwnd);
      SetEvent(start->ready);
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  DestroyWindow(*start->hwnd);
  delete start;
  return 0;
}

}  // namespace

OtherThreadWindow::OtherThreadWindow() {
  ready_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  thread_ = CreateThread(nullptr, 0, OtherThreadMain, new OtherThreadStart{&hwnd_, ready_}, 0,
                         &threadId_);
  WaitForSingleObject(ready_, 20000);
}

OtherThreadWindow::~OtherThreadWindow() {
  PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
  // The other thread may be sending to ours as it goes (activation): keep
  // handling messages while it ends.
  while (MsgWaitForMultipleObjects(1, &thread_, FALSE, 20000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
    PumpPending();
  }
  CloseHandle(thread_);
  CloseHandle(ready_);
}

void OtherThreadWindow::Activate() {
  PostMessageA(hwnd_, WM_APP, 0, 0);
  while (MsgWaitForMultipleObjects(1, &ready_, FALSE, 20000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
    PumpPending();
  }
}

}  // namespace ixo::test

namespace ixo::test {

TestForm::TestForm(const char* caption) {
  FormArgs args;
  args.className = L"IxoTestForm";
  args.caption = caption;
  args.width = 320;
  args.height = 200;
  args.font = {"MS UI Gothic", 12};
  CreateForm(args);
  label.Create(*this, {.caption = "&Name", .bounds = {8, 10, 40, 12}});
  edit.Create(*this, {.caption = "text", .bounds = {60, 6, 120, 20}});
  button.Create(*this, {.caption = "OK", .bounds = {190, 6, 75, 25}});
  check.Create(*this, {.caption = "check", .bounds = {8, 40, 100, 17}});
  combo.Create(*this, {.bounds = {8, 70, 200, 20}}, 10);
}

}  // namespace ixo::test
