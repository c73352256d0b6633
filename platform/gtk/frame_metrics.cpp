#include "frame_metrics.h"

#include "gobject_ptr.h"
#include "win32/constants.h"

namespace platform::desktop {

int FrameMetrics::MenuBarHeight() {
    if (menuBarHeight_ < 0) {
        // A bar with one ordinary item, in a window so that the theme's styles apply, has
        // the height of every single-row menu bar of the program.
        auto window = GObjectPtr<GtkWidget>::Retain(gtk_offscreen_window_new());
        GtkWidget* bar = gtk_menu_bar_new();
        gtk_menu_shell_append(GTK_MENU_SHELL(bar), gtk_menu_item_new_with_label("File"));
        gtk_container_add(GTK_CONTAINER(window.get()), bar);
        gtk_widget_show_all(bar);
        int minimum = 0, natural = 0;
        gtk_widget_get_preferred_height(bar, &minimum, &natural);
        menuBarHeight_ = natural;
        gtk_widget_destroy(window.get());
    }
    return menuBarHeight_;
}

void FrameMetrics::MeasureFrame(GdkWindow* window) {
    if (!window || !gdk_window_is_visible(window)) return;
    GdkRectangle outer{};
    gdk_window_get_frame_extents(window, &outer);
    int x = 0, y = 0;
    gdk_window_get_origin(window, &x, &y);
    int width = gdk_window_get_width(window), height = gdk_window_get_height(window);
    RECT measured{x - outer.x, y - outer.y, outer.x + outer.width - (x + width), outer.y + outer.height - (y + height)};
    if (measured.left < 0 || measured.top < 0 || measured.right < 0 || measured.bottom < 0) return;
    frame_ = measured;
}

RECT FrameMetrics::Insets(DWORD style, bool hasMenu) {
    RECT insets{};
    if (style & WS_CAPTION) insets = frame_;
    if (hasMenu) insets.top += MenuBarHeight();
    return insets;
}

}  // namespace platform::desktop
