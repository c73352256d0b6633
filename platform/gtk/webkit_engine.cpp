#include "webkit_engine.h"

#include <algorithm>
#include <unordered_map>

#include "crt/crt.h"
#include "document_reader.h"
#include "element_click_report.h"
#include "engine_scripts.h"
#include "flash_player.h"
#include "javascript_literal.h"
#include "native_window.h"
#include "resource_scheme.h"
#include "script_location.h"
#include "sync_script_runner.h"
#include "web_address.h"
#include "web_context.h"

namespace platform::desktop {
namespace {

// Reads and edits of documents run in a world of their own, out of reach of page scripts
// that may have replaced the DOM's methods.
constexpr char kHostWorld[] = "pelmarin-host";
constexpr int kZoomStepPercent = 10, kZoomMinPercent = 30, kZoomMaxPercent = 300;

// The engines whose views use each content manager.
std::unordered_map<WebKitUserContentManager*, std::vector<WebKitEngine*>>& ContentUsers() {
    static std::unordered_map<WebKitUserContentManager*, std::vector<WebKitEngine*>> users;
    return users;
}

std::unordered_map<HWND, WebKitEngine*>& Engines() {
    static std::unordered_map<HWND, WebKitEngine*> engines;
    return engines;
}

std::u16string Utf16(const char* text) { return text ? text::FromUtf8(text) : std::u16string(); }

std::optional<std::string> StringProperty(JSCValue* object, const char* name) {
    auto value = GObjectPtr<JSCValue>::Adopt(jsc_value_object_get_property(object, name));
    if (!value || jsc_value_is_undefined(value.get()) || jsc_value_is_null(value.get())) return std::nullopt;
    GCharPtr text(jsc_value_to_string(value.get()));
    return std::string(text ? text.get() : "");
}

LONG IntProperty(JSCValue* object, const char* name) {
    auto value = GObjectPtr<JSCValue>::Adopt(jsc_value_object_get_property(object, name));
    return value && jsc_value_is_number(value.get()) ? static_cast<LONG>(jsc_value_to_int32(value.get())) : 0;
}

ULONG UnsignedProperty(JSCValue* object, const char* name) {
    auto value = GObjectPtr<JSCValue>::Adopt(jsc_value_object_get_property(object, name));
    if (!value || !jsc_value_is_number(value.get())) return 0;
    double number = jsc_value_to_double(value.get());
    return number > 0 && number < 4294967296.0 ? static_cast<ULONG>(number) : 0;
}

void AddScript(WebKitUserContentManager* content, const char* source, WebKitUserContentInjectedFrames frames) {
    WebKitUserScript* script = webkit_user_script_new(source, frames, WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START,
                                                      nullptr, nullptr);
    webkit_user_content_manager_add_script(content, script);
    webkit_user_script_unref(script);
}

// Failures that are not the page's: the program's own Stop or a newer navigation, a
// navigation the host refused, a response turned into a download.
bool IsQuietFailure(const GError* error) {
    if (!error) return true;
    if (error->domain == WEBKIT_NETWORK_ERROR && error->code == WEBKIT_NETWORK_ERROR_CANCELLED) return true;
    if (error->domain == WEBKIT_POLICY_ERROR &&
        error->code == WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE)
        return true;
    return false;
}

}  // namespace

WebKitEngine::WebKitEngine(WindowPresenter& presenter, HWND browserWindow, EngineClient& client,
                           const EngineOptions& options)
    : presenter_(presenter), window_(browserWindow), client_(client), options_(options),
      content_(GObjectPtr<WebKitUserContentManager>::Adopt(webkit_user_content_manager_new())) {
    WebKitUserContentManager* content = content_.get();
    g_signal_connect(content, "script-message-received::pelmarin", G_CALLBACK(OnScriptMessage), this);
    webkit_user_content_manager_register_script_message_handler(content, kEngineChannel);
    AddScript(content, kPageReportScript, WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES);
    AddScript(content, kWindowOperationScript, WEBKIT_USER_CONTENT_INJECT_TOP_FRAME);
    AddScript(content, kElementClickScript, WEBKIT_USER_CONTENT_INJECT_TOP_FRAME);
    if (options_.external) AddScript(content, kExternalObjectScript, WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES);
    AddFlashPlayerScripts(content);

    auto* view = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", SharedWebContext(),
                                              "user-content-manager", content, nullptr));
    InstallView(GObjectPtr<WebKitWebView>::Retain(view));
    UseContent(content);
    Engines()[window_] = this;
}

