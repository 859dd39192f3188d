// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/build_scene.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>
#include <optional>

#include "device/device_time.h"
#include "preview/geo.h"
#include "preview/thinning.h"

namespace quillet::preview {

namespace {

constexpr double kMargin = 12;
constexpr double kMapPadding = 10;  // between the map area's edge and the drawing
constexpr double kLineHeight = kTextSize + 4;
constexpr std::size_t kLegendLines = 8;  // tracks named in the legend, then "and n more"
constexpr double kSwatchWidth = 18;      // left of a legend text: the track's colour
constexpr double kThinning = 0.5;
constexpr double kMinimumSpanMetres = 500;
constexpr double kProfileShare = 0.25;  // of the height, for the elevation profile
constexpr double kProfileMinimum = 60;
constexpr int kLongitudeBins = 3600;  // tenths of a degree

// Longitudes are drawn in [cut, cut + 360): the cut lies in the widest stretch of
// longitude that no point uses, so a selection around the 180th meridian stays whole.
class LongitudeCut {
public:
    void add(double longitude) {
        double east = longitude + 180;  // 0 to 360
        if (east < 0 || east >= 360) {
            east = std::fmod(std::fmod(east, 360) + 360, 360);
        }
        used_[std::min(kLongitudeBins - 1, static_cast<int>(east * 10))] = true;
    }

    double cut() const {
        int bestStart = 0;
        int bestLength = 0;
        for (int start = 0; start < kLongitudeBins; ++start) {
            if (used_[start] || !used_[(start + kLongitudeBins - 1) % kLongitudeBins]) {
                continue;  // runs of unused bins are measured from their first bin
            }
            int length = 0;
            while (length < kLongitudeBins && !used_[(start + length) % kLongitudeBins]) {
                ++length;
            }
            if (length > bestLength) {
                bestStart = start;
                bestLength = length;
            }
        }
        if (bestLength == 0) {
            return -180;  // every bin used, or none: the usual cut
        }
        return -180 + (bestStart + bestLength / 2.0) / 10.0;
    }

private:
    std::array<bool, kLongitudeBins> used_{};
};

double unwrap(double longitude, double cut) {
    const double east = longitude - cut;
    if (east >= 0 && east < 360) {
        return longitude;
    }
    if (east < 0 && east >= -360) {
        return longitude + 360;
    }
    return cut + std::fmod(std::fmod(east, 360) + 360, 360);
}

// In Mercator turns.
struct Bounds {
    double minX = std::numeric_limits<double>::infinity();
    double minY = std::numeric_limits<double>::infinity();
    double maxX = -std::numeric_limits<double>::infinity();
    double maxY = -std::numeric_limits<double>::infinity();
    bool empty() const { return minX > maxX; }
};

// The bounds of unwrapped longitudes and latitudes in degrees; the Mercator ordinate
// grows with the latitude, so only the extremes need projecting.
struct DegreeBounds {
    double minLongitude = std::numeric_limits<double>::infinity();
    double maxLongitude = -std::numeric_limits<double>::infinity();
    double minLatitude = std::numeric_limits<double>::infinity();
    double maxLatitude = -std::numeric_limits<double>::infinity();
    void add(double longitude, double latitude) {
        minLongitude = std::min(minLongitude, longitude);
        maxLongitude = std::max(maxLongitude, longitude);
        minLatitude = std::min(minLatitude, latitude);
        maxLatitude = std::max(maxLatitude, latitude);
    }
    Bounds inTurns() const {
        if (minLongitude > maxLongitude) {
            return {};
        }
        return {minLongitude / 360, mercatorY(maxLatitude), maxLongitude / 360,
                mercatorY(minLatitude)};
    }
};

// Mercator turns to scene units.
struct Fit {
    double scale = 1;
    double offsetX = 0;
    double offsetY = 0;
    ScenePoint place(double longitude, double latitude, double cut) const {
        return {offsetX + unwrap(longitude, cut) / 360 * scale,
                offsetY + mercatorY(latitude) * scale};
    }
};

Fit fitBounds(Bounds bounds, const SceneRect& area) {
    const double centreX = (bounds.minX + bounds.maxX) / 2;
    const double centreY = (bounds.minY + bounds.maxY) / 2;
    const double minimumSpan = kMinimumSpanMetres / metresPerTurn(latitudeOfMercatorY(centreY));
    const double spanX = std::max(bounds.maxX - bounds.minX, minimumSpan);
    const double spanY = std::max(bounds.maxY - bounds.minY, minimumSpan);
    const double width = std::max(area.width - 2 * kMapPadding, 1.0);
    const double height = std::max(area.height - 2 * kMapPadding, 1.0);
    Fit fit;
    fit.scale = std::min(width / spanX, height / spanY);
    fit.offsetX = area.x + area.width / 2 - centreX * fit.scale;
    fit.offsetY = area.y + area.height / 2 - centreY * fit.scale;
    return fit;
}

bool hasCalendarText(DeviceTime time) {
    char text[kCalendarTextSize];
    return writeDeviceTime(text, time) != text;
}

std::optional<std::uint32_t> durationOf(const std::vector<TrackPoint>& points) {
    if (points.empty()) {
        return std::nullopt;
    }
    const DeviceTime first = points.front().time;
    const DeviceTime last = points.back().time;
    if (last < first || !hasCalendarText(first) || !hasCalendarText(last)) {
        return std::nullopt;
    }
    return last - first;
}

// The width the scene reckons a UTF-8 text with: so much per character.
double textWidth(const std::string& text) {
    const auto characters = std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;  // not a continuation byte
    });
    return static_cast<double>(characters) * kCharacterWidth * kTextSize;
}

