#!/usr/bin/env bash
# Makes the Debian package of a Release build folder and checks what it holds.
# Usage: check-package.sh CPACK CPACK_CONFIG VERSION
set -euo pipefail
cpack=$1
config=$2
version=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$cpack" -G DEB --config "$config" -B "$work" >"$work/cpack.log" 2>&1 || {
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
for package in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins; do
    if ! grep -q "$package" <<<"$depends"; then
        echo "Depends does not name $package: $depends"
        status=1
    fi
done
[ $status -eq 0 ] && echo "quillet_${version}: $(grep -c . <<<"$contents") entries; $depends"
exit $status
