// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/tile_fetch.h"

#include <chrono>

#include "map/map_source.h"

namespace quillet::map {

TileRequest tileRequest(std::string url, const std::optional<CachedTile>& kept) {
    TileRequest request{
        .url = std::move(url), .userAgent = userAgent(), .ifNoneMatch = {}, .ifModifiedSince = {}};
    if (kept) {
        request.ifNoneMatch = kept->entry.etag;
        request.ifModifiedSince = kept->entry.lastModified;
    }
    return request;
}

TileOutcome tileOutcome(const std::optional<CachedTile>& kept, const TileResponse& response,
                        UnixTime now) {
    TileOutcome outcome;
    if (response.status == 200 && !response.body.empty()) {
        outcome.bytes = response.body;
        if (mayStore(response.headers)) {
            outcome.storeBytes = true;
            outcome.entry = entryOf(response.headers, now);
        }
        return outcome;
    }
    if (kept) {
        outcome.bytes = kept->bytes;
        if (response.status == 304) {
            outcome.entry = revalidated(kept->entry, response.headers, now);
        }
    }
    return outcome;
}

std::optional<std::string> loadTile(const std::filesystem::path& root,
                                    const std::string& urlTemplate, const TileId& tile,
                                    const TileFetcher& fetch, UnixTime now) {
    const std::filesystem::path path = tileCachePath(root, urlTemplate, tile);
    std::optional<CachedTile> kept;
    if (!root.empty()) {
        kept = readCachedTile(path);
    }
    if (stateOf(kept ? std::optional(kept->entry) : std::nullopt, now) == TileState::Fresh) {
        return kept->bytes;
    }
    const TileResponse response = fetch(tileRequest(tileUrl(urlTemplate, tile), kept));
    TileOutcome outcome = tileOutcome(kept, response, now);
    if (!root.empty()) {
        keepOutcome(path, outcome);
    }
    return std::move(outcome.bytes);
}

void keepOutcome(const std::filesystem::path& path, const TileOutcome& outcome) {
    if (path.empty() || !outcome.entry) {
        return;
    }
    if (outcome.storeBytes) {
        writeCachedTile(path, *outcome.bytes, *outcome.entry);
    } else {
        writeCacheEntry(path, *outcome.entry);
    }
}

UnixTime unixNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace quillet::map
