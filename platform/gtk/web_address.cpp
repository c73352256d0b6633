#include "web_address.h"

#include "gtk_toolkit.h"

#include <optional>

#include "address_scheme.h"
#include "crt/crt.h"
#include "gobject_ptr.h"
#include "paths.h"
#include "resource_scheme.h"

namespace platform::desktop {
namespace {

bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

bool IsDrivePath(std::u16string_view text) {
    return text.size() >= 3 && IsAsciiLetter(text[0]) && text[1] == u':' && (text[2] == u'\\' || text[2] == u'/');
}

std::optional<std::string> FileAddress(const std::string& hostPath) {
    GCharPtr uri(g_filename_to_uri(hostPath.c_str(), nullptr, nullptr));
    if (!uri) return std::nullopt;
    return std::string(uri.get());
}

}  // namespace

std::string WebAddressFor(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    if (text.empty()) return "about:blank";
    if (HasResourceScheme(text)) return EngineResourceAddress(text);
    if (IsDrivePath(text)) {
        if (std::optional<std::string> path = ToHostPath(text))
            if (auto address = FileAddress(*path)) return *address;
        return text::ToUtf8(text);  // another drive: the engine reports the failure
    }
    if (HasAddressScheme(text)) return text::ToUtf8(text);
    if (text.front() == u'/') {
        if (auto address = FileAddress(text::ToUtf8(text))) return *address;
    }
    return "http://" + text::ToUtf8(text);
}

}  // namespace platform::desktop
