# Sourced by the Windows scripts: the cross build's folder and a Wine of its own.
# Wine keeps its prefix inside the build folder, says nothing of its own, and offers no
# downloads of its .NET and HTML engines, which Quillet does not use.
windows_build="$PWD/build/windows/build"
export WINEPREFIX="$windows_build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Configures and builds the given targets of the cross build.
build_windows_targets() {
    local launcher=()
    if command -v ccache >/dev/null; then
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    fi
    cmake -S . -B "$windows_build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
        -DCMAKE_BUILD_TYPE=Release -DQUILLET_BUILD_GUI=OFF "${launcher[@]}" >/dev/null
    cmake --build "$windows_build" -j "$(nproc)" --target "$@"
}

# Creates the Wine prefix once, without a display.
prepare_wine() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        env -u DISPLAY wineboot -i >/dev/null 2>&1 || true
    fi
}
