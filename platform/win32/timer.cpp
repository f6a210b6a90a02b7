#include "platform/win32/timer.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace win32 {

namespace {
std::chrono::nanoseconds SinceSteadyEpoch() {
    return std::chrono::steady_clock::now().time_since_epoch();
}
}  // namespace

bool QueryPerformanceFrequency(std::int64_t* frequency) {
    if (!frequency) {
        return false;
    }
    *frequency = std::nano::den;
    return true;
}

bool QueryPerformanceCounter(std::int64_t* counter) {
    if (!counter) {
        return false;
    }
    *counter = std::chrono::duration_cast<std::chrono::nanoseconds>(SinceSteadyEpoch()).count();
    return true;
}

DWORD timeGetTime() {
    // Wraps after 49.7 days like the system's millisecond count.
    return static_cast<DWORD>(
        std::chrono::duration_cast<std::chrono::milliseconds>(SinceSteadyEpoch()).count());
}

void Sleep(DWORD milliseconds) {
    if (milliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void GetLocalTime(SYSTEMTIME* time) {
    if (!time) {
        return;
    }
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    std::tm local{};
    ::localtime_r(&now.tv_sec, &local);
    time->wYear = static_cast<WORD>(local.tm_year + 1900);
    time->wMonth = static_cast<WORD>(local.tm_mon + 1);
    time->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    time->wDay = static_cast<WORD>(local.tm_mday);
    time->wHour = static_cast<WORD>(local.tm_hour);
    time->wMinute = static_cast<WORD>(local.tm_min);
    time->wSecond = static_cast<WORD>(local.tm_sec);
    time->wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
}

}  // namespace win32
