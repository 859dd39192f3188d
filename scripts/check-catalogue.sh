#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a catalogue does not translate every text marked in the sources, holds a
# fuzzy or untranslated entry, or holds an entry no source marks any more.
# The marked texts are those passed to translate(), translatePlural() (singular and
# plural) and QUILLET_TEXT(), in the .cpp and .h files of the folders, tests left out.
# Usage: check-catalogue.sh XGETTEXT MSGCMP MSGFMT MSGMERGE MSGATTRIB SOURCE PO FOLDER...
set -euo pipefail
xgettext=$1
msgcmp=$2
msgfmt=$3
msgmerge=$4
msgattrib=$5
source=$6
po=$7
shift 7

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$source"
find "$@" -name tests -prune -o \( -name '*.cpp' -o -name '*.h' \) -print | LC_ALL=C sort >"$work/files"
"$xgettext" --from-code=UTF-8 --language=C++ --keyword=translate --keyword=translatePlural:1,2 \
    --keyword=QUILLET_TEXT --package-name=Quillet --files-from="$work/files" \
    --output="$work/quillet.pot"

status=0
# Every marked text has a translation that is neither fuzzy nor empty.
"$msgcmp" "$po" "$work/quillet.pot" || status=1
# The catalogue compiles, its translations keep the formats of their texts, and none is
# fuzzy or untranslated.
statistics=$("$msgfmt" --check --statistics -o /dev/null "$po" 2>&1) || status=1
echo "$po: $statistics"
if grep -qE 'fuzzy|untranslated' <<<"$statistics"; then
    status=1
fi
# No entry is left over from a text the sources no longer mark.
"$msgmerge" --quiet --no-fuzzy-matching -o "$work/merged.po" "$po" "$work/quillet.pot"
obsolete=$("$msgattrib" --only-obsolete --no-wrap "$work/merged.po" | grep '^#~ msgid' || true)
if [ -n "$obsolete" ]; then
    echo "$po holds texts no source marks:"
    echo "$obsolete"
    status=1
fi
exit $status
