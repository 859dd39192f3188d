// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_state.h"
#include "edit/delete_records.h"
#include "edit/history_store.h"
#include "text/translation.h"
#include "ui/user_interface.h"

namespace quillet {

class FileOperations;

// A stored version as the history's list shows it.
struct FolderVersion {
    HistoryVersion version;
    std::string fileName;                  // "GARMIN_WPT.NVM"
    std::optional<std::uint32_t> records;  // from its header; none when it cannot be read
};

// The headings of the history's list and the cells of one version under them.
inline constexpr std::array<std::string_view, 5> kHistoryHeadings{
    QUILLET_TEXT("Id"), QUILLET_TEXT("Replaced (UTC)"), QUILLET_TEXT("File"),
    QUILLET_TEXT("Records"), QUILLET_TEXT("Bytes")};
std::array<std::string, 5> historyCells(const FolderVersion& shown);

// The versions of the folder's waypoint and saved-tracks files, newest first.
std::vector<FolderVersion> folderHistory(const AppState& state);

// The stored version `id` of one of the folder's files; otherwise nothing and `why` says
// what is wrong (no such version, or one of another folder or file).
std::optional<HistoryVersion> folderVersion(const AppState& state, std::string_view id,
                                            std::string& why);

// "Restore": asks "Are you shure?" with the history box, puts the version back under its
// device file's name and fills the list anew; every problem is shown to the person.
DeleteResult onRestore(AppState& state, UserInterface& ui, std::string_view id);
// The same with the file operations given (tests make them fail one by one).
DeleteResult onRestore(AppState& state, UserInterface& ui, std::string_view id,
                       FileOperations& ops);

}  // namespace quillet
