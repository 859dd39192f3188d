#pragma once

#include "app/app_state.h"
#include "edit/delete_records.h"
#include "ui/user_interface.h"

namespace quillet {

class FileOperations;

// "Delete": asks, removes the records of the selected rows from the device file of the
// current view, tells the person what went wrong, and fills the list anew when the
// rows no longer match the file.
DeleteResult onDelete(AppState& state, UserInterface& ui);
// The same with the file operations given (tests make them fail one by one).
DeleteResult onDelete(AppState& state, UserInterface& ui, FileOperations& ops);

}  // namespace quillet
