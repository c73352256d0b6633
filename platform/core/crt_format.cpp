// printf-style formatting with the Windows runtime's conventions for wide text.
//
// One engine serves both the narrow and the wide format: it walks the format, reads each
// directive (flags, width, precision, length, conversion) and appends the converted text to
// the output. Numbers are converted by the host's snprintf from a rebuilt narrow directive,
// so rounding and padding are the C library's own; strings and %p are done here.
//
// A directive the engine does not know (%n included: it writes through a pointer) cannot be
// skipped safely, since nothing tells how many arguments it would have consumed. The engine
// therefore copies it, and everything after it, literally and reads no further argument.
#include "crt/crt.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

namespace {

// Widths and precisions beyond this are treated as a malformed directive: they could
// only come from a broken format, and honouring them would mean gigabytes of padding.
constexpr int kMaxFieldWidth = 1 << 20;

// The argument list, wrapped so that it can be passed by reference on every ABI.
struct Arguments {
    va_list list;
};

enum class Length { None, Char, Short, Long, LongLong, SizeT, IntMax, PtrDiff, Int64, Int32, LongDouble };

struct Directive {
    bool leftAlign = false;
    bool plusSign = false;
    bool spaceSign = false;
    bool alternate = false;
    bool zeroPad = false;
    int width = 0;
    int precision = -1;  // -1: none given
    Length length = Length::None;
    bool forceNarrow = false;  // 'h' before s/c/S/C
    bool forceWide = false;    // 'l' or 'w' before s/c/S/C
};

template <typename Ch>
void AppendAscii(std::basic_string<Ch>& out, std::string_view ascii) {
    for (char c : ascii) out.push_back(static_cast<Ch>(static_cast<unsigned char>(c)));
}

template <typename Ch>
void AppendPadded(std::basic_string<Ch>& out, const std::basic_string<Ch>& body, const Directive& d,
                  Ch pad = static_cast<Ch>(' ')) {
    const std::size_t width = static_cast<std::size_t>(d.width);
    if (body.size() >= width) {
        out += body;
        return;
    }
    const std::size_t fill = width - body.size();
    if (d.leftAlign) {
        out += body;
        out.append(fill, static_cast<Ch>(' '));
    } else {
        out.append(fill, pad);
        out += body;
    }
}

std::string FlagsText(const Directive& d) {
    std::string flags;
    if (d.leftAlign) flags += '-';
    if (d.plusSign) flags += '+';
    if (d.spaceSign) flags += ' ';
    if (d.alternate) flags += '#';
    if (d.zeroPad) flags += '0';
    return flags;
}

// Runs snprintf on a rebuilt directive. The value is passed as the last argument.
template <typename Value>
std::string HostFormat(const Directive& d, const char* lengthText, char conversion, Value value) {
    std::string directive = "%" + FlagsText(d);
    if (d.width > 0) directive += std::to_string(d.width);
    if (d.precision >= 0) directive += "." + std::to_string(d.precision);
    directive += lengthText;
    directive += conversion;

    const int needed = std::snprintf(nullptr, 0, directive.c_str(), value);
    if (needed <= 0) return {};
    std::vector<char> buffer(static_cast<std::size_t>(needed) + 1);
    std::snprintf(buffer.data(), buffer.size(), directive.c_str(), value);
    return std::string(buffer.data(), static_cast<std::size_t>(needed));
}

long long ReadSigned(Arguments& args, Length length) {
    switch (length) {
        case Length::Char: return static_cast<signed char>(va_arg(args.list, int));
        case Length::Short: return static_cast<short>(va_arg(args.list, int));
        case Length::Long: return va_arg(args.list, long);
        case Length::LongLong: return va_arg(args.list, long long);
        case Length::SizeT: return static_cast<long long>(va_arg(args.list, std::size_t));
        case Length::IntMax: return static_cast<long long>(va_arg(args.list, std::intmax_t));
        case Length::PtrDiff: return static_cast<long long>(va_arg(args.list, std::ptrdiff_t));
        case Length::Int64: return static_cast<long long>(va_arg(args.list, std::int64_t));
        case Length::Int32: return va_arg(args.list, std::int32_t);
        case Length::None:
        case Length::LongDouble: break;
    }
    return va_arg(args.list, int);
}

unsigned long long ReadUnsigned(Arguments& args, Length length) {
    switch (length) {
        case Length::Char: return static_cast<unsigned char>(va_arg(args.list, unsigned int));
        case Length::Short: return static_cast<unsigned short>(va_arg(args.list, unsigned int));
        case Length::Long: return va_arg(args.list, unsigned long);
        case Length::LongLong: return va_arg(args.list, unsigned long long);
        case Length::SizeT: return va_arg(args.list, std::size_t);
        case Length::IntMax: return static_cast<unsigned long long>(va_arg(args.list, std::uintmax_t));
        case Length::PtrDiff: return static_cast<unsigned long long>(va_arg(args.list, std::ptrdiff_t));
        case Length::Int64: return static_cast<unsigned long long>(va_arg(args.list, std::uint64_t));
        case Length::Int32: return va_arg(args.list, std::uint32_t);
        case Length::None:
        case Length::LongDouble: break;
    }
    return va_arg(args.list, unsigned int);
}

// Text of a narrow argument in the output's character type; a byte becomes the code unit of
// the same value, the inverse of crt_narrow.
template <typename Ch>
std::basic_string<Ch> FromNarrowArgument(const char* text, int precision) {
    if (text == nullptr) text = "(null)";
    std::size_t n = 0;
    while (text[n] != '\0' && (precision < 0 || n < static_cast<std::size_t>(precision))) ++n;
    std::basic_string<Ch> out;
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) out.push_back(static_cast<Ch>(static_cast<unsigned char>(text[i])));
    return out;
}

