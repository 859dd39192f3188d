// SPDX-License-Identifier: GPL-3.0-or-later
#include "map_under_preview.h"

#include "device/path_text.h"
#include "http_fetch.h"
#include "map/tile_cache.h"
#include "map/tile_fetch.h"
#ifdef QUILLET_HAVE_MBTILES
#include "mbtiles_file.h"
#endif
#include "preview/map_layer.h"

namespace quillet::cli {

MapUnderPreview mapUnderPreview(const preview::PreviewScene& scene, const map::MapSource& source) {
    MapUnderPreview result;
    if (source.kind == map::MapKind::MbTiles) {
#ifndef QUILLET_HAVE_MBTILES
        result.readable = false;  // a build without SQLite
        return result;
#else
        const auto file = tiles::MbTilesFile::open(pathFromUtf8(source.location));
        if (!file) {
            result.readable = false;
            return result;
        }
        for (const preview::SceneTile& tile :
             preview::tilesOfScene(scene, file->minZoom(), file->maxZoom())) {
            if (auto bytes = file->tile(tile.id)) {
                result.tiles.push_back({tile.at, std::move(*bytes)});
            }
        }
        result.credit = map::attributionOf(source, file->attribution());
        return result;
#endif
    }
    const std::string urlTemplate = map::urlTemplateOf(source);
    if (urlTemplate.empty()) {
        return result;
    }
    const auto root = map::tileCacheRoot();
    for (const preview::SceneTile& tile : preview::tilesOfScene(scene)) {
        if (auto bytes =
                map::loadTile(root, urlTemplate, tile.id, tiles::httpGet, map::unixNow())) {
            result.tiles.push_back({tile.at, std::move(*bytes)});
        }
    }
    result.credit = map::attributionOf(source);
    return result;
}

}  // namespace quillet::cli
