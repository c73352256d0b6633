// The settings object over a real settings file (and the registry fallback).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "afx/app.h"
#include "crt/crt.h"
#include "paths.h"
#include "settings/app_config.h"
#include "support/scoped_test_folder.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadBytes;
using testing_support::ScopedEnvironment;
using testing_support::ScopedTestFolder;
using testing_support::WriteBytes;

std::string Describe(const BookmarkList& list) {
    std::string out;
    for (const Bookmark& b : list) out += "(" + text::ToUtf8(b.name) + " | " + text::ToUtf8(b.url) + ")";
    return out;
}

class AppConfigTest : public ::testing::Test {
protected:
    AppConfigTest() { app_.SetProfileName(FromHostPath(iniFile().string()).c_str()); }

    fs::path iniFile() const { return folder_.path() / "AppSettings.ini"; }
    std::string FileBytes() const { return ReadBytes(iniFile()); }
    ino_t FileIdentity() const {
        struct stat info {};
        return ::stat(iniFile().c_str(), &info) == 0 ? info.st_ino : 0;
    }

    ScopedTestFolder folder_;
    ScopedEnvironment xdg_{"XDG_CONFIG_HOME", (folder_.path() / "config").string()};
    CWinApp app_{u"Pelmarin"};
    CCorvaleAppConfig config_{&app_};
};

TEST_F(AppConfigTest, AbsentValuesGiveTheirDefaults) {
    EXPECT_EQ(config_.GetBookmarksText(), u"");
    EXPECT_TRUE(config_.GetBookmarks().empty());
    EXPECT_EQ(config_.GetProxy(), u"");
    EXPECT_EQ(config_.app->GetProfileIntW(kFeaturesSection, kProxyModeKey, 0), 0u);
}

TEST_F(AppConfigTest, TheWorkedExample) {
    ASSERT_TRUE(config_.AddBookmark(u"N1", u"U1"));
    EXPECT_EQ(FileBytes(), "[Features]\r\nBookmarks= N1 \\-\\ U1 \\-\\ \r\n") << "exactly the entry text";
    EXPECT_EQ(config_.GetBookmarksText(), u"N1 \\-\\ U1 \\-\\");

    ASSERT_TRUE(config_.AddBookmark(u"N2", u"U2"));
    EXPECT_EQ(FileBytes(), "[Features]\r\nBookmarks=N1 \\-\\ U1 \\-\\ N2 \\-\\ U2 \\-\\ \r\n");
    EXPECT_EQ(config_.GetBookmarksText(), u"N1 \\-\\ U1 \\-\\ N2 \\-\\ U2 \\-\\");
    EXPECT_EQ(Describe(config_.GetBookmarks()), "(N1 | U1)(N2 | U2)");
}

TEST_F(AppConfigTest, AnEntryAlreadyPresentIsRefusedAndNothingIsWritten) {
    ASSERT_TRUE(config_.AddBookmark(u"A B", u"U"));
    const std::string before = FileBytes();
    const ino_t identity = FileIdentity();
    EXPECT_FALSE(config_.AddBookmark(u"A B", u"U")) << "the same entry";
    EXPECT_FALSE(config_.AddBookmark(u"B", u"U")) << "the tail of an existing name with the same url";
    EXPECT_EQ(FileBytes(), before);
    EXPECT_EQ(FileIdentity(), identity) << "the file was not even replaced";

    EXPECT_TRUE(config_.AddBookmark(u"A B", u"V")) << "same name, other url";
    EXPECT_TRUE(config_.AddBookmark(u"C", u"U")) << "same url, other name";
    EXPECT_EQ(Describe(config_.GetBookmarks()), "(A B | U)(A B | V)(C | U)");
}

