// The registry over its hive files: documented results, the export format on disk,
// preservation of everything else, corrupt and unreadable hives, other writers.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/scoped_test_folder.h"
#include "win32/api.h"

namespace fs = std::filesystem;
using testing_support::ReadBytes;
using testing_support::ScopedEnvironment;
using testing_support::ScopedTestFolder;
using testing_support::WriteBytes;

namespace {

constexpr LONG kKeyDeleted = 1018;
const std::u16string kFlashKey = u"CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}\\InprocServer32";

class Registry : public ::testing::Test {
protected:
    ScopedTestFolder folder;
    ScopedEnvironment configHome{"XDG_CONFIG_HOME", folder / "config"};
    ScopedEnvironment home{"HOME", folder / "home"};
    ScopedEnvironment machine{"PELMARIN_MACHINE_REGISTRY", folder / "machine"};

    fs::path UserHive() const { return folder.path() / "config/pelmarin-platform/HKEY_CURRENT_USER.reg"; }
    fs::path ClassesHive() const { return folder.path() / "machine/HKEY_CLASSES_ROOT.reg"; }

    static HKEY Create(HKEY root, const std::u16string& path, DWORD* disposition = nullptr) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                  nullptr, &key, disposition),
                  ERROR_SUCCESS);
        return key;
    }
    static LONG SetString(HKEY key, LPCWSTR name, const std::u16string& text) {
        return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                              static_cast<DWORD>((text.size() + 1) * sizeof(char16_t)));
    }
    static LONG SetDword(HKEY key, LPCWSTR name, DWORD value) {
        return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
    static std::optional<std::u16string> GetString(HKEY key, LPCWSTR name) {
        DWORD type = 0, size = 0;
        if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ) {
            return std::nullopt;
        }
        std::vector<char16_t> text(size / 2 + 1, u'#');
        if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()), &size) !=
            ERROR_SUCCESS) {
            return std::nullopt;
        }
        return std::u16string(text.data());
    }
};

