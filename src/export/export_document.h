// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <ostream>
#include <span>
#include <vector>

#include "export/export_formats.h"
#include "export/gpx_export.h"
#include "ui/list_state.h"

namespace quillet {

// The rows of one view that go into a document, in the order given.
struct DocumentPart {
    ListState* state = nullptr;
    ViewKind view = ViewKind::Waypoints;
    std::vector<std::size_t> rows;
};

// One document in the format from the records of the parts, one after the other (the
// waypoints first, where a document holds both). Tracks of a device file that cannot be
// opened are left out and named in the report; with `allOrNothing`, such a file stops
// the export before its first byte, and the stream gets nothing.
GpxExportReport writeDocument(std::ostream& out, std::span<DocumentPart> parts,
                              const ExportFormat& format, bool allOrNothing = false);

// The same for the selected rows of one view, from the top.
GpxExportReport writeDocument(std::ostream& out, ListState& state, ViewKind view,
                              const ExportFormat& format, bool allOrNothing = false);

}  // namespace quillet
