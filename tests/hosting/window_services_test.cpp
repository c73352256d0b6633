// A page's window.moveTo, moveBy, resizeTo and resizeBy act on the whole main window.
#include <gtest/gtest.h>

#include <string>

#include "hosting/site_access.h"

namespace {

using mainwindow_test::Describe;
using mainwindow_test::MainWindowHarness;
using mainwindow_test::RectInParentClient;
using platform::ScriptWindowOp;

TEST(WindowServicesTest, ScriptMovesAndResizesActOnTheWholeWindow) {
    struct Case {
        const char* what;
        ScriptWindowOp op;
        LONG a, b;
        LONG dLeft, dTop;       // change of the window's position
        LONG width, height;     // its size afterwards; 0: unchanged
    };
    const Case cases[] = {
        {"resizeTo(800, 600)", ScriptWindowOp::ResizeTo, 800, 600, 0, 0, 800, 600},
        {"moveBy(10, -5)", ScriptWindowOp::MoveBy, 10, -5, 10, -5, 0, 0},
        {"resizeBy(-100, 50)", ScriptWindowOp::ResizeBy, -100, 50, 0, 0, -100, 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MainWindowHarness harness;
        RECT before{}, after{}, client{}, browser{};
        bool done = false;
        harness.Then([&] {
            GetWindowRect(harness.window.m_hWnd, &before);
            done = harness.Engine().ScriptWindowOp(c.op, c.a, c.b);
            GetWindowRect(harness.window.m_hWnd, &after);
            GetClientRect(harness.window.m_hWnd, &client);
            browser = RectInParentClient(GetDlgItem(harness.window.m_hWnd, 102));
        });
        harness.Run();
        EXPECT_TRUE(done);
        const LONG width = before.right - before.left, height = before.bottom - before.top;
        LONG expectedWidth = width, expectedHeight = height;
        if (c.op == ScriptWindowOp::ResizeTo) expectedWidth = c.width, expectedHeight = c.height;
        if (c.op == ScriptWindowOp::ResizeBy) expectedWidth = width + c.width, expectedHeight = height + c.height;
        const RECT expected{before.left + c.dLeft, before.top + c.dTop, before.left + c.dLeft + expectedWidth,
                            before.top + c.dTop + expectedHeight};
        EXPECT_EQ(after, expected) << "from " << Describe(before) << " to " << Describe(after);
        EXPECT_EQ(browser, (RECT{0, 27, client.right, client.bottom})) << "the layout follows " << Describe(browser);
    }
}

TEST(WindowServicesTest, MoveToPlacesTheWindowInScreenPixels) {
    MainWindowHarness harness;
    RECT before{}, after{};
    harness.Then([&] {
        GetWindowRect(harness.window.m_hWnd, &before);
        auto services = hosting_test::SiteService<IHTMLOMWindowServices>(harness, IID_IHTMLOMWindowServices);
        ASSERT_TRUE(services);
        EXPECT_EQ(services->moveTo(-20, 30), S_OK);
        GetWindowRect(harness.window.m_hWnd, &after);
    });
    harness.Run();
    EXPECT_EQ(after, (RECT{-20, 30, -20 + before.right - before.left, 30 + before.bottom - before.top}))
        << Describe(after);
}

}  // namespace
