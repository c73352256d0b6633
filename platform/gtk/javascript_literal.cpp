#include "javascript_literal.h"

#include <cstdio>

namespace platform::desktop {

std::string JavaScriptStringLiteral(std::u16string_view text) {
    std::string out = "\"";
    for (char16_t c : text) {
        if (c == u'"' || c == u'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F && c != u'<') {  // '<' escaped: no "</script>" ends an inline script
            out += static_cast<char>(c);
        } else {
            // Everything else as a \uXXXX escape of the code unit: line breaks, controls,
            // U+2028/U+2029 and lone surrogates all survive unchanged.
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(c));
            out += escape;
        }
    }
    out += '"';
    return out;
}

}  // namespace platform::desktop
