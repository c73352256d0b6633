// Start-up and the Flash module: the fatal message, the warning, the "commit" run and a COM
// apartment that was already there.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crt/crt.h"
#include "mainwindow/corvale_dlg.h"
#include "startup/startup_harness.h"

namespace {

using startup_test::FlashModule;
using startup_test::StartupHarness;
using startup_test::StartupOutcome;

const char* Name(FlashModule kind) {
    switch (kind) {
    case FlashModule::None: return "no module";
    case FlashModule::Succeeds: return "succeeding module";
    case FlashModule::Fails: return "failing module";
    case FlashModule::NoExport: return "module without the exports";
    case FlashModule::NotALibrary: return "not a library";
    }
    return "?";
}

std::u16string ProgramBaseName() {
    return text::FromUtf8(startup_test::fs::read_symlink("/proc/self/exe").stem().string());
}

void ExpectFatalMessage(const sim::MessageBoxShown& box) {
    EXPECT_EQ(box.text, u"Could not initialize the Flash Player: unable to proceed");
    EXPECT_EQ(box.caption, u"FATAL ERROR");
    EXPECT_EQ(box.type, MB_ICONERROR);
    EXPECT_EQ(box.owner, nullptr);
}

void ExpectFlashWarning(const sim::MessageBoxShown& box) {
    EXPECT_EQ(box.text,
              u"No Flash Player is found registered in the system. This may cause your Flash-based application to not "
              u"recognise the presence of Flash Player within the packaged browser.\n\nTo rectify this, please contact "
              u"KELVARO for a utility to restore the registry settings so that JavaScript will believe there is a Flash "
              u"Player present.");
    EXPECT_EQ(box.caption, ProgramBaseName()) << "the application name is the executable's name";
    EXPECT_EQ(box.type, MB_ICONWARNING);
    EXPECT_EQ(box.owner, nullptr);
}

TEST(StartupFlashTest, AModuleThatCannotBeActivatedIsFatalAndNoWindowOpens) {
    struct Case {
        FlashModule module;
        bool registered;
        const char* calls;
    };
    const Case cases[] = {
        {FlashModule::None, true, ""},
        {FlashModule::Fails, true, "DllLocalRegister(0)\n"},  // a result of 0 is a failure
        {FlashModule::NoExport, true, ""},
        {FlashModule::NotALibrary, true, ""},
        {FlashModule::None, false, ""},
        {FlashModule::Fails, false, "DllLocalRegister(0)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(Name(c.module)) + (c.registered ? ", Flash registered" : ", Flash not registered"));
        StartupHarness harness;
        if (c.registered) harness.RegisterFlashClass();
        StartupOutcome outcome = harness.Run({}, c.module);
        EXPECT_EQ(outcome.result, FALSE);
        EXPECT_FALSE(outcome.window) << "no main window after the fatal message";
        EXPECT_EQ(outcome.calls, c.calls);
        ASSERT_EQ(outcome.messageBoxes.size(), c.registered ? 1u : 2u);
        if (!c.registered) ExpectFlashWarning(outcome.messageBoxes.front());
        ExpectFatalMessage(outcome.messageBoxes.back());
    }
}

TEST(StartupFlashTest, UnregisteredFlashWarnsFirstAndThenRunsTheWindow) {
    StartupHarness harness;
    StartupOutcome outcome = harness.Run({}, FlashModule::Succeeds);
    ASSERT_EQ(outcome.messageBoxes.size(), 1u);
    ExpectFlashWarning(outcome.messageBoxes[0]);
    ASSERT_TRUE(outcome.window) << "the program goes on after the warning";
    EXPECT_EQ(outcome.window->messageBoxesBefore, 1u) << "the warning comes before the window";
    EXPECT_EQ(outcome.calls, "DllLocalRegister(0)\n") << "per-process activation, not registration";
    EXPECT_EQ(outcome.result, FALSE);
}

TEST(StartupFlashTest, RegisteredFlashRunsTheWindowWithoutAnyMessage) {
    StartupHarness harness;
    harness.RegisterFlashClass();
    StartupOutcome outcome = harness.Run({}, FlashModule::Succeeds);
    EXPECT_TRUE(outcome.messageBoxes.empty());
    ASSERT_TRUE(outcome.window);
    EXPECT_EQ(outcome.window->caption, u"Pelmarin") << "the main window is the application's main window";
    EXPECT_EQ(outcome.window->navigations, std::vector<std::u16string>{kBuiltInStartUrl});
    EXPECT_EQ(outcome.calls, "DllLocalRegister(0)\n");
    EXPECT_EQ(outcome.result, FALSE) << "InitInstance returns FALSE on every path";
}

TEST(StartupFlashTest, TheCommitRunShowsNothingWhateverTheOutcome) {
    struct Case {
        bool registered;
        FlashModule module;
        const char* calls;
    };
    const Case cases[] = {
        {true, FlashModule::Succeeds, "DllLocalRegister(0)\n"},  // registered: activated for the process only
        {true, FlashModule::Fails, "DllLocalRegister(0)\n"},
        {true, FlashModule::NoExport, ""},
        {false, FlashModule::Succeeds, "DllRegisterServer()\n"},
        {false, FlashModule::Fails, "DllRegisterServer()\n"},  // S_FALSE: a failure, still silent
        {false, FlashModule::None, ""},
        {false, FlashModule::NotALibrary, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(Name(c.module)) + (c.registered ? ", Flash registered" : ", Flash not registered"));
        StartupHarness harness;
        if (c.registered) harness.RegisterFlashClass();
        StartupOutcome outcome = harness.Run({"/commit"}, c.module);
        EXPECT_EQ(outcome.calls, c.calls);
        EXPECT_TRUE(outcome.messageBoxes.empty()) << "neither the warning nor the fatal message";
        EXPECT_FALSE(outcome.window);
        EXPECT_EQ(outcome.result, FALSE);
    }
}

TEST(StartupFlashTest, AnApartmentThatIsAlreadyThereEndsStartUpSilently) {
    StartupHarness harness;
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    StartupOutcome outcome = harness.Run({}, FlashModule::Succeeds);  // start-up sees S_FALSE
    CoUninitialize();
    EXPECT_TRUE(outcome.messageBoxes.empty()) << "no warning: start-up ends before the Flash check";
    EXPECT_FALSE(outcome.window);
    EXPECT_EQ(outcome.calls, "") << "the module is not touched";
    EXPECT_EQ(outcome.result, FALSE);
}

}  // namespace
