// GTK for the backend's files. The layer's Windows types come first: GLib defines TRUE
// and FALSE as macros, which must not meet the layer's own constants of those names.
#pragma once

#include "win32/types.h"

#include <gdk/gdkkeysyms.h>
#include <gtk/gtk.h>
