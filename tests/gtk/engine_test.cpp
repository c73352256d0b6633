// The engine in a browser window: its events as the control sees them, document reads,
// scripts' requests, new windows, and the control's own keys.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "crt/crt.h"
#include "desktop_fixture.h"
#include "sync_script_runner.h"
#include "web_context.h"
#include "webkit_engine.h"

namespace platform::desktop::testing {
namespace {

// Records every event as a line of text; answers as told.
class RecordingClient final : public EngineClient {
public:
    bool OnBeforeNavigate(const std::u16string& url, bool topLevel) override {
        Add("before " + U8(url) + (topLevel ? "" : " (frame)"));
        return U8(url).rfind(cancelPrefix.empty() ? std::string("\x01") : cancelPrefix, 0) == 0;
    }
    void OnNavigateComplete(const std::u16string& url, bool topLevel) override {
        Add("navigated " + U8(url) + (topLevel ? "" : " (frame)"));
    }
    void OnDocumentComplete(const std::u16string& url, bool topLevel) override {
        Add("complete " + U8(url) + (topLevel ? "" : " (frame)"));
        if (topLevel) ++completed;
    }
    void OnTitleChange(const std::u16string& title) override { Add("title " + U8(title)); }
    Engine* OnNewWindow(const NewWindowRequest& request) override {
        Add("new window " + U8(request.url));
        return newWindowEngine;
    }
    void OnReadyToShow(const WindowFeatures& features) override {
        std::string text = "ready";
        if (features.left) text += " left " + std::to_string(*features.left);
        if (features.top) text += " top " + std::to_string(*features.top);
        if (features.width) text += " width " + std::to_string(*features.width);
        if (features.height) text += " height " + std::to_string(*features.height);
        Add(text);
    }
    void OnWindowClosing() override { Add("closing"); }
    bool OnScriptWindowOp(ScriptWindowOp op, LONG a, LONG b) override {
        static const char* names[] = {"moveTo", "moveBy", "resizeTo", "resizeBy"};
        Add(std::string("window ") + names[static_cast<int>(op)] + " " + std::to_string(a) + " " + std::to_string(b));
        return true;
    }
    bool OnFileDownload(bool activeDocument) override {
        Add(std::string("download") + (activeDocument ? " shown" : ""));
        return false;
    }
    void OnConsoleMessage(const ConsoleMessage& message) override {
        Add("console " + std::to_string(message.level) + " " + U8(message.text) + " @" +
            U8(message.sourceUrl.value_or(u"-")) + ":" + std::to_string(message.line) + ":" +
            std::to_string(message.column));
    }
    void OnScriptError(const std::u16string& message, const std::u16string& url, ULONG line) override {
        Add("script error " + U8(message) + " @" + U8(url) + ":" + std::to_string(line));
    }
    bool OnAuthenticate(const std::u16string&, std::u16string* user, std::u16string* password) override {
        Add("authenticate");
        if (!credentials) return false;
        *user = credentials->first;
        *password = credentials->second;
        return true;
    }
    void OnElementClick(const ElementData& element) override { Add("click " + U8(element.id)); }

    bool Saw(const std::string& line) const { return std::find(events.begin(), events.end(), line) != events.end(); }
    std::ptrdiff_t IndexOf(const std::string& line) const {
        auto it = std::find(events.begin(), events.end(), line);
        return it == events.end() ? -1 : it - events.begin();
    }
    std::string All() const {
        std::string text;
        for (const auto& e : events) text += e + "\n";
        return text;
    }

