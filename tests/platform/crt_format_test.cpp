// The runtime's formatter: narrow and wide formats, the wide-text conventions, and safety.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "crt/crt.h"

namespace {

struct NarrowCase {
    const char* what;
    std::string actual;
    std::string expected;
};

TEST(CrtFormat, NarrowConversions) {
    const std::vector<NarrowCase> cases = {
        {"plain text", crt_format("Starting...\n"), "Starting...\n"},
        {"percent", crt_format("100%%"), "100%"},
        {"signed", crt_format("%d|%i|%d", 42, -7, INT_MIN), "42|-7|-2147483648"},
        {"unsigned", crt_format("%u", 4294967295u), "4294967295"},
        {"hex", crt_format("%x %X %#x", 255u, 255u, 255u), "ff FF 0xff"},
        {"long", crt_format("%ld", -1234567890123L), "-1234567890123"},
        {"long long", crt_format("%lld %llu", LLONG_MIN, ULLONG_MAX),
         "-9223372036854775808 18446744073709551615"},
        {"64-bit Windows length", crt_format("%I64d %I64u", std::int64_t{-5}, std::uint64_t{5}), "-5 5"},
        {"size_t", crt_format("%zu", std::size_t{12345}), "12345"},
        {"short wraps", crt_format("%hd %hu", 70000, 70000), "4464 4464"},
        {"width", crt_format("[%5d][%-5d][%05d]", 42, 42, 42), "[   42][42   ][00042]"},
        {"plus and space", crt_format("%+d % d", 5, 5), "+5  5"},
        {"precision on integer", crt_format("%.3d", 7), "007"},
        {"star width and precision", crt_format("[%*.*d]", 6, 3, 7), "[   007]"},
        {"negative star width aligns left", crt_format("[%*d]", -4, 1), "[1   ]"},
        {"negative star precision is ignored", crt_format("[%.*f]", -1, 1.5), "[1.500000]"},
        {"char", crt_format("%c%c", 'o', 'k'), "ok"},
        {"char with width", crt_format("[%3c]", 'x'), "[  x]"},
        {"fixed", crt_format("%f %.2f %8.3f", 1.5, 3.14159, -2.0), "1.500000 3.14   -2.000"},
        {"exponent", crt_format("%e %.1E", 12345.678, 0.00012), "1.234568e+04 1.2E-04"},
        {"general", crt_format("%g %g", 0.0001, 1e20), "0.0001 1e+20"},
        {"narrow string", crt_format("%s|%5s|%-5s|%.2s", "abc", "ab", "ab", "abcdef"), "abc|   ab|ab   |ab"},
        {"wide string with %S", crt_format("%S", u"Wide"), "Wide"},
        {"wide string narrowed", crt_format("%S", u"Gr\u00FC\u00DFe \u20AC"), "Gr\xFC\xDF" "e ?"},
        {"wide string precision", crt_format("%.3S", u"abcdef"), "abc"},
        {"explicit wide %ls", crt_format("%ls", u"x"), "x"},
        {"explicit narrow %hs", crt_format("%hs", "y"), "y"},
        {"wide char %C", crt_format("%C", static_cast<int>(u'\u00E9')), "\xE9"},
        {"null strings", crt_format("%s %S", static_cast<const char*>(nullptr),
                                    static_cast<const char16_t*>(nullptr)),
         "(null) (null)"},
        {"pointer", crt_format("%p", reinterpret_cast<void*>(std::uintptr_t{0xABCDEF})), "0000000000ABCDEF"},
        {"null pointer", crt_format("%p", static_cast<void*>(nullptr)), "0000000000000000"},
        {"pointer with width", crt_format("[%18p]", reinterpret_cast<void*>(std::uintptr_t{1})),
         "[  0000000000000001]"},
        {"log prefix", crt_format("Browser: %S: \t%s:\t%p\t", u"14:23:05", "Info", static_cast<void*>(nullptr)),
         "Browser: 14:23:05: \tInfo:\t0000000000000000\t"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected) << c.what;
}

TEST(CrtFormat, UnknownOrBrokenDirectivesAreCopiedLiterallyAndStopArgumentReading) {
    const std::vector<NarrowCase> cases = {
        {"unknown conversion", crt_format("a %y b %s", "never read"), "a %y b %s"},
        {"%n never writes", crt_format("x%n y", static_cast<int*>(nullptr)), "x%n y"},
        {"dangling percent", crt_format("50%"), "50%"},
        {"dangling flags", crt_format("50%-"), "50%-"},
        {"absurd width", crt_format("[%99999999999d]", 1), "[%99999999999d]"},
        {"absurd star width", crt_format("[%*d]", INT_MAX, 1), "[%*d]"},
        {"text before a broken directive survives", crt_format("%d then %q", 3), "3 then %q"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected) << c.what;
}

struct WideCase {
    const char* what;
    std::u16string actual;
    std::u16string expected;
};

TEST(CrtFormat, WideConversions) {
    const std::vector<WideCase> cases = {
        {"wide %s", crt_wformat(u"%s!", u"wide"), u"wide!"},
        {"narrow %S", crt_wformat(u"%S!", "narrow"), u"narrow!"},
        {"narrow bytes widen one to one", crt_wformat(u"%S", "\xE9"), u"\u00E9"},
        {"wide text keeps any code unit", crt_wformat(u"%s", u"\u20AC\U0001F600"), u"\u20AC\U0001F600"},
        {"numbers", crt_wformat(u"%d-%04X-%.1f", -3, 0xBEEFu, 2.25), u"-3-BEEF-2.2"},
        {"query path", crt_wformat(u"\\StringFileInfo\\%02X%02X%02X%02X\\%s", 0x04, 0x09, 0x04, 0xB0, u"CompanyName"),
         u"\\StringFileInfo\\040904B0\\CompanyName"},
        {"language path", crt_wformat(u"\\StringFileInfo\\%04X04B0\\%s", 0x0407, u"X"), u"\\StringFileInfo\\040704B0\\X"},
        {"entry text", crt_wformat(u" %s %s %s %s ", u"N", u"\\-\\", u"U", u"\\-\\"), u" N \\-\\ U \\-\\ "},
        {"wide %c, narrow %C", crt_wformat(u"%c%C", static_cast<int>(u'\u0101'), 'b'), u"\u0101b"},
        {"wide %p", crt_wformat(u"%p", reinterpret_cast<void*>(std::uintptr_t{0x1F})), u"000000000000001F"},
        {"wide unknown conversion", crt_wformat(u"ok %k %s", u"never"), u"ok %k %s"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected) << c.what;
}

TEST(CrtFormat, SwprintfNeverWritesPastTheBuffer) {
    char16_t buffer[8];
    for (auto& c : buffer) c = u'#';

    EXPECT_EQ(swprintf_s(buffer, 6, u"%s", u"abcde"), 5);
    EXPECT_EQ(std::u16string(buffer), u"abcde");

    for (auto& c : buffer) c = u'#';
    EXPECT_EQ(swprintf_s(buffer, 6, u"%s", u"abcdef"), -1);  // needs 7 with the terminator
    EXPECT_EQ(buffer[0], u'\0');
    EXPECT_EQ(buffer[6], u'#');
    EXPECT_EQ(buffer[7], u'#');

    EXPECT_EQ(swprintf_s(buffer, 0, u"x"), -1);
    EXPECT_EQ(buffer[6], u'#');
    EXPECT_EQ(swprintf_s(nullptr, 8, u"x"), -1);
}

}  // namespace
