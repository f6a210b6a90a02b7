#pragma once
// System libraries keep some allocations for the life of the process (SDL's D-Bus link, the
// OpenGL driver's compiler state) and free them never. While a SystemAllocations object
// lives, the leak checker of the sanitizer build does not count what gets allocated, so that
// it reports only leaks of our own.

#if defined(__SANITIZE_ADDRESS__)
#define ZUMBO_LEAK_CHECKER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZUMBO_LEAK_CHECKER 1
#endif
#endif

#ifdef ZUMBO_LEAK_CHECKER
#include <sanitizer/lsan_interface.h>
#endif

class SystemAllocations {
public:
#ifdef ZUMBO_LEAK_CHECKER
    SystemAllocations() {
        __lsan_disable();
    }
    ~SystemAllocations() {
        __lsan_enable();
    }
#else
    // User-provided, so that a guard object is not reported as an unused variable.
    SystemAllocations() {}
#endif
    SystemAllocations(const SystemAllocations&) = delete;
    SystemAllocations& operator=(const SystemAllocations&) = delete;
};
