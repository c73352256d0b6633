// Window geometry as documented: SetWindowPos and its flags, window and client rectangles,
// AdjustWindowRect. The frame sizes are the desktop's own metrics, so the expectations are
// written in them.
#include <gtest/gtest.h>

#include "windows_test_support.h"

namespace {

using windows_test::Child;
using windows_test::Describe;
using windows_test::kFramedStyle;
using windows_test::RecordingWindow;
using windows_test::TopLevel;

constexpr LONG kFrame = sim::kThickFrame, kCaption = sim::kCaptionHeight, kMenu = sim::kMenuHeight;
constexpr RECT kStart{100, 100, 500, 400};

LPARAM SizeParam(LONG cx, LONG cy) { return static_cast<LPARAM>((static_cast<DWORD>(cy) << 16) | static_cast<DWORD>(cx)); }

TEST(WindowsGeometryTest, SetWindowPosMovesAndSizesAsItsFlagsSay) {
    struct Case {
        const char* what;
        UINT flags;
        RECT expected;
        bool sized;  // a WM_SIZE follows
    };
    const Case cases[] = {
        {"move and size", 0, {10, 20, 310, 220}, true},
        {"SWP_NOMOVE", SWP_NOMOVE, {100, 100, 400, 300}, true},
        {"SWP_NOSIZE", SWP_NOSIZE, {10, 20, 410, 320}, false},
        {"both", SWP_NOMOVE | SWP_NOSIZE, kStart, false},
    };
    sim::Session session;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingWindow window(TopLevel(kFramedStyle | WS_VISIBLE, kStart));
        ASSERT_TRUE(SetWindowPos(window.m_hWnd, nullptr, 10, 20, 300, 200, c.flags | SWP_NOZORDER));
        RECT rect{};
        GetWindowRect(window.m_hWnd, &rect);
        EXPECT_EQ(rect, c.expected) << Describe(rect);
        auto sizes = window.Sizes();
        ASSERT_EQ(sizes.size(), c.sized ? 1u : 0u);
        if (c.sized) {
            EXPECT_EQ(sizes[0].lParam, SizeParam(c.expected.right - c.expected.left - 2 * kFrame,
                                                 c.expected.bottom - c.expected.top - 2 * kFrame - kCaption));
        }
    }
    EXPECT_FALSE(SetWindowPos(nullptr, nullptr, 0, 0, 1, 1, 0));
}

