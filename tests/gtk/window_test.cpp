// The core's windows on the desktop: where they land, what they hold, and what the user's
// actions on them report back.
#include <gtest/gtest.h>

#include "crt/crt.h"
#include "desktop_fixture.h"
#include "win32/templates.h"

namespace platform::desktop::testing {
namespace {

constexpr WORD kTestMenu = 9101;
constexpr UINT kLoggingCommand = 501, kExitCommand = 502, kRefreshCommand = 503;

HMENU LoadTestMenu() {
    static bool registered = [] {
        RegisterMenuTemplate(kTestMenu, {{u"File", 0, false,
                                          {{u"Logging", kLoggingCommand, false, {}},
                                           {u"", 0, true, {}},
                                           {u"Exit", kExitCommand, false, {}}}},
                                         {u"Refresh", kRefreshCommand, false, {}}});
        return true;
    }();
    (void)registered;
    return LoadMenuW(nullptr, MAKEINTRESOURCEW(kTestMenu));
}

GtkAllocation AllocationOf(GtkWidget* widget) {
    GtkAllocation allocation{};
    gtk_widget_get_allocation(widget, &allocation);
    return allocation;
}

// The GtkCheckMenuItem of a command, found through the bar's popups.
GtkWidget* FindMenuItem(GtkWidget* shell, const char* label) {
    GList* items = gtk_container_get_children(GTK_CONTAINER(shell));
    GtkWidget* found = nullptr;
    for (GList* i = items; i && !found; i = i->next) {
        GtkWidget* item = GTK_WIDGET(i->data);
        if (!GTK_IS_MENU_ITEM(item) || GTK_IS_SEPARATOR_MENU_ITEM(item)) continue;
        const char* text = gtk_menu_item_get_label(GTK_MENU_ITEM(item));
        if (text && std::string(text) == label) found = item;
        else if (GtkWidget* popup = gtk_menu_item_get_submenu(GTK_MENU_ITEM(item))) found = FindMenuItem(popup, label);
    }
    g_list_free(items);
    return found;
}

class GtkWindowTest : public DesktopTest {};

TEST_F(GtkWindowTest, TopLevelWindowLandsExactlyWhereTheProgramPutsIt) {
    HWND window = MakeTopLevel(RECT{100, 80, 740, 560});
    ASSERT_TRUE(WaitUntil([&] { return ScreenRect(window) == RECT{100, 80, 740, 560}; }))
        << ScreenRect(window).left << "," << ScreenRect(window).top;
    SetWindowPos(window, nullptr, 20, 30, 500, 400, SWP_NOZORDER);
    EXPECT_TRUE(WaitUntil([&] { return ScreenRect(window) == RECT{20, 30, 520, 430}; }));
    EXPECT_EQ(window->rect, (RECT{20, 30, 520, 430}));
}

TEST_F(GtkWindowTest, MenuBarIsTheWholeNonClientAreaOnABareServer) {
    HWND window = MakeTopLevel(RECT{50, 50, 650, 450});
    HMENU menu = LoadTestMenu();
    ASSERT_TRUE(SetMenu(window, menu));
    NativeWindow* native = NativeOf(window);
    ASSERT_TRUE(native && native->menuBar);
    GtkWidget* bar = native->menuBar->widget();
    ASSERT_TRUE(WaitUntil([&] { return AllocationOf(bar).height > 1 && AllocationOf(native->clientArea.get()).height > 1; }));
    RECT withMenu = backend().FrameInsets(window->style, 0, true);
    RECT without = backend().FrameInsets(window->style, 0, false);
    EXPECT_EQ(without, RECT{});
    EXPECT_EQ(withMenu.left, 0);
    EXPECT_EQ(withMenu.right, 0);
    EXPECT_EQ(withMenu.bottom, 0);
    EXPECT_EQ(withMenu.top, AllocationOf(bar).height);
    // The client area the core computes is the one the window shows.
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(AllocationOf(native->clientArea.get()).height, client.bottom);
    EXPECT_EQ(AllocationOf(native->clientArea.get()).width, client.right);
    // Without the menu the client area is the whole window.
    SetMenu(window, nullptr);
    EXPECT_FALSE(native->menuBar);
    EXPECT_TRUE(WaitUntil([&] { return AllocationOf(native->clientArea.get()).height == 400; }));
    DestroyMenu(menu);
}

TEST_F(GtkWindowTest, ProgramPlacementIsNotEchoedWhileTheUsersMoveIsReported) {
    HWND window = MakeTopLevel(RECT{100, 100, 500, 400});
    KeyRecorder recorder;
    recorder.Attach(window);
    ASSERT_TRUE(WaitUntil([&] { return ScreenRect(window) == RECT{100, 100, 500, 400}; }));
    Pump(std::chrono::milliseconds(900));  // past the grace period of the first placement
    recorder.positionChanges = 0;
    SetWindowPos(window, nullptr, 150, 120, 420, 320, SWP_NOZORDER);
    int changesByTheCall = recorder.positionChanges;
    Pump(std::chrono::milliseconds(900));
    EXPECT_EQ(recorder.positionChanges, changesByTheCall) << "the desktop echoed the program's own placement";
    EXPECT_EQ(window->rect, (RECT{150, 120, 570, 440}));

    // The window manager (or the user) moves and sizes the window itself.
    gtk_window_move(GtkWindowOf(window), 300, 200);
    gtk_window_resize(GtkWindowOf(window), 350, 250);
    EXPECT_TRUE(WaitUntil([&] { return window->rect == RECT{300, 200, 650, 450}; }))
        << window->rect.left << "," << window->rect.top << "," << window->rect.right << "," << window->rect.bottom;
    EXPECT_GT(recorder.positionChanges, changesByTheCall);
    recorder.Detach();
}

TEST_F(GtkWindowTest, ControlsAreTheirWidgetsAtTheirRectangles) {
    HWND window = MakeTopLevel(RECT{0, 0, 600, 400});
    struct Case {
        WindowClass cls;
        DWORD style;
        std::u16string text;
        RECT rect;
        GType type;
    };
    const Case cases[] = {
        {WindowClass::Edit, WS_VISIBLE, u"typed", RECT{10, 10, 210, 34}, GTK_TYPE_ENTRY},
        {WindowClass::Edit, WS_VISIBLE | ES_PASSWORD, u"secret", RECT{10, 40, 210, 64}, GTK_TYPE_ENTRY},
        {WindowClass::Button, WS_VISIBLE, u"OK", RECT{220, 10, 300, 40}, GTK_TYPE_BUTTON},
        {WindowClass::Static, WS_VISIBLE, u"Username : ", RECT{10, 80, 200, 100}, GTK_TYPE_LABEL},
        {WindowClass::Static, 0, u"hidden", RECT{10, 110, 200, 130}, GTK_TYPE_LABEL},
    };
    std::vector<HWND> children;
    for (const Case& c : cases) children.push_back(MakeChild(window, c.cls, c.rect, c.style, c.text));
    ASSERT_TRUE(WaitUntil([&] { return AllocationOf(WidgetOf(children[0])).width == 200; }));
    for (std::size_t i = 0; i < children.size(); ++i) {
        const Case& c = cases[i];
        GtkWidget* widget = WidgetOf(children[i]);
        ASSERT_TRUE(G_TYPE_CHECK_INSTANCE_TYPE(widget, c.type)) << i;
        bool visible = (c.style & WS_VISIBLE) != 0;
        EXPECT_EQ(static_cast<bool>(gtk_widget_get_visible(widget)), visible) << i;
        if (visible) {
            GtkAllocation a = AllocationOf(widget);
            EXPECT_EQ(a.x, c.rect.left) << i;
            EXPECT_EQ(a.y, c.rect.top) << i;
            EXPECT_EQ(a.width, c.rect.right - c.rect.left) << i;
        }
        std::string text = text::ToUtf8(c.text);
        if (c.type == GTK_TYPE_ENTRY) {
            EXPECT_EQ(std::string(gtk_entry_get_text(GTK_ENTRY(widget))), text);
            EXPECT_EQ(static_cast<bool>(gtk_entry_get_visibility(GTK_ENTRY(widget))), !(c.style & ES_PASSWORD));
        } else if (c.type == GTK_TYPE_BUTTON) {
            EXPECT_EQ(std::string(gtk_button_get_label(GTK_BUTTON(widget))), text);
        } else {
            EXPECT_EQ(std::string(gtk_label_get_text(GTK_LABEL(widget))), text);
        }
    }
    // Later changes of text, place and visibility follow.
    SetWindowTextW(children[2], u"Cancel");
    MoveWindow(children[2], 300, 50, 90, 30, TRUE);
    ShowWindow(children[4], SW_SHOW);
    ShowWindow(children[0], SW_HIDE);
    EXPECT_EQ(std::string(gtk_button_get_label(GTK_BUTTON(WidgetOf(children[2])))), "Cancel");
    EXPECT_TRUE(gtk_widget_get_visible(WidgetOf(children[4])));
    EXPECT_FALSE(gtk_widget_get_visible(WidgetOf(children[0])));
    EXPECT_TRUE(WaitUntil([&] { return AllocationOf(WidgetOf(children[2])).x == 300; }));
    EXPECT_EQ(AllocationOf(WidgetOf(children[2])).width, 90);
}

TEST_F(GtkWindowTest, TypingAndChoosingInTheAddressBoxReachTheProgram) {
    HWND window = MakeTopLevel(RECT{0, 0, 600, 400});
    HWND bar = MakeChild(window, WindowClass::ReBar, RECT{0, 0, 600, 27});
    HWND combo = MakeChild(window, WindowClass::ComboBoxEx, RECT{0, 0, 100, 150});
    HWND edit = MakeChild(combo, WindowClass::Edit, RECT{0, 0, 100, 20});
    combo->edit = edit;
    combo->items = {u"https://one.example/", u"https://two.example/"};
    CurrentBackend().WindowChanged(combo, kChangeItems);
    bar->bands.push_back(ReBarBand{u"Address:", combo, RBBS_NOGRIPPER});
    CurrentBackend().WindowChanged(bar, kChangeBands);

    NativeWindow* comboNative = NativeOf(combo);
    ASSERT_TRUE(comboNative && comboNative->entry);
    EXPECT_EQ(WidgetOf(edit), comboNative->entry.get());
    EXPECT_EQ(gtk_widget_get_parent(WidgetOf(combo)), WidgetOf(bar));

    // The user types: the edit field's text follows.
    gtk_entry_set_text(GTK_ENTRY(WidgetOf(edit)), "example.org");
    EXPECT_EQ(edit->text, u"example.org");
    // The user chooses from the list: the item's text goes into the edit field.
    gtk_combo_box_set_active(GTK_COMBO_BOX(WidgetOf(combo)), 1);
    EXPECT_EQ(edit->text, u"https://two.example/");
    EXPECT_EQ(std::string(gtk_entry_get_text(GTK_ENTRY(WidgetOf(edit)))), "https://two.example/");
    // The program sets the text.
    SetWindowTextW(edit, u"https://three.example/");
    EXPECT_EQ(std::string(gtk_entry_get_text(GTK_ENTRY(WidgetOf(edit)))), "https://three.example/");
    // A list rebuilt by the program is not the user's choice.
    combo->items = {u"https://four.example/"};
    CurrentBackend().WindowChanged(combo, kChangeItems);
    EXPECT_EQ(edit->text, u"https://three.example/");
}

TEST_F(GtkWindowTest, MenuCommandsArePostedAndCheckMarksAreTheProgramsToSet) {
    HWND window = MakeTopLevel(RECT{0, 0, 600, 400});
    KeyRecorder recorder;
    recorder.Attach(window);
    HMENU menu = LoadTestMenu();
    SetMenu(window, menu);
    GtkWidget* bar = NativeOf(window)->menuBar->widget();
    GtkWidget* logging = FindMenuItem(bar, "Logging");
    GtkWidget* refresh = FindMenuItem(bar, "Refresh");
    ASSERT_TRUE(logging && refresh);
    ASSERT_TRUE(GTK_IS_CHECK_MENU_ITEM(logging));
    EXPECT_FALSE(GTK_IS_CHECK_MENU_ITEM(refresh));  // a command on the bar itself

    gtk_menu_item_activate(GTK_MENU_ITEM(logging));
    EXPECT_FALSE(gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(logging)));
    gtk_menu_item_activate(GTK_MENU_ITEM(refresh));
    RunMessages(std::chrono::milliseconds(100));
    EXPECT_EQ(recorder.commands, (std::vector<UINT>{kLoggingCommand, kRefreshCommand}));

