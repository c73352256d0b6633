// The text form of the bookmark list: entry text, parsing, and the add and remove edits on it.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "crt/crt.h"
#include "settings/bookmark_encoding.h"

namespace {

std::string Utf8(std::u16string_view text) { return text::ToUtf8(text); }

std::string Describe(const BookmarkList& list) {
    std::string out;
    for (const Bookmark& b : list) out += "(" + Utf8(b.name) + " | " + Utf8(b.url) + ")";
    return out;
}

TEST(BookmarkEntryTextTest, IsFiveBlanksAndTwoSeparatorsAroundTheFields) {
    EXPECT_EQ(BookmarkEntryText(u"N1", u"U1"), u" N1 \\-\\ U1 \\-\\ ");
    EXPECT_EQ(BookmarkEntryText(u"", u""), u"  \\-\\  \\-\\ ");
    EXPECT_EQ(BookmarkSearchKey(u"N1", u"U1"), u"N1 \\-\\ U1 \\-\\");
    // Nothing is escaped.
    EXPECT_EQ(BookmarkEntryText(u"a \\-\\ b", u"\"<x>\""), u" a \\-\\ b \\-\\ \"<x>\" \\-\\ ");
}

struct ParseCase {
    const char* what;
    std::u16string text;
    BookmarkList expected;
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.what; }

class BookmarkParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(BookmarkParseTest, SplitsTheTextAtItsSeparators) {
    const ParseCase& c = GetParam();
    EXPECT_EQ(Describe(ParseBookmarkList(c.text)), Describe(c.expected)) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BookmarkParseTest,
    ::testing::Values(
        ParseCase{"empty text", u"", {}},
        ParseCase{"text without a separator", u"just some text", {}},
        ParseCase{"one entry as the settings file gives it back", u"N1 \\-\\ U1 \\-\\", {{u"N1", u"U1"}}},
        ParseCase{"two entries as read back (final blank stripped)", u"N1 \\-\\ U1 \\-\\ N2 \\-\\ U2 \\-\\",
                  {{u"N1", u"U1"}, {u"N2", u"U2"}}},
        ParseCase{"as stored, with the outer blanks", u" N1 \\-\\ U1 \\-\\ N2 \\-\\ U2 \\-\\ ",
                  {{u" N1", u"U1"}, {u"N2", u"U2"}}},
        ParseCase{"blanks, quotes and brackets inside fields",
                  u"My \"big\" <page> \\-\\ https://a.test/?q=\"x y\" \\-\\",
                  {{u"My \"big\" <page>", u"https://a.test/?q=\"x y\""}}},
        ParseCase{"empty name and url", u" \\-\\  \\-\\", {{u"", u""}}},
        ParseCase{"separator at the very start gives an empty name", u"\\-\\ U \\-\\", {{u"", u"U"}}},
        ParseCase{"a separator inside a name shifts the fields",
                  u"a \\-\\ b \\-\\ U \\-\\ N2 \\-\\ U2 \\-\\", {{u"a", u"b"}, {u"U", u"N2"}, {u"U2", u""}}},
        ParseCase{"unterminated last entry keeps the text after its separator as url",
                  u"N1 \\-\\ U1 \\-\\ N2 \\-\\ https://cut.te", {{u"N1", u"U1"}, {u"N2", u"https://cut.te"}}},
        ParseCase{"unterminated last entry drops one joining blank", u"N1 \\-\\ U1  ", {{u"N1", u"U1 "}}},
        ParseCase{"unterminated right after the separator gives an empty url", u"N1 \\-\\ U1 \\-\\ N2 \\-\\",
                  {{u"N1", u"U1"}, {u"N2", u""}}},
        ParseCase{"text after the last entry without a separator is not an entry", u"N1 \\-\\ U1 \\-\\ trailing",
                  {{u"N1", u"U1"}}},
        ParseCase{"a lone separator", u"\\-\\", {{u"", u""}}},
        ParseCase{"a cut separator is plain text", u"N1 \\-", {}}));

// ---- Adding -------------------------------------------------------------------------

struct EditCase {
    const char* what;
    std::u16string before;
    std::u16string name;
    std::u16string url;
    std::optional<std::u16string> after;  // nothing: refused, nothing to write
};

void PrintTo(const EditCase& c, std::ostream* os) { *os << c.what; }

class BookmarkAddTest : public ::testing::TestWithParam<EditCase> {};

TEST_P(BookmarkAddTest, AppendsTheEntryUnlessItsKeyIsThere) {
    const EditCase& c = GetParam();
    EXPECT_EQ(AddBookmarkToText(c.before, c.name, c.url), c.after) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BookmarkAddTest,
    ::testing::Values(
        EditCase{"first entry is written with both outer blanks", u"", u"N1", u"U1", u" N1 \\-\\ U1 \\-\\ "},
        EditCase{"appended to what was read", u"N1 \\-\\ U1 \\-\\", u"N2", u"U2",
                 u"N1 \\-\\ U1 \\-\\ N2 \\-\\ U2 \\-\\ "},
        EditCase{"the same entry again is refused", u"N1 \\-\\ U1 \\-\\", u"N1", u"U1", std::nullopt},
        EditCase{"a name that is the tail of an existing name with the same url counts as present",
                 u"A B \\-\\ U \\-\\", u"B", u"U", std::nullopt},
        EditCase{"the search is case-sensitive", u"N1 \\-\\ U1 \\-\\", u"n1", u"U1",
                 u"N1 \\-\\ U1 \\-\\ n1 \\-\\ U1 \\-\\ "},
        EditCase{"same name, other url", u"N \\-\\ U1 \\-\\", u"N", u"U2", u"N \\-\\ U1 \\-\\ N \\-\\ U2 \\-\\ "},
        EditCase{"same url, other name", u"N1 \\-\\ U \\-\\", u"N2", u"U", u"N1 \\-\\ U \\-\\ N2 \\-\\ U \\-\\ "},
        EditCase{"an unterminated last entry is closed before the new one",
                 u"N1 \\-\\ U1 \\-\\ N2 \\-\\ U2", u"N3", u"U3",
                 u"N1 \\-\\ U1 \\-\\ N2 \\-\\ U2 \\-\\ N3 \\-\\ U3 \\-\\ "},
        EditCase{"an unterminated entry ending in a blank is closed without another blank", u"N2 \\-\\ U2 ",
                 u"N3", u"U3", u"N2 \\-\\ U2 \\-\\ N3 \\-\\ U3 \\-\\ "},
        EditCase{"the unterminated last entry itself counts as present", u"N1 \\-\\ U1 \\-\\ N2 \\-\\ U2", u"N2",
                 u"U2", std::nullopt}));

TEST(BookmarkAddTest, AClosedUnterminatedEntryReadsBackAsItWasShown) {
    const std::u16string cut[] = {u"N2 \\-\\ U2", u"N2 \\-\\ U2 ", u"N2 \\-\\", u"N2 \\-\\ ", u"X \\-\\ Y \\-\\ N2 \\-\\"};
    for (const std::u16string& text : cut) {
        const BookmarkList shown = ParseBookmarkList(text);
        const std::optional<std::u16string> added = AddBookmarkToText(text, u"N3", u"U3");
        ASSERT_TRUE(added) << Utf8(text);
        BookmarkList expected = shown;
        expected.push_back({u"N3", u"U3"});
        EXPECT_EQ(Describe(ParseBookmarkList(*added)), Describe(expected)) << Utf8(text);
    }
}

// ---- Removing -----------------------------------------------------------------------

class BookmarkRemoveTest : public ::testing::TestWithParam<EditCase> {};

TEST_P(BookmarkRemoveTest, DeletesTheKeyAndTheBlankAfterIt) {
    const EditCase& c = GetParam();
    EXPECT_EQ(RemoveBookmarkFromText(c.before, c.name, c.url), c.after) << c.what;
}

const std::u16string kThree = u"N1 \\-\\ U1 \\-\\ N2 \\-\\ U2 \\-\\ N3 \\-\\ U3 \\-\\";

INSTANTIATE_TEST_SUITE_P(
    Cases, BookmarkRemoveTest,
    ::testing::Values(EditCase{"first", kThree, u"N1", u"U1", u"N2 \\-\\ U2 \\-\\ N3 \\-\\ U3 \\-\\"},
                      EditCase{"middle", kThree, u"N2", u"U2", u"N1 \\-\\ U1 \\-\\ N3 \\-\\ U3 \\-\\"},
                      EditCase{"last: only what remains is deleted", kThree, u"N3", u"U3",
                               u"N1 \\-\\ U1 \\-\\ N2 \\-\\ U2 \\-\\ "},
                      EditCase{"not present", kThree, u"N4", u"U4", std::nullopt},
                      EditCase{"name present with another url", kThree, u"N1", u"U2", std::nullopt},
                      EditCase{"the only entry, as stored in the registry", u" N1 \\-\\ U1 \\-\\ ", u" N1",
                               u"U1", u""},
                      EditCase{"the unterminated last entry", u"N1 \\-\\ U1 \\-\\ N2 \\-\\ U2", u"N2", u"U2",
                               u"N1 \\-\\ U1 \\-\\ "},
                      EditCase{"the unterminated only entry", u"N2 \\-\\ U2", u"N2", u"U2", u""},
                      // After the entry between them was removed, the tail of one url and the
                      // next name read like the key of a later entry; that entry goes, not the
                      // text across the other two.
                      EditCase{"an entry whose key also runs across two others",
                               u"Portal \\-\\ https://x.example/news \\-\\ Weather \\-\\ https://w.example \\-\\ "
                               u"news \\-\\ Weather \\-\\",
                               u"news", u"Weather",
                               u"Portal \\-\\ https://x.example/news \\-\\ Weather \\-\\ https://w.example \\-\\ "},
                      // The settings file strips the blank before a first name that is empty.
                      EditCase{"a first entry with an empty name", u"\\-\\ U1 \\-\\ N2 \\-\\ U2 \\-\\", u"",
                               u"U1", u"N2 \\-\\ U2 \\-\\"}));

TEST(BookmarkRemoveTest, EachRemovalLeavesTheOthersInOrder) {
    const BookmarkList all = {{u"N1", u"U1"}, {u"N2", u"U2"}, {u"N3", u"U3"}};
    for (std::size_t removed = 0; removed < all.size(); ++removed) {
        const std::optional<std::u16string> after = RemoveBookmarkFromText(kThree, all[removed].name, all[removed].url);
        ASSERT_TRUE(after);
        BookmarkList expected = all;
        expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(removed));
        EXPECT_EQ(Describe(ParseBookmarkList(*after)), Describe(expected)) << "removed #" << removed;
    }
}

}  // namespace
