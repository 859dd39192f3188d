// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/tile_grid.h"

#include <algorithm>
#include <cmath>

namespace quillet::map {

int zoomForScale(double unitsPerTurn, int minZoom, int maxZoom) {
    if (!(unitsPerTurn > 0) || !std::isfinite(unitsPerTurn)) {
        return minZoom;
    }
    const double zoom = std::round(std::log2(unitsPerTurn / kTilePixels));
    return static_cast<int>(std::clamp(zoom, double(minZoom), double(maxZoom)));
}

std::vector<PlacedTile> tilesCovering(double left, double top, double right, double bottom,
                                      int zoom, std::size_t limit) {
    std::vector<PlacedTile> tiles;
    if (!(right > left) || !(bottom > top) || zoom < 0 || zoom > kMaxZoom) {
        return tiles;
    }
    const std::int64_t count = std::int64_t{1} << zoom;
    const double n = static_cast<double>(count);
    // Column and row numbers before wrapping: from the 180th meridian west, the north edge.
    const double firstColumn = std::floor((left + 0.5) * n);
    const double lastColumn = std::ceil((right + 0.5) * n) - 1;
    const double firstRow = std::max(0.0, std::floor((top + 0.5) * n));
    const double lastRow = std::min(n - 1, std::ceil((bottom + 0.5) * n) - 1);
    if (lastRow < firstRow || lastColumn < firstColumn ||
        (lastColumn - firstColumn + 1) * (lastRow - firstRow + 1) > double(limit)) {
        return tiles;
    }
    for (double row = firstRow; row <= lastRow; ++row) {
        for (double column = firstColumn; column <= lastColumn; ++column) {
            const auto c = static_cast<std::int64_t>(column);
            const std::int64_t wrapped = ((c % count) + count) % count;
            tiles.push_back({{zoom, wrapped, static_cast<std::int64_t>(row)},
                             column / n - 0.5,
                             row / n - 0.5,
                             1 / n});
        }
    }
    return tiles;
}

std::int64_t flipRow(std::int64_t row, int zoom) {
    return (std::int64_t{1} << zoom) - 1 - row;
}

}  // namespace quillet::map
