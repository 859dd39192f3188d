// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/map_layer.h"

namespace quillet::preview {

std::vector<SceneTile> tilesOfScene(const PreviewScene& scene, int minZoom, int maxZoom) {
    std::vector<SceneTile> tiles;
    if (!scene.mapFrame || !(scene.mapFrame->scale > 0)) {
        return tiles;
    }
    const SceneMapFrame& frame = *scene.mapFrame;
    const auto turnsX = [&frame](double x) { return (x - frame.offsetX) / frame.scale; };
    const auto turnsY = [&frame](double y) { return (y - frame.offsetY) / frame.scale; };
    const int zoom = map::zoomForScale(frame.scale, minZoom, maxZoom);
    for (const map::PlacedTile& tile : map::tilesCovering(
             turnsX(frame.area.x), turnsY(frame.area.y), turnsX(frame.area.x + frame.area.width),
             turnsY(frame.area.y + frame.area.height), zoom)) {
        tiles.push_back(
            {tile.id,
             {frame.offsetX + tile.left * frame.scale, frame.offsetY + tile.top * frame.scale,
              tile.size * frame.scale, tile.size * frame.scale}});
    }
    return tiles;
}

}  // namespace quillet::preview