void WebKitEngine::UseContent(WebKitUserContentManager* content) {
    if (viewContent_) {
        auto& users = ContentUsers()[viewContent_];
        users.erase(std::remove(users.begin(), users.end(), this), users.end());
        if (users.empty()) ContentUsers().erase(viewContent_);
    }
    viewContent_ = content;
    if (content) ContentUsers()[content].push_back(this);
}

WebKitEngine* WebKitEngine::RecipientOf(WebKitUserContentManager* content, JSCValue* message, WebKitEngine* owner) {
    auto it = ContentUsers().find(content);
    if (it == ContentUsers().end() || it->second.empty()) return owner;
    if (it->second.size() == 1) return it->second.front();
    std::optional<std::string> top = StringProperty(message, "top");
    for (WebKitEngine* engine : it->second) {
        const char* shown = engine->view_ ? webkit_web_view_get_uri(engine->view_.get()) : nullptr;
        if (top && shown && *top == shown) return engine;
    }
    // Nothing matches (a page that changed its address just now): the channel's owner.
    auto owns = std::find(it->second.begin(), it->second.end(), owner);
    return owns != it->second.end() ? owner : it->second.front();
}

WebKitEngine::~WebKitEngine() {
    *alive_ = false;
    UseContent(nullptr);
    auto& engines = Engines();
    if (auto it = engines.find(window_); it != engines.end() && it->second == this) engines.erase(it);
    ReleaseView();
    g_signal_handlers_disconnect_by_data(content_.get(), this);
    webkit_user_content_manager_unregister_script_message_handler(content_.get(), kEngineChannel);
}

WebKitEngine* WebKitEngine::ForWindow(HWND browserWindow) {
    auto& engines = Engines();
    auto it = engines.find(browserWindow);
    return it == engines.end() ? nullptr : it->second;
}

void WebKitEngine::InstallView(GObjectPtr<WebKitWebView> view) {
    ReleaseView();
    view_ = std::move(view);
    WebKitWebView* v = view_.get();
    WebKitSettings* settings = webkit_web_view_get_settings(v);
    // Pages open their windows from timers and load handlers too; the host decides.
    webkit_settings_set_javascript_can_open_windows_automatically(settings, TRUE);
    webkit_web_view_set_zoom_level(v, zoomPercent_ / 100.0);
    g_signal_connect(v, "decide-policy", G_CALLBACK(OnDecidePolicy), this);
    g_signal_connect(v, "load-changed", G_CALLBACK(OnLoadChanged), this);
    g_signal_connect(v, "load-failed", G_CALLBACK(OnLoadFailed), this);
    g_signal_connect(v, "notify::title", G_CALLBACK(OnTitle), this);
    g_signal_connect(v, "create", G_CALLBACK(OnCreate), this);
    g_signal_connect(v, "ready-to-show", G_CALLBACK(OnReadyToShow), this);
    g_signal_connect(v, "close", G_CALLBACK(OnClose), this);
    g_signal_connect(v, "authenticate", G_CALLBACK(OnAuthenticate), this);
    faultPages_.Watch(v);
    NativeWindow& native = presenter_.Ensure(window_);
    gtk_box_pack_start(GTK_BOX(native.widget.get()), GTK_WIDGET(v), TRUE, TRUE, 0);
    gtk_widget_show(GTK_WIDGET(v));
}

void WebKitEngine::DetachView() {
    if (!view_) return;
    GtkWidget* widget = GTK_WIDGET(view_.get());
    if (GtkWidget* parent = gtk_widget_get_parent(widget)) gtk_container_remove(GTK_CONTAINER(parent), widget);
}

void WebKitEngine::ReleaseView() {
    if (!view_) return;
    g_signal_handlers_disconnect_by_data(view_.get(), this);
    faultPages_.Unwatch();
    webkit_web_view_stop_loading(view_.get());
    DetachView();
    gtk_widget_destroy(GTK_WIDGET(view_.get()));
    view_.reset();
}

