// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/delete_command.h"

#include "app/fill_list.h"
#include "device/path_text.h"
#include "edit/file_operations.h"
#include "edit/rewrite_device_file.h"
#include "text/translation.h"

namespace quillet {
namespace {

bool activeTrackSelected(const RecordList& list) {
    for (std::size_t row = 0; row < list.rowCount(); ++row) {
        if (list.isSelected(row) && list.itemNumber(row) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

RewriteRequest rewriteRequestFor(const AppState& state, ViewKind view, bool keepHistory) {
    RewriteRequest request;
    if (view == ViewKind::Waypoints) {
        request.deviceFile = state.files.waypoints;
        request.target = kWaypointDeletion;
        request.filledFrom = state.waypointSnapshot;
    } else {
        request.deviceFile = state.files.savedTracks;
        request.target = kSavedTracksDeletion;
        request.filledFrom = state.savedTracksSnapshot;
    }
    if (keepHistory && state.historyFolder) {
        request.history = HistorySettings{.folder = *state.historyFolder, .limits = {}};
    } else if (keepHistory) {
        request.noHistoryFolder =
            translate("no folder is set for it (XDG_DATA_HOME or HOME, LOCALAPPDATA on Windows)");
    }
    return request;
}

DeleteResult refuseStoredVersion(const AppState& state, UserInterface& ui) {
    DeleteResult refused;
    refused.outcome = CommandOutcome::Refused;
    refused.message = fillIn(translate("The files were read from the history ({1}): a stored "
                                       "version can be listed and exported, not changed."),
                             {pathText(state.readFromHistory.value_or(""))});
    ui.showMessage(refused.message, kTitleText, Buttons::Ok, Icon::Error);
    return refused;
}

DeleteResult onDelete(AppState& state, UserInterface& ui) {
    SystemFileOperations ops;
    return onDelete(state, ui, ops);
}

DeleteResult onDelete(AppState& state, UserInterface& ui, FileOperations& ops) {
    if (state.list.selectedCount() == 0) {
        return {};
    }
    const auto view = currentView(state);
    if (!view) {
        return {};
    }
    if (*view == ViewKind::Tracks && activeTrackSelected(state.list)) {
        ui.showMessage(translate("You can not delete the active track!"), ui.applicationName(),
                       Buttons::Ok, Icon::None);
        DeleteResult refused;
        refused.outcome = CommandOutcome::Refused;
        return refused;
    }
    if (state.readFromHistory) {
        return refuseStoredVersion(state, ui);
    }
    bool keep = state.keepHistory;
    if (ui.askWithHistoryBox(translate("Are you shure?"), kTitleText, keep) != Answer::Ok) {
        return {};
    }
    const DeleteResult result =
        rewriteDeviceFile(state.list, rewriteRequestFor(state, *view, keep), ops);
    if (result.listIsStale) {
        fillList(state, ui);
    }
    if (!result.message.empty()) {
        ui.showMessage(result.message, kTitleText, Buttons::Ok, Icon::Error);
    }
    return result;
}

}  // namespace quillet
