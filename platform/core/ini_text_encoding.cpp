#include "ini_text_encoding.h"

#include "code_page_1252.h"
#include "crt/crt.h"

namespace ini {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// UTF-16 to the document's form: pairs become one four-byte sequence, a lone surrogate its
// own three bytes, so that nothing is lost.
std::string Utf16ToWorkingForm(std::u16string_view units) {
    std::string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (IsHighSurrogate(units[i]) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
            text::AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(units[i]) - 0xD800) << 10) +
                                (static_cast<char32_t>(units[i + 1]) - 0xDC00));
            ++i;
        } else {
            text::AppendUtf8(out, units[i]);
        }
    }
    return out;
}

// The inverse. The form is this file's own output, so a broken sequence cannot occur; one
// would read as U+FFFD.
std::u16string WorkingFormToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        char32_t cp = length == 1 ? lead : length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
        bool whole = length != 0 && i + length <= text.size();
        for (std::size_t k = 1; whole && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            whole = IsContinuation(next);
            cp = (cp << 6) | (next & 0x3F);
        }
        if (!whole || cp > 0x10FFFF) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += length;
    }
    return out;
}

bool HasUtf8Form(TextEncoding encoding) {
    return encoding == TextEncoding::Utf8 || encoding == TextEncoding::Utf8WithMark;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        // The allowed range of the second byte rules out overlong forms, encoded surrogates
        // and code points past U+10FFFF.
        std::size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        if (i + length > bytes.size()) return false;
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        if (second < low || second > high) return false;
        for (std::size_t k = 2; k < length; ++k) {
            if (!IsContinuation(static_cast<unsigned char>(bytes[i + k]))) return false;
        }
        i += length;
    }
    return true;
}

TextEncoding DetectTextEncoding(std::string_view bytes) {
    if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) return TextEncoding::Utf8WithMark;
    if (IsValidUtf8(bytes)) return TextEncoding::Utf8;
    if (bytes.substr(0, kUtf16LeMark.size()) == kUtf16LeMark) return TextEncoding::Utf16LeWithMark;
    return TextEncoding::Windows1252;
}

std::string DecodeFileText(std::string_view bytes, TextEncoding encoding, std::string& tail) {
    tail.clear();
    switch (encoding) {
    case TextEncoding::Utf8: return std::string(bytes);
    case TextEncoding::Utf8WithMark: return std::string(bytes.substr(kUtf8Mark.size()));
    case TextEncoding::Utf16LeWithMark: {
        bytes.remove_prefix(kUtf16LeMark.size());
        std::u16string units;
        units.reserve(bytes.size() / 2);
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
            units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                  (static_cast<unsigned char>(bytes[i + 1]) << 8)));
        }
        if (bytes.size() % 2 != 0) tail = std::string(bytes.substr(bytes.size() - 1));
        return Utf16ToWorkingForm(units);
    }
    case TextEncoding::Windows1252: {
        std::string text;
        text.reserve(bytes.size());
        for (const char byte : bytes) text::AppendUtf8(text, codepage::Windows1252ToUnicode(static_cast<unsigned char>(byte)));
        return text;
    }
    }
    return std::string(bytes);
}

std::string EncodeFileText(std::string_view text, TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8: return std::string(text);
    case TextEncoding::Utf8WithMark: return std::string(kUtf8Mark) + std::string(text);
    case TextEncoding::Utf16LeWithMark: {
        const std::u16string units = WorkingFormToUtf16(text);
        std::string bytes(kUtf16LeMark);
        bytes.reserve(bytes.size() + units.size() * 2);
        for (const char16_t unit : units) {
            bytes.push_back(static_cast<char>(unit & 0xFF));
            bytes.push_back(static_cast<char>(unit >> 8));
        }
        return bytes;
    }
    case TextEncoding::Windows1252: {
        // A document in this encoding only holds text that fits it; '?' is what Windows
        // itself would write for a character that does not.
        std::string bytes;
        bytes.reserve(text.size());
        for (const char16_t unit : WorkingFormToUtf16(text)) {
            bytes.push_back(static_cast<char>(codepage::UnicodeToWindows1252(unit).value_or('?')));
        }
        return bytes;
    }
    }
    return std::string(text);
}

std::u16string TextToUtf16(std::string_view text, TextEncoding encoding) {
    return HasUtf8Form(encoding) ? text::FromUtf8(text) : WorkingFormToUtf16(text);
}

std::string Utf16ToText(std::u16string_view text, TextEncoding encoding) {
    return HasUtf8Form(encoding) ? text::ToUtf8(text) : Utf16ToWorkingForm(text);
}

bool FitsWindows1252(std::u16string_view text) {
    for (const char16_t unit : text) {
        if (!codepage::UnicodeToWindows1252(unit)) return false;
    }
    return true;
}

}  // namespace ini
