#include "wingui/app.h"

#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <cstring>
#include <cwchar>

#include "win32/wide.h"
#include "wingui/errorbox.h"
#include "wingui/form.h"
#include "wingui/window.h"

namespace ixo {
namespace {

TApplication* current = nullptr;

// The program's icon is resource 1 of the program file; a program without
// it (the test program) shows the system's application icon.
constexpr int kIconResource = 1;

// Loads the icon in the system's large or small size; `owned` tells whether
// the caller must destroy it.
HICON LoadProgramIcon(bool small, bool& owned) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  HICON icon = nullptr;
  owned = false;
  if (small) {
    // The small icon at the monitor's scale, where common controls 6 offer it.
    using LoadIconMetricFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, HICON*);
    HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
    auto load = comctl ? reinterpret_cast<LoadIconMetricFn>(
                             reinterpret_cast<void*>(GetProcAddress(comctl, "LoadIconMetric")))
                       : nullptr;
    if (load && SUCCEEDED(load(instance, MAKEINTRESOURCEW(kIconResource), LIM_SMALL, &icon))) {
      owned = true;
      return icon;
    }
  }
  const int size = GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON);
  icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON, size,
                                       size, LR_DEFAULTCOLOR | LR_SHARED));
  return icon ? icon : LoadIcon(nullptr, IDI_APPLICATION);
}

}  // namespace

TApplication& Application() { return *current; }
bool HasApplication() { return current != nullptr; }

bool IsSystemDialog(HWND hwnd) {
  wchar_t cls[8] = {};
  return !TWindow::FromHandle(hwnd) && GetClassNameW(hwnd, cls, 8) > 0 &&
         std::wcscmp(cls, L"#32770") == 0;
}

namespace {

// Ends the message boxes that `owner` owns as their OK button would: a box
// with only an OK button takes its close box, Escape and WM_CLOSE for it.
void CloseBoxesOf(HWND owner) {
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM param) -> BOOL {
        if (IsSystemDialog(hwnd) && GetWindow(hwnd, GW_OWNER) == reinterpret_cast<HWND>(param)) {
          PostMessageW(hwnd, WM_CLOSE, 0, 0);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(owner));
}

// A window the user can be brought to: shown, taking input, of this thread.
bool Usable(HWND hwnd) {
  return hwnd && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd) &&
         GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId();
}

}  // namespace

class TApplication::TaskbarWindow : public TWindow {
 public:
  explicit TaskbarWindow(TApplication& app) : app_(app) {
    CreateArgs args;
    args.className = L"TApplication";
    args.caption = app.title_;
    args.style = WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX;
    // Of no size, at the centre of the screen: all that shows of it is the
    // taskbar button.
    args.x = GetSystemMetrics(SM_CXSCREEN) / 2;
    args.y = GetSystemMetrics(SM_CYSCREEN) / 2;
    args.icon = app.icon_;
    args.smallIcon = app.smallIcon_;
    CreateHandle(args);
  }
  ~TaskbarWindow() override { DestroyHandle(); }

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    switch (msg) {
      case WM_SYSCOMMAND:
        switch (SysCommandOf(wParam)) {
          case SC_MINIMIZE:
            app_.Minimize();
            return 0;
          case SC_RESTORE:
            app_.Restore();
            return 0;
          case SC_CLOSE:
            if (app_.mainForm_) app_.mainForm_->Close();
            return 0;
        }
        break;
      case WM_CLOSE:
        if (app_.mainForm_) app_.mainForm_->Close();
        return 0;
      case WM_ACTIVATEAPP:
        if (!wParam) app_.Deactivate();
        break;
      case WM_ACTIVATE:
        // Clicking the taskbar button activates this window: pass the
        // activation on to the window the user works in.
        if (LOWORD(wParam) != WA_INACTIVE && !IsIconic(Handle())) {
          if (HWND popup = app_.ActivePopup()) {
            SetActiveWindow(popup);
            return 0;
          }
        }
        break;
    }
    return Default(msg, wParam, lParam);
  }

 private:
  TApplication& app_;
};

TApplication::TApplication() : title_("Ixo") {
  current = this;
  SetErrorBox([](std::exception_ptr failure) { current->ShowException(failure); });
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  oleStarted_ = SUCCEEDED(OleInitialize(nullptr));
  bool largeOwned = false;
  icon_ = LoadProgramIcon(false, largeOwned);
  smallIcon_ = LoadProgramIcon(true, smallIconOwned_);
  window_ = std::make_unique<TaskbarWindow>(*this);
}

TApplication::~TApplication() {
  window_.reset();
  if (smallIconOwned_) DestroyIcon(smallIcon_);
  if (oleStarted_) OleUninitialize();
  if (current == this) {
    current = nullptr;
    SetErrorBox(nullptr);
  }
}

HWND TApplication::Handle() const { return window_->Handle(); }

void TApplication::SetTitle(std::string_view title) {
  title_ = title;
  SetWindowTextW(Handle(), Wide(title_).c_str());
}

void TApplication::Run() {
  running_ = true;
  while (!terminated_ && HandleMessage()) {
  }
  running_ = false;
}

void TApplication::Terminate() {
  terminated_ = true;
  // Only a running loop is ended by WM_QUIT; a test drives its own.
  if (running_) PostQuitMessage(0);
}

