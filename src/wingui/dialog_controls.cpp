#include "wingui/dialog_controls.h"

#include <commctrl.h>

#include <cwchar>

#include "core/error.h"
#include "win32/scoped.h"
#include "win32/wide.h"

namespace ixo {
namespace {

// A plain window of the dialog background, subclassed as every control is.
constexpr const wchar_t* kContainerClass = L"IxoContainer";

// The input method has no context in `hwnd`, so that typing there gives
// plain half-width characters. Looked up at run time: imm32 comes with
// user32 on every system, but the program does not link it.
void SwitchImeOff(HWND hwnd) {
  using AssociateFn = HANDLE(WINAPI*)(HWND, HANDLE);
  static const AssociateFn associate = [] {
    HMODULE imm = GetModuleHandleW(L"imm32.dll");
    if (!imm) imm = LoadLibraryW(L"imm32.dll");
    return imm ? reinterpret_cast<AssociateFn>(
                     reinterpret_cast<void*>(GetProcAddress(imm, "ImmAssociateContext")))
               : nullptr;
  }();
  if (associate) associate(hwnd, nullptr);
}

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)); }

bool IsRadioButton(HWND hwnd) {
  wchar_t cls[16] = {};
  GetClassNameW(hwnd, cls, 16);
  if (lstrcmpiW(cls, L"Button") != 0) return false;
  const DWORD type = StyleOf(hwnd) & BS_TYPEMASK;
  return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

}  // namespace

// --- TContainer -------------------------------------------------------------

void TContainer::CreateContainer(TForm& form, const ControlArgs& args, DWORD style) {
  RegisterWindowClass({.className = kContainerClass});
  CreateNative(form, args,
               {kContainerClass, WS_CLIPSIBLINGS | WS_CLIPCHILDREN | style, WS_EX_CONTROLPARENT});
}

LRESULT TContainer::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CLOSE:
      // A multi-line edit posts WM_CLOSE to its parent on Escape, meant for
      // a dialog box; on a page it would destroy the page.
      return 0;
    case WM_VSCROLL:
    case WM_HSCROLL:
      if (auto* upDown = dynamic_cast<TUpDown*>(FromHandle(reinterpret_cast<HWND>(lParam)))) {
        upDown->Scrolled(LOWORD(wParam));
        return 0;
      }
      break;
  }
  return TControl::WndProc(msg, wParam, lParam);
}

// --- TPageControl -----------------------------------------------------------

void TPageControl::Create(TForm& form, const ControlArgs& args) {
  CreateNative(
      form, args,
      {WC_TABCONTROLW, WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT});
}

void TPageControl::AddPage(TTabSheet* page, const std::string& caption) {
  std::wstring text = Wide(caption);
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = text.data();
  SendMessageW(Handle(), TCM_INSERTITEMW, pages_.size(), reinterpret_cast<LPARAM>(&item));
  pages_.push_back(page);
  if (pages_.size() == 1) SendMessageW(Handle(), TCM_SETCURSEL, 0, 0);
}

int TPageControl::ActivePageIndex() const {
  return static_cast<int>(SendMessageW(Handle(), TCM_GETCURSEL, 0, 0));
}

void TPageControl::SetActivePageIndex(int index) {
  if (index < 0 || index >= PageCount()) return;
  SendMessageW(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
  ShowActivePage();
}

RECT TPageControl::DisplayRect() const {
  RECT r;
  GetClientRect(Handle(), &r);
  SendMessageW(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  return r;
}

void TPageControl::ShowActivePage() {
  const int active = ActivePageIndex();
  // The focus on a page that goes away comes to the tabs, as in a property
  // sheet, not to a hidden control.
  HWND focus = GetFocus();
  bool focusLeaves = false;
  for (int i = 0; i < PageCount(); ++i) {
    if (i != active && focus && IsChild(Page(i)->Handle(), focus)) focusLeaves = true;
  }
  for (int i = 0; i < PageCount(); ++i) {
    if (i == active) Page(i)->SetVisible(true);
  }
  if (focusLeaves) SetFocus();
  for (int i = 0; i < PageCount(); ++i) {
    if (i != active) Page(i)->SetVisible(false);
  }
}

LRESULT TPageControl::Notify(const NMHDR& header) {
  if (header.code == TCN_SELCHANGE) ShowActivePage();
  return 0;
}

bool TPageControl::PreviewFormKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0) {
    return false;
  }
  if (PageCount() == 0 || !IsWindowVisible(Handle()) || !IsWindowEnabled(Handle())) return false;
  int step = 0;
  switch (msg.wParam) {
    case VK_TAB:
      step = GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
      break;
    case VK_NEXT:
      step = 1;
      break;
    case VK_PRIOR:
      step = -1;
      break;
    default:
      return false;
  }
  SetActivePageIndex((ActivePageIndex() + step + PageCount()) % PageCount());
  return true;
}

