// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// When a tile on disk may be drawn without asking its server, when it is to be asked
// again with a conditional request, and how long it is kept: HTTP caching as a private
// cache does it, over the headers of the answer that brought the tile.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillet::map {

// Seconds since 1970-01-01 UTC.
using UnixTime = std::int64_t;

inline constexpr UnixTime kKeepSeconds = 7 * 24 * 3600;  // a tile stays at least this long

// The headers of an answer that matter to the cache, as they came; empty when absent.
struct ResponseHeaders {
    std::string cacheControl;
    std::string expires;
    std::string date;
    std::string etag;
    std::string lastModified;
};

// What the cache knows of a tile besides its bytes.
struct CacheEntry {
    UnixTime fetched = 0;     // when the answer arrived (or was last revalidated)
    UnixTime freshUntil = 0;  // drawn without asking until then
    std::string etag;
    std::string lastModified;
    friend bool operator==(const CacheEntry&, const CacheEntry&) = default;
};

enum class TileState {
    Fresh,    // draw it, ask nobody
    Stale,    // draw it, and ask again with the validators it has
    Missing,  // nothing on disk: ask
};

// An HTTP date in the preferred form ("Sun, 06 Nov 1994 08:49:37 GMT") or either of
// the two obsolete ones; nothing when it is none of them.
std::optional<UnixTime> parseHttpDate(std::string_view text);

// Whether an answer with these headers may be stored at all (not "no-store").
bool mayStore(const ResponseHeaders& headers);

// The entry for an answer that arrived at `now`: fresh for "max-age" seconds, else until
// "Expires" (counted from the answer's own "Date"), else for a tenth of the time since
// "Last-Modified" up to a day, else not at all; "no-cache" makes it stale at once.
CacheEntry entryOf(const ResponseHeaders& headers, UnixTime now);

// The entry after a "304 Not Modified" with these headers: fresh again, its validators
// kept unless the answer brings new ones.
CacheEntry revalidated(const CacheEntry& entry, const ResponseHeaders& headers, UnixTime now);

TileState stateOf(const std::optional<CacheEntry>& entry, UnixTime now);

// Whether a stored tile may be removed: never before kKeepSeconds nor while fresh.
bool mayDiscard(const CacheEntry& entry, UnixTime now);

}  // namespace quillet::map
