#pragma once
// Collects the debug log entries written while it lives, with the given levels enabled. The
// log goes to a private folder meanwhile, so test programs running side by side (which share
// the program folder's log) cannot delete or mix into it.

#include <string>
#include <string_view>

#include "tests/support/temp_dir.h"

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
    TempDir m_folder;
    int m_previousLevel;
};

}  // namespace zumbo::test
