#include "message_box_dialog.h"

#include "crt/crt.h"
#include "gobject_ptr.h"
#include "win32/constants.h"

namespace platform::desktop {

MessageBoxLayout MessageBoxLayoutFor(UINT type) {
    MessageBoxLayout layout;
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR: layout.icon = GTK_MESSAGE_ERROR; break;
    case MB_ICONQUESTION: layout.icon = GTK_MESSAGE_QUESTION; break;
    case MB_ICONWARNING: layout.icon = GTK_MESSAGE_WARNING; break;
    case MB_ICONINFORMATION: layout.icon = GTK_MESSAGE_INFO; break;
    default: layout.icon = GTK_MESSAGE_OTHER; break;
    }
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        layout.buttons = {{"OK", GTK_RESPONSE_OK}, {"Cancel", GTK_RESPONSE_CANCEL}};
        break;
    case MB_YESNO:
        layout.buttons = {{"Yes", GTK_RESPONSE_YES}, {"No", GTK_RESPONSE_NO}};
        break;
    case MB_YESNOCANCEL:
        layout.buttons = {{"Yes", GTK_RESPONSE_YES}, {"No", GTK_RESPONSE_NO}, {"Cancel", GTK_RESPONSE_CANCEL}};
        break;
    default:  // MB_OK and the types this system never shows
        layout.buttons = {{"OK", GTK_RESPONSE_OK}};
        break;
    }
    return layout;
}

int MessageBoxResultFor(UINT type, int response) {
    switch (response) {
    case GTK_RESPONSE_OK: return IDOK;
    case GTK_RESPONSE_CANCEL: return IDCANCEL;
    case GTK_RESPONSE_YES: return IDYES;
    case GTK_RESPONSE_NO: return IDNO;
    default: break;
    }
    UINT buttons = type & MB_TYPEMASK;
    return buttons == MB_OK || MessageBoxLayoutFor(type).buttons.size() == 1 ? IDOK : IDCANCEL;
}

namespace {

const char* IconNameFor(GtkMessageType icon) {
    switch (icon) {
    case GTK_MESSAGE_ERROR: return "dialog-error";
    case GTK_MESSAGE_QUESTION: return "dialog-question";
    case GTK_MESSAGE_WARNING: return "dialog-warning";
    case GTK_MESSAGE_INFO: return "dialog-information";
    default: return nullptr;
    }
}

// GTK 3 message dialogs no longer draw the icon of their type; the box beside the text
// takes it, as the platform's message box shows it.
void AddIcon(GtkMessageDialog* dialog, GtkMessageType icon) {
    const char* name = IconNameFor(icon);
    GtkWidget* textArea = gtk_message_dialog_get_message_area(dialog);
    GtkWidget* row = textArea ? gtk_widget_get_parent(textArea) : nullptr;
    if (!name || !row || !GTK_IS_BOX(row)) return;
    GtkWidget* image = gtk_image_new_from_icon_name(name, GTK_ICON_SIZE_DIALOG);
    gtk_widget_set_valign(image, GTK_ALIGN_START);
    gtk_box_pack_start(GTK_BOX(row), image, FALSE, FALSE, 0);
    gtk_box_reorder_child(GTK_BOX(row), image, 0);
    gtk_widget_show(image);
}

}  // namespace

int RunMessageBox(GtkWindow* parent, const std::u16string& text, const std::u16string& caption, UINT type) {
    MessageBoxLayout layout = MessageBoxLayoutFor(type);
    std::string body = text::ToUtf8(text);
    auto dialog = GObjectPtr<GtkWidget>::Retain(gtk_message_dialog_new(
        parent, GtkDialogFlags(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT), layout.icon,
        GTK_BUTTONS_NONE, "%s", body.c_str()));
    GtkDialog* box = GTK_DIALOG(dialog.get());
    AddIcon(GTK_MESSAGE_DIALOG(dialog.get()), layout.icon);
    for (const auto& [label, response] : layout.buttons) gtk_dialog_add_button(box, label, response);
    // The first button is the default, as on Windows.
    gtk_dialog_set_default_response(box, layout.buttons.front().second);
    gtk_window_set_title(GTK_WINDOW(dialog.get()), text::ToUtf8(caption).c_str());
    gtk_window_set_modal(GTK_WINDOW(dialog.get()), TRUE);
    if (!parent) gtk_window_set_position(GTK_WINDOW(dialog.get()), GTK_WIN_POS_CENTER);
    int response = gtk_dialog_run(box);
    gtk_widget_destroy(dialog.get());
    return MessageBoxResultFor(type, response);
}

}  // namespace platform::desktop
