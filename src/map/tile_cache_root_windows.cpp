// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdlib>

#include "map/tile_cache.h"

namespace quillet::map {

std::filesystem::path tileCacheRoot() {
    if (const wchar_t* local = _wgetenv(L"LOCALAPPDATA"); local != nullptr && *local != L'\0') {
        return std::filesystem::path(local) / L"Quillet" / L"tiles";
    }
    return {};
}

}  // namespace quillet::map
