#pragma once
// Prepares a test for an application run in-process without a display.

#include "tests/support/temp_dir.h"

namespace zumbo::test {

// The recording back end, the registry file and the debug log in the folder, and the global
// options at their defaults.
void PrepareHeadlessApplication(const TempDir& folder);

}  // namespace zumbo::test
