#include "window_presenter.h"

#include <algorithm>

#include "backend/backend.h"
#include "crt/crt.h"
#include "toggle_button_widgets.h"

namespace platform::desktop {
namespace {

// How long the desktop may take to carry out a placement before what it shows counts as
// the user's (or the window manager's) own geometry.
constexpr gint64 kPlacementGraceMicroseconds = 700 * 1000;

bool IsTopLevel(HWND window) { return window->parent == nullptr; }
LONG Width(const RECT& r) { return r.right - r.left; }
LONG Height(const RECT& r) { return r.bottom - r.top; }

}  // namespace

WindowPresenter* WindowPresenter::instance_ = nullptr;

WindowPresenter::WindowPresenter() { instance_ = this; }

WindowPresenter::~WindowPresenter() {
    if (instance_ == this) instance_ = nullptr;
}

NativeWindow& WindowPresenter::Ensure(HWND window) {
    if (NativeWindow* existing = NativeOf(window)) return *existing;
    Quiet quiet(*this);
    auto made = std::make_unique<NativeWindow>(window);
    NativeWindow& native = *made;
    window->native = std::move(made);
    if (IsTopLevel(window)) BuildTopLevel(native);
    else BuildChild(native);
    SetWindowOfWidget(native.widget.get(), window);
    if (!IsTopLevel(window)) PlaceChild(native);
    ApplyStyle(native);
    ApplyText(native);
    ApplyItems(native);
    ApplyBands(native);
    ApplyMenu(native);
    ApplyEnabled(native);
    ShowCheckState(native.widget.get(), window);
    ApplyGeometry(native);
    ApplyVisibility(native);
    if (IsTopLevel(window) && onTopLevelCreated) onTopLevelCreated(GTK_WINDOW(native.widget.get()));
    return native;
}

void WindowPresenter::BuildTopLevel(NativeWindow& native) {
    HWND window = native.hwnd;
    native.widget = GObjectPtr<GtkWidget>::Retain(gtk_window_new(GTK_WINDOW_TOPLEVEL));
    GtkWindow* gtkWindow = GTK_WINDOW(native.widget.get());
    native.content = GObjectPtr<GtkWidget>::Retain(gtk_box_new(GTK_ORIENTATION_VERTICAL, 0));
    // A GtkLayout, unlike a GtkFixed, asks no minimum size for its children, so the
    // window can be made smaller than the controls it holds, as on Windows.
    native.clientArea = GObjectPtr<GtkWidget>::Retain(gtk_layout_new(nullptr, nullptr));
    gtk_box_pack_end(GTK_BOX(native.content.get()), native.clientArea.get(), TRUE, TRUE, 0);
    gtk_container_add(GTK_CONTAINER(gtkWindow), native.content.get());
    gtk_widget_show(native.clientArea.get());
    gtk_widget_show(native.content.get());
    if (window->owner)
        if (NativeWindow* owner = NativeOf(window->owner))
            gtk_window_set_transient_for(gtkWindow, GTK_WINDOW(owner->widget.get()));
    g_signal_connect(gtkWindow, "delete-event", G_CALLBACK(OnDelete), this);
    g_signal_connect(gtkWindow, "configure-event", G_CALLBACK(OnConfigure), this);
    g_signal_connect(gtkWindow, "set-focus", G_CALLBACK(OnSetFocus), this);
    g_signal_connect(gtkWindow, "notify::is-active", G_CALLBACK(OnActiveChanged), this);
    g_signal_connect(gtkWindow, "realize", G_CALLBACK(OnRealize), this);
    topLevels_.push_back(window);
}

void WindowPresenter::BuildChild(NativeWindow& native) {
    HWND window = native.hwnd;
    GtkWidget* widget = nullptr;
    switch (window->cls) {
    case WindowClass::Dialog:
        native.clientArea = GObjectPtr<GtkWidget>::Retain(gtk_layout_new(nullptr, nullptr));
        widget = native.clientArea.get();
        break;
    case WindowClass::ReBar:
        native.bandBox = GObjectPtr<GtkWidget>::Retain(gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6));
        widget = native.bandBox.get();
        break;
    case WindowClass::ComboBoxEx: {
        widget = gtk_combo_box_text_new_with_entry();
        native.entry = GObjectPtr<GtkWidget>::Retain(gtk_bin_get_child(GTK_BIN(widget)));
        g_signal_connect(widget, "changed", G_CALLBACK(OnComboChanged), this);
        break;
    }
    case WindowClass::Edit:
        if (window->parent->cls == WindowClass::ComboBoxEx) {
            // The combo box's edit field is the combo's own entry.
            NativeWindow& combo = Ensure(window->parent);
            native.widget = combo.entry;
            native.ownsWidget = false;
            g_signal_connect(native.widget.get(), "changed", G_CALLBACK(OnEntryChanged), this);
            return;
        }
        widget = gtk_entry_new();
        g_signal_connect(widget, "changed", G_CALLBACK(OnEntryChanged), this);
        break;
    case WindowClass::Button:
        widget = MakeButtonWidget(window);
        g_signal_connect(widget, "clicked", G_CALLBACK(OnButtonClicked), this);
        break;
    case WindowClass::Static:
        widget = gtk_label_new("");
        gtk_label_set_xalign(GTK_LABEL(widget), 0.0f);
        gtk_label_set_yalign(GTK_LABEL(widget), 0.0f);
        break;
    case WindowClass::Browser:
        // The engine puts its view in here.
        widget = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
        break;
    }
    native.widget = GObjectPtr<GtkWidget>::Retain(widget);
}

