#include "ini_integer.h"

#include <cstdint>
#include <limits>

namespace ini {

std::optional<int> ParseProfileInteger(std::u16string_view value) {
    std::size_t position = 0;
    bool negative = false;
    if (position < value.size() && (value[position] == u'+' || value[position] == u'-')) {
        negative = value[position] == u'-';
        ++position;
    }
    const std::size_t firstDigit = position;
    std::int64_t magnitude = 0;
    constexpr std::int64_t kLimit = static_cast<std::int64_t>(std::numeric_limits<int>::max()) + 1;
    while (position < value.size() && value[position] >= u'0' && value[position] <= u'9') {
        magnitude = magnitude * 10 + (value[position] - u'0');
        if (magnitude > kLimit) return std::nullopt;
        ++position;
    }
    if (position == firstDigit) return std::nullopt;
    const std::int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue > std::numeric_limits<int>::max()) return std::nullopt;
    return static_cast<int>(signedValue);
}

std::u16string FormatProfileInteger(int value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

}  // namespace ini
