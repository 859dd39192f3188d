// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/app_state.h"
#include "core_driver.h"
#include "device_folder.h"
#include "export/export_formats.h"
#include "preview/svg_writer.h"
#include "run_cli.h"
#include "support/bad_folders.h"

namespace quillet::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> withDir(const TempDir& folder, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"-C", folder.path().string()});
    return arguments;
}

const char* viewWord(ViewKind view) {
    return view == ViewKind::Waypoints ? "waypoints" : "tracks";
}

// Both sample files of a view, so every test can see what a command left behind.
struct Sample {
    TempDir folder;
    Sample() {
        writeSampleWaypoints(folder);
        writeSampleTracks(folder);
    }
    std::string bytes(const char* name) const { return readFile(folder / name); }
};

// ---- list

TEST(CliReference, ListsAndExportsTheReferenceFoldersAsExpected) {
    const fs::path data = QUILLET_TEST_DATA_DIR;
    for (const char* name : {"basic", "tracks-only", "truncated"}) {
        for (const ViewKind view : {ViewKind::Waypoints, ViewKind::Tracks}) {
            const fs::path expected = data / name / (std::string("expected-") + viewWord(view));
            if (!fs::exists(expected.string() + ".txt")) {
                continue;
            }
            const std::string shown = std::string(name) + " " + viewWord(view);
            const CliRun list = runCli({"-C", (data / name).string(), "list", viewWord(view)});
            EXPECT_EQ(list.exitStatus, 0) << shown;
            EXPECT_EQ(list.out, readFile(expected.string() + ".txt")) << shown;
            const CliRun gpx = runCli(
                {"-C", (data / name).string(), "export", viewWord(view), "--all", "-o", "-"});
            EXPECT_EQ(gpx.exitStatus, 0) << shown;
            EXPECT_EQ(gpx.out, readFile(expected.string() + ".gpx")) << shown;
        }
    }
    // The truncated waypoint file warns once, after the last row, and the command
    // still succeeds.
    const CliRun truncated = runCli({"-C", (data / "truncated").string(), "list", "waypoints"});
    EXPECT_EQ(truncated.err,
              "quillet-cli: Incorrect file format!\nProbably error in record's number or "
              "length\n");
}

struct SortCase {
    ViewKind view;
    std::vector<std::string> options;
    std::vector<std::string> numbers;  // the "#" column from the top
};

