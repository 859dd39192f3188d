// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "ui/command_outcome.h"

namespace quillet {

// How a deletion (or a restore, which rewrites the file too) ended: the records of the selected
// rows removed from the device file of the current view through a temporary file and one backup, or
// why not.
struct DeleteResult {
    CommandOutcome outcome = CommandOutcome::NotRun;
    std::size_t removed = 0;           // records removed
    std::filesystem::path deviceFile;  // the rewritten file (the real file behind a link)
    std::filesystem::path backupFile;  // where the old file now is
    std::string message;               // what the person must be told; empty when nothing
    bool listIsStale = false;          // the rows no longer match the file: fill anew
    std::string historyId;             // the version the old file is kept as; empty: none
};

}  // namespace quillet
