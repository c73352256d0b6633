// The main window's keys in the page: Enter and Escape reach the page and never close the
// window, Ctrl+N and Ctrl+O are swallowed, Ctrl with =, - and 0 zooms.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "mainwindow/main_window_harness.h"

namespace {

using mainwindow_test::MainWindowHarness;

bool Received(const sim::Engine& engine, int key) {
    return std::find(engine.keysReceived.begin(), engine.keysReceived.end(), key) != engine.keysReceived.end();
}

TEST(MainWindowKeysTest, EnterAndEscapeReachThePageAndTheWindowStays) {
    for (int key : {VK_RETURN, VK_ESCAPE}) {
        SCOPED_TRACE(key);
        MainWindowHarness harness;
        bool taken = true, received = false, stillOpen = false;
        harness.Then([&] {
            taken = harness.PressInPage(key);
            received = Received(harness.Engine(), key);
        });
        harness.Then([&] { stillOpen = IsWindow(harness.window.m_hWnd) && IsWindowVisible(harness.window.m_hWnd); });
        harness.Run();
        EXPECT_FALSE(taken);
        EXPECT_TRUE(received);
        EXPECT_TRUE(stillOpen) << "the key never became OK or Cancel";
    }
}

TEST(MainWindowKeysTest, CtrlNAndCtrlOAreSwallowedAndTheLettersAloneReachThePage) {
    struct Case {
        int key;
        bool control;
        bool reachesPage;
    };
    const Case cases[] = {{'N', true, false}, {'O', true, false}, {'N', false, true},
                          {'O', false, true}, {'P', true, true},  {'M', true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.control ? "Ctrl+" : "") + static_cast<char>(c.key));
        MainWindowHarness harness;
        bool taken = false, received = false;
        harness.Then([&] {
            taken = harness.PressInPage(c.key, c.control);
            received = Received(harness.Engine(), c.key);
        });
        harness.Run();
        EXPECT_EQ(received, c.reachesPage);
        EXPECT_EQ(taken, !c.reachesPage);
    }
}

TEST(MainWindowKeysTest, CtrlWithEqualsMinusAndZeroZoomsThePage) {
    struct Press {
        int key;
        bool control;
        int zoomAfter;
    };
    const Press presses[] = {
        {VK_OEM_PLUS, true, 1}, {VK_OEM_PLUS, true, 2}, {VK_OEM_MINUS, true, 1}, {VK_OEM_PLUS, false, 1},
        {'0', true, 0},         {VK_OEM_MINUS, true, -1}, {'0', false, -1},      {'0', true, 0},
    };
    MainWindowHarness harness;
    std::vector<int> zoom;
    harness.Then([&] {
        for (const Press& p : presses) {
            harness.PressInPage(p.key, p.control);
            zoom.push_back(harness.Engine().zoomLevel);
        }
    });
    harness.Run();
    std::vector<int> expected;
    for (const Press& p : presses) expected.push_back(p.zoomAfter);
    EXPECT_EQ(zoom, expected);
}

}  // namespace
