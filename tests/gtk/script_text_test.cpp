// The script side of the engine, checked in a bare script context: what the host puts
// into pages parses, literals survive any text, stack texts give the caller's place, and
// the document read turns a document's record into DocumentData.
#include <gtest/gtest.h>

#include "document_reader.h"
#include "engine_scripts.h"
#include "flash_player.h"
#include "gobject_ptr.h"
#include "javascript_literal.h"
#include "packed_scripts.h"
#include "script_location.h"
#include "webkit_toolkit.h"

namespace platform::desktop {
namespace {

class GtkScriptContext : public ::testing::Test {
protected:
    GObjectPtr<JSCValue> Evaluate(const std::string& code) {
        auto value = GObjectPtr<JSCValue>::Adopt(jsc_context_evaluate(context_.get(), code.c_str(), -1));
        if (JSCException* exception = jsc_context_get_exception(context_.get())) {
            ADD_FAILURE() << "script threw: " << jsc_exception_get_message(exception) << "\n" << code;
            jsc_context_clear_exception(context_.get());
        }
        return value;
    }
    std::string EvaluateToString(const std::string& code) {
        auto value = Evaluate(code);
        GCharPtr text(value ? jsc_value_to_string(value.get()) : nullptr);
        return text ? text.get() : "";
    }
    GObjectPtr<JSCContext> context_ = GObjectPtr<JSCContext>::Adopt(jsc_context_new());
};

TEST_F(GtkScriptContext, InjectedScriptsAreValidScripts) {
    for (const char* script : {kPageReportScript, kWindowOperationScript, kExternalObjectScript}) {
        auto compiled = Evaluate(std::string("typeof new Function(") + JavaScriptStringLiteral(
                                     std::u16string(script, script + std::char_traits<char>::length(script))) +
                                 ")");
        ASSERT_TRUE(compiled);
    }
}

TEST_F(GtkScriptContext, WindowOperationsPostWholeNumbersInsteadOfActing) {
    // A stand-in for the page's window and the engine's channel.
    Evaluate("var posted = []; var window = this; window.top = window; var location = {href: 'https://a.example/'};"
             "window.webkit = {messageHandlers: {pelmarin: {postMessage: function (m) { posted.push(m); }}}};");
    Evaluate(kWindowOperationScript);
    Evaluate("window.moveTo(10.7, -5); window.resizeBy('20', 'x'); window.resizeTo(800, 600);");
    EXPECT_EQ(EvaluateToString("JSON.stringify(posted)"),
              R"([{"kind":"windowOp","op":"moveTo","a":10,"b":-5,"top":"https://a.example/"},)"
              R"({"kind":"windowOp","op":"resizeBy","a":20,"b":0,"top":"https://a.example/"},)"
              R"({"kind":"windowOp","op":"resizeTo","a":800,"b":600,"top":"https://a.example/"}])");
}

TEST_F(GtkScriptContext, ConsoleCallsArePostedWithLevelTextAndStackAndStillReachTheConsole) {
    Evaluate("var posted = [], printed = []; var window = this; window.top = window;"
             "window.addEventListener = function () {}; var location = {href: 'https://a.example/top'};"
             "var document = {referrer: ''};"
             "window.webkit = {messageHandlers: {pelmarin: {postMessage: function (m) { posted.push(m); }}}};"
             "var console = {log: function () { printed.push('log'); }, warn: function () { printed.push('warn'); }};"
             "this.console = console;");
    Evaluate(kPageReportScript);
    Evaluate("console.log('a', 1, {b: 2}); console.warn(null); console.error('e'); console.debug();");
    EXPECT_EQ(EvaluateToString("posted.map(function (m) { return m.kind + m.level + ':' + m.text; }).join('|')"),
              "console0:a 1 {\"b\":2}|console1:null|console2:e|console0:");
    EXPECT_EQ(EvaluateToString("printed.join(',')"), "log,warn");
    EXPECT_EQ(EvaluateToString("typeof posted[0].stack"), "string");
    // Each message names the top document, which tells windows sharing the channel apart.
    EXPECT_EQ(EvaluateToString("posted[0].top"), "https://a.example/top");
}

TEST_F(GtkScriptContext, StringLiteralsRoundTripAnyText) {
    const std::u16string texts[] = {
        u"",
        u"plain",
        u"quote \" and backslash \\ and 'single'",
        u"line\nbreak\r\ttab\u2028\u2029end",
        u"</script><b>markup</b>",
        u"caf\u00e9 \U0001F600 \x01",
        std::u16string(u"nul\0inside", 10),
        std::u16string(1, static_cast<char16_t>(0xD800)),  // a lone surrogate
    };
    for (const std::u16string& text : texts) {
        std::string literal = JavaScriptStringLiteral(text);
        EXPECT_EQ(literal.find('\n'), std::string::npos);
        EXPECT_EQ(literal.find('<'), std::string::npos) << "an inline script would end at </script>";
        auto value = Evaluate("(function (s) { var codes = [];"
                              " for (var i = 0; i < s.length; ++i) codes.push(s.charCodeAt(i));"
                              " return codes.join(','); })(" + literal + ")");
        std::string expected;
        for (char16_t c : text) expected += (expected.empty() ? "" : ",") + std::to_string(static_cast<unsigned>(c));
        GCharPtr codes(jsc_value_to_string(value.get()));
        EXPECT_EQ(codes.get(), expected) << literal;
    }
}

// A document as the read script sees it: enough of the DOM for every field.
constexpr char kFakeDocument[] = R"JS(
var makeDoc = function (url, title, extra) {
  var doc = {URL: url, title: title, compatMode: 'CSS1Compat', doctype: {name: 'html'},
             scripts: [], body: {innerHTML: '<p>' + title + '</p>'}, frames: []};
  doc.querySelectorAll = function (selector) { return doc.frames; };
  for (var k in extra) doc[k] = extra[k];
  return doc;
};
var script = function (src, text) {
  return {src: src || '', text: text, hasAttribute: function (n) { return n === 'src' && src !== null; }};
};
var inner = makeDoc('https://a.example/inner.html', 'Inner', {doctype: null, compatMode: 'BackCompat', body: null});
var other = {};
Object.defineProperty(other, 'contentDocument', {get: function () { throw new Error('cross-origin'); }});
var document = makeDoc('https://a.example/', 'Top \u00e9', {
  scripts: [script('https://a.example/app.js', ''), script(null, 'var x = 1;'),
            script('https://a.example/9:-.js', '1:- \ud83d\ude00 \u00e9 lone \ud800 end')],
  frames: [{contentDocument: inner}, other, {contentDocument: null}]});
)JS";

TEST_F(GtkScriptContext, DocumentReadGivesEveryFieldAndMarksUnreadableFrames) {
    Evaluate(kFakeDocument);
    auto value = Evaluate(DocumentReadScript(kDocAll));
    std::optional<DocumentData> document = DocumentFromValue(value.get(), kDocAll);
    ASSERT_TRUE(document);
    EXPECT_EQ(document->url, u"https://a.example/");
    EXPECT_EQ(document->title, u"Top \u00e9");
    EXPECT_EQ(document->compatMode, u"CSS1Compat");
    EXPECT_EQ(document->doctype, u"html");
    EXPECT_EQ(document->documentMode, std::nullopt);
    ASSERT_EQ(document->scripts.size(), 3u);
    ASSERT_TRUE(document->scripts[0] && document->scripts[1] && document->scripts[2]);
    EXPECT_EQ(document->scripts[0]->src, u"https://a.example/app.js");
    EXPECT_EQ(document->scripts[0]->text, u"");
    EXPECT_EQ(document->scripts[1]->src, std::nullopt);
    EXPECT_EQ(document->scripts[1]->text, u"var x = 1;");
    // Field marks inside the texts, a pair of surrogates and a lone one (which the engine
    // hands over as a replacement character) do not shift the fields.
    EXPECT_EQ(document->scripts[2]->src, u"https://a.example/9:-.js");
    EXPECT_EQ(document->scripts[2]->text, u"1:- \U0001F600 \u00e9 lone \uFFFD end");
    EXPECT_EQ(document->bodyHtml, u"<p>Top \u00e9</p>");
    ASSERT_EQ(document->frames.size(), 3u);
    ASSERT_TRUE(document->frames[0]);
    EXPECT_EQ(document->frames[0]->url, u"https://a.example/inner.html");
    EXPECT_EQ(document->frames[0]->doctype, std::nullopt);
    EXPECT_EQ(document->frames[0]->compatMode, u"BackCompat");
    EXPECT_EQ(document->frames[0]->bodyHtml, std::nullopt);
    EXPECT_FALSE(document->frames[1]);
    EXPECT_FALSE(document->frames[2]);
}

TEST_F(GtkScriptContext, DocumentReadLeavesOutWhatWasNotAskedFor) {
    Evaluate(kFakeDocument);
    auto value = Evaluate(DocumentReadScript(kDocBasics));
    std::optional<DocumentData> document = DocumentFromValue(value.get(), kDocBasics);
    ASSERT_TRUE(document);
    EXPECT_EQ(document->url, u"https://a.example/");
    EXPECT_EQ(document->compatMode, std::nullopt);
    EXPECT_EQ(document->doctype, std::nullopt);
    EXPECT_TRUE(document->scripts.empty());
    EXPECT_EQ(document->bodyHtml, std::nullopt);
    EXPECT_TRUE(document->frames.empty());
}

TEST_F(GtkScriptContext, NoDocumentRecordGivesNoDocument) {
    EXPECT_FALSE(DocumentFromValue(nullptr, kDocAll));
    EXPECT_FALSE(DocumentFromValue(Evaluate("null").get(), kDocAll));
    EXPECT_FALSE(DocumentFromValue(Evaluate("'text'").get(), kDocAll));
}

// Packed script fields that do not add up are refused as a whole, never half read.
TEST(GtkPackedScripts, OnlyWholeFieldPairsUnpack) {
    struct Case {
        std::u16string_view text;
        std::optional<std::size_t> scripts;
    };
    const Case cases[] = {
        {u"", 0},
        {u"-0:", 1},
        {u"3:a:b-", 1},                   // a source "a:b", no text
        {u"-3:abc-0:", 2},
        {u"-", std::nullopt},             // a source without its text
        {u"-4:abc", std::nullopt},        // shorter than it says
        {u"-3abc", std::nullopt},         // no colon after the length
        {u"-:abc", std::nullopt},         // no length
        {u"-99999999999999999999999:x", std::nullopt},
        {u"-3:abcx", std::nullopt},       // trailing text that is no field
    };
    for (const Case& c : cases) {
        std::optional<std::vector<ScriptData>> scripts = UnpackScripts(c.text);
        ASSERT_EQ(scripts.has_value(), c.scripts.has_value()) << std::string(c.text.begin(), c.text.end());
        if (scripts) {
            EXPECT_EQ(scripts->size(), *c.scripts);
        }
    }
    std::optional<std::vector<ScriptData>> pair = UnpackScripts(u"3:a:b-");
    ASSERT_TRUE(pair && pair->size() == 1);
    EXPECT_EQ((*pair)[0].src, u"a:b");
    EXPECT_EQ((*pair)[0].text, std::nullopt);
}

// Player addresses name one plain file of the player's folder, nothing above or beside it.
TEST(GtkFlashPlayer, PlayerAddressesNameOnlyPlainFilesOfTheFolder) {
    const struct {
        const char* address;
        std::optional<std::string> file;
    } cases[] = {
        {"pelmarin-player://flash/ruffle.js", "ruffle.js"},
        {"pelmarin-player://flash/core.wasm?v=2#x", "core.wasm"},
        {"pelmarin-player://flash/", std::nullopt},
        {"pelmarin-player://flash/../secret", std::nullopt},
        {"pelmarin-player://flash/.hidden", std::nullopt},
        {"pelmarin-player://flash/sub/file.js", std::nullopt},
        {"pelmarin-player://flash/..%2Fsecret", std::nullopt},
        {"pelmarin-player://flash/a\\b", std::nullopt},
        {"pelmarin-player://other/ruffle.js", std::nullopt},
        {"https://flash/ruffle.js", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(PlayerFileName(c.address), c.file) << c.address;
}

TEST(GtkFlashPlayer, MoviesAreKnownByTheirTypeOrByNameWhenTheTypeSaysNothing) {
    const struct {
        const char* type;
        const char* address;
        bool movie;
    } cases[] = {
        {"application/x-shockwave-flash", "http://a.example/play", true},
        {"Application/X-Shockwave-Flash", "http://a.example/play", true},
        {"application/vnd.adobe.flash.movie", "http://a.example/play", true},
        {"application/octet-stream", "http://a.example/intro.SWF?x=1", true},
        {"", "http://a.example/intro.swf#start", true},
        {"text/html", "http://a.example/intro.swf", false},
        {"application/octet-stream", "http://a.example/intro.swf.zip", false},
        {"application/octet-stream", "http://a.example/swf", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsMovieResponse(c.type, c.address), c.movie) << c.type << " " << c.address;
}

TEST(GtkFlashPlayer, TheMoviePageTakesAnyAddressAsTextOnly) {
    const std::string page = MoviePage(u"http://a.example/m.swf?\"</script><script>alert(1)</script>");
    EXPECT_EQ(page.find("<script>alert"), std::string::npos);
    EXPECT_EQ(page.find("</script>"), page.rfind("</script>")) << "only the page's own script ends";
}

struct StackCase {
    const char* stack;
    std::optional<std::string> url;
    unsigned long line, column;
};

TEST(GtkCallerLocation, TheFirstFrameOutsideTheHostsScriptsIsTheCaller) {
    const StackCase cases[] = {
        {"@user-script:1:1:183\nf@http://127.0.0.1:8765/index.html:4:26\nglobal code@http://127.0.0.1:8765/index.html:5:2",
         "http://127.0.0.1:8765/index.html", 4, 26},
        {"@user-script:3:12:40\nglobal code@https://u:p@host.example:8443/a.js?x=1:10:3",
         "https://u:p@host.example:8443/a.js?x=1", 10, 3},
        {"https://host.example/plain.js:7:9", "https://host.example/plain.js", 7, 9},
        {"@user-script:1:1:1\n[native code]\nrun@file:///tmp/a.html:2:5", "file:///tmp/a.html", 2, 5},
        {"@user-script:1:1:183", std::nullopt, 0, 0},
        {"", std::nullopt, 0, 0},
        {"f@https://host.example/x.js:12:", std::nullopt, 0, 0},
    };
    for (const StackCase& c : cases) {
        std::optional<ScriptLocation> location = CallerLocationFromStack(c.stack);
        ASSERT_EQ(location.has_value(), c.url.has_value()) << c.stack;
        if (!location) continue;
        EXPECT_EQ(location->url, *c.url);
        EXPECT_EQ(location->line, c.line);
        EXPECT_EQ(location->column, c.column);
    }
}

}  // namespace
}  // namespace platform::desktop
