#include "script_location.h"

#include <charconv>

namespace platform::desktop {
namespace {

// Splits a trailing ":<digits>" off text.
std::optional<unsigned long> TakeTrailingNumber(std::string_view& text) {
    std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos || colon + 1 == text.size()) return std::nullopt;
    unsigned long value = 0;
    const char* first = text.data() + colon + 1;
    const char* last = text.data() + text.size();
    auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last) return std::nullopt;
    text = text.substr(0, colon);
    return value;
}

std::optional<ScriptLocation> ParseFrame(std::string_view frame) {
    std::size_t at = frame.find('@');
    std::string_view where = at == std::string_view::npos ? frame : frame.substr(at + 1);
    auto column = TakeTrailingNumber(where);
    auto line = column ? TakeTrailingNumber(where) : std::nullopt;
    if (!line || where.empty()) return std::nullopt;
    return ScriptLocation{std::string(where), *line, *column};
}

}  // namespace

std::optional<ScriptLocation> CallerLocationFromStack(std::string_view stack) {
    while (!stack.empty()) {
        std::size_t end = stack.find('\n');
        std::string_view frame = stack.substr(0, end);
        stack = end == std::string_view::npos ? std::string_view{} : stack.substr(end + 1);
        if (frame.find("user-script:") != std::string_view::npos) continue;
        if (auto location = ParseFrame(frame)) return location;
    }
    return std::nullopt;
}

}  // namespace platform::desktop
