// Narrowing, wide string helpers and the UTF-8 edge conversions.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "crt/crt.h"

namespace {

TEST(CrtText, NarrowKeepsTheFirst256CodePointsAndMarksTheRest) {
    EXPECT_EQ(crt_narrow(u"plain"), "plain");
    EXPECT_EQ(crt_narrow(u"\u0001\u007F\u0080\u00FF"), "\x01\x7F\x80\xFF");
    EXPECT_EQ(crt_narrow(u"\u0100\u20AC"), "??");
    EXPECT_EQ(crt_narrow(std::u16string(u"a\0b", 3)), "a?b");
    EXPECT_EQ(crt_narrow(u"\U0001F600"), "??");  // each surrogate is its own unit
}

TEST(CrtText, Comparisons) {
    EXPECT_EQ(wcslen(u""), 0u);
    EXPECT_EQ(wcslen(u"logs"), 4u);
    EXPECT_EQ(wcscmp(u"URL", u"URL"), 0);
    EXPECT_LT(wcscmp(u"URL", u"url"), 0);
    EXPECT_GT(wcscmp(u"b", u"a"), 0);
    EXPECT_LT(wcscmp(u"ab", u"abc"), 0);

    struct Case {
        const char16_t* a;
        const char16_t* b;
        bool same;
    };
    const std::vector<Case> caseless = {
        {u"URL", u"url", true},       {u"-Url", u"-uRL", true},  {u"LOGS", u"logs", true},
        {u"k", u"K", true},           {u"log", u"logs", false},  {u"URL=x", u"URL", false},
        {u"\u00C9", u"\u00E9", false},  // only A-Z fold
        {u"[", u"{", false},            // no folding outside letters
    };
    for (const auto& c : caseless) {
        EXPECT_EQ(_wcsicmp(c.a, c.b) == 0, c.same) << text::ToUtf8(c.a) << " vs " << text::ToUtf8(c.b);
    }
    // Folding is to lower case: 'A' compares as 'a' (0x61), which sorts after '_' (0x5F).
    EXPECT_GT(_wcsicmp(u"A", u"_"), 0);
}

TEST(CrtText, CopyFailsWholeWhenItDoesNotFit) {
    char16_t buffer[5] = {u'#', u'#', u'#', u'#', u'#'};
    EXPECT_EQ(wcscpy_s(buffer, 5, u"abcd"), 0);
    EXPECT_EQ(std::u16string(buffer), u"abcd");

    EXPECT_NE(wcscpy_s(buffer, 4, u"abcd"), 0);
    EXPECT_EQ(buffer[0], u'\0');
    EXPECT_EQ(buffer[4], u'\0');  // untouched from before, beyond size

    EXPECT_EQ(wcscpy_s(buffer, 5, nullptr), EINVAL);
    EXPECT_EQ(buffer[0], u'\0');
    EXPECT_EQ(wcscpy_s(nullptr, 5, u"x"), EINVAL);
}

TEST(CrtText, Utf8RoundTripAndRepair) {
    const std::u16string sample = u"A\u00E9\u20AC\U0001F600z";
    EXPECT_EQ(text::ToUtf8(sample), "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z");
    EXPECT_EQ(text::FromUtf8(text::ToUtf8(sample)), sample);

    struct Case {
        const char* what;
        std::string utf8;
        std::u16string expected;
    };
    const std::vector<Case> broken = {
        {"stray continuation", "a\x80z", u"a\uFFFDz"},
        {"truncated sequence at end", "a\xE2\x82", u"a\uFFFD"},
        {"truncated sequence mid-text", "\xE2\x82z", u"\uFFFDz"},
        {"overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"overlong three-byte", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"invalid lead", "\xFF", u"\uFFFD"},
        {"largest code point", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
    };
    for (const auto& c : broken) EXPECT_EQ(text::FromUtf8(c.utf8), c.expected) << c.what;

    EXPECT_EQ(text::ToUtf8(std::u16string(1, char16_t{0xD800})), "\xEF\xBF\xBD");
    EXPECT_EQ(text::ToUtf8(std::u16string{char16_t{0xDC00}, u'x'}), "\xEF\xBF\xBDx");
    EXPECT_EQ(text::ToUtf8(std::u16string{char16_t{0xD83D}, char16_t{0xD83D}, char16_t{0xDE00}}),
              "\xEF\xBF\xBD\xF0\x9F\x98\x80");
}

}  // namespace
