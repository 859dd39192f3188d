// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <locale.h>

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

// ---- languages

bool localeInstalled(const char* name) {
    const locale_t locale = newlocale(LC_ALL_MASK, name, nullptr);
    if (locale == nullptr) {
        return false;
    }
    freelocale(locale);
    return true;
}

TEST(CliLanguage, SpeaksRussianWhereThePersonDoesAndNeverChangesItsData) {
    TempDir folder;
    writeSampleWaypoints(folder);
    writeSampleTracks(folder);
    const std::string dir = folder.path().string();
    const std::string englishError =
        "quillet-cli: \"routes\" is not a view: the views are waypoints and tracks\n" +
        kHelpPointer + "\n";
    const std::string russianError =
        "quillet-cli: \"routes\" — не вид: виды — waypoints и tracks\n"
        "Справка по использованию: 'quillet-cli --help'.\n";
    const std::string englishHelpLines =
        "\n\nExit status:\n  0  success (warnings alone do not change it)\n";
    const std::string russianHelpLines =
        "\n\nКод возврата:\n  0  успех (одни предупреждения его не меняют)\n";
    // What is data stays English, byte for byte: the listings with their headings
    // ("Local time" too), the info lines and every exported document.
    const std::vector<std::vector<std::string>> dataCommands = {
        {"list", "waypoints", "--time-zone", "Europe/Moscow"},
        {"list", "tracks", "--sort", "Start Time"},
        {"info"},
        {"export", "all", "-o", "-"},
        {"export", "waypoints", "--all", "--format", "csv", "-o", "-"},
        {"preview", "tracks", "--all"},
    };
    std::vector<CliRun> english;
    for (const auto& command : dataCommands) {
        std::vector<std::string> arguments{"-C", dir};
        arguments.insert(arguments.end(), command.begin(), command.end());
        english.push_back(runCli(arguments));
        ASSERT_EQ(english.back().exitStatus, 0) << english.back().err;
    }
    const std::string englishHelp = runCli({"--help"}).out;

    struct Case {
        std::vector<std::string> language;
        bool russian;
    };
    const Case cases[] = {
        {{}, false},
        {{"LANG=C"}, false},
        // The C locale speaks English, whatever LANGUAGE asks for.
        {{"LANGUAGE=ru", "LANG=C"}, false},
        {{"LANGUAGE=ru", "LANG=C.UTF-8"}, true},
        {{"LANGUAGE=ru", "LANG=ru_RU.UTF-8"}, true},
        {{"LANG=ru_RU.UTF-8"}, true},
        {{"LC_ALL=ru_RU.UTF-8", "LANG=C"}, true},
        {{"LC_MESSAGES=ru_RU.UTF-8"}, true},
        // A language without a catalogue gets the English texts.
        {{"LANGUAGE=en", "LANG=ru_RU.UTF-8"}, false},
    };
    ASSERT_TRUE(localeInstalled("ru_RU.UTF-8"))
        << "the locale ru_RU.UTF-8 is not installed; scripts/install-deps.sh generates it";
    for (const Case& c : cases) {
        std::string shown;
        for (const auto& setting : c.language) {
            shown += setting + " ";
        }
        CliRunOptions options;
        options.language = c.language;
        const CliRun usage = runCli({"list", "routes"}, options);
        EXPECT_EQ(usage.exitStatus, 2) << shown;
        EXPECT_EQ(usage.err, c.russian ? russianError : englishError) << shown;

        const CliRun help = runCli({"--help"}, options);
        EXPECT_EQ(help.exitStatus, 0) << shown;
        if (c.russian) {
            EXPECT_NE(help.out.find(russianHelpLines), std::string::npos) << shown << help.out;
            EXPECT_EQ(help.out.rfind("Использование:\n  quillet-cli [-C DIR] info\n", 0), 0u)
                << shown;
        } else {
            EXPECT_EQ(help.out, englishHelp) << shown;
            EXPECT_NE(help.out.find(englishHelpLines), std::string::npos) << shown;
        }

        for (std::size_t i = 0; i < dataCommands.size(); ++i) {
            std::vector<std::string> arguments{"-C", dir};
            arguments.insert(arguments.end(), dataCommands[i].begin(), dataCommands[i].end());
            const CliRun run = runCli(arguments, options);
            EXPECT_EQ(run.exitStatus, 0) << shown << dataCommands[i][0];
            EXPECT_EQ(run.out, english[i].out) << shown << dataCommands[i][0];
            EXPECT_EQ(run.err, "") << shown << dataCommands[i][0];
        }
    }

    // The line that reports a deletion counts in Russian's forms.
    CliRunOptions russian;
    russian.language = {"LANGUAGE=ru", "LANG=C.UTF-8"};
    const CliRun deleted = runCli(
        {"-C", dir, "delete", "waypoints", "--select", "4,2", "--yes", "--no-history"}, russian);
    EXPECT_EQ(deleted.exitStatus, 0) << deleted.err;
    EXPECT_EQ(deleted.out, "удалены 2 путевые точки из " + (folder / "GARMIN_WPT.NVM").string() +
                               "; прежний файл сохранён как " +
                               (folder / "GARMIN_WPT.BAK").string() + "\n");
}

}  // namespace
}  // namespace quillet::testing
