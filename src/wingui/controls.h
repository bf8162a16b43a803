// The standard controls, each wrapped so that it owns its events: a button
// owns its click, an edit its key presses. A control is made empty as a
// member of its form and created by Create(form, args) in tab order; its
// position is designed at 96 dots per inch, relative to its parent (the form,
// or a container control such as a panel or a tab page).
//
// A control is a window of the layer (TWindow) that subclasses its standard
// control. A new kind of control derives from TControl, creates its native
// window with CreateNative and overrides Command (WM_COMMAND notices), Notify
// (WM_NOTIFY) or WndProc (its own messages) for its events.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "wingui/form.h"
#include "wingui/window.h"

namespace ixo {

struct TBounds {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const TBounds&) const = default;
};

struct ControlArgs {
  std::string caption{};
  TBounds bounds{};
  const TFontSpec* font = nullptr;  // nullptr: the form's font
  TControl* parent = nullptr;       // nullptr: the form
  bool visible = true;
  bool enabled = true;
};

class TControl : public TWindow {
 public:
  ~TControl() override;

  TForm* Form() const { return form_; }
  // The object that owns the control window `hwnd`, or nullptr.
  static TControl* FromHandle(HWND hwnd) {
    return dynamic_cast<TControl*>(TWindow::FromHandle(hwnd));
  }

  // The text as code page 932, for texts of the program's own (a caption, a
  // setting); TextW and SetTextW carry any text whole.
  std::string Text() const;
  void SetText(std::string_view text);
  std::wstring TextW() const;
  void SetTextW(std::wstring_view text);
  bool Enabled() const;
  void SetEnabled(bool enabled);
  bool Visible() const;
  void SetVisible(bool visible);
  void SetFocus();
  const TBounds& Bounds() const { return bounds_; }
  const TFontSpec& Font() const;

  // Every character typed into the control (a UTF-16 unit); setting `key` to
  // 0 discards it.
  std::function<void(wchar_t& key)> OnKeyPress;

  // A key pressed anywhere in the form, offered to each of its controls
  // before the focused control sees it (TForm::PreviewKey); true when this
  // control took it for the whole form.
  virtual bool PreviewFormKey(const MSG& msg) {
    (void)msg;
    return false;
  }

  // The form's share of a parent's notices: WM_COMMAND, WM_NOTIFY and the
  // WM_CTLCOLOR messages of a child go to the child's own object. True when
  // the message was one of them and `result` holds the answer.
  static bool RouteChildNotice(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

 protected:
  struct NativeArgs {
    const wchar_t* className;
    DWORD style;  // besides WS_CHILD, WS_VISIBLE and WS_DISABLED, which args give
    DWORD exStyle = 0;
  };
  void CreateNative(TForm& form, const ControlArgs& args, const NativeArgs& native);

  // A WM_COMMAND notice from this control (BN_CLICKED, EN_CHANGE, ...).
  virtual void Command(WORD code) { (void)code; }
  // A WM_NOTIFY notice from this control.
  virtual LRESULT Notify(const NMHDR& header) {
    (void)header;
    return 0;
  }
  // The brush for WM_CTLCOLOR*, or nullptr for the system's.
  virtual HBRUSH CtlColor(HDC dc) {
    (void)dc;
    return nullptr;
  }
  // The control's own messages. The default hands on the notices of the
  // control's children (a container's, as the form does), runs OnKeyPress,
  // and leaves the rest to the native control (Default).
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  // Puts the control where its design bounds say at the form's dpi.
  virtual void Rescale();

 private:
  friend class TForm;

  TForm* form_ = nullptr;
  TControl* parent_ = nullptr;
  TBounds bounds_;
  TFontSpec font_;
  bool ownFont_ = false;
};

enum class TAlignment { Left, Right, Center };

struct LabelStyle {
  TAlignment alignment = TAlignment::Left;
  bool autoSize = true;   // the box fits the text (a right-aligned one keeps its right edge)
  bool wordWrap = false;  // a left-aligned text wraps at the box's width
};

// A static text. With an "&" in its caption, the mnemonic puts the focus on
// the control created right after it.
class TLabel : public TControl {
 public:
  void Create(TForm& form, const ControlArgs& args, const LabelStyle& style = {});

 protected:
  void Rescale() override;

 private:
  LabelStyle style_;
};

class TEdit : public TControl {
 public:
  void Create(TForm& form, const ControlArgs& args);
};

class TButton : public TControl {
 public:
  void Create(TForm& form, const ControlArgs& args);
  std::function<void()> OnClick;
  // Runs OnClick, as a press of the button does.
  void Click();

 protected:
  void Command(WORD code) override;
};

struct CheckBoxStyle {
  bool checked = false;
  bool wordWrap = false;  // the text wraps at the box's width
};

// A check box. OnClick runs whenever the check mark changes, by the user or
// by SetChecked.
class TCheckBox : public TControl {
 public:
  void Create(TForm& form, const ControlArgs& args, const CheckBoxStyle& style = {});
  std::function<void()> OnClick;
  bool Checked() const;
  void SetChecked(bool checked);

 protected:
  void Command(WORD code) override;
};

// A drop-down list from which the user chooses; nothing can be typed.
class TComboBox : public TControl {
 public:
  void Create(TForm& form, const ControlArgs& args, int dropDownCount = 8);
  void Clear();
  void Add(std::string_view item);
  int Count() const;
  int ItemIndex() const;  // -1: nothing selected
  void SetItemIndex(int index);
  std::string Item(int index) const;
  std::wstring ItemW(int index) const;
  // The selected item's text; empty when nothing is selected.
  std::string SelectedText() const;
  std::wstring SelectedTextW() const;
  int DropDownCount() const { return dropDownCount_; }

 protected:
  void Command(WORD code) override;
  void Rescale() override;

 private:
  // The list shows as many rows as there are items, from 1 to dropDownCount.
  void AdjustDropDown();
  int dropDownCount_ = 8;
};

}  // namespace ixo
