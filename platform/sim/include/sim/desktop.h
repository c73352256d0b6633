// The simulated desktop: a deterministic backend that tests drive. It scripts the user
// (steps run whenever the program waits for input, answers to message boxes, keys, typing)
// and the engine (pages with titles, bodies and frames), and records what a user would see.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "backend/backend.h"

namespace sim {

struct MessageBoxShown {
    HWND owner = nullptr;
    std::u16string text;
    std::u16string caption;
    UINT type = 0;
    int answer = 0;
};

// A page the simulated engine can load.
struct Page {
    std::u16string title;
    std::optional<std::u16string> body = std::u16string();  // absent: no body element
    std::vector<std::u16string> frames;                     // addresses of its iframes, loaded with it
    std::optional<std::u16string> compatMode = std::u16string(u"CSS1Compat");
    std::optional<std::u16string> doctype = std::u16string(u"html");
    std::vector<std::optional<platform::ScriptData>> scripts;
    std::optional<float> documentMode;  // absent: the engine knows none
    // CertificateProblem bits of the site's certificate: when any is set, the engine stops
    // a top-level load on its certificate page, and a frame of that address stays empty.
    unsigned certificateProblems = 0;
};

class Engine;

// Frame metrics of the simulated desktop (pixels).
constexpr LONG kCaptionHeight = 23;
constexpr LONG kThickFrame = 8;
constexpr LONG kThinBorder = 1;
constexpr LONG kMenuHeight = 20;

class Desktop final : public platform::Backend {
public:
    // Makes a desktop and installs it as the process's backend (the layer owns it until
    // another backend, or none, is installed).
    static Desktop& Install();
    ~Desktop() override;
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;
    static Desktop& Current();

    // ---- The user: steps run one at a time whenever the program waits for input. When the
    // program waits and no step is left, the desktop ends (the waiting loop gives up).
    void Then(std::function<void()> step);
    void AnswerMessageBox(int answer);  // answers for the next message boxes, in order
    bool PressKey(int virtualKey);      // down and up in the focused window; true if the program took it
    void HoldKey(int virtualKey, bool down);
    void Type(HWND edit, const std::u16string& text);
    void ChooseMenu(HWND window, UINT id);  // posts the command, as a click on the item does
    void ClickClose(HWND window);
    void MoveByUser(HWND window, const RECT& rect);
    void ClickButton(HWND button);  // a click on a button of a dialog, as the user makes it
    // Runs queued engine and input events now (for tests that run no message loop).
    void RunPending();

    // ---- Pages for the engine.
    void AddPage(const std::u16string& url, Page page);
    const Page* FindPage(const std::u16string& url) const;
    // The page the engine shows for an address: one added, else the program's own HTML
    // resource at its res: address; null when there is neither.
    const Page* PageFor(const std::u16string& url);

    // ---- What the user saw and what the program asked of the desktop.
    std::vector<MessageBoxShown> messageBoxes;
    std::vector<std::u16string> opened;  // handed to the desktop's default application
    std::vector<std::pair<int, bool>> synthesizedKeys;
    bool waitCursor = false;
    bool ended = false;  // the program waited with no step left
    RECT monitor{0, 0, 1280, 1024};
    bool openSucceeds = true;
    std::vector<unsigned> websiteDataCleared;  // the WebsiteData bits of each request
    bool clearSucceeds = true;
    std::vector<HWND> internetOptionsShown;    // the owner of each showing
    // The engines' network proxy: every setting the program made, the one in force (absent:
    // the desktop's default), and the desktop's own configuration, which the program reads.
    std::vector<platform::ProxySettings> proxySettings;
    std::optional<platform::ProxySettings> proxy;
    std::optional<platform::DesktopProxyConfiguration> desktopProxy;

    std::vector<HWND> TopLevelWindows() const;  // alive, in creation order
    Engine* EngineOf(HWND browserWindow) const;
    std::vector<Engine*> Engines() const;

