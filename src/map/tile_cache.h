// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The tiles of online maps on disk: one file of bytes and one of what the cache knows of
// them per tile, under a folder per URL template.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "map/cache_rules.h"
#include "map/tile_grid.h"

namespace quillet::map {

// The user's tile cache: $XDG_CACHE_HOME/quillet/tiles (else ~/.cache/quillet/tiles) or
// %LOCALAPPDATA%\Quillet\tiles. Empty when the environment names no such place.
std::filesystem::path tileCacheRoot();

// Where the tile of the template is kept under the root (without its extension).
std::filesystem::path tileCachePath(const std::filesystem::path& root, std::string_view urlTemplate,
                                    const TileId& tile);

struct CachedTile {
    std::string bytes;
    CacheEntry entry;
};

// The tile kept there, or nothing when either of its files is missing or unreadable.
std::optional<CachedTile> readCachedTile(const std::filesystem::path& path);
// Keeps the tile; the folders are made as needed. False when it could not be written.
bool writeCachedTile(const std::filesystem::path& path, std::string_view bytes,
                     const CacheEntry& entry);
// Keeps a revalidated tile's new entry beside its bytes.
bool writeCacheEntry(const std::filesystem::path& path, const CacheEntry& entry);

}  // namespace quillet::map
