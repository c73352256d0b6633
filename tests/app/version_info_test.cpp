// Version strings: the program's own resource, and other blocks put in its place.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/version_info.h"
#include "crt/crt.h"
#include "support/scoped_test_folder.h"
#include "win32/api.h"
#include "win32/resource_registry.h"
#include "win32/version_block.h"

namespace {

using testing_support::ScopedEnvironment;

constexpr WORD kUsEnglish = 0x0409;
constexpr WORD kGerman = 0x0407;

// The user's language comes from the locale environment; LC_ALL outranks the others.
class UserLanguage {
public:
    explicit UserLanguage(const char* locale) : all_("LC_ALL", locale) {}

private:
    ScopedEnvironment all_;
};

TEST(ProgramVersionResourceTest, NamedStringsHaveTheProgramsValues) {
    UserLanguage language("en_US.UTF-8");
    struct Case {
        std::u16string name;
        std::u16string expected;
    };
    const Case cases[] = {
        {u"CompanyName", u"Quendris"},    {u"InternalName", u"Pelmarin.exe"}, {u"ProductName", u"Pelmarin"},
        {u"ProductVersion", u"1.1.1"},    {u"FileVersion", u"1.1.1"},         {u"AuxInfo", u""},
        {u"NoSuchValue", u""},
    };
    for (const Case& c : cases) EXPECT_EQ(GetVersionString(c.name), c.expected) << text::ToUtf8(c.name);
}

TEST(ProgramVersionResourceTest, TheOneTranslationDecidesEvenForAnotherUserLanguage) {
    UserLanguage language("de_DE.UTF-8");
    ASSERT_EQ(GetUserDefaultLangID(), kGerman);
    EXPECT_EQ(GetVersionString(u"ProductVersion"), u"1.1.1");
}

TEST(ProgramVersionResourceTest, FixedPartAndTranslationAreAsShipped) {
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(1), RT_VERSION);
    ASSERT_NE(resource, nullptr);
    const void* block = LockResource(LoadResource(module, resource));
    ASSERT_NE(block, nullptr);

    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block, u"\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    VS_FIXEDFILEINFO fixed{};
    std::memcpy(&fixed, value, sizeof fixed);
    EXPECT_EQ(fixed.dwSignature, VS_FFI_SIGNATURE);
    EXPECT_EQ(fixed.dwFileVersionMS, 0x00010001u);
    EXPECT_EQ(fixed.dwFileVersionLS, 0x00010000u);
    EXPECT_EQ(fixed.dwProductVersionMS, 0x00010001u);
    EXPECT_EQ(fixed.dwProductVersionLS, 0x00010000u);
    EXPECT_EQ(fixed.dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed.dwFileFlags, 0u);
    EXPECT_EQ(fixed.dwFileOS, VOS_NT_WINDOWS32);
    EXPECT_EQ(fixed.dwFileType, VFT_APP);

