// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/cache_rules.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace quillet::map {

namespace {

constexpr UnixTime kHeuristicLimit = 24 * 3600;

constexpr std::array<std::string_view, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

// Days from 1970-01-01 to the date of the proleptic Gregorian calendar.
std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

std::optional<unsigned> monthOf(std::string_view name) {
    for (unsigned m = 0; m < kMonths.size(); ++m) {
        if (equalsIgnoringCase(name, kMonths[m])) {
            return m + 1;
        }
    }
    return std::nullopt;
}

struct Directives {
    std::optional<UnixTime> maxAge;
    bool noCache = false;
    bool noStore = false;
};

Directives directivesOf(std::string_view cacheControl) {
    Directives directives;
    while (!cacheControl.empty()) {
        const std::size_t comma = cacheControl.find(',');
        const std::string_view item = trimmed(cacheControl.substr(0, comma));
        cacheControl =
            comma == std::string_view::npos ? std::string_view{} : cacheControl.substr(comma + 1);
        const std::size_t equals = item.find('=');
        const std::string_view name = trimmed(item.substr(0, equals));
        std::string_view value = equals == std::string_view::npos
                                     ? std::string_view{}
                                     : trimmed(item.substr(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        if (equalsIgnoringCase(name, "max-age")) {
            UnixTime seconds = 0;
            const auto [end, error] =
                std::from_chars(value.data(), value.data() + value.size(), seconds);
            // A malformed max-age makes the answer stale, as if it were 0.
            directives.maxAge = error == std::errc() && end == value.data() + value.size()
                                    ? std::max<UnixTime>(0, seconds)
                                    : 0;
        } else if (equalsIgnoringCase(name, "no-cache")) {
            directives.noCache = true;
        } else if (equalsIgnoringCase(name, "no-store")) {
            directives.noStore = true;
        }
    }
    return directives;
}

}  // namespace

std::optional<UnixTime> parseHttpDate(std::string_view text) {
    text = trimmed(text);
    char weekday[16] = {};
    char month[4] = {};
    int day = 0, year = 0, hour = 0, minute = 0, second = 0;
    char zone[4] = {};
    const std::string copy(text);
    int used = 0;
    bool parsed = false;
    // "Sun, 06 Nov 1994 08:49:37 GMT"
    if (std::sscanf(copy.c_str(), "%15[A-Za-z], %2d %3s %4d %2d:%2d:%2d %3s%n", weekday, &day,
                    month, &year, &hour, &minute, &second, zone, &used) == 8 &&
        used == static_cast<int>(copy.size())) {
        parsed = true;
        // "Sunday, 06-Nov-94 08:49:37 GMT"
    } else if (std::sscanf(copy.c_str(), "%15[A-Za-z], %2d-%3s-%2d %2d:%2d:%2d %3s%n", weekday,
                           &day, month, &year, &hour, &minute, &second, zone, &used) == 8 &&
               used == static_cast<int>(copy.size())) {
        year += year < 70 ? 2000 : 1900;
        parsed = true;
        // "Sun Nov  6 08:49:37 1994"
    } else if (std::sscanf(copy.c_str(), "%15[A-Za-z] %3s %2d %2d:%2d:%2d %4d%n", weekday, month,
                           &day, &hour, &minute, &second, &year, &used) == 7 &&
               used == static_cast<int>(copy.size())) {
        zone[0] = 'G', zone[1] = 'M', zone[2] = 'T';
        parsed = true;
    }
    const auto monthNumber = monthOf(month);
    if (!parsed || !monthNumber || std::string_view(zone) != "GMT" || day < 1 || day > 31 ||
        hour > 23 || minute > 59 || second > 60 || year < 1970) {
        return std::nullopt;
    }
    return daysFromCivil(year, *monthNumber, static_cast<unsigned>(day)) * 86400 + hour * 3600 +
           minute * 60 + second;
}

bool mayStore(const ResponseHeaders& headers) {
    return !directivesOf(headers.cacheControl).noStore;
}

CacheEntry entryOf(const ResponseHeaders& headers, UnixTime now) {
    CacheEntry entry{.fetched = now,
                     .freshUntil = now,
                     .etag = headers.etag,
                     .lastModified = headers.lastModified};
    const Directives directives = directivesOf(headers.cacheControl);
    if (directives.noCache) {
        return entry;
    }
    if (directives.maxAge) {
        entry.freshUntil = now + *directives.maxAge;
        return entry;
    }
    if (!headers.expires.empty()) {
        // An Expires that is no date has expired already.
        const auto expires = parseHttpDate(headers.expires);
        const UnixTime date = parseHttpDate(headers.date).value_or(now);
        entry.freshUntil = expires ? now + std::max<UnixTime>(0, *expires - date) : now;
        return entry;
    }
    if (const auto modified = parseHttpDate(headers.lastModified)) {
        const UnixTime date = parseHttpDate(headers.date).value_or(now);
        entry.freshUntil = now + std::clamp<UnixTime>((date - *modified) / 10, 0, kHeuristicLimit);
    }
    return entry;
}

CacheEntry revalidated(const CacheEntry& entry, const ResponseHeaders& headers, UnixTime now) {
    CacheEntry fresh = entryOf(headers, now);
    if (fresh.etag.empty()) {
        fresh.etag = entry.etag;
    }
    if (fresh.lastModified.empty()) {
        fresh.lastModified = entry.lastModified;
    }
    return fresh;
}

TileState stateOf(const std::optional<CacheEntry>& entry, UnixTime now) {
    if (!entry) {
        return TileState::Missing;
    }
    return now < entry->freshUntil && now >= entry->fetched ? TileState::Fresh : TileState::Stale;
}

bool mayDiscard(const CacheEntry& entry, UnixTime now) {
    return now >= std::max(entry.fetched + kKeepSeconds, entry.freshUntil);
}

}  // namespace quillet::map
