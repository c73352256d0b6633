// VerQueryValueW over real VS_VERSIONINFO blocks: the program's kind, variations, and
// blocks that lie about their lengths.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "support/scoped_test_folder.h"
#include "win32/api.h"
#include "win32/version_block.h"

using testing_support::ScopedEnvironment;

namespace {

VersionInfoContent ProgramKindOfContent() {
    VersionInfoContent content;
    content.fixed.dwFileVersionMS = MakeVersionWord(1, 1);
    content.fixed.dwFileVersionLS = MakeVersionWord(1, 0);
    content.fixed.dwProductVersionMS = MakeVersionWord(1, 1);
    content.fixed.dwProductVersionLS = MakeVersionWord(1, 0);
    content.stringTables = {{u"040904B0",
                             {{u"CompanyName", u"Quendris"},
                              {u"FileVersion", u"1.1.1"},
                              {u"InternalName", u"Pelmarin.exe"},
                              {u"ProductName", u"Pelmarin"},
                              {u"ProductVersion", u"1.1.1"}}}};
    content.translations = std::vector<VersionTranslation>{{0x0409, 0x04B0}};
    return content;
}

// The string a query returns, or nullopt when it fails.
std::optional<std::u16string> QueryString(const std::vector<BYTE>& block, const std::u16string& path,
                                          UINT* lengthOut = nullptr) {
    void* value = nullptr;
    UINT length = 12345;
    if (!VerQueryValueW(block.data(), path.c_str(), &value, &length)) return std::nullopt;
    if (lengthOut) *lengthOut = length;
    return std::u16string(static_cast<const char16_t*>(value));
}

TEST(VersionQuery, FixedInformationOfTheProgramKindOfBlock) {
    const auto block = BuildVersionInfoBlock(ProgramKindOfContent());
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), u"\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    VS_FIXEDFILEINFO fixed;
    std::memcpy(&fixed, value, sizeof fixed);
    EXPECT_EQ(fixed.dwSignature, VS_FFI_SIGNATURE);
    EXPECT_EQ(fixed.dwFileVersionMS, 0x00010001u);
    EXPECT_EQ(fixed.dwFileVersionLS, 0x00010000u);
    EXPECT_EQ(fixed.dwFileOS, VOS_NT_WINDOWS32);
    EXPECT_EQ(fixed.dwFileType, VFT_APP);
    EXPECT_EQ(fixed.dwFileFlagsMask, 0x3Fu);

    // The root's length covers the whole block, and nodes start on 32-bit boundaries.
    EXPECT_EQ(block[0] | (block[1] << 8), static_cast<int>(block.size()));
    EXPECT_EQ(static_cast<const BYTE*>(value) - block.data(), 40);
}

TEST(VersionQuery, TranslationTables) {
    struct Case {
        const char* what;
        std::optional<std::vector<VersionTranslation>> translations;
        bool found;
        std::vector<DWORD> entries;
    };
    const std::vector<Case> cases = {
        {"one entry", std::vector<VersionTranslation>{{0x0409, 0x04B0}}, true, {0x04B00409}},
        {"two entries", std::vector<VersionTranslation>{{0x0409, 0x04B0}, {0x0407, 0x04E4}}, true,
         {0x04B00409, 0x04E40407}},
        {"empty table", std::vector<VersionTranslation>{}, false, {}},
        {"no VarFileInfo", std::nullopt, false, {}},
    };
    for (const auto& c : cases) {
        VersionInfoContent content = ProgramKindOfContent();
        content.translations = c.translations;
        const auto block = BuildVersionInfoBlock(content);
        void* value = nullptr;
        UINT length = 0;
        const BOOL found = VerQueryValueW(block.data(), u"\\VarFileInfo\\Translation", &value, &length);
        EXPECT_EQ(found != FALSE, c.found) << c.what;
        if (!found) continue;
        ASSERT_EQ(length, c.entries.size() * 4) << c.what;
        std::vector<DWORD> entries(c.entries.size());
        std::memcpy(entries.data(), value, length);
        EXPECT_EQ(entries, c.entries) << c.what;
    }
}

