// Menu check marks as documented: CheckMenuItem returns the previous state, or -1.
#include <gtest/gtest.h>

#include "windows_test_support.h"

namespace {

TEST(WindowsMenuTest, CheckMenuItemReturnsThePreviousStateOrMinusOne) {
    sim::Session session;
    HMENU menu = windows_test::LoadTestMenu();
    ASSERT_NE(menu, nullptr);
    struct Step {
        const char* what;
        UINT item;
        UINT flags;
        DWORD previous;
    };
    const DWORD missing = static_cast<DWORD>(-1);
    const Step steps[] = {
        {"check a command in a submenu", 1, MF_BYCOMMAND | MF_CHECKED, MF_UNCHECKED},
        {"check it again", 1, MF_BYCOMMAND | MF_CHECKED, MF_CHECKED},
        {"uncheck it", 1, MF_BYCOMMAND | MF_UNCHECKED, MF_CHECKED},
        {"uncheck it again", 1, MF_BYCOMMAND | MF_UNCHECKED, MF_UNCHECKED},
        {"a command on the bar", 3, MF_BYCOMMAND | MF_CHECKED, MF_UNCHECKED},
        {"that command by position", 1, MF_BYPOSITION | MF_UNCHECKED, MF_CHECKED},
        {"a command that is not there", 99, MF_BYCOMMAND | MF_CHECKED, missing},
        {"a position that is not there", 5, MF_BYPOSITION | MF_CHECKED, missing},
    };
    for (const Step& s : steps) EXPECT_EQ(CheckMenuItem(menu, s.item, s.flags), s.previous) << s.what;

    EXPECT_EQ(GetMenuState(menu, 1, MF_BYCOMMAND) & MF_CHECKED, 0u);
    CheckMenuItem(menu, 2, MF_CHECKED);
    EXPECT_EQ(GetMenuState(menu, 2, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
    EXPECT_EQ(GetMenuState(GetSubMenu(menu, 0), 2, MF_BYPOSITION) & MF_CHECKED, MF_CHECKED);
    EXPECT_EQ(GetMenuState(menu, 1, MF_BYCOMMAND) & MF_CHECKED, 0u) << "the others are untouched";
    EXPECT_TRUE(DestroyMenu(menu));
    EXPECT_EQ(CheckMenuItem(menu, 1, MF_CHECKED), missing) << "a destroyed menu has no items";
    EXPECT_EQ(CheckMenuItem(nullptr, 1, MF_CHECKED), missing);
}

}  // namespace
