#include "wingui/form.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <iterator>

#include "win32/wide.h"
#include "wingui/app.h"
#include "wingui/controls.h"
#include "wingui/timer.h"

namespace ixo {
namespace {

// The enabled windows of the program on this thread other than `except`:
// its own and the system's dialogs it shows (a message box already open),
// the ones a modal form disables. Windows of other code (the input
// method's, OLE's) are left alone.
std::vector<HWND> EnabledProgramWindows(HWND except) {
  struct Collect {
    HWND except;
    std::vector<HWND> found;
  } collect{except, {}};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto* c = reinterpret_cast<Collect*>(param);
        if (hwnd != c->except && IsWindowEnabled(hwnd) &&
            (TWindow::FromHandle(hwnd) || IsSystemDialog(hwnd))) {
          c->found.push_back(hwnd);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&collect));
  return collect.found;
}

// The windows of `parent` in tab order: each child in z-order, followed by
// what it holds when it is a container (WS_EX_CONTROLPARENT). Hidden and
// disabled windows, and everything in them, are left out.
void CollectTabOrder(HWND parent, std::vector<HWND>& order) {
  for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    const LONG_PTR style = GetWindowLongPtrW(w, GWL_STYLE);
    if (!(style & WS_VISIBLE) || (style & WS_DISABLED)) continue;
    order.push_back(w);
    if (GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) CollectTabOrder(w, order);
  }
}

bool IsTabStop(HWND w) { return (GetWindowLongPtrW(w, GWL_STYLE) & WS_TABSTOP) != 0; }

bool KeyDown(int key) { return GetKeyState(key) < 0; }

}  // namespace

TForm::~TForm() {
  DestroyHandle();
  if (HasApplication()) {
    if (Application().MainForm() == this) Application().SetMainForm(nullptr);
    Application().EndModal(this);
  }
}

void TForm::CreateForm(const FormArgs& args) {
  args_ = args;
  font_ = args.font;
  CreateArgs create;
  create.className = args.className;
  create.caption = args.caption;
  create.style = args.style & ~WS_VISIBLE;
  create.exStyle = args.exStyle;
  create.x = CW_USEDEFAULT;
  create.y = 0;
  create.width = args.width;
  create.height = args.height;
  create.owner = Application().Handle();
  create.icon = Application().Icon();
  create.smallIcon = Application().SmallIcon();
  CreateHandle(create);
  dpi_ = WindowDpi(Handle());
  ResizeForDpi(nullptr);
}

void TForm::ResizeForDpi(const RECT* suggested) {
  // The design gives the outer size at 96 dpi (or the client area); what is
  // scaled is the client area, and the frame is whatever the system draws at
  // this dpi.
  const SIZE frame96 = OuterSizeForClient(0, 0, args_.style, args_.exStyle, kDesignDpi);
  int clientWidth = args_.width;
  int clientHeight = args_.height;
  if (!args_.clientSize) {
    clientWidth -= frame96.cx;
    clientHeight -= frame96.cy;
  }
  const SIZE outer =
      OuterSizeForClient(Scale(clientWidth), Scale(clientHeight), args_.style, args_.exStyle, dpi_);
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  int x = 0;
  int y = 0;
  if (suggested) {
    x = suggested->left;
    y = suggested->top;
  } else {
    flags |= SWP_NOMOVE;
  }
  SetWindowPos(Handle(), nullptr, x, y, outer.cx, outer.cy, flags);
}

void TForm::ApplyDpi(UINT dpi, const RECT* suggested) {
  // The old fonts go when the controls hold the new ones.
  Fonts old;
  old.swap(fonts_);
  dpi_ = dpi;
  ResizeForDpi(suggested);
  for (TControl* control : controls_) control->Rescale();
}

HFONT TForm::FontHandle(const TFontSpec& desc) {
  for (const auto& [known, font] : fonts_) {
    if (known == desc) return font.Get();
  }
  LOGFONTW lf{};
  lf.lfHeight = -Scale(desc.height);
  lf.lfWeight = desc.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = desc.italic;
  lf.lfCharSet = desc.charset;
  lf.lfQuality = DEFAULT_QUALITY;
  // By its Unicode name: under another system code page the name's code
  // page 932 bytes would name no font.
  const std::wstring face = Wide(desc.face);
  wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  HFONT font = CreateFontIndirectW(&lf);
  fonts_.emplace_back(desc, GdiObject<HFONT>(font));
  return font;
}