GtkWidget* WebKitEngine::AdoptRelatedView(WebKitWebView* opener, WebKitUserContentManager* openerContent) {
    auto* view = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "related-view", opener, "user-content-manager",
                                              content_.get(), nullptr));
    InstallView(GObjectPtr<WebKitWebView>::Retain(view));
    // The engine gives a new window its opener's content manager (scripts and channel),
    // whatever the view's property says.
    UseContent(openerContent);
    documentLoading_ = false;
    failedUrl_.reset();
    return GTK_WIDGET(view);
}

void WebKitEngine::Navigate(const std::u16string& url) {
    expectTopLevel_ = true;
    webkit_web_view_load_uri(view_.get(), WebAddressFor(url).c_str());
}

void WebKitEngine::Refresh() {
    expectTopLevel_ = true;
    webkit_web_view_reload(view_.get());
}

void WebKitEngine::Stop() { webkit_web_view_stop_loading(view_.get()); }

std::u16string WebKitEngine::Url() const { return ProgramAddress(webkit_web_view_get_uri(view_.get())); }

std::u16string WebKitEngine::Title() const { return Utf16(webkit_web_view_get_title(view_.get())); }

bool WebKitEngine::Busy() const { return webkit_web_view_is_loading(view_.get()); }

std::optional<DocumentData> WebKitEngine::ReadDocument(unsigned fields) {
    if (!webkit_web_view_get_uri(view_.get())) return std::nullopt;  // nothing loaded yet
    auto value = RunScriptAndWait(view_.get(), DocumentReadScript(fields), kHostWorld);
    return DocumentFromValue(value.get(), fields);
}

bool WebKitEngine::InsertAdjacentHtml(const std::u16string& where, const std::u16string& html) {
    if (!webkit_web_view_get_uri(view_.get())) return false;
    std::string script = "(function(){var b=document.body;if(!b)return false;b.insertAdjacentHTML(" +
                         JavaScriptStringLiteral(where) + "," + JavaScriptStringLiteral(html) + ");return true;})()";
    auto value = RunScriptAndWait(view_.get(), script, kHostWorld);
    return value && jsc_value_is_boolean(value.get()) && jsc_value_to_boolean(value.get());
}

void WebKitEngine::Zoom(int step) {
    if (step == 0) zoomPercent_ = 100;
    else zoomPercent_ = std::clamp(zoomPercent_ + (step > 0 ? kZoomStepPercent : -kZoomStepPercent),
                                   kZoomMinPercent, kZoomMaxPercent);
    webkit_web_view_set_zoom_level(view_.get(), zoomPercent_ / 100.0);
}

void WebKitEngine::Focus() { gtk_widget_grab_focus(GTK_WIDGET(view_.get())); }

bool WebKitEngine::GuessTopLevelNavigation() {
    // The engine does not say which frame a navigation is for. Ours are top-level; while
    // the top document is still loading, the others are its frames' loads.
    if (expectTopLevel_) {
        expectTopLevel_ = false;
        return true;
    }
    return !documentLoading_;
}

gboolean WebKitEngine::OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                                      gpointer data) {
    auto* self = static_cast<WebKitEngine*>(data);
    if (type == WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) {
        WebKitNavigationAction* action =
            webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
        std::u16string url = ProgramAddress(webkit_uri_request_get_uri(webkit_navigation_action_get_request(action)));
        bool topLevel = self->GuessTopLevelNavigation();
        // The answer may run a nested loop (a question to the user) in which this engine
        // can go; the decision is kept until it is answered.
        auto keep = GObjectPtr<WebKitPolicyDecision>::Retain(decision);
        bool cancel = self->client_.OnBeforeNavigate(url, topLevel);
        if (cancel) webkit_policy_decision_ignore(keep.get());
        else webkit_policy_decision_use(keep.get());
        return TRUE;
    }
    if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) {
        auto* response = WEBKIT_RESPONSE_POLICY_DECISION(decision);
        if (webkit_response_policy_decision_is_mime_type_supported(response)) return FALSE;
        if (OpenMovieResponse(self->view_.get(), response)) return TRUE;
        auto keep = GObjectPtr<WebKitPolicyDecision>::Retain(decision);
        if (self->client_.OnFileDownload(false)) webkit_policy_decision_download(keep.get());
        else webkit_policy_decision_ignore(keep.get());
        return TRUE;
    }
    return FALSE;  // a new window: "create" asks the host
}

