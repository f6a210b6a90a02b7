#include "tests/support/headless_application.h"

#include <cstdlib>

#include "app/debug_log.h"
#include "engine/global_options.h"

namespace zumbo::test {

void PrepareHeadlessApplication(const TempDir& folder) {
    setenv("ZUMBO_HEADLESS", "1", 1);
    setenv("ZUMBO_REGISTRY", (folder.Path() / "registry.reg").c_str(), 1);
    CGlobalOptions::Instance().ResetToDefaults();
    CDebugLog::Instance().SetFolder(folder.WindowsPath());
}

}  // namespace zumbo::test
