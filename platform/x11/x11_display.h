#pragma once
// For the X11 helpers only: a display connection that closes itself, and protection from
// Xlib's default error handler, which would end the program on a bad window id.

#include <X11/Xlib.h>

namespace x11 {

class DisplayConnection {
public:
    DisplayConnection();
    ~DisplayConnection();
    DisplayConnection(const DisplayConnection&) = delete;
    DisplayConnection& operator=(const DisplayConnection&) = delete;

    Display* Get() const { return m_display; }
    explicit operator bool() const { return m_display != nullptr; }

private:
    Display* m_display = nullptr;
};

// Errors are counted instead of ending the program while the object lives.
class TrappedErrors {
public:
    explicit TrappedErrors(Display* display);
    ~TrappedErrors();
    TrappedErrors(const TrappedErrors&) = delete;
    TrappedErrors& operator=(const TrappedErrors&) = delete;

    // Waits for the server's answers to what was sent, then tells whether any failed.
    bool Failed();

private:
    Display* m_display;
    int (*m_previous)(Display*, XErrorEvent*);
};

}  // namespace x11
