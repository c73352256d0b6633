// Where a script call came from, read from the engine's stack text: frames read
// "function@url:line:column", one a line, innermost first; the host's own injected
// scripts show as "user-script:N" and are passed over.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform::desktop {

struct ScriptLocation {
    std::string url;
    unsigned long line = 0, column = 0;
};

std::optional<ScriptLocation> CallerLocationFromStack(std::string_view stack);

}  // namespace platform::desktop
