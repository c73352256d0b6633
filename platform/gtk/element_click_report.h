// Clicks in the top-level document, reported to the host with the clicked element (the
// event's target) as the page's DOM holds it at that moment.
#pragma once

#include "webkit_toolkit.h"

#include "backend/engine.h"

namespace platform::desktop {

// Posts {kind: "click", ...} on the engine's channel for every click, before the page's own
// handlers run (a page that stops the event does not hide it from the host).
extern const char kElementClickScript[];

ElementData ElementFromClickMessage(JSCValue* message);

}  // namespace platform::desktop
