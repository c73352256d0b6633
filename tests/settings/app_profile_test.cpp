// The application object's profile operations, over an INI file and over the registry.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "afx/app.h"
#include "crt/crt.h"
#include "paths.h"
#include "support/scoped_test_folder.h"
#include "win32/api.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadBytes;
using testing_support::ScopedEnvironment;
using testing_support::ScopedTestFolder;
using testing_support::WriteBytes;

constexpr char16_t kRegistryKey[] = u"Local AppWizard-Generated Applications";

class AppProfileTest : public ::testing::Test {
protected:
    fs::path iniFile() const { return folder_.path() / "AppSettings.ini"; }
    void UseIniFile() { app_.SetProfileName(FromHostPath(iniFile().string()).c_str()); }
    void UseRegistry() { app_.SetRegistryKey(kRegistryKey); }

    // Reads a value straight from the registry, where the fallback keeps it.
    std::optional<std::pair<DWORD, std::vector<BYTE>>> RawRegistryValue(const char16_t* section, const char16_t* entry) {
        const std::u16string path = std::u16string(u"Software\\") + kRegistryKey + u"\\" + app_.m_pszAppName + u"\\" + section;
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != 0) return std::nullopt;
        DWORD type = 0;
        DWORD size = 0;
        std::optional<std::pair<DWORD, std::vector<BYTE>>> result;
        if (RegQueryValueExW(key, entry, nullptr, &type, nullptr, &size) == 0) {
            std::vector<BYTE> data(size);
            if (RegQueryValueExW(key, entry, nullptr, &type, data.data(), &size) == 0) result = {{type, data}};
        }
        RegCloseKey(key);
        return result;
    }

    ScopedTestFolder folder_;
    ScopedEnvironment xdg_{"XDG_CONFIG_HOME", (folder_.path() / "config").string()};
    ScopedEnvironment home_{"HOME", folder_.path().string()};
    CWinApp app_{u"Pelmarin"};
};

TEST_F(AppProfileTest, IntegersInTheIniFile) {
    UseIniFile();
    WriteBytes(iniFile(), "[Features]\r\nA= 12 \r\nB=12abc\r\nC=abc\r\nD=\r\nE=-3\r\n");
    struct Case {
        const char16_t* entry;
        UINT expected;
    };
    const Case cases[] = {
        {u"A", 12u}, {u"B", 12u}, {u"C", 77u}, {u"D", 77u}, {u"E", static_cast<UINT>(-3)}, {u"Absent", 77u},
    };
    for (const Case& c : cases) EXPECT_EQ(app_.GetProfileIntW(u"Features", c.entry, 77), c.expected) << text::ToUtf8(c.entry);

    ASSERT_TRUE(app_.WriteProfileInt(u"Features", u"ProxyMode", 2));
    EXPECT_EQ(app_.GetProfileIntW(u"features", u"proxymode", 0), 2u);
    EXPECT_NE(ReadBytes(iniFile()).find("\r\nProxyMode=2\r\n"), std::string::npos);
}

TEST_F(AppProfileTest, StringsInTheIniFileLoseTheirOuterBlanks) {
    UseIniFile();
    ASSERT_TRUE(app_.WriteProfileStringW(u"Features", u"Proxy", u"  10.0.0.1:8080 \t"));
    EXPECT_NE(ReadBytes(iniFile()).find("Proxy=  10.0.0.1:8080 \t\r\n"), std::string::npos) << "written unchanged";
    EXPECT_EQ(app_.GetProfileStringW(u"Features", u"Proxy", u"default"), u"10.0.0.1:8080");
    EXPECT_EQ(app_.GetProfileStringW(u"Features", u"Absent", u"default"), u"default");
    EXPECT_EQ(app_.GetProfileStringW(u"Features", u"Absent"), u"");
}

TEST_F(AppProfileTest, NullValueAndNullEntryRemoveFromTheIniFile) {
    UseIniFile();
    WriteBytes(iniFile(), "[Features]\r\nProxy=p\r\nProxyMode=1\r\n[Other]\r\nX=1\r\n");
    ASSERT_TRUE(app_.WriteProfileStringW(u"Features", u"Proxy", nullptr));
    EXPECT_EQ(ReadBytes(iniFile()), "[Features]\r\nProxyMode=1\r\n[Other]\r\nX=1\r\n");
    ASSERT_TRUE(app_.WriteProfileStringW(u"Features", nullptr, nullptr));
    EXPECT_EQ(ReadBytes(iniFile()), "[Other]\r\nX=1\r\n");
}

