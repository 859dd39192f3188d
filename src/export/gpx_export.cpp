// SPDX-License-Identifier: GPL-3.0-or-later
// The GPX document of the selected rows, and the lines that name unreadable files.

#include "export/gpx_export.h"

#include "device/path_text.h"
#include "export/export_document.h"
#include "export/gpx_body.h"
#include "text/translation.h"

namespace quillet {

std::string unreadableFilesLines(const GpxExportReport& report) {
    std::string text;
    for (const auto& file : report.unreadableFiles) {
        text += fillIn(translate("Unable to open file {1}"), {pathText(file)}) + "\n";
    }
    return text;
}

GpxExportReport writeGpxDocument(std::ostream& out, ListState& state,
                                 std::optional<ViewKind> view) {
    if (view) {
        return writeDocument(out, state, *view, gpxFormat());
    }
    std::span<DocumentPart> none;
    return writeDocument(out, none, gpxFormat());
}

}  // namespace quillet