// --- TTabSheet --------------------------------------------------------------

void TTabSheet::Create(TForm& form, TPageControl& pages, std::string_view caption) {
  pages_ = &pages;
  const bool first = pages.PageCount() == 0;
  pages.AddPage(this, std::string(caption));
  CreateContainer(form, {.caption = std::string(caption), .parent = &pages, .visible = first});
}

void TTabSheet::Rescale() {
  SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(Form()->FontHandle(Font())), TRUE);
  const RECT r = pages_->DisplayRect();
  SetWindowPos(Handle(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// --- TPanel -----------------------------------------------------------------

void TPanel::Create(TForm& form, const ControlArgs& args) { CreateContainer(form, args); }

LRESULT TPanel::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_PAINT) {
    const PaintDC dc(Handle());
    RECT r;
    GetClientRect(Handle(), &r);
    // Lowered outside, raised inside: an etched frame.
    DrawEdge(dc.Get(), &r, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT);
    return 0;
  }
  return TContainer::WndProc(msg, wParam, lParam);
}

// --- TChangeEdit ------------------------------------------------------------

void TChangeEdit::Create(TForm& form, const ControlArgs& args, bool imeOff) {
  TEdit::Create(form, args);
  if (imeOff) SwitchImeOff(Handle());
}

void TChangeEdit::Command(WORD code) {
  if (code == EN_CHANGE && OnChange) OnChange();
}

// --- TColorLabel ------------------------------------------------------------

void TColorLabel::Create(TForm& form, const ControlArgs& args, COLORREF color,
                         const LabelStyle& style) {
  color_ = color;
  TLabel::Create(form, args, style);
}

HBRUSH TColorLabel::CtlColor(HDC dc) {
  SetTextColor(dc, color_);
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return GetSysColorBrush(COLOR_BTNFACE);
}

// --- TListBox ---------------------------------------------------------------

void TListBox::Create(TForm& form, const ControlArgs& args) {
  CreateNative(form, args,
               {L"LISTBOX", WS_TABSTOP | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS,
                WS_EX_CLIENTEDGE});
}

void TListBox::Clear() { SendMessageW(Handle(), LB_RESETCONTENT, 0, 0); }

void TListBox::Add(std::string_view item) { Insert(-1, item); }

void TListBox::Insert(int index, std::string_view item) {
  SendMessageW(Handle(), LB_INSERTSTRING, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(Wide(item).c_str()));
}

