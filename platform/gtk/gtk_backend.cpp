#include "gtk_backend.h"

#include "desktop_launcher.h"
#include "message_box_dialog.h"
#include "network_proxy.h"
#include "webkit_engine.h"

namespace platform::desktop {

GtkBackend::GtkBackend()
    : keyboard_(presenter_, [](HWND browser, int step) {
          if (WebKitEngine* engine = WebKitEngine::ForWindow(browser)) engine->Zoom(step);
      }) {
    presenter_.onTopLevelCreated = [this](GtkWindow* window) { keyboard_.Attach(window); };
    if (GdkDisplay* display = gdk_display_get_default())
        g_signal_connect(display, "closed", G_CALLBACK(OnDisplayClosed), this);
}

GtkBackend::~GtkBackend() {
    if (GdkDisplay* display = gdk_display_get_default()) g_signal_handlers_disconnect_by_data(display, this);
}

void GtkBackend::OnDisplayClosed(GdkDisplay*, gboolean, gpointer self) {
    static_cast<GtkBackend*>(self)->desktopGone_ = true;
}

void GtkBackend::WindowCreated(HWND window) { presenter_.Created(window); }

void GtkBackend::WindowDestroyed(HWND window) {
    // The engine may outlive its window for a moment; its view must not go with the
    // window's widgets while the engine still uses it.
    if (WebKitEngine* engine = WebKitEngine::ForWindow(window)) engine->DetachView();
    presenter_.Destroyed(window);
}

void GtkBackend::WindowChanged(HWND window, unsigned changes) { presenter_.Changed(window, changes); }

void GtkBackend::MenuChanged(HMENU menu) { presenter_.MenuChanged(menu); }

void GtkBackend::FocusWindow(HWND window) { presenter_.Focus(window); }

RECT GtkBackend::MonitorRect(HWND window) { return presenter_.MonitorRect(window); }

RECT GtkBackend::FrameInsets(DWORD style, DWORD, bool hasMenu) { return presenter_.FrameInsets(style, hasMenu); }

int GtkBackend::MessageBox(HWND owner, const std::u16string& text, const std::u16string& caption, UINT type) {
    GtkWindow* parent = owner ? presenter_.TopLevelWidget(owner) : presenter_.CurrentTopLevel();
    return RunMessageBox(parent, text, caption, type);
}

bool GtkBackend::RunEvents(bool wait) {
    if (desktopGone_) return false;
    g_main_context_iteration(nullptr, wait ? TRUE : FALSE);
    return !desktopGone_;
}

void GtkBackend::Wake() { g_main_context_wakeup(nullptr); }

void GtkBackend::SynthesizeKey(int virtualKey, bool up) { keyboard_.Synthesize(virtualKey, up); }

bool GtkBackend::IsKeyDown(int virtualKey) { return keyboard_.IsDown(virtualKey); }

void GtkBackend::SetWaitCursor(bool wait) { presenter_.SetWaitCursor(wait); }

bool GtkBackend::OpenWithDesktop(const std::u16string& target) {
    std::optional<std::string> argument = DesktopArgumentFor(target);
    return argument && LaunchWithDesktop(*argument);
}

bool GtkBackend::SetProxy(const ProxySettings& settings) { return ApplyNetworkProxy(settings); }

std::optional<DesktopProxyConfiguration> GtkBackend::DesktopProxy() { return ReadDesktopProxyConfiguration(); }

std::unique_ptr<Engine> GtkBackend::CreateEngine(HWND browserWindow, EngineClient& client,
                                                 const EngineOptions& options) {
    return std::make_unique<WebKitEngine>(presenter_, browserWindow, client, options);
}

}  // namespace platform::desktop