TEST_F(AppConfigTest, RemovingFirstMiddleOrLastLeavesTheOthersInOrder) {
    const BookmarkList all = {{u"N1", u"U1"}, {u"N2", u"U2"}, {u"N3", u"U3"}};
    for (std::size_t removed = 0; removed < all.size(); ++removed) {
        fs::remove(iniFile());
        for (const Bookmark& b : all) ASSERT_TRUE(config_.AddBookmark(b.name, b.url));
        ASSERT_TRUE(config_.RemoveBookmark(all[removed].name, all[removed].url)) << removed;
        BookmarkList expected = all;
        expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(removed));
        EXPECT_EQ(Describe(config_.GetBookmarks()), Describe(expected)) << "removed #" << removed;
        // The list stays usable: the removed entry can be added again, at the end.
        ASSERT_TRUE(config_.AddBookmark(all[removed].name, all[removed].url));
        expected.push_back(all[removed]);
        EXPECT_EQ(Describe(config_.GetBookmarks()), Describe(expected)) << "re-added #" << removed;
    }
}

TEST_F(AppConfigTest, RemovingAnEntryNotPresentReturnsFalseAndWritesNothing) {
    ASSERT_TRUE(config_.AddBookmark(u"N1", u"U1"));
    const std::string before = FileBytes();
    const ino_t identity = FileIdentity();
    EXPECT_FALSE(config_.RemoveBookmark(u"N2", u"U2"));
    EXPECT_FALSE(config_.RemoveBookmark(u"N1", u"U2"));
    EXPECT_EQ(FileBytes(), before);
    EXPECT_EQ(FileIdentity(), identity);
}

TEST_F(AppConfigTest, BlanksQuotesAndBracketsInsideFieldsComeBackUnchanged) {
    const BookmarkList stored = {
        {u"first", u"u"},
        {u"My \"big\" <page> & [more]", u"https://a.test/?q=\"x y\"&r=<1>"},
        {u"  padded name  ", u"  padded url  "},
        {u"\u00C9t\u00E9 \u4E2D\u6587", u"https://b\u00FC.test/\U0001F600"},
    };
    for (const Bookmark& b : stored) ASSERT_TRUE(config_.AddBookmark(b.name, b.url));
    EXPECT_EQ(Describe(config_.GetBookmarks()), Describe(stored));
}

TEST_F(AppConfigTest, LeadingBlanksOfTheFirstNameAreLostInTheFileButTheEntryStaysRemovable) {
    ASSERT_TRUE(config_.AddBookmark(u"  lead", u"u"));
    EXPECT_EQ(Describe(config_.GetBookmarks()), "(lead | u)");
    ASSERT_TRUE(config_.RemoveBookmark(u"lead", u"u")) << "the key is built from the name as read";
    EXPECT_TRUE(config_.GetBookmarks().empty());
}

TEST_F(AppConfigTest, InTheRegistryFallbackEveryNameKeepsItsLeadingBlank) {
    app_.SetRegistryKey(u"Local AppWizard-Generated Applications");
    ASSERT_TRUE(config_.AddBookmark(u"N1", u"U1"));
    ASSERT_TRUE(config_.AddBookmark(u"N2", u"U2"));
    EXPECT_EQ(config_.GetBookmarksText(), u" N1 \\-\\ U1 \\-\\  N2 \\-\\ U2 \\-\\ ");
    const BookmarkList read = config_.GetBookmarks();
    EXPECT_EQ(Describe(read), "( N1 | U1)( N2 | U2)");
    ASSERT_TRUE(config_.RemoveBookmark(read[0].name, read[0].url));
    EXPECT_EQ(Describe(config_.GetBookmarks()), "( N2 | U2)");
    ASSERT_TRUE(config_.RemoveBookmark(u" N2", u"U2"));
    EXPECT_TRUE(config_.GetBookmarks().empty());
    EXPECT_FALSE(fs::exists(iniFile()));
}