    CheckMenuItem(menu, kLoggingCommand, MF_BYCOMMAND | MF_CHECKED);
    EXPECT_TRUE(gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(logging)));
    gtk_menu_item_activate(GTK_MENU_ITEM(logging));
    EXPECT_TRUE(gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(logging)));
    CheckMenuItem(menu, kLoggingCommand, MF_BYCOMMAND | MF_UNCHECKED);
    EXPECT_FALSE(gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(logging)));
    recorder.Detach();
    SetMenu(window, nullptr);
    DestroyMenu(menu);
}

TEST_F(GtkWindowTest, WaitCursorCoversTheWindowsWhileOn) {
    HWND window = MakeTopLevel(RECT{0, 0, 300, 200});
    ASSERT_TRUE(WaitUntil([&] { return gtk_widget_get_window(WidgetOf(window)) != nullptr; }));
    GdkWindow* gdkWindow = gtk_widget_get_window(WidgetOf(window));
    CurrentBackend().SetWaitCursor(true);
    EXPECT_TRUE(gdk_window_get_cursor(gdkWindow));
    // A window made while waiting shows it too.
    HWND later = MakeTopLevel(RECT{0, 0, 200, 100});
    ASSERT_TRUE(WaitUntil([&] { return gtk_widget_get_window(WidgetOf(later)) != nullptr; }));
    EXPECT_TRUE(gdk_window_get_cursor(gtk_widget_get_window(WidgetOf(later))));
    CurrentBackend().SetWaitCursor(false);
    EXPECT_EQ(gdk_window_get_cursor(gdkWindow), nullptr);
}

