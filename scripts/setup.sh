#!/usr/bin/env bash
# One-step set-up: "run" installs what is missing, builds and starts the screen saver;
# "test" installs what is missing, builds and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-run}

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${ZUMBO_CMAKE_ARGS:-}
cmake --build build

case "$mode" in
    run)
        exec build/bin/ZumboCave.exe
        ;;
    test)
        # Rendering tests need a display: use the running one or a virtual one.
        if [ -n "${DISPLAY:-}" ]; then
            ctest --test-dir build --output-on-failure -j2
        else
            xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build --output-on-failure -j2
        fi
        ;;
    *)
        echo "usage: scripts/setup.sh [run|test]" >&2
        exit 2
        ;;
esac