    std::vector<std::string> events;
    std::string cancelPrefix;
    Engine* newWindowEngine = nullptr;
    std::optional<std::pair<std::u16string, std::u16string>> credentials;
    int completed = 0;

private:
    static std::string U8(const std::u16string& text) { return text::ToUtf8(text); }
    void Add(std::string line) { events.push_back(std::move(line)); }
};

// Serves the test's pages on 127.0.0.1; pages under /secret/ ask for Basic
// authentication with the user "user" and the password "pass word".
constexpr char kServerScript[] = R"PY(
import base64, functools, http.server, sys
site, port_file = sys.argv[1], sys.argv[2]
class Handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass
    def do_GET(self):
        if self.path.startswith('/secret/'):
            expected = 'Basic ' + base64.b64encode(b'user:pass word').decode()
            if self.headers.get('Authorization') != expected:
                self.send_response(401)
                self.send_header('WWW-Authenticate', 'Basic realm="test"')
                self.send_header('Content-Length', '0')
                self.end_headers()
                return
        super().do_GET()
server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), functools.partial(Handler, directory=site))
with open(port_file + '.tmp', 'w') as f:
    f.write(str(server.server_address[1]))
import os
os.rename(port_file + '.tmp', port_file)
server.serve_forever()
)PY";

class GtkEngineTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        if (IsSkipped()) return;
        const char* base = std::getenv("PELMARIN_TEST_TMP");
        site_ = std::string(base ? base : "/tmp") + "/gtk-site-" + std::to_string(getpid());
        std::filesystem::create_directories(site_ + "/secret");
        std::string portFile = site_ + "/../gtk-port-" + std::to_string(getpid());
        std::filesystem::remove(portFile);
        server_ = fork();
        if (server_ == 0) {
            // The server goes with the test, even when the test dies, and keeps none of its
            // output streams (a runner waits for those to close).
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            int devnull = open("/dev/null", O_RDWR);
            dup2(devnull, 1);
            dup2(devnull, 2);
            execlp("python3", "python3", "-c", kServerScript, site_.c_str(), portFile.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(portFile); })) << "no test server";
        std::ifstream in(portFile);
        int port = 0;
        in >> port;
        origin_ = "http://127.0.0.1:" + std::to_string(port);
    }
    void TearDown() override {
        engines_.clear();  // engines go before their windows, as the controls' do
        if (server_ > 0) {
            kill(server_, SIGTERM);
            waitpid(server_, nullptr, 0);
        }
        DesktopTest::TearDown();
    }
    // Writes a page into the served folder and gives its address.
    std::string Served(const std::string& name, const std::string& html) {
        std::ofstream(site_ + "/" + name) << html;
        return origin_ + "/" + name;
    }
    struct Browser {
        HWND window = nullptr, browser = nullptr;
        WebKitEngine* engine = nullptr;
    };
    Browser MakeBrowser(RecordingClient& client, EngineOptions options = {}) {
        Browser made;
        made.window = MakeTopLevel(RECT{0, 0, 800, 600});
        made.browser = MakeChild(made.window, WindowClass::Browser, RECT{0, 0, 800, 600});
        engines_.push_back(CurrentBackend().CreateEngine(made.browser, client, options));
        made.engine = static_cast<WebKitEngine*>(engines_.back().get());
        return made;
    }
    std::string Page(const std::string& name, const std::string& html) {
        std::ofstream(site_ + "/" + name) << html;
        return "file://" + site_ + "/" + name;
    }
    bool Load(Browser& b, RecordingClient& client, const std::string& url) {
        int before = client.completed;
        b.engine->Navigate(text::FromUtf8(url));
        return WaitUntil([&] { return client.completed > before && !b.engine->Busy(); }, std::chrono::seconds(20));
    }
    std::string site_, origin_;
    pid_t server_ = 0;
    std::vector<std::unique_ptr<Engine>> engines_;
};

TEST_F(GtkEngineTest, ANavigationIsAskedForCommittedTitledAndCompleted) {
    RecordingClient client;
    Browser b = MakeBrowser(client);
    std::string url = Served("plain.html", "<!DOCTYPE html><title>First page</title><p>Hello</p>");
    ASSERT_TRUE(Load(b, client, url)) << client.All();
    std::ptrdiff_t before = client.IndexOf("before " + url), navigated = client.IndexOf("navigated " + url),
                   complete = client.IndexOf("complete " + url);
    ASSERT_GE(before, 0) << client.All();
    EXPECT_LT(before, navigated);
    EXPECT_LT(navigated, complete);
    EXPECT_TRUE(WaitUntil([&] { return client.Saw("title First page"); })) << client.All();
    EXPECT_EQ(b.engine->Url(), text::FromUtf8(url));
    EXPECT_EQ(b.engine->Title(), u"First page");
    EXPECT_FALSE(b.engine->Busy());
}

