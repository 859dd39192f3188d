// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/app_state.h"
#include "device/time_zone.h"
#include "ui/user_interface.h"

namespace quillet {

// "Unable to open any NVM file. Terminated" with a second line naming the folder.
std::string noFileInFolderMessage(const std::filesystem::path& folder);

// Another folder while the window is open: the start-up of the first one (version
// checks, tabs, first fill), with the folder named in the message when it holds no
// device file. True when it opened; then `state` is the new folder's, with no filter.
// Otherwise `state` stays as it was.
bool openFolder(AppState& state, const std::filesystem::path& folder, UserInterface& ui);

// The folder that was dropped onto a window: the folder itself, or the folder of a file.
std::filesystem::path droppedFolder(const std::filesystem::path& dropped);

// Asks for a folder until one holds device files (each failure named in its message);
// nothing when the person cancels the question. The list shows its times in the zone.
using FolderQuestion = std::function<std::optional<std::filesystem::path>()>;
std::unique_ptr<AppState> startUpAskingAgain(const FolderQuestion& ask, UserInterface& ui,
                                             const TimeZone& zone = {});

// F5: the current tab filled again from its files, as a tab change fills it; the
// filter stays.
void reload(AppState& state, UserInterface& ui);

}  // namespace quillet
