// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/make_gpx_command.h"
#include "export/gpx_export.h"
#include "support/fake_ui.h"
#include "support/gpx_fixtures.h"
#include "support/temp_dir.h"

// Designated initializers below leave the fields they do not name at their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace quillet {
namespace {

using testing::FakeUi;
using testing::kGpxHeader;
using testing::TempDir;
using testing::titledMessage;
using testing::WaypointCells;

const std::string kExtensionsStart =
    "   <extensions> \n"
    "    <gpxx:WaypointExtension "
    "xmlns:gpxx=\"http://www.garmin.com/xmlschemas/GpxExtensions/v3\">\n"
    "     <gpxx:DisplayMode>SymbolAndName</gpxx:DisplayMode>\n";
const std::string kExtensionsEnd =
    "    </gpxx:WaypointExtension>\n"
    "   </extensions>\n"
    "  </wpt>\n";

std::string waypointText(const WaypointCells& cells) {
    RecordList list;
    testing::setWaypointRows(list, {cells});
    std::ostringstream out;
    writeWaypoint(out, list, 0);
    return std::move(out).str();
}

TEST(WaypointExport, WritesTheWholeDocumentOfOneFullyFilledWaypoint) {
    TempDir dir;
    AppState state = testing::waypointState(dir.path());
    testing::setWaypointRows(
        state.list,
        {{.name = "Home", .symbol = "Anchor", .elevation = "110", .categories = {16, 3}}});
    state.list.setSelected(0, true);
    FakeUi ui;
    ui.savePaths.push_back(dir / "out.gpx");

    EXPECT_EQ(onMakeGpx(state, ui), CommandOutcome::Done);

    EXPECT_EQ(testing::readTextFile(dir / "out.gpx"),
              std::string(kGpxHeader) +
                  "  <wpt lat=\"55.0230965\" lon=\"14.3999871\">\n"
                  "   <ele>110.000</ele>\n"
                  "   <time>2010-06-29T14:03:07Z</time>\n"
                  "   <name>Home</name>\n"
                  "   <sym>Anchor</sym>\n"
                  "   <extensions> \n"
                  "    <gpxx:WaypointExtension "
                  "xmlns:gpxx=\"http://www.garmin.com/xmlschemas/GpxExtensions/v3\">\n"
                  "     <gpxx:DisplayMode>SymbolAndName</gpxx:DisplayMode>\n"
                  "     <gpxx:Categories>\n"
                  "      <gpxx:Category>3</gpxx:Category>\n"
                  "      <gpxx:Category>16</gpxx:Category>\n"
                  "     </gpxx:Categories>\n"
                  "    </gpxx:WaypointExtension>\n"
                  "   </extensions>\n"
                  "  </wpt>\n"
                  "</gpx>\n");
    const SaveDialogRequest expected{
        .defaultName = "WayPoint.gpx",
        .filter = "GPS Exchange (*.gpx);;GeoJSON (*.geojson *.json);;KML (*.kml);;CSV (*.csv)",
        .defaultExtension = "gpx"};
    EXPECT_EQ(ui.saveRequests(), std::vector<SaveDialogRequest>{expected});
    EXPECT_TRUE(ui.messages().empty());
}

struct WaypointCase {
    const char* what;
    WaypointCells cells;
    std::string expected;
};

TEST(WaypointExport, WritesEachElementFromItsCell) {
    const std::string plain = "  <wpt lat=\"55.0230965\" lon=\"14.3999871\">\n";
    const std::string time = "   <time>2010-06-29T14:03:07Z</time>\n";
    const WaypointCase cases[] = {
        {"no category, empty elevation, empty name and symbol",
         {},
         plain + "   <ele>.000</ele>\n" + time + kExtensionsStart + kExtensionsEnd},
        {"negative elevation, one category",
         {.name = "A", .elevation = "-5", .categories = {1}},
         plain + "   <ele>-5.000</ele>\n" + time + "   <name>A</name>\n" + kExtensionsStart +
             "     <gpxx:Categories>\n      <gpxx:Category>1</gpxx:Category>\n"
             "     </gpxx:Categories>\n" +
             kExtensionsEnd},
        {"symbol without a name",
         {.symbol = "Contact, Kung-Fu", .elevation = "0"},
         plain + "   <ele>0.000</ele>\n" + time + "   <sym>Contact, Kung-Fu</sym>\n" +
             kExtensionsStart + kExtensionsEnd},
        {"markup characters and control bytes in the name",
         {.name = "Fish & <Chips> \x01\x1f\t\r"},
         plain + "   <ele>.000</ele>\n" + time +
             "   <name>Fish &amp; &lt;Chips&gt; ??"
             "?"
             "?</name>\n" +
             kExtensionsStart + kExtensionsEnd},
        {"Cyrillic name",
         {.name = "\xCF\xF0\xE8\xE2\xE5\xF2 \xB9"},
         plain + "   <ele>.000</ele>\n" + time +
             "   <name>\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xE2\x84\x96</name>\n" +
             kExtensionsStart + kExtensionsEnd},
        {"coordinates written as the cells hold them",
         {.latitude = "-44.9999998", .longitude = "-0.0000001"},
         "  <wpt lat=\"-44.9999998\" lon=\"-0.0000001\">\n   <ele>.000</ele>\n" + time +
             kExtensionsStart + kExtensionsEnd},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(waypointText(c.cells), c.expected) << c.what;
    }
}

TEST(WaypointExport, WritesLongNamesWholeAndReadsOtherCellsToTheirLimits) {
    // 124 Cyrillic bytes become 248 UTF-8 bytes, all of them written.
    const std::string name(124, '\xC0');
    std::string utf8;
    for (int i = 0; i < 124; ++i) {
        utf8 += "\xD0\x90";
    }
    WaypointCells cells{.name = name, .symbol = std::string(120, 's')};
    cells.categories = {};
    const std::string text = waypointText(cells);
    EXPECT_NE(text.find("   <name>" + utf8 + "</name>\n"), std::string::npos);
    EXPECT_NE(text.find("   <sym>" + std::string(99, 's') + "</sym>\n"), std::string::npos);

    // A category cell counts only when it is exactly "+".
    RecordList list;
    testing::setWaypointRows(list, {{}});
    list.setText(0, 9, "++");
    list.setText(0, 10, "x");
    std::ostringstream out;
    writeWaypoint(out, list, 0);
    EXPECT_EQ(out.str().find("Categories"), std::string::npos);
}

TEST(WaypointExport, FollowsTheListOrderAndWritesOnlySelectedRows) {
    AppState state = testing::waypointState();
    testing::setWaypointRows(state.list,
                             {{.name = "Cherry"}, {.name = "Banana"}, {.name = "Apple"}});
    state.list.setSelected(0, true);  // Cherry, record 1
    state.list.setSelected(2, true);  // Apple, record 3
    state.list.onColumnClick(2);      // by name, ascending
    const std::string text = testing::exportText(state);
    const auto apple = text.find("<name>Apple</name>");
    const auto cherry = text.find("<name>Cherry</name>");
    ASSERT_NE(apple, std::string::npos);
    ASSERT_NE(cherry, std::string::npos);
    EXPECT_LT(apple, cherry);
    EXPECT_EQ(text.find("Banana"), std::string::npos);
}

TEST(WaypointExport, ExportsEveryRowOfTheListWhateverCountTheLastFillStored) {
    AppState state = testing::waypointState();
    testing::setWaypointRows(state.list, {{.name = "A"}, {.name = "B"}, {.name = "C"}});
    testing::selectAll(state.list);
    state.recordCount = 1;
    const std::string text = testing::exportText(state);
    for (const char* name : {"<name>A<", "<name>B<", "<name>C<"}) {
        EXPECT_NE(text.find(name), std::string::npos) << name;
    }
}

TEST(GpxTime, MovesTheCalendarCharactersIntoTheGpxForm) {
    EXPECT_EQ(toGpxTime("2010-06-29  14:03:07 "), "2010-06-29T14:03:07Z");
    EXPECT_EQ(toGpxTime("2024-12-31  23:59:59 "), "2024-12-31T23:59:59Z");
    EXPECT_EQ(toGpxTime(""), "");
    EXPECT_EQ(toGpxTime("2010-06-29"), "");  // too short to hold a time: nothing invented
}

// ---- The command around the document

TEST(MakeGpx, DoesNothingWithoutSelectionOrView) {
    TempDir dir;
    AppState state = testing::waypointState(dir.path());
    testing::setWaypointRows(state.list, {{.name = "A"}});
    FakeUi ui;
    ui.savePaths.push_back(dir / "out.gpx");
    EXPECT_EQ(onMakeGpx(state, ui), CommandOutcome::NotRun);
    EXPECT_TRUE(ui.calls.empty());

    state.list.setSelected(0, true);
    state.currentTab = 5;
    EXPECT_EQ(onMakeGpx(state, ui), CommandOutcome::NotRun);
    EXPECT_TRUE(ui.calls.empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "out.gpx"));
}

