// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <system_error>

#include "app/fill_list.h"
#include "device/input_stream.h"
#include "edit/platform_files.h"
#include "text/translation.h"

namespace quillet {

namespace {

constexpr int kExpectedVersion = 5;
constexpr std::string_view kWaypointVersionMessage = QUILLET_TEXT("Unknown version of WPT file");
constexpr std::string_view kTrackVersionMessage = QUILLET_TEXT("Unknown version of ATRK file");

// Opens a device file for binary reading. Only a regular file counts: a folder that
// carries a device file's name cannot be read, and a pipe or device could block the
// start for good, so both are treated as absent.
std::optional<InputStream> openDeviceFile(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    return InputStream::open(path);
}

// The first byte must be the version 5. A file too short to hold it carries no known
// version either and gets the warning as well.
bool hasKnownVersion(InputStream& file) {
    std::uint8_t first = 0;
    return file.read(std::span(&first, 1)) == 1 && first == kExpectedVersion;
}

void warnVersion(UserInterface& ui, std::string_view message) {
    ui.showMessage(translate(message), kTitleText, Buttons::Ok, Icon::None);
}

}  // namespace

std::unique_ptr<AppState> startUp(const std::filesystem::path& directory, UserInterface& ui,
                                  const TimeZone& zone) {
    return startUp(makeFileSet(directory), ui, kNoFileMessage, zone);
}

std::unique_ptr<AppState> startUp(const std::filesystem::path& directory, UserInterface& ui,
                                  std::string_view noFileMessage, const TimeZone& zone) {
    return startUp(makeFileSet(directory), ui, noFileMessage, zone);
}

std::unique_ptr<AppState> startUp(const FileSet& files, UserInterface& ui,
                                  std::string_view noFileMessage, const TimeZone& zone) {
    auto state = std::make_unique<AppState>();
    state->timeZone = zone;
    state->files = files;
    state->historyFolder = platform::historyFolder();

    auto waypoints = openDeviceFile(state->files.waypoints);
    auto activeTrack = openDeviceFile(state->files.activeTrack);
    auto savedTracks = openDeviceFile(state->files.savedTracks);

    if (waypoints) {
        if (!hasKnownVersion(*waypoints)) {
            warnVersion(ui, kWaypointVersionMessage);
        }
        state->tabs.emplace_back(QUILLET_TEXT("Way Points"));
        state->waypointTab = 0;
        waypoints.reset();
    }

    if (activeTrack || savedTracks) {
        state->tabs.emplace_back(QUILLET_TEXT("Tracks"));
        // Both track files share one warning text.
        for (auto* file : {&activeTrack, &savedTracks}) {
            if (*file) {
                if (!hasKnownVersion(**file)) {
                    warnVersion(ui, kTrackVersionMessage);
                }
                file->reset();
            }
        }
        state->tracksTab = static_cast<int>(state->tabs.size()) - 1;
    }

    if (state->tabs.empty()) {
        ui.showMessage(translate(noFileMessage), kTitleText, Buttons::Ok, Icon::Error);
        return nullptr;
    }

    state->currentTab = 0;
    fillList(*state, ui);
    return state;
}

}  // namespace quillet
