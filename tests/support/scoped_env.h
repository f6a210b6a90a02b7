#pragma once
// Sets an environment variable for the lifetime of the object and restores the old value
// (or its absence) afterwards, so tests can point the platform at temporary folders.

#include <optional>
#include <string>

namespace zumbo::test {

class ScopedEnvironmentVariable {
public:
    // A null value unsets the variable.
    ScopedEnvironmentVariable(std::string name, const char* value);
    ScopedEnvironmentVariable(std::string name, const std::string& value)
        : ScopedEnvironmentVariable(std::move(name), value.c_str()) {}
    ~ScopedEnvironmentVariable();
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_oldValue;
};

}  // namespace zumbo::test