TEST(CliList, SortsStablyAsClicksOnTheHeadingDo) {
    Sample sample;
    // Waypoints: Bravo, Alpha, Bravo, Alpha, Zulu; saved tracks Morning (1 point),
    // Evening (2), Morning (3); the active track has 3 points.
    const SortCase cases[] = {
        {ViewKind::Waypoints, {}, {" 1", " 2", " 3", " 4", " 5"}},
        {ViewKind::Waypoints, {"--sort", "#"}, {" 1", " 2", " 3", " 4", " 5"}},
        {ViewKind::Waypoints, {"--reverse"}, {" 5", " 4", " 3", " 2", " 1"}},
        {ViewKind::Waypoints, {"--sort", "#", "--reverse"}, {" 5", " 4", " 3", " 2", " 1"}},
        {ViewKind::Waypoints, {"--sort", "Name"}, {" 2", " 4", " 1", " 3", " 5"}},
        {ViewKind::Waypoints, {"--sort", "Name", "--reverse"}, {" 5", " 1", " 3", " 2", " 4"}},
        {ViewKind::Tracks, {}, {" 0", " 1", " 2", " 3"}},
        {ViewKind::Tracks, {"--reverse"}, {" 3", " 2", " 1", " 0"}},
        {ViewKind::Tracks, {"--sort", "Name"}, {" 0", " 2", " 1", " 3"}},
        {ViewKind::Tracks, {"--sort", "Name", "--reverse"}, {" 1", " 3", " 2", " 0"}},
        {ViewKind::Tracks, {"--sort", "Points"}, {" 1", " 2", " 0", " 3"}},
        {ViewKind::Tracks, {"--sort", "Points", "--reverse"}, {" 0", " 3", " 2", " 1"}},
        // The window's filter, which stays on the sorted rows.
        {ViewKind::Waypoints, {"--name-contains", "ALP"}, {" 2", " 4"}},
        {ViewKind::Waypoints,
         {"--name-contains", "a", "--sort", "Name", "--reverse"},
         {" 1", " 3", " 2", " 4"}},
        {ViewKind::Tracks, {"--name-contains", "eVEN"}, {" 2"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments{"list", viewWord(c.view)};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const CliRun run = runCli(withDir(sample.folder, arguments));
        const std::string shown = ::testing::PrintToString(c.options);
        EXPECT_EQ(run.exitStatus, 0) << shown << run.err;
        EXPECT_EQ(numberColumn(run.out), c.numbers) << viewWord(c.view) << shown;
    }
}

TEST(CliList, AnUnknownHeadingIsAUsageErrorThatListsTheHeadings) {
    Sample sample;
    const CliRun tracks =
        runCli(withDir(sample.folder, {"list", "tracks", "--sort", "Start time"}));
    EXPECT_EQ(tracks.exitStatus, 2);
    EXPECT_EQ(tracks.out, "");
    EXPECT_NE(tracks.err.find("\"Start time\""), std::string::npos) << tracks.err;
    EXPECT_NE(
        tracks.err.find("\" \", \"#\", \"Name\", \"Points\", \"Start Time\", \"Finish Time\""),
        std::string::npos)
        << tracks.err;

    const CliRun waypoints =
        runCli(withDir(sample.folder, {"export", "waypoints", "--all", "--sort", "name", "-o",
                                       (sample.folder / "x.gpx").string()}));
    EXPECT_EQ(waypoints.exitStatus, 2);
    EXPECT_NE(waypoints.err.find("\"Universal time\", \"1\", \"2\""), std::string::npos);
    EXPECT_FALSE(fs::exists(sample.folder / "x.gpx"));
}

// "local" is the zone TZ names; the waypoints' times are that zone's wall clock under
// "Local time", which --sort takes, and the GPX document stays UTC.
TEST(CliList, ShowsTheTimesInTheZoneThatTzNamesForLocal) {
    const fs::path basic = fs::path(QUILLET_TEST_DATA_DIR) / "basic";
    const char* before = std::getenv("TZ");
    const std::optional<std::string> saved =
        before ? std::optional<std::string>(before) : std::nullopt;
    setenv("TZ", "Asia/Novosibirsk", 1);
    const CliRun list = runCli({"--time-zone", "local", "-C", basic.string(), "list", "waypoints",
                                "--sort", "Local time"});
    const CliRun gpx = runCli(
        {"-C", basic.string(), "export", "waypoints", "--all", "-o", "-", "--time-zone", "local"});
    if (saved) {
        setenv("TZ", saved->c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    EXPECT_EQ(list.exitStatus, 0) << list.err;
    EXPECT_EQ(numberColumn(list.out),
              (std::vector<std::string>{" 4", " 3", " 2", " 6", " 1", " 5"}));
    EXPECT_NE(list.out.find("\tElevation\tLocal time\t1\t"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("\t150\t2023-06-15  15:30:05 \t"), std::string::npos) << list.out;
    EXPECT_EQ(gpx.exitStatus, 0) << gpx.err;
    EXPECT_EQ(gpx.out, readFile(basic / "expected-waypoints.gpx"));
}

// ---- failures common to the commands

TEST(CliErrors, AFolderWithoutDeviceFilesEndsEveryCommandWithExitOne) {
    TempDir folder;
    const std::vector<std::vector<std::string>> commands = {
        {"info"},
        {"list", "waypoints"},
        {"export", "tracks", "--all", "-o", (folder / "x.gpx").string()},
        {"delete", "waypoints", "--select", "1", "--yes"},
    };
    for (const auto& command : commands) {
        const CliRun run = runCli(withDir(folder, command));
        EXPECT_EQ(run.exitStatus, 1) << command[0];
        EXPECT_EQ(run.out, "") << command[0];
        EXPECT_EQ(run.err, "quillet-cli: Unable to open any NVM file. Terminated\n") << command[0];
    }
    EXPECT_TRUE(fs::is_empty(folder.path()));

    const CliRun missing = runCli({"-C", (folder / "nowhere").string(), "info"});
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_NE(missing.err.find("nowhere"), std::string::npos) << missing.err;
}

TEST(CliErrors, AViewWhoseFilesAreAbsentIsAnErrorNamingThem) {
    TempDir waypointsOnly;
    writeSampleWaypoints(waypointsOnly);
    const CliRun tracks = runCli(withDir(waypointsOnly, {"list", "tracks"}));
    EXPECT_EQ(tracks.exitStatus, 1);
    EXPECT_EQ(tracks.out, "");
    EXPECT_NE(tracks.err.find("GARMIN_ATRK.NVM"), std::string::npos) << tracks.err;
    EXPECT_NE(tracks.err.find("GARMIN_STRK.NVM"), std::string::npos) << tracks.err;

    TempDir tracksOnly;
    writeSampleTracks(tracksOnly);
    const CliRun waypoints = runCli(withDir(tracksOnly, {"list", "waypoints"}));
    EXPECT_EQ(waypoints.exitStatus, 1);
    EXPECT_EQ(waypoints.out, "");
    EXPECT_NE(waypoints.err.find("GARMIN_WPT.NVM"), std::string::npos) << waypoints.err;
}

TEST(CliErrors, WarningsAloneKeepExitZero) {
    TempDir folder;
    writeWaypointFile(folder, {waypoint("Alpha")}, 4);
    const CliRun run = runCli(withDir(folder, {"list", "waypoints"}));
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.err, "quillet-cli: Unknown version of WPT file\n");
    EXPECT_EQ(numberColumn(run.out), std::vector<std::string>{" 1"});
}

struct NumberCase {
    std::vector<std::string> arguments;
    std::string named;  // how the message names the missing numbers
};

TEST(CliErrors, ANumberNoRowCarriesWinsOverEveryOtherRefusalAndTouchesNothing) {
    Sample sample;
    const std::string out = (sample.folder / "out.gpx").string();
    const NumberCase cases[] = {
        {{"export", "waypoints", "--select", "2,6", "-o", out}, "the number 6"},
        {{"export", "waypoints", "--select", "0", "-o", "-"}, "the number 0"},
        {{"export", "tracks", "--select", "4000000000", "-o", out}, "the number 4000000000"},
        {{"delete", "waypoints", "--select", "9,1-3,7", "--yes"}, "the numbers 7, 9"},
        // Neither the active track nor the missing terminal is reported first.
        {{"delete", "tracks", "--select", "0,4-9"}, "the numbers 4-9"},
        {{"delete", "tracks", "--select", "0,3,5", "--yes"}, "the number 5"},
        {{"preview", "tracks", "--select", "2,7", "-o", out}, "the number 7"},
    };
    const std::string waypoints = sample.bytes(kWaypointFileName);
    const std::string tracks = sample.bytes(kSavedTracksFileName);
    for (const auto& c : cases) {
        const CliRun run = runCli(withDir(sample.folder, c.arguments));
        const std::string shown = ::testing::PrintToString(c.arguments);
        EXPECT_EQ(run.exitStatus, 2) << shown;
        EXPECT_EQ(run.out, "") << shown;
        EXPECT_NE(run.err.find("carries " + c.named + "\n"), std::string::npos) << shown << run.err;
        EXPECT_EQ(run.err.find("active track"), std::string::npos) << shown;
        EXPECT_EQ(run.err.find("shure"), std::string::npos) << shown;
    }
    EXPECT_EQ(sample.bytes(kWaypointFileName), waypoints);
    EXPECT_EQ(sample.bytes(kSavedTracksFileName), tracks);
    EXPECT_EQ(std::distance(fs::directory_iterator(sample.folder.path()), {}), 3);
}

// ---- export

struct ExportCase {
    ViewKind view;
    std::vector<std::string> options;  // selection and sort
    std::vector<std::size_t> clicks;   // the same sort as heading clicks
    std::vector<int> numbers;          // the same selection
};

TEST(CliExport, WritesTheBytesOfTheCoreForTheSameRowsInTheSameOrder) {
    Sample sample;
    const ExportCase cases[] = {
        {ViewKind::Waypoints, {"--select", " 4, 1-2 ,5,2"}, {}, {1, 2, 4, 5}},
        {ViewKind::Waypoints, {"--all", "--sort", "Name", "--reverse"}, {2, 2}, {1, 2, 3, 4, 5}},
        {ViewKind::Waypoints, {"--select", "3,1", "--reverse"}, {1}, {1, 3}},
        {ViewKind::Tracks, {"--all"}, {}, {0, 1, 2, 3}},
        {ViewKind::Tracks, {"--select", "3,0-1", "--sort", "Start Time"}, {4}, {0, 1, 3}},
        // The rows the name filter hides are left out of --all and --select.
        {ViewKind::Waypoints, {"--all", "--name-contains", "zU"}, {}, {5}},
        {ViewKind::Waypoints, {"--select", "1-4", "--name-contains", "ALPHA"}, {}, {2, 4}},
    };
    for (const auto& c : cases) {
        const auto core = openCoreView(sample.folder, c.view);
        clickAndSelect(*core, c.clicks, c.numbers);
        const std::string expected = coreDocument(*core);
        ASSERT_NE(expected.find("</gpx>"), std::string::npos);
        const std::string shown = ::testing::PrintToString(c.options);

        const fs::path file = sample.folder / "out.gpx";
        std::vector<std::string> arguments{"export", viewWord(c.view), "-o", file.string()};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const CliRun toFile = runCli(withDir(sample.folder, arguments));
        EXPECT_EQ(toFile.exitStatus, 0) << shown << toFile.err;
        EXPECT_EQ(toFile.out, "") << shown;
        EXPECT_EQ(toFile.err, "") << shown;
        EXPECT_EQ(readFile(file), expected) << shown;
        fs::remove(file);

        arguments[3] = "-";
        const CliRun toStdout = runCli(withDir(sample.folder, arguments));
        EXPECT_EQ(toStdout.exitStatus, 0) << shown;
        EXPECT_EQ(toStdout.out, expected) << shown;
        EXPECT_EQ(toStdout.err, "") << shown;
        EXPECT_FALSE(fs::exists(sample.folder / "-"));
    }
}

TEST(CliExport, OverwritesAnExistingFile) {
    Sample sample;
    const fs::path file = sample.folder.writeFile("old.gpx", std::string(100000, 'x'));
    const CliRun run = runCli(
        withDir(sample.folder, {"export", "waypoints", "--select", "1", "-o", file.string()}));
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    const auto core = openCoreView(sample.folder, ViewKind::Waypoints);
    clickAndSelect(*core, {}, {1});
    EXPECT_EQ(readFile(file), coreDocument(*core));
}

TEST(CliExport, AFileThatCannotBeCreatedFailsWithTheWindowsMessage) {
    Sample sample;
    for (const fs::path& target : {sample.folder / "missing" / "x.gpx", sample.folder.path()}) {
        const CliRun run =
            runCli(withDir(sample.folder, {"export", "tracks", "--all", "-o", target.string()}));
        EXPECT_EQ(run.exitStatus, 1) << target;
        EXPECT_EQ(run.out, "") << target;
        EXPECT_NE(run.err.find("quillet-cli: Unable to create GPX File"), std::string::npos)
            << run.err;
    }
    EXPECT_FALSE(fs::exists(sample.folder / "missing"));
}

TEST(CliExport, NeverWritesOverADeviceFileOrItsBackupHoweverItIsSpelled) {
    Sample sample;
    sample.folder.writeFile("GARMIN_WPT.BAK", std::string("old waypoints"));
    fs::create_directory(sample.folder / "sub");
    fs::create_symlink(sample.folder / "GARMIN_STRK.NVM", sample.folder / "link.gpx");
    fs::create_hard_link(sample.folder / "GARMIN_ATRK.NVM", sample.folder / "hard.gpx");
    const struct {
        const char* view;
        fs::path output;
        const char* named;  // the file the message must name
        std::vector<std::string> format{};
        const char* label = "GPX";
    } cases[] = {
        {"waypoints", sample.folder / "GARMIN_WPT.NVM", "GARMIN_WPT.NVM"},
        {"tracks", sample.folder / "sub" / ".." / "GARMIN_WPT.BAK", "GARMIN_WPT.BAK"},
        {"tracks", sample.folder / "link.gpx", "GARMIN_STRK.NVM"},
        {"waypoints", sample.folder / "hard.gpx", "GARMIN_ATRK.NVM"},
        {"waypoints", sample.folder / "GARMIN_STRK.BAK", "GARMIN_STRK.BAK"},
        {"all", sample.folder / "GARMIN_WPT.NVM", "GARMIN_WPT.NVM", {"--format", "kml"}, "KML"},
        {"tracks", sample.folder / "link.gpx", "GARMIN_STRK.NVM", {"--format", "csv"}, "CSV"},
    };
    const FolderBytes before = folderContents(sample.folder.path());
    for (const auto& c : cases) {
        std::vector<std::string> arguments{"export", c.view, "-o", c.output.string()};
        if (std::string_view(c.view) != "all") {
            arguments.push_back("--all");
        }
        arguments.insert(arguments.end(), c.format.begin(), c.format.end());
        const CliRun run = runCli(withDir(sample.folder, arguments));
        EXPECT_EQ(run.exitStatus, 1) << c.output;
        EXPECT_EQ(run.err.rfind(std::string("quillet-cli: Unable to create ") + c.label + " File " +
                                    c.output.string(),
                                0),
                  0u)
            << run.err;
        EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
        EXPECT_EQ(folderContents(sample.folder.path()), before) << c.output;
    }
    EXPECT_FALSE(fs::exists(sample.folder / "GARMIN_STRK.BAK"));
}

TEST(CliExport, EveryFormatGoesToAFileAndToStandardOutputAlike) {
    Sample sample;
    const struct {
        std::vector<std::string> arguments;  // after "export all -o FILE"
        const char* file;
        const char* format;  // what the document must begin with
    } cases[] = {
        {{}, "all.gpx", "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n<gpx "},
        {{}, "all.geojson", "{\"type\":\"FeatureCollection\""},
        {{}, "all.JSON", "{\"type\":\"FeatureCollection\""},
        {{}, "all.kml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml "},
        {{}, "all.csv", "name,latitude,longitude,elevation,time,symbol,categories\r\n"},
        {{}, "all.txt", "<?xml"},
        {{"--format", "csv"}, "all.kml", "name,latitude"},
    };
    for (const auto& c : cases) {
        const fs::path file = sample.folder / c.file;
        std::vector<std::string> arguments{"export", "all", "-o", file.string()};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const CliRun toFile = runCli(withDir(sample.folder, arguments));
        EXPECT_EQ(toFile.exitStatus, 0) << c.file << toFile.err;
        const std::string written = readFile(file);
        EXPECT_EQ(written.rfind(c.format, 0), 0u) << c.file << written.substr(0, 80);
        fs::remove(file);

        // Standard output has no extension: without --format it gets GPX.
        arguments[3] = "-";
        if (c.arguments.empty()) {
            arguments.push_back("--format");
            arguments.push_back(std::string(formatOfPath(file).name));
        }
        const CliRun toStdout = runCli(withDir(sample.folder, arguments));
        EXPECT_EQ(toStdout.exitStatus, 0) << c.file;
        EXPECT_EQ(toStdout.out, written) << c.file;
    }
    EXPECT_EQ(runCli(withDir(sample.folder, {"export", "all", "--all", "-o", "-"})).exitStatus, 2);
    EXPECT_EQ(
        runCli(withDir(sample.folder, {"export", "all", "--format", "shp", "-o", "-"})).exitStatus,
        2);
}

TEST(CliExport, AllOnAViewWithoutRowsWritesNoFile) {
    TempDir folder;
    writeWaypointFile(folder, {});
    const fs::path file = folder / "none.gpx";
    const CliRun run =
        runCli(withDir(folder, {"export", "waypoints", "--all", "-o", file.string()}));
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("nothing to export"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(file));
}

// ---- preview

TEST(CliPreview, WritesOnePictureToAFileOrStandardOutputButNeverOverADeviceFile) {
    Sample sample;
    const fs::path file = sample.folder / "tracks.svg";
    const CliRun toFile = runCli(
        withDir(sample.folder, {"preview", "tracks", "--select", "0-1", "-o", file.string()}));
    EXPECT_EQ(toFile.exitStatus, 0) << toFile.err;
    EXPECT_EQ(toFile.out + toFile.err, "");
    const std::string picture = readFile(file);
    EXPECT_NE(picture.find("<svg "), std::string::npos);
    EXPECT_EQ(picture.rfind("</svg>\n"), picture.size() - 7);
    for (const auto& output : {std::vector<std::string>{"-o", "-"}, std::vector<std::string>{}}) {
        std::vector<std::string> arguments{"preview", "tracks", "--select", "1,0"};
        arguments.insert(arguments.end(), output.begin(), output.end());
        const CliRun toStdout = runCli(withDir(sample.folder, arguments));
        EXPECT_EQ(toStdout.exitStatus, 0);
        EXPECT_EQ(toStdout.out, picture);
    }

    const std::string saved = sample.bytes(kSavedTracksFileName);
    const fs::path otherSpelling = sample.folder / "." / kSavedTracksFileName;
    const CliRun refused = runCli(
        withDir(sample.folder, {"preview", "tracks", "--all", "-o", otherSpelling.string()}));
    EXPECT_EQ(refused.exitStatus, 1);
    EXPECT_NE(refused.err.find("it is a device file"), std::string::npos) << refused.err;
    EXPECT_EQ(sample.bytes(kSavedTracksFileName), saved);
}

// The tile server of the map tests (tests/support/tile_server.py): its port, its log
// of requests and its tile sets are in the folder it is given.
constexpr const char* kMapScript = QUILLET_TILE_SERVER_SCRIPT;

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++found;
    }
    return found;
}

TEST(CliPreview, MapTilesFromAServerThroughTheCacheAndFromTileSets) {
    if (std::system("python3 -c 'import sqlite3' 2>/dev/null") != 0) {
        GTEST_SKIP() << "python3 with sqlite3 is not installed";
    }
    Sample sample;
    TempDir map;
    setenv("XDG_CACHE_HOME", (map / "cache").c_str(), 1);
    // The server runs apart from the test, with no share in its output, and is told to
    // stop however the test ends.
    ASSERT_EQ(std::system((std::string("python3 '") + kMapScript + "' '" + map.path().string() +
                           "' </dev/null >/dev/null 2>&1 &")
                              .c_str()),
              0);
    struct StopServer {
        fs::path stop;
        ~StopServer() { std::ofstream(stop) << ""; }
    } stopServer{map / "stop"};
    for (int i = 0; i < 300 && !fs::exists(map / "port"); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    const std::string port = readFile(map / "port");
    ASSERT_FALSE(port.empty());
    const auto preview = [&](const std::string& source) {
        return runCli(withDir(sample.folder, {"preview", "tracks", "--all", "--map", source}));
    };
    const std::string url = "http://127.0.0.1:" + port + "/{z}/{x}/{y}.png";

    const CliRun first = preview(url);
    EXPECT_EQ(first.exitStatus, 0) << first.err;
    const std::size_t images = count(first.out, "<image ");
    EXPECT_GT(images, 0u);
    EXPECT_EQ(count(first.out, "href=\"data:image/png;base64,"), 2 * images);
    const std::string log = readFile(map / "requests.log");
    EXPECT_EQ(count(log, "\n"), images);  // each tile in view once
    EXPECT_EQ(count(log, "|Quillet/"), images) << log;

    const CliRun again = preview(url);  // fresh in the cache: no request
    EXPECT_EQ(again.out, first.out);
    EXPECT_EQ(readFile(map / "requests.log"), log);

    for (const std::string& failing : {"http://127.0.0.1:" + port + "/fail/{z}/{x}/{y}.png",
                                       std::string("http://127.0.0.1:9/{z}/{x}/{y}.png")}) {
        const CliRun failed = preview(failing);
        EXPECT_EQ(failed.exitStatus, 0) << failing;
        EXPECT_NE(failed.out.find("class=\"tracks\""), std::string::npos) << failing;
        EXPECT_EQ(count(failed.out, "<image "), 0u) << failing;
    }
    std::ofstream(map / "stop") << "";

    // Both schemes draw the green row under the tracks, and nothing else.
    const std::string green = "href=\"" + preview::imageDataUri(readFile(map / "green.png")) + '"';
    for (const char* scheme : {"xyz", "tms"}) {
        const CliRun drawn = preview((map / (std::string(scheme) + ".mbtiles")).string());
        EXPECT_EQ(drawn.exitStatus, 0) << drawn.err;
        EXPECT_GT(count(drawn.out, green), 0u) << scheme;
        EXPECT_EQ(count(drawn.out, green), 2 * count(drawn.out, "<image ")) << scheme;
    }
    const CliRun missing = preview((map / "none.mbtiles").string());
    EXPECT_EQ(missing.exitStatus, 1);
    const CliRun wrong = preview("tiles.example");
    EXPECT_EQ(wrong.exitStatus, 2);
    unsetenv("XDG_CACHE_HOME");
}

TEST(CliExport, WarnsOnceOfCoordinatesOutsideTheGpxRangesAndOfNamesOnATerminal) {
    TempDir folder;
    encoder::WaypointFields odd = waypoint("Esc\x1b]0;owned\x07!\x7f");
    odd.latitudeCode = 0x50000000;  // about 112.5 degrees
    writeWaypointFile(folder, {waypoint("Plain"), odd, odd});
    const std::string warning =
        "quillet-cli: warning: 2 points have coordinates outside the ranges GPX allows; some "
        "GPX readers may refuse the file\n";
    const fs::path file = folder / "odd.gpx";
    struct Case {
        std::vector<std::string> arguments;
        bool terminal;
        std::string err;      // standard error, or the terminal's text
        std::string outPart;  // a part of standard output
    };
    const Case cases[] = {
        {{"export", "waypoints", "--all", "-o", file.string()}, false, warning, ""},
        {{"export", "waypoints", "--all", "-o", "-"}, false, warning, "lat=\"112.4999994\""},
        {{"export", "waypoints", "--select", "1", "-o", "-"}, false, "", "lat="},
        // Names keep their bytes in a pipe; a terminal shows their control bytes as "?".
        {{"list", "waypoints"}, false, "", "Esc\x1b]0;owned\x07!\x7f\t"},
        {{"list", "waypoints"}, true, "Esc?]0;owned?!?\t", ""},
    };
    for (const auto& c : cases) {
        CliRunOptions options;
        if (c.terminal) {
            options.typed = "";
            options.outputOnTerminal = true;
        }
        const CliRun run = runCli(withDir(folder, c.arguments), options);
        const std::string shown = ::testing::PrintToString(c.arguments);
        EXPECT_EQ(run.exitStatus, 0) << shown << run.err;
        if (c.terminal) {
            EXPECT_NE(run.err.find(c.err), std::string::npos) << shown << run.err;
            EXPECT_EQ(run.err.find('\x1b'), std::string::npos) << shown;
        } else {
            EXPECT_EQ(run.err, c.err) << shown;
            EXPECT_NE(run.out.find(c.outPart), std::string::npos) << shown << run.out;
        }
    }
    EXPECT_NE(readFile(file).find("lat=\"112.4999994\""), std::string::npos);
}

// ---- delete

TEST(CliDelete, RemovesTheSelectedRecordsKeepsABackupAndSaysSo) {
    struct Case {
        ViewKind view;
        const char* file;
        const char* backup;
        std::string select;
        std::string what;
        std::vector<std::string> numbersAfter;
    };
    const Case cases[] = {
        {ViewKind::Waypoints,
         kWaypointFileName,
         "GARMIN_WPT.BAK",
         "4,2",
         "2 waypoints",
         {" 1", " 2", " 3"}},
        {ViewKind::Waypoints,
         kWaypointFileName,
         "GARMIN_WPT.BAK",
         "5",
         "1 waypoint",
         {" 1", " 2", " 3", " 4"}},
        {ViewKind::Tracks,
         kSavedTracksFileName,
         "GARMIN_STRK.BAK",
         "1,3",
         "2 saved tracks",
         {" 0", " 1"}},
    };
    for (const auto& c : cases) {
        Sample sample;
        const std::string before = sample.bytes(c.file);
        const CliRun run = runCli(
            withDir(sample.folder, {"delete", viewWord(c.view), "--select", c.select, "--yes"}));
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, "deleted " + c.what + " from " + (sample.folder / c.file).string() +
                               "; the previous file is kept as " +
                               (sample.folder / c.backup).string() + "\n");
        EXPECT_EQ(sample.bytes(c.backup), before);
        const CliRun after = runCli(withDir(sample.folder, {"list", viewWord(c.view)}));
        EXPECT_EQ(numberColumn(after.out), c.numbersAfter) << c.select;
    }
}

TEST(CliDelete, RefusesWithoutYesWhenThereIsNoTerminal) {
    Sample sample;
    const std::string before = sample.bytes(kWaypointFileName);
    const CliRun run = runCli(withDir(sample.folder, {"delete", "waypoints", "--select", "1"}));
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("Are you shure?"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("--yes"), std::string::npos) << run.err;
    EXPECT_EQ(sample.bytes(kWaypointFileName), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(sample.folder.path()), {}), 3);
}

TEST(CliDelete, AsksOnATerminalAndGoesOnOnlyForYes) {
    struct Case {
        std::string typed;
        bool deleted;
    };
    const Case cases[] = {
        {"y\n", true},  {"Y\n", true}, {"yes\n", true}, {"YES\n", true},         {"Yes\n", true},
        {"n\n", false}, {"\n", false}, {"ye\n", false}, {"yes please\n", false},
    };
    for (const auto& c : cases) {
        Sample sample;
        const std::string before = sample.bytes(kWaypointFileName);
        CliRunOptions typing;
        typing.typed = c.typed;
        const CliRun run =
            runCli(withDir(sample.folder, {"delete", "waypoints", "--select", "2"}), typing);
        EXPECT_NE(run.err.find("quillet-cli: Are you shure? [y/N] "), std::string::npos) << run.err;
        EXPECT_EQ(run.exitStatus, c.deleted ? 0 : 1) << c.typed << run.err;
        EXPECT_EQ(sample.bytes(kWaypointFileName) != before, c.deleted) << c.typed;
        EXPECT_EQ(fs::exists(sample.folder / "GARMIN_WPT.BAK"), c.deleted) << c.typed;
        EXPECT_EQ(run.out.empty(), !c.deleted) << c.typed;
    }
}

TEST(CliDelete, RefusesTheActiveTrackAndTouchesNothing) {
    for (const bool withSavedTracks : {true, false}) {
        TempDir folder;
        writeTrackFiles(folder, {"Morning", "Evening"});
        if (!withSavedTracks) {
            fs::remove(folder / kSavedTracksFileName);
        }
        const std::string select = withSavedTracks ? "2,0" : "0";
        const std::string before = readFile(folder / kSavedTracksFileName);
        const CliRun run =
            runCli(withDir(folder, {"delete", "tracks", "--select", select, "--yes"}));
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "quillet-cli: You can not delete the active track!\n");
        EXPECT_EQ(readFile(folder / kSavedTracksFileName), before);
        EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), {}),
                  withSavedTracks ? 2 : 1);
    }
}