template <typename Ch>
std::basic_string<Ch> FromWideArgument(const char16_t* text, int precision) {
    if (text == nullptr) text = u"(null)";
    std::size_t n = 0;
    while (text[n] != u'\0' && (precision < 0 || n < static_cast<std::size_t>(precision))) ++n;
    if constexpr (sizeof(Ch) == 1) {
        return crt_narrow(std::u16string_view(text, n));
    } else {
        return std::u16string(text, n);
    }
}

template <typename Ch>
bool IsDigit(Ch c) {
    return c >= static_cast<Ch>('0') && c <= static_cast<Ch>('9');
}

// Reads a decimal number; false when it exceeds the largest field width.
template <typename Ch>
bool ReadNumber(const Ch*& p, int& value) {
    long long n = 0;
    while (IsDigit(*p)) {
        n = n * 10 + (*p - static_cast<Ch>('0'));
        if (n > kMaxFieldWidth) return false;
        ++p;
    }
    value = static_cast<int>(n);
    return true;
}

template <typename Ch>
std::basic_string<Ch> FormatEngine(const Ch* format, Arguments& args) {
    std::basic_string<Ch> out;
    if (format == nullptr) return out;
    constexpr bool kWideFormat = sizeof(Ch) == 2;

    const Ch* p = format;
    while (*p != Ch{}) {
        if (*p != static_cast<Ch>('%')) {
            out.push_back(*p++);
            continue;
        }
        const Ch* start = p++;
        auto giveUp = [&]() {
            // Unknown or malformed directive: the rest is copied literally.
            for (const Ch* q = start; *q != Ch{}; ++q) out.push_back(*q);
        };

        Directive d;
        for (bool more = true; more;) {
            switch (static_cast<char>(*p)) {
                case '-': d.leftAlign = true; ++p; break;
                case '+': d.plusSign = true; ++p; break;
                case ' ': d.spaceSign = true; ++p; break;
                case '#': d.alternate = true; ++p; break;
                case '0': d.zeroPad = true; ++p; break;
                default: more = false; break;
            }
        }
        if (*p == static_cast<Ch>('*')) {
            ++p;
            int w = va_arg(args.list, int);
            if (w < 0) {
                d.leftAlign = true;
                w = (w == std::numeric_limits<int>::min()) ? kMaxFieldWidth + 1 : -w;
            }
            if (w > kMaxFieldWidth) {
                giveUp();
                return out;
            }
            d.width = w;
        } else if (!ReadNumber(p, d.width)) {
            giveUp();
            return out;
        }
        if (*p == static_cast<Ch>('.')) {
            ++p;
            if (*p == static_cast<Ch>('*')) {
                ++p;
                const int prec = va_arg(args.list, int);
                if (prec > kMaxFieldWidth) {
                    giveUp();
                    return out;
                }
                d.precision = prec < 0 ? -1 : prec;
            } else if (!ReadNumber(p, d.precision)) {
                giveUp();
                return out;
            }
        }

        switch (static_cast<char>(*p)) {
            case 'h':
                ++p;
                if (*p == static_cast<Ch>('h')) {
                    ++p;
                    d.length = Length::Char;
                } else {
                    d.length = Length::Short;
                }
                d.forceNarrow = true;
                break;
            case 'l':
                ++p;
                if (*p == static_cast<Ch>('l')) {
                    ++p;
                    d.length = Length::LongLong;
                } else {
                    d.length = Length::Long;
                }
                d.forceWide = true;
                break;
            case 'w': ++p; d.forceWide = true; break;
            case 'z': ++p; d.length = Length::SizeT; break;
            case 'j': ++p; d.length = Length::IntMax; break;
            case 't': ++p; d.length = Length::PtrDiff; break;
            case 'L': ++p; d.length = Length::LongDouble; break;
            case 'I':
                if (p[1] == static_cast<Ch>('6') && p[2] == static_cast<Ch>('4')) {
                    p += 3;
                    d.length = Length::Int64;
                } else if (p[1] == static_cast<Ch>('3') && p[2] == static_cast<Ch>('2')) {
                    p += 3;
                    d.length = Length::Int32;
                } else {
                    ++p;
                    d.length = Length::SizeT;
                }
                break;
            default: break;
        }

        const Ch conversion = *p;
        if (conversion == Ch{}) {
            giveUp();
            return out;
        }
        ++p;

        switch (static_cast<char>(conversion)) {
            case '%':
                out.push_back(static_cast<Ch>('%'));
                break;
            case 'd':
            case 'i':
                AppendAscii(out, HostFormat(d, "ll", 'd', ReadSigned(args, d.length)));
                break;
            case 'u':
            case 'o':
            case 'x':
            case 'X':
                AppendAscii(out, HostFormat(d, "ll", static_cast<char>(conversion), ReadUnsigned(args, d.length)));
                break;
            case 'f':
            case 'F':
            case 'e':
            case 'E':
            case 'g':
            case 'G':
            case 'a':
            case 'A':
                if (d.length == Length::LongDouble) {
                    AppendAscii(out, HostFormat(d, "L", static_cast<char>(conversion), va_arg(args.list, long double)));
                } else {
                    AppendAscii(out, HostFormat(d, "", static_cast<char>(conversion), va_arg(args.list, double)));
                }
                break;
            case 'p': {
                const auto value = reinterpret_cast<std::uintptr_t>(va_arg(args.list, void*));
                char digits[2 * sizeof(void*) + 1];
                std::snprintf(digits, sizeof digits, "%0*llX", static_cast<int>(2 * sizeof(void*)),
                              static_cast<unsigned long long>(value));
                std::basic_string<Ch> body;
                AppendAscii(body, digits);
                d.zeroPad = false;
                AppendPadded(out, body, d);
                break;
            }
            case 'c':
            case 'C': {
                // %c is the format's own width, %C the other one; h and l/w choose explicitly.
                bool wideArgument = (conversion == static_cast<Ch>('c')) == kWideFormat;
                if (d.forceNarrow) wideArgument = false;
                if (d.forceWide) wideArgument = true;
                const int value = va_arg(args.list, int);
                std::basic_string<Ch> body;
                if (!wideArgument) {
                    body.assign(1, static_cast<Ch>(static_cast<unsigned char>(value)));
                } else if constexpr (kWideFormat) {
                    body.assign(1, static_cast<Ch>(static_cast<char16_t>(value)));
                } else {
                    const char16_t unit = static_cast<char16_t>(value);
                    body = unit == u'\0' ? std::string(1, '\0') : crt_narrow(std::u16string_view(&unit, 1));
                }
                AppendPadded(out, body, d);
                break;
            }
            case 's':
            case 'S': {
                bool wideArgument = (conversion == static_cast<Ch>('s')) == kWideFormat;
                if (d.forceNarrow) wideArgument = false;
                if (d.forceWide) wideArgument = true;
                std::basic_string<Ch> body =
                    wideArgument ? FromWideArgument<Ch>(va_arg(args.list, const char16_t*), d.precision)
                                 : FromNarrowArgument<Ch>(va_arg(args.list, const char*), d.precision);
                AppendPadded(out, body, d);
                break;
            }
            default:
                giveUp();
                return out;
        }
    }
    return out;
}

}  // namespace

