// Reads what the program asks of a document (address, title, modes, scripts, body,
// same-origin frames) in one script run, and turns the script's value into DocumentData.
// The engine gives the compatibility mode (CSS1Compat or BackCompat), the document type's
// name, each script's source address (resolved) and text, the body's HTML and the iframes
// below the body, those of another origin as unreadable. It has no document modes: the
// document mode stays absent.
#pragma once

#include "webkit_toolkit.h"

#include <optional>
#include <string>

#include "backend/engine.h"

namespace platform::desktop {

// The script that reads the top-level document; fields are DocumentField bits.
std::string DocumentReadScript(unsigned fields);
// The document read by that script; nothing when the value is not a document's record.
std::optional<DocumentData> DocumentFromValue(JSCValue* value, unsigned fields);

}  // namespace platform::desktop
