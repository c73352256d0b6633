// The Compatibility commands: the check mark follows the registry value at start, a change is
// written under HKEY_CURRENT_USER when its key exists, and the restart notice is shown.
#include <gtest/gtest.h>

#include <optional>

#include "mainwindow/browser_emulation.h"
#include "popups/main_window_fixture.h"

namespace {

using namespace mainwindow;
using testing_support::MainWindowTest;

constexpr const char16_t* kFeatureKey =
    u"SOFTWARE\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";
constexpr const char16_t* kRestartNotice = u"New setting will take affect after restarting the application";

std::u16string ValueName() {
    char16_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::u16string full(path);
    return full.substr(full.find_last_of(u'\\') + 1);
}

void CreateFeatureKey(HKEY root) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, kFeatureKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegCloseKey(key);
}

void StoreMode(HKEY root, DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, kFeatureKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExW(key, ValueName().c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

std::optional<DWORD> StoredMode(HKEY root) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, kFeatureKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    DWORD value = 0, size = sizeof value, type = 0;
    LONG result = RegQueryValueExW(key, ValueName().c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) return std::nullopt;
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    return value;
}

class CompatibilityTest : public MainWindowTest {
protected:
    // The one checked Compatibility command, 0 for none.
    UINT CheckedMode() const {
        UINT found = 0;
        for (UINT id = ID_COMPATIBILITY_FIRST; id <= ID_COMPATIBILITY_LAST; ++id)
            if (Checked(id)) {
                EXPECT_EQ(found, 0u) << "two commands checked";
                found = id;
            }
        return found;
    }
    std::u16string AppName() const { return app.m_pszAppName; }
};

TEST_F(CompatibilityTest, EveryCommandWritesItsValueChecksItAloneAndTellsOfTheRestart) {
    const std::pair<UINT, DWORD> table[] = {
        {32779, 11001}, {32780, 11000}, {32781, 10001}, {32782, 10000}, {32783, 9999},
        {32784, 9000},  {32785, 8888},  {32786, 8000},  {32787, 7777},  {32788, 7000},
    };
    CreateFeatureKey(HKEY_CURRENT_USER);
    OpenMainWindow();
    EXPECT_EQ(CheckedMode(), 0u);
    for (const auto& [id, value] : table) {
        desktop.messageBoxes.clear();
        Choose(id);
        EXPECT_EQ(StoredMode(HKEY_CURRENT_USER), value) << id;
        EXPECT_EQ(CheckedMode(), id);
        EXPECT_EQ(window->emulationMode, value);
        ASSERT_EQ(desktop.messageBoxes.size(), 1u) << id;
        EXPECT_EQ(desktop.messageBoxes[0].text, kRestartNotice);
        EXPECT_EQ(desktop.messageBoxes[0].caption, AppName());
        EXPECT_EQ(desktop.messageBoxes[0].owner, nullptr);
        EXPECT_EQ(desktop.messageBoxes[0].type, MB_ICONINFORMATION | MB_OK);
    }
    EXPECT_EQ(StoredMode(HKEY_LOCAL_MACHINE), std::nullopt) << "nothing is written to the machine's part";
}

TEST_F(CompatibilityTest, ChoosingTheCheckedCommandAgainDoesNothingAtAll) {
    StoreMode(HKEY_CURRENT_USER, 9000);
    OpenMainWindow();
    ASSERT_EQ(CheckedMode(), 32784u);
    StoreMode(HKEY_CURRENT_USER, 7000);  // changed behind the program's back: not written again
    Choose(32784);
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_EQ(StoredMode(HKEY_CURRENT_USER), 7000u);
    EXPECT_EQ(CheckedMode(), 32784u);
}

struct StartCase {
    const char* name;
    std::optional<DWORD> currentUser, localMachine;  // nullopt: no value
    UINT checkedAtStart;
};

class CompatibilityStartTest : public CompatibilityTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(CompatibilityStartTest, CheckMarkFollowsTheRegistryAndAnyOtherChoiceIsWrittenForTheUser) {
    const StartCase& c = GetParam();
    CreateFeatureKey(HKEY_CURRENT_USER);
    if (c.currentUser) StoreMode(HKEY_CURRENT_USER, *c.currentUser);
    if (c.localMachine) StoreMode(HKEY_LOCAL_MACHINE, *c.localMachine);
    OpenMainWindow();
    EXPECT_EQ(CheckedMode(), c.checkedAtStart) << c.name;

    UINT other = c.checkedAtStart == 32779 ? 32788 : 32779;
    Choose(other);
    EXPECT_EQ(CheckedMode(), other) << c.name;
    EXPECT_EQ(StoredMode(HKEY_CURRENT_USER), EmulationValueOf(other)) << c.name;
    EXPECT_EQ(StoredMode(HKEY_LOCAL_MACHINE), c.localMachine) << c.name;
    EXPECT_EQ(desktop.messageBoxes.size(), 1u) << c.name;
    EXPECT_EQ(ReadBrowserEmulation(), EmulationValueOf(other)) << "the user's value wins from the next start on";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CompatibilityStartTest,
    ::testing::Values(StartCase{"no value anywhere", std::nullopt, std::nullopt, 0},
                      StartCase{"the user's value", 11000, 9000, 32780},
                      StartCase{"the machine's value when the user has none", std::nullopt, 9000, 32784},
                      StartCase{"the machine's value when the user's is 0", 0, 8888, 32785},
                      StartCase{"a value outside the table", 8001, std::nullopt, 0},
                      StartCase{"the user's value outside the table hides none of the machine's", 8001, 9000, 0},
                      StartCase{"IE11 (11001) at start", 11001, std::nullopt, 32779}));

TEST_F(CompatibilityTest, WithoutTheUsersKeyTheChoiceIsNotSavedButTheMarkMovesAndTheNoticeShows) {
    StoreMode(HKEY_LOCAL_MACHINE, 10000);
    OpenMainWindow();
    ASSERT_EQ(CheckedMode(), 32782u);
    Choose(32779);
    EXPECT_EQ(CheckedMode(), 32779u);
    EXPECT_EQ(window->emulationMode, 11001u);
    EXPECT_EQ(desktop.messageBoxes.size(), 1u);
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, kFeatureKey, 0, KEY_READ, &key), ERROR_SUCCESS)
        << "the key is not created";
    EXPECT_EQ(ReadBrowserEmulation(), 10000u) << "after a restart the previous state shows again";
}

TEST_F(CompatibilityTest, TheRunningBrowserKeepsItsPage) {
    CreateFeatureKey(HKEY_CURRENT_USER);
    OpenMainWindow();
    auto navigations = MainEngine()->navigations;
    Choose(32781);
    desktop.RunPending();
    EXPECT_EQ(MainEngine()->navigations, navigations);
    EXPECT_EQ(MainEngine()->refreshes, 0);
}

}  // namespace
