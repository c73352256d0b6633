// Settings files in the encodings they come in: UTF-8 (this program's), Windows-1252 and
// UTF-16LE with a byte-order mark (the Windows version's). Read through the profile calls
// and the bookmark code; written back in the file's own encoding, byte for byte where
// nothing changed; a Windows-1252 file that must hold a character it cannot becomes UTF-16LE.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "afx/app.h"
#include "code_page_1252.h"
#include "crt/crt.h"
#include "ini_document.h"
#include "ini_file.h"
#include "paths.h"
#include "settings/app_config.h"
#include "support/scoped_test_folder.h"

namespace ini {
void PrintTo(TextEncoding encoding, std::ostream* os) {
    static const char* const kNames[] = {"UTF-8", "UTF-8 with mark", "UTF-16LE with mark", "Windows-1252"};
    *os << kNames[static_cast<int>(encoding)];
}
}  // namespace ini

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using ini::TextEncoding;
using testing_support::ReadBytes;
using testing_support::ScopedTestFolder;
using testing_support::WriteBytes;

// What a UTF-16LE file holds for text (without the byte-order mark).
std::string Le(std::u16string_view text) {
    std::string bytes;
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}
const std::string kLeMark = "\xFF\xFE";

std::string Describe(const BookmarkList& list) {
    std::string out;
    for (const Bookmark& b : list) out += "(" + text::ToUtf8(b.name) + " | " + text::ToUtf8(b.url) + ")";
    return out;
}

std::string Fixture(const std::string& name) { return ReadBytes(fs::path(PELMARIN_SETTINGS_FIXTURES) / name); }

// The bytes with the first occurrence of from replaced by to; fails the test when from is
// not there, so that a wrong expectation cannot pass unnoticed.
std::string Replaced(std::string bytes, const std::string& from, const std::string& to) {
    const std::size_t at = bytes.find(from);
    EXPECT_NE(at, std::string::npos) << "the fixture lacks the text to replace";
    if (at != std::string::npos) bytes.replace(at, from.size(), to);
    return bytes;
}

class SettingsFileTest : public ::testing::Test {
protected:
    SettingsFileTest() { app_.SetProfileName(FromHostPath(file().string()).c_str()); }

    fs::path file() const { return folder_.path() / "AppSettings.ini"; }
    void Install(const std::string& fixture) { WriteBytes(file(), Fixture(fixture)); }

    ScopedTestFolder folder_;
    CWinApp app_{u"Pelmarin"};
    CCorvaleAppConfig config_{&app_};
};

// ---- Reading ------------------------------------------------------------------------

struct ReadCase {
    const char* fixture;
    TextEncoding encoding;
    BookmarkList bookmarks;
    std::u16string section, key, value;  // one more value of the file
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.fixture; }

class SettingsReadTest : public SettingsFileTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(SettingsReadTest, EveryCharacterComesBackAsTheUserTypedIt) {
    const ReadCase& c = GetParam();
    Install(c.fixture);
    EXPECT_EQ(ini::IniDocument::Parse(Fixture(c.fixture)).Encoding(), c.encoding);
    EXPECT_EQ(Describe(config_.GetBookmarks()), Describe(c.bookmarks));
    EXPECT_EQ(text::ToUtf8(app_.GetProfileStringW(c.section.c_str(), c.key.c_str(), u"absent")),
              text::ToUtf8(c.value));
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, SettingsReadTest,
    ::testing::Values(
        ReadCase{"windows-1252.ini", TextEncoding::Windows1252,
                 {{u"Caf\u00E9", u"https://example.test/caf\u00E9"},
                  {u"\u00DCber uns", u"https://example.test/\u00FCber"},
                  {u"Preis 5 \u20AC", u"https://example.test/preis?w\u00E4hrung=\u20AC"}},
                 u"Other", u"Note", u"\u00C7a co\u00FBte 3 \u20AC, na\u00EFve \u2013 \u201Cquoted\u201D"},
        ReadCase{"utf-16le.ini", TextEncoding::Utf16LeWithMark,
                 {{u"\u041D\u043E\u0432\u043E\u0441\u0442\u0438",
                   u"https://example.test/\u043D\u043E\u0432\u043E\u0441\u0442\u0438"},
                  {u"\u6771\u4EAC\u306E\u5929\u6C17", u"https://example.test/\u5929\u6C17"},
                  {u"\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC \U0001F642", u"https://example.test/el"}},
                 u"Features", u"Proxy", u"10.0.0.1:1080"},
        ReadCase{"utf-8.ini", TextEncoding::Utf8,
                 {{u"Z\u00FCrich", u"https://example.test/z\u00FCrich"},
                  {u"\u5317\u4EAC", u"https://example.test/\u5317\u4EAC"}},
                 u"Features", u"Proxy", u"proxy.example:3128"}));

