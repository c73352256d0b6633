// One run of the program's start-up on the simulated desktop, in folders of its own.
//
// The program looks for its Flash module beside its own executable, and here that is the
// test program. So the harness copies the chosen module double there as MOXVE32_24.ocx for
// the run and removes it afterwards. Two safeguards keep that honest:
//  - an exclusive lock on a file beside the module, so that test processes that run at the
//    same time (ctest -j) never see each other's module;
//  - after each run the module the program loaded (it never unloads it, as the process
//    would end) is freed until the loader lets go of it, and the next run checks that it is
//    no longer mapped, so a run never measures the library an earlier run left behind.
#pragma once

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "afx/app.h"
#include "app/corvale_app.h"
#include "com/com.h"
#include "diagnostics/log_folder.h"
#include "diagnostics/log_writer.h"
#include "paths.h"
#include "support/scoped_test_folder.h"
#include "sim/desktop.h"
#include "win32/api.h"

namespace startup_test {

namespace fs = std::filesystem;

enum class FlashModule { None, Succeeds, Fails, NoExport, NotALibrary };

inline const char* FixtureFolder(FlashModule kind) {
    switch (kind) {
    case FlashModule::Succeeds: return PELMARIN_FLASH_FIXTURE_SUCCESS_DIR;
    case FlashModule::Fails: return PELMARIN_FLASH_FIXTURE_FAILS_DIR;
    case FlashModule::NoExport: return PELMARIN_FLASH_FIXTURE_NOEXPORT_DIR;
    case FlashModule::NotALibrary: return PELMARIN_FLASH_FIXTURE_NOTALIBRARY_DIR;
    case FlashModule::None: break;
    }
    return nullptr;
}

inline fs::path ProgramFolder() { return fs::read_symlink("/proc/self/exe").parent_path(); }

inline bool IsMapped(const fs::path& file) {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line))
        if (line.find(file.string()) != std::string::npos) return true;
    return false;
}

// The Flash module double beside the test program for one run.
class ModuleBesideProgram {
public:
    explicit ModuleBesideProgram(FlashModule kind) : path_(ProgramFolder() / "MOXVE32_24.ocx") {
        const std::string lockPath = path_.string() + ".lock";
        lock_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (lock_ >= 0) ::flock(lock_, LOCK_EX);
        std::error_code ignored;
        fs::remove(path_, ignored);
        if (const char* folder = FixtureFolder(kind)) fs::copy_file(fs::path(folder) / "MOXVE32_24.ocx", path_);
    }
    ~ModuleBesideProgram() {
        Unload();
        std::error_code ignored;
        fs::remove(path_, ignored);
        if (lock_ >= 0) ::close(lock_);  // closing releases the lock
    }
    ModuleBesideProgram(const ModuleBesideProgram&) = delete;
    ModuleBesideProgram& operator=(const ModuleBesideProgram&) = delete;

    const fs::path& path() const { return path_; }
    bool locked() const { return lock_ >= 0; }

    // Gives back every reference the program took; the process would have ended instead.
    void Unload() {
        const std::u16string name = FromHostPath(path_.string());
        for (int i = 0; i < 16; ++i) {
            HMODULE module = GetModuleHandleW(name.c_str());
            if (!module || !FreeLibrary(module)) break;
        }
    }

private:
    fs::path path_;
    int lock_ = -1;
};

// What the program showed and did during one start-up.
struct StartupOutcome {
    BOOL result = TRUE;
    std::vector<sim::MessageBoxShown> messageBoxes;
    // Filled by the first step of the main window's loop; absent when no window ran.
    struct Window {
        std::u16string caption;
        std::vector<std::u16string> navigations;
        std::size_t messageBoxesBefore = 0;  // message boxes shown before the window ran
        bool loggingOn = false;
        bool fullScreen = false;
    };
    std::optional<Window> window;
    std::u16string profileName;  // empty when none was set
    std::u16string registryKey;  // empty when none was set
    std::u16string appName;
    std::string calls;  // calls into the Flash module, one per line
};

