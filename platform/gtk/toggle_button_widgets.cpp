#include "toggle_button_widgets.h"

namespace platform::desktop {
namespace {

// Each radio button shares a group with a hidden partner of its own: selecting the
// partner is how the button shows that it is not selected.
constexpr char kUncheckedPartner[] = "pelmarin-unchecked-partner";

bool IsRadioStyle(DWORD style) {
    DWORD type = style & BS_TYPEMASK;
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

bool IsCheckBoxStyle(DWORD style) {
    DWORD type = style & BS_TYPEMASK;
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE;
}

}  // namespace

GtkWidget* MakeButtonWidget(HWND window) {
    if (IsRadioStyle(window->style)) {
        auto* partner = static_cast<GtkWidget*>(g_object_ref_sink(gtk_radio_button_new(nullptr)));
        GtkWidget* radio = gtk_radio_button_new_with_label_from_widget(GTK_RADIO_BUTTON(partner), "");
        g_object_set_data_full(G_OBJECT(radio), kUncheckedPartner, partner, g_object_unref);
        return radio;
    }
    if (IsCheckBoxStyle(window->style)) return gtk_check_button_new_with_label("");
    return gtk_button_new_with_label("");
}

void ShowCheckState(GtkWidget* widget, HWND window) {
    if (!widget || window->cls != WindowClass::Button) return;
    if (GTK_IS_RADIO_BUTTON(widget)) {
        if (window->checked) {
            gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widget), TRUE);
        } else if (auto* partner = static_cast<GtkWidget*>(g_object_get_data(G_OBJECT(widget), kUncheckedPartner))) {
            gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(partner), TRUE);
        }
        return;
    }
    if (GTK_IS_CHECK_BUTTON(widget)) gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widget), window->checked);
}

}  // namespace platform::desktop
