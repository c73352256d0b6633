// The "Proxy settings..." command: the dialog's states and clicks, what OK saves and applies
// at once, and what Cancel leaves alone.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "bookmarks/main_window_run.h"

namespace {

using pelmarin_test::MainWindowRun;
using pelmarin_test::U8;

constexpr UINT kProxySettings = 32775;
constexpr int kServer = 1009, kSystem = 1010, kCustom = 1011, kHttp = 1012, kSocks = 1014;

std::string Settings(const std::string& mode, const std::string& proxy) {
    return "[Features]\r\nProxyMode=" + mode + "\r\nProxy=" + proxy + "\r\n";
}

// The dialog as the user sees it: "S" or "C" for the selected first group, then the two
// protocol buttons ("h"/"H", "s"/"S": upper case selected), then "+" or "-" for the custom
// controls being enabled, then the box's text.
std::string State(HWND dialog) {
    auto checked = [&](int id) { return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED; };
    std::string state;
    state += checked(kSystem) ? (checked(kCustom) ? "SC" : "S") : (checked(kCustom) ? "C" : "-");
    state += " ";
    state += checked(kHttp) ? "H" : "h";
    state += checked(kSocks) ? "S" : "s";
    const bool server = IsWindowEnabled(GetDlgItem(dialog, kServer)) != FALSE;
    const bool http = IsWindowEnabled(GetDlgItem(dialog, kHttp)) != FALSE;
    const bool socks = IsWindowEnabled(GetDlgItem(dialog, kSocks)) != FALSE;
    state += server && http && socks ? " +" : !server && !http && !socks ? " -" : " ?";
    state += " " + U8(pelmarin_test::WindowText(GetDlgItem(dialog, kServer)));
    return state;
}

TEST(ProxyDialogTest, StatesFollowTheStoredModeAndTheClicks) {
    struct Case {
        const char* what;
        std::string mode;
        std::vector<int> clicks;
        std::vector<std::string> states;  // when opened, then after each click
    };
    const Case cases[] = {
        {"mode 0, then Custom", "0", {kCustom}, {"S hs - 10.0.0.1:3128", "C Hs + 10.0.0.1:3128"}},
        {"mode 1", "1", {}, {"C Hs + 10.0.0.1:3128"}},
        {"mode 2", "2", {}, {"C hS + 10.0.0.1:3128"}},
        {"mode 7 is a custom HTTP proxy", "7", {}, {"C Hs + 10.0.0.1:3128"}},
        {"mode 2: HTTP picked, system, custom: SOCKS again",
         "2",
         {kHttp, kSystem, kCustom},
         {"C hS + 10.0.0.1:3128", "C Hs + 10.0.0.1:3128", "S Hs - 10.0.0.1:3128", "C hS + 10.0.0.1:3128"}},
        {"mode 1: SOCKS picked, system, custom: HTTP again",
         "1",
         {kSocks, kSystem, kCustom},
         {"C Hs + 10.0.0.1:3128", "C hS + 10.0.0.1:3128", "S hS - 10.0.0.1:3128", "C Hs + 10.0.0.1:3128"}},
        {"Custom in the custom state changes nothing",
         "1",
         {kSocks, kCustom},
         {"C Hs + 10.0.0.1:3128", "C hS + 10.0.0.1:3128", "C hS + 10.0.0.1:3128"}},
        {"disabled protocol buttons take no clicks", "0", {kSocks}, {"S hs - 10.0.0.1:3128", "S hs - 10.0.0.1:3128"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string settings = Settings(c.mode, "10.0.0.1:3128");
        MainWindowRun run(&settings);
        std::vector<std::string> states;
        std::u16string caption;
        run.Then([&] { run.desktop.ChooseMenu(run.window.m_hWnd, kProxySettings); });
        run.Then([&] {
            HWND dialog = run.Dialog();
            ASSERT_TRUE(dialog);
            caption = pelmarin_test::WindowText(dialog);
            states.push_back(State(dialog));
        });
        for (int id : c.clicks) {
            run.Then([&, id] {
                run.Click(run.Dialog(), id);
            });
            run.Then([&] { states.push_back(State(run.Dialog())); });
        }
        run.Then([&] { run.Click(run.Dialog(), IDCANCEL); });
        run.Run();
        EXPECT_EQ(U8(caption), "Proxy settings");
        EXPECT_EQ(states, c.states);
        EXPECT_EQ(run.SettingsBytes(), settings) << "Cancel saves nothing";
        EXPECT_EQ(run.desktop.proxySettings.size(), 1u) << "only the start applied a proxy";
    }
}

TEST(ProxyDialogTest, OkSavesTheChoiceAndAppliesItAtOnce) {
    struct Case {
        const char* what;
        std::string before;
        std::vector<int> clicks;
        std::optional<std::u16string> typed;
        std::string after;
        platform::ProxySettings applied;
    };
    platform::ProxySettings direct;
    auto through = [](platform::ProxyServer::Protocol protocol, std::u16string host, unsigned port) {
        platform::ProxySettings s;
        s.direct = false;
        s.anyScheme = platform::ProxyServer{protocol, std::move(host), port};
        s.bypass = {u"127.0.0.1"};
        return s;
    };
    using P = platform::ProxyServer::Protocol;
    const Case cases[] = {
        {"system settings with an empty box", Settings("1", "10.0.0.1:3128"), {kSystem}, u"", Settings("0", ""),
         direct},
        {"system settings keep the custom text", Settings("2", "10.0.0.1:3128"), {kSystem}, {},
         Settings("0", "10.0.0.1:3128"), direct},
        {"custom SOCKS: the text without a prefix", Settings("0", ""), {kCustom, kSocks}, u"192.168.1.5:1080",
         Settings("2", "192.168.1.5:1080"), through(P::Socks, u"192.168.1.5", 1080)},
        {"custom HTTP", Settings("0", ""), {kCustom}, u"proxy.example:8080", Settings("1", "proxy.example:8080"),
         through(P::Http, u"proxy.example", 8080)},
        {"mode 7 saved as 1", Settings("7", "proxy.example:8080"), {}, {}, Settings("1", "proxy.example:8080"),
         through(P::Http, u"proxy.example", 8080)},
        {"beyond ASCII", Settings("1", "old.example:1"), {}, u"pr\u00f8xy.example:8080", Settings("1", "pr\xC3\xB8xy.example:8080"),
         through(P::Http, u"pr\u00f8xy.example", 8080)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MainWindowRun run(&c.before);
        run.Then([&] { run.desktop.ChooseMenu(run.window.m_hWnd, kProxySettings); });
        for (int id : c.clicks) run.Then([&, id] { run.Click(run.Dialog(), id); });
        run.Then([&] {
            if (c.typed) run.Type(run.Dialog(), kServer, *c.typed);
            run.Click(run.Dialog(), IDOK);
        });
        run.Run();
        EXPECT_TRUE(run.desktop.messageBoxes.empty());
        EXPECT_EQ(run.SettingsBytes(), c.after);
        ASSERT_EQ(run.desktop.proxySettings.size(), 2u) << "applied at the start and after OK";
        EXPECT_TRUE(run.desktop.proxySettings.back() == c.applied);
    }
}

TEST(ProxyDialogTest, CustomWithoutAServerIsRefusedAndTheDialogStays) {
    const std::string settings = Settings("0", "");
    MainWindowRun run(&settings);
    bool stillOpen = false;
    run.Then([&] { run.desktop.ChooseMenu(run.window.m_hWnd, kProxySettings); });
    run.Then([&] { run.Click(run.Dialog(), kCustom); });
    run.Then([&] { run.Click(run.Dialog(), IDOK); });
    run.Then([&] {
        stillOpen = run.Dialog() != nullptr;
        if (stillOpen) run.Click(run.Dialog(), IDCANCEL);
    });
    run.Run();
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(run.desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(U8(run.desktop.messageBoxes[0].text), "Please enter custom proxy ip or choose 'use system settings'");
    EXPECT_EQ(run.desktop.messageBoxes[0].type, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(U8(run.desktop.messageBoxes[0].caption), "Pelmarin");
    EXPECT_EQ(run.SettingsBytes(), settings);
    EXPECT_EQ(run.desktop.proxySettings.size(), 1u);
}

}  // namespace
