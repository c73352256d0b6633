// Integers in the profile are stored as decimal text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ini {

// Reads the decimal number at the start of a value: an optional sign and at least one digit.
// Text after the digits is ignored ("12abc" gives 12, like the runtime's strtol); a value
// without a leading number ("abc", "", "-") or one outside the range of a 32-bit signed
// integer gives nothing, so that the caller's default applies.
std::optional<int> ParseProfileInteger(std::u16string_view value);

std::u16string FormatProfileInteger(int value);

}  // namespace ini
