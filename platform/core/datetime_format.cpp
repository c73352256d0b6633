// GetDateFormatEx and GetTimeFormatEx: pictures of the documented kind ("yyyy-MM-dd",
// "HH:mm:ss", text in single quotes) in English, whatever the locale name. Without a
// picture the host's conventions apply: "yyyy-MM-dd" for dates and the 24-hour "HH:mm:ss"
// for times.
#include <string>
#include <string_view>

#include "crt/crt.h"
#include "win32/api.h"

namespace {

constexpr DWORD ERROR_INVALID_FLAGS_CODE = 1004;
constexpr DWORD kTimeNoMinutesOrSeconds = 0x00000001;
constexpr DWORD kTimeNoTimeMarker = 0x00000004;
constexpr DWORD kDateLongDate = 0x00000002;

constexpr std::u16string_view kDayNames[] = {u"Sunday", u"Monday", u"Tuesday", u"Wednesday",
                                             u"Thursday", u"Friday", u"Saturday"};
constexpr std::u16string_view kMonthNames[] = {u"January", u"February", u"March", u"April",
                                               u"May", u"June", u"July", u"August",
                                               u"September", u"October", u"November", u"December"};

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// The day of the week from the date itself (Windows ignores wDayOfWeek here too).
int DayOfWeek(int year, int month, int day) {
    static constexpr int kOffsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3) year -= 1;
    return (year + year / 4 - year / 100 + year / 400 + kOffsets[month - 1] + day) % 7;
}

bool ValidDate(const SYSTEMTIME& t) {
    return t.wYear >= 1601 && t.wYear <= 30827 && t.wMonth >= 1 && t.wMonth <= 12 && t.wDay >= 1 &&
           t.wDay <= DaysInMonth(t.wYear, t.wMonth);
}

bool ValidTime(const SYSTEMTIME& t) {
    return t.wHour < 24 && t.wMinute < 60 && t.wSecond < 60 && t.wMilliseconds < 1000;
}

std::u16string Number(int value, int minimumDigits) {
    std::u16string digits = crt_wformat(u"%0*d", minimumDigits, value);
    return digits;
}

std::size_t RunLength(std::u16string_view picture, std::size_t at) {
    std::size_t n = 1;
    while (at + n < picture.size() && picture[at + n] == picture[at]) ++n;
    return n;
}

// Appends quoted text starting at picture[at] (a quote); returns the index after it. Two
// quotes in a row are one literal quote, inside quoted text or not.
std::size_t AppendQuoted(std::u16string_view picture, std::size_t at, std::u16string& out) {
    if (at + 1 < picture.size() && picture[at + 1] == u'\'') {
        out += u'\'';
        return at + 2;
    }
    std::size_t i = at + 1;
    while (i < picture.size()) {
        if (picture[i] == u'\'') {
            if (i + 1 < picture.size() && picture[i + 1] == u'\'') {
                out += u'\'';
                i += 2;
                continue;
            }
            return i + 1;
        }
        out += picture[i++];
    }
    return i;  // an unclosed quote runs to the end
}

std::u16string FormatDate(const SYSTEMTIME& t, std::u16string_view picture) {
    std::u16string out;
    for (std::size_t i = 0; i < picture.size();) {
        const char16_t c = picture[i];
        if (c == u'\'') {
            i = AppendQuoted(picture, i, out);
            continue;
        }
        const std::size_t n = RunLength(picture, i);
        switch (c) {
            case u'd':
                if (n == 1) out += Number(t.wDay, 1);
                else if (n == 2) out += Number(t.wDay, 2);
                else if (n == 3) out += kDayNames[DayOfWeek(t.wYear, t.wMonth, t.wDay)].substr(0, 3);
                else out += kDayNames[DayOfWeek(t.wYear, t.wMonth, t.wDay)];
                break;
            case u'M':
                if (n == 1) out += Number(t.wMonth, 1);
                else if (n == 2) out += Number(t.wMonth, 2);
                else if (n == 3) out += kMonthNames[t.wMonth - 1].substr(0, 3);
                else out += kMonthNames[t.wMonth - 1];
                break;
            case u'y':
                if (n == 1) out += Number(t.wYear % 100, 1);
                else if (n == 2) out += Number(t.wYear % 100, 2);
                else out += Number(t.wYear, 4);
                break;
            case u'g':
                out += u"A.D.";
                break;
            default:
                out.append(n, c);
                break;
        }
        i += n;
    }
    return out;
}

