// The options dialog from the keyboard: Tab through each page, the pages by
// Ctrl+Tab and the arrow keys, Enter on the focused push button.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "ui/optionbox.h"
#include "win_option_box.h"
#include "win_ui.h"

namespace ixo {
namespace {

using test::Click;
using test::OptionBoxTest;
using test::PressKey;
using test::RunOptionBox;
using test::SampleRecord;

TEST_F(OptionBoxTest, TabWalksEachParentInItsTabOrder) {
  TOptionRecord rec = SampleRecord();
  rec.Atc = true;
  rec.AcType = 1;
  auto chain = [](TForm2& f, HWND from, size_t n, bool previous = false) {
    std::vector<HWND> walked;
    for (HWND w = from; walked.size() < n;) {
      w = f.NextTabStop(w, previous);
      walked.push_back(w);
    }
    return walked;
  };
  RunOptionBox(
      rec, {[&](TForm2& f) {
        // From OK round the form: the tabs, then the About page in front.
        EXPECT_EQ((std::vector<HWND>{f.Button2.Handle(), f.PageControl1.Handle(), f.Memo1.Handle(),
                                     f.Button13.Handle(), f.Button14.Handle(), f.Button15.Handle(),
                                     f.test.Handle(), f.testtitle.Handle(), f.testurl.Handle(),
                                     f.Button1.Handle()}),
                  chain(f, f.Button1.Handle(), 10));
        EXPECT_EQ((std::vector<HWND>{f.PageControl1.Handle(), f.Button2.Handle()}),
                  chain(f, f.Memo1.Handle(), 2, true));
        // The real keys.
        f.Button2.SetFocus();
        PressKey(VK_TAB);
        EXPECT_EQ(f.PageControl1.Handle(), GetFocus());
        PressKey(VK_TAB);
        EXPECT_EQ(f.Memo1.Handle(), GetFocus());
        PressKey(VK_TAB, {VK_SHIFT});
        PressKey(VK_TAB, {VK_SHIFT});
        EXPECT_EQ(f.Button2.Handle(), GetFocus());

        f.PageControl1.SetActivePageIndex(0);
        EXPECT_EQ((std::vector<HWND>{f.Button9.Handle(), f.fList.Handle(), f.bru.Handle(),
                                     f.Button10.Handle(), f.Button11.Handle(), f.Button12.Handle(),
                                     f.test.Handle()}),
                  chain(f, f.Button7.Handle(), 7));
        f.PageControl1.SetActivePageIndex(2);
        EXPECT_EQ((std::vector<HWND>{f.Button5.Handle(), f.c5.Handle(), f.c6.Handle(),
                                     f.c7.Handle(), f.Button8.Handle(), f.test.Handle()}),
                  chain(f, f.Edit.Handle(), 6));
        // The other page: the checked radio button only, the up-down is
        // no stop, the hidden C2 is skipped.
        f.PageControl1.SetActivePageIndex(3);
        EXPECT_EQ((std::vector<HWND>{f.c3.Handle(), f.c4.Handle(), f.r2.Handle(), f.ed1.Handle(),
                                     f.Button3.Handle(), f.Button16.Handle()}),
                  chain(f, f.C1.Handle(), 6));
        Click(f.r3);
        EXPECT_EQ(f.r3.Handle(), chain(f, f.c4.Handle(), 1)[0]);
        Click(f.c4);  // the time controls off: Tab passes them by
        EXPECT_EQ(f.Button3.Handle(), chain(f, f.c4.Handle(), 1)[0]);
        Click(f.Button2);
      }});
}

TEST_F(OptionBoxTest, PagesAreReachedFromTheKeyboard) {
  TOptionRecord rec = SampleRecord();
  RunOptionBox(rec, {[&](TForm2& f) {
                 auto page = [&] { return f.PageControl1.ActivePageIndex(); };
                 ASSERT_EQ(f.Button1.Handle(), GetFocus());
                 // The arrow keys while the tabs have the focus.
                 f.PageControl1.SetFocus();
                 PressKey(VK_LEFT);
                 EXPECT_EQ(3, page());
                 EXPECT_TRUE(f.OtherSheet.Visible());
                 EXPECT_FALSE(f.TabSheet4.Visible());
                 PressKey(VK_RIGHT);
                 EXPECT_EQ(4, page());
                 EXPECT_EQ(f.PageControl1.Handle(), GetFocus());
                 // Ctrl with Tab, PgDn and PgUp, round the pages.
                 const struct {
                   WORD key;
                   bool shift;
                   int page;
                 } steps[] = {{VK_TAB, false, 0},  {VK_TAB, true, 4},    {VK_NEXT, false, 0},
                              {VK_NEXT, false, 1}, {VK_PRIOR, false, 0}, {VK_PRIOR, false, 4},
                              {VK_TAB, true, 3}};
                 for (const auto& step : steps) {
                   if (step.shift) {
                     PressKey(step.key, {VK_CONTROL, VK_SHIFT});
                   } else {
                     PressKey(step.key, {VK_CONTROL});
                   }
                   EXPECT_EQ(step.page, page()) << step.key << " " << step.shift;
                   EXPECT_TRUE(f.PageControl1.Page(step.page)->Visible());
                 }
                 // From a control on a page: the focus goes to the tabs,
                 // not to a hidden control, and the box gets no tab.
                 f.PageControl1.SetActivePageIndex(1);
                 f.deltx.SetFocus();
                 PressKey(VK_TAB, {VK_CONTROL});
                 EXPECT_EQ(2, page());
                 EXPECT_EQ(f.PageControl1.Handle(), GetFocus());
                 EXPECT_EQ("★\r\n●\r\n", f.deltx.Text());
                 // From outside the pages the focus stays where it is.
                 f.Button1.SetFocus();
                 PressKey(VK_PRIOR, {VK_CONTROL});
                 EXPECT_EQ(1, page());
                 EXPECT_EQ(f.Button1.Handle(), GetFocus());
                 Click(f.Button2);
               }});
}

TEST_F(OptionBoxTest, EnterPressesTheFocusedPushButtonAndNothingElse) {
  TOptionRecord rec = SampleRecord();
  const TOptionRecord given = rec;
  RunOptionBox(rec, {[&](TForm2& f) {
                 // In a box, in the folder list, on a check box and anywhere
                 // for Escape: nothing.
                 f.PageControl1.SetActivePageIndex(0);
                 f.fList.SetFocus();
                 f.fList.SetItemIndex(1);
                 PressKey(VK_RETURN);
                 EXPECT_EQ(3, f.fList.Count());
                 f.PageControl1.SetActivePageIndex(2);
                 f.Edit.SetFocus();
                 PressKey(VK_RETURN);
                 PressKey(VK_ESCAPE);
                 f.PageControl1.SetActivePageIndex(3);
                 f.C1.SetFocus();
                 PressKey(VK_RETURN);
                 EXPECT_TRUE(f.C1.Checked());
                 f.Button1.SetFocus();
                 PressKey(VK_ESCAPE);
                 EXPECT_EQ(mrNone, f.ModalResult());
                 EXPECT_TRUE(IsWindowVisible(f.Handle()));
                 // The multi-line box takes Enter as a new line; Escape
                 // leaves it and its page alone, Tab moves on.
                 f.PageControl1.SetActivePageIndex(1);
                 f.deltx.SetFocus();
                 SendMessageA(f.deltx.Handle(), EM_SETSEL, 0, 0);
                 PressKey(VK_ESCAPE);
                 PressKey(VK_RETURN);
                 EXPECT_TRUE(IsWindow(f.TabSheet2.Handle()));
                 EXPECT_TRUE(f.TabSheet2.Visible());
                 EXPECT_EQ("\r\n★\r\n●\r\n", f.deltx.Text());
                 PressKey(VK_TAB);
                 EXPECT_EQ(f.Button4.Handle(), GetFocus());
                 // A focused push button is pressed.
                 PressKey(VK_RETURN);
                 EXPECT_EQ(kDefaultDelText, f.deltx.Text());
                 EXPECT_EQ(mrNone, f.ModalResult());
                 f.Button2.SetFocus();
                 PressKey(VK_RETURN);
                 EXPECT_EQ(mrCancel, f.ModalResult());
               }});
  EXPECT_FALSE(OKPressed);
  EXPECT_EQ(given, rec);
}

}  // namespace
}  // namespace ixo
