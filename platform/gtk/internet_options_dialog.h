// The desktop's counterpart of the system's Internet Options: a dialog that shows the
// engine's connection and privacy settings as this program runs it.
#pragma once

#include "gtk_toolkit.h"

namespace platform::desktop {

// Runs the dialog (a nested loop) until the user closes it.
void RunInternetOptionsDialog(GtkWindow* parent);

}  // namespace platform::desktop
