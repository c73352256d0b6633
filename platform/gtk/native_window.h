// What the desktop backend keeps for one window: its widgets. Stored in the window
// object's native slot, so it goes away with the window; the widgets it made go with it.
#pragma once

#include "gtk_toolkit.h"

#include <memory>
#include <optional>

#include "backend/window_object.h"
#include "gobject_ptr.h"
#include "menu_bar_view.h"

namespace platform::desktop {

struct NativeWindow final : NativeData {
    explicit NativeWindow(HWND window) : hwnd(window) {}
    ~NativeWindow() override;
    NativeWindow(const NativeWindow&) = delete;
    NativeWindow& operator=(const NativeWindow&) = delete;

    HWND hwnd;
    // The outermost widget: the GtkWindow of a top-level window, else the widget placed in
    // the parent's client area.
    GObjectPtr<GtkWidget> widget;
    GObjectPtr<GtkWidget> content;     // top-level: the vertical box of menu bar and client area
    GObjectPtr<GtkWidget> clientArea;  // where child windows are placed (windows that hold children)
    GObjectPtr<GtkWidget> bandBox;     // band container: the row of band labels and children
    GObjectPtr<GtkWidget> entry;       // extended combo box: its text field
    std::unique_ptr<MenuBarView> menuBar;
    bool ownsWidget = true;  // false for a combo box's edit field, which is the combo's entry
    bool inBand = false;     // placed by its band container, not at its own rectangle

    // A top-level window's geometry the program asked for and the desktop has not yet
    // confirmed; reports of other geometry are held back until then.
    std::optional<RECT> pendingRect;
    gint64 pendingUntil = 0;
    guint pendingTimer = 0;
};

// The backend's data of a window, if it has any yet.
NativeWindow* NativeOf(HWND window);
// The window a widget shows (set on every widget made for a window), or null.
HWND WindowOfWidget(GtkWidget* widget);
void SetWindowOfWidget(GtkWidget* widget, HWND window);
// The nearest window up the widget tree (for a focused widget deep inside a control).
HWND WindowAtOrAbove(GtkWidget* widget);

}  // namespace platform::desktop