std::string crt_vformat(const char* format, va_list args) {
    Arguments copy;
    va_copy(copy.list, args);
    std::string result = FormatEngine<char>(format, copy);
    va_end(copy.list);
    return result;
}

std::u16string crt_vwformat(const char16_t* format, va_list args) {
    Arguments copy;
    va_copy(copy.list, args);
    std::u16string result = FormatEngine<char16_t>(format, copy);
    va_end(copy.list);
    return result;
}

std::string crt_format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string result = crt_vformat(format, args);
    va_end(args);
    return result;
}

std::u16string crt_wformat(const char16_t* format, ...) {
    va_list args;
    va_start(args, format);
    std::u16string result = crt_vwformat(format, args);
    va_end(args);
    return result;
}

int swprintf_s(char16_t* buffer, std::size_t size, const char16_t* format, ...) {
    if (buffer == nullptr || size == 0) return -1;
    va_list args;
    va_start(args, format);
    const std::u16string text = crt_vwformat(format, args);
    va_end(args);
    if (format == nullptr || text.size() >= size) {
        // As the secure runtime does: nothing half-written, an empty string instead.
        buffer[0] = u'\0';
        return -1;
    }
    std::memcpy(buffer, text.data(), text.size() * sizeof(char16_t));
    buffer[text.size()] = u'\0';
    return static_cast<int>(text.size());
}
