#include "ui/optionbox.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "clipboard/clipboard.h"
#include "win_clipboard.h"
#include "win_option_box.h"
#include "win_tempdir.h"
#include "win_ui.h"
#include "wingui/app.h"

namespace ixo {
namespace {

using test::Click;
using test::OptionBoxTest;
using test::RunOptionBox;
using test::SampleRecord;
using test::Step;

LOGFONTA FontOf(const TControl& c) {
  LOGFONTA lf{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(c.Handle(), WM_GETFONT, 0, 0)), sizeof lf, &lf);
  return lf;
}

std::string Clip() {
  std::string text;
  return GetClipText(text) ? text : "<no text>";
}

TEST_F(OptionBoxTest, OkWithoutChangesGivesTheRecordBackWithItsTextsNormalised) {
  TOptionRecord rec;
  rec.Dirs = "C:\\a\r\nD:\\b";  // the last line without its break
  rec.DelText = "x\ry\nz\n\rw";
  rec.Ninsiki = " \t-=?_ \r\n";
  rec.AcType = 7;
  rec.Kansi = true;
  rec.Tray = true;
  rec.Atc = true;
  rec.AcTime = 300;
  rec.Min = true;
  rec.Https = true;
  const TOptionRecord given = rec;
  bool seen = false;
  RunOptionBox(rec, {[&](TForm2& f) {
                 seen = true;
                 EXPECT_EQ(&f, Form2);
                 EXPECT_EQ(given, Backup);
                 EXPECT_FALSE(OKPressed);
                 EXPECT_EQ(2, f.fList.Count());
                 EXPECT_EQ(-1, f.fList.ItemIndex());
                 EXPECT_EQ("x\r\ny\r\nz\r\n\r\nw", f.deltx.Text());
                 EXPECT_EQ(" \t-=?_ \r\n", f.Edit.Text());
                 EXPECT_TRUE(f.c5.Checked());
                 EXPECT_EQ("300", f.ed1.Text());
                 EXPECT_TRUE(f.r1.Checked());
                 EXPECT_FALSE(f.r2.Checked() || f.r3.Checked());
                 Click(f.Button1);
               }});
  ASSERT_TRUE(seen);
  EXPECT_TRUE(OKPressed);
  EXPECT_EQ(nullptr, Form2);
  TOptionRecord want = given;
  want.Dirs = "C:\\a\r\nD:\\b\r\n";
  want.DelText = "x\r\ny\r\nz\r\n\r\nw";  // no break added after the last line
  want.Ninsiki = "-=?_";
  want.AcType = 0;
  EXPECT_EQ(want, rec);
  EXPECT_EQ(given, Backup);
}

TEST_F(OptionBoxTest, EachKindOfExitShowsAsItsRadioButtonAndComesBack) {
  struct Case {
    uint8_t acType;
    int radio;
    uint8_t stored;
  };
  const Case cases[] = {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {3, 0, 0}, {255, 0, 0}};
  for (const Case& c : cases) {
    for (bool kansi : {false, true}) {
      TOptionRecord rec = SampleRecord();
      rec.AcType = c.acType;
      rec.Kansi = kansi;
      RunOptionBox(rec, {[&](TForm2& f) {
                     const bool checked[] = {f.r1.Checked(), f.r2.Checked(), f.r3.Checked()};
                     for (int i = 0; i < 3; ++i) {
                       EXPECT_EQ(i == c.radio, checked[i]) << int(c.acType) << " r" << i + 1;
                     }
                     Click(f.Button1);
                   }});
      EXPECT_EQ(c.stored, rec.AcType) << int(c.acType);
      EXPECT_EQ(kansi, rec.Kansi);
    }
  }
}

TEST_F(OptionBoxTest, CancelOrTheCloseButtonAfterEveryKindOfEditLeavesTheRecord) {
  const std::vector<std::pair<const char*, Step>> exits = {
      {"Cancel", [](TForm2& f) { Click(f.Button2); }},
      {"close button", [](TForm2& f) { SendMessageA(f.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
      {"WM_CLOSE", [](TForm2& f) { SendMessageA(f.Handle(), WM_CLOSE, 0, 0); }},
  };
  for (const auto& [name, leave] : exits) {
    TOptionRecord rec = SampleRecord();
    rec.AcTime = 5;  // outside the range: the dialog shows 10
    const TOptionRecord given = rec;
    // An earlier dialog left with OK counts for nothing in this one.
    TOptionRecord earlier = rec;
    RunOptionBox(earlier, {[](TForm2& f) { Click(f.Button1); }});
    ASSERT_TRUE(OKPressed);
    RunOptionBox(rec, {[&](TForm2& f) {
                         f.PageControl1.SetActivePageIndex(0);
                         f.fList.SetItemIndex(1);
                         Click(f.Button12);
                         Click(f.Button10);
                         Click(f.Button7);
                         f.PageControl1.SetActivePageIndex(1);
                         Click(f.Button4);
                         f.deltx.SetText("typed");
                         f.PageControl1.SetActivePageIndex(2);
                         Click(f.Button5);
                         f.Edit.SetText("  typed  ");
                         Click(f.c5);
                         f.PageControl1.SetActivePageIndex(3);
                         Click(f.Button16);
                         Click(f.C1);
                         Click(f.c4);
                         Click(f.r3);
                         f.ed1.SetText("999");
                         Click(f.Button3);
                         f.ed1.SetText("777");
                       },
                       leave});
    EXPECT_FALSE(OKPressed) << name;
    EXPECT_EQ(given, rec) << name;
  }
}

TEST_F(OptionBoxTest, FolderListButtonsFollowTheirSelectionRules) {
  struct Case {
    const char* items;
    int selected;
    TButton TForm2::*button;
    const char* want;
    int wantSelected;
  };
  const Case cases[] = {
      // Up: nothing, or the first, selected does nothing.
      {"a\r\nb\r\nc\r\n", -1, &TForm2::Button10, "a\r\nb\r\nc\r\n", -1},
      {"a\r\nb\r\nc\r\n", 0, &TForm2::Button10, "a\r\nb\r\nc\r\n", 0},
      {"a\r\nb\r\nc\r\n", 2, &TForm2::Button10, "a\r\nc\r\nb\r\n", 1},
      {"a\r\nb\r\nc\r\n", 1, &TForm2::Button10, "b\r\na\r\nc\r\n", 0},
      // Down: nothing, or the last, selected does nothing.
      {"a\r\nb\r\nc\r\n", -1, &TForm2::Button11, "a\r\nb\r\nc\r\n", -1},
      {"a\r\nb\r\nc\r\n", 2, &TForm2::Button11, "a\r\nb\r\nc\r\n", 2},
      {"a\r\nb\r\nc\r\n", 0, &TForm2::Button11, "b\r\na\r\nc\r\n", 1},
      {"a\r\nb\r\nc\r\n", 1, &TForm2::Button11, "a\r\nc\r\nb\r\n", 2},
      // Delete.
      {"a\r\nb\r\nc\r\n", -1, &TForm2::Button12, "a\r\nb\r\nc\r\n", -1},
      {"a\r\n", 0, &TForm2::Button12, "", -1},
      {"a\r\nb\r\nc\r\n", 0, &TForm2::Button12, "b\r\nc\r\n", 0},
      {"a\r\nb\r\nc\r\n", 2, &TForm2::Button12, "a\r\nb\r\n", 1},
      {"a\r\nb\r\nc\r\n", 1, &TForm2::Button12, "a\r\nc\r\n", 1},
      {"a\r\nb\r\n", 1, &TForm2::Button12, "a\r\n", 0},
      // Clear all, and Revert to what the dialog opened with.
      {"a\r\nb\r\n", 1, &TForm2::Button7, "", -1},
      {"x\r\n", 0, &TForm2::Button9, "C:\\a\r\nD:\\b\r\nE:\\c\r\n", -1},
  };
  TOptionRecord rec = SampleRecord();
  RunOptionBox(rec, {[&](TForm2& f) {
                 f.PageControl1.SetActivePageIndex(0);
                 for (const Case& c : cases) {
                   f.fList.SetItemsText(c.items);
                   f.fList.SetItemIndex(c.selected);
                   Click(f.*c.button);
                   EXPECT_EQ(c.want, f.fList.ItemsText()) << c.items << " " << c.selected;
                   EXPECT_EQ(c.wantSelected, f.fList.ItemIndex()) << c.items << " " << c.selected;
                 }
                 // What the buttons leave is what OK stores.
                 f.fList.SetItemIndex(2);
                 Click(f.Button10);
                 Click(f.Button1);
               }});
  EXPECT_EQ("C:\\a\r\nE:\\c\r\nD:\\b\r\n", rec.Dirs);
}

TEST_F(OptionBoxTest, DefaultAndRevertOfTheTitleAndURLPages) {
  TOptionRecord rec = SampleRecord();
  rec.DelText = "a\rb";
  rec.Ninsiki = "xyz";
  RunOptionBox(rec, {[&](TForm2& f) {
                 f.PageControl1.SetActivePageIndex(1);
                 Click(f.Button4);
                 EXPECT_EQ(kDefaultDelText, f.deltx.Text());
                 Click(f.Button6);
                 EXPECT_EQ("a\r\nb", f.deltx.Text());
                 f.PageControl1.SetActivePageIndex(2);
                 Click(f.Button5);
                 EXPECT_EQ("-=?;%&,#\\_", f.Edit.Text());
                 Click(f.Button8);
                 EXPECT_EQ("xyz", f.Edit.Text());
                 // Defaults kept by OK.
                 Click(f.Button5);
                 f.PageControl1.SetActivePageIndex(1);
                 Click(f.Button4);
                 Click(f.Button1);
               }});
  EXPECT_EQ("-=?;%&,#\\_", rec.Ninsiki);
  EXPECT_EQ(10u, rec.Ninsiki.size());
  EXPECT_EQ(kDefaultDelText, rec.DelText);
}

TEST_F(OptionBoxTest, EachURLSwitchShowsTheRecordAndFollowsRevertDefaultAndOk) {
  struct Switch {
    TCheckBox TForm2::*box;
    bool TOptionRecord::*field;
  };
  const Switch switches[] = {{&TForm2::c5, &TOptionRecord::Https},
                             {&TForm2::c6, &TOptionRecord::HtmlTitle},
                             {&TForm2::c7, &TOptionRecord::PageTitle}};
  const bool stored = true;
  for (const Switch& s : switches) {
    SCOPED_TRACE(&s - switches);
    const bool fallback = DefaultOptions().*s.field;
    for (const bool on : {false, true}) {
      TOptionRecord rec = SampleRecord();
      rec.*s.field = on;
      RunOptionBox(rec, {[&](TForm2& f) {
                     TCheckBox& box = f.*s.box;
                     f.PageControl1.SetActivePageIndex(2);
                     EXPECT_EQ(on, box.Checked());
                     Click(box);
                     EXPECT_NE(on, box.Checked());
                     Click(f.Button8);
                     EXPECT_EQ(on, box.Checked());
                     Click(f.Button5);
                     EXPECT_EQ(fallback, box.Checked());
                     // What the box shows when OK is pressed is stored.
                     if (box.Checked() != stored) Click(box);
                     Click(f.Button1);
                   }});
      EXPECT_EQ(stored, rec.*s.field);
    }
  }
}

TEST_F(OptionBoxTest, DefaultAndRevertOfTheOtherPageWithTheTimeControlsFollowingC4) {
  TOptionRecord rec = SampleRecord();
  rec.Tray = true;
  rec.Atc = true;
  rec.Min = true;
  rec.AcTime = 40000;  // shown and kept as 32767
  rec.AcType = 2;
  RunOptionBox(rec, {[&](TForm2& f) {
                 f.PageControl1.SetActivePageIndex(3);
                 EXPECT_EQ("32767", f.ed1.Text());
                 EXPECT_TRUE(f.r1.Enabled() && f.ud1.Enabled() && f.ed1.Enabled());
                 Click(f.Button16);
                 EXPECT_FALSE(f.C1.Checked() || f.c3.Checked() || f.c4.Checked());
                 EXPECT_TRUE(f.r1.Checked());
                 EXPECT_FALSE(f.r3.Checked());
                 EXPECT_EQ(60, f.ud1.Position());
                 EXPECT_EQ("60", f.ed1.Text());
                 const TControl* const timeControls[] = {&f.r1, &f.r2, &f.r3, &f.ud1, &f.ed1};
                 for (const TControl* c : timeControls) EXPECT_FALSE(c->Enabled());
                 EXPECT_TRUE(f.Panel1.Enabled() && f.Label9.Enabled());
                 // A click on c4 alone switches them back on.
                 Click(f.c4);
                 EXPECT_TRUE(f.r2.Enabled() && f.ud1.Enabled() && f.ed1.Enabled());
                 Click(f.c4);
                 Click(f.Button3);
                 EXPECT_TRUE(f.C1.Checked() && f.c3.Checked() && f.c4.Checked());
                 EXPECT_TRUE(f.r3.Checked());
                 EXPECT_FALSE(f.r1.Checked());
                 EXPECT_EQ("32767", f.ed1.Text());
                 EXPECT_TRUE(f.r1.Enabled() && f.ed1.Enabled());
                 Click(f.Button1);
               }});
  EXPECT_EQ(32767, rec.AcTime);
  EXPECT_EQ(2, rec.AcType);
}

TEST_F(OptionBoxTest, TheTimeControlsOpenEnabledOnlyWithAutomaticExit) {
  for (const bool atc : {false, true}) {
    TOptionRecord rec = SampleRecord();
    rec.Atc = atc;
    RunOptionBox(rec, {[&](TForm2& f) {
                   const TControl* const timeControls[] = {&f.r1, &f.r2, &f.r3, &f.ud1, &f.ed1};
                   for (const TControl* c : timeControls) EXPECT_EQ(atc, c->Enabled()) << atc;
                   EXPECT_TRUE(f.Panel1.Enabled() && f.Label9.Enabled());
                   Click(f.Button2);
                 }});
  }
}

TEST_F(OptionBoxTest, TimeBoxTakesOnlyWholeNumbersInTheRange) {
  struct Case {
    const char* pasted;
    int position;  // of the up-down, which OK stores
  };
  const Case cases[] = {{"5", 120},   {"32768", 120}, {"abc", 120},     {"", 120},
                        {"-20", 120}, {"10", 10},     {"32767", 32767}, {"4000", 4000}};
  TOptionRecord rec = SampleRecord();
  // The whole text replaced at once, as a paste does.
  auto paste = [](TChangeEdit& box, const char* text) {
    SendMessageA(box.Handle(), EM_SETSEL, 0, -1);
    SendMessageA(box.Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
  };
  RunOptionBox(rec, {[&](TForm2& f) {
                 f.PageControl1.SetActivePageIndex(3);
                 for (const Case& c : cases) {
                   paste(f.ed1, "120");
                   paste(f.ed1, c.pasted);
                   EXPECT_EQ(c.pasted, f.ed1.Text()) << "the box is never corrected";
                   EXPECT_EQ(c.position, f.ud1.Position()) << c.pasted;
                 }
                 // Typed key by key, every step counts: "4" is no time, "45" is.
                 paste(f.ed1, "");
                 f.ed1.SetFocus();
                 for (char key : std::string("45x")) SendMessageA(f.ed1.Handle(), WM_CHAR, key, 0);
                 EXPECT_EQ("45x", f.ed1.Text());
                 EXPECT_EQ(45, f.ud1.Position());
                 Click(f.Button1);
               }});
  EXPECT_EQ(45, rec.AcTime);
}

TEST_F(OptionBoxTest, UpDownArrowsStepWithinTheRangeAndShowInTheBox) {
  TOptionRecord rec = SampleRecord();
  rec.AcTime = 32766;
  // A click on the upper or lower arrow of the up-down.
  auto arrow = [](TUpDown& ud, bool up) {
    RECT r;
    GetClientRect(ud.Handle(), &r);
    const LPARAM at = MAKELPARAM(r.right / 2, up ? r.bottom / 4 : r.bottom * 3 / 4);
    SendMessageA(ud.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(ud.Handle(), WM_LBUTTONUP, 0, at);
  };
  std::vector<TUDBtnType> buttons;
  RunOptionBox(rec, {[&](TForm2& f) {
                 f.PageControl1.SetActivePageIndex(3);
                 auto handler = f.ud1.OnClick;
                 f.ud1.OnClick = [&](TUDBtnType b) {
                   buttons.push_back(b);
                   handler(b);
                 };
                 arrow(f.ud1, true);
                 EXPECT_EQ("32767", f.ed1.Text());
                 arrow(f.ud1, true);  // no wrap-around at the top
                 EXPECT_EQ("32767", f.ed1.Text());
                 arrow(f.ud1, false);
                 arrow(f.ud1, false);
                 EXPECT_EQ("32765", f.ed1.Text());
                 Click(f.Button1);
               }});
  EXPECT_EQ(32765, rec.AcTime);
  EXPECT_EQ((std::vector<TUDBtnType>{btNext, btNext, btPrev, btPrev}), buttons);
}

TEST_F(OptionBoxTest, TimeOutsideTheRangeShowsClampedAndCancelKeepsIt) {
  for (int32_t time : {5, -1, 40000}) {
    TOptionRecord rec = SampleRecord();
    rec.AcTime = time;
    const int32_t shown = time > 100 ? 32767 : 10;
    RunOptionBox(rec, {[&](TForm2& f) {
                   EXPECT_EQ(std::to_string(shown), f.ed1.Text());
                   Click(f.Button2);
                 }});
    EXPECT_EQ(time, rec.AcTime);
    RunOptionBox(rec, {[&](TForm2& f) { Click(f.Button1); }});
    EXPECT_EQ(shown, rec.AcTime);
  }
}

TEST_F(OptionBoxTest, TestButtonUsesTheDialogsValuesAsTheyStand) {
  TOptionRecord rec = SampleRecord();
  rec.DelText = "★\r\n";
  rec.Ninsiki = "-";
  rec.HtmlTitle = true;
  const TOptionRecord given = rec;
  RunOptionBox(rec, {[&](TForm2& f) {
                 SetClipText("★新着 ZZ\r\nhttp://a.b/c_d-e f\r\n");
                 Click(f.test);
                 EXPECT_EQ("新着 ZZ", f.testtitle.Text());
                 EXPECT_EQ("http://a.b/c", f.testurl.Text());
                 // A line added to the delete strings and a character
                 // typed into the URL box count at once.
                 f.PageControl1.SetActivePageIndex(1);
                 f.deltx.SetText(f.deltx.Text() + "ZZ");
                 f.PageControl1.SetActivePageIndex(2);
                 f.Edit.SetText("-_");
                 Click(f.test);
                 EXPECT_EQ("新着", f.testtitle.Text());
                 EXPECT_EQ("http://a.b/c_d-e", f.testurl.Text());
                 // The URL box is used untrimmed: a space in it is an
                 // address character.
                 f.Edit.SetText(" -_");
                 Click(f.test);
                 EXPECT_EQ("http://a.b/c_d-e f", f.testurl.Text());
                 // No text on the clipboard: the boxes keep theirs.
                 ASSERT_TRUE(PutPrivateFormatOnly("not text"));
                 Click(f.test);
                 EXPECT_EQ("新着", f.testtitle.Text());
                 // Text without an address empties both.
                 SetClipText("no address\r\nhere");
                 Click(f.test);
                 EXPECT_EQ("", f.testtitle.Text());
                 EXPECT_EQ("", f.testurl.Text());
                 // The https box counts as it stands, too.
                 SetClipText("題\r\nhttps://a.b/c\r\n");
                 Click(f.test);
                 EXPECT_EQ("", f.testurl.Text());
                 Click(f.c5);
                 Click(f.test);
                 EXPECT_EQ("題", f.testtitle.Text());
                 EXPECT_EQ("https://a.b/c", f.testurl.Text());
                 // An address alone takes its link's title while that box
                 // is on; the page is never asked.
                 ASSERT_TRUE(PutCopy(u"http://a.b/p",
                                     {{"HTML Format",
                                       "StartFragment:0000000050\r\nEndFragment:0000000083\r\n"
                                       "<a href=\"http://a.b/p\">Linked</a>"}}));
                 Click(f.test);
                 EXPECT_EQ("Linked", f.testtitle.Text());
                 Click(f.c6);
                 Click(f.test);
                 EXPECT_EQ("http--a.b-p", f.testtitle.Text());
                 Click(f.Button2);
               }});
  EXPECT_EQ(given, rec);
  EXPECT_EQ(given, Backup);
}

TEST_F(OptionBoxTest, AboutPageCopiesItsThreeLinesAndOpensItsAddresses) {
  TOptionRecord rec = SampleRecord();
  std::vector<std::pair<HWND, std::string>> opened;
  HWND dialog = nullptr;
  RunOptionBox(rec, {[&](TForm2& f) {
                 dialog = f.Handle();
                 f.ShellOpen = [&](HWND parent, const std::string& address) {
                   opened.emplace_back(parent, address);
                 };
                 const LineList lines = f.Memo1.Lines();
                 ASSERT_EQ(3u, lines.Count());
                 EXPECT_EQ(0u, lines[1].rfind("http://", 0));
                 EXPECT_EQ(0u, lines[2].rfind("mailto:", 0));
                 SetClipText("something else");
                 Click(f.Button13);
                 EXPECT_EQ(lines.Text(), Clip());
                 Click(f.Button14);
                 Click(f.Button15);
                 ASSERT_EQ(2u, opened.size());
                 EXPECT_EQ(lines[1], opened[0].second);
                 EXPECT_EQ(lines[2], opened[1].second);
                 Click(f.Button2);
               }});
  ASSERT_EQ(2u, opened.size());
  EXPECT_EQ(dialog, opened[0].first);
  EXPECT_EQ(dialog, opened[1].first);
  EXPECT_EQ("Ixo プロジェクト\r\nhttp://ixo.invalid/\r\nmailto:ixo@ixo.invalid\r\n", Clip());
}

TEST_F(OptionBoxTest, OpensOnTheAboutPageEveryTime) {
  const char* const captions[] = {"フォルダ", "タイトル", "URL", "その他", "バージョン情報"};
  for (int run = 0; run < 2; ++run) {
    TOptionRecord rec = SampleRecord();
    RunOptionBox(rec, {[&](TForm2& f) {
                   ASSERT_EQ(5, f.PageControl1.PageCount());
                   EXPECT_EQ(4, f.PageControl1.ActivePageIndex());
                   // The first of the tab order has the focus.
                   EXPECT_EQ(f.Button1.Handle(), GetFocus());
                   for (int i = 0; i < 5; ++i) {
                     char text[64] = {};
                     TCITEMA item{};
                     item.mask = TCIF_TEXT;
                     item.pszText = text;
                     item.cchTextMax = sizeof text;
                     SendMessageA(f.PageControl1.Handle(), TCM_GETITEMA, i,
                                  reinterpret_cast<LPARAM>(&item));
                     EXPECT_STREQ(captions[i], text);
                     EXPECT_EQ(i == 4, f.PageControl1.Page(i)->Visible()) << i;
                   }
                   // The page chosen now is not remembered.
                   f.PageControl1.SetActivePageIndex(1);
                   EXPECT_TRUE(f.TabSheet2.Visible());
                   EXPECT_FALSE(f.TabSheet4.Visible());
                   Click(f.Button1);
                 }});
  }
}

// Cancels a second dialog, should one open over the first.
struct SecondDialog {
  static inline TForm2* first = nullptr;
  static inline bool opened = false;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (Form2 && Form2 != first) {
      opened = true;
      Form2->SetModalResult(mrCancel);
    }
  }
};

TEST_F(OptionBoxTest, WhileTheDialogIsOpenAnotherCallOnlyBringsItForward) {
  TOptionRecord rec = SampleRecord();
  TOptionRecord other = SampleRecord();
  other.Dirs = "X:\\\r\n";
  const TOptionRecord given = other;
  SecondDialog::opened = false;
  RunOptionBox(rec, {[&](TForm2& f) {
                 SecondDialog::first = &f;
                 const UINT_PTR timer = SetTimer(nullptr, 0, 10, SecondDialog::Tick);
                 ShowOptionBox(other);
                 KillTimer(nullptr, timer);
                 EXPECT_EQ(&f, Form2);
                 EXPECT_EQ(f.Handle(), GetForegroundWindow());
                 Click(f.Button1);
               }});
  EXPECT_FALSE(SecondDialog::opened);
  EXPECT_EQ(given, other);
  EXPECT_EQ(SampleRecord().Dirs, rec.Dirs);
}

// A main window for the dialog to stand over.
class MainStandIn : public TForm {
 public:
  MainStandIn() {
    FormArgs args;
    args.className = L"IxoTestMain";
    args.caption = "main";
    args.width = 400;
    args.height = 159;
    CreateForm(args);
  }
  ~MainStandIn() override { DestroyHandle(); }
};

TEST_F(OptionBoxTest, LayoutAsDesignedCentredOnTheMainWindow) {
  MainStandIn main;
  app_->SetMainForm(&main);
  // Low enough that the taller dialog fits above the main window's centre.
  SetWindowPos(main.Handle(), nullptr, 150, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  main.Show();
  TOptionRecord rec = SampleRecord();
  RunOptionBox(rec, {[&](TForm2& f) {
                 EXPECT_EQ("IXOの設定", f.Caption());
                 ASSERT_EQ(96u, f.Dpi()) << "the positions below are those at 96 dpi";
                 RECT client;
                 GetClientRect(f.Handle(), &client);
                 EXPECT_EQ(317, client.right);
                 EXPECT_EQ(377, client.bottom);
                 const LONG_PTR style = GetWindowLongPtrA(f.Handle(), GWL_STYLE);
                 EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
                 EXPECT_TRUE(style & WS_SYSMENU);
                 RECT outer, over;
                 GetWindowRect(f.Handle(), &outer);
                 GetWindowRect(main.Handle(), &over);
                 EXPECT_NEAR((over.left + over.right) / 2, (outer.left + outer.right) / 2, 1);
                 EXPECT_NEAR((over.top + over.bottom) / 2, (outer.top + outer.bottom) / 2, 1);

                 // Every page fits the dialog and nothing covers anything
                 // else, but for the automatic-exit box standing over the
                 // frame's top edge as its caption, and the radio buttons,
                 // stacked closer than they are high.
                 EXPECT_EQ(test::LayoutFaults(f.Handle(), {{f.c4.Handle(), f.Panel1.Handle()},
                                                           {f.r1.Handle(), f.r2.Handle()},
                                                           {f.r2.Handle(), f.r3.Handle()}}),
                           std::vector<std::string>{});
                 EXPECT_EQ(f.TabSheet3.Handle(), GetParent(f.c5.Handle()));
                 EXPECT_EQ("https:// で始まるアドレスも認識する", f.c5.Text());
                 EXPECT_EQ(f.Panel1.Handle(), GetParent(f.r3.Handle()));
                 EXPECT_EQ(f.TabSheet4.Handle(), GetParent(f.Button13.Handle()));

                 EXPECT_FALSE(f.help.Visible());
                 EXPECT_FALSE(f.help.Enabled());
                 EXPECT_FALSE(f.C2.Visible());
                 EXPECT_EQ("ﾍﾙﾌﾟ", f.help.Text());
                 EXPECT_EQ("アイコン化したら監視をON", f.C2.Text());
                 for (const TButton* b : {&f.Button1, &f.Button2, &f.test, &f.bru, &f.Button13}) {
                   EXPECT_EQ(BS_PUSHBUTTON, GetWindowLongPtrA(b->Handle(), GWL_STYLE) & BS_TYPEMASK)
                       << b->Text() << " must not be a default button";
                 }
                 EXPECT_EQ(LBS_HASSTRINGS,
                           GetWindowLongPtrA(f.fList.Handle(), GWL_STYLE) &
                               (LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL | LBS_HASSTRINGS));
                 EXPECT_TRUE(GetWindowLongPtrA(f.Memo1.Handle(), GWL_STYLE) & ES_READONLY);

                 struct FontCase {
                   const TControl* control;
                   const char* face;
                   int height;
                   bool bold, italic;
                 };
                 const FontCase fonts[] = {
                     {&f.Button1, "ＭＳ Ｐゴシック", 12, false, false},
                     {&f.fList, "ＭＳ Ｐゴシック", 12, false, false},
                     {&f.deltx, "ＭＳ ゴシック", 12, false, false},
                     {&f.Edit, "ＭＳ ゴシック", 15, false, false},
                     {&f.Label8, "MS UI Gothic", 32, true, true},
                     {&f.Version, "ＭＳ Ｐゴシック", 19, true, false},
                     {&f.Label7, "ＭＳ Ｐゴシック", 24, true, true},
                 };
                 for (const FontCase& c : fonts) {
                   const LOGFONTA lf = FontOf(*c.control);
                   EXPECT_STREQ(c.face, lf.lfFaceName) << c.control->Text();
                   EXPECT_EQ(-c.height, lf.lfHeight) << c.control->Text();
                   EXPECT_EQ(c.bold, lf.lfWeight >= FW_BOLD) << c.control->Text();
                   EXPECT_EQ(c.italic, lf.lfItalic != 0) << c.control->Text();
                   EXPECT_EQ(SHIFTJIS_CHARSET, lf.lfCharSet);
                 }
                 Click(f.Button2);
               }});
}

// The one place where the shell's folder browser really runs: each run costs
// about two seconds under Wine.

struct BrowserFinder {
  static BOOL CALLBACK Visit(HWND wnd, LPARAM data) {
    char cls[16] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    if (std::strcmp(cls, "#32770") != 0 || !IsWindowVisible(wnd)) return TRUE;
    *reinterpret_cast<HWND*>(data) = wnd;
    return FALSE;
  }
};

// Clicks Add and, from a helper thread, chooses `path` in the browser, or the
// folder it opens on when `path` is empty, or cancels it when there is no
// `path`. True when the browser was seen.
bool AddThroughBrowser(TForm2& f, const std::optional<std::string>& path, bool* dialogDisabled) {
  const DWORD thread = GetCurrentThreadId();
  std::atomic<bool> done{false};
  std::atomic<bool> seen{false};
  HWND dialog = f.Handle();
  std::thread helper([&] {
    HWND browser = nullptr;
    const ULONGLONG end = GetTickCount64() + 60000;
    while (!done && GetTickCount64() < end) {
      EnumThreadWindows(thread, BrowserFinder::Visit, reinterpret_cast<LPARAM>(&browser));
      if (browser) break;
      Sleep(20);
    }
    if (!browser) return;
    seen = true;
    *dialogDisabled = !IsWindowEnabled(dialog);
    if (!path) {
      PostMessageA(browser, WM_COMMAND, IDCANCEL, 0);
      return;
    }
    if (!path->empty()) {
      // Not SMTO_ABORTIFHUNG: a browser busy for a few seconds on a loaded
      // machine counts as hung, and the message would be lost.
      DWORD_PTR unused = 0;
      SendMessageTimeoutA(browser, BFFM_SETSELECTIONA, TRUE,
                          reinterpret_cast<LPARAM>(path->c_str()), SMTO_NORMAL, 60000, &unused);
    }
    PostMessageA(browser, WM_COMMAND, IDOK, 0);
  });
  Click(f.bru);
  done = true;
  helper.join();
  return seen;
}

TEST_F(OptionBoxTest, AddPutsTheChosenFolderOnTopAndCancelChangesNothing) {
  TempDir temp;
  char longPath[MAX_PATH] = {};
  ASSERT_GT(GetLongPathNameA(temp.path().c_str(), longPath, MAX_PATH), 0u);
  const std::string chosen = longPath;

  TOptionRecord rec = SampleRecord();
  rec.Dirs.clear();
  for (int i = 0; i < 10; ++i) rec.Dirs += "C:\\f" + std::to_string(i) + "\r\n";
  bool disabledOnCancel = false;
  bool disabledOnChoice = false;
  RunOptionBox(rec, {[&](TForm2& f) {
                 f.PageControl1.SetActivePageIndex(0);
                 f.fList.SetItemIndex(3);
                 ASSERT_TRUE(AddThroughBrowser(f, std::nullopt, &disabledOnCancel));
                 EXPECT_EQ(10, f.fList.Count());
                 EXPECT_EQ("C:\\f0", f.fList.Item(0));
                 EXPECT_EQ(3, f.fList.ItemIndex());
                 EXPECT_TRUE(IsWindowEnabled(f.Handle()));

                 ASSERT_TRUE(AddThroughBrowser(f, chosen, &disabledOnChoice));
                 EXPECT_TRUE(IsWindowEnabled(f.Handle()));
                 EXPECT_EQ(f.Handle(), GetActiveWindow());
                 EXPECT_EQ(-1, f.fList.ItemIndex());
                 // The browser opens on the user's Favorites.
                 bool disabled = false;
                 ASSERT_TRUE(AddThroughBrowser(f, std::string(), &disabled));
                 Click(f.Button1);
               }});
  EXPECT_TRUE(disabledOnCancel);
  EXPECT_TRUE(disabledOnChoice);
  char favorites[MAX_PATH] = {};
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_FAVORITES, nullptr, 0, favorites)));
  std::string want = std::string(favorites) + "\r\n" + chosen + "\r\n";
  for (int i = 0; i < 8; ++i) want += "C:\\f" + std::to_string(i) + "\r\n";
  EXPECT_EQ(want, rec.Dirs);
}

}  // namespace
}  // namespace ixo
