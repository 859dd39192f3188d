#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that the Windows build and its tests under Wine need,
# when any is missing, and makes Debian's source packages reachable: the Windows build
# compiles SQLite from the distribution's own source (prepare_sqlite, windows-env.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    cmake make ccache
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    googletest libcli11-dev libxxhash-dev
    wine wine64 xvfb xauth xdotool imagemagick
    nsis zip
    dpkg-dev tcl sqlite3 python3
    gettext
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi

# The source packages of the suite the machine runs, for `apt-get source sqlite3`; not
# needed once SQLite is built in the build folder.
sources_added=0
if [ ! -f build/windows/sqlite/sqlite3.c ] &&
    ! grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
    echo "Adding the Debian source packages of $suite"
    printf '%s\n' "Types: deb-src" "URIs: http://deb.debian.org/debian" "Suites: $suite" \
        "Components: main" "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" |
        $sudo tee /etc/apt/sources.list.d/quillet-deb-src.sources >/dev/null
    sources_added=1
fi

if [ ${#missing[@]} -eq 0 ] && [ "$sources_added" = 0 ]; then
    exit 0
fi
$sudo apt-get update
if [ ${#missing[@]} -ne 0 ]; then
    echo "Installing: ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
