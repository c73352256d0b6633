// Console capture through the layer's documents: the main window on the simulated desktop
// registers its receiver with every completed document, and the page's console messages
// reach the log through the current document only.
#include <gtest/gtest.h>

#include "backend/engine.h"
#include "diagnostics/console_log.h"
#include "dump_main_window.h"
#include "console_receiver_set.h"
#include "mshtml/console.h"

namespace {

using diagnostics_test::kStartUrl;
using diagnostics_test::MainWindowRun;

platform::ConsoleMessage Message(int level, std::u16string text, std::optional<std::u16string> url = std::nullopt,
                                 ULONG line = 0, ULONG column = 0) {
    platform::ConsoleMessage message;
    message.level = level;
    message.text = std::move(text);
    message.sourceUrl = std::move(url);
    message.line = line;
    message.column = column;
    return message;
}

constexpr char16_t kSecondUrl[] = u"https://second.example/";

TEST(ConsoleCapture, MessagesOfEveryLevelReachTheLogFromTheCurrentDocument) {
    MainWindowRun run(true);
    sim::Page second;
    second.title = u"Second";
    run.desktop.AddPage(kSecondUrl, second);
    run.Then([&] {
        sim::Engine& engine = run.Engine();
        engine.Console(Message(0, u"log text", u"https://start.example/app.js", 3, 9));
        engine.Console(Message(1, u"warned", u"https://start.example/app.js", 4, 1));
        engine.Console(Message(2, u"Uncaught Error: boom", u"https://start.example/app.js", 5, 11));
        engine.Console(Message(9, u"engine's own"));
        engine.ClickLink(kSecondUrl);
    });
    run.Then([&] { run.Engine().Console(Message(0, u"on the second page", u"https://second.example/b.js", 1, 2)); });
    run.Run();

    EXPECT_EQ(run.LogMessages("JSConsole"),
              (std::vector<std::string>{"JSConsole |  INFO: https://start.example/app.js (3 : 9): log text",
                                        "JSConsole |  WARN: https://start.example/app.js (4 : 1): warned",
                                        "JSConsole | ERROR: https://start.example/app.js (5 : 11): Uncaught Error: boom",
                                        "JSConsole | [009]: [unknown] (0 : 0): engine's own",
                                        "JSConsole |  INFO: https://second.example/b.js (1 : 2): on the second page"}))
        << "each message once: the receiver is registered with one document at a time";
    EXPECT_EQ(run.LogMessages("Console log for URL"),
              (std::vector<std::string>{"Console log for URL: <https://start.example/>",
                                        "Console log for URL: <https://second.example/>"}));
}

TEST(ConsoleCapture, EveryDocumentCompleteRegistersAgainWithTheTopLevelDocument) {
    // A frame's DocumentComplete comes first and registers with the top-level document too.
    MainWindowRun run(true);
    sim::Page framed;
    framed.title = u"Framed";
    framed.frames = {u"https://second.example/inner"};
    sim::Page inner;
    inner.title = u"Inner";
    run.desktop.AddPage(kSecondUrl, framed);
    run.desktop.AddPage(u"https://second.example/inner", inner);
    run.Then([&] { run.Engine().ClickLink(kSecondUrl); });
    run.Then([&] { run.Engine().Console(Message(0, u"once")); });
    run.Run();

    EXPECT_EQ(run.LogMessages("Console log for URL"),
              (std::vector<std::string>{"Console log for URL: <https://start.example/>",
                                        "Console log for URL: <https://second.example/>",
                                        "Console log for URL: <https://second.example/>"}));
    EXPECT_EQ(run.LogMessages("JSConsole"), std::vector<std::string>{"JSConsole |  INFO: [unknown] (0 : 0): once"});
}

TEST(ConsoleCapture, MessagesOfTheLoadingPageReachTheReceiverWhenItRegisters) {
    // As an engine reports a page: the document is there at NavigateComplete, its scripts
    // log while it loads, and DocumentComplete comes last.
    MainWindowRun run(true);
    run.Then([&] {
        sim::Engine& engine = run.Engine();
        engine.client.OnNavigateComplete(kStartUrl, true);
        engine.Console(Message(0, u"while loading", u"https://start.example/app.js", 2, 1));
        for (int i = 0; i < 1005; ++i) engine.Console(Message(1, u"many"));
        engine.client.OnDocumentComplete(kStartUrl, true);
        engine.Console(Message(2, u"after"));
        engine.client.OnDocumentComplete(kStartUrl, true);  // a frame's, say: nothing is handed over again
    });
    run.Run();

    const std::vector<std::string> lines = run.LogMessages("JSConsole");
    ASSERT_EQ(lines.size(), 1u + 999u + 1u) << "the first thousand early messages, then the later one";
    EXPECT_EQ(lines.front(), "JSConsole |  INFO: https://start.example/app.js (2 : 1): while loading");
    EXPECT_EQ(lines[999], "JSConsole |  WARN: [unknown] (0 : 0): many");
    EXPECT_EQ(lines.back(), "JSConsole | ERROR: [unknown] (0 : 0): after");
}

TEST(ConsoleCapture, EarlyMessagesAreKeptOnlyUpToTheirCharacterBound) {
    // A loading page that logs huge texts: the first ones that fit the bound are kept, so
    // the program's memory stays bounded.
    constexpr std::size_t bound = platform::ConsoleReceiverSet::kMaxEarlyCharacters;
    MainWindowRun run(true);
    run.Then([&] {
        sim::Engine& engine = run.Engine();
        engine.client.OnNavigateComplete(kStartUrl, true);
        engine.Console(Message(0, std::u16string(bound / 2, u'a')));
        engine.Console(Message(0, std::u16string(bound / 2 - 4, u'b'), u"u.js"));  // exactly fills it
        engine.Console(Message(0, u"c"));
        engine.client.OnDocumentComplete(kStartUrl, true);
        engine.Console(Message(0, u"after"));
    });
    run.Run();

    // Whole lines, without the pattern the other tests read the log with: it cannot take
    // lines of megabytes.
    const std::vector<std::string> lines = run.LogLinesWith("\tJSConsole | ");
    ASSERT_EQ(lines.size(), 3u);
    const auto text = [](const std::string& line) { return line.substr(line.find("\tJSConsole | ") + 1); };
    EXPECT_EQ(text(lines[0]).size(), std::string("JSConsole |  INFO: [unknown] (0 : 0): ").size() + bound / 2);
    EXPECT_TRUE(text(lines[1]).starts_with("JSConsole |  INFO: u.js (0 : 0): bbb"));
    EXPECT_EQ(text(lines[2]), "JSConsole |  INFO: [unknown] (0 : 0): after");
}

TEST(ConsoleCapture, RegisteredWhileLoggingIsOffLoggedOnceItIsOn) {
    MainWindowRun run(false);
    run.Then([&] {
        run.Engine().Console(Message(0, u"while off"));
        EXPECT_FALSE(std::filesystem::exists(run.logs())) << "logging off writes nothing";
        EXPECT_NE(run.window.consoleLog, nullptr) << "the receiver is made at the first completed document";
        EXPECT_TRUE(run.window.consoleLog && run.window.consoleLog->IsRegistered());
        SetLoggingEnabled(true);
        run.Engine().Console(Message(1, u"while on"));
    });
    run.Run();

    EXPECT_EQ(run.LogMessages("JSConsole"), std::vector<std::string>{"JSConsole |  WARN: [unknown] (0 : 0): while on"});
    EXPECT_TRUE(run.LogMessages("Console log for URL").empty()) << "no new registration after logging came on";
}

// A receiver of the test's own, to see what the layer hands to receivers.
class RecordingReceiver final : public IDeveloperConsoleMessageReceiver {
public:
    HRESULT QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IUnknown || iid == IID_IDeveloperConsoleMessageReceiver ? this : nullptr;
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    HRESULT Write(const char16_t*, DEV_CONSOLE_MESSAGE_LEVEL, int, const char16_t*) override { return E_UNEXPECTED; }
    HRESULT WriteWithUrl(const char16_t*, DEV_CONSOLE_MESSAGE_LEVEL, int, const char16_t*, const char16_t*) override {
        return E_UNEXPECTED;
    }
    HRESULT WriteWithUrlAndLine(const char16_t*, DEV_CONSOLE_MESSAGE_LEVEL, int, const char16_t*, const char16_t*,
                                ULONG) override {
        return E_UNEXPECTED;
    }
    HRESULT WriteWithUrlLineAndColumn(const char16_t*, DEV_CONSOLE_MESSAGE_LEVEL level, int, const char16_t* text,
                                      const char16_t* url, ULONG line, ULONG column) override {
        received.push_back(std::u16string(text) + u"|" + (url ? url : u"(none)") + u"|" +
                           crt_wformat(u"%d|%u|%u", static_cast<int>(level), line, column));
        return S_OK;
    }
    ULONG refs = 1;
    std::vector<std::u16string> received;
};

struct Registration {
    HRESULT hr = E_FAIL;
    DWORD cookie = 0;
    VARTYPE type = VT_EMPTY;
};

Registration Register(IHTMLDocument2* document, IUnknown* receiver) {
    Registration result;
    CComPtr<IOleCommandTarget> target;
    if (FAILED(document->QueryInterface(IID_IOleCommandTarget, reinterpret_cast<void**>(&target))) || !target)
        return result;
    VARIANT in, out;
    in.vt = VT_UNKNOWN;
    in.punkVal = receiver;
    result.hr = target->Exec(&CGID_MSHTML, IDM_ADDCONSOLEMESSAGERECEIVER, 0, &in, &out);
    result.cookie = out.ulVal;
    result.type = out.vt;
    return result;
}

HRESULT Unregister(IHTMLDocument2* document, DWORD cookie) {
    CComPtr<IOleCommandTarget> target;
    if (FAILED(document->QueryInterface(IID_IOleCommandTarget, reinterpret_cast<void**>(&target))) || !target)
        return E_NOINTERFACE;
    VARIANT in;
    in.vt = VT_UI4;
    in.ulVal = cookie;
    return target->Exec(&CGID_MSHTML, IDM_REMOVECONSOLEMESSAGERECEIVER, 0, &in, nullptr);
}

TEST(ConsoleCommands, TheDocumentsCommandTargetRegistersAndRemovesReceivers) {
    RecordingReceiver receiver;  // outlives the window, whose documents may hold it
    MainWindowRun run(false);
    sim::Page second;
    second.title = u"Second";
    run.desktop.AddPage(kSecondUrl, second);
    CComPtr<IHTMLDocument2> first;
    Registration registration;
    run.Then([&] {
        first = run.Document();
        ASSERT_TRUE(first);
        registration = Register(first, &receiver);
        EXPECT_EQ(registration.hr, S_OK);
        EXPECT_EQ(registration.type, VT_UI4);
        EXPECT_NE(registration.cookie, 0u);
        EXPECT_EQ(receiver.refs, 2u) << "the document holds the receiver while it is registered";

        run.Engine().Console(Message(1, u"placed", u"https://start.example/a.js", 7, 3));
        run.Engine().Console(Message(0, u"nowhere"));

        // Commands of other groups and numbers are not this target's.
        CComPtr<IOleCommandTarget> target;
        first->QueryInterface(IID_IOleCommandTarget, reinterpret_cast<void**>(&target));
        VARIANT none;
        EXPECT_EQ(target->Exec(nullptr, IDM_ADDCONSOLEMESSAGERECEIVER, 0, &none, &none), OLECMDERR_E_UNKNOWNGROUP);
        EXPECT_EQ(target->Exec(&CGID_MSHTML, 3802, 0, &none, &none), OLECMDERR_E_NOTSUPPORTED);
        OLECMD commands[2];
        commands[0].cmdID = IDM_ADDCONSOLEMESSAGERECEIVER;
        commands[1].cmdID = 3802;
        EXPECT_EQ(target->QueryStatus(&CGID_MSHTML, 2, commands, nullptr), S_OK);
        EXPECT_EQ(commands[0].cmdf, static_cast<DWORD>(OLECMDF_SUPPORTED | OLECMDF_ENABLED));
        EXPECT_EQ(commands[1].cmdf, 0u);
        // Something that is no receiver is refused.
        VARIANT notReceiver;
        notReceiver.vt = VT_UNKNOWN;
        notReceiver.punkVal = first;
        VARIANT cookie;
        EXPECT_EQ(target->Exec(&CGID_MSHTML, IDM_ADDCONSOLEMESSAGERECEIVER, 0, &notReceiver, &cookie), E_INVALIDARG);

        run.Engine().ClickLink(kSecondUrl);
    });
    run.Then([&] {
        // The earlier document's receivers hear nothing of the new page...
        run.Engine().Console(Message(2, u"second page"));
        // ...and that document takes no new ones, but still gives back the one it holds.
        RecordingReceiver late;
        EXPECT_EQ(Register(first, &late).hr, E_FAIL);
        EXPECT_EQ(late.refs, 1u);
        EXPECT_EQ(Unregister(first, registration.cookie), S_OK);
        EXPECT_EQ(receiver.refs, 1u);
        EXPECT_EQ(Unregister(first, registration.cookie), E_INVALIDARG) << "removed twice";
        first.Release();
    });
    run.Run();

    EXPECT_EQ(receiver.received, (std::vector<std::u16string>{u"placed|https://start.example/a.js|1|7|3",
                                                              u"nowhere|(none)|0|0|0"}));
}

TEST(ConsoleCommands, AFramesDocumentHasNoCommandTarget) {
    MainWindowRun run(false);
    sim::Page framed;
    framed.title = u"Framed";
    framed.frames = {u"https://start.example/inner"};
    sim::Page inner;
    inner.title = u"Inner";
    run.desktop.AddPage(kStartUrl, framed);
    run.desktop.AddPage(u"https://start.example/inner", inner);
    run.Then([&] {
        CComPtr<IHTMLDocument2> document = run.Document();
        CComPtr<IHTMLElement> body;
        ASSERT_EQ(document->get_body(&body), S_OK);
        CComPtr<IHTMLElement2> body2;
        ASSERT_EQ(body->QueryInterface(IID_IHTMLElement2, reinterpret_cast<void**>(&body2)), S_OK);
        CComBSTR iframe(u"IFRAME");
        CComPtr<IHTMLElementCollection> frames;
        ASSERT_EQ(body2->getElementsByTagName(iframe, &frames), S_OK);
        VARIANT first;
        first.vt = VT_I4;
        first.lVal = 0;
        CComPtr<IDispatch> item;
        ASSERT_EQ(frames->item(first, first, &item), S_OK);
        CComPtr<IHTMLIFrameElement3> element;
        ASSERT_EQ(item->QueryInterface(IID_IHTMLIFrameElement3, reinterpret_cast<void**>(&element)), S_OK);
        CComPtr<IDispatch> content;
        ASSERT_EQ(element->get_contentDocument(&content), S_OK);
        CComPtr<IOleCommandTarget> target;
        EXPECT_EQ(content->QueryInterface(IID_IOleCommandTarget, reinterpret_cast<void**>(&target)), E_NOINTERFACE);
        EXPECT_FALSE(target);
    });
    run.Run();
}

}  // namespace
