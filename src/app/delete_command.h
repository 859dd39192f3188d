// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/app_state.h"
#include "edit/delete_records.h"
#include "edit/rewrite_device_file.h"
#include "ui/user_interface.h"

namespace quillet {

class FileOperations;

// "Delete": asks, removes the records of the selected rows from the device file of the
// current view, tells the person what went wrong, and fills the list anew when the
// rows no longer match the file.
DeleteResult onDelete(AppState& state, UserInterface& ui);
// The same with the file operations given (tests make them fail one by one).
DeleteResult onDelete(AppState& state, UserInterface& ui, FileOperations& ops);

// What a rewrite of the view's device file needs of the state: the file, what the list
// was filled from, and the history when the file is to be kept there.
RewriteRequest rewriteRequestFor(const AppState& state, ViewKind view, bool keepHistory);
// Shows and returns the refusal to change files that were read from the history.
DeleteResult refuseStoredVersion(const AppState& state, UserInterface& ui);

}  // namespace quillet
