#include "commands.h"

#include <ostream>
#include <sstream>
#include <string>
#include <system_error>

#include "app/device_info.h"
#include "app/fill_list.h"
#include "app/startup.h"
#include "cli_ui.h"
#include "edit/delete_records.h"
#include "export/gpx_export.h"
#include "item_selection.h"
#include "sort_order.h"
#include "views/list_text.h"

namespace quillet::cli {
namespace {

struct ViewFacts {
    const char* tabText;  // the tab's text in the window
    const char* absent;   // why start-up offered no such tab
    const char* oneRecord;
    const char* records;
};

ViewFacts factsOf(ViewKind view) {
    if (view == ViewKind::Waypoints) {
        return {"Way Points", "GARMIN_WPT.NVM cannot be opened", "waypoint", "waypoints"};
    }
    return {"Tracks", "neither GARMIN_ATRK.NVM nor GARMIN_STRK.NVM can be opened", "saved track",
            "saved tracks"};
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
        session.ui.report("cannot write to standard output");
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
    const int position = view == ViewKind::Waypoints ? session.state.waypointTabPosition
                                                     : session.state.tracksTabPosition;
    if (position == 0) {
        const ViewFacts facts = factsOf(view);
        session.ui.report(std::string("there is no \"") + facts.tabText +
                          "\" view: " + facts.absent + " in " + session.directory.string());
        return false;
    }
    if (currentView(session.state) != view) {
        onTabChanged(session.state, session.ui, position - 1);
    }
    return true;
}

// Applies --sort and --reverse; false after a usage error.
bool sortList(Session& session) {
    RecordList& list = session.state.list;
    std::size_t column = 1;  // "#"
    if (session.options.sortHeading) {
        const auto found = findHeading(list, *session.options.sortHeading);
        if (!found) {
            usageError(session.streams.err,
                       std::string("the \"") + factsOf(session.options.view).tabText +
                           "\" view has no column headed \"" + *session.options.sortHeading +
                           "\"; its headings are " + quotedHeadings(list));
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
                   std::string("no row of the \"") + factsOf(session.options.view).tabText +
                       "\" view carries the number" + (one ? " " : "s ") + describeRanges(missing));
        return false;
    }
    selectItemNumbers(list, *session.options.selection);
    return true;
}

// Written piece by piece, so that a long list never stands in memory as one text; a
// failed write shows in the stream's state, which writeOutput checks.
int runList(Session& session) {
    std::ostream& out = session.streams.out;
    writeListing(session.state.list, [&out](std::string_view piece) {
        out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
        return static_cast<bool>(out);
    });
    return writeOutput(session, {});
}

int runExport(Session& session) {
    if (session.state.list.selectedCount() == 0) {
        session.ui.report(std::string("the \"") + factsOf(session.options.view).tabText +
                          "\" view has no rows: there is nothing to export");
        return kExitFailure;
    }
    if (session.options.output == "-") {
        // The whole document first: a failed export prints nothing on standard output.
        std::ostringstream document;
        const GpxExportReport report = writeGpxDocument(document, session.state);
        if (!report.unreadableFiles.empty()) {
            std::string text;
            for (const auto& file : report.unreadableFiles) {
                text += "Unable to open file " + file.string() + "\n";
            }
            text +=
                "Nothing was exported. Check that the device files are still in the folder "
                "and export again.";
            session.ui.report(text);
            return kExitFailure;
        }
        return writeOutput(session, document.str());
    }
    session.ui.setSavePath(session.options.output);
    switch (onMakeGpx(session.state, session.ui)) {
        case CommandOutcome::Done:
            return kExitSuccess;
        case CommandOutcome::NotRun:
            session.ui.report("nothing was exported");
            return kExitFailure;
        case CommandOutcome::Refused:
        case CommandOutcome::Failed:
            break;
    }
    return kExitFailure;
}

int runDelete(Session& session) {
    const DeleteResult result = onDelete(session.state, session.ui);
    switch (result.outcome) {
        case CommandOutcome::Done: {
            const ViewFacts facts = factsOf(session.options.view);
            const std::string line = std::string("deleted ") + std::to_string(result.removed) +
                                     " " + (result.removed == 1 ? facts.oneRecord : facts.records) +
                                     " from " + result.deviceFile.string() +
                                     "; the previous file is kept as " +
                                     result.backupFile.string() + "\n";
            return writeOutput(session, line);
        }
        case CommandOutcome::NotRun:
            session.ui.report(session.ui.questionDeclined() ? "not confirmed: nothing was deleted"
                                                            : "nothing was deleted");
            return kExitFailure;
        case CommandOutcome::Refused:
        case CommandOutcome::Failed:
            break;
    }
    return kExitFailure;
}

}  // namespace

int runCommand(const CliOptions& options, const Streams& streams) {
    const Confirmation confirmation = options.yes        ? Confirmation::Assumed
                                      : streams.terminal ? Confirmation::Ask
                                                         : Confirmation::Impossible;
    CliUi ui(streams.err, streams.in, confirmation);

    std::error_code error;
    const std::filesystem::path directory = std::filesystem::absolute(options.directory, error);
    if (error || !std::filesystem::is_directory(directory, error)) {
        ui.report("there is no folder " + options.directory.string());
        return kExitFailure;
    }
    const auto state = startUp(directory, ui);
    if (!state) {
        return kExitFailure;  // "Unable to open any NVM file. Terminated" was shown
    }
    Session session{options, streams, directory, ui, *state};
    if (options.command == Command::Info) {
        return runInfo(session);
    }
    if (!showView(session)) {
        return kExitFailure;
    }
    if (!sortList(session) || !selectRows(session)) {
        return kExitUsage;
    }
    switch (options.command) {
        case Command::List:
            return runList(session);
        case Command::Export:
            return runExport(session);
        case Command::Delete:
            return runDelete(session);
        case Command::Info:
            break;
    }
    return kExitFailure;
}

}  // namespace quillet::cli
