// The main window's template, menu, address bar layout, closing and wait cursor.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crt/crt.h"
#include "mainwindow/main_window_harness.h"

namespace {

using mainwindow_test::Describe;
using mainwindow_test::MainWindowHarness;
using mainwindow_test::RectInParentClient;

// Template 102: 840 x 480 dialog units of "MS Shell Dlg" 8 point (base units 6 x 13).
constexpr LONG kClientWidth = 1260, kClientHeight = 780;
constexpr LONG kWindowWidth = kClientWidth + 2 * sim::kThickFrame;
constexpr LONG kWindowHeight = kClientHeight + 2 * sim::kThickFrame + sim::kCaptionHeight + sim::kMenuHeight;

std::u16string MenuText(HMENU menu, int position) {
    char16_t text[128] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
    return text;
}

TEST(MainWindowLayoutTest, TheTemplateGivesCaptionSizeAndACentredPlace) {
    MainWindowHarness harness;
    RECT window{}, client{};
    std::u16string caption;
    DWORD style = 0;
    harness.Then([&] {
        GetWindowRect(harness.window.m_hWnd, &window);
        GetClientRect(harness.window.m_hWnd, &client);
        caption = harness.window.GetWindowText();
        style = static_cast<DWORD>(GetWindowLongW(harness.window.m_hWnd, GWL_STYLE));
    });
    harness.Run();
    EXPECT_EQ(caption, u"Pelmarin");
    EXPECT_EQ(client, (RECT{0, 0, kClientWidth, kClientHeight})) << Describe(client);
    const LONG left = (1280 - kWindowWidth) / 2, top = (1024 - kWindowHeight) / 2;
    EXPECT_EQ(window, (RECT{left, top, left + kWindowWidth, top + kWindowHeight})) << Describe(window);
    for (DWORD bit : {WS_CAPTION, WS_SYSMENU, WS_THICKFRAME, WS_MINIMIZEBOX, WS_MAXIMIZEBOX, WS_VISIBLE})
        EXPECT_TRUE(style & bit) << std::hex << bit;
}

TEST(MainWindowLayoutTest, Menu140IsAttachedWithRefreshOnTheBar) {
    struct Item {
        std::u16string text;
        UINT id;  // 0: a separator; (UINT)-1: a submenu
    };
    const UINT popup = static_cast<UINT>(-1);
    const std::vector<Item> bar{{u"File", popup}, {u"View", popup}, {u"Refresh", 32778}, {u"Compatibility", popup},
                                {u"Help", popup}};
    const std::vector<std::vector<Item>> menus{
        {{u"Internet options", 32774}, {u"Add to bookmarks", 32771}, {u"Bookmarks...", 32772},
         {u"Proxy settings...", 32775}, {u"Clear cache", 32792}, {u"", 0}, {u"Logging", 32776},
         {u"Open logs folder", 32777}, {u"", 0}, {u"Exit", 32773}},
        {{u"Actual Size\tCtrl+0", 32791}, {u"Zoom In\tCtrl+=", 32789}, {u"Zoom Out\tCtrl+-", 32790}},
        {},
        {{u"IE11 (11001)", 32779}, {u"IE11 (11000)", 32780}, {u"IE10 (10001)", 32781}, {u"IE10 (10000)", 32782},
         {u"IE9   (9999)", 32783}, {u"IE9   (9000)", 32784}, {u"IE8   (8888)", 32785}, {u"IE8   (8000)", 32786},
         {u"IE7   (7777)", 32787}, {u"IE7   (7000)", 32788}},
        {{u"About", 32793}},
    };
    MainWindowHarness harness;
    harness.Then([&] {
        HMENU menu = GetMenu(harness.window.m_hWnd);
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(bar.size()));
        for (std::size_t i = 0; i < bar.size(); ++i) {
            SCOPED_TRACE(text::ToUtf8(bar[i].text));
            const int position = static_cast<int>(i);
            EXPECT_EQ(MenuText(menu, position), bar[i].text);
            EXPECT_EQ(GetMenuItemID(menu, position), bar[i].id);
            HMENU sub = GetSubMenu(menu, position);
            EXPECT_EQ(sub != nullptr, bar[i].id == popup);
            if (!sub) continue;
            ASSERT_EQ(GetMenuItemCount(sub), static_cast<int>(menus[i].size()));
            for (std::size_t j = 0; j < menus[i].size(); ++j) {
                const int at = static_cast<int>(j);
                EXPECT_EQ(MenuText(sub, at), menus[i][j].text) << j;
                EXPECT_EQ(GetMenuItemID(sub, at), menus[i][j].id) << j;
                if (menus[i][j].id == 32776) continue;  // the Logging mark follows the switch
                EXPECT_EQ(GetMenuState(sub, static_cast<UINT>(at), MF_BYPOSITION) & (MF_CHECKED | MF_GRAYED), 0u) << j;
            }
        }
    });
    harness.Run();
}

