#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-builds quillet.exe and quillet-cli.exe for 64-bit Windows and packs them into
# build/windows/: Quillet-<version>-win64.zip and the installer
# Quillet-<version>-win64-setup.exe, both with the licence and the third-party notices.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-windows-deps.sh
. scripts/windows-env.sh

build_windows_targets quillet-cli quillet-window

version=$(sed -n 's/^project(Quillet VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
out="$PWD/build/windows"
stage="$out/Quillet-$version-win64"
rm -rf "$stage"
mkdir -p "$stage"
x86_64-w64-mingw32-strip -o "$stage/quillet.exe" "$windows_build/win/quillet.exe"
x86_64-w64-mingw32-strip -o "$stage/quillet-cli.exe" "$windows_build/cli/quillet-cli.exe"
# The texts with Windows line ends: the README, the licence, and the notices of what the
# programs have compiled into them.
sed 's/$/\r/' README.md >"$stage/README.txt"
sed 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
sed 's/$/\r/' win/THIRD-PARTY-NOTICES.txt >"$stage/THIRD-PARTY-NOTICES.txt"

# Each program must run on its own: it may load the system's DLLs and nothing else.
for exe in "$stage"/*.exe; do
    others=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' |
        grep -viE '^(kernel32|user32|gdi32|comctl32|comdlg32|advapi32|shell32|ole32|msvcrt|ws2_32|winhttp|api-ms-win-.*)\.dll$' || true)
    if [ -n "$others" ]; then
        echo "$(basename "$exe") needs DLLs that Windows does not have: $others" >&2
        exit 1
    fi
done

zip_file="$out/Quillet-$version-win64.zip"
rm -f "$zip_file"
(cd "$stage" && zip -q -X -r "$zip_file" .)
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DICON="$PWD/win/quillet.ico" \
    -DSTAGE="$stage" \
    -DOUTFILE="$out/Quillet-$version-win64-setup.exe" win/installer.nsi
ls -l "$zip_file" "$out/Quillet-$version-win64-setup.exe"