void TForm::AddControl(TControl* control) { controls_.push_back(control); }

void TForm::RemoveControl(TControl* control) {
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
  if (activeControl_ == control) activeControl_ = nullptr;
}

void TForm::AddTimer(TTimer* timer) { timers_.push_back(timer); }

void TForm::RemoveTimer(TTimer* timer) {
  timers_.erase(std::remove(timers_.begin(), timers_.end(), timer), timers_.end());
}

void TForm::SetActiveControl(TControl* control) {
  activeControl_ = control;
  if (control && GetActiveWindow() == Handle()) control->SetFocus();
}

void TForm::FocusActiveControl() {
  if (activeControl_ && activeControl_->Handle() && IsWindowEnabled(activeControl_->Handle())) {
    activeControl_->SetFocus();
  } else {
    SetFocus(Handle());
  }
}

HWND TForm::NextTabStop(HWND from, bool previous) const {
  std::vector<HWND> order;
  CollectTabOrder(Handle(), order);
  const auto n = static_cast<std::ptrdiff_t>(order.size());
  // Where `from` stands; a window inside a control counts as the control.
  std::ptrdiff_t at = previous ? n : -1;
  for (HWND w = from; w && w != Handle(); w = GetParent(w)) {
    const auto found = std::find(order.begin(), order.end(), w);
    if (found != order.end()) {
      at = found - order.begin();
      break;
    }
  }
  for (std::ptrdiff_t k = 1; k <= n; ++k) {
    const std::ptrdiff_t i = ((at + (previous ? -k : k)) % n + n) % n;
    if (IsTabStop(order[static_cast<size_t>(i)])) return order[static_cast<size_t>(i)];
  }
  return nullptr;
}

void TForm::TabTo(HWND target) {
  if (!target) return;
  if (SendMessageW(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
    SendMessageW(target, EM_SETSEL, 0, -1);
  }
  ::SetFocus(target);
}

bool TForm::PreviewKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN) return false;
  for (TControl* control : controls_) {
    if (control->PreviewFormKey(msg)) return true;
  }
  const LRESULT code =
      SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
  // A control that wants every key (a multi-line edit its Enter, an open
  // drop-down list) gets this one.
  if (code & DLGC_WANTMESSAGE) return false;
  switch (msg.wParam) {
    case VK_TAB:
      if (code & DLGC_WANTTAB) return false;
      TabTo(NextTabStop(GetFocus(), KeyDown(VK_SHIFT)));
      return true;
    case VK_RETURN:
      // Enter presses the push button that has the focus, as a click does;
      // anywhere else it does nothing.
      if ((code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) && msg.hwnd == GetFocus() &&
          IsWindowEnabled(msg.hwnd)) {
        SendMessageW(GetParent(msg.hwnd), WM_COMMAND,
                     MAKEWPARAM(GetDlgCtrlID(msg.hwnd), BN_CLICKED),
                     reinterpret_cast<LPARAM>(msg.hwnd));
        return true;
      }
      return false;
  }
  return false;
}

void TForm::Show() {
  ShowWindow(Handle(), startMinimized_ ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL);
  startMinimized_ = false;
  shown_ = true;
}

void TForm::Hide() { ShowWindow(Handle(), SW_HIDE); }

bool TForm::Visible() const { return IsWindowVisible(Handle()) != FALSE; }

