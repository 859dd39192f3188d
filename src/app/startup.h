// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

#include "app/app_state.h"
#include "device/time_zone.h"
#include "text/translation.h"
#include "ui/user_interface.h"

namespace quillet {

// Finds the device files in the directory, checks their version bytes, creates the
// tabs, selects tab 0 and fills the list. Returns nothing after showing
// "Unable to open any NVM file. Terminated" when no device file opens. The list shows
// its times in the zone.
std::unique_ptr<AppState> startUp(const std::filesystem::path& directory, UserInterface& ui,
                                  const TimeZone& zone = {});
// The same with another text for the message of a folder without device files.
std::unique_ptr<AppState> startUp(const std::filesystem::path& directory, UserInterface& ui,
                                  std::string_view noFileMessage, const TimeZone& zone = {});

inline constexpr std::string_view kNoFileMessage =
    QUILLET_TEXT("Unable to open any NVM file. Terminated");
// The same on the files given (a stored version standing in for one of them).
std::unique_ptr<AppState> startUp(const FileSet& files, UserInterface& ui,
                                  std::string_view noFileMessage = kNoFileMessage,
                                  const TimeZone& zone = {});

}  // namespace quillet
