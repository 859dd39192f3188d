// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "app/fill_list.h"
#include "app/list_filter.h"
#include "app/open_folder.h"
#include "app/window_commands.h"
#include "device/device_files.h"
#include "device/path_text.h"
#include "encoder/device_encoder.h"
#include "support/fake_ui.h"
#include "support/temp_dir.h"

namespace quillet {
namespace {

using testing::FakeUi;
using testing::MessageCall;
using testing::TempDir;
using testing::titledMessage;

const std::string kWpt = "Unknown version of WPT file";
const std::string kAtrk = "Unknown version of ATRK file";
const std::string kNone = "Unable to open any NVM file. Terminated";

// A device file header of 16 bytes that counts no records: the version word, then
// zeros. Start-up reads only the first byte.
std::string headerWithVersion(int version) {
    std::string bytes(16, '\0');
    bytes[0] = static_cast<char>(version);
    return bytes;
}

// The messages that start-up itself shows, in order (a view may add its own later).
std::vector<MessageCall> startUpMessages(const FakeUi& ui) {
    std::vector<MessageCall> result;
    for (const auto& message : ui.messages()) {
        if (message.text == kWpt || message.text == kAtrk || message.text == kNone) {
            result.push_back(message);
        }
    }
    return result;
}

MessageCall warning(const std::string& text) {
    return titledMessage(text, Buttons::Ok, Icon::None);
}

struct FilesCase {
    int waypoints;  // version byte, or 0 for an absent file
    int activeTrack;
    int savedTracks;
    std::vector<std::string> tabs;
    std::optional<int> waypointTab;
    std::optional<int> tracksTab;
    std::vector<std::string> warnings;
};

TEST(StartUp, OffersATabForEveryKindOfFilePresentAndWarnsOfUnknownVersions) {
    const std::vector<std::string> both = {"Way Points", "Tracks"};
    const std::vector<std::string> waypointsOnly = {"Way Points"};
    const std::vector<std::string> tracksOnly = {"Tracks"};
    const FilesCase cases[] = {
        {5, 0, 0, waypointsOnly, 0, std::nullopt, {}},
        {0, 5, 0, tracksOnly, std::nullopt, 0, {}},
        {0, 0, 5, tracksOnly, std::nullopt, 0, {}},
        {5, 5, 0, both, 0, 1, {}},
        {5, 0, 5, both, 0, 1, {}},
        {0, 5, 5, tracksOnly, std::nullopt, 0, {}},
        {5, 5, 5, both, 0, 1, {}},
        // Version byte 4 in each file in turn, and in all of them.
        {4, 5, 5, both, 0, 1, {kWpt}},
        {5, 4, 5, both, 0, 1, {kAtrk}},
        {5, 5, 4, both, 0, 1, {kAtrk}},
        {0, 0, 4, tracksOnly, std::nullopt, 0, {kAtrk}},
        {4, 0, 0, waypointsOnly, 0, std::nullopt, {kWpt}},
        {4, 4, 4, both, 0, 1, {kWpt, kAtrk, kAtrk}},
        {6, 4, 0, both, 0, 1, {kWpt, kAtrk}},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::pair<int, const char*> files[] = {{c.waypoints, kWaypointFileName},
                                                     {c.activeTrack, kActiveTrackFileName},
                                                     {c.savedTracks, kSavedTracksFileName}};
        for (const auto& [version, name] : files) {
            if (version != 0) {
                dir.writeFile(name, headerWithVersion(version));
            }
        }
        FakeUi ui;
        const auto state = startUp(dir.path(), ui);
        const std::string label = "files " + std::to_string(c.waypoints) + " " +
                                  std::to_string(c.activeTrack) + " " +
                                  std::to_string(c.savedTracks);

        ASSERT_NE(state, nullptr) << label;
        EXPECT_EQ(state->tabs, c.tabs) << label;
        EXPECT_EQ(state->waypointTab, c.waypointTab) << label;
        EXPECT_EQ(state->tracksTab, c.tracksTab) << label;
        EXPECT_EQ(state->currentTab, 0) << label;
        EXPECT_EQ(state->files.waypoints, dir / "GARMIN_WPT.NVM") << label;
        EXPECT_EQ(state->files.activeTrack, dir / "GARMIN_ATRK.NVM") << label;
        EXPECT_EQ(state->files.savedTracks, dir / "GARMIN_STRK.NVM") << label;
        EXPECT_EQ(state->list.sortColumn(), 1) << label;
        EXPECT_TRUE(state->list.ascending()) << label;

        std::vector<MessageCall> expected;
        for (const auto& text : c.warnings) {
            expected.push_back(warning(text));
        }
        EXPECT_EQ(startUpMessages(ui), expected) << label;
    }
}

TEST(StartUp, StopsWithOneErrorWhenNoDeviceFileOpens) {
    TempDir dir;
    dir.writeFile("GARMIN_WPT.BAK", headerWithVersion(5));
    dir.writeFile("garmin_wpt.nvm.txt", headerWithVersion(5));
    FakeUi ui;
    EXPECT_EQ(startUp(dir.path(), ui), nullptr);
    EXPECT_EQ(ui.messages(),
              (std::vector<MessageCall>{titledMessage(kNone, Buttons::Ok, Icon::Error)}));
    EXPECT_EQ(ui.calls.size(), 1u);

    FakeUi missingFolderUi;
    EXPECT_EQ(startUp(dir / "no such folder", missingFolderUi), nullptr);
    EXPECT_EQ(missingFolderUi.messageTexts(), (std::vector<std::string>{kNone}));
}

TEST(StartUp, AnEmptyWaypointFileStillGetsItsTabWithTheVersionWarning) {
    TempDir dir;
    dir.writeFile(kWaypointFileName, "");
    FakeUi ui;
    const auto state = startUp(dir.path(), ui);
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->tabs, (std::vector<std::string>{"Way Points"}));
    EXPECT_EQ(state->waypointTab, 0);
    EXPECT_EQ(startUpMessages(ui), (std::vector<MessageCall>{warning(kWpt)}));
}

// POSIX only: a named pipe (mkfifo) among the device files.
#ifndef _WIN32
TEST(StartUp, EntriesThatAreNotRegularFilesCountAsAbsent) {
    TempDir dir;
    std::filesystem::create_directory(dir / kWaypointFileName);
    // A pipe would block the start while it waited for a writer.
    ASSERT_EQ(::mkfifo((dir / kActiveTrackFileName).c_str(), 0600), 0);
    FakeUi ui;
    EXPECT_EQ(startUp(dir.path(), ui), nullptr);
    EXPECT_EQ(ui.messageTexts(), (std::vector<std::string>{kNone}));

    dir.writeFile(kSavedTracksFileName, headerWithVersion(5));
    FakeUi tracksUi;
    const auto state = startUp(dir.path(), tracksUi);
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->tabs, (std::vector<std::string>{"Tracks"}));
    EXPECT_EQ(state->waypointTab, std::nullopt);
    EXPECT_EQ(state->tracksTab, 0);
    EXPECT_TRUE(startUpMessages(tracksUi).empty());
}
#endif

