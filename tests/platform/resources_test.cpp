// The executable's resources: finding, loading, languages, string tables and icons.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/scoped_test_folder.h"
#include "win32/api.h"
#include "win32/resource_registry.h"

using testing_support::ScopedEnvironment;

namespace {

// Ids far from the program's own resources, which the test program also carries.
constexpr WORD kHtmlId = 30001;
constexpr WORD kNamedTypeId = 30002;
constexpr WORD kLanguageId = 30003;

std::vector<BYTE> Bytes(const std::string& text) {
    return std::vector<BYTE>(text.begin(), text.end());
}

std::string Loaded(HMODULE module, HRSRC resource) {
    HGLOBAL handle = LoadResource(module, resource);
    if (handle == nullptr) return "<no handle>";
    const void* data = LockResource(handle);
    if (data == nullptr) return "<not locked>";
    return std::string(static_cast<const char*>(data), SizeofResource(module, resource));
}

TEST(Resources, FindLoadLockAndSize) {
    ScopedResource page(RT_HTML, kHtmlId, 0x0409, Bytes("<html>bookmarks</html>"));
    HMODULE self = GetModuleHandleW(nullptr);

    HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(kHtmlId), RT_HTML);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(Loaded(self, found), "<html>bookmarks</html>");
    EXPECT_EQ(SizeofResource(self, found), 22u);

    // Null stands for the executable, and "#n" names the number n.
    HRSRC byNull = FindResourceW(nullptr, u"#30001", u"#23");
    EXPECT_EQ(byNull, found);
    EXPECT_EQ(Loaded(nullptr, byNull), "<html>bookmarks</html>");
}

TEST(Resources, MissingResourcesGiveTheDocumentedErrors) {
    ScopedResource page(RT_HTML, kHtmlId, 0x0409, Bytes("x"));
    struct Case {
        const char* what;
        HMODULE module;
        LPCWSTR name;
        LPCWSTR type;
        DWORD error;
    };
    const std::vector<Case> cases = {
        {"unknown id", nullptr, MAKEINTRESOURCEW(kHtmlId + 100), RT_HTML, ERROR_RESOURCE_NAME_NOT_FOUND},
        {"unknown type", nullptr, MAKEINTRESOURCEW(kHtmlId), u"NO_SUCH_TYPE", ERROR_RESOURCE_TYPE_NOT_FOUND},
        {"named resource", nullptr, u"BOOKMARKS", RT_HTML, ERROR_RESOURCE_NAME_NOT_FOUND},
        {"another module", reinterpret_cast<HMODULE>(&page), MAKEINTRESOURCEW(kHtmlId), RT_HTML,
         ERROR_RESOURCE_DATA_NOT_FOUND},
    };
    for (const auto& c : cases) {
        SetLastError(0);
        EXPECT_EQ(FindResourceW(c.module, c.name, c.type), nullptr) << c.what;
        EXPECT_EQ(GetLastError(), c.error) << c.what;
    }
    int notAResource = 0;
    EXPECT_EQ(LoadResource(nullptr, reinterpret_cast<HRSRC>(&notAResource)), nullptr);
    EXPECT_EQ(SizeofResource(nullptr, nullptr), 0u);
}

TEST(Resources, NamedTypesIgnoreCaseAndReplacementRestores) {
    HRSRC found = nullptr;
    {
        ScopedResource custom(u"Pelmarin_Data", kNamedTypeId, 0, Bytes("one"));
        found = FindResourceW(nullptr, MAKEINTRESOURCEW(kNamedTypeId), u"PELMARIN_DATA");
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(Loaded(nullptr, found), "one");
        {
            ScopedResource replaced(u"pelmarin_data", kNamedTypeId, 0, Bytes("two"));
            EXPECT_EQ(Loaded(nullptr, FindResourceW(nullptr, MAKEINTRESOURCEW(kNamedTypeId), u"Pelmarin_Data")),
                      "two");
            // The earlier handle still reads the data it was found with.
            EXPECT_EQ(Loaded(nullptr, found), "one");
        }
        EXPECT_EQ(Loaded(nullptr, FindResourceW(nullptr, MAKEINTRESOURCEW(kNamedTypeId), u"PELMARIN_DATA")), "one");
    }
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(kNamedTypeId), u"PELMARIN_DATA"), nullptr);
}

