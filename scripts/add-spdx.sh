#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Puts the line "SPDX-License-Identifier: GPL-3.0-or-later", in the file's own comment
# style, at the top of every tracked source file that does not carry it yet (below a
# "#!" line). With --check it changes nothing and fails, naming each file, when a
# source file lacks the line.
# Usage: add-spdx.sh [--check] [REPOSITORY]
set -euo pipefail
check=0
if [ "${1:-}" = "--check" ]; then
    check=1
    shift
fi
cd "${1:-$(dirname "$0")/..}"

identifier="SPDX-License-Identifier: GPL-3.0-or-later"

# The comment that starts a line of the file, or nothing for a file that is not source
# (data, documents, images, the licence itself).
comment_of() {
    case "$(basename "$1")" in
    *.cpp | *.cc | *.c | *.h | *.hpp | *.rc | *.rc.in) echo "//" ;;
    *.sh | *.cmake | CMakeLists.txt | *.py) echo "#" ;;
    *.nsi) echo ";" ;;
    *.*) ;;
    *) if head -n 1 "$1" | grep -q '^#!'; then echo "#"; fi ;;
    esac
}

# A file carries the line when one of its first lines is a comment that names its
# licence so (a file under another licence keeps its own).
carries() {
    head -n 5 "$1" | grep -qE '^(//|#|;) SPDX-License-Identifier: '
}

missing=0
while IFS= read -r -d '' file; do
    [ -f "$file" ] && [ ! -L "$file" ] || continue
    comment=$(comment_of "$file")
    [ -n "$comment" ] || continue
    carries "$file" && continue
    if [ $check -eq 1 ]; then
        echo "no SPDX line: $file"
        missing=1
        continue
    fi
    line="$comment $identifier"
    if [ ! -s "$file" ]; then
        echo "$line" >"$file"
    elif head -n 1 "$file" | grep -q '^#!'; then
        sed -i "1a $line" "$file"
    else
        sed -i "1i $line" "$file"
    fi
done < <(git ls-files -z)
exit $missing