    ASSERT_TRUE(VerQueryValueW(block, u"\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    DWORD translation = 0;
    std::memcpy(&translation, value, sizeof translation);
    EXPECT_EQ(translation, 0x04B00409u);
}

// ---- Other blocks in the program's place --------------------------------------------

struct BlockCase {
    const char* what;
    VersionInfoContent content;
    const char* userLocale;
    std::u16string name;
    std::u16string expected;
};

void PrintTo(const BlockCase& c, std::ostream* os) { *os << c.what; }

VersionInfoContent Block(std::vector<VersionStringTable> tables, std::optional<std::vector<VersionTranslation>> translations) {
    VersionInfoContent content;
    content.stringTables = std::move(tables);
    content.translations = std::move(translations);
    return content;
}

const std::vector<VersionStringTable> kEnglishOnly = {{u"040904B0", {{u"ProductVersion", u"2.0"}, {u"Empty", u""}}}};

class VersionBlockTest : public ::testing::TestWithParam<BlockCase> {};

TEST_P(VersionBlockTest, LooksUpTheBlockTheTranslationRuleChooses) {
    const BlockCase& c = GetParam();
    UserLanguage language(c.userLocale);
    ScopedResource replaced(RT_VERSION, 1, kUsEnglish, BuildVersionInfoBlock(c.content));
    EXPECT_EQ(GetVersionString(c.name), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VersionBlockTest,
    ::testing::Values(
        BlockCase{"one translation", Block(kEnglishOnly, {{{kUsEnglish, 0x04B0}}}), "de_DE.UTF-8",
                  u"ProductVersion", u"2.0"},
        BlockCase{"a value present but empty", Block(kEnglishOnly, {{{kUsEnglish, 0x04B0}}}), "en_US.UTF-8",
                  u"Empty", u""},
        BlockCase{"a missing value", Block(kEnglishOnly, {{{kUsEnglish, 0x04B0}}}), "en_US.UTF-8", u"Missing", u""},
        BlockCase{"two translations and a non-English user find nothing",
                  Block(kEnglishOnly, {{{kUsEnglish, 0x04B0}, {kGerman, 0x04B0}}}), "de_DE.UTF-8", u"ProductVersion",
                  u""},
        BlockCase{"two translations and an English user use 040904B0",
                  Block(kEnglishOnly, {{{kUsEnglish, 0x04B0}, {kGerman, 0x04B0}}}), "en_US.UTF-8", u"ProductVersion",
                  u"2.0"},
        BlockCase{"two translations: the user's block is used even if it is listed second",
                  Block({{u"040904B0", {{u"ProductVersion", u"en"}}}, {u"040704B0", {{u"ProductVersion", u"de"}}}},
                        {{{kUsEnglish, 0x04B0}, {kGerman, 0x04B0}}}),
                  "de_DE.UTF-8", u"ProductVersion", u"de"},
        BlockCase{"no translation table: the user's language with code page 04B0",
                  Block({{u"040704B0", {{u"ProductVersion", u"de"}}}}, std::nullopt), "de_DE.UTF-8",
                  u"ProductVersion", u"de"},
        BlockCase{"an empty translation table: the user's language",
                  Block({{u"040704B0", {{u"ProductVersion", u"de"}}}}, std::vector<VersionTranslation>{}),
                  "de_DE.UTF-8", u"ProductVersion", u"de"},
        BlockCase{"the one translation's code page is used, not 04B0",
                  Block({{u"040904B0", {{u"ProductVersion", u"unicode"}}}, {u"040904E4", {{u"ProductVersion", u"ansi"}}}},
                        {{{kUsEnglish, 0x04E4}}}),
                  "en_US.UTF-8", u"ProductVersion", u"ansi"},
        BlockCase{"block names with hexadecimal letters are built in upper case",
                  Block({{u"0C0A04B0", {{u"ProductVersion", u"es"}}}}, {{{0x0C0A, 0x04B0}}}), "en_US.UTF-8",
                  u"ProductVersion", u"es"}));

TEST(VersionBlockTest, ANameTooLongForThePathBufferFindsNothingRatherThanAShorterName) {
    // The path "\StringFileInfo\040904B0\" takes 25 characters of the 256, so a name of 230
    // characters just fits with the terminator; one more does not, and must not be cut to
    // the shorter name that exists.
    const std::u16string fitting(230, u'n');
    const std::u16string tooLong = fitting + u"n";
    ScopedResource replaced(RT_VERSION, 1, kUsEnglish,
                            BuildVersionInfoBlock(Block({{u"040904B0", {{fitting, u"found"}}}}, {{{kUsEnglish, 0x04B0}}})));
    EXPECT_EQ(GetVersionString(fitting), u"found");
    EXPECT_EQ(GetVersionString(tooLong), u"");
}

TEST(VersionBlockTest, NoVersionResourceGivesEmptyStrings) {
    {
        ScopedResource replaced(RT_VERSION, 1, kUsEnglish, BuildVersionInfoBlock(Block(kEnglishOnly, std::nullopt)));
        ASSERT_TRUE(UnregisterResource(RT_VERSION, 1, kUsEnglish));
        EXPECT_EQ(GetVersionString(u"ProductVersion"), u"");
        EXPECT_EQ(GetVersionString(u"CompanyName"), u"");
    }
    EXPECT_EQ(GetVersionString(u"CompanyName"), u"Quendris") << "the program's resource is back";
}

}  // namespace