TEST(Resources, TheUserLanguageIsPreferred) {
    ScopedResource english(RT_HTML, kLanguageId, 0x0409, Bytes("english"));
    ScopedResource german(RT_HTML, kLanguageId, 0x0407, Bytes("german"));
    ScopedEnvironment all("LC_ALL", std::nullopt);
    ScopedEnvironment messages("LC_MESSAGES", std::nullopt);
    struct Case {
        const char* lang;
        const char* expected;
    };
    for (const Case& c : {Case{"de_DE.UTF-8", "german"}, Case{"de_CH.UTF-8", "german"},
                          Case{"en_US.UTF-8", "english"}, Case{"fr_FR.UTF-8", "english"}}) {
        ScopedEnvironment lang("LANG", c.lang);
        EXPECT_EQ(Loaded(nullptr, FindResourceW(nullptr, MAKEINTRESOURCEW(kLanguageId), RT_HTML)), c.expected)
            << c.lang;
    }
}

TEST(Resources, EmptyResourceLocksToAValidAddress) {
    ScopedResource empty(RT_HTML, kHtmlId, 0x0409, {});
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(kHtmlId), RT_HTML);
    ASSERT_NE(found, nullptr);
    EXPECT_NE(LockResource(LoadResource(nullptr, found)), nullptr);
    EXPECT_EQ(SizeofResource(nullptr, found), 0u);
}

TEST(StringResources, LoadStringFromTheStringTableLayout) {
    // Strings 4000 and 4001 share the block 251; 4015 is its last entry.
    RegisterStringResource(4000, u"Address:", 0x0409);
    RegisterStringResource(4001, u"Second", 0x0409);
    RegisterStringResource(4015, u"Last of the block", 0x0409);

    WCHAR buffer[32];
    EXPECT_EQ(LoadStringW(nullptr, 4000, buffer, 32), 8);
    EXPECT_EQ(std::u16string(buffer), u"Address:");
    EXPECT_EQ(LoadStringW(GetModuleHandleW(nullptr), 4001, buffer, 32), 6);
    EXPECT_EQ(std::u16string(buffer), u"Second");
    EXPECT_EQ(LoadStringW(nullptr, 4015, buffer, 32), 17);

    // Cut to the buffer, with the terminator.
    EXPECT_EQ(LoadStringW(nullptr, 4000, buffer, 4), 3);
    EXPECT_EQ(std::u16string(buffer), u"Add");

    // With no room the buffer receives a pointer to the text itself, which has no terminator.
    const WCHAR* direct = nullptr;
    EXPECT_EQ(LoadStringW(nullptr, 4001, reinterpret_cast<LPWSTR>(&direct), 0), 6);
    ASSERT_NE(direct, nullptr);
    EXPECT_EQ(std::u16string(direct, 6), u"Second");

    // An empty entry of an existing block and a missing block both give 0.
    buffer[0] = u'#';
    EXPECT_EQ(LoadStringW(nullptr, 4002, buffer, 32), 0);
    EXPECT_EQ(buffer[0], u'\0');
    EXPECT_EQ(LoadStringW(nullptr, 4100, buffer, 32), 0);

    // The raw block is 16 counted strings.
    HRSRC block = FindResourceW(nullptr, MAKEINTRESOURCEW(4000 / 16 + 1), RT_STRING_W());
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(SizeofResource(nullptr, block), 16u * 2 + (8 + 6 + 17) * 2);
    UnregisterResource(RT_STRING_W(), 4000 / 16 + 1, 0x0409);
}

TEST(StringResources, ShortBlocksAreNotReadPastTheirEnd) {
    // A block that promises 200 characters but holds 2.
    ScopedResource broken(RT_STRING_W(), 300, 0x0409, {200, 0, 'a', 0, 'b', 0});
    WCHAR buffer[8];
    EXPECT_EQ(LoadStringW(nullptr, (300 - 1) * 16, buffer, 8), 0);
}

TEST(Icons, LoadIconReturnsOneHandlePerRegisteredIcon) {
    ScopedResource group(RT_GROUP_ICON_W(), 30128, 0x0409, {0, 0, 1, 0, 1, 0});
    HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(30128));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(30128)), icon);
    EXPECT_EQ(icon->id, 30128);
    EXPECT_EQ(icon->data, (std::vector<BYTE>{0, 0, 1, 0, 1, 0}));

    EXPECT_EQ(LoadIconW(nullptr, MAKEINTRESOURCEW(30129)), nullptr);
    EXPECT_EQ(LoadIconW(nullptr, u"NAMED"), nullptr);
}

}  // namespace
