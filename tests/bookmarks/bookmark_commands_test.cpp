// The bookmark commands of the main window on the simulated desktop: "Add to bookmarks", the
// bookmarks page and its Edit and Delete buttons, with the settings file checked byte for byte.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "bookmarks/main_window_run.h"

namespace {

using pelmarin_test::BookmarksPageAddress;
using pelmarin_test::kStartUrl;
using pelmarin_test::MainWindowRun;
using pelmarin_test::U8;

constexpr UINT kAddToBookmarks = 32771;
constexpr UINT kShowBookmarks = 32772;
constexpr int kNameEdit = 1006;
constexpr int kUrlEdit = 1005;
constexpr UINT kExclamationOk = MB_OK | MB_ICONEXCLAMATION;

std::string File(const std::string& bookmarksValue) { return "[Features]\r\nBookmarks=" + bookmarksValue + "\r\n"; }

// One row of the page as the engine parsed it: the link and the two buttons' attributes.
struct Row {
    std::u16string linkText, href;
    std::u16string editName, editUrl, deleteName, deleteUrl;
    std::size_t editIndex = 0, deleteIndex = 0;
};

std::u16string Attribute(const platform::ElementData& element, const std::u16string& name) {
    for (const auto& [attribute, value] : element.attributes)
        if (attribute == name) return value;
    return u"<absent>";
}

std::vector<Row> Rows(const sim::Engine& engine) {
    std::vector<Row> rows;
    auto elements = engine.BodyElements();
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const platform::ElementData& e = elements[i];
        if (e.tagName == u"A") {
            rows.push_back({e.innerText.value_or(u"<none>"), Attribute(e, u"href"), {}, {}, {}, {}, 0, 0});
        } else if (e.tagName == u"BUTTON" && !rows.empty() && e.id == u"CCVD_Edit") {
            rows.back().editName = Attribute(e, u"name");
            rows.back().editUrl = Attribute(e, u"url");
            rows.back().editIndex = i;
        } else if (e.tagName == u"BUTTON" && !rows.empty() && e.id == u"CCVD_Delete") {
            rows.back().deleteName = Attribute(e, u"name");
            rows.back().deleteUrl = Attribute(e, u"url");
            rows.back().deleteIndex = i;
        }
    }
    return rows;
}

// "name | url" per row, from the link; the buttons must carry the same two texts.
std::string Describe(const std::vector<Row>& rows) {
    std::string out;
    for (const Row& r : rows) {
        out += "(" + U8(r.linkText) + " | " + U8(r.href) + ")";
        if (r.editName != r.linkText || r.deleteName != r.linkText || r.editUrl != r.href || r.deleteUrl != r.href)
            out += "[buttons: " + U8(r.editName) + " | " + U8(r.editUrl) + " / " + U8(r.deleteName) + " | " +
                   U8(r.deleteUrl) + "]";
    }
    return out;
}

std::vector<std::u16string> MessageTexts(const sim::Desktop& desktop) {
    std::vector<std::u16string> texts;
    for (const auto& box : desktop.messageBoxes) texts.push_back(box.text);
    return texts;
}

const std::string kThree = File("N1 \\-\\ U1 \\-\\ N2 \\-\\ U2 \\-\\ N3 \\-\\ U3 \\-\\ ");