TEST(MainWindowLayoutTest, TheLoggingCheckMarkFollowsTheLogsSwitch) {
    for (bool logs : {false, true}) {
        SCOPED_TRACE(logs ? "logging on" : "logging off");
        MainWindowHarness harness;
        harness.window.enableLogging = logs;
        UINT state = 0;
        bool loggingOn = false;
        harness.Then([&] {
            state = GetMenuState(GetMenu(harness.window.m_hWnd), 32776, MF_BYCOMMAND);
            loggingOn = IsLoggingEnabled();
        });
        harness.Run();
        EXPECT_EQ((state & MF_CHECKED) != 0, logs);
        EXPECT_EQ(loggingOn, logs);
    }
}

TEST(MainWindowLayoutTest, TheAddressBarLiesOnTopAndTheBrowserBelowIt) {
    MainWindowHarness harness;
    harness.Then([&] {
        HWND bar = GetDlgItem(harness.window.m_hWnd, 0xE804);
        HWND browser = GetDlgItem(harness.window.m_hWnd, 102);
        HWND box = GetDlgItem(harness.window.m_hWnd, 1004);
        ASSERT_NE(bar, nullptr);
        ASSERT_NE(browser, nullptr);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(RectInParentClient(bar), (RECT{0, 0, kClientWidth, 27})) << Describe(RectInParentClient(bar));
        EXPECT_EQ(RectInParentClient(browser), (RECT{0, 27, kClientWidth, kClientHeight}))
            << Describe(RectInParentClient(browser));
        EXPECT_TRUE(IsWindowVisible(bar));
        EXPECT_TRUE(IsWindowVisible(box));
        EXPECT_TRUE(GetWindowLongW(bar, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
        EXPECT_TRUE(GetWindowLongW(harness.Edit(), GWL_STYLE) & WS_TABSTOP);
        EXPECT_TRUE(GetWindowLongW(browser, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
        ASSERT_EQ(bar->bands.size(), 1u);
        EXPECT_EQ(bar->bands[0].text, u"Address:");
        EXPECT_EQ(bar->bands[0].child, box);
        EXPECT_EQ(bar->bands[0].style, RBBS_NOGRIPPER);
    });
    harness.Run();
}

TEST(MainWindowLayoutTest, ResizingLaysTheBarAndTheBrowserOutAgain) {
    struct Case {
        RECT window;
    };
    const Case cases[] = {{{100, 50, 1000, 750}}, {{0, 0, 400, 300}}, {{10, 10, 1290, 1034}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(Describe(c.window));
        MainWindowHarness harness;
        RECT client{}, bar{}, browser{};
        harness.Then([&] { harness.desktop.MoveByUser(harness.window.m_hWnd, c.window); });
        harness.Then([&] {
            GetClientRect(harness.window.m_hWnd, &client);
            bar = RectInParentClient(GetDlgItem(harness.window.m_hWnd, 0xE804));
            browser = RectInParentClient(GetDlgItem(harness.window.m_hWnd, 102));
        });
        harness.Run();
        EXPECT_EQ(client.right, c.window.right - c.window.left - 2 * sim::kThickFrame);
        EXPECT_EQ(bar, (RECT{0, 0, client.right, 27})) << Describe(bar);
        EXPECT_EQ(browser, (RECT{0, 27, client.right, client.bottom})) << Describe(browser);
    }
}

TEST(MainWindowLayoutTest, CloseEndsTheWindowButTheOkAndCancelCommandsDoNot) {
    MainWindowHarness harness;
    HWND window = nullptr;
    bool aliveAfterCommands = false;
    bool ranAfterClose = false;
    harness.Then([&] {
        window = harness.window.m_hWnd;
        PostMessageW(window, WM_COMMAND, IDOK, 0);
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    });
    harness.Then([&] {
        aliveAfterCommands = IsWindow(window) && IsWindowVisible(window);
        harness.desktop.ClickClose(window);
    });
    harness.Then([&] { ranAfterClose = true; });
    INT_PTR result = harness.window.DoModal();
    EXPECT_TRUE(aliveAfterCommands);
    EXPECT_EQ(result, 0) << "WM_CLOSE ends the dialog with 0";
    EXPECT_FALSE(ranAfterClose) << "the loop ended at the close";
    EXPECT_FALSE(IsWindow(window));
}

TEST(MainWindowLayoutTest, TheWaitCursorEndsAtTheFirstCompletedDocument) {
    MainWindowHarness harness;
    harness.window.startUrl = u"mailto:nobody@example.com";  // refused: no document completes
    harness.desktop.AnswerMessageBox(IDCANCEL);
    bool waitingBefore = false, waitingAfter = true;
    harness.Then([&] {
        waitingBefore = harness.desktop.waitCursor;
        harness.Engine().ClickLink(mainwindow_test::kStartUrl);
    });
    harness.Then([&] { waitingAfter = harness.desktop.waitCursor; });
    harness.Run();
    EXPECT_TRUE(waitingBefore) << "the wait cursor shows from the window's start";
    EXPECT_FALSE(waitingAfter);
}

}  // namespace
