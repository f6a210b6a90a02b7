#pragma once
// Clocks: the performance counter, the millisecond system time and local wall-clock time.

#include <cstdint>

#include "platform/win32/types.h"

namespace win32 {

bool QueryPerformanceFrequency(std::int64_t* frequency);
bool QueryPerformanceCounter(std::int64_t* counter);
DWORD timeGetTime();
void Sleep(DWORD milliseconds);
void GetLocalTime(SYSTEMTIME* time);

}  // namespace win32