void WebKitEngine::OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer data) {
    auto* self = static_cast<WebKitEngine*>(data);
    if (!self->faultPages_.ReportLoadEvent(event)) return;
    std::u16string url = ProgramAddress(webkit_web_view_get_uri(view));
    switch (event) {
    case WEBKIT_LOAD_STARTED:
        self->failedUrl_.reset();
        break;
    case WEBKIT_LOAD_COMMITTED:
        self->documentLoading_ = true;
        self->client_.OnNavigateComplete(url, true);
        break;
    case WEBKIT_LOAD_FINISHED: {
        self->documentLoading_ = false;
        std::optional<std::string> failed = std::exchange(self->failedUrl_, std::nullopt);
        self->client_.OnDocumentComplete(failed ? ProgramAddress(failed->c_str()) : url, true);
        break;
    }
    default:
        break;
    }
}

gboolean WebKitEngine::OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* failingUri, GError* error, gpointer data) {
    auto* self = static_cast<WebKitEngine*>(data);
    // The host shows no error page of the engine's: a failed page leaves the view as it
    // was. The load's end is still reported (with the failed address) unless the failure
    // was the host's own doing.
    if (!IsQuietFailure(error)) self->failedUrl_ = std::string(failingUri ? failingUri : "");
    else self->failedUrl_.reset();
    return TRUE;
}

void WebKitEngine::OnTitle(GObject* object, GParamSpec*, gpointer data) {
    auto* self = static_cast<WebKitEngine*>(data);
    // While a new page loads the title is unset for a moment; the new one follows.
    if (const char* title = webkit_web_view_get_title(WEBKIT_WEB_VIEW(object))) self->client_.OnTitleChange(Utf16(title));
}

GtkWidget* WebKitEngine::OnCreate(WebKitWebView* view, WebKitNavigationAction* action, gpointer data) {
    auto* self = static_cast<WebKitEngine*>(data);
    NewWindowRequest request;
    request.url = ProgramAddress(webkit_uri_request_get_uri(webkit_navigation_action_get_request(action)));
    request.referrer = ProgramAddress(webkit_web_view_get_uri(view));
    request.userInitiated = webkit_navigation_action_is_user_gesture(action);
    // A link with a target has no feature text: nothing of the geometry is given.
    GivenGeometry given = GeometryGivenIn(std::exchange(self->openFeatures_, std::nullopt).value_or(""));
    auto* target = dynamic_cast<WebKitEngine*>(self->client_.OnNewWindow(request));
    if (!target || target == self) return nullptr;
    target->givenGeometry_ = given;
    return target->AdoptRelatedView(view, self->viewContent_);
}

void WebKitEngine::OnReadyToShow(WebKitWebView* view, gpointer data) {
    auto* self = static_cast<WebKitEngine*>(data);
    WebKitWindowProperties* properties = webkit_web_view_get_window_properties(view);
    WindowFeatures features;
    GdkRectangle geometry{};
    webkit_window_properties_get_geometry(properties, &geometry);
    const GivenGeometry& given = self->givenGeometry_;
    if (given.left) features.left = geometry.x;
    if (given.top) features.top = geometry.y;
    if (given.width) features.width = geometry.width;
    if (given.height) features.height = geometry.height;
    features.menuBar = webkit_window_properties_get_menubar_visible(properties);
    features.toolBar = webkit_window_properties_get_toolbar_visible(properties);
    features.statusBar = webkit_window_properties_get_statusbar_visible(properties);
    features.resizable = webkit_window_properties_get_resizable(properties);
    self->client_.OnReadyToShow(features);
}

void WebKitEngine::OnClose(WebKitWebView*, gpointer data) { static_cast<WebKitEngine*>(data)->client_.OnWindowClosing(); }

