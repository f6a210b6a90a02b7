#include "platform/win32/message_queue.h"

#include <algorithm>
#include <chrono>

namespace win32 {

void MessageQueue::Post(const MSG& message) {
    {
        std::lock_guard lock(m_mutex);
        m_messages.push_back(message);
    }
    m_posted.notify_all();
}

void MessageQueue::PostQuit(int exitCode) {
    {
        std::lock_guard lock(m_mutex);
        m_quitPending = true;
        m_quitCode = exitCode;
    }
    m_posted.notify_all();
}

bool MessageQueue::Take(MSG* message, bool remove) {
    std::lock_guard lock(m_mutex);
    if (!m_messages.empty()) {
        *message = m_messages.front();
        if (remove) {
            m_messages.pop_front();
        }
        return true;
    }
    if (m_quitPending) {
        *message = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(m_quitCode), 0};
        if (remove) {
            m_quitPending = false;
        }
        return true;
    }
    return false;
}

bool MessageQueue::HasPending(HWND window, UINT message) const {
    std::lock_guard lock(m_mutex);
    return std::any_of(m_messages.begin(), m_messages.end(),
                       [&](const MSG& m) { return m.hwnd == window && m.message == message; });
}

void MessageQueue::Forget(HWND window) {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_messages, [&](const MSG& m) { return m.hwnd == window; });
}

bool MessageQueue::WaitForPost(int timeoutMilliseconds) {
    std::unique_lock lock(m_mutex);
    return m_posted.wait_for(lock, std::chrono::milliseconds(timeoutMilliseconds),
                             [&] { return !m_messages.empty() || m_quitPending; });
}

}  // namespace win32