TEST_F(SettingsFileTest, ProfileIntegersReadFromEveryEncoding) {
    Install("windows-1252.ini");
    EXPECT_EQ(app_.GetProfileIntW(kFeaturesSection, kProxyModeKey, 0), 1u);
    Install("utf-16le.ini");
    EXPECT_EQ(app_.GetProfileIntW(kFeaturesSection, kProxyModeKey, 0), 2u);
}

// ---- Writing back in the file's encoding --------------------------------------------

struct WriteBackCase {
    const char* what;
    const char* fixture;
    std::function<bool(CCorvaleAppConfig&)> change;
    std::string from, to;  // the file afterwards is the fixture with this one replacement
};

void PrintTo(const WriteBackCase& c, std::ostream* os) { *os << c.what; }

class SettingsWriteBackTest : public SettingsFileTest, public ::testing::WithParamInterface<WriteBackCase> {};

TEST_P(SettingsWriteBackTest, ChangesOnlyTheValueAndKeepsTheEncoding) {
    const WriteBackCase& c = GetParam();
    Install(c.fixture);
    ASSERT_TRUE(c.change(config_)) << c.what;
    EXPECT_EQ(ReadBytes(file()), Replaced(Fixture(c.fixture), c.from, c.to)) << c.what;
}

bool AddCafe(CCorvaleAppConfig& config) { return config.AddBookmark(u"Caf\u00E9 2", u"https://example.test/\u20AC"); }

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsWriteBackTest,
    ::testing::Values(
        WriteBackCase{"a bookmark that fits Windows-1252 is written in it", "windows-1252.ini", AddCafe,
                      "\x80 \\-\\ \r\n", "\x80 \\-\\ Caf\xE9 2 \\-\\ https://example.test/\x80 \\-\\ \r\n"},
        WriteBackCase{"the proxy in Windows-1252", "windows-1252.ini",
                      [](CCorvaleAppConfig& config) {
                          return config.app->WriteProfileStringW(kFeaturesSection, kProxyKey,
                                                                 u"pr\u00F6xy.example:1") != FALSE;
                      },
                      "Proxy=proxy.example:8080", "Proxy=pr\xF6xy.example:1"},
        WriteBackCase{"removing the middle bookmark of a Windows-1252 file", "windows-1252.ini",
                      [](CCorvaleAppConfig& config) {
                          return config.RemoveBookmark(u"\u00DCber uns", u"https://example.test/\u00FCber");
                      },
                      // The value as read has lost its last blank; so has the value written.
                      "\xDC" "ber uns \\-\\ https://example.test/\xFC" "ber \\-\\ Preis 5 \x80 \\-\\ "
                      "https://example.test/preis?w\xE4hrung=\x80 \\-\\ \r\n",
                      "Preis 5 \x80 \\-\\ https://example.test/preis?w\xE4hrung=\x80 \\-\\\r\n"},
        WriteBackCase{"a bookmark in a UTF-16LE file", "utf-16le.ini", AddCafe,
                      Le(u"https://example.test/el \\-\\ \r\n"),
                      Le(u"https://example.test/el \\-\\ Caf\u00E9 2 \\-\\ https://example.test/\u20AC \\-\\ \r\n")},
        WriteBackCase{"an integer in a UTF-16LE file", "utf-16le.ini",
                      [](CCorvaleAppConfig& config) {
                          return config.app->WriteProfileInt(kFeaturesSection, kProxyModeKey, 0) != FALSE;
                      },
                      Le(u"ProxyMode=2"), Le(u"ProxyMode=0")},
        WriteBackCase{"a bookmark in a UTF-8 file with LF line ends", "utf-8.ini",
                      [](CCorvaleAppConfig& config) {
                          return config.AddBookmark(u"\u0391\u03B8\u03AE\u03BD\u03B1", u"https://example.test/a");
                      },
                      "\xE4\xBA\xAC \\-\\ \n",
                      "\xE4\xBA\xAC \\-\\ \xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1 \\-\\ https://example.test/a \\-\\ \n"},
        WriteBackCase{"a new key in a UTF-8 file takes its LF line end", "utf-8.ini",
                      [](CCorvaleAppConfig& config) {
                          return config.app->WriteProfileInt(kFeaturesSection, kProxyModeKey, 1) != FALSE;
                      },
                      "Proxy=proxy.example:3128\n", "Proxy=proxy.example:3128\nProxyMode=1\n"}));

