// The console receiver against document doubles, writing into real log files.
#include <gtest/gtest.h>

#include <memory>

#include "diagnostics/console_log.h"
#include "dump_fake_document.h"
#include "dump_main_window.h"

namespace {

using diagnostics_test::DiagnosticsFolders;
using diagnostics_test::FakeDocument;

TEST(ConsoleLevelWord, KnownLevelsHaveFiveCharacterWordsOthersTheirNumber) {
    const struct {
        int level;
        const char16_t* word;
    } cases[] = {
        {0, u" INFO"}, {1, u" WARN"}, {2, u"ERROR"}, {3, u"[003]"},  {7, u"[007]"},
        {42, u"[042]"}, {1234, u"[1234]"}, {-1, u"[-01]"}, {2147483647, u"[2147483647]"},
    };
    for (const auto& c : cases) EXPECT_EQ(ConsoleLevelWord(c.level), c.word) << "level " << c.level;
}

// A receiver owned the way the main window owns it (created with count 1, deleted directly).
struct OwnedReceiver {
    OwnedReceiver() : receiver(new CConsoleLog) {}
    ~OwnedReceiver() { delete receiver; }
    OwnedReceiver(const OwnedReceiver&) = delete;
    OwnedReceiver& operator=(const OwnedReceiver&) = delete;
    // The reference count as AddRef reports it.
    ULONG References() const {
        const ULONG count = receiver->AddRef();
        receiver->Release();
        return count - 1;
    }
    CConsoleLog* receiver;
};

class ConsoleLogTest : public ::testing::Test {
protected:
    DiagnosticsFolders folders;
    // Before the receiver: it detaches from them when it goes.
    FakeDocument first, second;
    OwnedReceiver owned;
    CConsoleLog& receiver = *owned.receiver;
};

TEST_F(ConsoleLogTest, EveryWriteFormGivesOneLineWithWhatItLacksFilledIn) {
    SetLoggingEnabled(true);
    const char16_t* url = u"https://site.example/app.js";
    receiver.Write(u"source", DCML_INFORMATIONAL, 5, u"hello");
    receiver.WriteWithUrl(u"source", DCML_WARNING, 5, u"careful", url);
    receiver.WriteWithUrlAndLine(u"source", DCML_ERROR, 5, u"boom", url, 12);
    receiver.WriteWithUrlLineAndColumn(u"source", DCML_WARNING, 5, u"placed", url, 12, 5);
    receiver.WriteWithUrlLineAndColumn(nullptr, static_cast<DEV_CONSOLE_MESSAGE_LEVEL>(7), 0, u"odd", nullptr, 3, 4);
    receiver.WriteWithUrlLineAndColumn(nullptr, static_cast<DEV_CONSOLE_MESSAGE_LEVEL>(1234), 0, u"odder", url, 0, 0);
    // Line and column are written as signed numbers.
    receiver.WriteWithUrlLineAndColumn(nullptr, DCML_ERROR, 0, u"far", url, 4294967295u, 2147483648u);
    receiver.WriteWithUrlLineAndColumn(nullptr, DCML_INFORMATIONAL, 0, nullptr, url, 1, 1);
    // Text beyond 8 bits follows the log's rule: U+00E9 is its own byte, U+263A a '?'.
    receiver.WriteWithUrlLineAndColumn(nullptr, DCML_INFORMATIONAL, 0, u"caf\u00e9 \u263a", url, 1, 2);

    const std::vector<std::string> expected = {
        "JSConsole |  INFO: [unknown] (0 : 0): hello",
        "JSConsole |  WARN: https://site.example/app.js (0 : 0): careful",
        "JSConsole | ERROR: https://site.example/app.js (12 : 0): boom",
        "JSConsole |  WARN: https://site.example/app.js (12 : 5): placed",
        "JSConsole | [007]: [unknown] (3 : 4): odd",
        "JSConsole | [1234]: https://site.example/app.js (0 : 0): odder",
        "JSConsole | ERROR: https://site.example/app.js (-1 : -2147483648): far",
        "JSConsole |  INFO: https://site.example/app.js (1 : 1): ",
        "JSConsole |  INFO: https://site.example/app.js (1 : 2): caf\xe9 ?",
    };
    EXPECT_EQ(folders.LogMessages("JSConsole"), expected);
    // Info lines with the receiver as their object.
    const std::vector<std::string> lines = folders.LogLinesWith("JSConsole");
    ASSERT_EQ(lines.size(), expected.size());
    EXPECT_NE(lines[0].find("\tInfo:\t" + crt_format("%p", static_cast<void*>(&receiver)) + "\t"), std::string::npos)
        << lines[0];
}

TEST_F(ConsoleLogTest, EachAttachRemovesTheEarlierRegistrationFirst) {
    SetLoggingEnabled(true);
    first.url = u"https://one.example/";
    first.location = first.url;
    first.cookie = 11;
    second.url = u"https://two.example/";
    second.location = second.url;
    second.cookie = 22;
    first.expectedReceiver = second.expectedReceiver = &receiver;

    receiver.Attach(&first);
    ASSERT_EQ(first.calls.size(), 1u);
    EXPECT_EQ(first.calls[0].command, IDM_ADDCONSOLEMESSAGERECEIVER);
    EXPECT_TRUE(first.calls[0].inIsMe);
    EXPECT_TRUE(first.calls[0].hadOutput);
    EXPECT_TRUE(receiver.IsRegistered());
    EXPECT_EQ(owned.References(), 2u) << "the owner's and the document's; the input's reference must be gone";

    receiver.Attach(&second);
    ASSERT_EQ(first.calls.size(), 2u);
    EXPECT_EQ(first.calls[1].command, IDM_REMOVECONSOLEMESSAGERECEIVER);
    EXPECT_EQ(first.calls[1].inType, VT_UI4);
    EXPECT_EQ(first.calls[1].inValue, 11u);
    EXPECT_FALSE(first.calls[1].hadOutput);
    EXPECT_FALSE(first.registered);
    ASSERT_EQ(second.calls.size(), 1u);
    EXPECT_EQ(second.calls[0].command, IDM_ADDCONSOLEMESSAGERECEIVER);
    EXPECT_EQ(owned.References(), 2u);

    EXPECT_EQ(folders.LogMessages("Console log"),
              (std::vector<std::string>{"Console log for URL: <https://one.example/>",
                                        "Console log for URL: <https://two.example/>"}));

    // The owner's direct destruction detaches from the last document.
    delete owned.receiver;
    owned.receiver = nullptr;
    ASSERT_EQ(second.calls.size(), 2u);
    EXPECT_EQ(second.calls[1].command, IDM_REMOVECONSOLEMESSAGERECEIVER);
    EXPECT_EQ(second.calls[1].inValue, 22u);
    EXPECT_FALSE(second.registered);
    EXPECT_EQ(first.refs, 1u);
    EXPECT_EQ(second.refs, 1u) << "the receiver still holds its last document";
}

TEST_F(ConsoleLogTest, WhatARegistrationNeedsAndWhatItLogs) {
    const struct {
        const char* name;
        bool commandTarget;
        HRESULT addResult;
        bool location;
        bool registered;
        bool urlLine;
    } cases[] = {
        {"no command target", false, S_OK, true, false, false},
        {"the add command fails", true, E_FAIL, true, false, false},
        {"no location", true, S_OK, false, true, false},
        {"everything", true, S_OK, true, true, true},
    };
    SetLoggingEnabled(true);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeDocument document;
        OwnedReceiver fresh;
        document.offersCommandTarget = c.commandTarget;
        document.addResult = c.addResult;
        if (!c.location) document.location.reset();
        const std::size_t linesBefore = folders.LogMessages("Console log for URL").size();

        fresh.receiver->Attach(&document);
        EXPECT_EQ(fresh.receiver->IsRegistered(), c.registered);
        EXPECT_EQ(folders.LogMessages("Console log for URL").size() - linesBefore, c.urlLine ? 1u : 0u);
        EXPECT_EQ(document.calls.size(), c.commandTarget ? 1u : 0u);

        // Only a registration is ever removed.
        fresh.receiver->Detach();
        EXPECT_EQ(document.calls.size(), c.commandTarget ? (c.registered ? 2u : 1u) : 0u);
        EXPECT_EQ(fresh.References(), 1u);
    }
}