std::u16string FormatTime(const SYSTEMTIME& t, std::u16string_view picture, DWORD flags) {
    const bool force24 = (flags & TIME_FORCE24HOURFORMAT) != 0;
    const bool noSeconds = (flags & (TIME_NOSECONDS | kTimeNoMinutesOrSeconds)) != 0;
    const bool noMinutes = (flags & kTimeNoMinutesOrSeconds) != 0;
    const bool noMarker = (flags & kTimeNoTimeMarker) != 0;

    std::u16string out;
    std::size_t afterLastField = 0;  // literal text since then belongs to the next field
    auto field = [&](const std::u16string& text, bool dropped) {
        if (dropped) {
            out.resize(afterLastField);  // the separator goes with the dropped field
        } else {
            out += text;
            afterLastField = out.size();
        }
    };
    for (std::size_t i = 0; i < picture.size();) {
        const char16_t c = picture[i];
        if (c == u'\'') {
            i = AppendQuoted(picture, i, out);
            continue;
        }
        const std::size_t n = RunLength(picture, i);
        const int digits = n >= 2 ? 2 : 1;
        switch (c) {
            case u'h': {
                const int hour12 = t.wHour % 12 == 0 ? 12 : t.wHour % 12;
                field(Number(force24 ? t.wHour : hour12, digits), false);
                break;
            }
            case u'H': field(Number(t.wHour, digits), false); break;
            case u'm': field(Number(t.wMinute, digits), noMinutes); break;
            case u's': field(Number(t.wSecond, digits), noSeconds); break;
            case u't': {
                const std::u16string marker = t.wHour < 12 ? u"AM" : u"PM";
                field(n == 1 ? marker.substr(0, 1) : marker, noMarker);
                break;
            }
            default: out.append(n, c); break;
        }
        i += n;
    }
    return out;
}

// The documented output rules: size 0 asks for the length; otherwise the text must fit
// with its terminator. Both count the terminator.
int Deliver(const std::u16string& text, LPWSTR buffer, int size) {
    const int needed = static_cast<int>(text.size()) + 1;
    if (size == 0) return needed;
    if (size < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    text.copy(buffer, text.size());
    buffer[text.size()] = u'\0';
    return needed;
}

bool CheckBuffer(LPWSTR buffer, int size) {
    if (size < 0 || (size > 0 && buffer == nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

}  // namespace

int GetDateFormatEx(LPCWSTR, DWORD flags, const SYSTEMTIME* time, LPCWSTR format, LPWSTR buffer, int size,
                    LPCWSTR) {
    if (!CheckBuffer(buffer, size)) return 0;
    if (format != nullptr && flags != 0) {
        SetLastError(ERROR_INVALID_FLAGS_CODE);  // flags choose a picture; one was given
        return 0;
    }
    SYSTEMTIME t;
    if (time) {
        t = *time;
    } else {
        GetLocalTime(&t);
    }
    if (!ValidDate(t)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::u16string_view picture =
        format ? std::u16string_view(format) : ((flags & kDateLongDate) ? u"dddd, MMMM d, yyyy" : u"yyyy-MM-dd");
    return Deliver(FormatDate(t, picture), buffer, size);
}

int GetTimeFormatEx(LPCWSTR, DWORD flags, const SYSTEMTIME* time, LPCWSTR format, LPWSTR buffer, int size) {
    if (!CheckBuffer(buffer, size)) return 0;
    SYSTEMTIME t;
    if (time) {
        t = *time;
    } else {
        GetLocalTime(&t);
    }
    if (!ValidTime(t)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::u16string_view picture = format ? std::u16string_view(format) : u"HH:mm:ss";
    return Deliver(FormatTime(t, picture, flags), buffer, size);
}
