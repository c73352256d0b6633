// Text put into a script the host runs in a page, written as a string literal that the
// page's text cannot break out of.
#pragma once

#include <string>
#include <string_view>

namespace platform::desktop {

// A double-quoted literal of UTF-16 text, with every character that could end the literal
// or the line escaped.
std::string JavaScriptStringLiteral(std::u16string_view text);

}  // namespace platform::desktop
