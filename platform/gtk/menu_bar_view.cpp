#include "menu_bar_view.h"

#include "backend/backend.h"
#include "menu_item_label.h"

namespace platform::desktop {
namespace {

constexpr char kMenuKey[] = "pelmarin-menu";
constexpr char kIndexKey[] = "pelmarin-menu-index";

bool IsCommandItem(const MenuItem& item) { return !(item.flags & (MF_SEPARATOR | MF_POPUP)) && !item.popup; }

void ApplyLabel(GtkWidget* widget, const MenuItem& item) {
    MenuItemLabel label = MenuItemLabelFromText(item.text);
    gtk_menu_item_set_use_underline(GTK_MENU_ITEM(widget), TRUE);
    gtk_menu_item_set_label(GTK_MENU_ITEM(widget), label.mnemonicText.c_str());
    if (GtkWidget* child = gtk_bin_get_child(GTK_BIN(widget)); child && GTK_IS_ACCEL_LABEL(child))
        gtk_accel_label_set_accel(GTK_ACCEL_LABEL(child), label.acceleratorKey, label.acceleratorModifiers);
}

// Every command in a popup is a check item; an unchecked one shows no box, only the
// column a check mark would take, as the platform's menus do.
void InstallMenuStyle() {
    static bool installed = false;
    GdkScreen* screen = gdk_screen_get_default();
    if (installed || !screen) return;
    installed = true;
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider,
                                    "menu.pelmarin-menu menuitem check:not(:checked) {"
                                    " -gtk-icon-source: none; background-image: none; background-color: transparent;"
                                    " border-color: transparent; box-shadow: none; }",
                                    -1, nullptr);
    gtk_style_context_add_provider_for_screen(screen, GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
}

}  // namespace

MenuBarView::MenuBarView(HWND window, HMENU menu)
    : window_(window), menu_(menu), bar_(GObjectPtr<GtkWidget>::Retain(gtk_menu_bar_new())) {
    InstallMenuStyle();
    shells_.push_back(Shell{menu, bar_.get(), true, {}});
    Fill(shells_.front());
    gtk_widget_show(bar_.get());
}

MenuBarView::~MenuBarView() {
    updating_ = true;
    gtk_widget_destroy(bar_.get());
}

GtkWidget* MenuBarView::MakeItem(const MenuItem& item, bool onBar) {
    if (item.flags & MF_SEPARATOR) return gtk_separator_menu_item_new();
    // Every command inside a popup can carry a check mark, so each is a check item whose
    // state is the model's; on the bar and for popups a plain item.
    GtkWidget* widget = onBar || !IsCommandItem(item) ? gtk_menu_item_new_with_mnemonic("")
                                                      : gtk_check_menu_item_new_with_mnemonic("");
    UpdateItem(widget, item);
    return widget;
}

void MenuBarView::UpdateItem(GtkWidget* widget, const MenuItem& item) {
    if (item.flags & MF_SEPARATOR) return;
    bool wasUpdating = updating_;
    updating_ = true;
    ApplyLabel(widget, item);
    if (GTK_IS_CHECK_MENU_ITEM(widget))
        gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(widget), (item.flags & MF_CHECKED) != 0);
    gtk_widget_set_sensitive(widget, !(item.flags & (MF_GRAYED | MF_DISABLED)));
    updating_ = wasUpdating;
}

void MenuBarView::Fill(Shell& shell) {
    for (GtkWidget* old : shell.items) gtk_widget_destroy(old);
    shell.items.clear();
    if (!shell.menu) return;
    for (std::size_t index = 0; index < shell.menu->items.size(); ++index) {
        const MenuItem& item = shell.menu->items[index];
        GtkWidget* widget = MakeItem(item, shell.isBar);
        g_object_set_data(G_OBJECT(widget), kMenuKey, shell.menu);
        g_object_set_data(G_OBJECT(widget), kIndexKey, GSIZE_TO_POINTER(index));
        if (item.popup && !(item.flags & MF_SEPARATOR)) {
            GtkWidget* popup = gtk_menu_new();
            gtk_style_context_add_class(gtk_widget_get_style_context(popup), "pelmarin-menu");
            gtk_menu_item_set_submenu(GTK_MENU_ITEM(widget), popup);
            shells_.push_back(Shell{item.popup, popup, false, {}});
            Fill(shells_.back());
        } else if (IsCommandItem(item)) {
            g_signal_connect(widget, "activate", G_CALLBACK(OnActivate), this);
        }
        gtk_menu_shell_append(GTK_MENU_SHELL(shell.widget), widget);
        gtk_widget_show(widget);
        shell.items.push_back(widget);
    }
}

bool MenuBarView::SameShape(const Shell& shell) {
    const auto& model = shell.menu->items;
    if (model.size() != shell.items.size()) return false;
    for (std::size_t i = 0; i < model.size(); ++i) {
        GtkWidget* widget = shell.items[i];
        bool separator = (model[i].flags & MF_SEPARATOR) != 0;
        if (separator != GTK_IS_SEPARATOR_MENU_ITEM(widget)) return false;
        if (separator) continue;
        GtkWidget* popup = gtk_menu_item_get_submenu(GTK_MENU_ITEM(widget));
        if ((model[i].popup != nullptr) != (popup != nullptr)) return false;
        if (!shell.isBar && IsCommandItem(model[i]) != static_cast<bool>(GTK_IS_CHECK_MENU_ITEM(widget))) return false;
    }
    return true;
}

bool MenuBarView::Refresh(HMENU changed) {
    // A change may be reported for the bar although the item sits in one of its popups
    // (the item was found by command), so the whole bar is brought up to date.
    bool found = false, reshaped = false;
    for (const Shell& shell : shells_) found = found || shell.menu == changed;
    if (!found) return false;
    for (const Shell& shell : shells_) reshaped = reshaped || !SameShape(shell);
    if (reshaped) {
        // Rebuild from the bar down: popups of removed items go with them.
        shells_.resize(1);
        Fill(shells_.front());
        return true;
    }
    for (Shell& shell : shells_)
        for (std::size_t i = 0; i < shell.items.size(); ++i) UpdateItem(shell.items[i], shell.menu->items[i]);
    return true;
}

void MenuBarView::OnActivate(GtkMenuItem* item, gpointer data) {
    auto* self = static_cast<MenuBarView*>(data);
    if (self->updating_) return;
    auto* menu = static_cast<HMENU>(g_object_get_data(G_OBJECT(item), kMenuKey));
    std::size_t index = GPOINTER_TO_SIZE(g_object_get_data(G_OBJECT(item), kIndexKey));
    if (!menu || index >= menu->items.size()) return;
    const MenuItem& model = menu->items[index];
    // GTK toggled the check on its own; the mark is the program's to set.
    if (GTK_IS_CHECK_MENU_ITEM(item)) {
        self->updating_ = true;
        gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(item), (model.flags & MF_CHECKED) != 0);
        self->updating_ = false;
    }
    input::MenuCommand(self->window_, model.id);
}

}  // namespace platform::desktop
