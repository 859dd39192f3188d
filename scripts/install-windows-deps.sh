#!/usr/bin/env bash
# Installs the Debian packages that the Windows build and its tests under Wine need,
# when any is missing.
set -euo pipefail

packages=(
    cmake make ccache
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    googletest libcli11-dev libxxhash-dev
    wine wine64 xvfb xauth xdotool imagemagick
    nsis zip
    gettext
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
