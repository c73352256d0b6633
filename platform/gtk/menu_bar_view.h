// A window's menu (the HMENU model) as a GtkMenuBar. Items on the bar without a popup
// are commands themselves; every command item reports input::MenuCommand. Check marks
// and texts follow the model when it changes.
#pragma once

#include "gtk_toolkit.h"

#include <deque>
#include <vector>

#include "backend/window_object.h"
#include "gobject_ptr.h"

namespace platform::desktop {

class MenuBarView {
public:
    MenuBarView(HWND window, HMENU menu);
    ~MenuBarView();
    MenuBarView(const MenuBarView&) = delete;
    MenuBarView& operator=(const MenuBarView&) = delete;

    GtkWidget* widget() const { return bar_.get(); }
    HMENU menu() const { return menu_; }
    // Brings the items of that menu (the bar or one of its popups) up to date; false
    // when the menu is not part of this bar.
    bool Refresh(HMENU changed);

private:
    struct Shell {  // one GtkMenuShell and the model menu it shows
        HMENU menu = nullptr;
        GtkWidget* widget = nullptr;
        bool isBar = false;
        std::vector<GtkWidget*> items;  // one per model item, in order
    };
    void Fill(Shell& shell);
    GtkWidget* MakeItem(const MenuItem& item, bool onBar);
    void UpdateItem(GtkWidget* widget, const MenuItem& item);
    static bool SameShape(const Shell& shell);
    static void OnActivate(GtkMenuItem* item, gpointer self);

    HWND window_;
    HMENU menu_;
    GObjectPtr<GtkWidget> bar_;
    std::deque<Shell> shells_;  // the bar first, then every popup reached from it
    bool updating_ = false;
};

}  // namespace platform::desktop
