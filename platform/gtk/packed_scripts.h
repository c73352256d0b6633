// The script elements of a document cross from the page in one string rather than as an
// object per element: reading a value's properties one by one costs more than the page's
// whole text once there are hundreds of scripts. Each element is two fields, its source
// address then its text; a field is "-" when absent, else "<length>:" and that many UTF-16
// code units.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "backend/engine.h"

namespace platform::desktop {

// The page's side: a function of the read script, packing doc.scripts.
extern const char kPackScriptsFunction[];

// The elements packed in text; nothing when the text is not of that form.
std::optional<std::vector<ScriptData>> UnpackScripts(std::u16string_view text);

}  // namespace platform::desktop
