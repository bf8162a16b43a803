#include "wingui/window.h"

#include "wingui/errorbox.h"

namespace ixo {
namespace {

// Functions of Windows 10 (1607) that older systems lack; looked up once.
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

template <typename Fn>
Fn User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                : nullptr;
}

void RegisterOnce(const char* className, HICON icon, HICON smallIcon, WNDPROC proc) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExA(GetModuleHandleA(nullptr), className, &existing)) return;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hIcon = icon;
  wc.hIconSm = smallIcon;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = className;
  RegisterClassExA(&wc);
}

}  // namespace

UINT WindowDpi(HWND hwnd) {
  static const auto getDpi = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (getDpi && hwnd) {
    const UINT dpi = getDpi(hwnd);
    if (dpi != 0) return dpi;
  }
  return kDesignDpi;
}

SIZE OuterSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi) {
  static const auto adjust = User32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
  RECT r{0, 0, clientWidth, clientHeight};
  if (adjust) {
    adjust(&r, style, FALSE, exStyle, dpi);
  } else {
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
  }
  return SIZE{r.right - r.left, r.bottom - r.top};
}

TWindow::~TWindow() { DestroyHandle(); }

TWindow* TWindow::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  WNDPROC proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
  if (proc != StaticWndProc) return nullptr;
  return reinterpret_cast<TWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

void TWindow::CreateHandle(const CreateArgs& args) {
  RegisterOnce(args.className, args.icon, args.smallIcon, StaticWndProc);
  CreateWindowExA(args.exStyle, args.className, args.caption.c_str(), args.style, args.x, args.y,
                  args.width, args.height, args.owner, nullptr, GetModuleHandleA(nullptr), this);
}

void TWindow::DestroyHandle() {
  if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT TWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  return Default(msg, wParam, lParam);
}

LRESULT TWindow::Default(UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK TWindow::StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam,
                                        LPARAM lParam) noexcept {
  TWindow* self;
  if (msg == WM_NCCREATE) {
    self = static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<TWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  }
  // Messages before WM_NCCREATE (WM_GETMINMAXINFO) find no object yet.
  if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);

  LRESULT result = 0;
  try {
    result = self->WndProc(msg, wParam, lParam);
  } catch (...) {
    HandleException(std::current_exception());
  }
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

}  // namespace ixo
