// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/history_command.h"

#include <algorithm>

#include "app/delete_command.h"
#include "app/fill_list.h"
#include "device/path_text.h"
#include "edit/file_operations.h"
#include "edit/platform_files.h"
#include "edit/rewrite_device_file.h"
#include "text/translation.h"

namespace quillet {
namespace {

// The folder's files a version can be of, with their real paths.
struct RewritableFile {
    ViewKind view;
    std::filesystem::path real;
};

std::vector<RewritableFile> rewritableFiles(const AppState& state) {
    std::vector<RewritableFile> files;
    for (const auto& [view, path] : {std::pair{ViewKind::Waypoints, state.files.waypoints},
                                     std::pair{ViewKind::Tracks, state.files.savedTracks}}) {
        files.push_back({view, platform::realPath(path).value_or(path)});
    }
    return files;
}

DeleteResult refusal(UserInterface& ui, const std::string& text) {
    DeleteResult refused;
    refused.outcome = CommandOutcome::Refused;
    refused.message = text;
    ui.showMessage(text, kTitleText, Buttons::Ok, Icon::Error);
    return refused;
}

}  // namespace

std::array<std::string, 5> historyCells(const FolderVersion& shown) {
    return {shown.version.id, replacedTimeText(shown.version.replacedMicros), shown.fileName,
            shown.records ? std::to_string(*shown.records) : std::string("?"),
            std::to_string(shown.version.size)};
}

std::vector<FolderVersion> folderHistory(const AppState& state) {
    std::vector<FolderVersion> shown;
    if (!state.historyFolder || state.readFromHistory) {
        return shown;
    }
    SystemFileOperations ops;
    for (const auto& file : rewritableFiles(state)) {
        for (auto& version : versionsOf(*state.historyFolder, file.real)) {
            const auto records = recordCountOf(ops, version);
            const std::string name = pathText(version.deviceFile.filename());
            shown.push_back({std::move(version), name, records});
        }
    }
    std::stable_sort(shown.begin(), shown.end(), [](const auto& a, const auto& b) {
        return a.version.replacedMicros > b.version.replacedMicros;
    });
    return shown;
}

std::optional<HistoryVersion> folderVersion(const AppState& state, std::string_view id,
                                            std::string& why) {
    if (!state.historyFolder) {
        why = translate(
            "there is no history: no folder is set for it (XDG_DATA_HOME or HOME, "
            "LOCALAPPDATA on Windows)");
        return std::nullopt;
    }
    auto version = findVersion(*state.historyFolder, id);
    if (!version) {
        why = fillIn(translate("there is no stored version {1} in the history at {2}"),
                     {id, pathText(*state.historyFolder)});
        return std::nullopt;
    }
    for (const auto& file : rewritableFiles(state)) {
        if (file.real == version->deviceFile) {
            return version;
        }
    }
    why = fillIn(translate("the stored version {1} is one of {2}, not of a file in this folder"),
                 {id, pathText(version->deviceFile)});
    return std::nullopt;
}

DeleteResult onRestore(AppState& state, UserInterface& ui, std::string_view id) {
    SystemFileOperations ops;
    return onRestore(state, ui, id, ops);
}

DeleteResult onRestore(AppState& state, UserInterface& ui, std::string_view id,
                       FileOperations& ops) {
    if (state.readFromHistory) {
        return refuseStoredVersion(state, ui);
    }
    std::string why;
    const auto version = folderVersion(state, id, why);
    if (!version) {
        return refusal(ui, fillIn(translate("Nothing has been restored: {1}."), {why}));
    }
    ViewKind view = ViewKind::Waypoints;
    for (const auto& file : rewritableFiles(state)) {
        if (file.real == version->deviceFile) {
            view = file.view;
        }
    }
    // The change check compares with the list's fill of the file's view.
    const auto tab = tabOf(state, view);
    if (!tab) {
        return refusal(ui, fillIn(translate("Nothing has been restored: {1} cannot be opened."),
                                  {pathText(version->deviceFile)}));
    }
    if (currentView(state) != view) {
        switchToTab(state, ui, *tab);
    }
    bool keep = state.keepHistory;
    if (ui.askWithHistoryBox(translate("Are you shure?"), kTitleText, keep) != Answer::Ok) {
        return {};
    }
    const DeleteResult result =
        restoreDeviceFile(*version, rewriteRequestFor(state, view, keep), ops);
    if (result.listIsStale) {
        fillList(state, ui);
    }
    if (!result.message.empty()) {
        ui.showMessage(result.message, kTitleText, Buttons::Ok, Icon::Error);
    }
    return result;
}

}  // namespace quillet