// Adding a bookmark and removing it again gives the file the Windows version wrote back,
// byte for byte, in every encoding.
TEST_F(SettingsFileTest, AddingAndRemovingABookmarkRestoresEveryFileExactly) {
    for (const char* fixture : {"windows-1252.ini", "utf-16le.ini", "utf-8.ini"}) {
        Install(fixture);
        ASSERT_TRUE(config_.AddBookmark(u"\u00C9t\u00E9", u"https://example.test/\u00E9t\u00E9")) << fixture;
        ASSERT_TRUE(config_.RemoveBookmark(u"\u00C9t\u00E9", u"https://example.test/\u00E9t\u00E9")) << fixture;
        EXPECT_EQ(ReadBytes(file()), Fixture(fixture)) << fixture;
    }
}

// A character Windows-1252 has no byte for turns the whole file into UTF-16LE with a
// byte-order mark: every other line keeps its text, and the file stays UTF-16LE after.
TEST_F(SettingsFileTest, AWindows1252FileThatMustHoldOtherTextBecomesUtf16) {
    Install("windows-1252.ini");
    ASSERT_TRUE(config_.AddBookmark(u"\u65E5\u672C\u8A9E", u"https://example.test/\u65E5\u672C"));
    const std::u16string expected =
        u"; Written by the Windows version\r\n"
        u"[Features]\r\n"
        u"Bookmarks=Caf\u00E9 \\-\\ https://example.test/caf\u00E9 \\-\\ \u00DCber uns \\-\\ "
        u"https://example.test/\u00FCber \\-\\ Preis 5 \u20AC \\-\\ https://example.test/preis?w\u00E4hrung=\u20AC "
        u"\\-\\ \u65E5\u672C\u8A9E \\-\\ https://example.test/\u65E5\u672C \\-\\ \r\n"
        u"ProxyMode=1\r\n"
        u"Proxy=proxy.example:8080\r\n"
        u"\r\n"
        u"[Other]\r\n"
        u"Note=\u00C7a co\u00FBte 3 \u20AC, na\u00EFve \u2013 \u201Cquoted\u201D\r\n";
    EXPECT_EQ(ReadBytes(file()), kLeMark + Le(expected));

    ASSERT_TRUE(config_.RemoveBookmark(u"\u65E5\u672C\u8A9E", u"https://example.test/\u65E5\u672C"));
    ASSERT_TRUE(config_.AddBookmark(u"plain", u"https://example.test/"));
    const std::string bytes = ReadBytes(file());
    EXPECT_EQ(bytes.substr(0, 2), kLeMark) << "once UTF-16LE, the file stays so";
    EXPECT_EQ(Describe(config_.GetBookmarks()),
              "(Caf\xC3\xA9 | https://example.test/caf\xC3\xA9)(\xC3\x9C" "ber uns | https://example.test/\xC3\xBC" "ber)"
              "(Preis 5 \xE2\x82\xAC | https://example.test/preis?w\xC3\xA4hrung=\xE2\x82\xAC)"
              "(plain | https://example.test/)");
}