TEST(VersionQuery, StringsByBlockAndName) {
    VersionInfoContent content = ProgramKindOfContent();
    content.stringTables[0].strings.push_back({u"Comments", u""});
    content.stringTables.push_back({u"040704E4", {{u"CompanyName", u"Quendris GmbH"}}});
    const auto block = BuildVersionInfoBlock(content);

    struct Case {
        std::u16string path;
        std::optional<std::u16string> value;
        UINT length;  // characters with the terminator
    };
    const std::vector<Case> cases = {
        {u"\\StringFileInfo\\040904B0\\ProductVersion", u"1.1.1", 6},
        {u"\\StringFileInfo\\040904B0\\InternalName", u"Pelmarin.exe", 13},
        {u"\\stringfileinfo\\040904b0\\companyname", u"Quendris", 9},
        {u"\\StringFileInfo\\040704E4\\CompanyName", u"Quendris GmbH", 14},
        {u"\\StringFileInfo\\040904B0\\Comments", u"", 1},
        {u"\\StringFileInfo\\040904B0\\AuxInfo", std::nullopt, 0},
        {u"\\StringFileInfo\\040704B0\\CompanyName", std::nullopt, 0},
        {u"\\StringFileInfo\\040904B0\\Company", std::nullopt, 0},
        {u"\\StringFileInfo\\040904B0", std::nullopt, 0},
        {u"\\StringFileInfo", std::nullopt, 0},
        {u"\\NoSuchNode", std::nullopt, 0},
    };
    for (const auto& c : cases) {
        UINT length = 0;
        const auto value = QueryString(block, c.path, &length);
        EXPECT_EQ(value, c.value) << std::string(c.path.begin(), c.path.end());
        if (value) {
            EXPECT_EQ(length, c.length) << std::string(c.path.begin(), c.path.end());
        }
    }

    void* value = nullptr;
    UINT length = 0;
    EXPECT_FALSE(VerQueryValueW(nullptr, u"\\", &value, &length));
    EXPECT_FALSE(VerQueryValueW(block.data(), nullptr, &value, &length));
    EXPECT_FALSE(VerQueryValueW(block.data(), u"\\", nullptr, &length));
}

// Each successful answer must lie inside the block, and a string must end inside it.
void ExpectAnswersInside(const std::vector<BYTE>& block, const char* what) {
    const std::u16string paths[] = {u"\\",
                                    u"\\VarFileInfo\\Translation",
                                    u"\\StringFileInfo\\040904B0\\CompanyName",
                                    u"\\StringFileInfo\\040904B0\\ProductVersion",
                                    u"\\StringFileInfo\\040904B0\\Comments"};
    const BYTE* begin = block.data();
    const BYTE* end = begin + block.size();
    for (const auto& path : paths) {
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(block.data(), path.c_str(), &value, &length)) continue;
        const auto* at = static_cast<const BYTE*>(value);
        const bool isText = path.find(u"StringFileInfo") != std::u16string::npos;
        if (isText && length == 0) continue;  // an empty value may point at a constant ""
        ASSERT_GE(at, begin) << what;
        const std::size_t bytes = isText ? std::size_t{length} * 2 : length;
        ASSERT_LE(at + bytes, end) << what;
        if (isText) {
            const auto* text = static_cast<const char16_t*>(value);
            bool terminated = false;
            for (UINT i = 0; i < length; ++i) terminated = terminated || text[i] == u'\0';
            EXPECT_TRUE(terminated) << what;
        }
    }
}

// A copy in a buffer of exactly its claimed size, so that the sanitizer sees any read past it.
std::vector<BYTE> WithRootLength(const std::vector<BYTE>& block, std::size_t length) {
    std::vector<BYTE> copy(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(length));
    copy[0] = static_cast<BYTE>(length & 0xFF);
    copy[1] = static_cast<BYTE>(length >> 8);
    return copy;
}

std::size_t Find(const std::vector<BYTE>& block, const std::u16string& key) {
    std::vector<BYTE> pattern;
    for (char16_t c : key) {
        pattern.push_back(static_cast<BYTE>(c & 0xFF));
        pattern.push_back(static_cast<BYTE>(c >> 8));
    }
    auto at = std::search(block.begin(), block.end(), pattern.begin(), pattern.end());
    return static_cast<std::size_t>(at - block.begin());
}

void PutWord(std::vector<BYTE>& block, std::size_t offset, WORD value) {
    block[offset] = static_cast<BYTE>(value & 0xFF);
    block[offset + 1] = static_cast<BYTE>(value >> 8);
}

TEST(VersionQuery, TruncatedBlocksAreNeverReadPastTheirEnd) {
    VersionInfoContent content = ProgramKindOfContent();
    content.stringTables[0].strings.push_back({u"Comments", u""});
    const auto block = BuildVersionInfoBlock(content);
    for (std::size_t length = 2; length < block.size(); ++length) {
        const auto cut = WithRootLength(block, length);
        ExpectAnswersInside(cut, ("cut at " + std::to_string(length)).c_str());
    }
    // Without VarFileInfo the strings are still there; cut into StringFileInfo, none is.
    const std::size_t varFileInfo = Find(block, u"VarFileInfo") - 6;
    EXPECT_EQ(QueryString(WithRootLength(block, varFileInfo), u"\\StringFileInfo\\040904B0\\ProductVersion"),
              u"1.1.1");
    EXPECT_FALSE(QueryString(WithRootLength(block, varFileInfo - 4), u"\\StringFileInfo\\040904B0\\CompanyName")
                     .has_value());
}

