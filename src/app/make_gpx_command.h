// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <ostream>

#include "app/app_state.h"
#include "export/export_formats.h"
#include "export/gpx_export.h"
#include "ui/command_outcome.h"
#include "ui/user_interface.h"

namespace quillet {

// "Make GPX" on the current tab's view, with the count of points outside the GPX ranges;
// nothing without a view. The file gets the format its name gives, or `format`.
MakeGpxResult makeGpx(AppState& state, UserInterface& ui, const ExportFormat* format = nullptr);

// The same, for callers that need only the outcome.
CommandOutcome onMakeGpx(AppState& state, UserInterface& ui);

// "Make GPX" for the rows of the view the list shows: selection check, save dialog
// (every format, GPX first), file creation in the format of the chosen name, the whole
// document.
MakeGpxResult exportSelectedRows(ListState& state, ViewKind view, UserInterface& ui,
                                 const ExportFormat* format = nullptr);

// Asks for the file, writes the document into it in `format` or else the format its
// name gives, and shows what went wrong.
using WriteDocument = std::function<GpxExportReport(std::ostream&, const ExportFormat&)>;
MakeGpxResult exportToChosenFile(ListState& state, UserInterface& ui,
                                 const SaveDialogRequest& request, const WriteDocument& write,
                                 const ExportFormat* format = nullptr);

}  // namespace quillet
