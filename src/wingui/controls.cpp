#include "wingui/controls.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "win32/scoped.h"
#include "win32/wide.h"

namespace ixo {

TControl::~TControl() {
  DestroyHandle();
  if (form_) form_->RemoveControl(this);
}

const TFontSpec& TControl::Font() const { return ownFont_ ? font_ : form_->Font(); }

void TControl::CreateNative(TForm& form, const ControlArgs& args, const NativeArgs& native) {
  form_ = &form;
  parent_ = args.parent;
  bounds_ = args.bounds;
  ownFont_ = args.font != nullptr;
  if (ownFont_) font_ = *args.font;

  DWORD style = WS_CHILD | native.style;
  if (args.visible) style |= WS_VISIBLE;
  if (!args.enabled) style |= WS_DISABLED;
  HWND parentWindow = parent_ ? parent_->Handle() : form.Handle();
  Subclass(CreateWindowExW(native.exStyle, native.className, Wide(args.caption).c_str(), style,
                           form.Scale(bounds_.left), form.Scale(bounds_.top),
                           form.Scale(bounds_.width), form.Scale(bounds_.height), parentWindow,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(form.NextControlId())),
                           GetModuleHandleW(nullptr), nullptr));
  // The dialog manager walks the tab order in z-order: each control goes
  // after the ones made before it.
  SetWindowPos(Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  form.AddControl(this);
  Rescale();
}

std::string TControl::Text() const { return Narrow(TextW()); }

void TControl::SetText(std::string_view text) { SetTextW(Wide(text)); }

std::wstring TControl::TextW() const {
  const int length = GetWindowTextLengthW(Handle());
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(Handle(), text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(got, 0)));
  return text;
}

void TControl::SetTextW(std::wstring_view text) {
  SetWindowTextW(Handle(), std::wstring(text).c_str());
}

bool TControl::Enabled() const { return IsWindowEnabled(Handle()) != FALSE; }
void TControl::SetEnabled(bool enabled) { EnableWindow(Handle(), enabled); }
bool TControl::Visible() const {
  return (GetWindowLongPtrW(Handle(), GWL_STYLE) & WS_VISIBLE) != 0;
}
void TControl::SetVisible(bool visible) { ShowWindow(Handle(), visible ? SW_SHOWNA : SW_HIDE); }
void TControl::SetFocus() { ::SetFocus(Handle()); }

void TControl::Rescale() {
  SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(form_->FontHandle(Font())), TRUE);
  SetWindowPos(Handle(), nullptr, form_->Scale(bounds_.left), form_->Scale(bounds_.top),
               form_->Scale(bounds_.width), form_->Scale(bounds_.height),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT TControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  // A container (panel, tab page) hands its children's notices on, as the
  // form does.
  LRESULT routed = 0;
  if (RouteChildNotice(msg, wParam, lParam, routed)) return routed;
  if (msg == WM_CHAR && OnKeyPress) {
    wchar_t key = static_cast<wchar_t>(wParam);
    OnKeyPress(key);
    if (key == 0) return 0;
    wParam = key;
  }
  return Default(msg, wParam, lParam);
}

bool TControl::RouteChildNotice(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_COMMAND: {
      TControl* child = lParam ? FromHandle(reinterpret_cast<HWND>(lParam)) : nullptr;
      if (!child) return false;
      child->Command(HIWORD(wParam));
      result = 0;
      return true;
    }
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
      TControl* child = FromHandle(header->hwndFrom);
      if (!child) return false;
      result = child->Notify(*header);
      return true;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: {
      TControl* child = FromHandle(reinterpret_cast<HWND>(lParam));
      HBRUSH brush = child ? child->CtlColor(reinterpret_cast<HDC>(wParam)) : nullptr;
      if (!brush) return false;
      result = reinterpret_cast<LRESULT>(brush);
      return true;
    }
    default:
      return false;
  }
}

void TLabel::Create(TForm& form, const ControlArgs& args, const LabelStyle& style) {
  style_ = style;
  DWORD align = SS_LEFT;
  if (style.alignment == TAlignment::Right) align = SS_RIGHT;
  if (style.alignment == TAlignment::Center) align = SS_CENTER;
  if (style.alignment == TAlignment::Left && !style.wordWrap) align = SS_LEFTNOWORDWRAP;
  CreateNative(form, args, {L"STATIC", align});
}

