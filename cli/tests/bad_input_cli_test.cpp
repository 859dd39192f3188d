// The bad-input catalogue through the built quillet-cli: list, export and delete on
// every malformed folder. Every command ends by itself (no signal, no sanitizer report,
// no hang), a failure says something on standard error, the expected message comes, a
// deletion that must be refused is, and every device file survives under its name or
// its backup's.
//
// Unreadable files and read-only folders mean nothing to root: run as root, those
// commands run as the user nobody (setpriv); without setpriv the cases are skipped.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "support/bad_folders.h"
#include "support/temp_dir.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using testing::Access;
using testing::BadFolder;
using testing::TempDir;

struct CliRun {
    int exitCode = -1;  // -1: ended by a signal
    std::string errors;
};

// Runs quillet-cli with the arguments in `dir`, bounded to a minute.
CliRun runCli(const std::string& arguments, const fs::path& dir, bool asNobody) {
    const fs::path errorFile = dir.parent_path() / (dir.filename().string() + ".stderr");
    std::string command = "timeout 60 ";
    if (asNobody) {
        command += "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    }
    command += "'" QUILLET_CLI_BINARY "' -C '" + dir.string() + "' " + arguments +
               " </dev/null >/dev/null 2>'" + errorFile.string() + "'";
    const int status = std::system(command.c_str());
    CliRun run;
    run.errors = testing::readFile(errorFile);
    fs::remove(errorFile);
    if (WIFEXITED(status)) {
        run.exitCode = WEXITSTATUS(status);
    }
    return run;
}

std::string exerciseCli(const BadFolder& folder, const fs::path& dir, bool asNobody) {
    std::string problems;
    std::string allErrors;
    const auto run = [&](const std::string& what, const std::string& arguments) {
        const CliRun result = runCli(arguments, dir, asNobody);
        allErrors += result.errors;
        const bool usual = result.exitCode == 0 || result.exitCode == 1 || result.exitCode == 2;
        if (!usual) {
            problems += what + " ended with " + std::to_string(result.exitCode) + "; ";
        }
        if (result.errors.find("Sanitizer") != std::string::npos ||
            result.errors.find("runtime error") != std::string::npos) {
            problems += what + " tripped a sanitizer; ";
        }
        if (result.exitCode != 0 && result.errors.empty()) {
            problems += what + " failed without a word; ";
        }
        return result;
    };

    run("list waypoints", "list waypoints");
    run("list tracks", "list tracks");
    run("export waypoints", "export waypoints --all -o '" + (dir / "w.gpx").string() + "'");
    run("export tracks", "export tracks --all -o '" + (dir / "t.gpx").string() + "'");
    const CliRun waypoints = run("delete waypoints", "delete waypoints --select 1 --yes");
    const CliRun tracks = run("delete tracks", "delete tracks --select 1 --yes");

    for (const auto& [device, result] : {std::pair{std::string("GARMIN_WPT.NVM"), waypoints},
                                         {std::string("GARMIN_STRK.NVM"), tracks}}) {
        if (folder.deletionRefusedFor == device &&
            (result.exitCode != 1 ||
             result.errors.find(device.substr(0, device.size() - 1)) == std::string::npos)) {
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
    if (asNobody && std::system("setpriv --reuid=65534 --regid=65534 --clear-groups true") != 0) {
        GTEST_SKIP() << "running as root and cannot become nobody: access rights hold nothing";
    }
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
