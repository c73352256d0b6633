#include "native_window.h"

namespace platform::desktop {
namespace {
constexpr char kWindowKey[] = "pelmarin-hwnd";
}  // namespace

NativeWindow::~NativeWindow() {
    if (pendingTimer) g_source_remove(pendingTimer);
    if (widget) {
        SetWindowOfWidget(widget.get(), nullptr);
        if (entry) SetWindowOfWidget(entry.get(), nullptr);
        menuBar.reset();
        if (ownsWidget) gtk_widget_destroy(widget.get());
    }
}

NativeWindow* NativeOf(HWND window) {
    return window ? dynamic_cast<NativeWindow*>(window->native.get()) : nullptr;
}

HWND WindowOfWidget(GtkWidget* widget) {
    return widget ? static_cast<HWND>(g_object_get_data(G_OBJECT(widget), kWindowKey)) : nullptr;
}

void SetWindowOfWidget(GtkWidget* widget, HWND window) {
    g_object_set_data(G_OBJECT(widget), kWindowKey, window);
}

HWND WindowAtOrAbove(GtkWidget* widget) {
    for (; widget; widget = gtk_widget_get_parent(widget))
        if (HWND window = WindowOfWidget(widget)) return window;
    return nullptr;
}

}  // namespace platform::desktop
