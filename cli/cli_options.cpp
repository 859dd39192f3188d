// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_options.h"

#include <CLI/CLI.hpp>
#include <map>
#include <ostream>

#include "device/path_text.h"
#include "export/export_formats.h"
#include "help_text.h"
#include "text/translation.h"
#include "usage_errors.h"

namespace quillet::cli {
namespace {

const std::map<std::string, ViewKind> kViews{
    {"waypoints", ViewKind::Waypoints},
    {"tracks", ViewKind::Tracks},
};

struct RawOptions {
    std::string directory = ".";
    std::string view;
    std::string sortHeading;
    bool reverse = false;
    bool all = false;
    std::string selection;
    std::string output;
    std::string map;
    std::string format;
    bool yes = false;
    bool noHistory = false;
    std::string versionId;
    std::string nameContains;
    std::string timeZone = "utc";
};

CLI::App* addViewCommand(CLI::App& app, const char* name, const char* description, RawOptions& raw,
                         bool orAll = false) {
    CLI::App* command = app.add_subcommand(name, description);
    const std::vector<std::string> views =
        orAll ? std::vector<std::string>{"waypoints", "tracks", "all"}
              : std::vector<std::string>{"waypoints", "tracks"};
    command
        ->add_option("view", raw.view, orAll ? "waypoints, tracks or all" : "waypoints or tracks")
        ->required()
        ->check(CLI::IsMember(views));
    return command;
}

std::vector<std::string> formatNames() {
    std::vector<std::string> names;
    for (const ExportFormat& format : exportFormats()) {
        names.emplace_back(format.name);
    }
    return names;
}

CLI::Option* addNameFilter(CLI::App& command, RawOptions& raw) {
    return command
        .add_option("--name-contains", raw.nameContains,
                    "only the rows whose Name contains TEXT, in any case")
        ->type_name("TEXT");
}

void addSortOptions(CLI::App& command, RawOptions& raw) {
    command.add_option("--sort", raw.sortHeading, "sort by the column with this heading")
        ->type_name("HEADING");
    command.add_flag("--reverse", raw.reverse, "sort descending");
}

}  // namespace

int usageError(std::ostream& err, std::string_view text) {
    err << "quillet-cli: " << text << '\n'
        << translate("Run 'quillet-cli --help' for the usage.") << '\n'
        << std::flush;
    return kExitUsage;
}

ParsedCommandLine parseCommandLine(int argc, const char* const* argv, std::ostream& out,
                                   std::ostream& err) {
    RawOptions raw;
    CLI::App app("Lists, exports and deletes the records of GPS receiver device files",
                 "quillet-cli");
    app.set_version_flag("--version", std::string(kVersionText));
    app.require_subcommand(1);
    app.fallthrough();
    CLI::Option* dir =
        app.add_option("-C,--dir", raw.directory, "folder of the device files")->type_name("DIR");
    app.add_option("--time-zone", raw.timeZone, "utc, local or a zone name such as Europe/Moscow")
        ->type_name("ZONE");

    CLI::App* info = app.add_subcommand("info", "header values of the device files");
    CLI::App* list = addViewCommand(app, "list", "print the record list", raw);
    addSortOptions(*list, raw);
    CLI::Option* listFilter = addNameFilter(*list, raw);

    CLI::App* exportCommand =
        addViewCommand(app, "export", "write rows as GPX, GeoJSON, KML or CSV", raw, true);
    CLI::Option* all = exportCommand->add_flag("--all", raw.all, "every row");
    CLI::Option* exportSelect =
        exportCommand->add_option("--select", raw.selection, "item numbers")->type_name("LIST");
    all->excludes(exportSelect);
    addSortOptions(*exportCommand, raw);
    CLI::Option* exportFilter = addNameFilter(*exportCommand, raw);
    exportCommand->add_option("-o,--output", raw.output, "the document, - for stdout")
        ->type_name("FILE")
        ->required();
    exportCommand->add_option("--format", raw.format, "gpx, geojson, kml or csv")
        ->type_name("FORMAT")
        ->check(CLI::IsMember(formatNames()));

    CLI::App* deleteCommand = addViewCommand(app, "delete", "delete records", raw);
    deleteCommand->add_option("--select", raw.selection, "item numbers")
        ->type_name("LIST")
        ->required();
    deleteCommand->add_flag("--yes", raw.yes, "confirm");
    deleteCommand->add_flag("--no-history", raw.noHistory, "keep no version in the history");

    CLI::App* historyCommand =
        app.add_subcommand("history", "the stored versions of the folder's device files");
    CLI::App* restoreCommand =
        app.add_subcommand("restore", "put a stored version back under its device name");
    restoreCommand->add_option("id", raw.versionId, "the version's id")->required();
    restoreCommand->add_flag("--yes", raw.yes, "confirm");
    restoreCommand->add_flag("--no-history", raw.noHistory,
                             "keep no version of the current file in the history");

    CLI::App* previewCommand =
        addViewCommand(app, "preview", "draw the chosen rows as an SVG picture", raw);
    CLI::Option* previewAll = previewCommand->add_flag("--all", raw.all, "every row");
    CLI::Option* previewSelect =
        previewCommand->add_option("--select", raw.selection, "item numbers")->type_name("LIST");
    previewAll->excludes(previewSelect);
    CLI::Option* previewFilter = addNameFilter(*previewCommand, raw);
    previewCommand->add_option("-o,--output", raw.output, "the SVG file, - for stdout");
    previewCommand
        ->add_option("--map", raw.map,
                     "a map under the drawing: osm, a URL template or FILE.mbtiles")
        ->type_name("SOURCE");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << helpText() << std::flush;
        return {};
    } catch (const CLI::CallForAllHelp&) {
        out << helpText() << std::flush;
        return {};
    } catch (const CLI::CallForVersion&) {
        out << kVersionText << '\n' << std::flush;
        return {};
    } catch (const CLI::ParseError& error) {
        // Without a command, a word that was left over is one that is not a command.
        const auto leftOver = app.remaining();
        if (app.get_subcommands().empty() && !leftOver.empty() &&
            !leftOver.front().starts_with('-')) {
            return {
                .options = std::nullopt,
                .exitStatus = usageError(
                    err, fillIn(translate("unknown command \"{1}\": the commands are info, list, "
                                          "export, delete, preview, history and restore"),
                                {leftOver.front()}))};
        }
        return {.options = std::nullopt, .exitStatus = usageError(err, usageErrorText(error, app))};
    }

