// The bookmark dialog on its own: what it refuses, what it returns, and how it closes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bookmarks/bookmark_dlg.h"
#include "bookmarks/main_window_run.h"

namespace {

using pelmarin_test::U8;
using pelmarin_test::WindowText;

constexpr int kNameEdit = 1006;
constexpr int kUrlEdit = 1005;

enum class Close { OkButton, EnterKey, CancelButton, EscapeKey, CloseBox };

struct Outcome {
    INT_PTR result = 0;
    std::u16string caption, shownName, shownUrl;
    std::u16string name, url;
    std::vector<std::u16string> messages;
    std::vector<HWND> messageOwners;
    HWND dialog = nullptr;
};

// Opens the dialog with name and url, types each attempt in turn and closes it with how;
// attempts after the dialog has closed are not typed.
Outcome RunDialog(const std::u16string& name, const std::u16string& url,
                  const std::vector<std::pair<std::u16string, std::u16string>>& attempts, Close how) {
    pelmarin_test::SharedApp();
    sim::Session session;
    sim::Desktop& desktop = session.desktop;
    Outcome out;
    CBookmarkDlg dialog(u"Edit bookmark", name, url, nullptr);
    bool first = true;
    for (const auto& [typedName, typedUrl] : attempts) {
        desktop.Then([&, typedName, typedUrl] {
            if (!dialog.m_hWnd) return;
            HWND window = dialog.m_hWnd;
            if (first) {
                out.dialog = window;
                out.caption = WindowText(window);
                out.shownName = WindowText(GetDlgItem(window, kNameEdit));
                out.shownUrl = WindowText(GetDlgItem(window, kUrlEdit));
                first = false;
            }
            desktop.Type(GetDlgItem(window, kNameEdit), typedName);
            desktop.Type(GetDlgItem(window, kUrlEdit), typedUrl);
            switch (how) {
            case Close::OkButton: desktop.ClickButton(GetDlgItem(window, IDOK)); break;
            case Close::EnterKey:
                SetFocus(GetDlgItem(window, kUrlEdit));
                desktop.PressKey(VK_RETURN);
                break;
            case Close::CancelButton: desktop.ClickButton(GetDlgItem(window, IDCANCEL)); break;
            case Close::EscapeKey:
                SetFocus(GetDlgItem(window, kNameEdit));
                desktop.PressKey(VK_ESCAPE);
                break;
            case Close::CloseBox: desktop.ClickClose(window); break;
            }
        });
    }
    out.result = dialog.DoModal();
    out.name = dialog.name;
    out.url = dialog.url;
    for (const auto& box : desktop.messageBoxes) {
        out.messages.push_back(box.text);
        out.messageOwners.push_back(box.owner);
        EXPECT_EQ(box.type, MB_OK | MB_ICONEXCLAMATION);
        EXPECT_EQ(U8(box.caption), "Pelmarin") << "the application's title";
    }
    return out;
}

TEST(BookmarkDialogTest, RefusesEmptyTextsAndTheSeparatorAndKeepsTheTypedText) {
    using Attempts = std::vector<std::pair<std::u16string, std::u16string>>;
    struct Case {
        const char* what;
        Attempts attempts;
        std::vector<std::u16string> messages;
        std::u16string name, url;  // returned after IDOK
    };
    const Case cases[] = {
        {"both given", {{u"Name", u"https://a.example/"}}, {}, u"Name", u"https://a.example/"},
        {"blanks only are text", {{u"  ", u" "}}, {}, u"  ", u" "},
        {"no name, then both",
         {{u"", u"https://a.example/"}, {u"Name", u"https://a.example/"}},
         {u"Please enter bookmark name"},
         u"Name",
         u"https://a.example/"},
        {"neither: only the name is asked for, then the url",
         {{u"", u""}, {u"Name", u""}, {u"Name", u"u"}},
         {u"Please enter bookmark name", u"Please enter bookmark url"},
         u"Name",
         u"u"},
        {"the list separator in the name",
         {{u"a \\-\\ b", u"https://a.example/"}, {u"a - b", u"https://a.example/"}},
         {u"Bookmark name and url must not contain \\-\\"},
         u"a - b",
         u"https://a.example/"},
        {"the list separator in the url",
         {{u"a", u"https://a.example/\\-\\"}, {u"a", u"https://a.example/"}},
         {u"Bookmark name and url must not contain \\-\\"},
         u"a",
         u"https://a.example/"},
        {"quotes and angle brackets are text", {{u"<b>\"x\"</b>", u"https://a.example/?a=<1>"}}, {},
         u"<b>\"x\"</b>", u"https://a.example/?a=<1>"},
    };
    for (Close how : {Close::OkButton, Close::EnterKey}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (how == Close::OkButton ? " (OK button)" : " (Enter)"));
            Outcome out = RunDialog(u"Old", u"https://old.example/", c.attempts, how);
            EXPECT_EQ(out.result, IDOK);
            EXPECT_EQ(out.messages, c.messages);
            for (HWND owner : out.messageOwners) EXPECT_EQ(owner, out.dialog) << "owned by the dialog";
            EXPECT_EQ(U8(out.name), U8(c.name));
            EXPECT_EQ(U8(out.url), U8(c.url));
        }
    }
}

TEST(BookmarkDialogTest, ShowsItsCaptionAndTextsAndCancelsWithoutAQuestion) {
    for (Close how : {Close::CancelButton, Close::EscapeKey, Close::CloseBox}) {
        SCOPED_TRACE(static_cast<int>(how));
        Outcome out = RunDialog(u"Old name", u"https://old.example/", {{u"", u""}}, how);
        EXPECT_EQ(out.result, IDCANCEL);
        EXPECT_TRUE(out.messages.empty()) << "empty boxes are not refused on the way out";
        EXPECT_EQ(U8(out.caption), "Edit bookmark") << "the template's own title is replaced";
        EXPECT_EQ(U8(out.shownName), "Old name");
        EXPECT_EQ(U8(out.shownUrl), "https://old.example/");
    }
}

}  // namespace
