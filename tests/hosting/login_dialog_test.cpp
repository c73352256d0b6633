// Basic authentication: the login dialog, run through the site's IAuthenticate service.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "crt/crt.h"
#include "hosting/site_access.h"

namespace {

using mainwindow_test::MainWindowHarness;

enum class Answer { PostOk, ClickOk, PostCancel, ClickCancel, CloseBox };

struct LoginSeen {
    bool found = false;
    std::u16string caption;
    HWND owner = nullptr;
    bool ownerEnabled = true;
    std::u16string initialUser, initialPassword;
};

// Types into the open login dialog and answers it as the user would.
void AnswerLogin(sim::Desktop& desktop, const std::u16string& user, const std::u16string& password, Answer answer,
                 LoginSeen& seen) {
    auto windows = desktop.TopLevelWindows();
    if (windows.size() < 2) return;
    HWND login = windows.back();
    seen.found = true;
    char16_t text[256] = {};
    GetWindowTextW(login, text, 256);
    seen.caption = text;
    seen.owner = GetWindow(login, GW_OWNER);
    seen.ownerEnabled = IsWindowEnabled(seen.owner);
    HWND userEdit = GetDlgItem(login, 1002), passwordEdit = GetDlgItem(login, 1003);
    GetWindowTextW(userEdit, text, 256);
    seen.initialUser = text;
    GetWindowTextW(passwordEdit, text, 256);
    seen.initialPassword = text;
    desktop.Type(userEdit, user);
    desktop.Type(passwordEdit, password);
    switch (answer) {
    case Answer::PostOk: PostMessageW(login, WM_COMMAND, IDOK, 0); break;
    case Answer::ClickOk: platform::input::ButtonClicked(GetDlgItem(login, IDOK)); break;
    case Answer::PostCancel: PostMessageW(login, WM_COMMAND, IDCANCEL, 0); break;
    case Answer::ClickCancel: platform::input::ButtonClicked(GetDlgItem(login, IDCANCEL)); break;
    case Answer::CloseBox: desktop.ClickClose(login); break;
    }
}

TEST(LoginDialogTest, TheDialogsAnswerBecomesTheCredentials) {
    struct Case {
        const char* what;
        std::u16string user, password;
        Answer answer;
        bool accepted;
    };
    const Case cases[] = {
        {"OK with both", u"alice", u"s3cret", Answer::PostOk, true},
        {"the OK button, spaces kept", u" bob ", u"pass word ", Answer::ClickOk, true},
        {"text beyond ASCII", u"J\u00fcrgen", u"p\u00e4ss \u20ac", Answer::PostOk, true},
        {"no password", u"alice", u"", Answer::PostOk, false},
        {"no user name", u"", u"s3cret", Answer::ClickOk, false},
        {"Cancel", u"alice", u"s3cret", Answer::PostCancel, false},
        {"the Cancel button", u"alice", u"s3cret", Answer::ClickCancel, false},
        {"the close box", u"alice", u"s3cret", Answer::CloseBox, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MainWindowHarness harness;
        HRESULT hr = S_FALSE;
        HWND window = nullptr;
        std::optional<std::u16string> user, password;
        bool userNull = false, passwordNull = false;
        bool ownerEnabledAfter = false;
        HWND mainWindow = nullptr;
        LoginSeen seen;
        harness.Then([&] {
            mainWindow = harness.window.m_hWnd;
            auto authenticate = hosting_test::SiteService<IAuthenticate>(harness, IID_IAuthenticate);
            ASSERT_TRUE(authenticate);
            window = harness.window.m_hWnd;  // must be cleared
            char16_t* userOut = reinterpret_cast<char16_t*>(&hr);
            char16_t* passwordOut = reinterpret_cast<char16_t*>(&hr);
            hr = authenticate->Authenticate(&window, &userOut, &passwordOut);  // runs the dialog
            userNull = userOut == nullptr;
            passwordNull = passwordOut == nullptr;
            if (userOut) user = userOut;
            if (passwordOut) password = passwordOut;
            CoTaskMemFree(userOut);
            CoTaskMemFree(passwordOut);
            ownerEnabledAfter = IsWindowEnabled(harness.window.m_hWnd);
        });
        harness.Then([&] { AnswerLogin(harness.desktop, c.user, c.password, c.answer, seen); });
        harness.Run();
        ASSERT_TRUE(seen.found) << "the login dialog opened";
        EXPECT_EQ(seen.caption, u"Basic Authentication");
        EXPECT_EQ(seen.owner, mainWindow) << "owned by the main window";
        EXPECT_FALSE(seen.ownerEnabled) << "modal over the main window";
        EXPECT_EQ(seen.initialUser, u"");
        EXPECT_EQ(seen.initialPassword, u"");
        EXPECT_TRUE(ownerEnabledAfter);
        EXPECT_EQ(window, nullptr) << "the browser never shows a prompt of its own";
        if (c.accepted) {
            EXPECT_EQ(hr, S_OK);
            EXPECT_EQ(user, c.user);
            EXPECT_EQ(password, c.password);
        } else {
            EXPECT_EQ(hr, E_FAIL);
            EXPECT_TRUE(userNull);
            EXPECT_TRUE(passwordNull);
        }
    }
}

TEST(LoginDialogTest, AServerChallengeInThePageGetsTheTypedCredentials) {
    MainWindowHarness harness;
    bool answered = false;
    std::u16string user, password;
    HWND owner = nullptr;
    LoginSeen seen;
    harness.Then([&] {
        owner = harness.window.m_hWnd;
        answered = harness.Engine().Authenticate(&user, &password);
    });
    harness.Then([&] { AnswerLogin(harness.desktop, u"carol", u"pw with spaces", Answer::ClickOk, seen); });
    harness.Run();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.owner, owner) << "owned by the main window";
    EXPECT_TRUE(answered);
    EXPECT_EQ(user, u"carol");
    EXPECT_EQ(password, u"pw with spaces");
}

}  // namespace