TEST_F(AppConfigTest, ListsLongerThan4095CharactersAreNeitherCutNorShortened) {
    BookmarkList added;
    for (int i = 0; i < 200; ++i) {
        const std::string n = std::to_string(i);
        added.push_back({u"Bookmark number " + std::u16string(n.begin(), n.end()),
                         u"https://example.test/a/fairly/long/path/" + std::u16string(n.begin(), n.end())});
        ASSERT_TRUE(config_.AddBookmark(added.back().name, added.back().url));
    }
    ASSERT_GT(config_.GetBookmarksText().size(), 10000u);
    EXPECT_EQ(Describe(config_.GetBookmarks()), Describe(added));

    // An edit far beyond the 4095th character writes the whole list back.
    ASSERT_TRUE(config_.RemoveBookmark(added[150].name, added[150].url));
    added.erase(added.begin() + 150);
    ASSERT_TRUE(config_.AddBookmark(u"last", u"https://example.test/last"));
    added.push_back({u"last", u"https://example.test/last"});
    EXPECT_EQ(Describe(config_.GetBookmarks()), Describe(added));
}

TEST_F(AppConfigTest, AFailedWriteMakesAddAndRemoveReturnFalse) {
    ASSERT_TRUE(config_.AddBookmark(u"N1", u"U1"));
    // The settings file's folder disappears: the write cannot be made.
    CWinApp elsewhere{u"Pelmarin"};
    elsewhere.SetProfileName(FromHostPath((folder_.path() / "gone" / "AppSettings.ini").string()).c_str());
    CCorvaleAppConfig broken(&elsewhere);
    EXPECT_FALSE(broken.AddBookmark(u"N2", u"U2"));
    EXPECT_FALSE(fs::exists(folder_.path() / "gone"));

    // A settings file that cannot be read is never replaced, so nothing in it is lost.
    fs::remove(iniFile());
    fs::create_directory(iniFile());
    EXPECT_FALSE(config_.AddBookmark(u"N2", u"U2"));
    EXPECT_FALSE(config_.RemoveBookmark(u"N1", u"U1"));
    EXPECT_TRUE(fs::is_directory(iniFile()));
}

TEST_F(AppConfigTest, NothingIsCachedBetweenCalls) {
    ASSERT_TRUE(config_.AddBookmark(u"N1", u"U1"));
    WriteBytes(iniFile(), "[Features]\r\nBookmarks=X \\-\\ Y \\-\\\r\nProxy=10.1.1.1:3128\r\n");
    EXPECT_EQ(Describe(config_.GetBookmarks()), "(X | Y)");
    EXPECT_EQ(config_.GetProxy(), u"10.1.1.1:3128");
    ASSERT_TRUE(config_.AddBookmark(u"N1", u"U1"));
    EXPECT_EQ(Describe(config_.GetBookmarks()), "(X | Y)(N1 | U1)");
}

TEST_F(AppConfigTest, ProxyValuesGoThroughTheApplicationObject) {
    ASSERT_TRUE(config_.app->WriteProfileStringW(kFeaturesSection, kProxyKey, u"192.168.0.1:8080"));
    ASSERT_TRUE(config_.app->WriteProfileInt(kFeaturesSection, kProxyModeKey, 2));
    EXPECT_EQ(config_.GetProxy(), u"192.168.0.1:8080");
    EXPECT_EQ(config_.app->GetProfileIntW(kFeaturesSection, kProxyModeKey, 0), 2u);
    EXPECT_EQ(FileBytes(), "[Features]\r\nProxy=192.168.0.1:8080\r\nProxyMode=2\r\n");
}

TEST(AppConfigInstanceTest, IsOneObjectBoundToTheRunningApplication) {
    CWinApp app{u"Pelmarin"};
    ASSERT_EQ(AfxGetApp(), &app);
    std::vector<CCorvaleAppConfig*> seen(4, nullptr);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < seen.size(); ++i) {
        threads.emplace_back([&seen, i] { seen[i] = &CCorvaleAppConfig::Instance(); });
    }
    for (std::thread& t : threads) t.join();
    for (CCorvaleAppConfig* instance : seen) EXPECT_EQ(instance, seen[0]);
    EXPECT_EQ(&CCorvaleAppConfig::Instance(), seen[0]);
    EXPECT_EQ(seen[0]->app, &app);
}

}  // namespace
