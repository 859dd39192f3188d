// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One HTTP GET of a tile, waited for: libcurl on Linux, WinHTTP on Windows.

#include "map/tile_fetch.h"

namespace quillet::tiles {

// The answer, status 0 when there is none (refused, unreachable, or no answer within a
// few seconds). Redirects are followed, a few at most.
map::TileResponse httpGet(const map::TileRequest& request);

}  // namespace quillet::tiles
