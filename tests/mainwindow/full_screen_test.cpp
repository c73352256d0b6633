// The full-screen view: started with "k", switched with F11, and the windowed view brought
// back as it was.
#include <gtest/gtest.h>

#include "mainwindow/main_window_harness.h"

namespace {

using mainwindow_test::Describe;
using mainwindow_test::MainWindowHarness;
using mainwindow_test::RectInParentClient;

constexpr LONG kClientWidth = 1260, kClientHeight = 780;  // template 102 in pixels
constexpr LONG kWindowWidth = kClientWidth + 2 * sim::kThickFrame;
constexpr LONG kWindowHeight = kClientHeight + 2 * sim::kThickFrame + sim::kCaptionHeight + sim::kMenuHeight;
// The template's own position, 50, 50 dialog units: a window that starts full screen was
// never centred.
constexpr RECT kTemplateRect{75, 81, 75 + kWindowWidth, 81 + kWindowHeight};

struct View {
    RECT window{};
    DWORD style = 0;
    HMENU menu = nullptr;
    bool barVisible = false;
    RECT bar{};
    RECT browser{};
};

View Look(const MainWindowHarness& harness) {
    View view;
    HWND window = harness.window.m_hWnd;
    GetWindowRect(window, &view.window);
    view.style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    view.menu = GetMenu(window);
    HWND bar = GetDlgItem(window, 0xE804);
    view.barVisible = IsWindowVisible(bar);
    view.bar = RectInParentClient(bar);
    view.browser = RectInParentClient(GetDlgItem(window, 102));
    return view;
}

void ExpectFullScreen(const View& view) {
    EXPECT_EQ(view.window, (RECT{0, 0, 1280, 1024})) << "the whole monitor " << Describe(view.window);
    EXPECT_EQ(view.style & WS_CAPTION, 0u);
    EXPECT_EQ(view.style & WS_THICKFRAME, 0u);
    EXPECT_EQ(view.menu, nullptr);
    EXPECT_FALSE(view.barVisible);
    EXPECT_EQ(view.browser, (RECT{0, 0, 1280, 1024})) << "the browser fills the window " << Describe(view.browser);
}

void ExpectWindowed(const View& view, const RECT& rect) {
    EXPECT_EQ(view.window, rect) << Describe(view.window);
    EXPECT_EQ(view.style & WS_CAPTION, WS_CAPTION);
    EXPECT_TRUE(view.style & WS_THICKFRAME);
    EXPECT_NE(view.menu, nullptr);
    EXPECT_TRUE(view.barVisible);
    EXPECT_EQ(view.bar, (RECT{0, 0, kClientWidth, 27})) << Describe(view.bar);
    EXPECT_EQ(view.browser, (RECT{0, 27, kClientWidth, kClientHeight})) << Describe(view.browser);
}

TEST(FullScreenTest, TheKSwitchStartsFullScreenAndF11BringsBackTheTemplatesWindow) {
    MainWindowHarness harness(true);
    View atStart, afterF11;
    bool taken = false;
    harness.Then([&] {
        atStart = Look(harness);
        taken = harness.PressInPage(VK_F11);
    });
    harness.Then([&] { afterF11 = Look(harness); });
    harness.Run();
    {
        SCOPED_TRACE("started with k");
        ExpectFullScreen(atStart);
    }
    {
        SCOPED_TRACE("after F11");
        ExpectWindowed(afterF11, kTemplateRect);
    }
    EXPECT_TRUE(taken);
    EXPECT_FALSE(harness.window.fullScreen);
}

TEST(FullScreenTest, F11SwitchesBackAndForthAndTheWindowedViewReturnsAsItWas) {
    MainWindowHarness harness;
    View windowed, full, back;
    HMENU menuBefore = nullptr;
    harness.Then([&] {
        windowed = Look(harness);
        menuBefore = windowed.menu;
        harness.PressInPage(VK_F11);
    });
    harness.Then([&] {
        full = Look(harness);
        harness.PressInPage(VK_F11);
    });
    std::vector<int> keys;
    harness.Then([&] {
        back = Look(harness);
        keys = harness.Engine().keysReceived;
    });
    harness.Run();
    {
        SCOPED_TRACE("first F11");
        ExpectFullScreen(full);
    }
    {
        SCOPED_TRACE("second F11");
        ExpectWindowed(back, windowed.window);
    }
    EXPECT_EQ(back.menu, menuBefore) << "the same menu is attached again";
    EXPECT_EQ(keys, std::vector<int>{}) << "the page never sees F11";
}

TEST(FullScreenTest, EveryAutoRepeatOfAHeldF11SwitchesTheView) {
    MainWindowHarness harness;
    std::vector<bool> fullScreen;
    harness.Then([&] {
        HWND browser = harness.window.m_wndBrowser.m_hWnd;
        SetFocus(browser);
        for (int repeat = 0; repeat < 3; ++repeat) {
            EXPECT_TRUE(platform::input::Key(browser, WM_KEYDOWN, VK_F11, repeat > 0));
            fullScreen.push_back(!(GetWindowLongW(harness.window.m_hWnd, GWL_STYLE) & WS_CAPTION));
        }
    });
    harness.Run();
    EXPECT_EQ(fullScreen, (std::vector<bool>{true, false, true}));
}

}  // namespace
