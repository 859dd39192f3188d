// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "map/cache_rules.h"
#include "map/map_source.h"
#include "map/tile_grid.h"

namespace quillet::tiles {
class MbTilesFile;
}

namespace quillet::win {

// A decoded tile: 32-bit BGRA rows from the top, ready for StretchDIBits.
struct TileImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// The PNG or JPEG as pixels (WIC); nothing when it is neither.
std::optional<TileImage> decodeTile(const std::string& bytes);

// The tiles of the chosen map for the preview: from an MBTiles file, or from a tile
// server through the disk cache, at most two requests at a time and only for the tiles
// of the last picture painted. A tile is looked for on a thread of its own, in the disk
// cache and then (unless it is fresh there) on the server; its answer is posted to `window` as
// `arrivedMessage`, which is to call takeArrived(). A tile that is not there yet is simply missing
// from the picture.
class MapTiles {
public:
    MapTiles(HWND window, UINT arrivedMessage);
    ~MapTiles();
    MapTiles(const MapTiles&) = delete;
    MapTiles& operator=(const MapTiles&) = delete;

    // Sets the source; false (and None) when an MBTiles file cannot be read.
    bool setSource(const map::MapSource& source);
    const map::MapSource& source() const { return source_; }
    int minZoom() const;
    int maxZoom() const;
    // What the picture credits for the source (UTF-8).
    std::string attribution() const;

    // The tile now, or nothing. Online, every tile asked for this way that is not fresh
    // is requested (those of earlier pictures no longer are).
    const TileImage* tile(const map::TileId& id);
    // Starts a new picture: tiles asked for before and not started are dropped, and
    // those that failed may be asked for again.
    void beginPicture();
    // The answers that came in: kept, and the next requests sent. True when any brought
    // a tile to draw.
    bool takeArrived();

    // Tiles looked for so far (on disk, then on the server), and those that arrived
    // (for the tests).
    int requestsSent() const { return requestsSent_; }
    int tilesArrived() const { return tilesArrived_; }

private:
    struct Known {
        std::optional<TileImage> image;
        std::optional<map::CacheEntry> entry;  // online tiles
    };
    struct Answer {
        std::uint64_t key = 0;
        std::uint64_t generation = 0;  // of the source it was asked for
        std::optional<TileImage> image;
        std::optional<map::CacheEntry> entry;
    };
    // What the request threads share with the window; it outlives the window when a
    // request is still under way as it closes.
    struct Mailbox {
        std::mutex mutex;
        HWND window = nullptr;
        UINT message = 0;
        std::vector<Answer> answers;
    };
    static std::uint64_t keyOf(const map::TileId& id);
    void sendNext();

    map::MapSource source_;
    std::string urlTemplate_;
    std::filesystem::path cacheRoot_;
    std::unique_ptr<tiles::MbTilesFile> mbtiles_;
    std::uint64_t generation_ = 0;
    std::shared_ptr<Mailbox> mailbox_;
    std::map<std::uint64_t, Known> known_;
    std::deque<map::TileId> queue_;  // wanted by the last picture, not yet sent
    std::set<std::uint64_t> queued_;
    std::set<std::uint64_t> inFlight_;
    std::set<std::uint64_t> tried_;  // sent since the picture began: not again until the next
    int running_ = 0;                // requests under way, of this source or an earlier one
    int requestsSent_ = 0;
    int tilesArrived_ = 0;
};

}  // namespace quillet::win
