#pragma once
// The thread's posted-message queue: FIFO, plus the quit flag that ends GetMessage once the
// posted messages are gone. Other threads may post.

#include <condition_variable>
#include <deque>
#include <mutex>

#include "platform/win32/window.h"

namespace win32 {

class MessageQueue {
public:
    void Post(const MSG& message);
    void PostQuit(int exitCode);
    // The oldest posted message, else WM_QUIT when a quit is pending; false when neither.
    bool Take(MSG* message, bool remove);
    bool HasPending(HWND window, UINT message) const;
    // Drops the messages of a window that is going away.
    void Forget(HWND window);
    // True when something waits before the timeout passes.
    bool WaitForPost(int timeoutMilliseconds);

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<MSG> m_messages;
    bool m_quitPending = false;
    int m_quitCode = 0;
};

}  // namespace win32