void TLabel::Rescale() {
  TControl::Rescale();
  if (!style_.autoSize || style_.wordWrap) return;
  // Like a label of the classic form designer: the box fits the text, and a
  // right-aligned label keeps its right edge.
  const std::wstring text = TextW();
  RECT r{0, 0, 0, 0};
  {
    const WindowDC dc(Handle());
    const SelectedObject font(dc.Get(), Form()->FontHandle(Font()));
    DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_SINGLELINE);
  }
  const int width = r.right - r.left;
  int left = Form()->Scale(Bounds().left);
  if (style_.alignment == TAlignment::Right) {
    left = Form()->Scale(Bounds().left + Bounds().width) - width;
  }
  SetWindowPos(Handle(), nullptr, left, Form()->Scale(Bounds().top), width, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void TEdit::Create(TForm& form, const ControlArgs& args) {
  CreateNative(form, args, {L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE});
}

void TButton::Create(TForm& form, const ControlArgs& args) {
  CreateNative(form, args, {L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON});
}

void TButton::Click() {
  if (OnClick) OnClick();
}

void TButton::Command(WORD code) {
  if (code == BN_CLICKED) Click();
}

void TCheckBox::Create(TForm& form, const ControlArgs& args, const CheckBoxStyle& style) {
  CreateNative(form, args,
               {L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX | (style.wordWrap ? BS_MULTILINE : 0u)});
  SendMessageW(Handle(), BM_SETCHECK, style.checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TCheckBox::Checked() const { return SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TCheckBox::SetChecked(bool checked) {
  if (Checked() == checked) return;
  SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  if (OnClick) OnClick();
}

void TCheckBox::Command(WORD code) {
  if (code == BN_CLICKED && OnClick) OnClick();
}

void TComboBox::Create(TForm& form, const ControlArgs& args, int dropDownCount) {
  dropDownCount_ = dropDownCount;
  CreateNative(form, args, {L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST});
  // The themed drop-down list of common controls 6 counts rows itself.
  SendMessageW(Handle(), CB_SETMINVISIBLE, static_cast<WPARAM>(dropDownCount_), 0);
}

void TComboBox::Clear() { SendMessageW(Handle(), CB_RESETCONTENT, 0, 0); }

void TComboBox::Add(std::string_view item) {
  SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
}

int TComboBox::Count() const { return static_cast<int>(SendMessageW(Handle(), CB_GETCOUNT, 0, 0)); }

int TComboBox::ItemIndex() const {
  return static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0));
}

void TComboBox::SetItemIndex(int index) { SendMessageW(Handle(), CB_SETCURSEL, index, 0); }

std::string TComboBox::Item(int index) const { return Narrow(ItemW(index)); }

std::wstring TComboBox::ItemW(int index) const {
  const LRESULT length = SendMessageW(Handle(), CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT got =
      SendMessageW(Handle(), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(got == CB_ERR ? 0 : static_cast<size_t>(got));
  return text;
}

std::string TComboBox::SelectedText() const { return Narrow(SelectedTextW()); }

std::wstring TComboBox::SelectedTextW() const {
  const int index = ItemIndex();
  return index < 0 ? std::wstring() : ItemW(index);
}

void TComboBox::Command(WORD code) {
  if (code == CBN_DROPDOWN) AdjustDropDown();
}

void TComboBox::Rescale() {
  TControl::Rescale();
  AdjustDropDown();
}

void TComboBox::AdjustDropDown() {
  // The height of a drop-down combo box window is its selection field plus
  // the list that drops from it.
  const int rows = std::clamp(Count(), 1, std::max(dropDownCount_, 1));
  const int itemHeight = static_cast<int>(SendMessageW(Handle(), CB_GETITEMHEIGHT, 0, 0));
  RECT field;
  GetWindowRect(Handle(), &field);
  SetWindowPos(Handle(), nullptr, 0, 0, field.right - field.left,
               field.bottom - field.top + itemHeight * rows + 2,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace ixo
