// SPDX-License-Identifier: GPL-3.0-or-later
// "Export Everything…": every waypoint and every track of the folder in one document.

#include "app/export_everything.h"

#include <cstdio>

#include "app/make_gpx_command.h"
#include "views/track_view.h"
#include "views/waypoint_view.h"

namespace quillet {

namespace {

// The fills' messages were shown when the folder was opened; a second fill for the
// export says nothing.
class SilentUi : public UserInterface {
public:
    Answer showMessage(std::string_view, std::string_view, Buttons, Icon) override {
        return Answer::Ok;
    }
    std::optional<std::filesystem::path> askSavePath(const SaveDialogRequest&) override {
        return std::nullopt;
    }
    std::string applicationName() const override { return {}; }
};

std::tm today() {
    const std::time_t now = std::time(nullptr);
    std::tm day{};
#ifdef _WIN32
    localtime_s(&day, &now);
#else
    localtime_r(&now, &day);
#endif
    return day;
}

}  // namespace

EverythingLists fillEverything(const FileSet& files) {
    EverythingLists lists;
    SilentUi silent;
    lists.waypoints.files = files;
    lists.tracks.files = files;
    if (!files.waypoints.empty()) {
        fillWaypointView(lists.waypoints, silent);
    }
    fillTrackView(lists.tracks, silent);
    return lists;
}

std::vector<DocumentPart> everythingParts(EverythingLists& lists) {
    return {{&lists.waypoints, ViewKind::Waypoints, rowsByItemNumber(lists.waypoints.list)},
            {&lists.tracks, ViewKind::Tracks, rowsByItemNumber(lists.tracks.list)}};
}

GpxExportReport writeEverything(std::ostream& out, const FileSet& files, const ExportFormat& format,
                                bool allOrNothing) {
    EverythingLists lists = fillEverything(files);
    std::vector<DocumentPart> parts = everythingParts(lists);
    return writeDocument(out, parts, format, allOrNothing);
}

std::string backupFileName(const std::tm& day) {
    char text[64];
    std::snprintf(text, sizeof text, "Quillet-backup-%04d-%02d-%02d.gpx", day.tm_year + 1900,
                  day.tm_mon + 1, day.tm_mday);
    return text;
}

MakeGpxResult exportEverything(AppState& state, UserInterface& ui, const ExportFormat* format) {
    const SaveDialogRequest request{
        .defaultName = backupFileName(today()),
        .filter = saveDialogFilters(),
        .defaultExtension = std::string(gpxFormat().extensions.front()),
    };
    return exportToChosenFile(
        state, ui, request,
        [&](std::ostream& out, const ExportFormat& chosen) {
            return writeEverything(out, state.files, chosen);
        },
        format);
}

}  // namespace quillet
