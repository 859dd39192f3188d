// SPDX-License-Identifier: GPL-3.0-or-later
// The bad-input catalogue through the built quillet-cli: list, export and delete on
// every malformed folder. Every command ends by itself (no signal, no sanitizer report,
// no hang), a failure says something on standard error, the expected message comes, a
// deletion that must be refused is, and every device file survives under its name or
// its backup's.
//
// Unreadable files and read-only folders mean nothing to root: run as root, those
// commands run as the user nobody.

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "run_cli.h"
#include "support/bad_folders.h"
#include "support/temp_dir.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using testing::Access;
using testing::BadFolder;
using testing::TempDir;

constexpr unsigned kNobody = 65534;

std::string exerciseCli(const BadFolder& folder, const fs::path& dir, bool asNobody) {
    std::string problems;
    std::string allErrors;
    // Each command in `dir`, ended after a minute at the latest.
    testing::CliRunOptions options;
    options.user = asNobody ? std::optional(kNobody) : std::nullopt;
    options.timeLimitSeconds = 60;
    const auto run = [&](const std::string& what, std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"-C", dir.string()});
        const testing::CliRun result = testing::runCli(arguments, options);
        allErrors += result.err;
        const bool usual =
            result.exitStatus == 0 || result.exitStatus == 1 || result.exitStatus == 2;
        if (!usual) {
            problems += what + " ended with " + std::to_string(result.exitStatus) + "; ";
        }
        if (result.err.find("Sanitizer") != std::string::npos ||
            result.err.find("runtime error") != std::string::npos) {
            problems += what + " tripped a sanitizer; ";
        }
        if (result.exitStatus != 0 && result.err.empty()) {
            problems += what + " failed without a word; ";
        }
        return result;
    };

    run("list waypoints", {"list", "waypoints"});
    run("list tracks", {"list", "tracks"});
    run("export waypoints", {"export", "waypoints", "--all", "-o", (dir / "w.gpx").string()});
    run("export tracks", {"export", "tracks", "--all", "-o", (dir / "t.gpx").string()});
    const testing::CliRun waypoints =
        run("delete waypoints", {"delete", "waypoints", "--select", "1", "--yes"});
    const testing::CliRun tracks =
        run("delete tracks", {"delete", "tracks", "--select", "1", "--yes"});

    for (const auto& [device, result] : {std::pair{std::string("GARMIN_WPT.NVM"), waypoints},
                                         {std::string("GARMIN_STRK.NVM"), tracks}}) {
        if (folder.deletionRefusedFor == device &&
            (result.exitStatus != 1 ||
             result.err.find(device.substr(0, device.size() - 1)) == std::string::npos)) {
            problems += "the deletion from " + device + " was not refused with its name; ";
        }
    }
    if (!folder.fillMessage.empty() && allErrors.find(folder.fillMessage) == std::string::npos) {
        problems += "no message with \"" + folder.fillMessage + "\"; ";
    }
    return problems;
}

class BadInputCli : public ::testing::TestWithParam<BadFolder> {};

TEST_P(BadInputCli, CommandLineHoldsAndLosesNothing) {
    const BadFolder& folder = GetParam();
    const bool asNobody = folder.access != Access::Normal && ::geteuid() == 0;
    TempDir dir;
    testing::writeBadFolder(folder, dir.path());
    const auto before = testing::folderContents(dir.path());

    testing::restrictAccess(folder, dir.path(), true);
    const std::string problems = exerciseCli(folder, dir.path(), asNobody);
    testing::restrictAccess(folder, dir.path(), false);

    EXPECT_EQ(problems, "");
    EXPECT_EQ(testing::lostData(before, testing::folderContents(dir.path())), "");
}

INSTANTIATE_TEST_SUITE_P(Folders, BadInputCli, ::testing::ValuesIn(testing::badFolders()),
                         [](const auto& info) { return info.param.label; });

}  // namespace
}  // namespace quillet
