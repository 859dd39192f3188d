// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ctime>
#include <ostream>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "export/export_document.h"
#include "export/gpx_export.h"
#include "ui/user_interface.h"

namespace quillet {

// Both views of the device folder, filled apart from the list on screen: every waypoint
// and every track, the active track included.
struct EverythingLists {
    ListState waypoints;
    ListState tracks;
};
EverythingLists fillEverything(const FileSet& files);

// Every row of both views in "#" order, the waypoints first.
std::vector<DocumentPart> everythingParts(EverythingLists& lists);

// One document with every record of the folder; see writeDocument.
GpxExportReport writeEverything(std::ostream& out, const FileSet& files, const ExportFormat& format,
                                bool allOrNothing = false);

// "Quillet-backup-YYYY-MM-DD.gpx" for the day.
std::string backupFileName(const std::tm& day);

// "Export Everything…": the save dialog proposes the backup name of today.
// The file gets the format its name gives, or `format`.
MakeGpxResult exportEverything(AppState& state, UserInterface& ui,
                               const ExportFormat* format = nullptr);

}  // namespace quillet
