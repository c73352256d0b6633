// Start-up: where the settings live, and what the switches give the main window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crt/crt.h"
#include "mainwindow/corvale_dlg.h"
#include "startup/startup_harness.h"

namespace {

namespace fs = std::filesystem;
using startup_test::FlashModule;
using startup_test::StartupHarness;
using startup_test::StartupOutcome;
using testing_support::ScopedEnvironment;

constexpr char16_t kRegistryFallback[] = u"Local AppWizard-Generated Applications";

TEST(StartupSettingsTest, TheSettingsFolderChainIsMadeAndTheIniFileBecomesTheProfile) {
    for (bool foldersExist : {false, true}) {
        SCOPED_TRACE(foldersExist ? "folders already there" : "fresh configuration folder");
        StartupHarness harness;
        harness.RegisterFlashClass();
        if (foldersExist) fs::create_directories(harness.settingsFolder());
        StartupOutcome outcome = harness.Run({}, FlashModule::Succeeds);
        EXPECT_TRUE(fs::is_directory(harness.settingsFolder()));
        EXPECT_EQ(outcome.profileName, FromHostPath(harness.configHome().string()) + u"\\Quendris\\Pelmarin\\AppSettings.ini");
        EXPECT_EQ(outcome.registryKey, u"");
        EXPECT_TRUE(outcome.window);
        EXPECT_TRUE(outcome.messageBoxes.empty());
    }
}

TEST(StartupSettingsTest, WithoutAnApplicationDataFolderTheSettingsGoToTheRegistry) {
    StartupHarness harness;
    harness.RegisterFlashClass();
    ScopedEnvironment noConfig("XDG_CONFIG_HOME", std::nullopt);
    ScopedEnvironment noHome("HOME", std::nullopt);
    StartupOutcome outcome = harness.Run({}, FlashModule::Succeeds);
    EXPECT_EQ(outcome.registryKey, kRegistryFallback);
    EXPECT_EQ(outcome.profileName, u"");
    EXPECT_TRUE(outcome.window) << "start-up goes on";
    EXPECT_TRUE(outcome.messageBoxes.empty());
}

TEST(StartupSettingsTest, ASettingsFolderThatCannotBeMadeLeavesTheIniFileUnsetAndTheWindowRuns) {
    // A file where a folder of the chain should be: the folder can neither be made nor
    // does it exist (mode bits would not stop a test run as root).
    for (const char* blocked : {"Quendris", "Quendris/Pelmarin"}) {
        SCOPED_TRACE(blocked);
        StartupHarness harness;
        harness.RegisterFlashClass();
        fs::create_directories((harness.configHome() / blocked).parent_path());
        testing_support::WriteBytes(harness.configHome() / blocked, "not a folder");
        StartupOutcome outcome = harness.Run({}, FlashModule::Succeeds);
        EXPECT_EQ(outcome.profileName, u"") << "no settings file path";
        EXPECT_EQ(outcome.registryKey, kRegistryFallback) << "the settings still have somewhere to live";
        EXPECT_TRUE(outcome.window);
        EXPECT_TRUE(outcome.messageBoxes.empty());
        EXPECT_EQ(testing_support::ReadBytes(harness.configHome() / blocked), "not a folder");
    }
}

TEST(StartupSettingsTest, TheSwitchesReachTheMainWindow) {
    struct Case {
        std::vector<std::string> arguments;
        std::u16string navigated;
        bool logging;
        bool fullScreen;
    };
    const Case cases[] = {
        {{}, kBuiltInStartUrl, false, false},
        {{"/URL", "https://example.com/page"}, u"https://example.com/page", false, false},
        {{"/URL", ""}, u"", false, false},  // the empty address is navigated to, and nothing breaks
        {{"/logs"}, kBuiltInStartUrl, true, false},
        {{"/k"}, kBuiltInStartUrl, false, true},
        {{"-URL", "http://a/", "/k", "/logs"}, u"http://a/", true, true},
    };
    for (const Case& c : cases) {
        std::string trace;
        for (const auto& a : c.arguments) trace += "[" + a + "] ";
        SCOPED_TRACE(trace);
        StartupHarness harness;
        harness.RegisterFlashClass();
        StartupOutcome outcome = harness.Run(c.arguments, FlashModule::Succeeds);
        ASSERT_TRUE(outcome.window);
        EXPECT_EQ(outcome.window->navigations, std::vector<std::u16string>{c.navigated});
        EXPECT_EQ(outcome.window->loggingOn, c.logging);
        EXPECT_EQ(outcome.window->fullScreen, c.fullScreen);
    }
}

TEST(StartupSettingsTest, ALogFileIsWrittenOnlyWithTheLogsSwitch) {
    for (bool logs : {false, true}) {
        SCOPED_TRACE(logs ? "/logs" : "no switch");
        StartupHarness harness;
        harness.RegisterFlashClass();
        StartupOutcome outcome = harness.Run(logs ? std::vector<std::string>{"/logs"} : std::vector<std::string>{},
                                             FlashModule::Succeeds);
        ASSERT_TRUE(outcome.window);
        std::vector<fs::path> logFiles;
        const fs::path logsFolder = harness.settingsFolder() / "Logs";
        if (fs::is_directory(logsFolder)) {
            for (const auto& entry : fs::directory_iterator(logsFolder))
                if (entry.path().string().ends_with("-Browser.log")) logFiles.push_back(entry.path());
        }
        ASSERT_EQ(logFiles.size(), logs ? 1u : 0u);
        if (logs) {
            EXPECT_NE(testing_support::ReadBytes(logFiles[0]).find("Starting..."), std::string::npos);
        }
    }
}

}  // namespace