TEST(MakeGpx, CancellingTheDialogLeavesAnExistingFileUntouched) {
    TempDir dir;
    const auto existing = dir.writeFile("old.gpx", std::string_view("keep me"));
    AppState state = testing::waypointState(dir.path());
    testing::setWaypointRows(state.list, {{.name = "A"}});
    state.list.setSelected(0, true);
    FakeUi ui;  // no path scripted: the dialog is cancelled

    EXPECT_EQ(onMakeGpx(state, ui), CommandOutcome::NotRun);
    EXPECT_EQ(testing::readFile(existing), "keep me");
    EXPECT_EQ(ui.saveRequests().size(), 1u);
    EXPECT_TRUE(ui.messages().empty());
}

TEST(MakeGpx, ReportsAFileThatCannotBeCreated) {
    TempDir dir;
    AppState state = testing::waypointState(dir.path());
    testing::setWaypointRows(state.list, {{.name = "A"}});
    state.list.setSelected(0, true);
    FakeUi ui;
    ui.savePaths.push_back(dir / "no such folder" / "out.gpx");

    EXPECT_EQ(onMakeGpx(state, ui), CommandOutcome::Failed);
    EXPECT_EQ(ui.messages(),
              std::vector{titledMessage("Unable to create GPX File", Buttons::Ok, Icon::Error)});
}

