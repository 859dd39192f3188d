// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/map_source.h"

#include <algorithm>
#include <cctype>

#ifndef QUILLET_VERSION
#define QUILLET_VERSION "1.0"
#endif

namespace quillet::map {

namespace {

constexpr std::string_view kUrlSetting = "url:";
constexpr std::string_view kMbTilesSetting = "mbtiles:";

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           std::equal(suffix.begin(), suffix.end(), text.end() - suffix.size(), [](char a, char b) {
               return a == std::tolower(static_cast<unsigned char>(b));
           });
}

void replaceAll(std::string& text, std::string_view what, std::string_view with) {
    for (std::size_t at = text.find(what); at != std::string::npos;
         at = text.find(what, at + with.size())) {
        text.replace(at, what.size(), with);
    }
}

}  // namespace

std::string userAgent() {
    return "Quillet/" QUILLET_VERSION " (track preview map)";
}

bool isUrlTemplate(std::string_view text) {
    const bool web = startsWith(text, "https://") || startsWith(text, "http://");
    const auto has = [text](std::string_view part) { return text.find(part) != text.npos; };
    return web && has("{z}") && has("{x}") && (has("{y}") || has("{-y}"));
}

std::string tileUrl(std::string_view urlTemplate, const TileId& tile) {
    std::string url(urlTemplate);
    replaceAll(url, "{z}", std::to_string(tile.zoom));
    replaceAll(url, "{x}", std::to_string(tile.x));
    replaceAll(url, "{-y}", std::to_string(flipRow(tile.y, tile.zoom)));
    replaceAll(url, "{y}", std::to_string(tile.y));
    return url;
}

std::string urlTemplateOf(const MapSource& source) {
    switch (source.kind) {
        case MapKind::OpenStreetMap:
            return kOsmTemplate;
        case MapKind::Url:
            return source.location;
        default:
            return {};
    }
}

std::optional<MapSource> mapSourceOfArgument(std::string_view argument) {
    if (argument == "osm") {
        return MapSource{MapKind::OpenStreetMap, {}};
    }
    if (isUrlTemplate(argument)) {
        return MapSource{MapKind::Url, std::string(argument)};
    }
    if (endsWithIgnoringCase(argument, ".mbtiles")) {
        return MapSource{MapKind::MbTiles, std::string(argument)};
    }
    return std::nullopt;
}

std::string settingOf(const MapSource& source) {
    switch (source.kind) {
        case MapKind::OpenStreetMap:
            return "osm";
        case MapKind::Url:
            return std::string(kUrlSetting) + source.location;
        case MapKind::MbTiles:
            return std::string(kMbTilesSetting) + source.location;
        default:
            return "none";
    }
}

MapSource mapSourceOfSetting(std::string_view setting) {
    if (setting == "osm") {
        return {MapKind::OpenStreetMap, {}};
    }
    if (startsWith(setting, kUrlSetting) && isUrlTemplate(setting.substr(kUrlSetting.size()))) {
        return {MapKind::Url, std::string(setting.substr(kUrlSetting.size()))};
    }
    if (startsWith(setting, kMbTilesSetting) && setting.size() > kMbTilesSetting.size()) {
        return {MapKind::MbTiles, std::string(setting.substr(kMbTilesSetting.size()))};
    }
    return {};
}

std::string attributionOf(const MapSource& source, std::string_view declared) {
    if (source.kind == MapKind::OpenStreetMap ||
        urlTemplateOf(source).find("openstreetmap.org") != std::string::npos) {
        return kOsmAttribution;
    }
    return std::string(declared);
}

}  // namespace quillet::map
