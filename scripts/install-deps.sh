#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
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
    gettext locales
    qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
)

# The locales the translation tests run under: Russian, and German for the numbers.
locales=(ru_RU.UTF-8 de_DE.UTF-8)

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi

generate_locales() {
    local wanted=()
    for l in "${locales[@]}"; do
        if ! locale -a 2>/dev/null | grep -qix "${l/UTF-8/utf8}"; then
            wanted+=("$l")
        fi
    done
    [ ${#wanted[@]} -eq 0 ] && return 0
    echo "Generating the locales: ${wanted[*]}"
    for l in "${wanted[@]}"; do
        $sudo localedef -i "${l%%.*}" -f UTF-8 "$l"
    done
}

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
generate_locales
