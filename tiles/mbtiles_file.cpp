// SPDX-License-Identifier: GPL-3.0-or-later
#include "mbtiles_file.h"

#include <sqlite3.h>

#include <algorithm>
#include <charconv>

namespace quillet::tiles {

namespace {

std::optional<int> zoomOf(const std::optional<std::string>& text) {
    int zoom = 0;
    if (!text ||
        std::from_chars(text->data(), text->data() + text->size(), zoom).ec != std::errc()) {
        return std::nullopt;
    }
    return std::clamp(zoom, 0, map::kMaxZoom);
}

}  // namespace

std::unique_ptr<MbTilesFile> MbTilesFile::open(const std::filesystem::path& path) {
    std::unique_ptr<MbTilesFile> file(new MbTilesFile());
    const std::u8string name = path.u8string();
    if (sqlite3_open_v2(reinterpret_cast<const char*>(name.c_str()), &file->database_,
                        SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(file->database_,
                           "SELECT tile_data FROM tiles WHERE zoom_level = ? AND tile_column = ? "
                           "AND tile_row = ?",
                           -1, &file->tileQuery_, nullptr) != SQLITE_OK) {
        return nullptr;
    }
    file->minZoom_ = zoomOf(file->metadata("minzoom")).value_or(0);
    file->maxZoom_ =
        std::max(file->minZoom_, zoomOf(file->metadata("maxzoom")).value_or(map::kMaxZoom));
    file->attribution_ = file->metadata("attribution").value_or("");
    file->xyz_ = file->metadata("scheme") == std::optional<std::string>("xyz");
    return file;
}

MbTilesFile::~MbTilesFile() {
    sqlite3_finalize(tileQuery_);
    sqlite3_close(database_);
}

std::optional<std::string> MbTilesFile::metadata(const char* name) const {
    sqlite3_stmt* query = nullptr;
    std::optional<std::string> value;
    if (sqlite3_prepare_v2(database_, "SELECT value FROM metadata WHERE name = ?", -1, &query,
                           nullptr) == SQLITE_OK &&
        sqlite3_bind_text(query, 1, name, -1, SQLITE_STATIC) == SQLITE_OK &&
        sqlite3_step(query) == SQLITE_ROW) {
        if (const auto* text = sqlite3_column_text(query, 0)) {
            value = std::string(reinterpret_cast<const char*>(text),
                                static_cast<std::size_t>(sqlite3_column_bytes(query, 0)));
        }
    }
    sqlite3_finalize(query);
    return value;
}

std::optional<std::string> MbTilesFile::tile(const map::TileId& id) const {
    std::optional<std::string> bytes;
    const std::int64_t row = xyz_ ? id.y : map::flipRow(id.y, id.zoom);
    sqlite3_reset(tileQuery_);
    if (sqlite3_bind_int(tileQuery_, 1, id.zoom) == SQLITE_OK &&
        sqlite3_bind_int64(tileQuery_, 2, id.x) == SQLITE_OK &&
        sqlite3_bind_int64(tileQuery_, 3, row) == SQLITE_OK &&
        sqlite3_step(tileQuery_) == SQLITE_ROW) {
        const void* data = sqlite3_column_blob(tileQuery_, 0);
        const int size = sqlite3_column_bytes(tileQuery_, 0);
        if (data != nullptr && size > 0) {
            bytes = std::string(static_cast<const char*>(data), static_cast<std::size_t>(size));
        }
    }
    sqlite3_reset(tileQuery_);
    return bytes;
}

}  // namespace quillet::tiles
