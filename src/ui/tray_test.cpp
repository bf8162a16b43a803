// The notification-area icon and the automatic exit of the main window.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "clipboard/clipboard.h"
#include "ui/main.h"
#include "win32/wide.h"
#include "win_main_form.h"

namespace ixo {
namespace {

using test::MainFormTest;
using test::PumpPending;
using test::PumpUntil;
using test::TestForm;

// Whether the shell holds the window's icon: modifying an unknown icon fails.
bool IconInShell(const TForm1& form) {
  NOTIFYICONDATAW probe = form.TrayIcon.Data();
  probe.uFlags = 0;
  return Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

class TrayTest : public MainFormTest {
 protected:
  TOptionRecord TrayOptions() const {
    TOptionRecord rec = Options();
    rec.Tray = true;
    return rec;
  }
  TOptionRecord CountOptions(uint8_t type, int32_t time) const {
    TOptionRecord rec = Options();
    rec.Atc = true;
    rec.AcType = type;
    rec.AcTime = time;
    return rec;
  }
  void Tick() { SendMessageA(form->Handle(), WM_TIMER, form->Tim.Id(), 0); }
  // A window of the program's thread that takes the activation away from the
  // main window.
  HWND ActivateOther() {
    other_ = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                             nullptr, nullptr, nullptr);
    SetActiveWindow(other_);
    return other_;
  }
  void TearDown() override {
    if (other_) DestroyWindow(other_);
    other_ = nullptr;
    MainFormTest::TearDown();
  }
  HWND other_ = nullptr;
};

TEST_F(TrayTest, WithTrayTheIconReplacesTheTaskbarButtonFromTheStart) {
  Start(TrayOptions());
  EXPECT_TRUE(form->TrayIcon.Shown());
  EXPECT_TRUE(IconInShell(*form));
  EXPECT_FALSE(IsWindowVisible(app->Handle()));
  EXPECT_EQ(Narrow(form->TrayIcon.Data().szTip), "IXO");
  // A click on the icon comes back as the shell reports it, with what the
  // icon was given: it brings the window up.
  app->Minimize();
  ASSERT_FALSE(IsWindowVisible(form->Handle()));
  const NOTIFYICONDATAW& icon = form->TrayIcon.Data();
  SendMessageA(icon.hWnd, icon.uCallbackMessage, icon.uID, WM_LBUTTONDOWN);
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_FALSE(app->Minimized());
}

TEST_F(TrayTest, ClearingTrayRemovesTheIconAndBringsTheTaskbarButtonBack) {
  Start(TrayOptions());
  TOptionRecord rec = form->OptionRec;
  rec.Tray = false;
  form->OptionRec = rec;
  form->hanei(form->OptionRec);
  EXPECT_FALSE(form->TrayIcon.Shown());
  EXPECT_FALSE(IconInShell(*form));
  EXPECT_TRUE(IsWindowVisible(app->Handle()));
}

TEST_F(TrayTest, WithoutTrayMinimisingLeavesTheTaskbarButton) {
  Start(Options());
  app->Minimize();
  EXPECT_FALSE(form->TrayIcon.Shown());
  EXPECT_TRUE(IsWindowVisible(app->Handle()));
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
}

TEST_F(TrayTest, MinimisedToTheTrayALeftClickOnTheIconBringsTheWindowBack) {
  TOptionRecord rec = TrayOptions();
  rec.Min = true;
  Start(rec);
  ShowWindow(app->Handle(), SW_HIDE);
  app->Minimize();
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
  EXPECT_FALSE(IsWindowVisible(app->Handle()));
  EXPECT_TRUE(IconInShell(*form));

  SendMessageA(form->Handle(), WM_TRAYICON, 1, WM_LBUTTONDOWN);
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_EQ(form->WindowState(), TWindowState::Normal);
  EXPECT_FALSE(app->Minimized());
  EXPECT_FALSE(IsWindowVisible(app->Handle()));
  EXPECT_EQ(GetForegroundWindow(), form->Handle());
  EXPECT_TRUE(form->TrayIcon.Shown());
  // Other mouse messages of the icon do nothing.
  app->Minimize();
  SendMessageA(form->Handle(), WM_TRAYICON, 1, WM_MOUSEMOVE);
  SendMessageA(form->Handle(), WM_TRAYICON, 1, WM_LBUTTONUP);
  EXPECT_TRUE(app->Minimized());
}

// The popup menu window on the screen, if one is open: there may be hidden
// ones of earlier menus besides it.
HWND VisibleMenu() {
  HWND found = nullptr;
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        char cls[16] = {};
        GetClassNameA(hwnd, cls, sizeof cls);
        if (lstrcmpA(cls, "#32768") == 0 && IsWindowVisible(hwnd)) {
          *reinterpret_cast<HWND*>(param) = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// Waits in a thread of its own for the popup menu, notes where it opened
// and which window was in front, then presses `key` in it. A menu that a key
// does not close is cancelled, so that a failing test cannot hang.
class MenuChooser {
 public:
  explicit MenuChooser(char key)
      : thread_([this, key] {
          for (int i = 0; i < 2000 && !tracked_; ++i) {
            HWND menu = VisibleMenu();
            if (menu) {
              GetWindowRect(menu, &place);
              foreground = GetForegroundWindow();
              opened = true;
              PostMessageA(menu, WM_CHAR, static_cast<unsigned char>(key), 1);
              for (int j = 0; j < 2000 && IsWindowVisible(menu); ++j) Sleep(10);
              if (IsWindowVisible(menu)) {
                stuck = true;
                PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 1);
                PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 1);
              }
              return;
            }
            Sleep(10);
          }
        }) {}
  ~MenuChooser() { Wait(); }
  // Called once the menu has closed.
  void Wait() {
    tracked_ = true;
    if (thread_.joinable()) thread_.join();
  }
  std::atomic<bool> opened{false};
  std::atomic<bool> stuck{false};
  RECT place{};
  HWND foreground = nullptr;

 private:
  std::atomic<bool> tracked_{false};
  std::thread thread_;
};

// A right click on the icon of `form`, choosing `key` in the menu, until
// `done`. Without a window manager, X focus news that arrives late makes Wine
// cancel a menu as it opens (WM_CANCELMODE on FocusOut); such a click is
// made again, a few times at most.
std::unique_ptr<MenuChooser> RightClick(TForm1& form, char key, const std::function<bool()>& done) {
  std::unique_ptr<MenuChooser> chooser;
  for (int attempt = 0; attempt < 5; ++attempt) {
    chooser = std::make_unique<MenuChooser>(key);
    SendMessageA(form.Handle(), WM_TRAYICON, 1, WM_RBUTTONDOWN);
    chooser->Wait();
    if (chooser->opened && done()) break;
  }
  return chooser;
}

TEST_F(TrayTest, ARightClickOnTheIconOpensTheMenuAtTheCursorInFrontOfTheWindow) {
  Start(TrayOptions());
  app->Minimize();
  SetClipText("右\r\nhttp://example.com/menu\r\n");
  SetCursorPos(300, 200);
  POINT cursor;
  GetCursorPos(&cursor);
  const auto chooser = RightClick(*form, 'g', [&] { return form->Edit1.Text() == "右"; });
  ASSERT_TRUE(chooser->opened);
  EXPECT_FALSE(chooser->stuck);
  EXPECT_EQ(chooser->place.left, cursor.x);
  EXPECT_EQ(chooser->place.top, cursor.y);
  EXPECT_EQ(chooser->foreground, form->Handle());
  EXPECT_FALSE(app->Minimized());
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  // "URLとタイトルの取得(&G)" ran: the boxes are filled, nothing is saved.
  EXPECT_EQ(form->Edit1.Text(), "右");
  EXPECT_EQ(form->Edit2.Text(), "http://example.com/menu");
  EXPECT_FALSE(test::FileExists(Saved("右")));
  EXPECT_TRUE(errors.empty());
}

TEST_F(TrayTest, TheMenusCloseItemClosesTheProgram) {
  Start(TrayOptions());
  ASSERT_TRUE(RightClick(*form, 'c', [&] { return app->Terminated(); })->opened);
  EXPECT_TRUE(app->Terminated());
  EXPECT_FALSE(IconInShell(*form));
}

TEST_F(TrayTest, WhileADialogIsOpenTheMenuOnlyBringsTheDialogToTheFront) {
  Start(TrayOptions());
  TestForm dialog("dialog");
  bool open = false;
  HWND foreground = nullptr;
  bool closedInside = true;
  dialog.button.OnClick = [&] {
    const auto chooser =
        RightClick(*form, 'c', [&] { return GetForegroundWindow() == dialog.Handle(); });
    open = chooser->opened;
    foreground = GetForegroundWindow();
    closedInside = app->Terminated();
    dialog.SetModalResult(mrOk);
  };
  PostMessageA(dialog.button.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_TRUE(open);
  EXPECT_FALSE(closedInside);
  EXPECT_EQ(foreground, dialog.Handle());
  PumpPending();
  EXPECT_FALSE(app->Terminated());
  EXPECT_TRUE(form->TrayIcon.Shown());
}

TEST_F(TrayTest, WithAMessageBoxOpenTheIconAndItsMenuBringTheBoxForwardAndOpenNothing) {
  TOptionRecord rec = TrayOptions();
  rec.Kansi = true;
  Start(rec);
  app->SetErrorPresenter(nullptr);
  struct {
    HWND box = nullptr, afterClick = nullptr, afterMenu = nullptr;
    bool menuOpened = false, optionsReturned = false, dialog = false;
  } seen;
  std::atomic<bool> done{false};
  const DWORD thread = GetCurrentThreadId();
  std::thread desktop([&] {
    seen.box = test::WaitForSystemDialog(thread);
    if (seen.box) {
      SendMessageA(form->Handle(), WM_TRAYICON, 1, WM_LBUTTONDOWN);
      seen.afterClick = GetForegroundWindow();
    }
    // Where the click already went wrong, the menu would open a dialog that
    // nothing here closes.
    if (seen.box && seen.afterClick == seen.box) {
      seen.menuOpened = RightClick(*form, 'o', [] { return true; })->opened;
      seen.afterMenu = GetForegroundWindow();
      DWORD_PTR unused = 0;
      seen.optionsReturned = SendMessageTimeoutA(form->optionb.Handle(), BM_CLICK, 0, 0,
                                                 SMTO_NORMAL, 10000, &unused) != 0;
      HWND dialog = FindWindowA("TForm2", nullptr);
      seen.dialog = dialog != nullptr;
      if (dialog) PostMessageA(dialog, WM_CLOSE, 0, 0);
    }
    if (seen.box) PostMessageA(seen.box, WM_COMMAND, IDOK, 0);
    done = true;
  });
  // The box of a save error: a title no file name can hold.
  SetClipText("題\thttp://example.com/\r\n");
  EXPECT_TRUE(PumpUntil([&] { return done.load(); }, 60000));
  desktop.join();
  ASSERT_NE(seen.box, nullptr);
  EXPECT_EQ(seen.afterClick, seen.box);
  EXPECT_TRUE(seen.menuOpened);
  EXPECT_EQ(seen.afterMenu, seen.box);
  EXPECT_TRUE(seen.optionsReturned);
  EXPECT_FALSE(seen.dialog);
  EXPECT_EQ(form->OptionRec.Dirs, rec.Dirs);
}

TEST_F(TrayTest, TheIconComesBackWhenTheNotificationAreaIsRebuilt) {
  Start(TrayOptions());
  const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  // The shell restarted: its icons are gone.
  NOTIFYICONDATAW gone = form->TrayIcon.Data();
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &gone));
  ASSERT_FALSE(IconInShell(*form));
  SendMessageA(form->Handle(), taskbarCreated, 0, 0);
  EXPECT_TRUE(IconInShell(*form));

