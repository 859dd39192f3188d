#pragma once

#include <cstddef>
#include <filesystem>

#include "app/app_state.h"
#include "ui/command_outcome.h"
#include "ui/user_interface.h"

namespace quillet {

// "Delete": removes the records of the selected rows from the device file of the
// current view through a temporary file and one backup, then fills the list anew.
struct DeleteResult {
    CommandOutcome outcome = CommandOutcome::NotRun;
    std::size_t removed = 0;           // records removed
    std::filesystem::path deviceFile;  // the rewritten file
    std::filesystem::path backupFile;  // where the old file now is
};

class FileOperations;

DeleteResult onDelete(AppState& state, UserInterface& ui);
// The same with the file operations given (tests make them fail one by one).
DeleteResult onDelete(AppState& state, UserInterface& ui, FileOperations& ops);

}  // namespace quillet
