#pragma once
// Collects the debug log entries written while it lives, with every level enabled.

#include <string>
#include <string_view>

namespace zumbo::test {

class LogCapture {
public:
    explicit LogCapture(int debugInfoLevel = 5);
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Everything logged since construction.
    std::string Text() const;
    int Count(std::string_view needle) const;

private:
    static std::string AllLogText();

    int m_previousLevel;
    std::size_t m_start;
};

}  // namespace zumbo::test
