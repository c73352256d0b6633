// The document dump of the main window on the simulated desktop: every completed document
// written out through the layer's documents, their scripts and readable iframes included.
#include <gtest/gtest.h>

#include <regex>

#include "dump_main_window.h"

namespace {

using diagnostics_test::FileLines;
using diagnostics_test::kStartUrl;
using diagnostics_test::MainWindowRun;

constexpr std::int64_t kSecond = 1700000000;
std::int64_t FixedClock() { return kSecond; }

constexpr char16_t kFramedUrl[] = u"https://second.example/";
constexpr char16_t kInnerUrl[] = u"https://second.example/inner";
constexpr char16_t kForeignUrl[] = u"https://elsewhere.example/";  // no page: not readable

// A page with two inline scripts, an item that is no script, an external script, and two
// iframes of which the first is readable.
void AddFramedPages(sim::Desktop& desktop) {
    sim::Page framed;
    framed.title = u"Framed";
    framed.compatMode = u"BackCompat";
    framed.doctype = u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">";
    framed.documentMode = 5.0f;
    framed.body = u"<iframe src=\"inner\"></iframe>\n<iframe src=\"https://elsewhere.example/\"></iframe>";
    framed.frames = {kInnerUrl, kForeignUrl};
    framed.scripts = {platform::ScriptData{std::nullopt, u"var a = 1;\nvar b = 2;"}, std::nullopt,
                      platform::ScriptData{u"https://second.example/lib.js", u""},
                      platform::ScriptData{std::nullopt, u"done();"}};
    desktop.AddPage(kFramedUrl, framed);
    sim::Page inner;
    inner.title = u"Inner";
    inner.body = u"<p>inner</p>";
    desktop.AddPage(kInnerUrl, inner);
}

// The lines with every interface address written as "PTR".
std::vector<std::string> WithoutAddresses(std::vector<std::string> lines) {
    static const std::regex address("^(Script index [0-9]+ \\()[0-9A-F]{8}(?:[0-9A-F]{8})?(\\))$");
    for (std::string& line : lines) line = std::regex_replace(line, address, "$1PTR$2");
    return lines;
}

const std::vector<std::string> kFramedDump = {
    "Document dump: https://second.example/",
    "Compatibility mode: BackCompat",
    "Document type: <!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">",
    "Document mode: 5.000000",
    "Script index 0 (PTR)",
    "Script source: ",
    "Script text:",
    "var a = 1;",
    "var b = 2;",
    "Script index 2 (PTR)",
    "Script source: https://second.example/lib.js",
    "Script text:",
    "",
    "Script index 3 (PTR)",
    "Script source: ",
    "Script text:",
    "done();",
    "Body text:",
    "<iframe src=\"inner\"></iframe>",
    "<iframe src=\"https://elsewhere.example/\"></iframe>",
};
const std::vector<std::string> kInnerDump = {
    "Document dump: https://second.example/inner", "Compatibility mode: CSS1Compat", "Document type: html",
    "Document mode: -1.000000", "Body text:", "<p>inner</p>",
};

TEST(DumpWindow, EveryCompletedDocumentIsWrittenWithItsReadableFrame) {
    MainWindowRun run(true);
    SetDumpClock(&FixedClock);
    AddFramedPages(run.desktop);
    std::int64_t beforeFramed = 0;
    run.Then([&] {
        beforeFramed = LastDumpIndex();
        run.Engine().ClickLink(kFramedUrl);
    });
    run.Run();

    // The start page, then three DocumentComplete events (two frames', then the page's),
    // each dumping the top-level document and its one readable frame.
    const auto dumps = run.DumpFiles();
    ASSERT_EQ(dumps.size(), 7u);
    EXPECT_EQ(beforeFramed, kSecond);
    std::vector<std::int64_t> indexes;
    for (const auto& entry : dumps) indexes.push_back(entry.first);
    for (std::size_t i = 0; i < indexes.size(); ++i) EXPECT_EQ(indexes[i], kSecond + static_cast<std::int64_t>(i));

    for (std::int64_t pair = 0; pair < 3; ++pair) {
        SCOPED_TRACE("document complete " + std::to_string(pair + 1));
        EXPECT_EQ(WithoutAddresses(FileLines(dumps.at(kSecond + 1 + 2 * pair))), kFramedDump);
        EXPECT_EQ(FileLines(dumps.at(kSecond + 2 + 2 * pair)), kInnerDump);
    }

    // In the main log the page's two lines come before its frame's.
    const std::vector<std::string> debug = run.LogMessages("");
    std::vector<std::string> lastFour;
    for (const std::string& message : debug)
        if (message.starts_with("Dumping new") || message.starts_with("Compatibility mode: ")) lastFour.push_back(message);
    ASSERT_GE(lastFour.size(), 4u);
    lastFour.erase(lastFour.begin(), lastFour.end() - 4);
    EXPECT_EQ(lastFour,
              (std::vector<std::string>{
                  "Dumping new HTML document out to a separate file, index 1700000005: https://second.example/",
                  "Compatibility mode: BackCompat, Document type: <!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 "
                  "Transitional//EN\">, Document mode: 5.000000",
                  "Dumping new HTML document out to a separate file, index 1700000006: https://second.example/inner",
                  "Compatibility mode: CSS1Compat, Document type: html, Document mode: -1.000000"}));
}

TEST(DumpWindow, NothingIsDumpedWhileLoggingIsOffAndTheNextDocumentOnceItIsOn) {
    MainWindowRun run(false);
    SetDumpClock(&FixedClock);
    AddFramedPages(run.desktop);
    run.Then([&] { run.Engine().ClickLink(kFramedUrl); });
    run.Then([&] {
        EXPECT_EQ(LastDumpIndex(), 0);
        EXPECT_FALSE(std::filesystem::exists(run.logs()));
        SetLoggingEnabled(true);
        run.Engine().Refresh();  // completes the document once more
    });
    run.Run();

    const auto dumps = run.DumpFiles();
    ASSERT_EQ(dumps.size(), 2u);
    EXPECT_EQ(WithoutAddresses(FileLines(dumps.at(kSecond))), kFramedDump);
    EXPECT_EQ(FileLines(dumps.at(kSecond + 1)), kInnerDump);
}

TEST(DumpWindow, ADocumentWithoutTypeModeOrBodyKeepsItsFixedTexts) {
    MainWindowRun run(true);
    SetDumpClock(&FixedClock);
    sim::Page bare;
    bare.title = u"Bare";
    bare.doctype.reset();
    bare.compatMode.reset();
    bare.body.reset();
    run.desktop.AddPage(kStartUrl, bare);
    run.Run();

    const auto dumps = run.DumpFiles();
    ASSERT_EQ(dumps.size(), 1u);
    EXPECT_EQ(FileLines(dumps.begin()->second),
              (std::vector<std::string>{"Document dump: https://start.example/", "Compatibility mode: Unknown",
                                        "Document mode: -1.000000"}));
    EXPECT_EQ(run.LogMessages("Compatibility mode: "),
              std::vector<std::string>{"Compatibility mode: Unknown, Document type: none, Document mode: -1.000000"});
}

TEST(DumpWindow, ScriptAndBodyTextsLongerThanTheLimitAreCutEachWithItsLine) {
    MainWindowRun run(true);
    SetDumpClock(&FixedClock);
    constexpr std::size_t limit = kMaxDumpedTextCharacters;
    sim::Page huge;
    huge.title = u"Huge";
    huge.body = u"<p>" + std::u16string(limit, u'b') + u"</p>";
    huge.scripts = {platform::ScriptData{std::nullopt, std::u16string(limit + 5, u's')},
                    platform::ScriptData{std::nullopt, u"small();"}};
    run.desktop.AddPage(kStartUrl, huge);
    run.Run();

    const auto dumps = run.DumpFiles();
    ASSERT_EQ(dumps.size(), 1u);
    std::vector<std::string> lines = FileLines(dumps.begin()->second);
    ASSERT_EQ(lines.size(), 16u);
    // The long lines by their size and ends, so that a failure prints no megabytes (and the
    // address pattern does not crawl through them).
    EXPECT_EQ(lines[7].size(), limit);
    EXPECT_EQ(lines[7].find_first_not_of('s'), std::string::npos);
    EXPECT_EQ(lines[14].size(), limit);
    EXPECT_TRUE(lines[14].starts_with("<p>bbb"));
    lines[7] = lines[14] = "LONG";
    EXPECT_EQ(WithoutAddresses(lines), (std::vector<std::string>{"Document dump: https://start.example/", "Compatibility mode: CSS1Compat",
                                               "Document type: html", "Document mode: -1.000000", "Script index 0 (PTR)",
                                               "Script source: ", "Script text:", "LONG",
                                               "Script text cut after 8388608 of 8388613 characters",
                                               "Script index 1 (PTR)", "Script source: ", "Script text:", "small();",
                                               "Body text:", "LONG", "Body text cut after 8388608 of 8388615 characters"}));
}

VARIANT Position(LONG i) {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = i;
    return v;
}

TEST(DumpWindow, TheLayersCollectionsAnswerByPositionOnlyAndOnlyForTheirPage) {
    MainWindowRun run(false);
    AddFramedPages(run.desktop);
    CComPtr<IHTMLElementCollection> scripts;
    CComPtr<IHTMLIFrameElement3> foreignFrame;
    run.Then([&] { run.Engine().ClickLink(kFramedUrl); });
    run.Then([&] {
        CComPtr<IHTMLDocument2> document = run.Document();
        ASSERT_EQ(document->get_scripts(&scripts), S_OK);
        LONG length = 0;
        EXPECT_EQ(scripts->get_length(&length), S_OK);
        EXPECT_EQ(length, 4);
        CComPtr<IDispatch> once, again, middle, outside;
        EXPECT_EQ(scripts->item(Position(2), Position(2), &once), S_OK);
        EXPECT_EQ(scripts->item(Position(2), Position(2), &again), S_OK);
        EXPECT_EQ(once.get(), again.get()) << "the same element each time";
        EXPECT_EQ(scripts->item(Position(1), Position(1), &middle), S_OK);
        CComPtr<IHTMLScriptElement> notScript;
        EXPECT_EQ(middle->QueryInterface(IID_IHTMLScriptElement, reinterpret_cast<void**>(&notScript)), E_NOINTERFACE);
        EXPECT_EQ(scripts->item(Position(4), Position(4), &outside), E_INVALIDARG);
        EXPECT_FALSE(outside);
        VARIANT byName;
        byName.vt = VT_BSTR;
        byName.bstrVal = SysAllocString(u"main");
        CComPtr<IDispatch> named;
        EXPECT_EQ(scripts->item(byName, Position(0), &named), E_NOTIMPL) << "named look-ups are not offered";
        VariantClear(&byName);

        CComPtr<IHTMLElement> body;
        ASSERT_EQ(document->get_body(&body), S_OK);
        CComPtr<IHTMLElement2> body2;
        ASSERT_EQ(body->QueryInterface(IID_IHTMLElement2, reinterpret_cast<void**>(&body2)), S_OK);
        CComBSTR div(u"div");
        CComPtr<IHTMLElementCollection> divs;
        EXPECT_EQ(body2->getElementsByTagName(div, &divs), E_NOTIMPL);
        CComBSTR iframe(u"iframe");
        CComPtr<IHTMLElementCollection> frames;
        ASSERT_EQ(body2->getElementsByTagName(iframe, &frames), S_OK);
        LONG frameCount = 0;
        frames->get_length(&frameCount);
        EXPECT_EQ(frameCount, 2);
        CComPtr<IDispatch> second;
        ASSERT_EQ(frames->item(Position(1), Position(1), &second), S_OK);
        ASSERT_EQ(second->QueryInterface(IID_IHTMLIFrameElement3, reinterpret_cast<void**>(&foreignFrame)), S_OK);
        CComPtr<IDispatch> content;
        EXPECT_TRUE(FAILED(foreignFrame->get_contentDocument(&content))) << "a frame that cannot be read";
        EXPECT_FALSE(content);

        // The readable frame's document reads the frame, and edits nothing.
        CComPtr<IDispatch> first;
        ASSERT_EQ(frames->item(Position(0), Position(0), &first), S_OK);
        CComPtr<IHTMLIFrameElement3> innerFrame;
        ASSERT_EQ(first->QueryInterface(IID_IHTMLIFrameElement3, reinterpret_cast<void**>(&innerFrame)), S_OK);
        CComPtr<IDispatch> innerContent;
        ASSERT_EQ(innerFrame->get_contentDocument(&innerContent), S_OK);
        CComPtr<IHTMLDocument2> innerDocument;
        ASSERT_EQ(innerContent->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&innerDocument)), S_OK);
        CComBSTR innerUrl;
        EXPECT_EQ(innerDocument->get_URL(&innerUrl), S_OK);
        EXPECT_EQ(std::u16string(innerUrl.get()), kInnerUrl);
        CComPtr<IHTMLElement> innerBody;
        ASSERT_EQ(innerDocument->get_body(&innerBody), S_OK);
        CComBSTR where(u"beforeEnd"), html(u"<b>x</b>");
        EXPECT_EQ(innerBody->insertAdjacentHTML(where, html), E_NOTIMPL);
        EXPECT_TRUE(run.Engine().inserted.empty());

        run.Engine().ClickLink(kStartUrl);
    });
    run.Then([&] {
        // The page has gone: its collections and elements hand out nothing more.
        CComPtr<IDispatch> stale;
        EXPECT_EQ(scripts->item(Position(0), Position(0), &stale), E_FAIL);
        EXPECT_FALSE(stale);
        CComPtr<IDispatch> content;
        EXPECT_EQ(foreignFrame->get_contentDocument(&content), E_FAIL);
        scripts.Release();
        foreignFrame.Release();
    });
    run.Run();
}

}  // namespace
