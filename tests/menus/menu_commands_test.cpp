// The main window's menu: its items as the resource defines them, and what each of the main
// window's own commands does.
#include <gtest/gtest.h>

#include <optional>

#include "crt/crt.h"
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif
#include "paths.h"
#include "popups/main_window_fixture.h"
#include "win32/resource_registry.h"
#include "win32/version_block.h"

namespace {

using namespace mainwindow;
using testing_support::MainWindowTest;

// ---- The menu -----------------------------------------------------------------------------

struct Item {
    UINT id;  // 0 for a separator or a submenu
    const char16_t* text;
};
struct BarEntry {
    const char16_t* text;
    UINT id;                  // a command on the bar itself
    std::vector<Item> items;  // a submenu's items
};

std::u16string ItemText(HMENU menu, UINT position) {
    char16_t text[256] = {};
    ::GetMenuStringW(menu, position, text, static_cast<int>(std::size(text)), MF_BYPOSITION);
    return text;
}

TEST_F(MainWindowTest, MenuBarHoldsEveryCommandInOrderWithRefreshOnTheBar) {
    const std::vector<BarEntry> expected{
        {u"File", 0,
         {{32774, u"Internet options"}, {32771, u"Add to bookmarks"}, {32772, u"Bookmarks..."},
          {32775, u"Proxy settings..."}, {32792, u"Clear cache"}, {0, u""}, {32776, u"Logging"},
          {32777, u"Open logs folder"}, {0, u""}, {32773, u"Exit"}}},
        {u"View", 0, {{32791, u"Actual Size\tCtrl+0"}, {32789, u"Zoom In\tCtrl+="}, {32790, u"Zoom Out\tCtrl+-"}}},
        {u"Refresh", 32778, {}},
        {u"Compatibility", 0,
         {{32779, u"IE11 (11001)"}, {32780, u"IE11 (11000)"}, {32781, u"IE10 (10001)"}, {32782, u"IE10 (10000)"},
          {32783, u"IE9   (9999)"}, {32784, u"IE9   (9000)"}, {32785, u"IE8   (8888)"}, {32786, u"IE8   (8000)"},
          {32787, u"IE7   (7777)"}, {32788, u"IE7   (7000)"}}},
        {u"Help", 0, {{32793, u"About"}}},
    };
    OpenMainWindow();
    HMENU bar = Menu();
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(::GetMenuItemCount(bar), static_cast<int>(expected.size()));
    for (UINT i = 0; i < expected.size(); ++i) {
        const BarEntry& entry = expected[i];
        EXPECT_EQ(ItemText(bar, i), entry.text);
        HMENU sub = ::GetSubMenu(bar, static_cast<int>(i));
        if (entry.items.empty()) {
            EXPECT_EQ(sub, nullptr) << "a command on the bar";
            EXPECT_EQ(::GetMenuItemID(bar, static_cast<int>(i)), entry.id);
            continue;
        }
        ASSERT_NE(sub, nullptr);
        ASSERT_EQ(::GetMenuItemCount(sub), static_cast<int>(entry.items.size())) << text::ToUtf8(ItemText(bar, i));
        for (UINT j = 0; j < entry.items.size(); ++j) {
            UINT state = ::GetMenuState(sub, j, MF_BYPOSITION);
            if (entry.items[j].id == 0) {
                EXPECT_NE(state & MF_SEPARATOR, 0u) << "item " << j;
                continue;
            }
            EXPECT_EQ(::GetMenuItemID(sub, static_cast<int>(j)), entry.items[j].id);
            EXPECT_EQ(ItemText(sub, j), entry.items[j].text);
            EXPECT_EQ(state & (MF_CHECKED | MF_GRAYED), 0u) << "nothing starts checked or disabled";
        }
    }
}

// ---- About --------------------------------------------------------------------------------

VersionInfoContent VersionWith(std::optional<std::u16string> productVersion) {
    VersionInfoContent content;
    std::vector<VersionString> strings{{u"CompanyName", u"Quendris"}, {u"InternalName", u"Pelmarin.exe"},
                                       {u"ProductName", u"Pelmarin"}};
    if (productVersion) strings.push_back({u"ProductVersion", *productVersion});
    content.stringTables = {VersionStringTable{u"040904B0", strings}};
    content.translations = std::vector<VersionTranslation>{{0x0409, 0x04B0}};
    return content;
}

TEST_F(MainWindowTest, AboutShowsProductNameAndVersionOnTwoLines) {
    struct Case {
        const char* name;
        std::optional<std::optional<std::u16string>> productVersion;  // outer nullopt: the program's own resource
        std::u16string text;
    };
    const Case cases[] = {
        {"the program's resource", std::nullopt, u"Pelmarin\r\nVersion: 1.1.1"},
        {"an empty product version", std::optional<std::u16string>(u""), u"Pelmarin\r\nVersion: "},
        {"no product version", std::optional<std::u16string>(std::nullopt), u"Pelmarin\r\nVersion: "},
    };
    OpenMainWindow();
    for (const Case& c : cases) {
        std::optional<ScopedResource> replaced;
        if (c.productVersion) replaced.emplace(RT_VERSION, 1, 0x0409, BuildVersionInfoBlock(VersionWith(*c.productVersion)));
        desktop.messageBoxes.clear();
        Choose(ID_ABOUT);
        ASSERT_EQ(desktop.messageBoxes.size(), 1u) << c.name;
        const sim::MessageBoxShown& box = desktop.messageBoxes[0];
        EXPECT_EQ(box.text, c.text) << c.name;
        EXPECT_EQ(box.caption, u"Application Info");
        EXPECT_EQ(box.owner, Main());
        EXPECT_EQ(box.type, MB_ICONINFORMATION | MB_OK);
    }
}

// ---- Exit ---------------------------------------------------------------------------------

// Exit does no clean-up by design: what the window holds is still allocated when the process
// ends, which a leak checker would report as the child's failure.
class LeakCheckPause {
public:
#if defined(__SANITIZE_ADDRESS__)
    LeakCheckPause() { __lsan_disable(); }
    ~LeakCheckPause() { __lsan_enable(); }
#endif
};

TEST_F(MainWindowTest, ExitEndsTheProcessAtOnceWithStatusZeroAndTheLogComplete) {
    [[maybe_unused]] LeakCheckPause noLeakCheck;
    OpenMainWindow();
    EXPECT_EXIT(
        {
            Choose(ID_LOGGING);
            LogMessage(LogLevel::Info, nullptr, "the last message before Exit\n");
            Choose(ID_EXIT);
            std::fputs("still running after Exit\n", stderr);
            std::abort();
        },
        ::testing::ExitedWithCode(0), "^$");
    std::string log = LogText();
    ASSERT_FALSE(log.empty()) << "the child's log file";
    const std::string last = "the last message before Exit\r\n";
    ASSERT_GE(log.size(), last.size());
    EXPECT_EQ(log.substr(log.size() - last.size()), last) << "nothing is written for the exit itself";
}

// ---- Refresh, Internet options ---------------------------------------------------------------

TEST_F(MainWindowTest, RefreshReloadsThroughTheBrowserAndNothingElse) {
    OpenMainWindow();
    sim::Engine* engine = MainEngine();
    auto navigations = engine->navigations;
    UINT marker = window->m_nHtmlResID;
    HWND edit = window->addressBox.GetEditCtrlHandle();
    char16_t before[256] = {};
    ::GetWindowTextW(edit, before, 256);
    Choose(ID_REFRESH);
    desktop.RunPending();
    EXPECT_EQ(engine->refreshes, 1);
    EXPECT_EQ(engine->navigations, navigations);
    char16_t after[256] = {};
    ::GetWindowTextW(edit, after, 256);
    EXPECT_EQ(std::u16string(after), std::u16string(before));
    EXPECT_EQ(window->m_nHtmlResID, marker);
}

TEST_F(MainWindowTest, InternetOptionsRunsTheControlPanelEntryForTheMainWindow) {
    OpenMainWindow();
    Choose(ID_INTERNET_OPTIONS);
    EXPECT_EQ(desktop.internetOptionsShown, (std::vector<HWND>{Main()}));
    EXPECT_TRUE(desktop.messageBoxes.empty());
}

// ---- Zoom ---------------------------------------------------------------------------------

TEST_F(MainWindowTest, ZoomCommandsSendControlChordsThatZoomThePageWithTheFocusInIt) {
    struct Case {
        UINT command;
        int key;
        int levelAfter;  // from two steps in
    };
    const Case cases[] = {
        {ID_ZOOM_IN, VK_OEM_PLUS, 3},
        {ID_ZOOM_OUT, VK_OEM_MINUS, 1},
        {ID_ACTUAL_SIZE, 0x30, 0},
    };
    OpenMainWindow();
    for (const Case& c : cases) {
        MainEngine()->zoomLevel = 2;
        ::SetFocus(window->m_wndBrowser.m_hWnd);
        desktop.synthesizedKeys.clear();
        Choose(c.command);
        EXPECT_EQ(desktop.synthesizedKeys, (std::vector<std::pair<int, bool>>{
                                               {VK_CONTROL, false}, {c.key, false}, {VK_CONTROL, true}, {c.key, true}}))
            << c.command;
        // The keys arrive after the handler has returned.
        EXPECT_EQ(MainEngine()->zoomLevel, 2);
        desktop.RunPending();
        EXPECT_EQ(MainEngine()->zoomLevel, c.levelAfter) << c.command;
        EXPECT_FALSE(::GetAsyncKeyState(VK_CONTROL) & 0x8000) << "Ctrl is up again";
    }
}

TEST_F(MainWindowTest, ZoomWithTheFocusInTheAddressBoxLeavesThePage) {
    OpenMainWindow();
    ::SetFocus(window->addressBox.GetEditCtrlHandle());
    Choose(ID_ZOOM_IN);
    desktop.RunPending();
    EXPECT_EQ(MainEngine()->zoomLevel, 0);
}

// ---- Logging ------------------------------------------------------------------------------

TEST_F(MainWindowTest, LoggingTogglesItsCheckMarkAndEachSwitchOnStartsAFileWithItsHeader) {
    OpenMainWindow();
    ASSERT_FALSE(Checked(ID_LOGGING));
    const bool expectedOn[] = {true, false, true, false};
    for (bool on : expectedOn) {
        Choose(ID_LOGGING);
        EXPECT_EQ(Checked(ID_LOGGING), on);
        EXPECT_EQ(IsLoggingEnabled(), on);
    }
    std::string log = LogText();
    EXPECT_EQ(Occurrences(log, "CompanyName : Quendris"), 2u) << log;
    EXPECT_EQ(Occurrences(log, "Starting..."), 2u);
}

TEST_F(MainWindowTest, LoggingFollowsTheCheckMarkNotTheSwitch) {
    OpenMainWindow();
    SetLoggingEnabled(true);  // on, but the mark says off: the command switches it on again
    Choose(ID_LOGGING);
    EXPECT_TRUE(Checked(ID_LOGGING));
    EXPECT_TRUE(IsLoggingEnabled());
}

TEST_F(MainWindowTest, LoggingWithoutAMenuDoesNothing) {
    OpenMainWindow();
    HMENU menu = Menu();
    ::SetMenu(Main(), nullptr);
    Choose(ID_LOGGING);
    EXPECT_FALSE(IsLoggingEnabled());
    ::SetMenu(Main(), menu);
}

// ---- Clear cache, logs folder -------------------------------------------------------------

TEST_F(MainWindowTest, ClearCacheClearsCookiesThenCacheWithoutReloading) {
    OpenMainWindow();
    Choose(ID_CLEAR_CACHE);
    EXPECT_EQ(desktop.websiteDataCleared,
              (std::vector<unsigned>{platform::kWebsiteCookies, platform::kWebsiteCache}));
    EXPECT_TRUE(desktop.opened.empty()) << "nothing is handed to another application";
    desktop.RunPending();
    EXPECT_EQ(MainEngine()->refreshes, 0);
    EXPECT_EQ(MainEngine()->navigations.size(), 1u);
}

TEST_F(MainWindowTest, OpenLogsFolderCreatesTheChainWithLoggingOffAndOpensIt) {
    OpenMainWindow();
    ASSERT_FALSE(std::filesystem::exists(logs()));
    Choose(ID_OPEN_LOGS_FOLDER);
    EXPECT_TRUE(std::filesystem::is_directory(logs()));
    EXPECT_FALSE(IsLoggingEnabled());
    EXPECT_EQ(desktop.opened, (std::vector<std::u16string>{FromHostPath(logs().string())}));
    EXPECT_TRUE(LogFiles().empty());
}

}  // namespace