// On Windows a path made from narrow text goes through the ANSI code page, which has no
// room for most scripts: the folder must be reached through its UTF-16 name.
TEST(StartUp, ReadsAFolderNamedInCyrillic) {
    TempDir dir;
    const std::filesystem::path folder = dir / pathFromUtf8("Путь-ёж");
    std::filesystem::create_directory(folder);
    dir.writeFile(folder / kSavedTracksFileName, headerWithVersion(5));
    FakeUi ui;
    const auto state = startUp(folder, ui);
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->tabs, (std::vector<std::string>{"Tracks"}));
    EXPECT_TRUE(startUpMessages(ui).empty());
    // Messages name it in UTF-8, with the platform's separator.
    const std::string shown = pathText(state->files.savedTracks);
    const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
    EXPECT_EQ(shown.substr(shown.rfind(separator)), separator + std::string(kSavedTracksFileName));
    EXPECT_NE(shown.find("\xD0\x9F\xD1\x83\xD1\x82\xD1\x8C-\xD1\x91\xD0\xB6"), std::string::npos)
        << shown;
}

TEST(FillList, EmptiesTheListAndSortsItByNumberAscending) {
    AppState state;
    state.waypointTab = 0;
    state.tracksTab = 1;
    state.list.addColumn({"#", Alignment::Center, 30});
    for (int i = 0; i < 3; ++i) {
        state.list.insertRow();
        state.list.setItemNumber(0, i + 1);
        state.list.setText(0, 1, std::to_string(i));
    }
    state.list.setSelected(1, true);
    state.list.onColumnClick(2);
    state.list.onColumnClick(2);  // column 2, descending
    FakeUi ui;

    // No device file exists, so each view adds its columns and no row.
    const std::pair<int, std::size_t> tabs[] = {{1, 6}, {2, 0}, {0, 24}};  // tab 2: no view
    for (const auto& [tab, columns] : tabs) {
        switchToTab(state, ui, tab);
        EXPECT_EQ(state.currentTab, tab);
        EXPECT_EQ(state.list.columnCount(), columns);
        EXPECT_EQ(state.list.rowCount(), 0u);
        EXPECT_EQ(state.list.selectedCount(), 0u);
        EXPECT_EQ(state.list.sortColumn(), 1);  // what the rows are in, as the arrow shows
        EXPECT_TRUE(state.list.ascending());
    }

    state.currentTab = 2;
    fillList(state, ui);
    EXPECT_EQ(state.list.rowCount(), 0u);
    EXPECT_EQ(ui.messageTexts(), (std::vector<std::string>{"Unable to open file GARMIN_WPT.NVM"}));
}

