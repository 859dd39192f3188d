#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device_folder.h"
#include "run_cli.h"

namespace quillet::testing {
namespace {

const std::string kHelpPointer = "Run 'quillet-cli --help' for the usage.";

TEST(CliHelp, HelpAndVersionGoToStandardOutput) {
    for (const auto& flag : {"--help", "-h"}) {
        const CliRun run = runCli({flag});
        EXPECT_EQ(run.exitStatus, 0) << flag;
        EXPECT_EQ(run.err, "") << flag;
        EXPECT_EQ(run.out.rfind("Usage:\n  quillet-cli [-C DIR] info\n", 0), 0u) << run.out;
        for (const auto& word :
             {"--select LIST", "--sort HEADING", "Exit status:", "\"Start Time\""}) {
            EXPECT_NE(run.out.find(word), std::string::npos) << word;
        }
    }
    // The help of a command is the same text.
    EXPECT_EQ(runCli({"list", "--help"}).out, runCli({"--help"}).out);

    const CliRun version = runCli({"--version"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.out, "quillet-cli 1.0\n");
    EXPECT_EQ(version.err, "");
}

struct UsageCase {
    std::vector<std::string> arguments;
    std::string expected;  // a part of the message
};

TEST(CliUsage, AWrongCommandLineExitsWithTwoBeforeAnyFileIsRead) {
    // The folder holds no device file: a usage error must come before start-up would
    // report that.
    TempDir folder;
    const std::string dir = folder.path().string();
    const UsageCase cases[] = {
        {{}, "a command is needed: info, list, export or delete"},
        {{"show", "waypoints"}, "unknown command \"show\""},
        {{"list"}, "list needs a view: waypoints or tracks"},
        {{"list", "routes"}, "\"routes\" is not a view"},
        {{"list", "waypoints", "--sort"}, "--sort needs a HEADING"},
        {{"export", "tracks", "--all", "-o", "x", "--sort", "#", "--sort", "Name"},
         "--sort may be given once"},
        {{"-C", ".", "info"}, "-C/--dir may be given once"},
        {{"list", "waypoints", "extra"}, "\"extra\" is not expected here"},
        {{"export", "waypoints", "-o", "x.gpx"}, "export needs --all or --select LIST"},
        {{"export", "waypoints", "--all", "--select", "1", "-o", "x.gpx"},
         "--all and --select cannot be given together"},
        {{"export", "waypoints", "--all"}, "export needs -o/--output FILE"},
        {{"export", "waypoints", "--all", "-o", ""}, "-o needs a file name"},
        {{"delete", "waypoints"}, "delete needs --select LIST"},
        {{"delete", "waypoints", "--all", "--yes"}, "--select"},
        {{"list", "waypoints", "--reverse=maybe"}, "--reverse is a switch"},
        {{"delete", "waypoints", "--select", "", "--yes"}, "empty"},
        {{"delete", "waypoints", "--select", "1,,2", "--yes"}, "\"\" is neither"},
        {{"delete", "waypoints", "--select", "1,", "--yes"}, "\"\" is neither"},
        {{"delete", "waypoints", "--select", "3-1", "--yes"}, "\"3-1\" runs backwards"},
        {{"delete", "waypoints", "--select", "1-2-3", "--yes"}, "\"1-2-3\" is neither"},
        {{"delete", "waypoints", "--select", "one", "--yes"}, "\"one\" is neither"},
        {{"delete", "waypoints", "--select", "1 2", "--yes"}, "\"1 2\" is neither"},
        {{"delete", "waypoints", "--select", "7 - 9", "--yes"}, "\"7 - 9\" is neither"},
        {{"delete", "waypoints", "--select", "99999999999999999999", "--yes"}, "is neither"},
        {{"preview", "waypoints"}, "preview needs --all or --select LIST"},
        {{"preview", "tracks", "--all", "-o", ""}, "-o needs a file name"},
        {{"info", "--bogus"}, "unknown option \"--bogus\""},
        {{"--time-zone", "Mars/Olympus", "list", "waypoints"},
         "unknown time zone \"Mars/Olympus\""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments{"-C", dir};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const CliRun run = runCli(arguments);
        std::string shown;
        for (const auto& a : c.arguments) {
            shown += a + " ";
        }
        EXPECT_EQ(run.exitStatus, 2) << shown << run.err;
        EXPECT_EQ(run.out, "") << shown;
        EXPECT_EQ(run.err.rfind("quillet-cli: ", 0), 0u) << shown << run.err;
        EXPECT_NE(run.err.find(c.expected), std::string::npos) << shown << run.err;
        EXPECT_NE(run.err.find(kHelpPointer), std::string::npos) << shown << run.err;
        EXPECT_EQ(run.err.find("Unable to open any NVM file"), std::string::npos) << shown;
    }
}

TEST(CliUsage, TheFolderCanFollowTheCommand) {
    TempDir folder;
    writeSampleWaypoints(folder);
    const CliRun before = runCli({"-C", folder.path().string(), "list", "waypoints"});
    const CliRun after = runCli({"list", "waypoints", "--dir", folder.path().string()});
    EXPECT_EQ(before.exitStatus, 0);
    EXPECT_EQ(after.exitStatus, 0);
    EXPECT_EQ(before.out, after.out);
    // Without -C the current directory is read.
    CliRunOptions inFolder;
    inFolder.workingDirectory = folder.path();
    EXPECT_EQ(runCli({"list", "waypoints"}, inFolder).out, before.out);
}

}  // namespace
}  // namespace quillet::testing
