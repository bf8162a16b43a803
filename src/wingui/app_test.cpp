#include "wingui/app.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "win_ui.h"
#include "wingui/timer.h"

namespace ixo {
namespace {

using test::PumpPending;
using test::PumpUntil;
using test::TestForm;
using test::UiTest;

using ApplicationTest = UiTest;

TEST_F(ApplicationTest, WhateverAHandlerThrowsEndsInTheErrorBoxAndTheProgramGoesOn) {
  const struct {
    std::function<void()> fail;
    std::string shown;
  } cases[] = {
      {[] { throw Error("ファイル x を作成できません"); }, "ファイル x を作成できません."},
      {[] { throw std::bad_alloc(); }, "メモリが不足しています."},
      {[] { throw std::length_error("vector too long"); }, "vector too long."},
      {[] { throw 42; }, "予期しないエラーが発生しました."},
  };
  TestForm form;
  for (const auto& c : cases) {
    errors.clear();
    // A click reaches the form's window procedure, a typed key the edit's own.
    form.button.OnClick = c.fail;
    form.edit.OnKeyPress = [&](wchar_t&) { c.fail(); };
    SendMessageA(form.button.Handle(), BM_CLICK, 0, 0);
    SendMessageA(form.edit.Handle(), WM_CHAR, 'a', 0);
    EXPECT_EQ(errors, (std::vector<std::string>{c.shown, c.shown}));
  }
  EXPECT_TRUE(IsWindow(form.Handle()));
}

TEST_F(ApplicationTest, AnErrorInATimerTickEndsInTheErrorBox) {
  TestForm form;
  TTimer timer(form, 10);
  timer.OnTimer = [&] {
    timer.SetEnabled(false);
    throw Error("tick");
  };
  timer.SetEnabled(true);
  ASSERT_TRUE(PumpUntil([&] { return !errors.empty(); }));
  EXPECT_EQ(errors[0], "tick.");
}

TEST_F(ApplicationTest, TheErrorBoxIsTitledIxoWithAnErrorIconAndOneOKButton) {
  app->SetErrorPresenter(nullptr);
  std::atomic<bool> found{false};
  std::string text, button;
  bool icon = false;
  int buttons = 0;
  std::thread closer([&] {
    for (int i = 0; i < 2000 && !found; ++i) {
      HWND box = FindWindowA("#32770", "Ixo");
      DWORD pid = 0;
      if (box) GetWindowThreadProcessId(box, &pid);
      if (box && pid == GetCurrentProcessId() && IsWindowVisible(box)) {
        char buf[256] = {};
        GetDlgItemTextA(box, 0xFFFF, buf, sizeof buf);
        text = buf;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
          char cls[64] = {};
          GetClassNameA(child, cls, sizeof cls);
          const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
          if (lstrcmpiA(cls, "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON &&
              SendMessageA(child, STM_GETICON, 0, 0)) {
            icon = true;
          }
          if (lstrcmpiA(cls, "Button") == 0 && (style & WS_VISIBLE)) {
            ++buttons;
            GetWindowTextA(child, buf, sizeof buf);
            button = buf;
          }
        }
        found = true;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return;
      }
      Sleep(10);
    }
  });
  TestForm form;
  form.Show();
  app->ShowException(Error("ファイル x は開けません"));
  closer.join();
  ASSERT_TRUE(found);
  EXPECT_EQ(text, "ファイル x は開けません.");
  EXPECT_TRUE(icon);
  EXPECT_EQ(buttons, 1);
  EXPECT_EQ(button, "OK");
  EXPECT_FALSE(app->ErrorBoxOpen());
}

TEST_F(ApplicationTest, MinimiseHidesTheFormsWithTheTaskbarWindowAndRestoreBringsThemBack) {
  TestForm form;
  app->SetMainForm(&form);
  ShowWindow(app->Handle(), SW_SHOW);
  form.Show();
  int minimised = 0;
  int restored = 0;
  app->OnMinimize = [&] { ++minimised; };
  app->OnRestore = [&] { ++restored; };

  app->Minimize();
  app->Minimize();
  EXPECT_EQ(minimised, 1);
  EXPECT_TRUE(app->Minimized());
  EXPECT_FALSE(IsWindowVisible(form.Handle()));

  // The taskbar button's restore.
  SendMessageA(app->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_EQ(restored, 1);
  EXPECT_FALSE(app->Minimized());
  EXPECT_TRUE(IsWindowVisible(form.Handle()));
  app->Restore();
  EXPECT_EQ(restored, 1);

  // The main form's minimise box minimises the application.
  SendMessageA(form.Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_EQ(minimised, 2);
  EXPECT_TRUE(app->Minimized());
  EXPECT_FALSE(IsIconic(form.Handle()));
}

TEST_F(ApplicationTest, AnotherProgramsWindowBecomingActiveRaisesDeactivate) {
  TestForm form;
  app->SetMainForm(&form);
  form.Show();
  int deactivated = 0;
  app->OnDeactivate = [&] { ++deactivated; };
  test::OtherThreadWindow other;
  other.Activate();
  EXPECT_TRUE(PumpUntil([&] { return deactivated > 0; }));
  EXPECT_EQ(deactivated, 1);
}

TEST_F(ApplicationTest, TheTaskbarWindowOwnsTheFormsAndHasTheTitle) {
  TestForm form;
  EXPECT_EQ(GetWindow(form.Handle(), GW_OWNER), app->Handle());
  char title[32] = {};
  GetWindowTextA(app->Handle(), title, sizeof title);
  EXPECT_STREQ(title, "Ixo");
  RECT r;
  GetWindowRect(app->Handle(), &r);
  EXPECT_EQ(r.right - r.left, 0);
  EXPECT_EQ(r.bottom - r.top, 0);
  EXPECT_EQ(GetWindowLongPtrA(form.Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
}

TEST_F(ApplicationTest, ClosingTheMainFormEndsTheProgramUnlessFormCloseFails) {
  TestForm form;
  app->SetMainForm(&form);
  bool fail = true;
  form.onClose = [&](TCloseAction&) {
    if (fail) throw Error("書き込めません");
  };
  SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(app->Terminated());
  ASSERT_EQ(errors.size(), 1u);
  fail = false;
  SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(app->Terminated());
}

TEST_F(ApplicationTest, TheMessageLoopEndsWhenTheMainFormCloses) {
  TestForm form;
  app->SetMainForm(&form);
  form.Show();
  PostMessageA(form.Handle(), WM_CLOSE, 0, 0);
  app->Run();
  EXPECT_TRUE(app->Terminated());
}

}  // namespace
}  // namespace ixo
