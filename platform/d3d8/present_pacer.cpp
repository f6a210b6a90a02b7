#include "platform/d3d8/present_pacer.h"

namespace d3d8 {
namespace {

constexpr int kDefaultRefreshRateHz = 60;

}  // namespace

PresentPacer::PresentPacer(int refreshRateHz, bool paced)
    : m_period(std::chrono::duration_cast<Clock::duration>(
          std::chrono::duration<double>(1.0 / (refreshRateHz > 0 ? refreshRateHz : kDefaultRefreshRateHz)))),
      m_paced(paced) {}

PresentPacer::Clock::duration PresentPacer::WaitAfterPresent(Clock::time_point now) {
    if (!m_paced) {
        return Clock::duration::zero();
    }
    if (!m_started || now >= m_deadline + m_period) {
        m_started = true;
        m_deadline = now + m_period;
        return Clock::duration::zero();
    }
    const Clock::duration wait = now < m_deadline ? m_deadline - now : Clock::duration::zero();
    m_deadline += m_period;
    return wait;
}

}  // namespace d3d8
