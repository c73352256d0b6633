// Sizes of the non-client part of top-level windows as this desktop draws it: the menu
// bar inside the window, and the frame and caption a window manager adds around it (none
// under a bare X server).
#pragma once

#include "gtk_toolkit.h"

#include "win32/types.h"

namespace platform::desktop {

class FrameMetrics {
public:
    // The non-client insets for a window of that style: frame (when decorated and a window
    // manager draws one) plus the menu bar at the top.
    RECT Insets(DWORD style, bool hasMenu);
    // The frame a window manager drew around a decorated window, measured once it is shown.
    void MeasureFrame(GdkWindow* window);
    RECT frame() const { return frame_; }
    int MenuBarHeight();

private:
    int menuBarHeight_ = -1;
    RECT frame_{};
};

}  // namespace platform::desktop
