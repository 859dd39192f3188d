// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "map/map_source.h"
#include "preview/preview_scene.h"
#include "preview/svg_writer.h"

namespace quillet::cli {

// The tiles of the source under the scene, one request at a time through the tile
// cache for an online source, and the map's credit. Tiles that cannot be had are left
// out; nothing at all when an MBTiles file cannot be read (`readable` says so).
struct MapUnderPreview {
    std::vector<preview::SvgTile> tiles;
    std::string credit;
    bool readable = true;
};

MapUnderPreview mapUnderPreview(const preview::PreviewScene& scene, const map::MapSource& source);

}  // namespace quillet::cli
