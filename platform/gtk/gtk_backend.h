// The desktop backend: the core's windows as GTK 3 widgets, browser controls as
// WebKitGTK views, and the user's actions reported through platform::input.
#pragma once

#include "backend/backend.h"
#include "keyboard_router.h"
#include "window_presenter.h"

namespace platform::desktop {

class GtkBackend final : public Backend {
public:
    GtkBackend();
    ~GtkBackend() override;
    GtkBackend(const GtkBackend&) = delete;
    GtkBackend& operator=(const GtkBackend&) = delete;

    void WindowCreated(HWND window) override;
    void WindowDestroyed(HWND window) override;
    void WindowChanged(HWND window, unsigned changes) override;
    void MenuChanged(HMENU menu) override;
    void FocusWindow(HWND window) override;
    RECT MonitorRect(HWND window) override;
    RECT FrameInsets(DWORD style, DWORD exStyle, bool hasMenu) override;
    int MessageBox(HWND owner, const std::u16string& text, const std::u16string& caption, UINT type) override;
    bool RunEvents(bool wait) override;
    void Wake() override;
    void SynthesizeKey(int virtualKey, bool up) override;
    bool IsKeyDown(int virtualKey) override;
    void SetWaitCursor(bool wait) override;
    bool OpenWithDesktop(const std::u16string& target) override;
    bool ClearWebsiteData(unsigned kinds) override;  // website_data.cpp
    void ShowInternetOptions(HWND owner) override;   // internet_options_dialog.cpp
    bool SetProxy(const ProxySettings& settings) override;
    std::optional<DesktopProxyConfiguration> DesktopProxy() override;
    std::unique_ptr<Engine> CreateEngine(HWND browserWindow, EngineClient& client,
                                         const EngineOptions& options) override;

private:
    static void OnDisplayClosed(GdkDisplay* display, gboolean error, gpointer self);

    WindowPresenter presenter_;
    KeyboardRouter keyboard_;
    bool desktopGone_ = false;
};

}  // namespace platform::desktop