TEST(VersionQuery, LyingLengthsAreRefused) {
    const auto good = BuildVersionInfoBlock(ProgramKindOfContent());
    const std::size_t versionNode = Find(good, u"ProductVersion") - 6;
    const std::size_t translationNode = Find(good, u"Translation") - 6;

    struct Case {
        const char* what;
        std::size_t offset;
        WORD value;
        std::u16string path;
    };
    const std::vector<Case> cases = {
        {"string longer than its node", versionNode + 2, 0x7FFF, u"\\StringFileInfo\\040904B0\\ProductVersion"},
        {"node longer than its parent", versionNode, 0xFFF0, u"\\StringFileInfo\\040904B0\\ProductVersion"},
        {"node shorter than its header", versionNode, 3, u"\\StringFileInfo\\040904B0\\ProductVersion"},
        {"translation longer than its node", translationNode + 2, 0x1000, u"\\VarFileInfo\\Translation"},
        // The value of ProductVersion starts after the header and the 15-character key.
        {"string without terminator", versionNode + 36 + 10, u'X', u"\\StringFileInfo\\040904B0\\ProductVersion"},
        {"root longer than the data", 0, static_cast<WORD>(good.size() + 64), u"\\"},
    };
    for (const auto& c : cases) {
        auto bad = good;
        PutWord(bad, c.offset, c.value);
        if (c.offset == 0) {
            // The root claims more than there is: give it the room, filled with garbage the
            // parser must still bound by the nodes' own lengths.
            bad.resize(c.value, 0xCD);
            ExpectAnswersInside(bad, c.what);
            continue;
        }
        void* value = nullptr;
        UINT length = 0;
        EXPECT_FALSE(VerQueryValueW(bad.data(), c.path.c_str(), &value, &length)) << c.what;
        ExpectAnswersInside(bad, c.what);
    }
}

TEST(VersionQuery, RandomDamageStaysInsideTheBlock) {
    VersionInfoContent content = ProgramKindOfContent();
    content.stringTables[0].strings.push_back({u"Comments", u""});
    const auto good = BuildVersionInfoBlock(content);
    std::mt19937 random(20240611);
    for (int round = 0; round < 3000; ++round) {
        auto bad = good;
        const int flips = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < flips; ++i) {
            bad[2 + random() % (bad.size() - 2)] = static_cast<BYTE>(random());
        }
        ExpectAnswersInside(bad, ("round " + std::to_string(round)).c_str());
    }
}

TEST(UserLanguage, FromTheLocaleVariables) {
    struct Case {
        std::optional<std::string> all, messages, lang;
        LANGID expected;
    };
    const std::vector<Case> cases = {
        {std::nullopt, std::nullopt, "en_US.UTF-8", 0x0409},
        {std::nullopt, std::nullopt, "de_DE.UTF-8", 0x0407},
        {std::nullopt, std::nullopt, "fr_FR", 0x040C},
        {std::nullopt, std::nullopt, "de_AT.UTF-8@euro", 0x0C07},
        {std::nullopt, std::nullopt, "en_GB", 0x0809},
        {std::nullopt, std::nullopt, "de_LU", 0x0407},  // known language, unknown country
        {std::nullopt, std::nullopt, "C.UTF-8", 0x0409},
        {std::nullopt, std::nullopt, "POSIX", 0x0409},
        {std::nullopt, std::nullopt, "xx_YY", 0x0409},
        {std::nullopt, std::nullopt, std::nullopt, 0x0409},
        {std::nullopt, "fr_FR.UTF-8", "de_DE.UTF-8", 0x040C},
        {"ja_JP.UTF-8", "fr_FR.UTF-8", "de_DE.UTF-8", 0x0411},
        {"", "", "it_IT", 0x0410},  // empty values do not count
    };
    for (const auto& c : cases) {
        ScopedEnvironment all("LC_ALL", c.all);
        ScopedEnvironment messages("LC_MESSAGES", c.messages);
        ScopedEnvironment lang("LANG", c.lang);
        EXPECT_EQ(GetUserDefaultLangID(), c.expected) << c.lang.value_or("(unset)");
    }
}

}  // namespace
