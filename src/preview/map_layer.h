// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The map tiles under a scene: which ones, and where each is drawn.

#include <vector>

#include "map/tile_grid.h"
#include "preview/preview_scene.h"

namespace quillet::preview {

struct SceneTile {
    map::TileId id;
    SceneRect at;  // in scene units; neighbours share their edges
};

// The tiles at the zoom that matches the scene's scale (within the source's zooms)
// covering its map area, row by row from the north-west; none without a map frame.
std::vector<SceneTile> tilesOfScene(const PreviewScene& scene, int minZoom = 0,
                                    int maxZoom = map::kMaxZoom);

}  // namespace quillet::preview
