// The log line formatter with the formats the program itself logs and writes into dump files,
// given arbitrary wide strings (any UTF-16 code units), numbers, levels, objects and time texts.
// Each line must be exactly its prefix and its message as a small reference formatter of
// those directives writes them: nothing cut short by a character that cannot be narrowed,
// nothing added, every line ending where its format ends.
//
// Input (libFuzzer's data provider): the format's index, the level, the object, the time text,
// then the arguments in the format's order.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "diagnostics/log_format.h"
#include "fuzz_check.h"

namespace {

struct LogFormat {
    const char* format;
    const char* arguments;  // one letter per argument: S wide text, d int, x unsigned, L long long, f double, p pointer
};

// The messages the program logs (and writes into its dump files), with their argument types.
constexpr LogFormat kFormats[] = {
    {"Starting...\n", ""},
    {"\n\nCompanyName : %S\nExeName : %S\nFileVersion : %S\nProductVersion : %S\nAuxInfo : %S\n\n", "SSSSS"},
    {"CDerivedHtmlDialog::OnTitleChange() : %S\n", "S"},
    {"Console log for URL: <%S>\n", "S"},
    {"JSConsole | %S: %S (%d : %d): %S\n", "SSddS"},
    {"INVOKE -> %d (0x%02X), riid = %d, lcid = 0x%08X, flags = 0x%08X\n", "dxdxx"},
    {"Dumping new HTML document out to a separate file, index %lld: %S\n", "LS"},
    {"Compatibility mode: %S, Document type: %S, Document mode: %f\n", "SSf"},
    {"Script index %d (%p)\n", "dp"},
    {"Script text:\n%S\n", "S"},
    {"Document mode: %f\n", "f"},
};

constexpr const char* kWordTable[] = {"Debug", "Info", "Warning", "Error"};

struct Argument {
    char type;
    std::u16string text;
    long long number = 0;
    double real = 0;
    const void* pointer = nullptr;
};

LogLine Format(std::u16string_view time, int level, const void* object, const char* format, ...) {
    va_list args;
    va_start(args, format);
    LogLine line = FormatLogLine(time, level, object, format, args);
    va_end(args);
    return line;
}

// Hands the arguments over with their own types, as each call site does.
LogLine FormatWith(std::u16string_view time, int level, const void* object, const LogFormat& format,
                   const std::vector<Argument>& a) {
    const std::string types = format.arguments;
    auto s = [&](std::size_t i) { return a[i].text.c_str(); };
    auto d = [&](std::size_t i) { return static_cast<int>(a[i].number); };
    auto x = [&](std::size_t i) { return static_cast<unsigned>(a[i].number); };
    const char* f = format.format;
    if (types.empty()) return Format(time, level, object, f);
    if (types == "S") return Format(time, level, object, f, s(0));
    if (types == "SSSSS") return Format(time, level, object, f, s(0), s(1), s(2), s(3), s(4));
    if (types == "SSddS") return Format(time, level, object, f, s(0), s(1), d(2), d(3), s(4));
    if (types == "dxdxx") return Format(time, level, object, f, d(0), x(1), d(2), x(3), x(4));
    if (types == "LS") return Format(time, level, object, f, a[0].number, s(1));
    if (types == "SSf") return Format(time, level, object, f, s(0), s(1), a[2].real);
    if (types == "dp") return Format(time, level, object, f, d(0), a[1].pointer);
    if (types == "f") return Format(time, level, object, f, a[0].real);
    std::abort();
}

// U+0001..U+00FF as the byte of that value, every other code unit as '?'; the text ends at NUL.
std::string Narrow(std::u16string_view text) {
    std::string out;
    for (char16_t unit : text) {
        if (unit == u'\0') break;
        out += unit <= 0xFF ? static_cast<char>(unit) : '?';
    }
    return out;
}

std::string Printed(const char* directive, auto value) {
    char buffer[512];
    const int n = std::snprintf(buffer, sizeof buffer, directive, value);
    FUZZ_CHECK(n >= 0 && static_cast<std::size_t>(n) < sizeof buffer);
    return buffer;
}

std::string Pointer(const void* pointer) {
    return Printed("%016llX", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(pointer)));
}

// The directives of the formats above: %S, %d, %lld, %f, %p and %0<n>X.
std::string Reference(const LogFormat& format, const std::vector<Argument>& arguments) {
    std::string out;
    std::size_t next = 0;
    for (const char* p = format.format; *p != '\0'; ++p) {
        if (*p != '%') {
            out += *p;
            continue;
        }
        std::string directive = "%";
        while (std::string_view("0123456789l").find(p[1]) != std::string_view::npos) directive += *++p;
        const char conversion = *++p;
        const Argument& argument = arguments.at(next++);
        switch (conversion) {
            case 'S': out += Narrow(argument.text); break;
            case 'd':
                out += directive == "%ll" ? std::to_string(argument.number)
                                           : std::to_string(static_cast<int>(argument.number));
                break;
            case 'X': out += Printed((directive + "X").c_str(), static_cast<unsigned>(argument.number)); break;
            case 'f': out += Printed("%f", argument.real); break;
            case 'p': out += Pointer(argument.pointer); break;
            default: std::abort();
        }
    }
    FUZZ_CHECK(next == arguments.size());
    return out;
}

std::u16string WideText(FuzzedDataProvider& provider, std::size_t maxUnits) {
    const std::size_t units = provider.ConsumeIntegralInRange<std::size_t>(0, maxUnits);
    std::u16string text;
    for (std::size_t i = 0; i < units && provider.remaining_bytes() > 0; ++i) {
        text += static_cast<char16_t>(provider.ConsumeIntegral<std::uint16_t>());
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const LogFormat& format = kFormats[provider.ConsumeIntegralInRange<std::size_t>(0, std::size(kFormats) - 1)];
    const int level = provider.ConsumeIntegral<int>();
    const void* object = reinterpret_cast<const void*>(provider.ConsumeIntegral<std::uintptr_t>());
    const std::u16string time = WideText(provider, 40);

    std::vector<Argument> arguments;
    for (const char* type = format.arguments; *type != '\0'; ++type) {
        Argument argument{*type, {}};
        switch (*type) {
            case 'S': argument.text = WideText(provider, 2000); break;
            case 'f': argument.real = provider.ConsumeFloatingPoint<double>(); break;
            case 'p':
                argument.pointer = reinterpret_cast<const void*>(provider.ConsumeIntegral<std::uintptr_t>());
                break;
            default: argument.number = provider.ConsumeIntegral<long long>(); break;
        }
        arguments.push_back(std::move(argument));
    }

    const LogLine line = FormatWith(time, level, object, format, arguments);
    const std::string word = level >= 0 && level <= 3 ? std::string(kWordTable[level]) : std::to_string(level);
    FUZZ_CHECK(line.prefix == "Browser: " + Narrow(time) + ": \t" + word + ":\t" + Pointer(object) + "\t");
    FUZZ_CHECK(line.text == Reference(format, arguments));
    return 0;
}
