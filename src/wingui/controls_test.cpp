#include "wingui/controls.h"

#include <gtest/gtest.h>

#include <string>

#include "win_ui.h"

namespace ixo {
namespace {

using test::TestForm;
using test::UiTest;

using ControlsTest = UiTest;

TEST_F(ControlsTest, ACheckBoxClickRunsOnEveryChangeOfTheMark) {
  TestForm form;
  int clicks = 0;
  form.check.OnClick = [&] { ++clicks; };
  form.check.SetChecked(false);
  EXPECT_EQ(clicks, 0);
  form.check.SetChecked(true);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(form.check.Checked());
  form.check.SetChecked(true);
  EXPECT_EQ(clicks, 1);
  SendMessageA(form.check.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 2);
  EXPECT_FALSE(form.check.Checked());
}

TEST_F(ControlsTest, TheDropDownListShowsOneRowPerItemUpToItsCount) {
  TestForm form;
  form.Show();
  const struct {
    int items;
    int rows;
  } cases[] = {{12, 10}, {3, 3}, {0, 1}};
  for (const auto& c : cases) {
    form.combo.Clear();
    for (int i = 0; i < c.items; ++i) form.combo.Add("item " + std::to_string(i));
    SendMessageA(form.combo.Handle(), CB_SHOWDROPDOWN, TRUE, 0);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(form.combo.Handle(), &info));
    RECT list;
    GetWindowRect(info.hwndList, &list);
    const int itemHeight =
        static_cast<int>(SendMessageA(form.combo.Handle(), CB_GETITEMHEIGHT, 0, 0));
    SendMessageA(form.combo.Handle(), CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_EQ((list.bottom - list.top) / itemHeight, c.rows) << c.items << " items";
  }
}

TEST_F(ControlsTest, AComboBoxGivesTheSelectedItemsText) {
  TestForm form;
  EXPECT_EQ(form.combo.SelectedText(), "");
  form.combo.Add("C:\\表");
  form.combo.Add("D:\\b");
  EXPECT_EQ(form.combo.ItemIndex(), -1);
  form.combo.SetItemIndex(0);
  EXPECT_EQ(form.combo.SelectedText(), "C:\\表");
  form.combo.SetItemIndex(1);
  EXPECT_EQ(form.combo.SelectedText(), "D:\\b");
}

TEST_F(ControlsTest, AKeyPressHandlerSeesEachCharacterAndCanDiscardIt) {
  TestForm form;
  std::wstring seen;
  form.edit.OnKeyPress = [&](wchar_t& key) {
    seen += key;
    if (key == L'x') key = 0;
    if (key == L'a') key = L'b';
  };
  form.edit.SetText("");
  // Typed characters come as UTF-16, whatever the system's code page: one
  // that code page 932 cannot hold reaches the box whole.
  for (wchar_t c : std::wstring(L"ax\u00E9c")) SendMessageW(form.edit.Handle(), WM_CHAR, c, 0);
  EXPECT_EQ(seen, L"ax\u00E9c");
  EXPECT_EQ(form.edit.TextW(), L"b\u00E9c");
  EXPECT_EQ(form.edit.Text(), "b?c");
}

}  // namespace
}  // namespace ixo