TEST_F(Registry, CreateSetAndQueryWriteTheExportFormat) {
    DWORD disposition = 0;
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Quendris\\Pelmarin", &disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    EXPECT_EQ(SetString(key, u"Proxy", u"C:\\dir \"quoted\""), ERROR_SUCCESS);
    EXPECT_EQ(SetDword(key, u"ProxyMode", 10), ERROR_SUCCESS);
    EXPECT_EQ(SetString(key, nullptr, u"default"), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    EXPECT_EQ(ReadBytes(UserHive()),
              "Windows Registry Editor Version 5.00\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software]\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software\\Quendris]\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software\\Quendris\\Pelmarin]\n"
              "\"Proxy\"=\"C:\\\\dir \\\"quoted\\\"\"\n"
              "\"ProxyMode\"=dword:0000000a\n"
              "@=\"default\"\n"
              "\n");

    // Opened again, by another handle and another spelling.
    key = Create(HKEY_CURRENT_USER, u"SOFTWARE\\quendris\\Pelmarin\\", &disposition);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    EXPECT_EQ(GetString(key, u"proxy"), u"C:\\dir \"quoted\"");
    EXPECT_EQ(GetString(key, u""), u"default");
    DWORD type = 0, mode = 0, size = sizeof mode;
    EXPECT_EQ(RegQueryValueExW(key, u"ProxyMode", nullptr, &type, reinterpret_cast<BYTE*>(&mode), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(mode, 10u);
    EXPECT_EQ(size, 4u);
    RegCloseKey(key);
}

TEST_F(Registry, QuerySizeRules) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Sizes");
    ASSERT_EQ(SetString(key, u"Text", u"abc"), ERROR_SUCCESS);

    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"Text", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 8u);  // three characters and the terminator

    char16_t small[2] = {u'#', u'#'};
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExW(key, u"Text", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 8u);

    char16_t exact[4];
    size = sizeof exact;
    EXPECT_EQ(RegQueryValueExW(key, u"Text", nullptr, nullptr, reinterpret_cast<BYTE*>(exact), &size), ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(exact), u"abc");

    EXPECT_EQ(RegQueryValueExW(key, u"Text", nullptr, nullptr, reinterpret_cast<BYTE*>(exact), nullptr),
              ERROR_INVALID_PARAMETER);
    DWORD reserved = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"Text", &reserved, nullptr, nullptr, &size), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueExW(key, u"Missing", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryValueExW(key, nullptr, nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);

    // Text stored without its terminator reads back with one.
    const char16_t unterminated[] = {u'x', u'y'};
    ASSERT_EQ(RegSetValueExW(key, u"Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>(unterminated), 4), ERROR_SUCCESS);
    EXPECT_EQ(GetString(key, u"Bare"), u"xy");
    EXPECT_EQ(RegQueryValueExW(key, u"Bare", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 6u);

    const DWORD value = 5;
    EXPECT_EQ(RegSetValueExW(key, u"Short", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 2),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExW(key, u"Null", 0, REG_SZ, nullptr, 4), ERROR_INVALID_PARAMETER);
    RegCloseKey(key);
}

TEST_F(Registry, KeysExistThroughTheirSectionsOrSectionsBelow) {
    fs::create_directories(ClassesHive().parent_path());
    WriteBytes(ClassesHive(),
                   "Windows Registry Editor Version 5.00\r\n\r\n"
                   "[HKEY_CLASSES_ROOT\\CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}\\InprocServer32]\r\n"
                   "@=\"Z:\\\\opt\\\\flash.ocx\"\r\n");
    struct Case {
        std::u16string path;
        LONG result;
    };
    const std::vector<Case> cases = {
        {kFlashKey, ERROR_SUCCESS},
        {u"clsid\\{d27cdb6e-ae6d-11CF-96b8-444553540000}\\inprocserver32", ERROR_SUCCESS},
        {u"CLSID", ERROR_SUCCESS},
        {u"CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}", ERROR_SUCCESS},
        {u"", ERROR_SUCCESS},
        {u"CLS", ERROR_FILE_NOT_FOUND},
        {kFlashKey + u"\\Deeper", ERROR_FILE_NOT_FOUND},
        {u"Other", ERROR_FILE_NOT_FOUND},
    };
    for (const auto& c : cases) {
        HKEY key = reinterpret_cast<HKEY>(1);
        EXPECT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, c.path.c_str(), 0, KEY_READ, &key), c.result)
            << std::string(c.path.begin(), c.path.end());
        if (c.result == ERROR_SUCCESS) {
            RegCloseKey(key);
        } else {
            EXPECT_EQ(key, nullptr);
        }
    }
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, kFlashKey.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(GetString(key, nullptr), u"Z:\\opt\\flash.ocx");
    // A key opened below an open key.
    HKEY clsid = nullptr, below = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, u"CLSID", 0, KEY_READ, &clsid), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyExW(clsid, u"{D27CDB6E-AE6D-11cf-96B8-444553540000}\\InprocServer32", 0, KEY_READ, &below),
              ERROR_SUCCESS);
    EXPECT_EQ(GetString(below, nullptr), u"Z:\\opt\\flash.ocx");
    RegCloseKey(below);
    RegCloseKey(clsid);
    RegCloseKey(key);
}