TEST(MakeGpx, ReportsAFullDiskAndLeavesTheDeviceInPlace) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    AppState state = testing::waypointState();
    testing::setWaypointRows(state.list, {{.name = "A"}});
    state.list.setSelected(0, true);
    FakeUi ui;
    ui.savePaths.push_back("/dev/full");

    EXPECT_EQ(onMakeGpx(state, ui), CommandOutcome::Failed);
    ASSERT_EQ(ui.messages().size(), 1u);
    const auto message = ui.messages()[0];
    EXPECT_EQ(
        message.text.rfind("Unable to write GPX File /dev/full: No space left on device\n", 0), 0u)
        << message.text;
    EXPECT_EQ(message.icon, Icon::Error);
    EXPECT_EQ(message.caption, kTitleText);
    EXPECT_TRUE(std::filesystem::exists("/dev/full"));
}

// POSIX only: a file size limit (setrlimit with SIGXFSZ ignored) stands in for a full disk.
#ifndef _WIN32
TEST(MakeGpx, RemovesAFileThatCouldNotBeWrittenWhole) {
    TempDir dir;
    AppState state = testing::waypointState(dir.path());
    std::vector<WaypointCells> rows(200, WaypointCells{.name = "Somewhere"});
    testing::setWaypointRows(state.list, rows);
    testing::selectAll(state.list);
    FakeUi ui;
    ui.savePaths.push_back(dir / "big.gpx");

    // Files may grow to 4 KiB only: the write past it fails as on a full disk.
    struct sigaction ignore {};
    struct sigaction previous {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &previous);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit small{.rlim_cur = 4096, .rlim_max = limit.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    const CommandOutcome outcome = onMakeGpx(state, ui);
    setrlimit(RLIMIT_FSIZE, &limit);
    sigaction(SIGXFSZ, &previous, nullptr);

    EXPECT_EQ(outcome, CommandOutcome::Failed);
    ASSERT_EQ(ui.messages().size(), 1u);
    const std::string text = ui.messages()[0].text;
    EXPECT_EQ(text.rfind("Unable to write GPX File " + (dir / "big.gpx").string() + ": ", 0), 0u)
        << text;
    EXPECT_NE(text.find("The incomplete file was removed."), std::string::npos) << text;
    EXPECT_FALSE(std::filesystem::exists(dir / "big.gpx"));
}
#endif

}  // namespace
}  // namespace quillet
