// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "app/app_state.h"
#include "text/translation.h"
#include "ui/command_outcome.h"
#include "ui/user_interface.h"

namespace quillet {

class FileOperations;

// What a window shows again after a command.
enum class ListChange {
    None,  // nothing changed
    Rows,  // the same columns; rows moved, changed in place or went
    New,   // the list was filled anew
};

// A command as the windows run it: its outcome, what to show again, and the status
// bar's line saying what happened (empty when the line stays as it is). The message
// boxes of the command are shown as before; the line comes in addition.
struct CommandReport {
    CommandOutcome outcome = CommandOutcome::NotRun;
    ListChange change = ListChange::None;
    std::string statusLine;
};

inline constexpr std::string_view kSelectRowsFirst = QUILLET_TEXT("Select rows first");

// "Make GPX" on the selected rows of the current tab.
CommandReport makeGpxOfSelection(AppState& state, UserInterface& ui);
// "Delete" of the selected rows of the current tab; the filter stays on the rows left.
CommandReport deleteSelection(AppState& state, UserInterface& ui);
CommandReport deleteSelection(AppState& state, UserInterface& ui, FileOperations& ops);

// A click on a column heading: sorts the rows (the filter stays), and gives the new shown
// position of the record that was focused at `focusedShownRow`, when it still shows.
std::optional<std::size_t> sortByHeading(AppState& state, std::size_t column,
                                         std::optional<std::size_t> focusedShownRow);

}  // namespace quillet
