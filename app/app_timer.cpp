#include "app/app_timer.h"

#include "platform/win32/files.h"
#include "platform/win32/timer.h"

namespace {
// Ticks per second of the virtual clock: one fixed step is exactly ten ticks.
constexpr std::int64_t kFastClockFrequency = 600;
constexpr std::int64_t kFastClockStep = 10;

std::int64_t PerformanceCounter() {
    std::int64_t counter = 0;
    win32::QueryPerformanceCounter(&counter);
    return counter;
}

std::int64_t PerformanceFrequency() {
    std::int64_t frequency = 0;
    if (!win32::QueryPerformanceFrequency(&frequency) || frequency <= 0) {
        return 0;
    }
    return frequency;
}
}  // namespace

CAppTimer::CAppTimer() {
    m_fastClock = win32::GetEnvironmentVariable("ZUMBO_FAST_CLOCK") == "1";
    if (m_fastClock) {
        m_frequency = kFastClockFrequency;
        // Starts away from zero, which marks a running timer's stop time.
        m_fastCounter = kFastClockFrequency;
        m_counter = [this] { return m_fastCounter; };
    } else if (const std::int64_t frequency = PerformanceFrequency(); frequency > 0) {
        m_frequency = frequency;
        m_counter = PerformanceCounter;
    } else {
        m_frequency = 1000;
        m_counter = [] { return static_cast<std::int64_t>(win32::timeGetTime()); };
    }
}

CAppTimer::CAppTimer(CounterSource counter, std::int64_t frequency)
    : m_counter(std::move(counter)), m_frequency(frequency > 0 ? frequency : 1) {}

void CAppTimer::AdvanceFastClock() {
    if (m_fastClock) {
        m_fastCounter += kFastClockStep;
    }
}

std::int64_t CAppTimer::Now() const {
    // While stopped, time stands at the moment of stopping.
    return m_stopTime != 0 ? m_stopTime : m_counter();
}

double CAppTimer::Execute(Command command) {
    const double frequency = static_cast<double>(m_frequency);
    switch (command) {
        case Command::Reset: {
            const std::int64_t now = Now();
            m_baseTime = now;
            m_lastElapsedTime = now;
            m_stopTime = 0;
            m_stopped = false;
            return 0.0;
        }
        case Command::Start: {
            const std::int64_t now = m_counter();
            if (m_stopped) {
                m_baseTime += now - m_stopTime;
            }
            m_stopTime = 0;
            m_lastElapsedTime = now;
            m_stopped = false;
            return 0.0;
        }
        case Command::Stop:
            if (!m_stopped) {
                const std::int64_t now = m_counter();
                m_stopTime = now;
                m_lastElapsedTime = now;
                m_stopped = true;
            }
            return 0.0;
        case Command::Advance:
            m_stopTime += m_frequency / 10;
            return 0.0;
        case Command::GetAbsoluteTime:
            return static_cast<double>(m_counter()) / frequency;
        case Command::GetAppTime:
            return static_cast<double>(Now() - m_baseTime) / frequency;
        case Command::GetElapsedTime: {
            const std::int64_t now = Now();
            const double elapsed = static_cast<double>(now - m_lastElapsedTime) / frequency;
            m_lastElapsedTime = now;
            return elapsed;
        }
    }
    return 0.0;
}
