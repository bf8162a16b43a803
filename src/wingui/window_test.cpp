#include "wingui/window.h"

#include <gtest/gtest.h>

#include "win_ui.h"
#include "wingui/controls.h"

namespace ixo {
namespace {

using test::TestForm;
using test::UiTest;

using WindowTest = UiTest;

// A form is a window of the layer's own class, a control subclasses a
// standard one: both are found from their handles, and both let go of them
// when the window goes, so that no object acts on a handle the system may
// give to another window.
TEST_F(WindowTest, FormsAndControlsAreFoundFromTheirHandlesUntilTheWindowGoes) {
  TestForm form;
  const HWND formWindow = form.Handle();
  const HWND editWindow = form.edit.Handle();
  EXPECT_EQ(TWindow::FromHandle(formWindow), &form);
  EXPECT_EQ(TWindow::FromHandle(editWindow), &form.edit);
  EXPECT_EQ(TControl::FromHandle(editWindow), &form.edit);
  EXPECT_EQ(TControl::FromHandle(formWindow), nullptr);
  EXPECT_EQ(TWindow::FromHandle(GetDesktopWindow()), nullptr);
  EXPECT_EQ(TWindow::FromHandle(nullptr), nullptr);

  DestroyWindow(formWindow);
  EXPECT_FALSE(IsWindow(editWindow));
  EXPECT_EQ(form.Handle(), nullptr);
  EXPECT_EQ(form.edit.Handle(), nullptr);
  EXPECT_EQ(form.button.Handle(), nullptr);
}

}  // namespace
}  // namespace ixo
