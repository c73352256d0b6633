// Loading modules: each kind of Flash module double, exports, reference counts, names.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "paths.h"
#include "support/scoped_test_folder.h"
#include "win32/api.h"
#include "win32/module_diagnostics.h"

namespace fs = std::filesystem;
using testing_support::ReadBytes;
using testing_support::ScopedEnvironment;
using testing_support::ScopedTestFolder;

namespace {

using LocalRegister = std::int32_t (*)(std::int32_t);
using RegisterServer = std::int32_t (*)();

std::u16string ModulePath(const char* folder) {
    return FromHostPath(std::string(folder) + "/MOXVE32_24.ocx");
}

class Modules : public ::testing::Test {
protected:
    ScopedTestFolder folder;
    ScopedEnvironment callLog{"PELMARIN_FIXTURE_CALL_LOG", folder / "calls.log"};
    std::string Calls() const { return ReadBytes(folder.path() / "calls.log"); }
};

TEST_F(Modules, ExportsOfTheSucceedingAndTheFailingModule) {
    struct Case {
        const char* folder;
        std::int32_t local;
        std::int32_t server;
    };
    for (const Case& c : {Case{PELMARIN_FLASH_FIXTURE_SUCCESS_DIR, 1, 0}, Case{PELMARIN_FLASH_FIXTURE_FAILS_DIR, 0, 1}}) {
        HMODULE module = LoadLibraryW(ModulePath(c.folder).c_str());
        ASSERT_NE(module, nullptr) << c.folder << ": " << GetLastModuleLoadErrorText();
        auto local = reinterpret_cast<LocalRegister>(GetProcAddress(module, "DllLocalRegister"));
        auto server = reinterpret_cast<RegisterServer>(GetProcAddress(module, "DllRegisterServer"));
        ASSERT_NE(local, nullptr);
        ASSERT_NE(server, nullptr);
        EXPECT_EQ(local(0), c.local) << c.folder;
        EXPECT_EQ(server(), c.server) << c.folder;
        EXPECT_TRUE(FreeLibrary(module));
    }
    EXPECT_EQ(Calls(), "DllLocalRegister(0)\nDllRegisterServer()\nDllLocalRegister(0)\nDllRegisterServer()\n");
}

TEST_F(Modules, MissingExportsAndModulesThatAreNotLibraries) {
    HMODULE module = LoadLibraryW(ModulePath(PELMARIN_FLASH_FIXTURE_NOEXPORT_DIR).c_str());
    ASSERT_NE(module, nullptr) << GetLastModuleLoadErrorText();
    for (const char* name : {"DllLocalRegister", "DllRegisterServer"}) {
        SetLastError(0);
        EXPECT_EQ(GetProcAddress(module, name), nullptr) << name;
        EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND) << name;
    }
    EXPECT_EQ(GetProcAddress(module, reinterpret_cast<LPCSTR>(std::uintptr_t{1})), nullptr);  // by ordinal
    FreeLibrary(module);

    struct Case {
        const char* what;
        std::u16string path;
    };
    const Case failures[] = {
        {"a text file", ModulePath(PELMARIN_FLASH_FIXTURE_NOTALIBRARY_DIR)},
        {"no such file", ModulePath((folder.path() / "nowhere").c_str())},
        {"another drive", u"C:\\Windows\\MOXVE32_24.ocx"},
    };
    for (const auto& c : failures) {
        SetLastError(0);
        EXPECT_EQ(LoadLibraryW(c.path.c_str()), nullptr) << c.what;
        EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND) << c.what;
        EXPECT_FALSE(GetLastModuleLoadErrorText().empty()) << c.what;
    }
    EXPECT_EQ(Calls(), "");  // nothing was called
}

TEST_F(Modules, LoadingTwiceGivesOneHandleThatNeedsTwoFrees) {
    const std::u16string path = ModulePath(PELMARIN_FLASH_FIXTURE_SUCCESS_DIR);
    HMODULE first = LoadLibraryW(path.c_str());
    HMODULE second = LoadLibraryW(path.c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);

    // The module knows its file, and can be found by its name.
    WCHAR name[MAX_PATH];
    const DWORD length = GetModuleFileNameW(first, name, MAX_PATH);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(ToHostPath(name), fs::canonical(std::string(PELMARIN_FLASH_FIXTURE_SUCCESS_DIR) + "/MOXVE32_24.ocx").string());
    EXPECT_EQ(GetModuleHandleW(u"moxve32_24.OCX"), first);
    EXPECT_EQ(GetModuleHandleW(name), first);

    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_NE(GetProcAddress(second, "DllLocalRegister"), nullptr);  // still loaded
    EXPECT_TRUE(FreeLibrary(second));

    SetLastError(0);
    EXPECT_EQ(GetModuleHandleW(u"MOXVE32_24.ocx"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    EXPECT_FALSE(FreeLibrary(first));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(GetProcAddress(first, "DllLocalRegister"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
}

TEST_F(Modules, TheExecutableIsAModuleToo) {
    HMODULE self = GetModuleHandleW(nullptr);
    ASSERT_NE(self, nullptr);
    EXPECT_EQ(GetModuleHandleW(FromHostPath(fs::read_symlink("/proc/self/exe").string()).c_str()), self);
    EXPECT_EQ(GetModuleHandleW(FromHostPath(fs::read_symlink("/proc/self/exe").filename().string()).c_str()), self);
    EXPECT_TRUE(FreeLibrary(self));  // never unloaded
    EXPECT_EQ(GetModuleHandleW(nullptr), self);
}

TEST_F(Modules, ABareNameIsFoundInTheWorkingFolder) {
    // A name that the program's own folder does not hold.
    fs::copy_file(std::string(PELMARIN_FLASH_FIXTURE_FAILS_DIR) + "/MOXVE32_24.ocx", folder.path() / "bare-name.ocx");
    const fs::path previous = fs::current_path();
    fs::current_path(folder.path());
    HMODULE module = LoadLibraryW(u"bare-name.ocx");
    fs::current_path(previous);
    ASSERT_NE(module, nullptr) << GetLastModuleLoadErrorText();
    auto local = reinterpret_cast<LocalRegister>(GetProcAddress(module, "DllLocalRegister"));
    ASSERT_NE(local, nullptr);
    EXPECT_EQ(local(7), 0);
    EXPECT_EQ(Calls(), "DllLocalRegister(7)\n");
    FreeLibrary(module);
}

}  // namespace
