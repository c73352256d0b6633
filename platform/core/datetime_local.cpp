// GetLocalTime from the host clock and time zone.
#include <time.h>

#include "win32/api.h"

void GetLocalTime(SYSTEMTIME* time) {
    if (time == nullptr) return;
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    ::localtime_r(&now.tv_sec, &local);
    time->wYear = static_cast<WORD>(local.tm_year + 1900);
    time->wMonth = static_cast<WORD>(local.tm_mon + 1);
    time->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    time->wDay = static_cast<WORD>(local.tm_mday);
    time->wHour = static_cast<WORD>(local.tm_hour);
    time->wMinute = static_cast<WORD>(local.tm_min);
    time->wSecond = static_cast<WORD>(local.tm_sec < 60 ? local.tm_sec : 59);  // no leap second
    time->wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
}
