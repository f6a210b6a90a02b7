#pragma once
// A fresh engine for each test: new managers, an empty message queue, all log levels on, and
// the log entries written during the test at hand.

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Deletes the engine managers; the next use creates fresh ones.
void DestroyEngineManagers();

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The messages of the log entries written since SetUp (or the last ClearLog), in order.
    std::vector<std::string> LogMessages() const;
    bool LogContains(const std::string& message) const;
    void ClearLog();

private:
    int m_logMark = 0;
};