TEST(WindowsGeometryTest, ShowAndHideFlagsChangeOnlyTheVisibility) {
    sim::Session session;
    HWND window = TopLevel(kFramedStyle, kStart);
    EXPECT_FALSE(IsWindowVisible(window));
    for (UINT flag : {SWP_SHOWWINDOW, SWP_HIDEWINDOW, SWP_SHOWWINDOW}) {
        SetWindowPos(window, nullptr, 0, 0, 0, 0, flag | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
        EXPECT_EQ(IsWindowVisible(window) != FALSE, flag == SWP_SHOWWINDOW) << flag;
        RECT rect{};
        GetWindowRect(window, &rect);
        EXPECT_EQ(rect, kStart);
    }
    // A hidden parent hides its children; showing the child alone does not show it.
    HWND child = Child(window, {0, 0, 10, 10}, 1);
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(child, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_FALSE(IsWindowVisible(child));
    DestroyWindow(window);
}

TEST(WindowsGeometryTest, AFrameChangeSendsWmSizeWhenTheClientAreaChanges) {
    sim::Session session;
    RecordingWindow window(TopLevel(kFramedStyle | WS_VISIBLE, kStart));
    const UINT frameOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;

    SetWindowPos(window.m_hWnd, nullptr, 0, 0, 0, 0, frameOnly);
    EXPECT_TRUE(window.Sizes().empty()) << "same frame, same client area";

    SetWindowLongW(window.m_hWnd, GWL_STYLE, static_cast<LONG>(WS_POPUP | WS_VISIBLE));
    SetWindowPos(window.m_hWnd, nullptr, 0, 0, 0, 0, frameOnly);
    auto sizes = window.Sizes();
    ASSERT_EQ(sizes.size(), 1u) << "the frame is gone: the client area is the whole window";
    EXPECT_EQ(sizes[0].lParam, SizeParam(400, 300));
    RECT client{};
    GetClientRect(window.m_hWnd, &client);
    EXPECT_EQ(client, (RECT{0, 0, 400, 300}));
}

TEST(WindowsGeometryTest, ClientRectanglesLeaveOutTheFrameCaptionAndMenu) {
    sim::Session session;
    HWND framed = TopLevel(kFramedStyle, kStart);
    RECT client{};
    GetClientRect(framed, &client);
    EXPECT_EQ(client, (RECT{0, 0, 400 - 2 * kFrame, 300 - 2 * kFrame - kCaption})) << Describe(client);

    HMENU menu = windows_test::LoadTestMenu();
    ASSERT_NE(menu, nullptr);
    SetMenu(framed, menu);
    GetClientRect(framed, &client);
    EXPECT_EQ(client, (RECT{0, 0, 400 - 2 * kFrame, 300 - 2 * kFrame - kCaption - kMenu})) << Describe(client);

    HWND child = Child(framed, {5, 6, 55, 46}, 7);
    GetClientRect(child, &client);
    EXPECT_EQ(client, (RECT{0, 0, 50, 40})) << "a child's client area starts at 0, 0";
    DestroyWindow(framed);
    DestroyMenu(menu);
}

TEST(WindowsGeometryTest, GetWindowRectGivesChildrenInScreenCoordinates) {
    sim::Session session;
    HWND top = TopLevel(kFramedStyle, kStart);
    HWND child = Child(top, {5, 6, 55, 46}, 1);
    HWND grandchild = Child(child, {1, 2, 11, 12}, 2);
    const LONG originX = kStart.left + kFrame, originY = kStart.top + kFrame + kCaption;
    RECT rect{};
    GetWindowRect(child, &rect);
    EXPECT_EQ(rect, (RECT{originX + 5, originY + 6, originX + 55, originY + 46})) << Describe(rect);
    GetWindowRect(grandchild, &rect);
    EXPECT_EQ(rect, (RECT{originX + 6, originY + 8, originX + 16, originY + 18})) << Describe(rect);

    // Moving the top-level window carries its children along on the screen.
    SetWindowPos(top, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    GetWindowRect(child, &rect);
    EXPECT_EQ(rect, (RECT{kFrame + 5, kFrame + kCaption + 6, kFrame + 55, kFrame + kCaption + 46})) << Describe(rect);
    EXPECT_FALSE(GetWindowRect(top, nullptr));
    DestroyWindow(top);
}

TEST(WindowsGeometryTest, AdjustWindowRectGivesTheWindowForAClientArea) {
    struct Case {
        const char* what;
        DWORD style;
        bool menu;
        RECT insets;  // left, top, right, bottom widths of the frame
    };
    const Case cases[] = {
        {"caption and thick frame", kFramedStyle, false, {kFrame, kFrame + kCaption, kFrame, kFrame}},
        {"with a menu", kFramedStyle, true, {kFrame, kFrame + kCaption + kMenu, kFrame, kFrame}},
        {"bare popup", WS_POPUP, false, {0, 0, 0, 0}},
        {"thin border", WS_POPUP | WS_BORDER, false, {sim::kThinBorder, sim::kThinBorder, sim::kThinBorder, sim::kThinBorder}},
    };
    sim::Session session;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RECT rect{20, 30, 320, 230};
        ASSERT_TRUE(AdjustWindowRect(&rect, c.style, c.menu));
        EXPECT_EQ(rect, (RECT{20 - c.insets.left, 30 - c.insets.top, 320 + c.insets.right, 230 + c.insets.bottom}))
            << Describe(rect);
        // A window made with that rectangle has the client area asked for.
        HWND window = TopLevel(c.style, rect);
        HMENU menu = c.menu ? windows_test::LoadTestMenu() : nullptr;
        if (menu) SetMenu(window, menu);
        RECT client{};
        GetClientRect(window, &client);
        EXPECT_EQ(client, (RECT{0, 0, 300, 200})) << Describe(client);
        DestroyWindow(window);
        if (menu) DestroyMenu(menu);
    }
    EXPECT_FALSE(AdjustWindowRect(nullptr, kFramedStyle, FALSE));
}

}  // namespace
