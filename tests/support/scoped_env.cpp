#include "tests/support/scoped_env.h"

#include <cstdlib>

namespace zumbo::test {

namespace {
void Assign(const std::string& name, const char* value) {
    if (value) {
        ::setenv(name.c_str(), value, 1);
    } else {
        ::unsetenv(name.c_str());
    }
}
}  // namespace

ScopedEnvironmentVariable::ScopedEnvironmentVariable(std::string name, const char* value)
    : m_name(std::move(name)) {
    if (const char* old = std::getenv(m_name.c_str())) {
        m_oldValue = old;
    }
    Assign(m_name, value);
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() {
    Assign(m_name, m_oldValue ? m_oldValue->c_str() : nullptr);
}

}  // namespace zumbo::test
