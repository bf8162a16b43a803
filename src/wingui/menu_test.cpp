#include "wingui/menu.h"

#include <gtest/gtest.h>

#include "win_ui.h"

namespace ixo {
namespace {

using test::TestForm;
using test::UiTest;

using MenuTest = UiTest;

TEST_F(MenuTest, APopupMenuShowsShortcutsCheckMarksAndItsDefaultItem) {
  TestForm form;
  TPopupMenu menu;
  TMenuItem first, separator, second;
  menu.Add(first, {.caption = "&First", .shortcut = "Ctrl+F", .isDefault = true});
  menu.AddSeparator(separator);
  menu.Add(second, {.caption = "Second"});
  char text[64] = {};
  GetMenuStringA(menu.Handle(), 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "&First\tCtrl+F");
  GetMenuStringA(menu.Handle(), 2, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Second");
  EXPECT_EQ(GetMenuDefaultItem(menu.Handle(), TRUE, 0), 0u);
  EXPECT_EQ(GetMenuState(menu.Handle(), 1, MF_BYPOSITION) & MF_SEPARATOR,
            static_cast<UINT>(MF_SEPARATOR));
  second.SetChecked(true);
  EXPECT_TRUE(GetMenuState(menu.Handle(), 2, MF_BYPOSITION) & MF_CHECKED);
  second.SetChecked(false);
  EXPECT_FALSE(GetMenuState(menu.Handle(), 2, MF_BYPOSITION) & MF_CHECKED);
  EXPECT_EQ(menu.ItemByCommand(second.Command()), &second);
  EXPECT_EQ(menu.ItemByCommand(separator.Command()), nullptr);
}

}  // namespace
}  // namespace ixo
