// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The maps the preview can draw under the tracks, and the names they go by.

#include <optional>
#include <string>
#include <string_view>

#include "map/tile_grid.h"
#include "text/translation.h"

namespace quillet::map {

inline constexpr const char* kOsmTemplate = "https://tile.openstreetmap.org/{z}/{x}/{y}.png";
inline constexpr const char* kOsmAttribution = "\u00a9 OpenStreetMap contributors";
inline constexpr const char* kMapHint = QUILLET_TEXT("Choose a map under the tracks: right-click");
// The choices in the preview's menu, in this order.
inline constexpr const char* kNoMapText = QUILLET_TEXT("None");
inline constexpr const char* kOsmText = "OpenStreetMap";
inline constexpr const char* kCustomUrlText = QUILLET_TEXT("Custom URL\u2026");
inline constexpr const char* kMbTilesText = QUILLET_TEXT("MBTiles file\u2026");

enum class MapKind { None, OpenStreetMap, Url, MbTiles };

struct MapSource {
    MapKind kind = MapKind::None;
    std::string location;  // the URL template, or the MBTiles file's path (UTF-8)
    friend bool operator==(const MapSource&, const MapSource&) = default;
};

// The User-Agent every tile request sends: the program and its version.
std::string userAgent();

// Whether the text is a tile URL template: http or https, with {z}, {x} and {y}
// (or {-y}, the row counted from the south).
bool isUrlTemplate(std::string_view text);
// The template with the tile's numbers put in.
std::string tileUrl(std::string_view urlTemplate, const TileId& tile);
// The template a source's tiles are asked with; empty for None and MBTiles.
std::string urlTemplateOf(const MapSource& source);

// The command line's SOURCE: "osm", a URL template, or a file ending in ".mbtiles".
std::optional<MapSource> mapSourceOfArgument(std::string_view argument);

// The remembered choice as one text, and back (None for anything unknown).
std::string settingOf(const MapSource& source);
MapSource mapSourceOfSetting(std::string_view setting);

// What the picture credits: OSM's attribution for its tiles, else what a source
// declares (an MBTiles file's metadata), else nothing.
std::string attributionOf(const MapSource& source, std::string_view declared = {});

}  // namespace quillet::map
