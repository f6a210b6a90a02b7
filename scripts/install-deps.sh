#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need (only the missing ones).
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config ccache clang libclang-rt-14-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libsdl2-dev libgl-dev libgl1-mesa-dri libopenal-dev libsndfile1-dev
    libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev
    libgtk-3-dev libx11-dev libstb-dev zlib1g-dev libpugixml-dev
    libfreetype-dev fonts-dejavu-core
    xvfb xauth xdotool
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
