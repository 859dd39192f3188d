#!/usr/bin/env bash
# Makes the Debian package of a built Release folder and checks what it holds.
# Usage: check-package.sh CPACK CPACK_CONFIG VERSION
# The files are staged with `cmake --install` and packed from there with the project's
# package settings: unlike a plain `cpack`, this never builds anything, so the check
# cannot rebuild the programs while other tests run them.
set -euo pipefail
cpack=$1
config=$2
version=$3
build=$(dirname "$config")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$(dirname "$cpack")/cmake" --install "$build" --prefix "$work/stage/usr" >"$work/install.log" 2>&1 || {
    cat "$work/install.log"
    exit 1
}
"$cpack" -G DEB --config "$config" -B "$work" -D CPACK_INSTALL_CMAKE_PROJECTS= \
    -D "CPACK_INSTALLED_DIRECTORIES=$work/stage;." >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log"
    exit 1
}
deb="$work/quillet_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "no $deb"; ls "$work"; exit 1; }

contents=$(dpkg-deb -c "$deb")
info=$(dpkg-deb -I "$deb")
status=0
for path in ./usr/bin/quillet ./usr/bin/quillet-cli ./usr/share/man/man1/quillet-cli.1 \
    ./usr/share/applications/quillet.desktop \
    ./usr/share/icons/hicolor/scalable/apps/quillet.svg \
    ./usr/share/icons/hicolor/48x48/apps/quillet.png; do
    if ! grep -q " $path\$" <<<"$contents"; then
        echo "missing from the package: $path"
        status=1
    fi
done
depends=$(grep '^ Depends:' <<<"$info" || true)
for package in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins libdate-tz3 tzdata; do
    if ! grep -q "$package" <<<"$depends"; then
        echo "Depends does not name $package: $depends"
        status=1
    fi
done
[ $status -eq 0 ] && echo "quillet_${version}: $(grep -c . <<<"$contents") entries; $depends"
exit $status
