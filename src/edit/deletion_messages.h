// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "edit/rewrite_device_file.h"

namespace quillet::deletion_messages {

// The texts the program has always shown.
std::string openFailed(const DeletionTarget& target);    // "Unable to open file GARMIN_WPT.NVM"
std::string createFailed(const DeletionTarget& target);  // "Unable to create file GARMIN_WPT.NV_"

// Refusals before anything is written.
std::string changedSinceFill(const DeletionTarget& target);
std::string incomplete(const DeletionTarget& target);
std::string unreadable(const DeletionTarget& target);
std::string misframedTrack(const DeletionTarget& target, std::size_t track);
std::string busy(const DeletionTarget& target);  // another deletion held the lock too long
std::string notLocked(const DeletionTarget& target);
std::string readOnly(const DeletionTarget& target);
std::string tooLarge(const DeletionTarget& target);  // beyond kLargestHashedFile
// The device file is a link to its own temporary file's or backup's name.
std::string linkToOwnBackup(const DeletionTarget& target, const std::string& link);

// The history: the device file could not be kept there, or the environment names no
// folder for it (`why` says what is missing).
std::string historyNotWritten(const DeletionTarget& target, const std::string& folder,
                              const std::string& problem);
std::string noHistoryFolder(const DeletionTarget& target, const std::string& why);
// A restore of a stored version whose bytes no longer match their hash, or of a version
// of another file.
std::string versionDamaged(const std::string& id, const std::string& storedFile);
std::string versionOfAnotherFile(const std::string& id, const std::string& itsFile,
                                 const DeletionTarget& target);

// Failures while the new file is written or put in place.
std::string accessNotCopied(const DeletionTarget& target);
std::string writeFailed(const DeletionTarget& target);
std::string backupNotRemoved(const DeletionTarget& target);
std::string deviceFileNotMoved(const DeletionTarget& target);
std::string newFileNotPlaced(const DeletionTarget& target);             // the old file is back
std::string newFileNotPlacedOldInBackup(const DeletionTarget& target);  // it is not
// Added to a failure message when the temporary file could not be removed either.
std::string temporaryFileLeft(const DeletionTarget& target);

}  // namespace quillet::deletion_messages
