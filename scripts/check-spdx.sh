#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails, naming each file, when a tracked source file lacks its SPDX licence line.
# Usage: check-spdx.sh [REPOSITORY]
set -euo pipefail
exec "$(dirname "$0")/add-spdx.sh" --check "$@"
