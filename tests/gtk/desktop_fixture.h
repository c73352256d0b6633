// What the backend tests share: the display, the backend installed once, windows made
// through the layer's core as the program makes them, and waiting on the desktop.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "afx/wnd.h"
#include "display_session.h"
#include "gtk_backend.h"
#include "native_window.h"
#include "window_manager.h"

namespace platform::desktop::testing {

// A framework window that records the keys the program's pre-translation sees and
// consumes the ones it is told to.
class KeyRecorder : public CWnd {
public:
    struct Key {
        UINT message;
        int virtualKey;
        bool repeat;
        bool controlDown;
        friend bool operator==(const Key&, const Key&) = default;
    };
    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    std::vector<Key> keys;
    std::vector<int> consume;    // virtual keys the program takes
    std::vector<UINT> commands;  // WM_COMMAND ids that reached the window
    int positionChanges = 0;     // WM_WINDOWPOSCHANGED
};

class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs desktop events for that long.
    static void Pump(std::chrono::milliseconds duration);
    // Runs desktop events until done() holds or the time is up; returns done().
    static bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10));
    // Runs the layer's message loop (posted messages and desktop events) for that long.
    static void RunMessages(std::chrono::milliseconds duration);

    HWND MakeTopLevel(const RECT& rect, DWORD style = WS_POPUP | WS_CAPTION | WS_VISIBLE);
    HWND MakeChild(HWND parent, WindowClass cls, const RECT& rect, DWORD style = WS_CHILD | WS_VISIBLE,
                   const std::u16string& text = u"");
    static GtkWidget* WidgetOf(HWND window);
    static GtkWindow* GtkWindowOf(HWND window);
    // The window's rectangle on the screen as the X server has it (the whole window on a
    // bare X server, which draws no frame).
    static RECT ScreenRect(HWND window);

    GtkBackend& backend();

private:
    std::vector<HWND> made_;
};

}  // namespace platform::desktop::testing
