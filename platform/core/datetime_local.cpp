// GetLocalTime from the host clock and time zone.
#include <time.h>

#include <chrono>

#include "win32/api.h"

void GetLocalTime(SYSTEMTIME* time) {
    if (time == nullptr) return;
    using namespace std::chrono;
    const auto now = system_clock::now();
    const auto wholeSeconds = floor<std::chrono::seconds>(now);
    const time_t seconds = system_clock::to_time_t(wholeSeconds);
    const auto milliseconds = duration_cast<std::chrono::milliseconds>(now - wholeSeconds).count();
    tm local{};
    ::localtime_r(&seconds, &local);
    time->wYear = static_cast<WORD>(local.tm_year + 1900);
    time->wMonth = static_cast<WORD>(local.tm_mon + 1);
    time->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    time->wDay = static_cast<WORD>(local.tm_mday);
    time->wHour = static_cast<WORD>(local.tm_hour);
    time->wMinute = static_cast<WORD>(local.tm_min);
    time->wSecond = static_cast<WORD>(local.tm_sec < 60 ? local.tm_sec : 59);  // no leap second
    time->wMilliseconds = static_cast<WORD>(milliseconds);
}
