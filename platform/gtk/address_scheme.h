// Whether a text starts with an address scheme ("https:", "mailto:"): a letter, then
// letters, digits, "+", "-" or ".", then a colon. One letter before the colon is a drive.
#pragma once

#include <string_view>

namespace platform::desktop {

bool HasAddressScheme(std::u16string_view text);

}  // namespace platform::desktop
