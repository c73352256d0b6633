// Path mapping, folders, the application-data folder, the executable's path and arguments.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <optional>
#include <thread>
#include <string>
#include <vector>

#include "afx/app.h"
#include "crt/crt.h"
#include "paths.h"
#include "support/scoped_test_folder.h"
#include "win32/api.h"

namespace fs = std::filesystem;
using testing_support::ScopedEnvironment;
using testing_support::ScopedTestFolder;
using testing_support::WriteBytes;

namespace {

TEST(PathMapping, WindowsPathsToHostPaths) {
    struct Case {
        std::u16string windows;
        std::optional<std::string> host;
    };
    const std::vector<Case> cases = {
        {u"Z:\\home\\u\\.config", "/home/u/.config"},
        {u"z:/home//u\\", "/home/u"},
        {u"Z:\\", "/"},
        {u"Z:", "."},
        {u"\\var\\lib", "/var/lib"},
        {u"rel\\sub/leaf", "rel/sub/leaf"},
        {u"Z:rel", "rel"},
        {u"\\\\?\\Z:\\long", "/long"},
        {u"Z:\\caf\u00E9\\\U0001F600", "/caf\xC3\xA9/\xF0\x9F\x98\x80"},
        {u"C:\\Windows", std::nullopt},
        {u"c:relative", std::nullopt},
        {u"\\\\server\\share", std::nullopt},
        {u"//server/share", std::nullopt},
        {u"", std::nullopt},
        {std::u16string(u"Z:\\a\0b", 6), std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ToHostPath(c.windows), c.host) << text::ToUtf8(c.windows);
}

TEST(PathMapping, HostPathsToWindowsPathsAndBack) {
    struct Case {
        std::string host;
        std::u16string windows;
    };
    const std::vector<Case> cases = {
        {"/home/u/.config", u"Z:\\home\\u\\.config"},
        {"/", u"Z:\\"},
        {"/a//b/", u"Z:\\a\\b"},
        {"rel/x", u"rel\\x"},
        {"/caf\xC3\xA9", u"Z:\\caf\u00E9"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FromHostPath(c.host), c.windows) << c.host;
        const auto back = ToHostPath(c.windows);
        ASSERT_TRUE(back.has_value()) << c.host;
        EXPECT_EQ(FromHostPath(*back), c.windows) << c.host;
    }
}

std::u16string Windows(const std::string& hostPath) {
    return FromHostPath(hostPath);
}

TEST(CreateDirectory, ResultsAndErrorCodes) {
    ScopedTestFolder folder;
    WriteBytes(folder.path() / "file", "x");

    struct Case {
        const char* what;
        std::u16string path;
        BOOL result;
        DWORD error;  // checked when the call fails
    };
    const std::vector<Case> cases = {
        {"new folder", Windows(folder / "made"), TRUE, 0},
        {"forward slashes", Windows(folder / "made") + u"/inner", TRUE, 0},
        {"folder exists", Windows(folder / "made"), FALSE, ERROR_ALREADY_EXISTS},
        {"file of that name exists", Windows(folder / "file"), FALSE, ERROR_ALREADY_EXISTS},
        {"parent missing", Windows(folder / "missing") + u"\\child", FALSE, ERROR_PATH_NOT_FOUND},
        {"parent is a file", Windows(folder / "file") + u"\\child", FALSE, ERROR_PATH_NOT_FOUND},
        {"other drive", u"C:\\Pelmarin", FALSE, ERROR_PATH_NOT_FOUND},
        {"network share", u"\\\\host\\share\\x", FALSE, ERROR_PATH_NOT_FOUND},
        {"MAX_PATH characters", u"Z:\\" + std::u16string(MAX_PATH - 3, u'a'), FALSE, ERROR_FILENAME_EXCED_RANGE},
    };
    for (const auto& c : cases) {
        SetLastError(0xDEAD);
        EXPECT_EQ(CreateDirectoryW(c.path.c_str(), nullptr), c.result) << c.what;
        if (c.result == FALSE) {
            EXPECT_EQ(GetLastError(), c.error) << c.what;
        }
    }
    EXPECT_TRUE(fs::is_directory(folder.path() / "made" / "inner"));

    SetLastError(0);
    EXPECT_FALSE(CreateDirectoryW(nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST(CreateDirectory, JustBelowMaxPathIsAccepted) {
    ScopedTestFolder folder;
    // Build a path of MAX_PATH - 1 characters from components the host accepts.
    std::u16string path = Windows(folder.path().string());
    while (MAX_PATH - 1 - path.size() > 120) {
        path += u"\\" + std::u16string(100, u'p');
        ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr)) << GetLastError();
    }
    path += u"\\" + std::u16string(MAX_PATH - 2 - path.size(), u'q');
    ASSERT_EQ(path.size(), MAX_PATH - 1);
    EXPECT_TRUE(CreateDirectoryW(path.c_str(), nullptr)) << GetLastError();
}

TEST(CreateDirectory, ReadOnlyParentIsAccessDenied) {
    if (::geteuid() == 0) GTEST_SKIP() << "the superuser may write into any folder";
    ScopedTestFolder folder;
    fs::create_directory(folder.path() / "locked");
    fs::permissions(folder.path() / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    const std::u16string path = Windows(folder / "locked/child");
    EXPECT_FALSE(CreateDirectoryW(path.c_str(), nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    fs::permissions(folder.path() / "locked", fs::perms::owner_all);
}

TEST(LastError, IsKeptPerThread) {
    SetLastError(ERROR_MORE_DATA);
    DWORD seenByOther = 1;
    std::thread other([&] {
        seenByOther = GetLastError();
        SetLastError(ERROR_ACCESS_DENIED);
    });
    other.join();
    EXPECT_EQ(seenByOther, ERROR_SUCCESS);
    EXPECT_EQ(GetLastError(), ERROR_MORE_DATA);
}

struct AppDataCase {
    const char* what;
    std::optional<std::string> configHome;  // relative to the test folder when not absolute
    std::optional<std::string> home;
    HRESULT result;
    std::optional<std::string> expected;  // relative to the test folder
};

TEST(ShellFolders, RoamingApplicationDataFollowsTheConfigurationFolder) {
    const std::vector<AppDataCase> cases = {
        {"XDG_CONFIG_HOME wins", "/cfg", "/home", S_OK, "/cfg"},
        {"unset falls back to HOME", std::nullopt, "/home", S_OK, "/home/.config"},
        {"empty falls back to HOME", "", "/home", S_OK, "/home/.config"},
        {"relative value is ignored", "relative/cfg", "/home", S_OK, "/home/.config"},
        {"neither known", std::nullopt, std::nullopt, E_FAIL, std::nullopt},
        {"empty HOME is unknown", std::nullopt, "", E_FAIL, std::nullopt},
    };
    for (const auto& c : cases) {
        ScopedTestFolder folder;
        auto inFolder = [&](const std::optional<std::string>& v) -> std::optional<std::string> {
            if (!v || v->empty() || (*v)[0] != '/') return v;
            return folder.path().string() + *v;
        };
        ScopedEnvironment xdg("XDG_CONFIG_HOME", inFolder(c.configHome));
        ScopedEnvironment home("HOME", inFolder(c.home));

        WCHAR path[MAX_PATH];
        path[0] = u'#';
        EXPECT_EQ(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path), c.result) << c.what;
        if (c.expected) {
            const std::string host = *inFolder(c.expected);
            EXPECT_EQ(std::u16string(path), FromHostPath(host)) << c.what;
            EXPECT_TRUE(fs::is_directory(host)) << c.what;
        } else {
            EXPECT_EQ(path[0], u'\0') << c.what;
        }
    }
}

TEST(ShellFolders, TooLongPathsAndOtherFoldersFail) {
    ScopedTestFolder folder;
    ScopedEnvironment xdg("XDG_CONFIG_HOME", folder.path().string() + "/" + std::string(MAX_PATH, 'x'));
    WCHAR path[MAX_PATH];
    EXPECT_EQ(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, path), E_FAIL);
    EXPECT_EQ(path[0], u'\0');

    ScopedEnvironment shorter("XDG_CONFIG_HOME", folder.path().string());
    constexpr int kFlagCreate = 0x8000;
    EXPECT_EQ(SHGetFolderPathW(nullptr, CSIDL_APPDATA | kFlagCreate, nullptr, 0, path), S_OK);
    constexpr int kPersonalFolder = 0x0005;
    EXPECT_EQ(SHGetFolderPathW(nullptr, kPersonalFolder, nullptr, 0, path), E_INVALIDARG);
    EXPECT_EQ(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, nullptr), E_INVALIDARG);
}

TEST(ModuleFileName, ExecutablePathAndTheDocumentedTruncation) {
    const std::u16string expected = FromHostPath(fs::read_symlink("/proc/self/exe").string());
    ASSERT_GT(expected.size(), 3u);
    const DWORD length = static_cast<DWORD>(expected.size());

    std::vector<WCHAR> buffer(expected.size() + 8, u'#');
    EXPECT_EQ(GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size())), length);
    EXPECT_EQ(std::u16string(buffer.data()), expected);
    EXPECT_EQ(GetModuleFileNameW(GetModuleHandleW(nullptr), buffer.data(), length + 1), length);

    std::fill(buffer.begin(), buffer.end(), u'#');
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameW(nullptr, buffer.data(), length), length);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(buffer.data()), expected.substr(0, length - 1));
    EXPECT_EQ(buffer[length], u'#');

    EXPECT_EQ(GetModuleFileNameW(nullptr, buffer.data(), 0), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);

    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameW(reinterpret_cast<HMODULE>(buffer.data()), buffer.data(), 10), 0u);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
}

TEST(ProcessArguments, AreUtf16AndOutliveALaterSet) {
    char program[] = "/opt/pelmarin/Pelmarin";
    char url[] = "/URL";
    char accented[] = "caf\xC3\xA9";
    char broken[] = "\xFF";
    char* first[] = {program, url, accented, broken, nullptr};
    AfxSetArguments(4, first);
    ASSERT_EQ(AfxGetArgc(), 4);
    const WCHAR* const* argv = AfxGetArgv();
    EXPECT_EQ(std::u16string(argv[1]), u"/URL");
    EXPECT_EQ(std::u16string(argv[2]), u"caf\u00E9");
    EXPECT_EQ(std::u16string(argv[3]), u"\uFFFD");
    EXPECT_EQ(argv[4], nullptr);
    const WCHAR* keptByParser = argv[2];

    char* second[] = {program, nullptr};
    AfxSetArguments(1, second);
    EXPECT_EQ(AfxGetArgc(), 1);
    EXPECT_EQ(AfxGetArgv()[1], nullptr);
    EXPECT_EQ(std::u16string(keptByParser), u"caf\u00E9");  // still readable
}

}  // namespace
