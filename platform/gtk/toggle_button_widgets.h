// The widgets of button windows. Radio buttons and check boxes show the check state the
// core keeps: GTK's own radio groups would always keep one button of a group selected and
// switch the others themselves, while the program may clear every button of a group.
#pragma once

#include "gtk_toolkit.h"

#include "backend/window_object.h"

namespace platform::desktop {

// A push button, a radio button (BS_RADIOBUTTON, BS_AUTORADIOBUTTON) or a check box.
GtkWidget* MakeButtonWidget(HWND window);
// Shows window->checked on a radio button or check box widget; other widgets stay as they are.
void ShowCheckState(GtkWidget* widget, HWND window);

}  // namespace platform::desktop