TEST(CliDelete, NeitherALinkedNameNorAReadOnlyFileTricksIt) {
    struct Case {
        const char* name;
        void (*prepare)(const TempDir& folder, const fs::path& outside);
        int exitStatus;
        std::string err;
    };
    const Case cases[] = {
        {"a link under the temporary file's name",
         [](const TempDir& folder, const fs::path& outside) {
             fs::create_symlink(outside, folder / "GARMIN_WPT.NV_");
         },
         0, ""},
        {"a device file that is a link",
         [](const TempDir& folder, const fs::path& outside) {
             fs::rename(folder / kWaypointFileName, outside.parent_path() / "real.nvm");
             fs::create_symlink(outside.parent_path() / "real.nvm", folder / kWaypointFileName);
         },
         0, ""},
        {"a read-only device file",
         [](const TempDir& folder, const fs::path&) {
             fs::permissions(
                 folder / kWaypointFileName,
                 fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                 fs::perm_options::remove);
         },
         1,
         "quillet-cli: GARMIN_WPT.NVM is read-only.\nNothing has been deleted; make the file "
         "writable if records are to be deleted from it.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Sample sample;
        TempDir elsewhere;
        const fs::path outside = fs::canonical(elsewhere.path()) / "victim";
        elsewhere.writeFile("victim", std::string("keep"));
        c.prepare(sample.folder, outside);
        const std::string before = readFile(sample.folder / kWaypointFileName);

        const CliRun run =
            runCli(withDir(sample.folder, {"delete", "waypoints", "--select", "2", "--yes"}));

        EXPECT_EQ(run.exitStatus, c.exitStatus) << run.err;
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(readFile(outside), "keep");
        EXPECT_EQ(readFile(sample.folder / kWaypointFileName) != before, c.exitStatus == 0);
        EXPECT_FALSE(fs::exists(fs::symlink_status(sample.folder / "GARMIN_WPT.NV_")));
    }
}

// ---- info

// ---- history and restore

// The fields of the lines of "history": id, time, file, records, size.
std::vector<std::vector<std::string>> historyLines(const std::string& out) {
    std::vector<std::vector<std::string>> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = out.find('\n', start)) != std::string::npos; start = end + 1) {
        std::vector<std::string> fields;
        std::size_t from = start;
        for (std::size_t tab; (tab = out.find('\t', from)) < end; from = tab + 1) {
            fields.push_back(out.substr(from, tab - from));
        }
        fields.push_back(out.substr(from, end - from));
        lines.push_back(fields);
    }
    return lines;
}