bool TApplication::HandleMessage() {
  MSG msg;
  const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
  if (got == 0) {
    terminated_ = true;
    // A modal loop hands the quit on to the loops around it.
    if (!modalForms_.empty()) PostQuitMessage(static_cast<int>(msg.wParam));
    return false;
  }
  if (got == -1) return false;
  Dispatch(msg);
  return true;
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      terminated_ = true;
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    Dispatch(msg);
  }
}

void TApplication::Dispatch(MSG& msg) {
  // Tab, Enter, the arrow keys and the underlined letters work in a form as
  // they do in a dialog box.
  HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  if (auto* form = root ? dynamic_cast<TForm*>(TWindow::FromHandle(root)) : nullptr) {
    bool handled = false;
    try {
      handled = form->PreviewKey(msg);
    } catch (...) {
      // The loop is no window procedure, but the same rule holds.
      HandleException(std::current_exception());
      handled = true;
    }
    if (handled || IsDialogMessageW(root, &msg)) return;
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

bool TApplication::Minimized() const { return IsIconic(Handle()) != FALSE; }

void TApplication::Minimize() {
  if (Minimized()) return;
  ShowWindow(Handle(), SW_MINIMIZE);
  ShowOwnedPopups(Handle(), FALSE);
  if (OnMinimize) OnMinimize();
}

void TApplication::Restore() {
  if (!Minimized()) return;
  // Restored without activation: the activation goes straight to the form
  // the user works in, not through the taskbar window, which the tray mode
  // hides again at once.
  ShowWindow(Handle(), SW_SHOWNOACTIVATE);
  SetWindowPos(Handle(), nullptr, GetSystemMetrics(SM_CXSCREEN) / 2,
               GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE);
  ShowOwnedPopups(Handle(), TRUE);
  if (HWND popup = ActivePopup()) SetActiveWindow(popup);
  if (OnRestore) OnRestore();
}

void TApplication::Deactivate() {
  if (OnDeactivate) OnDeactivate();
}

void TApplication::EndModal(TForm* form) {
  auto it = std::find(modalForms_.begin(), modalForms_.end(), form);
  if (it == modalForms_.end()) return;
  modalForms_.erase(it);
  ModalEnded();
}

HWND TApplication::ActivePopup() const {
  if (!InModalState()) {
    HWND main = mainForm_ ? mainForm_->Handle() : nullptr;
    return Usable(main) ? main : nullptr;
  }
  // The system remembers which of the windows the taskbar window owns,
  // directly or through another, was active last: the modal window on top,
  // unless that has just closed or is disabled (a dialog under the folder
  // browser).
  HWND last = GetLastActivePopup(Handle());
  if (last != Handle() && Usable(last)) return last;
  // Otherwise the uppermost window of the program that takes input.
  struct Search {
    HWND taskbar;
    HWND found = nullptr;
  } search{Handle()};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        if (hwnd == s->taskbar || !Usable(hwnd)) return TRUE;
        if (!dynamic_cast<TForm*>(TWindow::FromHandle(hwnd)) && !IsSystemDialog(hwnd)) return TRUE;
        s->found = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool TApplication::BringActivePopupToFront() const {
  HWND popup = ActivePopup();
  if (!popup) return false;
  if (IsIconic(popup)) ShowWindow(popup, SW_RESTORE);
  SetWindowPos(popup, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(popup);
  return true;
}

void TApplication::CancelModal() {
  for (TForm* form : modalForms_) form->SetModalResult(mrCancel);
  // The cancels only post: every scope is still open after its own.
  for (std::function<void()>* cancel : scopes_) (*cancel)();
}

void TApplication::CloseAfterModal() {
  closePending_ = true;
  CancelModal();
}

void TApplication::ModalEnded() {
  if (!closePending_ || InModalState()) return;
  closePending_ = false;
  if (mainForm_ && mainForm_->Handle()) PostMessageW(mainForm_->Handle(), WM_CLOSE, 0, 0);
}

HWND TApplication::ErrorBoxOwner() const {
  // The box is modal to the form the user works in, so that nothing of it
  // can be pressed while the box is open.
  for (TForm* form : {ModalForm(), mainForm_}) {
    if (form && form->Handle() && IsWindowVisible(form->Handle())) return form->Handle();
  }
  return Handle();
}

void TApplication::ShowException(const Error& error) {
  const std::string text = ErrorBoxText(error.what());
  const HWND owner = ErrorBoxOwner();
  // Counted also when the box ends by an exception (the presenter of a test).
  struct OpenBox {
    int& count;
    explicit OpenBox(int& c) : count(c) { ++count; }
    ~OpenBox() { --count; }
  } open(errorBoxes_);
  const TModalScope box([owner] { CloseBoxesOf(owner); });
  if (presenter_) {
    presenter_(text);
  } else {
    MessageBoxW(owner, ErrorBoxTextW(error).c_str(), Wide(title_).c_str(), MB_OK | MB_ICONERROR);
  }
}

TModalScope::TModalScope(std::function<void()> cancel) : cancel_(std::move(cancel)) {
  if (HasApplication()) Application().scopes_.push_back(&cancel_);
}

TModalScope::~TModalScope() {
  if (!HasApplication()) return;
  TApplication& app = Application();
  app.scopes_.erase(std::remove(app.scopes_.begin(), app.scopes_.end(), &cancel_),
                    app.scopes_.end());
  app.ModalEnded();
}

void TApplication::ShowException(std::exception_ptr failure) { ShowException(ErrorOf(failure)); }

}  // namespace ixo
