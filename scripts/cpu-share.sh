#!/usr/bin/env bash
# The CPU share of ZumboCave.exe, windowed at 640 x 480, over 10 s of real time after 2 s of
# start-up. The program runs from a temporary program folder: alone (an empty scene), or with
# the text-XML data folder given as the argument, converted to its binary form.
#
#   xvfb-run -a -s "-screen 0 1280x1024x24" scripts/cpu-share.sh [DATA_FOLDER]
#
# BUILD names the build folder (default build); SECONDS_MEASURED the measured span (default 10).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD:-build}"
span="${SECONDS_MEASURED:-10}"
data="${1:-}"

folder="$(mktemp -d)"
trap 'rm -rf "$folder"' EXIT
cp "$build/bin/ZumboCave.exe" "$folder/"
if [ -n "$data" ]; then
    (cd "$data" && find . -type f) | while read -r file; do
        mkdir -p "$folder/$(dirname "$file")"
        case "$file" in
            *.xml) "$build/tools/zumbo-xml" to-lbm "$data/$file" "$folder/${file%.xml}.lbm" ;;
            *) cp "$data/$file" "$folder/$file" ;;
        esac
    done
fi
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Kervala Studio\\Zumbo ScreenSaver\\1.0]\n"FullScreen"=dword:00000000\n"Width"=dword:00000280\n"Height"=dword:000001e0\n' \
    > "$folder/registry.reg"

ZUMBO_REGISTRY="$folder/registry.reg" ZUMBO_DRIVE_C="$folder/drive_c" \
    "$folder/ZumboCave.exe" /normalinput > "$folder/output.txt" 2>&1 &
program=$!

# User plus system time of the program, in clock ticks.
ticks() { awk '{ print $14 + $15 }' "/proc/$program/stat"; }

sleep 2
start_ticks=$(ticks)
start_time=$(date +%s.%N)
sleep "$span"
end_ticks=$(ticks)
end_time=$(date +%s.%N)
kill "$program"
wait "$program" || true

awk -v used=$((end_ticks - start_ticks)) -v hz="$(getconf CLK_TCK)" -v from="$start_time" -v to="$end_time" \
    -v load="$(cut -d' ' -f1-3 /proc/loadavg)" \
    'BEGIN { printf "CPU share %.1f %% of one core over %.1f s (load average %s)\n", 100 * used / hz / (to - from), to - from, load }'
