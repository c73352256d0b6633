// Runs a script in a page and waits for its value, turning the engine's asynchronous
// call into the synchronous read the program's document calls expect. A nested loop
// runs the events meanwhile; a page that never answers is given up after a while.
#pragma once

#include "webkit_toolkit.h"

#include <string>

#include "gobject_ptr.h"

namespace platform::desktop {

// The script's value, or null when it threw, the page went away or time ran out.
// world: a script world name (the page's own scripts cannot see or change what runs
// there), or null for the page's world.
GObjectPtr<JSCValue> RunScriptAndWait(WebKitWebView* view, const std::string& script, const char* world);

}  // namespace platform::desktop