TEST(BookmarkCommandsTest, AddToBookmarksProposesThePageAndStoresTheAnswer) {
    struct Case {
        const char* what;
        std::optional<std::string> before;
        std::optional<std::u16string> typedName, typedUrl;  // absent: the proposal is kept
        bool cancel;
        std::vector<std::u16string> messages;
        std::string after;  // empty: the file as it was
    };
    const std::string start = "Start \\-\\ https://start.example/ \\-\\";
    const Case cases[] = {
        {"first bookmark: exactly the entry text", std::nullopt, {}, {}, false, {},
         File(" " + start + " ")},
        {"appended to what was read", File("N1 \\-\\ U1 \\-\\ "), {}, {}, false, {},
         File("N1 \\-\\ U1 \\-\\ " + start + " ")},
        {"already stored", File(start + " "), {}, {}, false, {u"Bookmark already exist"}, ""},
        {"the tail of a longer name with the same url counts as stored", File("A " + start + " "), {}, {}, false,
         {u"Bookmark already exist"}, ""},
        {"same name, another url", File(start + " "), {}, u"https://other.example/", false, {},
         File(start + " Start \\-\\ https://other.example/ \\-\\ ")},
        {"cancelled", File("N1 \\-\\ U1 \\-\\ "), u"Changed", {}, true, {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MainWindowRun run(c.before ? &*c.before : nullptr);
        std::u16string caption, proposedName, proposedUrl;
        run.Then([&] { run.desktop.ChooseMenu(run.window.m_hWnd, kAddToBookmarks); });
        run.Then([&] {
            HWND dialog = run.Dialog();
            ASSERT_TRUE(dialog) << "no bookmark dialog";
            caption = pelmarin_test::WindowText(dialog);
            proposedName = run.Text(dialog, kNameEdit);
            proposedUrl = run.Text(dialog, kUrlEdit);
            if (c.typedName) run.Type(dialog, kNameEdit, *c.typedName);
            if (c.typedUrl) run.Type(dialog, kUrlEdit, *c.typedUrl);
            run.Click(dialog, c.cancel ? IDCANCEL : IDOK);
        });
        std::size_t loads = 0;
        run.Then([&] { loads = run.Engine().navigations.size(); });
        run.Run();
        EXPECT_EQ(U8(caption), "Add bookmark?");
        EXPECT_EQ(U8(proposedName), "Start") << "the page's title";
        EXPECT_EQ(U8(proposedUrl), U8(kStartUrl)) << "the page's address";
        EXPECT_EQ(MessageTexts(run.desktop), c.messages);
        for (const auto& box : run.desktop.messageBoxes) {
            EXPECT_EQ(box.type, kExclamationOk);
            EXPECT_EQ(U8(box.caption), "Pelmarin");
        }
        EXPECT_EQ(run.SettingsBytes(), c.after.empty() ? c.before.value_or("<no file>") : c.after);
        EXPECT_EQ(loads, 1u) << "a web page is not replaced by the bookmarks page";
    }
}

TEST(BookmarkCommandsTest, TheBookmarksPageListsTheBookmarksInOrderOnce) {
    struct Case {
        const char* what;
        std::optional<std::string> settings;
        std::string rows;
    };
    const Case cases[] = {
        {"no settings file", std::nullopt, ""},
        {"an empty list", File(""), ""},
        {"three, in stored order", kThree, "(N1 | U1)(N2 | U2)(N3 | U3)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MainWindowRun run(c.settings ? &*c.settings : nullptr);
        std::string rows;
        std::vector<std::u16string> inserted;
        UINT marker = 0;
        std::u16string address, title;
        run.Then([&] { run.desktop.ChooseMenu(run.window.m_hWnd, kShowBookmarks); });
        run.Then([&] {
            rows = Describe(Rows(run.Engine()));
            inserted = run.Engine().inserted;
            marker = run.window.m_nHtmlResID;
            address = run.Engine().Url();
            title = run.Engine().Title();
        });
        run.Run();
        EXPECT_EQ(rows, c.rows);
        ASSERT_EQ(inserted.size(), 1u) << "filled once";
        EXPECT_EQ(inserted[0].rfind(u"<table style=\"width:100%\">", 0), 0u);
        EXPECT_EQ(marker, 104u) << "filled";
        EXPECT_EQ(U8(address), U8(BookmarksPageAddress()));
        EXPECT_EQ(U8(title), "Bookmarks");
        EXPECT_TRUE(run.desktop.messageBoxes.empty());
    }
}

TEST(BookmarkCommandsTest, ARowHasTheLinkAndBothButtonsInTheirTemplate) {
    const std::string settings = File("Name \\-\\ https://a.example/ \\-\\ ");
    MainWindowRun run(&settings);
    std::vector<std::u16string> inserted;
    run.Then([&] { run.desktop.ChooseMenu(run.window.m_hWnd, kShowBookmarks); });
    run.Then([&] { inserted = run.Engine().inserted; });
    run.Run();
    ASSERT_EQ(inserted.size(), 1u);
    EXPECT_EQ(U8(inserted[0]),
              "<table style=\"width:100%\"><tr><td>\t\t\t<a href=\"https://a.example/\">Name</a>&nbsp;\t\t\t"
              "<button id=\"CCVD_Edit\"   type=\"button\" url=\"https://a.example/\" name=\"Name\">Edit</button>&nbsp;"
              "\t\t\t<button id=\"CCVD_Delete\" type=\"button\" url=\"https://a.example/\" name=\"Name\">Delete</button>"
              "\t\t\t</td></tr></table>");
}

TEST(BookmarkCommandsTest, DeleteAsksAndRemovesThatRowOnly) {
    struct Case {
        const char* what;
        std::size_t row;
        int answer;
        std::string after;
        std::string rowsAfter;
    };
    const Case cases[] = {
        {"the first", 0, IDOK, File("N2 \\-\\ U2 \\-\\ N3 \\-\\ U3 \\-\\"), "(N2 | U2)(N3 | U3)"},
        {"a middle one", 1, IDOK, File("N1 \\-\\ U1 \\-\\ N3 \\-\\ U3 \\-\\"), "(N1 | U1)(N3 | U3)"},
        {"the last", 2, IDOK, File("N1 \\-\\ U1 \\-\\ N2 \\-\\ U2 \\-\\ "), "(N1 | U1)(N2 | U2)"},
        {"cancelled", 1, IDCANCEL, kThree, "(N1 | U1)(N2 | U2)(N3 | U3)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MainWindowRun run(&kThree);
        std::string rowsAfter;
        std::size_t loadsBefore = 0;
        run.Then([&] { run.desktop.ChooseMenu(run.window.m_hWnd, kShowBookmarks); });
        run.Then([&] {
            auto rows = Rows(run.Engine());
            ASSERT_EQ(rows.size(), 3u);
            loadsBefore = run.Engine().navigations.size();
            run.desktop.AnswerMessageBox(c.answer);
            run.Engine().ClickElement(rows[c.row].deleteIndex);
        });
        std::size_t loadsAfter = 0;
        run.Then([&] {
            rowsAfter = Describe(Rows(run.Engine()));
            loadsAfter = run.Engine().navigations.size();
        });
        run.Run();
        ASSERT_EQ(run.desktop.messageBoxes.size(), 1u);
        EXPECT_EQ(U8(run.desktop.messageBoxes[0].text), "Delete bookmark?");
        EXPECT_EQ(run.desktop.messageBoxes[0].type, MB_OKCANCEL | MB_ICONEXCLAMATION);
        EXPECT_EQ(run.SettingsBytes(), c.after);
        EXPECT_EQ(rowsAfter, c.rowsAfter);
        EXPECT_EQ(loadsAfter, loadsBefore + (c.answer == IDOK ? 1u : 0u))
            << "the page is reloaded after a delete only";
    }
}

TEST(BookmarkCommandsTest, EditMovesTheEntryLastAndRefusesAnotherStoredEntry) {
    struct Case {
        const char* what;
        std::size_t row;
        std::u16string name, url;  // typed into the first dialog
        std::string after;
        std::string rowsAfter;
        std::vector<std::u16string> messages;
        int dialogs;  // how many edit dialogs opened
    };
    const Case cases[] = {
        {"renamed: moves to the end", 0, u"Renamed", u"U1",
         File("N2 \\-\\ U2 \\-\\ N3 \\-\\ U3 \\-\\ Renamed \\-\\ U1 \\-\\"), "(N2 | U2)(N3 | U3)(Renamed | U1)", {}, 1},
        {"nothing changed: nothing written", 1, u"N2", u"U2", kThree, "(N1 | U1)(N2 | U2)(N3 | U3)", {}, 1},
        {"made equal to another entry: refused, asked again", 0, u"N3", u"U3", kThree, "(N1 | U1)(N2 | U2)(N3 | U3)",
         {u"Bookmark already exist"}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MainWindowRun run(&kThree);
        std::vector<std::pair<std::u16string, std::u16string>> proposed;
        std::vector<std::u16string> captions;
        std::string rowsAfter;
        std::size_t loadsBefore = 0;
        auto answerDialog = [&](bool first) {
            HWND dialog = run.Dialog();
            ASSERT_TRUE(dialog) << "no edit dialog";
            captions.push_back(pelmarin_test::WindowText(dialog));
            proposed.emplace_back(run.Text(dialog, kNameEdit), run.Text(dialog, kUrlEdit));
            if (first) {
                run.Type(dialog, kNameEdit, c.name);
                run.Type(dialog, kUrlEdit, c.url);
                run.Click(dialog, IDOK);
            } else {
                run.Click(dialog, IDCANCEL);
            }
        };
        run.Then([&] { run.desktop.ChooseMenu(run.window.m_hWnd, kShowBookmarks); });
        run.Then([&] {
            loadsBefore = run.Engine().navigations.size();
            run.Engine().ClickElement(Rows(run.Engine()).at(c.row).editIndex);
        });
        run.Then([&] { answerDialog(true); });
        if (c.dialogs == 2) run.Then([&] { answerDialog(false); });
        std::size_t loadsAfter = 0;
        run.Then([&] {
            rowsAfter = Describe(Rows(run.Engine()));
            loadsAfter = run.Engine().navigations.size();
        });
        run.Run();
        ASSERT_EQ(static_cast<int>(proposed.size()), c.dialogs);
        const std::u16string oldName = c.row == 0 ? u"N1" : u"N2", oldUrl = c.row == 0 ? u"U1" : u"U2";
        for (std::size_t i = 0; i < proposed.size(); ++i) {
            EXPECT_EQ(U8(captions[i]), "Edit bookmark");
            EXPECT_EQ(U8(proposed[i].first), U8(oldName)) << "dialog " << i << " proposes the old name";
            EXPECT_EQ(U8(proposed[i].second), U8(oldUrl)) << "dialog " << i << " proposes the old url";
        }
        EXPECT_EQ(MessageTexts(run.desktop), c.messages);
        EXPECT_EQ(run.SettingsBytes(), c.after);
        EXPECT_EQ(rowsAfter, c.rowsAfter);
        EXPECT_EQ(loadsAfter, loadsBefore + (c.after != kThree ? 1u : 0u))
            << "reloaded only when the list changed";
    }
}

// Page titles are any text: in the page they stay text, and the buttons still find their entry.
TEST(BookmarkCommandsTest, NamesAndUrlsWithMarkupStayTextAndEditAndDeleteFindThem) {
    struct Case {
        const char* what;
        std::u16string name, url;
    };
    const Case cases[] = {
        {"a title with markup and script", u"<img src=x onerror=alert(1)>", u"https://a.example/"},
        {"quotes", u"Say \"hi\" & 'bye'", u"https://a.example/?q=\"x\""},
        {"an ampersand that forms a reference", u"Tom &amp; Jerry &#60;", u"https://a.example/?a=1&amp;b=2"},
        {"an attribute breakout in the url", u"Link", u"https://a.example/\" onclick=\"alert(1)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Added through the dialog from a page with this title and address.
        for (bool remove : {true, false}) {
            SCOPED_TRACE(remove ? "Delete" : "Edit");
            MainWindowRun run;
            sim::Page page;
            page.title = c.name;
            run.desktop.AddPage(c.url, page);
            run.window.startUrl = c.url.c_str();
            std::vector<Row> rows;
            std::vector<platform::ElementData> elements;
            std::string rowsAfter;
            run.Then([&] { run.desktop.ChooseMenu(run.window.m_hWnd, kAddToBookmarks); });
            run.Then([&] { run.Click(run.Dialog(), IDOK); });
            run.Then([&] { run.desktop.ChooseMenu(run.window.m_hWnd, kShowBookmarks); });
            run.Then([&] {
                rows = Rows(run.Engine());
                elements = run.Engine().BodyElements();
                ASSERT_EQ(rows.size(), 1u);
                if (remove) {
                    run.Engine().ClickElement(rows[0].deleteIndex);
                } else {
                    run.Engine().ClickElement(rows[0].editIndex);
                }
            });
            if (!remove)
                run.Then([&] {
                    run.Type(run.Dialog(), kNameEdit, u"Edited");
                    run.Click(run.Dialog(), IDOK);
                });
            run.Then([&] { rowsAfter = Describe(Rows(run.Engine())); });
            run.Run();
            ASSERT_EQ(rows.size(), 1u);
            EXPECT_EQ(U8(rows[0].linkText), U8(c.name)) << "the name is the link's text";
            EXPECT_EQ(U8(rows[0].href), U8(c.url));
            EXPECT_EQ(Describe(rows), "(" + U8(c.name) + " | " + U8(c.url) + ")") << "the buttons carry the entry";
            std::vector<std::u16string> tags;
            for (const auto& e : elements) tags.push_back(e.tagName);
            const std::vector<std::u16string> expected = {u"TABLE", u"TR", u"TD", u"A", u"BUTTON", u"BUTTON"};
            EXPECT_EQ(tags, expected) << "no element of the title's own";
            for (const auto& e : elements)
                for (const auto& [attribute, value] : e.attributes)
                    EXPECT_NE(U8(attribute).rfind("on", 0), 0u) << "an event attribute: " << U8(attribute);
            if (remove) {
                EXPECT_EQ(rowsAfter, "");
                EXPECT_EQ(run.SettingsBytes(), File("")) << "the entry is gone";
            } else {
                EXPECT_EQ(rowsAfter, "(Edited | " + U8(c.url) + ")");
            }
            EXPECT_TRUE(run.desktop.messageBoxes.empty() || remove);
        }
    }
}

TEST(BookmarkCommandsTest, AddingWhileTheBookmarksPageIsShownReloadsIt) {
    MainWindowRun run;
    std::u16string proposedName, proposedUrl;
    std::string rowsAfter;
    run.Then([&] { run.desktop.ChooseMenu(run.window.m_hWnd, kShowBookmarks); });
    run.Then([&] { run.desktop.ChooseMenu(run.window.m_hWnd, kAddToBookmarks); });
    run.Then([&] {
        proposedName = run.Text(run.Dialog(), kNameEdit);
        proposedUrl = run.Text(run.Dialog(), kUrlEdit);
        run.Click(run.Dialog(), IDOK);
    });
    std::size_t fills = 0;
    run.Then([&] {
        rowsAfter = Describe(Rows(run.Engine()));
        fills = run.Engine().inserted.size();
    });
    run.Run();
    EXPECT_EQ(U8(proposedName), "Bookmarks");
    EXPECT_EQ(U8(proposedUrl), U8(BookmarksPageAddress()));
    EXPECT_EQ(rowsAfter, "(Bookmarks | " + U8(BookmarksPageAddress()) + ")");
    EXPECT_EQ(fills, 2u) << "filled again after the reload";
}

TEST(BookmarkCommandsTest, AWebPageTitledBookmarksIsReplacedByTheBookmarksPage) {
    MainWindowRun run;
    sim::Page page;
    page.title = u"Bookmarks";
    run.desktop.AddPage(u"https://named.example/", page);
    run.window.startUrl = u"https://named.example/";
    std::u16string address;
    std::string rows;
    run.Then([&] { run.desktop.ChooseMenu(run.window.m_hWnd, kAddToBookmarks); });
    run.Then([&] { run.Click(run.Dialog(), IDOK); });
    run.Then([&] {
        address = run.Engine().Url();
        rows = Describe(Rows(run.Engine()));
    });
    run.Run();
    EXPECT_EQ(U8(address), U8(BookmarksPageAddress()));
    EXPECT_EQ(rows, "(Bookmarks | https://named.example/)");
}

TEST(BookmarkCommandsTest, TheBookmarksPageLinkOpensItsBookmarkAndRefreshDoesNotFillAgain) {
    const std::string settings = File("Start \\-\\ https://start.example/ \\-\\ ");
    MainWindowRun run(&settings);
    std::u16string afterLink;
    std::size_t insertedAfterRefresh = 0;
    run.Then([&] { run.desktop.ChooseMenu(run.window.m_hWnd, kShowBookmarks); });
    run.Then([&] {
        // The page's own markup arrives once; Refresh shows the page without its table.
        run.Engine().Refresh();
    });
    run.Then([&] {
        insertedAfterRefresh = run.Engine().inserted.size();
        auto elements = run.Engine().BodyElements();
        for (std::size_t i = 0; i < elements.size(); ++i)
            if (elements[i].tagName == u"A") run.Engine().ClickElement(i);
    });
    run.Then([&] { afterLink = run.Engine().Url(); });
    run.Run();
    EXPECT_EQ(insertedAfterRefresh, 1u);
    EXPECT_EQ(U8(afterLink), U8(kStartUrl));
    EXPECT_TRUE(run.desktop.messageBoxes.empty()) << "a res: page and its https link ask nothing";
}

TEST(BookmarkCommandsTest, OnlyTheExactElementIdsReachTheHandlers) {
    struct Case {
        const char* what;
        std::u16string body;
        bool editDialog;
        bool deleteQuestion;
    };
    const Case cases[] = {
        {"ids in another case", u"<button id=\"ccvd_edit\" name=\"a\" url=\"b\">x</button>", false, false},
        {"an id with a blank", u"<button id=\"CCVD_Edit \" name=\"a\" url=\"b\">x</button>", false, false},
        {"the Edit id", u"<button id=\"CCVD_Edit\" name=\"a\" url=\"b\">x</button>", true, false},
        {"the Delete id on a span", u"<span id=\"CCVD_Delete\" name=\"a\" url=\"b\">x</span>", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MainWindowRun run;
        sim::Page page;
        page.title = u"Buttons";
        page.body = c.body;
        run.desktop.AddPage(u"https://buttons.example/", page);
        run.window.startUrl = u"https://buttons.example/";
        bool dialogShown = false;
        run.Then([&] {
            run.desktop.AnswerMessageBox(IDCANCEL);
            run.Engine().ClickElement(0);
        });
        run.Then([&] {
            if (HWND dialog = run.Dialog()) {
                dialogShown = true;
                run.Click(dialog, IDCANCEL);
            }
        });
        run.Run();
        EXPECT_EQ(dialogShown, c.editDialog);
        EXPECT_EQ(run.desktop.messageBoxes.size(), c.deleteQuestion ? 1u : 0u);
    }
}

}  // namespace