TEST_F(SettingsFileTest, ANewFileIsUtf8) {
    ASSERT_TRUE(config_.AddBookmark(u"\u65E5\u672C", u"https://example.test/\u00E9"));
    EXPECT_EQ(ReadBytes(file()),
              "[Features]\r\nBookmarks= \xE6\x97\xA5\xE6\x9C\xAC \\-\\ https://example.test/\xC3\xA9 \\-\\ \r\n");
}

// ---- Files no editor would write: still byte for byte ----------------------------------

struct AwkwardFile {
    const char* what;
    std::string bytes;  // holds the line Proxy=a, in its encoding
    std::string proxyA, proxyB;  // that line, and the line Proxy=b, in the same encoding
};

void PrintTo(const AwkwardFile& c, std::ostream* os) { *os << c.what; }

class AwkwardFileTest : public SettingsFileTest, public ::testing::WithParamInterface<AwkwardFile> {};

TEST_P(AwkwardFileTest, OnlyTheChangedValueChanges) {
    const AwkwardFile& c = GetParam();
    EXPECT_EQ(ini::IniDocument::Parse(c.bytes).Serialize(), c.bytes) << "read and written unchanged";
    WriteBytes(file(), c.bytes);
    ASSERT_TRUE(ini::WriteIniValue(FromHostPath(file().string()), u"Features", u"Proxy", u"b"));
    EXPECT_EQ(ReadBytes(file()), Replaced(c.bytes, c.proxyA, c.proxyB));
}

std::string EveryHighByte() {
    std::string bytes;
    for (int b = 0x80; b <= 0xFF; ++b) bytes.push_back(static_cast<char>(b));
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AwkwardFileTest,
    ::testing::Values(
        AwkwardFile{"Windows-1252 with every byte above 0x7F, the five undefined ones too",
                    "; " + EveryHighByte() + "\r\n[Features]\r\nProxy=a\r\n", "Proxy=a", "Proxy=b"},
        AwkwardFile{"UTF-16LE with lone surrogates, a NUL unit and an odd last byte",
                    kLeMark + Le(u"; \xD800 x \xDC00\r\n[Features]\r\nProxy=a\r\nX=") +
                        std::string("\0\0\x3D\xD8\x01", 5),
                    Le(u"Proxy=a"), Le(u"Proxy=b")},
        AwkwardFile{"UTF-16LE with LF line ends and no line end at the end",
                    kLeMark + Le(u"[Features]\nProxy=a"), Le(u"Proxy=a"), Le(u"Proxy=b")},
        AwkwardFile{"UTF-8 mark with a broken sequence", "\xEF\xBB\xBF; \xC3(\r\n[Features]\r\nProxy=a\r\n",
                    "Proxy=a", "Proxy=b"},
        AwkwardFile{"Windows-1252 text that is also valid UTF-8 is taken as UTF-8 and kept",
                    "; \xC3\xA9\n[Features]\nProxy=a\n", "Proxy=a", "Proxy=b"}));

// A Windows-1252 file is known only by bytes that are not valid UTF-8. When an edit takes
// the last of them away, what remains must not be read as something else next time.
TEST_F(SettingsFileTest, AWindows1252FileStaysRecognisableWhenItsLastNonUtf8ByteGoes) {
    struct Case {
        const char* what;
        std::function<bool(CWinApp&)> edit;
    };
    const Case cases[] = {
        {"the value is replaced",
         [](CWinApp& app) { return app.WriteProfileStringW(u"Features", u"Proxy", u"plain") != FALSE; }},
        {"the key is removed", [](CWinApp& app) { return app.WriteProfileStringW(u"Features", u"Proxy", nullptr) != FALSE; }},
        {"the section is removed", [](CWinApp& app) { return app.WriteProfileStringW(u"Features", nullptr, nullptr) != FALSE; }},
    };
    for (const Case& c : cases) {
        // "\xC3\xA9" is two characters in Windows-1252 and would be one in UTF-8.
        WriteBytes(file(), "[Other]\r\nNote=\xC3\xA9\r\n[Features]\r\nProxy=\xE9\r\n");
        ASSERT_TRUE(c.edit(app_)) << c.what;
        EXPECT_EQ(ini::IniDocument::Parse(ReadBytes(file())).Encoding(), TextEncoding::Utf16LeWithMark) << c.what;
        EXPECT_EQ(text::ToUtf8(app_.GetProfileStringW(u"Other", u"Note", u"")), "\xC3\x83\xC2\xA9") << c.what;
        EXPECT_EQ(ReadBytes(file()).substr(0, 6), kLeMark + Le(u"[O")) << c.what;
    }
    // Plain ASCII reads the same in every encoding and stays as it was.
    WriteBytes(file(), "[Features]\r\nProxy=\xE9\r\n");
    ASSERT_TRUE(app_.WriteProfileStringW(u"Features", u"Proxy", u"plain"));
    EXPECT_EQ(ReadBytes(file()), "[Features]\r\nProxy=plain\r\n");
}