// A hive edited by hand: a write re-serialises the key it changes, and every other key,
// comment, line end and hex list keeps its bytes.
TEST_F(Registry, EveryOtherKeyAndValueIsKeptByteForByte) {
    struct Case {
        const char* what;
        std::string original;
        std::string expected;  // after "New"="value" is set in Software\Quendris\Pelmarin
    };
    const std::string pelmarinAfter =
        "[HKEY_CURRENT_USER\\Software\\Quendris\\Pelmarin]\n\"Keep\"=\"me\"\n\"New\"=\"value\"\n\n";
    const std::string other =
        "[HKEY_CURRENT_USER\\Software\\Other]\n"
        "\"Text\"=\"with \\\"quotes\\\" and \\\\ backslash\"\n"
        "\"Binary\"=hex:00,01,ff\n"
        "\"Expand\"=hex(2):25,00,41,00,00,00\n"
        "\"Long\"=hex:01,02,\\\n"
        "  03,04\n"
        "\"Caps\"=dword:DEADBEEF\n"
        "\n";
    const Case cases[] = {
        {"continued hex lists and capital hex digits",
         "Windows Registry Editor Version 5.00\n\n" + other +
             "[HKEY_CURRENT_USER\\Software\\Quendris\\Pelmarin]\n\"Keep\"=\"me\"\n",
         "Windows Registry Editor Version 5.00\n\n" + other + pelmarinAfter},
        {"CR LF line ends and comments, the changed key last without a line end",
         "Windows Registry Editor Version 5.00\r\n\r\n; by hand\r\n[HKEY_CURRENT_USER\\Software\\Other]\r\n"
         "; a note\r\n\"A\"=dword:0000000A\r\n\r\n\r\n"
         "[HKEY_CURRENT_USER\\Software\\Quendris\\Pelmarin]\r\n\"Keep\"=\"me\"",
         "Windows Registry Editor Version 5.00\r\n\r\n; by hand\r\n[HKEY_CURRENT_USER\\Software\\Other]\r\n"
         "; a note\r\n\"A\"=dword:0000000A\r\n\r\n\r\n"
         "[HKEY_CURRENT_USER\\Software\\Quendris\\Pelmarin]\r\n\"Keep\"=\"me\"\r\n\"New\"=\"value\"\r\n\r\n"},
        {"the changed key first, a key after it",
         "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Quendris\\Pelmarin]\n\"Keep\"=\"me\"\n"
             "[HKEY_CURRENT_USER\\Software\\After]\n\"B\" = \"spaced\"\n",
         "Windows Registry Editor Version 5.00\n\n" + pelmarinAfter +
             "[HKEY_CURRENT_USER\\Software\\After]\n\"B\" = \"spaced\"\n"},
        {"new keys are added at the end",
         "Windows Registry Editor Version 5.00\n\n" + other,
         "Windows Registry Editor Version 5.00\n\n" + other + "[HKEY_CURRENT_USER\\Software\\Quendris]\n\n" +
             "[HKEY_CURRENT_USER\\Software\\Quendris\\Pelmarin]\n\"New\"=\"value\"\n\n"},
    };
    for (const Case& c : cases) {
        fs::create_directories(UserHive().parent_path());
        WriteBytes(UserHive(), c.original);
        HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Quendris\\Pelmarin");
        ASSERT_EQ(SetString(key, u"New", u"value"), ERROR_SUCCESS) << c.what;
        RegCloseKey(key);
        EXPECT_EQ(ReadBytes(UserHive()), c.expected) << c.what;
        EXPECT_FALSE(fs::exists(UserHive().string() + ".unreadable")) << c.what;  // comments are understood
    }

    // What was kept reads as before.
    HKEY kept = nullptr;
    WriteBytes(UserHive(), cases[0].expected);
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Other", 0, KEY_READ, &kept), ERROR_SUCCESS);
    BYTE bytes[8];
    DWORD type = 0, size = sizeof bytes;
    EXPECT_EQ(RegQueryValueExW(kept, u"Long", nullptr, &type, bytes, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, 3u);
    EXPECT_EQ(std::vector<BYTE>(bytes, bytes + size), (std::vector<BYTE>{1, 2, 3, 4}));
    RegCloseKey(kept);
}

// A key given twice cannot go back as it was read: the hive is written afresh, whole.
TEST_F(Registry, AKeyGivenTwiceIsWrittenOnceAfresh) {
    fs::create_directories(UserHive().parent_path());
    WriteBytes(UserHive(),
                   "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Twice]\n\"A\"=\"1\"\n\n"
                   "[HKEY_CURRENT_USER\\Software\\Else]\n\"C\"=\"3\"\n\n[HKEY_CURRENT_USER\\Software\\twice]\n\"B\"=\"2\"\n");
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Else");
    ASSERT_EQ(SetString(key, u"D", u"4"), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(ReadBytes(UserHive()),
              "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Twice]\n\"A\"=\"1\"\n\"B\"=\"2\"\n\n"
              "[HKEY_CURRENT_USER\\Software\\Else]\n\"C\"=\"3\"\n\"D\"=\"4\"\n\n");
}

TEST_F(Registry, TextThatAQuotedStringCannotCarryRoundTrips) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Texts");
    const std::vector<std::u16string> texts = {u"Gr\u00FC\u00DFe \U0001F600", u"two\nlines", u"tab\there", u"", u"]["};
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::u16string name = u"v" + std::u16string(1, static_cast<char16_t>(u'0' + i));
        ASSERT_EQ(SetString(key, name.c_str(), texts[i]), ERROR_SUCCESS);
    }
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::u16string name = u"v" + std::u16string(1, static_cast<char16_t>(u'0' + i));
        EXPECT_EQ(GetString(key, name.c_str()), texts[i]);
    }
    const std::string file = ReadBytes(UserHive());
    EXPECT_NE(file.find("\"v0\"=\"Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x98\x80\"\n"), std::string::npos);
    EXPECT_NE(file.find("\"v1\"=hex(1):"), std::string::npos);
    EXPECT_NE(file.find("\"v3\"=\"\"\n"), std::string::npos);
    RegCloseKey(key);
}

