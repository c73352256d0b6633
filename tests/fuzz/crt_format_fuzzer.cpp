// The platform's printf, narrow and wide, one directive at a time: any flags, width, precision
// (given or taken from an argument), length and conversion, with an argument of the type that
// directive reads. Numbers must come out as the C library writes them, strings and characters
// as the Windows conventions narrow or widen them, padded to exactly the width; a directive
// that cannot be honoured (an unknown conversion, a width past the limit) ends the formatting
// with the rest of the format copied as it is. The wide format must give the same text as the
// narrow one wherever the argument is the same.
//
// Input (libFuzzer's data provider): the directive's parts, the literal text around it, then
// the arguments.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "crt/crt.h"
#include "fuzz_check.h"

namespace {

constexpr int kMaxFieldWidth = 1 << 20;  // past this a directive is not honoured

struct Length {
    const char* text;  // as written in the format
    const char* host;  // the same length for the host's snprintf
};
constexpr Length kLengths[] = {{"", ""},    {"hh", "hh"}, {"h", "h"},   {"l", "l"},     {"ll", "ll"}, {"z", "z"},
                               {"j", "j"},  {"t", "t"},   {"I64", "ll"}, {"I32", ""},  {"I", "z"},   {"w", ""}};
constexpr char kConversions[] = "diuoxXfFeEgGaApcCsS%qn";

std::u16string Widen(const std::string& narrow) {
    std::u16string wide;
    for (unsigned char c : narrow) wide += static_cast<char16_t>(c);
    return wide;
}

std::string Narrow(std::u16string_view text) {
    std::string out;
    for (char16_t unit : text) out += unit >= 1 && unit <= 0xFF ? static_cast<char>(unit) : '?';
    return out;
}

template <typename... Values>
std::string HostFormat(const std::string& directive, Values... values) {
    const int needed = std::snprintf(nullptr, 0, directive.c_str(), values...);
    FUZZ_CHECK(needed >= 0);
    std::vector<char> buffer(static_cast<std::size_t>(needed) + 1);
    std::snprintf(buffer.data(), buffer.size(), directive.c_str(), values...);
    return std::string(buffer.data(), static_cast<std::size_t>(needed));
}

// Text padded to the width with blanks, on the left unless the directive aligns it left.
template <typename Text>
Text Padded(const Text& body, int width, bool left) {
    if (body.size() >= static_cast<std::size_t>(width)) return body;
    const Text fill(static_cast<std::size_t>(width) - body.size(), ' ');
    return left ? body + fill : fill + body;
}

struct Case {
    std::string flags;
    bool widthFromArgument = false;
    int width = -1;  // -1: none written
    bool precisionFromArgument = false;
    int precision = -1;  // -1: none written
    Length length{};
    char conversion = 'd';
    int widthArgument = 0;
    int precisionArgument = 0;
};

std::string DirectiveText(const Case& c) {
    std::string text = "%" + c.flags;
    if (c.widthFromArgument) {
        text += '*';
    } else if (c.width >= 0) {
        text += std::to_string(c.width);
    }
    if (c.precisionFromArgument) {
        text += ".*";
    } else if (c.precision >= 0) {
        text += "." + std::to_string(c.precision);
    }
    return text + c.length.text + c.conversion;
}

// Calls both formats with the stars' arguments first, then the value.
template <typename NarrowValue, typename WideValue>
std::pair<std::string, std::u16string> Run(const Case& c, const std::string& format, NarrowValue narrowValue,
                                           WideValue wideValue) {
    const std::u16string wideFormat = Widen(format);
    const char* f = format.c_str();
    const char16_t* w = wideFormat.c_str();
    const int a = c.widthArgument;
    const int b = c.precisionArgument;
    if (c.widthFromArgument && c.precisionFromArgument) {
        return {crt_format(f, a, b, narrowValue), crt_wformat(w, a, b, wideValue)};
    }
    if (c.widthFromArgument) return {crt_format(f, a, narrowValue), crt_wformat(w, a, wideValue)};
    if (c.precisionFromArgument) return {crt_format(f, b, narrowValue), crt_wformat(w, b, wideValue)};
    return {crt_format(f, narrowValue), crt_wformat(w, wideValue)};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    Case c;
    const std::uint8_t flagBits = provider.ConsumeIntegral<std::uint8_t>();
    for (int bit = 0; bit < 5; ++bit) {
        if (flagBits & (1 << bit)) c.flags += "-+ #0"[bit];
    }
    switch (provider.ConsumeIntegralInRange(0, 2)) {
        case 0: break;
        case 1: c.width = provider.ConsumeIntegralInRange(0, 400); break;
        default: c.widthFromArgument = true; break;
    }
    switch (provider.ConsumeIntegralInRange(0, 2)) {
        case 0: break;
        case 1: c.precision = provider.ConsumeIntegralInRange(0, 400); break;
        default: c.precisionFromArgument = true; break;
    }
    c.length = kLengths[provider.ConsumeIntegralInRange<std::size_t>(0, std::size(kLengths) - 1)];
    c.conversion = kConversions[provider.ConsumeIntegralInRange<std::size_t>(0, sizeof kConversions - 2)];
    if (c.widthFromArgument) {
        c.widthArgument = provider.ConsumeBool() ? provider.ConsumeIntegralInRange(-400, 400)
                                                 : provider.ConsumeIntegral<int>();
    }
    if (c.precisionFromArgument) {
        c.precisionArgument = provider.ConsumeBool() ? provider.ConsumeIntegralInRange(-400, 400)
                                                     : provider.ConsumeIntegral<int>();
    }
    std::string before = provider.ConsumeRandomLengthString(64);
    std::string after = provider.ConsumeRandomLengthString(64);
    // Literal text: no directive of its own, no NUL (which would end the format).
    for (std::string* literal : {&before, &after}) {
        std::erase(*literal, '%');
        std::erase(*literal, '\0');
    }
    const std::string directive = DirectiveText(c);
    const std::string format = before + directive + after;

    // What the directive's width and precision come to once their arguments are read.
    int width = std::max(c.width, 0);
    bool left = c.flags.find('-') != std::string::npos;
    int precision = c.precision;
    bool honoured = true;
    if (c.widthFromArgument) {
        if (c.widthArgument < 0) left = true;
        const long long magnitude = c.widthArgument < 0 ? -static_cast<long long>(c.widthArgument) : c.widthArgument;
        honoured = magnitude <= kMaxFieldWidth;
        width = static_cast<int>(std::min<long long>(magnitude, kMaxFieldWidth));
    }
    if (c.precisionFromArgument) {
        honoured = honoured && c.precisionArgument <= kMaxFieldWidth;
        precision = c.precisionArgument < 0 ? -1 : std::min(c.precisionArgument, kMaxFieldWidth);
    }

    const std::string_view lengthText = c.length.text;
    const bool narrowing = lengthText == "h" || lengthText == "hh";
    const bool widening = lengthText == "l" || lengthText == "ll" || lengthText == "w";
    std::string narrowBody;  // the directive's text in the narrow format
    std::u16string wideBody;  // and in the wide one
    std::pair<std::string, std::u16string> result;

    // The host's own directive for a number: the same flags, width, precision and length.
    std::string hostDirective = "%" + c.flags;
    if (c.widthFromArgument || c.width >= 0) hostDirective += "*";
    if (c.precisionFromArgument || c.precision >= 0) hostDirective += ".*";
    const int hostWidth = left ? -width : width;
    auto host = [&](const char* lengthForHost, char conversion, auto value) {
        std::string d = hostDirective + lengthForHost + conversion;
        const bool withWidth = c.widthFromArgument || c.width >= 0;
        const bool withPrecision = c.precisionFromArgument || c.precision >= 0;
        if (withWidth && withPrecision) return HostFormat(d, hostWidth, precision, value);
        if (withWidth) return HostFormat(d, hostWidth, value);
        if (withPrecision) return HostFormat(d, precision, value);
        return HostFormat(d, value);
    };

    switch (c.conversion) {
        case 'd':
        case 'i': {
            const long long value = provider.ConsumeIntegral<long long>();
            const std::string_view host_length = c.length.host;
            if (host_length.empty() || host_length == "hh" || host_length == "h") {
                result = Run(c, format, static_cast<int>(value), static_cast<int>(value));
                narrowBody = host(c.length.host, 'd', static_cast<int>(value));
            } else if (host_length == "l" || host_length == "ll" || host_length == "j" || host_length == "t") {
                result = Run(c, format, value, value);
                narrowBody = host("ll", 'd', value);
            } else {  // z
                const auto sized = static_cast<std::size_t>(value);
                result = Run(c, format, sized, sized);
                narrowBody = host("ll", 'd', static_cast<long long>(sized));
            }
            break;
        }
        case 'u':
        case 'o':
        case 'x':
        case 'X': {
            const unsigned long long value = provider.ConsumeIntegral<unsigned long long>();
            const std::string_view host_length = c.length.host;
            if (host_length.empty() || host_length == "hh" || host_length == "h") {
                result = Run(c, format, static_cast<unsigned>(value), static_cast<unsigned>(value));
                narrowBody = host(c.length.host, c.conversion, static_cast<unsigned>(value));
            } else {
                result = Run(c, format, value, value);
                narrowBody = host("ll", c.conversion, value);
            }
            break;
        }
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
        case 'a':
        case 'A': {
            const double value = provider.ConsumeFloatingPoint<double>();
            result = Run(c, format, value, value);
            narrowBody = host("", c.conversion, value);
            break;
        }
        case 'p': {
            const auto value = reinterpret_cast<void*>(provider.ConsumeIntegral<std::uintptr_t>());
            result = Run(c, format, value, value);
            char digits[2 * sizeof(void*) + 1];
            std::snprintf(digits, sizeof digits, "%016llX", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(value)));
            narrowBody = Padded(std::string(digits), width, left);
            break;
        }
        case 'c':
        case 'C': {
            const auto unit = provider.ConsumeIntegral<std::uint16_t>();
            result = Run(c, format, static_cast<int>(unit), static_cast<int>(unit));
            // %c takes the format's own width, %C the other one; h and l/w choose explicitly.
            bool wideInNarrow = c.conversion == 'C';
            bool wideInWide = c.conversion == 'c';
            if (narrowing) wideInNarrow = wideInWide = false;
            if (widening) wideInNarrow = wideInWide = true;
            const std::string narrowChar =
                wideInNarrow ? (unit == 0 ? std::string(1, '\0') : Narrow(std::u16string(1, unit)))
                             : std::string(1, static_cast<char>(unit & 0xFF));
            narrowBody = Padded(narrowChar, width, left);
            wideBody = Padded(wideInWide ? std::u16string(1, static_cast<char16_t>(unit))
                                         : std::u16string(1, static_cast<char16_t>(unit & 0xFF)),
                              width, left);
            break;
        }
        case 's':
        case 'S': {
            const std::string narrowText = provider.ConsumeRandomLengthString(300);
            std::u16string wideText;
            while (provider.remaining_bytes() >= 2) wideText += static_cast<char16_t>(provider.ConsumeIntegral<std::uint16_t>());
            const bool null = !narrowText.empty() && narrowText[0] == '!';  // a null pointer
            const char* narrowArgument = null ? nullptr : narrowText.c_str();
            const char16_t* wideArgument = null ? nullptr : wideText.c_str();
            bool wideInNarrow = c.conversion == 'S';
            bool wideInWide = c.conversion == 's';
            if (narrowing) wideInNarrow = wideInWide = false;
            if (widening) wideInNarrow = wideInWide = true;
            auto cut = [&](auto text) {
                if (precision >= 0 && text.size() > static_cast<std::size_t>(precision)) text.resize(static_cast<std::size_t>(precision));
                return text;
            };
            const std::string shownNarrow = null ? std::string("(null)") : std::string(narrowText.c_str());
            const std::u16string shownWide = null ? std::u16string(u"(null)") : std::u16string(wideText.c_str());
            if (wideInNarrow) {
                narrowBody = Padded(Narrow(cut(shownWide)), width, left);
            } else {
                narrowBody = Padded(cut(shownNarrow), width, left);
            }
            wideBody = Padded(wideInWide ? cut(shownWide) : Widen(cut(shownNarrow)), width, left);
            if (wideInNarrow && wideInWide) {
                result = Run(c, format, wideArgument, wideArgument);
            } else if (wideInNarrow) {
                result = Run(c, format, wideArgument, narrowArgument);
            } else if (wideInWide) {
                result = Run(c, format, narrowArgument, wideArgument);
            } else {
                result = Run(c, format, narrowArgument, narrowArgument);
            }
            break;
        }
        case '%':
            result = Run(c, format, 0, 0);
            narrowBody = "%";
            break;
        default:  // not a conversion: nothing is read, the rest is copied
            result = Run(c, format, 0, 0);
            honoured = false;
            break;
    }

    if (!honoured) {
        FUZZ_CHECK(result.first == format.substr(0, before.size()) + directive + after);
        FUZZ_CHECK(result.second == Widen(result.first));
        return 0;
    }
    FUZZ_CHECK(result.first == before + narrowBody + after);
    if (wideBody.empty() && c.conversion != 'c' && c.conversion != 'C' && c.conversion != 's' && c.conversion != 'S') {
        wideBody = Widen(narrowBody);
    }
    FUZZ_CHECK(result.second == Widen(before) + wideBody + Widen(after));
    return 0;
}