TEST_F(GtkEngineTest, ACancelledNavigationLeavesThePageAsItWas) {
    RecordingClient client;
    Browser b = MakeBrowser(client);
    std::string url = Page("stay.html", "<title>Stay</title><a id=l href='mailto:a@b.example'>mail</a>"
                                        "<script>setTimeout(function(){document.getElementById('l').click();},50)</script>");
    client.cancelPrefix = "mailto:";
    ASSERT_TRUE(Load(b, client, url)) << client.All();
    ASSERT_TRUE(WaitUntil([&] { return client.Saw("before mailto:a@b.example"); })) << client.All();
    Pump(std::chrono::milliseconds(200));
    EXPECT_EQ(b.engine->Url(), text::FromUtf8(url));
    EXPECT_FALSE(client.Saw("navigated mailto:a@b.example"));
}

TEST_F(GtkEngineTest, FramesReportTheirOwnNavigationsAndAreReadWithTheDocument) {
    RecordingClient client;
    Browser b = MakeBrowser(client);
    std::string inner = Served("inner.html", "<title>Inner</title><p>inside</p>");
    std::string url = Served("outer.html",
                           "<!DOCTYPE html><html><head><title>Outer</title>"
                           "<script src='data:text/javascript,var fromFile=1;'></script>"
                           "<script>var inline = 2;</script></head><body><p>outside</p>"
                           "<iframe src='inner.html'></iframe>"
                           "<iframe src='data:text/html,<p>opaque</p>'></iframe></body></html>");
    ASSERT_TRUE(Load(b, client, url)) << client.All();
    EXPECT_TRUE(client.Saw("navigated " + inner + " (frame)")) << client.All();
    std::ptrdiff_t frameComplete = client.IndexOf("complete " + inner + " (frame)");
    ASSERT_GE(frameComplete, 0) << client.All();
    EXPECT_LT(frameComplete, client.IndexOf("complete " + url));

    std::optional<DocumentData> document = b.engine->ReadDocument(kDocAll);
    ASSERT_TRUE(document);
    EXPECT_EQ(document->url, text::FromUtf8(url));
    EXPECT_EQ(document->title, u"Outer");
    EXPECT_EQ(document->compatMode, u"CSS1Compat");
    EXPECT_EQ(document->doctype, u"html");
    ASSERT_EQ(document->scripts.size(), 2u);
    EXPECT_EQ(document->scripts[0]->src, u"data:text/javascript,var fromFile=1;");
    EXPECT_EQ(document->scripts[1]->src, std::nullopt);
    EXPECT_EQ(document->scripts[1]->text, u"var inline = 2;");
    ASSERT_TRUE(document->bodyHtml);
    EXPECT_NE(document->bodyHtml->find(u"<p>outside</p>"), std::u16string::npos);
    ASSERT_EQ(document->frames.size(), 2u);
    ASSERT_TRUE(document->frames[0]);
    EXPECT_EQ(document->frames[0]->bodyHtml, u"<p>inside</p>");
    EXPECT_EQ(document->frames[0]->doctype, std::nullopt);
    EXPECT_EQ(document->frames[0]->compatMode, u"BackCompat");
    EXPECT_FALSE(document->frames[1]);  // another origin: not readable
}

