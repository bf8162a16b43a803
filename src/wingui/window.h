// The bottom of the window layer: an object that owns one window handle and
// receives that window's messages through a virtual hook, plus the
// dots-per-inch arithmetic every form and control needs.
//
// Every window of the layer is a Unicode window: its texts reach it, and its
// messages come, as UTF-16 whatever the system's code page.
//
// One static window procedure serves every window of the layer, whether of a
// class registered here (a form) or of a standard class it subclasses (a
// button, an edit): it finds the object linked to the handle, calls its
// WndProc, and catches whatever any handler throws, so that it ends in the
// error box instead of unwinding through the system's own code. At
// WM_NCDESTROY, a window's last message, the link is undone.
#pragma once

#include <windows.h>

#include <string>

namespace ixo {

// Positions and sizes are designed at 96 dots per inch and scaled to the
// monitor a window is on.
inline constexpr UINT kDesignDpi = 96;

inline int ScaleForDpi(int value, UINT dpi) {
  return MulDiv(value, static_cast<int>(dpi), static_cast<int>(kDesignDpi));
}

// The window's dots per inch (GetDpiForWindow where the system has it,
// otherwise 96).
UINT WindowDpi(HWND hwnd);

// The outer size of a window whose client area is `clientWidth` x
// `clientHeight`, for the frame that `style` and `exStyle` give at `dpi`.
SIZE OuterSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi);

// The command of a WM_SYSCOMMAND (SC_MINIMIZE, SC_CLOSE, ...): the system
// uses the four low bits of wParam for itself.
inline WPARAM SysCommandOf(WPARAM wParam) { return wParam & 0xFFF0; }

// Registers the window class `className` with the arrow cursor and the
// dialog background, unless this program has registered it already.
struct WindowClassArgs {
  const wchar_t* className = nullptr;
  WNDPROC proc = DefWindowProcW;
  UINT style = 0;
  HICON icon = nullptr;
  HICON smallIcon = nullptr;
};
void RegisterWindowClass(const WindowClassArgs& args);

class TWindow {
 public:
  TWindow() = default;
  TWindow(const TWindow&) = delete;
  TWindow& operator=(const TWindow&) = delete;
  virtual ~TWindow();

  HWND Handle() const { return hwnd_; }
  // The object that owns `hwnd`, or nullptr for a window of someone else.
  static TWindow* FromHandle(HWND hwnd);

 protected:
  struct CreateArgs {
    const wchar_t* className = nullptr;  // registered on first use
    std::string caption;                 // code page 932
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    int width = 0;
    int height = 0;
    HWND owner = nullptr;
    HICON icon = nullptr;  // class icons, taken at registration
    HICON smallIcon = nullptr;
  };
  // Makes the window, of a class of the layer's own: its messages come to
  // WndProc from WM_NCCREATE on.
  void CreateHandle(const CreateArgs& args);
  // Takes over `hwnd`, a window just made of another class (a standard
  // control): its messages come to WndProc from now on, and Default hands
  // them to the class's own procedure.
  void Subclass(HWND hwnd);
  // Destroys the window now. A derived class calls it first thing in its
  // destructor, so that the messages of the destruction still find it whole.
  void DestroyHandle();

  // Every message of the window; the default is the class's own handling.
  virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Default(UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  void Attach(HWND hwnd);
  void Detach();

  HWND hwnd_ = nullptr;
  // The procedure of a subclassed window's own class; null for a class of
  // the layer's own, whose default is the system's.
  WNDPROC classProc_ = nullptr;
};

}  // namespace ixo