// A receiver holds thousands of waypoints: the list opens in the order 1, 2, 3, ... and
// the number column holds the largest number.
TEST(FillList, ListsAThousandWaypointsInTheOrderOfTheirNumbers) {
    TempDir dir;
    encoder::WaypointFile file;
    for (int i = 0; i < 1000; ++i) {
        file.bodies.push_back(encoder::encodeWaypointBody({.name = std::to_string(i)}));
    }
    encoder::writeFile(dir.path() / kWaypointFileName, encoder::encodeWaypointFile(file));
    FakeUi ui;
    const auto state = startUp(dir.path(), ui);
    ASSERT_TRUE(state);
    ASSERT_EQ(state->list.rowCount(), 1000u);
    for (std::size_t row = 0; row < 12; ++row) {
        EXPECT_EQ(state->list.itemNumber(row), static_cast<std::int32_t>(row + 1));
    }
    EXPECT_EQ(state->list.text(8, 1), " 9");
    EXPECT_EQ(state->list.text(9, 1), "10");
    EXPECT_EQ(state->list.text(999, 1), "1000");
    EXPECT_EQ(state->list.column(1).width, 30);  // four digits fit the classic width

    for (int i = 1000; i < 100000; ++i) {
        file.bodies.push_back(file.bodies.front());
    }
    encoder::writeFile(dir.path() / kWaypointFileName, encoder::encodeWaypointFile(file));
    fillList(*state, ui);
    EXPECT_EQ(state->list.text(99999, 1), "100000");
    EXPECT_EQ(state->list.column(1).width, 42);  // six digits and the margin of one
}

// A waypoint file in the folder with the names, top to bottom as listed after a fill.
void writeWaypoints(const std::filesystem::path& folder, const std::vector<std::string>& names) {
    namespace enc = encoder;
    enc::WaypointFile file;
    for (const std::string& name : names) {
        file.bodies.push_back(enc::encodeWaypointBody({.name = name}));
    }
    enc::writeFile(folder / kWaypointFileName, enc::encodeWaypointFile(file));
}

std::vector<std::string> shownNames(const AppState& state) {
    std::vector<std::string> names;
    for (std::size_t shown = 0; shown < shownRowCount(state); ++shown) {
        names.emplace_back(state.list.text(listRowOf(state, shown), 2));
    }
    return names;
}