// The program's one application object, as main.cpp holds it. The settings object binds
// itself to the application it first finds, for the process's life, so every run shares it.
inline CCorvaleApp& Application() {
    static CCorvaleApp application;
    return application;
}

// The folders, environment and desktop of one start-up.
class StartupHarness {
public:
    StartupHarness() = default;

    fs::path configHome() const { return folder_.path() / "config"; }
    fs::path machineRegistry() const { return folder_.path() / "machine"; }
    fs::path settingsFolder() const { return configHome() / "Quendris" / "Pelmarin"; }

    // Registers the Flash control class in the (private) machine registry.
    void RegisterFlashClass() {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, startup::kFlashClassKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  static_cast<LONG>(ERROR_SUCCESS));
        const std::u16string server = u"C:\\Windows\\SysWOW64\\Macromed\\Flash\\Flash.ocx";
        RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                       static_cast<DWORD>((server.size() + 1) * sizeof(char16_t)));
        RegCloseKey(key);
    }

    // Runs InitInstance with these arguments (after the program's path) and the module.
    StartupOutcome Run(const std::vector<std::string>& arguments, FlashModule module) {
        StartupOutcome outcome;
        ModuleBesideProgram placed(module);
        EXPECT_TRUE(placed.locked());
        EXPECT_FALSE(IsMapped(placed.path())) << "an earlier run's module is still loaded";

        std::vector<std::string> storage{fs::read_symlink("/proc/self/exe").string()};
        storage.insert(storage.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& argument : storage) argv.push_back(argument.data());
        argv.push_back(nullptr);
        AfxSetArguments(static_cast<int>(storage.size()), argv.data());

        {
            sim::Session session;
            sim::Desktop& desktop = session.desktop;
            CCorvaleApp& app = Application();
            // What an earlier run left: a new process would start without it.
            app.m_pszProfileName = nullptr;
            app.m_pszRegistryKey = nullptr;
            app.m_pMainWnd = nullptr;
            desktop.Then([&] {
                StartupOutcome::Window window;
                if (app.m_pMainWnd) {
                    window.caption = app.m_pMainWnd->GetWindowText();
                    window.fullScreen = !(app.m_pMainWnd->GetStyle() & WS_CAPTION);
                }
                for (sim::Engine* engine : desktop.Engines()) window.navigations = engine->navigations;
                window.messageBoxesBefore = desktop.messageBoxes.size();
                window.loggingOn = IsLoggingEnabled();
                outcome.window = window;
                if (app.m_pMainWnd) desktop.ClickClose(app.m_pMainWnd->m_hWnd);
            });
            outcome.result = app.InitInstance();
            outcome.messageBoxes = desktop.messageBoxes;
            outcome.profileName = app.m_pszProfileName ? app.m_pszProfileName : u"";
            outcome.registryKey = app.m_pszRegistryKey ? app.m_pszRegistryKey : u"";
            outcome.appName = app.m_pszAppName ? app.m_pszAppName : u"";
            // Start-up never uninitialises COM; the process would end here.
            CoUninitialize();
        }
        outcome.calls = testing_support::ReadBytes(folder_.path() / "calls.log");
        return outcome;
    }

    ~StartupHarness() {
        SetLoggingEnabled(false);
        DestroyActiveLog();
        ForgetLogFolder();
    }
    StartupHarness(const StartupHarness&) = delete;
    StartupHarness& operator=(const StartupHarness&) = delete;

private:
    testing_support::ScopedTestFolder folder_;

public:
    testing_support::ScopedEnvironment xdg{"XDG_CONFIG_HOME", configHome().string()};
    testing_support::ScopedEnvironment home{"HOME", folder_.path().string()};
    testing_support::ScopedEnvironment machine{"PELMARIN_MACHINE_REGISTRY", machineRegistry().string()};
    testing_support::ScopedEnvironment language{"LC_ALL", std::string("en_US.UTF-8")};
    testing_support::ScopedEnvironment callLog{"PELMARIN_FIXTURE_CALL_LOG", (folder_.path() / "calls.log").string()};
};

}  // namespace startup_test
