// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/tile_cache.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <system_error>

namespace quillet::map {

namespace {

namespace fs = std::filesystem;

// FNV-1a, 64 bits: a short folder name per template.
std::string keyOf(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    char key[17];
    std::snprintf(key, sizeof key, "%016llx", static_cast<unsigned long long>(hash));
    return key;
}

fs::path with(const fs::path& path, const char* extension) {
    fs::path result = path;
    result += extension;
    return result;
}

std::optional<std::string> readWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) {
        return std::nullopt;
    }
    return std::move(bytes).str();
}

// Written beside under another name, then renamed over: a reader sees the old file or
// the new one, never half of one.
bool writeWhole(const fs::path& path, std::string_view bytes) {
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    const fs::path temporary = with(path, ".new");
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) {
            return false;
        }
    }
    fs::rename(temporary, path, error);
    return !error;
}

// The entry as four lines: the times, then the validators (which hold no line break).
std::string entryText(const CacheEntry& entry) {
    const auto line = [](std::string_view text) {
        return std::string(text.substr(0, text.find_first_of("\r\n"))) + '\n';
    };
    return std::to_string(entry.fetched) + '\n' + std::to_string(entry.freshUntil) + '\n' +
           line(entry.etag) + line(entry.lastModified);
}

std::optional<CacheEntry> entryOfText(std::string_view text) {
    std::string_view lines[4];
    for (std::string_view& line : lines) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        line = text.substr(0, end);
        text.remove_prefix(end + 1);
    }
    CacheEntry entry;
    for (const auto& [line, value] :
         {std::pair{lines[0], &entry.fetched}, std::pair{lines[1], &entry.freshUntil}}) {
        const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), *value);
        if (error != std::errc() || end != line.data() + line.size()) {
            return std::nullopt;
        }
    }
    entry.etag = lines[2];
    entry.lastModified = lines[3];
    return entry;
}

}  // namespace

fs::path tileCachePath(const fs::path& root, std::string_view urlTemplate, const TileId& tile) {
    return root / keyOf(urlTemplate) / std::to_string(tile.zoom) / std::to_string(tile.x) /
           std::to_string(tile.y);
}

std::optional<CachedTile> readCachedTile(const fs::path& path) {
    const auto meta = readWhole(with(path, ".meta"));
    if (!meta) {
        return std::nullopt;
    }
    const auto entry = entryOfText(*meta);
    auto bytes = readWhole(with(path, ".tile"));
    if (!entry || !bytes) {
        return std::nullopt;
    }
    return CachedTile{std::move(*bytes), *entry};
}

bool writeCachedTile(const fs::path& path, std::string_view bytes, const CacheEntry& entry) {
    return writeWhole(with(path, ".tile"), bytes) && writeCacheEntry(path, entry);
}

bool writeCacheEntry(const fs::path& path, const CacheEntry& entry) {
    return writeWhole(with(path, ".meta"), entryText(entry));
}

}  // namespace quillet::map
