// UTF-16 <-> UTF-8 at the edges of the system. Broken input never stops a conversion:
// each ill-formed piece becomes U+FFFD, as the Unicode standard recommends.
#include "crt/crt.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

bool IsContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

}  // namespace

namespace text {

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string ToUtf8(std::u16string_view input) {
    std::string out;
    out.reserve(input.size());
    for (std::size_t i = 0; i < input.size(); ++i) {
        const char16_t unit = input[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < input.size() && input[i + 1] >= 0xDC00 &&
            input[i + 1] <= 0xDFFF) {
            const char32_t cp = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                                (static_cast<char32_t>(input[i + 1]) - 0xDC00);
            AppendUtf8(out, cp);
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            AppendUtf8(out, kReplacement);  // a surrogate without its partner
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

std::u16string FromUtf8(std::string_view input) {
    std::u16string out;
    out.reserve(input.size());
    std::size_t i = 0;
    while (i < input.size()) {
        const auto lead = static_cast<unsigned char>(input[i]);
        if (lead < 0x80) {  // a run of ASCII, widened at once: pages' text is mostly that
            std::size_t end = i + 1;
            while (end < input.size() && static_cast<unsigned char>(input[end]) < 0x80) ++end;
            out.append(input.begin() + static_cast<std::ptrdiff_t>(i), input.begin() + static_cast<std::ptrdiff_t>(end));
            i = end;
            continue;
        }
        // Length of the sequence and the allowed range of its second byte, which rules out
        // overlong forms, encoded surrogates and code points past U+10FFFF.
        std::size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;
        char32_t cp = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            cp = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            cp = lead & 0x0F;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            cp = lead & 0x07;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            AppendUtf16(out, kReplacement);
            ++i;
            continue;
        }
        std::size_t taken = 1;
        bool valid = true;
        while (taken < length) {
            if (i + taken >= input.size()) {
                valid = false;
                break;
            }
            const auto b = static_cast<unsigned char>(input[i + taken]);
            const bool inRange = taken == 1 ? (b >= low && b <= high) : IsContinuation(b);
            if (!inRange) {
                valid = false;
                break;
            }
            cp = (cp << 6) | (b & 0x3F);
            ++taken;
        }
        // An incomplete sequence is one replacement; the byte that broke it starts anew.
        AppendUtf16(out, valid ? cp : kReplacement);
        i += taken;
    }
    return out;
}

}  // namespace text
