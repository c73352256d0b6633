// The main window's navigation policy: which addresses leave for another application, the
// question before they do, frames, and new windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crt/crt.h"
#include "mainwindow/main_window_harness.h"

namespace {

using mainwindow_test::kStartUrl;
using mainwindow_test::MainWindowHarness;

constexpr char16_t kQuestion[] = u"Do you want to allow this website to open an application on your computer?";

TEST(NavigationPolicyTest, IsExternalProtocolKnowsTheInternalSchemesExactly) {
    struct Case {
        std::u16string url;
        bool external;
    };
    const Case cases[] = {
        {u"javascript:void(0)", false},
        {u"about:blank", false},
        {u"res://Pelmarin.exe/142", false},
        {u"file:///C:/page.html", false},
        {u"ftp://files.example/", false},
        {u"http://example.com/", false},
        {u"https://example.com/", false},
        {u"C:\\pages\\x.html", false},  // a drive letter, whatever follows
        {u"z:rest", false},
        {u"mailto:someone@example.com", true},
        {u"ms-settings:display", true},
        {u"HTTPS://example.com/", true},  // compared exactly: capitals are not internal
        {u"Http://example.com/", true},
        {u"http", true},  // no colon: the scheme is empty
        {u"www.example.com", true},
        {u"://no-scheme", true},
        {u"x", true},
        {u"", true},
    };
    for (const Case& c : cases) EXPECT_EQ(IsExternalProtocol(c.url), c.external) << text::ToUtf8(c.url);
}

TEST(NavigationPolicyTest, OnlyForeignSchemesAskBeforeLeaving) {
    struct Case {
        std::u16string url;
        bool asks;
    };
    const Case cases[] = {
        {u"https://other.example/", false}, {u"http://other.example/", false}, {u"res://Pelmarin.exe/142", false},
        {u"about:blank", false},           {u"mailto:someone@example.com", true}, {u"ms-settings:display", true},
        {u"HTTPS://other.example/", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(text::ToUtf8(c.url));
        MainWindowHarness harness;
        harness.desktop.AnswerMessageBox(IDCANCEL);
        std::u16string loaded;
        harness.Then([&] { harness.Engine().ClickLink(c.url); });
        harness.Then([&] { loaded = harness.Engine().Url(); });
        harness.Run();
        EXPECT_EQ(harness.desktop.messageBoxes.size(), c.asks ? 1u : 0u);
        EXPECT_EQ(loaded, c.asks ? std::u16string(kStartUrl) : c.url);
        EXPECT_TRUE(harness.desktop.opened.empty());
    }
}

TEST(NavigationPolicyTest, TheQuestionDecidesWhetherTheDesktopOpensTheAddress) {
    const std::u16string mail = u"mailto:someone@example.com";
    for (int answer : {IDCANCEL, IDOK}) {
        SCOPED_TRACE(answer == IDOK ? "OK" : "Cancel");
        MainWindowHarness harness;
        harness.desktop.AnswerMessageBox(answer);
        std::u16string loaded, shown;
        harness.Then([&] { harness.Engine().ClickLink(mail); });
        harness.Then([&] {
            loaded = harness.Engine().Url();
            shown = harness.EditText();
        });
        harness.Run();
        ASSERT_EQ(harness.desktop.messageBoxes.size(), 1u);
        const sim::MessageBoxShown& box = harness.desktop.messageBoxes[0];
        EXPECT_EQ(box.text, kQuestion);
        EXPECT_EQ(box.caption, u"Message");
        EXPECT_EQ(box.type, MB_OKCANCEL | MB_ICONQUESTION);
        EXPECT_EQ(box.owner, nullptr);
        EXPECT_EQ(harness.desktop.opened, answer == IDOK ? std::vector<std::u16string>{mail} : std::vector<std::u16string>{});
        EXPECT_EQ(loaded, kStartUrl) << "the browser stays on its page either way";
        EXPECT_EQ(shown, kStartUrl);
    }
}

TEST(NavigationPolicyTest, FramesObeyTheRuleToo) {
    const std::u16string frame = u"ms-settings:privacy";
    for (int answer : {IDCANCEL, IDOK}) {
        SCOPED_TRACE(answer == IDOK ? "OK" : "Cancel");
        MainWindowHarness harness;
        sim::Page page;
        page.title = u"With a frame";
        page.frames = {frame};
        harness.desktop.AddPage(u"https://frames.example/", page);
        harness.desktop.AnswerMessageBox(answer);
        std::u16string loaded;
        harness.Then([&] { harness.Engine().ClickLink(u"https://frames.example/"); });
        harness.Then([&] { loaded = harness.Engine().Url(); });
        harness.Run();
        ASSERT_EQ(harness.desktop.messageBoxes.size(), 1u);
        EXPECT_EQ(harness.desktop.messageBoxes[0].text, kQuestion);
        EXPECT_EQ(harness.desktop.opened, answer == IDOK ? std::vector<std::u16string>{frame} : std::vector<std::u16string>{});
        EXPECT_EQ(loaded, u"https://frames.example/") << "the page itself loads";
    }
}

TEST(NavigationPolicyTest, NewWindow2IsCancelled) {
    MainWindowHarness harness;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    IDispatch* newWindow = nullptr;
    harness.Then([&] {
        VARIANT args[2];  // in reverse order: Cancel, then the new window
        args[0].vt = VT_BOOL | VT_BYREF;
        args[0].pboolVal = &cancel;
        args[1].vt = VT_DISPATCH | VT_BYREF;
        args[1].ppdispVal = &newWindow;
        DISPPARAMS params;
        params.rgvarg = args;
        params.cArgs = 2;
        EXPECT_TRUE(harness.window.OnEvent(102, DISPID_NEWWINDOW2, &params));
    });
    harness.Run();
    EXPECT_EQ(cancel, VARIANT_TRUE);
    EXPECT_EQ(newWindow, nullptr);
}

TEST(NavigationPolicyTest, AScriptsNewWindowIsAPopupOwnedByTheMainWindow) {
    MainWindowHarness harness;
    bool opened = false;
    std::vector<HWND> before, after;
    HWND owner = nullptr;
    harness.Then([&] {
        before = harness.desktop.TopLevelWindows();
        platform::WindowFeatures features;
        features.width = 400;
        features.height = 300;
        opened = harness.Engine().OpenWindow(u"https://popup.example/", features) != nullptr;
    });
    harness.Then([&] {
        after = harness.desktop.TopLevelWindows();
        if (after.size() > before.size()) {
            owner = GetWindow(after.back(), GW_OWNER);
            harness.desktop.ClickClose(after.back());  // the user closes the popup
        }
    });
    bool popupClosed = false;
    harness.Then([&] { popupClosed = !after.empty() && !IsWindow(after.back()); });
    harness.Run();
    EXPECT_TRUE(popupClosed);
    EXPECT_TRUE(opened);
    ASSERT_EQ(after.size(), before.size() + 1);
    EXPECT_EQ(owner, before.front());
    EXPECT_TRUE(harness.desktop.messageBoxes.empty());
}

}  // namespace