void TForm::BringToFront() {
  if (IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
  SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(Handle());
}

void TForm::CenterOn(HWND other) {
  RECT outer;
  RECT self;
  GetWindowRect(other, &outer);
  GetWindowRect(Handle(), &self);
  const int width = self.right - self.left;
  const int height = self.bottom - self.top;
  int x = (outer.left + outer.right - width) / 2;
  int y = (outer.top + outer.bottom - height) / 2;
  // Kept on the monitor's work area, as far as it fits.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoW(MonitorFromWindow(other, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const RECT& work = monitor.rcWork;
    x = std::max<int>(work.left, std::min<int>(x, work.right - width));
    y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
  }
  SetWindowPos(Handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TWindowState TForm::WindowState() const {
  if (!shown_) return startMinimized_ ? TWindowState::Minimized : TWindowState::Normal;
  return IsIconic(Handle()) ? TWindowState::Minimized : TWindowState::Normal;
}

void TForm::SetWindowState(TWindowState state) {
  if (!shown_) {
    startMinimized_ = state == TWindowState::Minimized;
    return;
  }
  const bool iconic = IsIconic(Handle()) != FALSE;
  if (state == TWindowState::Minimized && !iconic) ShowWindow(Handle(), SW_MINIMIZE);
  if (state == TWindowState::Normal && iconic) ShowWindow(Handle(), SW_RESTORE);
}

std::string TForm::Caption() const {
  wchar_t text[512];
  const int length = GetWindowTextW(Handle(), text, static_cast<int>(std::size(text)));
  return Narrow(std::wstring_view(text, static_cast<size_t>(std::max(length, 0))));
}

void TForm::SetCaption(std::string_view caption) {
  SetWindowTextW(Handle(), Wide(caption).c_str());
}

void TForm::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  TApplication& app = Application();
  if (app.MainForm() == this && app.InModalState()) {
    // Taken once and kept: the modal windows end as their Cancel would, and
    // the close comes back when the last of them has given its caller back
    // control, since that caller still works on the state a close saves.
    // Asking again at once would only go round the modal loops for ever.
    app.CloseAfterModal();
    return;
  }
  TCloseAction action = TCloseAction::Hide;
  FormClose(action);
  if (action == TCloseAction::None) return;
  if (app.MainForm() == this) {
    app.Terminate();
  } else {
    Hide();
  }
}

int TForm::ShowModal() {
  TApplication& app = Application();
  HWND previous = GetActiveWindow();
  int result = mrCancel;
  {
    // The other windows come back as this scope ends, before this one goes,
    // so that the activation returns to the window that had it.
    std::vector<DisabledWindow> disabled;
    for (HWND hwnd : EnabledProgramWindows(Handle())) disabled.emplace_back(hwnd);
    modal_ = true;
    modalResult_ = mrNone;
    app.BeginModal(this);
    Show();
    while (modalResult_ == mrNone && Handle() && app.HandleMessage()) {
    }
    if (modalResult_ != mrNone) result = modalResult_;
  }
  if (previous && IsWindow(previous) && IsWindowVisible(previous)) SetActiveWindow(previous);
  if (Handle()) Hide();
  app.EndModal(this);
  modal_ = false;
  return result;
}

LRESULT TForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT routed = 0;
  if (TControl::RouteChildNotice(msg, wParam, lParam, routed)) return routed;
  switch (msg) {
    case WM_TIMER:
      for (TTimer* timer : timers_) {
        if (timer->Id() == wParam) {
          timer->Tick();
          return 0;
        }
      }
      break;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_COMMAND:
      // Enter and Escape, which the dialog manager turns into IDOK and
      // IDCANCEL, are bound to no button here.
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        TControl* focused = TControl::FromHandle(GetFocus());
        if (focused && focused->Form() == this) activeControl_ = focused;
      } else if (!HIWORD(wParam)) {
        FocusActiveControl();
      }
      return 0;
    case WM_SETFOCUS:
      if (activeControl_) FocusActiveControl();
      return 0;
    case WM_NEXTDLGCTL: {
      // The dialog manager asks for this when an underlined letter of a
      // label is pressed: the focus goes to the control after the label.
      if (lParam) {
        if (wParam) ::SetFocus(reinterpret_cast<HWND>(wParam));
      } else {
        TabTo(NextTabStop(GetFocus(), wParam != 0));
      }
      return 0;
    }
    case WM_SYSCOMMAND:
      // The main form's minimise box minimises the application.
      if (SysCommandOf(wParam) == SC_MINIMIZE && Application().MainForm() == this) {
        Application().Minimize();
        return 0;
      }
      break;
    case WM_DPICHANGED:
      ApplyDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
  }
  return Default(msg, wParam, lParam);
}

}  // namespace ixo