    // ---- The seam.
    void WindowCreated(HWND window) override;
    void WindowDestroyed(HWND window) override;
    void WindowChanged(HWND window, unsigned changes) override;
    void MenuChanged(HMENU menu) override;
    void FocusWindow(HWND window) override;
    RECT MonitorRect(HWND window) override;
    RECT FrameInsets(DWORD style, DWORD exStyle, bool hasMenu) override;
    int MessageBox(HWND owner, const std::u16string& text, const std::u16string& caption, UINT type) override;
    bool RunEvents(bool wait) override;
    void Wake() override {}
    void SynthesizeKey(int virtualKey, bool up) override;
    bool IsKeyDown(int virtualKey) override;
    void SetWaitCursor(bool wait) override { waitCursor = wait; }
    bool OpenWithDesktop(const std::u16string& target) override;
    bool ClearWebsiteData(unsigned kinds) override;
    void ShowInternetOptions(HWND owner) override { internetOptionsShown.push_back(owner); }
    bool SetProxy(const platform::ProxySettings& settings) override;
    std::optional<platform::DesktopProxyConfiguration> DesktopProxy() override { return desktopProxy; }
    std::unique_ptr<platform::Engine> CreateEngine(HWND browserWindow, platform::EngineClient& client,
                                                   const platform::EngineOptions& options) override;

    // Engine events wait here until the program's loop runs them.
    void Queue(std::function<void()> task) { tasks_.push_back(std::move(task)); }
    void EngineGone(Engine* engine);

private:
    Desktop() = default;
    bool DeliverKey(int virtualKey, bool up);
    std::deque<std::function<void()>> steps_;
    std::deque<std::function<void()>> tasks_;
    std::deque<int> answers_;
    std::map<std::u16string, Page> pages_;
    std::vector<HWND> windows_;
    std::vector<Engine*> engines_;
    std::map<int, bool> keysDown_;
};

// A test's simulated desktop, installed for the session's life.
class Session {
public:
    Session() : desktop(Desktop::Install()) {}
    ~Session() { platform::InstallBackend(nullptr); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    Desktop& desktop;
};

// The simulated engine of one browser control.
class Engine final : public platform::Engine {
public:
    Engine(Desktop& desktop, HWND window, platform::EngineClient& client, platform::EngineOptions options);
    ~Engine() override;

    // platform::Engine
    void Navigate(const std::u16string& url) override;
    void Refresh() override;
    void Stop() override;
    std::u16string Url() const override { return url_; }
    std::u16string Title() const override { return title_; }
    bool Busy() const override { return loading_; }
    std::optional<platform::DocumentData> ReadDocument(unsigned fields) override;
    bool InsertAdjacentHtml(const std::u16string& where, const std::u16string& html) override;
    void Zoom(int step) override;
    void Focus() override;

    // What a page does (each as the engine reports it).
    void ClickLink(const std::u16string& url);  // a navigation the page starts
    void SetTitle(const std::u16string& title);
    platform::Engine* OpenWindow(const std::u16string& url, const platform::WindowFeatures& features);
    bool ScriptWindowOp(platform::ScriptWindowOp op, LONG a, LONG b);
    void CloseWindow();
    bool Download(bool activeDocument);
    void ScriptError(const std::u16string& message, const std::u16string& url, ULONG line);
    void Console(const platform::ConsoleMessage& message);
    bool Authenticate(std::u16string* user, std::u16string* password);
    // The web process ends: the page is replaced by the engine's own page saying so, under
    // the same address; Refresh loads the address again.
    void WebProcessGone();
    // The body's elements as the engine parses its markup, in document order.
    std::vector<platform::ElementData> BodyElements() const;
    // A click on BodyElements()[index]: the host hears it, then a link is followed.
    void ClickElement(std::size_t index);

    HWND window;
    platform::EngineClient& client;
    platform::EngineOptions options;
    std::vector<std::u16string> navigations;  // every address it was asked to load
    std::vector<int> keysReceived;            // keys that reached the page
    std::vector<std::u16string> inserted;     // markup inserted into the body
    int zoomLevel = 0;                        // steps from 100%
    int refreshes = 0;
    bool loaded = false;
    // The proxy in force when each top-level load was requested (absent: the desktop's default).
    std::vector<std::optional<platform::ProxySettings>> proxyOfLoads;

private:
    void Load(const std::u16string& url, bool topLevel);
    void ShowFaultPage(const std::u16string& url, const std::u16string& title, const std::u16string& html);
    Desktop& desktop_;
    std::u16string url_, title_;
    std::optional<std::u16string> body_;
    const Page* page_ = nullptr;
    bool loading_ = false;
    bool showingFault_ = false;
    unsigned loadGeneration_ = 0;
};

}  // namespace sim
