#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Debian package of a built Release folder and checks what it holds, then has
# Debian's own checkers judge it: lintian the package, desktop-file-validate the desktop
# entry, appstreamcli the AppStream entry beside it.
# Usage: check-package.sh CPACK CPACK_CONFIG VERSION SOURCE
# The files are staged with `cmake --install --strip` and packed from there with the
# project's package settings: unlike a plain `cpack`, this never builds anything, so the
# check cannot rebuild the programs while other tests run them.
set -euo pipefail
cpack=$1
config=$2
version=$3
source=$4
build=$(dirname "$config")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$(dirname "$cpack")/cmake" --install "$build" --strip --prefix "$work/stage/usr" >"$work/install.log" 2>&1 || {
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
app=org.quillet.Quillet
for path in ./usr/bin/quillet ./usr/bin/quillet-cli ./usr/share/man/man1/quillet-cli.1.gz \
    ./usr/share/man/man1/quillet.1.gz \
    ./usr/share/applications/$app.desktop ./usr/share/metainfo/$app.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/quillet.svg \
    ./usr/share/icons/hicolor/48x48/apps/quillet.png \
    ./usr/share/doc/quillet/copyright ./usr/share/doc/quillet/changelog.gz \
    ./usr/share/lintian/overrides/quillet \
    ./usr/share/locale/ru/LC_MESSAGES/quillet.mo; do
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
# Qt's translations of the standard buttons the window's dialogs show.
if ! grep -q '^ Recommends:.*qt6-translations-l10n' <<<"$info"; then
    echo "Recommends does not name qt6-translations-l10n"
    status=1
fi

# The newest changelog entry is the version being packed.
logged=$(gzip -dc "$work/stage/usr/share/doc/quillet/changelog.gz" | dpkg-parsechangelog -l - -S Version)
if [ "$logged" != "$version" ]; then
    echo "the changelog's newest entry is $logged, the package is $version"
    status=1
fi

# The AppStream entry names its screenshots by their paths in the repository.
for shot in $(sed -n 's|.*<image>@[A-Z_]*@\([^<]*\)</image>.*|\1|p' "$source/gui/$app.metainfo.xml.in"); do
    if [ ! -f "$source/$shot" ]; then
        echo "the AppStream entry names a screenshot that is not there: $shot"
        status=1
    fi
done

desktop-file-validate "$work/stage/usr/share/applications/$app.desktop" || status=1
# validate-tree also checks that the AppStream entry and the desktop entry agree.
appstreamcli validate-tree --no-net "$work/stage" || status=1
# Every warning is mended or overridden, with the reason, in packaging/lintian-overrides.
lintian --fail-on error,warning "$deb" || status=1

[ $status -eq 0 ] && echo "quillet_${version}: $(grep -c . <<<"$contents") entries; $depends"
exit $status
