// The real Flash module, loaded from folders of its own the way the program loads it: its
// per-process activation against the state of the player's files beside it, the class it
// makes available, and its system-wide registration in the registry's files.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "com/page_player.h"
#include "com/ptr.h"
#include "paths.h"
#include "support/scoped_test_folder.h"
#include "win32/api.h"
#include "win32/module_diagnostics.h"

namespace {

namespace fs = std::filesystem;
using LocalRegister = std::int32_t (*)(std::int32_t);
using RegisterServer = std::int32_t (*)();

constexpr char16_t kClassKey[] = u"CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}\\InprocServer32";

// A copy of the module in a folder of its own, loaded for the rest of the process (the
// program never unloads it, and a class it registered must not outlive its code).
struct LoadedCopy {
    fs::path folder;
    fs::path playerFolder;
    LocalRegister localRegister = nullptr;
    RegisterServer registerServer = nullptr;
};

LoadedCopy LoadCopy(const fs::path& folder) {
    LoadedCopy copy{folder, folder / "flash-player"};
    fs::create_directories(folder);
    fs::copy_file(PELMARIN_FLASH_MODULE, folder / "MOXVE32_24.ocx");
    HMODULE module = LoadLibraryW(FromHostPath((folder / "MOXVE32_24.ocx").string()).c_str());
    EXPECT_NE(module, nullptr) << GetLastModuleLoadErrorText();
    if (!module) return copy;
    copy.localRegister = reinterpret_cast<LocalRegister>(GetProcAddress(module, "DllLocalRegister"));
    copy.registerServer = reinterpret_cast<RegisterServer>(GetProcAddress(module, "DllRegisterServer"));
    EXPECT_NE(copy.localRegister, nullptr);
    EXPECT_NE(copy.registerServer, nullptr);
    return copy;
}

// A player folder with these files (name, content) and a list naming listed.
void WritePlayer(const fs::path& folder, const std::vector<std::pair<std::string, std::string>>& files,
                 const std::string& listed) {
    fs::create_directories(folder);
    for (const auto& [name, content] : files) testing_support::WriteBytes(folder / name, content);
    testing_support::WriteBytes(folder / "player-files.txt", listed);
}

const std::vector<std::pair<std::string, std::string>> kWholePlayer = {
    {"loader.js", "window.loaded = true;\n"}, {"core.js", "// core\n"}, {"player.wasm", std::string("\0asm", 4)}};
const std::string kWholeList = "loader.js\ncore.js\r\nplayer.wasm\n";

struct MadeClass {
    HRESULT created = E_FAIL;
    std::u16string folder;
    std::u16string loader;
};

MadeClass CreateFlashControl() {
    MadeClass made;
    CComPtr<IPagePlayer> player;
    made.created = CoCreateInstance(CLSID_FlashControl, nullptr, CLSCTX_INPROC_SERVER, IID_IPagePlayer,
                                    reinterpret_cast<void**>(&player));
    if (FAILED(made.created)) return made;
    CComBSTR folder, loader;
    EXPECT_EQ(player->GetFolder(&folder), S_OK);
    EXPECT_EQ(player->GetLoader(&loader), S_OK);
    made.folder = folder.get() ? folder.get() : u"";
    made.loader = loader.get() ? loader.get() : u"";
    return made;
}

// Every run of this test program starts with no Flash class; the cases of one test build
// on each other, in this order.
TEST(FlashModuleTest, ActivationMakesTheClassAvailableOnlyWithAReadablePlayer) {
    testing_support::ScopedTestFolder root;
    struct Case {
        const char* name;
        void (*prepare)(const fs::path& playerFolder);
    };
    const Case refused[] = {
        {"no player folder", [](const fs::path&) {}},
        {"no list", [](const fs::path& p) { WritePlayer(p, kWholePlayer, ""); fs::remove(p / "player-files.txt"); }},
        {"empty list", [](const fs::path& p) { WritePlayer(p, kWholePlayer, "\n\n"); }},
        {"a listed file missing", [](const fs::path& p) { WritePlayer(p, kWholePlayer, kWholeList + "gone.js\n"); }},
        {"a listed file is a folder",
         [](const fs::path& p) { WritePlayer(p, kWholePlayer, kWholeList + "sub\n"); fs::create_directory(p / "sub"); }},
        {"a listed file is empty", [](const fs::path& p) { WritePlayer(p, {{"loader.js", ""}}, "loader.js\n"); }},
        {"a listed name leaves the folder",
         [](const fs::path& p) { WritePlayer(p, kWholePlayer, "loader.js\n../MOXVE32_24.ocx\n"); }},
    };
    int number = 0;
    for (const Case& c : refused) {
        SCOPED_TRACE(c.name);
        LoadedCopy copy = LoadCopy(root.path() / ("refused-" + std::to_string(++number)));
        ASSERT_TRUE(copy.localRegister);
        c.prepare(copy.playerFolder);
        EXPECT_EQ(copy.localRegister(0), 0);
        EXPECT_EQ(CreateFlashControl().created, REGDB_E_CLASSNOTREG);
    }

    LoadedCopy copy = LoadCopy(root.path() / "whole");
    ASSERT_TRUE(copy.localRegister);
    WritePlayer(copy.playerFolder, kWholePlayer, kWholeList);
    EXPECT_EQ(copy.localRegister(0), 1);
    MadeClass made = CreateFlashControl();
    ASSERT_EQ(made.created, S_OK);
    EXPECT_EQ(made.folder, FromHostPath(fs::canonical(copy.playerFolder).string()));
    EXPECT_EQ(made.loader, u"loader.js") << "the list's first file is the loader";
    EXPECT_EQ(copy.localRegister(0), 1) << "a second activation keeps the class";

    // The player goes: the next activation reports failure and takes the class back.
    fs::remove(copy.playerFolder / "core.js");
    EXPECT_EQ(copy.localRegister(0), 0);
    EXPECT_EQ(CreateFlashControl().created, REGDB_E_CLASSNOTREG);
    WritePlayer(copy.playerFolder, kWholePlayer, kWholeList);
    EXPECT_EQ(copy.localRegister(0), 1);
    EXPECT_EQ(CreateFlashControl().created, S_OK);
}

TEST(FlashModuleTest, SystemWideRegistrationWritesTheClassKeyOrReportsWhyNot) {
    testing_support::ScopedTestFolder root;
    LoadedCopy copy = LoadCopy(root.path() / "program");
    ASSERT_TRUE(copy.registerServer);
    {
        SCOPED_TRACE("writable machine registry");
        const fs::path machine = root.path() / "machine";
        testing_support::ScopedEnvironment registry{"PELMARIN_MACHINE_REGISTRY", machine.string()};
        EXPECT_EQ(copy.registerServer(), S_OK);

        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, kClassKey, 0, KEY_READ, &key), static_cast<LONG>(ERROR_SUCCESS));
        char16_t value[512] = {};
        DWORD size = sizeof value;
        DWORD type = 0;
        EXPECT_EQ(RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size),
                  static_cast<LONG>(ERROR_SUCCESS));
        RegCloseKey(key);
        EXPECT_EQ(type, REG_SZ);
        EXPECT_EQ(std::u16string(value), FromHostPath(fs::canonical(copy.folder / "MOXVE32_24.ocx").string()));
        const std::string hive = testing_support::ReadBytes(machine / "HKEY_CLASSES_ROOT.reg");
        EXPECT_NE(hive.find("[HKEY_CLASSES_ROOT\\CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}\\InprocServer32]"),
                  std::string::npos)
            << hive;
        EXPECT_EQ(copy.registerServer(), S_OK) << "registering again is no error";
    }
    {
        SCOPED_TRACE("machine registry that cannot be written");
        // A folder below a plain file: nothing can create it, not even root.
        const fs::path blocker = root.path() / "not-a-folder";
        testing_support::WriteBytes(blocker, "");
        testing_support::ScopedEnvironment registry{"PELMARIN_MACHINE_REGISTRY", (blocker / "machine").string()};
        const HRESULT result = copy.registerServer();
        EXPECT_TRUE(FAILED(result)) << std::hex << result;
        HKEY key = nullptr;
        EXPECT_NE(RegOpenKeyExW(HKEY_CLASSES_ROOT, kClassKey, 0, KEY_READ, &key), static_cast<LONG>(ERROR_SUCCESS));
    }
}

}  // namespace
