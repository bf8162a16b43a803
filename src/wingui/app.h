// The application object: the program's title, its taskbar window, the
// message loop, the minimise, restore and deactivate events, and the default
// error box.
//
// The taskbar window is a visible window of no size that owns the taskbar
// button and every form, in the manner of the classic form designers: the
// forms themselves have no taskbar button, minimising the application hides
// them with it, and hiding the taskbar window takes the button away. It
// starts hidden; the program shows it when it wants a taskbar button.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"
#include "wingui/errorbox.h"

namespace ixo {

class TForm;

class TApplication {
 public:
  // Starts the common controls and OLE (the shell's folder browser needs
  // it) and makes the taskbar window. There is one application at a time;
  // Application() finds it.
  TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;
  ~TApplication();

  const std::string& Title() const { return title_; }
  // Names the taskbar button and the application's message boxes.
  void SetTitle(std::string_view title);

  // The taskbar window.
  HWND Handle() const;
  // The program's icon from its resources (or the system's application
  // icon), in the large and small sizes.
  HICON Icon() const { return icon_; }
  HICON SmallIcon() const { return smallIcon_; }

  // The form whose close ends the program.
  TForm* MainForm() const { return mainForm_; }
  void SetMainForm(TForm* form) { mainForm_ = form; }

  // The message loop, until Terminate.
  void Run();
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Waits for one message and handles it; false when the loop is to end.
  bool HandleMessage();
  // Handles every message waiting, without waiting for more.
  void ProcessMessages();

  // Minimise: the taskbar window goes to the taskbar (shown, if it was
  // hidden) and the forms disappear with it; then OnMinimize. Nothing when
  // already minimised. Restore is the reverse, then OnRestore; nothing when
  // not minimised.
  void Minimize();
  void Restore();
  bool Minimized() const;
  std::function<void()> OnMinimize;
  std::function<void()> OnRestore;
  // Another program's window became active.
  std::function<void()> OnDeactivate;

  // The default error box: the message (see ErrorBoxText) with an error icon
  // and an OK button, titled with the application's title. The program goes
  // on when it is closed.
  void ShowException(const Error& error);
  // The same for any exception (see ErrorOf).
  void ShowException(std::exception_ptr failure);
  // Replaces the message box (tests record the texts instead).
  void SetErrorPresenter(std::function<void(const std::string& text)> presenter) {
    presenter_ = std::move(presenter);
  }
  bool ErrorBoxOpen() const { return errorBoxes_ > 0; }

  // The innermost modal form, or nullptr.
  TForm* ModalForm() const { return modalForms_.empty() ? nullptr : modalForms_.back(); }
  // Used by TForm::ShowModal.
  void BeginModal(TForm* form) { modalForms_.push_back(form); }
  void EndModal(TForm* form);

  // True while any modal window of the program is open: a modal form, a
  // message box, the folder browser (see TModalScope).
  bool InModalState() const { return !modalForms_.empty() || !scopes_.empty(); }
  // The window the user can work in now: the enabled window on top of the
  // open modal windows, or the main form when none is open; nullptr when
  // that is not shown.
  HWND ActivePopup() const;
  // Raises ActivePopup (restored, if it was minimised) and makes it the
  // foreground window. False when there is none.
  bool BringActivePopupToFront() const;

  // Ends every open modal window as its Cancel would: modal forms get
  // mrCancel, the others are ended by their scope (see TModalScope).
  void CancelModal();
  // A close of the main form asked for in a modal state: the modal windows
  // are cancelled, and once the last of them has ended the main form gets
  // one WM_CLOSE, so that the close runs after their callers have finished
  // with the state it saves. Nothing is posted before that.
  void CloseAfterModal();

 private:
  friend class TModalScope;
  class TaskbarWindow;
  void Dispatch(MSG& msg);
  void Deactivate();
  HWND ErrorBoxOwner() const;
  // Called as each modal window ends: sends the waiting close on its way.
  void ModalEnded();

  std::string title_;
  HICON icon_ = nullptr;
  HICON smallIcon_ = nullptr;
  std::unique_ptr<TaskbarWindow> window_;
  TForm* mainForm_ = nullptr;
  std::vector<TForm*> modalForms_;
  std::vector<std::function<void()>*> scopes_;  // the cancels of the open TModalScopes
  std::function<void(const std::string&)> presenter_;
  int errorBoxes_ = 0;
  bool running_ = false;
  bool terminated_ = false;
  bool oleStarted_ = false;
  bool smallIconOwned_ = false;
  bool closePending_ = false;
};

// Marks, for as long as it lives, a modal loop that the application does not
// run itself: a message box, the shell's folder browser. The program is in a
// modal state meanwhile, and a close request ends the loop with `cancel`,
// which must end it as its Cancel button would (the loop may still be
// starting: the cancel then takes effect as soon as it can).
class TModalScope {
 public:
  explicit TModalScope(std::function<void()> cancel);
  ~TModalScope();
  TModalScope(const TModalScope&) = delete;
  TModalScope& operator=(const TModalScope&) = delete;

 private:
  std::function<void()> cancel_;
};

// True for a dialog window of the system's (a message box, the folder
// browser: class #32770) as opposed to a window of the program's own.
bool IsSystemDialog(HWND hwnd);

// The application of the running program.
TApplication& Application();
bool HasApplication();

}  // namespace ixo
