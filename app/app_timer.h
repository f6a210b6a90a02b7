#pragma once
// The application clock: absolute time, application time without stopped periods, and the
// time elapsed since the previous elapsed-time call.
//
// With ZUMBO_FAST_CLOCK=1 the clock is virtual: it moves only when the frame loop calls
// AdvanceFastClock once per idle turn, by exactly one fixed step, which makes runs
// deterministic and as fast as the machine allows.

#include <cstdint>
#include <functional>

class CAppTimer {
public:
    enum class Command { Reset, Start, Stop, Advance, GetAbsoluteTime, GetAppTime, GetElapsedTime };

    // A counter source and its ticks per second; tests pass a manual clock.
    using CounterSource = std::function<std::int64_t()>;

    CAppTimer();
    CAppTimer(CounterSource counter, std::int64_t frequency);

    // Carries out one command; the time commands answer in seconds, the others 0.
    double Execute(Command command);

    bool IsStopped() const { return m_stopped; }
    bool IsFastClock() const { return m_fastClock; }
    void AdvanceFastClock();

    static constexpr double kFixedStep = 1.0 / 60.0;

private:
    std::int64_t Now() const;

    CounterSource m_counter;
    std::int64_t m_frequency = 1;
    bool m_fastClock = false;
    std::int64_t m_fastCounter = 0;
    bool m_stopped = true;
    std::int64_t m_baseTime = 0;
    std::int64_t m_lastElapsedTime = 0;
    std::int64_t m_stopTime = 0;
};
