#include "app/delete_command.h"

#include "app/fill_list.h"
#include "edit/file_operations.h"
#include "edit/rewrite_device_file.h"

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

RewriteRequest requestFor(const AppState& state, ViewKind view) {
    if (view == ViewKind::Waypoints) {
        return {state.files.waypoints, kWaypointDeletion, state.waypointSnapshot};
    }
    return {state.files.savedTracks, kSavedTracksDeletion, state.savedTracksSnapshot};
}

}  // namespace

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
        ui.showMessage("You can not delete the active track!", ui.applicationName(), Buttons::Ok,
                       Icon::None);
        DeleteResult refused;
        refused.outcome = CommandOutcome::Refused;
        return refused;
    }
    if (ui.showMessage("Are you shure?", kTitleText, Buttons::OkCancel, Icon::Exclamation) !=
        Answer::Ok) {
        return {};
    }
    const DeleteResult result = rewriteDeviceFile(state.list, requestFor(state, *view), ops);
    if (result.listIsStale) {
        fillList(state, ui);
    }
    if (!result.message.empty()) {
        ui.showMessage(result.message, kTitleText, Buttons::Ok, Icon::Error);
    }
    return result;
}

}  // namespace quillet