// 1, 2 or 5 times a power of ten, at most `metres`.
double roundLength(double metres) {
    const double power = std::pow(10, std::floor(std::log10(metres)));
    for (const double step : {5.0, 2.0, 1.0}) {
        if (step * power <= metres) {
            return step * power;
        }
    }
    return power;
}

// The scene's words in the language it is built for: `english` is marked for the
// catalogue where it is written.
class Words {
public:
    explicit Words(SceneWording wording) : translated_(wording == SceneWording::PersonsLanguage) {}
    std::string operator()(const char* english) const {
        return translated_ ? translate(english) : english;
    }
    bool translated() const { return translated_; }
    // A number and its unit ("850 m"): the number is written the same in every language.
    std::string measure(const char* number, const char* unit) const {
        return std::string(number) + " " + (*this)(unit);
    }

private:
    bool translated_;
};

constexpr const char* kMetres = QUILLET_TEXT("m");
constexpr const char* kKilometres = QUILLET_TEXT("km");

// A length roundLength gave: "200 m", "5 km", "0.5 m".
std::string roundLengthText(double metres, const Words& words) {
    char number[32];
    std::snprintf(number, sizeof number, "%g", metres < 1000 ? metres : metres / 1000);
    return words.measure(number, metres < 1000 ? kMetres : kKilometres);
}

// "850 m", "2.35 km", "12.3 km", "123 km".
std::string lengthText(double metres, const Words& words) {
    char number[32];
    if (metres < 1000) {
        std::snprintf(number, sizeof number, "%.0f", metres);
        return words.measure(number, kMetres);
    }
    const double kilometres = metres / 1000;
    const int decimals = kilometres < 10 ? 2 : kilometres < 100 ? 1 : 0;
    std::snprintf(number, sizeof number, "%.*f", decimals, kilometres);
    return words.measure(number, kKilometres);
}

SceneScaleBar scaleBar(const Fit& fit, const SceneRect& area, const Words& words) {
    const double centreY = (area.y + area.height / 2 - fit.offsetY) / fit.scale;
    const double metresPerUnit = metresPerTurn(latitudeOfMercatorY(centreY)) / fit.scale;
    const double metres = roundLength(area.width / 4 * metresPerUnit);
    return {.start = {area.x + kMapPadding, area.y + area.height - kMapPadding},
            .length = metres / metresPerUnit,
            .label = roundLengthText(metres, words)};
}

// Whether a name beside a dot at x ends left of it: when it would reach past the
// picture's right edge, unless the left has even less room.
bool nameGoesLeft(double x, const std::string& name, double width) {
    const double needed = kNameGap + textWidth(name) + 2;
    const double right = width - x;
    return right < needed && x > right;
}

// `along` holds each point's distance from the first along the track.
SceneProfile profileOf(const std::vector<TrackPoint>& points, const std::vector<double>& along,
                       const SceneRect& frame, const Words& words) {
    SceneProfile profile{.frame = frame, .line = {}, .labels = {}};
    int lowest = points.front().elevation;
    int highest = lowest;
    for (const TrackPoint& point : points) {
        lowest = std::min(lowest, point.elevation);
        highest = std::max(highest, point.elevation);
    }
    const double total = along.back();
    const double inner = frame.height - 2 * kLineHeight;  // room for the labels
    ColumnMeans line;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const double across = total > 0 ? along[i] / total : 0;
        const double up = highest > lowest
                              ? double(points[i].elevation - lowest) / double(highest - lowest)
                              : 0.5;
        line.add({frame.x + across * frame.width, frame.y + kLineHeight + (1 - up) * inner});
    }
    profile.line = line.finish();
    profile.labels.push_back({{frame.x + 4, frame.y + kTextSize + 1},
                              fillIn(words(QUILLET_TEXT("highest {1}")),
                                     {words.measure(std::to_string(highest).c_str(), kMetres)})});
    profile.labels.push_back({{frame.x + 4, frame.y + frame.height - 4},
                              fillIn(words(QUILLET_TEXT("lowest {1}, {2}")),
                                     {words.measure(std::to_string(lowest).c_str(), kMetres),
                                      lengthText(total, words)})});
    return profile;
}