TEST_F(ConsoleLogTest, RegistersWithLoggingOffAndLogsOnceLoggingIsOn) {
    FakeDocument& document = first;
    receiver.Attach(&document);
    EXPECT_TRUE(receiver.IsRegistered());
    receiver.Write(nullptr, DCML_INFORMATIONAL, 0, u"dropped");
    EXPECT_FALSE(std::filesystem::exists(folders.logs())) << "nothing may be written while logging is off";

    SetLoggingEnabled(true);
    receiver.Write(nullptr, DCML_INFORMATIONAL, 0, u"kept");
    EXPECT_EQ(folders.LogMessages("JSConsole"), std::vector<std::string>{"JSConsole |  INFO: [unknown] (0 : 0): kept"});
    EXPECT_EQ(document.calls.size(), 1u) << "no new registration";
}

TEST_F(ConsoleLogTest, AnswersForItsOwnInterfacesOnly) {
    const struct {
        const char* name;
        IID iid;
        bool offered;
    } cases[] = {
        {"IUnknown", IID_IUnknown, true},
        {"the receiver", IID_IDeveloperConsoleMessageReceiver, true},
        {"IDispatch", IID_IDispatch, false},
        {"IOleCommandTarget", IID_IOleCommandTarget, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        void* out = reinterpret_cast<void*>(1);
        const HRESULT hr = receiver.QueryInterface(c.iid, &out);
        if (c.offered) {
            EXPECT_EQ(hr, S_OK);
            EXPECT_EQ(out, static_cast<IDeveloperConsoleMessageReceiver*>(&receiver));
            EXPECT_EQ(owned.References(), 2u);
            receiver.Release();
        } else {
            EXPECT_EQ(hr, E_NOINTERFACE);
            EXPECT_EQ(out, nullptr);
            EXPECT_EQ(owned.References(), 1u);
        }
    }
}

}  // namespace