TEST_F(AppProfileTest, RegistryFallbackKeepsStringsUnchangedAndWithoutLimit) {
    UseRegistry();
    std::u16string longText = u" leading and trailing blanks ";
    while (longText.size() < 10000) longText += u"\\-\\ more text ";
    ASSERT_TRUE(app_.WriteProfileStringW(u"Features", u"Bookmarks", longText.c_str()));
    EXPECT_EQ(app_.GetProfileStringW(u"Features", u"Bookmarks", u""), longText);

    const auto raw = RawRegistryValue(u"Features", u"Bookmarks");
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->first, REG_SZ);
    EXPECT_EQ(raw->second.size(), (longText.size() + 1) * sizeof(char16_t)) << "with its terminator";
    EXPECT_FALSE(fs::exists(iniFile()));
}

TEST_F(AppProfileTest, RegistryFallbackStoresIntegersAsDwords) {
    UseRegistry();
    EXPECT_EQ(app_.GetProfileIntW(u"Features", u"ProxyMode", 5), 5u);
    ASSERT_TRUE(app_.WriteProfileInt(u"Features", u"ProxyMode", 2));
    EXPECT_EQ(app_.GetProfileIntW(u"Features", u"ProxyMode", 5), 2u);
    const auto raw = RawRegistryValue(u"Features", u"ProxyMode");
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->first, REG_DWORD);
    ASSERT_EQ(raw->second.size(), 4u);
    EXPECT_EQ(raw->second[0], 2);

    // A value of the other kind is not taken for this one.
    EXPECT_EQ(app_.GetProfileStringW(u"Features", u"ProxyMode", u"default"), u"default");
    ASSERT_TRUE(app_.WriteProfileStringW(u"Features", u"Proxy", u"7"));
    EXPECT_EQ(app_.GetProfileIntW(u"Features", u"Proxy", 5), 5u);
}

TEST_F(AppProfileTest, RegistryFallbackRemovesAValue) {
    UseRegistry();
    ASSERT_TRUE(app_.WriteProfileStringW(u"Features", u"Proxy", u"p"));
    ASSERT_TRUE(app_.WriteProfileStringW(u"Features", u"Proxy", nullptr));
    EXPECT_EQ(app_.GetProfileStringW(u"Features", u"Proxy", u"gone"), u"gone");
    EXPECT_TRUE(app_.WriteProfileStringW(u"Features", u"Proxy", nullptr)) << "removing an absent value is no failure";
}

TEST_F(AppProfileTest, ReadingTheRegistryFallbackCreatesNoKey) {
    UseRegistry();
    EXPECT_EQ(app_.GetProfileStringW(u"Features", u"Proxy", u"d"), u"d");
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Local AppWizard-Generated Applications", 0, KEY_READ, &key), 0);
}

TEST_F(AppProfileTest, WithoutAProfileReadsGiveDefaultsAndWritesFail) {
    EXPECT_EQ(app_.GetProfileIntW(u"Features", u"ProxyMode", 3), 3u);
    EXPECT_EQ(app_.GetProfileStringW(u"Features", u"Proxy", u"d"), u"d");
    EXPECT_FALSE(app_.WriteProfileInt(u"Features", u"ProxyMode", 1));
    EXPECT_FALSE(app_.WriteProfileStringW(u"Features", u"Proxy", u"p"));
}

TEST_F(AppProfileTest, TheLastOfSetProfileNameAndSetRegistryKeyDecides) {
    UseIniFile();
    ASSERT_TRUE(app_.WriteProfileStringW(u"Features", u"Proxy", u"in the file"));
    UseRegistry();
    EXPECT_EQ(app_.m_pszProfileName, nullptr);
    ASSERT_NE(app_.m_pszRegistryKey, nullptr);
    EXPECT_EQ(std::u16string(app_.m_pszRegistryKey), kRegistryKey);
    ASSERT_TRUE(app_.WriteProfileStringW(u"Features", u"Proxy", u"in the registry"));
    EXPECT_EQ(app_.GetProfileStringW(u"Features", u"Proxy"), u"in the registry");
    UseIniFile();
    EXPECT_EQ(app_.m_pszRegistryKey, nullptr);
    EXPECT_EQ(app_.GetProfileStringW(u"Features", u"Proxy"), u"in the file");
}

TEST_F(AppProfileTest, TheProfileNameIsAPrivateCopy) {
    std::u16string path = FromHostPath(iniFile().string());
    app_.SetProfileName(path.c_str());
    path.assign(path.size(), u'x');
    ASSERT_TRUE(app_.WriteProfileStringW(u"Features", u"Proxy", u"p"));
    EXPECT_TRUE(fs::exists(iniFile()));
}

}  // namespace
