// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/export_document.h"

#include <algorithm>

namespace quillet {

namespace {

void addUnique(std::vector<std::filesystem::path>& files, const std::filesystem::path& path) {
    if (std::find(files.begin(), files.end(), path) == files.end()) {
        files.push_back(path);
    }
}

}  // namespace

GpxExportReport writeDocument(std::ostream& out, std::span<DocumentPart> parts,
                              const ExportFormat& format, bool allOrNothing) {
    GpxExportReport report;
    if (allOrNothing) {
        for (const DocumentPart& part : parts) {
            for (const auto& path : unopenableFiles(*part.state, part.view, part.rows)) {
                addUnique(report.unreadableFiles, path);
            }
        }
        if (!report.unreadableFiles.empty()) {
            return report;
        }
    }
    GpxWriter buffer(out);
    {
        const std::unique_ptr<DocumentWriter> writer = format.makeWriter(buffer);
        for (DocumentPart& part : parts) {
            const RecordsRead read = readRecords(*part.state, part.view, part.rows, *writer);
            for (const auto& path : read.unreadableFiles) {
                addUnique(report.unreadableFiles, path);
            }
        }
        writer->finish();
    }
    buffer.flush();
    report.writeFailed = buffer.failed();
    report.writeError = buffer.writeError();
    report.pointsOutOfRange = buffer.pointsOutOfRange();
    return report;
}

GpxExportReport writeDocument(std::ostream& out, ListState& state, ViewKind view,
                              const ExportFormat& format, bool allOrNothing) {
    DocumentPart parts[] = {{&state, view, selectedRows(state.list)}};
    return writeDocument(out, parts, format, allOrNothing);
}

}  // namespace quillet
