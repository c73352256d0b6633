// The system calls behind the menu commands as the layer provides them: the built-in shell
// library with its control-panel entry point, and rundll32.exe's cache-clearing entry.
#include <gtest/gtest.h>

#include <optional>

#include "crt/crt.h"
#include "shell_rundll.h"
#include "sim/desktop.h"
#include "win32/api.h"

namespace {

using ControlRunDll = void (*)(HWND, HINSTANCE, LPCWSTR, int);

ControlRunDll ControlPanelEntry() {
    HMODULE shell = LoadLibraryW(u"Shell32.dll");
    if (!shell) return nullptr;
    return reinterpret_cast<ControlRunDll>(GetProcAddress(shell, "Control_RunDLLW"));
}

TEST(ShellLibraryTest, LoadsUnderAnyCaseWithOrWithoutItsExtension) {
    HMODULE first = LoadLibraryW(u"Shell32.dll");
    ASSERT_NE(first, nullptr);
    for (const char16_t* name : {u"shell32.dll", u"SHELL32.DLL", u"shell32"}) EXPECT_EQ(LoadLibraryW(name), first) << text::ToUtf8(name);
    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_EQ(LoadLibraryW(u"Shell33.dll"), nullptr);
}

TEST(ShellLibraryTest, ExportsControlRunDllByItsNarrowNameOnly) {
    HMODULE shell = LoadLibraryW(u"Shell32.dll");
    ASSERT_NE(shell, nullptr);
    EXPECT_NE(GetProcAddress(shell, "Control_RunDLLW"), nullptr);
    for (const char* missing : {"Control_RunDLL", "control_rundllw", "ShellExecuteW", ""}) {
        SetLastError(0);
        EXPECT_EQ(GetProcAddress(shell, missing), nullptr) << missing;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND)) << missing;
    }
}

TEST(ShellLibraryTest, InternetOptionsAppletShowsTheDesktopsCounterpartForTheOwner) {
    sim::Session session;
    ControlRunDll run = ControlPanelEntry();
    ASSERT_NE(run, nullptr);
    HWND owner = reinterpret_cast<HWND>(0x1234);
    struct Case {
        const char16_t* command;
        bool shows;
    };
    const Case cases[] = {
        {u"inetcpl.cpl,,0", true},  {u"InetCpl.cpl", true},    {u"INETCPL.CPL,,4", true},
        {u"main.cpl", false},       {u"", false},               {u"inetcpl.cplx,,0", false},
    };
    for (const Case& c : cases) {
        session.desktop.internetOptionsShown.clear();
        run(owner, nullptr, c.command, SW_SHOW);
        EXPECT_EQ(session.desktop.internetOptionsShown.size(), c.shows ? 1u : 0u) << text::ToUtf8(c.command);
    }
    run(owner, nullptr, nullptr, SW_SHOW);  // no command: nothing, no crash
    EXPECT_TRUE(session.desktop.internetOptionsShown.empty());
}

TEST(RunDllTest, ClearTracksFlagsMapToWebsiteDataKinds) {
    struct Case {
        const char16_t* parameters;
        std::optional<unsigned> kinds;
    };
    const Case cases[] = {
        {u"InetCpl.cpl,ClearMyTracksByProcess 2", platform::kWebsiteCookies},
        {u"InetCpl.cpl,ClearMyTracksByProcess 8", platform::kWebsiteCache},
        {u"inetcpl.cpl,clearmytracksbyprocess 10", platform::kWebsiteCookies | platform::kWebsiteCache},
        {u"InetCpl.cpl,ClearMyTracksByProcess 255", platform::kWebsiteCookies | platform::kWebsiteCache},
        {u"InetCpl.cpl,ClearMyTracksByProcess 1", 0u},  // history: nothing here to clear
        {u"  InetCpl.cpl,ClearMyTracksByProcess   8  ", platform::kWebsiteCache},
        {u"InetCpl.cpl,ClearMyTracksByProcess", std::nullopt},
        {u"InetCpl.cpl,ClearMyTracksByProcess x", std::nullopt},
        {u"InetCpl.cpl,ClearMyTracksByProcess -2", std::nullopt},
        {u"InetCpl.cpl,ClearMyTracksByProcess 99999999999", std::nullopt},
        {u"shell32.dll,Control_RunDLL inetcpl.cpl", std::nullopt},
        {u"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(platform::ClearTracksKinds(c.parameters), c.kinds) << text::ToUtf8(c.parameters);
}

TEST(RunDllTest, ProgramIsRecognisedByItsFileName) {
    for (const char16_t* file : {u"rundll32.exe", u"RUNDLL32.EXE", u"rundll32", u"C:\\Windows\\System32\\rundll32.exe",
                                 u"\"rundll32.exe\""})
        EXPECT_TRUE(platform::IsRunDllProgram(file)) << text::ToUtf8(file);
    for (const char16_t* file : {u"rundll32.exe.txt", u"myrundll32.exe", u"", u"http://rundll32.exe"})
        EXPECT_FALSE(platform::IsRunDllProgram(file)) << text::ToUtf8(file);
}

TEST(RunDllTest, ShellExecuteClearsWithoutStartingAnythingAndReportsUnknownEntries) {
    sim::Session session;
    sim::Desktop& desktop = session.desktop;
    auto code = [](HINSTANCE result) { return reinterpret_cast<std::uintptr_t>(result); };
    EXPECT_GT(code(ShellExecuteW(nullptr, u"open", u"rundll32.exe", u"InetCpl.cpl,ClearMyTracksByProcess 2", nullptr,
                                 SW_SHOWNORMAL)),
              32u);
    EXPECT_GT(code(ShellExecuteW(nullptr, u"open", u"rundll32.exe", u"InetCpl.cpl,ClearMyTracksByProcess 8", nullptr,
                                 SW_SHOWNORMAL)),
              32u);
    EXPECT_EQ(desktop.websiteDataCleared, (std::vector<unsigned>{platform::kWebsiteCookies, platform::kWebsiteCache}));
    EXPECT_LE(code(ShellExecuteW(nullptr, u"open", u"rundll32.exe", u"printui.dll,PrintUIEntry", nullptr, SW_SHOWNORMAL)),
              32u);
    EXPECT_LE(code(ShellExecuteW(nullptr, u"open", u"rundll32.exe", nullptr, nullptr, SW_SHOWNORMAL)), 32u);
    desktop.clearSucceeds = false;
    EXPECT_LE(code(ShellExecuteW(nullptr, u"open", u"rundll32.exe", u"InetCpl.cpl,ClearMyTracksByProcess 2", nullptr,
                                 SW_SHOWNORMAL)),
              32u)
        << "a failure is not reported as success";
    EXPECT_TRUE(desktop.opened.empty()) << "rundll32.exe is never handed to the desktop";
    EXPECT_EQ(desktop.websiteDataCleared.size(), 3u);
}

}  // namespace
