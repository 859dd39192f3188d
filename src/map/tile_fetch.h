// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One tile of an online map, through the cache: what to ask the server, what to draw
// and keep from its answer. The front ends send the requests (at most two at a time, and
// only for tiles in view); these rules are theirs in common.

#include <functional>
#include <optional>
#include <string>

#include "map/cache_rules.h"
#include "map/tile_cache.h"

namespace quillet::map {

inline constexpr int kMaxRequests = 2;  // tile requests in flight at any time

struct TileRequest {
    std::string url;
    std::string userAgent;
    std::string ifNoneMatch;      // the kept tile's ETag
    std::string ifModifiedSince;  // the kept tile's Last-Modified
};

struct TileResponse {
    int status = 0;  // 0: no answer (refused, timed out, unreachable)
    ResponseHeaders headers;
    std::string body;
};

// The request for a tile, conditional when a kept tile has validators.
TileRequest tileRequest(std::string url, const std::optional<CachedTile>& kept);

// What an answer leaves: the bytes to draw (the new ones, or the kept ones after a 304
// or a failure), and what to write to the cache.
struct TileOutcome {
    std::optional<std::string> bytes;
    bool storeBytes = false;          // a new tile: bytes and entry
    std::optional<CacheEntry> entry;  // to keep (with the bytes, or alone after a 304)
};

TileOutcome tileOutcome(const std::optional<CachedTile>& kept, const TileResponse& response,
                        UnixTime now);

// Writes what the outcome keeps to the tile's cache file: the new tile with its entry, or
// the entry alone. Nothing without a cache (an empty path) or without an entry.
void keepOutcome(const std::filesystem::path& path, const TileOutcome& outcome);

// Sends one request and waits for its answer.
using TileFetcher = std::function<TileResponse(const TileRequest&)>;

// The tile's bytes from the cache under `root` while fresh, else from the server
// through `fetch` (and into the cache); the kept bytes when the server fails; nothing
// when neither has them. For a caller that waits, as the command line does.
std::optional<std::string> loadTile(const std::filesystem::path& root,
                                    const std::string& urlTemplate, const TileId& tile,
                                    const TileFetcher& fetch, UnixTime now);

// The clock the cache goes by.
UnixTime unixNow();

}  // namespace quillet::map
