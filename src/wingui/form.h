// A form: a top-level window of the program that owns its controls and
// timers, lays them out from positions designed at 96 dots per inch, keeps
// the keyboard focus on the control that last had it, and can run modally.
// Forms are owned by the application's taskbar window, so that a form has no
// taskbar button of its own.
//
// The keyboard works as in a dialog box: Tab and Shift+Tab walk the tab
// stops (a container that is a tab stop itself, such as tab pages, comes
// before what it holds), Enter presses the push button that has the focus,
// the arrow keys and the underlined letters do what the dialog manager does.
// No button is bound to Enter or Escape otherwise.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "win32/scoped.h"
#include "wingui/window.h"

namespace ixo {

class TControl;
class TTimer;

struct TFontSpec {
  std::string face;  // code page 932; the font is asked for by its Unicode name
  int height = 12;   // character height in pixels at 96 dpi
  bool bold = false;
  bool italic = false;
  BYTE charset = SHIFTJIS_CHARSET;
  bool operator==(const TFontSpec&) const = default;
};

enum class TWindowState { Normal, Minimized };
enum class TCloseAction { None, Hide };

// Results of a modal form; any other positive value may be used too.
inline constexpr int mrNone = 0;
inline constexpr int mrOk = IDOK;
inline constexpr int mrCancel = IDCANCEL;

struct FormArgs {
  const wchar_t* className = L"TForm";
  std::string caption;
  int width = 0;  // at 96 dpi: the outer size, or the client area when clientSize
  int height = 0;
  bool clientSize = false;
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME;
  DWORD exStyle = 0;
  TFontSpec font;  // the form's font, used by every control that names none
};

class TForm : public TWindow {
 public:
  ~TForm() override;

  // Shows the form (minimised when its state was set so before), activated.
  void Show();
  void Hide();
  bool Visible() const;
  // Raises the form above the others and makes it the foreground window.
  void BringToFront();
  // Places the form at the centre of `other`'s window.
  void CenterOn(HWND other);

  // The close of the form: a modal form ends with mrCancel; otherwise
  // FormClose decides, and closing the application's main form ends the
  // program. An error thrown by FormClose abandons the close. The main form
  // asked to close in a modal state cancels the modal windows first and
  // closes once they have ended (TApplication::CloseAfterModal).
  void Close();

  // Shows the form modally: the program's other windows (its message boxes
  // included) are disabled until the modal result is set (or the form is
  // closed); returns that result.
  int ShowModal();
  void SetModalResult(int result) { modalResult_ = result; }
  int ModalResult() const { return modalResult_; }

  TWindowState WindowState() const;
  void SetWindowState(TWindowState state);

  std::string Caption() const;
  void SetCaption(std::string_view caption);

  UINT Dpi() const { return dpi_; }
  int Scale(int value) const { return ScaleForDpi(value, dpi_); }
  const TFontSpec& Font() const { return font_; }
  // The font at the form's current dots per inch; the form keeps it.
  HFONT FontHandle(const TFontSpec& desc);

  // The control that gets the focus whenever the form is activated.
  void SetActiveControl(TControl* control);
  TControl* ActiveControl() const { return activeControl_; }

  // The tab stop after `from` (before it when `previous`), round the form;
  // from the form itself or from a window of no tab stop, the next stop in
  // tab order. Null when the form has no tab stop.
  HWND NextTabStop(HWND from, bool previous) const;
  // A key message on its way to this form or one of its controls, before
  // the dialog manager sees it: true when the form has handled it (Tab,
  // Enter on a push button, a key a control takes for the whole form).
  bool PreviewKey(const MSG& msg);

  // Used by controls and timers as they are made and unmade.
  void AddControl(TControl* control);
  void RemoveControl(TControl* control);
  void AddTimer(TTimer* timer);
  void RemoveTimer(TTimer* timer);
  int NextControlId() { return nextControlId_++; }
  UINT_PTR NextTimerId() { return nextTimerId_++; }

 protected:
  TForm() = default;
  // Makes the window, hidden; a derived form then creates its controls.
  void CreateForm(const FormArgs& args);
  // Asked by Close; `action` starts as Hide. Set None to keep the form.
  virtual void FormClose(TCloseAction& action) { (void)action; }
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  // Moves, sizes and re-fonts everything for `dpi`.
  void ApplyDpi(UINT dpi, const RECT* suggested);

 private:
  void ResizeForDpi(const RECT* suggested);
  void FocusActiveControl();
  // Moves the focus to `target` as Tab does: an edit's text is selected.
  void TabTo(HWND target);

  FormArgs args_;
  TFontSpec font_;
  UINT dpi_ = kDesignDpi;
  // The fonts made for the controls at the current dpi; the windows that
  // use them are gone before they are.
  using Fonts = std::vector<std::pair<TFontSpec, GdiObject<HFONT>>>;
  Fonts fonts_;
  std::vector<TControl*> controls_;
  std::vector<TTimer*> timers_;
  TControl* activeControl_ = nullptr;
  int nextControlId_ = 100;  // clear of IDOK and IDCANCEL
  UINT_PTR nextTimerId_ = 1;
  bool shown_ = false;
  bool startMinimized_ = false;
  bool modal_ = false;
  int modalResult_ = mrNone;
};

}  // namespace ixo