TEST_F(GtkEngineTest, ConsoleOutputAndUncaughtErrorsCarryTheirSource) {
    RecordingClient client;
    Browser b = MakeBrowser(client);
    std::string url = Served("console.html",
                           "<title>Console</title>\n"
                           "<script>\n"
                           "console.log('hello', 42);\n"
                           "console.warn('careful');\n"
                           "  undefinedFunction();\n"
                           "</script>");
    ASSERT_TRUE(Load(b, client, url)) << client.All();
    EXPECT_TRUE(client.Saw("console 0 hello 42 @" + url + ":3:12")) << client.All();
    EXPECT_TRUE(client.Saw("console 1 careful @" + url + ":4:13")) << client.All();
    bool sawError = false;
    for (const std::string& e : client.events)
        if (e.rfind("script error ", 0) == 0 && e.find("undefinedFunction") != std::string::npos &&
            e.find("@" + url + ":5") != std::string::npos)
            sawError = true;
    EXPECT_TRUE(sawError) << client.All();
}

TEST_F(GtkEngineTest, ScriptErrorsStayInTheConsoleWhenTheHostDoesNotWantThem) {
    RecordingClient client;
    EngineOptions options;
    options.scriptErrorsToHost = false;
    Browser b = MakeBrowser(client, options);
    ASSERT_TRUE(Load(b, client, Served("quiet.html", "<script>throw new Error('boom');</script>"))) << client.All();
    bool console = false, reported = false;
    for (const std::string& e : client.events) {
        if (e.rfind("console 2 ", 0) == 0 && e.find("boom") != std::string::npos) console = true;
        if (e.rfind("script error", 0) == 0) reported = true;
    }
    EXPECT_TRUE(console) << client.All();
    EXPECT_FALSE(reported) << client.All();
}

TEST_F(GtkEngineTest, WindowMovesAndResizesAreTheHostsToCarryOut) {
    RecordingClient client;
    Browser b = MakeBrowser(client);
    ASSERT_TRUE(Load(b, client, Page("move.html", "<script>window.resizeTo(800, 600); window.moveBy(10, -5);</script>")))
        << client.All();
    EXPECT_TRUE(client.Saw("window resizeTo 800 600")) << client.All();
    EXPECT_TRUE(client.Saw("window moveBy 10 -5")) << client.All();
}

TEST_F(GtkEngineTest, WindowExternalIsThereOnlyWhenOffered) {
    for (bool offered : {false, true}) {
        RecordingClient client;
        EngineOptions options;
        options.external = offered;
        Browser b = MakeBrowser(client, options);
        ASSERT_TRUE(Load(b, client, Page("external.html", "<script>document.title = typeof window.external;</script>")));
        std::u16string expected = offered ? u"object" : u"undefined";
        EXPECT_TRUE(WaitUntil([&] { return b.engine->Title() == expected; })) << text::ToUtf8(b.engine->Title());
    }
}

TEST_F(GtkEngineTest, MarkupIsInsertedIntoTheBody) {
    RecordingClient client;
    Browser b = MakeBrowser(client);
    ASSERT_TRUE(Load(b, client, Page("insert.html", "<body><p>first</p></body>")));
    EXPECT_TRUE(b.engine->InsertAdjacentHtml(u"beforeEnd", u"<table id=\"t\"><tr><td>\"quoted\" \u00e9</td></tr></table>"));
    EXPECT_TRUE(b.engine->InsertAdjacentHtml(u"afterBegin", u"<h1>top</h1>"));
    EXPECT_FALSE(b.engine->InsertAdjacentHtml(u"nowhere", u"<p>x</p>"));
    std::optional<DocumentData> document = b.engine->ReadDocument(kDocBody);
    ASSERT_TRUE(document && document->bodyHtml);
    EXPECT_EQ(*document->bodyHtml,
              u"<h1>top</h1><p>first</p><table id=\"t\"><tbody><tr><td>\"quoted\" \u00e9</td></tr></tbody></table>");
}

TEST_F(GtkEngineTest, AFailedLoadStillEndsAndShowsNoErrorPage) {
    RecordingClient client;
    Browser b = MakeBrowser(client);
    std::string missing = "file://" + site_ + "/missing.html";
    ASSERT_TRUE(Load(b, client, missing)) << client.All();
    EXPECT_TRUE(client.Saw("complete " + missing)) << client.All();
    EXPECT_FALSE(client.Saw("navigated " + missing)) << client.All();
}

