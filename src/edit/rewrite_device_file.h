// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "device/device_files.h"
#include "device/file_snapshot.h"
#include "edit/delete_records.h"
#include "edit/file_operations.h"
#include "edit/history_store.h"
#include "ui/record_list.h"

namespace quillet {

// The names that differ between the two files a deletion rewrites. The temporary file
// and the backup live in the folder of the device file.
struct DeletionTarget {
    std::string_view deviceName;
    std::string_view temporaryName;
    std::string_view backupName;
    // The list walks saved tracks by their points, the deletion by their length words:
    // both must frame every record alike, or the rows do not name the records copied.
    bool tracksFramedByPoints = false;
};

inline constexpr DeletionTarget kWaypointDeletion{kWaypointFileName, kWaypointTemporaryName,
                                                  kWaypointBackupName};
inline constexpr DeletionTarget kSavedTracksDeletion{
    kSavedTracksFileName, kSavedTracksTemporaryName, kSavedTracksBackupName, true};

struct RewriteRequest {
    std::filesystem::path deviceFile;  // the full path of the file set
    DeletionTarget target;
    std::optional<FileSnapshot> filledFrom;  // the file as the list's fill saw it
    // Where the file as it is is kept before anything is renamed; none: it is not kept
    // (the person chose so).
    std::optional<HistorySettings> history;
    // Set when the history has no folder: why, for the refusal.
    std::string noHistoryFolder;
};

// How long a deletion waits for another one on the same device file to finish; it
// then sees the file changed, or gives up with a message.
inline constexpr std::chrono::milliseconds kLockPatience{3000};

// Writes the header, the new count and the records of the rows of `list` that are not
// selected into a temporary file created for this run alone, makes the device file the
// one backup and gives the temporary file the device file's name. A device file that is
// a link is rewritten where it really is; the link stays. From the check that the file
// still holds what the list was filled from (identity and the hash of every byte) to the
// last rename, the file is locked against other deletions. Refuses when the file changed,
// does not hold all its records, or is read-only. Every failure is reported in the
// result; the records are complete under the device file's name or the backup's name
// at every moment, and no temporary file is left behind.
// Before the temporary file is written, the device file as it is goes into the history
// of `request.history`; when that fails, nothing is changed.
DeleteResult rewriteDeviceFile(const RecordList& list, const RewriteRequest& request,
                               FileOperations& ops);

// Puts a stored version back under the device file's name, with every guarantee of a
// deletion: the lock, the check that the file is still the one the list was filled from,
// the current file kept in the history and as the one backup, and the new file checked
// against the version's hash before it replaces anything. A version of another file, or
// one whose stored bytes no longer match its hash, is refused.
DeleteResult restoreDeviceFile(const HistoryVersion& version, const RewriteRequest& request,
                               FileOperations& ops);

}  // namespace quillet
