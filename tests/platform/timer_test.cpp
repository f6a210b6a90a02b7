#include "platform/win32/timer.h"

#include <gtest/gtest.h>

#include <ctime>

#include "tests/support/scoped_env.h"

namespace {

using zumbo::test::ScopedEnvironmentVariable;

TEST(Timer, PerformanceCounterCountsNanosecondsForward) {
    std::int64_t frequency = 0;
    ASSERT_TRUE(win32::QueryPerformanceFrequency(&frequency));
    EXPECT_EQ(frequency, 1000000000);
    std::int64_t before = 0;
    std::int64_t after = 0;
    ASSERT_TRUE(win32::QueryPerformanceCounter(&before));
    win32::Sleep(5);
    ASSERT_TRUE(win32::QueryPerformanceCounter(&after));
    EXPECT_GE(after - before, 5 * frequency / 1000);  // a sleep never ends early
    EXPECT_FALSE(win32::QueryPerformanceCounter(nullptr));
}

TEST(Timer, LocalTimeFollowsTheTimeZone) {
    std::time_t before = 0;
    std::time_t after = 0;
    SYSTEMTIME now{};
    {
        ScopedEnvironmentVariable zone("TZ", "UTC-3");  // three hours east of UTC
        ::tzset();
        before = std::time(nullptr);
        win32::GetLocalTime(&now);
        after = std::time(nullptr);
    }
    ::tzset();

    std::tm fields{};
    fields.tm_year = now.wYear - 1900;
    fields.tm_mon = now.wMonth - 1;
    fields.tm_mday = now.wDay;
    fields.tm_hour = now.wHour;
    fields.tm_min = now.wMinute;
    fields.tm_sec = now.wSecond;
    const std::time_t shown = ::timegm(&fields) - 3 * 3600;
    EXPECT_GE(shown, before);
    EXPECT_LE(shown, after);
    EXPECT_EQ(now.wDayOfWeek, fields.tm_wday);
    EXPECT_LT(now.wMilliseconds, 1000);
}

}  // namespace
