// The text of one log line.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdint>
#include <string>

#include "crt/crt.h"
#include "diagnostics/log_format.h"

namespace {

LogLine Format(std::u16string_view time, int level, const void* object, const char* format, ...) {
    va_list args;
    va_start(args, format);
    LogLine line = FormatLogLine(time, level, object, format, args);
    va_end(args);
    return line;
}

std::string Zeros() { return std::string(2 * sizeof(void*), '0'); }

TEST(LogFormatTest, PrefixIsBrowserTimeLevelAndObjectSeparatedByTabs) {
    const LogLine line = Format(u"14:23:05", LogLevel::Info, nullptr, "Starting...\n");
    EXPECT_EQ(line.prefix, "Browser: 14:23:05: \tInfo:\t" + Zeros() + "\t");
    EXPECT_EQ(line.text, "Starting...\n");
}

TEST(LogFormatTest, TheObjectIsWrittenAsUppercaseHexadecimalOfPointerWidth) {
    const void* object = reinterpret_cast<const void*>(static_cast<std::uintptr_t>(0xABCDEF12u));
    const std::string expected = std::string(2 * sizeof(void*) - 8, '0') + "ABCDEF12";
    EXPECT_EQ(Format(u"t", LogLevel::Debug, object, "").prefix, "Browser: t: \tDebug:\t" + expected + "\t");
}

TEST(LogFormatTest, LevelWordsComeFromTheTableAndOtherLevelsAsNumbers) {
    struct Case {
        int level;
        const char* word;
    };
    const Case cases[] = {{0, "Debug"}, {1, "Info"}, {2, "Warning"}, {3, "Error"}, {4, "4"}, {-1, "-1"}, {1000, "1000"}};
    for (const Case& c : cases) EXPECT_EQ(LogLevelWord(c.level), c.word) << c.level;
}

TEST(LogFormatTest, WideArgumentsAreNarrowedAndCharactersBeyondLatin1BecomeQuestionMarks) {
    struct Case {
        std::u16string argument;
        std::string expected;
    };
    const Case cases[] = {
        {u"plain", "plain"},
        {u"caf\u00E9 \u00FF", "caf\xE9 \xFF"},
        {u"\u0100", "?"},
        {u"a\u4E2Db", "a?b"},
        {u"\U0001F600", "??"},         // a surrogate pair is two characters
        {u"\xD800x", "?x"},            // a lone surrogate
        {u"", ""},
    };
    for (const Case& c : cases) {
        const LogLine line = Format(u"t", LogLevel::Info, nullptr, "[%S]\n", c.argument.c_str());
        EXPECT_EQ(line.text, "[" + c.expected + "]\n") << text::ToUtf8(c.argument);
    }
}

TEST(LogFormatTest, TheTimeIsNarrowedLikeAnyWideText) {
    EXPECT_EQ(Format(u"1\u4E2D2", LogLevel::Info, nullptr, "").prefix, "Browser: 1?2: \tInfo:\t" + Zeros() + "\t");
}

TEST(LogFormatTest, NarrowArgumentsAreCopiedAsTheyAre) {
    EXPECT_EQ(Format(u"t", LogLevel::Info, nullptr, "%s %d %S\n", "\xC3\xA9", -7, u"w").text, "\xC3\xA9 -7 w\n");
}

}  // namespace
