// Keys typed into the program's windows, routed as the Windows message loop would: each
// key goes first to the program (its message pre-translation, and inside a browser the
// host's accelerator rules), and only what the program leaves reaches the widget. Keys
// the program did not take that ask a browser to zoom are the browser control's own;
// Alt+F4 left by the program asks the window to close.
#pragma once

#include "gtk_toolkit.h"

#include <bitset>
#include <functional>

#include "backend/window_object.h"
#include "key_event_deduplicator.h"
#include "window_presenter.h"

namespace platform::desktop {

class KeyboardRouter {
public:
    // zoom(browserWindow, step) zooms that browser's engine: +1 in, -1 out, 0 back to 100%.
    KeyboardRouter(WindowPresenter& presenter, std::function<void(HWND, int)> zoom);

    void Attach(GtkWindow* window);
    // Puts a key event into the event queue for the window that has the focus, to be
    // processed after the current handler, like a typed key.
    void Synthesize(int virtualKey, bool up);
    bool IsDown(int virtualKey);

private:
    static gboolean OnKey(GtkWidget* widget, GdkEventKey* event, gpointer self);
    bool Route(GtkWindow* window, GdkEventKey* event);
    int VirtualKeyOf(const GdkEventKey* event);

    WindowPresenter& presenter_;
    std::function<void(HWND, int)> zoom_;
    KeyEventDeduplicator seen_;
    std::bitset<256> down_;
    guint syntheticModifiers_ = 0;
    guint32 lastTime_ = 0;
};

}  // namespace platform::desktop
