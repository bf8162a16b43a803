// Helpers for the tests that drive real windows: message pumping with a
// bound, an application per test whose error box records instead of
// showing, and the file helpers of win_files.h.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "win_files.h"
#include "wingui/app.h"
#include "wingui/controls.h"
#include "wingui/form.h"

namespace ixo::test {

// Handles the thread's messages until `done` is true or `timeoutMs` passed;
// true when `done` came true.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 20000);
// Handles the messages already waiting.
void PumpPending();

// Presses `key` with the `modifiers` (VK_CONTROL, VK_SHIFT) held, as the
// keyboard delivers it to the window with the focus, and handles what
// follows through the application's message loop.
void PressKey(WORD key, std::initializer_list<WORD> modifiers = {});

// Polls from another thread until `thread` shows a system dialog (a message
// box, the folder browser: class #32770); null when none came in time.
HWND WaitForSystemDialog(DWORD thread, DWORD timeoutMs = 20000);
// Polls until `hwnd` is hidden or gone; false when it still shows after the
// time.
bool WaitClosed(HWND hwnd, DWORD timeoutMs = 20000);

// Where `control` stands in its parent's client area.
RECT PlaceInParent(HWND control);

// What is wrong with the layout below `top`, one line each: a control that
// reaches outside its parent's client area, two shown controls of one
// parent that overlap. Every parent is looked into, hidden pages included;
// the pairs in `overlapping` overlap by design.
std::vector<std::string> LayoutFaults(
    HWND top, std::initializer_list<std::pair<HWND, HWND>> overlapping = {});

// An application for one test; every error box is recorded in `errors`.
class UiTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  std::unique_ptr<TApplication> app;
  std::vector<std::string> errors;
};

// A plain top-level window of a thread of its own: activating it takes the
// activation away from the program's thread, as another program does.
class OtherThreadWindow {
 public:
  OtherThreadWindow();
  ~OtherThreadWindow();
  HWND Handle() const { return hwnd_; }
  // Makes it the foreground window (from its own thread).
  void Activate();

 private:
  HANDLE thread_ = nullptr;
  DWORD threadId_ = 0;
  HWND hwnd_ = nullptr;
  HANDLE ready_ = nullptr;
};

}  // namespace ixo::test

namespace ixo::test {

// A form of the tests' own, with one control of each kind.
class TestForm : public TForm {
 public:
  explicit TestForm(const char* caption = "test form");
  ~TestForm() override { DestroyHandle(); }

  TLabel label;
  TEdit edit;
  TButton button;
  TCheckBox check;
  TComboBox combo;
  std::function<void(TCloseAction&)> onClose;

  using TForm::ApplyDpi;

 protected:
  void FormClose(TCloseAction& action) override {
    if (onClose) onClose(action);
  }
};

}  // namespace ixo::test
