// The simulated engine: loads scripted pages and raises the events a real engine raises,
// in the same order, from the program's own loop.
#include <algorithm>

#include "engine_fault_page.h"
#include "sim/desktop.h"

namespace sim {

Engine::Engine(Desktop& desktop, HWND window_, platform::EngineClient& client_, platform::EngineOptions options_)
    : window(window_), client(client_), options(options_), desktop_(desktop) {}

Engine::~Engine() { desktop_.EngineGone(this); }

void Engine::Navigate(const std::u16string& url) {
    navigations.push_back(url);
    Load(url, true);
}

void Engine::ClickLink(const std::u16string& url) { Load(url, true); }

void Engine::Load(const std::u16string& url, bool topLevel) {
    // The host is asked before anything happens; a cancelled navigation leaves the page.
    if (client.OnBeforeNavigate(url, topLevel)) return;
    proxyOfLoads.push_back(desktop_.proxy);
    loading_ = true;
    unsigned generation = ++loadGeneration_;
    desktop_.Queue([this, url, generation] {
        if (generation != loadGeneration_) return;  // a later navigation replaced this one
        if (const Page* site = desktop_.FindPage(url); site && site->certificateProblems) {
            ShowFaultPage(url, platform::kCertificateErrorTitle,
                          platform::CertificateErrorPage(url, site->certificateProblems));
            return;
        }
        showingFault_ = false;
        page_ = desktop_.PageFor(url);
        url_ = url;
        title_ = page_ ? page_->title : url;
        body_ = page_ ? page_->body : std::optional<std::u16string>(std::u16string());
        client.OnNavigateComplete(url, true);
        client.OnTitleChange(title_);
        std::vector<std::u16string> frames = page_ ? page_->frames : std::vector<std::u16string>{};
        for (const auto& frame : frames) {
            if (client.OnBeforeNavigate(frame, false)) continue;
            const Page* framePage = desktop_.FindPage(frame);
            if (framePage && framePage->certificateProblems) continue;  // the frame stays empty
            client.OnNavigateComplete(frame, false);
            client.OnDocumentComplete(frame, false);
        }
        loading_ = false;
        loaded = true;
        client.OnDocumentComplete(url, true);
    });
}

void Engine::ShowFaultPage(const std::u16string& url, const std::u16string& title, const std::u16string& html) {
    // The engine's own page: what the host reads of it is its title and body.
    const std::size_t open = html.find(u"<body>"), close = html.rfind(u"</body>");
    page_ = nullptr;
    url_ = url;
    title_ = title;
    body_ = html.substr(open + 6, close - open - 6);
    showingFault_ = true;
    loading_ = false;
    loaded = true;
    client.OnNavigateComplete(url, true);
    client.OnTitleChange(title_);
    client.OnDocumentComplete(url, true);
}

void Engine::WebProcessGone() {
    ++loadGeneration_;  // a load in progress went with the process
    loading_ = false;
    if (url_.empty()) return;  // nothing was shown
    desktop_.Queue([this, generation = loadGeneration_] {
        if (generation != loadGeneration_) return;
        ShowFaultPage(url_, platform::kWebProcessGoneTitle,
                      platform::WebProcessGonePage(url_, platform::WebProcessEnd::Crashed));
    });
}

void Engine::Refresh() {
    ++refreshes;
    if (showingFault_) {
        Load(url_, true);  // the page itself comes back
        return;
    }
    if (!url_.empty()) {
        desktop_.Queue([this] { client.OnDocumentComplete(url_, true); });
    }
}

void Engine::Stop() {
    ++loadGeneration_;
    loading_ = false;
}

std::optional<platform::DocumentData> Engine::ReadDocument(unsigned fields) {
    if (!loaded) return std::nullopt;
    platform::DocumentData data;
    data.url = url_;
    data.title = title_;
    data.hasBody = body_.has_value();
    if (page_ && (fields & platform::kDocModes)) {
        data.compatMode = page_->compatMode;
        data.doctype = page_->doctype;
        data.documentMode = page_->documentMode;
    }
    if (page_ && (fields & platform::kDocScripts)) data.scripts = page_->scripts;
    if (fields & platform::kDocBody) data.bodyHtml = body_;
    if (page_ && (fields & platform::kDocFrames))
        for (const auto& frame : page_->frames) {
            const Page* p = desktop_.FindPage(frame);
            if (!p) {
                data.frames.emplace_back(std::nullopt);
                continue;
            }
            if (p->certificateProblems) {  // never loaded: the frame's empty first document
                platform::DocumentData empty;
                empty.url = u"about:blank";
                empty.hasBody = true;
                empty.bodyHtml = std::u16string();
                data.frames.emplace_back(std::move(empty));
                continue;
            }
            platform::DocumentData f;
            f.url = frame;
            f.title = p->title;
            f.hasBody = p->body.has_value();
            f.compatMode = p->compatMode;
            f.doctype = p->doctype;
            f.documentMode = p->documentMode;
            f.scripts = p->scripts;
            f.bodyHtml = p->body;
            data.frames.emplace_back(std::move(f));
        }
    return data;
}

bool Engine::InsertAdjacentHtml(const std::u16string& where, const std::u16string& html) {
    // The places inside the body; the names are compared without regard to case.
    std::u16string place = where;
    for (char16_t& c : place)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    if (!body_ || (place != u"beforeend" && place != u"afterbegin")) return false;
    if (place == u"beforeend") *body_ += html;
    else body_->insert(0, html);
    inserted.push_back(html);
    return true;
}

void Engine::Zoom(int step) { zoomLevel = step == 0 ? 0 : zoomLevel + step; }
void Engine::Focus() { SetFocus(window); }

void Engine::SetTitle(const std::u16string& title) {
    title_ = title;
    client.OnTitleChange(title);
}

platform::Engine* Engine::OpenWindow(const std::u16string& url, const platform::WindowFeatures& features) {
    platform::NewWindowRequest request{url, url_, true};
    platform::Engine* opened = client.OnNewWindow(request);
    auto* engine = static_cast<Engine*>(opened);
    if (!engine) return nullptr;
    // The new window's page loads, then the engine shows the window as the page asked.
    engine->Load(url, true);
    desktop_.Queue([this, engine, features] {
        for (Engine* e : desktop_.Engines())
            if (e == engine) {
                e->client.OnReadyToShow(features);
                return;
            }
    });
    return engine;
}

bool Engine::ScriptWindowOp(platform::ScriptWindowOp op, LONG a, LONG b) { return client.OnScriptWindowOp(op, a, b); }
void Engine::CloseWindow() { client.OnWindowClosing(); }
bool Engine::Download(bool activeDocument) { return client.OnFileDownload(activeDocument); }
void Engine::ScriptError(const std::u16string& message, const std::u16string& url, ULONG line) {
    client.OnScriptError(message, url, line);
}
void Engine::Console(const platform::ConsoleMessage& message) { client.OnConsoleMessage(message); }
bool Engine::Authenticate(std::u16string* user, std::u16string* password) {
    return client.OnAuthenticate(url_, user, password);
}

}  // namespace sim