void WindowPresenter::PlaceChild(NativeWindow& native) {
    if (!native.ownsWidget) return;
    NativeWindow& parent = Ensure(native.hwnd->parent);
    if (parent.clientArea) {
        const RECT& r = native.hwnd->rect;
        gtk_layout_put(GTK_LAYOUT(parent.clientArea.get()), native.widget.get(), r.left, r.top);
    }
    // A child of a band container waits for its band (ApplyBands of the container).
}

void WindowPresenter::ApplyGeometry(NativeWindow& native) {
    HWND window = native.hwnd;
    const RECT& r = window->rect;
    if (IsTopLevel(window)) {
        GtkWindow* gtkWindow = GTK_WINDOW(native.widget.get());
        RECT frame = (window->style & WS_CAPTION) ? metrics_.frame() : RECT{};
        native.pendingRect = r;
        native.pendingUntil = g_get_monotonic_time() + kPlacementGraceMicroseconds;
        if (!native.pendingTimer)
            native.pendingTimer = g_timeout_add(kPlacementGraceMicroseconds / 1000 + 50, OnPendingExpired, window);
        gtk_window_move(gtkWindow, r.left, r.top);
        gtk_window_resize(gtkWindow, std::max<LONG>(1, Width(r) - frame.left - frame.right),
                          std::max<LONG>(1, Height(r) - frame.top - frame.bottom));
        return;
    }
    if (!native.ownsWidget || native.inBand) return;
    GtkWidget* parentArea = gtk_widget_get_parent(native.widget.get());
    if (parentArea && GTK_IS_LAYOUT(parentArea))
        gtk_layout_move(GTK_LAYOUT(parentArea), native.widget.get(), r.left, r.top);
    // A combo box's rectangle includes its drop-down list; the field keeps its own height.
    int height = window->cls == WindowClass::ComboBoxEx ? -1 : std::max<LONG>(0, Height(r));
    gtk_widget_set_size_request(native.widget.get(), std::max<LONG>(0, Width(r)), height);
}

void WindowPresenter::ApplyStyle(NativeWindow& native) {
    HWND window = native.hwnd;
    if (IsTopLevel(window)) {
        gtk_window_set_decorated(GTK_WINDOW(native.widget.get()), (window->style & WS_CAPTION) != 0);
    } else if (window->cls == WindowClass::Edit && native.ownsWidget) {
        gtk_entry_set_visibility(GTK_ENTRY(native.widget.get()), (window->style & ES_PASSWORD) == 0);
    }
}

void WindowPresenter::ApplyVisibility(NativeWindow& native) {
    HWND window = native.hwnd;
    if (!native.ownsWidget) return;
    bool visible = (window->style & WS_VISIBLE) != 0;
    GtkWidget* widget = native.widget.get();
    if (visible == static_cast<bool>(gtk_widget_get_visible(widget))) return;
    if (IsTopLevel(window) && visible) {
        // Showing a top-level window activates it, as on Windows.
        gtk_window_present(GTK_WINDOW(widget));
    } else {
        gtk_widget_set_visible(widget, visible);
    }
}

