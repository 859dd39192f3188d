#include "preview/preview_selection.h"

#include <array>
#include <charconv>
#include <cmath>
#include <optional>

#include "device/code_page.h"
#include "export/track_points_of_rows.h"
#include "ui/waypoint_columns.h"

namespace quillet::preview {

namespace {

// In the order of the display colour indices (Black, DarkRed, ... White).
constexpr std::array<Colour, 16> kTrackColours = {{
    {0, 0, 0},
    {139, 0, 0},
    {0, 100, 0},
    {128, 128, 0},
    {0, 0, 139},
    {139, 0, 139},
    {0, 139, 139},
    {211, 211, 211},
    {105, 105, 105},
    {255, 0, 0},
    {0, 200, 0},
    {255, 255, 0},
    {0, 0, 255},
    {255, 0, 255},
    {0, 255, 255},
    {255, 255, 255},
}};

constexpr Colour kActiveTrackColour{255, 0, 0};

// The whole cell as a finite number, blanks around it allowed.
std::optional<double> numberOf(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

Colour trackColour(std::uint8_t index) {
    return index < kTrackColours.size() ? kTrackColours[index] : kTrackColours[0];
}

PreviewSelection readWaypointRows(const RecordList& list) {
    using namespace waypoint_columns;
    PreviewSelection selection;
    for (std::size_t row = 0; row < list.rowCount(); ++row) {
        if (!list.isSelected(row)) {
            continue;
        }
        const auto latitude = numberOf(list.text(row, kLatitude));
        const auto longitude = numberOf(list.text(row, kLongitude));
        if (latitude && longitude) {
            selection.waypoints.push_back(
                {deviceTextToUtf8(list.text(row, kName)), *latitude, *longitude});
        }
    }
    return selection;
}

PreviewSelection readTrackRows(const RecordList& list, const TrackFiles& files,
                               RecordBuffer& buffer) {
    PreviewSelection selection;
    TracksOfRows read = readSelectedTrackPoints(list, files.activeTrack, files.savedTracks, buffer);
    for (TrackOfRow& track : read.tracks) {
        selection.tracks.push_back(
            {deviceTextToUtf8(track.name),
             track.number == 0 ? kActiveTrackColour : trackColour(track.colour),
             std::move(track.points), track.number == 0});
    }
    selection.unreadableFiles = std::move(read.unreadableFiles);
    return selection;
}

PreviewSelection readSelectedRows(ListState& state, std::optional<ViewKind> view) {
    if (view == ViewKind::Waypoints) {
        return readWaypointRows(state.list);
    }
    if (view == ViewKind::Tracks) {
        return readTrackRows(state.list, {state.files.activeTrack, state.files.savedTracks},
                             state.recordBuffer);
    }
    return {};
}

}  // namespace quillet::preview
