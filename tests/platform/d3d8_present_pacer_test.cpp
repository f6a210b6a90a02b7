// The refresh deadlines that presentation waits for, on hand-made clock readings.

#include "platform/d3d8/present_pacer.h"

#include <gtest/gtest.h>

namespace {

using d3d8::PresentPacer;
using std::chrono::microseconds;

PresentPacer::Clock::time_point At(microseconds offset) {
    return PresentPacer::Clock::time_point(offset);
}

TEST(PresentPacerTest, PresentsFollowEachOtherAtTheRefreshPeriod) {
    PresentPacer pacer(50, true);  // 20 ms
    EXPECT_EQ(pacer.WaitAfterPresent(At(microseconds(1000000))), PresentPacer::Clock::duration::zero());
    // Done 5 ms later: wait 15 ms for the first deadline, at 1.020 s.
    EXPECT_EQ(pacer.WaitAfterPresent(At(microseconds(1005000))), microseconds(15000));
    // A frame that ends 3 ms after its deadline (1.040 s) waits for nothing, and the next
    // deadline stays on the schedule (1.060 s).
    EXPECT_EQ(pacer.WaitAfterPresent(At(microseconds(1043000))), PresentPacer::Clock::duration::zero());
    EXPECT_EQ(pacer.WaitAfterPresent(At(microseconds(1050000))), microseconds(10000));
}

TEST(PresentPacerTest, AFrameMoreThanAPeriodLateStartsTheScheduleAfresh) {
    PresentPacer pacer(50, true);
    pacer.WaitAfterPresent(At(microseconds(0)));
    // The deadline was 20 ms; 45 ms is more than a period past it.
    EXPECT_EQ(pacer.WaitAfterPresent(At(microseconds(45000))), PresentPacer::Clock::duration::zero());
    EXPECT_EQ(pacer.WaitAfterPresent(At(microseconds(46000))), microseconds(19000));
}

TEST(PresentPacerTest, UnknownRatesMeanSixtyHertzAndUnpacedNeverWaits) {
    EXPECT_EQ(PresentPacer(0, true).Period(), PresentPacer(60, true).Period());
    EXPECT_NEAR(std::chrono::duration<double>(PresentPacer(-1, true).Period()).count(), 1.0 / 60, 1e-9);
    PresentPacer unpaced(60, false);
    unpaced.WaitAfterPresent(At(microseconds(0)));
    EXPECT_EQ(unpaced.WaitAfterPresent(At(microseconds(1))), PresentPacer::Clock::duration::zero());
}

}  // namespace