TEST(OpenFolder, TakesTheNewFolderOrNamesItAndKeepsWhatWasShown) {
    TempDir first;
    TempDir second;
    TempDir empty;
    writeWaypoints(first.path(), {"Bravo", "alpha"});
    writeWaypoints(second.path(), {"Lake", "Town", "Mill"});
    FakeUi ui;
    auto state = startUp(first.path(), ui);
    ASSERT_NE(state, nullptr);
    setFilter(*state, "a");

    // A folder without device files: the message names it, and nothing changes.
    EXPECT_FALSE(openFolder(*state, empty.path(), ui));
    EXPECT_EQ(ui.messages().back(),
              titledMessage(kNone + "\n" + pathText(empty.path()), Buttons::Ok, Icon::Error));
    EXPECT_EQ(state->list.rowCount(), 2u);
    EXPECT_EQ(state->filter.text(), "a");

    // Another folder: its tabs and first fill, and no filter.
    EXPECT_TRUE(openFolder(*state, second.path(), ui));
    EXPECT_EQ(state->list.rowCount(), 3u);
    EXPECT_TRUE(state->filter.empty());
    EXPECT_EQ(state->files.waypoints, makeFileSet(second.path()).waypoints);

    // A dropped file opens its folder.
    EXPECT_EQ(droppedFolder(second.path() / kWaypointFileName), second.path());
    EXPECT_EQ(droppedFolder(second.path()), second.path());
}

TEST(OpenFolder, TheFolderQuestionIsAskedAgainUntilAFolderOpensOrThePersonCancels) {
    TempDir empty;
    TempDir device;
    writeWaypoints(device.path(), {"Bravo"});
    std::deque<std::optional<std::filesystem::path>> answers = {empty.path(), device.path()};
    const FolderQuestion ask = [&]() -> std::optional<std::filesystem::path> {
        if (answers.empty()) {
            return std::nullopt;
        }
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    };
    FakeUi ui;
    const auto state = startUpAskingAgain(ask, ui);
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->list.rowCount(), 1u);
    EXPECT_EQ(ui.messageTexts(), (std::vector<std::string>{kNone + "\n" + pathText(empty.path())}));

    answers = {empty.path()};
    EXPECT_EQ(startUpAskingAgain(ask, ui), nullptr);  // asked again, then cancelled
}

TEST(Reload, FillsTheTabAgainFromTheFilesAndKeepsTheFilter) {
    TempDir dir;
    writeWaypoints(dir.path(), {"Bravo", "alpha"});
    FakeUi ui;
    auto state = startUp(dir.path(), ui);
    ASSERT_NE(state, nullptr);
    setFilter(*state, "A");
    writeWaypoints(dir.path(), {"Bravo", "alpha", "Elm", "Ash"});
    reload(*state, ui);
    EXPECT_EQ(state->list.rowCount(), 4u);
    EXPECT_EQ(shownNames(*state), (std::vector<std::string>{"Bravo", "alpha", "Ash"}));
}

TEST(DeleteSelection, RemovesTheShownSelectedRowsOnlyAndSaysWhatItDid) {
    TempDir dir;
    writeWaypoints(dir.path(), {"Bravo", "alpha", "Elm", "Ash"});
    FakeUi ui;
    auto state = startUp(dir.path(), ui);
    ASSERT_NE(state, nullptr);
    state->list.setSelected(2, true);  // Elm, which the filter hides
    setFilter(*state, "a");
    selectShownRows(*state);
    const CommandReport report = deleteSelection(*state, ui);
    EXPECT_EQ(report.outcome, CommandOutcome::Done);
    EXPECT_EQ(report.statusLine, "Deleted 3 waypoints; the old file is kept as GARMIN_WPT.BAK");
    EXPECT_EQ(state->list.rowCount(), 1u);
    EXPECT_EQ(state->list.text(0, 2), "Elm");
    EXPECT_EQ(state->filter.text(), "a");
    EXPECT_EQ(shownRowCount(*state), 0u);

    // Nothing selected: the line says what is missing.
    EXPECT_EQ(deleteSelection(*state, ui).statusLine, "Select rows first");
}

}  // namespace
}  // namespace quillet
