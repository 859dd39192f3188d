// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <ostream>
#include <sstream>
#include <string>
#include <system_error>

#include "app/delete_command.h"
#include "app/device_info.h"
#include "app/export_everything.h"
#include "app/fill_list.h"
#include "app/history_command.h"
#include "app/list_filter.h"
#include "app/make_gpx_command.h"
#include "app/startup.h"
#include "cli_ui.h"
#include "device/path_text.h"
#include "edit/file_operations.h"
#include "edit/history_store.h"
#include "edit/platform_files.h"
#include "export/export_document.h"
#include "export/gpx_export.h"
#include "export/protected_files.h"
#include "item_selection.h"
#include "map_under_preview.h"
#include "platform_text.h"
#include "preview/build_scene.h"
#include "preview/svg_writer.h"
#include "sort_order.h"
#include "terminal_text.h"
#include "text/translation.h"
#include "ui/track_columns.h"
#include "views/list_text.h"

namespace quillet::cli {
namespace {

struct ViewFacts {
    const char* tabText;  // the tab's text in the window
    const char* absent;   // why start-up offered no such tab
};

ViewFacts factsOf(ViewKind view) {
    if (view == ViewKind::Waypoints) {
        return {QUILLET_TEXT("Way Points"), QUILLET_TEXT("GARMIN_WPT.NVM cannot be opened")};
    }
    return {QUILLET_TEXT("Tracks"),
            QUILLET_TEXT("neither GARMIN_ATRK.NVM nor GARMIN_STRK.NVM can be opened")};
}

// The tab's text as the window shows it, in the person's language.
std::string tabTextOf(ViewKind view) {
    return translate(factsOf(view).tabText);
}

// Everything one command needs: the port and the state start-up made.
struct Session {
    const CliOptions& options;
    const Streams& streams;
    const std::filesystem::path& directory;
    CliUi& ui;
    AppState& state;
};

// Writes a command's result on standard output; a failed write is a failed command.
int writeOutput(Session& session, std::string_view text) {
    session.streams.out.write(text.data(), static_cast<std::streamsize>(text.size()));
    session.streams.out.flush();
    if (!session.streams.out) {
        session.ui.report(translate("cannot write to standard output"));
        return kExitFailure;
    }
    return kExitSuccess;
}

int runInfo(Session& session) {
    std::string lines;
    for (const DeviceFileInfo& info : readDeviceInfo(session.state.files)) {
        lines += info.fileName + '\t' + std::to_string(info.version);
        if (info.accessCount) {
            lines += '\t' + std::to_string(*info.accessCount);
        }
        lines += '\t' + std::to_string(info.count) + '\n';
    }
    return writeOutput(session, lines);
}

// Shows the tab of the view; false, with a message, when start-up offered no such tab.
bool showView(Session& session) {
    const ViewKind view = session.options.view;
    const std::optional<int> tab = tabOf(session.state, view);
    if (!tab) {
        session.ui.report(fillIn(
            translate("there is no \"{1}\" view: {2} in {3}"),
            {tabTextOf(view), translate(factsOf(view).absent), pathText(session.directory)}));
        return false;
    }
    if (currentView(session.state) != view) {
        switchToTab(session.state, session.ui, *tab);
    }
    return true;
}

// Applies --sort and --reverse; false after a usage error.
bool sortList(Session& session) {
    RecordList& list = session.state.list;
    std::size_t column = track_columns::kNumber;  // "#" in both views
    if (session.options.sortHeading) {
        const auto found = findHeading(list, *session.options.sortHeading);
        if (!found) {
            usageError(session.streams.err,
                       fillIn(translate("the \"{1}\" view has no column headed \"{2}\"; its "
                                        "headings are {3}"),
                              {tabTextOf(session.options.view), *session.options.sortHeading,
                               quotedHeadings(list)}));
            return false;
        }
        column = *found;
    } else if (!session.options.reverse) {
        return true;
    }
    sortByClicks(list, column, !session.options.reverse);
    return true;
}

// Applies --select or --all; false after a usage error.
bool selectRows(Session& session) {
    RecordList& list = session.state.list;
    if (session.options.all) {
        selectAllRows(list);
        return true;
    }
    if (!session.options.selection) {
        return true;
    }
    const auto missing = missingItemNumbers(list, *session.options.selection);
    if (!missing.empty()) {
        const bool one = missing.size() == 1 && missing[0].first == missing[0].last;
        usageError(session.streams.err,
                   fillIn(one ? translate("no row of the \"{1}\" view carries the number {2}")
                              : translate("no row of the \"{1}\" view carries the numbers {2}"),
                          {tabTextOf(session.options.view), describeRanges(missing)}));
        return false;
    }
    selectItemNumbers(list, *session.options.selection);
    return true;
}

// --name-contains: the rows the filter hides lose their selection, as in the window.
void filterRows(Session& session) {
    if (session.options.nameContains) {
        setFilter(session.state, *session.options.nameContains);
    }
}

// Written piece by piece, so that a long list never stands in memory as one text; a
// failed write shows in the stream's state, which writeOutput checks.
int runList(Session& session) {
    std::ostream& out = session.streams.out;
    const bool terminal = session.streams.outputTerminal;
    const std::optional<RecordList> shown =
        session.state.shownRows ? std::optional(shownList(session.state)) : std::nullopt;
    writeListing(shown ? *shown : session.state.list, [&out, terminal](std::string_view piece) {
        if (terminal) {
            const std::string shown = terminalSafeText(piece);
            out.write(shown.data(), static_cast<std::streamsize>(shown.size()));
        } else {
            out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
        }
        return static_cast<bool>(out);
    });
    return writeOutput(session, {});
}

// The document is written as it is; one warning says that it holds coordinates that
// some GPX readers refuse.
void warnOfPointsOutOfRange(Session& session, std::size_t points) {
    if (points == 0) {
        return;
    }
    session.ui.report(fillIn(translatePlural("warning: {1} point has coordinates outside the "
                                             "ranges GPX allows; some GPX readers may refuse "
                                             "the file",
                                             "warning: {1} points have coordinates outside the "
                                             "ranges GPX allows; some GPX readers may refuse "
                                             "the file",
                                             points),
                             {std::to_string(points)}));
}

// The format --format names, or else the one the output file's extension names (GPX
// for "-" and for any other extension).
const ExportFormat& formatOf(const CliOptions& options) {
    if (options.format) {
        return *formatNamed(*options.format);
    }
    return options.output == "-" ? gpxFormat() : formatOfPath(pathFromUtf8(options.output));
}

// "-o -": the document is streamed as it is written. Every device file it needs is opened
// first, so that a failed export prints nothing on standard output.
int streamExport(Session& session, const ExportFormat& format,
                 const std::function<GpxExportReport(std::ostream&)>& write) {
    std::ostream& standardOutput = session.streams.out;
#ifdef _WIN32
    CrLfStreamBuf crLf(standardOutput.rdbuf());
    std::ostream withCrLf(&crLf);
    std::ostream& out = format.ownLineEnds ? standardOutput : withCrLf;
#else
    static_cast<void>(format);
    std::ostream& out = standardOutput;
#endif
    const GpxExportReport report = write(out);
    if (!report.unreadableFiles.empty()) {
        std::string text = unreadableFilesLines(report);
        text += translate(
            "Nothing was exported. Check that the device files are still in the folder "
            "and export again.");
        session.ui.report(text);
        return kExitFailure;
    }
    const int status = writeOutput(session, {});
    if (status == kExitSuccess && report.writeFailed) {
        session.ui.report(translate("cannot write to standard output"));
        return kExitFailure;
    }
    if (status == kExitSuccess) {
        warnOfPointsOutOfRange(session, report.pointsOutOfRange);
    }
    return status;
}

int exportOutcome(Session& session, const MakeGpxResult& result) {
    switch (result.outcome) {
        case CommandOutcome::Done:
            warnOfPointsOutOfRange(session, result.pointsOutOfRange);
            return kExitSuccess;
        case CommandOutcome::NotRun:
            session.ui.report(translate("nothing was exported"));
            return kExitFailure;
        case CommandOutcome::Refused:
        case CommandOutcome::Failed:
            break;
    }
    return kExitFailure;
}

int runExport(Session& session) {
    if (session.state.list.selectedCount() == 0) {
        session.ui.report(
            session.options.nameContains
                ? fillIn(translate("the \"{1}\" view has no chosen row whose Name contains "
                                   "\"{2}\": there is nothing to export"),
                         {tabTextOf(session.options.view), *session.options.nameContains})
                : fillIn(translate("the \"{1}\" view has no rows: there is nothing to export"),
                         {tabTextOf(session.options.view)}));
        return kExitFailure;
    }
    const ExportFormat& format = formatOf(session.options);
    if (session.options.output == "-") {
        return streamExport(session, format, [&](std::ostream& out) {
            return writeDocument(out, session.state, session.options.view, format, true);
        });
    }
    session.ui.setSavePath(pathFromUtf8(session.options.output));
    return exportOutcome(session, makeGpx(session.state, session.ui, &format));
}

// "export all": every record of both views, whatever the list shows.
int runExportEverything(Session& session) {
    const ExportFormat& format = formatOf(session.options);
    if (session.options.output == "-") {
        return streamExport(session, format, [&](std::ostream& out) {
            return writeEverything(out, session.state.files, format, true);
        });
    }
    session.ui.setSavePath(pathFromUtf8(session.options.output));
    return exportOutcome(session, exportEverything(session.state, session.ui, &format));
}

int runDelete(Session& session) {
    const DeleteResult result = onDelete(session.state, session.ui);
    switch (result.outcome) {
        case CommandOutcome::Done: {
            const std::string text =
                session.options.view == ViewKind::Waypoints
                    ? translatePlural(
                          "deleted {1} waypoint from {2}; the previous file is kept "
                          "as {3}",
                          "deleted {1} waypoints from {2}; the previous file is kept "
                          "as {3}",
                          result.removed)
                    : translatePlural(
                          "deleted {1} saved track from {2}; the previous file is "
                          "kept as {3}",
                          "deleted {1} saved tracks from {2}; the previous file is "
                          "kept as {3}",
                          result.removed);
            return writeOutput(
                session, fillIn(text, {std::to_string(result.removed), pathText(result.deviceFile),
                                       pathText(result.backupFile)}) +
                             "\n");
        }
        case CommandOutcome::NotRun:
            session.ui.report(session.ui.questionDeclined()
                                  ? translate("not confirmed: nothing was deleted")
                                  : translate("nothing was deleted"));
            return kExitFailure;
        case CommandOutcome::Refused:
        case CommandOutcome::Failed:
            break;
    }
    return kExitFailure;
}

// One line per stored version of the folder's files, newest first: id, when it was
// replaced, file name, records, bytes.
int runHistory(Session& session) {
    std::string lines;
    for (const FolderVersion& shown : folderHistory(session.state)) {
        const auto cells = historyCells(shown);
        for (std::size_t i = 0; i < cells.size(); ++i) {
            lines += cells[i] + (i + 1 < cells.size() ? '\t' : '\n');
        }
    }
    if (session.streams.outputTerminal) {
        lines = terminalSafeText(lines);
    }
    return writeOutput(session, lines);
}

int runRestore(Session& session) {
    const DeleteResult result = onRestore(session.state, session.ui, session.options.versionId);
    switch (result.outcome) {
        case CommandOutcome::Done: {
            const std::string line =
                result.historyId.empty()
                    ? fillIn(translate("restored {1} as version {2}; the previous file is kept "
                                       "as {3}"),
                             {pathText(result.deviceFile), session.options.versionId,
                              pathText(result.backupFile)})
                    : fillIn(translate("restored {1} as version {2}; the previous file is kept "
                                       "as {3} and in the history as {4}"),
                             {pathText(result.deviceFile), session.options.versionId,
                              pathText(result.backupFile), result.historyId});
            return writeOutput(session, line + "\n");
        }
        case CommandOutcome::NotRun:
            session.ui.report(session.ui.questionDeclined()
                                  ? translate("not confirmed: nothing was restored")
                                  : translate("nothing was restored"));
            return kExitFailure;
        case CommandOutcome::Refused:
        case CommandOutcome::Failed:
            break;
    }
    return kExitFailure;
}

// The size of the SVG picture, in its own units.
constexpr double kPictureWidth = 800;
constexpr double kPictureHeight = 600;

int runPreview(Session& session) {
    AppState& state = session.state;
    const preview::PreviewRows rows = preview::takeSelectedRows(state, session.options.view);
    const preview::PreviewSelection& selection = rows.selection();
    if (!selection.unreadableFiles.empty()) {
        std::string text;
        for (const auto& file : selection.unreadableFiles) {
            text += fillIn(translate("Unable to open file {1}"), {pathText(file)}) + "\n";
        }
        text +=
            translate("Nothing was drawn. Check that the device files are still in the folder.");
        session.ui.report(text);
        return kExitFailure;
    }
    const preview::PreviewScene scene =
        preview::buildScene(selection, kPictureWidth, kPictureHeight);
    MapUnderPreview map;
    if (session.options.map) {
        map = mapUnderPreview(scene, *session.options.map);
        if (!map.readable) {
            session.ui.report(fillIn(translate("Unable to read the map file {1}"),
                                     {pathText(pathFromUtf8(session.options.map->location))}));
            return kExitFailure;
        }
    }
    const std::string document = preview::svgDocument(scene, map.tiles, map.credit);
    const std::filesystem::path path = pathFromUtf8(session.options.output);
    if (session.options.output == "-") {
        return writeOutput(session, document);
    }
    if (protectedFileAt(state.files, path)) {
        session.ui.report(
            fillIn(translate("Unable to create SVG file {1}: it is a device file or its backup"),
                   {pathText(path)}));
        return kExitFailure;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out.is_open()) {
        out.write(document.data(), static_cast<std::streamsize>(document.size()));
        errno = 0;
        out.close();
    }
    if (!out) {
        const int error = errno;
        session.ui.report(
            error != 0 ? fillIn(translate("Unable to create SVG file {1}: {2}"),
                                {pathText(path), std::strerror(error)})
                       : fillIn(translate("Unable to create SVG file {1}"), {pathText(path)}));
        return kExitFailure;
    }
    return kExitSuccess;
}

// Starts on the folder the stored version `id` was replaced in, with the version standing
// in for its device file; nothing, after a message, when it is not there or damaged.
std::unique_ptr<AppState> startUpOnVersion(const std::string& id, const TimeZone& zone, CliUi& ui,
                                           std::filesystem::path& directory) {
    const auto folder = platform::historyFolder();
    const auto version = folder ? findVersion(*folder, id) : std::nullopt;
    if (!version) {
        ui.report(folder ? fillIn(translate("there is no stored version {1} in the history at {2}"),
                                  {id, pathText(*folder)})
                         : fillIn(translate("there is no stored version {1}: no folder is set for "
                                            "the history"),
                                  {id}));
        return nullptr;
    }
    SystemFileOperations ops;
    if (!readVersionBytes(ops, *version)) {
        ui.report(fillIn(translate("the stored version {1} ({2}) no longer holds the bytes it was "
                                   "stored with"),
                         {id, pathText(version->storedFile)}));
        return nullptr;
    }
    directory = version->deviceFile.parent_path();
    FileSet files = makeFileSet(directory);
    if (version->deviceFile.filename() == kWaypointFileName) {
        files.waypoints = version->storedFile;
    } else {
        files.savedTracks = version->storedFile;
    }
    auto state = startUp(files, ui, translate(kNoFileMessage), zone);
    if (state) {
        state->readFromHistory = version->deviceFile;
    }
    return state;
}

}  // namespace

int runCommand(const CliOptions& options, const Streams& streams) {
    const Confirmation confirmation = options.yes        ? Confirmation::Assumed
                                      : streams.terminal ? Confirmation::Ask
                                                         : Confirmation::Impossible;
    CliUi ui(streams.err, streams.in, confirmation);

    std::error_code error;
    std::filesystem::path directory;
    std::unique_ptr<AppState> state;
    if (options.historyVersion) {
        if (options.command == Command::History || options.command == Command::Restore) {
            return usageError(streams.err,
                              translate("-C history:ID reads a stored version; history and "
                                        "restore need the folder of the device files"));
        }
        state = startUpOnVersion(*options.historyVersion, options.timeZone, ui, directory);
    } else {
        directory = std::filesystem::absolute(options.directory, error);
        if (error || !std::filesystem::is_directory(directory, error)) {
            ui.report(fillIn(translate("there is no folder {1}"), {pathText(options.directory)}));
            return kExitFailure;
        }
        state = startUp(directory, ui, options.timeZone);
    }
    if (!state) {
        return kExitFailure;  // the reason was shown
    }
    state->keepHistory = !options.noHistory;
    Session session{options, streams, directory, ui, *state};
    if (options.command == Command::Info) {
        return runInfo(session);
    }
    if (options.command == Command::History) {
        return runHistory(session);
    }
    if (options.command == Command::Restore) {
        return runRestore(session);
    }
    if (options.command == Command::Export && options.everything) {
        return runExportEverything(session);
    }
    if (!showView(session)) {
        return kExitFailure;
    }
    if (!sortList(session) || !selectRows(session)) {
        return kExitUsage;
    }
    filterRows(session);
    switch (options.command) {
        case Command::List:
            return runList(session);
        case Command::Export:
            return runExport(session);
        case Command::Delete:
            return runDelete(session);
        case Command::Preview:
            return runPreview(session);
        case Command::Info:
        case Command::History:
        case Command::Restore:
            break;
    }
    return kExitFailure;
}

}  // namespace quillet::cli