void WindowPresenter::ApplyText(NativeWindow& native) {
    HWND window = native.hwnd;
    std::string text = text::ToUtf8(window->text);
    GtkWidget* widget = native.widget.get();
    if (IsTopLevel(window)) {
        gtk_window_set_title(GTK_WINDOW(widget), text.c_str());
        return;
    }
    switch (window->cls) {
    case WindowClass::Edit:
        // Setting the same text again would move the caret; the field already shows it.
        if (text != gtk_entry_get_text(GTK_ENTRY(widget))) gtk_entry_set_text(GTK_ENTRY(widget), text.c_str());
        break;
    case WindowClass::Button: gtk_button_set_label(GTK_BUTTON(widget), text.c_str()); break;
    case WindowClass::Static: gtk_label_set_text(GTK_LABEL(widget), text.c_str()); break;
    default: break;
    }
}

void WindowPresenter::ApplyItems(NativeWindow& native) {
    HWND window = native.hwnd;
    if (window->cls != WindowClass::ComboBoxEx) return;
    GtkComboBoxText* combo = GTK_COMBO_BOX_TEXT(native.widget.get());
    gtk_combo_box_text_remove_all(combo);
    for (const std::u16string& item : window->items)
        gtk_combo_box_text_append_text(combo, text::ToUtf8(item).c_str());
}

void WindowPresenter::ApplyBands(NativeWindow& native) {
    HWND window = native.hwnd;
    if (window->cls != WindowClass::ReBar || !native.bandBox) return;
    GtkContainer* box = GTK_CONTAINER(native.bandBox.get());
    // Take everything out: labels are remade, band children keep their own reference.
    GList* children = gtk_container_get_children(box);
    for (GList* child = children; child; child = child->next) {
        GtkWidget* widget = GTK_WIDGET(child->data);
        if (WindowOfWidget(widget)) gtk_container_remove(box, widget);
        else gtk_widget_destroy(widget);
    }
    g_list_free(children);
    for (const ReBarBand& band : window->bands) {
        if (!band.text.empty()) {
            GtkWidget* label = gtk_label_new(text::ToUtf8(band.text).c_str());
            gtk_box_pack_start(GTK_BOX(box), label, FALSE, FALSE, 4);
            gtk_widget_show(label);
        }
        if (!band.child) continue;
        NativeWindow& child = Ensure(band.child);
        if (!child.ownsWidget) continue;
        GtkWidget* widget = child.widget.get();
        if (GtkWidget* parent = gtk_widget_get_parent(widget)) gtk_container_remove(GTK_CONTAINER(parent), widget);
        child.inBand = true;
        gtk_widget_set_size_request(widget, -1, -1);
        gtk_box_pack_start(GTK_BOX(box), widget, TRUE, TRUE, 0);
        gtk_widget_set_valign(widget, GTK_ALIGN_CENTER);
    }
}

void WindowPresenter::ApplyMenu(NativeWindow& native) {
    HWND window = native.hwnd;
    if (!IsTopLevel(window)) return;
    HMENU current = native.menuBar ? native.menuBar->menu() : nullptr;
    if (current == window->menu) return;
    native.menuBar.reset();
    if (!window->menu) return;
    native.menuBar = std::make_unique<MenuBarView>(window, window->menu);
    gtk_box_pack_start(GTK_BOX(native.content.get()), native.menuBar->widget(), FALSE, FALSE, 0);
    gtk_box_reorder_child(GTK_BOX(native.content.get()), native.menuBar->widget(), 0);
}

void WindowPresenter::ApplyEnabled(NativeWindow& native) {
    HWND window = native.hwnd;
    bool enabled = (window->style & WS_DISABLED) == 0;
    // A disabled top-level window (the owner of a modal dialog) takes no input; its
    // frame stays movable as on Windows.
    GtkWidget* target = IsTopLevel(window) ? native.content.get() : native.widget.get();
    gtk_widget_set_sensitive(target, enabled);
}

void WindowPresenter::Created(HWND window) { Ensure(window); }

void WindowPresenter::Changed(HWND window, unsigned changes) {
    NativeWindow& native = Ensure(window);
    Quiet quiet(*this);
    if (changes & kChangeMenu) ApplyMenu(native);
    if (changes & kChangeStyle) {
        ApplyStyle(native);
        ApplyEnabled(native);
    }
    if (changes & kChangeEnabled) ApplyEnabled(native);
    if (changes & kChangeCheck) ShowCheckState(native.widget.get(), window);
    if (changes & kChangeText) ApplyText(native);
    if (changes & kChangeItems) ApplyItems(native);
    if (changes & kChangeBands) ApplyBands(native);
    if (changes & kChangeGeometry) ApplyGeometry(native);
    if (changes & (kChangeVisibility | kChangeStyle)) ApplyVisibility(native);
}