TEST_F(GtkEngineTest, AResponseTheViewCannotShowIsOfferedAsADownload) {
    RecordingClient client;
    Browser b = MakeBrowser(client);
    std::string url = Page("start.html", "<title>Start</title>");
    ASSERT_TRUE(Load(b, client, url));
    const char archive[] = "PK\x03\x04 not really a zip";
    std::ofstream(site_ + "/archive.zip") << std::string(archive, sizeof archive - 1);
    b.engine->Navigate(text::FromUtf8("file://" + site_ + "/archive.zip"));
    EXPECT_TRUE(WaitUntil([&] { return client.Saw("download"); })) << client.All();
    Pump(std::chrono::milliseconds(200));
    EXPECT_EQ(b.engine->Url(), text::FromUtf8(url));  // refused: the page stays
}

TEST_F(GtkEngineTest, ANewWindowLoadsInTheEngineTheHostGives) {
    RecordingClient opener, popup;
    Browser main = MakeBrowser(opener);
    Browser second = MakeBrowser(popup);
    opener.newWindowEngine = second.engine;
    std::string target = Page("popup.html", "<title>Popup</title><script>window.resizeTo(500, 200);"
                                            "setTimeout(function(){window.close();},300)</script>");
    ASSERT_TRUE(Load(main, opener, Page("opener.html",
                                         "<script>window.open('popup.html', '_blank',"
                                         " 'left=100,top=50,width=400,height=300');</script>")));
    ASSERT_TRUE(WaitUntil([&] { return popup.Saw("complete " + target); })) << opener.All() << "--\n" << popup.All();
    EXPECT_TRUE(opener.Saw("new window " + target)) << opener.All();
    EXPECT_TRUE(popup.Saw("ready left 100 top 50 width 400 height 300")) << popup.All();
    EXPECT_TRUE(WaitUntil([&] { return popup.Saw("title Popup"); })) << popup.All();
    EXPECT_TRUE(WaitUntil([&] { return popup.Saw("closing"); })) << popup.All();
    // The new window's page has the host's scripts as well.
    EXPECT_TRUE(popup.Saw("window resizeTo 500 200")) << popup.All() << "-- opener\n" << opener.All();
    EXPECT_EQ(second.engine->Url(), text::FromUtf8(target));
}

TEST_F(GtkEngineTest, AWindowWithoutGeometryGivesNone) {
    RecordingClient opener, popup;
    Browser main = MakeBrowser(opener);
    Browser second = MakeBrowser(popup);
    opener.newWindowEngine = second.engine;
    std::string target = Page("plainpopup.html", "<title>Plain</title>");
    ASSERT_TRUE(Load(main, opener, Page("opener2.html", "<script>window.open('plainpopup.html');</script>")));
    ASSERT_TRUE(WaitUntil([&] { return popup.Saw("complete " + target); })) << popup.All();
    EXPECT_TRUE(popup.Saw("ready")) << popup.All();
}

TEST_F(GtkEngineTest, ARefusedNewWindowOpensNothing) {
    RecordingClient opener;
    Browser main = MakeBrowser(opener);
    ASSERT_TRUE(Load(main, opener, Page("opener3.html",
                                         "<script>var w = window.open('x.html');"
                                         "document.title = w ? 'opened' : 'refused';</script>")));
    EXPECT_TRUE(opener.Saw("new window file://" + site_ + "/x.html")) << opener.All();
    EXPECT_TRUE(WaitUntil([&] { return main.engine->Title() == u"refused"; })) << text::ToUtf8(main.engine->Title());
}

