// The INI profile store on real files: what a read returns, and that a write changes only
// what it must.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "crt/crt.h"
#include "ini_file.h"
#include "ini_integer.h"
#include "paths.h"
#include "support/scoped_test_folder.h"

namespace {

using namespace std::string_literals;
namespace fs = std::filesystem;
using testing_support::ReadBytes;
using testing_support::ScopedTestFolder;
using testing_support::WriteBytes;

std::u16string WindowsPath(const std::filesystem::path& host) { return FromHostPath(host.string()); }

class IniProfileTest : public ::testing::Test {
protected:
    std::filesystem::path file() const { return folder_.path() / "AppSettings.ini"; }
    std::u16string path() const { return WindowsPath(file()); }

    ScopedTestFolder folder_;
};

// ---- Reading ------------------------------------------------------------------------

struct LookupCase {
    const char* what;
    std::string file;
    std::u16string section;
    std::u16string key;
    std::optional<std::u16string> expected;
};

void PrintTo(const LookupCase& c, std::ostream* os) { *os << c.what; }

class IniLookupTest : public IniProfileTest, public ::testing::WithParamInterface<LookupCase> {};

TEST_P(IniLookupTest, FindsTheValueAsTheSettingsStoreExpects) {
    const LookupCase& c = GetParam();
    WriteBytes(file(), c.file);
    EXPECT_EQ(ini::ReadIniValue(path(), c.section, c.key), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniLookupTest,
    ::testing::Values(
        LookupCase{"plain", "[Features]\r\nProxy=1.2.3.4:80\r\n", u"Features", u"Proxy", u"1.2.3.4:80"},
        LookupCase{"section and key ignore case", "[FEATURES]\r\nproxy=x\r\n", u"Features", u"PROXY", u"x"},
        LookupCase{"blanks and tabs at both ends are stripped, inner ones kept",
                   "[Features]\r\nProxy= \t a  b \t \r\n", u"Features", u"Proxy", u"a  b"},
        LookupCase{"blanks around names and brackets", "  [ Features ]  \r\n  Proxy  =v\r\n", u"Features",
                   u"Proxy", u"v"},
        LookupCase{"present but empty is empty, not absent", "[Features]\r\nProxy=\r\n", u"Features", u"Proxy",
                   u""},
        LookupCase{"quotes are part of the value", "[Features]\r\nProxy=\"q\"\r\n", u"Features", u"Proxy",
                   u"\"q\""},
        LookupCase{"an equals sign in the value is kept", "[Features]\r\nProxy=a=b\r\n", u"Features", u"Proxy",
                   u"a=b"},
        LookupCase{"the key of another section is not seen", "[Other]\r\nProxy=x\r\n[Features]\r\n", u"Features",
                   u"Proxy", std::nullopt},
        LookupCase{"a key before any section is not in a section", "Proxy=x\r\n[Features]\r\n", u"Features",
                   u"Proxy", std::nullopt},
        LookupCase{"a commented-out key is not a key", "[Features]\r\n;Proxy=x\r\n", u"Features", u"Proxy",
                   std::nullopt},
        LookupCase{"first of duplicate keys", "[Features]\r\nProxy=1\r\nProxy=2\r\n", u"Features", u"Proxy", u"1"},
        LookupCase{"a repeated section is searched too", "[Features]\r\nA=1\r\n[Other]\r\n[features]\r\nProxy=2\r\n",
                   u"Features", u"Proxy", u"2"},
        LookupCase{"LF line ends", "[Features]\nProxy=lf\n", u"Features", u"Proxy", u"lf"},
        LookupCase{"last line without a line end", "[Features]\r\nProxy=end", u"Features", u"Proxy", u"end"},
        LookupCase{"byte-order mark before the first section", "\xEF\xBB\xBF[Features]\r\nProxy=bom\r\n",
                   u"Features", u"Proxy", u"bom"},
        LookupCase{"UTF-8 text", "[Features]\r\nProxy=Gr\xC3\xBC\xC3\x9F \xE4\xB8\xAD\r\n", u"Features", u"Proxy",
                   u"Gr\u00FC\u00DF \u4E2D"},
        LookupCase{"a NUL byte ends the value", "[Features]\r\nProxy=ab\0cd\r\n"s, u"Features",
                   u"Proxy", u"ab"},
        LookupCase{"binary garbage around the key is passed over",
                   "\x01\x02\xFF\xFE\r\n[Features]\r\n\x80\x81=\x00\x00\r\nProxy=ok\r\n\xC3(\r\n"s,
                   u"Features", u"Proxy", u"ok"},
        LookupCase{"a header without its closing bracket still opens the section", "[Features\r\nProxy=v\r\n",
                   u"Features", u"Proxy", u"v"},
        LookupCase{"a file that is not valid UTF-8 reads as Windows-1252", "[Features]\r\nProxy=a\xFF" "b\x80\r\n",
                   u"Features", u"Proxy", u"a\u00FFb\u20AC"},
        LookupCase{"behind a UTF-8 byte-order mark a broken sequence reads as a replacement character",
                   "\xEF\xBB\xBF[Features]\r\nProxy=a\xFF" "b\r\n", u"Features", u"Proxy", u"a\uFFFDb"}));

TEST_F(IniProfileTest, AMissingFileReadsAsEmpty) {
    EXPECT_EQ(ini::ReadIniValue(path(), u"Features", u"Proxy"), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(file()));
}

TEST_F(IniProfileTest, AnOverlongLineIsReadWhole) {
    const std::string longValue(1 << 20, 'x');
    WriteBytes(file(), "[Features]\r\nBookmarks=" + longValue + "\r\nProxy=after\r\n");
    EXPECT_EQ(ini::ReadIniValue(path(), u"Features", u"Bookmarks")->size(), longValue.size());
    EXPECT_EQ(ini::ReadIniValue(path(), u"Features", u"Proxy"), u"after");
}

// ---- Writing ------------------------------------------------------------------------

struct WriteCase {
    const char* what;
    std::string before;
    std::u16string section;
    std::u16string key;
    std::u16string value;
    std::string after;
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.what; }

class IniWriteTest : public IniProfileTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(IniWriteTest, ChangesOnlyWhatItMust) {
    const WriteCase& c = GetParam();
    WriteBytes(file(), c.before);
    ASSERT_TRUE(ini::WriteIniValue(path(), c.section, c.key, c.value.c_str())) << c.what;
    EXPECT_EQ(ReadBytes(file()), c.after) << c.what;
    EXPECT_EQ(ini::ReadIniValue(path(), c.section, c.key), c.value) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniWriteTest,
    ::testing::Values(
        WriteCase{"replacing a value keeps every other line, comment and blank line",
                  "; settings\r\n\r\n[Features]\r\nProxy=old\r\nProxyMode=1\r\n\r\n[Other]\r\nX=1\r\n", u"Features",
                  u"Proxy", u"new",
                  "; settings\r\n\r\n[Features]\r\nProxy=new\r\nProxyMode=1\r\n\r\n[Other]\r\nX=1\r\n"},
        WriteCase{"the key keeps its own spelling and spacing", "[Features]\r\n  proxy = old  \r\n", u"FEATURES",
                  u"Proxy", u"new", "[Features]\r\n  proxy =new\r\n"},
        WriteCase{"a new key goes after the last key of its section",
                  "[Features]\r\nProxy=p\r\n\r\n; next\r\n[Other]\r\nX=1\r\n", u"Features", u"ProxyMode", u"2",
                  "[Features]\r\nProxy=p\r\nProxyMode=2\r\n\r\n; next\r\n[Other]\r\nX=1\r\n"},
        WriteCase{"a new key in a section without keys goes after its header", "[Features]\r\n[Other]\r\n",
                  u"Features", u"Proxy", u"p", "[Features]\r\nProxy=p\r\n[Other]\r\n"},
        WriteCase{"a new section goes at the end of the file", "[Other]\r\nX=1\r\n", u"Features", u"Proxy", u"p",
                  "[Other]\r\nX=1\r\n[Features]\r\nProxy=p\r\n"},
        WriteCase{"a last line without a line end gets one before what follows", "[Other]\r\nX=1", u"Features",
                  u"Proxy", u"p", "[Other]\r\nX=1\r\n[Features]\r\nProxy=p\r\n"},
        WriteCase{"a file with LF line ends keeps them", "[Features]\nA=1\n", u"Features", u"Proxy", u"p",
                  "[Features]\nA=1\nProxy=p\n"},
        WriteCase{"a last line's lone CR stays its text when a line follows", "[Features]\nA=1\r", u"Features",
                  u"Proxy", u"p", "[Features]\nA=1\r\r\nProxy=p\n"},
        WriteCase{"mixed line ends are kept line by line", "[Features]\nA=1\r\nB=2\n", u"Features", u"A", u"9",
                  "[Features]\nA=9\r\nB=2\n"},
        WriteCase{"a byte-order mark is kept", "\xEF\xBB\xBF[Features]\r\nProxy=a\r\n", u"Features", u"Proxy",
                  u"b", "\xEF\xBB\xBF[Features]\r\nProxy=b\r\n"},
        WriteCase{"binary garbage and NUL bytes are written back byte for byte",
                  "\x01\x02\xFF\r\n[Features]\r\n\x80\x00=\x00\r\r\nProxy=a\r\n\xC3("s, u"Features",
                  u"Proxy", u"b", "\x01\x02\xFF\r\n[Features]\r\n\x80\x00=\x00\r\r\nProxy=b\r\n\xC3("s},
        WriteCase{"blanks and quotes in the value are written unchanged", "", u"Features", u"Proxy", u"\"a\" <b>",
                  "[Features]\r\nProxy=\"a\" <b>\r\n"},
        WriteCase{"text beyond the Latin range is written as UTF-8", "", u"Features", u"Proxy", u"\u4E2D\U0001F600",
                  "[Features]\r\nProxy=\xE4\xB8\xAD\xF0\x9F\x98\x80\r\n"}));

TEST_F(IniProfileTest, ANewFileIsUtf8WithoutMarkAndCrLf) {
    ASSERT_TRUE(ini::WriteIniValue(path(), u"Features", u"Proxy", u"\u00E9"));
    EXPECT_EQ(ReadBytes(file()), "[Features]\r\nProxy=\xC3\xA9\r\n");
}

TEST_F(IniProfileTest, AWriteReplacesTheFileRatherThanRewritingIt) {
    WriteBytes(file(), "[Features]\r\nProxy=a\r\n");
    struct stat before {};
    ASSERT_EQ(::stat(file().c_str(), &before), 0);
    ASSERT_TRUE(ini::WriteIniValue(path(), u"Features", u"Proxy", u"b"));
    struct stat after {};
    ASSERT_EQ(::stat(file().c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.path()), {}), 1)
        << "no temporary file may remain";
}

TEST_F(IniProfileTest, TheNextWriteRemovesWhatAKilledWriterLeft) {
    WriteBytes(file(), "[Features]\r\nProxy=a\r\n");
    const fs::path leftover = folder_.path() / ".AppSettings.ini.tmp-4242-0-17";
    WriteBytes(leftover, "[Features]\r\nProx");
    ASSERT_TRUE(ini::WriteIniValue(path(), u"Features", u"Proxy", nullptr));
    EXPECT_FALSE(fs::exists(leftover)) << "even a write that removes a key";
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_.path()), {}), 1);
}

