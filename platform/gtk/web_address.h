// The address the engine loads for a text the program navigates to: the program passes
// typed text, Windows paths and complete addresses alike.
#pragma once

#include <string>
#include <string_view>

namespace platform::desktop {

// A complete address (with a scheme) stays as it is; a Windows or host path becomes a
// file: address; anything else is a web address without its scheme and gets "http://";
// an empty text is the blank page.
std::string WebAddressFor(std::u16string_view text);

}  // namespace platform::desktop
