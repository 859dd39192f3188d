# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the Windows scripts: the cross build's folder and a Wine of its own.
# Wine keeps its prefix inside the build folder, says nothing of its own, and offers no
# downloads of its .NET and HTML engines, which Quillet does not use.
windows_build="$PWD/build/windows/build"
# SQLite's amalgamation (sqlite3.c, sqlite3.h) for the MBTiles reader, built once from
# Debian's source package of the suite the machine runs.
sqlite_dir="$PWD/build/windows/sqlite"
export WINEPREFIX="$windows_build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Unpacks Debian's sqlite3 source (apt-get source, needs a deb-src entry: see
# install-windows-deps.sh) and generates the amalgamation with its own tools (tclsh);
# skipped when it is there already.
prepare_sqlite() {
    [ -f "$sqlite_dir/sqlite3.c" ] && [ -f "$sqlite_dir/sqlite3.h" ] && return 0
    local work="$PWD/build/windows/sqlite-source"
    rm -rf "$work"
    mkdir -p "$work/build"
    (cd "$work" && apt-get source --download-only sqlite3 >/dev/null &&
        dpkg-source -x --no-check ./sqlite3_*.dsc source >/dev/null)
    (cd "$work/build" && ../source/configure --disable-tcl >/dev/null && make sqlite3.c >/dev/null)
    mkdir -p "$sqlite_dir"
    cp "$work/build/sqlite3.c" "$work/build/sqlite3.h" "$sqlite_dir/"
    rm -rf "$work"
}

# Configures and builds the given targets of the cross build.
build_windows_targets() {
    local launcher=()
    if command -v ccache >/dev/null; then
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    fi
    prepare_sqlite
    cmake -S . -B "$windows_build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
        -DCMAKE_BUILD_TYPE=Release -DQUILLET_BUILD_GUI=OFF -DQUILLET_SQLITE_DIR="$sqlite_dir" \
        "${launcher[@]}" >/dev/null
    cmake --build "$windows_build" -j "$(nproc)" --target "$@"
}

# Creates the Wine prefix once, without a display.
prepare_wine() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        env -u DISPLAY wineboot -i >/dev/null 2>&1 || true
    fi
}
