// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/open_folder.h"

#include <system_error>

#include "app/fill_list.h"
#include "app/startup.h"
#include "device/path_text.h"
#include "text/translation.h"

namespace quillet {

std::string noFileInFolderMessage(const std::filesystem::path& folder) {
    return translate(kNoFileMessage) + "\n" + pathText(folder);
}

bool openFolder(AppState& state, const std::filesystem::path& folder, UserInterface& ui) {
    // The other folder's times stay in the zone the list shows.
    std::unique_ptr<AppState> opened =
        startUp(folder, ui, noFileInFolderMessage(folder), state.timeZone);
    if (!opened) {
        return false;
    }
    state = std::move(*opened);
    return true;
}

std::filesystem::path droppedFolder(const std::filesystem::path& dropped) {
    std::error_code error;
    if (std::filesystem::is_directory(dropped, error)) {
        return dropped;
    }
    return dropped.parent_path();
}

std::unique_ptr<AppState> startUpAskingAgain(const FolderQuestion& ask, UserInterface& ui,
                                             const TimeZone& zone) {
    for (;;) {
        const std::optional<std::filesystem::path> folder = ask();
        if (!folder) {
            return nullptr;
        }
        if (auto state = startUp(*folder, ui, noFileInFolderMessage(*folder), zone)) {
            return state;
        }
    }
}

void reload(AppState& state, UserInterface& ui) {
    fillList(state, ui);
}

}  // namespace quillet
