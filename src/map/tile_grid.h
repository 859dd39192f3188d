// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The grid of square map tiles over Web Mercator that tile servers share: at zoom z the
// world is 2^z by 2^z tiles, column 0 at the 180th meridian west, row 0 at the north
// edge of the Mercator range. Places are given in Mercator turns as the preview draws
// them: x is the longitude over 360 (east of 180 may go past 0.5), y the Mercator
// ordinate growing to the south, -0.5 at the north edge and 0.5 at the south edge.

#include <cstdint>
#include <vector>

namespace quillet::map {

inline constexpr int kTilePixels = 256;
inline constexpr int kMaxZoom = 19;

struct TileId {
    int zoom = 0;
    std::int64_t x = 0;  // the column, 0 to 2^zoom - 1
    std::int64_t y = 0;  // the row from the north, 0 to 2^zoom - 1
    friend bool operator==(const TileId&, const TileId&) = default;
};

// A tile in its place: its identity and where it is drawn, in turns. West of the
// 180th meridian or east of it again, the same tile is drawn one turn further.
struct PlacedTile {
    TileId id;
    double left = 0;
    double top = 0;
    double size = 0;  // in turns: 1 / 2^zoom
};

// The zoom whose tiles, drawn at `unitsPerTurn` picture units to the turn, come
// nearest their own pixel size, within [minZoom, maxZoom].
int zoomForScale(double unitsPerTurn, int minZoom = 0, int maxZoom = kMaxZoom);

// The tiles that cover the view (left, top to right, bottom in turns) at the zoom,
// row by row from the north-west. Rows beyond the Mercator range do not exist and are
// left out; columns wrap around the world. Nothing when the view is empty or wider
// than `limit` tiles in all.
std::vector<PlacedTile> tilesCovering(double left, double top, double right, double bottom,
                                      int zoom, std::size_t limit = 256);

// The row of a tile in the other numbering: TMS counts rows from the south.
std::int64_t flipRow(std::int64_t row, int zoom);

}  // namespace quillet::map