// Two processes writing keys of the same file at once: each write reads, changes and
// replaces the whole file, and the folder's lock keeps one from dropping the other's keys.
TEST_F(IniProfileTest, TwoProcessesWritingAtOnceLoseNoKey) {
    constexpr int kEach = 15;
    auto key = [](char process, int i) { return text::FromUtf8(std::string(1, process) + std::to_string(i)); };
    const std::u16string windowsPath = path();
    std::vector<pid_t> children;
    for (const char process : {'a', 'b'}) {
        const pid_t child = ::fork();
        if (child == 0) {
            int failures = 0;
            for (int i = 0; i < kEach; ++i) {
                failures += ini::WriteIniValue(windowsPath, u"Features", key(process, i), u"v") ? 0 : 1;
            }
            ::_exit(failures);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = -1;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "every write succeeded";
    }
    for (const char process : {'a', 'b'}) {
        for (int i = 0; i < kEach; ++i) {
            EXPECT_EQ(ini::ReadIniValue(path(), u"Features", key(process, i)), u"v") << process << i;
        }
    }
}

TEST_F(IniProfileTest, ValuesHaveNoLengthLimit) {
    // Longer than the 4095 characters a fixed read buffer would keep, with a write of another
    // key in between, which must not shorten it.
    std::u16string longValue;
    while (longValue.size() < 12000) longValue += u" name \\-\\ https://example.test/page \\-\\";
    ASSERT_TRUE(ini::WriteIniValue(path(), u"Features", u"Bookmarks", longValue.c_str()));
    ASSERT_TRUE(ini::WriteIniValue(path(), u"Features", u"Proxy", u"p"));
    const std::u16string expected = longValue.substr(1);  // the reader strips the leading blank
    EXPECT_EQ(ini::ReadIniValue(path(), u"Features", u"Bookmarks"), expected);
}

TEST_F(IniProfileTest, ANullValueRemovesTheKeyAndNothingElse) {
    WriteBytes(file(), "[Features]\r\nProxy=a\r\n; keep\r\nProxyMode=1\r\n");
    ASSERT_TRUE(ini::WriteIniValue(path(), u"Features", u"proxy", nullptr));
    EXPECT_EQ(ReadBytes(file()), "[Features]\r\n; keep\r\nProxyMode=1\r\n");
    ASSERT_TRUE(ini::WriteIniValue(path(), u"Features", u"Absent", nullptr));
    EXPECT_EQ(ReadBytes(file()), "[Features]\r\n; keep\r\nProxyMode=1\r\n");
}

TEST_F(IniProfileTest, RemovingAbsentKeyFromAMissingFileCreatesNoFile) {
    ASSERT_TRUE(ini::WriteIniValue(path(), u"Features", u"Proxy", nullptr));
    EXPECT_FALSE(std::filesystem::exists(file()));
}

TEST_F(IniProfileTest, RemovingASectionRemovesAllItsLines) {
    WriteBytes(file(), "[A]\r\nX=1\r\n[Features]\r\nProxy=a\r\n; mine\r\n[B]\r\nY=2\r\n[features]\r\nZ=3\r\n");
    ASSERT_TRUE(ini::RemoveIniSection(path(), u"Features"));
    EXPECT_EQ(ReadBytes(file()), "[A]\r\nX=1\r\n[B]\r\nY=2\r\n");
}

// Texts that would change the structure of the file are refused, and the file is untouched.
TEST_F(IniProfileTest, TextThatWouldBreakTheFileIsRefused) {
    const std::string original = "[Features]\r\nProxy=a\r\n";
    struct Refused {
        std::u16string section, key, value;
    };
    const Refused cases[] = {
        {u"Features", u"Proxy", u"a\r\nInjected=1"},
        {u"Features", u"Proxy", u"a\nb"},
        {u"Features", u"Pro=xy", u"a"},
        {u"Features", u"", u"a"},
        {u"Features", u"[Other]", u"a"},
        {u"Features", u";Proxy", u"a"},
        {u"Features", u" Proxy", u"a"},
        {u"Feat]ures", u"Proxy", u"a"},
        {u"Feat\nures", u"Proxy", u"a"},
    };
    WriteBytes(file(), original);
    for (const Refused& c : cases) {
        EXPECT_FALSE(ini::WriteIniValue(path(), c.section, c.key, c.value.c_str()))
            << text::ToUtf8(c.section) << "/" << text::ToUtf8(c.key) << "=" << text::ToUtf8(c.value);
        EXPECT_EQ(ReadBytes(file()), original);
    }
}

TEST_F(IniProfileTest, AWriteIntoAMissingFolderFails) {
    const std::u16string inMissingFolder = WindowsPath(folder_.path() / "missing" / "AppSettings.ini");
    EXPECT_FALSE(ini::WriteIniValue(inMissingFolder, u"Features", u"Proxy", u"p"));
    EXPECT_FALSE(std::filesystem::exists(folder_.path() / "missing"));
}

// ---- Files that cannot be read ------------------------------------------------------

TEST_F(IniProfileTest, AFolderWhereTheFileShouldBeGivesDefaultsAndRefusesWrites) {
    std::filesystem::create_directory(file());
    EXPECT_EQ(ini::ReadIniValue(path(), u"Features", u"Proxy"), std::nullopt);
    EXPECT_FALSE(ini::WriteIniValue(path(), u"Features", u"Proxy", u"p"));
    EXPECT_TRUE(std::filesystem::is_directory(file()));
}

TEST_F(IniProfileTest, ANamedPipeWhereTheFileShouldBeIsUnreadableAndDoesNotHang) {
    ASSERT_EQ(::mkfifo(file().c_str(), 0600), 0);
    EXPECT_EQ(ini::ReadIniValue(path(), u"Features", u"Proxy"), std::nullopt);
    EXPECT_FALSE(ini::WriteIniValue(path(), u"Features", u"Proxy", u"p"));
    EXPECT_TRUE(std::filesystem::is_fifo(file()));
}

// Runs body in a child process without the right to read files it does not own, and returns
// its exit status. Root reads everything, so the child gives up root first.
int RunWithoutReadPermission(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(100);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(IniProfileTest, AFileWithoutReadPermissionGivesDefaultsAndIsNotReplaced) {
    const std::string original = "[Features]\r\nProxy=secret\r\nBookmarks=long list\r\n";
    WriteBytes(file(), original);
    // The folder is open to everyone, so a replacement would succeed if it were tried.
    std::filesystem::permissions(folder_.path(), std::filesystem::perms::all);
    std::filesystem::permissions(file(), std::filesystem::perms::none);

    const std::u16string windowsPath = path();
    const int status = RunWithoutReadPermission([&] {
        if (::access(file().c_str(), R_OK) == 0) return 101;  // the precondition does not hold
        if (ini::ReadIniValue(windowsPath, u"Features", u"Proxy").has_value()) return 1;
        if (ini::WriteIniValue(windowsPath, u"Features", u"Proxy", u"new")) return 2;
        return 0;
    });
    ASSERT_NE(status, 100) << "could not drop privileges";
    ASSERT_NE(status, 101) << "the file is still readable";
    EXPECT_EQ(status, 0) << "1: a value was read, 2: the write succeeded";
    std::filesystem::permissions(file(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(ReadBytes(file()), original);
}

// ---- Integers -----------------------------------------------------------------------

TEST(IniIntegerTest, ReadsTheDecimalNumberAtTheStartOfTheValue) {
    struct Case {
        std::u16string text;
        std::optional<int> expected;
    };
    const Case cases[] = {
        {u"0", 0},
        {u"2", 2},
        {u"-5", -5},
        {u"+3", 3},
        {u"007", 7},
        {u"12abc", 12},
        {u"1 2", 1},
        {u"0x10", 0},
        {u"2147483647", 2147483647},
        {u"-2147483648", -2147483647 - 1},
        {u"2147483648", std::nullopt},
        {u"-2147483649", std::nullopt},
        {u"99999999999999999999", std::nullopt},
        {u"abc", std::nullopt},
        {u"", std::nullopt},
        {u"-", std::nullopt},
        {u"+", std::nullopt},
        {u" 1", std::nullopt},  // the store strips blanks before it asks
        {u"\u0661", std::nullopt},  // digits of other scripts are not decimal digits here
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ini::ParseProfileInteger(c.text), c.expected) << text::ToUtf8(c.text);
    }
}

TEST(IniIntegerTest, WritesPlainDecimalText) {
    EXPECT_EQ(ini::FormatProfileInteger(0), u"0");
    EXPECT_EQ(ini::FormatProfileInteger(-17), u"-17");
    EXPECT_EQ(ini::FormatProfileInteger(2147483647), u"2147483647");
    EXPECT_EQ(ini::FormatProfileInteger(-2147483647 - 1), u"-2147483648");
}

}  // namespace
