// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/export_file.h"

#include <cerrno>
#include <fstream>
#include <system_error>

#include "export/protected_files.h"

namespace quillet {

namespace {

// Removes what an interrupted export left behind: only an ordinary file, never a device
// or anything else the person may have picked.
bool removeIncompleteFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) && std::filesystem::remove(path, error);
}

}  // namespace

ExportFileResult writeExportFile(const std::filesystem::path& path, const FileSet& files,
                                 const ExportFormat& format,
                                 const std::function<GpxExportReport(std::ostream&)>& write) {
    ExportFileResult result;
    // A device file or its backup is never written over, however the path is spelled.
    if (const auto guarded = protectedFileAt(files, path)) {
        result.status = ExportFileStatus::WouldOverwrite;
        result.guarded = *guarded;
        return result;
    }
    const auto mode = format.ownLineEnds ? std::ios::out | std::ios::trunc | std::ios::binary
                                         : std::ios::out | std::ios::trunc;
    std::ofstream out(path, mode);
    if (!out.is_open()) {
        result.status = ExportFileStatus::NotCreated;
        return result;
    }
    result.report = write(out);
    result.error = result.report.writeError;
    if (!result.report.writeFailed) {
        errno = 0;
        out.close();
        result.error = errno;
    }
    if (result.report.writeFailed || out.fail()) {
        result.status = ExportFileStatus::WriteFailed;
        result.incompleteRemoved = removeIncompleteFile(path);
    }
    return result;
}

}  // namespace quillet
