#include "win32/scoped.h"

#include <gtest/gtest.h>

#include <vector>

namespace ixo {
namespace {

HWND MakeWindow() {
  return CreateWindowExA(0, "STATIC", "scoped", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

TEST(DisabledWindow, DisablesForItsScopeAndLeavesADisabledOneAlone) {
  HWND enabled = MakeWindow();
  HWND disabled = MakeWindow();
  ASSERT_TRUE(enabled && disabled);
  EnableWindow(disabled, FALSE);
  {
    const DisabledWindow a(enabled);
    const DisabledWindow b(disabled);
    const DisabledWindow none(nullptr);
    EXPECT_FALSE(IsWindowEnabled(enabled));
    EXPECT_TRUE(a.Disabled());
    EXPECT_FALSE(b.Disabled());
    EXPECT_FALSE(none.Disabled());
  }
  EXPECT_TRUE(IsWindowEnabled(enabled));
  // The modal window that disabled it enables it itself.
  EXPECT_FALSE(IsWindowEnabled(disabled));

  // Moved into a list, each is enabled once, when the list goes; one that is
  // gone by then is passed over.
  EnableWindow(disabled, TRUE);
  {
    std::vector<DisabledWindow> both;
    both.emplace_back(enabled);
    both.emplace_back(disabled);
    EXPECT_FALSE(IsWindowEnabled(enabled));
    DestroyWindow(disabled);
  }
  EXPECT_TRUE(IsWindowEnabled(enabled));
  DestroyWindow(enabled);
}

TEST(GdiObject, IsDeletedOnceWhereverItWasMoved) {
  HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
  ASSERT_NE(nullptr, font);
  {
    std::vector<GdiObject<HFONT>> fonts;
    fonts.emplace_back(font);
    GdiObject<HFONT> moved = std::move(fonts.front());
    fonts.clear();
    EXPECT_EQ(OBJ_FONT, GetObjectType(font));
    EXPECT_EQ(font, moved.Get());
  }
  EXPECT_EQ(0u, GetObjectType(font));
}

}  // namespace
}  // namespace ixo
