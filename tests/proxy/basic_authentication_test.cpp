// A server's request for credentials, in the main window and in a popup: the login dialog
// answers the engine, and every challenge shows the empty dialog again.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "bookmarks/main_window_run.h"

namespace {

using pelmarin_test::MainWindowRun;
using pelmarin_test::U8;

constexpr int kUserEdit = 1002, kPasswordEdit = 1003;
constexpr char16_t kPopupPage[] = u"https://start.example/popup";

struct Attempt {
    std::u16string user, password;
    int button;  // IDOK or IDCANCEL
};

struct Challenge {
    bool answered = false;
    std::u16string user, password;
    std::u16string caption, shownUser, shownPassword;
    DWORD passwordStyle = 0;
    HWND owner = nullptr;
};

// Raises one challenge per attempt in the engine that where() gives, each answered through the
// login dialog as the user does.
// seen gets one record per attempt; it must outlive the run.
void Challenges(MainWindowRun& run, std::function<sim::Engine*()> where, const std::vector<Attempt>& attempts,
                std::vector<Challenge>& seen) {
    seen.assign(attempts.size(), Challenge{});
    for (std::size_t i = 0; i < attempts.size(); ++i) {
        const Attempt attempt = attempts[i];
        // The engine waits inside the challenge while the dialog runs its loop.
        run.Then([&seen, i, where] {
            sim::Engine* engine = where();
            ASSERT_TRUE(engine);
            std::u16string user = u"unchanged", password = u"unchanged";
            seen[i].answered = engine->Authenticate(&user, &password);
            seen[i].user = user;
            seen[i].password = password;
        });
        run.Then([&run, &seen, i, attempt] {
            HWND dialog = run.Dialog();
            ASSERT_TRUE(dialog) << "no login dialog";
            seen[i].caption = pelmarin_test::WindowText(dialog);
            seen[i].shownUser = run.Text(dialog, kUserEdit);
            seen[i].shownPassword = run.Text(dialog, kPasswordEdit);
            seen[i].passwordStyle = static_cast<DWORD>(GetWindowLongW(GetDlgItem(dialog, kPasswordEdit), GWL_STYLE));
            seen[i].owner = GetWindow(dialog, GW_OWNER);
            run.Type(dialog, kUserEdit, attempt.user);
            run.Type(dialog, kPasswordEdit, attempt.password);
            run.Click(dialog, attempt.button);
        });
    }
}

void ExpectDialogShownEmpty(const Challenge& challenge) {
    EXPECT_EQ(U8(challenge.caption), "Basic Authentication");
    EXPECT_EQ(U8(challenge.shownUser), "") << "nothing is remembered between challenges";
    EXPECT_EQ(U8(challenge.shownPassword), "");
    EXPECT_TRUE(challenge.passwordStyle & ES_PASSWORD) << "the password is masked";
}

TEST(BasicAuthenticationTest, TheTypedCredentialsReachTheEngineOfEitherWindow) {
    struct Case {
        const char* what;
        Attempt attempt;
        bool answered;
    };
    const Case cases[] = {
        {"both given", {u"alice", u"s3cret pass ", IDOK}, true},
        {"no password", {u"alice", u"", IDOK}, false},
        {"no user name", {u"", u"s3cret", IDOK}, false},
        {"cancelled", {u"alice", u"s3cret", IDCANCEL}, false},
    };
    for (bool popup : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (popup ? " (popup)" : " (main window)"));
            MainWindowRun run;
            sim::Page page;
            page.title = u"Popup";
            run.desktop.AddPage(kPopupPage, page);
            sim::Engine* popupEngine = nullptr;
            if (popup)
                run.Then([&] {
                    popupEngine = static_cast<sim::Engine*>(run.Engine().OpenWindow(kPopupPage, {}));
                });
            auto where = [&]() -> sim::Engine* { return popup ? popupEngine : &run.Engine(); };
            std::vector<Challenge> seen;
            Challenges(run, where, {c.attempt}, seen);
            // The page closes its popup, which then goes with its last reference.
            if (popup) run.Then([&] { popupEngine->CloseWindow(); });
            run.Run();
            ASSERT_EQ(seen.size(), 1u);
            ExpectDialogShownEmpty(seen[0]);
            EXPECT_EQ(seen[0].answered, c.answered);
            if (c.answered) {
                EXPECT_EQ(U8(seen[0].user), U8(c.attempt.user));
                EXPECT_EQ(U8(seen[0].password), U8(c.attempt.password)) << "exactly as typed";
            }
            EXPECT_TRUE(run.desktop.messageBoxes.empty());
        }
    }
}

TEST(BasicAuthenticationTest, ASecondChallengeAfterWrongCredentialsAsksAgainFromEmpty) {
    MainWindowRun run;
    HWND mainWindow = nullptr;
    run.Then([&] { mainWindow = run.window.m_hWnd; });
    std::vector<Challenge> seen;
    Challenges(run, [&] { return &run.Engine(); }, {{u"alice", u"wrong", IDOK}, {u"alice", u"right", IDOK}}, seen);
    run.Run();
    ASSERT_EQ(seen.size(), 2u);
    for (const Challenge& challenge : seen) {
        ExpectDialogShownEmpty(challenge);
        EXPECT_TRUE(challenge.answered);
        EXPECT_EQ(challenge.owner, mainWindow) << "owned by the main window";
    }
    EXPECT_EQ(U8(seen[0].password), "wrong");
    EXPECT_EQ(U8(seen[1].password), "right");
}

}  // namespace
