#include "address_scheme.h"

namespace platform::desktop {
namespace {
bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
}  // namespace

bool HasAddressScheme(std::u16string_view text) {
    std::size_t colon = text.find(u':');
    if (colon == std::u16string_view::npos || colon < 2 || !IsAsciiLetter(text[0])) return false;
    for (std::size_t i = 1; i < colon; ++i) {
        char16_t c = text[i];
        if (!IsAsciiLetter(c) && !(c >= u'0' && c <= u'9') && c != u'+' && c != u'-' && c != u'.') return false;
    }
    return true;
}

}  // namespace platform::desktop
