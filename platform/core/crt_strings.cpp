// Wide string helpers and narrowing with the runtime's default-locale rules.
#include "crt/crt.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

std::string crt_narrow(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char16_t unit : text) {
        // The default locale maps the first 256 code points to bytes one to one; anything
        // else has no byte, and U+0000 would end the text early.
        out.push_back(unit >= 0x0001 && unit <= 0x00FF ? static_cast<char>(unit) : '?');
    }
    return out;
}

std::size_t wcslen(const char16_t* text) {
    if (text == nullptr) return 0;
    std::size_t n = 0;
    while (text[n] != u'\0') ++n;
    return n;
}

namespace {

char16_t FoldAsciiCase(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

template <typename Fold>
int CompareWide(const char16_t* a, const char16_t* b, Fold fold) {
    if (a == nullptr || b == nullptr) return (a == b) ? 0 : (a == nullptr ? -1 : 1);
    for (;; ++a, ++b) {
        const char16_t ca = fold(*a);
        const char16_t cb = fold(*b);
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == u'\0') return 0;
    }
}

}  // namespace

int wcscmp(const char16_t* a, const char16_t* b) {
    return CompareWide(a, b, [](char16_t c) { return c; });
}

int _wcsicmp(const char16_t* a, const char16_t* b) {
    return CompareWide(a, b, FoldAsciiCase);
}

int wcscpy_s(char16_t* destination, std::size_t size, const char16_t* source) {
    if (destination == nullptr || size == 0) return EINVAL;
    if (source == nullptr) {
        destination[0] = u'\0';
        return EINVAL;
    }
    const std::size_t length = wcslen(source);
    if (length >= size) {
        destination[0] = u'\0';
        return ERANGE;
    }
    std::memmove(destination, source, (length + 1) * sizeof(char16_t));
    return 0;
}

void crt_exit(int status) {
    std::exit(status);
}
