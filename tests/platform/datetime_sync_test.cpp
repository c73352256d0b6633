// Date and time pictures, the output rules of the formatting calls, and critical sections.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "win32/api.h"

namespace {

// Wednesday 30 June 2021, 14:23:05.250
constexpr SYSTEMTIME kAfternoon{2021, 6, 0, 30, 14, 23, 5, 250};
// Saturday 1 January 2000, 00:07:09
constexpr SYSTEMTIME kMidnight{2000, 1, 0, 1, 0, 7, 9, 0};

std::u16string Date(const SYSTEMTIME& t, const char16_t* picture, DWORD flags = 0) {
    WCHAR buffer[64];
    const int n = GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, flags, &t, picture, buffer, 64, nullptr);
    return n > 0 ? std::u16string(buffer) : u"<failed>";
}

std::u16string Time(const SYSTEMTIME& t, const char16_t* picture, DWORD flags = 0) {
    WCHAR buffer[64];
    const int n = GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, flags, &t, picture, buffer, 64);
    return n > 0 ? std::u16string(buffer) : u"<failed>";
}

TEST(DateFormat, Pictures) {
    struct Case {
        SYSTEMTIME time;
        const char16_t* picture;
        DWORD flags;
        std::u16string expected;
    };
    const std::vector<Case> cases = {
        {kAfternoon, u"yyyy-MM-dd", 0, u"2021-06-30"},
        {kMidnight, u"yyyy-MM-dd", 0, u"2000-01-01"},
        {kMidnight, u"d/M/yy", 0, u"1/1/00"},
        {kAfternoon, u"ddd dddd MMM MMMM", 0, u"Wed Wednesday Jun June"},
        {kMidnight, u"dddd", 0, u"Saturday"},  // computed from the date, not wDayOfWeek
        {kAfternoon, u"'Day' dd 'of' MMMM", 0, u"Day 30 of June"},
        {kAfternoon, u"'It''s' yyyy", 0, u"It's 2021"},
        {kAfternoon, u"yyyy''MM", 0, u"2021'06"},
        {kAfternoon, u"'unclosed", 0, u"unclosed"},
        {kAfternoon, nullptr, 0, u"2021-06-30"},
        {SYSTEMTIME{2024, 2, 0, 29, 0, 0, 0, 0}, u"yyyy-MM-dd", 0, u"2024-02-29"},
    };
    for (const auto& c : cases) EXPECT_EQ(Date(c.time, c.picture, c.flags), c.expected);
}

TEST(TimeFormat, Pictures) {
    struct Case {
        SYSTEMTIME time;
        const char16_t* picture;
        DWORD flags;
        std::u16string expected;
    };
    const std::vector<Case> cases = {
        {kAfternoon, u"HHmmss", 0, u"142305"},
        {kMidnight, u"HHmmss", 0, u"000709"},
        {kAfternoon, u"HH:mm:ss", 0, u"14:23:05"},
        {kAfternoon, u"h:mm:ss tt", 0, u"2:23:05 PM"},
        {kMidnight, u"hh:mm t", 0, u"12:07 A"},
        {kMidnight, u"H:m:s", 0, u"0:7:9"},
        {kAfternoon, u"h:mm", TIME_FORCE24HOURFORMAT, u"14:23"},
        {kAfternoon, u"HH:mm:ss", TIME_NOSECONDS, u"14:23"},
        {kAfternoon, u"HH 'h' mm", 0, u"14 h 23"},
        {kAfternoon, nullptr, TIME_FORCE24HOURFORMAT, u"14:23:05"},
        {kMidnight, nullptr, TIME_FORCE24HOURFORMAT, u"00:07:09"},
        {kAfternoon, nullptr, 0, u"14:23:05"},
    };
    for (const auto& c : cases) EXPECT_EQ(Time(c.time, c.picture, c.flags), c.expected);
}

TEST(DateTimeFormat, OutputRulesCountTheTerminator) {
    WCHAR buffer[32];
    // Size 0 asks for the size.
    EXPECT_EQ(GetDateFormatEx(nullptr, 0, &kAfternoon, u"yyyy-MM-dd", nullptr, 0, nullptr), 11);
    EXPECT_EQ(GetTimeFormatEx(nullptr, 0, &kAfternoon, u"HHmmss", nullptr, 0), 7);
    // Exactly enough, and one short.
    EXPECT_EQ(GetDateFormatEx(nullptr, 0, &kAfternoon, u"yyyy-MM-dd", buffer, 11, nullptr), 11);
    EXPECT_EQ(std::u16string(buffer), u"2021-06-30");
    SetLastError(0);
    EXPECT_EQ(GetDateFormatEx(nullptr, 0, &kAfternoon, u"yyyy-MM-dd", buffer, 10, nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    SetLastError(0);
    EXPECT_EQ(GetTimeFormatEx(nullptr, 0, &kAfternoon, u"HHmmss", buffer, 6), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    // Broken arguments.
    SetLastError(0);
    EXPECT_EQ(GetTimeFormatEx(nullptr, 0, &kAfternoon, u"HH", nullptr, 8), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(DateTimeFormat, InvalidTimesAreRefused) {
    const std::vector<SYSTEMTIME> badDates = {
        {2021, 13, 0, 1, 0, 0, 0, 0}, {2021, 2, 0, 29, 0, 0, 0, 0}, {2021, 4, 0, 31, 0, 0, 0, 0},
        {2021, 6, 0, 0, 0, 0, 0, 0},  {1500, 1, 0, 1, 0, 0, 0, 0},
    };
    for (const auto& t : badDates) {
        SetLastError(0);
        EXPECT_EQ(Date(t, u"yyyy"), u"<failed>") << t.wYear << "-" << t.wMonth << "-" << t.wDay;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
    const std::vector<SYSTEMTIME> badTimes = {
        {2021, 6, 0, 30, 24, 0, 0, 0}, {2021, 6, 0, 30, 0, 60, 0, 0}, {2021, 6, 0, 30, 0, 0, 60, 0}};
    for (const auto& t : badTimes) EXPECT_EQ(Time(t, u"HH"), u"<failed>") << t.wHour << ":" << t.wMinute;
}

TEST(DateTimeFormat, NullTimeIsNow) {
    // Retried so that a change of day between the two readings cannot fail the test.
    for (int attempt = 0; attempt < 3; ++attempt) {
        SYSTEMTIME before;
        GetLocalTime(&before);
        WCHAR now[16];
        ASSERT_EQ(GetDateFormatEx(nullptr, 0, nullptr, u"yyyy-MM-dd", now, 16, nullptr), 11);
        SYSTEMTIME after;
        GetLocalTime(&after);
        if (before.wDay != after.wDay) continue;
        EXPECT_EQ(std::u16string(now), Date(after, u"yyyy-MM-dd"));
        EXPECT_GE(after.wYear, 2024);
        EXPECT_LT(after.wMilliseconds, 1000);
        return;
    }
    FAIL() << "the date kept changing";
}

TEST(CriticalSection, IsRecursiveAndExcludesOtherThreads) {
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    EnterCriticalSection(&section);
    EnterCriticalSection(&section);  // the same thread again: no deadlock

    std::atomic<bool> otherInside{false};
    std::thread other([&] {
        EnterCriticalSection(&section);
        otherInside = true;
        LeaveCriticalSection(&section);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(otherInside.load());
    LeaveCriticalSection(&section);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(otherInside.load());  // still held once
    LeaveCriticalSection(&section);
    other.join();
    EXPECT_TRUE(otherInside.load());

    DeleteCriticalSection(&section);
    EXPECT_EQ(section.impl, nullptr);
}

}  // namespace