TEST_F(Registry, EveryCallSeesWhatOtherProcessesWrote) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Shared");
    ASSERT_EQ(SetString(key, u"Name", u"mine"), ERROR_SUCCESS);
    WriteBytes(UserHive(),
                   "Windows Registry Editor Version 5.00\n\n"
                   "[HKEY_CURRENT_USER\\Software\\Shared]\n\"Name\"=\"theirs\"\n\"Added\"=dword:00000001\n");
    EXPECT_EQ(GetString(key, u"Name"), u"theirs");
    ASSERT_EQ(SetString(key, u"Mine", u"too"), ERROR_SUCCESS);
    DWORD added = 0, size = sizeof added;
    EXPECT_EQ(RegQueryValueExW(key, u"Added", nullptr, nullptr, reinterpret_cast<BYTE*>(&added), &size), ERROR_SUCCESS);
    EXPECT_EQ(added, 1u);

    // The key removed by another writer: the handle reports it.
    WriteBytes(UserHive(), "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Else]\n");
    EXPECT_EQ(SetString(key, u"Name", u"again"), kKeyDeleted);
    EXPECT_EQ(RegQueryValueExW(key, u"Name", nullptr, nullptr, nullptr, &size), kKeyDeleted);
    RegCloseKey(key);
}

TEST_F(Registry, ConcurrentWritersLoseNothing) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Busy");
    auto writer = [&](char16_t prefix) {
        HKEY own = Create(HKEY_CURRENT_USER, u"Software\\Busy");
        for (int i = 0; i < 25; ++i) {
            const std::u16string name = std::u16string(1, prefix) + u"-" + std::u16string(1, static_cast<char16_t>(u'A' + i));
            EXPECT_EQ(SetDword(own, name.c_str(), static_cast<DWORD>(i)), ERROR_SUCCESS);
        }
        RegCloseKey(own);
    };
    std::thread a(writer, u'a'), b(writer, u'b');
    a.join();
    b.join();
    for (char16_t prefix : {u'a', u'b'}) {
        for (int i = 0; i < 25; ++i) {
            const std::u16string name = std::u16string(1, prefix) + u"-" + std::u16string(1, static_cast<char16_t>(u'A' + i));
            DWORD value = 99, size = sizeof value;
            EXPECT_EQ(RegQueryValueExW(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size),
                      ERROR_SUCCESS);
            EXPECT_EQ(value, static_cast<DWORD>(i));
        }
    }
    RegCloseKey(key);
}

TEST_F(Registry, TheNextWriteRemovesWhatAKilledWriterLeft) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Leftovers");
    const fs::path leftover = UserHive().parent_path() / ".HKEY_CURRENT_USER.reg.tmp-4242-0-17";
    WriteBytes(leftover, "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Soft");
    ASSERT_EQ(SetDword(key, u"Value", 1), ERROR_SUCCESS);
    EXPECT_FALSE(fs::exists(leftover));
    EXPECT_EQ(std::distance(fs::directory_iterator(UserHive().parent_path()), {}), 1);
    RegCloseKey(key);
}

TEST_F(Registry, CorruptHiveReadsWhatItCanAndIsKeptBeforeItIsReplaced) {
    fs::create_directories(UserHive().parent_path());
    const std::string corrupt =
        "Windows Registry Editor Version 5.00\n\n"
        "[HKEY_CURRENT_USER\\Software\\Good]\n"
        "\"Kept\"=\"yes\"\n"
        "this line means nothing\n"
        "\"Broken\"=\"unterminated\n"
        "\"Bad\"=dword:xyz\n"
        "[HKEY_CURRENT_USER\\Software\\Half\n"
        "\"Orphan\"=\"lost\"\n"
        "\xFF\xFE garbage\n";
    WriteBytes(UserHive(), corrupt);

    HKEY good = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Good", 0, KEY_ALL_ACCESS, &good), ERROR_SUCCESS);
    EXPECT_EQ(GetString(good, u"Kept"), u"yes");
    EXPECT_EQ(GetString(good, u"Broken"), std::nullopt);
    EXPECT_FALSE(fs::exists(UserHive().string() + ".unreadable"));  // reading changes nothing

    ASSERT_EQ(SetString(good, u"Written", u"now"), ERROR_SUCCESS);
    EXPECT_EQ(ReadBytes(UserHive().string() + ".unreadable"), corrupt);
    EXPECT_EQ(ReadBytes(UserHive()),
              "Windows Registry Editor Version 5.00\n\n"
              "[HKEY_CURRENT_USER\\Software\\Good]\n"
              "\"Kept\"=\"yes\"\n"
              "\"Written\"=\"now\"\n\n");

    // The file now reads back whole: a further write keeps no second copy.
    fs::remove(UserHive().string() + ".unreadable");
    ASSERT_EQ(SetString(good, u"More", u"x"), ERROR_SUCCESS);
    EXPECT_FALSE(fs::exists(UserHive().string() + ".unreadable"));
    RegCloseKey(good);
}

