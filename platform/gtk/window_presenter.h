// Shows the core's windows as GTK widgets and reports what the user does with them.
// A top-level window is a GtkWindow holding a vertical box: the menu bar (when the window
// has a menu), then the client area, a GtkLayout in which child windows sit at their
// rectangles. Controls are the matching GTK widgets.
#pragma once

#include "gtk_toolkit.h"

#include <functional>
#include <vector>

#include "backend/window_object.h"
#include "frame_metrics.h"
#include "gobject_ptr.h"
#include "native_window.h"

namespace platform::desktop {

class WindowPresenter {
public:
    WindowPresenter();
    ~WindowPresenter();
    WindowPresenter(const WindowPresenter&) = delete;
    WindowPresenter& operator=(const WindowPresenter&) = delete;

    // Called for every GtkWindow made for a top-level window, once its widgets exist.
    std::function<void(GtkWindow*)> onTopLevelCreated;

    void Created(HWND window);
    void Destroyed(HWND window);
    void Changed(HWND window, unsigned changes);
    void MenuChanged(HMENU menu);
    void Focus(HWND window);
    RECT MonitorRect(HWND window);
    RECT FrameInsets(DWORD style, bool hasMenu) { return metrics_.Insets(style, hasMenu); }
    void SetWaitCursor(bool wait);

    // The widget tree of a window, made on first use.
    NativeWindow& Ensure(HWND window);
    // The GtkWindow of the window's top-level window, or null.
    GtkWindow* TopLevelWidget(HWND window);
    // The top-level window the user works in now: the active one, else the one active
    // last, else any visible one; null when no window is shown.
    GtkWindow* CurrentTopLevel();

private:
    // Widget changes made for the program are not reported back as the user's.
    class Quiet {
    public:
        explicit Quiet(WindowPresenter& presenter) : presenter_(presenter) { ++presenter_.quiet_; }
        ~Quiet() { --presenter_.quiet_; }
        Quiet(const Quiet&) = delete;
        Quiet& operator=(const Quiet&) = delete;

    private:
        WindowPresenter& presenter_;
    };

    void BuildTopLevel(NativeWindow& native);
    void BuildChild(NativeWindow& native);
    void PlaceChild(NativeWindow& native);
    void ApplyGeometry(NativeWindow& native);
    void ApplyStyle(NativeWindow& native);
    void ApplyVisibility(NativeWindow& native);
    void ApplyText(NativeWindow& native);
    void ApplyItems(NativeWindow& native);
    void ApplyBands(NativeWindow& native);
    void ApplyMenu(NativeWindow& native);
    void ApplyEnabled(NativeWindow& native);
    void ApplyCursor(GtkWidget* topLevel);
    void ReportGeometry(NativeWindow& native);
    RECT ActualRect(GtkWidget* topLevel);

    static gboolean OnDelete(GtkWidget* widget, GdkEvent* event, gpointer self);
    static gboolean OnConfigure(GtkWidget* widget, GdkEvent* event, gpointer self);
    static void OnSetFocus(GtkWindow* window, GtkWidget* widget, gpointer self);
    static void OnActiveChanged(GObject* window, GParamSpec* spec, gpointer self);
    static void OnRealize(GtkWidget* widget, gpointer self);
    static void OnEntryChanged(GtkEditable* entry, gpointer self);
    static void OnComboChanged(GtkComboBox* combo, gpointer self);
    static void OnButtonClicked(GtkButton* button, gpointer self);
    static gboolean OnPendingExpired(gpointer window);
    static WindowPresenter* instance_;

    FrameMetrics metrics_;
    std::vector<HWND> topLevels_;  // in creation order
    HWND lastActive_ = nullptr;
    GObjectPtr<GdkCursor> waitCursor_;
    bool waiting_ = false;
    int quiet_ = 0;
};

}  // namespace platform::desktop
