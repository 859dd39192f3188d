// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>

#include <string>
#include <string_view>
#include <vector>
#include "map/map_source.h"

#include "app/app_state.h"
#include "device/time_zone.h"
#include "item_selection.h"

namespace quillet::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // an operation failed or was refused
inline constexpr int kExitUsage = 2;    // the command line is wrong

enum class Command { Info, List, Export, Delete, Preview, History, Restore };

struct CliOptions {
    std::filesystem::path directory = ".";
    Command command = Command::Info;
    ViewKind view = ViewKind::Waypoints;
    bool everything = false;            // export all: both views, every row
    std::optional<std::string> format;  // export --format NAME
    std::optional<std::string> sortHeading;
    bool reverse = false;
    bool all = false;                                   // export, preview --all
    std::optional<std::vector<NumberRange>> selection;  // --select LIST
    std::string output;                                 // export, preview -o FILE ("-": stdout)
    bool yes = false;                                   // delete, restore --yes
    bool noHistory = false;                             // delete, restore --no-history
    std::string versionId;                              // restore ID
    // -C history:ID: the folder's file as the stored version ID held it.
    std::optional<std::string> historyVersion;
    std::optional<std::string> nameContains;  // --name-contains TEXT: the rows it shows
    std::optional<map::MapSource> map;        // preview --map SOURCE
    TimeZone timeZone;                        // --time-zone ZONE
};

// What -C history:ID starts with.
inline constexpr std::string_view kHistoryFolderPrefix = "history:";

// The options of a well-formed command line. Otherwise nothing, with `exitStatus` set:
// 0 after --help or --version (printed on `out`), 2 after a usage error (on `err`).
struct ParsedCommandLine {
    std::optional<CliOptions> options;
    int exitStatus = kExitSuccess;
};

ParsedCommandLine parseCommandLine(int argc, const char* const* argv, std::ostream& out,
                                   std::ostream& err);

// Prints a usage error and the pointer to --help; returns the usage exit status.
int usageError(std::ostream& err, std::string_view text);

}  // namespace quillet::cli
