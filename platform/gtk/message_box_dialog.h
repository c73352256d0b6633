// The Windows message box as a GTK message dialog: caption as title, the text as the
// dialog's label, buttons and icon from the type bits, run modally in a nested loop.
#pragma once

#include "gtk_toolkit.h"

#include <string>
#include <utility>
#include <vector>

#include "win32/types.h"

namespace platform::desktop {

struct MessageBoxLayout {
    GtkMessageType icon = GTK_MESSAGE_OTHER;
    // Buttons in the order they are shown, each with its GTK response.
    std::vector<std::pair<const char*, GtkResponseType>> buttons;
};

MessageBoxLayout MessageBoxLayoutFor(UINT type);

// The message box result for a dialog response; closing the dialog without a button
// counts as Cancel, or as OK when OK is the only button.
int MessageBoxResultFor(UINT type, int response);

// Shows the dialog transient for parent (may be null) and waits for the answer.
int RunMessageBox(GtkWindow* parent, const std::u16string& text, const std::u16string& caption, UINT type);

}  // namespace platform::desktop
