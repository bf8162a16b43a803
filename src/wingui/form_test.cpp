#include "wingui/form.h"

#include <gtest/gtest.h>

#include <thread>

#include "win_ui.h"
#include "wingui/controls.h"

namespace ixo {
namespace {

using test::PlaceInParent;
using test::PumpPending;
using test::PumpUntil;
using test::TestForm;
using test::UiTest;

using FormTest = UiTest;

TEST_F(FormTest, ShowModalDisablesTheOtherWindowsUntilTheResultIsSet) {
  TestForm main("main");
  app->SetMainForm(&main);
  main.Show();
  TestForm dialog("dialog");
  bool mainEnabledInside = true;
  bool taskbarEnabledInside = true;
  TForm* modalInside = nullptr;
  dialog.button.OnClick = [&] {
    mainEnabledInside = IsWindowEnabled(main.Handle());
    taskbarEnabledInside = IsWindowEnabled(app->Handle());
    modalInside = app->ModalForm();
    dialog.SetModalResult(mrOk);
  };
  PostMessageA(dialog.button.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_FALSE(mainEnabledInside);
  EXPECT_FALSE(taskbarEnabledInside);
  EXPECT_EQ(modalInside, &dialog);
  EXPECT_TRUE(IsWindowEnabled(main.Handle()));
  EXPECT_TRUE(IsWindowEnabled(app->Handle()));
  EXPECT_FALSE(IsWindowVisible(dialog.Handle()));
  EXPECT_EQ(app->ModalForm(), nullptr);
}

TEST_F(FormTest, ClosingAModalFormGivesCancel) {
  TestForm dialog("dialog");
  PostMessageA(dialog.Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
}

TEST_F(FormTest, TheMainFormClosesOnlyAfterTheModalFormHasReturned) {
  TestForm main("main");
  app->SetMainForm(&main);
  main.Show();
  bool closedInside = false;
  bool closed = false;
  main.onClose = [&](TCloseAction&) { closed = true; };
  TestForm dialog("dialog");
  dialog.button.OnClick = [&] {
    main.Close();
    closedInside = closed;
  };
  PostMessageA(dialog.button.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
  EXPECT_FALSE(closedInside);
  EXPECT_TRUE(PumpUntil([&] { return closed; }));
  EXPECT_TRUE(app->Terminated());
}

// Each way the desktop asks the program to close: End task and taskkill
// (WM_CLOSE to the main form), the taskbar button's close and its menu.
struct CloseRequest {
  const char* name;
  bool toTaskbar;
  UINT msg;
  WPARAM wParam;
};
const CloseRequest kCloseRequests[] = {
    {"WM_CLOSE to the main form", false, WM_CLOSE, 0},
    {"WM_CLOSE to the taskbar window", true, WM_CLOSE, 0},
    {"SC_CLOSE to the taskbar window", true, WM_SYSCOMMAND, SC_CLOSE},
};

TEST_F(FormTest, ACloseRequestOverAMessageBoxOnAModalFormEndsBothThenClosesOnce) {
  for (const CloseRequest& request : kCloseRequests) {
    SCOPED_TRACE(request.name);
    int closes = 0;
    int closesInside = -1;
    int result = mrNone;
    bool boxSeen = false;
    bool dialogDisabled = false;
    bool stuck = false;
    {
      TestForm main("main");
      app->SetMainForm(&main);
      main.Show();
      main.onClose = [&](TCloseAction&) { ++closes; };
      // A real box over the dialog, as a failed Test shows it.
      app->SetErrorPresenter(nullptr);
      TestForm dialog("dialog");
      dialog.button.OnClick = [&] { app->ShowException(Error("箱")); };
      const DWORD thread = GetCurrentThreadId();
      std::thread desktop([&] {
        HWND box = test::WaitForSystemDialog(thread);
        if (!box) return;
        boxSeen = true;
        dialogDisabled = !IsWindowEnabled(dialog.Handle());
        PostMessageA(request.toTaskbar ? app->Handle() : main.Handle(), request.msg, request.wParam,
                     0);
        if (!test::WaitClosed(box)) {
          // Not ended by the request: the box's OK frees the test.
          stuck = true;
          PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
      });
      PostMessageA(dialog.button.Handle(), BM_CLICK, 0, 0);
      result = dialog.ShowModal();
      closesInside = closes;
      desktop.join();
      PumpUntil([&] { return app->Terminated(); });
      PumpPending();
    }
    EXPECT_TRUE(boxSeen);
    EXPECT_TRUE(dialogDisabled);
    EXPECT_FALSE(stuck) << "the box was not ended by the close request";
    EXPECT_EQ(result, mrCancel);
    EXPECT_EQ(closesInside, 0);
    EXPECT_TRUE(app->Terminated());
    EXPECT_EQ(closes, 1);
    TearDown();
    SetUp();
  }
}

TEST_F(FormTest, AModalFormAlsoDisablesAMessageBoxThatIsAlreadyOpen) {
  TestForm main("main");
  app->SetMainForm(&main);
  main.Show();
  app->SetErrorPresenter(nullptr);
  TestForm dialog("dialog");
  HWND box = nullptr;
  bool boxEnabledInside = true;
  bool mainEnabledInside = true;
  dialog.button.OnClick = [&] {
    boxEnabledInside = IsWindowEnabled(box);
    mainEnabledInside = IsWindowEnabled(main.Handle());
    dialog.SetModalResult(mrOk);
  };
  bool boxEnabledAfter = false;
  // The dialog opens while the box over the main form is up.
  main.check.OnClick = [&] {
    PostMessageA(dialog.button.Handle(), BM_CLICK, 0, 0);
    dialog.ShowModal();
    boxEnabledAfter = IsWindowEnabled(box);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  };
  main.button.OnClick = [&] { app->ShowException(Error("箱")); };
  const DWORD thread = GetCurrentThreadId();
  std::thread desktop([&] {
    box = test::WaitForSystemDialog(thread);
    if (box) PostMessageA(main.check.Handle(), BM_CLICK, 0, 0);
  });
  SendMessageA(main.button.Handle(), BM_CLICK, 0, 0);
  desktop.join();
  ASSERT_NE(box, nullptr);
  EXPECT_FALSE(boxEnabledInside);
  EXPECT_FALSE(mainEnabledInside);
  EXPECT_TRUE(boxEnabledAfter);
  EXPECT_TRUE(IsWindowEnabled(main.Handle()));
}

TEST_F(FormTest, TheActiveControlHasTheFocusWhenTheFormShows) {
  TestForm form;
  form.SetActiveControl(&form.combo);
  form.Show();
  PumpPending();
  EXPECT_EQ(GetFocus(), form.combo.Handle());
}

TEST_F(FormTest, AnUnderlinedLetterOfALabelFocusesTheControlAfterIt) {
  TestForm form;
  form.SetActiveControl(&form.button);
  form.Show();
  PumpPending();
  ASSERT_EQ(GetFocus(), form.button.Handle());
  // Alt+N, as the keyboard delivers it.
  PostMessageA(form.button.Handle(), WM_SYSCHAR, 'n', 1 << 29);
  PumpPending();
  EXPECT_EQ(GetFocus(), form.edit.Handle());
}

TEST_F(FormTest, ANewDpiScalesSizesPositionsAndFonts) {
  TestForm form;
  RECT before;
  GetWindowRect(form.Handle(), &before);
  EXPECT_EQ(before.right - before.left, 320);
  EXPECT_EQ(before.bottom - before.top, 200);
  RECT clientBefore;
  GetClientRect(form.Handle(), &clientBefore);

  RECT suggested{100, 50, 100 + 480, 50 + 300};
  SendMessageA(form.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
               reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(form.Dpi(), 144u);
  RECT client;
  GetClientRect(form.Handle(), &client);
  // The frame is the system's: at least the scaled client area is there for
  // the controls.
  EXPECT_GE(client.right, clientBefore.right * 3 / 2);
  EXPECT_GE(client.bottom, clientBefore.bottom * 3 / 2);
  RECT edit = PlaceInParent(form.edit.Handle());
  EXPECT_EQ(edit.left, 90);
  EXPECT_EQ(edit.top, 9);
  EXPECT_EQ(edit.right - edit.left, 180);
  EXPECT_EQ(edit.bottom - edit.top, 30);
  LOGFONTA lf{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(form.edit.Handle(), WM_GETFONT, 0, 0)), sizeof lf,
             &lf);
  EXPECT_EQ(lf.lfHeight, -18);

  SendMessageA(form.Handle(), WM_DPICHANGED, MAKEWPARAM(192, 192),
               reinterpret_cast<LPARAM>(&suggested));
  edit = PlaceInParent(form.edit.Handle());
  EXPECT_EQ(edit.left, 120);
  EXPECT_EQ(edit.right - edit.left, 240);
}

}  // namespace
}  // namespace ixo