TEST_F(GtkEngineTest, BasicAuthenticationUsesTheHostsAnswer) {
    Served("secret/page.html", "<title>Secret</title>");
    struct Case {
        std::optional<std::pair<std::u16string, std::u16string>> credentials;
        bool loads;
    };
    const Case cases[] = {{std::pair{std::u16string(u"user"), std::u16string(u"pass word")}, true},
                          {std::nullopt, false}};
    for (const Case& c : cases) {
        RecordingClient client;
        client.credentials = c.credentials;
        Browser b = MakeBrowser(client);
        // A context keeps accepted credentials for its session: each case asks a new host name.
        std::string url = c.loads ? origin_ + "/secret/page.html"
                                  : std::string("http://localhost:") + origin_.substr(origin_.rfind(':') + 1) +
                                        "/secret/page.html";
        ASSERT_TRUE(Load(b, client, url)) << client.All();
        EXPECT_TRUE(client.Saw("authenticate")) << client.All();
        Pump(std::chrono::milliseconds(200));
        EXPECT_EQ(b.engine->Title() == u"Secret", c.loads) << client.All();
    }
}

TEST_F(GtkEngineTest, CtrlEqualsMinusAndZeroZoomTheFocusedBrowserOnly) {
    RecordingClient client;
    Browser b = MakeBrowser(client);
    ASSERT_TRUE(Load(b, client, Page("zoom.html", "<p>zoom</p>")));
    auto press = [&](int code) {
        for (auto [key, up] : {std::pair{VK_CONTROL, false}, {code, false}, {code, true}, {VK_CONTROL, true}})
            CurrentBackend().SynthesizeKey(key, up);
        Pump(std::chrono::milliseconds(150));
    };
    SetFocus(b.browser);
    Pump(std::chrono::milliseconds(50));
    press(VK_OEM_PLUS);
    EXPECT_EQ(b.engine->zoomPercent(), 110);
    press(VK_OEM_PLUS);
    press(VK_OEM_MINUS);
    EXPECT_EQ(b.engine->zoomPercent(), 110);
    press('0');
    EXPECT_EQ(b.engine->zoomPercent(), 100);
    // The same keys in an edit field are the field's.
    HWND edit = MakeChild(b.window, WindowClass::Edit, RECT{0, 0, 100, 24});
    ASSERT_TRUE(WaitUntil([&] { return gtk_widget_get_mapped(WidgetOf(edit)); }));
    SetFocus(edit);
    press(VK_OEM_PLUS);
    EXPECT_EQ(b.engine->zoomPercent(), 100);
    // Keys the program takes first never zoom.
    KeyRecorder recorder;
    recorder.consume = {VK_OEM_PLUS};
    recorder.Attach(b.window);
    SetFocus(b.browser);
    press(VK_OEM_PLUS);
    EXPECT_EQ(b.engine->zoomPercent(), 100);
    recorder.Detach();
}


// ---- Faults: the web process ends, a certificate fails -------------------------------------

// An https server on 127.0.0.1 with a self-signed certificate for that address; its standard
// output says "request" for every request that got past the handshake.
constexpr char kTlsServerScript[] = R"PY(
import functools, http.server, os, ssl, sys
site, cert, key, port_file = sys.argv[1:5]
class Handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass
    def do_GET(self):
        open(port_file + '.requests', 'a').write(self.path + '\n')
        super().do_GET()
server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), functools.partial(Handler, directory=site))
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(cert, key)
server.socket = context.wrap_socket(server.socket, server_side=True)
with open(port_file + '.tmp', 'w') as f:
    f.write(str(server.server_address[1]))
os.rename(port_file + '.tmp', port_file)
server.serve_forever()
)PY";