    CliOptions options;
    options.directory = pathFromUtf8(raw.directory);
    if (dir->count() > 0 && raw.directory.empty()) {
        return {.options = std::nullopt,
                .exitStatus = usageError(err, translate("-C needs a folder"))};
    }
    if (raw.directory.starts_with(kHistoryFolderPrefix)) {
        options.historyVersion = raw.directory.substr(kHistoryFolderPrefix.size());
    }
    const std::optional<TimeZone> zone = TimeZone::fromSetting(raw.timeZone);
    if (!zone) {
        return {.options = std::nullopt,
                .exitStatus = usageError(
                    err, fillIn(translate("unknown time zone \"{1}\": give utc, local or a zone "
                                          "name such as Europe/Moscow"),
                                {raw.timeZone}))};
    }
    options.timeZone = *zone;
    if (info->parsed()) {
        options.command = Command::Info;
        return {.options = options};
    }
    if (historyCommand->parsed() || restoreCommand->parsed()) {
        options.command = historyCommand->parsed() ? Command::History : Command::Restore;
        options.versionId = raw.versionId;
        options.yes = raw.yes;
        options.noHistory = raw.noHistory;
        return {.options = options};
    }
    if (raw.view == "all") {
        options.everything = true;
        if (raw.all || exportSelect->count() > 0) {
            return {.options = std::nullopt,
                    .exitStatus = usageError(
                        err, translate("export all takes every row: no --all or --select"))};
        }
    } else {
        options.view = kViews.at(raw.view);
    }
    if (exportCommand->parsed() && exportCommand->get_option("--format")->count() > 0) {
        options.format = raw.format;
    }
    if (list->parsed()) {
        options.command = Command::List;
    } else if (exportCommand->parsed()) {
        options.command = Command::Export;
        if (!options.everything && !raw.all && exportSelect->count() == 0) {
            return {
                .options = std::nullopt,
                .exitStatus = usageError(err, translate("export needs --all or --select LIST"))};
        }
        if (raw.output.empty()) {
            return {
                .options = std::nullopt,
                .exitStatus = usageError(err, translate("-o needs a file name (- for stdout)"))};
        }
    } else if (previewCommand->parsed()) {
        options.command = Command::Preview;
        if (!raw.all && previewSelect->count() == 0) {
            return {
                .options = std::nullopt,
                .exitStatus = usageError(err, translate("preview needs --all or --select LIST"))};
        }
        if (previewCommand->get_option("--output")->count() > 0 && raw.output.empty()) {
            return {
                .options = std::nullopt,
                .exitStatus = usageError(err, translate("-o needs a file name (- for stdout)"))};
        }
        if (raw.output.empty()) {
            raw.output = "-";
        }
        if (previewCommand->get_option("--map")->count() > 0) {
            options.map = map::mapSourceOfArgument(raw.map);
            if (!options.map) {
                return {.options = std::nullopt,
                        .exitStatus = usageError(
                            err, translate("--map needs osm, a URL with {z}, {x} and {y}, or "
                                           "FILE.mbtiles"))};
            }
        }
    } else {
        options.command = Command::Delete;
    }
    for (CLI::App* command : {list, exportCommand}) {
        if (command->parsed() && command->get_option("--sort")->count() > 0) {
            options.sortHeading = raw.sortHeading;
        }
    }
    for (const CLI::Option* filter : {listFilter, exportFilter, previewFilter}) {
        if (filter->count() > 0) {
            options.nameContains = raw.nameContains;
        }
    }
    options.reverse = raw.reverse;
    options.all = raw.all;
    options.output = raw.output;
    options.yes = raw.yes;
    options.noHistory = raw.noHistory;
    if ((exportCommand->parsed() && exportSelect->count() > 0) ||
        (previewCommand->parsed() && previewSelect->count() > 0) || deleteCommand->parsed()) {
        std::string problem;
        options.selection = parseItemList(raw.selection, problem);
        if (!options.selection) {
            return {.options = std::nullopt, .exitStatus = usageError(err, "--select: " + problem)};
        }
    }
    return {.options = options};
}

}  // namespace quillet::cli
