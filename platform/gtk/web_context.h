// The engine's process-wide context, set up before the first view exists: the web
// process runs sandboxed, certificate errors fail the load, and pages see "en-US" as the
// user's language whatever the host's locale says.
#pragma once

#include "webkit_toolkit.h"

namespace platform::desktop {

WebKitWebContext* SharedWebContext();

}  // namespace platform::desktop
