#include "desktop_fixture.h"

#include <algorithm>

namespace platform::desktop::testing {

BOOL KeyRecorder::PreTranslateMessage(MSG* msg) {
    if (msg->message < WM_KEYDOWN || msg->message > WM_SYSKEYUP) return FALSE;
    int code = static_cast<int>(msg->wParam);
    keys.push_back({msg->message, code, (msg->lParam & (LPARAM{1} << 30)) != 0,
                    CurrentBackend().IsKeyDown(VK_CONTROL)});
    bool down = msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN;
    return down && std::find(consume.begin(), consume.end(), code) != consume.end();
}

LRESULT KeyRecorder::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) commands.push_back(LOWORD(wParam));
    if (message == WM_WINDOWPOSCHANGED) ++positionChanges;
    return DefaultWindowProc(m_hWnd, message, wParam, lParam);
}

void DesktopTest::SetUp() {
    std::string whyNot;
    if (!EnsureDisplay(&whyNot)) GTEST_SKIP() << whyNot;
    if (!HasBackend()) InstallBackend(std::make_unique<GtkBackend>());
}

void DesktopTest::TearDown() {
    // Top-level windows take their children with them.
    for (HWND window : made_)
        if (Live(window) && !window->parent) DestroyWindow(window);
    made_.clear();
    if (HasBackend()) Pump(std::chrono::milliseconds(50));
}

GtkBackend& DesktopTest::backend() { return static_cast<GtkBackend&>(CurrentBackend()); }

void DesktopTest::Pump(std::chrono::milliseconds duration) {
    auto end = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < end) {
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        g_usleep(2000);
    }
}

bool DesktopTest::WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        while (g_main_context_iteration(nullptr, FALSE)) {
            if (done()) return true;
        }
        g_usleep(2000);
    }
    return true;
}

void DesktopTest::RunMessages(std::chrono::milliseconds duration) {
    auto end = std::chrono::steady_clock::now() + duration;
    // Timers wake the loop so that it returns on time.
    guint tick = g_timeout_add(10, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
    RunMessageLoop([&] { return std::chrono::steady_clock::now() >= end; });
    g_source_remove(tick);
}

HWND DesktopTest::MakeTopLevel(const RECT& rect, DWORD style) {
    HWND window = CreateWindowObject(WindowClass::Dialog, 0, u"Test window", style, rect, nullptr, 0);
    made_.push_back(window);
    return window;
}

HWND DesktopTest::MakeChild(HWND parent, WindowClass cls, const RECT& rect, DWORD style, const std::u16string& text) {
    return CreateWindowObject(cls, 0, text, style | WS_CHILD, rect, parent, 0);
}

GtkWidget* DesktopTest::WidgetOf(HWND window) {
    NativeWindow* native = NativeOf(window);
    return native ? native->widget.get() : nullptr;
}

GtkWindow* DesktopTest::GtkWindowOf(HWND window) { return GTK_WINDOW(WidgetOf(window)); }

RECT DesktopTest::ScreenRect(HWND window) {
    GdkWindow* gdkWindow = gtk_widget_get_window(WidgetOf(window));
    if (!gdkWindow) return RECT{};
    int x = 0, y = 0;
    gdk_window_get_origin(gdkWindow, &x, &y);
    return RECT{x, y, x + gdk_window_get_width(gdkWindow), y + gdk_window_get_height(gdkWindow)};
}

}  // namespace platform::desktop::testing
