#include "keyboard_router.h"

#include "backend/backend.h"
#include "native_window.h"
#include "virtual_keys.h"
#include "window_manager.h"

namespace platform::desktop {
namespace {

guint ModifierMaskOf(int virtualKey) {
    switch (virtualKey) {
    case vk::Control: return GDK_CONTROL_MASK;
    case vk::Shift: return GDK_SHIFT_MASK;
    case vk::Menu: return GDK_MOD1_MASK;
    default: return 0;
    }
}

// Ctrl with these keys zooms a browser that did not leave them to the page.
int ZoomStepFor(int virtualKey) {
    switch (virtualKey) {
    case vk::OemPlus:
    case vk::Add: return 1;
    case vk::OemMinus:
    case vk::Subtract: return -1;
    case '0':
    case vk::Numpad0: return 0;
    default: return 2;  // not a zoom key
    }
}

}  // namespace

KeyboardRouter::KeyboardRouter(WindowPresenter& presenter, std::function<void(HWND, int)> zoom)
    : presenter_(presenter), zoom_(std::move(zoom)) {}

void KeyboardRouter::Attach(GtkWindow* window) {
    g_signal_connect(window, "key-press-event", G_CALLBACK(OnKey), this);
    g_signal_connect(window, "key-release-event", G_CALLBACK(OnKey), this);
}

gboolean KeyboardRouter::OnKey(GtkWidget* widget, GdkEventKey* event, gpointer self) {
    return static_cast<KeyboardRouter*>(self)->Route(GTK_WINDOW(widget), event) ? TRUE : FALSE;
}

int KeyboardRouter::VirtualKeyOf(const GdkEventKey* event) {
    // The physical key decides, whatever Shift or the layout level made of it: the key
    // value the key types without modifiers.
    guint base = 0;
    GdkKeymap* keymap = gdk_keymap_get_for_display(gdk_window_get_display(event->window));
    if (event->hardware_keycode &&
        gdk_keymap_translate_keyboard_state(keymap, event->hardware_keycode, GdkModifierType(0), event->group, &base,
                                            nullptr, nullptr, nullptr)) {
        if (int code = VirtualKeyFromKeyval(base)) return code;
    }
    return VirtualKeyFromKeyval(event->keyval);
}

bool KeyboardRouter::Route(GtkWindow* window, GdkEventKey* event) {
    bool press = event->type == GDK_KEY_PRESS;
    // The web view hands back what the page left; the program has seen that key already.
    if (seen_.SeenBefore({press, event->time, event->keyval, event->hardware_keycode, event->state})) return false;
    if (event->time > lastTime_) lastTime_ = event->time;
    int code = VirtualKeyOf(event);
    if (code <= 0 || code >= static_cast<int>(down_.size())) return false;
    bool repeat = press && down_.test(static_cast<std::size_t>(code));
    down_.set(static_cast<std::size_t>(code), press);

    HWND target = WindowAtOrAbove(gtk_window_get_focus(window));
    if (!target) target = WindowOfWidget(GTK_WIDGET(window));
    if (!target) return false;
    bool alt = (event->state & GDK_MOD1_MASK) || code == vk::Menu;
    UINT message = press ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSKEYUP : WM_KEYUP);
    if (input::Key(target, message, code, repeat)) return true;

    // Alt+F4 the program left closes the window, as the system's default handling does
    // (a window manager may take the key before it gets here).
    if (press && alt && code == VK_F4 && !(event->state & GDK_CONTROL_MASK)) {
        if (HWND top = WindowOfWidget(GTK_WIDGET(window)); top && Live(top)) input::CloseRequested(top);
        return true;
    }
    if (!press || !(event->state & GDK_CONTROL_MASK) || alt) return false;
    int step = ZoomStepFor(code);
    WindowObject* browser = Live(target);
    if (step > 1 || !browser || browser->cls != WindowClass::Browser) return false;
    zoom_(browser, step);
    return true;
}

void KeyboardRouter::Synthesize(int virtualKey, bool up) {
    guint keyval = KeyvalFromVirtualKey(virtualKey);
    GtkWindow* top = presenter_.CurrentTopLevel();
    GdkWindow* target = top ? gtk_widget_get_window(GTK_WIDGET(top)) : nullptr;
    if (!keyval || !target) return;
    GdkDisplay* display = gdk_window_get_display(target);
    GdkDevice* keyboard = gdk_seat_get_keyboard(gdk_display_get_default_seat(display));

    GdkEvent* event = gdk_event_new(up ? GDK_KEY_RELEASE : GDK_KEY_PRESS);
    event->key.window = GDK_WINDOW(g_object_ref(target));
    event->key.send_event = TRUE;
    // Distinct times keep synthetic keys apart from each other and from typed ones.
    guint32 now = gtk_get_current_event_time();
    lastTime_ = (now > lastTime_ ? now : lastTime_) + 1;
    event->key.time = lastTime_;
    event->key.state = syntheticModifiers_;
    event->key.keyval = keyval;
    GdkKeymapKey* keys = nullptr;
    gint count = 0;
    GdkKeymap* keymap = gdk_keymap_get_for_display(display);
    if (gdk_keymap_get_entries_for_keyval(keymap, keyval, &keys, &count) && count > 0) {
        event->key.hardware_keycode = static_cast<guint16>(keys[0].keycode);
        event->key.group = static_cast<guint8>(keys[0].group);
        // With Shift held the key types its shifted symbol, as the real key would.
        guint shifted = 0;
        if (gdk_keymap_translate_keyboard_state(keymap, keys[0].keycode, GdkModifierType(syntheticModifiers_),
                                                keys[0].group, &shifted, nullptr, nullptr, nullptr))
            event->key.keyval = shifted;
    }
    g_free(keys);
    event->key.is_modifier = ModifierMaskOf(virtualKey) != 0;
    if (keyboard) {
        gdk_event_set_device(event, keyboard);
        gdk_event_set_source_device(event, keyboard);
    }
    gdk_event_put(event);
    gdk_event_free(event);

    // Later synthetic keys carry the modifiers this one left held.
    if (guint mask = ModifierMaskOf(virtualKey)) {
        if (up) syntheticModifiers_ &= ~mask;
        else syntheticModifiers_ |= mask;
    }
}

bool KeyboardRouter::IsDown(int virtualKey) {
    bool tracked = virtualKey > 0 && virtualKey < static_cast<int>(down_.size()) &&
                   down_.test(static_cast<std::size_t>(virtualKey));
    guint mask = ModifierMaskOf(virtualKey);
    if (tracked || !mask) return tracked;
    // A modifier held since before the window had the focus sent no key event here: the
    // event being handled carries it, and so does the keyboard's own state.
    GdkModifierType state{};
    if (GdkEvent* current = gtk_get_current_event()) {
        bool sameKey = (current->type == GDK_KEY_PRESS || current->type == GDK_KEY_RELEASE) &&
                       VirtualKeyOf(&current->key) == virtualKey;
        bool fromEvent = gdk_event_get_state(current, &state) && (state & mask);
        gdk_event_free(current);
        if (sameKey) return false;  // its own press or release: the tracked state is right
        if (fromEvent) return true;
    }
    GdkDisplay* display = gdk_display_get_default();
    return display && (gdk_keymap_get_modifier_state(gdk_keymap_get_for_display(display)) & mask);
}

}  // namespace platform::desktop