gboolean WebKitEngine::OnAuthenticate(WebKitWebView* view, WebKitAuthenticationRequest* request, gpointer data) {
    auto* self = static_cast<WebKitEngine*>(data);
    auto keep = GObjectPtr<WebKitAuthenticationRequest>::Retain(request);
    switch (webkit_authentication_request_get_scheme(request)) {
    case WEBKIT_AUTHENTICATION_SCHEME_HTTP_BASIC:
    case WEBKIT_AUTHENTICATION_SCHEME_HTTP_DIGEST:
    case WEBKIT_AUTHENTICATION_SCHEME_NTLM:
    case WEBKIT_AUTHENTICATION_SCHEME_DEFAULT:
        break;
    default:
        // Certificates and the like: the host has no dialog for them, and the engine
        // shows none of its own.
        webkit_authentication_request_cancel(request);
        return TRUE;
    }
    std::u16string url = Utf16(webkit_web_view_get_uri(view));
    if (url.empty()) {
        if (WebKitSecurityOrigin* origin = webkit_authentication_request_get_security_origin(request)) {
            GCharPtr text(webkit_security_origin_to_string(origin));
            url = Utf16(text.get());
            webkit_security_origin_unref(origin);
        }
    }
    std::u16string user, password;
    if (self->client_.OnAuthenticate(url, &user, &password)) {
        std::string userText = text::ToUtf8(user), passwordText = text::ToUtf8(password);
        WebKitCredential* credential =
            webkit_credential_new(userText.c_str(), passwordText.c_str(), WEBKIT_CREDENTIAL_PERSISTENCE_NONE);
        webkit_authentication_request_authenticate(keep.get(), credential);
        webkit_credential_free(credential);
    } else {
        webkit_authentication_request_cancel(keep.get());
    }
    return TRUE;
}

void WebKitEngine::OnScriptMessage(WebKitUserContentManager* content, WebKitJavascriptResult* result, gpointer data) {
    JSCValue* message = webkit_javascript_result_get_js_value(result);
    if (!message || !jsc_value_is_object(message)) return;
    // Our own fault pages tell the host nothing: a click on one is no click in the page.
    if (IsFaultPageAddress(StringProperty(message, "top").value_or(""))) return;
    RecipientOf(content, message, static_cast<WebKitEngine*>(data))->HandleMessage(message);
}

void WebKitEngine::HandleMessage(JSCValue* message) {
    if (!message || !jsc_value_is_object(message)) return;
    std::optional<std::string> kind = StringProperty(message, "kind");
    if (!kind) return;
    auto text = [&](const char* name) { return text::FromUtf8(StringProperty(message, name).value_or("")); };
    if (*kind == "open") {
        openFeatures_ = StringProperty(message, "features").value_or("");
    } else if (*kind == "frameNavigate") {
        client_.OnNavigateComplete(text("url"), false);
    } else if (*kind == "frameComplete") {
        client_.OnDocumentComplete(text("url"), false);
    } else if (*kind == "click") {
        client_.OnElementClick(ElementFromClickMessage(message));
    } else if (*kind == "console") {
        ConsoleMessage console;
        console.level = static_cast<int>(IntProperty(message, "level"));
        console.text = text("text");
        if (auto location = CallerLocationFromStack(StringProperty(message, "stack").value_or(""))) {
            console.sourceUrl = text::FromUtf8(location->url);
            console.line = static_cast<ULONG>(location->line);
            console.column = static_cast<ULONG>(location->column);
        }
        client_.OnConsoleMessage(console);
    } else if (*kind == "error" || *kind == "rejection") {
        ConsoleMessage console;
        console.level = 2;
        console.text = text("text");
        if (*kind == "error") {
            std::u16string url = text("url");
            if (!url.empty()) console.sourceUrl = url;
            console.line = UnsignedProperty(message, "line");
            console.column = UnsignedProperty(message, "column");
        } else if (auto location = CallerLocationFromStack(StringProperty(message, "stack").value_or(""))) {
            console.sourceUrl = text::FromUtf8(location->url);
            console.line = static_cast<ULONG>(location->line);
            console.column = static_cast<ULONG>(location->column);
        }
        std::shared_ptr<bool> alive = alive_;
        client_.OnConsoleMessage(console);
        if (*alive && options_.scriptErrorsToHost)
            client_.OnScriptError(console.text, console.sourceUrl.value_or(u""), console.line);
    } else if (*kind == "windowOp") {
        std::optional<std::string> op = StringProperty(message, "op");
        ScriptWindowOp operation;
        if (op == "moveTo") operation = ScriptWindowOp::MoveTo;
        else if (op == "moveBy") operation = ScriptWindowOp::MoveBy;
        else if (op == "resizeTo") operation = ScriptWindowOp::ResizeTo;
        else if (op == "resizeBy") operation = ScriptWindowOp::ResizeBy;
        else return;
        client_.OnScriptWindowOp(operation, IntProperty(message, "a"), IntProperty(message, "b"));
    }
}

}  // namespace platform::desktop