TEST_F(Registry, AFileWithoutTheHeaderIsKeptToo) {
    fs::create_directories(UserHive().parent_path());
    WriteBytes(UserHive(), "[HKEY_CURRENT_USER\\Software\\NoHeader]\n\"A\"=\"1\"\n");
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\NoHeader");
    EXPECT_EQ(GetString(key, u"A"), u"1");
    ASSERT_EQ(SetString(key, u"B", u"2"), ERROR_SUCCESS);
    EXPECT_EQ(ReadBytes(UserHive().string() + ".unreadable"), "[HKEY_CURRENT_USER\\Software\\NoHeader]\n\"A\"=\"1\"\n");
    EXPECT_EQ(GetString(key, u"A"), u"1");
    RegCloseKey(key);
}

TEST_F(Registry, UnreadableHiveReadsAsEmptyAndIsMovedAsideOnWrite) {
    // A folder in the place of the hive file cannot be read as one.
    fs::create_directories(UserHive());
    WriteBytes(UserHive() / "inside", "user data");

    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    key = Create(HKEY_CURRENT_USER, u"Software\\Fresh");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(ReadBytes(UserHive().string() + ".unreadable/inside"), "user data");
    EXPECT_TRUE(fs::is_regular_file(UserHive()));
    RegCloseKey(key);
}

TEST_F(Registry, MachineHiveFolderIsMadeOnFirstWrite) {
    ASSERT_FALSE(fs::exists(folder.path() / "machine"));
    HKEY key = Create(HKEY_LOCAL_MACHINE, u"Software\\Vendor");
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(fs::is_regular_file(folder.path() / "machine/HKEY_LOCAL_MACHINE.reg"));
    EXPECT_FALSE(fs::exists(ClassesHive()));
    RegCloseKey(key);
}

TEST_F(Registry, AccessRightsAndValueDeletion) {
    HKEY writer = Create(HKEY_CURRENT_USER, u"Software\\Rights");
    ASSERT_EQ(SetString(writer, u"Gone", u"soon"), ERROR_SUCCESS);

    HKEY reader = nullptr, setter = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Rights", 0, KEY_READ, &reader), ERROR_SUCCESS);
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Rights", 0, KEY_SET_VALUE, &setter), ERROR_SUCCESS);
    EXPECT_EQ(SetString(reader, u"X", u"y"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValueW(reader, u"Gone"), ERROR_ACCESS_DENIED);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(setter, u"Gone", nullptr, nullptr, nullptr, &size), ERROR_ACCESS_DENIED);

    EXPECT_EQ(RegDeleteValueW(setter, u"Gone"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueW(setter, u"Gone"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryValueExW(reader, u"Gone", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadBytes(UserHive()).find("Gone"), std::string::npos);
    for (HKEY k : {writer, reader, setter}) EXPECT_EQ(RegCloseKey(k), ERROR_SUCCESS);
}

TEST_F(Registry, InvalidHandlesAndArguments) {
    int notAKey = 0;
    HKEY bogus = reinterpret_cast<HKEY>(&notAKey);
    HKEY users = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000003u));  // HKEY_USERS
    HKEY result = nullptr;
    DWORD size = 0;
    EXPECT_EQ(RegOpenKeyExW(bogus, u"x", 0, KEY_READ, &result), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyExW(users, u"x", 0, KEY_READ, &result), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegQueryValueExW(bogus, u"x", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SetString(bogus, u"x", u"y"), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(bogus), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"x", 0, KEY_READ, nullptr), ERROR_INVALID_PARAMETER);

    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Closed");
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);  // closed twice
}

TEST_F(Registry, WithoutAHomeTheUserHiveCannotBeWritten) {
    ScopedEnvironment noConfig("XDG_CONFIG_HOME", std::nullopt);
    ScopedEnvironment noHome("HOME", std::nullopt);
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\X", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\X", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, AFolderThatCannotBeMadeFailsTheWriteAndLeavesNoFile) {
    WriteBytes(folder.path() / "blocker", "a file where the configuration folder should be");
    ScopedEnvironment blocked("XDG_CONFIG_HOME", folder / "blocker");
    HKEY key = nullptr;
    EXPECT_NE(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\X", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(ReadBytes(folder.path() / "blocker"), "a file where the configuration folder should be");
}

}  // namespace
