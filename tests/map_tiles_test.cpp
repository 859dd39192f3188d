// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "map/cache_rules.h"
#include "map/map_source.h"
#include "map/tile_fetch.h"
#include "map/tile_grid.h"
#include "preview/build_scene.h"
#include "preview/geo.h"
#include "preview/map_layer.h"
#include "support/temp_dir.h"

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace quillet::map {
namespace {

TEST(MapTiles, ZoomForTheScale) {
    struct Case {
        double unitsPerTurn;
        int zoom;
    };
    const std::vector<Case> cases = {
        {256, 0},   {300, 0}, {400, 1}, {512, 1}, {256.0 * 1024, 10},
        {1e12, 19}, {0, 0},   {-5, 0},  {100, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(zoomForScale(c.unitsPerTurn), c.zoom) << c.unitsPerTurn;
    }
    EXPECT_EQ(zoomForScale(256.0 * 1024, 0, 8), 8);  // a tile set's deepest zoom
    EXPECT_EQ(zoomForScale(256, 3, 8), 3);
}

TEST(MapTiles, TilesCoveringAView) {
    struct Case {
        const char* what;
        double left, top, right, bottom;
        int zoom;
        // column, row and the tile's left and top edges in turns
        std::vector<std::tuple<std::int64_t, std::int64_t, double, double>> tiles;
    };
    const std::vector<Case> cases = {
        {"zoom 0, the world", -0.5, -0.5, 0.5, 0.5, 0, {{0, 0, -0.5, -0.5}}},
        {"zoom 1 around null island",
         -0.1,
         -0.1,
         0.1,
         0.1,
         1,
         {{0, 0, -0.5, -0.5}, {1, 0, 0, -0.5}, {0, 1, -0.5, 0}, {1, 1, 0, 0}}},
        // 162 E to 162 W: the columns east of the meridian wrap to the first.
        {"across the antimeridian",
         0.45,
         -0.05,
         0.55,
         0.05,
         2,
         {{3, 1, 0.25, -0.25}, {0, 1, 0.5, -0.25}, {3, 2, 0.25, 0}, {0, 2, 0.5, 0}}},
        {"west of the 180th meridian",
         -0.6,
         -0.1,
         -0.45,
         0.1,
         1,
         {{1, 0, -1, -0.5}, {0, 0, -0.5, -0.5}, {1, 1, -1, 0}, {0, 1, -0.5, 0}}},
        // Past the Mercator range in the north only the top row exists.
        {"clamped at the pole", -0.1, -0.9, 0.1, -0.4, 1, {{0, 0, -0.5, -0.5}, {1, 0, 0, -0.5}}},
        {"all north of the range", -0.1, -2, 0.1, -0.6, 1, {}},
        {"an empty view", 0.1, 0.1, 0.1, 0.2, 5, {}},
        {"more tiles than the limit", -0.5, -0.5, 0.5, 0.5, 10, {}},
    };
    for (const Case& c : cases) {
        const auto tiles = tilesCovering(c.left, c.top, c.right, c.bottom, c.zoom);
        ASSERT_EQ(tiles.size(), c.tiles.size()) << c.what;
        for (std::size_t i = 0; i < tiles.size(); ++i) {
            const auto& [x, y, left, top] = c.tiles[i];
            EXPECT_EQ(tiles[i].id, (TileId{c.zoom, x, y})) << c.what << " " << i;
            EXPECT_DOUBLE_EQ(tiles[i].left, left) << c.what << " " << i;
            EXPECT_DOUBLE_EQ(tiles[i].top, top) << c.what << " " << i;
            EXPECT_DOUBLE_EQ(tiles[i].size, 1.0 / (1 << c.zoom)) << c.what;
        }
    }
    // Zurich's station square lies in tile 10/536/358 of every tile server.
    const double x = 8.5417 / 360;
    const double y = preview::mercatorY(47.3769);
    const auto zurich = tilesCovering(x, y, x + 1e-9, y + 1e-9, 10);
    ASSERT_EQ(zurich.size(), 1u);
    EXPECT_EQ(zurich[0].id, (TileId{10, 536, 358}));
}

// The tiles under a scene come at the zoom of its scale, cover its map area edge to
// edge, and follow the person's zoom and pan.
TEST(MapTiles, TilesUnderASceneFollowItsScaleZoomAndPan) {
    preview::PreviewTrack walk{.name = "w", .colour = {}, .points = {}, .active = false};
    for (int i = 0; i < 3; ++i) {
        walk.points.push_back({47 + 0.01 * i, 8 + 0.01 * i, 0, 0});
    }
    const preview::PreviewSelection selection{
        .tracks = {walk}, .waypoints = {}, .unreadableFiles = {}};
    const struct {
        preview::ViewChange view;
        int zoomStep;  // levels deeper than the fit's
    } cases[] = {{{}, 0}, {{4, 0, 0}, 2}, {{0.5, 0, 0}, -1}, {{1, 300, -200}, 0}};
    int fitZoom = -1;
    for (const auto& c : cases) {
        const preview::PreviewScene scene = preview::buildScene(selection, 800, 600, c.view);
        ASSERT_TRUE(scene.mapFrame.has_value());
        const auto tiles = preview::tilesOfScene(scene);
        ASSERT_FALSE(tiles.empty());
        const int zoom = tiles.front().id.zoom;
        if (fitZoom < 0) {
            fitZoom = zoom;
            EXPECT_EQ(zoom, zoomForScale(scene.mapFrame->scale));
        }
        EXPECT_EQ(zoom, fitZoom + c.zoomStep);
        // A tile is drawn between 1/sqrt(2) and sqrt(2) of its own size.
        EXPECT_GT(tiles.front().at.width, kTilePixels / 1.42);
        EXPECT_LT(tiles.front().at.width, kTilePixels * 1.42);
        const preview::SceneRect& area = scene.mapFrame->area;
        EXPECT_LE(tiles.front().at.x, area.x);
        EXPECT_LE(tiles.front().at.y, area.y);
        EXPECT_GE(tiles.back().at.x + tiles.back().at.width, area.x + area.width);
        EXPECT_GE(tiles.back().at.y + tiles.back().at.height, area.y + area.height);
    }
    // The pan moves the track's line by as much.
    const auto fitted = preview::buildScene(selection, 800, 600).tracks[0].line.front();
    const auto panned =
        preview::buildScene(selection, 800, 600, {1, 300, -200}).tracks[0].line.front();
    EXPECT_NEAR(panned.x - fitted.x, 300, 1e-9);
    EXPECT_NEAR(panned.y - fitted.y, -200, 1e-9);
}

// Zooming about a place of the picture leaves the track's point under it where it is,
// and the zoom stops at its limits.
TEST(MapTiles, ZoomKeepsThePlaceUnderThePointer) {
    const preview::PreviewSelection selection{
        .tracks = {{"T", {}, {{45, 7, 0, 0}, {45.1, 7.1, 0, 0}}}}};
    const preview::PreviewScene fitted = preview::buildScene(selection, 800, 600);
    const preview::ScenePoint start = fitted.tracks[0].line.front();
    const preview::ViewChange zoomed = preview::zoomedView({}, *fitted.mapFrame, 4, start);
    EXPECT_EQ(zoomed.zoom, 4);
    const auto moved = preview::buildScene(selection, 800, 600, zoomed).tracks[0].line.front();
    EXPECT_NEAR(moved.x, start.x, 1e-6);
    EXPECT_NEAR(moved.y, start.y, 1e-6);
    EXPECT_EQ(preview::zoomedView({}, *fitted.mapFrame, 1e9, std::nullopt).zoom,
              preview::kMaxViewZoom);
}

TEST(MapTiles, TmsCountsRowsFromTheSouth) {
    EXPECT_EQ(flipRow(0, 0), 0);
    EXPECT_EQ(flipRow(0, 3), 7);
    EXPECT_EQ(flipRow(5, 3), 2);
    EXPECT_EQ(flipRow(flipRow(358, 10), 10), 358);
}

TEST(MapCache, HttpDatesInAllThreeForms) {
    constexpr UnixTime kRfcExample = 784111777;
    EXPECT_EQ(parseHttpDate("Sun, 06 Nov 1994 08:49:37 GMT"), kRfcExample);
    EXPECT_EQ(parseHttpDate("Sunday, 06-Nov-94 08:49:37 GMT"), kRfcExample);
    EXPECT_EQ(parseHttpDate("Sun Nov  6 08:49:37 1994"), kRfcExample);
    EXPECT_EQ(parseHttpDate("Sun, 09 Sep 2001 01:46:40 GMT"), 1'000'000'000);
    for (const char* bad : {"", "0", "-1", "Sun, 06 Nov 1994 08:49:37 CET",
                            "Sun, 06 Foo 1994 08:49:37 GMT", "Sun, 06 Nov 1994 25:49:37 GMT"}) {
        EXPECT_EQ(parseHttpDate(bad), std::nullopt) << bad;
    }
}

TEST(MapCache, FreshnessFromTheHeaders) {
    constexpr UnixTime kNow = 1'000'000'000;  // Sun, 09 Sep 2001 01:46:40 GMT
    struct Case {
        ResponseHeaders headers;
        UnixTime freshFor;
        bool store;
    };
    const std::vector<Case> cases = {
        {{.cacheControl = "max-age=3600"}, 3600, true},
        {{.cacheControl = "public, max-age=604800, stale-while-revalidate=60"}, 604800, true},
        {{.cacheControl = "MAX-AGE=\"60\""}, 60, true},
        {{.cacheControl = "max-age=abc"}, 0, true},
        {{.cacheControl = "no-cache, max-age=3600"}, 0, true},
        {{.cacheControl = "no-store"}, 0, false},
        // Expires counts from the server's own Date, an hour behind this clock here.
        {{.expires = "Sun, 09 Sep 2001 01:46:40 GMT", .date = "Sun, 09 Sep 2001 00:46:40 GMT"},
         3600,
         true},
        {{.expires = "Sun, 09 Sep 2001 02:46:40 GMT"}, 3600, true},
        {{.expires = "Sun Sep  9 02:46:40 2001"}, 3600, true},
        {{.expires = "0"}, 0, true},
        {{.expires = "Sat, 08 Sep 2001 01:46:40 GMT"}, 0, true},
        {{.cacheControl = "max-age=10", .expires = "Sun, 16 Sep 2001 01:46:40 GMT"}, 10, true},
        // Without either, a tenth of the time since the last change, a day at most.
        {{.lastModified = "Sat, 08 Sep 2001 20:46:40 GMT"}, 1800, true},
        {{.lastModified = "Sat, 01 Jan 2000 00:00:00 GMT"}, 86400, true},
        {{}, 0, true},
    };
    for (const Case& c : cases) {
        const CacheEntry entry = entryOf(c.headers, kNow);
        EXPECT_EQ(entry.freshUntil - kNow, c.freshFor)
            << c.headers.cacheControl << "|" << c.headers.expires << "|" << c.headers.lastModified;
        EXPECT_EQ(mayStore(c.headers), c.store) << c.headers.cacheControl;
        EXPECT_EQ(entry.fetched, kNow);
    }
}

TEST(MapCache, StatesRevalidationAndKeeping) {
    constexpr UnixTime kNow = 1'000'000'000;
    constexpr UnixTime kDay = 86400;
    const CacheEntry entry{.fetched = kNow,
                           .freshUntil = kNow + 60,
                           .etag = "\"a1\"",
                           .lastModified = "Sat, 08 Sep 2001 20:46:40 GMT"};
    EXPECT_EQ(stateOf(std::nullopt, kNow), TileState::Missing);
    EXPECT_EQ(stateOf(entry, kNow + 59), TileState::Fresh);
    EXPECT_EQ(stateOf(entry, kNow + 60), TileState::Stale);
    EXPECT_EQ(stateOf(entry, kNow - 1), TileState::Stale);  // the clock went back

    // A 304 without validators keeps the old ones; one with a new ETag takes it.
    const CacheEntry again = revalidated(entry, {.cacheControl = "max-age=120"}, kNow + 100);
    EXPECT_EQ(again, (CacheEntry{kNow + 100, kNow + 220, entry.etag, entry.lastModified}));
    EXPECT_EQ(revalidated(entry, {.etag = "\"b2\""}, kNow).etag, "\"b2\"");

    EXPECT_FALSE(mayDiscard(entry, kNow + 7 * kDay - 1));
    EXPECT_TRUE(mayDiscard(entry, kNow + 7 * kDay));
    EXPECT_FALSE(mayDiscard({.fetched = kNow, .freshUntil = kNow + 30 * kDay}, kNow + 8 * kDay));
}

TEST(MapSources, ArgumentsTemplatesAndSettings) {
    struct Case {
        const char* argument;
        std::optional<MapSource> source;
    };
    const std::vector<Case> cases = {
        {"osm", MapSource{MapKind::OpenStreetMap, {}}},
        {"https://t.example/{z}/{x}/{y}.png",
         MapSource{MapKind::Url, "https://t.example/{z}/{x}/{y}.png"}},
        {"http://127.0.0.1:8000/{z}/{x}/{-y}.jpg",
         MapSource{MapKind::Url, "http://127.0.0.1:8000/{z}/{x}/{-y}.jpg"}},
        {"maps/Alps.MBTiles", MapSource{MapKind::MbTiles, "maps/Alps.MBTiles"}},
        {"ftp://t.example/{z}/{x}/{y}.png", std::nullopt},
        {"https://t.example/{z}/{x}.png", std::nullopt},
        {"OSM", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(mapSourceOfArgument(c.argument), c.source) << c.argument;
        if (c.source) {
            EXPECT_EQ(mapSourceOfSetting(settingOf(*c.source)), *c.source) << c.argument;
        }
    }
    EXPECT_EQ(mapSourceOfSetting("url:not a template"), MapSource{});
    EXPECT_EQ(mapSourceOfSetting(""), MapSource{});
    EXPECT_EQ(tileUrl(kOsmTemplate, {10, 536, 358}),
              "https://tile.openstreetmap.org/10/536/358.png");
    EXPECT_EQ(tileUrl("http://h/{z}/{x}/{-y}/{z}", {3, 1, 2}), "http://h/3/1/5/3");
    EXPECT_EQ(attributionOf({MapKind::OpenStreetMap, {}}), "\u00a9 OpenStreetMap contributors");
    EXPECT_EQ(attributionOf({MapKind::MbTiles, "a.mbtiles"}, "\u00a9 Alps Survey"),
              "\u00a9 Alps Survey");
    EXPECT_EQ(userAgent().rfind("Quillet/", 0), 0u);
}

// A tile through the cache with a server that answers as each step says.
TEST(MapCache, LoadsThroughTheCacheAndAsksOnlyWhenStale) {
    constexpr UnixTime kNow = 1'000'000'000;
    constexpr const char* kTemplate = "http://127.0.0.1:9/{z}/{x}/{y}.png";
    const TileId tile{3, 4, 5};
    quillet::testing::TempDir dir;
    const auto root = dir.path() / "tiles";
    struct Step {
        const char* what;
        UnixTime at;
        TileResponse answer;
        bool asked;
        std::string ifNoneMatch;
        std::optional<std::string> drawn;
    };
    const std::vector<Step> steps = {
        {"nothing kept",
         kNow,
         {200, {.cacheControl = "max-age=60", .etag = "\"e1\""}, "PNG1"},
         true,
         "",
         "PNG1"},
        {"fresh: no request", kNow + 59, {}, false, "", "PNG1"},
        {"stale: conditional",
         kNow + 60,
         {304, {.cacheControl = "max-age=60"}, ""},
         true,
         "\"e1\"",
         "PNG1"},
        {"fresh again after the 304", kNow + 119, {}, false, "", "PNG1"},
        {"no answer: the kept tile", kNow + 500, {0, {}, ""}, true, "\"e1\"", "PNG1"},
        {"a server error: the kept tile", kNow + 501, {500, {}, "oops"}, true, "\"e1\"", "PNG1"},
        {"changed",
         kNow + 502,
         {200, {.cacheControl = "max-age=60", .etag = "\"e2\""}, "PNG2"},
         true,
         "\"e1\"",
         "PNG2"},
        {"no-store is drawn, not kept",
         kNow + 600,
         {200, {.cacheControl = "no-store"}, "PNG3"},
         true,
         "\"e2\"",
         "PNG3"},
        {"the kept one is still there", kNow + 601, {0, {}, ""}, true, "\"e2\"", "PNG2"},
    };
    for (const Step& step : steps) {
        std::optional<TileRequest> sent;
        const auto drawn = loadTile(
            root, kTemplate, tile,
            [&](const TileRequest& request) {
                sent = request;
                return step.answer;
            },
            step.at);
        EXPECT_EQ(sent.has_value(), step.asked) << step.what;
        EXPECT_EQ(drawn, step.drawn) << step.what;
        if (sent) {
            EXPECT_EQ(sent->url, "http://127.0.0.1:9/3/4/5.png");
            EXPECT_EQ(sent->userAgent, userAgent());
            EXPECT_EQ(sent->ifNoneMatch, step.ifNoneMatch) << step.what;
        }
    }
    // A damaged entry counts as no tile; a 404 with nothing kept draws nothing.
    const auto path = tileCachePath(root, kTemplate, tile);
    dir.writeFile(path.lexically_relative(dir.path()).string() + ".meta", "12\nx\n\n\n");
    EXPECT_EQ(readCachedTile(path), std::nullopt);
    EXPECT_EQ(loadTile(
                  root, kTemplate, tile,
                  [](const TileRequest&) {
                      return TileResponse{404, {}, "no"};
                  },
                  kNow),
              std::nullopt);
}

}  // namespace
}  // namespace quillet::map
