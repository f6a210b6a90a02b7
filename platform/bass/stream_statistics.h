#pragma once
// Beyond BASS's own interface: how much CPU time a stream's feeding thread has used, for the
// audio benchmark.

#include <chrono>

#include "platform/bass/bass.h"

namespace bass {

// Zero for unknown handles and silent streams.
std::chrono::nanoseconds StreamFeedCpuTime(HSTREAM stream);

}  // namespace bass
