#include "wingui/window.h"

#include "win32/wide.h"
#include "wingui/errorbox.h"

namespace ixo {
namespace {

// Functions of Windows 10 (1607) that older systems lack; looked up once.
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

template <typename Fn>
Fn User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                : nullptr;
}

// The window property that leads from a window to its object.
constexpr const wchar_t* kWindowProp = L"IxoWindow";

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

void RegisterWindowClass(const WindowClassArgs& args) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(GetModuleHandleW(nullptr), args.className, &existing)) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = args.style;
  wc.lpfnWndProc = args.proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hIcon = args.icon;
  wc.hIconSm = args.smallIcon;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = args.className;
  RegisterClassExW(&wc);
}

TWindow::~TWindow() { DestroyHandle(); }

TWindow* TWindow::FromHandle(HWND hwnd) {
  return hwnd ? static_cast<TWindow*>(GetPropW(hwnd, kWindowProp)) : nullptr;
}

void TWindow::CreateHandle(const CreateArgs& args) {
  RegisterWindowClass({.className = args.className,
                       .proc = StaticWndProc,
                       .style = CS_DBLCLKS,
                       .icon = args.icon,
                       .smallIcon = args.smallIcon});
  CreateWindowExW(args.exStyle, args.className, Wide(args.caption).c_str(), args.style, args.x,
                  args.y, args.width, args.height, args.owner, nullptr, GetModuleHandleW(nullptr),
                  this);
}

void TWindow::Subclass(HWND hwnd) {
  Attach(hwnd);
  classProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StaticWndProc)));
}

void TWindow::DestroyHandle() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void TWindow::Attach(HWND hwnd) {
  hwnd_ = hwnd;
  SetPropW(hwnd, kWindowProp, this);
}

void TWindow::Detach() {
  RemovePropW(hwnd_, kWindowProp);
  hwnd_ = nullptr;
}

LRESULT TWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  return Default(msg, wParam, lParam);
}

LRESULT TWindow::Default(UINT msg, WPARAM wParam, LPARAM lParam) {
  return classProc_ ? CallWindowProcW(classProc_, hwnd_, msg, wParam, lParam)
                    : DefWindowProcW(hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK TWindow::StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam,
                                        LPARAM lParam) noexcept {
  if (msg == WM_NCCREATE) {
    // A window of the layer's own class, made by CreateHandle.
    static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams)->Attach(hwnd);
  }
  TWindow* self = FromHandle(hwnd);
  // Messages before WM_NCCREATE (WM_GETMINMAXINFO) find no object yet.
  if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);

  LRESULT result = 0;
  try {
    result = self->WndProc(msg, wParam, lParam);
  } catch (...) {
    HandleException(std::current_exception());
  }
  if (msg == WM_NCDESTROY) self->Detach();
  return result;
}

}  // namespace ixo
