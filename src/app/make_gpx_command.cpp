// SPDX-License-Identifier: GPL-3.0-or-later
// "Make GPX" and "Export Everything…": the save dialog, the messages, and the document
// the export layer writes into the chosen file.

#include "app/make_gpx_command.h"

#include <system_error>

#include "device/path_text.h"
#include "export/export_document.h"
#include "export/export_file.h"
#include "text/translation.h"

namespace quillet {

namespace {

// The reason of the last failed system call, or a plain one when it left none.
std::string failureReason(int error) {
    if (error == 0) {
        return translate("the data could not be written");
    }
    return std::generic_category().message(error);
}

std::string unreadableFilesMessage(const GpxExportReport& report,
                                   const std::filesystem::path& output) {
    std::string text = unreadableFilesLines(report);
    text += fillIn(report.unreadableFiles.size() == 1
                       ? translate("The tracks of this file were left out of {1}. Check that the "
                                   "device files are still in the folder and fill the list again "
                                   "before you export.")
                       : translate("The tracks of these files were left out of {1}. Check that "
                                   "the device files are still in the folder and fill the list "
                                   "again before you export."),
                   {pathText(output)});
    return text;
}

}  // namespace

MakeGpxResult exportToChosenFile(ListState& state, UserInterface& ui,
                                 const SaveDialogRequest& request, const WriteDocument& write,
                                 const ExportFormat* chosenFormat) {
    const std::optional<std::filesystem::path> path = ui.askSavePath(request);
    if (!path) {
        return CommandOutcome::NotRun;
    }
    const ExportFormat& format = chosenFormat != nullptr ? *chosenFormat : formatOfPath(*path);
    const std::string label(format.label);
    const ExportFileResult result = writeExportFile(
        *path, state.files, format, [&](std::ostream& out) { return write(out, format); });
    switch (result.status) {
        case ExportFileStatus::WouldOverwrite:
            ui.showMessage(fillIn(translate("Unable to create {1} File {2}: it would overwrite "
                                            "{3}.\nChoose another file and export again."),
                                  {label, pathText(*path), pathText(result.guarded)}),
                           kTitleText, Buttons::Ok, Icon::Error);
            return CommandOutcome::Refused;
        case ExportFileStatus::NotCreated:
            ui.showMessage(fillIn(translate("Unable to create {1} File"), {label}), kTitleText,
                           Buttons::Ok, Icon::Error);
            return CommandOutcome::Failed;
        case ExportFileStatus::WriteFailed: {
            std::string text = fillIn(translate("Unable to write {1} File {2}: {3}"),
                                      {label, pathText(*path), failureReason(result.error)}) +
                               "\n";
            if (result.incompleteRemoved) {
                text += translate("The incomplete file was removed. ");
            }
            text += translate("Make room on the disk or choose another place, then export again.");
            ui.showMessage(text, kTitleText, Buttons::Ok, Icon::Error);
            return CommandOutcome::Failed;
        }
        case ExportFileStatus::Written:
            break;
    }
    if (!result.report.unreadableFiles.empty()) {
        ui.showMessage(unreadableFilesMessage(result.report, *path), kTitleText, Buttons::Ok,
                       Icon::Error);
        return CommandOutcome::Failed;
    }
    return {CommandOutcome::Done, result.report.pointsOutOfRange};
}

MakeGpxResult exportSelectedRows(ListState& state, ViewKind view, UserInterface& ui,
                                 const ExportFormat* format) {
    if (state.list.selectedCount() == 0) {
        return CommandOutcome::NotRun;
    }
    const SaveDialogRequest request{
        .defaultName = view == ViewKind::Waypoints ? "WayPoint.gpx" : "Track.gpx",
        .filter = saveDialogFilters(),
        .defaultExtension = std::string(gpxFormat().extensions.front()),
    };
    return exportToChosenFile(
        state, ui, request,
        [&](std::ostream& out, const ExportFormat& chosen) {
            return writeDocument(out, state, view, chosen);
        },
        format);
}

MakeGpxResult makeGpx(AppState& state, UserInterface& ui, const ExportFormat* format) {
    const std::optional<ViewKind> view = currentView(state);
    if (!view) {
        return CommandOutcome::NotRun;
    }
    return exportSelectedRows(state, *view, ui, format);
}

CommandOutcome onMakeGpx(AppState& state, UserInterface& ui) {
    return makeGpx(state, ui).outcome;
}

}  // namespace quillet
