#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts quillet.exe under Wine and Xvfb in the sample device folder and checks that its
# window opens and stays up. With an argument FILE, it also saves a picture of the window
# as it shows inside a Wine desktop (which draws the caption and frame) as FILE; with a
# second one, PREVIEW, the preview of every track beside the window as PREVIEW. With
# QUILLET_PREVIEW_MAP set to a map setting ("url:http://127.0.0.1:PORT/{z}/{x}/{y}.png"
# of a loopback server), the preview draws that map.
# Needs the cross build of scripts/test-windows.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/windows-env.sh
screenshot=${1:-}
if [ -n "$screenshot" ]; then
    screenshot=$(realpath -m "$screenshot")
fi
preview=${2:-}
if [ -n "$preview" ]; then
    preview=$(realpath -m "$preview")
fi

# On drive C: of the Wine prefix, so that the status bar shows the short C:\GPS.
prepare_wine
sample="$WINEPREFIX/drive_c/GPS"
rm -rf "$sample"
wine "$windows_build/quillet-sample.exe" "$sample" >/dev/null
# As a person does it: the program beside the device files.
cp "$windows_build/win/quillet.exe" "$sample/"
if [ -n "${QUILLET_PREVIEW_MAP:-}" ]; then
    wine reg add 'HKCU\Software\Quillet' /v PreviewMap /t REG_SZ /d "$QUILLET_PREVIEW_MAP" /f \
        >/dev/null
else
    wine reg delete 'HKCU\Software\Quillet' /v PreviewMap /f >/dev/null 2>&1 || true
fi
# The window needs a Wine bound to the Xvfb display, not one still running without it.
wineserver -w

inner=$(
    cat <<'INNER'
set -euo pipefail
cd "$1"
screenshot=$2
preview=$3
wine quillet.exe &
pid=$!
window=""
for _ in $(seq 120); do
    window=$(xdotool search --name '^Quillet  1\.0$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.5
done
[ -n "$window" ] || { echo "no window titled \"Quillet  1.0\" appeared"; exit 1; }
sleep 2
kill -0 "$pid" || { echo "quillet.exe ended on its own"; exit 1; }
echo "quillet.exe shows its window"
wineserver -k || true
wait "$pid" 2>/dev/null || true
if [ -n "$screenshot" ]; then
    # The name filter in use: a click into the list, Ctrl+F and the text, then Tab back
    # to the list and Ctrl+A selects the rows it shows.
    wine explorer /desktop=Quillet,720x470 quillet.exe &
    sleep 15
    xdotool mousemove 360 300 click 1
    sleep 1
    xdotool key ctrl+f
    xdotool type --delay 100 IN
    sleep 1
    xdotool key Tab ctrl+a
    sleep 2
    import -window root -crop 720x470+0+0 +repage "$screenshot"
    echo "saved $screenshot"
    wineserver -k || true
fi
if [ -n "$preview" ]; then
    # The dialog (with its status bar) stands in the middle of this desktop, which puts
    # the Tracks tab and the first row where the clicks go; Shift+End selects every track
    # and Space previews.
    wine explorer /desktop=Quillet,1000x700 quillet.exe &
    sleep 15
    xdotool mousemove 301 230 click 1
    sleep 1
    xdotool mousemove 260 266 click 1
    sleep 1
    xdotool key shift+End
    sleep 1
    xdotool key space
    sleep 5
    # With a map, the whole desktop: the preview stands where the map's window leaves it.
    crop=820x530+0+0
    if [ "$4" = map ]; then
        crop=1000x540+0+0
    fi
    import -window root -crop "$crop" +repage "$preview"
    echo "saved $preview"
    wineserver -k || true
fi
INNER
)
xvfb-run -a -s "-screen 0 1024x768x24" bash -c "$inner" inner "$sample" "$screenshot" "$preview" \
    "${QUILLET_PREVIEW_MAP:+map}"
