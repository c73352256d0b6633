// rundll32.exe and Control_RunDLLW entries mapped to the desktop.
#include "shell_rundll.h"

#include <string>

#include "backend/backend.h"
#include "crt/crt.h"

namespace platform {
namespace {

constexpr std::uint32_t kClearCookiesFlag = 2;
constexpr std::uint32_t kClearTemporaryFilesFlag = 8;

bool SameIgnoringCase(std::u16string_view a, std::u16string_view b) {
    return _wcsicmp(std::u16string(a).c_str(), std::u16string(b).c_str()) == 0;
}

std::u16string_view Trimmed(std::u16string_view text) {
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t')) text.remove_suffix(1);
    return text;
}

std::u16string_view Unquoted(std::u16string_view text) {
    text = Trimmed(text);
    if (text.size() >= 2 && text.front() == u'"' && text.back() == u'"') text = text.substr(1, text.size() - 2);
    return text;
}

std::optional<std::uint32_t> DecimalNumber(std::u16string_view digits) {
    if (digits.empty() || digits.size() > 10) return std::nullopt;
    std::uint64_t value = 0;
    for (char16_t c : digits) {
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - u'0');
    }
    if (value > 0xFFFFFFFFu) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

}  // namespace

bool IsRunDllProgram(std::u16string_view file) {
    file = Unquoted(file);
    if (file.find(u"://") != std::u16string_view::npos) return false;  // an address, not a program
    auto slash = file.find_last_of(u"\\/");
    if (slash != std::u16string_view::npos) file.remove_prefix(slash + 1);
    return SameIgnoringCase(file, u"rundll32.exe") || SameIgnoringCase(file, u"rundll32");
}

std::optional<unsigned> ClearTracksKinds(std::u16string_view parameters) {
    parameters = Trimmed(parameters);
    auto comma = parameters.find(u',');
    if (comma == std::u16string_view::npos) return std::nullopt;
    if (!SameIgnoringCase(Unquoted(parameters.substr(0, comma)), u"inetcpl.cpl")) return std::nullopt;
    std::u16string_view call = parameters.substr(comma + 1);
    auto blank = call.find_first_of(u" \t");
    if (blank == std::u16string_view::npos) return std::nullopt;
    if (!SameIgnoringCase(call.substr(0, blank), u"ClearMyTracksByProcess")) return std::nullopt;
    std::optional<std::uint32_t> flags = DecimalNumber(Trimmed(call.substr(blank)));
    if (!flags) return std::nullopt;
    unsigned kinds = 0;
    if (*flags & kClearCookiesFlag) kinds |= kWebsiteCookies;
    if (*flags & kClearTemporaryFilesFlag) kinds |= kWebsiteCache;
    return kinds;
}

void RunControlPanelApplet(HWND window, std::u16string_view command) {
    std::u16string_view applet = command.substr(0, command.find(u','));
    if (!SameIgnoringCase(Unquoted(applet), u"inetcpl.cpl") || !HasBackend()) return;
    CurrentBackend().ShowInternetOptions(window);
}

}  // namespace platform
