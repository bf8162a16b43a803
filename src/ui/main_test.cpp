#include "ui/main.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <utility>
#include <vector>

#include "clipboard/clipboard.h"
#include "ui/optionbox.h"
#include "win_main_form.h"
#include "wingui/shbffex.h"

namespace ixo {
namespace {

using test::FileExists;
using test::MainFormTest;
using test::PlaceInParent;
using test::PressKey;
using test::PumpPending;
using test::PumpUntil;
using test::ReadFileBytes;

std::string FaceOf(HWND control, LOGFONTA* out = nullptr) {
  LOGFONTA lf{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof lf, &lf);
  if (out) *out = lf;
  return lf.lfFaceName;
}

std::string WindowText(HWND hwnd) {
  char text[256] = {};
  GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

TEST_F(MainFormTest, LaysTheWindowOutAsDesigned) {
  Start(Options());
  HWND hwnd = form->Handle();
  RECT outer;
  GetWindowRect(hwnd, &outer);
  EXPECT_EQ(outer.right - outer.left, 400);
  EXPECT_EQ(outer.bottom - outer.top, 159);
  EXPECT_EQ(WindowText(hwnd), "Ixo");
  const LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(style & WS_THICKFRAME);
  // No taskbar button of its own: the taskbar window owns it.
  EXPECT_EQ(GetWindow(hwnd, GW_OWNER), app->Handle());
  // Everything fits the window and nothing covers anything else, with the
  // fonts the labels and buttons really get.
  EXPECT_EQ(test::LayoutFaults(hwnd), std::vector<std::string>{});

  const std::string pgothic = "ＭＳ Ｐゴシック";
  const std::string uigothic = "MS UI Gothic";
  const struct {
    TControl* control;
    const char* text;
    std::string face;
  } controls[] = {
      {&form->Edit1, "新規URL", pgothic},
      {&form->Edit2, "http://www.", pgothic},
      {&form->saveb, "保存(&S)", uigothic},
      {&form->closeb, "閉じる(&C)", uigothic},
      {&form->optionb, "オプション(&O)", uigothic},
      {&form->Textp, "URLとタイトルの取得(&G)", uigothic},
      {&form->new_, "新規作成(&N)", uigothic},
      {&form->Urlp, "<< 貼り付け", pgothic},
      {&form->Titlep, "<< 貼り付け", pgothic},
      {&form->kansi, "クリップボードを監視", uigothic},
      {&form->Label1, "タイトル(&T) :", uigothic},
      {&form->Label2, "URL (&U) :", uigothic},
      {&form->Label4, "保存フォルダ:", pgothic},
  };
  for (const auto& c : controls) {
    EXPECT_EQ(WindowText(c.control->Handle()), c.text);
    LOGFONTA lf;
    EXPECT_EQ(FaceOf(c.control->Handle(), &lf), c.face) << c.text;
    EXPECT_EQ(lf.lfHeight, -12) << c.text;
    EXPECT_EQ(lf.lfCharSet, SHIFTJIS_CHARSET) << c.text;
  }
  EXPECT_FALSE(form->kansi.Checked());

  // Each label stands on the line of the box it names, just left of it; the
  // two that name the text boxes end at the same place, as their text is
  // right-aligned.
  const struct {
    TLabel* label;
    TControl* box;
  } named[] = {
      {&form->Label1, &form->Edit1},
      {&form->Label2, &form->Edit2},
      {&form->Label4, &form->ComboBox1},
  };
  for (const auto& n : named) {
    const RECT label = PlaceInParent(n.label->Handle());
    const RECT box = PlaceInParent(n.box->Handle());
    EXPECT_LE(label.right, box.left) << WindowText(n.label->Handle());
    EXPECT_LT(box.left - label.right, 10) << WindowText(n.label->Handle());
    const int middle = (label.top + label.bottom) / 2;
    EXPECT_TRUE(middle > box.top && middle < box.bottom) << WindowText(n.label->Handle());
  }
  EXPECT_EQ(GetWindowLongPtrA(form->Label1.Handle(), GWL_STYLE) & SS_TYPEMASK, SS_RIGHT);
  EXPECT_EQ(PlaceInParent(form->Label1.Handle()).right, PlaceInParent(form->Label2.Handle()).right);

  EXPECT_EQ(FaceOf(form->ComboBox1.Handle()), pgothic);
  EXPECT_EQ(GetWindowLongPtrA(form->ComboBox1.Handle(), GWL_STYLE) & 3, CBS_DROPDOWNLIST);
  EXPECT_EQ(form->ComboBox1.DropDownCount(), 10);
}

TEST_F(MainFormTest, TabMovesThroughTheControlsInTheirOrderFromTheFolderList) {
  Start(Options());
  EXPECT_EQ(GetFocus(), form->ComboBox1.Handle());
  const std::vector<HWND> order = {
      form->Edit1.Handle(),   form->Edit2.Handle(),     form->saveb.Handle(), form->closeb.Handle(),
      form->optionb.Handle(), form->ComboBox1.Handle(), form->Textp.Handle(), form->new_.Handle(),
      form->Urlp.Handle(),    form->Titlep.Handle(),    form->kansi.Handle(),
  };
  for (size_t i = 0; i < order.size(); ++i) {
    const HWND next = GetNextDlgTabItem(form->Handle(), order[i], FALSE);
    EXPECT_EQ(next, order[(i + 1) % order.size()]) << "after tab stop " << i;
  }
  // And the real key: from the folder list to the Get button.
  PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
  PumpPending();
  EXPECT_EQ(GetFocus(), form->Textp.Handle());
}

TEST_F(MainFormTest, TheLabelsUnderlinedLettersFocusTheirBoxes) {
  Start(Options());
  ASSERT_EQ(GetFocus(), form->ComboBox1.Handle());
  PostMessageA(GetFocus(), WM_SYSCHAR, 'u', 1 << 29);
  PumpPending();
  EXPECT_EQ(GetFocus(), form->Edit2.Handle());
  PostMessageA(GetFocus(), WM_SYSCHAR, 't', 1 << 29);
  PumpPending();
  EXPECT_EQ(GetFocus(), form->Edit1.Handle());
}

TEST_F(MainFormTest, EnterPressesTheFocusedButtonAndDoesNothingInTheBoxesOrTheFolderList) {
  TOptionRecord rec = Options();
  rec.Dirs += "C:\\\r\n";
  Start(rec);
  form->Edit1.SetText("題名");
  form->Edit2.SetText("http://example.com/");
  for (TControl* box : std::vector<TControl*>{&form->Edit1, &form->Edit2, &form->ComboBox1}) {
    box->SetFocus();
    PostMessageA(box->Handle(), WM_KEYDOWN, VK_RETURN, 1);
    PostMessageA(box->Handle(), WM_CHAR, '\r', 1);
    PostMessageA(box->Handle(), WM_KEYUP, VK_RETURN, 0xC0000001);
    PumpPending();
    PressKey(VK_ESCAPE);
    EXPECT_EQ(GetFocus(), box->Handle());
  }
  EXPECT_EQ(form->Edit1.Text(), "題名");
  EXPECT_EQ(form->Edit2.Text(), "http://example.com/");
  EXPECT_EQ(form->ComboBox1.ItemIndex(), 0);
  EXPECT_FALSE(FileExists(Saved("題名")));
  // On a push button Enter is its click.
  form->saveb.SetFocus();
  PressKey(VK_RETURN);
  EXPECT_EQ(ReadFileBytes(Saved("題名")), ShortcutBytes("http://example.com/"));
  form->new_.SetFocus();
  PressKey(VK_RETURN);
  EXPECT_EQ(form->Edit1.Text(), "新規URL");
  EXPECT_FALSE(app->Terminated());
  EXPECT_TRUE(errors.empty());
}

TEST_F(MainFormTest, ThePopupMenuListsItsItemsWithTheDefaultInBold) {
  Start(Options());
  HMENU menu = form->PopupMenu1.Handle();
  const char* captions[] = {"元のサイズに戻す(&R)\tCtrl+R",
                            nullptr,
                            "URLとタイトルの取得(&G)\tCtrl+G",
                            "保存(&S)\tCtrl+S",
                            nullptr,
                            "オプション(&O)\tCtrl+O",
                            "クリップボードを監視\tCtrl+C",
                            nullptr,
                            "閉じる(&C)"};
  ASSERT_EQ(GetMenuItemCount(menu), 9);
  for (int i = 0; i < 9; ++i) {
    if (!captions[i]) {
      EXPECT_TRUE(GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR) << i;
      continue;
    }
    char text[128] = {};
    GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, captions[i]);
  }
  EXPECT_EQ(GetMenuDefaultItem(menu, TRUE, 0), 0u);
}

// The system commands that reach the system's own handling, as the hook it
// calls before carrying one out sees them; the hook stops them there.
std::vector<WPARAM> carriedOut;
LRESULT CALLBACK SeeSystemCommand(int code, WPARAM wParam, LPARAM lParam) {
  if (code != HCBT_SYSCOMMAND) return CallNextHookEx(nullptr, code, wParam, lParam);
  carriedOut.push_back(wParam);
  return 1;
}

TEST_F(MainFormTest, SizeAndMaximiseCommandsAreRefusedAndTheBorderHoldsItsSize) {
  Start(Options());
  HWND hwnd = form->Handle();
  RECT before;
  GetWindowRect(hwnd, &before);
  for (WPARAM command : {SC_SIZE, SC_SIZE + WMSZ_LEFT, SC_SIZE + WMSZ_TOPLEFT,
                         SC_SIZE + WMSZ_BOTTOMRIGHT, SC_MAXIMIZE}) {
    EXPECT_EQ(SendMessageA(hwnd, WM_SYSCOMMAND, command, 0), 0) << std::hex << command;
  }
  RECT after;
  GetWindowRect(hwnd, &after);
  EXPECT_TRUE(EqualRect(&before, &after));
  EXPECT_FALSE(IsZoomed(hwnd));
  // Only those: moving, and the maximise command's variants (the caption's
  // double-click), are the system's.
  carriedOut.clear();
  HHOOK hook = SetWindowsHookExA(WH_CBT, SeeSystemCommand, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  for (WPARAM command :
       {SC_SIZE, SC_SIZE + WMSZ_BOTTOMRIGHT, SC_MOVE, SC_MAXIMIZE, SC_MAXIMIZE + HTCAPTION}) {
    SendMessageA(hwnd, WM_SYSCOMMAND, command, 0);
  }
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(carriedOut, (std::vector<WPARAM>{SC_MOVE, SC_MAXIMIZE + HTCAPTION}));
  // Other commands are the system's: minimise minimises the program.
  SendMessageA(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(app->Minimized());

  app->Restore();
  GetWindowRect(hwnd, &before);
  const int midX = (before.left + before.right) / 2;
  const int midY = (before.top + before.bottom) / 2;
  const struct {
    int x, y;
    LRESULT hit;
  } points[] = {
      {before.left + 1, midY, HTNOWHERE},
      {before.right - 2, midY, HTNOWHERE},
      {midX, before.bottom - 2, HTNOWHERE},
      {before.left + 1, before.bottom - 2, HTNOWHERE},
      {before.right - 2, before.bottom - 2, HTNOWHERE},
      {midX, midY, HTCLIENT},
  };
  for (const auto& p : points) {
    EXPECT_EQ(SendMessageA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), p.hit)
        << p.x << "," << p.y;
  }
}

TEST_F(MainFormTest, AppliesEachOption) {
  TOptionRecord rec = Options();
  rec.Dirs = SaveFolder() + "\r\nC:\\b\r\nD:\\表\r\n";
  rec.DelText = "★\r\n--\r\n";
  rec.Ninsiki = "--==??_";
  rec.Kansi = true;
  rec.Atc = true;
  rec.AcType = 1;
  rec.AcTime = 42;
  Start(rec);
  EXPECT_TRUE(form->kansi.Checked());
  EXPECT_TRUE(form->MonitorOn);
  EXPECT_TRUE(form->N2.Checked());
  EXPECT_EQ(form->DelList.Text(), "★\r\n--\r\n");
  EXPECT_EQ(form->URLChars, "-=?_");
  ASSERT_EQ(form->ComboBox1.Count(), 3);
  EXPECT_EQ(form->ComboBox1.Item(2), "D:\\表");
  EXPECT_EQ(form->ComboBox1.ItemIndex(), 0);
  EXPECT_TRUE(form->Tim.Enabled());
  EXPECT_TRUE(form->Tim.Running());
  EXPECT_EQ(form->CountDown, 42);
  EXPECT_EQ(form->Caption(), "Ixo");
  EXPECT_FALSE(form->TrayIcon.Shown());
  EXPECT_TRUE(IsWindowVisible(app->Handle()));

  // Applied again: the first folder is selected again, the rest follows.
  form->ComboBox1.SetItemIndex(2);
  rec.Kansi = false;
  rec.AcType = 2;
  rec.Dirs = "";
  form->hanei(rec);
  EXPECT_FALSE(form->kansi.Checked());
  EXPECT_FALSE(form->MonitorOn);
  EXPECT_FALSE(form->N2.Checked());
  EXPECT_EQ(form->ComboBox1.Count(), 0);
  EXPECT_EQ(form->ComboBox1.ItemIndex(), -1);
  form->hanei(form->OptionRec);
  EXPECT_EQ(form->ComboBox1.ItemIndex(), 0);
}

TEST_F(MainFormTest, WatchingWritesTheShortcutOfEveryNewAddress) {
  TOptionRecord rec = Options();
  rec.Kansi = true;
  Start(rec);
  ASSERT_TRUE(CopyAndWait("★新着★\r\nhttp://example.com/a?b=1 です\r\n"));
  EXPECT_EQ(form->Edit1.Text(), "新着");
  EXPECT_EQ(form->Edit2.Text(), "http://example.com/a?b=1");
  EXPECT_EQ(ReadFileBytes(Saved("新着")), ShortcutBytes("http://example.com/a?b=1"));

  // The same text again is not taken again.
  DeleteFileA(Saved("新着").c_str());
  SetClipText("★新着★\r\nhttp://example.com/a?b=1 です\r\n");
  ASSERT_TRUE(CopyAndWait("text without an address"));
  EXPECT_FALSE(FileExists(Saved("新着")));
  EXPECT_EQ(form->Edit1.Text(), "新着");
  EXPECT_TRUE(errors.empty());
}

TEST_F(MainFormTest, WithoutWatchingTheClipboardIsNotRead) {
  Start(Options());
  SetClipText("題\r\nhttp://example.com/\r\n");
  SendMessageA(form->Handle(), WM_DRAWCLIPBOARD, 0, 0);
  EXPECT_EQ(Utf16ToCp932(form->LastClip), "");
  EXPECT_EQ(form->Edit1.Text(), "新規URL");
  EXPECT_FALSE(FileExists(Saved("題")));
}

TEST_F(MainFormTest, AnAddressAtStartUpIsSavedAtOnce) {
  SetClipText("起動時\r\nhttp://example.com/start\r\n");
  TOptionRecord rec = Options();
  rec.Kansi = true;
  Start(rec);
  EXPECT_EQ(ReadFileBytes(Saved("起動時")), ShortcutBytes("http://example.com/start"));
}

TEST_F(MainFormTest, AShortcutThatCannotBeWrittenEndsInTheErrorBoxAndIsNotTriedAgain) {
  TOptionRecord rec = Options();
  rec.Kansi = true;
  Start(rec);
  ASSERT_TRUE(CopyAndWait("題\thttp://example.com/\r\n"));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "ファイル " + Saved("題\t") + " を作成できません.");
  // The watch goes on.
  ASSERT_TRUE(CopyAndWait("次\r\nhttp://example.com/next\r\n"));
  EXPECT_TRUE(FileExists(Saved("次")));
  EXPECT_EQ(errors.size(), 1u);
}

TEST_F(MainFormTest, SaveWritesTheBoxesIntoTheSelectedFolderAndLeavesTheCountAlone) {
  TOptionRecord rec = Options();
  rec.Atc = true;
  rec.AcType = 1;
  Start(rec);
  form->CountDown = 5;
  form->Edit1.SetText("手で");
  form->Edit2.SetText("https://example.com/");
  SendMessageA(form->saveb.Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(FileExists(Saved("手で")));
  form->Edit2.SetText("ftp://example.com/");
  form->S1.Click();
  EXPECT_EQ(ReadFileBytes(Saved("手で")), ShortcutBytes("ftp://example.com/"));
  EXPECT_EQ(form->CurURL, (TURLText{u"手で", u"ftp://example.com/"}));
  EXPECT_EQ(form->CountDown, 5);
  EXPECT_TRUE(errors.empty());
}

TEST_F(MainFormTest, TheHttpsSwitchReachesTheWatchTheGetButtonAndSave) {
  TOptionRecord rec = Options();
  rec.Kansi = true;
  Start(rec);
  EXPECT_FALSE(form->HttpsOn);
  ASSERT_TRUE(CopyAndWait("題\r\nhttps://example.com/a\r\n"));
  EXPECT_FALSE(FileExists(Saved("題")));
  EXPECT_EQ(form->Edit1.Text(), "新規URL");
  SendMessageA(form->Textp.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(form->Edit1.Text(), "新規URL");

  rec.Https = true;
  form->hanei(rec);
  EXPECT_TRUE(form->HttpsOn);
  SendMessageA(form->Textp.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(form->Edit1.Text(), "題");
  EXPECT_EQ(form->Edit2.Text(), "https://example.com/a");
  EXPECT_FALSE(FileExists(Saved("題")));
  SendMessageA(form->saveb.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(ReadFileBytes(Saved("題")), ShortcutBytes("https://example.com/a"));
  ASSERT_TRUE(CopyAndWait("次\r\nhttps://example.com/b\r\n"));
  EXPECT_EQ(ReadFileBytes(Saved("次")), ShortcutBytes("https://example.com/b"));

  // Off again: a hand-typed https address is refused without a message.
  rec.Https = false;
  form->hanei(rec);
  form->Edit1.SetText("手で");
  SendMessageA(form->saveb.Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(FileExists(Saved("手で")));
  EXPECT_TRUE(errors.empty());
}

TEST_F(MainFormTest, NewPutsTheTemplateInTheBoxes) {
  Start(Options());
  form->Edit1.SetText("x");
  form->Edit2.SetText("y");
  SendMessageA(form->new_.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(form->Edit1.Text(), "新規URL");
  EXPECT_EQ(form->Edit2.Text(), "http://www.");
}

TEST_F(MainFormTest, GetFillsTheBoxesFromAnyClipboardTextButSavesNothing) {
  TOptionRecord rec = Options();
  rec.Kansi = true;
  Start(rec);
  ASSERT_TRUE(CopyAndWait("題\r\nhttp://example.com/get\r\n"));
  DeleteFileA(Saved("題").c_str());
  form->newClick();
  // The same text as the watch took last: Get still fills the boxes.
  SendMessageA(form->Textp.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(form->Edit1.Text(), "題");
  EXPECT_EQ(form->Edit2.Text(), "http://example.com/get");
  EXPECT_FALSE(FileExists(Saved("題")));
  EXPECT_EQ(Utf16ToCp932(form->LastClip), "題\r\nhttp://example.com/get\r\n");

  form->MonitorOn = false;
  SetClipText("");
  form->newClick();
  form->URLG1.Click();
  EXPECT_EQ(form->Edit1.Text(), "新規URL");
  EXPECT_EQ(Utf16ToCp932(form->LastClip), "題\r\nhttp://example.com/get\r\n");
}

TEST_F(MainFormTest, PasteButtonsTakeTheWholeTextSoTheWatchIgnoresIt) {
  TOptionRecord rec = Options();
  Start(rec);
  SetClipText("貼\r\nhttp://example.com/p\r\n");
  SendMessageA(form->Urlp.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(form->Edit2.Text(), "貼\r\nhttp://example.com/p\r\n");
  EXPECT_EQ(Utf16ToCp932(form->LastClip), "貼\r\nhttp://example.com/p\r\n");
  form->Edit1.SetText("");
  SendMessageA(form->Titlep.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(form->Edit1.Text(), "貼\r\nhttp://example.com/p\r\n");
  // Switching the watch on does not look at the clipboard.
  SendMessageA(form->kansi.Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(form->MonitorOn);
  EXPECT_TRUE(form->OptionRec.Kansi);
  EXPECT_TRUE(form->N2.Checked());
  form->chclip();
  EXPECT_FALSE(FileExists(Saved("貼")));
}

TEST_F(MainFormTest, TheMenusWatchItemSwitchesTheWatchAndTheTimersInterval) {
  TOptionRecord rec = Options();
  rec.Atc = true;
  rec.AcType = 1;
  Start(rec);
  form->N2.Click();
  EXPECT_TRUE(form->N2.Checked());
  EXPECT_TRUE(form->kansi.Checked());
  EXPECT_TRUE(form->OptionRec.Kansi);
  EXPECT_TRUE(form->MonitorOn);
  EXPECT_EQ(form->Tim.Interval(), 1000u);
  EXPECT_TRUE(form->Tim.Running());
  form->N2.Click();
  EXPECT_FALSE(form->kansi.Checked());
  EXPECT_FALSE(form->MonitorOn);
  EXPECT_EQ(form->Tim.Interval(), 0u);
  EXPECT_TRUE(form->Tim.Enabled());
  EXPECT_FALSE(form->Tim.Running());
  // The check box alone leaves the interval.
  SendMessageA(form->kansi.Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(form->N2.Checked());
  EXPECT_EQ(form->Tim.Interval(), 0u);
}

// Runs `inside` as soon as a modal form is open, then cancels that form.
class WhileModal {
 public:
  explicit WhileModal(std::function<void()> inside) {
    inside_ = std::move(inside);
    timer_ = SetTimer(nullptr, 0, 10, Tick);
  }
  ~WhileModal() {
    KillTimer(nullptr, timer_);
    inside_ = nullptr;
  }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    TForm* modal = HasApplication() ? Application().ModalForm() : nullptr;
    if (!modal || !inside_) return;
    auto inside = std::move(inside_);
    inside_ = nullptr;
    inside();
    modal->SetModalResult(mrCancel);
  }
  static inline std::function<void()> inside_;
  UINT_PTR timer_;
};

TEST_F(MainFormTest, TheOptionsButtonStopsWatchAndTimerThenAppliesTheOptionsAgain) {
  TOptionRecord rec = Options();
  rec.Dirs += "C:\\\r\n";
  rec.Kansi = true;
  rec.Atc = true;
  rec.AcType = 1;
  Start(rec);
  form->ComboBox1.SetItemIndex(1);
  form->CountDown = 3;
  // A change that the watch did not act on.
  form->MonitorOn = false;
  SetClipText("後\r\nhttp://example.com/after\r\n");
  SendMessageA(form->Handle(), WM_DRAWCLIPBOARD, 0, 0);
  ASSERT_FALSE(FileExists(Saved("後")));
  form->MonitorOn = true;

  bool watchingInside = true;
  bool timerInside = true;
  {
    WhileModal cancel([&] {
      watchingInside = form->MonitorOn;
      timerInside = form->Tim.Enabled();
    });
    SendMessageA(form->optionb.Handle(), BM_CLICK, 0, 0);
  }
  EXPECT_FALSE(watchingInside);
  EXPECT_FALSE(timerInside);
  EXPECT_EQ(form->ComboBox1.ItemIndex(), 0);
  EXPECT_TRUE(form->MonitorOn);
  EXPECT_TRUE(form->Tim.Running());
  EXPECT_EQ(form->CountDown, 60);
  EXPECT_EQ(ReadFileBytes(Saved("後")), ShortcutBytes("http://example.com/after"));
  EXPECT_TRUE(errors.empty());
}

TEST_F(MainFormTest, WhileTheOptionsDialogIsOpenNeitherAnotherProgramNorTheWatchStartsAnything) {
  TOptionRecord rec = Options();
  rec.Kansi = true;
  rec.Atc = true;
  rec.AcType = 2;
  rec.AcTime = 3;
  Start(rec);
  test::OtherThreadWindow other;
  int deactivated = 0;
  app->OnDeactivate = [&, appOnDeactivate = app->OnDeactivate] {
    ++deactivated;
    appOnDeactivate();
  };
  bool timerInside = true;
  bool savedInside = true;
  {
    WhileModal cancel([&] {
      other.Activate();
      PumpUntil([&] { return deactivated > 0; });
      timerInside = form->Tim.Enabled();
      // Nor does the watch, even switched off and on meanwhile.
      SendMessageA(form->kansi.Handle(), BM_CLICK, 0, 0);
      SendMessageA(form->kansi.Handle(), BM_CLICK, 0, 0);
      SetClipText("中\r\nhttp://example.com/inside\r\n");
      SendMessageA(form->Handle(), WM_DRAWCLIPBOARD, 0, 0);
      savedInside = FileExists(Saved("中"));
    });
    SendMessageA(form->optionb.Handle(), BM_CLICK, 0, 0);
  }
  EXPECT_FALSE(timerInside);
  EXPECT_FALSE(savedInside);
  // Afterwards the clipboard is looked at, and leaving for another program
  // starts the count again.
  EXPECT_TRUE(FileExists(Saved("中")));
  EXPECT_FALSE(form->Tim.Enabled());
  other.Activate();
  EXPECT_TRUE(PumpUntil([&] { return form->Tim.Running(); }));
  EXPECT_TRUE(errors.empty());
}

TEST_F(MainFormTest, ADamagedTitleDeleteTextStillOpensTheDialogAndTheWatchAndTimerComeBack) {
  TOptionRecord rec = Options();
  rec.Kansi = true;
  rec.Atc = true;
  rec.AcType = 1;
  Start(rec);
  // A title-delete text ending in half a character (a damaged IXO.tei): the
  // dialog shows what it can of it instead of refusing to open.
  form->OptionRec.DelText = "壊れ\x82";
  form->CountDown = 3;
  SetClipText("後\r\nhttp://example.com/after\r\n");
  bool opened = false;
  {
    WhileModal cancel([&] { opened = true; });
    SendMessageA(form->optionb.Handle(), BM_CLICK, 0, 0);
  }
  EXPECT_TRUE(opened);
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(form->OptionRec.DelText, "壊れ\x82");
  EXPECT_TRUE(form->MonitorOn);
  EXPECT_TRUE(form->Tim.Running());
  EXPECT_EQ(form->CountDown, 60);
  EXPECT_EQ(ReadFileBytes(Saved("後")), ShortcutBytes("http://example.com/after"));
}

TEST_F(MainFormTest, ACloseRequestOverTheFolderBrowserEndsItAndTheDialogThenCloses) {
  TOptionRecord rec = Options();
  rec.Tray = true;
  Start(rec);
  TSHBrowseForFolderEx::SetApplicationWindow(app->Handle());
  DeleteFileA((Folder() + "IXO.ini").c_str());
  struct {
    HWND dialog = nullptr, browser = nullptr, foreground = nullptr;
    bool dialogEnabled = true, mainEnabled = true, stuck = false;
  } seen;
  const DWORD thread = GetCurrentThreadId();
  std::thread desktop([&] {
    for (int i = 0; i < 1000 && !(seen.dialog && IsWindowVisible(seen.dialog)); ++i) {
      seen.dialog = FindWindowA("TForm2", nullptr);
      Sleep(20);
    }
    if (!seen.dialog) return;
    PostMessageA(Form2->bru.Handle(), BM_CLICK, 0, 0);
    seen.browser = test::WaitForSystemDialog(thread);
    if (!seen.browser) return;
    // A click on the icon brings the browser forward, not the dialog under it.
    DWORD_PTR unused = 0;
    SendMessageTimeoutA(form->Handle(), WM_TRAYICON, 1, WM_LBUTTONDOWN, SMTO_NORMAL, 10000,
                        &unused);
    seen.foreground = GetForegroundWindow();
    seen.dialogEnabled = IsWindowEnabled(seen.dialog);
    seen.mainEnabled = IsWindowEnabled(form->Handle());
    PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
    if (!test::WaitClosed(seen.browser)) {
      seen.stuck = true;
      PostMessageA(seen.browser, WM_COMMAND, IDCANCEL, 0);
    }
  });
  PostMessageA(form->optionb.Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(PumpUntil([&] { return app->Terminated(); }, 60000));
  desktop.join();
  TSHBrowseForFolderEx::SetApplicationWindow(nullptr);
  ASSERT_NE(seen.browser, nullptr);
  EXPECT_EQ(seen.foreground, seen.browser);
  EXPECT_FALSE(seen.dialogEnabled);
  EXPECT_FALSE(seen.mainEnabled);
  EXPECT_FALSE(seen.stuck) << "the browser was not ended by the close request";
  EXPECT_EQ(LoadOptionsFrom(Folder()).Dirs, rec.Dirs);
  EXPECT_EQ(form->OptionRec.Dirs, rec.Dirs);
  EXPECT_FALSE(form->TrayIcon.Shown());
  EXPECT_TRUE(errors.empty());
}

TEST_F(MainFormTest, TheEndOfTheSessionInTheOptionsDialogWritesTheOptionsAndEndsTheDialog) {
  Start(Options());
  DeleteFileA((Folder() + "IXO.ini").c_str());
  int resultInside = mrNone;
  {
    WhileModal cancel([&] {
      SendMessageA(form->Handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
      resultInside = Application().ModalForm()->ModalResult();
    });
    SendMessageA(form->optionb.Handle(), BM_CLICK, 0, 0);
  }
  EXPECT_EQ(resultInside, mrCancel);
  EXPECT_TRUE(app->Terminated());
  EXPECT_TRUE(FileExists(Folder() + "IXO.ini"));
  EXPECT_TRUE(errors.empty());
}

TEST_F(MainFormTest, RestoreFromTheMenuBringsTheWindowBack) {
  TOptionRecord rec = Options();
  rec.Min = true;
  Start(rec);
  EXPECT_EQ(form->WindowState(), TWindowState::Minimized);
  app->Minimize();
  form->N5.Click();
  EXPECT_EQ(form->WindowState(), TWindowState::Normal);
  EXPECT_FALSE(app->Minimized());
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_EQ(GetForegroundWindow(), form->Handle());
}

TEST_F(MainFormTest, ClosingWritesTheOptionsAndEndsTheProgram) {
  TOptionRecord rec = Options();
  Start(rec);
  DeleteFileA((Folder() + "IXO.ini").c_str());
  SendMessageA(form->kansi.Handle(), BM_CLICK, 0, 0);
  SendMessageA(form->closeb.Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(app->Terminated());
  const TOptionRecord saved = LoadOptionsFrom(Folder());
  EXPECT_TRUE(saved.Kansi);
  EXPECT_EQ(saved.Dirs, rec.Dirs);
  EXPECT_TRUE(errors.empty());
}

TEST_F(MainFormTest, ACloseThatCannotWriteTheOptionsIsAbandoned) {
  Start(Options());
  // A folder where the settings file should be: it cannot be written.
  DeleteFileA((Folder() + "IXO.ini").c_str());
  ASSERT_TRUE(CreateDirectoryA((Folder() + "IXO.ini").c_str(), nullptr));
  EXPECT_THROW(form->Close1.Click(), Error);
  SendMessageA(form->Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(app->Terminated());
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("IXO.ini"), std::string::npos);
  EXPECT_TRUE(IsWindow(form->Handle()));
  RemoveDirectoryA((Folder() + "IXO.ini").c_str());
  SendMessageA(form->Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(app->Terminated());
  EXPECT_TRUE(FileExists(Folder() + "IXO.ini"));
}

TEST_F(MainFormTest, TheEndOfTheSessionWritesTheOptionsWithoutAnyBox) {
  Start(Options());
  SendMessageA(form->kansi.Handle(), BM_CLICK, 0, 0);
  DeleteFileA((Folder() + "IXO.ini").c_str());
  EXPECT_EQ(SendMessageA(form->Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
  SendMessageA(form->Handle(), WM_ENDSESSION, FALSE, 0);
  EXPECT_FALSE(FileExists(Folder() + "IXO.ini"));
  SendMessageA(form->Handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_TRUE(LoadOptionsFrom(Folder()).Kansi);

  // A folder in the way: the session still ends, and no box holds it up.
  DeleteFileA((Folder() + "IXO.ini").c_str());
  CreateDirectoryA((Folder() + "IXO.ini").c_str(), nullptr);
  SendMessageA(form->Handle(), WM_ENDSESSION, TRUE, 0);
  EXPECT_TRUE(errors.empty());
  RemoveDirectoryA((Folder() + "IXO.ini").c_str());
}

TEST_F(MainFormTest, ATitleDeleteFileThatCannotBeReadStopsTheStartWithoutWritingAnything) {
  SaveOptionsTo(Folder(), Options());
  DeleteFileA((Folder() + "IXO.ini").c_str());
  const std::string tei = Folder() + "IXO.tei";
  HANDLE locked = CreateFileA(tei.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  std::string message;
  try {
    TForm1 failed(Folder());
  } catch (const Error& e) {
    message = e.what();
  }
  CloseHandle(locked);
  EXPECT_EQ(message, "ファイル " + tei + " は開けません");
  EXPECT_EQ(FindWindowA("TForm1", nullptr), nullptr);
  EXPECT_EQ(app->MainForm(), nullptr);
  EXPECT_FALSE(FileExists(Folder() + "IXO.ini"));
}

TEST_F(MainFormTest, ANewDpiScalesTheWholeWindow) {
  Start(Options());
  RECT suggested{50, 50, 650, 290};
  SendMessageA(form->Handle(), WM_DPICHANGED, MAKEWPARAM(192, 192),
               reinterpret_cast<LPARAM>(&suggested));
  const RECT edit = PlaceInParent(form->Edit1.Handle());
  EXPECT_EQ(edit.left, 130);
  EXPECT_EQ(edit.top, 12);
  EXPECT_EQ(edit.right - edit.left, 502);
  LOGFONTA lf;
  FaceOf(form->kansi.Handle(), &lf);
  EXPECT_EQ(lf.lfHeight, -24);
  const RECT label = PlaceInParent(form->Label1.Handle());
  EXPECT_EQ(label.right, 122);
}

}  // namespace
}  // namespace ixo
