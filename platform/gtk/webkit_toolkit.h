// WebKitGTK for the engine's files, after GTK and the layer's types (see gtk_toolkit.h).
#pragma once

#include "gtk_toolkit.h"

#include <webkit2/webkit2.h>
