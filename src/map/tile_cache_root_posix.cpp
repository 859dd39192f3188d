// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdlib>

#include "map/tile_cache.h"

namespace quillet::map {

std::filesystem::path tileCacheRoot() {
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache != nullptr && *cache == '/') {
        return std::filesystem::path(cache) / "quillet" / "tiles";
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return std::filesystem::path(home) / ".cache" / "quillet" / "tiles";
    }
    return {};
}

}  // namespace quillet::map