TEST(CliHistory, ListsRestoresAndReadsTheVersionsEveryDeletionKept) {
    // This test's own history, for the programs it starts.
    TempDir home;
    const std::string before = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    ::setenv("XDG_DATA_HOME", home.path().c_str(), 1);
    struct Reset {
        const std::string& value;
        ~Reset() { ::setenv("XDG_DATA_HOME", value.c_str(), 1); }
    } reset{before};
    Sample sample;
    const std::string original = sample.bytes(kWaypointFileName);
    const std::string tracks = sample.bytes(kSavedTracksFileName);
    for (const auto& arguments : {std::vector<std::string>{"delete", "waypoints", "--select", "2"},
                                  {"delete", "tracks", "--select", "1"},
                                  {"delete", "waypoints", "--select", "4"}}) {
        auto withYes = arguments;
        withYes.push_back("--yes");
        ASSERT_EQ(runCli(withDir(sample.folder, withYes)).exitStatus, 0);
    }
    const CliRun listed = runCli(withDir(sample.folder, {"history"}));
    ASSERT_EQ(listed.exitStatus, 0) << listed.err;
    const auto lines = historyLines(listed.out);
    ASSERT_EQ(lines.size(), 3u) << listed.out;
    // Newest first: the waypoints without 2, the saved tracks, the original waypoints.
    const std::vector<std::vector<std::string>> expected{
        {"GARMIN_WPT.NVM", "4"}, {"GARMIN_STRK.NVM", "3"}, {"GARMIN_WPT.NVM", "5"}};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ASSERT_EQ(lines[i].size(), 5u) << listed.out;
        EXPECT_EQ(lines[i][0].size(), 12u);
        EXPECT_EQ(lines[i][1].size(), 19u);  // "2026-12-08 00:25:51"
        EXPECT_EQ((std::vector<std::string>{lines[i][2], lines[i][3]}), expected[i]);
    }
    EXPECT_EQ(lines[1][4], std::to_string(tracks.size()));
    const std::string first = lines[2][0];

    // Read as the folder's file, without restoring it.
    const CliRun past = runCli({"-C", "history:" + first, "list", "waypoints"});
    EXPECT_EQ(numberColumn(past.out), (std::vector<std::string>{" 1", " 2", " 3", " 4", " 5"}));
    EXPECT_EQ(runCli({"-C", "history:" + first, "delete", "waypoints", "--select", "1", "--yes"})
                  .exitStatus,
              1);

    const CliRun restored = runCli(withDir(sample.folder, {"restore", first, "--yes"}));
    EXPECT_EQ(restored.exitStatus, 0) << restored.err;
    EXPECT_EQ(sample.bytes(kWaypointFileName), original);
    EXPECT_EQ(historyLines(runCli(withDir(sample.folder, {"history"})).out).size(), 4u);

    // Without the history the deletion goes through and keeps no version.
    EXPECT_EQ(runCli(withDir(sample.folder,
                             {"delete", "waypoints", "--select", "1", "--yes", "--no-history"}))
                  .exitStatus,
              0);
    EXPECT_EQ(historyLines(runCli(withDir(sample.folder, {"history"})).out).size(), 4u);
    const CliRun unknown = runCli(withDir(sample.folder, {"restore", "0123456789ab", "--yes"}));
    EXPECT_EQ(unknown.exitStatus, 1);
    EXPECT_NE(unknown.err.find("0123456789ab"), std::string::npos) << unknown.err;
    EXPECT_EQ(std::distance(fs::directory_iterator(sample.folder.path()), {}), 5);
}

TEST(CliInfo, PrintsTheHeaderValuesOfEveryFileFound) {
    Sample sample;
    const CliRun run = runCli(withDir(sample.folder, {"info"}));
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
              "GARMIN_WPT.NVM\t5\t7\t5\n"
              "GARMIN_ATRK.NVM\t5\t3\n"
              "GARMIN_STRK.NVM\t5\t3\n");
}

TEST(CliInfo, ReadsTheMissingBytesOfAShortHeaderAsZeros) {
    TempDir folder;
    folder.writeFile(kWaypointFileName, std::string("\x05\x01\x00\x00\x09", 5));
    folder.writeFile(kActiveTrackFileName, std::string());
    folder.writeFile(kSavedTracksFileName,
                     std::string("\x05\x02\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x04", 13));
    const CliRun run = runCli(withDir(folder, {"info"}));
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out,
              "GARMIN_WPT.NVM\t261\t9\t0\n"
              "GARMIN_ATRK.NVM\t0\t0\n"
              "GARMIN_STRK.NVM\t5\t4\n");
    EXPECT_NE(run.err.find("Unknown version of ATRK file"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace quillet::testing