  // Without the icon shown, nothing is added.
  form->OptionRec.Tray = false;
  form->hanei(form->OptionRec);
  SendMessageA(form->Handle(), taskbarCreated, 0, 0);
  EXPECT_FALSE(IconInShell(*form));
}

TEST_F(TrayTest, KindOneCountsDownFromTheStartAndClosesAfterShowingZero) {
  TOptionRecord rec = CountOptions(1, 3);
  rec.Tray = true;
  Start(rec);
  ASSERT_TRUE(form->Tim.Running());
  const char* shown[] = {"Ixo - 終了まであと 3秒", "Ixo - 終了まであと 2秒",
                         "Ixo - 終了まであと 1秒", "Ixo - 終了まであと 0秒"};
  for (const char* caption : shown) {
    Tick();
    EXPECT_EQ(form->Caption(), caption);
    EXPECT_EQ(Narrow(form->TrayIcon.Data().szTip), caption);
    EXPECT_FALSE(app->Terminated());
  }
  // Counting goes on while the window is active.
  EXPECT_EQ(GetActiveWindow(), form->Handle());
  DeleteFileA((Folder() + "IXO.ini").c_str());
  Tick();
  EXPECT_TRUE(app->Terminated());
  EXPECT_TRUE(test::FileExists(Folder() + "IXO.ini"));
  EXPECT_FALSE(IconInShell(*form));
}

TEST_F(TrayTest, UnusualTimesShowZeroCloseAtOnceOrNeverClose) {
  const struct {
    int32_t time;
    std::vector<std::string> captions;  // then the program has closed, unless `closes` is false
    bool closes;
  } cases[] = {
      {0, {"Ixo - 終了まであと 0秒"}, true},
      {-1, {}, true},
      {-2,
       {"Ixo - 終了まであと -2秒", "Ixo - 終了まであと -3秒", "Ixo - 終了まであと -4秒",
        "Ixo - 終了まであと -5秒", "Ixo - 終了まであと -6秒"},
       false},
  };
  for (const auto& c : cases) {
    Start(CountOptions(1, c.time));
    for (const std::string& caption : c.captions) {
      Tick();
      EXPECT_EQ(form->Caption(), caption) << c.time;
      EXPECT_FALSE(app->Terminated()) << c.time;
    }
    Tick();
    EXPECT_EQ(app->Terminated(), c.closes) << c.time;
    form.reset();
    TearDown();
    SetUp();
  }
}

TEST_F(TrayTest, InactivityKindsCountOnlyWhileTheWindowIsInactive) {
  for (uint8_t kind : {0, 2}) {
    Start(CountOptions(kind, 10));
    EXPECT_FALSE(form->Tim.Enabled()) << int(kind);
    // Leaving the window to another program starts the count.
    {
      test::OtherThreadWindow other;
      other.Activate();
      ASSERT_TRUE(PumpUntil([&] { return form->Tim.Running(); })) << int(kind);
      Tick();
      EXPECT_EQ(form->Caption(), "Ixo - 終了まであと 10秒");
      Tick();
      EXPECT_EQ(form->CountDown, 8);
    }
    // Back in the window, the next tick stops the count and restores it.
    form->BringToFront();
    ASSERT_EQ(GetActiveWindow(), form->Handle());
    Tick();
    EXPECT_EQ(form->Caption(), "Ixo");
    EXPECT_EQ(form->CountDown, 10);
    EXPECT_FALSE(form->Tim.Enabled());
    form.reset();
    TearDown();
    SetUp();
  }
}

TEST_F(TrayTest, AnyOtherKindCountsLikeKindOne) {
  Start(CountOptions(7, 10));
  EXPECT_TRUE(form->Tim.Running());
  EXPECT_EQ(GetActiveWindow(), form->Handle());
  Tick();
  EXPECT_EQ(form->Caption(), "Ixo - 終了まであと 10秒");
}

TEST_F(TrayTest, DeactivationEnablesTheTimerOnlyWithAutomaticExit) {
  Start(Options());
  form->AppOnDeactivate();
  EXPECT_FALSE(form->Tim.Enabled());
  form->OptionRec.Atc = true;
  form->CountDown = 4;
  form->AppOnDeactivate();
  EXPECT_TRUE(form->Tim.Running());
  EXPECT_EQ(form->CountDown, 4);
}

TEST_F(TrayTest, AnAutomaticSaveRestartsTheCount) {
  for (uint8_t kind : {1, 2}) {
    TOptionRecord rec = CountOptions(kind, 10);
    rec.Kansi = true;
    Start(rec);
    ActivateOther();
    form->AppOnDeactivate();
    Tick();
    Tick();
    ASSERT_EQ(form->CountDown, 8);
    ASSERT_TRUE(CopyAndWait("保存\r\nhttp://example.com/save\r\n"));
    EXPECT_EQ(form->CountDown, 10);
    EXPECT_EQ(form->Caption(), "Ixo");
    // Kind 2 waits for the next deactivation; kind 1 goes on counting.
    EXPECT_EQ(form->Tim.Enabled(), kind == 1) << int(kind);
    // A save by the button does not restart it, nor does one that fails.
    if (kind == 1) {
      Tick();
      form->savebClick();
      EXPECT_EQ(form->CountDown, 9);
      ASSERT_TRUE(CopyAndWait("失敗\thttp://example.com/fail\r\n"));
      EXPECT_EQ(errors.size(), 1u);
      EXPECT_EQ(form->CountDown, 9);
      EXPECT_EQ(form->Caption(), "Ixo - 終了まであと 10秒");
    }
    form.reset();
    TearDown();
    SetUp();
  }
}

TEST_F(TrayTest, AnAutomaticCloseThatFailsTriesAgainWithOneBoxAtATime) {
  TOptionRecord rec = CountOptions(1, -1);
  rec.Tray = true;
  Start(rec);
  DeleteFileA((Folder() + "IXO.ini").c_str());
  ASSERT_TRUE(CreateDirectoryA((Folder() + "IXO.ini").c_str(), nullptr));
  int nested = 0;
  app->SetErrorPresenter([&](const std::string& text) {
    errors.push_back(text);
    // Ticks go on while a box is open; none of them may open another.
    if (nested++ == 0) {
      Tick();
      Tick();
    }
  });
  Tick();
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_FALSE(app->Terminated());
  EXPECT_EQ(form->CountDown, -1);
  EXPECT_TRUE(form->Tim.Running());
  // The icon is the way back to the window, where the folder can be mended.
  EXPECT_TRUE(IconInShell(*form));
  Tick();
  EXPECT_EQ(errors.size(), 2u);
  RemoveDirectoryA((Folder() + "IXO.ini").c_str());
  Tick();
  EXPECT_TRUE(app->Terminated());
  EXPECT_EQ(errors.size(), 2u);
}

TEST_F(TrayTest, TheWatchSwitchedOffFromTheMenuStopsTheCount) {
  Start(CountOptions(1, 10));
  form->N2.Click();
  form->N2.Click();
  EXPECT_FALSE(form->Tim.Running());
  Tick();
  EXPECT_EQ(form->Caption(), "Ixo");
  form->N2.Click();
  EXPECT_TRUE(form->Tim.Running());
  Tick();
  EXPECT_EQ(form->Caption(), "Ixo - 終了まであと 10秒");
}

}  // namespace
}  // namespace ixo