void TListBox::Delete(int index) {
  SendMessageW(Handle(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void TListBox::Move(int from, int to) {
  // Moved as the list holds it, not through code page 932.
  const std::wstring item = ItemW(from);
  Delete(from);
  SendMessageW(Handle(), LB_INSERTSTRING, static_cast<WPARAM>(to),
               reinterpret_cast<LPARAM>(item.c_str()));
}

int TListBox::Count() const { return static_cast<int>(SendMessageW(Handle(), LB_GETCOUNT, 0, 0)); }

std::string TListBox::Item(int index) const { return Narrow(ItemW(index)); }

std::wstring TListBox::ItemW(int index) const {
  const LRESULT length = SendMessageW(Handle(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT got = SendMessageW(Handle(), LB_GETTEXT, static_cast<WPARAM>(index),
                                   reinterpret_cast<LPARAM>(text.data()));
  text.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
  return text;
}

std::vector<std::string> TListBox::Items() const {
  std::vector<std::string> items;
  const int n = Count();
  for (int i = 0; i < n; ++i) items.push_back(Item(i));
  return items;
}

void TListBox::SetItemsText(std::string_view text) {
  Clear();
  const LineList lines(text);
  for (const std::string_view line : lines.Lines()) Add(line);
}

std::string TListBox::ItemsText() const {
  std::string text;
  for (const std::string& item : Items()) text += item + "\r\n";
  return text;
}

int TListBox::ItemIndex() const {
  return static_cast<int>(SendMessageW(Handle(), LB_GETCURSEL, 0, 0));
}

void TListBox::SetItemIndex(int index) {
  SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// --- TMemo ------------------------------------------------------------------

void TMemo::Create(TForm& form, const ControlArgs& args, const MemoStyle& style) {
  readOnly_ = style.readOnly;
  DWORD native = WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
  if (style.scrollBars) native |= WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL;
  if (style.readOnly) native |= ES_READONLY;
  CreateNative(form, args, {L"EDIT", native, WS_EX_CLIENTEDGE});
  // As much text as the system can hold, not the 30000 bytes of the
  // default limit (which would stop the user's typing, not the program's).
  SendMessageW(Handle(), EM_SETLIMITTEXT, 0, 0);
}

void TMemo::SetMemoText(std::string_view text) {
  const std::wstring value = Wide(text);
  const LRESULT ok = SendMessageW(Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
  // The edit takes the text up to its first zero.
  const int wanted = static_cast<int>(std::wcslen(value.c_str()));
  if (!ok || GetWindowTextLengthW(Handle()) != wanted) {
    throw Error("文字列の大きさが メモ の制限を越えました");
  }
}

HBRUSH TMemo::CtlColor(HDC dc) {
  if (!readOnly_) return nullptr;
  // A read-only edit would be grey; the memo keeps the colours of a box.
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  return GetSysColorBrush(COLOR_WINDOW);
}

LRESULT TMemo::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_GETDLGCODE) {
    LRESULT code = Default(msg, wParam, lParam);
    // A multi-line edit wants every key; Tab and Escape stay the dialog's,
    // so that Tab moves on and Escape never reaches the edit (which would
    // post WM_CLOSE to its parent).
    const MSG* key = reinterpret_cast<const MSG*>(lParam);
    if (key && (key->message == WM_KEYDOWN || key->message == WM_CHAR) &&
        (key->wParam == VK_TAB || key->wParam == VK_ESCAPE)) {
      code &= ~(DLGC_WANTALLKEYS | DLGC_WANTTAB);
    }
    return code;
  }
  return TControl::WndProc(msg, wParam, lParam);
}

// --- TRadioButton -----------------------------------------------------------

void TRadioButton::Create(TForm& form, const ControlArgs& args, bool startsGroup) {
  CreateNative(form, args, {L"BUTTON", BS_AUTORADIOBUTTON | (startsGroup ? WS_GROUP : 0u)});
}

bool TRadioButton::Checked() const {
  return SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::vector<HWND> TRadioButton::Group() const {
  // Back to the sibling that starts the group, then on to the next start.
  HWND start = Handle();
  while (!(StyleOf(start) & WS_GROUP)) {
    HWND previous = GetWindow(start, GW_HWNDPREV);
    if (!previous) break;
    start = previous;
  }
  std::vector<HWND> group;
  for (HWND w = start; w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (w != start && (StyleOf(w) & WS_GROUP)) break;
    if (IsRadioButton(w)) group.push_back(w);
  }
  return group;
}

void TRadioButton::UpdateTabStops() const {
  for (HWND w : Group()) {
    const bool checked = SendMessageW(w, BM_GETCHECK, 0, 0) == BST_CHECKED;
    const DWORD style = StyleOf(w);
    SetWindowLongPtrW(w, GWL_STYLE, checked ? style | WS_TABSTOP : style & ~WS_TABSTOP);
  }
}

void TRadioButton::SetChecked(bool checked) {
  if (checked) {
    for (HWND w : Group()) {
      if (w != Handle()) SendMessageW(w, BM_SETCHECK, BST_UNCHECKED, 0);
    }
  }
  SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  UpdateTabStops();
}

void TRadioButton::Command(WORD code) {
  // The button has checked itself and cleared the others of its group.
  if (code == BN_CLICKED) UpdateTabStops();
}

// --- TUpDown ----------------------------------------------------------------

void TUpDown::Create(TForm& form, const ControlArgs& args, int min, int max, int position) {
  min_ = min;
  max_ = max;
  CreateNative(form, args, {UPDOWN_CLASSW, UDS_ARROWKEYS});
  SendMessageW(Handle(), UDM_SETRANGE32, static_cast<WPARAM>(min), max);
  SetPosition(position);
}

int TUpDown::Position() const {
  return static_cast<int>(SendMessageW(Handle(), UDM_GETPOS32, 0, 0));
}

void TUpDown::SetPosition(int position) {
  if (position < min_) position = min_;
  if (position > max_) position = max_;
  SendMessageW(Handle(), UDM_SETPOS32, 0, position);
}

LRESULT TUpDown::Notify(const NMHDR& header) {
  if (header.code == static_cast<UINT>(UDN_DELTAPOS)) {
    const auto& change = reinterpret_cast<const NMUPDOWN&>(header);
    lastButton_ = change.iDelta < 0 ? btPrev : btNext;
  }
  return 0;  // the step is allowed
}

void TUpDown::Scrolled(WORD code) {
  if (code == SB_THUMBPOSITION && OnClick) OnClick(lastButton_);
}

}  // namespace ixo