// The track's line in the scene, its length and, when `along` is given, each point's
// distance from the first. One pass: the points of an active track can be a million.
SceneTrack placeTrack(const PreviewTrack& source, const Fit& fit, double cut,
                      std::vector<double>* along) {
    SceneTrack track{.name = source.name,
                     .colour = source.colour,
                     .lengthMetres = 0,
                     .durationSeconds = durationOf(source.points),
                     .pointCount = source.points.size(),
                     .line = {},
                     .dashed = source.active};
    if (along != nullptr) {
        along->reserve(source.points.size());
    }
    // The thinning decides on a point's place from the last exactly projected point's,
    // by the projection's slope there (off by far less than the tolerance at these
    // distances); only the points that may be kept are projected exactly.
    LineThinner line(kThinning);
    const double unitsPerRadian = fit.scale / (2 * std::numbers::pi);
    ScenePoint reference;
    double referencePhi = 0;
    double referenceSlope = 0;          // scene units per radian of latitude there
    std::optional<TrackPoint> skipped;  // the last point added without projecting it
    const auto project = [&](const TrackPoint& point, const SpherePoint& sphere) {
        reference = fit.place(point.longitude, point.latitude, cut);
        referencePhi = sphere.phi;
        referenceSlope =
            std::abs(point.latitude) < kMercatorLatitudeLimit ? unitsPerRadian / sphere.cosPhi : 0;
        line.add(reference);
        skipped.reset();
    };
    SpherePoint before;
    for (std::size_t i = 0; i < source.points.size(); ++i) {
        const TrackPoint& point = source.points[i];
        const SpherePoint here = spherePoint(point.latitude, point.longitude);
        if (i > 0) {
            track.lengthMetres += stepMetres(before, here);
        }
        if (along != nullptr) {
            along->push_back(track.lengthMetres);
        }
        before = here;
        const ScenePoint near{fit.offsetX + unwrap(point.longitude, cut) / 360 * fit.scale,
                              reference.y - (here.phi - referencePhi) * referenceSlope};
        if (i == 0 || referenceSlope == 0 || line.wouldKeep(near, 0.9)) {
            project(point, here);
        } else {
            skipped = point;
        }
    }
    if (skipped) {
        line.add(fit.place(skipped->longitude, skipped->latitude, cut));
    }
    track.line = line.finish();
    return track;
}

}  // namespace

std::string lengthText(double metres) {
    return lengthText(metres, Words(SceneWording::English));
}

std::string durationText(std::uint32_t seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%u:%02u:%02u", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return text;
}

ViewChange zoomedView(const ViewChange& view, const SceneMapFrame& frame, double factor,
                      std::optional<ScenePoint> about) {
    const double zoom = std::clamp(view.zoom * factor, kMinViewZoom, kMaxViewZoom);
    factor = zoom / view.zoom;
    // The place under `about` stays there: the pan grows with the zoom, less what the
    // point's distance from the centre adds.
    const ScenePoint centre = frame.zoomCentre;
    const ScenePoint at = about.value_or(centre);
    return {zoom, view.panX * factor + (at.x - centre.x) * (1 - factor),
            view.panY * factor + (at.y - centre.y) * (1 - factor)};
}

PreviewScene buildScene(const PreviewSelection& selection, double width, double height) {
    return buildScene(selection, width, height, ViewChange{});
}

