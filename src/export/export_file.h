// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <functional>
#include <ostream>

#include "device/device_files.h"
#include "export/export_formats.h"
#include "export/gpx_export.h"

namespace quillet {

enum class ExportFileStatus {
    Written,         // the whole document is in the file (see the report for tracks left out)
    WouldOverwrite,  // the path is a device file or its backup: nothing was touched
    NotCreated,      // the file could not be created
    WriteFailed,     // a write failed; the incomplete file was removed where it could be
};

struct ExportFileResult {
    ExportFileStatus status = ExportFileStatus::Written;
    std::filesystem::path guarded;  // WouldOverwrite: the device file or backup
    int error = 0;                  // WriteFailed: the system's reason (errno), 0 when unknown
    bool incompleteRemoved = false;
    GpxExportReport report;
};

// Writes one document into the file at `path` with `write`: never over a device file or
// a backup of `files`, and a file that could not be written whole is removed (only when
// it is an ordinary file). Text files get the platform's line ends unless the format
// sets its own.
ExportFileResult writeExportFile(const std::filesystem::path& path, const FileSet& files,
                                 const ExportFormat& format,
                                 const std::function<GpxExportReport(std::ostream&)>& write);

}  // namespace quillet