// ---- The rule that decides the encoding ------------------------------------------------

TEST(TextEncodingTest, ValidUtf8WinsThenTheUtf16MarkThenWindows1252) {
    struct Case {
        const char* what;
        std::string bytes;
        TextEncoding expected;
    };
    const Case cases[] = {
        {"empty", "", TextEncoding::Utf8},
        {"ASCII", "[Features]\r\n", TextEncoding::Utf8},
        {"UTF-8", "Proxy=\xC3\xA9\xE2\x82\xAC\xF0\x9F\x99\x82", TextEncoding::Utf8},
        {"UTF-8 mark", "\xEF\xBB\xBFProxy=\xC3\xA9", TextEncoding::Utf8WithMark},
        {"UTF-8 mark before broken UTF-8", "\xEF\xBB\xBF\xFF", TextEncoding::Utf8WithMark},
        {"UTF-16LE mark", "\xFF\xFE[\0"s, TextEncoding::Utf16LeWithMark},
        {"a Windows-1252 letter", "Proxy=Caf\xE9", TextEncoding::Windows1252},
        {"a sequence cut at the end", "Proxy=\xE2\x82", TextEncoding::Windows1252},
        {"an overlong form", "Proxy=\xC0\xAF", TextEncoding::Windows1252},
        {"an encoded surrogate", "Proxy=\xED\xA0\x80", TextEncoding::Windows1252},
        {"past U+10FFFF", "Proxy=\xF4\x90\x80\x80", TextEncoding::Windows1252},
        {"a big-endian UTF-16 mark", "\xFE\xFF\0["s, TextEncoding::Windows1252},
    };
    for (const Case& c : cases) EXPECT_EQ(ini::DetectTextEncoding(c.bytes), c.expected) << c.what;
}

TEST(Windows1252Test, EveryByteHasACharacterAndComesBack) {
    for (int b = 0; b <= 0xFF; ++b) {
        const char16_t character = codepage::Windows1252ToUnicode(static_cast<unsigned char>(b));
        EXPECT_EQ(codepage::UnicodeToWindows1252(character), static_cast<unsigned char>(b)) << b;
    }
    EXPECT_EQ(codepage::Windows1252ToUnicode(0x80), u'\u20AC');
    EXPECT_EQ(codepage::Windows1252ToUnicode(0x9F), u'\u0178');
    EXPECT_EQ(codepage::Windows1252ToUnicode(0x81), u'\u0081') << "undefined: the C1 control of that number";
    EXPECT_EQ(codepage::Windows1252ToUnicode(0xE9), u'\u00E9');
}

TEST(Windows1252Test, CharactersWithoutAByteAreNotSwappedForLookAlikes) {
    for (const char16_t character : {u'\u0080', u'\u009F', u'\u0100', u'\u0141', u'\u2212', u'\u65E5', u'\xD800'}) {
        EXPECT_EQ(codepage::UnicodeToWindows1252(character), std::nullopt) << static_cast<int>(character);
    }
    EXPECT_TRUE(ini::FitsWindows1252(u"Caf\u00E9 \u00DCber \u20AC \u2122"));
    EXPECT_FALSE(ini::FitsWindows1252(u"Caf\u00E9 \u0141\u00F3d\u017A"));
}

}  // namespace
