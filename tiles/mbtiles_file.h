// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// An MBTiles file: a raster tile set in one SQLite database, read with SQLite itself.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "map/tile_grid.h"

struct sqlite3;
struct sqlite3_stmt;

namespace quillet::tiles {

class MbTilesFile {
public:
    // The file opened for reading, or nothing when it is no tile set SQLite can read.
    static std::unique_ptr<MbTilesFile> open(const std::filesystem::path& path);
    ~MbTilesFile();
    MbTilesFile(const MbTilesFile&) = delete;
    MbTilesFile& operator=(const MbTilesFile&) = delete;

    // The tile's PNG or JPEG bytes, rows as the grid counts them (from the north);
    // nothing when the set has no such tile.
    std::optional<std::string> tile(const map::TileId& id) const;

    int minZoom() const { return minZoom_; }
    int maxZoom() const { return maxZoom_; }
    // From the metadata: "attribution", and whether "scheme" says "xyz" (else TMS).
    const std::string& attribution() const { return attribution_; }
    bool xyz() const { return xyz_; }

private:
    MbTilesFile() = default;
    std::optional<std::string> metadata(const char* name) const;

    sqlite3* database_ = nullptr;
    sqlite3_stmt* tileQuery_ = nullptr;
    int minZoom_ = 0;
    int maxZoom_ = map::kMaxZoom;
    std::string attribution_;
    bool xyz_ = false;
};

}  // namespace quillet::tiles