TEST_F(GtkWindowTest, MonitorOfAWindowHoldsIt) {
    HWND window = MakeTopLevel(RECT{100, 100, 400, 300});
    ASSERT_TRUE(WaitUntil([&] { return ScreenRect(window) == RECT{100, 100, 400, 300}; }));
    RECT monitor = CurrentBackend().MonitorRect(window);
    EXPECT_LE(monitor.left, 100);
    EXPECT_LE(monitor.top, 100);
    EXPECT_GE(monitor.right, 400);
    EXPECT_GE(monitor.bottom, 300);
    EXPECT_LE(monitor.right - monitor.left, gdk_window_get_width(gdk_get_default_root_window()));
}

TEST_F(GtkWindowTest, CloseButtonAsksTheProgramInsteadOfClosing) {
    HWND window = MakeTopLevel(RECT{0, 0, 300, 200});
    KeyRecorder recorder;
    recorder.Attach(window);
    gtk_window_close(GtkWindowOf(window));
    RunMessages(std::chrono::milliseconds(100));
    // WM_CLOSE on a dialog becomes its Cancel command; the window is still there.
    EXPECT_EQ(recorder.commands, (std::vector<UINT>{IDCANCEL}));
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(gtk_widget_get_visible(WidgetOf(window)));
    recorder.Detach();
}

}  // namespace
}  // namespace platform::desktop::testing
