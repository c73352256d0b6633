#include "diagnostics/log_format.h"

#include "crt/crt.h"

std::string LogLevelWord(int level) {
    static constexpr const char* kWords[] = {"Debug", "Info", "Warning", "Error"};
    if (level >= 0 && level < static_cast<int>(std::size(kWords))) return kWords[level];
    return std::to_string(level);
}

LogLine FormatLogLine(std::u16string_view timeText, int level, const void* object, const char* format, va_list args) {
    const std::u16string time(timeText);  // %S needs a terminated string
    LogLine line;
    line.prefix = crt_format("Browser: %S: \t%s:\t%p\t", time.c_str(), LogLevelWord(level).c_str(), object);
    if (format != nullptr) {
        va_list copy;
        va_copy(copy, args);
        line.text = crt_vformat(format, copy);
        va_end(copy);
    }
    return line;
}
