#pragma once
// Keeps presentation at the display's refresh rate when the driver's vsync does not: after each
// present it names how long to wait for the next refresh deadline.

#include <chrono>

namespace d3d8 {

class PresentPacer {
public:
    using Clock = std::chrono::steady_clock;

    // A rate of 0 or less stands for 60 Hz; an unpaced pacer never asks for a wait.
    PresentPacer(int refreshRateHz, bool paced);

    // The wait after a present that ended at `now`. Deadlines follow each other at the refresh
    // period; a present later than a whole period behind starts the schedule afresh, so a slow
    // frame never causes a burst of unpaced ones.
    Clock::duration WaitAfterPresent(Clock::time_point now);
    Clock::duration Period() const { return m_period; }

private:
    Clock::duration m_period;
    bool m_paced;
    bool m_started = false;
    Clock::time_point m_deadline;
};

}  // namespace d3d8
