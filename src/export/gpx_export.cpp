// "Make GPX": the command from the selection check to the closed file.

#include "export/gpx_export.h"

#include <cerrno>
#include <fstream>
#include <system_error>

#include "device/path_text.h"
#include "export/gpx_body.h"
#include "export/protected_files.h"

namespace quillet {

namespace {

constexpr std::string_view kGpxFilter = "GPS Exchange (*.gpx)";
constexpr std::string_view kGpxExtension = "gpx";

// The reason of the last failed system call, or a plain one when it left none.
std::string failureReason(int error) {
    if (error == 0) {
        return "the data could not be written";
    }
    return std::generic_category().message(error);
}

// Removes what an interrupted export left behind: only an ordinary file, never a device
// or anything else the person may have picked.
bool removeIncompleteFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) && std::filesystem::remove(path, error);
}

std::string unreadableFilesMessage(const GpxExportReport& report,
                                   const std::filesystem::path& output) {
    std::string text = unreadableFilesLines(report);
    text += "The tracks of ";
    text += report.unreadableFiles.size() == 1 ? "this file were" : "these files were";
    text += " left out of " + pathText(output) +
            ". Check that the device files are still in the folder and fill the list "
            "again before you export.";
    return text;
}

}  // namespace

std::string unreadableFilesLines(const GpxExportReport& report) {
    std::string text;
    for (const auto& file : report.unreadableFiles) {
        text += "Unable to open file " + pathText(file) + "\n";
    }
    return text;
}

GpxExportReport writeGpxDocument(std::ostream& out, ListState& state,
                                 std::optional<ViewKind> view) {
    GpxExportReport report;
    GpxWriter writer(out);
    writeGpxHeader(writer);
    if (view == ViewKind::Waypoints) {
        writeSelectedWaypoints(writer, state.list, state.waypointUtcTimes);
    } else if (view == ViewKind::Tracks) {
        report = writeSelectedTracks(writer, state);
    }
    writer.put("</gpx>\n");
    writer.flush();
    report.writeFailed = writer.failed();
    report.writeError = writer.writeError();
    report.pointsOutOfRange = writer.pointsOutOfRange();
    return report;
}

MakeGpxResult exportSelectedRows(ListState& state, ViewKind view, UserInterface& ui) {
    if (state.list.selectedCount() == 0) {
        return CommandOutcome::NotRun;
    }
    const SaveDialogRequest request{
        .defaultName = view == ViewKind::Waypoints ? "WayPoint.gpx" : "Track.gpx",
        .filter = std::string(kGpxFilter),
        .defaultExtension = std::string(kGpxExtension),
    };
    const std::optional<std::filesystem::path> path = ui.askSavePath(request);
    if (!path) {
        return CommandOutcome::NotRun;
    }

    // A device file or its backup is never written over, however the path is spelled.
    if (const auto guarded = protectedFileAt(state.files, *path)) {
        ui.showMessage(std::string(kCreateGpxFailedMessage) + " " + pathText(*path) +
                           ": it would overwrite " + pathText(*guarded) +
                           ".\nChoose another file and export again.",
                       kTitleText, Buttons::Ok, Icon::Error);
        return CommandOutcome::Refused;
    }
    // Text mode, as the platform writes text files: CR LF line ends on Windows.
    std::ofstream out(*path, std::ios::out | std::ios::trunc);
    if (!out.is_open()) {
        ui.showMessage(kCreateGpxFailedMessage, kTitleText, Buttons::Ok, Icon::Error);
        return CommandOutcome::Failed;
    }
    const GpxExportReport report = writeGpxDocument(out, state, view);
    int error = report.writeError;
    if (!report.writeFailed) {
        errno = 0;
        out.close();
        error = errno;
    }
    if (report.writeFailed || out.fail()) {
        std::string text =
            "Unable to write GPX File " + pathText(*path) + ": " + failureReason(error) + "\n";
        if (removeIncompleteFile(*path)) {
            text += "The incomplete file was removed. ";
        }
        text += "Make room on the disk or choose another place, then export again.";
        ui.showMessage(text, kTitleText, Buttons::Ok, Icon::Error);
        return CommandOutcome::Failed;
    }
    if (!report.unreadableFiles.empty()) {
        ui.showMessage(unreadableFilesMessage(report, *path), kTitleText, Buttons::Ok, Icon::Error);
        return CommandOutcome::Failed;
    }
    return {CommandOutcome::Done, report.pointsOutOfRange};
}

}  // namespace quillet