PreviewScene buildScene(const PreviewSelection& selection, double width, double height,
                        const ViewChange& view, SceneWording wording) {
    const Words words(wording);
    PreviewScene scene;
    scene.width = width;
    scene.height = height;
    if (selection.tracks.empty() && selection.waypoints.empty()) {
        scene.message = SceneText{{kMargin, height / 2}, words(kNothingSelectedText)};
        return scene;
    }

    // Where the longitudes are cut, and the selection's bounds in Mercator turns.
    LongitudeCut cutter;
    for (const PreviewTrack& track : selection.tracks) {
        for (const TrackPoint& point : track.points) {
            cutter.add(point.longitude);
        }
    }
    for (const PreviewWaypoint& waypoint : selection.waypoints) {
        cutter.add(waypoint.longitude);
    }
    const double cut = cutter.cut();
    DegreeBounds degrees;
    for (const PreviewTrack& track : selection.tracks) {
        for (const TrackPoint& point : track.points) {
            degrees.add(unwrap(point.longitude, cut), point.latitude);
        }
    }
    for (const PreviewWaypoint& waypoint : selection.waypoints) {
        degrees.add(unwrap(waypoint.longitude, cut), waypoint.latitude);
    }
    const Bounds bounds = degrees.inTurns();

    // The areas: legend on top, the map, the profile at the bottom.
    const std::size_t legendLines =
        std::min(selection.tracks.size(), kLegendLines) + (selection.tracks.size() > kLegendLines);
    const double legendHeight = static_cast<double>(legendLines) * kLineHeight;
    const bool withProfile = selection.tracks.size() == 1 && selection.waypoints.empty() &&
                             selection.tracks.front().points.size() >= 2;
    const double profileHeight =
        withProfile ? std::max(kProfileMinimum, kProfileShare * height) : 0;
    SceneRect map{
        kMargin, kMargin + legendHeight, width - 2 * kMargin,
        height - 2 * kMargin - legendHeight - (withProfile ? profileHeight + kMargin : 0)};
    map.width = std::max(map.width, 1.0);
    map.height = std::max(map.height, 1.0);
    Fit fit = bounds.empty() ? Fit{} : fitBounds(bounds, map);
    if (!bounds.empty() && view != ViewChange{}) {
        const double zoom = std::clamp(view.zoom, kMinViewZoom, kMaxViewZoom);
        const double centreX = map.x + map.width / 2;
        const double centreY = map.y + map.height / 2;
        fit.scale *= zoom;
        fit.offsetX = centreX - (centreX - fit.offsetX) * zoom + view.panX;
        fit.offsetY = centreY - (centreY - fit.offsetY) * zoom + view.panY;
    }

    std::vector<double> along;  // for the profile
    for (std::size_t t = 0; t < selection.tracks.size(); ++t) {
        SceneTrack track =
            placeTrack(selection.tracks[t], fit, cut, withProfile ? &along : nullptr);
        if (t < kLegendLines) {
            std::string text = track.name + "  " + lengthText(track.lengthMetres, words);
            if (track.durationSeconds) {
                text += "  " + durationText(*track.durationSeconds);
            }
            const double baseline = kMargin + static_cast<double>(t + 1) * kLineHeight - 4;
            scene.legend.push_back(
                {track.colour, {{kMargin + kSwatchWidth, baseline}, text}, track.dashed});
        }
        scene.tracks.push_back(std::move(track));
    }
    if (selection.tracks.size() > kLegendLines) {
        const std::size_t more = selection.tracks.size() - kLegendLines;
        // The English picture has always said "and 1 more tracks", and it stays so byte
        // for byte; a translation gets the forms its language has.
        const std::string moreTracks =
            words.translated() ? translatePlural("and {1} more track", "and {1} more tracks", more)
                               : "and {1} more tracks";
        const double baseline = kMargin + static_cast<double>(kLegendLines + 1) * kLineHeight - 4;
        scene.legend.push_back(
            {kBackground,
             {{kMargin + kSwatchWidth, baseline}, fillIn(moreTracks, {std::to_string(more)})}});
    }
    for (const PreviewWaypoint& waypoint : selection.waypoints) {
        const ScenePoint at = fit.place(waypoint.longitude, waypoint.latitude, cut);
        scene.waypoints.push_back({at, waypoint.name, nameGoesLeft(at.x, waypoint.name, width)});
    }
    if (!bounds.empty()) {
        scene.scaleBar = scaleBar(fit, map, words);
    }
    if (!bounds.empty()) {
        const double mapBottom = withProfile ? height - kMargin - profileHeight : height;
        scene.mapFrame = SceneMapFrame{fit.scale,
                                       fit.offsetX,
                                       fit.offsetY,
                                       {0, 0, width, mapBottom},
                                       {map.x + map.width / 2, map.y + map.height / 2}};
    }
    if (withProfile) {
        const SceneRect frame{kMargin, height - kMargin - profileHeight, width - 2 * kMargin,
                              profileHeight};
        scene.profile = profileOf(selection.tracks.front().points, along, frame, words);
    }
    return scene;
}

}  // namespace quillet::preview
