#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "app/app_state.h"
#include "edit/delete_records.h"
#include "edit/file_operations.h"
#include "ui/user_interface.h"

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

inline constexpr DeletionTarget kWaypointDeletion{"GARMIN_WPT.NVM", "GARMIN_WPT.NV_",
                                                  "GARMIN_WPT.BAK"};
inline constexpr DeletionTarget kSavedTracksDeletion{"GARMIN_STRK.NVM", "GARMIN_STRK.NV_",
                                                     "GARMIN_STRK.BAK", true};

struct RewriteRequest {
    std::filesystem::path deviceFile;  // the full path of the file set
    DeletionTarget target;
    std::optional<FileSnapshot> filledFrom;  // the file as the list's fill saw it
};

// Writes the header, the new count and the records of the rows that are not selected
// into the temporary file, makes the device file the one backup and gives the
// temporary file the device file's name, then fills the list anew. Refuses when the
// file no longer holds the records the list was filled from or does not hold all of
// them. Every failure is reported; the records are complete under the device file's
// name or the backup's name at every moment, and no temporary file is left behind.
DeleteResult rewriteDeviceFile(AppState& state, UserInterface& ui, const RewriteRequest& request,
                               FileOperations& ops);

}  // namespace quillet
