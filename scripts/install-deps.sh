#!/usr/bin/env bash
# Installs the Debian packages Quillet needs to build, test and run, when any is missing.
set -euo pipefail

packages=(
    cmake g++ make pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    libcli11-dev qt6-base-dev libxxhash-dev
    libsqlite3-dev libcurl4-openssl-dev python3
    libhowardhinnant-date-dev tzdata
    libxml2-utils libxml2-dev gpsbabel xvfb xauth
    clang-14 libclang-rt-14-dev
    dpkg-dev lintian appstream desktop-file-utils
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
