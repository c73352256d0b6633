// The browser engine of one browser control: a WebKitWebView in the control's window,
// its events turned into the EngineClient's calls.
#pragma once

#include "webkit_toolkit.h"

#include <memory>
#include <optional>
#include <string>

#include "backend/engine.h"
#include "backend/window_object.h"
#include "engine_fault_pages.h"
#include "gobject_ptr.h"
#include "window_open_features.h"
#include "window_presenter.h"

namespace platform::desktop {

class WebKitEngine final : public Engine {
public:
    WebKitEngine(WindowPresenter& presenter, HWND browserWindow, EngineClient& client, const EngineOptions& options);
    ~WebKitEngine() override;
    WebKitEngine(const WebKitEngine&) = delete;
    WebKitEngine& operator=(const WebKitEngine&) = delete;

    // The engine shown in a browser window, if any.
    static WebKitEngine* ForWindow(HWND browserWindow);

    void Navigate(const std::u16string& url) override;
    void Refresh() override;
    void Stop() override;
    std::u16string Url() const override;
    std::u16string Title() const override;
    bool Busy() const override;
    std::optional<DocumentData> ReadDocument(unsigned fields) override;
    bool InsertAdjacentHtml(const std::u16string& where, const std::u16string& html) override;
    void Zoom(int step) override;
    void Focus() override;

    // The window is going away: the view leaves it (the engine may outlive it briefly).
    void DetachView();
    int zoomPercent() const { return zoomPercent_; }

private:
    // A new window's content must share the opener's web process: the view made at
    // construction is replaced by one related to the opener's, which is returned to the
    // engine for loading.
    GtkWidget* AdoptRelatedView(WebKitWebView* opener, WebKitUserContentManager* openerContent);
    void InstallView(GObjectPtr<WebKitWebView> view);
    void ReleaseView();
    bool GuessTopLevelNavigation();
    void HandleMessage(JSCValue* message);
    // A page's message arrives at the channel of the content manager its view uses, which
    // a new window shares with its opener: the engine whose view shows the message's top
    // document takes it.
    static WebKitEngine* RecipientOf(WebKitUserContentManager* content, JSCValue* message, WebKitEngine* owner);
    void UseContent(WebKitUserContentManager* content);

    static gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision*, WebKitPolicyDecisionType, gpointer);
    static void OnLoadChanged(WebKitWebView*, WebKitLoadEvent, gpointer);
    static gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar*, GError*, gpointer);
    static void OnTitle(GObject*, GParamSpec*, gpointer);
    static GtkWidget* OnCreate(WebKitWebView*, WebKitNavigationAction*, gpointer);
    static void OnReadyToShow(WebKitWebView*, gpointer);
    static void OnClose(WebKitWebView*, gpointer);
    static gboolean OnAuthenticate(WebKitWebView*, WebKitAuthenticationRequest*, gpointer);
    static void OnScriptMessage(WebKitUserContentManager*, WebKitJavascriptResult*, gpointer);

    WindowPresenter& presenter_;
    HWND window_;
    EngineClient& client_;
    EngineOptions options_;
    GObjectPtr<WebKitUserContentManager> content_;  // made for this engine
    WebKitUserContentManager* viewContent_ = nullptr;  // the one its view uses
    GObjectPtr<WebKitWebView> view_;
    EngineFaultPages faultPages_;  // our page when the view cannot show its own
    // Cleared when the engine goes; handlers that ran nested loops check it before
    // touching the engine again.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    int zoomPercent_ = 100;
    bool documentLoading_ = false;  // between the top-level commit and the load's end
    bool expectTopLevel_ = false;   // the next navigation is one the program started
    std::optional<std::string> failedUrl_;  // the top-level load failed; report its end
    // The feature text of the page's latest window.open, until the window it asks for
    // exists; then the geometry the new window's page gave.
    std::optional<std::string> openFeatures_;
    GivenGeometry givenGeometry_;
};

}  // namespace platform::desktop