class GtkEngineFaultsTest : public GtkEngineTest {
protected:
    void TearDown() override {
        if (tlsServer_ > 0) {
            kill(tlsServer_, SIGTERM);
            waitpid(tlsServer_, nullptr, 0);
        }
        GtkEngineTest::TearDown();
    }
    // Starts the https server on the served folder; gives its origin.
    std::string StartTlsServer() {
        const std::string cert = site_ + "/../tls-" + std::to_string(getpid()) + ".crt";
        const std::string key = site_ + "/../tls-" + std::to_string(getpid()) + ".key";
        const std::string make = "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 "
                                 "-subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 -keyout " + key +
                                 " -out " + cert + " >/dev/null 2>&1";
        if (std::system(make.c_str()) != 0) return {};
        tlsPortFile_ = site_ + "/../tls-port-" + std::to_string(getpid());
        std::filesystem::remove(tlsPortFile_);
        std::filesystem::remove(tlsPortFile_ + ".requests");
        tlsServer_ = fork();
        if (tlsServer_ == 0) {
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            int devnull = open("/dev/null", O_RDWR);
            dup2(devnull, 1);
            dup2(devnull, 2);
            execlp("python3", "python3", "-c", kTlsServerScript, site_.c_str(), cert.c_str(), key.c_str(),
                   tlsPortFile_.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        if (!WaitUntil([&] { return std::filesystem::exists(tlsPortFile_); })) return {};
        std::ifstream in(tlsPortFile_);
        int port = 0;
        in >> port;
        return "https://127.0.0.1:" + std::to_string(port);
    }
    bool TlsServerGotRequests() const { return std::filesystem::exists(tlsPortFile_ + ".requests"); }
    static WebKitWebView* ViewOf(const Browser& b) {
        GList* children = gtk_container_get_children(GTK_CONTAINER(WidgetOf(b.browser)));
        WebKitWebView* view = nullptr;
        for (GList* c = children; c && !view; c = c->next)
            if (WEBKIT_IS_WEB_VIEW(c->data)) view = WEBKIT_WEB_VIEW(c->data);
        g_list_free(children);
        return view;
    }
    // The navigation events from now until the next top-level load has completed and settled
    // (title changes, an empty one between pages included, are left to the title checks).
    std::vector<std::string> EventsOf(RecordingClient& client, Browser& b, const std::function<void()>& action) {
        client.events.clear();
        int before = client.completed;
        action();
        WaitUntil([&] { return client.completed > before && !b.engine->Busy(); }, std::chrono::seconds(20));
        Pump(std::chrono::milliseconds(300));  // a late or second event would show here
        std::vector<std::string> seen;
        for (const std::string& e : client.events)
            if (e.rfind("console ", 0) != 0 && e.rfind("title ", 0) != 0) seen.push_back(e);
        return seen;
    }
    pid_t tlsServer_ = 0;
    std::string tlsPortFile_;
};

TEST_F(GtkEngineFaultsTest, TheContextKeepsTheSandboxAndFailsCertificateErrors) {
    WebKitWebContext* context = SharedWebContext();
    EXPECT_TRUE(webkit_web_context_get_sandbox_enabled(context));
    EXPECT_EQ(webkit_website_data_manager_get_tls_errors_policy(webkit_web_context_get_website_data_manager(context)),
              WEBKIT_TLS_ERRORS_POLICY_FAIL);
}

TEST_F(GtkEngineFaultsTest, AnEndedWebProcessIsReplacedByOurPageAndRefreshBringsThePageBack) {
    RecordingClient client;
    Browser b = MakeBrowser(client);
    const std::string url = Served("alive.html", "<title>Alive</title><p>here</p>");
    ASSERT_TRUE(Load(b, client, url)) << client.All();
    ASSERT_TRUE(WaitUntil([&] { return client.Saw("title Alive"); })) << client.All();

    // The host hears of our page as of any page: committed, titled, completed, nothing asked.
    std::vector<std::string> gone = EventsOf(client, b, [&] { webkit_web_view_terminate_web_process(ViewOf(b)); });
    EXPECT_EQ(gone, (std::vector<std::string>{"navigated " + url, "complete " + url})) << client.All();
    EXPECT_TRUE(WaitUntil([&] { return b.engine->Title() == u"Page stopped" && client.Saw("title Page stopped"); }));
    EXPECT_EQ(b.engine->Url(), text::FromUtf8(url));
    std::optional<DocumentData> page = b.engine->ReadDocument(kDocBasics | kDocBody);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->title, u"Page stopped");
    EXPECT_NE(page->bodyHtml.value_or(u"").find(text::FromUtf8(url)), std::u16string::npos);
    // A click on our page is none of the host's business.
    RunScriptAndWait(ViewOf(b), "document.getElementById('address').click(); true", nullptr);
    Pump(std::chrono::milliseconds(300));
    EXPECT_FALSE(client.Saw("click address")) << client.All();

    std::vector<std::string> back = EventsOf(client, b, [&] { b.engine->Refresh(); });
    EXPECT_EQ(back, (std::vector<std::string>{"before " + url, "navigated " + url, "complete " + url})) << client.All();
    EXPECT_TRUE(WaitUntil([&] { return b.engine->Title() == u"Alive" && client.Saw("title Alive"); }));
}

TEST_F(GtkEngineFaultsTest, ACertificateErrorEndsOnOurPageAtEveryVisitAndNothingIsSent) {
    RecordingClient client;
    Browser b = MakeBrowser(client);
    const std::string origin = StartTlsServer();
    ASSERT_FALSE(origin.empty()) << "no https test server";
    Served("secret.html", "<title>Secret</title>");
    const std::string url = origin + "/secret.html";
    const std::vector<std::string> expected{"before " + url, "navigated " + url, "complete " + url};
    const std::pair<const char*, std::function<void()>> visits[] = {
        {"navigation", [&] { b.engine->Navigate(text::FromUtf8(url)); }},
        {"refresh", [&] { b.engine->Refresh(); }},
    };
    for (const auto& [visit, action] : visits) {
        SCOPED_TRACE(visit);
        EXPECT_EQ(EventsOf(client, b, action), expected) << client.All();
        EXPECT_TRUE(WaitUntil([&] { return client.Saw("title Certificate error"); })) << client.All();
        EXPECT_EQ(b.engine->Url(), text::FromUtf8(url));
        std::optional<DocumentData> page = b.engine->ReadDocument(kDocBasics | kDocBody);
        ASSERT_TRUE(page);
        EXPECT_EQ(page->title, u"Certificate error");
        EXPECT_NE(page->bodyHtml.value_or(u"").find(u"The certificate is not trusted"), std::u16string::npos);
    }
    EXPECT_FALSE(TlsServerGotRequests());
}


TEST_F(GtkEngineFaultsTest, AFrameFromASiteWithAFailedCertificateStaysEmptyAndThePageCompletes) {
    RecordingClient client;
    Browser b = MakeBrowser(client);
    const std::string origin = StartTlsServer();
    ASSERT_FALSE(origin.empty()) << "no https test server";
    Served("secret.html", "<title>Secret</title><p>secret</p>");
    const std::string frame = origin + "/secret.html";
    const std::string url =
        Served("outer-tls.html", "<title>Outer</title><p>outside</p><iframe src='" + frame + "'></iframe>");
    // The frame's navigation is asked for and then never commits: no error page inside a page.
    EXPECT_EQ(EventsOf(client, b, [&] { b.engine->Navigate(text::FromUtf8(url)); }),
              (std::vector<std::string>{"before " + url, "navigated " + url, "before " + frame + " (frame)",
                                        "complete " + url}))
        << client.All();
    EXPECT_TRUE(WaitUntil([&] { return client.Saw("title Outer"); })) << client.All();
    std::optional<DocumentData> page = b.engine->ReadDocument(kDocAll);
    ASSERT_TRUE(page);
    ASSERT_EQ(page->frames.size(), 1u);
    ASSERT_TRUE(page->frames[0]) << "the empty frame is of the page's own origin";
    EXPECT_EQ(page->frames[0]->url, u"about:blank");
    EXPECT_EQ(page->frames[0]->bodyHtml, u"");
    EXPECT_FALSE(TlsServerGotRequests());
}

}  // namespace
}  // namespace platform::desktop::testing