void WindowPresenter::Destroyed(HWND window) {
    Quiet quiet(*this);
    topLevels_.erase(std::remove(topLevels_.begin(), topLevels_.end(), window), topLevels_.end());
    if (lastActive_ == window) lastActive_ = nullptr;
    window->native.reset();
}

void WindowPresenter::MenuChanged(HMENU menu) {
    Quiet quiet(*this);
    for (HWND window : topLevels_)
        if (NativeWindow* native = NativeOf(window); native && native->menuBar) native->menuBar->Refresh(menu);
}

void WindowPresenter::Focus(HWND window) {
    if (!window) return;
    NativeWindow& native = Ensure(window);
    Quiet quiet(*this);
    GtkWidget* widget = native.widget.get();
    if (IsTopLevel(window)) {
        gtk_window_present(GTK_WINDOW(widget));
        return;
    }
    if (window->cls == WindowClass::ComboBoxEx && native.entry) widget = native.entry.get();
    if (window->cls == WindowClass::Browser) {
        // The engine's view is the focusable widget inside.
        GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
        if (children) widget = GTK_WIDGET(children->data);
        g_list_free(children);
    }
    gtk_widget_grab_focus(widget);
}

GtkWindow* WindowPresenter::TopLevelWidget(HWND window) {
    while (window && window->parent) window = window->parent;
    if (!window) return nullptr;
    NativeWindow* native = NativeOf(window);
    return native ? GTK_WINDOW(native->widget.get()) : nullptr;
}

GtkWindow* WindowPresenter::CurrentTopLevel() {
    for (HWND window : topLevels_)
        if (NativeWindow* native = NativeOf(window); native && gtk_window_is_active(GTK_WINDOW(native->widget.get())))
            return GTK_WINDOW(native->widget.get());
    if (lastActive_)
        if (NativeWindow* native = NativeOf(lastActive_); native && gtk_widget_get_visible(native->widget.get()))
            return GTK_WINDOW(native->widget.get());
    for (auto it = topLevels_.rbegin(); it != topLevels_.rend(); ++it)
        if (NativeWindow* native = NativeOf(*it); native && gtk_widget_get_visible(native->widget.get()))
            return GTK_WINDOW(native->widget.get());
    return nullptr;
}

RECT WindowPresenter::MonitorRect(HWND window) {
    GdkDisplay* display = gdk_display_get_default();
    GdkMonitor* monitor = nullptr;
    GtkWindow* top = TopLevelWidget(window);
    if (GdkWindow* gdkWindow = top ? gtk_widget_get_window(GTK_WIDGET(top)) : nullptr)
        monitor = gdk_display_get_monitor_at_window(display, gdkWindow);
    while (window && window->parent) window = window->parent;
    if (!monitor && window) {
        const RECT& r = window->rect;
        monitor = gdk_display_get_monitor_at_point(display, r.left + Width(r) / 2, r.top + Height(r) / 2);
    }
    if (!monitor) monitor = gdk_display_get_primary_monitor(display);
    if (!monitor && gdk_display_get_n_monitors(display) > 0) monitor = gdk_display_get_monitor(display, 0);
    if (!monitor) return RECT{};
    GdkRectangle area{};
    gdk_monitor_get_geometry(monitor, &area);
    return RECT{area.x, area.y, area.x + area.width, area.y + area.height};
}

void WindowPresenter::SetWaitCursor(bool wait) {
    waiting_ = wait;
    for (HWND window : topLevels_)
        if (NativeWindow* native = NativeOf(window)) ApplyCursor(native->widget.get());
}

void WindowPresenter::ApplyCursor(GtkWidget* topLevel) {
    GdkWindow* gdkWindow = gtk_widget_get_window(topLevel);
    if (!gdkWindow) return;
    if (waiting_ && !waitCursor_)
        waitCursor_ = GObjectPtr<GdkCursor>::Adopt(gdk_cursor_new_from_name(gdk_window_get_display(gdkWindow), "wait"));
    gdk_window_set_cursor(gdkWindow, waiting_ ? waitCursor_.get() : nullptr);
}

RECT WindowPresenter::ActualRect(GtkWidget* topLevel) {
    GdkWindow* gdkWindow = gtk_widget_get_window(topLevel);
    GdkRectangle outer{};
    gdk_window_get_frame_extents(gdkWindow, &outer);
    return RECT{outer.x, outer.y, outer.x + outer.width, outer.y + outer.height};
}

