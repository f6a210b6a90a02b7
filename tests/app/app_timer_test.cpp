#include "app/app_timer.h"

#include <gtest/gtest.h>

namespace {

struct ManualClock {
    std::int64_t now = 1000;
    CAppTimer MakeTimer() {
        return CAppTimer([this] { return now; }, 1000);
    }
};

TEST(AppTimerTest, ElapsedTimeMeasuresSincePreviousCall) {
    ManualClock clock;
    CAppTimer timer = clock.MakeTimer();
    timer.Execute(CAppTimer::Command::Start);
    clock.now += 250;
    EXPECT_DOUBLE_EQ(timer.Execute(CAppTimer::Command::GetElapsedTime), 0.25);
    clock.now += 10;
    EXPECT_DOUBLE_EQ(timer.Execute(CAppTimer::Command::GetElapsedTime), 0.01);
    EXPECT_DOUBLE_EQ(timer.Execute(CAppTimer::Command::GetElapsedTime), 0.0);
}

TEST(AppTimerTest, StoppedTimerReportsNoElapsedTimeAndAppTimeExcludesThePause) {
    ManualClock clock;
    CAppTimer timer = clock.MakeTimer();
    timer.Execute(CAppTimer::Command::Start);
    clock.now += 500;
    timer.Execute(CAppTimer::Command::Stop);
    EXPECT_TRUE(timer.IsStopped());
    clock.now += 2000;
    EXPECT_DOUBLE_EQ(timer.Execute(CAppTimer::Command::GetElapsedTime), 0.0);
    EXPECT_DOUBLE_EQ(timer.Execute(CAppTimer::Command::GetAppTime), 0.5);
    timer.Execute(CAppTimer::Command::Start);
    clock.now += 100;
    EXPECT_DOUBLE_EQ(timer.Execute(CAppTimer::Command::GetAppTime), 0.6);
    EXPECT_DOUBLE_EQ(timer.Execute(CAppTimer::Command::GetElapsedTime), 0.1);
}

TEST(AppTimerTest, AdvanceMovesAStoppedTimerByATenthOfASecond) {
    ManualClock clock;
    CAppTimer timer = clock.MakeTimer();
    timer.Execute(CAppTimer::Command::Start);
    timer.Execute(CAppTimer::Command::Stop);
    timer.Execute(CAppTimer::Command::Advance);
    EXPECT_DOUBLE_EQ(timer.Execute(CAppTimer::Command::GetAppTime), 0.1);
}

TEST(AppTimerTest, ResetRestartsApplicationTime) {
    ManualClock clock;
    CAppTimer timer = clock.MakeTimer();
    timer.Execute(CAppTimer::Command::Start);
    clock.now += 3000;
    timer.Execute(CAppTimer::Command::Reset);
    clock.now += 20;
    EXPECT_DOUBLE_EQ(timer.Execute(CAppTimer::Command::GetAppTime), 0.02);
    EXPECT_DOUBLE_EQ(timer.Execute(CAppTimer::Command::GetAbsoluteTime), 4.02);
}

TEST(AppTimerTest, FastClockMovesOneFixedStepPerAdvance) {
    setenv("ZUMBO_FAST_CLOCK", "1", 1);
    CAppTimer timer;
    unsetenv("ZUMBO_FAST_CLOCK");
    ASSERT_TRUE(timer.IsFastClock());
    timer.Execute(CAppTimer::Command::Start);
    EXPECT_DOUBLE_EQ(timer.Execute(CAppTimer::Command::GetElapsedTime), 0.0);
    timer.AdvanceFastClock();
    EXPECT_DOUBLE_EQ(timer.Execute(CAppTimer::Command::GetElapsedTime), CAppTimer::kFixedStep);
    timer.AdvanceFastClock();
    timer.AdvanceFastClock();
    EXPECT_DOUBLE_EQ(timer.Execute(CAppTimer::Command::GetElapsedTime), 2 * CAppTimer::kFixedStep);
}

}  // namespace
