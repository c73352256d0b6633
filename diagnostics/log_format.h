// The text of one log line: the prefix "Browser: <time>: \t<level>:\t<object>\t" and the
// caller's message. Log files are 8-bit text: wide arguments (%S) are narrowed as the
// runtime's default locale does, U+0001..U+00FF to the byte of that value and anything else
// to '?', so no character can stop a message short of its own line end.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

// Levels are plain integers; these are the four the log knows by name.
struct LogLevel {
    static constexpr int Debug = 0;
    static constexpr int Info = 1;
    static constexpr int Warning = 2;
    static constexpr int Error = 3;
};

// "Debug", "Info", "Warning" or "Error"; a level outside the table is written as its number,
// so that a wrong level still shows and never reads beyond the table.
std::string LogLevelWord(int level);

struct LogLine {
    std::string prefix;
    std::string text;
};

// Formats one message. timeText is the local time as the locale writes it; object is
// written like %p; format is a narrow printf format and args its arguments.
LogLine FormatLogLine(std::u16string_view timeText, int level, const void* object, const char* format, va_list args);
