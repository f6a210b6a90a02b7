#include "tests/support/wave_output.h"

#include <stdlib.h>

#include <fstream>

namespace zumbo::test {

void WaveOutputEnvironment::SetUp() {
    const std::filesystem::path config = m_folder.Path() / "alsoft.conf";
    std::ofstream(config) << "drivers=wave\n[wave]\nfile=" << RecordingPath().string() << "\n";
    setenv("ALSOFT_CONF", config.c_str(), 1);
    unsetenv("ZUMBO_HEADLESS");
}

}  // namespace zumbo::test