void WindowPresenter::ReportGeometry(NativeWindow& native) {
    GtkWidget* widget = native.widget.get();
    if (!gtk_widget_get_realized(widget) || !gtk_widget_get_mapped(widget)) return;
    RECT actual = ActualRect(widget);
    if (native.pendingRect) {
        if (actual == *native.pendingRect) {
            native.pendingRect.reset();
            return;
        }
        if (g_get_monotonic_time() < native.pendingUntil) return;
        native.pendingRect.reset();
    }
    if (actual != native.hwnd->rect) input::Moved(native.hwnd, actual);
}

gboolean WindowPresenter::OnPendingExpired(gpointer data) {
    auto window = static_cast<HWND>(data);
    NativeWindow* native = NativeOf(window);
    if (!native) return G_SOURCE_REMOVE;
    native->pendingTimer = 0;
    if (native->pendingRect && instance_) {
        if (g_get_monotonic_time() < native->pendingUntil) {
            // Placed again meanwhile: wait out the new grace period.
            native->pendingTimer = g_timeout_add(
                static_cast<guint>((native->pendingUntil - g_get_monotonic_time()) / 1000 + 50), OnPendingExpired, window);
            return G_SOURCE_REMOVE;
        }
        instance_->ReportGeometry(*native);
    }
    return G_SOURCE_REMOVE;
}

gboolean WindowPresenter::OnDelete(GtkWidget* widget, GdkEvent*, gpointer) {
    HWND window = WindowOfWidget(widget);
    if (window && !(window->style & WS_DISABLED)) input::CloseRequested(window);
    return TRUE;  // the program decides whether the window goes
}

gboolean WindowPresenter::OnConfigure(GtkWidget* widget, GdkEvent*, gpointer data) {
    auto* self = static_cast<WindowPresenter*>(data);
    HWND window = WindowOfWidget(widget);
    NativeWindow* native = NativeOf(window);
    if (!native) return FALSE;
    if (window->style & WS_CAPTION) self->metrics_.MeasureFrame(gtk_widget_get_window(widget));
    self->ReportGeometry(*native);
    return FALSE;
}

void WindowPresenter::OnSetFocus(GtkWindow* gtkWindow, GtkWidget* widget, gpointer data) {
    auto* self = static_cast<WindowPresenter*>(data);
    if (self->quiet_ || !widget) return;
    HWND window = WindowAtOrAbove(widget);
    if (!window) window = WindowOfWidget(GTK_WIDGET(gtkWindow));
    if (window) input::FocusChanged(window);
}

void WindowPresenter::OnActiveChanged(GObject* object, GParamSpec*, gpointer data) {
    auto* self = static_cast<WindowPresenter*>(data);
    GtkWindow* gtkWindow = GTK_WINDOW(object);
    if (!gtk_window_is_active(gtkWindow)) return;
    HWND top = WindowOfWidget(GTK_WIDGET(gtkWindow));
    if (top) self->lastActive_ = top;
    if (self->quiet_) return;
    HWND focused = WindowAtOrAbove(gtk_window_get_focus(gtkWindow));
    if (focused || top) input::FocusChanged(focused ? focused : top);
}

void WindowPresenter::OnRealize(GtkWidget* widget, gpointer data) {
    static_cast<WindowPresenter*>(data)->ApplyCursor(widget);
}

void WindowPresenter::OnEntryChanged(GtkEditable* entry, gpointer data) {
    auto* self = static_cast<WindowPresenter*>(data);
    if (self->quiet_) return;
    if (HWND window = WindowOfWidget(GTK_WIDGET(entry)))
        input::TextChanged(window, text::FromUtf8(gtk_entry_get_text(GTK_ENTRY(entry))));
}

void WindowPresenter::OnComboChanged(GtkComboBox* combo, gpointer data) {
    auto* self = static_cast<WindowPresenter*>(data);
    if (self->quiet_) return;
    int index = gtk_combo_box_get_active(combo);
    HWND window = WindowOfWidget(GTK_WIDGET(combo));
    if (window && index >= 0) input::ItemChosen(window, index);
}

void WindowPresenter::OnButtonClicked(GtkButton* button, gpointer data) {
    auto* self = static_cast<WindowPresenter*>(data);
    if (self->quiet_) return;
    if (HWND window = WindowOfWidget(GTK_WIDGET(button))) input::ButtonClicked(window);
}

}  // namespace platform::desktop
